#pragma once
// SQLite as the embedded server's code calls it: the library the program
// links, or, built into the loadable extension, the routines of whatever
// SQLite the loading program carries (a shell, Python, DB Browser).
#ifdef VERIFICADOR_EXTENSION_SQLITE
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif
