#include "platform/ado/sqlite_tipado.h"

#include "platform/ado/sqlite_interno.h"
#include "platform/ado/sqlite_servidor.h"

#include <QCoreApplication>
#include <QDate>
#include <QString>
#include <QSysInfo>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ado::servidor {

using namespace interno;

namespace {

// ---------------------------------------------------------------- exact numbers

using i128 = __int128;

// m / 10^s: up to 38 digits, as the server's decimal holds.
struct Exacto {
    i128 m = 0;
    int s = 0;
};

constexpr int kMaxDigitos = 38;

i128 Pot10(int n)
{
    i128 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

const i128 kLimite = Pot10(kMaxDigitos); // beyond decimal(38)

bool Nulo(int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    return false;
}

i128 Abs(i128 x) { return x < 0 ? -x : x; }

// x at scale s, half away from zero (or truncated); false when it leaves 38 digits.
bool AEscala(Exacto x, int s, Exacto& r, bool truncar = false)
{
    r.s = s;
    if (s >= x.s) {
        const int k = s - x.s;
        if (k > kMaxDigitos || __builtin_mul_overflow(x.m, Pot10(k), &r.m))
            return x.m == 0 ? (r.m = 0, true) : false;
        return Abs(r.m) < kLimite;
    }
    const int k = x.s - s;
    if (k > kMaxDigitos) {
        r.m = 0;
        return true;
    }
    const i128 d = Pot10(k);
    r.m = x.m / d;
    const i128 resto = Abs(x.m % d);
    if (!truncar && resto * 2 >= d)
        r.m += x.m < 0 ? -1 : 1;
    return true;
}

// A decimal written in text ("-12.50", " 3 ", "1e3" when cientifico): false
// when it is no number; desborde when its digits do not fit.
bool DeTexto(std::string_view t, int escala, bool cientifico, Exacto& r, bool& desborde)
{
    desborde = false;
    std::size_t i = 0, n = t.size();
    while (i < n && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    while (n > i && (t[n - 1] == ' ' || t[n - 1] == '\t'))
        --n;
    bool negativo = false;
    if (i < n && (t[i] == '+' || t[i] == '-'))
        negativo = t[i++] == '-';
    i128 m = 0;
    int cifras = 0, exp = 0;
    bool hay = false, fraccion = false;
    for (; i < n; ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            hay = true;
            if (m == 0 && c == '0') {
                if (fraccion)
                    --exp;
                continue;
            }
            if (cifras >= kMaxDigitos) { // digits beyond 38 only round
                if (!fraccion)
                    ++exp;
                continue;
            }
            m = m * 10 + (c - '0');
            ++cifras;
            if (fraccion)
                --exp;
        } else if (c == '.' && !fraccion) {
            fraccion = true;
        } else {
            break;
        }
    }
    if (!hay)
        return false;
    if (i < n && cientifico && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool en = false;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            en = t[i++] == '-';
        if (i >= n)
            return false;
        int e = 0;
        for (; i < n && t[i] >= '0' && t[i] <= '9'; ++i)
            e = std::min(e * 10 + (t[i] - '0'), 10000);
        exp += en ? -e : e;
    }
    if (i != n)
        return false;
    Exacto x;
    if (exp > 0) {
        if (exp > kMaxDigitos || __builtin_mul_overflow(m, Pot10(exp), &x.m)) {
            desborde = m != 0;
            r = {};
            return true;
        }
        x.s = 0;
    } else {
        x.m = m, x.s = -exp;
    }
    if (negativo)
        x.m = -x.m;
    desborde = !AEscala(x, escala, r);
    return true;
}

// A double is the nearest to some decimal: 15 significant digits bring it back.
Exacto DeReal(double d, int escala, bool& desborde)
{
    char b[40];
    std::snprintf(b, sizeof b, "%.14e", d);
    Exacto r;
    DeTexto(b, escala, true, r, desborde);
    return r;
}

// An exact argument at its scale; false when it is a text that is no number.
bool LeerExacto(sqlite3_value* v, int escala, Exacto& r, bool& desborde)
{
    desborde = false;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return AEscala({sqlite3_value_int64(v), 0}, escala, r) || (desborde = true);
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(v);
        if (!std::isfinite(d))
            return desborde = true;
        r = DeReal(d, escala, desborde);
        return true;
    }
    default: {
        const QByteArray t = Texto(v);
        return DeTexto(std::string_view(t.constData(), std::size_t(t.size())), escala, false, r, desborde);
    }
    }
}

std::string Cifras(Exacto x)
{
    std::string r;
    i128 m = Abs(x.m);
    int k = 0;
    do {
        r.insert(r.begin(), char('0' + int(m % 10)));
        m /= 10;
        if (++k == x.s)
            r.insert(r.begin(), '.');
    } while (m != 0 || k <= x.s);
    if (x.s > 0 && r[0] == '.')
        r.insert(r.begin(), '0');
    if (x.m < 0)
        r.insert(r.begin(), '-');
    return r;
}

void ResultadoExacto(sqlite3_context* ctx, Exacto x)
{
    if (x.s == 0 && x.m >= std::numeric_limits<std::int64_t>::min() && x.m <= std::numeric_limits<std::int64_t>::max())
        return sqlite3_result_int64(ctx, std::int64_t(x.m));
    sqlite3_result_double(ctx, std::strtod(Cifras(x).c_str(), nullptr));
}

// What a result of type tipo at precision p holds (money and smallmoney: their ranges).
bool Cabe(Exacto x, int p, const char* tipo)
{
    const bool dinero = std::strcmp(tipo, "money") == 0, pequeno = std::strcmp(tipo, "smallmoney") == 0;
    if (!dinero && !pequeno)
        return p >= kMaxDigitos || Abs(x.m) < Pot10(p);
    Exacto y;
    const i128 maximo = dinero ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int32_t>::max();
    return AEscala(x, 4, y, true) && y.m <= maximo && y.m >= -maximo - 1;
}

void ErrorCero(sqlite3_context* ctx) { sqlite3_result_error(ctx, "Divide by zero error encountered.", -1); }

// a * 10^k / b, rounded half away from zero; false when it leaves 38 digits.
bool Dividir(i128 a, i128 b, int k, i128& q)
{
    const bool negativo = (a < 0) != (b < 0);
    a = Abs(a), b = Abs(b);
    for (; k < 0; ++k) {
        if (__builtin_mul_overflow(b, i128(10), &b)) {
            q = 0;
            return true;
        }
    }
    // Long division, one digit at a time: the remainder stays below b.
    q = a / b;
    i128 resto = a % b;
    for (int i = 0; i < k; ++i) {
        if (q >= kLimite)
            return false;
        resto *= 10;
        q = q * 10 + resto / b;
        resto %= b;
    }
    if (resto >= b - resto)
        ++q;
    if (q >= kLimite)
        return false;
    if (negativo)
        q = -q;
    return true;
}

