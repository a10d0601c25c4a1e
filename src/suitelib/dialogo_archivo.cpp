#include "suitelib/dialogo_archivo.h"

#include "platform/operador.h"

void DialogoArchivo::ShowOpen()
{
    QString archivo = FileName;
    Cancelado = !operador().ElegirArchivo(DialogTitle, Filter, archivo);
    if (!Cancelado)
        FileName = archivo;
}
