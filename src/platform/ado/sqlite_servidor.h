#pragma once
// What an embedded SQLite database needs to answer as the server does, set on
// every connection the provider opens:
//   - collation CI_AS: case-insensitive over every letter of Windows-1252,
//     accent-sensitive, trailing blanks ignored; accented letters sort beside
//     their base letter ("a" < "á" < "b"); CS_AS, CI_AI, CS_AI and BIN beside it;
//   - like(pattern, text[, escape]): the LIKE operator with the server's "%",
//     "_", "[a-c]", "[^0-9]" and ESCAPE, matching as CI_AS;
//   - ss_suma(a, b): "+" decided by the values at run time;
//   - ss_convertir(type, value, style): CONVERT and CAST;
//   - ss_datepart(part, d), ss_dateadd(part, n, d), ss_datediff(part, a, b),
//     ss_getdate(), ss_fecha(x[, type]);
//   - date and time columns keep one sortable form ("yyyy-mm-dd hh:mm:ss[.mmm]",
//     "yyyy-mm-dd" for date, "hh:mm:ss[.mmm]" for time): triggers named
//     ss_fecha_<table>_<column>_a/_m rewrite whatever text the suite writes;
//   - the typed helpers of sqlite_tipado.h.
// Dates without a style read day first, as the suite writes them, until
// ss_dateformat sets another order for the connection.
#include <QByteArray>
#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace ado::servidor {

// The collation alone, for files written without the provider (the demo
// generator): SQLite refuses statements that need a collation it lacks.
bool RegistrarIntercalacion(sqlite3* db);

// Collation and functions: all that the views, triggers and defaults of the
// files call, registered on the program's connections and by the loadable
// extension on those of other programs. False when one was refused.
bool Registrar(sqlite3* db);

// Registrar, then the date triggers missing from the tables (a file made
// elsewhere, or before they existed). Failures to install them (read-only
// file, lock) leave the file as it is.
void Preparar(sqlite3* db);

// CREATE, ALTER or DROP: no rows to read, whatever SQLite's program holds
// (an ALTER TABLE ADD checks a table's rows with a SELECT of its own).
bool Definicion(sqlite3_stmt* st);

// Steps a statement that returns no rows, as sqlite3_step. filas gets what the
// server reports as rows affected: 0 for definitions, the rows inserted
// through a view's INSTEAD OF trigger, -1 for a statement that writes nothing.
// An ALTER TABLE ADD with a non-constant default on a table with rows adds the
// column, fills it and keeps the default for new rows by a trigger
// (ss_defecto_<table>_<column>; an explicit NULL also gets the default).
int Ejecutar(sqlite3* db, sqlite3_stmt* st, std::int64_t& filas);

// Fixed shapes of a date text, in the server's conversion: order of the
// fields by CONVERT style (0 or -1: day first). false when the text is no date.
// Month names in the text are those of the login's language (ingles: a
// us_english login, else Spanish).
bool LeerFecha(const QByteArray& texto, int estilo, std::int64_t& msDesde1900, bool ingles = false);
QByteArray TextoFecha(std::int64_t msDesde1900, int estilo, bool ingles = false);

// Collation order of two UTF-8 texts (<0, 0, >0).
int CompararCiAs(const char* a, int na, const char* b, int nb);

} // namespace ado::servidor
