#include "platform/ado/sqlite_sesion.h"

#include "platform/ado/provider.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <unordered_map>
#include <utility>

namespace ado::sesion {

namespace {

// A value SQLite keeps for as long as the variable holding it.
struct Valor {
    sqlite3_value* v = nullptr;
    Valor() = default;
    Valor(const Valor&) = delete;
    Valor& operator=(const Valor&) = delete;
    ~Valor() { sqlite3_value_free(v); }
};

struct Estado {
    int anidadas = 0;      // savepoints ss_tran open
    int base = 0;          // 1 when they are inside a transaction begun otherwise
    bool autoAntes = true; // no transaction before the statement
    sqlite3_int64 cambiosAntes = 0;
    sqlite3_int64 filas = 0;
    bool filasFijadas = false; // the statement set them (ss_fijar_rowcount)
    // The number the last INSERT of the translation gave (@@IDENTITY), and
    // the last of the batch's own scope, not a trigger's (SCOPE_IDENTITY()).
    struct Numero {
        bool hay = false;
        sqlite3_int64 valor = 0;
    } identidad, ambito;
    QByteArray nombreBase; // DB_NAME()
    int spid = 0;     // @@SPID
    int error = 0;    // @@ERROR: the native number of the last statement's failure
    std::unordered_map<std::string, Valor> variables; // DECLARE @x of the batches
};

// One program thread; an entry lives as long as its connection.
std::unordered_map<sqlite3*, Estado>& Estados()
{
    static std::unordered_map<sqlite3*, Estado> e;
    return e;
}

Estado& De(sqlite3* db) { return Estados()[db]; }

enum class Clase { Otra, Comienzo, Confirmacion, Deshacer };

Clase ClaseDe(sqlite3_stmt* st)
{
    const char* sql = sqlite3_sql(st);
    if (!sql)
        return Clase::Otra;
    while (*sql == ' ' || *sql == '\t' || *sql == '\r' || *sql == '\n')
        ++sql;
    if (sqlite3_strnicmp(sql, "SAVEPOINT ss_tran", 17) == 0)
        return Clase::Comienzo;
    if (sqlite3_strnicmp(sql, "RELEASE ss_tran", 15) == 0)
        return Clase::Confirmacion;
    if (sqlite3_strnicmp(sql, "ROLLBACK", 8) == 0 && std::strstr(sql, " TO ") == nullptr)
        return Clase::Deshacer;
    return Clase::Otra;
}

int Cuenta(sqlite3* db)
{
    if (sqlite3_get_autocommit(db))
        return 0;
    const Estado& e = De(db);
    return std::max(1, e.anidadas + e.base);
}

void Trancount(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3_result_int(ctx, Cuenta(sqlite3_context_db_handle(ctx)));
}

void Rowcount(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3_result_int64(ctx, De(sqlite3_context_db_handle(ctx)).filas);
}

// ss_fijar_rowcount(n): @@ROWCOUNT as the statement that fired a trigger
// left it, whatever the bookkeeping around the trigger changed since.
void FijarRowcount(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    Estado& e = De(sqlite3_context_db_handle(ctx));
    e.filas = sqlite3_value_int64(argv[0]);
    e.filasFijadas = true;
    sqlite3_result_null(ctx);
}

// The number an INSERT gave its identity column; NULL before any, and after
// one into a table without identity.
void Numero(sqlite3_context* ctx, const Estado::Numero& n)
{
    if (n.hay)
        sqlite3_result_int64(ctx, n.valor);
    else
        sqlite3_result_null(ctx);
}

void Identity(sqlite3_context* ctx, int, sqlite3_value**) { Numero(ctx, De(sqlite3_context_db_handle(ctx)).identidad); }

void ScopeIdentity(sqlite3_context* ctx, int, sqlite3_value**) { Numero(ctx, De(sqlite3_context_db_handle(ctx)).ambito); }

// ss_fijar_identidad(x): what the translation says the last INSERT numbered
// (the row id of a table with identity, NULL for one without);
// ss_fijar_ambito(x): the scope's own again, after a trigger's.
void FijarAmbito(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    Estado& e = De(sqlite3_context_db_handle(ctx));
    e.ambito = {sqlite3_value_type(argv[0]) != SQLITE_NULL, sqlite3_value_int64(argv[0])};
    sqlite3_result_null(ctx);
}

void FijarIdentidad(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    FijarAmbito(ctx, argc, argv);
    Estado& e = De(sqlite3_context_db_handle(ctx));
    e.identidad = e.ambito;
}

void DbName(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3* db = sqlite3_context_db_handle(ctx);
    QByteArray b = De(db).nombreBase;
    // A connection the program did not open itself (the ODBC driver's): its file's name.
    if (b.isEmpty())
        if (const char* archivo = sqlite3_db_filename(db, "main"); archivo && *archivo)
            b = QFileInfo(QString::fromUtf8(archivo)).completeBaseName().toUtf8();
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

void Spid(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3_result_int(ctx, De(sqlite3_context_db_handle(ctx)).spid);
}

void UltimoError(sqlite3_context* ctx, int, sqlite3_value**)
{
    sqlite3_result_int(ctx, De(sqlite3_context_db_handle(ctx)).error);
}

// ss_var_fijar(name, value): SET @x, SELECT @x = ...; ss_var(name): its value.
void FijarVariable(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    Estado& e = De(sqlite3_context_db_handle(ctx));
    const std::string nombre(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), size_t(sqlite3_value_bytes(argv[0])));
    Valor& v = e.variables[nombre];
    sqlite3_value_free(v.v);
    v.v = sqlite3_value_dup(argv[1]);
    sqlite3_result_null(ctx);
}

void Variable(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const Estado& e = De(sqlite3_context_db_handle(ctx));
    const std::string nombre(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), size_t(sqlite3_value_bytes(argv[0])));
    const auto it = e.variables.find(nombre);
    if (it == e.variables.end() || !it->second.v)
        return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, it->second.v);
}

