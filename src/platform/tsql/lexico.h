#pragma once
// The tokens of a T-SQL batch, as the server splits its text.
#include <QString>
#include <vector>

namespace tsql {

enum class ClaseToken {
    Fin,
    Palabra,  // a keyword or a plain name (#temp included); mayus holds it upper case
    Citado,   // [name] or "name": texto is the name without its quotes
    Variable, // @x
    Global,   // @@x
    Cadena,   // '...' or N'...'
    Numero,   // 12, 12.50, .5, 1e3
    Binario,  // 0x1F
    Moneda,   // $12.50
    Simbolo,  // operators and punctuation
    Lote,     // a GO line
};

struct Token {
    ClaseToken clase = ClaseToken::Fin;
    qsizetype pos = 0, largo = 0;
    QString texto;          // as written, except Citado (the name) and Simbolo
    QString mayus;          // Palabra: texto upper case
    bool reservada = false; // Palabra: one of the server's reserved keywords
};

// The whole batch; the last token is Fin. Throws ErrorTsql (105, 113).
std::vector<Token> Tokenizar(const QString& lote);

} // namespace tsql
