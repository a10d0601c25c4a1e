#include "platform/ado/sqlite_servidor.h"

#include "platform/ado/sqlite_api.h"
#include "platform/ado/sqlite_interno.h"
#include "platform/ado/sqlite_tipado.h"

#include <QChar>
#include <QDateTime>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ado::servidor {

namespace interno {

// ---------------------------------------------------------------- collation

// Base letters of à..ÿ; 0 where the character is its own base.
const char kBase[32] = {'a', 'a', 'a', 'a', 'a', 'a', 'a', 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
                        'd', 'n', 'o', 'o', 'o', 'o', 'o', 0,   'o', 'u', 'u', 'u', 'u', 'y', 0,   'y'};

Peso PesoLargo(std::uint32_t c)
{
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return {PesoLargo(c + 0x20).primario, c + 0x20, true};
    if (c >= 0xE0 && c <= 0xFF)
        return {kBase[c - 0xE0] ? std::uint32_t(kBase[c - 0xE0]) : c, c};
    switch (c) {
    case 0x152: case 0x153: return {'o', 0x153, c == 0x152};
    case 0x160: case 0x161: return {'s', 0x161, c == 0x160};
    case 0x17D: case 0x17E: return {'z', 0x17E, c == 0x17D};
    case 0x178: return {'y', 0xFF, true};
    default: break;
    }
    // Outside the code page: its own letter, case folded.
    if (c < 0x10000) {
        const QChar q{char16_t(c)};
        const std::uint32_t l = q.toCaseFolded().unicode();
        return {l, l, q.isUpper()};
    }
    return {c, c};
}

int SinBlancosFinales(const unsigned char* s, int n)
{
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return n;
}

namespace {

// One comparison per collation, the collation a constant: this runs for every
// pair of texts a sort or an index compares.
template <Regla r>
int CompararEn(const char* a, int na, const char* b, int nb)
{
    const auto* pa = reinterpret_cast<const unsigned char*>(a);
    const auto* pb = reinterpret_cast<const unsigned char*>(b);
    const unsigned char* fa = pa + SinBlancosFinales(pa, na);
    const unsigned char* fb = pb + SinBlancosFinales(pb, nb);
    // A difference of letters decides at once; else the first of accent,
    // then the first of case.
    int acento = 0, caso = 0;
    while (pa < fa && pb < fb) {
        const unsigned ca = *pa, cb = *pb;
        if ((ca | cb) < 0x80 && r != Regla::Bin) {
            ++pa, ++pb;
            if (ca == cb)
                continue;
            const unsigned la = ca >= 'A' && ca <= 'Z' ? ca + 32 : ca;
            const unsigned lb = cb >= 'A' && cb <= 'Z' ? cb + 32 : cb;
            if (la != lb)
                return la < lb ? -1 : 1;
            if (!caso && SensibleCaso(r))
                caso = ca < cb ? 1 : -1; // upper case codes are the lower ones
            continue;
        }
        const Peso x = PesoEn(Decodificar(pa, fa), r), y = PesoEn(Decodificar(pb, fb), r);
        if (x.primario != y.primario)
            return x.primario < y.primario ? -1 : 1;
        if (!acento && SensibleAcento(r) && x.secundario != y.secundario)
            acento = x.secundario < y.secundario ? -1 : 1;
        if (!caso && SensibleCaso(r) && x.mayuscula != y.mayuscula)
            caso = x.mayuscula ? 1 : -1;
    }
    if (pa < fa)
        return 1;
    if (pb < fb)
        return -1;
    return acento ? acento : caso;
}

} // namespace

int Comparar(const char* a, int na, const char* b, int nb, Regla r)
{
    switch (r) {
    case Regla::CiAs: return CompararEn<Regla::CiAs>(a, na, b, nb);
    case Regla::CsAs: return CompararEn<Regla::CsAs>(a, na, b, nb);
    case Regla::CiAi: return CompararEn<Regla::CiAi>(a, na, b, nb);
    case Regla::CsAi: return CompararEn<Regla::CsAi>(a, na, b, nb);
    case Regla::Bin: break;
    }
    return CompararEn<Regla::Bin>(a, na, b, nb);
}

int Intercalacion(void*, int na, const void* a, int nb, const void* b)
{
    // Texts compare as texts, also those that read as dates: the server
    // converts a text to a date only where the other side is a date, and
    // the translation writes that conversion.
    return CompararEn<Regla::CiAs>(static_cast<const char*>(a), na, static_cast<const char*>(b), nb);
}

// ---------------------------------------------------------------- errors

// The server's texts: the error mapping recognises them by these words.
void ErrorConversion(sqlite3_context* ctx, const QByteArray& valor, const char* tipo)
{
    const std::string m = "Conversion failed when converting the varchar value '" + valor.toStdString()
                        + "' to data type " + tipo + ".";
    sqlite3_result_error(ctx, m.c_str(), -1);
}
void ErrorFecha(sqlite3_context* ctx)
{
    sqlite3_result_error(ctx, "Conversion failed when converting date and/or time from character string.", -1);
}
void ErrorDesborde(sqlite3_context* ctx, const char* tipo)
{
    const std::string m = std::string("Arithmetic overflow error converting expression to data type ") + tipo + ".";
    sqlite3_result_error(ctx, m.c_str(), -1);
}
void ErrorTipoDato(sqlite3_context* ctx, const char* tipo)
{
    const std::string m = std::string("Error converting data type varchar to ") + tipo + ".";
    sqlite3_result_error(ctx, m.c_str(), -1);
}

QByteArray Texto(sqlite3_value* v)
{
    return QByteArray(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

// ---------------------------------------------------------------- LIKE

Patron* Compilar(const unsigned char* s, int n, std::uint32_t escape, Regla regla)
{
    auto* pat = new Patron;
    pat->escape = escape;
    pat->regla = regla;
    const unsigned char* fin = s + n;
    std::vector<std::uint32_t> cs;
    while (s < fin)
        cs.push_back(Decodificar(s, fin));
    auto peso = [regla](std::uint32_t c) { return PesoEn(c, regla); };
    auto letra = [&](std::uint32_t c) {
        Elemento e(Elemento::Letra);
        e.letra = peso(c);
        return e;
    };
    for (std::size_t i = 0; i < cs.size(); ++i) {
        const std::uint32_t c = cs[i];
        if (escape && c == escape) {
            if (i + 1 < cs.size())
                pat->elementos.push_back(letra(cs[++i]));
            else
                pat->elementos.push_back(letra(c));
        } else if (c == '%') {
            if (pat->elementos.empty() || pat->elementos.back().tipo != Elemento::Todo)
                pat->elementos.emplace_back(Elemento::Todo);
        } else if (c == '_') {
            pat->elementos.emplace_back(Elemento::Uno);
        } else if (c == '[') {
            // A class runs to the next "]" (one right after "[" or "[^" is a member).
            std::size_t j = i + 1;
            Elemento e(Elemento::Clase);
            if (j < cs.size() && cs[j] == '^')
                e.negada = true, ++j;
            const std::size_t inicio = j;
            while (j < cs.size() && (cs[j] != ']' || j == inicio))
                ++j;
            if (j >= cs.size()) {
                pat->elementos.push_back(letra(c)); // never closed: a plain "["
                continue;
            }
            for (std::size_t k = inicio; k < j; ++k) {
                std::uint32_t a = cs[k];
                if (escape && a == escape && k + 1 < j)
                    a = cs[++k];
                if (k + 2 < j && cs[k + 1] == '-') {
                    e.rangos.push_back({peso(a), peso(cs[k + 2])});
                    k += 2;
                } else {
                    e.rangos.push_back({peso(a), peso(a)});
                }
            }
            pat->elementos.push_back(std::move(e));
            i = j;
        } else {
            pat->elementos.push_back(letra(c));
        }
    }
    return pat;
}

namespace {

template <Regla R>
bool CoincideEn(const Patron& pat, const Peso* t, std::size_t n)
{
    // "%" keeps the last place to retry from: no recursion, no regex.
    const std::vector<Elemento>& p = pat.elementos;
    std::size_t i = 0, j = 0, marca = 0;
    std::size_t todo = std::size_t(-1);
    const std::size_t m = p.size();
    while (j < n) {
        if (i < m && p[i].tipo != Elemento::Todo && p[i].coincide<R>(t[j])) {
            ++i, ++j;
        } else if (i < m && p[i].tipo == Elemento::Todo) {
            todo = i++;
            marca = j;
        } else if (todo != std::size_t(-1)) {
            i = todo + 1;
            j = ++marca;
        } else {
            return false;
        }
    }
    while (i < m && p[i].tipo == Elemento::Todo)
        ++i;
    return i == m;
}

} // namespace

bool Coincide(const Patron& pat, const Peso* t, std::size_t n)
{
    switch (pat.regla) {
    case Regla::CiAs: return CoincideEn<Regla::CiAs>(pat, t, n);
    case Regla::CsAs: return CoincideEn<Regla::CsAs>(pat, t, n);
    case Regla::CiAi: return CoincideEn<Regla::CiAi>(pat, t, n);
    case Regla::CsAi: return CoincideEn<Regla::CsAi>(pat, t, n);
    case Regla::Bin: break;
    }
    return CoincideEn<Regla::Bin>(pat, t, n);
}

bool CoincideTexto(const Patron& pat, const unsigned char* t, int nt)
{
    thread_local std::vector<Peso> pesos;
    pesos.clear();
    const unsigned char* p = t;
    if (pat.regla == Regla::Bin)
        while (p < t + nt)
            pesos.push_back(PesoEn(Decodificar(p, t + nt), Regla::Bin));
    else
        while (p < t + nt)
            pesos.push_back(PesoDe(Decodificar(p, t + nt)));
    // Trailing blanks of the text are ignored, those of the pattern count.
    if (Coincide(pat, pesos.data(), pesos.size()))
        return true;
    std::size_t n = pesos.size();
    while (n > 0 && pesos[n - 1].primario == ' ')
        --n;
    return n != pesos.size() && Coincide(pat, pesos.data(), n);
}

bool LeerEscape(sqlite3_context* ctx, sqlite3_value* v, std::uint32_t& escape)
{
    const auto* e = sqlite3_value_text(v);
    const int ne = sqlite3_value_bytes(v);
    const unsigned char* q = e;
    if (ne == 0 || (escape = Decodificar(q, e + ne), q != e + ne)) {
        const std::string m = std::string("The invalid escape character \"") + reinterpret_cast<const char*>(e)
                            + "\" was specified in a LIKE predicate.";
        sqlite3_result_error(ctx, m.c_str(), -1);
        return false;
    }
    return true;
}

const Patron& PatronDe(sqlite3_context* ctx, sqlite3_value** argv, int i, std::uint32_t escape, Regla regla,
                       std::unique_ptr<Patron>& propio)
{
    auto* pat = static_cast<Patron*>(sqlite3_get_auxdata(ctx, i));
    if (pat && pat->escape == escape && pat->regla == regla)
        return *pat;
    pat = Compilar(sqlite3_value_text(argv[i]), sqlite3_value_bytes(argv[i]), escape, regla);
    sqlite3_set_auxdata(ctx, i, pat, [](void* p) { delete static_cast<Patron*>(p); });
    if (const auto* kept = static_cast<Patron*>(sqlite3_get_auxdata(ctx, i)))
        return *kept;
    // Not kept (the pattern is no constant): compiled per row.
    propio.reset(Compilar(sqlite3_value_text(argv[i]), sqlite3_value_bytes(argv[i]), escape, regla));
    return *propio;
}

void Like(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return sqlite3_result_null(ctx);
    std::uint32_t escape = 0;
    if (argc == 3 && !LeerEscape(ctx, argv[2], escape))
        return;
    std::unique_ptr<Patron> propio;
    const Patron& pat = PatronDe(ctx, argv, 0, escape, Regla::CiAs, propio);
    sqlite3_result_int(ctx, CoincideTexto(pat, sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1])));
}

// ---------------------------------------------------------------- dates

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DiasDeCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

void CivilDeDias(std::int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

const std::int64_t kDia1900 = DiasDeCivil(1900, 1, 1);

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool DiaValido(int y, int m, int d)
{
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1753 || y > 9999 || m < 1 || m > 12 || d < 1)
        return false;
    const bool bis = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= dias[m - 1] + (m == 2 && bis);
}

struct Partes {
    int y = 1900, m = 1, d = 1, h = 0, mi = 0, s = 0, ms = 0;
};

std::int64_t MsDePartes(const Partes& p)
{
    return (DiasDeCivil(p.y, unsigned(p.m), unsigned(p.d)) - kDia1900) * kMsDia
         + ((p.h * 60LL + p.mi) * 60 + p.s) * 1000 + p.ms;
}

Partes PartesDeMs(std::int64_t ms)
{
    Partes p;
    const std::int64_t dias = FloorDiv(ms, kMsDia);
    std::int64_t resto = ms - dias * kMsDia;
    CivilDeDias(dias + kDia1900, p.y, p.m, p.d);
    p.ms = int(resto % 1000);
    resto /= 1000;
    p.s = int(resto % 60);
    p.mi = int(resto / 60 % 60);
    p.h = int(resto / 3600);
    return p;
}

const std::int64_t kMinMs = MsDePartes({1753, 1, 1});
const std::int64_t kMaxMs = MsDePartes({9999, 12, 31, 23, 59, 59, 999});

Orden OrdenDeEstilo(int estilo)
{
    switch (estilo % 100) {
    case 1: case 10: case 22: return Orden::Mdy;
    case 11: case 12: case 20: case 21: case 23: case 26: case 27: return Orden::Ymd;
    default: return Orden::Dmy;
    }
}

Orden OrdenDeSesion(sqlite3_context* ctx)
{
    const auto* s = static_cast<const Sesion*>(sqlite3_user_data(ctx));
    return s ? s->orden : Orden::Dmy;
}

Idioma IdiomaDeSesion(sqlite3_context* ctx)
{
    const auto* s = static_cast<const Sesion*>(sqlite3_user_data(ctx));
    return s ? s->idioma : Idioma::Espanol;
}

struct Lector {
    const char* p;
    const char* fin;
    bool final() const { return p >= fin; }
    char ve() const { return p < fin ? *p : '\0'; }
    int digitos(int& valor)
    {
        int n = 0;
        valor = 0;
        while (p < fin && *p >= '0' && *p <= '9' && n < 9)
            valor = valor * 10 + (*p++ - '0'), ++n;
        return n;
    }
    void blancos()
    {
        while (p < fin && (*p == ' ' || *p == '\t'))
            ++p;
    }
};

int AnoDeDos(int y, int cifras) { return cifras <= 2 ? (y < 50 ? 2000 + y : 1900 + y) : y; }

// h:mi[:ss[.fff | :fff]] [AM|PM]
bool LeerHora(Lector& l, Partes& r)
{
    int h, mi, s = 0, ms = 0;
    if (!l.digitos(h) || l.ve() != ':')
        return false;
    ++l.p;
    if (!l.digitos(mi))
        return false;
    if (l.ve() == ':') {
        ++l.p;
        if (!l.digitos(s))
            return false;
        if (l.ve() == '.' || l.ve() == ':') {
            ++l.p;
            int f;
            const int n = l.digitos(f);
            if (!n)
                return false;
            ms = f;
            for (int k = n; k < 3; ++k)
                ms *= 10;
            for (int k = n; k > 3; --k)
                ms /= 10;
            while (l.ve() >= '0' && l.ve() <= '9')
                ++l.p;
        }
    }
    l.blancos();
    if (l.fin - l.p >= 2 && (l.p[1] == 'M' || l.p[1] == 'm')) {
        const char c = char(l.p[0] | 0x20);
        if (c == 'a' || c == 'p') {
            if (h < 1 || h > 12)
                return false;
            h = c == 'p' ? h % 12 + 12 : h % 12;
            l.p += 2;
        }
    }
    if (h > 23 || mi > 59 || s > 59)
        return false;
    r.h = h, r.mi = mi, r.s = s, r.ms = ms;
    return true;
}

const char* const kNombresMes[2][12] = {
    {"Enero", "Febrero", "Marzo", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre", "Octubre", "Noviembre",
     "Diciembre"},
    {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
     "December"},
};

const char* NombreDeMes(int mes, bool ingles) { return kNombresMes[ingles][mes - 1]; }

// A month by its name or its first three letters in the login's language
// (a Spanish login does not read "Jan"); 0 when none.
int Mes(Lector& l, bool ingles)
{
    const char* i = l.p;
    while (l.p < l.fin && std::isalpha(static_cast<unsigned char>(*l.p)))
        ++l.p;
    const QByteArray palabra = QByteArray(i, int(l.p - i)).toLower();
    for (int m = 0; m < 12; ++m)
        if (palabra.size() >= 3 && QByteArray(kNombresMes[ingles][m]).toLower().startsWith(palabra))
            return m + 1;
    return 0;
}

// "Feb 1 2025", "February 1, 2025", "1 Feb 2025", with a time after them.
bool LeerConMes(Lector& l, Partes& r, bool ingles)
{
    int d = 0, y = 0, nd = 0, ny = 0, m = 0;
    if (std::isalpha(static_cast<unsigned char>(l.ve()))) {
        if (!(m = Mes(l, ingles)))
            return false;
        l.blancos();
        nd = l.digitos(d);
    } else {
        nd = l.digitos(d);
        l.blancos();
        if (!nd || !(m = Mes(l, ingles)))
            return false;
    }
    if (l.ve() == ',')
        ++l.p;
    l.blancos();
    if (l.ve() == ',')
        ++l.p;
    l.blancos();
    ny = l.digitos(y);
    if (!nd || !ny)
        return false;
    r.y = AnoDeDos(y, ny), r.m = m, r.d = d;
    if (!DiaValido(r.y, r.m, r.d))
        return false;
    l.blancos();
    return l.final() || (LeerHora(l, r) && l.final());
}

bool LeerPartes(const QByteArray& texto, Orden orden, Partes& r, bool ingles, bool anoSegunOrden = false)
{
    Lector l{texto.constData(), texto.constData() + texto.size()};
    l.blancos();
    while (l.fin > l.p && (l.fin[-1] == ' ' || l.fin[-1] == '\t'))
        --l.fin;
    r = Partes{};
    if (l.final())
        return true; // "" is 1900-01-01, as the server converts it
    const char* inicio = l.p;
    if (LeerConMes(l, r, ingles))
        return true;
    l.p = inicio;
    int a;
    const int na = l.digitos(a);
    if (!na)
        return false;
    const char sep = l.ve();
    if (sep == ':') { // a time alone
        l.p = inicio;
        return LeerHora(l, r) && l.final();
    }
    if (sep == '/' || sep == '-' || sep == '.') {
        ++l.p;
        int b, c;
        const int nb = l.digitos(b);
        if (!nb || l.ve() != sep)
            return false;
        ++l.p;
        const int nc = l.digitos(c);
        if (!nc)
            return false;
        // A datetime written in a statement with the year first takes the
        // day and month in the session's order (under dmy '2025-02-01' is the
        // 2nd of January); with a T after it, it is ISO 8601 and never is.
        const bool diaAntes = orden == Orden::Dmy || orden == Orden::Ydm || orden == Orden::Dym;
        if (na == 4 && anoSegunOrden && diaAntes && l.ve() != 'T')
            r.y = a, r.d = b, r.m = c;
        else if (na == 4)
            r.y = a, r.m = b, r.d = c;
        else
            switch (orden) {
            case Orden::Dmy: r.d = a, r.m = b, r.y = AnoDeDos(c, nc); break;
            case Orden::Mdy: r.m = a, r.d = b, r.y = AnoDeDos(c, nc); break;
            case Orden::Ymd: r.y = AnoDeDos(a, na), r.m = b, r.d = c; break;
            case Orden::Ydm: r.y = AnoDeDos(a, na), r.d = b, r.m = c; break;
            case Orden::Myd: r.m = a, r.y = AnoDeDos(b, nb), r.d = c; break;
            case Orden::Dym: r.d = a, r.y = AnoDeDos(b, nb), r.m = c; break;
            }
    } else if (na == 8) {
        r.y = a / 10000, r.m = a / 100 % 100, r.d = a % 100;
    } else if (na == 6) {
        r.y = AnoDeDos(a / 10000, 2), r.m = a / 100 % 100, r.d = a % 100;
    } else {
        return false;
    }
    if (!DiaValido(r.y, r.m, r.d))
        return false;
    if (l.final())
        return true;
    if (l.ve() == 'T' || l.ve() == ' ')
        ++l.p;
    l.blancos();
    return LeerHora(l, r) && l.final();
}

// A number as the server reads it into a date: days since 1900-01-01.
bool FechaDeNumero(double dias, std::int64_t& ms)
{
    const double v = std::round(dias * double(kMsDia));
    if (!(v >= double(kMinMs) && v <= double(kMaxMs)))
        return false;
    ms = std::int64_t(v);
    return true;
}

// A value of a date column or a date argument: text in any form the suite
// writes, or a number of days (an 8-digit yyyymmdd number read as the text).
bool FechaDeValor(sqlite3_context* ctx, sqlite3_value* v, std::int64_t& ms, int estilo, bool anoSegunOrden)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 n = sqlite3_value_int64(v);
        if (n >= 17530101 && n <= 99991231)
            return LeerFecha(QByteArray::number(n), 112, ms);
        return FechaDeNumero(double(n), ms);
    }
    case SQLITE_FLOAT: return FechaDeNumero(sqlite3_value_double(v), ms);
    default: {
        Partes p;
        if (!LeerPartes(Texto(v), estilo > 0 ? OrdenDeEstilo(estilo) : OrdenDeSesion(ctx), p,
                        IdiomaDeSesion(ctx) == Idioma::Ingles, anoSegunOrden && estilo <= 0))
            return false;
        ms = MsDePartes(p);
        return true;
    }
    }
}

