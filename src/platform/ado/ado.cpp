#include "platform/ado/ado.h"

#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/ado/recordset_interno.h"

#include <algorithm>

namespace ado {

namespace {
const char* const kConexion = "ADODB.Connection";
}

const Error& Errors::Item(int i) const
{
    if (i < 0 || i >= int(items_.size()))
        RaiseAdo(adErrItemNotFound, "ADODB.Errors");
    return items_[size_t(i)];
}

std::shared_ptr<Connection> Connection::Create() { return std::shared_ptr<Connection>(new Connection()); }

Connection::~Connection()
{
    for (Recordset* rs : std::vector<Recordset*>(abiertos_))
        CerrarRecordset(*rs);
}

int Connection::State() const { return provider_ ? adStateOpen : adStateClosed; }

Provider& Connection::provider()
{
    if (!provider_)
        RaiseAdo(adErrInvalidConnection, kConexion);
    return *provider_;
}

void Connection::raiseProvider(const Error& e)
{
    errors_.Add(e);
    Raise(e.Number, e.Description, e.Source);
}

void Connection::raiseProvider(const FallaProveedor& f)
{
    for (const Error& e : f.errores)
        errors_.Add(e);
    const Error& e = f.errores.front();
    Raise(e.Number, e.Description, e.Source);
}

void Connection::checkFault()
{
    if (fallas_.caida && provider_) {
        ++fallas_.fallosProducidos;
        raiseProvider(ErrorRed(provider_->nombre()));
    }
    if (fallas_.veces != 0) {
        if (fallas_.veces > 0)
            --fallas_.veces;
        ++fallas_.fallosProducidos;
        raiseProvider(fallas_.error);
    }
}

void Connection::filaFallida()
{
    if (fallas_.caeTrasFilas > 0) {
        --fallas_.caeTrasFilas;
        return;
    }
    if (fallas_.caeTrasFilas == 0) {
        fallas_.caeTrasFilas = -1;
        fallas_.caida = true;
    }
    if (fallas_.caida && provider_) {
        ++fallas_.fallosProducidos;
        throw FallaProveedor{{ErrorRed(provider_->nombre())}};
    }
}

void Connection::llamar(const std::function<void()>& operacion)
{
    errors_.Clear();
    checkFault();
    try {
        operacion();
    } catch (const FallaProveedor& f) {
        raiseProvider(f);
    }
}

void Connection::Open(const QString& connectionString, const QString& userId, const QString& password, int)
{
    if (provider_)
        RaiseAdo(adErrObjectOpen, kConexion);
    if (!connectionString.isEmpty())
        ConnectionString = connectionString;
    llamar([&] {
        CadenaConexion cadena = CadenaConexion::Leer(ConnectionString);
        // User and password given apart count when the string lacks them.
        QString texto = ConnectionString;
        if (!userId.isEmpty() && !cadena.tiene(QStringLiteral("UId")) && !cadena.tiene(QStringLiteral("User ID")))
            texto += QStringLiteral(";UId=") + userId;
        if (!password.isEmpty() && !cadena.tiene(QStringLiteral("Pwd")) && !cadena.tiene(QStringLiteral("Password")))
            texto += QStringLiteral(";Pwd=") + password;
        if (texto != ConnectionString)
            cadena = CadenaConexion::Leer(texto);
        auto p = AbrirProveedor(cadena, ConnectionTimeout, CommandTimeout);
        if (!basePendiente_.isEmpty())
            p->cambiarBase(basePendiente_);
        if (IsolationLevel != adXactReadCommitted)
            p->nivelAislamiento(IsolationLevel);
        provider_ = std::move(p);
    });
    basePendiente_.clear();
    transacciones_ = 0;
    fallas_.caida = false;
    ++fallas_.aperturas;
}

void Connection::Close()
{
    if (!provider_)
        RaiseAdo(adErrObjectClosed, kConexion);
    for (Recordset* rs : std::vector<Recordset*>(abiertos_))
        CerrarRecordset(*rs);
    abiertos_.clear();
    if (transacciones_ > 0) {
        try {
            provider_->deshacer();
        } catch (const FallaProveedor&) {
            // The link may already be gone; closing must still close.
        }
    }
    transacciones_ = 0;
    provider_.reset();
}

QString Connection::DefaultDatabase() const
{
    if (!provider_)
        return basePendiente_;
    return provider_->baseDefecto();
}

void Connection::setDefaultDatabase(const QString& db)
{
    if (!provider_) {
        basePendiente_ = db;
        return;
    }
    llamar([&] { provider_->cambiarBase(db); });
}

std::shared_ptr<Recordset> Connection::Execute(const QString& commandText, std::int32_t* recordsAffected, int)
{
    auto rs = std::make_shared<Recordset>();
    provider();
    llamar([&] {
        std::int64_t n = -1;
        auto cursor = provider_->ejecutarTsql(commandText, &n, CommandTimeout);
        if (recordsAffected)
            *recordsAffected = std::int32_t(std::clamp<std::int64_t>(n, INT32_MIN, INT32_MAX));
        if (cursor)
            AbrirRecordsetSobre(*rs, shared_from_this(), std::move(cursor), true);
    });
    return rs;
}

int Connection::BeginTrans()
{
    provider();
    llamar([&] {
        provider_->nivelAislamiento(IsolationLevel);
        provider_->comenzar();
    });
    return ++transacciones_;
}

void Connection::CommitTrans()
{
    provider();
    if (transacciones_ == 0)
        RaiseAdo(XACT_E_NOTRANSACTION, kConexion);
    llamar([&] { provider_->confirmar(); });
    transacciones_ = 0;
}

void Connection::RollbackTrans()
{
    provider();
    if (transacciones_ == 0)
        RaiseAdo(XACT_E_NOTRANSACTION, kConexion);
    transacciones_ = 0;
    llamar([&] { provider_->deshacer(); });
}

std::shared_ptr<Recordset> Connection::OpenSchema(int schema, const std::vector<Variant>& restrictions)
{
    provider();
    if (schema != adSchemaTables && schema != adSchemaColumns)
        RaiseAdo(adErrFeatureNotAvailable, kConexion);
    auto restriccion = [&](size_t i) {
        return i < restrictions.size() && !restrictions[i].isEmpty() && !restrictions[i].isNull()
            ? restrictions[i].toString().trimmed()
            : QString();
    };
    auto rs = std::make_shared<Recordset>();
    llamar([&] {
        const QString catalogo = provider_->baseDefecto();
        const QString pedido = restriccion(0), tabla = restriccion(2);
        // A server answers for the catalog asked; a single-file database has one.
        const bool otroCatalogo = !pedido.isEmpty() && provider_->nombre().startsWith(u"SQLOLEDB", Qt::CaseInsensitive)
            && pedido.compare(catalogo, Qt::CaseInsensitive) != 0;
        auto col = [](const char* n, int tipo) { return Columna{QString::fromLatin1(n), tipo, 128}; };
        std::vector<std::vector<Variant>> filas;
        std::vector<Columna> columnas;
        if (schema == adSchemaTables) {
            columnas = {col("TABLE_CATALOG", adVarWChar), col("TABLE_SCHEMA", adVarWChar), col("TABLE_NAME", adVarWChar),
                        col("TABLE_TYPE", adVarWChar)};
            const QString tipo = restriccion(3);
            if (!otroCatalogo)
                for (const auto& t : provider_->tablas()) {
                    const QString tt = t.vista ? QStringLiteral("VIEW") : QStringLiteral("TABLE");
                    if ((tabla.isEmpty() || t.nombre.compare(tabla, Qt::CaseInsensitive) == 0)
                        && (tipo.isEmpty() || tipo.compare(tt, Qt::CaseInsensitive) == 0))
                        filas.push_back({Variant(catalogo), Variant::Null(), Variant(t.nombre), Variant(tt)});
                }
        } else {
            columnas = {col("TABLE_CATALOG", adVarWChar), col("TABLE_SCHEMA", adVarWChar), col("TABLE_NAME", adVarWChar),
                        col("COLUMN_NAME", adVarWChar),   col("ORDINAL_POSITION", adInteger),
                        col("IS_NULLABLE", adBoolean),    col("DATA_TYPE", adInteger),
                        col("CHARACTER_MAXIMUM_LENGTH", adInteger)};
            const QString columna = restriccion(3);
            if (!otroCatalogo)
                for (const auto& c : provider_->columnas(tabla)) {
                    if (!tabla.isEmpty() && c.tabla.compare(tabla, Qt::CaseInsensitive) != 0)
                        continue;
                    if (!columna.isEmpty() && c.columna.compare(columna, Qt::CaseInsensitive) != 0)
                        continue;
                    filas.push_back({Variant(catalogo), Variant::Null(), Variant(c.tabla), Variant(c.columna),
                                     Variant(std::int32_t(c.posicion)), Variant(c.nulos), Variant(std::int32_t(c.tipo)),
                                     Variant(std::int32_t(c.tamano))});
                }
        }
        AbrirRecordsetSobre(*rs, shared_from_this(),
                            std::make_unique<CursorMemoria>(std::move(columnas), std::move(filas)), false);
    });
    return rs;
}

QString Connection::Provider() const
{
    if (provider_)
        return provider_->nombre();
    try {
        return CadenaConexion::Leer(ConnectionString).valor(QStringLiteral("Provider"));
    } catch (const FallaProveedor&) {
        return {};
    }
}

} // namespace ado
