#include "platform/aplicacion.h"

#include "platform/rutas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
    return QFile::decodeName(QByteArray(buf, int(n)));
}
bool& soloMirar()
{
    static bool s = false;
    return s;
}
} // namespace

bool SoloMirar() { return soloMirar(); }
void FijaSoloMirar(bool s) { soloMirar() = s; }

QString Carpeta()
{
    const QByteArray env = qgetenv("VERIFICADOR_CARPETA");
    if (!env.trimmed().isEmpty())
        return QDir::cleanPath(QDir(QString::fromLocal8Bit(env)).absolutePath());
    // A build or a copied folder carries its servidores.ini beside the
    // executable; an installed program (/usr/bin) keeps its files in the
    // user's data folder instead.
    const QString propia = QFileInfo(ejecutable()).absolutePath();
    if (QFileInfo(propia + QStringLiteral("/servidores.ini")).isFile())
        return propia;
    QString datos = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(datos))
        datos = QDir::homePath() + QStringLiteral("/.local/share");
    const QString carpeta = QDir::cleanPath(datos + QStringLiteral("/verificador"));
    if (!SoloMirar())
        QDir().mkpath(carpeta); // one that cannot be made shows when its files are written
    return carpeta;
}

QString ArchivoConfiguracion(const QString& nombre)
{
    const QString propio = rutas::ArchivoEnCarpeta(Carpeta(), nombre);
    if (QFileInfo::exists(propio))
        return propio;
    QString etc = qEnvironmentVariable("VERIFICADOR_ETC");
    if (etc.trimmed().isEmpty())
        etc = QStringLiteral("/etc");
    const QString sistema = QDir::cleanPath(etc + QStringLiteral("/verificador/") + nombre);
    return QFileInfo::exists(sistema) ? sistema : propio;
}

QString Ejecutable() { return ejecutable(); }

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
