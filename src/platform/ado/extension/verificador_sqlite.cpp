// The loadable extension: what the embedded server's files need of any
// SQLite connection (collation CI_AS, its LIKE, the ss_ functions), for the
// programs other than this one that open them.
#include "platform/ado/sqlite_api.h"
#include "platform/ado/sqlite_servidor.h"

SQLITE_EXTENSION_INIT1

extern "C" __attribute__((visibility("default"))) int
sqlite3_verificadorsqlite_init(sqlite3* db, char** error, const sqlite3_api_routines* api)
{
    SQLITE_EXTENSION_INIT2(api);
    // Older libraries lack routines the functions call (sqlite3_changes64).
    if (sqlite3_libversion_number() < 3037000) {
        *error = sqlite3_mprintf("verificador_sqlite necesita SQLite 3.37 o posterior, no %s", sqlite3_libversion());
        return SQLITE_ERROR;
    }
    if (!ado::servidor::Registrar(db)) {
        *error = sqlite3_mprintf("verificador_sqlite: %s", sqlite3_errmsg(db));
        return SQLITE_ERROR;
    }
    return SQLITE_OK;
}
