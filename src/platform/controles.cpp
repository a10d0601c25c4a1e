#include "platform/controles.h"

void CajaTexto::setText(const QString& texto)
{
    if (texto == texto_)
        return;
    texto_ = texto;
    emit textChanged(texto_);
}
