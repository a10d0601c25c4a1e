#include "startup/parametros.h"

#include "db/globales.h"
#include "platform/aplicacion.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

namespace {
FuncionesGenerales& funciones()
{
    static FuncionesGenerales f;
    return f;
}
} // namespace

QString CadenaParametros(const QString& dada)
{
    return dada.isEmpty() ? aplicacion::LineaComando() : dada;
}

QString ExtraeParametro(const QString& cadena, const QString& clave, bool* presente)
{
    // A key that begins another one is found in it ("@Usuario" in
    // "@UsuarioLogeado=..."): the suite's programs rely on the first match.
    const int pos = vb::InStr(cadena, clave);
    if (presente)
        *presente = pos > 0;
    if (pos == 0)
        return {};
    const qsizetype desde = pos - 1 + clave.size();
    qsizetype fin = cadena.indexOf(u';', pos - 1);
    if (fin < 0)
        fin = cadena.size();
    const QString crudo = cadena.mid(desde, fin - desde);
    return vb::Trim(funciones().ExtraeValor(crudo, QStringLiteral("=")));
}

ParametrosInicio LeeParametros(const QString& cadena, QString& connString)
{
    ParametrosInicio p;
    glb::ParametroAdicional = ExtraeParametro(cadena, QStringLiteral("@ParametroAdicional"));
    p.Server = ExtraeParametro(cadena, QStringLiteral("@Server"));
    p.DbName = ExtraeParametro(cadena, QStringLiteral("@DbName"));
    p.Usuario = ExtraeParametro(cadena, QStringLiteral("@Usuario"));
    const QString logeado = ExtraeParametro(cadena, QStringLiteral("@UsuarioLogeado"));
    bool hayPassword = false;
    p.Password = ExtraeParametro(cadena, QStringLiteral("@Password"), &hayPassword);
    bool hayCaja = false;
    const QString caja = ExtraeParametro(cadena, QStringLiteral("@Caja"), &hayCaja);
    glb::CajaActual = hayCaja ? caja : QStringLiteral("1");

    glb::UsuarioActual = logeado.isEmpty() ? p.Usuario : logeado;
    if (hayPassword)
        glb::ClaveActual = vb::Iguales(p.Password, p.DbName) ? QStringLiteral("* *") : p.Password;

    if (p.Server.startsWith(u'#')) {
        p.Server.remove(0, 1);
        p.EsOracle = true;
        if (connString.isEmpty())
            connString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + p.DbName + QStringLiteral(";User Id=")
                       + p.Usuario + QStringLiteral(";Password=") + p.Password + QStringLiteral(";");
    }
    return p;
}

QString NormalizaServidor(const QString& servidor)
{
    QString s = servidor;
    const qsizetype barra = s.indexOf(u'/');
    if (barra >= 0)
        s = s.mid(barra + 1);
    const qsizetype dos = s.indexOf(u':');
    if (dos >= 0)
        s = s.left(dos);
    return s;
}