// One exact step: a (scale sa) op b (scale sb) to decimal(p, s) or tipo's
// money; false when the result is already set (an error).
bool PasoExacto(sqlite3_context* ctx, const QByteArray& op, const Exacto& a, int sa, const Exacto& b, int sb, int p, int s,
                const QByteArray& tipo, Exacto& r)
{
    bool bien = true;
    const int c = std::max(sa, sb);
    switch (op.isEmpty() ? 0 : op[0]) {
    case '+': case '-': {
        Exacto x, y;
        bien = AEscala(a, c, x) && AEscala(b, c, y);
        if (op[0] == '-')
            y.m = -y.m;
        bien = bien && !__builtin_add_overflow(x.m, y.m, &x.m) && AEscala(x, s, r);
        break;
    }
    case '*': {
        Exacto x{0, sa + sb};
        bien = !__builtin_mul_overflow(a.m, b.m, &x.m) && AEscala(x, s, r);
        break;
    }
    case '/':
        if (b.m == 0)
            return ErrorCero(ctx), false;
        r.s = s;
        bien = Dividir(a.m, b.m, s + sb - sa, r.m);
        break;
    case '%': {
        if (b.m == 0)
            return ErrorCero(ctx), false;
        // The remainder keeps the dividend's sign, as C++'s.
        Exacto x, y;
        bien = AEscala(a, c, x) && AEscala(b, c, y);
        x.m = bien ? x.m % y.m : 0;
        bien = bien && AEscala(x, s, r);
        break;
    }
    default: {
        const std::string m = "The operator '" + op.toStdString() + "' is not supported by the embedded database.";
        sqlite3_result_error(ctx, m.c_str(), -1);
        return false;
    }
    }
    if (!bien || !Cabe(r, p, tipo.constData()))
        return ErrorDesborde(ctx, tipo.constData()), false;
    return true;
}

// ss_num(op, a, sa, b, sb, p, s, tipo[, op, c, sc, p, s, tipo]...): a chain
// ((a op b) op c)... each step to its own type, exact throughout; a NULL
// makes the rest NULL without raising, as nested calls.
void Num(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 8 || (argc - 8) % 6 != 0)
        return sqlite3_result_error(ctx, "ss_num takes an operator, two operands with their scales and a type, then steps.", -1);
    bool nulo = sqlite3_value_type(argv[1]) == SQLITE_NULL;
    int sa = sqlite3_value_int(argv[2]);
    Exacto a, r;
    bool leida = false;
    // Reads an operand of scale s: false when the result is already set.
    auto leer = [&](sqlite3_value* v, int s, const QByteArray& tipo, Exacto& x) {
        bool desborde = false;
        if (!LeerExacto(v, s, x, desborde))
            return ErrorTipoDato(ctx, "numeric"), false;
        if (desborde)
            return ErrorDesborde(ctx, tipo.constData()), false;
        return true;
    };
    // argv[k]: a step's operand, after its operator; its scale, precision,
    // scale and type follow.
    for (int k = 3; k < argc && !(nulo = nulo || sqlite3_value_type(argv[k]) == SQLITE_NULL); k += 6) {
        const QByteArray tipo = Texto(argv[k + 4]);
        const int sb = sqlite3_value_int(argv[k + 1]), s = sqlite3_value_int(argv[k + 3]);
        Exacto b;
        if ((!leida && !leer(argv[1], sa, tipo, a)) || !leer(argv[k], sb, tipo, b))
            return;
        leida = true;
        if (!PasoExacto(ctx, Texto(argv[k == 3 ? 0 : k - 1]), a, sa, b, sb, sqlite3_value_int(argv[k + 2]), s, tipo, r))
            return;
        a = r;
        sa = s;
    }
    if (nulo)
        return sqlite3_result_null(ctx);
    ResultadoExacto(ctx, a);
}

// ---------------------------------------------------------------- integers and floats

// One step of integer arithmetic in a type: false when the result is
// already set (an error).
bool PasoEntero(sqlite3_context* ctx, const QByteArray& op, std::int64_t a, std::int64_t b, const QByteArray& tipo,
                std::int64_t& r)
{
    const Entero* e = EnteroDe(tipo);
    if (!e) {
        const std::string m = "Type " + tipo.toStdString() + " is not a defined system type.";
        sqlite3_result_error(ctx, m.c_str(), -1);
        return false;
    }
    bool desborde = false;
    switch (op.isEmpty() ? 0 : op[0]) {
    case '+': desborde = __builtin_add_overflow(a, b, &r); break;
    case '-': desborde = __builtin_sub_overflow(a, b, &r); break;
    case '*': desborde = __builtin_mul_overflow(a, b, &r); break;
    case '/': case '%':
        if (b == 0) {
            ErrorCero(ctx);
            return false;
        }
        if (b == -1) // the one quotient that leaves the type: min / -1
            desborde = __builtin_sub_overflow(std::int64_t(0), a, &r), r = op[0] == '%' ? 0 : r;
        else
            r = op[0] == '/' ? a / b : a % b; // truncated toward zero, as the server
        break;
    case '&': r = a & b; break;
    case '|': r = a | b; break;
    case '^': r = a ^ b; break;
    default: {
        const std::string m = "The operator '" + op.toStdString() + "' is not supported by the embedded database.";
        sqlite3_result_error(ctx, m.c_str(), -1);
        return false;
    }
    }
    // Bitwise results are the bits of the type: tinyint ~0 is 255.
    if ((op[0] == '&' || op[0] == '|' || op[0] == '^') && e->min == 0)
        r &= e->max;
    if (desborde || r < e->min || r > e->max) {
        ErrorDesborde(ctx, e->nombre);
        return false;
    }
    return true;
}

// ss_ent(op, a, b, tipo[, op, c, tipo]...): ((a op b) op c)... each step in
// its type, a NULL making the rest NULL without raising, as nested calls.
void Ent(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 4 || argc % 3 != 1)
        return sqlite3_result_error(ctx, "ss_ent takes an operator, two operands and a type, then operators, operands and types.", -1);
    bool nulo = sqlite3_value_type(argv[1]) == SQLITE_NULL;
    std::int64_t r = sqlite3_value_int64(argv[1]);
    for (int k = 3; k < argc; k += 3) { // argv[k]: a step's type, after its operator and operand
        sqlite3_value* b = argv[k - 1];
        nulo = nulo || sqlite3_value_type(b) == SQLITE_NULL;
        if (!nulo && !PasoEntero(ctx, Texto(argv[k == 3 ? 0 : k - 2]), r, sqlite3_value_int64(b), Texto(argv[k]), r))
            return;
    }
    if (nulo)
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, r);
}

void Flt(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const QByteArray op = Texto(argv[0]);
    const double a = sqlite3_value_double(argv[1]), b = sqlite3_value_double(argv[2]);
    double r = 0;
    switch (op.isEmpty() ? 0 : op[0]) {
    case '+': r = a + b; break;
    case '-': r = a - b; break;
    case '*': r = a * b; break;
    case '/':
        if (b == 0)
            return ErrorCero(ctx);
        r = a / b;
        break;
    case '%': // the server's modulo takes integer, money and decimal operands only
        return sqlite3_result_error(ctx, "The data types float and float are incompatible in the modulo operator.", -1);
    default: {
        const std::string m = "The operator '" + op.toStdString() + "' is not supported by the embedded database.";
        return sqlite3_result_error(ctx, m.c_str(), -1);
    }
    }
    if (!std::isfinite(r))
        return ErrorDesborde(ctx, "float");
    sqlite3_result_double(ctx, r);
}

void Round(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const std::int64_t n = sqlite3_value_int64(argv[1]);
    const bool truncar = sqlite3_value_int64(argv[2]) != 0;
    const int p = sqlite3_value_int(argv[3]), s = sqlite3_value_int(argv[4]);
    if (p == 0) { // float
        const double x = sqlite3_value_double(argv[0]);
        if (n > 308)
            return sqlite3_result_double(ctx, x);
        if (n < -308)
            return sqlite3_result_double(ctx, 0);
        const double f = std::pow(10.0, double(n));
        const double y = truncar ? std::trunc(x * f) : std::round(x * f);
        return sqlite3_result_double(ctx, y / f);
    }
    Exacto x, y, r;
    bool desborde = false;
    if (!LeerExacto(argv[0], s, x, desborde))
        return ErrorTipoDato(ctx, "numeric");
    if (desborde)
        return ErrorDesborde(ctx, "numeric");
    // Rounded at 10^-n, the scale kept: ROUND(748.58, -1) is 750.00.
    const int corte = int(std::clamp<std::int64_t>(n, -kMaxDigitos - 1, s));
    AEscala(x, corte, y, truncar);
    if (!AEscala(y, s, r) || !Cabe(r, p, "numeric"))
        return ErrorDesborde(ctx, "numeric");
    ResultadoExacto(ctx, r);
}

