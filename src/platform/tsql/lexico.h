#pragma once
// The tokens of a T-SQL batch, as the server splits its text.
#include <QString>
#include <QStringView>
#include <vector>

namespace tsql {

enum class ClaseToken {
    Fin,
    Palabra,  // a keyword or a plain name (#temp included)
    Citado,   // [name] or "name"
    Variable, // @x
    Global,   // @@x
    Cadena,   // '...' or N'...'
    Numero,   // 12, 12.50, .5, 1e3
    Binario,  // 0x1F
    Moneda,   // $12.50
    Simbolo,  // operators and punctuation
    Lote,     // a GO line
};

// Whether a text is the ASCII word p in any case (cheaper than Qt's folding,
// and every keyword is ASCII).
inline bool IgualSinMayusculas(QStringView texto, const char* p)
{
    const auto baja = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    qsizetype k = 0;
    for (; p[k]; ++k)
        if (k >= texto.size() || baja(texto[k].unicode()) != baja(char16_t(p[k])))
            return false;
    return k == texto.size();
}

// A lookup's statement is parsed on every keystroke: a token points into the
// batch's text, and only a quoted name has a text of its own.
struct Token {
    ClaseToken clase = ClaseToken::Fin;
    qsizetype pos = 0, largo = 0;
    QStringView texto;      // as written
    QString nombre;         // Citado: the name without its quotes
    bool reservada = false; // Palabra: one of the server's reserved keywords

    // Palabra: whether it is that word, in any case.
    bool es(const char* palabra) const
    {
        return clase == ClaseToken::Palabra && IgualSinMayusculas(texto, palabra);
    }
    QString mayus() const { return texto.toString().toUpper(); }
    // A name's text: a quoted one without its quotes.
    QString valor() const { return clase == ClaseToken::Citado ? nombre : texto.toString(); }
};

// The whole batch, which the tokens point into; the last token is Fin.
// Throws ErrorTsql (105, 113).
std::vector<Token> Tokenizar(const QString& lote);

} // namespace tsql
