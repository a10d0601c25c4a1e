#include "startup/carga_configuracion.h"

#include "config/configuracion.h"
#include "db/globales.h"
#include "platform/errores.h"

#include <QTime>
#include <cstdlib>

void CargaConfiguracion(QString& ruta)
{
    auto r = Rutina::Omitir();
    r.paso([] { std::srand(unsigned(QTime::currentTime().msecsSinceStartOfDay())); });
    r.paso([] { glb::TablaConfiguracion = QStringLiteral("ta_configuracion"); });
    // "SI" exactly, ignoring case only: " SI" is off.
    r.paso([] { glb::ConfidencialidadActiva = Cfg(QStringLiteral("SS_CONFIDENCIALIDAD")).compare(u"SI", Qt::CaseInsensitive) == 0; });
    r.paso([] { glb::UsarFechaDia = Cfg(QStringLiteral("UTILIZARFECHADIA")).compare(u"SI", Qt::CaseInsensitive) == 0; });
}
