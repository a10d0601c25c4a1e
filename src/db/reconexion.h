#pragma once
#include "db/db_dll.h"
#include "platform/errores.h"

namespace db_interno {
// After a general network error: re-open, count, and from the third failed
// attempt on ask the operator (Yes tries again, No ends the program).
Accion ReabrePorErrorDeRed(DB_Dll& db, int& contador);
} // namespace db_interno
