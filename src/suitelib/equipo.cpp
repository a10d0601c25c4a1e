#include "suitelib/equipo.h"

#include "platform/errores.h"
#include "platform/rutas.h"

#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <pwd.h>
#include <unistd.h>

QString Equipo::NombreEquipo() const
{
    const QString n = QSysInfo::machineHostName();
    return n.isEmpty() ? QStringLiteral("localhost") : n;
}

QString Equipo::UsuarioEquipo() const
{
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    const QString u = qEnvironmentVariable("USER");
    return u.isEmpty() ? QString::number(::geteuid()) : u;
}

QString Equipo::CarpetaEquipo() const { return QDir::tempPath(); }

QUrl Equipo::DestinoDocumento(const QString& documento)
{
    QString d = documento.trimmed();
    if (d.size() >= 2 && d.startsWith(u'"') && d.endsWith(u'"'))
        d = d.mid(1, d.size() - 2);
    const QUrl url(d);
    const bool direccion = d.startsWith(QLatin1String("www."), Qt::CaseInsensitive)
                           || (url.isValid() && url.scheme().size() > 1 && !rutas::EsFormaWindows(d));
    if (direccion)
        return QUrl::fromUserInput(d);
    return QUrl::fromLocalFile(rutas::Resolver(d));
}

void Equipo::AbreDocumento(const QString& documento, int) const
{
    const QUrl destino = DestinoDocumento(documento);
    const QString arg = destino.isLocalFile() ? destino.toLocalFile() : destino.toString();
    if (!QProcess::startDetached(QStringLiteral("xdg-open"), {arg}))
        Raise(vberr::FileNotFound, QStringLiteral("Cannot open '%1': xdg-open could not be started").arg(documento));
}
