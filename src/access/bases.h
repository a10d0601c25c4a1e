#pragma once
// BASES.TXT, the registered connections of the workstation: one line per
// connection, "key,database,user,encoded password,server", lines ended by
// CR LF, in the program folder.
#include <QString>

// The file's path: the program folder with its trailing backslash and
// "BASES.TXT", worked out once for the program folder of the run.
QString ArchivoBases();
// "SERVER / DATABASE": the server up to its first ":", both trimmed and in upper case.
QString ClaveBase(const QString& servidor, const QString& base);
// The file's readers split fields at commas and line ends and take a leading
// double quote as a quoted field: a value holding one cannot be stored.
bool CampoRegistrable(const QString& valor);
// Appends one record; the password is encoded here. A file that does not end
// with a line end gets the record after a lone carriage return. A field that
// cannot be stored raises 5 and writes nothing.
void RegistraBase(const QString& clave, const QString& base, const QString& usuario, const QString& password,
                  const QString& servidor);
