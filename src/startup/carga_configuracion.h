#pragma once
// The global settings the rest of the run consults, loaded once at start-up
// after the main connection is open.
#include <QString>

// ruta: the program folder (the start-up passes glb::RutaPrograma).
void CargaConfiguracion(QString& ruta);
