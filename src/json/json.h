#pragma once
// Reads the suite's lenient JSON (single quotes, unquoted keys, comments and
// stray parentheses between tokens) into dictionaries, lists and values:
// strings as text, numbers as Decimal, true/false, null; a piece that could
// not be read is Empty. It never raises: problems become lines of the error
// text, read with ErroresJSON after the call.
#include "platform/variant.h"

#include <QString>
#include <QStringView>
#include <memory>

namespace JSON {

// Lists and objects nested deeper than this stop the reading with an error
// line, so no text can exhaust the stack.
constexpr int kMaxNiveles = 512;

// The top-level Diccionario or Lista; nothing when the text starts with
// neither "{" nor "[" (the error text is then "Invalid JSON").
std::shared_ptr<VbObject> LeerJSON(QStringView texto);
// Error lines of the last LeerJSON, each ended by CR LF; empty when none.
QString ErroresJSON();

} // namespace JSON
