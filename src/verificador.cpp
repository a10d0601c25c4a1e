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
// --diagnostico checks the set-up (folders, server, connection, view, export
// folder) without exporting or changing anything: status 0 when all holds.
// --help, --version and --carpeta print and end; any other "--" option is
// refused with status 2 before anything is opened or written.
#include "app/consulta_comando.h"
#include "app/diagnostico.h"
#include "app/frm_principal.h"
#include "app/ventana_principal.h"
#include "db/db_dll.h"
#include "db/registro_errores.h"
#include "platform/aplicacion.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/traducciones.h"
#include "startup/parametros.h"

#include <QApplication>
#include <QScreen>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

#ifndef VERIFICADOR_VERSION
#define VERIFICADOR_VERSION "1.0"
#endif

constexpr int kUsoIncorrecto = 2;

const char* const kAyuda =
    "Uso: verificador [OPCIONES] \"@Server=SERVIDOR; @DbName=BASE; @Usuario=USUARIO; [@Password=CLAVE;] [@ParametroAdicional=1;]\"\n"
    "Escribe productos.txt para el verificador de precios de la tienda.\n"
    "\n"
    "Claves de la cadena de parametros (sin distinguir mayusculas, en cualquier orden):\n"
    "  @Server              servidor (seccion de servidores.ini, o servidor ODBC)\n"
    "  @DbName              base de datos\n"
    "  @Usuario             usuario que inicia la sesion\n"
    "  @UsuarioLogeado      usuario ya identificado por el programa que lo llama\n"
    "  @Password            clave del usuario\n"
    "  @Caja                caja\n"
    "  @ParametroAdicional  1: exportacion desatendida (escribe el archivo y termina)\n"
    "\n"
    "Opciones:\n"
    "  --consola            trabaja en la terminal, sin ventanas\n"
    "  --ventana            exige una pantalla (sin ella termina con estado 1)\n"
    "  --consulta NOMBRE    consulta una tabla o vista e imprime el valor elegido\n"
    "  --campo COLUMNA      columna cuyo valor imprime --consulta (por omision la clave:\n"
    "                       la primera columna que empieza con Id o Codigo)\n"
    "  --carpeta            imprime la carpeta del programa que usa esta ejecucion\n"
    "  --diagnostico        comprueba carpetas, servidor, conexion, vista de articulos y carpeta\n"
    "                       de exportacion, sin exportar ni cambiar nada\n"
    "  -h, --help           muestra esta ayuda\n"
    "  --version            muestra la version\n"
    "  --                   lo que sigue es parte de la cadena de parametros\n"
    "\n"
    "Variables de entorno:\n"
    "  VERIFICADOR_CARPETA     carpeta del programa\n"
    "  VERIFICADOR_SERVIDORES  archivo de servidores (en lugar de servidores.ini)\n"
    "  VERIFICADOR_UNIDADES    unidades de Windows, p. ej. \"C=/srv/c;\\\\=/mnt/red\"\n"
    "  VERIFICADOR_ETC         raiz de la configuracion del sistema (por omision /etc)\n"
    "  XDG_DATA_HOME           carpeta de datos del usuario (por omision ~/.local/share)\n"
    "  DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM  pantalla para la ventana\n"
    "\n"
    "Carpeta del programa: VERIFICADOR_CARPETA si esta definida; si no, la carpeta del\n"
    "ejecutable cuando tiene servidores.ini; si no, $XDG_DATA_HOME/verificador (se crea).\n"
    "Archivos de la carpeta del programa:\n"
    "  servidores.ini     servidores (si falta: /etc/verificador/servidores.ini)\n"
    "  unidades.ini       unidades de Windows, seccion [Unidades] (si falta: /etc/verificador/unidades.ini)\n"
    "  SVERR.LOG          registro de errores\n"
    "  BASES.TXT          conexiones recordadas\n"
    "  consultas.slv, CONSULTASLEN.SLV  consultas\n"
    "  cn000pr.ini, Styles/  apariencia\n"
    "\n"
    "Estado de salida:\n"
    "  0  archivo escrito (o ayuda, version, carpeta; diagnostico sin fallas)\n"
    "  1  fallo la conexion, la exportacion o la lectura de las unidades (o el diagnostico)\n"
    "  2  opcion desconocida, o consola sin operador y sin @ParametroAdicional=1\n";

