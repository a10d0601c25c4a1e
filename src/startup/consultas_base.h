#pragma once
// Writes the suite's standard lookup definitions into the file the lookup
// engine reads (its gRutaMascaraConsultas), appending them as new records.
void CreaConsultasBase();
