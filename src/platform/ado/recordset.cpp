#include "platform/tsql/traductor.h"
#include "platform/tsql/disparadores.h"
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/ado/recordset_interno.h"

#include <QHash>
#include <algorithm>

namespace ado {

namespace {
const char* const kRecordset = "ADODB.Recordset";
const QString kClaveFila = QStringLiteral("ado_rowid__");

QString Citar(const QString& nombre) { return u'"' + QString(nombre).replace(u'"', QLatin1String("\"\"")) + u'"'; }
} // namespace

// Here, beside every caller, so that the check of an unarmed injector is inlined.
bool Connection::leerFila(Cursor& cursor, std::vector<Variant>& fila, bool* diferida)
{
    if (fallas_.caeTrasFilas >= 0 || fallas_.caida) [[unlikely]]
        filaFallida();
    return diferida ? cursor.avanzar(fila, *diferida) : cursor.siguiente(fila);
}

struct Recordset::Impl {
    std::shared_ptr<Connection> conn;
    bool abierto = false;
    bool streaming = false;
    std::vector<Field> campos;
    QHash<QString, int> nombres; // every spelling asked so far -> index
    int ocultas = 0;             // leading columns that are not fields (the row key)

    // Streamed rows: the current one only, each value read from the cursor
    // when it is first asked for (pendientes) if the cursor defers them.
    std::unique_ptr<Cursor> cursor;
    mutable std::vector<Variant> actual;
    mutable bool diferida = false;
    mutable std::vector<char> pendientes;
    long long leidas = 0;

    // Rows read whole.
    std::vector<std::vector<Variant>> filas;
    size_t pos = 0;
    bool borrada = false; // the current row was deleted; the next move leaves it

    bool fin = true;
    bool inicio = true;

    // Writing through the recordset.
    QString tabla;
    QStringList claves; // key columns; "rowid" when the row key is the hidden column
    enum class Edicion { Ninguna, Editando, Agregando } edicion = Edicion::Ninguna;
    std::vector<Variant> buffer;
    std::vector<char> cambiado;

