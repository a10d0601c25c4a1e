#include "access/bases.h"

#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/rutas.h"
#include "platform/vb.h"
#include "shell/mod_global.h"
#include "suitelib/funciones_generales.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The whole content of the file; empty when it does not exist.
QByteArray Contenido(const QString& ruta)
{
    const QString resuelta = rutas::Resolver(ruta);
    const int fd = archivos::AbreArchivo(resuelta, O_RDONLY);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        rutas::FallaSistema(errno, ruta, resuelta);
    }
    QByteArray todo;
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int e = errno;
            ::close(fd);
            if (n < 0)
                rutas::FallaSistema(e, ruta, resuelta);
            return todo;
        }
        todo.append(buf, n);
    }
}

// What goes before a record appended to the file: nothing when the last
// field read ended with a delimiter. A file the reader refuses keeps the old
// rule, a carriage return unless it ends with a line end.
QString PrefijoDeRegistro(const QString& ruta)
{
    if (!ExisteArchivo(ruta))
        return {};
    try {
        archivos::LectorTexto f(ruta);
        if (f.FinArchivo())
            return {};
        while (!f.FinArchivo())
            f.LeeCampo();
        switch (f.UltimoFin()) {
        case archivos::LectorTexto::FinCampo::Delimitador: return {};
        case archivos::LectorTexto::FinCampo::FinArchivo: return QStringLiteral("\r");
        case archivos::LectorTexto::FinCampo::ComillaAbierta: return QStringLiteral("\"\r");
        }
    } catch (const VbError& e) {
        if (e.Number != vberr::InputPastEnd)
            throw;
    }
    const QByteArray contenido = Contenido(ruta);
    return contenido.endsWith('\r') || contenido.endsWith('\n') ? QString() : QStringLiteral("\r");
}

} // namespace

QString ArchivoBases()
{
    static QString carpeta, archivo;
    const QString actual = aplicacion::Carpeta();
    if (archivo.isEmpty() || carpeta != actual) {
        carpeta = actual;
        archivo = rutas::ArchivoEnCarpeta(actual, QStringLiteral("BASES.TXT"));
    }
    return archivo;
}

QString ClaveBase(const QString& servidor, const QString& base)
{
    const int dosPuntos = servidor.indexOf(u':');
    const QString nombre = dosPuntos >= 0 ? servidor.left(dosPuntos) : servidor;
    return archivos::LectorTexto::Recorta(nombre).toUpper() + QStringLiteral(" / ")
        + archivos::LectorTexto::Recorta(base).toUpper();
}

QString NoRegistrable(const QString& valor)
{
    if (valor.contains(u',') || valor.contains(u'\r') || valor.contains(u'\n') || valor.contains(u'"'))
        return QStringLiteral("\"%1\" tiene comas, comillas o saltos de linea").arg(vb::Acota(valor));
    if (!archivos::CabeEnAnsi(valor))
        return QStringLiteral("\"%1\" tiene caracteres que BASES.TXT no puede guardar (fuera de Windows-1252)")
            .arg(vb::Acota(valor));
    return {};
}

void RegistraBase(const QString& clave, const QString& base, const QString& usuario, const QString& password,
                  const QString& servidor)
{
    const auto recorta = archivos::LectorTexto::Recorta;
    const QString codificada = recorta(FuncionesGenerales().CodificaClave(password));
    for (const QString& campo : {clave, base, usuario, codificada, servidor})
        if (const QString motivo = NoRegistrable(campo); !motivo.isEmpty())
            Raise(vberr::InvalidCall, QStringLiteral("BASES.TXT no puede guardar la conexion: ") + motivo);
    const QString ruta = ArchivoBases();
    const QString linea = PrefijoDeRegistro(ruta) + recorta(clave) + u',' + recorta(base) + u',' + recorta(usuario) + u','
        + codificada + u',' + recorta(servidor);
    archivos::EscritorTexto f(ruta, archivos::EscritorTexto::Modo::Agregar, 0600);
    f.EscribeLinea(linea);
    f.Cierra();
}
