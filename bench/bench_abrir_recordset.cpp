// Reading N rows (default 1,000,000) of the demo database through
// AbrirRecordset on a forward-only, read-only recordset, beside the same read
// done directly with the sqlite3 C API in the same run. Prints rows per
// second of both, their ratio, and how much the peak memory grew while
// streaming (it must not grow with the row count).
//   bench_abrir_recordset [ARTICULOS]
#include "db/db_dll.h"
#include "platform/operador.h"
#include "tools/demo_db.h"

#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

const char* kSql = "SELECT idarticulo, CODIGOBARRA, DESCRIPCION, SUSPENDIDO, PRECIO1 FROM V_MA_Articulos";

long PicoKB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double Segundos(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Touches every value as a caller would: the texts' lengths and the numbers.
struct Suma {
    long long filas = 0, largo = 0;
    double numeros = 0;
};

Suma LeeAdo(DB_Dll& db)
{
    QString sql = QString::fromLatin1(kSql);
    ado::Recordset rs;
    db.AbrirRecordset(sql, rs);
    Suma s;
    const int n = rs.FieldCount();
    for (; !rs.EOF_(); rs.MoveNext()) {
        for (int i = 0; i < n; ++i) {
            const Variant& v = rs.Fields(i).Value();
            if (const QString* t = v.get<QString>())
                s.largo += t->size();
            else if (!v.isNull())
                s.numeros += v.toDouble();
        }
        ++s.filas;
    }
    return s;
}

Suma LeeSqlite(const QString& archivo)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    sqlite3_open_v2(archivo.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(db, kSql, -1, &st, nullptr);
    Suma s;
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_TEXT: {
                // The same work a caller of the C API does to get the text as UTF-16.
                const QString t = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
                s.largo += t.size();
                break;
            }
            case SQLITE_NULL: break;
            default: s.numeros += sqlite3_column_double(st, i);
            }
        }
        ++s.filas;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    const long long articulos = argc > 1 ? std::atoll(argv[1]) : 1000000;
    QTemporaryDir dir;
    demo::Opciones o;
    o.carpeta = dir.path();
    o.articulos = articulos;
    demo::Genera(o);
    qputenv("VERIFICADOR_SERVIDORES", (dir.path() + QStringLiteral("/servidores.ini")).toLocal8Bit());
    instalaOperador(std::make_unique<OperadorGuion>());

    DB_Dll& db = DB();
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("DEMO");
    db.OpenServerADODB(false, 3, {}, false, false);
    if (!db.gOpenFlag) {
        std::printf("no se pudo abrir la base\n");
        return 1;
    }
    db.gEsAdmin = true;

    // A first pass warms the file cache for both readers alike.
    LeeSqlite(dir.path() + QStringLiteral("/DEMO.sqlite"));
    auto t0 = std::chrono::steady_clock::now();
    const Suma c = LeeSqlite(dir.path() + QStringLiteral("/DEMO.sqlite"));
    const double tc = Segundos(t0);

    const long antes = PicoKB();
    t0 = std::chrono::steady_clock::now();
    const Suma a = LeeAdo(db);
    const double ta = Segundos(t0);
    const long despues = PicoKB();

    if (a.filas != c.filas || a.largo != c.largo) {
        std::printf("lecturas distintas: %lld/%lld filas, %lld/%lld caracteres\n", a.filas, c.filas, a.largo, c.largo);
        return 1;
    }
    std::printf("AbrirRecordset: %lld filas en %.3f s = %.0f filas/s\n", a.filas, ta, a.filas / ta);
    std::printf("sqlite3 C API : %lld filas en %.3f s = %.0f filas/s\n", c.filas, tc, c.filas / tc);
    std::printf("razon: %.2f (meta < 1.5); el pico de memoria crecio %ld KB al leer\n", ta / tc, despues - antes);
    return 0;
}
