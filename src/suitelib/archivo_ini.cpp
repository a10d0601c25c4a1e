#include "suitelib/archivo_ini.h"

#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/rutas.h"

QString ArchivoIni::LeeIni(const QString& archivo, const QString& seccion, const QString& clave, const QString& omision) const
{
    QString ruta = archivo.trimmed();
    if (!ruta.contains(u'\\') && !ruta.contains(u'/') && !ruta.contains(u':'))
        ruta = rutas::ArchivoEnCarpeta(aplicacion::Carpeta(), ruta);
    for (const auto& [k, v] : archivos::SeccionIni(ruta, seccion))
        if (k.compare(clave.trimmed(), Qt::CaseInsensitive) == 0)
            return v;
    return omision;
}
