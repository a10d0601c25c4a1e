// Any statement through the synonym rewriting and the Oracle conversion (the
// first input byte choosing administrator, confidentiality and an Oracle
// connection): a statement naming none of the rewritten tables comes back as
// it went in, and string literals the rewrites have no reason to touch are
// kept byte-identical; on a server other than Oracle nothing is converted.
#include "db/db_dll.h"
#include "db/globales.h"

#include "fuzz/comprueba.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

const char* const kTablas[] = {"MA_CUENTAS", "V_TA_DEPOSITO", "MV_ASIENTOS", "V_TA_FAMILIAS",
                               "V_TA_CAJAS", "AC_CUENTASDIARIO", "@ADMIN_"};

bool nombraTabla(const QString& s)
{
    for (const char* t : kTablas)
        if (s.contains(QLatin1String(t), Qt::CaseInsensitive))
            return true;
    return false;
}

// The complete '...' literals of the text, quotes included.
std::vector<QString> literales(const QString& s)
{
    std::vector<QString> r;
    qsizetype i = 0;
    while ((i = s.indexOf(u'\'', i)) >= 0) {
        qsizetype j = i + 1;
        while (j < s.size() && !(s[j] == u'\'' && (j + 1 >= s.size() || s[j + 1] != u'\'')))
            j += s[j] == u'\'' ? 2 : 1;
        if (j >= s.size())
            break;
        r.push_back(s.mid(i, j - i + 1));
        i = j + 1;
    }
    return r;
}

// A literal no Oracle rewrite reads: no letters, brackets, quotes, date
// separators, "=" or parentheses.
bool neutroParaOracle(const QString& literal)
{
    if (literal.size() < 3)
        return false;
    for (qsizetype i = 1; i + 1 < literal.size(); ++i)
        if (!QStringLiteral("0123456789 .,;:!%+*#").contains(literal[i]))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static DB_Dll db;
    db.gEsAdmin = data[0] & 1;
    glb::ConfidencialidadActiva = data[0] & 2;
    const bool oracle = data[0] & 4;
    db.gConnString = oracle ? QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=X;") : QStringLiteral("Provider=SQLOLEDB;");
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const QString sinonimos = db.SS_TSinonimos(sql);
    if (!nombraTabla(sql))
        COMPRUEBA(sinonimos == sql);
    for (const QString& l : literales(sql))
        if (!nombraTabla(l))
            COMPRUEBA(sinonimos.contains(l));

    const QString convertida = db.ORACLE_Dicc(sql);
    if (!oracle) {
        COMPRUEBA(convertida == sql);
        return 0;
    }
    COMPRUEBA(convertida.size() <= 64 * sql.size() + 64);
    for (const QString& l : literales(sql))
        if (neutroParaOracle(l))
            COMPRUEBA(convertida.contains(l));
    return 0;
}