// ---------------------------------------------------------------- conversions

void ANumeroSql(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    ANumero(ctx, argv[0], sqlite3_value_int(argv[1]), sqlite3_value_int(argv[2]), Texto(argv[3]).constData());
}

void AEnteroSql(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QByteArray tipo = Texto(argv[1]).trimmed().toLower();
    const Entero* e = EnteroDe(tipo);
    if (!e) {
        const std::string m = "Type " + tipo.toStdString() + " is not a defined system type.";
        return sqlite3_result_error(ctx, m.c_str(), -1);
    }
    // Money rounds to an integer where every other number is truncated.
    const QByteArray origen = argc > 2 ? Texto(argv[2]).trimmed().toLower() : QByteArray();
    if ((origen == "money" || origen == "smallmoney") && sqlite3_value_type(argv[0]) != SQLITE_TEXT) {
        Exacto x, r;
        bool desborde = false;
        LeerExacto(argv[0], 4, x, desborde);
        AEscala(x, 0, r);
        if (desborde || r.m < e->min || r.m > e->max)
            return ErrorDesborde(ctx, e->nombre);
        return sqlite3_result_int64(ctx, std::strcmp(e->nombre, "bit") == 0 ? r.m != 0 : std::int64_t(r.m));
    }
    AEntero(ctx, argv[0], *e);
}

// A float as the server writes it: C's forms with an exponent of at least
// three digits ("1.23457e+006").
QByteArray TextoDeFloat(double d, int estilo)
{
    char b[48];
    switch (estilo) {
    case 1: std::snprintf(b, sizeof b, "%.7e", d); break;
    case 2: std::snprintf(b, sizeof b, "%.15e", d); break;
    case 3: std::snprintf(b, sizeof b, "%.17g", d); break;
    default: std::snprintf(b, sizeof b, "%g", d); break; // six significant digits
    }
    QByteArray t(b);
    const int e = t.indexOf('e');
    if (e >= 0)
        while (t.size() - (e + 2) < 3)
            t.insert(e + 2, '0');
    return t;
}

// Thousands separated by commas (money style 1).
std::string ConComas(std::string t)
{
    const std::size_t inicio = t[0] == '-' ? 1 : 0;
    std::size_t punto = t.find('.');
    if (punto == std::string::npos)
        punto = t.size();
    for (std::size_t i = punto; i > inicio + 3; i -= 3)
        t.insert(i - 3, 1, ',');
    return t;
}

void TextoSql(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    sqlite3_value* v = argv[0];
    const Tipo t = LeerTipo(Texto(argv[1]));
    const int estilo = sqlite3_value_type(argv[2]) == SQLITE_NULL ? -1 : sqlite3_value_int(argv[2]);
    const int largo = sqlite3_value_type(argv[3]) == SQLITE_NULL ? -1 : sqlite3_value_int(argv[3]);
    const QByteArray destino = argc > 4 ? Texto(argv[4]).trimmed().toLower() : QByteArray("varchar");
    const bool nacional = destino.startsWith('n');
    // A number too long for the text: "*" for an integer into varchar, else an error.
    auto largoNumero = [&](const QByteArray& r, const char* de) {
        if (largo < 0 || r.size() <= largo)
            return true;
        if (EnteroDe(t.nombre) && !nacional) {
            ResultadoTexto(ctx, "*");
            return false;
        }
        const std::string m = std::string("Arithmetic overflow error converting ") + de + " to data type "
                            + destino.constData() + ".";
        sqlite3_result_error(ctx, m.c_str(), -1);
        return false;
    };
    QByteArray r;
    if (const Entero* e = EnteroDe(t.nombre)) {
        const std::int64_t x = sqlite3_value_int64(v);
        r = QByteArray::number(std::strcmp(e->nombre, "bit") == 0 ? x != 0 : x);
        if (!largoNumero(r, "expression"))
            return;
    } else if (t.nombre == "decimal" || t.nombre == "numeric" || t.nombre == "money" || t.nombre == "smallmoney") {
        const bool dinero = t.nombre.endsWith("money");
        Exacto x;
        bool desborde = false;
        if (!LeerExacto(v, dinero ? 4 : std::max(0, t.escala), x, desborde))
            return ErrorTipoDato(ctx, "numeric");
        if (dinero && estilo != 2 && estilo != 126)
            AEscala(x, 2, x); // money writes two decimals but in styles 2 and 126
        r = QByteArray::fromStdString(dinero && estilo == 1 ? ConComas(Cifras(x)) : Cifras(x));
        if (!largoNumero(r, dinero ? "expression" : "numeric"))
            return;
    } else if (t.nombre == "float" || t.nombre == "real" || t.nombre == "double precision") {
        const double d = t.nombre == "real" ? double(float(sqlite3_value_double(v))) : sqlite3_value_double(v);
        r = TextoDeFloat(d, estilo);
        if (largo >= 0 && r.size() > largo) {
            char b[64];
            std::snprintf(b, sizeof b, "%f", d);
            const std::string m = std::string("Arithmetic overflow error for type ") + destino.constData()
                                + ", value = " + b + ".";
            return sqlite3_result_error(ctx, m.c_str(), -1);
        }
    } else if (EsTipoFecha(t.nombre)) {
        std::int64_t ms;
        if (!FechaDeValor(ctx, v, ms))
            return ErrorFecha(ctx);
        const bool fecha2 = t.nombre == "datetime2", hora = t.nombre == "time";
        if (estilo >= 0)
            r = TextoFecha(ms, estilo, IdiomaDeSesion(ctx) == Idioma::Ingles);
        else if (t.nombre == "date")
            r = TextoFecha(ms, 23);
        else if (fecha2 || hora) // seven decimals of a second
            r = TextoFecha(ms, 121).mid(hora ? 11 : 0) + "0000";
        else
            r = TextoFecha(ms, 0, IdiomaDeSesion(ctx) == Idioma::Ingles);
    } else if (t.nombre == "uniqueidentifier") {
        r = Texto(v).toUpper();
    } else if (t.nombre.contains("char") || t.nombre.contains("text") || t.nombre == "sysname") {
        r = Texto(v);
    } else {
        const std::string m = "Type " + t.nombre.toStdString() + " is not a defined system type.";
        return sqlite3_result_error(ctx, m.c_str(), -1);
    }
    // Characters, not bytes: a text cut silently, char(n) padded with blanks.
    if (largo >= 0) {
        QString u = QString::fromUtf8(r);
        if (u.size() > largo)
            r = u.left(largo).toUtf8();
        else if (destino == "char" || destino == "nchar")
            r += QByteArray(largo - u.size(), ' ');
    }
    ResultadoTexto(ctx, r);
}

// ---------------------------------------------------------------- dates

// datetime + n days (1.5: 36 hours).
void FechaMas(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    std::int64_t ms;
    if (!FechaDeValor(ctx, argv[0], ms))
        return ErrorFecha(ctx);
    const double dias = sqlite3_value_double(argv[1]);
    if (!(std::fabs(dias) < 1e7))
        return ResultadoFecha(ctx, std::numeric_limits<std::int64_t>::min() / 2, false);
    ResultadoFecha(ctx, ms + std::llround(dias * double(kMsDia)), false);
}

