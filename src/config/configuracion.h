#pragma once
// Named settings of the suite, one row per key in TA_CONFIGURACION, on the
// main connection (Cfg, GrabaDfg) and on the statistics one (CfgSV, GrabaCfgSV).
// Key texts go into the statements as they come: callers pass fixed names.
#include "platform/variant.h"

#include <QString>

// The key's value; a missing key reads as one blank (callers trim), and ""
// when the main connection is closed or the read was given up.
QString Cfg(const QString& Clave, QString& ValorAux);
QString Cfg(const QString& Clave);

// Writes (or, with Borrar on an existing key, deletes) the key. Failures are
// passed over silently.
void GrabaDfg(const QString& Clave, const Variant& Valor, const QString& ValorAux, bool PoliticaNegocio,
              const QString& Grupo, bool Recortar, bool Borrar);

QString CfgSV(const QString& Clave, QString& ValorAux);
QString CfgSV(const QString& Clave);
void GrabaCfgSV(const QString& Clave, const Variant& Valor, const QString& ValorAux, bool PoliticaNegocio,
                const QString& Grupo, bool Recortar);
