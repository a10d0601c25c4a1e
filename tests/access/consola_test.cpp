#include "access/acceso_prueba.h"

#include <QElapsedTimer>
#include <QFile>
#include <fcntl.h>
#include <functional>
#include <termios.h>
#include <vector>
#include <QLineEdit>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The dialog's answers as the child process saw them.
struct Resultado {
    bool terminado = false;
    QByteArray datos;
};

// Runs the dialog in a child process whose terminal is `entrada` (already
// set up by the caller's fork) and writes what it decided into `salida`.
[[noreturn]] void DialogoEnHijo(frmAcceso& f, int salida)
{
    instalaOperador(crearOperadorConsola(true));
    f.Mostrar();
    const QByteArray r = QByteArray(f.Aceptar ? "1" : "0") + '|' + glb::UsuarioActual.toUtf8() + '|'
        + glb::ClaveActual.toUtf8() + '|' + f.TxtDbName->text().toUtf8();
    (void)!::write(salida, r.constData(), size_t(r.size()));
    ::_exit(0);
}

// Waits for the child and reads its result; kills it when it does not end.
Resultado EsperaHijo(pid_t pid, int lectura, int milisegundos)
{
    Resultado r;
    QElapsedTimer t;
    t.start();
    int estado = 0;
    while (t.elapsed() < milisegundos) {
        if (::waitpid(pid, &estado, WNOHANG) == pid) {
            r.terminado = true;
            break;
        }
        ::usleep(5000);
    }
    if (!r.terminado) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &estado, 0);
    }
    char buf[512];
    ssize_t n;
    while ((n = ::read(lectura, buf, sizeof buf)) > 0)
        r.datos.append(buf, n);
    return r;
}

class Consola : public prueba::AccesoPrueba {};

using Guion = std::vector<std::pair<QByteArray, QByteArray>>;

struct Sesion {
    Resultado r;
    QByteArray pantalla; // what the terminal showed
    std::size_t pasos = 0;
    termios final{};     // the terminal's settings once the dialog is over
};

// The dialog in a child process on a pseudo-terminal: each answer is typed
// once its question is on the screen. enHijo runs in the child first.
Sesion DialogoEnTerminal(frmAcceso& f, const Guion& guion, const std::function<void()>& enHijo = {})
{
    Sesion s;
    int resultado[2];
    if (::pipe(resultado) != 0)
        return s;
    int maestro = -1;
    const pid_t pid = ::forkpty(&maestro, nullptr, nullptr, nullptr);
    if (pid < 0)
        return s;
    if (pid == 0) {
        ::close(resultado[0]);
        if (enHijo)
            enHijo();
        DialogoEnHijo(f, resultado[1]);
    }
    ::close(resultado[1]);
    qsizetype desde = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        pollfd p{maestro, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            char buf[512];
            const ssize_t n = ::read(maestro, buf, sizeof buf);
            if (n <= 0)
                break; // the child closed its terminal
            s.pantalla.append(buf, n);
        }
        if (s.pasos < guion.size()) {
            const qsizetype en = s.pantalla.indexOf(guion[s.pasos].first, desde);
            if (en >= 0) {
                desde = en + guion[s.pasos].first.size();
                (void)!::write(maestro, guion[s.pasos].second.constData(), size_t(guion[s.pasos].second.size()));
                ++s.pasos;
            }
        }
    }
    s.r = EsperaHijo(pid, resultado[0], 5000);
    ::tcgetattr(maestro, &s.final);
    ::close(maestro);
    ::close(resultado[0]);
    return s;
}

