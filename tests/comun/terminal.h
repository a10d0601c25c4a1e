#pragma once
// The program on a pseudo-terminal, as a person at the terminal runs it.
#include <QByteArray>
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QStringList>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace prueba {

struct CorridaTerminal {
    int estado = -1;       // exit status; -1: ended by a signal, -2: did not end in time (killed)
    QByteArray pantalla;   // all it wrote on the terminal
    std::size_t pasos = 0; // the answers typed
};

// Each answer of the script is typed once its prompt shows after the previous
// one. "\x04" at the start of a line ends the input, as Ctrl-D does.
inline CorridaTerminal CorreEnTerminal(const QString& programa, const QStringList& argumentos,
                                       const QProcessEnvironment& env,
                                       const std::vector<std::pair<QByteArray, QByteArray>>& guion, int milisegundos = 20000)
{
    QByteArrayList textos{programa.toLocal8Bit()}, entorno;
    for (const QString& a : argumentos)
        textos << a.toLocal8Bit();
    for (const QString& v : env.toStringList())
        entorno << v.toLocal8Bit();
    std::vector<char*> argv, envp;
    for (QByteArray& t : textos)
        argv.push_back(t.data());
    argv.push_back(nullptr);
    for (QByteArray& v : entorno)
        envp.push_back(v.data());
    envp.push_back(nullptr);

    CorridaTerminal c;
    int maestro = -1;
    const pid_t pid = ::forkpty(&maestro, nullptr, nullptr, nullptr);
    if (pid < 0)
        return c;
    if (pid == 0) {
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    qsizetype leido = 0;
    int estado = 0;
    bool termino = false;
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < milisegundos) {
        bool hubo = false;
        pollfd p{maestro, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            char buf[4096];
            const ssize_t n = ::read(maestro, buf, sizeof buf);
            if (n > 0) {
                c.pantalla.append(buf, n);
                hubo = true;
            }
        }
        while (!termino && c.pasos < guion.size()) {
            const qsizetype en = c.pantalla.indexOf(guion[c.pasos].first, leido);
            if (en < 0)
                break;
            leido = en + guion[c.pasos].first.size();
            (void)!::write(maestro, guion[c.pasos].second.constData(), size_t(guion[c.pasos].second.size()));
            ++c.pasos;
        }
        if (hubo)
            continue;
        if (termino)
            break; // and all it wrote was read
        termino = ::waitpid(pid, &estado, WNOHANG) == pid;
    }
    ::close(maestro);
    if (!termino && ::waitpid(pid, &estado, WNOHANG) != pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        c.estado = -2;
        return c;
    }
    c.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    return c;
}

} // namespace prueba