// What the command line asks for. The parameter string is whatever is not an option.
struct Opciones {
    bool consola = false, ventana = false, ayuda = false, version = false, carpeta = false, diagnostico = false;
    bool pideConsulta = false;
    QString consulta, campo;
    QStringList argumentos;
    QString error; // a misuse of the command line: refused before anything runs
};

Opciones LeeOpciones(int argc, char** argv)
{
    Opciones o;
    bool soloParametros = false; // after "--" everything belongs to the parameter string
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (soloParametros || !a.startsWith(u'-')) {
            o.argumentos << a;
        } else if (a == u"--") {
            soloParametros = true;
        } else if (a == u"--consulta") {
            o.pideConsulta = true;
            if (i + 1 < argc)
                o.consulta = QString::fromLocal8Bit(argv[++i]);
        } else if (a == u"--campo") {
            if (i + 1 >= argc) {
                o.error = QStringLiteral("--campo necesita el nombre de una columna.");
                return o;
            }
            o.campo = QString::fromLocal8Bit(argv[++i]);
        } else if (a == u"--consola") {
            o.consola = true;
        } else if (a == u"--ventana") {
            o.ventana = true;
        } else if (a == u"--help" || a == u"-h") {
            o.ayuda = true;
        } else if (a == u"--version") {
            o.version = true;
        } else if (a == u"--carpeta") {
            o.carpeta = true;
        } else if (a == u"--diagnostico") {
            o.diagnostico = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            o.error = QStringLiteral("Opcion desconocida: %1").arg(a);
            return o;
        } else {
            o.argumentos << a;
        }
    }
    if (o.ventana)
        o.consola = false;
    return o;
}

// Platforms that show windows to a person. Anything else (offscreen,
// minimal, vnc, ...) has nobody to press a button.
bool PlataformaConPantalla(QByteArrayView nombre)
{
    static const QByteArrayView reales[] = {"xcb", "wayland", "wayland-egl", "eglfs", "linuxfb", "vkkhrdisplay", "windows", "cocoa"};
    return std::find(std::begin(reales), std::end(reales), nombre) != std::end(reales);
}

bool PantallaReal()
{
    return PlataformaConPantalla(QGuiApplication::platformName().toLatin1()) && QGuiApplication::primaryScreen() != nullptr;
}

