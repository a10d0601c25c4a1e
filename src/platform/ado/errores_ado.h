#pragma once
// The one mapping from what a database reports (SQLite result messages, ODBC
// diagnostics) to the numbers the suite tests: the platform's error numbers
// and the server's native numbers.
#include "platform/ado/ado.h"

namespace ado {

constexpr std::int32_t DB_E_BADINITSTRING = std::int32_t(0x80040E73);
constexpr std::int32_t DB_E_DATAOVERFLOW = std::int32_t(0x80040E57);
constexpr std::int32_t DB_E_CANTCONVERTVALUE = std::int32_t(0x80040E07);
constexpr std::int32_t E_OUTOFMEMORY = std::int32_t(0x8007000E);
constexpr std::int32_t DB_E_CANTFETCHBACKWARDS = std::int32_t(0x80040E24);
constexpr std::int32_t DB_E_ROWNOTFOUND = std::int32_t(0x80040E38);
constexpr std::int32_t XACT_E_NOTRANSACTION = std::int32_t(0x8004D00E);
constexpr std::int32_t adErrProviderNotFound = 3706;

// Server native numbers the suite tests.
namespace nativo {
constexpr int ClaveDuplicada = 2627;
constexpr int Restriccion = 547;
constexpr int Truncado = 8152;
constexpr int ErrorRed = 11;
constexpr int BaseInexistente = 4060;
constexpr int ServidorInexistente = 17;
} // namespace nativo

// Errors of the objects themselves (3704, 3705, ...), with the platform's texts.
[[noreturn]] void RaiseAdo(std::int32_t numero, const char* objeto);

// A failure of SQLite: its result code (primary or extended) and message.
// Statement errors keep the connection usable; only a database file that
// can no longer be read (I/O error, replaced, corrupt) counts as a lost link.
Error ErrorSqlite(int codigo, const QString& mensaje, const QString& origen);
// SQLite could not open the file: locked, not a database, missing.
Error ErrorAbrirSqlite(int codigo, const QString& base, const QString& motivo, const QString& origen);
// A refusal with the server's native number and text (0: a construct the
// embedded database does not take).
Error ErrorNativo(int nativo, const QString& mensaje, const QString& origen);
// A statement that holds character 0: SQLite would stop reading at it.
Error ErrorCaracterNulo(const QString& origen);

// One diagnostic record of an ODBC call.
struct RegistroOdbc {
    QString sqlstate;
    int nativo = 0;
    QString mensaje;
};
// The diagnostics of one failed ODBC call. destinoSqlite: the driver passes
// SQLite's result codes as native numbers. conectando: the call opened the
// connection, whose failures are all the unspecified failure of a refused open.
std::vector<Error> ErroresOdbc(const std::vector<RegistroOdbc>& registros, const QString& origen, bool destinoSqlite,
                               bool conectando);
Error ErrorCadena(const QString& detalle);
Error ErrorProveedorDesconocido(const QString& proveedor);
Error ErrorRed(const QString& origen);
Error ErrorBaseInexistente(const QString& base, const QString& origen);
Error ErrorServidor(const QString& servidor, const QString& detalle, const QString& origen);
Error ErrorServidores(const QString& archivo, const QString& detalle);
Error ErrorJet(int numeroJet, const QString& archivo, const QString& origen);

} // namespace ado
