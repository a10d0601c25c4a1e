#pragma once
// Reading the suite's INI files. A file named without a folder is looked for
// in the program folder.
#include <QString>

class ArchivoIni {
public:
    // The key's text (section and key ignoring case), or omision when the
    // file, the section or the key is missing.
    QString LeeIni(const QString& archivo, const QString& seccion, const QString& clave, const QString& omision) const;
};
