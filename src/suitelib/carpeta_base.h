#pragma once
// Receives the program folder once at start-up, for the suite's other libraries.
#include <QString>

class CarpetaBase {
public:
    void Asigna(const QString& carpeta);
    static QString Carpeta(); // the folder given last; empty before
};
