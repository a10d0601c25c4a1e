#pragma once
// The product file of the price checker: one line per article,
// barcode;code;description;0, Windows-1252, CR LF.
#include "platform/ado/ado.h"
#include "platform/archivos.h"

#include <QString>
#include <cstdint>
#include <functional>

QString ConsultaProductos();

// Told of the lines written so far every kFilasPorAvance rows: rarely enough
// to cost the loop nothing, often enough for a progress display.
using AvanceEscritura = std::function<void(std::int64_t lineas)>;
constexpr std::int64_t kFilasPorAvance = 4096;

// The folder the file goes to as the window starts with it: the stored
// RUTACOMPARTIDA_COLECTOR, or C:\Productos when none is stored (configurada
// then false).
QString CarpetaProductos(bool* configurada = nullptr);
// The configuration key that stores that folder.
inline const QString kClaveCarpetaProductos = QStringLiteral("RUTACOMPARTIDA_COLECTOR");

// Writes one line per row of the product query, in the order the rows come.
// Returns the number of lines written.
std::int64_t EscribeProductos(ado::Recordset& rs, archivos::EscritorTexto& salida, const AvanceEscritura& avance = {});
