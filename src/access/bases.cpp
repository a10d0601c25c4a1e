#include "access/bases.h"

#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/rutas.h"
#include "platform/vb.h"
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
    return vb::Trim(nombre).toUpper() + QStringLiteral(" / ") + vb::Trim(base).toUpper();
}

bool CampoRegistrable(const QString& valor)
{
    return !valor.contains(u',') && !valor.contains(u'\r') && !valor.contains(u'\n') && !valor.contains(u'"');
}

void RegistraBase(const QString& clave, const QString& base, const QString& usuario, const QString& password,
                  const QString& servidor)
{
    const QString codificada = vb::Trim(FuncionesGenerales().CodificaClave(password));
    for (const QString& campo : {clave, base, usuario, codificada, servidor})
        if (!CampoRegistrable(campo))
            Raise(vberr::InvalidCall,
                  QStringLiteral("BASES.TXT no admite comas, comillas ni saltos de linea: ") + vb::Acota(campo));
    const QString ruta = ArchivoBases();
    const QByteArray contenido = Contenido(ruta);
    const bool sinFinDeLinea = !contenido.isEmpty() && !contenido.endsWith("\r\n");
    const QString linea = (sinFinDeLinea ? QStringLiteral("\r") : QString()) + vb::Trim(clave) + u',' + vb::Trim(base)
        + u',' + vb::Trim(usuario) + u',' + codificada + u',' + vb::Trim(servidor);
    archivos::EscritorTexto f(ruta, archivos::EscritorTexto::Modo::Agregar);
    f.EscribeLinea(linea);
    f.Cierra();
}
