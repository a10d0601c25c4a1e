#include "diag/registra_error.h"

#include "db/db_dll.h"
#include "db/globales.h"
#include "db/registro_errores.h"
#include "platform/aplicacion.h"
#include "platform/operador.h"
#include "platform/vb.h"
#include "suitelib/equipo.h"
#include "suitelib/funciones_generales.h"

#include <QDateTime>

namespace {

FuncionesGenerales& funciones()
{
    static FuncionesGenerales f;
    return f;
}

Equipo& equipo()
{
    static Equipo e;
    return e;
}

} // namespace

QString CarpetaRegistroErrores()
{
    // As the suite always did: the folder is taken from "tmp" when "temp" is set.
    QString carpeta;
    if (!qEnvironmentVariable("temp").isEmpty())
        carpeta = qEnvironmentVariable("tmp");
    carpeta = vb::Trim(carpeta);
    if (carpeta.isEmpty())
        carpeta = equipo().CarpetaEquipo();
    carpeta = funciones().BarraFinal(carpeta);
    if (!carpeta.endsWith(u'\\') && !carpeta.endsWith(u'/'))
        carpeta += u'\\';
    return carpeta;
}

std::int16_t RegistraError(const VbError& error, std::optional<int> Botones, const QString& Rutina)
{
    auto r = ::Rutina::Omitir();
    QString archivo, mensaje, parteRutina, titulo;
    int est = 18;
    int respuesta = 0;

    r.paso([&] { archivo = CarpetaRegistroErrores() + QStringLiteral("SVERR.LOG"); });
    // A description quoting a huge value must not flood the box or the log.
    r.paso([&] { mensaje = vb::Acota(MensajeError(error), 1000); });
    r.paso([&] {
        if (!Rutina.isEmpty())
            parteRutina = QStringLiteral(" - ") + Rutina;
    });
    r.paso([&] { titulo = error.Source + parteRutina + QStringLiteral(" Aviso al operador!!! - 2 "); });
    r.paso([&] { est = Botones.value_or(18); });
    if (error.Number == 0)
        return 0;
    r.paso([&] { respuesta = operador().MsgBox(mensaje, est, titulo); });
    r.paso([&] { AgregaLineaRegistro(archivo, LineaRegistroErrores(Rutina, mensaje, respuesta)); });
    return std::int16_t(respuesta);
}

void RegistraErrorSQL(const QString& sentencia, QString& proceso, std::int32_t numero, const QString& descripcion)
{
    auto r = Rutina::Omitir();
    ado::Recordset rs;
    QString sql = QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) ");

    r.paso([&] {
        if (proceso.isEmpty())
            proceso = aplicacion::NombreEjecutable();
    });
    r.paso([&] { DB().AbrirRecordset(sql, rs, nullptr, 2, 3); });
    r.paso([&] { rs.AddNew(); });
    r.paso([&] { rs.Fields(QStringLiteral("Proceso")).setValue(aplicacion::NombreEjecutable()); });
    r.paso([&] { rs.Fields(QStringLiteral("FECHA")).setValue(vb::FechaHoraCorta(QDateTime::currentDateTime())); });
    r.paso([&] { rs.Fields(QStringLiteral("Error")).setValue(numero); });
    r.paso([&] { rs.Fields(QStringLiteral("Descripcion")).setValue(funciones().LimitaTexto(descripcion, 250)); });
    r.paso([&] { rs.Fields(QStringLiteral("sql")).setValue(sentencia); });
    r.paso([&] { rs.Fields(QStringLiteral("PC")).setValue(equipo().NombreEquipo()); });
    r.paso([&] { rs.Fields(QStringLiteral("Usuario")).setValue(glb::UsuarioActual); });
    r.paso([&] { rs.Update(); });
    r.paso([&] { DB().CierraRecordset(rs); });
}
