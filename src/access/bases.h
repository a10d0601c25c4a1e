#pragma once
// BASES.TXT, the registered connections of the workstation: one line per
// connection, "key,database,user,encoded password,server", lines ended by
// CR LF, in the program folder.
#include <QString>

// The file's path: the program folder with its trailing backslash and
// "BASES.TXT", worked out once for the program folder of the run.
QString ArchivoBases();
// "SERVER / DATABASE": the server up to its first ":", both trimmed and in upper case.
// Trimmed as the file's reader trims a field, so a key compares with the one read back.
QString ClaveBase(const QString& servidor, const QString& base);
// Why the value cannot be stored, or nothing. The file's readers split fields
// at commas and line ends and take a leading double quote as a quoted field,
// and the file is in the code page: a character outside it would come back as
// "?", another name.
QString NoRegistrable(const QString& valor);
// Appends one record; the password is encoded here. The record starts where
// the reader starts a new field: after a last field ended by the end of the
// file comes a lone carriage return (and a closing quote for a quote left
// open), so every record the file held reads back as before. A field that
// cannot be stored raises 5 and writes nothing. A new file is readable by its
// owner only, as it holds passwords; an existing one keeps its mode.
void RegistraBase(const QString& clave, const QString& base, const QString& usuario, const QString& password,
                  const QString& servidor);
