#pragma once
// Runs the suite's small command language written in JSON: a script is a
// list of literals and command objects (alert, input, set, get, if, switch,
// return; any other key becomes a "<%NAME(arguments)%>" placeholder for the
// template engine) and gives back the text they produce. Variables live as
// long as the object. Used on the user-interface thread only: alert and
// input are modal.
#include "json/diccionario.h"
#include "platform/variant.h"

#include <QString>

class cJSONScript {
public:
    // Deeper evaluations give this text instead of running.
    static constexpr std::int32_t kMaxNivel = 40;

    // Empty text, after the "Parser Error" box, when the script cannot be read.
    // A top-level element other than null, text, list or object raises
    // error 424 to the caller.
    QString Eval(const QString& sJSON);
    QString ExecCommand(const Variant& valor);

private:
    QString Comando(const Diccionario& comando);
    QString Ejecuta(const QString& clave, const Variant& valor);

    std::int32_t nivel_ = 0;
    Diccionario variables_;
};
