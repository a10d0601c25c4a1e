#pragma once
// The suite's access log: who opened which program on which workstation,
// under which menu task.
#include <QString>

// nombre: the program or form; empty means the running executable.
void RegistraAcceso(const QString& nombre = {});

// The process whose menu rights a program is looked up under; empty when
// the program is not looked up. EM_Backup writes nothing at all (sinFila).
QString ProcesoDeAcceso(const QString& nombre, bool& sinFila);

// A value between apostrophes in a statement: its own apostrophes doubled.
QString TextoSQL(const QString& valor);
