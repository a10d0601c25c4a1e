// verificador: writes productos.txt for the shop's price checker.
//
//   verificador [--consola | --ventana] @Server=...; @DbName=...; @Usuario=...; [@ParametroAdicional=1;]
//
// With a display the window opens; without one (or with --consola) the
// program runs on the terminal: notices and questions are printed and
// answered there, and with no terminal they take their default answers
// (Abort, Cancel, No, OK), so a scheduled run never waits. @ParametroAdicional=1
// writes the file at once and ends: exit status 0 when it was written, 1 when not.
#include "app/frm_principal.h"
#include "platform/aplicacion.h"
#include "platform/operador.h"

#include <QApplication>
#include <QLineEdit>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

bool HayPantalla()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The window's work on the terminal: show the folder, let the operator change
// it, write the file.
int Consola(FrmPrincipal& ventana)
{
    QTextStream out(stdout), in(stdin);
    out << "Ruta: " << ventana.txtRuta->text() << "\n";
    if (isatty(STDIN_FILENO) != 1) {
        out << "Sin operador en la terminal: para la exportacion desatendida indique @ParametroAdicional=1;\n";
        return 2;
    }
    for (;;) {
        out << "[Enter] Crear archivo.   r RUTA: cambiar la ruta   s: salir\n> ";
        out.flush();
        QString linea;
        if (!in.readLineInto(&linea))
            return 0;
        linea = linea.trimmed();
        if (linea.isEmpty()) {
            ventana.Command1_Click();
        } else if (linea.compare(QStringLiteral("s"), Qt::CaseInsensitive) == 0) {
            return 0;
        } else if (linea.startsWith(QStringLiteral("r "), Qt::CaseInsensitive)) {
            ventana.txtRuta->setText(linea.mid(2).trimmed());
            ventana.txtRuta_LostFocus();
            out << "Ruta: " << ventana.txtRuta->text() << "\n";
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QStringList argumentos;
    bool consola = !HayPantalla(), ventana = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == u"--consola")
            consola = true;
        else if (a == u"--ventana")
            ventana = true;
        else
            argumentos << a;
    }
    if (ventana)
        consola = false;
    // The console run keeps the same windows, never shown.
    if (consola)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    aplicacion::FijaArgumentos(argumentos);
    instalaOperador(consola ? crearOperadorConsola() : crearOperadorQt());

    FrmPrincipal principal;
    principal.Form_Load();
    if (consola)
        return Consola(principal);
    principal.show();
    return app.exec();
}
