#pragma once
// What the objects ask of a provider: open a database, run statements as
// streaming cursors, transactions and schema rows. Failures are thrown as
// FallaProveedor, which the Connection turns into its Errors and a VbError.
#include "platform/ado/ado.h"
#include "platform/ado/conexion_cadena.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace ado {

struct FallaProveedor {
    std::vector<Error> errores;
};
[[noreturn]] void FallaDe(Error e);

struct Columna {
    QString nombre;
    int tipo = adEmpty; // adEmpty: decided by the first value read
    int tamano = 0;
    int escala = -1; // decimals of an exact number, when the statement tells
};

// Rows of one statement, read one at a time.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual const std::vector<Columna>& columnas() const = 0;
    // Fills fila (sized as columnas()) with the next row; false at the end.
    virtual bool siguiente(std::vector<Variant>& fila) = 0;
    // Steps to the next row like siguiente. A cursor that can hand its texts
    // as bytes may leave fila unread (diferida) and read each value when it
    // is asked for (leerDiferida), so a reader of bytes never pays for the
    // values. Neither that read nor textoUtf8 may fail: the step took
    // whatever could fail.
    virtual bool avanzar(std::vector<Variant>& fila, bool& diferida)
    {
        diferida = false;
        return siguiente(fila);
    }
    virtual void leerDiferida(int, Variant&) {}
    // The type the statement gives column i (as TipoDeclarado and the
    // decimals of an exact number), before any row is read; a cursor that
    // learns its types from the database itself may ignore it.
    virtual void declarar(int, int /*tipo*/, int /*tamano*/, int /*escala*/) {}
    // Column i of the unread row as the UTF-8 the server keeps, valid until
    // the next step; false when its value is not a plain text.
    virtual bool textoUtf8(int, QByteArrayView&) { return false; }
};

// A cursor over rows already in memory (schema rows, drained results).
class CursorMemoria : public Cursor {
public:
    CursorMemoria(std::vector<Columna> c, std::vector<std::vector<Variant>> f)
        : cols_(std::move(c)), filas_(std::move(f)) {}
    const std::vector<Columna>& columnas() const override { return cols_; }
    bool siguiente(std::vector<Variant>& fila) override
    {
        if (pos_ >= filas_.size())
            return false;
        fila = std::move(filas_[pos_++]);
        return true;
    }

private:
    std::vector<Columna> cols_;
    std::vector<std::vector<Variant>> filas_;
    size_t pos_ = 0;
};

struct TablaEsquema {
    QString nombre;
    bool vista = false;
};
struct ColumnaEsquema {
    QString tabla;
    QString columna;
    int posicion = 0;
    int tipo = adEmpty;
    int tamano = 0;
    bool nulos = true;
};

class Provider {
public:
    virtual ~Provider() = default;
    virtual QString nombre() const = 0;
    virtual bool esSqlite() const = 0;
    // Runs one statement text in the provider's own dialect (it may hold
    // several statements; the rows are those of the last one). Parameters
    // bind the "?" marks in order.
    virtual std::unique_ptr<Cursor> ejecutar(const QString& sql, const std::vector<Variant>& parametros,
                                             std::int64_t* afectadas, int timeout) = 0;
    // Runs a batch in the server's dialect; the rows are those of its first
    // result. A SQLite database translates it. conClave: the rows of a
    // SELECT of one table with its row key first (ado_rowid__); nothing
    // when the provider has no such key or the SELECT is not of one table.
    virtual std::unique_ptr<Cursor> ejecutarTsql(const QString& sql, std::int64_t* afectadas, int timeout,
                                                 bool conClave = false)
    {
        return conClave ? nullptr : ejecutar(sql, {}, afectadas, timeout);
    }
    virtual void comenzar() = 0;
    virtual void confirmar() = 0;
    virtual void deshacer() = 0;
    virtual QString baseDefecto() const = 0;
    virtual void cambiarBase(const QString& base) = 0;
    virtual std::vector<TablaEsquema> tablas() = 0;
    virtual std::vector<ColumnaEsquema> columnas(const QString& tabla) = 0;
    // Key columns of a table, for writing through a recordset ("rowid" on SQLite).
    virtual QStringList clave(const QString& tabla) = 0;
    virtual void nivelAislamiento(int nivel) {}
};

// The provider named by the string's PROVIDER, opened. The time-outs are in
// seconds: waiting while opening, and the statements' when a provider cannot
// change it later.
std::unique_ptr<Provider> AbrirProveedor(const CadenaConexion& cadena, int timeoutConexion, int timeoutComandos);

// Parts of the providers shared between files.
std::unique_ptr<Provider> AbrirSqlite(const QString& archivo, const QString& base, const QString& carpeta,
                                      const QString& nombreProveedor, int timeoutConexion);
std::unique_ptr<Provider> AbrirJet(const CadenaConexion& cadena, int timeoutConexion);
std::unique_ptr<Provider> AbrirOdbc(const QString& cadenaOdbc, const QString& nombreProveedor,
                                    int timeoutConexion);
// Milliseconds SQLite waits on another connection's lock for a time-out in
// seconds, as a server waits on a lock; 0 is no limit, as the platform reads it.
int EsperaMs(int segundos);
// The field type of a declared SQL type ("nvarchar(40)" -> adVarWChar, size 40).
int TipoDeclarado(const QString& declarado, int* tamano);

// Test hooks of the ODBC provider: a driver that allows one active statement,
// or that answers or fails a call its own way.
struct GanchosOdbc {
    bool unoActivo = false;
    // Sees the driver's answer to "SQLFetch", "SQLGetData", "SQLNumResultCols"
    // and "SQLDescribeCol" and returns the answer the provider gets.
    std::function<short(const char* llamada, short respuesta)> respuesta;
    int sentencias = 0; // statement handles allocated and not yet freed
};
GanchosOdbc& Ganchos();

} // namespace ado

namespace ado {
// Dates as SQLite and the drivers write them ("2025-03-07 18:05:09[.123]",
// "2025-03-07", with "T" too); false when the text is not one.
bool FechaDeTexto(QStringView s, QDateTime& fecha);
QString TextoDeFecha(const QDateTime& fecha);
} // namespace ado
