#pragma once
// The data-access objects the suite is written against: Connection, Recordset,
// Field, Error, with their numbers and behaviour, over providers chosen by the
// connection string's PROVIDER (SQLite embedded, ODBC through unixODBC).
// Failures raise VbError; provider errors also fill the connection's Errors.
#include "platform/errores.h"
#include "platform/variant.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ado {

// Error numbers raised by the objects themselves.
constexpr std::int32_t adErrObjectClosed = 3704;       // operation not allowed when the object is closed
constexpr std::int32_t adErrObjectOpen = 3705;         // operation not allowed when the object is open
constexpr std::int32_t adErrInvalidConnection = 3709;  // connection closed or invalid
constexpr std::int32_t adErrIllegalOperation = 3219;   // operation not allowed in this context
constexpr std::int32_t adErrNoCurrentRecord = 3021;    // BOF or EOF, or the current record was deleted
constexpr std::int32_t adErrItemNotFound = 3265;       // item not found in the collection
constexpr std::int32_t adErrFeatureNotAvailable = 3251;
// Provider failures, as the signed 32-bit HRESULTs the platform reports.
constexpr std::int32_t E_FAIL = std::int32_t(0x80004005);
constexpr std::int32_t DB_E_ERRORSINCOMMAND = std::int32_t(0x80040E14);
constexpr std::int32_t DB_E_NOTABLE = std::int32_t(0x80040E37);
constexpr std::int32_t DB_E_INTEGRITYVIOLATION = std::int32_t(0x80040E2F);
constexpr std::int32_t DB_E_TIMEOUT = std::int32_t(0x80040E31);

enum ObjectState { adStateClosed = 0, adStateOpen = 1 };
enum CursorLocation { adUseServer = 2, adUseClient = 3 };
enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };
enum SchemaEnum { adSchemaColumns = 4, adSchemaTables = 20 };
enum IsolationLevel { adXactReadUncommitted = 256, adXactReadCommitted = 4096 };

// Field type codes.
enum DataType {
    adEmpty = 0, adSmallInt = 2, adInteger = 3, adSingle = 4, adDouble = 5, adCurrency = 6, adDate = 7,
    adBSTR = 8, adBoolean = 11, adDecimal = 14, adTinyInt = 16, adUnsignedTinyInt = 17, adBigInt = 20,
    adBinary = 128, adChar = 129, adWChar = 130, adNumeric = 131, adDBDate = 133, adDBTime = 134,
    adDBTimeStamp = 135, adVarChar = 200, adLongVarChar = 201, adVarWChar = 202, adLongVarWChar = 203,
    adVarBinary = 204, adLongVarBinary = 205,
};

struct Error {
    std::int32_t Number = 0;
    QString Description;
    QString Source;
    QString SQLState;
    std::int32_t NativeError = 0;
};

class Errors {
public:
    int Count() const { return int(items_.size()); }
    const Error& Item(int i) const; // error 3265 when out of range
    void Clear() { items_.clear(); }
    void Add(Error e) { items_.push_back(std::move(e)); }

private:
    std::vector<Error> items_;
};

class Connection;
class Recordset;
class Provider;
class Cursor;
struct FallaProveedor;

class Field {
public:
    QString Name;
    int Type = adEmpty;
    int DefinedSize = 0;
    const Variant& Value() const;
    void setValue(const Variant& v); // only on an updatable recordset, else error 3219 / 3251
    // The value as the UTF-8 the server keeps, without reading the row, on a
    // streamed row not read yet whose value is plain text; valid until the
    // next move. false: read Value().
    bool TextoUtf8(QByteArrayView& texto) const;

private:
    friend class Recordset;
    friend void AbrirRecordsetSobre(Recordset&, const std::shared_ptr<Connection>&, std::unique_ptr<Cursor>, bool);
    friend void CerrarRecordset(Recordset&);
    Recordset* rs_ = nullptr;
    int index_ = 0;
};

// Test hooks on a connection: fail an operation on a real database as a
// lost server or a refused statement would.
struct Fallas {
    // The next `veces` operations that reach the provider (open, execute,
    // recordset open, schema) raise this error instead; -1: from now on.
    int veces = 0;
    Error error;
    // Drops the link: the connection stays "open" but every operation fails
    // as a general network error (native 11) until it is closed and re-opened.
    bool caida = false;
    // Drops the link (as `caida`) once this many more rows have been read,
    // of whatever statement: the read of the next row fails. -1: never.
    int caeTrasFilas = -1;
    int fallosProducidos = 0;
    int aperturas = 0; // successful opens, to see re-opens
};

