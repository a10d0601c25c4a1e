#include "access/acceso_prueba.h"

#include <QElapsedTimer>
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

TEST_F(Consola, EnUnaTerminalPreguntaEnOrdenYLaClaveNoSeVe)
{
    escribeBases(linea("LOCAL / EMPRESA", "EMPRESA", "local"));
    frmAcceso f;
    f.Form_Load();
    int resultado[2];
    ASSERT_EQ(::pipe(resultado), 0);
    int maestro = -1;
    const pid_t pid = ::forkpty(&maestro, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(resultado[0]);
        DialogoEnHijo(f, resultado[1]);
    }
    ::close(resultado[1]);

    // Each answer is typed once its question is on the screen.
    const std::pair<QByteArray, QByteArray> guion[] = {
        {"ninguna) [1]:", "1\n"},      {"Usuario:", "juan\n"},  {"Contrase\xc3\xb1" "a:", "s3cr3t\n"},
        {"Base de datos [EMPRESA]:", "\n"}, {"Servidor [local]:", "\n"}, {"Puerto:", "1500\n"},
        {"Plataforma (0: SQL Server, 1: ORACLE) [0]:", "0\n"}};
    QByteArray pantalla;
    size_t siguiente = 0;
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
            pantalla.append(buf, n);
        }
        if (siguiente < std::size(guion)) {
            const qsizetype en = pantalla.indexOf(guion[siguiente].first, desde);
            if (en >= 0) {
                desde = en + guion[siguiente].first.size();
                ASSERT_EQ(::write(maestro, guion[siguiente].second.constData(), size_t(guion[siguiente].second.size())),
                          guion[siguiente].second.size());
                ++siguiente;
            }
        }
    }
    const Resultado r = EsperaHijo(pid, resultado[0], 5000);
    ::close(maestro);
    ::close(resultado[0]);
    EXPECT_TRUE(r.terminado);
    EXPECT_EQ(siguiente, std::size(guion)) << pantalla.toStdString();
    EXPECT_EQ(r.datos, "1|juan|s3cr3t|EMPRESA");
    EXPECT_TRUE(pantalla.contains("  1) LOCAL / EMPRESA"));
    EXPECT_TRUE(pantalla.contains("juan")); // what is typed is echoed ...
    EXPECT_FALSE(pantalla.contains("s3cr3t")) << pantalla.toStdString(); // ... but the password
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
