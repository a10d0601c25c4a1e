// The translation of the statements the lookups and the export send to the
// embedded database, on a demo file, in processor time per statement:
//   - cold: a text not translated before on the connection (a lookup's LIKE
//     changes with every keystroke): parse, types, SQLite's SQL, the schema
//     read from the file;
//   - warm: the same text again, from the connection's cache;
//   - where cold goes: the parse alone, and the translation with the schema
//     already in memory (the rest of cold is reading the schema).
// Builds also on the token rewriter that came before, for comparison (cold
// and warm only).
//   bench_traduccion [rounds]
//   bench_traduccion --sql    (the SQLite statements, nothing timed)
#if __has_include("platform/tsql/traductor.h")
#define TRADUCCION_TIPADA 1
#include "platform/ado/sqlite_servidor.h"
#include "platform/ado/sqlite_sesion.h"
#include "platform/ado/traduccion.h"
#include "platform/tsql/analizador.h"
#include "platform/tsql/traductor.h"
#else
#include "platform/ado/dialecto.h"
#endif
#include "tools/demo_db.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <sqlite3.h>

namespace {

// Processor time, which other work on the machine does not stretch.
double Us(std::clock_t t0) { return double(std::clock() - t0) * 1e6 / CLOCKS_PER_SEC; }

// Each text has a %1 where a round writes its number, so that every round's
// text is new to the cache; warm rounds keep the first one.
struct Sentencia {
    const char* nombre;
    const char* sql;
};

const Sentencia kSentencias[] = {
    // The list of articles as the lookup opens it (Lib_ClsCons3::ArmaSentencia).
    {"lookup, opening", "SELECT TOP %1 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0"
                        " ORDER BY DESCRIPCION"},
    // F5 on the search box: the text typed as a LIKE (Lib_FrmCons3::CmbSearch_KeyDown).
    {"lookup, LIKE search", "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0"
                            "  and DESCRIPCION like '%pin%1%'  ORDER BY DESCRIPCION "},
    // A table without a definition: its columns first, then the list.
    {"lookup, columns", "select top %1 * from V_TA_Unidad"},
    {"lookup, automatic", "SELECT TOP %1 Descripcion,IdUnidad FROM V_TA_Unidad ORDER BY IdUnidad"},
    // The export of articles (productos.cpp).
    {"export", "SELECT idarticulo , ISNULL(CODIGOBARRA  , '') as CODIGOBARRA, DESCRIPCION, 0 as Stock FROM V_MA_Articulos   "
               " where SUSPENDIDO = %1   "},
};

QString Texto(const Sentencia& s, int ronda) { return QString::fromUtf8(s.sql).arg(ronda); }

double PorSentencia(int rondas, const std::function<void(int)>& una)
{
    for (int k = 0; k < rondas / 10; ++k) // caches and allocator warmed, first rounds' numbers out of the way
        una(1000000 + k);
    const std::clock_t t0 = std::clock();
    for (int k = 0; k < rondas; ++k)
        una(k);
    return Us(t0) / rondas;
}

#ifdef TRADUCCION_TIPADA
// The rows of a native statement as texts, as the provider reads the schema.
std::vector<std::vector<QString>> Filas(sqlite3* db, const QString& sql)
{
    std::vector<std::vector<QString>> r;
    sqlite3_stmt* st = nullptr;
    const QByteArray t = sql.toUtf8();
    if (sqlite3_prepare_v2(db, t.constData(), int(t.size()), &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<QString> f;
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            f.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i))));
        r.push_back(std::move(f));
    }
    sqlite3_finalize(st);
    return r;
}

// The schema's version, read before each translation as the provider reads
// it: one statement kept prepared.
struct Version {
    sqlite3* db;
    sqlite3_stmt* st = nullptr;
    ~Version() { sqlite3_finalize(st); }
    std::int64_t operator()()
    {
        if (!st)
            sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &st, nullptr);
        const std::int64_t v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
        sqlite3_reset(st);
        return v;
    }
};

