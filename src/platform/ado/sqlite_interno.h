#pragma once
// What sqlite_servidor.cpp and sqlite_tipado.cpp share: character weights of
// the collations, the LIKE matcher, reading and writing dates and numbers,
// the server's error texts. Internal to the embedded server.
#include "platform/ado/sqlite_api.h"

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace ado::servidor::interno {

// ---------------------------------------------------------------- collations

// The collations the server's columns and COLLATE clauses name: case
// (CI/CS) and accent (AS/AI) sensitivity, or Windows-1252 code order.
enum class Regla : unsigned char { CiAs, CsAs, CiAi, CsAi, Bin };

struct Peso {
    std::uint32_t primario;   // the letter without case or accent (BIN: its code)
    std::uint32_t secundario; // the letter without case
    bool mayuscula = false;
};

Peso PesoLargo(std::uint32_t c);

inline Peso PesoDe(std::uint32_t c)
{
    if (c < 0x80) {
        const bool mayuscula = c >= 'A' && c <= 'Z';
        const std::uint32_t l = mayuscula ? c + 32 : c;
        return {l, l, mayuscula};
    }
    return PesoLargo(c);
}

// The Windows-1252 code of a character (its code point outside the code page).
std::uint32_t Cp1252(std::uint32_t c);

inline Peso PesoEn(std::uint32_t c, Regla r)
{
    if (r == Regla::Bin) {
        const std::uint32_t k = Cp1252(c);
        return {k, k};
    }
    return PesoDe(c);
}

inline bool SensibleAcento(Regla r) { return r == Regla::CiAs || r == Regla::CsAs; }
inline bool SensibleCaso(Regla r) { return r == Regla::CsAs || r == Regla::CsAi; }

// Order of two characters under a collation; lower case first, as the
// case-sensitive collations sort.
inline int CompararPeso(Peso a, Peso b, Regla r)
{
    if (a.primario != b.primario)
        return a.primario < b.primario ? -1 : 1;
    if (SensibleAcento(r) && a.secundario != b.secundario)
        return a.secundario < b.secundario ? -1 : 1;
    if (SensibleCaso(r) && a.mayuscula != b.mayuscula)
        return a.mayuscula ? 1 : -1;
    return 0;
}

// One code point of UTF-8; a byte that starts no valid sequence stands for itself.
inline std::uint32_t Decodificar(const unsigned char*& p, const unsigned char* fin)
{
    const std::uint32_t c = *p++;
    if (c < 0xC0)
        return c;
    int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    std::uint32_t r = c & (0x3F >> n);
    const unsigned char* q = p;
    for (; n > 0; --n, ++q) {
        if (q >= fin || (*q & 0xC0) != 0x80)
            return c;
        r = (r << 6) | (*q & 0x3F);
    }
    p = q;
    return r;
}

// Collation order of two UTF-8 texts, trailing blanks ignored (<0, 0, >0).
int Comparar(const char* a, int na, const char* b, int nb, Regla r);

// A LIKE pattern, compiled once per statement where it is constant.
struct Elemento {
    enum Tipo : unsigned char { Letra, Uno, Todo, Clase } tipo;
    explicit Elemento(Tipo t) : tipo(t) {}
    bool negada = false;
    Peso letra{0, 0};
    std::vector<std::pair<Peso, Peso>> rangos;

    // Inline and with the collation fixed: it runs for every character of
    // every row a LIKE reads.
    template <Regla R>
    bool coincide(Peso c) const
    {
        if (tipo == Letra)
            return CompararPeso(c, letra, R) == 0;
        if (tipo == Uno)
            return true;
        bool dentro = false;
        for (const auto& g : rangos)
            if (CompararPeso(c, g.first, R) >= 0 && CompararPeso(c, g.second, R) <= 0) {
                dentro = true;
                break;
            }
        return dentro != negada;
    }
};
struct Patron {
    std::vector<Elemento> elementos;
    std::uint32_t escape = 0; // 0: none
    Regla regla = Regla::CiAs;
};
// The characters' weights match the pattern.
bool Coincide(const Patron& p, const Peso* t, std::size_t n);
// The text (UTF-8) matches the pattern; its trailing blanks are ignored.
bool CoincideTexto(const Patron& p, const unsigned char* t, int n);
// The ESCAPE argument: one character, else the server's error is set.
bool LeerEscape(sqlite3_context* ctx, sqlite3_value* v, std::uint32_t& escape);
// The pattern in argument i, kept by SQLite while it is constant; propio
// holds it otherwise.
const Patron& PatronDe(sqlite3_context* ctx, sqlite3_value** argv, int i, std::uint32_t escape, Regla regla,
                       std::unique_ptr<Patron>& propio);

// ---------------------------------------------------------------- values

QByteArray Texto(sqlite3_value* v);
void ResultadoTexto(sqlite3_context* ctx, const QByteArray& t);

// The server's error texts: the error mapping recognises them by these words.
void ErrorFecha(sqlite3_context* ctx);
void ErrorDesborde(sqlite3_context* ctx, const char* tipo);
void ErrorTipoDato(sqlite3_context* ctx, const char* tipo);

// Integer types: name, low, high.
struct Entero {
    const char* nombre;
    std::int64_t min, max;
};
const Entero* EnteroDe(const QByteArray& nombre);
// CAST to an integer type: a text must hold an integer, a number is truncated.
void AEntero(sqlite3_context* ctx, sqlite3_value* v, const Entero& e);

// A type as written: "decimal(12,4)", "varchar(max)", "int".
struct Tipo {
    QByteArray nombre;
    int largo = -1; // -1: not given; 0: max
    int escala = 0;
};
Tipo LeerTipo(const QByteArray& texto);
bool EsTipoFecha(QByteArray t);

// ---------------------------------------------------------------- dates

// Field order of a date text that has no year first (SET DATEFORMAT).
enum class Orden : unsigned char { Dmy, Mdy, Ymd, Ydm, Myd, Dym };

// The languages a login may take: the names of months and days, the
// order of a date's fields and the first day of the week come with it.
enum class Idioma : unsigned char { Espanol, Ingles };

// What a connection's session sets: the user data of its functions. It
// starts as a Spanish login.
struct Sesion {
    Orden orden = Orden::Dmy;
    Idioma idioma = Idioma::Espanol;
    int primerDia = 1; // DATEFIRST: 1 Monday .. 7 Sunday
};
Idioma IdiomaDeSesion(sqlite3_context* ctx);
// A month's name (1 to 12) as DATENAME writes it.
const char* NombreDeMes(int mes, bool ingles);

// A date value (text in any form the server reads, or days since 1900 as a
// number) in ms since 1900-01-01; estilo 0: the session's order.
bool FechaDeValor(sqlite3_context* ctx, sqlite3_value* v, std::int64_t& ms, int estilo = 0, bool anoSegunOrden = false);
// A datetime result within the type's range, or the server's overflow error.
void ResultadoFecha(sqlite3_context* ctx, std::int64_t ms, bool soloFecha);
constexpr std::int64_t kMsDia = 86400000;

// ---------------------------------------------------------------- numbers

// An exact number to decimal(p,s) (money: tipo "money"/"smallmoney"), as
// CAST does: texts read exactly, rounding half away from zero.
void ANumero(sqlite3_context* ctx, sqlite3_value* v, int p, int s, const char* tipo);

} // namespace ado::servidor::interno
