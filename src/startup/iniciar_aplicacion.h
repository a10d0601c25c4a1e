#pragma once
#include <QString>
#include <cstdint>

// The suite's common start-up: parameters, main and statistics connections,
// global settings. Ends the program itself when it cannot go on.
void IniciarAplicacion(QString& parametros, QString& cadenaConexion, std::int32_t& ubicacionCursor);

// Ends the start-up (and the program) with a clear message, logged in SVERR.LOG.
[[noreturn]] void TerminaInicio(const QString& motivo);
