#include "platform/aplicacion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace aplicacion {

namespace {
QStringList& argumentos()
{
    static QStringList a;
    return a;
}
std::function<void(int)>& terminar()
{
    static std::function<void(int)> t;
    return t;
}
QString ejecutable()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return QDir::currentPath() + QStringLiteral("/verificador");
    return QString::fromLocal8Bit(buf, n);
}
} // namespace

QString Carpeta()
{
    const QByteArray env = qgetenv("VERIFICADOR_CARPETA");
    if (!env.trimmed().isEmpty())
        return QDir::cleanPath(QDir(QString::fromLocal8Bit(env)).absolutePath());
    return QFileInfo(ejecutable()).absolutePath();
}

QString NombreEjecutable()
{
    const QString n = QFileInfo(ejecutable()).completeBaseName();
    return n.isEmpty() ? QStringLiteral("verificador") : n;
}

QString LineaComando() { return argumentos().join(u' '); }
void FijaArgumentos(const QStringList& a) { argumentos() = a; }

namespace {
QString& ayuda()
{
    static QString a;
    return a;
}
} // namespace
QString ArchivoAyuda() { return ayuda(); }
void FijaArchivoAyuda(const QString& archivo) { ayuda() = archivo; }

void Terminar(int codigo)
{
    if (terminar())
        terminar()(codigo);
    std::fflush(nullptr);
    std::_Exit(codigo);
}

void FijaTerminar(std::function<void(int)> t) { terminar() = std::move(t); }

} // namespace aplicacion