// datetime - datetime: 1900-01-01 plus the difference.
void FechaResta(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    std::int64_t a, b;
    if (!FechaDeValor(ctx, argv[0], a) || !FechaDeValor(ctx, argv[1], b))
        return ErrorFecha(ctx);
    ResultadoFecha(ctx, a - b, false);
}

void DateFormat(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    static const struct {
        const char* nombre;
        Orden orden;
    } kOrdenes[] = {{"dmy", Orden::Dmy}, {"mdy", Orden::Mdy}, {"ymd", Orden::Ymd},
                    {"ydm", Orden::Ydm}, {"myd", Orden::Myd}, {"dym", Orden::Dym}};
    const QByteArray t = Texto(argv[0]);
    for (const auto& o : kOrdenes)
        if (t.trimmed().toLower() == o.nombre) {
            static_cast<Sesion*>(sqlite3_user_data(ctx))->orden = o.orden;
            return sqlite3_result_null(ctx);
        }
    const std::string m = "SET DATEFORMAT date order '" + t.toStdString() + "' is invalid.";
    sqlite3_result_error(ctx, m.c_str(), -1);
}

// ss_language(name): SET LANGUAGE, which brings its date order and first day
// of the week; ss_language(): @@LANGUAGE.
void Language(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* s = static_cast<Sesion*>(sqlite3_user_data(ctx));
    if (argc == 0)
        return ResultadoTexto(ctx, s->idioma == Idioma::Ingles ? QByteArray("us_english") : QByteArray("Español"));
    const QByteArray n = Texto(argv[0]).trimmed().toLower();
    if (n == "us_english" || n == "english")
        *s = Sesion{Orden::Mdy, Idioma::Ingles, 7};
    else if (n == "español" || n == "spanish")
        *s = Sesion{Orden::Dmy, Idioma::Espanol, 1};
    else
        return sqlite3_result_error(ctx, ("SET LANGUAGE " + Texto(argv[0]).toStdString()
                                          + " is not supported by the embedded database.").c_str(), -1);
    sqlite3_result_null(ctx);
}

// ss_datefirst(n): SET DATEFIRST; ss_datefirst(): @@DATEFIRST.
void DateFirst(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* s = static_cast<Sesion*>(sqlite3_user_data(ctx));
    if (argc == 0)
        return sqlite3_result_int(ctx, s->primerDia);
    const std::int64_t n = sqlite3_value_int64(argv[0]);
    if (sqlite3_value_type(argv[0]) != SQLITE_INTEGER || n < 1 || n > 7)
        return sqlite3_result_error(ctx, "SET DATEFIRST takes a day from 1 (Monday) to 7 (Sunday).", -1);
    s->primerDia = int(n);
    sqlite3_result_null(ctx);
}

// ---------------------------------------------------------------- texts

// A collation by its name ("CS_AS", "Latin1_General_CI_AI", ...); NULL is
// the database's CI_AS. False, with the server's error, for one it lacks.
bool LeerRegla(sqlite3_context* ctx, sqlite3_value* v, Regla& r)
{
    r = Regla::CiAs;
    if (sqlite3_value_type(v) == SQLITE_NULL)
        return true;
    const QByteArray n = Texto(v).trimmed().toUpper();
    if (n == "BIN" || n.endsWith("_BIN") || n.endsWith("_BIN2"))
        return r = Regla::Bin, true;
    const bool cs = n.startsWith("CS_") || n.contains("_CS_"), ci = n.startsWith("CI_") || n.contains("_CI_");
    const bool as = n.endsWith("_AS") || n.contains("_AS_"), ai = n.endsWith("_AI") || n.contains("_AI_");
    if ((cs || ci) && (as || ai)) {
        r = cs ? (ai ? Regla::CsAi : Regla::CsAs) : (ai ? Regla::CiAi : Regla::CiAs);
        return true;
    }
    const std::string m = "Invalid collation '" + Texto(v).toStdString() + "'.";
    sqlite3_result_error(ctx, m.c_str(), -1);
    return false;
}

std::vector<Peso> Pesos(const QString& t, Regla r)
{
    std::vector<Peso> p;
    p.reserve(std::size_t(t.size()));
    for (const QChar c : t)
        p.push_back(PesoEn(c.unicode(), r));
    return p;
}

// Where buscar is in texto from desde (0-based, in UTF-16 units), or -1.
qsizetype Buscar(const std::vector<Peso>& texto, const std::vector<Peso>& buscar, qsizetype desde, Regla r)
{
    const auto n = qsizetype(texto.size()), m = qsizetype(buscar.size());
    for (qsizetype i = std::max<qsizetype>(desde, 0); m > 0 && i + m <= n; ++i) {
        qsizetype k = 0;
        while (k < m && CompararPeso(texto[std::size_t(i + k)], buscar[std::size_t(k)], r) == 0)
            ++k;
        if (k == m)
            return i;
    }
    return -1;
}

QString Cadena(sqlite3_value* v) { return QString::fromUtf8(Texto(v)); }

void ResultadoCadena(sqlite3_context* ctx, const QString& t) { ResultadoTexto(ctx, t.toUtf8()); }

void LikeSql(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::uint32_t escape = 0;
    Regla r;
    if ((sqlite3_value_type(argv[2]) != SQLITE_NULL && !LeerEscape(ctx, argv[2], escape)) || !LeerRegla(ctx, argv[3], r))
        return;
    std::unique_ptr<Patron> propio;
    const Patron& pat = PatronDe(ctx, argv, 1, escape, r, propio);
    sqlite3_result_int(ctx, CoincideTexto(pat, sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0])));
}

void CharIndex(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    Regla r;
    if (!LeerRegla(ctx, argv[3], r))
        return;
    // A start below 1 (or none) searches from the first character.
    const std::int64_t inicio = sqlite3_value_type(argv[2]) == SQLITE_NULL ? 1 : sqlite3_value_int64(argv[2]);
    const auto texto = Pesos(Cadena(argv[1]), r);
    const qsizetype desde = qsizetype(std::clamp<std::int64_t>(inicio - 1, 0, std::int64_t(texto.size())));
    sqlite3_result_int64(ctx, Buscar(texto, Pesos(Cadena(argv[0]), r), desde, r) + 1);
}

// ss_replace(x, buscar, nuevo, regla[, buscar, nuevo, regla]...): REPLACE,
// and a chain REPLACE(REPLACE(x, ...), ...) applied in order in one call, so
// that a back office's 32 nested REPLACEs stay within SQLite's parser.
void Replace(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 4 || (argc - 1) % 3 != 0)
        return sqlite3_result_error(ctx, "The replace function requires 3 argument(s).", -1);
    for (int i = 0; i < argc; ++i)
        if ((i == 0 || i % 3 != 0) && sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return sqlite3_result_null(ctx);
    QString texto = Cadena(argv[0]);
    for (int k = 1; k < argc; k += 3) {
        Regla r;
        if (!LeerRegla(ctx, argv[k + 2], r))
            return;
        const QString buscar = Cadena(argv[k]), nuevo = Cadena(argv[k + 1]);
        const auto pt = Pesos(texto, r), pb = Pesos(buscar, r);
        QString resultado;
        qsizetype desde = 0;
        for (qsizetype i; (i = Buscar(pt, pb, desde, r)) >= 0; desde = i + buscar.size())
            resultado += texto.mid(desde, i - desde) + nuevo;
        texto = resultado + texto.mid(desde);
    }
    ResultadoCadena(ctx, texto);
}

