#pragma once
// The parser of a T-SQL batch: the statements the suite, its lookup
// definitions and its callers write. A text the server would refuse before
// running is refused with the server's error number and text.
#include "platform/tsql/arbol.h"

#include <QString>

namespace tsql {

struct ErrorTsql {
    int numero;      // the server's: 102, 156, 105, 113, 191...
    QString mensaje; // the server's text
};

// Deeper nesting than this is refused with 191, as the server refuses it.
inline constexpr int kProfundidadMaxima = 200;

// Throws ErrorTsql.
Lote Analizar(const QString& lote);

// The tree written back as a compact, unambiguous text (tests, fuzzing).
QString Volcar(const Lote& lote);

} // namespace tsql
