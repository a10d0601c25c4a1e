// verificador: writes productos.txt for the shop's price checker.
//
//   verificador [--consola | --ventana] @Server=...; @DbName=...; @Usuario=...; [@ParametroAdicional=1;]
//
// With a real display the window opens; without one (no DISPLAY, a display
// that cannot be reached, or a platform without a screen such as offscreen)
// or with --consola the program runs on the terminal: notices and questions
// are printed and answered there, and with no terminal they take their
// default answers (Abort, Cancel, No, OK). @ParametroAdicional=1 writes the
// file at once and ends: exit status 0 when it was written, 1 when not; it
// waits for nobody unless a real display shows its closing notice.
// --ventana without a display ends with status 1.
// --consulta NAME [--campo COLUMN] runs a lookup on a table or view instead of
// the window and prints the chosen value (exit status 0; 1 when nothing was chosen).
#include "app/consulta_comando.h"
#include "app/frm_principal.h"
#include "db/db_dll.h"
#include "db/registro_errores.h"
#include "platform/aplicacion.h"
#include "platform/operador.h"
#include "startup/parametros.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Platforms that show windows to a person. Anything else (offscreen,
// minimal, vnc, ...) has nobody to press a button.
bool PantallaReal()
{
    static const QStringList reales{QStringLiteral("xcb"),    QStringLiteral("wayland"), QStringLiteral("wayland-egl"),
                                    QStringLiteral("eglfs"),  QStringLiteral("linuxfb"), QStringLiteral("vkkhrdisplay"),
                                    QStringLiteral("windows"), QStringLiteral("cocoa")};
    return reales.contains(QGuiApplication::platformName()) && QGuiApplication::primaryScreen() != nullptr;
}

// The platforms to try: the one asked for (or the usual desktop ones), then
// offscreen, so that a display that cannot be reached leaves a run without
// windows instead of aborting inside Qt.
QByteArray PlataformasAProbar()
{
    QByteArray pedida = qgetenv("QT_QPA_PLATFORM");
    if (pedida.trimmed().isEmpty()) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            pedida = "wayland;xcb";
        else if (!qEnvironmentVariableIsEmpty("DISPLAY"))
            pedida = "xcb";
        else
            return "offscreen";
    }
    if (!pedida.split(';').contains("offscreen"))
        pedida += ";offscreen";
    return pedida;
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
    // A scheduler may start it with standard streams closed: the first files
    // opened would take their numbers, and notices would be written into them.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF)
            ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    QStringList argumentos;
    bool consola = false, ventana = false;
    QString consulta, campo;
    bool pideConsulta = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == u"--consulta") {
            pideConsulta = true;
            if (i + 1 < argc)
                consulta = QString::fromLocal8Bit(argv[++i]);
        } else if (a == u"--campo" && i + 1 < argc) {
            campo = QString::fromLocal8Bit(argv[++i]);
        } else if (a == u"--consola")
            consola = true;
        else if (a == u"--ventana")
            ventana = true;
        else
            argumentos << a;
    }
    if (ventana)
        consola = false;
    const bool desatendida = ExtraeParametro(argumentos.join(u' '), QStringLiteral("@ParametroAdicional")) == u"1";
    // The console run keeps the same windows, never shown.
    qputenv("QT_QPA_PLATFORM", consola ? QByteArray("offscreen") : PlataformasAProbar());
    QApplication app(argc, argv);
    aplicacion::FijaArgumentos(argumentos);
    if (!consola && !PantallaReal()) {
        if (ventana) {
            const QString motivo = QStringLiteral("No hay pantalla disponible para mostrar la ventana (plataforma ")
                + QGuiApplication::platformName() + QStringLiteral("): use --consola.");
            AgregaLineaRegistro(DB().RutaArchivoErrores(), LineaRegistroErrores(QStringLiteral("Main"), motivo, 0));
            std::fprintf(stderr, "%s\n", motivo.toLocal8Bit().constData());
            return EXIT_FAILURE;
        }
        consola = true;
    }
    // An unattended run on the terminal answers every question itself, even
    // when a person happens to be at the terminal.
    instalaOperador(consola ? crearOperadorConsola(!desatendida) : crearOperadorQt());

    if (pideConsulta) {
        if (consulta.trimmed().isEmpty()) {
            std::fprintf(stderr, "--consulta necesita el nombre de una tabla o vista.\n");
            return EXIT_FAILURE;
        }
        return EjecutaConsultaComando(consulta, campo, !consola);
    }

    FrmPrincipal principal;
    principal.Form_Load();
    if (consola)
        return Consola(principal);
    principal.show();
    return app.exec();
}
