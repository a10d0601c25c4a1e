#include "db/db_privado.h"
#include "db/registro_errores.h"

#include "platform/operador.h"

std::int16_t DB_Dll::TratamientoErrores(const VbError& CodErr, std::optional<int> Botones, const QString& Rutina)
{
    const QString mensaje = MensajeError(CodErr);
    QString titulo = CodErr.Source;
    if (!Rutina.isEmpty())
        titulo += QStringLiteral(" - ") + Rutina;
    titulo += QStringLiteral(" Aviso al operador!!! - 5 ");
    if (CodErr.Number == 0)
        return 0;
    const int respuesta = operador().MsgBox(mensaje, Botones.value_or(estilo::AbortRetryIgnore + estilo::Critical), titulo);
    AgregaLineaRegistro(RutaArchivoErrores(), LineaRegistroErrores(Rutina, mensaje, respuesta));
    return std::int16_t(respuesta);
}

QString DB_Dll::RutaArchivoErrores() const { return gLogErr.isEmpty() ? ArchivoErroresPorOmision() : gLogErr; }