void PatIndex(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    Regla r;
    if (!LeerRegla(ctx, argv[2], r))
        return;
    std::unique_ptr<Patron> propio;
    const Patron& pat = PatronDe(ctx, argv, 0, 0, r, propio);
    const auto texto = Pesos(Cadena(argv[1]), r);
    // A leading "%" lets the match start anywhere: the first place where the
    // rest of the pattern matches the rest of the text.
    const bool libre = !pat.elementos.empty() && pat.elementos.front().tipo == Elemento::Todo;
    Patron resto = pat;
    if (libre)
        resto.elementos.erase(resto.elementos.begin());
    std::size_t n = texto.size();
    while (n > 0 && texto[n - 1].primario == ' ')
        --n;
    for (std::size_t i = 0; i <= n && (i == 0 || libre); ++i)
        if (Coincide(resto, texto.data() + i, n - i) || Coincide(resto, texto.data() + i, texto.size() - i))
            return sqlite3_result_int64(ctx, std::int64_t(i) + 1);
    sqlite3_result_int64(ctx, 0);
}

// Case of the Windows-1252 letters (and of every letter of a national text):
// one character for one, so "ß" stays.
QString Caso(const QString& t, bool mayusculas)
{
    QString r = t;
    for (QChar& c : r) {
        const QChar d = mayusculas ? c.toUpper() : c.toLower();
        if (c.unicode() >= 0x100 || Cp1252(d.unicode()) <= 0xFF)
            c = d;
    }
    return r;
}

void Upper(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    ResultadoCadena(ctx, Caso(Cadena(argv[0]), true));
}

void Lower(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    ResultadoCadena(ctx, Caso(Cadena(argv[0]), false));
}

void Substring(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const std::int64_t inicio = sqlite3_value_int64(argv[1]), largo = sqlite3_value_int64(argv[2]);
    if (largo < 0)
        return sqlite3_result_error(ctx, "Invalid length parameter passed to the substring function.", -1);
    // Characters before the first count in the length: SUBSTRING('abcdef', -1, 3) is 'a'.
    const QString t = Cadena(argv[0]);
    const std::int64_t desde = std::max<std::int64_t>(inicio, 1);
    // Past the text's end whatever the sum would be (it may not fit 64 bits).
    std::int64_t hasta;
    if (__builtin_add_overflow(inicio, largo, &hasta))
        hasta = std::int64_t(t.size()) + 1;
    if (hasta <= desde || desde > t.size())
        return ResultadoTexto(ctx, QByteArray(""));
    ResultadoCadena(ctx, t.mid(qsizetype(desde - 1), qsizetype(std::min<std::int64_t>(hasta, t.size() + 1) - desde)));
}

// RIGHT(s, n): the last n characters, all of them when n is larger.
void Right(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const std::int64_t n = sqlite3_value_int64(argv[1]);
    if (n < 0)
        return sqlite3_result_error(ctx, "Invalid length parameter passed to the right function.", -1);
    const QString t = Cadena(argv[0]);
    ResultadoCadena(ctx, t.right(qsizetype(std::min<std::int64_t>(n, t.size()))));
}

// The value of a subquery used as an expression: one row at most.
struct Unico {
    bool hay = false;
    sqlite3_value* valor = nullptr;
};
void UnicoPaso(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* u = static_cast<Unico*>(sqlite3_aggregate_context(ctx, sizeof(Unico)));
    if (!u)
        return sqlite3_result_error_nomem(ctx);
    if (u->hay)
        return sqlite3_result_error(ctx, "Subquery returned more than 1 value. This is not permitted when the subquery "
                                         "follows =, !=, <, <= , >, >= or when the subquery is used as an expression.",
                                    -1);
    u->hay = true;
    u->valor = sqlite3_value_dup(argv[0]);
}
void UnicoFin(sqlite3_context* ctx)
{
    auto* u = static_cast<Unico*>(sqlite3_aggregate_context(ctx, 0));
    if (!u || !u->valor)
        return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, u->valor);
    sqlite3_value_free(u->valor);
    u->valor = nullptr;
}

// STRING_AGG(valor, separador) WITHIN GROUP (ORDER BY ...): the values kept
// with their keys and joined in the keys' order when the group ends.
// Arguments: the value, the separator, then for each key DESC (0 or 1), its
// collation (NULL when it is no text) and the key.
struct Ordenada {
    struct Fila {
        QByteArray valor;
        std::vector<sqlite3_value*> claves;
    };
    std::vector<Fila> filas;
    QByteArray separador;
    std::vector<std::pair<bool, std::optional<Regla>>> orden;
};
struct OrdenadaContexto {
    Ordenada* o;
};

// Two keys as ORDER BY compares them: NULL first, texts under their collation.
int CompararClave(sqlite3_value* a, sqlite3_value* b, const std::optional<Regla>& regla)
{
    const int ta = sqlite3_value_type(a), tb = sqlite3_value_type(b);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL)
        return (ta != SQLITE_NULL) - (tb != SQLITE_NULL);
    const bool textoA = ta == SQLITE_TEXT || ta == SQLITE_BLOB, textoB = tb == SQLITE_TEXT || tb == SQLITE_BLOB;
    if (!textoA && !textoB) {
        if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
            const std::int64_t x = sqlite3_value_int64(a), y = sqlite3_value_int64(b);
            return (x > y) - (x < y);
        }
        const double x = sqlite3_value_double(a), y = sqlite3_value_double(b);
        return (x > y) - (x < y);
    }
    if (textoA != textoB)
        return textoA ? 1 : -1;
    const QByteArray x = Texto(a), y = Texto(b);
    return Comparar(x.constData(), int(x.size()), y.constData(), int(y.size()), regla.value_or(Regla::Bin));
}