// The short month names of CONVERT's styles 0, 100, 106... of each language.
const char* const kMesesCortos[2][12] = {
    {"Ene", "Feb", "Mar", "Abr", "May", "Jun", "Jul", "Ago", "Sep", "Oct", "Nov", "Dic"},
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
};

// The stored forms: datetime, datetime2, date ("yyyy-mm-dd"), time, smalldatetime.
enum class Clase { Fecha, Fecha2, SoloFecha, SoloHora, Corta };

QByteArray Guardada(std::int64_t ms, Clase c)
{
    switch (c) {
    case Clase::SoloFecha: return TextoFecha(ms, 23);
    case Clase::SoloHora: {
        const Partes p = PartesDeMs(ms);
        char b[32];
        std::snprintf(b, sizeof b, p.ms ? "%02d:%02d:%02d.%03d" : "%02d:%02d:%02d", p.h, p.mi, p.s, p.ms);
        return b;
    }
    case Clase::Corta: ms = FloorDiv(ms + 30000, 60000) * 60000; break;
    case Clase::Fecha: { // datetime counts 1/300 s: .001 is .000, .002 is .003, .005 is .007
        const std::int64_t tics = FloorDiv(ms * 3 + 5, 10);
        ms = FloorDiv(tics * 10 + 1, 3);
        break;
    }
    case Clase::Fecha2: break;
    }
    return TextoFecha(ms, -1);
}

