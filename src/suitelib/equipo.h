#pragma once
// The workstation: its name, the signed-on user, a writable folder, and
// opening documents with their associated program.
#include <QString>
#include <QUrl>

class Equipo {
public:
    QString NombreEquipo() const;  // host name ("localhost" when it has none)
    QString UsuarioEquipo() const; // login name of the user running the program
    QString CarpetaEquipo() const; // the temporary folder (TMPDIR, else /tmp)
    // Opens a document or web address with xdg-open. Double quotes around it
    // are removed; a path (Windows form too) is resolved to a file. The window
    // mode (6 minimised, 0 hidden) has no meaning here. Raises 53 when the
    // opener cannot be started.
    void AbreDocumento(const QString& documento, int modoVentana) const;
    // What AbreDocumento hands to the opener.
    static QUrl DestinoDocumento(const QString& documento);
};