void OrdenadaPaso(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* c = static_cast<OrdenadaContexto*>(sqlite3_aggregate_context(ctx, sizeof(OrdenadaContexto)));
    if (!c)
        return sqlite3_result_error_nomem(ctx);
    if (!c->o) {
        c->o = new Ordenada;
        c->o->separador = Texto(argv[1]);
        for (int i = 2; i + 2 < argc; i += 3) {
            std::optional<Regla> r;
            if (sqlite3_value_type(argv[i + 1]) != SQLITE_NULL) {
                Regla x;
                if (!LeerRegla(ctx, argv[i + 1], x))
                    return;
                r = x;
            }
            c->o->orden.emplace_back(sqlite3_value_int(argv[i]) != 0, r);
        }
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    Ordenada::Fila f{Texto(argv[0]), {}};
    for (int i = 4; i < argc; i += 3)
        f.claves.push_back(sqlite3_value_dup(argv[i]));
    c->o->filas.push_back(std::move(f));
}

void OrdenadaFin(sqlite3_context* ctx)
{
    auto* c = static_cast<OrdenadaContexto*>(sqlite3_aggregate_context(ctx, 0));
    if (!c || !c->o)
        return sqlite3_result_null(ctx);
    Ordenada& o = *c->o;
    std::stable_sort(o.filas.begin(), o.filas.end(), [&](const Ordenada::Fila& x, const Ordenada::Fila& y) {
        for (std::size_t k = 0; k < o.orden.size(); ++k)
            if (const int d = CompararClave(x.claves[k], y.claves[k], o.orden[k].second))
                return o.orden[k].first ? d > 0 : d < 0;
        return false;
    });
    QByteArray r;
    for (std::size_t i = 0; i < o.filas.size(); ++i)
        r += (i ? o.separador : QByteArray()) + o.filas[i].valor;
    if (o.filas.empty())
        sqlite3_result_null(ctx);
    else
        ResultadoTexto(ctx, r);
    for (Ordenada::Fila& f : o.filas)
        for (sqlite3_value* v : f.claves)
            sqlite3_value_free(v);
    delete c->o;
    c->o = nullptr;
}

void DataLength(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    // varchar: a byte a character of the code page; nvarchar: two a UTF-16 unit.
    const QString t = Cadena(argv[0]);
    if (sqlite3_value_int(argv[1]))
        return sqlite3_result_int64(ctx, 2 * std::int64_t(t.size()));
    std::int64_t n = 0;
    for (qsizetype i = 0; i < t.size(); ++i, ++n)
        if (t[i].isHighSurrogate() && i + 1 < t.size())
            ++i;
    sqlite3_result_int64(ctx, n);
}

void Len(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    QString t = Cadena(argv[0]);
    qsizetype n = t.size();
    while (n > 0 && t[n - 1] == u' ')
        --n;
    sqlite3_result_int64(ctx, n);
}

void Largo(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const std::int64_t n = sqlite3_value_int64(argv[1]);
    const QString t = Cadena(argv[0]);
    if (t.size() <= n)
        return sqlite3_result_value(ctx, argv[0]);
    // Only blanks may go: the rest would be lost.
    for (qsizetype i = qsizetype(std::max<std::int64_t>(n, 0)); i < t.size(); ++i)
        if (t[i] != u' ')
            return sqlite3_result_error(ctx, "String or binary data would be truncated.", -1);
    ResultadoCadena(ctx, t.left(qsizetype(n)));
}

// A value of FOR XML PATH: the text escaped as element content (modo 1), as
// it is (modo 2: the text of the XML), or a fragment already written (modo
// 0), in the element named (none when ""). What the server's form is not
// known for here is refused: characters XML does not allow, an element
// without content.
void Xml(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QByteArray t = Texto(argv[0]), elemento = Texto(argv[1]);
    const int modo = sqlite3_value_int(argv[2]);
    QByteArray r;
    if (modo == 0) {
        r = t;
    } else {
        r.reserve(t.size());
        for (const char c : t) {
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                return sqlite3_result_error(ctx, "A control character in FOR XML is not supported by the embedded database.", -1);
            switch (modo == 1 ? c : 0) {
            case '&': r += "&amp;"; break;
            case '<': r += "&lt;"; break;
            case '>': r += "&gt;"; break;
            case '\r': r += "&#x0D;"; break;
            default: r += c;
            }
        }
    }
    if (elemento.isEmpty())
        return ResultadoTexto(ctx, r);
    if (r.isEmpty())
        return sqlite3_result_error(ctx, "An empty element in FOR XML is not supported by the embedded database.", -1);
    ResultadoTexto(ctx, '<' + elemento + '>' + r + "</" + elemento + '>');
}

void ErrorNumerado(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    // "Msg <number>: <text>": the error mapping takes the number from here.
    const std::string m = "Msg " + std::to_string(sqlite3_value_int(argv[0])) + ": " + Texto(argv[1]).toStdString();
    sqlite3_result_error(ctx, m.c_str(), -1);
}

// ---------------------------------------------------------------- functions of the server

// ISNUMERIC: what converts to some number type (int, money, float, decimal):
// blanks around, a sign, a currency sign, thousands commas, an exponent after digits.
// A sign or a currency sign alone converts to money, so it counts.
void IsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: return sqlite3_result_int(ctx, 0);
    case SQLITE_INTEGER: case SQLITE_FLOAT: return sqlite3_result_int(ctx, 1);
    default: break;
    }
    const QString t = Cadena(argv[0]).trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto moneda = [&] {
        if (i < n && QStringView(u"$€£¥").contains(t[i]))
            ++i;
    };
    moneda();
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    moneda();
    bool cifras = false;
    for (; i < n && (t[i].isDigit() || t[i] == u','); ++i)
        cifras = cifras || t[i].isDigit();
    if (i < n && t[i] == u'.')
        for (++i; i < n && t[i].isDigit(); ++i)
            cifras = true;
    if (i < n && cifras && QStringView(u"eEdD").contains(t[i])) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        const qsizetype desde = i;
        while (i < n && t[i].isDigit())
            ++i;
        if (i == desde)
            return sqlite3_result_int(ctx, 0);
    }
    sqlite3_result_int(ctx, n > 0 && i == n);
}

// ISDATE: a text the session reads as a datetime (1753 to 9999).
void IsDate(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    std::int64_t ms;
    const bool fecha = sqlite3_value_type(argv[0]) != SQLITE_NULL && FechaDeValor(ctx, argv[0], ms)
                    && TextoFecha(ms, 23).left(4).toInt() >= 1753;
    sqlite3_result_int(ctx, fecha);
}

// ss_intentar(x, conversion): the conversion (SQL over ?1) of x, or NULL where
// it fails converting; other errors stay errors. The statement is kept while
// the conversion's text is the same.
void Intentar(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3* db = sqlite3_context_db_handle(ctx);
    auto* st = static_cast<sqlite3_stmt*>(sqlite3_get_auxdata(ctx, 1));
    const bool guardada = st != nullptr;
    if (!st) {
        const QByteArray sql = "SELECT " + Texto(argv[1]);
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK)
            return sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
    }
    // Kept with the argument when SQLite keeps it (a constant), else finalized now.
    auto fin = [&] {
        sqlite3_reset(st);
        if (!guardada)
            sqlite3_set_auxdata(ctx, 1, st, [](void* p) { sqlite3_finalize(static_cast<sqlite3_stmt*>(p)); });
    };
    sqlite3_bind_value(st, 1, argv[0]);
    if (sqlite3_step(st) == SQLITE_ROW) {
        sqlite3_result_value(ctx, sqlite3_column_value(st, 0));
        return fin();
    }
    const std::string m = sqlite3_errmsg(db);
    fin();
    for (const char* conversion : {"Conversion failed", "Error converting data type", "Cannot convert a char value",
                                   "Arithmetic overflow error", "caused an overflow"})
        if (m.find(conversion) != std::string::npos)
            return sqlite3_result_null(ctx);
    sqlite3_result_error(ctx, m.c_str(), -1);
}

// ss_replicate(s, n, largo): s n times, cut at largo characters (-1: none);
// NULL for a negative n.
void Replicate(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc - 1, argv) || sqlite3_value_int64(argv[1]) < 0)
        return sqlite3_result_null(ctx);
    const QString t = Cadena(argv[0]);
    const std::int64_t largo = sqlite3_value_int64(argv[2]);
    std::int64_t n = sqlite3_value_int64(argv[1]);
    const std::int64_t tope = largo >= 0 ? largo : sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1) / 2;
    if (!t.isEmpty())
        n = std::min<std::int64_t>(n, tope / t.size() + 1);
    else
        n = 0;
    QString r = t.repeated(qsizetype(n));
    if (r.size() > tope)
        r.truncate(qsizetype(tope));
    ResultadoCadena(ctx, r);
}

// The character of a Windows-1252 code (CHAR), the code of a character (ASCII).
constexpr char16_t kAltos1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void Char(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const std::int64_t c = sqlite3_value_int64(argv[0]);
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || c < 0 || c > 255)
        return sqlite3_result_null(ctx);
    const char16_t u = c >= 0x80 && c < 0xA0 && kAltos1252[c - 0x80] ? kAltos1252[c - 0x80] : char16_t(c);
    ResultadoCadena(ctx, QString(QChar(u)));
}

void NChar(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const std::int64_t c = sqlite3_value_int64(argv[0]);
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || c < 0 || c > 0xFFFF)
        return sqlite3_result_null(ctx);
    ResultadoCadena(ctx, QString(QChar(char16_t(c))));
}

// ss_codigo(s, unicode): the code of the first character; NULL for an empty text.
void Codigo(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const QString t = Cadena(argv[0]);
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || t.isEmpty())
        return sqlite3_result_null(ctx);
    const std::uint32_t c = t[0].unicode();
    if (sqlite3_value_int(argv[1]))
        return sqlite3_result_int64(ctx, c);
    const std::uint32_t k = Cp1252(c);
    sqlite3_result_int64(ctx, k <= 0xFF ? k : '?');
}

