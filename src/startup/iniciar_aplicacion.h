#pragma once
#include "startup/parametros.h"

#include <QString>
#include <cstdint>
#include <functional>

// The suite's common start-up: parameters, main and statistics connections,
// global settings. Ends the program itself when it cannot go on.
void IniciarAplicacion(QString& parametros, QString& cadenaConexion, std::int32_t& ubicacionCursor);

// Ends the start-up (and the program) with a clear message, logged in SVERR.LOG.
[[noreturn]] void TerminaInicio(const QString& motivo);

namespace inicio {

// What the database access dialog shows and what the operator typed in it.
struct DatosAcceso {
    QString usuario, clave, servidor, base;
};

// The access dialog for a further sign-on try: shown filled with datos,
// true when the operator accepted, with the typed values in datos. Without
// one, a further try counts as cancelled.
inline std::function<bool(DatosAcceso&)> PideAccesoOtraVez;

// The main connection, as the suite's programs open it: the database is also
// the login and its password. A missing server or user asks for the
// connection. muestraError: a failure is shown, with the offer to try again.
// Empty when it opened; else why not, with the provider's reason.
QString ConectaPrincipal(const ParametrosInicio& p, QString& cadena, std::int32_t cursor, bool muestraError);

// Runs once the lookup engine is ready on the open main connection, the
// midpoint of the start-up where the tests look at the banner.
inline std::function<void()> TrasPrepararConsultas;

} // namespace inicio
