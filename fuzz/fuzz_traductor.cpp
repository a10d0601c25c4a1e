// Any text given to the typed translation: it returns SQLite statements or
// refuses with an error that says why, never more; every string literal the
// parser took comes out as it went in, the output grows at most linearly,
// and SQLite either prepares each statement or refuses it with an error.
#include "comprueba.h"
#include "platform/ado/sqlite_servidor.h"
#include "platform/tsql/traductor.h"

#include <cstddef>
#include <cstdint>
#include <sqlite3.h>

namespace {

// The tables a back office's statements name.
class EsquemaFijo : public tsql::Esquema {
public:
    bool columnas(const QString& tabla, std::vector<tsql::ColumnaDeclarada>& r) override
    {
        if (tabla.compare(QLatin1String("ART"), Qt::CaseInsensitive) == 0) {
            r = {{QStringLiteral("Id"), QStringLiteral("INTEGER"), true}, {QStringLiteral("Codigo"), QStringLiteral("varchar(20)")},
                 {QStringLiteral("Precio"), QStringLiteral("money")}, {QStringLiteral("Costo"), QStringLiteral("decimal(12,4)")},
                 {QStringLiteral("Stock"), QStringLiteral("int")}, {QStringLiteral("Alta"), QStringLiteral("datetime")}};
            return true;
        }
        if (tabla.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0) {
            r = {{QStringLiteral("a"), QStringLiteral("int")}, {QStringLiteral("b"), QStringLiteral("nvarchar(max)")}};
            return true;
        }
        return false;
    }
};

sqlite3* Base()
{
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        sqlite3_open(":memory:", &d);
        ado::servidor::Registrar(d);
        sqlite3_exec(d,
                     "CREATE TABLE ART (Id INTEGER PRIMARY KEY AUTOINCREMENT, Codigo varchar(20) COLLATE CI_AS, "
                     "Precio money, Costo decimal(12,4), Stock int, Alta datetime);"
                     "CREATE TABLE T (a int, b nvarchar(max) COLLATE CI_AS);",
                     nullptr, nullptr, nullptr);
        return d;
    }();
    return db;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString texto = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    EsquemaFijo esquema;
    tsql::Traduccion t;
    try {
        t = tsql::Traducir(texto, esquema);
    } catch (const tsql::ErrorTsql& e) {
        COMPRUEBA(!e.mensaje.isEmpty());
        return 0;
    }
    qsizetype total = 0;
    for (const tsql::SalidaSqlite& s : t.sentencias) {
        total += s.sql.size();
        // A rebuild's conversion is read over the table as it stands.
        const QString tabla = s.cambio ? QString(s.cambio->tabla).replace(u'"', QLatin1String("\"\"")) : QString();
        const QByteArray sql = (s.cambio ? QStringLiteral("SELECT %1 FROM \"%2\"").arg(s.cambio->valor, tabla) : s.sql).toUtf8();
        sqlite3_stmt* st = nullptr;
        const int rc = sqlite3_prepare_v2(Base(), sql.constData(), int(sql.size()), &st, nullptr);
        COMPRUEBA(rc == SQLITE_OK || sqlite3_errmsg(Base())[0] != 0);
        sqlite3_finalize(st);
    }
    COMPRUEBA(total <= 64 * texto.size() + 4096);
    return 0;
}
