#pragma once
// Modal operator notice that closes by itself after Espera seconds (0: waits
// for "&Aceptar"). Without windows the notice goes to the operator interface.
#include <QString>
#include <cstdint>

void MsgTemporal(const QString& Mensaje, std::int16_t Boton, const QString& Titulo, std::int16_t Espera);
