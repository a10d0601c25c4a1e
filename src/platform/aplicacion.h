#pragma once
// What the program knows of itself: its folder, its executable name, its
// command line, and how it ends.
#include <QString>
#include <QStringList>
#include <functional>

namespace aplicacion {

// The program folder (no trailing separator): the folder named by
// VERIFICADOR_CARPETA; else the executable's folder when it holds a
// servidores.ini; else $XDG_DATA_HOME/verificador (~/.local/share/verificador),
// made on first use.
QString Carpeta();
// A configuration file of the program folder (servidores.ini, unidades.ini);
// when the folder has none, the system-wide one in /etc/verificador (the root
// /etc is VERIFICADOR_ETC when set) if it exists.
QString ArchivoConfiguracion(const QString& nombre);
// The running executable's real path.
QString Ejecutable();
// The executable's file name without extension ("verificador").
QString NombreEjecutable();
// The command line after the program name: the arguments joined by one blank.
QString LineaComando();
void FijaArgumentos(const QStringList& argumentos); // argv without the program
// The application's help file, set once by the start-up.
QString ArchivoAyuda();
void FijaArchivoAyuda(const QString& archivo);

// A run that only looks (the set-up check): it makes no folder a path
// would otherwise make on first use and appends no line to the error logs.
bool SoloMirar();
void FijaSoloMirar(bool soloMirar);

// Ends the program at once, with the exit status given. Tests replace the way
// it ends (a throw the test catches) so that nothing after it runs.
[[noreturn]] void Terminar(int codigo);
void FijaTerminar(std::function<void(int)> terminar);

// Thrown by the ending that tests install; not an error of the system.
struct Fin {
    int codigo;
};

} // namespace aplicacion
