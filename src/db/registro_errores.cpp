#include "db/registro_errores.h"

#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/rutas.h"
#include "platform/vb.h"

#include <QRegularExpression>

QString OcultaClaves(const QString& texto)
{
    static const QRegularExpression clave(QStringLiteral(R"(\b((?:Pwd|Password)\s*=)(?:\s*\{[^}]*\}?|[^;\r\n]*))"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (!texto.contains(QLatin1String("pwd"), Qt::CaseInsensitive)
        && !texto.contains(QLatin1String("password"), Qt::CaseInsensitive))
        return texto;
    return QString(texto).replace(clave, QStringLiteral("\\1****"));
}

QString MensajeError(const VbError& e)
{
    return QStringLiteral("Ha ocurrido el Siguiente Error (%1) %2").arg(e.Number).arg(OcultaClaves(vb::Trim(e.Description)));
}

QString PalabraRespuesta(int respuesta)
{
    switch (respuesta) {
    case 4: return QStringLiteral("Reintentar");
    case 5: return QStringLiteral("Ignorar");
    case 3: return QStringLiteral("Abortar");
    case 2: return QStringLiteral("Cancelar");
    case 6: return QStringLiteral("Sí");
    case 7: return QStringLiteral("No");
    default: return {};
    }
}

QString LineaRegistroErrores(const QString& rutina, const QString& mensaje, int respuesta, const QDateTime& cuando)
{
    // " - " and the name, the whole piece trimmed: "- Cfg".
    const QString parteRutina = rutina.isEmpty() ? QString() : QStringLiteral("- ") + vb::Trim(rutina);
    // One error, one line: a line break inside the message would split it.
    QString texto = vb::Acota(OcultaClaves(vb::Trim(mensaje)), 1000);
    texto.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    return vb::FechaMDA(cuando) + u' ' + vb::HoraHMS(cuando) + QStringLiteral(" Rutina: ") + parteRutina
        + QStringLiteral(" Mensaje ") + vb::Trim(texto) + QStringLiteral(" Respondió : ") + PalabraRespuesta(respuesta);
}

QString ArchivoErroresPorOmision()
{
    return rutas::ArchivoEnCarpeta(aplicacion::Carpeta(), QStringLiteral("SVERR.LOG"));
}

void AgregaLineaRegistro(const QString& archivo, const QString& linea)
{
    if (aplicacion::SoloMirar())
        return;
    try {
        archivos::AgregaLinea(archivo, linea);
    } catch (const VbError&) {
        // The treatment never reports its own failures: the line is lost.
    }
}
