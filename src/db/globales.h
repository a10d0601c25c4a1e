#pragma once
// Run-wide values of the program, set by the start-up and read across layers
// (the database layer's rewriting and error log need some of them).
#include <QString>
#include <QStringList>
#include <cstdint>

namespace glb {
// Start-up parameters.
inline QString UsuarioActual;
inline QString ClaveActual;
inline QString CajaActual = QStringLiteral("1");
inline QString ParametroAdicional;
// Program folder with its trailing backslash.
inline QString RutaPrograma;
inline std::int16_t TiempoEsperaComandos = 90;
// Global settings.
inline QString TablaConfiguracion;
inline bool ConfidencialidadActiva = false;
inline bool UsarFechaDia = false;
} // namespace glb
