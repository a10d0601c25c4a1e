#pragma once
// The error dialog of the module routines: shows the error, asks how to go
// on, and appends one line about it to SVERR.LOG in the temporary folder.
// Failed statement batches are kept as rows of AUX_ERR.
#include "platform/errores.h"

#include <QString>
#include <cstdint>
#include <optional>

// The reply of the message box (4 retry, 5 ignore, ...), or 0 for error number 0.
// Botones: message box style, abort/retry/ignore with the critical icon (18) when absent.
std::int16_t RegistraError(const VbError& error, std::optional<int> Botones = std::nullopt, const QString& Rutina = {});

// The folder the log goes to, ending in a separator.
QString CarpetaRegistroErrores();

// proceso: when empty it is set to the executable name.
void RegistraErrorSQL(const QString& sentencia, QString& proceso, std::int32_t numero, const QString& descripcion);
