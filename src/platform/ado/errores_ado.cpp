#include "platform/ado/errores_ado.h"

#include "platform/ado/provider.h"

namespace ado {

namespace {

// A failure recognised by a piece of the SQLite message or by the native
// number a server sends, with what the suite sees of it.
struct Regla {
    const char* mensajeSqlite; // piece of the SQLite message, or nullptr
    int nativo;                // the server's number
    std::int32_t numero;
    const char* sqlstate;
    const char* texto;
};

const Regla kReglas[] = {
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
    {"no such table", 208, DB_E_NOTABLE, "42S02", "Invalid object name."},
    {"no such column", 207, DB_E_ERRORSINCOMMAND, "42S22", "Invalid column name."},
    {"no such function", 195, DB_E_ERRORSINCOMMAND, "42000", "Not a recognized built-in function name."},
    {"already exists", 2714, DB_E_ERRORSINCOMMAND, "42S01", "There is already an object with that name in the database."},
    {"syntax error", 102, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax."},
    {"incomplete input", 102, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax."},
    {"cannot rollback - no transaction", 3903, DB_E_ERRORSINCOMMAND, "25000",
     "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."},
    {"cannot commit - no transaction", 3902, DB_E_ERRORSINCOMMAND, "25000",
     "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."},
    {"within a transaction", 0, DB_E_ERRORSINCOMMAND, "25000", "A transaction is already active."},
    {"database is locked", 1222, DB_E_TIMEOUT, "HYT00", "Lock request time out period exceeded."},
    {"database table is locked", 1222, DB_E_TIMEOUT, "HYT00", "Lock request time out period exceeded."},
    {"interrupted", 0, DB_E_TIMEOUT, "HYT00", "Query timeout expired."},
    {"readonly database", 3906, E_FAIL, "42000", "Failed to update database because the database is read-only."},
    {nullptr, 156, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax near a keyword."},
    {nullptr, 170, DB_E_ERRORSINCOMMAND, "42000", "Incorrect syntax."},
    {nullptr, nativo::BaseInexistente, E_FAIL, "42000", "Cannot open database requested by the login."},
};

// By SQLState class when the native number says nothing.
std::int32_t NumeroDeSqlState(const QString& s)
{
    if (s.startsWith(u"23"))
        return DB_E_INTEGRITYVIOLATION;
    if (s == u"42S02")
        return DB_E_NOTABLE;
    if (s.startsWith(u"42") || s == u"37000")
        return DB_E_ERRORSINCOMMAND;
    if (s == u"HYT00" || s == u"HYT01")
        return DB_E_TIMEOUT;
    if (s == u"22001")
        return DB_E_DATAOVERFLOW;
    return E_FAIL;
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

Error ErrorSqlite(const QString& mensaje, const QString& origen)
{
    for (const auto& r : kReglas)
        if (r.mensajeSqlite && mensaje.contains(QLatin1String(r.mensajeSqlite), Qt::CaseInsensitive))
            return {r.numero, QStringLiteral("%1 (%2)").arg(QLatin1String(r.texto), mensaje), origen,
                    QString::fromLatin1(r.sqlstate), r.nativo};
    return {E_FAIL, mensaje, origen, QStringLiteral("HY000"), 0};
}

Error ErrorOdbc(const QString& sqlstate, int nativoOdbc, const QString& mensaje, const QString& origen,
                bool destinoSqlite)
{
    if (destinoSqlite) {
        // The driver reports SQLite's own codes: read the message as the native provider does.
        Error e = ErrorSqlite(mensaje, origen);
        if (e.NativeError != 0 || sqlstate.isEmpty())
            return e;
    }
    Error e{NumeroDeSqlState(sqlstate), mensaje, origen, sqlstate, nativoOdbc};
    for (const auto& r : kReglas)
        if (!destinoSqlite && r.nativo == nativoOdbc && nativoOdbc != 0) {
            e.Number = r.numero;
            break;
        }
    // A broken link is the general network error the suite re-opens on.
    if (sqlstate == u"08S01") {
        e.Number = E_FAIL;
        e.NativeError = nativo::ErrorRed;
    }
    if (sqlstate.startsWith(u"08"))
        e.Number = E_FAIL;
    return e;
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
