#pragma once
// Paths as the suite stores them (C:\Productos, \\server\share\x, backslashes),
// resolved to POSIX paths for opening. The stored form is kept wherever a path
// is stored or shown; only the moment of opening goes through Resolver.
//
// Drive and share mapping, in the spirit of Wine's drive letters:
//   - default: drive X: is the folder "unidades/x" under the program folder
//     (aplicacion::Carpeta()), made on first use as a drive's root always
//     exists; \\server\share is "unidades/red/server/share" there. Both work
//     unprivileged wherever the program folder is writable.
//   - the file "unidades.ini" in the program folder, section [Unidades]:
//         C=/srv/c
//         P=/mnt/p
//         \\server\share=/mnt/share     (one share)
//         \\=/mnt/red                   (root of every other share: /mnt/red/server/share)
//     a relative folder there is taken from the program folder.
//   - the environment variable VERIFICADOR_UNIDADES, entries as in the file,
//     separated by ";":  VERIFICADOR_UNIDADES="C=/srv/c;\\=/mnt/red"
//     It wins over the file, which wins over the default.
//   - with no unidades.ini in the program folder, /etc/verificador/unidades.ini
//     (aplicacion::ArchivoConfiguracion).
// An entry of either that cannot be read (no "=", no folder, a key that is no
// drive letter nor share, a section other than [Unidades]) makes every use of
// the mapping raise: a typo must not send files elsewhere unnoticed.
// Below the mapped folder, names are matched ignoring case when the exact name
// is missing (the first match in code order), as the suite's programs spell
// the same file in several ways.
// A Windows path stays inside the root of its drive or share: ".." stops there,
// as on Windows. "\\?\" and "\\.\" must be followed by a drive path (C:\x) or
// UNC\server\share. POSIX paths (starting with "/") are used as they are, except
// that a backslash counts as a separator ("/opt/v\SVERR.LOG" is /opt/v/SVERR.LOG).
// Other relative paths are taken from the current folder and may not climb out
// of it.
#include <QString>

namespace rutas {

// POSIX path for opening. Raises 52 (bad file name) for an empty path, a NUL
// character, a Windows-form path holding one of < > " | ? *, a prefix
// "\\?\" or "\\.\" not followed by a drive or UNC path, a share without
// its server or share name, and a relative path climbing out of its folder.
QString Resolver(const QString& ruta);
// True for C:\..., \\server\share\... and \... (not for POSIX paths).
bool EsFormaWindows(const QString& ruta);
// The separator a folder's own paths use: "/" for a POSIX folder, "\" for
// one in Windows form (and for a name with neither).
QChar Separador(const QString& carpeta);
// The file nombre ("BASES.TXT", "Styles\Vista.qss") of carpeta, found
// whatever the letter case of its entries as on Windows: the exact spelling
// when present, else the first match in code order; the given spelling when
// none exists. Joined with the folder's own separator, the folder's trailing
// separators dropped. Never raises.
QString ArchivoEnCarpeta(const QString& carpeta, const QString& nombre);
// Folder that a drive letter maps to.
QString CarpetaUnidad(QChar letra);
// Forget the mapping read so far (it is also re-read when the program folder or
// VERIFICADOR_UNIDADES change).
void Recargar();
// Raises when the mapping cannot be read (see above); the start-up checks it
// before anything is written.
void CompruebaUnidades();

// For each Windows path the text names (quoted, or up to the next blank), a
// line "Ruta real: /..." with the file it really is, when that differs; for the
// terminal, where nobody can guess the mapping. Never raises.
QStringList RutasReales(const QString& texto);

// File tests and operations; never raising where said.
bool ExisteArchivo(const QString& ruta);  // a file that can be opened for reading; never raises
bool ExisteCarpeta(const QString& ruta);  // a folder that can be listed; never raises
void CreaCarpeta(const QString& ruta);    // one level; 75 when it exists, 76 when the parent is missing
void BorraArchivo(const QString& ruta);   // 53 when missing
// Renames origen to destino in one step, replacing destino (atomic on one file
// system; 74 across file systems).
void Reemplaza(const QString& origen, const QString& destino);

// Raises the platform's error for a failed system call on ruta (errno value),
// with a description naming the path as given and, when it differs, as resolved.
// creando: the call was creating a file, so a missing entry means a missing folder.
[[noreturn]] void FallaSistema(int numeroErrno, const QString& ruta, const QString& resuelta, bool creando = false);

} // namespace rutas