void Olvidar(void* db) { Estados().erase(static_cast<sqlite3*>(db)); }

[[noreturn]] void SinTransaccion(sqlite3_stmt* st, int nativo, const char* mensaje, const QString& origen)
{
    sqlite3_finalize(st);
    FallaDe({DB_E_ERRORSINCOMMAND, QString::fromLatin1(mensaje), origen, QStringLiteral("25000"), nativo});
}

} // namespace

void Registrar(sqlite3* db)
{
    // Session numbers as the server gives them: above the 50 of its own.
    static int sesiones = 50;
    De(db) = Estado{};
    De(db).spid = std::min(++sesiones, 32767);
    // The state goes with the connection: the last function dropped at close forgets it.
    sqlite3_create_function_v2(db, "ss_trancount", 0, SQLITE_UTF8, db, Trancount, nullptr, nullptr, Olvidar);
    sqlite3_create_function_v2(db, "ss_rowcount", 0, SQLITE_UTF8, nullptr, Rowcount, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_fijar_rowcount", 1, SQLITE_UTF8, nullptr, FijarRowcount, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_identity", 0, SQLITE_UTF8, nullptr, Identity, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_db_name", 0, SQLITE_UTF8, nullptr, DbName, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_spid", 0, SQLITE_UTF8, nullptr, Spid, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_ultimo_error", 0, SQLITE_UTF8, nullptr, UltimoError, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_fijar_identidad", 1, SQLITE_UTF8, nullptr, FijarIdentidad, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_scope_identity", 0, SQLITE_UTF8, nullptr, ScopeIdentity, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_fijar_ambito", 1, SQLITE_UTF8, nullptr, FijarAmbito, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_var_fijar", 2, SQLITE_UTF8, nullptr, FijarVariable, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ss_var", 1, SQLITE_UTF8, nullptr, Variable, nullptr, nullptr, nullptr);
}

void FijarBase(sqlite3* db, const QString& base) { De(db).nombreBase = base.toUtf8(); }

void Fallo(sqlite3* db, int nativo) { De(db).error = nativo; }

bool Antes(sqlite3* db, sqlite3_stmt* st, const QString& origen)
{
    Estado& e = De(db);
    e.autoAntes = sqlite3_get_autocommit(db) != 0;
    e.cambiosAntes = sqlite3_total_changes64(db);
    switch (ClaseDe(st)) {
    case Clase::Confirmacion:
        if (e.anidadas > 0)
            return true;
        if (e.autoAntes)
            SinTransaccion(st, 3902, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.", origen);
        // The provider's own transaction, committed by the statement as the server does.
        sqlite3_finalize(st);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            FallaDe({DB_E_ERRORSINCOMMAND, QString::fromUtf8(sqlite3_errmsg(db)), origen, QStringLiteral("25000"),
                     3902});
        e.base = 0;
        e.filas = 0;
        return false;
    case Clase::Deshacer:
        if (e.autoAntes)
            SinTransaccion(st, 3903, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.",
                           origen);
        return true;
    default:
        return true;
    }
}

void Despues(sqlite3* db, sqlite3_stmt* st)
{
    Estado& e = De(db);
    switch (ClaseDe(st)) {
    case Clase::Comienzo:
        if (e.anidadas == 0)
            e.base = e.autoAntes ? 0 : 1;
        ++e.anidadas;
        break;
    case Clase::Confirmacion:
        if (e.anidadas > 0)
            --e.anidadas;
        break;
    default:
        break;
    }
    if (sqlite3_get_autocommit(db))
        e.anidadas = e.base = 0;
    e.error = 0;
    // Rows changed by the statement itself (DDL changes none).
    if (!std::exchange(e.filasFijadas, false))
        e.filas = sqlite3_total_changes64(db) != e.cambiosAntes ? sqlite3_changes64(db) : 0;
}

} // namespace ado::sesion