// STR(x, largo, decimales): right-justified; fewer decimals where they do not
// fit, asterisks where the integer part does not.
void Str(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const double x = sqlite3_value_double(argv[0]);
    const std::int64_t largo = sqlite3_value_int64(argv[1]);
    std::int64_t decimales = std::min<std::int64_t>(sqlite3_value_int64(argv[2]), 16);
    if (largo <= 0 || largo > 8000 || decimales < 0)
        return sqlite3_result_null(ctx);
    char b[400];
    std::snprintf(b, sizeof b, "%.0f", x);
    const std::int64_t entera = std::int64_t(std::strlen(b));
    if (entera > largo)
        return ResultadoTexto(ctx, QByteArray(int(largo), '*'));
    decimales = std::min(decimales, std::max<std::int64_t>(largo - entera - 1, 0));
    std::snprintf(b, sizeof b, "%.*f", int(decimales), x);
    QByteArray r(b);
    if (r.size() > largo) // rounding added a digit
        return ResultadoTexto(ctx, QByteArray(int(largo), '*'));
    ResultadoTexto(ctx, QByteArray(int(largo - r.size()), ' ') + r);
}

void Reverse(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QString t = Cadena(argv[0]);
    QString r;
    r.reserve(t.size());
    for (qsizetype i = t.size(); i > 0; --i) {
        if (i >= 2 && t[i - 1].isLowSurrogate() && t[i - 2].isHighSurrogate()) {
            r += t.mid(i - 2, 2);
            --i;
        } else {
            r += t[i - 1];
        }
    }
    ResultadoCadena(ctx, r);
}

// STUFF(s, inicio, largo, nuevo): NULL for a start outside s or a negative length.
void Stuff(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (Nulo(3, argv))
        return sqlite3_result_null(ctx);
    const QString t = Cadena(argv[0]);
    const std::int64_t inicio = sqlite3_value_int64(argv[1]), largo = sqlite3_value_int64(argv[2]);
    if (inicio < 1 || inicio > t.size() || largo < 0)
        return sqlite3_result_null(ctx);
    const qsizetype quita = qsizetype(std::min<std::int64_t>(largo, t.size() - inicio + 1));
    ResultadoCadena(ctx, t.left(qsizetype(inicio - 1)) + Cadena(argv[3]) + t.mid(qsizetype(inicio - 1) + quita));
}

// CONCAT_WS(separador, ...): the values that are not NULL.
void ConcatWs(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    QByteArray r;
    bool primero = true;
    for (int i = 1; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        if (!primero)
            r += Texto(argv[0]);
        r += Texto(argv[i]);
        primero = false;
    }
    ResultadoTexto(ctx, r);
}

// ss_datename(part, d): the month's and the day's names in the login's language.
void DateName(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    static const char* const kDias[2][7] = {
        {"Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado", "Domingo"},
        {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"},
    };
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::int64_t ms;
    if (!FechaDeValor(ctx, argv[1], ms))
        return ErrorFecha(ctx);
    const bool ingles = IdiomaDeSesion(ctx) == Idioma::Ingles;
    if (Texto(argv[0]) == "month")
        return ResultadoTexto(ctx, NombreDeMes(TextoFecha(ms, 23).mid(5, 2).toInt(), ingles));
    const std::int64_t dias = ms >= 0 ? ms / kMsDia : -((-ms + kMsDia - 1) / kMsDia);
    ResultadoTexto(ctx, kDias[ingles][((dias % 7) + 7) % 7]); // 1900-01-01 was a Monday
}

// A date's text of a QDate in date's range, or the server's error.
void ResultadoDia(sqlite3_context* ctx, const QDate& d, const char* error)
{
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        return sqlite3_result_error(ctx, error, -1);
    ResultadoTexto(ctx, d.toString(QStringLiteral("yyyy-MM-dd")).toLatin1());
}

void DateFromParts(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const std::int64_t y = sqlite3_value_int64(argv[0]), m = sqlite3_value_int64(argv[1]), d = sqlite3_value_int64(argv[2]);
    const bool cabe = y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= 31;
    ResultadoDia(ctx, cabe ? QDate(int(y), int(m), int(d)) : QDate(),
                 "Cannot construct data type date, some of the arguments have values which are not valid.");
}

void EoMonth(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    std::int64_t ms;
    if (!FechaDeValor(ctx, argv[0], ms))
        return ErrorFecha(ctx);
    const QDate d = QDate::fromString(QString::fromLatin1(TextoFecha(ms, 23)), QStringLiteral("yyyy-MM-dd"));
    const std::int64_t meses = argc > 1 ? sqlite3_value_int64(argv[1]) : 0;
    const std::int64_t total = std::int64_t(d.year()) * 12 + d.month() - 1 + meses;
    const QDate primero = total >= 12 && total < 10000 * 12 ? QDate(int(total / 12), int(total % 12) + 1, 1) : QDate();
    ResultadoDia(ctx, primero.isValid() ? QDate(primero.year(), primero.month(), primero.daysInMonth()) : QDate(),
                 "Adding a value to a 'date' column caused an overflow.");
}

// ss_fecha_num(d, entero): a datetime as days since 1900-01-01, its time the
// fraction of a day in 1/300 s; entero: rounded to the nearest day, as the
// server converts a datetime to an integer.
void FechaNumero(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::int64_t ms;
    if (!FechaDeValor(ctx, argv[0], ms))
        return ErrorFecha(ctx);
    const std::int64_t dias = ms >= 0 ? ms / kMsDia : -((-ms + kMsDia - 1) / kMsDia);
    const std::int64_t tics = ((ms - dias * kMsDia) * 3 + 5) / 10;
    if (sqlite3_value_int(argv[1]))
        return sqlite3_result_int64(ctx, dias + (tics * 2 >= 300LL * 86400 ? 1 : 0));
    sqlite3_result_double(ctx, double(dias) + double(tics) / (300.0 * 86400.0));
}

// ss_potencia(x, y): POWER, SQRT (y 0.5) and SQUARE (y 2) in float.
void Potencia(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const double x = sqlite3_value_double(argv[0]), y = sqlite3_value_double(argv[1]);
    const double r = y == 0.5 ? std::sqrt(x) : std::pow(x, y);
    if (std::isnan(r) || (x == 0 && y < 0))
        return sqlite3_result_error(ctx, "An invalid floating point operation occurred.", -1);
    if (!std::isfinite(r))
        return ErrorDesborde(ctx, "float");
    sqlite3_result_double(ctx, r);
}

// ss_entero_de(op, x, escala, escalaResultado): FLOOR, CEILING and SIGN of an
// exact number at its scale (escala -1: a float).
void PisoTecho(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (Nulo(argc, argv))
        return sqlite3_result_null(ctx);
    const QByteArray op = Texto(argv[0]);
    const int s = sqlite3_value_int(argv[2]), sr = sqlite3_value_int(argv[3]);
    if (s < 0) {
        const double x = sqlite3_value_double(argv[1]);
        return sqlite3_result_double(ctx, op == "floor" ? std::floor(x) : op == "ceiling" ? std::ceil(x)
                                                                      : double((x > 0) - (x < 0)));
    }
    Exacto x, r;
    bool desborde = false;
    if (!LeerExacto(argv[1], s, x, desborde))
        return ErrorTipoDato(ctx, "numeric");
    if (desborde)
        return ErrorDesborde(ctx, "numeric");
    const i128 d = Pot10(s);
    i128 q = x.m / d;
    const i128 resto = x.m % d;
    if (op == "floor" && resto < 0)
        --q;
    else if (op == "ceiling" && resto > 0)
        ++q;
    else if (op == "sign")
        q = (x.m > 0) - (x.m < 0);
    if (!AEscala({q, 0}, sr, r))
        return ErrorDesborde(ctx, "numeric");
    ResultadoExacto(ctx, r);
}

void NewId(sqlite3_context* ctx, int, sqlite3_value**)
{
    ResultadoTexto(ctx, QUuid::createUuid().toByteArray(QUuid::WithoutBraces).toUpper());
}

void HostName(sqlite3_context* ctx, int, sqlite3_value**)
{
    ResultadoCadena(ctx, QSysInfo::machineHostName());
}

// The operating system's user: the embedded database has no logins.
void SuserSname(sqlite3_context* ctx, int, sqlite3_value**)
{
    const QString u = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    ResultadoCadena(ctx, u);
}

void AppName(sqlite3_context* ctx, int, sqlite3_value**)
{
    ResultadoCadena(ctx, QCoreApplication::applicationName());
}

void Version(sqlite3_context* ctx, int, sqlite3_value**)
{
    ResultadoTexto(ctx, QByteArray("Embedded database (SQLite ") + sqlite3_libversion() + ")");
}

// ---------------------------------------------------------------- collations

int Intercalacion(void* regla, int na, const void* a, int nb, const void* b)
{
    return Comparar(static_cast<const char*>(a), na, static_cast<const char*>(b), nb, *static_cast<Regla*>(regla));
}

} // namespace

