#pragma once
// What a SQLite connection keeps of the server's session: the transaction
// count of BEGIN TRANSACTION ... COMMIT (savepoints named ss_tran), the rows
// of the last statement, the last identity, the database's name, the
// session's number and the last error, read by ss_trancount(), ss_rowcount(),
// ss_identity(), ss_scope_identity(), ss_db_name(), ss_spid() and
// ss_ultimo_error(); the rows and the scope's identity are set back by
// ss_fijar_rowcount() and ss_fijar_ambito() after a trigger.
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace ado::sesion {

void Registrar(sqlite3* db);
// The database the connection opened (DB_NAME()).
void FijarBase(sqlite3* db, const QString& base);
// A statement failed with the server's error nativo (@@ERROR).
void Fallo(sqlite3* db, int nativo);
// Before a statement runs. False when it must not run: done here (a COMMIT
// of a transaction the provider began) after finalizing it; a COMMIT or
// ROLLBACK without a transaction is finalized and raised as the server's error.
bool Antes(sqlite3* db, sqlite3_stmt* st, const QString& origen);
// After it ran.
void Despues(sqlite3* db, sqlite3_stmt* st);

} // namespace ado::sesion