// True when the environment alone says there is no screen: no display to
// connect to, or only platforms without one asked for. Such a run never
// loads a platform.
bool SinPantalla()
{
    const QByteArray pedida = qgetenv("QT_QPA_PLATFORM").trimmed();
    if (pedida.isEmpty())
        return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    for (const QByteArray& p : pedida.split(';'))
        if (PlataformaConPantalla(p.split(':').front().trimmed())) // "xcb:display=:1" names xcb
            return false;
    return true;
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
    QTextStream salida(stdout), in(stdin);
    const bool persona = isatty(STDIN_FILENO) == 1;
    QTextStream& out = persona ? SalidaDePreguntas() : salida;
    const auto muestraRuta = [&] {
        out << "Ruta: " << TextoDeTerminal(ventana.txtRuta->text()) << "\n";
        for (const QString& linea : rutas::RutasReales(u'"' + ventana.txtRuta->text() + u'"'))
            out << TextoDeTerminal(linea) << "\n";
    };
    muestraRuta();
    if (!persona) {
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
            muestraRuta();
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
    const Opciones opciones = LeeOpciones(argc, argv);
    if (!opciones.error.isEmpty()) {
        std::fprintf(stderr, "verificador: %s\nUse --help para ver las opciones.\n", opciones.error.toLocal8Bit().constData());
        return kUsoIncorrecto;
    }
    if (opciones.ayuda) {
        std::fputs(kAyuda, stdout);
        aplicacion::FijaSoloMirar(true); // reading the help makes no folder
        std::printf("\nCarpeta del programa de esta ejecucion: %s\n", aplicacion::Carpeta().toLocal8Bit().constData());
        return EXIT_SUCCESS;
    }
    if (opciones.version) {
        std::printf("verificador %s\n", VERIFICADOR_VERSION);
        return EXIT_SUCCESS;
    }
    if (opciones.carpeta) {
        std::printf("%s\n", aplicacion::Carpeta().toLocal8Bit().constData());
        return EXIT_SUCCESS;
    }
    if (opciones.diagnostico) {
        QTextStream salida(stdout);
        return Diagnostico(opciones.argumentos.join(u' '), salida);
    }
    const QStringList& argumentos = opciones.argumentos;
    bool consola = opciones.consola;
    const bool ventana = opciones.ventana;
    const bool desatendida = ExtraeParametro(argumentos.join(u' '), QStringLiteral("@ParametroAdicional")) == u"1";
    std::unique_ptr<QCoreApplication> app;
    if (ventana || (!consola && !SinPantalla())) {
        qputenv("QT_QPA_PLATFORM", PlataformasAProbar());
        app = std::make_unique<QApplication>(argc, argv);
        if (!PantallaReal()) {
            if (ventana) {
                const QString motivo = QStringLiteral("No hay pantalla disponible para mostrar la ventana (plataforma ")
                    + QGuiApplication::platformName() + QStringLiteral("): use --consola.");
                AgregaLineaRegistro(DB().RutaArchivoErrores(), LineaRegistroErrores(QStringLiteral("Main"), motivo, 0));
                std::fprintf(stderr, "%s\n", TextoDeTerminal(motivo).toLocal8Bit().constData());
                return EXIT_FAILURE;
            }
            // A display that could not be reached: the run goes on as a console
            // run, without the platform it found.
            consola = true;
            app.reset();
        }
    } else {
        consola = true;
    }
    if (consola)
        // Qt's core alone: no platform, font or display is loaded; the
        // dialogs asked on the terminal work on their forms without widgets.
        app = std::make_unique<QCoreApplication>(argc, argv);
    // Only windows and dialogs speak through Qt's own texts.
    if (qobject_cast<QApplication*>(app.get()))
        aplicacion::CargaTraduccionesQt();
    aplicacion::FijaArgumentos(argumentos);
    // An unattended run on the terminal answers every question itself, even
    // when a person happens to be at the terminal.
    instalaOperador(consola ? crearOperadorConsola(!desatendida) : crearOperadorQt());

    // A drive mapping that cannot be read would send the file elsewhere: the
    // run ends before anything is written.
    QString motivo;
    Rutina unidades([&](const VbError& e) {
        motivo = e.Description;
        return Accion::Salir;
    });
    if (!unidades.paso([] { rutas::CompruebaUnidades(); })) {
        AgregaLineaRegistro(DB().RutaArchivoErrores(), LineaRegistroErrores(QStringLiteral("Main"), motivo, 0));
        operador().MsgBox(motivo, estilo::Critical, aplicacion::NombreEjecutable());
        return EXIT_FAILURE;
    }

    if (opciones.pideConsulta) {
        if (opciones.consulta.trimmed().isEmpty()) {
            std::fprintf(stderr, "--consulta necesita el nombre de una tabla o vista.\n");
            return EXIT_FAILURE;
        }
        return EjecutaConsultaComando(opciones.consulta, opciones.campo, !consola);
    }

    FrmPrincipal principal;
    principal.Form_Load();
    if (consola)
        return Consola(principal);
    VentanaPrincipal ventanaPrincipal(principal);
    ventanaPrincipal.show();
    return app->exec();
}