// ---------------------------------------------------------------- shared

std::uint32_t interno::Cp1252(std::uint32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::uint32_t i = 0; i < 32; ++i)
        if (kAltos1252[i] && kAltos1252[i] == c)
            return 0x80 + i;
    return c;
}

void interno::ANumero(sqlite3_context* ctx, sqlite3_value* v, int p, int s, const char* tipo)
{
    const bool dinero = std::strcmp(tipo, "money") == 0 || std::strcmp(tipo, "smallmoney") == 0;
    Exacto x;
    bool desborde = false;
    bool numero = true;
    if (sqlite3_value_type(v) == SQLITE_TEXT || sqlite3_value_type(v) == SQLITE_BLOB) {
        const QByteArray t = Texto(v);
        numero = DeTexto(std::string_view(t.constData(), std::size_t(t.size())), s, dinero, x, desborde);
    } else {
        numero = LeerExacto(v, s, x, desborde);
    }
    if (!numero) {
        if (dinero)
            return sqlite3_result_error(ctx, "Cannot convert a char value to money. The char value has incorrect "
                                             "syntax.", -1);
        return ErrorTipoDato(ctx, "numeric");
    }
    if (desborde || !Cabe(x, p, tipo)) {
        if (dinero)
            return ErrorDesborde(ctx, tipo);
        const char* de = sqlite3_value_type(v) == SQLITE_INTEGER ? "int"
                       : sqlite3_value_type(v) == SQLITE_FLOAT   ? "numeric"
                                                                 : "varchar";
        const std::string m = std::string("Arithmetic overflow error converting ") + de + " to data type numeric.";
        return sqlite3_result_error(ctx, m.c_str(), -1);
    }
    ResultadoExacto(ctx, x);
}

namespace {
constexpr int kFijo = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
}

const Funcion kFuncionesTipadas[] = {
    {"ss_num", -1, Num, kFijo},
    {"ss_ent", -1, Ent, kFijo},
    {"ss_flt", 3, Flt, kFijo},
    {"ss_round", 5, Round, kFijo},
    {"ss_texto", 4, TextoSql, kFijo},
    {"ss_texto", 5, TextoSql, kFijo},
    {"ss_a_num", 4, ANumeroSql, kFijo},
    {"ss_a_ent", 2, AEnteroSql, kFijo},
    {"ss_a_ent", 3, AEnteroSql, kFijo},
    {"ss_fecha_mas", 2, FechaMas, SQLITE_UTF8},
    {"ss_fecha_resta", 2, FechaResta, SQLITE_UTF8},
    {"ss_dateformat", 1, DateFormat, SQLITE_UTF8},
    {"ss_language", 0, Language, SQLITE_UTF8},
    {"ss_language", 1, Language, SQLITE_UTF8},
    {"ss_datefirst", 0, DateFirst, SQLITE_UTF8},
    {"ss_datefirst", 1, DateFirst, SQLITE_UTF8},
    {"ss_like", 4, LikeSql, kFijo},
    {"ss_charindex", 4, CharIndex, kFijo},
    {"ss_replace", -1, Replace, kFijo},
    {"ss_patindex", 3, PatIndex, kFijo},
    {"ss_upper", 1, Upper, kFijo},
    {"ss_lower", 1, Lower, kFijo},
    {"ss_substring", 3, Substring, kFijo},
    {"ss_right", 2, Right, kFijo},
    {"ss_datalength", 2, DataLength, kFijo},
    {"ss_len", 1, Len, kFijo},
    {"ss_largo", 2, Largo, kFijo},
    {"ss_xml", 3, Xml, kFijo},
    {"ss_error", 2, ErrorNumerado, SQLITE_UTF8},
    {"ss_isnumeric", 1, IsNumeric, kFijo},
    {"ss_isdate", 1, IsDate, SQLITE_UTF8}, // reads the session's date format
    {"ss_intentar", 2, Intentar, SQLITE_UTF8},
    {"ss_replicate", 3, Replicate, kFijo},
    {"ss_char", 1, Char, kFijo},
    {"ss_nchar", 1, NChar, kFijo},
    {"ss_codigo", 2, Codigo, kFijo},
    {"ss_str", 3, Str, kFijo},
    {"ss_reverse", 1, Reverse, kFijo},
    {"ss_stuff", 4, Stuff, kFijo},
    {"ss_concat_ws", -1, ConcatWs, kFijo},
    {"ss_datename", 2, DateName, SQLITE_UTF8},
    {"ss_datefromparts", 3, DateFromParts, kFijo},
    {"ss_eomonth", 1, EoMonth, SQLITE_UTF8},
    {"ss_eomonth", 2, EoMonth, SQLITE_UTF8},
    {"ss_fecha_num", 2, FechaNumero, SQLITE_UTF8},
    {"ss_potencia", 2, Potencia, kFijo},
    {"ss_entero_de", 4, PisoTecho, kFijo},
    {"ss_newid", 0, NewId, SQLITE_UTF8},
    {"ss_host_name", 0, HostName, SQLITE_UTF8},
    {"ss_suser_sname", 0, SuserSname, SQLITE_UTF8},
    {"ss_app_name", 0, AppName, SQLITE_UTF8},
    {"ss_version", 0, Version, kFijo},
};
const int kNumFuncionesTipadas = int(std::size(kFuncionesTipadas));

bool RegistrarAgregados(sqlite3* db)
{
    return sqlite3_create_function_v2(db, "ss_unico", 1, kFijo, nullptr, nullptr, UnicoPaso, UnicoFin, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(db, "ss_string_agg", -1, kFijo, nullptr, nullptr, OrdenadaPaso, OrdenadaFin, nullptr)
                  == SQLITE_OK;
}

bool RegistrarIntercalaciones(sqlite3* db)
{
    static const struct {
        const char* nombre;
        Regla regla;
    } kIntercalaciones[] = {
        {"CS_AS", Regla::CsAs}, {"CI_AI", Regla::CiAi}, {"CS_AI", Regla::CsAi}, {"BIN", Regla::Bin}};
    bool todas = true;
    for (const auto& i : kIntercalaciones)
        todas = sqlite3_create_collation(db, i.nombre, SQLITE_UTF8, const_cast<Regla*>(&i.regla), Intercalacion)
                    == SQLITE_OK
             && todas;
    return todas;
}

} // namespace ado::servidor
