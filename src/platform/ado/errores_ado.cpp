#include "platform/ado/errores_ado.h"

#include "platform/ado/provider.h"

#include <QRegularExpression>

namespace ado {

namespace {

// A failure recognised by a piece of the SQLite message or by the native
// number a server sends, with what the suite sees of it.
struct Regla {
    const char* mensajeSqlite; // piece of the SQLite message, or nullptr
    int nativo;                // the server's number
    std::int32_t numero;
    const char* sqlstate;
    const char* texto; // nullptr: the message is already the server's own
};

const Regla kReglas[] = {
    // Raised by the embedded database's own functions with the server's texts.
    {"Conversion failed when converting the varchar value", 245, DB_E_CANTCONVERTVALUE, "22018", nullptr},
    {"Conversion failed when converting date and/or time", 241, DB_E_CANTCONVERTVALUE, "22007", nullptr},
    {"Error converting data type varchar to", 8114, DB_E_CANTCONVERTVALUE, "22018", nullptr},
    {"Cannot convert a char value to money", 235, DB_E_CANTCONVERTVALUE, "22018", nullptr},
    {"Arithmetic overflow error converting", 8115, DB_E_DATAOVERFLOW, "22003", nullptr},
    {"Arithmetic overflow error for type", 232, DB_E_DATAOVERFLOW, "22003", nullptr},
    {"Divide by zero error encountered", 8134, DB_E_ERRORSINCOMMAND, "22012", nullptr},
    {"incompatible in the modulo operator", 402, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"Invalid length parameter passed to the right", 536, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"Invalid length parameter passed to the", 537, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"Subquery returned more than 1 value", 512, DB_E_ERRORSINCOMMAND, "21000", nullptr},
    {"String or binary data would be truncated", nativo::Truncado, DB_E_DATAOVERFLOW, "22001", nullptr},
    {"SET DATEFORMAT date order", 2741, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"Invalid collation", 448, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"column caused an overflow", 517, DB_E_DATAOVERFLOW, "22008", nullptr},
    {"The datediff function resulted in an overflow", 535, DB_E_DATAOVERFLOW, "22003", nullptr},
    {"Cannot construct data type", 289, DB_E_CANTCONVERTVALUE, "22007", nullptr},
    {"An invalid floating point operation occurred", 3623, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"is not a recognized date", 155, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"is not a defined system type", 243, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"was specified in a LIKE predicate", 506, DB_E_ERRORSINCOMMAND, "22019", nullptr},
    {"nesting level exceeded (limit 32)", 217, DB_E_ERRORSINCOMMAND, "42000", nullptr},
    {"The transaction ended in the trigger", 3609, DB_E_ERRORSINCOMMAND, "25000", nullptr},
    {"cannot create AFTER trigger on view", 8197, DB_E_ERRORSINCOMMAND, "42000",
     "The object does not exist or is invalid for this operation."},
    {"UNIQUE constraint failed", nativo::ClaveDuplicada, DB_E_INTEGRITYVIOLATION, "23000",
     "Violation of PRIMARY KEY constraint. Cannot insert duplicate key in object."},
    {nullptr, 2601, DB_E_INTEGRITYVIOLATION, "23000", "Cannot insert duplicate key row in object."},
    {"FOREIGN KEY constraint failed", nativo::Restriccion, DB_E_INTEGRITYVIOLATION, "23000",
     "The statement conflicted with a FOREIGN KEY constraint."},
    {"CHECK constraint failed", nativo::Restriccion, DB_E_INTEGRITYVIOLATION, "23000",
     "The statement conflicted with a CHECK constraint."},
    {"NOT NULL constraint failed", 515, DB_E_INTEGRITYVIOLATION, "23000",
     "Cannot insert the value NULL into column; column does not allow nulls."},
    {"string or blob too big", nativo::Truncado, DB_E_DATAOVERFLOW, "22001",
     "String or binary data would be truncated."},
    {"integer overflow", 8115, DB_E_DATAOVERFLOW, "22003", "Arithmetic overflow error converting expression."},
    {"datatype mismatch", 245, DB_E_CANTCONVERTVALUE, "22018", "Conversion failed when converting the value."},
    {"no such table", 208, DB_E_NOTABLE, "42S02", "Invalid object name."},
    {"no such view", 208, DB_E_NOTABLE, "42S02", "Invalid object name."},
    {"no such column", 207, DB_E_ERRORSINCOMMAND, "42S22", "Invalid column name."},
    {"no such function", 195, DB_E_ERRORSINCOMMAND, "42000", "Not a recognized built-in function name."},
    {"wrong number of arguments", 174, DB_E_ERRORSINCOMMAND, "42000",
     "The function was given a wrong number of arguments."},
    {"already exists", 2714, DB_E_ERRORSINCOMMAND, "42S01", "There is already an object with that name in the database."},
    {"parser stack overflow", 191, DB_E_ERRORSINCOMMAND, "42000",
     "Some part of your SQL statement is nested too deeply for the embedded database, whose parser takes about 30 "
     "nested calls or 11 nested subqueries; nesting this deep is not supported by the embedded database. Rewrite the "
     "query or break it up into smaller queries."},
    {"syntax error", 102, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax."},
    {"incomplete input", 102, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax."},
    {"unrecognized token", 102, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax."},
    {"cannot rollback - no transaction", 3903, DB_E_ERRORSINCOMMAND, "25000",
     "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."},
    {"cannot commit - no transaction", 3902, DB_E_ERRORSINCOMMAND, "25000",
     "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."},
    {"within a transaction", 0, DB_E_ERRORSINCOMMAND, "25000", "A transaction is already active."},
    {"database is locked", 1222, DB_E_TIMEOUT, "HYT00", "Lock request time out period exceeded."},
    {"database table is locked", 1222, DB_E_TIMEOUT, "HYT00", "Lock request time out period exceeded."},
    {"interrupted", 0, DB_E_TIMEOUT, "HYT00", "Query timeout expired."},
    {"readonly database", 3906, DB_E_ERRORSINCOMMAND, "42000",
     "Failed to update database because the database is read-only."},
    {"database or disk is full", 1105, DB_E_ERRORSINCOMMAND, "42000",
     "Could not allocate space for object in database because the disk is full."},
    {nullptr, nativo::Truncado, DB_E_DATAOVERFLOW, "22001", "String or binary data would be truncated."},
    {nullptr, 1205, DB_E_ERRORSINCOMMAND, "40001", "Transaction was deadlocked and has been chosen as the deadlock victim."},
    {nullptr, 156, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax near a keyword."},
    {nullptr, 170, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax."},
    {nullptr, 245, DB_E_CANTCONVERTVALUE, "22018", "Conversion failed when converting the value."},
    {nullptr, 8114, DB_E_CANTCONVERTVALUE, "22018", "Error converting data type."},
    {nullptr, nativo::BaseInexistente, E_FAIL, "42000", "Cannot open database requested by the login."},
};

// SQLite's primary result codes (sqlite3.h), as the driver passes them too.
enum CodigoSqlite {
    kError = 1, kInterno = 2, kPermiso = 3, kAborto = 4, kOcupada = 5, kBloqueada = 6, kMemoria = 7,
    kSoloLectura = 8, kInterrumpida = 9, kEntradaSalida = 10, kCorrupta = 11, kLlena = 13, kNoAbre = 14,
    kProtocolo = 15, kEsquema = 17, kGrande = 18, kRestriccion = 19, kTipo = 20, kMalUso = 21, kRango = 25,
    kNoEsBase = 26,
};

// What the code alone says, for messages no rule knows.
struct ReglaCodigo {
    int codigo;
    std::int32_t numero;
    const char* sqlstate;
    int nativo;
};
const ReglaCodigo kCodigos[] = {
    {kRestriccion, DB_E_INTEGRITYVIOLATION, "23000", nativo::Restriccion},
    {kTipo, DB_E_CANTCONVERTVALUE, "22018", 245},
    {kGrande, DB_E_DATAOVERFLOW, "22001", nativo::Truncado},
    {kOcupada, DB_E_TIMEOUT, "HYT00", 1222},
    {kBloqueada, DB_E_TIMEOUT, "HYT00", 1222},
    {kInterrumpida, DB_E_TIMEOUT, "HYT00", 0},
    {kSoloLectura, DB_E_ERRORSINCOMMAND, "42000", 3906},
    {kLlena, DB_E_ERRORSINCOMMAND, "42000", 1105},
    {kRango, DB_E_ERRORSINCOMMAND, "07009", 0},
    {kMemoria, E_OUTOFMEMORY, "HY001", 0},
};

// The database file itself fails: the link to the data is gone, as when a
// server drops the connection; re-opening is what may bring it back.
bool EnlacePerdido(int primario)
{
    return primario == kEntradaSalida || primario == kCorrupta || primario == kNoAbre || primario == kNoEsBase
        || primario == kProtocolo;
}

Error EnlaceCaido(const QString& mensaje, const QString& origen)
{
    return {E_FAIL, QStringLiteral("General network error: the database file cannot be used. (%1)").arg(mensaje), origen,
            QStringLiteral("08S01"), nativo::ErrorRed};
}

// By SQLState when the native number says nothing.
std::int32_t NumeroDeSqlState(const QString& s)
{
    if (s.startsWith(u"08") || s == u"HYT01")
        return E_FAIL; // the link is gone (HYT01: the server stopped answering)
    if (s.startsWith(u"23"))
        return DB_E_INTEGRITYVIOLATION;
    if (s == u"42S02")
        return DB_E_NOTABLE;
    if (s == u"HYT00")
        return DB_E_TIMEOUT;
    if (s == u"22001" || s == u"22003")
        return DB_E_DATAOVERFLOW;
    if (s == u"22005" || s == u"22007" || s == u"22008" || s == u"22018" || s == u"07006")
        return DB_E_CANTCONVERTVALUE;
    if (s == u"HY001")
        return E_OUTOFMEMORY;
    if (s.startsWith(u"IM"))
        return E_FAIL; // the driver manager could not reach a driver
    // Syntax and access (42, 37000), data (22), transaction state (25, 40),
    // and the general error (HY000) a server sends for a statement it refused.
    return DB_E_ERRORSINCOMMAND;
}

struct ErrorObjeto {
    std::int32_t numero;
    const char* texto;
};
const ErrorObjeto kObjetos[] = {
    {adErrObjectClosed, "Operation is not allowed when the object is closed."},
    {adErrObjectOpen, "Operation is not allowed when the object is open."},
    {adErrInvalidConnection,
     "The connection cannot be used to perform this operation. It is either closed or invalid in this context."},
    {adErrIllegalOperation, "Operation is not allowed in this context."},
    {adErrNoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted. Requested "
                           "operation requires a current record."},
    {adErrItemNotFound, "Item cannot be found in the collection corresponding to the requested name or ordinal."},
    {adErrFeatureNotAvailable, "Current Recordset does not support updating. This may be a limitation of the "
                               "provider, or of the selected locktype."},
    {XACT_E_NOTRANSACTION, "No transaction is active."},
    {DB_E_CANTFETCHBACKWARDS, "Rowset does not support fetching backward."},
    {DB_E_ROWNOTFOUND, "Row cannot be located for updating. Some values may have been changed since it was last read."},
};

} // namespace

void FallaDe(Error e) { throw FallaProveedor{{std::move(e)}}; }

void RaiseAdo(std::int32_t numero, const char* objeto)
{
    for (const auto& o : kObjetos)
        if (o.numero == numero)
            Raise(numero, QString::fromLatin1(o.texto), QString::fromLatin1(objeto));
    Raise(numero, QStringLiteral("Error %1").arg(numero), QString::fromLatin1(objeto));
}

Error ErrorSqlite(int codigo, const QString& mensaje, const QString& origen)
{
    const int primario = codigo & 0xff;
    if (EnlacePerdido(primario))
        return EnlaceCaido(mensaje, origen);
    // "Msg <number>: <text>", as ss_error(number, text) raises a server's error.
    static const QRegularExpression kNumerado(QStringLiteral("^Msg (\\d+): (.*)$"),
                                              QRegularExpression::DotMatchesEverythingOption);
    if (const auto m = kNumerado.match(mensaje); m.hasMatch()) {
        Error e{DB_E_ERRORSINCOMMAND, m.captured(2), origen, QStringLiteral("42000"), m.captured(1).toInt()};
        for (const auto& r : kReglas)
            if (r.nativo == e.NativeError) {
                e.Number = r.numero;
                e.SQLState = QString::fromLatin1(r.sqlstate);
                break;
            }
        return e;
    }
    for (const auto& r : kReglas)
        if (r.mensajeSqlite && mensaje.contains(QLatin1String(r.mensajeSqlite), Qt::CaseInsensitive))
            return {r.numero, r.texto ? QStringLiteral("%1 (%2)").arg(QLatin1String(r.texto), mensaje) : mensaje,
                    origen, QString::fromLatin1(r.sqlstate), r.nativo};
    for (const auto& r : kCodigos)
        if (r.codigo == primario)
            return {r.numero, mensaje, origen, QString::fromLatin1(r.sqlstate), r.nativo};
    // Any other refusal of a statement (SQLITE_ERROR and the rest).
    return {DB_E_ERRORSINCOMMAND, mensaje, origen, QStringLiteral("42000"), 0};
}

Error ErrorAbrirSqlite(int codigo, const QString& base, const QString& motivo, const QString& origen)
{
    const int primario = codigo & 0xff;
    if (primario == kOcupada || primario == kBloqueada)
        return {E_FAIL,
                QStringLiteral("Login timeout expired: the database \"%1\" is locked by another connection. (%2)")
                    .arg(base, motivo),
                origen, QStringLiteral("HYT00"), 0};
    return {E_FAIL, QStringLiteral("Cannot open database \"%1\": %2").arg(base, motivo), origen,
            QStringLiteral("42000"), nativo::BaseInexistente};
}

Error ErrorNativo(int nativo, const QString& mensaje, const QString& origen)
{
    for (const auto& r : kReglas)
        if (r.nativo == nativo && nativo != 0)
            return {r.numero, mensaje, origen, QString::fromLatin1(r.sqlstate), nativo};
    return {DB_E_ERRORSINCOMMAND, mensaje, origen, QStringLiteral("42000"), nativo};
}

Error ErrorCaracterNulo(const QString& origen)
{
    return {DB_E_ERRORSINCOMMAND, QStringLiteral("Incorrect syntax near character 0 (NUL) in the statement."), origen,
            QStringLiteral("42000"), 102};
}

std::vector<Error> ErroresOdbc(const std::vector<RegistroOdbc>& registros, const QString& origen, bool destinoSqlite,
                               bool conectando)
{
    std::vector<Error> r;
    bool enlace = false;
    for (const RegistroOdbc& g : registros) {
        Error e;
        if (destinoSqlite && g.nativo > 0 && g.sqlstate == u"HY000") {
            // SQLite's own code and message, read as the native provider reads them.
            e = ErrorSqlite(g.nativo, g.mensaje, origen);
        } else {
            e = {NumeroDeSqlState(g.sqlstate), g.mensaje, origen, g.sqlstate, g.nativo};
            if (!destinoSqlite && g.nativo != 0)
                for (const auto& k : kReglas)
                    if (k.nativo == g.nativo) {
                        e.Number = k.numero;
                        break;
                    }
            if (g.sqlstate == u"08S01")
                e.NativeError = nativo::ErrorRed; // the general network error the suite re-opens on
        }
        enlace = enlace || e.Number == E_FAIL;
        r.push_back(std::move(e));
    }
    // A broken link reported after a time-out or a statement error is still
    // a broken link: the first error carries the number the caller tests.
    if ((enlace || conectando) && !r.empty())
        r.front().Number = E_FAIL;
    return r;
}

Error ErrorCadena(const QString& detalle)
{
    return {DB_E_BADINITSTRING,
            QStringLiteral("Format of the initialization string does not conform to the OLE DB specification. %1")
                .arg(detalle),
            QStringLiteral("ADODB.Connection"), QString(), 0};
}

Error ErrorProveedorDesconocido(const QString& proveedor)
{
    return {adErrProviderNotFound,
            QStringLiteral("Provider cannot be found. It may not be properly installed. (%1)").arg(proveedor),
            QStringLiteral("ADODB.Connection"), QString(), 0};
}

Error ErrorRed(const QString& origen)
{
    return {E_FAIL, QStringLiteral("[DBNETLIB][ConnectionWrite (send()).]General network error. Check your network documentation."),
            origen, QStringLiteral("08S01"), nativo::ErrorRed};
}

Error ErrorBaseInexistente(const QString& base, const QString& origen)
{
    return {E_FAIL, QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.").arg(base),
            origen, QStringLiteral("42000"), nativo::BaseInexistente};
}

Error ErrorServidor(const QString& servidor, const QString& detalle, const QString& origen)
{
    return {E_FAIL,
            QStringLiteral("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied. (%1: %2)")
                .arg(servidor, detalle),
            origen, QStringLiteral("08001"), nativo::ServidorInexistente};
}

Error ErrorServidores(const QString& archivo, const QString& detalle)
{
    return {E_FAIL, QStringLiteral("The server list %1 cannot be used: %2").arg(archivo, detalle),
            QStringLiteral("SQLOLEDB"), QStringLiteral("HY000"), 0};
}

Error ErrorJet(int numeroJet, const QString& archivo, const QString& origen)
{
    QString texto;
    switch (numeroJet) {
    case 3024: texto = QStringLiteral("Could not find file '%1'.").arg(archivo); break;
    case 3044: texto = QStringLiteral("'%1' is not a valid path. Make sure that the path name is spelled correctly and "
                                      "that you are connected to the server on which the file resides.").arg(archivo); break;
    default:
        texto = QStringLiteral("The database engine cannot open the file '%1'. It is already opened exclusively by "
                               "another user, or you need permission to view its data.").arg(archivo);
        numeroJet = 3051;
    }
    return {E_FAIL, texto, origen, QString::number(numeroJet), numeroJet};
}

} // namespace ado