class Connection : public std::enable_shared_from_this<Connection> {
public:
    static std::shared_ptr<Connection> Create();
    ~Connection();

    QString ConnectionString;
    int CursorLocation = adUseServer;
    int CommandTimeout = 30;
    int ConnectionTimeout = 15;
    int IsolationLevel = adXactReadCommitted;

    // Error 3705 when already open; provider failures fill Errors and raise.
    void Open(const QString& connectionString = {}, const QString& userId = {}, const QString& password = {},
              int options = -1);
    void Close(); // error 3704 when closed
    int State() const;

    QString DefaultDatabase() const;
    void setDefaultDatabase(const QString& db);

    // Runs a statement; returns its rows (closed recordset when none).
    std::shared_ptr<Recordset> Execute(const QString& commandText, std::int32_t* recordsAffected = nullptr,
                                       int options = -1);
    int BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // adSchemaTables (TABLE_NAME, TABLE_TYPE, ...) and adSchemaColumns
    // (TABLE_CATALOG, TABLE_NAME, COLUMN_NAME, ...); restrictions in the
    // platform's order (catalog, schema, table, column), Empty = no restriction.
    std::shared_ptr<Recordset> OpenSchema(int schema, const std::vector<Variant>& restrictions = {});

    Errors& errors() { return errors_; }
    Fallas& fallas() { return fallas_; }

    // The name of the provider in use ("SQLOLEDB", ...) and whether it speaks SQLite.
    QString Provider() const;

private:
    friend class Recordset;
    friend void AbrirRecordsetSobre(Recordset&, const std::shared_ptr<Connection>&, std::unique_ptr<Cursor>, bool);
    friend void CerrarRecordset(Recordset&);
    Connection() = default;
    ado::Provider& provider(); // error 3709 when closed
    [[noreturn]] void raiseProvider(const Error& e);
    [[noreturn]] void raiseProvider(const FallaProveedor& f);
    void checkFault();
    // The next row of a statement's cursor, after the injected faults; with
    // diferida, the cursor may leave the row unread (Cursor::avanzar).
    bool leerFila(Cursor& cursor, std::vector<Variant>& fila, bool* diferida = nullptr);
    void filaFallida();
    // One operation that reaches the provider: clears Errors, applies the
    // injected faults, and turns provider failures into Errors and a VbError.
    void llamar(const std::function<void()>& operacion);

    std::unique_ptr<ado::Provider> provider_;
    Errors errors_;
    Fallas fallas_;
    std::vector<Recordset*> abiertos_; // closed with the connection
    int transacciones_ = 0;
    QString basePendiente_; // DefaultDatabase set while closed
};

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    int CursorType = adOpenForwardOnly;
    int LockType = adLockReadOnly;

    // Error 3705 when already open; 3709 when the connection is not open.
    void Open(const QString& source, const std::shared_ptr<Connection>& activeConnection, int cursorType = -1,
              int lockType = -1, int options = -1);
    void Close(); // error 3704 when closed; 3219 with a pending edit
    int State() const;

    bool BOF() const;
    bool EOF_() const; // EOF is a macro of the C library
    void MoveFirst(); // forward-only: allowed only before the second row
    void MoveNext();  // error 3021 at EOF

    int FieldCount() const;
    Field& Fields(int index);           // error 3265 when out of range
    Field& Fields(const QString& name); // ignoring case; error 3265 when absent
    Field& operator[](const QString& name) { return Fields(name); }

    // The remaining rows as rows of values, moving to EOF.
    std::vector<std::vector<Variant>> GetRows();

    // Dynamic, optimistic recordsets of one table.
    void AddNew();
    void Update();
    void Delete();
    void CancelUpdate();
    bool EditPending() const;

    std::shared_ptr<Connection> ActiveConnection() const;

private:
    friend class Connection;
    friend class Field;
    friend void AbrirRecordsetSobre(Recordset&, const std::shared_ptr<Connection>&, std::unique_ptr<Cursor>, bool);
    friend void CerrarRecordset(Recordset&);
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace ado
