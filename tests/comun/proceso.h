#pragma once
// The program as a process: its exit status and what it printed.
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace prueba {

struct Corrida {
    int estado = -1; // -1: ended by a signal, -2: did not end in time (killed)
    QString salida;  // standard output and standard error
    QString normal;  // standard output alone
    QString error;   // standard error alone
};

// env with the changes given: "X=v" sets a variable, "X" removes it.
inline QProcessEnvironment CambiaEntorno(QProcessEnvironment env, const QStringList& cambios)
{
    for (const QString& c : cambios) {
        const qsizetype igual = c.indexOf(u'=');
        if (igual < 0)
            env.remove(c);
        else
            env.insert(c.left(igual), c.mid(igual + 1));
    }
    return env;
}

// The environment of a run whose program folder is carpeta, with no display
// (a console run), and the changes given.
inline QProcessEnvironment EntornoDePrueba(const QString& carpeta, const QStringList& cambios)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VERIFICADOR_CARPETA"), carpeta);
    env.insert(QStringLiteral("VERIFICADOR_SERVIDORES"), carpeta + QStringLiteral("/servidores.ini"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return CambiaEntorno(env, cambios);
}

// A run that does not end in time fails the test, not the suite. Standard
// input holds entrada (nothing when it is empty).
inline Corrida CorreProceso(const QString& programa, const QStringList& argumentos, const QProcessEnvironment& env,
                            const QByteArray& entrada = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (entrada.isEmpty())
        p.setStandardInputFile(QProcess::nullDevice());
    p.start(programa, argumentos);
    if (!entrada.isEmpty()) {
        p.write(entrada);
        p.closeWriteChannel();
    }
    Corrida c;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "the run did not end: " << argumentos.join(u' ').left(200).toStdString();
        c.estado = -2;
    } else {
        c.estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    const QByteArray out = p.readAllStandardOutput(), err = p.readAllStandardError();
    c.salida = QString::fromLocal8Bit(out + err);
    c.normal = QString::fromLocal8Bit(out);
    c.error = QString::fromLocal8Bit(err);
    return c;
}

} // namespace prueba
