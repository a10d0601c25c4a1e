// Any parameter string: every key the start-up reads comes back empty unless
// the string holds it, a value is a piece of the string within its own
// "key=value;" part, and a server name normalizes to a piece of itself
// without a port.
#include "db/globales.h"
#include "startup/parametros.h"

#include "fuzz/comprueba.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The value read for clave must follow that key inside one ';'-part.
void compruebaClave(const QString& cadena, const QString& clave)
{
    bool presente = false;
    const QString valor = ExtraeParametro(cadena, clave, &presente);
    const qsizetype pos = cadena.indexOf(clave, 0, Qt::CaseInsensitive);
    COMPRUEBA(presente == (pos >= 0));
    if (!presente) {
        COMPRUEBA(valor.isEmpty());
        return;
    }
    COMPRUEBA(!valor.contains(u';'));
    if (valor.isEmpty())
        return;
    qsizetype fin = cadena.indexOf(u';', pos);
    if (fin < 0)
        fin = cadena.size();
    const QString parte = cadena.mid(pos + clave.size(), fin - pos - clave.size());
    COMPRUEBA(parte.contains(valor));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString cadena = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    static const char* const claves[] = {"@Server", "@DbName", "@Usuario", "@UsuarioLogeado", "@Password",
                                         "@Caja", "@ParametroAdicional"};
    for (const char* c : claves)
        compruebaClave(cadena, QString::fromLatin1(c));

    QString conexion;
    const ParametrosInicio p = LeeParametros(cadena, conexion);
    const auto ausente = [&](const char* clave) {
        return !cadena.contains(QLatin1String(clave), Qt::CaseInsensitive);
    };
    if (ausente("@Server"))
        COMPRUEBA(p.Server.isEmpty() && !p.EsOracle && conexion.isEmpty());
    if (ausente("@DbName"))
        COMPRUEBA(p.DbName.isEmpty());
    if (ausente("@Usuario"))
        COMPRUEBA(p.Usuario.isEmpty() && glb::UsuarioActual.isEmpty());
    if (ausente("@Password"))
        COMPRUEBA(p.Password.isEmpty());
    if (ausente("@Caja"))
        COMPRUEBA(glb::CajaActual == QLatin1String("1"));
    if (ausente("@ParametroAdicional"))
        COMPRUEBA(glb::ParametroAdicional.isEmpty());
    COMPRUEBA(cadena.contains(p.Server) || (p.EsOracle && cadena.contains(u'#' + p.Server)));

    const QString servidor = NormalizaServidor(p.Server);
    COMPRUEBA(p.Server.contains(servidor) && !servidor.contains(u':'));
    const QString directo = NormalizaServidor(cadena);
    COMPRUEBA(cadena.contains(directo) && !directo.contains(u':'));
    return 0;
}
