#include "platform/ado/provider.h"

namespace ado {

namespace {
int Digitos(QStringView s, qsizetype ini, int n, bool& ok)
{
    int v = 0;
    for (int k = 0; k < n; ++k) {
        const QChar c = s[ini + k];
        if (!c.isDigit()) {
            ok = false;
            return 0;
        }
        v = v * 10 + c.digitValue();
    }
    return v;
}
} // namespace

bool FechaDeTexto(QStringView s, QDateTime& fecha)
{
    // Fixed shapes only, read by hand: this runs once per value of a date column.
    if (s.size() != 10 && (s.size() < 19 || s.size() > 26))
        return false;
    if (s[4] != u'-' || s[7] != u'-')
        return false;
    bool ok = true;
    const int an = Digitos(s, 0, 4, ok), me = Digitos(s, 5, 2, ok), di = Digitos(s, 8, 2, ok);
    int h = 0, mi = 0, se = 0, ms = 0;
    if (s.size() >= 19) {
        if ((s[10] != u' ' && s[10] != u'T') || s[13] != u':' || s[16] != u':')
            return false;
        h = Digitos(s, 11, 2, ok), mi = Digitos(s, 14, 2, ok), se = Digitos(s, 17, 2, ok);
        if (s.size() > 19) {
            if (s[19] != u'.')
                return false;
            const int n = int(s.size()) - 20;
            ms = Digitos(s, 20, std::min(n, 3), ok);
            for (int k = n; k < 3; ++k)
                ms *= 10;
        }
    }
    if (!ok)
        return false;
    const QDate d(an, me, di);
    const QTime t(h, mi, se, ms);
    if (!d.isValid() || !t.isValid())
        return false;
    fecha = QDateTime(d, t);
    return true;
}

QString TextoDeFecha(const QDateTime& f)
{
    return f.toString(f.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz") : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int TipoDeclarado(const QString& declarado, int* tamano)
{
    QString d = declarado.trimmed().toUpper();
    int n = 0;
    const qsizetype p = d.indexOf(u'(');
    if (p >= 0) {
        const QString dentro = d.mid(p + 1, d.indexOf(u')', p) - p - 1);
        n = dentro.section(u',', 0, 0).trimmed().toInt();
        // SQLite takes no "max" in a declared type: the largest length stands for it.
        if (dentro.trimmed() == u"MAX" || n == 2147483647)
            n = -1;
        d = d.left(p).trimmed();
    }
    auto fijo = [&](int t, int s) {
        if (tamano)
            *tamano = s;
        return t;
    };
    if (d.isEmpty())
        return fijo(adEmpty, 0);
    if (d == u"BIT" || d.startsWith(u"BOOL"))
        return fijo(adBoolean, 2);
    if (d == u"BIGINT")
        return fijo(adBigInt, 8);
    if (d == u"SMALLINT")
        return fijo(adSmallInt, 2);
    if (d == u"TINYINT")
        return fijo(adUnsignedTinyInt, 1);
    if (d.contains(u"INT"))
        return fijo(adInteger, 4);
    if (d.contains(u"MONEY"))
        return fijo(adCurrency, 8);
    if (d == u"DECIMAL" || d == u"NUMERIC")
        return fijo(adNumeric, 19);
    if (d.contains(u"FLOAT") || d.contains(u"DOUBLE") || d == u"REAL")
        return fijo(adDouble, 8);
    if (d == u"DATE")
        return fijo(adDBDate, 6);
    if (d == u"TIME")
        return fijo(adDBTime, 6);
    if (d.contains(u"DATE") || d == u"TIMESTAMP")
        return fijo(adDBTimeStamp, 16);
    const int largo = n > 0 ? n : 1073741823;
    if (d == u"NVARCHAR" || d == u"NATIONAL VARCHAR")
        return n < 0 ? fijo(adLongVarWChar, largo) : fijo(adVarWChar, n > 0 ? n : 4000);
    if (d == u"VARCHAR")
        return n < 0 ? fijo(adLongVarChar, largo) : fijo(adVarChar, n > 0 ? n : 8000);
    if (d == u"NCHAR")
        return fijo(adWChar, n > 0 ? n : 1);
    if (d == u"CHAR" || d == u"CHARACTER")
        return fijo(adChar, n > 0 ? n : 1);
    if (d == u"NTEXT")
        return fijo(adLongVarWChar, 1073741823);
    if (d == u"TEXT" || d.contains(u"CLOB"))
        return fijo(adLongVarChar, 2147483647);
    if (d == u"BLOB" || d == u"IMAGE")
        return fijo(adLongVarBinary, 2147483647);
    if (d.contains(u"BINARY"))
        return fijo(adVarBinary, n > 0 ? n : 8000);
    return fijo(adVarWChar, n > 0 ? n : 255);
}

} // namespace ado