Clase ClaseDeTipo(const QByteArray& tipo)
{
    const QByteArray t = tipo.trimmed().toLower();
    if (t == "date")
        return Clase::SoloFecha;
    if (t.startsWith("time"))
        return Clase::SoloHora;
    if (t.startsWith("smalldatetime"))
        return Clase::Corta;
    if (t.startsWith("datetime2") || t.startsWith("datetimeoffset"))
        return Clase::Fecha2;
    return Clase::Fecha;
}

bool EsTipoFecha(QByteArray t)
{
    t = t.trimmed().toLower();
    const int p = t.indexOf('(');
    if (p >= 0)
        t = t.left(p).trimmed();
    return t == "datetime" || t == "smalldatetime" || t == "date" || t == "time" || t == "datetime2"
        || t == "datetimeoffset";
}

std::atomic<std::int64_t> g_ajustes{0}; // rows rewritten by this file's triggers

void Fecha(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    // ss_fecha(x, type, 1): a text of a statement converted to datetime or
    // smalldatetime, read in the session's order also with the year first.
    const Clase c = argc > 1 ? ClaseDeTipo(Texto(argv[1])) : Clase::Fecha;
    const bool sentencia = argc > 2 && sqlite3_value_int(argv[2]) != 0 && (c == Clase::Fecha || c == Clase::Corta);
    std::int64_t ms;
    if (!FechaDeValor(ctx, argv[0], ms, 0, sentencia))
        return ErrorFecha(ctx);
    const QByteArray r = Guardada(ms, c);
    sqlite3_result_text(ctx, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

void Ajuste(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const bool si = sqlite3_value_type(argv[0]) != SQLITE_NULL && sqlite3_value_int(argv[0]) != 0;
    if (si)
        ++g_ajustes;
    sqlite3_result_int(ctx, si);
}

void GetDate(sqlite3_context* ctx, int, sqlite3_value**)
{
    const QDateTime t = QDateTime::currentDateTime();
    const QByteArray r = t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
    sqlite3_result_text(ctx, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

enum class Parte { Ano, Trimestre, Mes, DiaAno, Dia, Semana, DiaSemana, Hora, Minuto, Segundo, Milisegundo, Nada };

Parte ParteDe(QByteArray n)
{
    n = n.trimmed().toLower();
    struct {
        const char* nombres[4];
        Parte parte;
    } static const kPartes[] = {
        {{"year", "yy", "yyyy"}, Parte::Ano},        {{"quarter", "qq", "q"}, Parte::Trimestre},
        {{"month", "mm", "m"}, Parte::Mes},          {{"dayofyear", "dy", "y"}, Parte::DiaAno},
        {{"day", "dd", "d"}, Parte::Dia},            {{"week", "wk", "ww"}, Parte::Semana},
        {{"weekday", "dw", "w"}, Parte::DiaSemana},  {{"hour", "hh"}, Parte::Hora},
        {{"minute", "mi", "n"}, Parte::Minuto},      {{"second", "ss", "s"}, Parte::Segundo},
        {{"millisecond", "ms"}, Parte::Milisegundo},
    };
    for (const auto& p : kPartes)
        for (const char* x : p.nombres)
            if (x && n == x)
                return p.parte;
    return Parte::Nada;
}

// Weeks start on the session's DATEFIRST for DATEPART; DATEDIFF counts
// Sunday boundaries, as the server does whatever DATEFIRST says.
int PrimerDia(sqlite3_context* ctx)
{
    const auto* s = static_cast<const Sesion*>(sqlite3_user_data(ctx));
    return s ? s->primerDia : 1;
}

int DiaSemana(std::int64_t dias1900) // 1 = Monday .. 7 = Sunday (1900-01-01 was a Monday)
{
    return int(((dias1900 % 7) + 7) % 7) + 1;
}

bool LeerParte(sqlite3_context* ctx, sqlite3_value* v, const char* funcion, Parte& p)
{
    p = ParteDe(Texto(v));
    if (p != Parte::Nada)
        return true;
    const std::string m = "'" + Texto(v).toStdString() + "' is not a recognized " + funcion + " option.";
    sqlite3_result_error(ctx, m.c_str(), -1);
    return false;
}

// The part, and the date in the last argument, of a date function: false when
// the result is already set (a NULL argument gives NULL, a bad part or date an error).
bool Argumentos(sqlite3_context* ctx, int argc, sqlite3_value** argv, const char* funcion, Parte& parte,
                std::int64_t& ms)
{
    if (!LeerParte(ctx, argv[0], funcion, parte))
        return false;
    for (int i = 1; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return false;
        }
    if (FechaDeValor(ctx, argv[argc - 1], ms))
        return true;
    ErrorFecha(ctx);
    return false;
}

void DatePart(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    Parte parte;
    std::int64_t ms;
    if (!Argumentos(ctx, argc, argv, "datepart", parte, ms))
        return;
    const Partes p = PartesDeMs(ms);
    const std::int64_t dias = FloorDiv(ms, kMsDia);
    const std::int64_t enero = DiasDeCivil(p.y, 1, 1) - kDia1900;
    std::int64_t r = 0;
    switch (parte) {
    case Parte::Ano: r = p.y; break;
    case Parte::Trimestre: r = (p.m - 1) / 3 + 1; break;
    case Parte::Mes: r = p.m; break;
    case Parte::DiaAno: r = dias - enero + 1; break;
    case Parte::Dia: r = p.d; break;
    case Parte::DiaSemana: r = (DiaSemana(dias) - PrimerDia(ctx) + 7) % 7 + 1; break;
    case Parte::Semana: {
        // Week 1 holds 1 January; a new week starts on the first day of the week.
        const int antes = (DiaSemana(enero) - PrimerDia(ctx) + 7) % 7;
        r = (dias - enero + antes) / 7 + 1;
        break;
    }
    case Parte::Hora: r = p.h; break;
    case Parte::Minuto: r = p.mi; break;
    case Parte::Segundo: r = p.s; break;
    case Parte::Milisegundo: r = p.ms; break;
    case Parte::Nada: break;
    }
    sqlite3_result_int64(ctx, r);
}

bool SoloFechaIso(sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT || sqlite3_value_bytes(v) != 10)
        return false;
    const auto* s = sqlite3_value_text(v);
    return s[4] == '-' && s[7] == '-';
}

void ResultadoFecha(sqlite3_context* ctx, std::int64_t ms, bool soloFecha)
{
    if (ms < kMinMs || ms > kMaxMs)
        return sqlite3_result_error(ctx, "Adding a value to a 'datetime' column caused an overflow.", -1);
    const QByteArray r = Guardada(ms, soloFecha ? Clase::SoloFecha : Clase::Fecha);
    sqlite3_result_text(ctx, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

void DateAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    Parte parte;
    std::int64_t ms;
    if (!Argumentos(ctx, argc, argv, "dateadd", parte, ms))
        return;
    // The number is truncated to an integer, as the server does.
    const double nd = sqlite3_value_double(argv[1]);
    if (!(std::fabs(nd) < 2147483648.0))
        return ErrorDesborde(ctx, "int");
    const std::int64_t n = std::int64_t(nd);
    bool meses = false;
    std::int64_t paso = 0;
    switch (parte) {
    case Parte::Ano: meses = true, paso = 12; break;
    case Parte::Trimestre: meses = true, paso = 3; break;
    case Parte::Mes: meses = true, paso = 1; break;
    case Parte::DiaAno: case Parte::Dia: case Parte::DiaSemana: paso = kMsDia; break;
    case Parte::Semana: paso = 7 * kMsDia; break;
    case Parte::Hora: paso = 3600000; break;
    case Parte::Minuto: paso = 60000; break;
    case Parte::Segundo: paso = 1000; break;
    case Parte::Milisegundo: paso = 1; break;
    case Parte::Nada: break;
    }
    const bool soloFecha = SoloFechaIso(argv[2]) && (meses || paso % kMsDia == 0);
    if (!meses)
        return ResultadoFecha(ctx, ms + n * paso, soloFecha);
    Partes p = PartesDeMs(ms);
    const std::int64_t total = std::int64_t(p.y) * 12 + (p.m - 1) + n * paso;
    if (total < 1753 * 12 || total > 9999 * 12 + 11)
        return ResultadoFecha(ctx, -1LL << 62, false);
    p.y = int(total / 12), p.m = int(total % 12) + 1;
    while (!DiaValido(p.y, p.m, p.d))
        --p.d; // the last day of a shorter month
    ResultadoFecha(ctx, MsDePartes(p), soloFecha);
}

void DateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    Parte parte;
    std::int64_t a, b;
    if (!Argumentos(ctx, argc, argv, "datediff", parte, b))
        return;
    if (!FechaDeValor(ctx, argv[1], a))
        return ErrorFecha(ctx);
    const Partes pa = PartesDeMs(a), pb = PartesDeMs(b);
    const std::int64_t da = FloorDiv(a, kMsDia), db = FloorDiv(b, kMsDia);
    // Boundaries crossed, not whole periods elapsed.
    std::int64_t r = 0;
    switch (parte) {
    case Parte::Ano: r = pb.y - pa.y; break;
    case Parte::Trimestre: r = (pb.y * 4LL + (pb.m - 1) / 3) - (pa.y * 4LL + (pa.m - 1) / 3); break;
    case Parte::Mes: r = (pb.y * 12LL + pb.m) - (pa.y * 12LL + pa.m); break;
    case Parte::DiaAno: case Parte::Dia: case Parte::DiaSemana: r = db - da; break;
    case Parte::Semana: r = FloorDiv(db + 1, 7) - FloorDiv(da + 1, 7); break; // 1899-12-31 was a Sunday
    case Parte::Hora: r = FloorDiv(b, 3600000) - FloorDiv(a, 3600000); break;
    case Parte::Minuto: r = FloorDiv(b, 60000) - FloorDiv(a, 60000); break;
    case Parte::Segundo: r = FloorDiv(b, 1000) - FloorDiv(a, 1000); break;
    case Parte::Milisegundo: r = b - a; break;
    case Parte::Nada: break;
    }
    if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
        return sqlite3_result_error(ctx, "The datediff function resulted in an overflow. The number of dateparts "
                                         "separating two date/time instances is too large. Try to use datediff "
                                         "with a less precise datepart.", -1);
    sqlite3_result_int64(ctx, r);
}

// ---------------------------------------------------------------- numbers

enum class Numero { No, Entero, Decimal, Cientifico };

// A number written in a text, as the server reads it (blanks around, a sign).
Numero LeerNumero(const QByteArray& t, sqlite3_int64& entero, double& real)
{
    const QByteArray s = t.trimmed();
    if (s.isEmpty()) {
        entero = 0, real = 0;
        return Numero::Entero; // "" converts to 0
    }
    int i = 0;
    if (s[0] == '+' || s[0] == '-')
        ++i;
    int cifras = 0, punto = 0, exp = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9')
            ++cifras;
        else if (c == '.' && !punto && !exp)
            punto = 1;
        else if ((c == 'e' || c == 'E') && cifras && !exp) {
            exp = 1;
            if (i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-'))
                ++i;
            if (i + 1 >= s.size())
                return Numero::No;
        } else
            return Numero::No;
    }
    if (!cifras)
        return Numero::No;
    bool ok = false;
    real = s.toDouble(&ok);
    if (!ok)
        return Numero::No;
    if (exp)
        return Numero::Cientifico;
    if (punto)
        return Numero::Decimal;
    entero = s.toLongLong(&ok);
    return ok ? Numero::Entero : Numero::Decimal;
}

bool EsFechaIso(sqlite3_value* v)
{
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const int n = sqlite3_value_bytes(v);
    const auto* s = sqlite3_value_text(v);
    return (n == 10 || (n >= 19 && n <= 23)) && s[4] == '-' && s[7] == '-' && (n == 10 || s[13] == ':');
}

void ResultadoTexto(sqlite3_context* ctx, const QByteArray& t)
{
    sqlite3_result_text(ctx, t.constData(), int(t.size()), SQLITE_TRANSIENT);
}

void Suma(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* a = argv[0];
    sqlite3_value* b = argv[1];
    const int ta = sqlite3_value_type(a), tb = sqlite3_value_type(b);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const bool textoA = ta == SQLITE_TEXT || ta == SQLITE_BLOB, textoB = tb == SQLITE_TEXT || tb == SQLITE_BLOB;
    if (textoA && textoB)
        return ResultadoTexto(ctx, Texto(a) + Texto(b));
    if (textoA || textoB) {
        sqlite3_value* t = textoA ? a : b;
        sqlite3_value* n = textoA ? b : a;
        if (EsFechaIso(t)) { // a stored date plus days
            std::int64_t ms;
            if (!FechaDeValor(ctx, t, ms))
                return ErrorFecha(ctx);
            const double dias = sqlite3_value_double(n);
            const bool entero = sqlite3_value_type(n) == SQLITE_INTEGER;
            return ResultadoFecha(ctx, ms + std::int64_t(std::llround(dias * double(kMsDia))),
                                  entero && SoloFechaIso(t));
        }
        // The text takes the number's type: int for an integer, numeric otherwise.
        sqlite3_int64 e = 0;
        double r = 0;
        const Numero k = LeerNumero(Texto(t), e, r);
        if (sqlite3_value_type(n) == SQLITE_INTEGER) {
            if (k != Numero::Entero)
                return ErrorConversion(ctx, Texto(t), "int");
            sqlite3_int64 s;
            if (__builtin_add_overflow(e, sqlite3_value_int64(n), &s))
                return ErrorDesborde(ctx, "bigint");
            return sqlite3_result_int64(ctx, s);
        }
        if (k == Numero::No)
            return ErrorTipoDato(ctx, "numeric");
        return sqlite3_result_double(ctx, r + sqlite3_value_double(n));
    }
    if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        sqlite3_int64 s;
        if (__builtin_add_overflow(sqlite3_value_int64(a), sqlite3_value_int64(b), &s))
            return ErrorDesborde(ctx, "bigint");
        return sqlite3_result_int64(ctx, s);
    }
    sqlite3_result_double(ctx, sqlite3_value_double(a) + sqlite3_value_double(b));
}

// ---------------------------------------------------------------- CONVERT

Tipo LeerTipo(const QByteArray& texto)
{
    Tipo t;
    QByteArray s = texto.trimmed().toLower();
    const int p = s.indexOf('(');
    if (p >= 0) {
        const QByteArray dentro = s.mid(p + 1, s.indexOf(')', p) - p - 1);
        const QList<QByteArray> partes = dentro.split(',');
        t.largo = partes[0].trimmed() == "max" ? 0 : partes[0].trimmed().toInt();
        if (partes.size() > 1)
            t.escala = partes[1].trimmed().toInt();
        s = s.left(p).trimmed();
    }
    t.nombre = s;
    return t;
}

const Entero kEnteros[] = {
    {"int", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
    {"integer", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
    {"bigint", std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()},
    {"smallint", -32768, 32767},
    {"tinyint", 0, 255},
    {"bit", std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()},
};

const Entero* EnteroDe(const QByteArray& nombre)
{
    for (const Entero& e : kEnteros)
        if (nombre == e.nombre)
            return &e;
    return nullptr;
}

// A double as a text: the shortest form that reads back the same.
QByteArray TextoDeReal(double d)
{
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        return QByteArray::number(std::int64_t(d));
    return QByteArray::number(d, 'g', 15);
}

void AEntero(sqlite3_context* ctx, sqlite3_value* v, const Entero& e)
{
    sqlite3_int64 x = 0;
    const bool bit = std::strcmp(e.nombre, "bit") == 0;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: x = sqlite3_value_int64(v); break;
    case SQLITE_FLOAT: {
        const double d = std::trunc(sqlite3_value_double(v));
        if (!(d >= -9.2e18 && d <= 9.2e18))
            return ErrorDesborde(ctx, e.nombre);
        x = sqlite3_int64(d);
        break;
    }
    default: {
        const QByteArray t = Texto(v);
        if (bit) {
            const QByteArray l = t.trimmed().toLower();
            if (l == "true" || l == "false")
                return sqlite3_result_int(ctx, l == "true");
        }
        double r;
        if (LeerNumero(t, x, r) != Numero::Entero)
            return ErrorConversion(ctx, t, e.nombre);
    }
    }
    if (bit)
        return sqlite3_result_int(ctx, x != 0);
    if (x < e.min || x > e.max)
        return ErrorDesborde(ctx, e.nombre);
    sqlite3_result_int64(ctx, x);
}

void ADecimal(sqlite3_context* ctx, sqlite3_value* v, const Tipo& t, bool dinero)
{
    if (dinero)
        return ANumero(ctx, v, t.nombre == "smallmoney" ? 10 : 19, 4, t.nombre.constData());
    if (t.nombre != "float" && t.nombre != "real" && t.nombre != "double precision")
        return ANumero(ctx, v, t.largo > 0 ? t.largo : 18, std::max(0, t.escala), "numeric");
    double d = 0;
    if (sqlite3_value_type(v) == SQLITE_TEXT || sqlite3_value_type(v) == SQLITE_BLOB) {
        sqlite3_int64 e;
        if (LeerNumero(Texto(v), e, d) == Numero::No)
            return ErrorTipoDato(ctx, "float");
    } else {
        d = sqlite3_value_double(v);
    }
    sqlite3_result_double(ctx, t.nombre == "real" ? double(float(d)) : d);
}

void ATexto(sqlite3_context* ctx, sqlite3_value* v, const Tipo& t, int estilo)
{
    const bool nacional = t.nombre.startsWith('n');
    const int largo = t.largo < 0 ? 30 : t.largo; // CONVERT(varchar, x) is 30 long
    QByteArray s;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: s = QByteArray::number(sqlite3_value_int64(v)); break;
    case SQLITE_FLOAT: s = TextoDeReal(sqlite3_value_double(v)); break;
    default: {
        s = Texto(v);
        std::int64_t ms;
        // A stored date with a style: written in that style.
        if (estilo >= 0 && EsFechaIso(v) && LeerFecha(s, 121, ms))
            s = TextoFecha(ms, estilo, IdiomaDeSesion(ctx) == Idioma::Ingles);
        else if (estilo >= 0 && sqlite3_value_bytes(v) >= 8 && sqlite3_value_bytes(v) <= 12 && s[2] == ':'
                 && LeerFecha(s, 108, ms))
            s = TextoFecha(ms, estilo, IdiomaDeSesion(ctx) == Idioma::Ingles);
    }
    }
    if (largo > 0) {
        if (sqlite3_value_type(v) == SQLITE_INTEGER && s.size() > largo) {
            // A number that does not fit: "*" in a char type, an error in a national one.
            if (nacional)
                return ErrorDesborde(ctx, t.nombre.constData());
            return ResultadoTexto(ctx, "*");
        }
        // Characters, not bytes.
        const QString u = QString::fromUtf8(s);
        if (u.size() > largo)
            s = u.left(largo).toUtf8();
    }
    if (t.nombre == "char" || t.nombre == "nchar") {
        const int n = t.largo < 0 ? 1 : t.largo;
        const QString u = QString::fromUtf8(s);
        if (u.size() < n)
            s += QByteArray(n - u.size(), ' ');
    }
    ResultadoTexto(ctx, s);
}

void Convertir(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    const Tipo t = LeerTipo(Texto(argv[0]));
    sqlite3_value* v = argv[1];
    const int estilo = argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL ? sqlite3_value_int(argv[2]) : -1;
    if (sqlite3_value_type(v) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (const Entero* e = EnteroDe(t.nombre))
        return AEntero(ctx, v, *e);
    if (t.nombre == "decimal" || t.nombre == "numeric" || t.nombre == "float" || t.nombre == "real"
        || t.nombre == "double precision")
        return ADecimal(ctx, v, t, false);
    if (t.nombre == "money" || t.nombre == "smallmoney")
        return ADecimal(ctx, v, t, true);
    if (t.nombre == "char" || t.nombre == "varchar" || t.nombre == "nchar" || t.nombre == "nvarchar"
        || t.nombre == "text" || t.nombre == "ntext" || t.nombre == "sysname")
        return ATexto(ctx, v, t, estilo);
    if (EsTipoFecha(t.nombre)) {
        std::int64_t ms;
        if (!FechaDeValor(ctx, v, ms, estilo < 0 ? 0 : estilo))
            return ErrorFecha(ctx);
        return ResultadoTexto(ctx, Guardada(ms, ClaseDeTipo(t.nombre)));
    }
    const std::string m = "Type " + t.nombre.toStdString() + " is not a defined system type.";
    sqlite3_result_error(ctx, m.c_str(), -1);
}

} // namespace interno

using namespace interno;

namespace {

// ---------------------------------------------------------------- schema

QByteArray Citado(const QByteArray& nombre) { return '"' + QByteArray(nombre).replace('"', "\"\"") + '"'; }

bool Exec(sqlite3* db, const QByteArray& sql) { return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK; }

std::vector<std::vector<QByteArray>> Filas(sqlite3* db, const char* sql)
{
    std::vector<std::vector<QByteArray>> r;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        return r;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<QByteArray> f;
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            f.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
        r.push_back(std::move(f));
    }
    sqlite3_finalize(st);
    return r;
}

// The connection reports this message as the last error.
void Reportar(sqlite3* db, const QByteArray& mensaje)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT ss_error(?)", -1, &st, nullptr) != SQLITE_OK)
        return;
    sqlite3_bind_text(st, 1, mensaje.constData(), int(mensaje.size()), SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_finalize(st);
}

// The statements as one, all or none; the connection then reports the one
// that failed.
bool TodoONada(sqlite3* db, const std::vector<QByteArray>& sentencias)
{
    if (!Exec(db, "SAVEPOINT ss_servidor"))
        return false;
    for (const auto& s : sentencias)
        if (!Exec(db, s)) {
            const QByteArray error = sqlite3_errmsg(db);
            Exec(db, "ROLLBACK TO ss_servidor");
            Exec(db, "RELEASE ss_servidor");
            Reportar(db, error);
            return false;
        }
    Exec(db, "RELEASE ss_servidor");
    return true;
}

// The triggers that keep every date column in its stored form.
void InstalarFechas(sqlite3* db)
{
    // Runs on every open: only the tables whose text names a date type are read.
    const auto columnas = Filas(db, "SELECT m.name, p.name, p.type FROM sqlite_master m, pragma_table_info(m.name) p "
                                    "WHERE m.type = 'table' AND substr(m.name, 1, 7) <> 'sqlite_' "
                                    "AND (instr(lower(m.sql), 'date') OR instr(lower(m.sql), 'time'))");
    if (columnas.empty())
        return;
    std::vector<QByteArray> faltan;
    // Known by the table they are on (a renamed table keeps them) and the column.
    const auto existentes = Filas(db, "SELECT lower(tbl_name), lower(name) FROM sqlite_master WHERE type = 'trigger' "
                                      "AND substr(name, 1, 9) = 'ss_fecha_'");
    for (const auto& c : columnas) {
        if (!EsTipoFecha(c[2]))
            continue;
        const QByteArray nombre = "ss_fecha_" + c[0] + '_' + c[1];
        bool ya = false;
        for (const auto& e : existentes)
            ya = ya || (e[0] == c[0].toLower() && e[1].endsWith('_' + c[1].toLower() + "_a"));
        if (ya)
            continue;
        const QByteArray t = Citado(c[0]), col = "NEW." + Citado(c[1]);
        const QByteArray tipo = c[2].trimmed().toLower().replace('\'', "");
        const QByteArray cuando = " FOR EACH ROW WHEN " + col + " IS NOT NULL AND ss_ajuste(" + col
                                + " IS NOT ss_fecha(" + col + ", '" + tipo + "')) BEGIN UPDATE " + t + " SET "
                                + Citado(c[1]) + " = ss_fecha(" + col + ", '" + tipo + "') WHERE rowid = NEW.rowid; END";
        faltan.push_back("CREATE TRIGGER IF NOT EXISTS " + Citado(nombre + "_a") + " AFTER INSERT ON " + t + cuando);
        faltan.push_back("CREATE TRIGGER IF NOT EXISTS " + Citado(nombre + "_m") + " AFTER UPDATE OF " + Citado(c[1])
                         + " ON " + t + cuando);
    }
    // A file that cannot be written keeps working as it is.
    if (!faltan.empty())
        TodoONada(db, faltan);
}

// First words of a statement, upper case, skipping blanks and comments.
QByteArray Palabras(const char* s, int cuantas)
{
    QByteArray r;
    const char* p = s;
    while (*p && cuantas > 0) {
        if (*p == '-' && p[1] == '-') {
            while (*p && *p != '\n')
                ++p;
        } else if (*p == '/' && p[1] == '*') {
            const char* f = std::strstr(p + 2, "*/");
            p = f ? f + 2 : p + std::strlen(p);
        } else if (std::isalpha(static_cast<unsigned char>(*p))) {
            const char* i = p;
            while (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_')
                ++p;
            if (!r.isEmpty())
                r += ' ';
            r += QByteArray(i, int(p - i)).toUpper();
            --cuantas;
        } else if (std::isspace(static_cast<unsigned char>(*p))) {
            ++p;
        } else {
            break;
        }
    }
    return r;
}

// Reads a name ("quoted", [bracketed], `quoted` or bare) at p.
QByteArray Nombre(const char*& p)
{
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    QByteArray r;
    const char cierre = *p == '"' ? '"' : *p == '[' ? ']' : *p == '`' ? '`' : 0;
    if (cierre) {
        for (++p; *p; ++p) {
            if (*p == cierre) {
                if (p[1] == cierre && cierre != ']') {
                    r += *p++;
                    continue;
                }
                ++p;
                break;
            }
            r += *p;
        }
        return r;
    }
    while (*p && (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_' || static_cast<unsigned char>(*p) >= 0x80))
        r += *p++;
    return r;
}

bool Palabra(const char*& p, const char* w)
{
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    const std::size_t n = std::strlen(w);
    if (qstrnicmp(p, w, uint(n)) != 0 || std::isalnum(static_cast<unsigned char>(p[n])) || p[n] == '_')
        return false;
    p += n;
    return true;
}

// ALTER TABLE t ADD|DROP [COLUMN] c: the table and the column, p after them.
bool LeerAlter(const char*& p, const char* accion, QByteArray& tabla, QByteArray& columna)
{
    if (!Palabra(p, "ALTER") || !Palabra(p, "TABLE"))
        return false;
    tabla = Nombre(p);
    if (*p == '.') {
        ++p;
        tabla = Nombre(p);
    }
    if (!Palabra(p, accion))
        return false;
    Palabra(p, "COLUMN");
    columna = Nombre(p);
    return !tabla.isEmpty() && !columna.isEmpty();
}

// ALTER TABLE t DROP COLUMN c, refused by SQLite while this file's triggers
// name the column: those triggers go with it.
bool QuitarColumna(sqlite3* db, const QByteArray& sql)
{
    const char* p = sql.constData();
    QByteArray tabla, columna;
    if (!LeerAlter(p, "DROP", tabla, columna))
        return false;
    std::vector<QByteArray> pasos;
    for (const char* n : {"ss_fecha_%1_%2_a", "ss_fecha_%1_%2_m", "ss_defecto_%1_%2"})
        pasos.push_back("DROP TRIGGER IF EXISTS "
                        + Citado(QByteArray(n).replace("%1", tabla).replace("%2", columna)));
    pasos.push_back(sql);
    return TodoONada(db, pasos);
}

// ALTER TABLE t ADD [COLUMN] c type ... DEFAULT expr ...: added without the
// default, filled, and the default kept for new rows by a trigger.
bool AgregarConDefecto(sqlite3* db, const QByteArray& sql)
{
    const char* p = sql.constData();
    QByteArray tabla, columna;
    if (!LeerAlter(p, "ADD", tabla, columna))
        return false;
    // DEFAULT outside literals and names, then its expression.
    const char* q = p;
    const char* ini = nullptr;
    while (*q) {
        if (*q == '\'' || *q == '"' || *q == '[' || *q == '`') {
            const char c = *q == '[' ? ']' : *q;
            for (++q; *q && *q != c; ++q) {
            }
            if (*q)
                ++q;
        } else if ((q == p || !std::isalnum(static_cast<unsigned char>(q[-1]))) && Palabra(q, "DEFAULT")) {
            ini = q - 7;
            break;
        } else {
            ++q;
        }
    }
    if (!ini)
        return false;
    while (std::isspace(static_cast<unsigned char>(*q)))
        ++q;
    const char* expr = q;
    if (*q == '(') {
        int nivel = 0;
        for (; *q; ++q) {
            if (*q == '\'') {
                for (++q; *q && *q != '\''; ++q) {
                }
                if (!*q)
                    break;
            } else if (*q == '(') {
                ++nivel;
            } else if (*q == ')' && --nivel == 0) {
                ++q;
                break;
            }
        }
    } else {
        while (*q && (std::isalnum(static_cast<unsigned char>(*q)) || *q == '_'))
            ++q;
    }
    const QByteArray expresion(expr, int(q - expr));
    const QByteArray sinDefecto = QByteArray(sql.constData(), int(ini - sql.constData())) + QByteArray(q);
    const QByteArray t = Citado(tabla), c = Citado(columna);
    return TodoONada(db, {sinDefecto, "UPDATE " + t + " SET " + c + " = " + expresion,
                          "CREATE TRIGGER " + Citado("ss_defecto_" + tabla + '_' + columna) + " AFTER INSERT ON " + t
                              + " FOR EACH ROW WHEN NEW." + c + " IS NULL AND ss_ajuste(1) BEGIN UPDATE " + t + " SET "
                              + c + " = " + expresion + " WHERE rowid = NEW.rowid; END"});
}

void Error(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_result_error(ctx, reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), -1);
}

} // namespace

int CompararCiAs(const char* a, int na, const char* b, int nb) { return Comparar(a, na, b, nb, Regla::CiAs); }

bool LeerFecha(const QByteArray& texto, int estilo, std::int64_t& ms, bool ingles)
{
    Partes p;
    if (!LeerPartes(texto, OrdenDeEstilo(estilo), p, ingles))
        return false;
    ms = MsDePartes(p);
    return true;
}

QByteArray TextoFecha(std::int64_t ms, int estilo, bool ingles)
{
    const char* const* kMeses = kMesesCortos[ingles];
    const Partes p = PartesDeMs(ms);
    char b[48];
    const int yy = p.y % 100;
    switch (estilo) {
    case 1: std::snprintf(b, sizeof b, "%02d/%02d/%02d", p.m, p.d, yy); break;
    case 101: std::snprintf(b, sizeof b, "%02d/%02d/%04d", p.m, p.d, p.y); break;
    case 3: std::snprintf(b, sizeof b, "%02d/%02d/%02d", p.d, p.m, yy); break;
    case 103: std::snprintf(b, sizeof b, "%02d/%02d/%04d", p.d, p.m, p.y); break;
    case 4: std::snprintf(b, sizeof b, "%02d.%02d.%02d", p.d, p.m, yy); break;
    case 104: std::snprintf(b, sizeof b, "%02d.%02d.%04d", p.d, p.m, p.y); break;
    case 5: std::snprintf(b, sizeof b, "%02d-%02d-%02d", p.d, p.m, yy); break;
    case 105: std::snprintf(b, sizeof b, "%02d-%02d-%04d", p.d, p.m, p.y); break;
    case 8: case 108: std::snprintf(b, sizeof b, "%02d:%02d:%02d", p.h, p.mi, p.s); break;
    case 11: std::snprintf(b, sizeof b, "%02d/%02d/%02d", yy, p.m, p.d); break;
    case 111: std::snprintf(b, sizeof b, "%04d/%02d/%02d", p.y, p.m, p.d); break;
    case 12: std::snprintf(b, sizeof b, "%02d%02d%02d", yy, p.m, p.d); break;
    case 112: std::snprintf(b, sizeof b, "%04d%02d%02d", p.y, p.m, p.d); break;
    case 14: case 114: std::snprintf(b, sizeof b, "%02d:%02d:%02d:%03d", p.h, p.mi, p.s, p.ms); break;
    case 20: case 120:
        std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", p.y, p.m, p.d, p.h, p.mi, p.s);
        break;
    case 21: case 121:
        std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.y, p.m, p.d, p.h, p.mi, p.s, p.ms);
        break;
    case 23: std::snprintf(b, sizeof b, "%04d-%02d-%02d", p.y, p.m, p.d); break;
    case 126:
        std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", p.y, p.m, p.d, p.h, p.mi, p.s, p.ms);
        break;
    case 0: case 100: case 9: case 109: {
        const int h12 = p.h % 12 == 0 ? 12 : p.h % 12;
        if (estilo % 100 == 9)
            std::snprintf(b, sizeof b, "%s %2d %04d %2d:%02d:%02d:%03d%s", kMeses[p.m - 1], p.d, p.y, h12, p.mi, p.s,
                          p.ms, p.h < 12 ? "AM" : "PM");
        else
            std::snprintf(b, sizeof b, "%s %2d %04d %2d:%02d%s", kMeses[p.m - 1], p.d, p.y, h12, p.mi,
                          p.h < 12 ? "AM" : "PM");
        break;
    }
    case 2: std::snprintf(b, sizeof b, "%02d.%02d.%02d", yy, p.m, p.d); break;
    case 102: std::snprintf(b, sizeof b, "%04d.%02d.%02d", p.y, p.m, p.d); break;
    case 6: std::snprintf(b, sizeof b, "%02d %s %02d", p.d, kMeses[p.m - 1], yy); break;
    case 106: std::snprintf(b, sizeof b, "%02d %s %04d", p.d, kMeses[p.m - 1], p.y); break;
    case 7: std::snprintf(b, sizeof b, "%s %02d, %02d", kMeses[p.m - 1], p.d, yy); break;
    case 107: std::snprintf(b, sizeof b, "%s %02d, %04d", kMeses[p.m - 1], p.d, p.y); break;
    case 10: std::snprintf(b, sizeof b, "%02d-%02d-%02d", p.m, p.d, yy); break;
    case 110: std::snprintf(b, sizeof b, "%02d-%02d-%04d", p.m, p.d, p.y); break;
    case 13: case 113:
        std::snprintf(b, sizeof b, "%02d %s %04d %02d:%02d:%02d:%03d", p.d, kMeses[p.m - 1], p.y, p.h, p.mi, p.s, p.ms);
        break;
    default: // the stored form
        std::snprintf(b, sizeof b, p.ms ? "%04d-%02d-%02d %02d:%02d:%02d.%03d" : "%04d-%02d-%02d %02d:%02d:%02d", p.y,
                      p.m, p.d, p.h, p.mi, p.s, p.ms);
    }
    return b;
}

bool RegistrarIntercalacion(sqlite3* db)
{
    return sqlite3_create_collation(db, "CI_AS", SQLITE_UTF8, nullptr, Intercalacion) == SQLITE_OK;
}

namespace {

// The session's state is the user data of every function: it goes with the
// last of them, when the connection closes.
struct SesionCompartida : Sesion {
    std::atomic<int> usos{0};
};

void Soltar(void* p)
{
    auto* s = static_cast<SesionCompartida*>(static_cast<Sesion*>(p));
    if (--s->usos == 0)
        delete s;
}

} // namespace

bool Registrar(sqlite3* db)
{
    const int fijo = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    // Reading a date text depends on SET DATEFORMAT, yet these stay
    // deterministic: the setting is a statement of its own, and files made
    // before it may use them where SQLite asks for deterministic functions.
    const Funcion funciones[] = {
        {"like", 2, Like, fijo},
        {"like", 3, Like, fijo},
        {"ss_suma", 2, Suma, fijo},
        {"ss_convertir", 2, Convertir, fijo},
        {"ss_convertir", 3, Convertir, fijo},
        {"ss_datepart", 2, DatePart, fijo},
        {"ss_dateadd", 3, DateAdd, fijo},
        {"ss_datediff", 3, DateDiff, fijo},
        {"ss_getdate", 0, GetDate, SQLITE_UTF8},
        {"ss_fecha", 1, Fecha, fijo},
        {"ss_fecha", 2, Fecha, fijo},
        {"ss_fecha", 3, Fecha, fijo},
        {"ss_ajuste", 1, Ajuste, SQLITE_UTF8},
        {"ss_error", 1, Error, SQLITE_UTF8},
    };
    bool todas = RegistrarIntercalacion(db) && RegistrarIntercalaciones(db) && RegistrarAgregados(db);
    auto* compartida = new SesionCompartida;
    compartida->usos = int(std::size(funciones)) + kNumFuncionesTipadas;
    Sesion* sesion = compartida;
    // SQLite lets the user data go (Soltar) also when a function is refused.
    for (const auto& f : funciones)
        todas = sqlite3_create_function_v2(db, f.nombre, f.argumentos, f.banderas, sesion, f.f, nullptr, nullptr,
                                           Soltar) == SQLITE_OK && todas;
    for (int i = 0; i < kNumFuncionesTipadas; ++i) {
        const Funcion& f = kFuncionesTipadas[i];
        todas = sqlite3_create_function_v2(db, f.nombre, f.argumentos, f.banderas, sesion, f.f, nullptr, nullptr,
                                           Soltar) == SQLITE_OK && todas;
    }
    return todas;
}

void Preparar(sqlite3* db)
{
    Registrar(db);
    InstalarFechas(db);
}

bool Definicion(sqlite3_stmt* st)
{
    const QByteArray clase = Palabras(sqlite3_sql(st), 1);
    return clase == "CREATE" || clase == "ALTER" || clase == "DROP";
}

int Ejecutar(sqlite3* db, sqlite3_stmt* st, std::int64_t& filas)
{
    const sqlite3_int64 antes = sqlite3_total_changes64(db);
    const std::int64_t ajustesAntes = g_ajustes;
    int rc = sqlite3_step(st);
    const bool defecto = rc != SQLITE_DONE && rc != SQLITE_ROW && std::strstr(sqlite3_errmsg(db), "non-constant default");
    const bool quitar = rc != SQLITE_DONE && rc != SQLITE_ROW && std::strstr(sqlite3_errmsg(db), "after drop column");
    if (defecto || quitar) {
        const QByteArray sql = sqlite3_sql(st);
        const QByteArray error = sqlite3_errmsg(db);
        sqlite3_reset(st);
        filas = 0;
        if (!(defecto ? AgregarConDefecto(db, sql) : QuitarColumna(db, sql))) {
            if (std::strcmp(sqlite3_errmsg(db), "not an error") == 0)
                Reportar(db, error); // not the statement it took for
            return SQLITE_ERROR;
        }
        InstalarFechas(db);
        return SQLITE_DONE;
    }
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        return rc;
    if (sqlite3_stmt_readonly(st)) {
        filas = -1;
        return rc;
    }
    const sqlite3_int64 cambios = sqlite3_total_changes64(db) - antes;
    const QByteArray clase = Palabras(sqlite3_sql(st), 2);
    if (clase.startsWith("CREATE") || clase.startsWith("ALTER") || clase.startsWith("DROP")) {
        filas = 0; // the count SQLite keeps is that of the last row statement
        if (clase == "CREATE TABLE" || clase == "ALTER TABLE")
            InstalarFechas(db);
    } else if (cambios == 0) {
        filas = 0;
    } else if (sqlite3_changes64(db) > 0) {
        filas = sqlite3_changes64(db);
    } else {
        // Rows written through a view: what its triggers wrote, less the
        // rewrites of this file's own triggers.
        filas = cambios - (g_ajustes - ajustesAntes);
    }
    return rc;
}

} // namespace ado::servidor
