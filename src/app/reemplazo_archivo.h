#pragma once
// A file replaced whole. The new content goes to a temporary file of its own
// in the same folder and takes the file's name only once it is complete and
// on disk, so the reader never sees a missing or half file, and a power loss
// leaves the old file or the new one, never an empty one.
//
// The temporary file ".<name>.<12 random letters and digits>" is created
// exclusively, never through an existing name or link. TERM, HUP and INT
// remove it before the program ends. A run killed outright leaves it behind:
// the next run removes such leftovers (and "<name>.<pid>.tmp" of older
// versions) when no other run is working in the folder, which the lock file
// ".<name>.lock" tells.
#include "platform/archivos.h"

#include <QString>
#include <memory>

// A fresh temporary name for the file nombre in carpeta, the form whose
// leftovers the next run removes.
QString NombreTemporal(const QString& carpeta, const QString& nombre);

class ReemplazoArchivo {
public:
    // destino as the suite stores it; raises VbError when the temporary file
    // cannot be created.
    explicit ReemplazoArchivo(const QString& destino);
    // Removes the temporary file unless Confirma succeeded.
    ~ReemplazoArchivo();
    ReemplazoArchivo(const ReemplazoArchivo&) = delete;
    ReemplazoArchivo& operator=(const ReemplazoArchivo&) = delete;

    archivos::EscritorTexto& Salida() { return *salida_; }
    // Closes the temporary file (on disk), gives it the file's name and puts
    // the folder on disk. Raises VbError; the old file is then untouched.
    void Confirma();

    const QString& Temporal() const { return temporal_; }

private:
    void Descarta();

    QString destino_, carpeta_, final_, temporal_;
    int bloqueo_ = -1;
    int ranura_ = -1;
    std::unique_ptr<archivos::EscritorTexto> salida_;
    bool confirmado_ = false;
    bool manejadores_ = false;
};
