// Any text given to the SQLite translation: it returns a text or raises a
// provider failure, never more; every string literal and quoted name comes
// out as it went in, and the text grows at most linearly.
#include "comprueba.h"
#include "platform/ado/dialecto.h"
#include "platform/ado/provider.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Words whose statements or groups are dropped whole, literals included:
// session options and table hints.
bool conPartesQuitadas(const QString& texto)
{
    static const char* const palabras[] = {
        "NOCOUNT", "XACT_ABORT", "ANSI_", "QUOTED_IDENTIFIER", "DATEFORMAT", "ARITHABORT", "CONCAT_NULL",
        "LANGUAGE", "TRANSACTION", "LOCK_TIMEOUT", "DEADLOCK", "DATEFIRST", "NUMERIC_ROUNDABORT", "IMPLICIT_",
        "ROWCOUNT", "TEXTSIZE", "LOCK", "READ", "NOWAIT", "SERIALIZABLE", "INDEX", "FASTFIRSTROW", "NOEXPAND",
        "TRAN", "COMMIT", "ROLLBACK", "WORK"};
    for (const char* p : palabras)
        if (texto.contains(QLatin1String(p), Qt::CaseInsensitive))
            return true;
    return false;
}

// The complete literals ('...' without an N) and quoted names of a text,
// as they must appear in the translation; equilibrada tells whether the
// parentheses outside them pair up.
std::vector<QString> piezas(const QString& s, bool& equilibrada)
{
    std::vector<QString> r;
    int abiertas = 0;
    equilibrada = true;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            const qsizetype f = s.indexOf(QLatin1String("*/"), i + 2);
            i = f < 0 ? n : f + 2;
        } else if (c == u'\'' || c == u'"' || c == u'[') {
            const QChar cierre = c == u'[' ? u']' : c;
            qsizetype j = i + 1;
            bool completa = false;
            while (j < n) {
                if (s[j] == cierre) {
                    if (j + 1 < n && s[j + 1] == cierre) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    completa = true;
                    break;
                }
                ++j;
            }
            if (completa) {
                if (c == u'[') {
                    // [x]]y] comes out as "x]y" (a type as 'x]y'): its content.
                    QString nombre = s.mid(i + 1, j - i - 2).replace(QLatin1String("]]"), QLatin1String("]"));
                    if (nombre.compare(QLatin1String("dbo"), Qt::CaseInsensitive) != 0 && !nombre.contains(u'"'))
                        r.push_back(nombre);
                } else {
                    r.push_back(s.mid(i, j - i));
                }
            }
            i = j;
        } else {
            if (c == u'(')
                ++abiertas;
            else if (c == u')' && --abiertas < 0)
                equilibrada = false;
            ++i;
        }
    }
    if (abiertas != 0)
        equilibrada = false;
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString texto = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString sql;
    try {
        sql = ado::TraducirASqlite(texto, QStringLiteral("fuzz"));
    } catch (const ado::FallaProveedor& f) {
        // Refused as the server refuses it (nested too deeply, WITH TIES
        // without ORDER BY): an error with its text, never an empty one.
        if (f.errores.empty() || f.errores.front().Description.isEmpty())
            std::abort();
        return 0;
    }
    if (sql.size() > 64 * texto.size() + 4096)
        std::abort();
    if (conPartesQuitadas(texto))
        return 0;
    // The translation stops at character 0 (the providers refuse such a
    // statement before translating it): only what precedes it must survive.
    // A statement whose parentheses do not pair up is refused by the server;
    // its groups may be copied as written.
    const qsizetype nulo = texto.indexOf(QChar(0));
    bool equilibrada = true;
    const std::vector<QString> todas = piezas(nulo < 0 ? texto : texto.left(nulo), equilibrada);
    if (!equilibrada)
        return 0;
    for (const QString& p : todas) {
        if (!sql.contains(p))
            std::fprintf(stderr, "piece: %s\ntranslation: %s\n", qUtf8Printable(p), qUtf8Printable(sql));
        COMPRUEBA(sql.contains(p));
    }
    return 0;
}
