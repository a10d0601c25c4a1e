#include "platform/tsql/tipos.h"

#include <algorithm>

namespace tsql {

namespace {

struct Nombrado {
    const char* nombre;
    Clase clase;
};
const Nombrado kNombres[] = {
    {"bit", Clase::Bit}, {"tinyint", Clase::TinyInt}, {"smallint", Clase::SmallInt}, {"int", Clase::Int},
    {"integer", Clase::Int}, {"bigint", Clase::BigInt}, {"decimal", Clase::Decimal}, {"numeric", Clase::Decimal},
    {"dec", Clase::Decimal}, {"smallmoney", Clase::SmallMoney}, {"money", Clase::Money}, {"real", Clase::Real},
    {"float", Clase::Float}, {"double precision", Clase::Float}, {"date", Clase::Fecha}, {"time", Clase::Hora},
    {"smalldatetime", Clase::SmallDateTime}, {"datetime", Clase::DateTime}, {"datetime2", Clase::DateTime2},
    {"datetimeoffset", Clase::DateTime2}, {"char", Clase::Char}, {"character", Clase::Char},
    {"varchar", Clase::VarChar}, {"nchar", Clase::NChar}, {"nvarchar", Clase::NVarChar},
    {"sysname", Clase::NVarChar}, {"text", Clase::Text}, {"ntext", Clase::NText}, {"binary", Clase::Binary},
    {"varbinary", Clase::VarBinary}, {"image", Clase::VarBinary}, {"uniqueidentifier", Clase::UniqueIdentifier},
};

int IntegralesDe(const Tipo& t) { return t.precision - t.escala; }

} // namespace

QString ReglaDeIntercalacion(const QString& nombre)
{
    const QString n = nombre.toUpper();
    if (n.isEmpty())
        return {};
    if (n.endsWith(u"_BIN") || n.endsWith(u"_BIN2") || n == u"BINARY" || n == u"BIN")
        return QStringLiteral("BIN");
    const bool cs = n.contains(u"_CS") || n == u"CS_AS" || n == u"CS_AI";
    const bool ai = n.contains(u"_AI") || n == u"CI_AI" || n == u"CS_AI";
    return QString::fromLatin1(cs ? "CS_" : "CI_") + QString::fromLatin1(ai ? "AI" : "AS");
}

Tipo Tipo::De(Clase c)
{
    Tipo t;
    t.clase = c;
    switch (c) {
    case Clase::Bit: t.precision = 1; break;
    case Clase::TinyInt: t.precision = 3; break;
    case Clase::SmallInt: t.precision = 5; break;
    case Clase::Int: t.precision = 10; break;
    case Clase::BigInt: t.precision = 19; break;
    case Clase::SmallMoney: t.precision = 10, t.escala = 4; break;
    case Clase::Money: t.precision = 19, t.escala = 4; break;
    case Clase::Decimal: t.precision = 18; break;
    case Clase::Real: t.precision = 24; break;
    case Clase::Float: t.precision = 53; break;
    case Clase::DateTime: t.escala = 3; break;
    case Clase::DateTime2: t.escala = 7; break;
    default: break;
    }
    return t;
}

Tipo Tipo::Decimal(int p, int s)
{
    Tipo t;
    t.clase = Clase::Decimal;
    t.precision = std::clamp(p, 1, 38);
    t.escala = std::clamp(s, 0, t.precision);
    return t;
}

Tipo Tipo::Texto(Clase c, int largo, const QString& intercalacion, Origen o)
{
    Tipo t;
    t.clase = c;
    t.largo = largo;
    t.intercalacion = intercalacion.isEmpty() ? QStringLiteral("CI_AS") : intercalacion;
    t.origen = o;
    return t;
}

TipoEscrito LeerEscrito(const QString& declarado)
{
    TipoEscrito r;
    QString d = declarado.simplified().toLower();
    const qsizetype p = d.indexOf(u'(');
    if (p >= 0) {
        const qsizetype f = d.indexOf(u')', p);
        const QString dentro = d.mid(p + 1, (f < 0 ? d.size() : f) - p - 1);
        const QString a = dentro.section(u',', 0, 0).trimmed();
        if (a == u"max" || a == u"2147483647")
            r.max = true;
        else
            r.a = a.toInt();
        if (dentro.contains(u','))
            r.b = dentro.section(u',', 1, 1).trimmed().toInt();
        d = d.left(p).trimmed();
    }
    // SQLite keeps what follows the type in the declaration ("int IDENTITY").
    for (const Nombrado& n : kNombres) {
        const QLatin1String w(n.nombre);
        if (d == w || (d.startsWith(w) && d.size() > w.size() && d[w.size()] == u' ')) {
            r.nombre = w;
            return r;
        }
    }
    r.nombre = d;
    return r;
}

Tipo TipoDeEscrito(const TipoEscrito& e, const QString& intercalacion)
{
    for (const Nombrado& n : kNombres) {
        if (e.nombre != QLatin1String(n.nombre))
            continue;
        const Clase c = n.clase;
        if (c == Clase::Decimal)
            return Tipo::Decimal(e.a > 0 ? e.a : 18, e.b >= 0 ? e.b : 0);
        if (c == Clase::Float && e.a > 0 && e.a <= 24)
            return Tipo::De(Clase::Real);
        if (c >= Clase::Char && c <= Clase::NText) {
            const bool largo = c == Clase::Text || c == Clase::NText || e.max;
            const QString regla = ReglaDeIntercalacion(intercalacion);
            return Tipo::Texto(c, largo ? -1 : (e.a > 0 ? e.a : (e.nombre == u"sysname" ? 128 : 1)),
                               regla, regla.isEmpty() ? Origen::Implicita : Origen::Explicita);
        }
        if (c == Clase::Binary || c == Clase::VarBinary) {
            Tipo t = Tipo::De(c);
            t.largo = e.max || e.nombre == u"image" ? -1 : (e.a > 0 ? e.a : 1);
            return t;
        }
        Tipo t = Tipo::De(c);
        if (c == Clase::DateTime2 && e.a >= 0)
            t.escala = e.a;
        return t;
    }
    return {};
}

Tipo TipoDeclarado(const QString& declarado)
{
    // The collation SQLite keeps apart; a declared type never carries one.
    const TipoEscrito e = LeerEscrito(declarado);
    // A bare NUMERIC or DECIMAL is a file made elsewhere (this translation
    // always writes the scale): any number, kept with the scale it came with.
    if ((e.nombre == u"numeric" || e.nombre == u"decimal" || e.nombre == u"dec") && e.a < 0) {
        Tipo t = Tipo::De(Clase::Float);
        t.precision = 0;
        return t;
    }
    return TipoDeEscrito(e);
}

QString NombreDe(const Tipo& t)
{
    switch (t.clase) {
    case Clase::Desconocido: return {};
    case Clase::Nulo: return QStringLiteral("int");
    case Clase::Bit: return QStringLiteral("bit");
    case Clase::TinyInt: return QStringLiteral("tinyint");
    case Clase::SmallInt: return QStringLiteral("smallint");
    case Clase::Int: return QStringLiteral("int");
    case Clase::BigInt: return QStringLiteral("bigint");
    case Clase::Decimal: return QStringLiteral("decimal(%1,%2)").arg(t.precision).arg(t.escala);
    case Clase::SmallMoney: return QStringLiteral("smallmoney");
    case Clase::Money: return QStringLiteral("money");
    case Clase::Real: return QStringLiteral("real");
    case Clase::Float: return t.precision == 0 ? QStringLiteral("numeric") : QStringLiteral("float");
    case Clase::Fecha: return QStringLiteral("date");
    case Clase::Hora: return QStringLiteral("time");
    case Clase::SmallDateTime: return QStringLiteral("smalldatetime");
    case Clase::DateTime: return QStringLiteral("datetime");
    case Clase::DateTime2: return QStringLiteral("datetime2");
    case Clase::UniqueIdentifier: return QStringLiteral("uniqueidentifier");
    default: break;
    }
    const char* n = t.clase == Clase::Char      ? "char"
                    : t.clase == Clase::VarChar ? "varchar"
                    : t.clase == Clase::NChar   ? "nchar"
                    : t.clase == Clase::NVarChar ? "nvarchar"
                    : t.clase == Clase::Text    ? "text"
                    : t.clase == Clase::NText   ? "ntext"
                    : t.clase == Clase::Binary  ? "binary"
                                                : "varbinary";
    if (t.clase == Clase::Text || t.clase == Clase::NText)
        return QString::fromLatin1(n);
    return QStringLiteral("%1(%2)").arg(QLatin1String(n), t.largo < 0 ? QStringLiteral("max") : QString::number(t.largo));
}

QString DeclaracionDe(const Tipo& t)
{
    QString n = NombreDe(t);
    if (n.endsWith(QLatin1String("(max)")))
        n.replace(QLatin1String("(max)"), QLatin1String("(2147483647)"));
    return n;
}

int Precedencia(Clase c)
{
    switch (c) {
    case Clase::DateTime2: return 30;
    case Clase::DateTime: return 29;
    case Clase::SmallDateTime: return 28;
    case Clase::Fecha: return 27;
    case Clase::Hora: return 26;
    case Clase::Float: return 25;
    case Clase::Real: return 24;
    case Clase::Decimal: return 23;
    case Clase::Money: return 22;
    case Clase::SmallMoney: return 21;
    case Clase::BigInt: return 20;
    case Clase::Int: return 19;
    case Clase::SmallInt: return 18;
    case Clase::TinyInt: return 17;
    case Clase::Bit: return 16;
    case Clase::NText: return 15;
    case Clase::Text: return 14;
    case Clase::UniqueIdentifier: return 12;
    case Clase::NVarChar: return 11;
    case Clase::NChar: return 10;
    case Clase::VarChar: return 9;
    case Clase::Char: return 8;
    case Clase::VarBinary: return 7;
    case Clase::Binary: return 6;
    case Clase::Nulo: return 0;
    case Clase::Desconocido: return -1;
    }
    return -1;
}

Tipo Dominante(const Tipo& a, const Tipo& b)
{
    if (a.desconocido() || b.desconocido())
        return {};
    if (a.clase == Clase::Nulo)
        return b;
    if (b.clase == Clase::Nulo)
        return a;
    if (a.clase == b.clase) {
        Tipo r = a;
        if (a.clase == Clase::Decimal) {
            const int s = std::max(a.escala, b.escala);
            r = Tipo::Decimal(std::max(IntegralesDe(a), IntegralesDe(b)) + s, s);
        } else if (a.texto() || a.clase == Clase::Binary || a.clase == Clase::VarBinary) {
            r.largo = a.largo < 0 || b.largo < 0 ? -1 : std::max(a.largo, b.largo);
            bool conflicto = false;
            r.intercalacion = IntercalacionComun(a, b, &conflicto);
            r.origen = std::max(a.origen, b.origen);
        }
        return r;
    }
    const Tipo& d = Precedencia(a.clase) >= Precedencia(b.clase) ? a : b;
    const Tipo& o = &d == &a ? b : a;
    if (d.clase == Clase::Decimal && (o.entero() || o.exacto())) {
        const Tipo c = ComoDecimal(o);
        const int s = std::max(d.escala, c.escala);
        return Tipo::Decimal(std::max(IntegralesDe(d), IntegralesDe(c)) + s, s);
    }
    if (d.texto() && o.texto()) {
        Tipo r = d;
        r.largo = d.largo < 0 || o.largo < 0 ? -1 : std::max(d.largo, o.largo);
        r.intercalacion = IntercalacionComun(a, b);
        r.origen = std::max(a.origen, b.origen);
        return r;
    }
    return d;
}

Tipo ComoDecimal(const Tipo& t)
{
    if (t.clase == Clase::Decimal)
        return t;
    if (t.entero() || t.clase == Clase::Money || t.clase == Clase::SmallMoney)
        return Tipo::Decimal(t.precision, t.escala);
    return Tipo::Decimal(18, 0);
}

Tipo ResultadoDecimal(char op, const Tipo& ta, const Tipo& tb)
{
    const Tipo a = ComoDecimal(ta), b = ComoDecimal(tb);
    const int p1 = a.precision, s1 = a.escala, p2 = b.precision, s2 = b.escala;
    int p = 0, s = 0;
    switch (op) {
    case '+':
    case '-':
        s = std::max(s1, s2);
        p = std::max(p1 - s1, p2 - s2) + s + 1;
        if (p > 38) {
            // The integral part keeps its room; the scale gives way, down to 6.
            const int integral = std::max(p1 - s1, p2 - s2) + 1;
            s = std::max(std::min(s, 38 - integral), std::min(s, 6));
            p = 38;
        }
        return Tipo::Decimal(p, s);
    case '*':
        p = p1 + p2 + 1;
        s = s1 + s2;
        break;
    case '/':
        s = std::max(6, s1 + p2 + 1);
        p = p1 - s1 + s2 + s;
        break;
    default: // %
        s = std::max(s1, s2);
        p = std::min(p1 - s1, p2 - s2) + s;
        return Tipo::Decimal(p, s);
    }
    if (p > 38) {
        const int integral = p - s;
        if (integral < 32)
            s = std::min(s, 38 - integral);
        else if (s > 6)
            s = 6;
        p = 38;
    }
    return Tipo::Decimal(p, s);
}

QString IntercalacionComun(const Tipo& a, const Tipo& b, bool* conflicto)
{
    if (conflicto)
        *conflicto = false;
    const bool ta = a.texto() && !a.intercalacion.isEmpty(), tb = b.texto() && !b.intercalacion.isEmpty();
    if (!ta || !tb)
        return ta ? a.intercalacion : (tb ? b.intercalacion : QStringLiteral("CI_AS"));
    if (a.origen != b.origen)
        return a.origen > b.origen ? a.intercalacion : b.intercalacion;
    if (a.intercalacion == b.intercalacion)
        return a.intercalacion;
    if (conflicto && a.origen == Origen::Explicita)
        *conflicto = true;
    // Two columns of different collations: the server has no collation for
    // the result; the database's default is the closest answer that compares.
    return a.origen == Origen::Explicita ? QString() : QStringLiteral("CI_AS");
}

} // namespace tsql