QByteArray LeeTodo(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(Consola, EnUnaTerminalPreguntaEnOrdenYLaClaveNoSeVe)
{
    escribeBases(linea("LOCAL / EMPRESA", "EMPRESA", "local"));
    frmAcceso f;
    f.Form_Load();
    const Guion guion = {{"ninguna) [0]:", "1\n"},
                         {"Usuario:", "juan\n"},
                         {"Contrase\xc3\xb1" "a:", "s3cr3t\n"},
                         {"Base de datos [EMPRESA]:", "\n"},
                         {"Servidor [local]:", "\n"},
                         {"Plataforma (0: SQL Server, 1: ORACLE) [0]:", "0\n"},
                         {"C: Conectar, X: Cancelar, R: Registrar, A: Crear Acceso Directo [C]:", "\n"}};
    const Sesion s = DialogoEnTerminal(f, guion);
    EXPECT_TRUE(s.r.terminado);
    EXPECT_EQ(s.pasos, guion.size()) << s.pantalla.toStdString();
    EXPECT_EQ(s.r.datos, "1|juan|s3cr3t|EMPRESA");
    EXPECT_TRUE(s.pantalla.contains("  1) LOCAL / EMPRESA"));
    EXPECT_TRUE(s.pantalla.contains("juan")); // what is typed is echoed ...
    EXPECT_FALSE(s.pantalla.contains("s3cr3t")) << s.pantalla.toStdString(); // ... but the password
    EXPECT_FALSE(s.pantalla.contains("Puerto")); // nothing here would use it
}

// Enter keeps what the boxes hold: the caller's connection, not the first
// registered one. The hints are no values to offer.
TEST_F(Consola, EnterNoEligeUnaConexionRegistrada)
{
    escribeBases(linea("OTRO / OTRA", "OTRA", "otro"));
    frmAcceso f;
    f.Form_Load();
    f.TxtDbName->setText(QStringLiteral("EMPRESA"));
    f.TxtServidor->setText(QStringLiteral("LOCAL"));
    f.TxtUserId->setText(QStringLiteral("ADMIN"));
    const Guion guion = {{"ninguna) [0]:", "\n"},        {"Usuario [ADMIN]:", "\n"}, {"a:", "DEMO\n"},
                         {"Base de datos [EMPRESA]:", "\n"}, {"Servidor [LOCAL]:", "\n"}, {"[0]:", "\n"},
                         {"[C]:", "\n"}};
    const Sesion s = DialogoEnTerminal(f, guion);
    EXPECT_EQ(s.pasos, guion.size()) << s.pantalla.toStdString();
    EXPECT_EQ(s.r.datos, "1|ADMIN|DEMO|EMPRESA");

    frmAcceso g;
    g.Form_Load();
    g.TxtServidor->setText(QString());
    g.TxtDbName->setText(QString());
    const Guion vacio = {{"ninguna) [0]:", "\n"}, {"Usuario:", "\n"}, {"a:", "\n"}, {"Base de datos:", "x\n"},
                         {"Servidor:", "\n"},       {"[0]:", "\n"},     {"[C]:", "X\n"}};
    const Sesion t = DialogoEnTerminal(g, vacio);
    EXPECT_EQ(t.pasos, vacio.size()) << t.pantalla.toStdString();
    EXPECT_TRUE(t.r.datos.startsWith("0|")) << t.r.datos.toStdString(); // "X" cancels
}

// Text of BASES.TXT reaches the terminal harmless: its control characters
// shown, not obeyed.
TEST_F(Consola, LosCaracteresDeControlDeLosArchivosNoLleganALaTerminal)
{
    escribeBases("\x1b]0;titulo\x07\x1b[2J / X,x,x,x,\x1b]0;t\x07\r\n");
    frmAcceso f;
    f.Form_Load();
    const Sesion s = DialogoEnTerminal(f, {{"ninguna) [0]:", "\x04"}});
    EXPECT_EQ(s.pasos, 1u) << s.pantalla.toStdString();
    EXPECT_FALSE(s.pantalla.contains('\x1b')) << s.pantalla.toStdString();
    EXPECT_FALSE(s.pantalla.contains('\x07')) << s.pantalla.toStdString();
    EXPECT_TRUE(s.pantalla.contains("^[]0;titulo^G^[[2J / X")) << s.pantalla.toStdString();

    EXPECT_EQ(TextoDeTerminal(u"a\tb\nc\x7f\x9b" u"2J\x01 ñ €"), u"a\tb\nc^?^[[2J^A ñ €");
}

// A person at the terminal sees what is asked even when the program's
// output goes to a file: on standard error, or on the terminal itself.
TEST_F(Consola, ConLaSalidaEnUnArchivoSePreguntaEnLaTerminal)
{
    escribeBases(linea("LOCAL / EMPRESA", "EMPRESA", "local"));
    const QString salida = dir.path() + QStringLiteral("/salida.log");
    const QString errores = dir.path() + QStringLiteral("/errores.log");
    for (const bool tambienErrores : {false, true}) {
        SCOPED_TRACE(tambienErrores);
        frmAcceso f;
        f.Form_Load();
        const Guion guion = {{"ninguna) [0]:", "\n"}, {"Usuario:", "juan\n"}, {"a:", "x\n"},
                             {"[EMPRESA]:", "\n"},    {"[local]:", "\n"},    {"[0]:", "\n"}, {"[C]:", "\n"}};
        const Sesion s = DialogoEnTerminal(f, guion, [&] {
            const auto redirige = [](const QString& ruta, int fd) {
                const int a = ::open(QFile::encodeName(ruta).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                ::dup2(a, fd);
                ::close(a);
            };
            redirige(salida, STDOUT_FILENO);
            if (tambienErrores)
                redirige(errores, STDERR_FILENO);
        });
        EXPECT_EQ(s.pasos, guion.size()) << s.pantalla.toStdString();
        EXPECT_EQ(s.r.datos, "1|juan|x|EMPRESA");
        EXPECT_TRUE(s.pantalla.contains("  1) LOCAL / EMPRESA"));
        EXPECT_FALSE(LeeTodo(salida).contains("Usuario"));
        EXPECT_FALSE(LeeTodo(errores).contains("Usuario"));
    }
}

// Ctrl-C while the password is typed without echo: the terminal echoes again.
TEST_F(Consola, InterrumpirEnLaClaveDevuelveElEcoALaTerminal)
{
    frmAcceso f;
    f.Form_Load();
    const Sesion s = DialogoEnTerminal(f, {{"Usuario", "juan\n"}, {"a:", "\x03"}});
    EXPECT_EQ(s.pasos, 2u) << s.pantalla.toStdString();
    EXPECT_TRUE(s.r.terminado);
    EXPECT_TRUE(s.r.datos.isEmpty()); // ended by the signal, nothing decided
    EXPECT_TRUE(s.final.c_lflag & ECHO);
}

TEST_F(Consola, SinTerminalCuentaComoCanceladoEnseguida)
{
    escribeBases(linea("LOCAL / EMPRESA", "EMPRESA", "local"));
    frmAcceso f;
    f.Form_Load();
    // Standard input is a pipe nobody writes to: reading it would wait for ever.
    int entrada[2], resultado[2];
    ASSERT_EQ(::pipe(entrada), 0);
    ASSERT_EQ(::pipe(resultado), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(entrada[0], STDIN_FILENO);
        ::close(resultado[0]);
        DialogoEnHijo(f, resultado[1]);
    }
    ::close(resultado[1]);
    const Resultado r = EsperaHijo(pid, resultado[0], 10000);
    ::close(entrada[0]);
    ::close(entrada[1]);
    ::close(resultado[0]);
    EXPECT_TRUE(r.terminado);
    EXPECT_TRUE(r.datos.startsWith("0|")) << r.datos.toStdString();
}

} // namespace
