#pragma once
// The program's place on the workstation: the suite's skin on a window,
// sibling programs started with the current connection and operator, and the
// file tests.
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

// Skin chosen at the last skin load.
extern std::int16_t NumeroSkin;

struct FilaSkin {
    QString archivo; // relative to the program folder
    QString ajustes; // settings file passed with it
};
FilaSkin FilaDeSkin(int numero);
// The key of the workstation's user and database in "cn000pr.ini", section "Styles".
QString ClaveSkin();
// Applies the skin's style sheet ("Styles\<name>.qss" beside the program) when
// present; a missing sheet leaves the window as it is. Never raises.
void CargaSkin(QWidget* formulario);

// Starts a sibling program with the connection and operator on its command
// line; tarea is its process id, 0 when it did not start.
void MenuExes(const QString& programa, QString& parametro, std::int32_t& tarea);
// The parameter string a sibling program receives.
QString CadenaParametrosHermano(const QString& parametro);
// Starts the program (a Windows or POSIX path) detached, with the arguments
// as they are: no shell sees them. The process id, or 0 when it could not be
// started (missing, not executable).
std::int64_t IniciaPrograma(const QString& programa, const QStringList& argumentos);

// Opens a document or web address with the desktop's program for it; a text
// with a blank is quoted unless it holds a quote already. maximizado: window
// mode 6, else 0.
void AbrirDocumento(const QString& documento, bool maximizado);

// A file that can be opened for reading; never raises.
bool ExisteArchivo(const QString& ruta);
// The same test, once every double quote is removed from the path; never raises.
bool ExisteCarpeta(const QString& ruta);
