#include "platform/ado/servidores.h"

#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/rutas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace ado {

QString ArchivoServidores()
{
    const QByteArray env = qgetenv("VERIFICADOR_SERVIDORES");
    if (!env.trimmed().isEmpty())
        return QString::fromLocal8Bit(env.trimmed());
    return aplicacion::ArchivoConfiguracion(QStringLiteral("servidores.ini"));
}

namespace {

QString LeerTexto(const QString& archivo)
{
    // Through the one open of the file layer, so that a FIFO or a device at
    // that name is refused instead of holding the start-up for ever.
    const int fd = archivos::AbreArchivo(archivo, O_RDONLY);
    if (fd < 0)
        FallaDe(ErrorServidores(archivo, QString::fromLocal8Bit(std::strerror(errno))));
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        FallaDe(ErrorServidores(archivo, f.errorString()));
    }
    const QByteArray datos = f.readAll();
    if (datos.contains('\0'))
        FallaDe(ErrorServidores(archivo, QStringLiteral("it is not a text file")));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString texto = utf8(datos);
    if (utf8.hasError())
        texto = QString::fromLatin1(datos); // written on Windows in its code page
    return texto;
}

} // namespace

std::optional<Servidor> BuscarServidor(const QString& nombre)
{
    const QString archivo = ArchivoServidores();
    QFileInfo info(archivo);
    if (!info.exists())
        return std::nullopt;
    if (info.isDir())
        FallaDe(ErrorServidores(archivo, QStringLiteral("it is a folder")));

    const QStringList lineas = LeerTexto(archivo).split(u'\n');
    std::optional<Servidor> hallado;
    bool enSeccion = false;
    QString motor;
    for (const auto& [numero, linea] : archivos::LineasIni(lineas)) {
        if (linea.startsWith(u'[')) {
            if (!linea.endsWith(u']') || linea.size() < 3)
                FallaDe(ErrorServidores(archivo, QStringLiteral("line %1 is not a section name").arg(numero)));
            if (hallado)
                break; // the first section of that name counts
            enSeccion = linea.mid(1, linea.size() - 2).trimmed().compare(nombre.trimmed(), Qt::CaseInsensitive) == 0;
            if (enSeccion) {
                hallado = Servidor{};
                hallado->nombre = nombre.trimmed();
                hallado->servidor = hallado->nombre;
            }
            continue;
        }
        const qsizetype igual = linea.indexOf(u'=');
        if (igual <= 0)
            FallaDe(ErrorServidores(archivo, QStringLiteral("line %1 is not key=value").arg(numero)));
        if (!enSeccion)
            continue;
        const QString clave = linea.left(igual).trimmed();
        const QString valor = linea.mid(igual + 1).trimmed();
        if (clave.compare(u"Motor", Qt::CaseInsensitive) == 0)
            motor = valor.toLower();
        else if (clave.compare(u"Carpeta", Qt::CaseInsensitive) == 0)
            hallado->carpeta = valor;
        else if (clave.compare(u"Servidor", Qt::CaseInsensitive) == 0)
            hallado->servidor = valor;
        else if (clave.compare(u"Driver", Qt::CaseInsensitive) == 0)
            hallado->driver = valor;
    }
    if (!hallado)
        return std::nullopt;

    if (motor == u"sqlite") {
        hallado->embebido = true;
        if (hallado->carpeta.isEmpty())
            FallaDe(ErrorServidores(archivo, QStringLiteral("server %1 has Motor=sqlite but no Carpeta").arg(nombre)));
        QString carpeta = hallado->carpeta;
        try {
            // Relative folders hang from the program folder, not from the current one.
            if (!rutas::EsFormaWindows(carpeta) && !carpeta.startsWith(u'/'))
                carpeta = aplicacion::Carpeta() + u'/' + carpeta;
            carpeta = rutas::Resolver(carpeta);
        } catch (const VbError& e) {
            FallaDe(ErrorServidores(archivo, QStringLiteral("Carpeta of %1: %2").arg(nombre, e.Description)));
        }
        hallado->carpeta = QDir::cleanPath(carpeta);
    } else if (!motor.isEmpty() && motor != u"odbc") {
        FallaDe(ErrorServidores(archivo, QStringLiteral("server %1 has an unknown Motor \"%2\"").arg(nombre, motor)));
    }
    return hallado;
}

std::optional<Servidor> ServidorListado(const QString& servidor)
{
    std::optional<Servidor> lista = BuscarServidor(servidor);
    if (!lista) {
        const QString host = servidor.section(u'\\', 0, 0).section(u',', 0, 0).trimmed();
        if (host != servidor.trimmed())
            lista = BuscarServidor(host);
    }
    return lista;
}

QString ArchivoBaseEmbebida(const QString& carpeta, const QString& base)
{
    const QString nombre = base.trimmed();
    if (nombre.isEmpty())
        return {};
    const QDir dir(carpeta);
    for (const QString& f : dir.entryList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (QFileInfo(f).completeBaseName().compare(nombre, Qt::CaseInsensitive) == 0)
            return dir.filePath(f);
    return {};
}

QString DriverServidor(const Servidor* s)
{
    if (s && !s->driver.isEmpty())
        return s->driver;
    const QByteArray env = qgetenv("VERIFICADOR_ODBC_DRIVER");
    if (!env.trimmed().isEmpty())
        return QString::fromLocal8Bit(env.trimmed());
    const QString tds = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so");
    return QFileInfo::exists(tds) ? tds : QStringLiteral("FreeTDS");
}

} // namespace ado