// The schema read once: what the translation costs without the file.
class EsquemaEnMemoria : public tsql::Esquema {
public:
    explicit EsquemaEnMemoria(sqlite3* db) : db_(db) {}
    bool columnas(const QString& tabla, std::vector<tsql::ColumnaDeclarada>& r) override
    {
        auto it = tablas_.find(tabla.toLower());
        if (it == tablas_.end()) {
            std::vector<tsql::ColumnaDeclarada> c;
            for (const auto& f : Filas(db_, QStringLiteral("PRAGMA table_info(\"%1\")").arg(tabla)))
                c.push_back({f[1], f[2]});
            it = tablas_.insert(tabla.toLower(), c);
        }
        r.insert(r.end(), it->begin(), it->end());
        return !it->empty();
    }

private:
    sqlite3* db_;
    QHash<QString, std::vector<tsql::ColumnaDeclarada>> tablas_;
};
#endif

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool mostrar = argc > 1 && std::strcmp(argv[1], "--sql") == 0;
    const int rondas = argc > 1 && !mostrar ? std::atoi(argv[1]) : 2000;
    QTemporaryDir dir;
    demo::Opciones o;
    o.carpeta = dir.path();
    o.articulos = 1000;
    demo::Genera(o);
#ifdef TRADUCCION_TIPADA
    sqlite3* db = nullptr;
    if (sqlite3_open((dir.path() + QStringLiteral("/DEMO.sqlite")).toUtf8().constData(), &db) != SQLITE_OK)
        return 1;
    ado::servidor::Registrar(db);
    ado::sesion::Registrar(db);
    if (mostrar) {
        ado::TraductorSqlite t([db](const QString& sql) { return Filas(db, sql); });
        for (const Sentencia& s : kSentencias)
            for (const auto& salida : t.traducir(Texto(s, 1), QString())->sentencias)
                std::printf("%s:\n  %s\n", s.nombre, qPrintable(salida.sql));
        return 0;
    }
    std::printf("typed translation, %d rounds, us of processor time per statement\n", rondas);
    std::printf("%-22s %10s %10s %10s %12s\n", "statement", "cold", "warm", "parse", "in memory");
    for (const Sentencia& s : kSentencias) {
        Version version{db};
        ado::TraductorSqlite t([db](const QString& sql) { return Filas(db, sql); }, std::ref(version));
        const double frio = PorSentencia(rondas, [&](int k) { t.traducir(Texto(s, k), QString()); });
        const QString una = Texto(s, 0);
        const double caliente = PorSentencia(rondas * 100, [&](int) { t.traducir(una, QString()); });
        const double analisis = PorSentencia(rondas, [&](int k) { tsql::Analizar(Texto(s, k)); });
        EsquemaEnMemoria e(db);
        const double memoria = PorSentencia(rondas, [&](int k) { tsql::Traducir(Texto(s, k), e); });
        std::printf("%-22s %10.2f %10.3f %10.2f %12.2f\n", s.nombre, frio, caliente, analisis, memoria);
    }
    sqlite3_close(db);
#else
    if (mostrar) {
        for (const Sentencia& s : kSentencias)
            std::printf("%s:\n  %s\n", s.nombre, qPrintable(ado::TraducirASqlite(Texto(s, 1))));
        return 0;
    }
    std::printf("token rewriter, %d rounds, us of processor time per statement\n", rondas);
    std::printf("%-22s %10s %10s\n", "statement", "cold", "warm");
    for (const Sentencia& s : kSentencias) {
        const double frio = PorSentencia(rondas, [&](int k) { ado::TraducirASqlite(Texto(s, k)); });
        const QString una = Texto(s, 0);
        const double caliente = PorSentencia(rondas * 100, [&](int) { ado::TraducirASqlite(una); });
        std::printf("%-22s %10.2f %10.3f\n", s.nombre, frio, caliente);
    }
#endif
    return 0;
}