    const std::vector<Variant>& fila() const
    {
        if (!streaming)
            return filas[pos];
        if (diferida) {
            for (size_t i = 0; i < actual.size(); ++i)
                valor(i);
            diferida = false;
        }
        return actual;
    }
    const Variant& valor(size_t i) const
    {
        if (!streaming)
            return filas[pos][i];
        if (diferida && pendientes[i]) {
            cursor->leerDiferida(int(i), actual[i]);
            pendientes[i] = 0;
        }
        return actual[i];
    }
    // After a step of the cursor.
    void enFilaNueva()
    {
        if (!diferida)
            return;
        actual.resize(cursor->columnas().size());
        pendientes.assign(actual.size(), 1);
    }
    bool hayFila() const { return abierto && !fin && !inicio && !borrada; }
};

void AbrirRecordsetSobre(Recordset& rs, const std::shared_ptr<Connection>& c, std::unique_ptr<Cursor> cursor,
                         bool streaming)
{
    auto& d = *rs.d_;
    d = Recordset::Impl{};
    const auto& cols = cursor->columnas();
    d.ocultas = !cols.empty() && cols.front().nombre == kClaveFila ? 1 : 0;
    // The first read may fail (the statement runs then): the recordset opens after it.
    if (streaming) {
        d.fin = !c->leerFila(*cursor, d.actual);
        d.leidas = d.fin ? 0 : 1;
    } else {
        std::vector<Variant> f;
        while (c->leerFila(*cursor, f))
            d.filas.push_back(std::move(f));
        d.pos = 0;
        d.fin = d.filas.empty();
    }
    d.inicio = d.fin; // BOF and EOF together only when there are no rows
    // Types are known once a value has been read (expression columns).
    const auto& tipos = cursor->columnas();
    d.campos.resize(tipos.size() - size_t(d.ocultas));
    for (size_t i = 0; i < d.campos.size(); ++i) {
        const Columna& col = tipos[i + size_t(d.ocultas)];
        Field& f = d.campos[i];
        f.Name = col.nombre;
        f.Type = col.tipo == adEmpty ? adVarWChar : col.tipo;
        f.DefinedSize = col.tipo == adEmpty ? 255 : col.tamano;
        f.rs_ = &rs;
        f.index_ = int(i);
        d.nombres.insert(f.Name, int(i));
    }
    if (streaming && !d.fin)
        d.cursor = std::move(cursor);
    d.conn = c;
    d.streaming = streaming;
    d.abierto = true;
    c->abiertos_.push_back(&rs);
}

void CerrarRecordset(Recordset& rs)
{
    auto& d = *rs.d_;
    if (!d.abierto)
        return;
    if (d.conn) {
        auto& v = d.conn->abiertos_;
        v.erase(std::remove(v.begin(), v.end(), &rs), v.end());
    }
    const int cursorType = rs.CursorType, lockType = rs.LockType;
    d = Recordset::Impl{};
    rs.CursorType = cursorType;
    rs.LockType = lockType;
}

Recordset::Recordset() : d_(std::make_unique<Impl>()) {}
Recordset::~Recordset() { CerrarRecordset(*this); }

int Recordset::State() const { return d_->abierto ? adStateOpen : adStateClosed; }
std::shared_ptr<Connection> Recordset::ActiveConnection() const { return d_->conn; }

void Recordset::Open(const QString& source, const std::shared_ptr<Connection>& activeConnection, int cursorType,
                     int lockType, int)
{
    if (d_->abierto)
        RaiseAdo(adErrObjectOpen, kRecordset);
    if (!activeConnection || activeConnection->State() != adStateOpen)
        RaiseAdo(adErrInvalidConnection, kRecordset);
    if (cursorType >= 0)
        CursorType = cursorType;
    if (lockType >= 0)
        LockType = lockType;
    Connection& c = *activeConnection;
    // Forward-only, read-only: rows stream one at a time whatever the cursor
    // location says. Every other kind is read whole (and so never leaves
    // results pending on a connection that allows one active statement).
    const bool streaming = CursorType == adOpenForwardOnly && LockType == adLockReadOnly;
    c.llamar([&] {
        Provider& p = c.provider();
        std::unique_ptr<Cursor> cursor;
        QString tabla;
        QStringList claves;
        if (LockType != adLockReadOnly) {
            tabla = tsql::TablaDeConsulta(source);
            if (!tabla.isEmpty() && p.esSqlite()) {
                try {
                    cursor = p.ejecutarTsql(source, nullptr, c.CommandTimeout, true);
                    if (cursor)
                        claves << QStringLiteral("rowid");
                } catch (const FallaProveedor&) {
                    // A view or a table without row ids: the values identify the row.
                }
            } else if (!tabla.isEmpty()) {
                claves = p.clave(tabla);
            }
        }
        if (!cursor)
            cursor = p.ejecutarTsql(source, nullptr, c.CommandTimeout);
        if (!cursor)
            return; // a statement without rows leaves the recordset closed
        AbrirRecordsetSobre(*this, activeConnection, std::move(cursor), streaming);
        d_->tabla = tabla;
        d_->claves = claves;
    });
}

void Recordset::Close()
{
    if (!d_->abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    if (d_->edicion != Impl::Edicion::Ninguna)
        RaiseAdo(adErrIllegalOperation, kRecordset);
    CerrarRecordset(*this);
}

bool Recordset::BOF() const
{
    if (!d_->abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    return d_->inicio;
}

bool Recordset::EOF_() const
{
    if (!d_->abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    return d_->fin && !d_->borrada;
}

void Recordset::MoveFirst()
{
    auto& d = *d_;
    if (!d.abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    if (d.edicion != Impl::Edicion::Ninguna)
        Update();
    if (d.streaming) {
        if (d.leidas > 1 || (d.fin && d.leidas > 0))
            RaiseAdo(DB_E_CANTFETCHBACKWARDS, kRecordset);
        return;
    }
    d.pos = 0;
    d.borrada = false;
    d.fin = d.inicio = d.filas.empty();
}

void Recordset::MoveNext()
{
    auto& d = *d_;
    if (!d.abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    if (d.edicion != Impl::Edicion::Ninguna)
        Update();
    if (d.borrada) {
        d.borrada = false; // the deleted row's place already holds the next one
        d.fin = d.pos >= d.filas.size();
        return;
    }
    if (d.fin)
        RaiseAdo(adErrNoCurrentRecord, kRecordset);
    if (d.streaming) {
        try {
            if (d.conn->leerFila(*d.cursor, d.actual, &d.diferida)) {
                d.enFilaNueva();
                ++d.leidas;
            } else {
                d.fin = true;
                d.cursor.reset();
            }
        } catch (const FallaProveedor& f) {
            d.fin = true;
            d.diferida = false;
            d.cursor.reset();
            d.conn->errors().Clear();
            d.conn->raiseProvider(f);
        }
        return;
    }
    ++d.pos;
    d.fin = d.pos >= d.filas.size();
}

int Recordset::FieldCount() const
{
    if (!d_->abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    return int(d_->campos.size());
}

Field& Recordset::Fields(int index)
{
    if (!d_->abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    if (index < 0 || index >= int(d_->campos.size()))
        RaiseAdo(adErrItemNotFound, kRecordset);
    return d_->campos[size_t(index)];
}

Field& Recordset::Fields(const QString& name)
{
    auto& d = *d_;
    if (!d.abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    // The same spelling is asked once per row: a hash hit, no allocation.
    if (auto it = d.nombres.constFind(name); it != d.nombres.constEnd())
        return d.campos[size_t(it.value())];
    for (size_t i = 0; i < d.campos.size(); ++i)
        if (d.campos[i].Name.compare(name, Qt::CaseInsensitive) == 0) {
            d.nombres.insert(name, int(i));
            return d.campos[i];
        }
    RaiseAdo(adErrItemNotFound, kRecordset);
}

bool Field::TextoUtf8(QByteArrayView& texto) const
{
    const auto& d = *rs_->d_;
    const size_t i = size_t(index_ + d.ocultas);
    return d.diferida && d.pendientes[i] && d.edicion == Recordset::Impl::Edicion::Ninguna && d.hayFila()
        && d.cursor->textoUtf8(int(i), texto);
}

const Variant& Field::Value() const
{
    const auto& d = *rs_->d_;
    if (d.edicion != Recordset::Impl::Edicion::Ninguna)
        return d.buffer[size_t(index_ + d.ocultas)];
    if (!d.hayFila())
        RaiseAdo(d.abierto ? adErrNoCurrentRecord : adErrObjectClosed, "ADODB.Field");
    return d.valor(size_t(index_ + d.ocultas));
}

std::vector<std::vector<Variant>> Recordset::GetRows()
{
    auto& d = *d_;
    if (!d.abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    if (!d.hayFila())
        RaiseAdo(adErrNoCurrentRecord, kRecordset);
    std::vector<std::vector<Variant>> r;
    auto tomar = [&](const std::vector<Variant>& f) {
        r.emplace_back(f.begin() + d.ocultas, f.end());
    };
    while (!d.fin) {
        tomar(d.fila());
        MoveNext();
    }
    return r;
}

bool Recordset::EditPending() const { return d_->edicion != Impl::Edicion::Ninguna; }

namespace {
void ExigeActualizable(bool abierto, bool actualizable)
{
    if (!abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    if (!actualizable)
        RaiseAdo(adErrFeatureNotAvailable, kRecordset);
}
} // namespace

void Field::setValue(const Variant& v)
{
    Recordset& rs = *rs_;
    auto& d = *rs.d_;
    if (rs.LockType == adLockReadOnly && d.abierto)
        RaiseAdo(adErrFeatureNotAvailable, "ADODB.Field");
    ExigeActualizable(d.abierto, rs.LockType != adLockReadOnly && !d.tabla.isEmpty());
    if (d.edicion == Recordset::Impl::Edicion::Ninguna) {
        if (!d.hayFila())
            RaiseAdo(adErrNoCurrentRecord, "ADODB.Field");
        d.buffer = d.fila();
        d.cambiado.assign(d.buffer.size(), 0);
        d.edicion = Recordset::Impl::Edicion::Editando;
    }
    d.buffer[size_t(index_ + d.ocultas)] = v;
    d.cambiado[size_t(index_ + d.ocultas)] = 1;
}

void Recordset::AddNew()
{
    ExigeActualizable(d_->abierto, LockType != adLockReadOnly && !d_->tabla.isEmpty());
    if (d_->edicion != Impl::Edicion::Ninguna)
        Update();
    auto& d = *d_;
    d.buffer.assign(d.campos.size() + size_t(d.ocultas), Variant());
    d.cambiado.assign(d.buffer.size(), 0);
    d.edicion = Impl::Edicion::Agregando;
}

void Recordset::CancelUpdate()
{
    if (!d_->abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    d_->edicion = Impl::Edicion::Ninguna;
    d_->buffer.clear();
}

namespace {

// The WHERE part that finds the current row again: its row key, its key
// columns, or else all its original values.
QString Condicion(int ocultas, const std::vector<Field>& campos, const QStringList& claves,
                  const std::vector<Variant>& original, std::vector<Variant>& params)
{
    QStringList partes;
    if (ocultas == 1) {
        partes << QStringLiteral("rowid = ?");
        params.push_back(original[0]);
        return partes.join(QStringLiteral(" AND "));
    }
    for (size_t i = 0; i < campos.size(); ++i) {
        const QString& n = campos[i].Name;
        if (!claves.isEmpty() && !claves.contains(n, Qt::CaseInsensitive))
            continue;
        const Variant& v = original[i];
        if (v.isNull() || v.isEmpty()) {
            partes << Citar(n) + QStringLiteral(" IS NULL");
        } else {
            partes << Citar(n) + QStringLiteral(" = ?");
            params.push_back(v);
        }
    }
    return partes.join(QStringLiteral(" AND "));
}

// A table's triggers run where the translation writes them, after each
// statement; the rows written here do not go through it: refused on a table
// with triggers for the event rather than written without them.
void ExigeSinDisparadores(Provider& p, const QString& tabla, const QString& evento, int timeout)
{
    if (!p.esSqlite())
        return;
    auto c = p.ejecutar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = ?"),
                        {Variant(tsql::CopiaDe(tabla, evento))}, nullptr, timeout);
    std::vector<Variant> f;
    if (c && c->siguiente(f))
        FallaDe(ErrorNativo(0, tsql::NoSoportado(QStringLiteral("Writing through a recordset to a table with %1 triggers").arg(evento)).mensaje,
                            p.nombre()));
}

} // namespace

void Recordset::Update()
{
    auto& d = *d_;
    if (!d.abierto)
        RaiseAdo(adErrObjectClosed, kRecordset);
    if (d.edicion == Impl::Edicion::Ninguna)
        return;
    Connection& c = *d.conn;
    const bool agregando = d.edicion == Impl::Edicion::Agregando;
    std::vector<Variant> params;
    QStringList columnas;
    for (size_t i = 0; i < d.campos.size(); ++i)
        if (d.cambiado[i + size_t(d.ocultas)]) {
            columnas << Citar(d.campos[i].Name);
            params.push_back(d.buffer[i + size_t(d.ocultas)]);
        }
    QString sql;
    if (agregando) {
        sql = columnas.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Citar(d.tabla))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(Citar(d.tabla), columnas.join(u','), QStringList(columnas.size(), QStringLiteral("?")).join(u','));
    } else {
        if (columnas.isEmpty()) {
            d.edicion = Impl::Edicion::Ninguna;
            return;
        }
        QStringList sets;
        for (const QString& col : columnas)
            sets << col + QStringLiteral(" = ?");
        std::vector<Variant> original(d.fila().begin() + d.ocultas, d.fila().end());
        if (d.ocultas)
            original.insert(original.begin(), d.fila()[0]);
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                  .arg(Citar(d.tabla), sets.join(QStringLiteral(", ")), Condicion(d.ocultas, d.campos, d.claves, original, params));
    }
    c.llamar([&] {
        Provider& p = c.provider();
        ExigeSinDisparadores(p, d.tabla, agregando ? QStringLiteral("INSERT") : QStringLiteral("UPDATE"), c.CommandTimeout);
        std::int64_t n = 0;
        p.ejecutar(sql, params, &n, c.CommandTimeout);
        if (!agregando && n == 0)
            RaiseAdo(DB_E_ROWNOTFOUND, kRecordset);
        std::vector<Variant> nueva = d.buffer;
        for (Variant& v : nueva)
            if (v.isEmpty())
                v = Variant::Null();
        if (agregando && d.ocultas) {
            // Read the new row back: defaults and the row key come from the database.
            QStringList lista{QStringLiteral("rowid")};
            for (const Field& f : d.campos)
                lista << Citar(f.Name);
            auto cur = p.ejecutar(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = last_insert_rowid()")
                                      .arg(lista.join(u','), Citar(d.tabla)),
                                  {}, nullptr, c.CommandTimeout);
            std::vector<Variant> f;
            if (cur && cur->siguiente(f))
                nueva = std::move(f);
        }
        if (agregando) {
            d.filas.push_back(std::move(nueva));
            d.pos = d.filas.size() - 1;
            d.fin = d.inicio = false;
            d.borrada = false;
        } else {
            d.filas[d.pos] = std::move(nueva);
        }
    });
    d.edicion = Impl::Edicion::Ninguna;
    d.buffer.clear();
}

void Recordset::Delete()
{
    auto& d = *d_;
    ExigeActualizable(d.abierto, LockType != adLockReadOnly && !d.tabla.isEmpty());
    if (d.edicion == Impl::Edicion::Agregando) {
        CancelUpdate();
        return;
    }
    d.edicion = Impl::Edicion::Ninguna;
    if (!d.hayFila())
        RaiseAdo(adErrNoCurrentRecord, kRecordset);
    Connection& c = *d.conn;
    std::vector<Variant> params;
    std::vector<Variant> original(d.fila().begin() + d.ocultas, d.fila().end());
    if (d.ocultas)
        original.insert(original.begin(), d.fila()[0]);
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2").arg(Citar(d.tabla), Condicion(d.ocultas, d.campos, d.claves, original, params));
    c.llamar([&] {
        ExigeSinDisparadores(c.provider(), d.tabla, QStringLiteral("DELETE"), c.CommandTimeout);
        std::int64_t n = 0;
        c.provider().ejecutar(sql, params, &n, c.CommandTimeout);
        if (n == 0)
            RaiseAdo(DB_E_ROWNOTFOUND, kRecordset);
    });
    d.filas.erase(d.filas.begin() + std::ptrdiff_t(d.pos));
    d.borrada = true;
    d.fin = d.pos >= d.filas.size();
}

} // namespace ado
