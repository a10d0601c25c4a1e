#include "platform/tsql/traductor.h"
#include "platform/tsql/disparadores.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

namespace tsql {

ErrorTsql NoSoportado(const QString& que)
{
    return {0, QStringLiteral("%1 is not supported by the embedded database.").arg(que)};
}

namespace {

// ------------------------------------------------------------- SQL pieces

QString Q(const QString& nombre) { return u'"' + QString(nombre).replace(u'"', QStringLiteral("\"\"")) + u'"'; }
QString Lit(const QString& texto) { return u'\'' + QString(texto).replace(u'\'', QStringLiteral("''")) + u'\''; }
QString Par(const QString& s) { return u'(' + s + u')'; }

// The object a name of 1 to 4 parts denotes: server, database and owner do
// not exist in one SQLite file.
QString Objeto(const Nombre& n) { return n.partes.isEmpty() ? QString() : n.partes.back(); }

// A chain a + b + c... written as nested calls or parentheses runs out of
// SQLite's parser stack at about 30 operands: the chains of texts, integers
// and exact numbers are written flat, the next operand put inside the last
// one's call or parenthesis.
enum class Pliegue : unsigned char { No, Texto, Entero, Exacto };

struct Res {
    QString sql;
    Tipo t;
    int digitos = 0; // an integer literal: in decimal arithmetic it is decimal(digitos, 0)
    Pliegue pliegue = Pliegue::No; // sql is "(a || b ...)", "ss_ent(...)" or "ss_num(...)" of a chain
    int pasos = 0;                 // operators in that call
};

// How a SELECT of a statement is written.
struct Opciones {
    bool claveFila = false;  // the row id first (ado_rowid__)
    bool empates = false;    // items named ss_c1... and the rank ss_rango, for TOP ... WITH TIES
    bool unico = false;      // its one item through ss_unico: a subquery used as a value
    bool intercalar = false; // texts under their collation: the rows a UNION compares
    const std::vector<Tipo>* destino = nullptr; // the types the columns of a chain take
};

// A call of an aggregate function itself (not a window function).
// A call and the calls of the same function nested in its first argument,
// outermost first: f(f(f(x, ...), ...), ...).
std::vector<Expr*> Cadena(Expr& e, size_t argumentos)
{
    std::vector<Expr*> r{&e};
    for (Expr* i = e.hijos[0].get(); i->clase == ClaseExpr::Funcion && i->texto == e.texto && i->hijos.size() == argumentos
                                      && !i->ventana && !i->distinto && !i->estrella;
         i = i->hijos[0].get())
        r.push_back(i);
    return r;
}

bool EsAgregado(const Expr& e)
{
    if (e.clase != ClaseExpr::Funcion || e.ventana)
        return false;
    const QString f = e.texto.toUpper();
    return f == u"COUNT" || f == u"SUM" || f == u"AVG" || f == u"MIN" || f == u"MAX" || f == u"COUNT_BIG"
           || f == u"STRING_AGG";
}

// An aggregate in an expression (not in a subquery of it).
bool Agregada(const Expr& e)
{
    if (e.clase == ClaseExpr::Subconsulta || e.clase == ClaseExpr::Existe)
        return false;
    if (EsAgregado(e))
        return true;
    for (const PExpr& h : e.hijos)
        if (h && Agregada(*h))
            return true;
    return (e.operando && Agregada(*e.operando)) || (e.sino && Agregada(*e.sino));
}

// The type FOR XML's text has.
Tipo TipoXml() { return Tipo::Texto(Clase::NVarChar, -1, QStringLiteral("CI_AS"), Origen::Defecto); }

// A name FOR XML PATH writes as an element as it is: no attribute (@a), no
// path (a/b), no node test (text()), nothing it would encode (_x0020_).
bool NombreXml(const QString& n)
{
    if (n.isEmpty() || !(n[0].isLetter() || n[0] == u'_') || n.startsWith(QLatin1String("xml"), Qt::CaseInsensitive))
        return false;
    for (const QChar c : n)
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.'))
            return false;
    return true;
}

// Which values a type's conversion keeps apart: numbers, texts, dates.
int Familia(const Tipo& t)
{
    return t.numero() ? 1 : t.texto() ? 2 : t.fecha() ? 3 : 0;
}

struct Parte {
    const char* nombre;
    std::initializer_list<const char*> formas;
};
const Parte kPartes[] = {
    {"year", {"YEAR", "YY", "YYYY"}},       {"quarter", {"QUARTER", "QQ", "Q"}},
    {"month", {"MONTH", "MM", "M"}},        {"dayofyear", {"DAYOFYEAR", "DY", "Y"}},
    {"day", {"DAY", "DD", "D"}},            {"week", {"WEEK", "WK", "WW"}},
    {"weekday", {"WEEKDAY", "DW"}},         {"hour", {"HOUR", "HH"}},
    {"minute", {"MINUTE", "MI", "N"}},      {"second", {"SECOND", "SS", "S"}},
    {"millisecond", {"MILLISECOND", "MS"}},
};

// The types of the computed columns of the views made here.
const char kTablaDeTipos[] = "CREATE TABLE IF NOT EXISTS ss_tipos (objeto TEXT COLLATE NOCASE, columna TEXT COLLATE NOCASE, "
                             "tipo TEXT, PRIMARY KEY (objeto, columna))";

QString ParteDeFecha(const QString& escrita)
{
    QString p = escrita.trimmed();
    if (p.size() >= 2 && (p.front() == u'\'' || p.front() == u'"' || p.front() == u'['))
        p = p.mid(1, p.size() - 2);
    p = p.toUpper();
    for (const Parte& x : kPartes)
        for (const char* f : x.formas)
            if (p == QLatin1String(f))
                return QString::fromLatin1(x.nombre);
    throw ErrorTsql{155, QStringLiteral("'%1' is not a recognized datepart option.").arg(escrita)};
}

// The characters of a string literal's value.
int LargoLiteral(const QString& texto)
{
    const qsizetype ini = texto.indexOf(u'\'');
    return int(texto.mid(ini + 1, texto.size() - ini - 2).replace(QStringLiteral("''"), QStringLiteral("'")).size());
}

QString Acciones(const QString& alBorrar, const QString& alActualizar)
{
    return (alBorrar.isEmpty() ? QString() : QStringLiteral(" ON DELETE ") + alBorrar.toUpper())
           + (alActualizar.isEmpty() ? QString() : QStringLiteral(" ON UPDATE ") + alActualizar.toUpper());
}


// A column's type as SQLite keeps it, a text's collation with it.
QString Declarado(const Tipo& t)
{
    return DeclaracionDe(t) + (t.texto() ? QStringLiteral(" COLLATE ") + t.intercalacion : QString());
}

// A type's name as the helpers take it.
QString NombreTipo(const Tipo& t) { return Lit(NombreDe(t)); }

const char* NombreExacto(const Tipo& t)
{
    return t.clase == Clase::Money ? "'money'" : t.clase == Clase::SmallMoney ? "'smallmoney'" : "'numeric'";
}

// ------------------------------------------------------------------ scopes

struct ColumnaAmbito {
    QString nombre;
    Tipo tipo;
};

struct FuenteAmbito {
    QString alias; // what names it in the statement (the table's name when no alias)
    std::vector<ColumnaAmbito> columnas;
};

struct Ambito {
    const Ambito* padre = nullptr;
    std::vector<FuenteAmbito> fuentes;
    // Aliases of the select list, which ORDER BY may name.
    const std::vector<ColumnaAmbito>* alias = nullptr;
};

// Rows of one table, none merged: each row of the result is a row of it.
bool Simple(const Select& s)
{
    if (!s.con.empty() || !s.combinadas.empty() || s.distinto || !s.grupo.empty() || s.teniendo || s.desde.size() != 1
        || !s.desde[0].uniones.empty() || s.desde[0].fuente.clase != ClaseFuente::Tabla || !s.into.vacio()
        || !s.xml.isNull())
        return false;
    for (const ItemSelect& i : s.lista)
        if (EsAgregado(*i.expr))
            return false;
    return true;
}

class Traductor {
public:
    explicit Traductor(Esquema& e) : esquema_(e) {}

    Traduccion traducir(const Lote& lote)
    {
        for (const PSentencia& s : lote.sentencias)
            sentencia(*s);
        if (lote.sentencias.size() == 1 && lote.sentencias[0]->clase == ClaseSentencia::Select)
            clave(*lote.sentencias[0]->select);
        return std::move(r_);
    }

private:
    // -------------------------------------------------------------- schema

    // The columns of a table, a view or a CTE of the statement.
    const std::vector<ColumnaAmbito>* tabla(const QString& nombre)
    {
        const QString k = nombre.toLower();
        if (!disparos_.empty() && Logica(k))
            return tabla(disparos_.back().tabla);
        if (auto it = ctes_.constFind(k); it != ctes_.constEnd())
            return &it.value();
        if (auto it = tablas_.constFind(k); it != tablas_.constEnd())
            return &it.value();
        std::vector<ColumnaDeclarada> d;
        if (!esquema_.columnas(nombre, d))
            return nullptr;
        std::vector<ColumnaAmbito> c;
        for (const ColumnaDeclarada& x : d)
            c.push_back({x.nombre, TipoDeclarado(x.tipo)});
        identidades_[k] = QString();
        for (const ColumnaDeclarada& x : d)
            if (x.identidad)
                identidades_[k] = x.nombre;
        return &tablas_.insert(k, std::move(c)).value();
    }

    // ------------------------------------------------------------- columns

    Res columna(const Nombre& n, const Ambito& a)
    {
        const QString col = n.ultimo();
        const QString tab = n.partes.size() >= 2 ? n.partes[n.partes.size() - 2] : QString();
        for (const Ambito* x = &a; x; x = x->padre) {
            if (tab.isEmpty() && x->alias) {
                // ORDER BY names a column of the result first.
                for (const ColumnaAmbito& c : *x->alias)
                    if (c.nombre.compare(col, Qt::CaseInsensitive) == 0) {
                        usado_ = std::min(usado_, Profundidad(x));
                        return {Q(col), c.tipo};
                    }
            }
            const ColumnaAmbito* hallada = nullptr;
            for (const FuenteAmbito& f : x->fuentes) {
                if (!tab.isEmpty() && f.alias.compare(tab, Qt::CaseInsensitive) != 0)
                    continue;
                for (const ColumnaAmbito& c : f.columnas)
                    if (c.nombre.compare(col, Qt::CaseInsensitive) == 0) {
                        if (hallada)
                            throw ErrorTsql{209, QStringLiteral("Ambiguous column name '%1'.").arg(col)};
                        hallada = &c;
                        break;
                    }
            }
            if (hallada) {
                usado_ = std::min(usado_, Profundidad(x));
                return {tab.isEmpty() ? Q(col) : Q(tab) + u'.' + Q(col), hallada->tipo};
            }
        }
        // Every source's columns are known: the server refuses the name before running.
        if (a.fuentes.empty() && !a.padre && !a.alias)
            throw ErrorTsql{207, QStringLiteral("Invalid column name '%1'.").arg(col)};
        if (!a.fuentes.empty() || a.padre) {
            if (!tab.isEmpty()) {
                bool fuente = false;
                for (const Ambito* x = &a; x && !fuente; x = x->padre)
                    for (const FuenteAmbito& f : x->fuentes)
                        fuente = fuente || f.alias.compare(tab, Qt::CaseInsensitive) == 0;
                if (!fuente)
                    throw ErrorTsql{4104, QStringLiteral("The multi-part identifier \"%1\" could not be bound.").arg(n.partes.join(u'.'))};
            }
            throw ErrorTsql{207, QStringLiteral("Invalid column name '%1'.").arg(col)};
        }
        return {tab.isEmpty() ? Q(col) : Q(tab) + u'.' + Q(col), Tipo()};
    }

    // ---------------------------------------------------------- conversion

    enum class Modo { Implicita, Explicita, Asignacion };

    // v as type d. Explicit conversion (CAST) cuts texts silently;
    // assignment to a column refuses a text too long (8152).
    QString conv(const Res& v, const Tipo& d, Modo modo = Modo::Implicita, const QString& estilo = QString())
    {
        const Tipo& o = v.t;
        if (d.desconocido() || o.clase == Clase::Nulo)
            return v.sql;
        const QString est = estilo.isEmpty() ? QStringLiteral("NULL") : estilo;
        if (d.texto()) {
            if (o.texto() || o.desconocido()) {
                if (d.largo < 0 || (o.texto() && o.largo >= 0 && o.largo <= d.largo))
                    return v.sql;
                if (modo == Modo::Asignacion)
                    return QStringLiteral("ss_largo(%1, %2)").arg(v.sql).arg(d.largo);
                if (modo == Modo::Explicita)
                    return QStringLiteral("substr(%1, 1, %2)").arg(v.sql).arg(d.largo);
                return v.sql;
            }
            // A number of a file made elsewhere is written with the scale it has.
            const QString t = o.aproximado() && o.precision == 0
                                  ? (d.largo < 0 ? QStringLiteral("CAST(%1 AS TEXT)").arg(v.sql)
                                                 : QStringLiteral("substr(CAST(%1 AS TEXT), 1, %2)").arg(v.sql).arg(d.largo))
                                  : QStringLiteral("ss_texto(%1, %2, %3, %4)").arg(v.sql, NombreTipo(o), est).arg(d.largo);
            return modo == Modo::Asignacion && d.largo >= 0 ? QStringLiteral("ss_largo(%1, %2)").arg(t).arg(d.largo) : t;
        }
        if (d.numero() && o.fecha()) {
            // A datetime is days since 1900-01-01; the newer date types convert to no number.
            if (o.clase != Clase::DateTime && o.clase != Clase::SmallDateTime)
                throw ErrorTsql{529, QStringLiteral("Explicit conversion from data type %1 to %2 is not allowed.").arg(NombreDe(o), NombreDe(d))};
            if (d.entero())
                return QStringLiteral("ss_a_ent(ss_fecha_num(%1, 1), %2)").arg(v.sql, NombreTipo(d));
            return conv({QStringLiteral("ss_fecha_num(%1, 0)").arg(v.sql), Tipo::De(Clase::Float)}, d, modo);
        }
        if (d.entero()) {
            if (o.entero() && Precedencia(o.clase) <= Precedencia(d.clase))
                return v.sql;
            if (o.clase == Clase::Money || o.clase == Clase::SmallMoney)
                return QStringLiteral("ss_a_ent(%1, %2, %3)").arg(v.sql, NombreTipo(d), NombreTipo(o));
            return QStringLiteral("ss_a_ent(%1, %2)").arg(v.sql, NombreTipo(d));
        }
        if (d.exacto()) {
            if (o.entero() && d.precision - d.escala >= o.precision)
                return v.sql;
            if (o.exacto() && o.escala <= d.escala && o.precision - o.escala <= d.precision - d.escala)
                return v.sql;
            return QStringLiteral("ss_a_num(%1, %2, %3, %4)").arg(v.sql).arg(d.precision).arg(d.escala).arg(
                QLatin1String(NombreExacto(d)));
        }
        if (d.aproximado()) {
            if (o.numero())
                return o.exacto() || o.entero() ? QStringLiteral("CAST(%1 AS REAL)").arg(v.sql) : v.sql;
            return QStringLiteral("ss_convertir('float', %1, NULL)").arg(v.sql);
        }
        if (d.fecha()) {
            if (o.clase == d.clase)
                return v.sql;
            if (o.texto() && !estilo.isEmpty())
                return QStringLiteral("ss_convertir(%1, %2, %3)").arg(NombreTipo(d), v.sql, estilo);
            // A text read as the server reads it under the session's date format.
            return QStringLiteral("ss_fecha(%1, %2, %3)").arg(v.sql, NombreTipo(d), o.texto() || o.desconocido() ? QStringLiteral("1") : QStringLiteral("0"));
        }
        if (d.clase == Clase::UniqueIdentifier || d.clase == Clase::Binary || d.clase == Clase::VarBinary)
            return QStringLiteral("ss_convertir(%1, %2, %3)").arg(NombreTipo(d), v.sql, est);
        return v.sql;
    }

    // ---------------------------------------------------------- operators

    Res aritmetica(const QString& op, Res a, Res b)
    {
        const Tipo ta = a.t, tb = b.t;
        if (ta.desconocido() || tb.desconocido()) {
            // Decided by the values at run time, as far as they tell.
            if (op == u"+")
                return {QStringLiteral("ss_suma(%1, %2)").arg(a.sql, b.sql), Tipo()};
            return {Par(a.sql + u' ' + op + u' ' + b.sql), Tipo()};
        }
        if (ta.clase == Clase::Nulo || tb.clase == Clase::Nulo)
            return {QStringLiteral("NULL"), ta.clase == Clase::Nulo ? tb : ta};
        if (op == u"+" && ta.texto() && tb.texto()) {
            Tipo r = Dominante(ta, tb);
            r.largo = ta.largo < 0 || tb.largo < 0 ? -1 : std::min(ta.largo + tb.largo, 8000);
            if (a.pliegue == Pliegue::Texto)
                return {a.sql.chopped(1) + QStringLiteral(" || ") + b.sql + u')', r, 0, Pliegue::Texto};
            return {Par(a.sql + QStringLiteral(" || ") + b.sql), r, 0, Pliegue::Texto};
        }
        if (ta.fecha() || tb.fecha())
            return fechas(op, a, b);
        const Tipo d = Dominante(ta, tb);
        const char o = op.at(0).toLatin1();
        if (d.aproximado()) {
            const QString x = conv(a, d), y = conv(b, d);
            if (o == '/' || o == '%')
                return {QStringLiteral("ss_flt('%1', %2, %3)").arg(op, x, y), d};
            return {Par(x + u' ' + op + u' ' + y), d};
        }
        if (d.exacto()) {
            const bool dinero = (ta.clase == Clase::Money || ta.clase == Clase::SmallMoney || ta.entero())
                                && (tb.clase == Clase::Money || tb.clase == Clase::SmallMoney || tb.entero());
            if (o == '&' || o == '|' || o == '^')
                throw ErrorTsql{402, QStringLiteral("The data types %1 and %2 are incompatible in the '%3' operator.")
                                         .arg(NombreDe(ta), NombreDe(tb), op)};
            // An integer constant takes only the digits it has.
            const Tipo ca = ta.texto() ? d : (a.digitos ? Tipo::Decimal(a.digitos, 0) : ta);
            const Tipo cb = tb.texto() ? d : (b.digitos ? Tipo::Decimal(b.digitos, 0) : tb);
            const Tipo r = dinero ? Tipo::De(Clase::Money) : ResultadoDecimal(o, ca, cb);
            const QString paso = QStringLiteral("%1, %2, %3, %4, %5").arg(conv(b, cb), QString::number(cb.escala),
                                                                         QString::number(r.precision), QString::number(r.escala),
                                                                         QLatin1String(NombreExacto(r)));
            // As integers' chains: the left operand is the exact result of
            // the steps before, of its own type (up to 127 arguments).
            if (a.pliegue == Pliegue::Exacto && a.pasos < 19)
                return {a.sql.chopped(1) + QStringLiteral(", '%1', %2)").arg(op, paso), r, 0, Pliegue::Exacto, a.pasos + 1};
            return {QStringLiteral("ss_num('%1', %2, %3, %4)").arg(op, conv(a, ca), QString::number(ca.escala), paso), r, 0,
                    Pliegue::Exacto, 1};
        }
        if (d.entero()) {
            Tipo r = d.clase == Clase::Bit ? Tipo::De(Clase::Int) : d;
            if (ta.texto() || tb.texto())
                r = Tipo::De(Clase::Int);
            // The left operand, a chain's result, is already of an integer
            // type no wider than r: its steps go on in the same call (SQLite
            // takes up to 127 arguments).
            if (a.pliegue == Pliegue::Entero && a.pasos < 40)
                return {a.sql.chopped(1) + QStringLiteral(", '%1', %2, %3)").arg(op, conv(b, r), NombreTipo(r)), r, 0,
                        Pliegue::Entero, a.pasos + 1};
            return {QStringLiteral("ss_ent('%1', %2, %3, %4)").arg(op, conv(a, r), conv(b, r), NombreTipo(r)), r, 0,
                    Pliegue::Entero, 1};
        }
        throw ErrorTsql{8117, QStringLiteral("Operand data type %1 is invalid for %2 operator.")
                                  .arg(NombreDe(d.clase == ta.clase ? ta : tb), NombreOperador(op))};
    }

    static QString NombreOperador(const QString& op)
    {
        if (op == u"+")
            return QStringLiteral("add");
        if (op == u"-")
            return QStringLiteral("subtract");
        if (op == u"*")
            return QStringLiteral("multiply");
        if (op == u"/")
            return QStringLiteral("divide");
        return QStringLiteral("modulo");
    }

    // Dates: a number of days added or taken; a date minus a date is the
    // datetime that far from 1900-01-01.
    Res fechas(const QString& op, Res a, Res b)
    {
        const Tipo dt = Tipo::De(Clase::DateTime);
        auto choque = [&](const Tipo& x, const Tipo& y) {
            return ErrorTsql{206, QStringLiteral("Operand type clash: %1 is incompatible with %2").arg(NombreDe(x), NombreDe(y))};
        };
        for (const Tipo* t : {&a.t, &b.t})
            if (t->clase == Clase::Fecha || t->clase == Clase::Hora || t->clase == Clase::DateTime2) {
                // The newer date types take no arithmetic at all.
                if (a.t.clase == b.t.clase || (a.t.fecha() && b.t.fecha()))
                    throw ErrorTsql{8117, QStringLiteral("Operand data type %1 is invalid for %2 operator.").arg(NombreDe(*t), NombreOperador(op))};
                throw choque(a.t, b.t);
            }
        if (op != u"+" && op != u"-")
            throw ErrorTsql{8117, QStringLiteral("Operand data type datetime is invalid for %1 operator.").arg(NombreOperador(op))};
        if (a.t.fecha() && b.t.fecha()) {
            if (op == u"+")
                throw NoSoportado(QStringLiteral("datetime + datetime"));
            return {QStringLiteral("ss_fecha_resta(%1, %2)").arg(a.sql, b.sql), dt};
        }
        const Res& f = a.t.fecha() ? a : b;
        const Res& n = a.t.fecha() ? b : a;
        if (n.t.texto()) {
            const QString x = conv(n, dt);
            if (op == u"+")
                throw NoSoportado(QStringLiteral("datetime + datetime"));
            return {a.t.fecha() ? QStringLiteral("ss_fecha_resta(%1, %2)").arg(a.sql, x)
                                : QStringLiteral("ss_fecha_resta(%1, %2)").arg(x, b.sql),
                    dt};
        }
        if (!n.t.numero())
            throw choque(a.t, b.t);
        if (op == u"-" && !a.t.fecha())
            return {QStringLiteral("ss_fecha_resta(ss_fecha(%1, 'datetime'), %2)").arg(a.sql, b.sql), dt};
        const QString dias = op == u"-" ? QStringLiteral("-(%1)").arg(n.sql) : n.sql;
        return {QStringLiteral("ss_fecha_mas(%1, %2)").arg(f.sql, dias), f.t.clase == Clase::SmallDateTime ? f.t : dt};
    }

    // The collation of a comparison of two texts.
    QString intercalacion(const Tipo& a, const Tipo& b, const QString& op)
    {
        bool conflicto = false;
        const QString c = IntercalacionComun(a, b, &conflicto);
        if (conflicto || c.isEmpty())
            throw ErrorTsql{468, QStringLiteral("Cannot resolve the collation conflict in the %1 operation.").arg(op)};
        return c;
    }

    // Both operands of a comparison in their common type; texts get the
    // collation they compare under.
    std::pair<QString, QString> comunes(Res& a, Res& b, QString* regla = nullptr)
    {
        if (a.t.desconocido() || b.t.desconocido()) {
            const Tipo& k = a.t.desconocido() ? b.t : a.t;
            if (k.texto() && regla)
                *regla = k.intercalacion;
            return {a.sql, b.sql};
        }
        Tipo d = Dominante(a.t, b.t);
        if (d.texto()) {
            if (regla)
                *regla = intercalacion(a.t, b.t, QStringLiteral("equal to"));
            return {a.sql, b.sql};
        }
        // Numbers compare as numbers in SQLite whatever their storage: only a
        // text meeting a number or a date is converted (and an index still serves).
        if (a.t.numero() && b.t.numero())
            return {a.sql, b.sql};
        if (d.fecha() && a.t.fecha() && b.t.fecha() && a.t.clase != b.t.clase)
            d = d.clase == Clase::DateTime2 ? d : Tipo::De(Clase::DateTime);
        return {conv(a, d), conv(b, d)};
    }

    Res comparacion(QString op, Res a, Res b)
    {
        if (op == u"!=")
            op = QStringLiteral("<>");
        else if (op == u"!<")
            op = QStringLiteral(">=");
        else if (op == u"!>")
            op = QStringLiteral("<=");
        QString regla;
        auto [x, y] = comunes(a, b, &regla);
        if (!regla.isEmpty())
            y = Par(y) + QStringLiteral(" COLLATE ") + regla;
        return {x + u' ' + op + u' ' + y, Tipo::De(Clase::Bit)};
    }

    // --------------------------------------------------------- expressions

    Res expr(Expr& e, const Ambito& a)
    {
        // Chains are walked without recursing (Binario); what nests here is
        // written nesting, a prefix operator's included, which the parser
        // does not bound.
        struct Nivel {
            int& n;
            explicit Nivel(int& x) : n(x)
            {
                if (++n > kProfundidadExpresion)
                    throw ErrorTsql{191, QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into smaller queries.")};
            }
            ~Nivel() { --n; }
        } nivel(profundidad_);
        Res r = exprSinTipo(e, a);
        e.tipo = r.t;
        escrita_.insert(&e, r.sql);
        return r;
    }

    std::vector<Res> args(Expr& e, const Ambito& a)
    {
        std::vector<Res> r;
        for (PExpr& h : e.hijos)
            r.push_back(expr(*h, a));
        return r;
    }

    Res literal(const Expr& e)
    {
        const QString& t = e.texto;
        if (t.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
            return {QStringLiteral("NULL"), Tipo::De(Clase::Nulo)};
        if (t.startsWith(u'N') || t.startsWith(u'n'))
            return {t.mid(1), Tipo::Texto(Clase::NVarChar, std::max(1, LargoLiteral(t)), {}, Origen::Defecto)};
        if (t.startsWith(u'\''))
            return {t, Tipo::Texto(Clase::VarChar, std::max(1, LargoLiteral(t)), {}, Origen::Defecto)};
        if (t.startsWith(u'$'))
            return {t.mid(1).isEmpty() ? QStringLiteral("0") : t.mid(1), Tipo::De(Clase::Money)};
        if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
            Tipo b = Tipo::De(Clase::VarBinary);
            b.largo = int(std::max<qsizetype>(1, (t.size() - 1) / 2));
            return {QStringLiteral("X'%1'").arg(t.mid(2).size() % 2 ? u'0' + t.mid(2) : t.mid(2)), b};
        }
        if (t.contains(u'e') || t.contains(u'E'))
            return {t, Tipo::De(Clase::Float)};
        const qsizetype punto = t.indexOf(u'.');
        if (punto < 0) {
            bool ok = false;
            const qlonglong v = t.toLongLong(&ok);
            if (ok && v <= 2147483647LL) {
                QString d = t;
                while (d.size() > 1 && d.startsWith(u'0'))
                    d.remove(0, 1);
                return {t, Tipo::De(Clase::Int), int(d.size())};
            }
            QString digitos = t;
            while (digitos.size() > 1 && digitos.startsWith(u'0'))
                digitos.remove(0, 1);
            if (digitos.size() > 38)
                throw ErrorTsql{1007, QStringLiteral("The number '%1' is out of the range for numeric representation (maximum precision 38).").arg(t)};
            return {t, Tipo::Decimal(int(digitos.size()), 0)};
        }
        QString entera = t.left(punto);
        while (entera.startsWith(u'0'))
            entera.remove(0, 1);
        const int s = int(t.size() - punto - 1);
        const int p = std::max(int(entera.size()) + s, 1);
        if (p > 38)
            throw ErrorTsql{1007, QStringLiteral("The number '%1' is out of the range for numeric representation (maximum precision 38).").arg(t)};
        return {t, Tipo::Decimal(std::max(p, s), s)};
    }

    Res exprSinTipo(Expr& e, const Ambito& a)
    {
        switch (e.clase) {
        case ClaseExpr::Literal: return literal(e);
        case ClaseExpr::Columna: return columna(e.nombre, a);
        case ClaseExpr::Variable:
            if (e.texto == u"?") {
                ++parametros_;
                return {QStringLiteral("?"), Tipo()};
            }
            return {QStringLiteral("ss_var(%1)").arg(nombreVariable(e.texto)), variable(e.texto)};
        case ClaseExpr::Global: {
            const QString g = e.texto.toUpper();
            if (g == u"@@IDENTITY")
                return {QStringLiteral("ss_identity()"), Tipo::Decimal(38, 0)};
            if (g == u"@@ROWCOUNT")
                return {QStringLiteral("ss_rowcount()"), Tipo::De(Clase::Int)};
            if (g == u"@@TRANCOUNT")
                return {QStringLiteral("ss_trancount()"), Tipo::De(Clase::Int)};
            if (g == u"@@ERROR")
                return {QStringLiteral("ss_ultimo_error()"), Tipo::De(Clase::Int)};
            if (g == u"@@SPID")
                return {QStringLiteral("ss_spid()"), Tipo::De(Clase::SmallInt)};
            if (g == u"@@DATEFIRST")
                return {QStringLiteral("ss_datefirst()"), Tipo::De(Clase::TinyInt)};
            if (g == u"@@LANGUAGE")
                return {QStringLiteral("ss_language()"), Tipo::Texto(Clase::NVarChar, 128, {}, Origen::Defecto)};
            if (g == u"@@VERSION")
                return {QStringLiteral("ss_version()"), Tipo::Texto(Clase::NVarChar, 300, {}, Origen::Defecto)};
            throw NoSoportado(g);
        }
        case ClaseExpr::Unario: {
            Res x = expr(*e.hijos[0], a);
            const QString op = e.texto.toUpper();
            if (op == u"NOT")
                return {QStringLiteral("NOT ") + Par(x.sql), Tipo::De(Clase::Bit)};
            if (op == u"+")
                return x;
            if (x.t.texto())
                throw ErrorTsql{8117, QStringLiteral("Operand data type %1 is invalid for %2 operator.")
                                          .arg(NombreDe(x.t), op == u"-" ? QStringLiteral("minus") : QStringLiteral("~"))};
            if (op == u"-" && x.t.entero())
                return {QStringLiteral("ss_ent('-', 0, %1, %2)").arg(x.sql, NombreTipo(x.t)), x.t};
            return {op + Par(x.sql), x.t};
        }
        case ClaseExpr::Binario: {
            // A chain (a + b + c ..., x OR y OR z ...) is as deep as it is
            // long: walked down its left side, then written left to right.
            std::vector<Expr*> espina;
            Expr* izquierda = &e;
            while (izquierda->clase == ClaseExpr::Binario) {
                if (espina.size() >= kEslabonesMaximos)
                    throw ErrorTsql{191, QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into smaller queries.")};
                espina.push_back(izquierda);
                izquierda = izquierda->hijos[0].get();
            }
            Res r = expr(*izquierda, a);
            for (auto it = espina.rbegin(); it != espina.rend(); ++it) {
                Expr& n = **it;
                r = binario(n.texto.toUpper(), r, expr(*n.hijos[1], a));
                n.tipo = r.t;
                // Kept for GROUP BY's comparisons, which never meet long
                // chains: every prefix of a long one kept would be quadratic.
                if (espina.size() <= 32)
                    escrita_.insert(&n, r.sql);
            }
            return r;
        }
        case ClaseExpr::Parentesis: {
            Res x = expr(*e.hijos[0], a);
            return {Par(x.sql), x.t, x.digitos};
        }
        case ClaseExpr::Intercalar: {
            Res x = expr(*e.hijos[0], a);
            if (!x.t.texto() && !x.t.desconocido())
                throw ErrorTsql{447, QStringLiteral("Expression type %1 is invalid for COLLATE clause.").arg(NombreDe(x.t))};
            const QString regla = ReglaDeIntercalacion(e.texto);
            if (!x.t.desconocido()) {
                x.t.intercalacion = regla;
                x.t.origen = Origen::Explicita;
            }
            return {Par(x.sql) + QStringLiteral(" COLLATE ") + regla, x.t};
        }
        case ClaseExpr::EsNulo: {
            Res x = expr(*e.hijos[0], a);
            return {Par(x.sql) + (e.negado ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")), Tipo::De(Clase::Bit)};
        }
        case ClaseExpr::Como: return como(e, a);
        case ClaseExpr::Entre: {
            // Each operand written once: a nested one would double at every level.
            Res x = expr(*e.hijos[0], a), b = expr(*e.hijos[1], a), c = expr(*e.hijos[2], a);
            const Tipo d = Dominante(Dominante(x.t, b.t), c.t);
            QString s;
            if (d.texto() || d.desconocido()) {
                QString regla;
                if (d.texto())
                    regla = intercalacion(Dominante(x.t, b.t), c.t, QStringLiteral("between"));
                s = Par(x.sql) + (regla.isEmpty() ? QString() : QStringLiteral(" COLLATE ") + regla) + QStringLiteral(" BETWEEN ")
                    + b.sql + QStringLiteral(" AND ") + c.sql;
            } else {
                const Tipo k = d.fecha() && d.clase == Clase::Fecha && (x.t.clase != d.clase || b.t.clase != d.clase || c.t.clase != d.clase)
                                   ? Tipo::De(Clase::DateTime)
                                   : d;
                s = Par(conv(x, k)) + QStringLiteral(" BETWEEN ") + conv(b, k) + QStringLiteral(" AND ") + conv(c, k);
            }
            return {e.negado ? QStringLiteral("NOT (%1)").arg(s) : Par(s), Tipo::De(Clase::Bit)};
        }
        case ClaseExpr::En: return en(e, a);
        case ClaseExpr::Cuantificada: return cuantificada(e, a);
        case ClaseExpr::Existe: {
            std::vector<Tipo> t;
            const QString s = subconsulta(*e.sub, a, &t);
            return {(e.negado ? QStringLiteral("NOT EXISTS ") : QStringLiteral("EXISTS ")) + Par(s), Tipo::De(Clase::Bit)};
        }
        case ClaseExpr::Subconsulta: {
            // A value: more than one row is the server's error 512.
            Select& q = *e.sub;
            if (!q.xml.isNull())
                return {Par(xml(q, &a, valorXml(e))), TipoXml()};
            if (!e.texto.isEmpty())
                throw NoSoportado(QStringLiteral("The XML value() method of a value not XML"));
            std::vector<Tipo> t;
            const bool unaFila = q.combinadas.empty() && q.grupo.empty() && q.lista.size() == 1 && Agregada(*q.lista[0].expr);
            if (unaFila)
                return {Par(subconsulta(q, a, &t)), t.empty() ? Tipo() : t[0]};
            if (q.combinadas.empty() && q.grupo.empty() && !q.top && q.lista.size() == 1 && q.con.empty()) {
                Opciones op;
                op.unico = true;
                const QString s = subconsulta(q, a, &t, op);
                return {Par(s), t.empty() ? Tipo() : t[0]};
            }
            const QString s = subconsulta(q, a, &t);
            return {QStringLiteral("(WITH ss_q(ss_v) AS (%1) SELECT ss_unico(ss_v) FROM ss_q)").arg(s), t.empty() ? Tipo() : t[0]};
        }
        case ClaseExpr::Caso: return caso(e, a);
        case ClaseExpr::Conversion: return conversion(e, a);
        case ClaseExpr::Funcion: return funcion(e, a);
        case ClaseExpr::Estrella:
            return {e.nombre.vacio() ? QStringLiteral("*") : Q(e.nombre.ultimo()) + QStringLiteral(".*"), Tipo()};
        case ClaseExpr::ParteFecha: return {Lit(ParteDeFecha(e.texto)), Tipo()};
        case ClaseExpr::Defecto: throw NoSoportado(QStringLiteral("DEFAULT as a value"));
        }
        return {};
    }

    // x op ANY / ALL (subquery), in three-valued logic: ANY is true when some
    // comparison is, false when none is unknown (an empty set too); ALL is
    // false when some comparison is, true when none is unknown.
    Res cuantificada(Expr& e, const Ambito& a)
    {
        const qsizetype blanco = e.texto.indexOf(u' ');
        const QString op = e.texto.left(blanco);
        const bool todas = e.texto.mid(blanco + 1) == u"ALL";
        Res x = expr(*e.hijos[0], a);
        std::vector<Tipo> t;
        const QString s = select(*e.sub, &a, &t);
        if (t.size() != 1)
            throw ErrorTsql{116, QStringLiteral("Only one expression can be specified in the select list when the subquery is not introduced with EXISTS.")};
        const QString c = comparacion(op, x, {QStringLiteral("ss_v"), t[0]}).sql;
        auto hay = [&](const QString& condicion) {
            return QStringLiteral("EXISTS (WITH ss_q(ss_v) AS (") + s + QStringLiteral(") SELECT 1 FROM ss_q WHERE ") + condicion + u')';
        };
        return {QStringLiteral("CASE WHEN %1 THEN %2 WHEN %3 THEN NULL ELSE %4 END")
                    .arg(hay(todas ? QStringLiteral("NOT ") + Par(c) : Par(c)), todas ? QStringLiteral("0") : QStringLiteral("1"),
                         hay(Par(c) + QStringLiteral(" IS NULL")), todas ? QStringLiteral("1") : QStringLiteral("0")),
                Tipo::De(Clase::Bit)};
    }

    Res binario(const QString& op, const Res& x, const Res& y)
    {
        if (op == u"AND" || op == u"OR")
            return {Par(x.sql) + u' ' + op + u' ' + Par(y.sql), Tipo::De(Clase::Bit)};
        if (op == u"=" || op == u"<>" || op == u"!=" || op == u"<" || op == u">" || op == u"<=" || op == u">="
            || op == u"!<" || op == u"!>")
            return comparacion(op, x, y);
        return aritmetica(op, x, y);
    }

    Res como(Expr& e, const Ambito& a)
    {
        Res x = expr(*e.hijos[0], a), p = expr(*e.hijos[1], a);
        std::optional<Res> esc;
        if (e.hijos.size() > 2)
            esc = expr(*e.hijos[2], a);
        // LIKE compares texts: a number or a date is read as its text.
        const Tipo texto = Tipo::Texto(Clase::VarChar, -1, {}, Origen::Defecto);
        const QString xs = x.t.texto() || x.t.desconocido() ? x.sql : conv(x, texto);
        const QString ps = p.t.texto() || p.t.desconocido() ? p.sql : conv(p, texto);
        QString regla = QStringLiteral("CI_AS");
        if (x.t.texto() && p.t.texto())
            regla = intercalacion(x.t, p.t, QStringLiteral("like"));
        else if (x.t.texto())
            regla = x.t.intercalacion;
        QString s;
        if (regla == u"CI_AS")
            s = Par(xs) + QStringLiteral(" LIKE ") + Par(ps) + (esc ? QStringLiteral(" ESCAPE ") + esc->sql : QString());
        else
            s = QStringLiteral("ss_like(%1, %2, %3, '%4')").arg(xs, ps, esc ? esc->sql : QStringLiteral("NULL"), regla);
        return {e.negado ? QStringLiteral("NOT (%1)").arg(s) : s, Tipo::De(Clase::Bit)};
    }

    Res en(Expr& e, const Ambito& a)
    {
        Res x = expr(*e.hijos[0], a);
        QString dentro;
        Tipo comun = x.t;
        std::vector<Res> lista;
        if (e.sub) {
            std::vector<Tipo> t;
            dentro = subconsulta(*e.sub, a, &t);
            if (!t.empty())
                comun = Dominante(x.t, t[0]);
        } else {
            for (size_t i = 1; i < e.hijos.size(); ++i) {
                lista.push_back(expr(*e.hijos[i], a));
                comun = Dominante(comun, lista.back().t);
            }
            QStringList partes;
            for (const Res& r : lista)
                partes << (comun.texto() ? r.sql : conv(r, comun));
            dentro = partes.join(QStringLiteral(", "));
        }
        QString izq = comun.texto() || comun.desconocido() ? x.sql : conv(x, comun);
        if (comun.texto()) {
            // Literals give way to the column's collation; two columns meet by precedence.
            Tipo k = x.t;
            for (const Res& r : lista)
                if (r.t.texto())
                    k.intercalacion = IntercalacionComun(k, r.t), k.origen = std::max(k.origen, r.t.origen);
            izq = Par(izq) + QStringLiteral(" COLLATE ") + (k.intercalacion.isEmpty() ? QStringLiteral("CI_AS") : k.intercalacion);
        }
        return {izq + (e.negado ? QStringLiteral(" NOT IN ") : QStringLiteral(" IN ")) + Par(dentro), Tipo::De(Clase::Bit)};
    }

    Res caso(Expr& e, const Ambito& a)
    {
        std::optional<Res> op;
        if (e.operando)
            op = expr(*e.operando, a);
        std::vector<Res> cuando, entonces;
        for (size_t i = 0; i + 1 < e.hijos.size(); i += 2) {
            cuando.push_back(expr(*e.hijos[i], a));
            entonces.push_back(expr(*e.hijos[i + 1], a));
        }
        std::optional<Res> sino;
        if (e.sino)
            sino = expr(*e.sino, a);
        Tipo t = Tipo::De(Clase::Nulo);
        for (const Res& r : entonces)
            t = Dominante(t, r.t);
        if (sino)
            t = Dominante(t, sino->t);
        QString s = QStringLiteral("CASE");
        Tipo k;
        if (op) {
            // The operand written once, compared under the type all WHENs share.
            k = op->t;
            for (const Res& w : cuando)
                k = Dominante(k, w.t);
            if (k.texto()) {
                QString regla = op->t.texto() ? op->t.intercalacion : k.intercalacion;
                for (const Res& w : cuando)
                    if (w.t.texto())
                        regla = intercalacion(op->t.texto() ? op->t : w.t, w.t, QStringLiteral("equal to"));
                s += u' ' + Par(op->sql) + QStringLiteral(" COLLATE ") + regla;
            } else {
                s += u' ' + Par(conv(*op, k));
            }
        }
        for (size_t i = 0; i < cuando.size(); ++i) {
            const QString w = op && !k.texto() ? conv(cuando[i], k) : cuando[i].sql;
            s += QStringLiteral(" WHEN ") + w + QStringLiteral(" THEN ") + conv(entonces[i], t);
        }
        if (sino)
            s += QStringLiteral(" ELSE ") + conv(*sino, t);
        return {s + QStringLiteral(" END"), t.clase == Clase::Nulo ? Tipo::De(Clase::Int) : t};
    }

    Res conversion(Expr& e, const Ambito& a)
    {
        Res x = expr(*e.hijos[0], a);
        QString estilo;
        if (e.hijos.size() > 1)
            estilo = expr(*e.hijos[1], a).sql;
        Tipo d = TipoDeEscrito(e.destino);
        if (d.desconocido())
            throw ErrorTsql{243, QStringLiteral("Type %1 is not a defined system type.").arg(e.destino.nombre)};
        if (d.texto() && e.destino.a < 0 && !e.destino.max)
            d.largo = 30; // CAST(x AS varchar) is varchar(30)
        if (d.texto()) {
            d.origen = Origen::Defecto;
            d.intercalacion = x.t.texto() ? x.t.intercalacion : QStringLiteral("CI_AS");
        }
        if (e.texto.startsWith(QLatin1String("TRY_"), Qt::CaseInsensitive))
            return intentar(x, d, estilo);
        if (x.t.desconocido())
            return {QStringLiteral("ss_convertir(%1, %2, %3)").arg(NombreTipo(d), x.sql, estilo.isEmpty() ? QStringLiteral("NULL") : estilo), d};
        return {conv(x, d, Modo::Explicita, estilo), d};
    }

    // ---------------------------------------------------------- functions

    Res funcion(Expr& e, const Ambito& a)
    {
        const QString f = e.texto.toUpper();
        const int n = int(e.hijos.size());
        auto aridad = [&](int minimo, int maximo) {
            if (n < minimo || n > maximo)
                throw ErrorTsql{174, QStringLiteral("The %1 function requires %2 argument(s).").arg(f.toLower()).arg(minimo)};
        };
        if (e.ventana)
            return ventana(e, a, f);
        if (f == u"UPDATE")
            return actualizada(e);
        if (f == u"COUNT" || f == u"COUNT_BIG") {
            const Tipo t = Tipo::De(f == u"COUNT" ? Clase::Int : Clase::BigInt);
            if (e.estrella)
                return {QStringLiteral("count(*)"), t};
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            QString s = x.sql;
            if (x.t.texto())
                s = Par(s) + QStringLiteral(" COLLATE ") + x.t.intercalacion;
            return {QStringLiteral("count(%1%2)").arg(e.distinto ? QStringLiteral("DISTINCT ") : QString(), s), t};
        }
        if (f == u"SUM" || f == u"AVG" || f == u"MIN" || f == u"MAX") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            const QString d = e.distinto ? QStringLiteral("DISTINCT ") : QString();
            if (f == u"MIN" || f == u"MAX") {
                QString s = x.sql;
                if (x.t.texto())
                    s = Par(s) + QStringLiteral(" COLLATE ") + x.t.intercalacion;
                return {QStringLiteral("%1(%2%3)").arg(f.toLower(), d, s), x.t};
            }
            if (x.t.texto() || x.t.fecha())
                throw ErrorTsql{8117, QStringLiteral("Operand data type %1 is invalid for %2 operator.")
                                          .arg(NombreDe(x.t), f == u"SUM" ? QStringLiteral("sum") : QStringLiteral("avg"))};
            const QString base = QStringLiteral("%1(%2%3)").arg(f == u"SUM" ? QStringLiteral("sum") : QStringLiteral("avg"), d, x.sql);
            if (x.t.entero()) {
                const Tipo t = Tipo::De(x.t.clase == Clase::BigInt ? Clase::BigInt : Clase::Int);
                if (f == u"SUM")
                    return {QStringLiteral("ss_ent('+', 0, %1, %2)").arg(base, NombreTipo(t)), t};
                // The average of integers is an integer, cut toward zero.
                return {QStringLiteral("CAST(%1 AS INTEGER)").arg(base), t};
            }
            if (x.t.exacto()) {
                Tipo t = x.t.clase == Clase::Decimal ? Tipo::Decimal(38, f == u"AVG" ? std::max(x.t.escala, 6) : x.t.escala)
                                                     : Tipo::De(Clase::Money);
                return {QStringLiteral("ss_a_num(%1, %2, %3, %4)").arg(base).arg(t.precision).arg(t.escala).arg(
                            QLatin1String(NombreExacto(t))),
                        t};
            }
            return {base, x.t.desconocido() ? Tipo() : Tipo::De(Clase::Float)};
        }
        if (f == u"ISNULL") {
            aridad(2, 2);
            // ISNULL(ISNULL(x, a), b)... is one coalesce, lazy as ifnull:
            // SQLite's parser takes about 30 nested calls, the server more.
            const std::vector<Expr*> cadena = Cadena(e, 2);
            Res x = expr(*cadena.back()->hijos[0], a);
            Tipo t = x.t;
            QStringList partes{x.sql};
            for (auto it = cadena.rbegin(); it != cadena.rend(); ++it) {
                Res y = expr(*(*it)->hijos[1], a);
                if (t.clase == Clase::Nulo)
                    t = y.t.clase == Clase::Nulo ? Tipo::De(Clase::Int) : y.t;
                partes << conv(y, t, Modo::Explicita);
                (*it)->tipo = t;
            }
            // SQLite takes at most 127 arguments in a call.
            QString r = QStringLiteral("coalesce(%1)").arg(partes.mid(0, 100).join(QStringLiteral(", ")));
            for (qsizetype i = 100; i < partes.size(); i += 100)
                r = QStringLiteral("coalesce(%1, %2)").arg(r, partes.mid(i, 100).join(QStringLiteral(", ")));
            return {r, t};
        }
        if (f == u"COALESCE") {
            if (n < 2)
                throw ErrorTsql{189, QStringLiteral("The coalesce function requires 2 to 254 arguments.")};
            std::vector<Res> xs = args(e, a);
            Tipo t = Tipo::De(Clase::Nulo);
            for (const Res& r : xs)
                t = Dominante(t, r.t);
            QStringList p;
            for (const Res& r : xs)
                p << conv(r, t);
            return {QStringLiteral("coalesce(%1)").arg(p.join(QStringLiteral(", "))), t};
        }
        if (f == u"NULLIF") {
            aridad(2, 2);
            Res x = expr(*e.hijos[0], a), y = expr(*e.hijos[1], a);
            QString regla;
            auto [p, q] = comunes(x, y, &regla);
            if (!regla.isEmpty())
                q = Par(q) + QStringLiteral(" COLLATE ") + regla;
            return {QStringLiteral("nullif(%1, %2)").arg(p, q), x.t};
        }
        if (f == u"LEN" || f == u"DATALENGTH") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            // Of a max type, a bigint.
            const bool max = x.t.largo < 0
                             && (x.t.clase == Clase::VarChar || x.t.clase == Clase::NVarChar || x.t.clase == Clase::VarBinary);
            const Tipo t = Tipo::De(max ? Clase::BigInt : Clase::Int);
            if (f == u"DATALENGTH") {
                if (x.t.texto() || x.t.desconocido())
                    return {QStringLiteral("ss_datalength(%1, %2)").arg(x.sql, x.t.unicode() ? QStringLiteral("1") : QStringLiteral("0")), t};
                const int bytes = x.t.clase == Clase::BigInt || x.t.clase == Clase::Money || x.t.clase == Clase::Float
                                          || x.t.clase == Clase::DateTime
                                      ? 8
                                  : x.t.clase == Clase::SmallInt ? 2
                                  : x.t.clase == Clase::TinyInt || x.t.clase == Clase::Bit ? 1
                                  : x.t.clase == Clase::Decimal ? (x.t.precision <= 9 ? 5 : x.t.precision <= 19 ? 9 : x.t.precision <= 28 ? 13 : 17)
                                  : x.t.clase == Clase::Fecha ? 3
                                                              : 4;
                return {QStringLiteral("CASE WHEN %1 IS NULL THEN NULL ELSE %2 END").arg(x.sql).arg(bytes), t};
            }
            const QString s = x.t.texto() || x.t.desconocido() ? x.sql : conv(x, Tipo::Texto(Clase::VarChar, -1, {}, Origen::Defecto));
            return {QStringLiteral("ss_len(%1)").arg(s), t};
        }
        if (f == u"SUBSTRING" || f == u"LEFT" || f == u"RIGHT") {
            aridad(f == u"SUBSTRING" ? 3 : 2, f == u"SUBSTRING" ? 3 : 2);
            std::vector<Res> x = args(e, a);
            Tipo t = texto(x[0].t);
            const QString s = aTexto(x[0]);
            if (f == u"SUBSTRING")
                return {QStringLiteral("ss_substring(%1, %2, %3)").arg(s, conv(x[1], Tipo::De(Clase::BigInt)), conv(x[2], Tipo::De(Clase::BigInt))), t};
            if (f == u"LEFT")
                return {QStringLiteral("ss_substring(%1, 1, %2)").arg(s, conv(x[1], Tipo::De(Clase::BigInt))), t};
            return {QStringLiteral("ss_right(%1, %2)").arg(s, conv(x[1], Tipo::De(Clase::BigInt))), t};
        }
        if (f == u"UPPER" || f == u"LOWER" || f == u"LTRIM" || f == u"RTRIM" || f == u"TRIM") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            const Tipo t = texto(x.t);
            const QString s = aTexto(x);
            if (f == u"UPPER" || f == u"LOWER")
                return {QStringLiteral("ss_%1(%2)").arg(f.toLower(), s), t};
            return {QStringLiteral("%1(%2, ' ')").arg(f.toLower(), s), t};
        }
        if (f == u"REPLACE") {
            aridad(3, 3);
            // REPLACE(REPLACE(x, a, b), c, d)... is one call that replaces in
            // order, for the same reason as ISNULL's chain.
            const std::vector<Expr*> cadena = Cadena(e, 3);
            Res x = expr(*cadena.back()->hijos[0], a);
            QString r = aTexto(x);
            QStringList partes;
            for (auto it = cadena.rbegin(); it != cadena.rend(); ++it) {
                Res b = expr(*(*it)->hijos[1], a), c = expr(*(*it)->hijos[2], a);
                partes << aTexto(b) << aTexto(c) << u'\'' + reglaDe(x.t, b.t) + u'\'';
                x.t = texto(x.t);
                if (x.t.largo >= 0)
                    x.t.largo = x.t.unicode() ? 4000 : 8000;
                (*it)->tipo = x.t;
                if (partes.size() == 3 * 40 || it + 1 == cadena.rend()) {
                    r = QStringLiteral("ss_replace(%1, %2)").arg(r, partes.join(QStringLiteral(", ")));
                    partes.clear();
                }
            }
            return {r, x.t};
        }
        if (f == u"CHARINDEX") {
            aridad(2, 3);
            std::vector<Res> x = args(e, a);
            return {QStringLiteral("ss_charindex(%1, %2, %3, '%4')")
                        .arg(aTexto(x[0]), aTexto(x[1]), n > 2 ? conv(x[2], Tipo::De(Clase::BigInt)) : QStringLiteral("1"),
                             reglaDe(x[1].t, x[0].t)),
                    Tipo::De(Clase::Int)};
        }
        if (f == u"PATINDEX") {
            aridad(2, 2);
            std::vector<Res> x = args(e, a);
            return {QStringLiteral("ss_patindex(%1, %2, '%3')").arg(aTexto(x[0]), aTexto(x[1]), reglaDe(x[1].t, x[0].t)),
                    Tipo::De(Clase::Int)};
        }
        if (f == u"ROUND") {
            aridad(2, 3);
            std::vector<Res> x = args(e, a);
            Tipo t = x[0].t;
            if (t.texto())
                t = Tipo::De(Clase::Float);
            const QString tr = n > 2 ? x[2].sql : QStringLiteral("0");
            if (t.exacto() || t.entero())
                return {QStringLiteral("ss_round(%1, %2, %3, %4, %5)").arg(x[0].sql, x[1].sql, tr).arg(t.precision).arg(t.escala), t};
            return {QStringLiteral("ss_round(%1, %2, %3, 0, 0)").arg(conv(x[0], Tipo::De(Clase::Float)), x[1].sql, tr),
                    t.desconocido() ? Tipo() : Tipo::De(Clase::Float)};
        }
        if (f == u"ABS") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            if (x.t.entero())
                return {QStringLiteral("ss_ent('-', 0, -abs(%1), %2)").arg(x.sql, NombreTipo(x.t)), x.t};
            return {QStringLiteral("abs(%1)").arg(x.sql), x.t};
        }
        if (f == u"GETDATE" || f == u"CURRENT_TIMESTAMP" || f == u"SYSDATETIME") {
            aridad(0, 0);
            return {QStringLiteral("ss_getdate()"), Tipo::De(f == u"SYSDATETIME" ? Clase::DateTime2 : Clase::DateTime)};
        }
        if (f == u"SCOPE_IDENTITY") {
            aridad(0, 0);
            return {QStringLiteral("ss_scope_identity()"), Tipo::Decimal(38, 0)};
        }
        if (f == u"YEAR" || f == u"MONTH" || f == u"DAY") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            return {QStringLiteral("ss_datepart('%1', %2)").arg(f.toLower(), fecha(x)), Tipo::De(Clase::Int)};
        }
        if (f == u"DATEPART") {
            aridad(2, 2);
            std::vector<Res> x = args(e, a);
            return {QStringLiteral("ss_datepart(%1, %2)").arg(x[0].sql, fecha(x[1])), Tipo::De(Clase::Int)};
        }
        if (f == u"DATEADD") {
            aridad(3, 3);
            std::vector<Res> x = args(e, a);
            const Tipo t = x[2].t.fecha() ? x[2].t : Tipo::De(Clase::DateTime);
            return {QStringLiteral("ss_dateadd(%1, %2, %3)").arg(x[0].sql, conv(x[1], Tipo::De(Clase::BigInt)), fecha(x[2])), t};
        }
        if (f == u"DATEDIFF") {
            aridad(3, 3);
            std::vector<Res> x = args(e, a);
            return {QStringLiteral("ss_datediff(%1, %2, %3)").arg(x[0].sql, fecha(x[1]), fecha(x[2])), Tipo::De(Clase::Int)};
        }
        if (Res r; funcionDelServidor(e, a, f, r))
            return r;
        throw NoSoportado(QStringLiteral("The function %1").arg(f));
    }

    // The server's functions of texts, numbers, dates and the session.
    bool funcionDelServidor(Expr& e, const Ambito& a, const QString& f, Res& r)
    {
        const int n = int(e.hijos.size());
        auto aridad = [&](int minimo, int maximo) {
            if (n < minimo || n > maximo)
                throw ErrorTsql{174, QStringLiteral("The %1 function requires %2 argument(s).").arg(f.toLower()).arg(minimo)};
        };
        const Tipo entero = Tipo::De(Clase::Int), grande = Tipo::De(Clase::BigInt), flotante = Tipo::De(Clase::Float);
        const Tipo nombre = Tipo::Texto(Clase::NVarChar, 128, {}, Origen::Defecto);
        auto sesion = [&](const char* sql, const Tipo& t) {
            aridad(0, 0);
            r = {QLatin1String(sql), t};
            return true;
        };
        if (f == u"ISNUMERIC" || f == u"ISDATE") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            r = {f == u"ISNUMERIC" ? QStringLiteral("ss_isnumeric(%1)").arg(x.sql)
                                   : QStringLiteral("ss_isdate(%1)").arg(x.t.fecha() ? x.sql : aTexto(x)),
                 entero};
            return true;
        }
        if (f == u"IIF" || f == u"CHOOSE") {
            f == u"IIF" ? aridad(3, 3) : aridad(2, 255);
            std::vector<Res> x = args(e, a);
            Tipo t = Tipo::De(Clase::Nulo);
            for (size_t i = 1; i < x.size(); ++i)
                t = Dominante(t, x[i].t);
            QString s = f == u"IIF" ? QStringLiteral("CASE WHEN %1 THEN %2 ELSE %3 END").arg(x[0].sql, conv(x[1], t), conv(x[2], t))
                                    : QStringLiteral("CASE %1").arg(Par(conv(x[0], entero)));
            for (size_t i = 1; f == u"CHOOSE" && i < x.size(); ++i)
                s += QStringLiteral(" WHEN %1 THEN %2").arg(i).arg(conv(x[i], t));
            r = {f == u"CHOOSE" ? s + QStringLiteral(" END") : s, t.clase == Clase::Nulo ? entero : t};
            return true;
        }
        if (f == u"REPLICATE" || f == u"SPACE") {
            f == u"SPACE" ? aridad(1, 1) : aridad(2, 2);
            std::vector<Res> x = args(e, a);
            Tipo t = f == u"SPACE" ? Tipo::Texto(Clase::VarChar, 8000, {}, Origen::Defecto) : texto(x[0].t);
            if (t.largo >= 0 || t.desconocido())
                t.largo = t.unicode() ? 4000 : 8000;
            r = {QStringLiteral("ss_replicate(%1, %2, %3)")
                     .arg(f == u"SPACE" ? QStringLiteral("' '") : aTexto(x[0]), conv(x.back(), grande))
                     .arg(t.largo),
                 t};
            return true;
        }
        if (f == u"ASCII" || f == u"UNICODE") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            r = {QStringLiteral("ss_codigo(%1, %2)").arg(aTexto(x)).arg(f == u"UNICODE" ? 1 : 0), entero};
            return true;
        }
        if (f == u"CHAR" || f == u"NCHAR") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            r = {QStringLiteral("ss_%1(%2)").arg(f.toLower(), conv(x, entero)),
                 Tipo::Texto(f == u"CHAR" ? Clase::Char : Clase::NChar, 1, {}, Origen::Defecto)};
            return true;
        }
        if (f == u"STR") {
            aridad(1, 3);
            std::vector<Res> x = args(e, a);
            const int largo = n > 1 && e.hijos[1]->clase == ClaseExpr::Literal ? e.hijos[1]->texto.toInt() : n > 1 ? 8000 : 10;
            r = {QStringLiteral("ss_str(%1, %2, %3)")
                     .arg(conv(x[0], flotante), n > 1 ? conv(x[1], grande) : QStringLiteral("10"),
                          n > 2 ? conv(x[2], grande) : QStringLiteral("0")),
                 Tipo::Texto(Clase::VarChar, std::clamp(largo, 1, 8000), {}, Origen::Defecto)};
            return true;
        }
        if (f == u"REVERSE" || f == u"STUFF") {
            f == u"STUFF" ? aridad(4, 4) : aridad(1, 1);
            std::vector<Res> x = args(e, a);
            Tipo t = texto(x[0].t);
            if (f == u"STUFF" && t.largo >= 0)
                t.largo = t.unicode() ? 4000 : 8000;
            r = {f == u"REVERSE" ? QStringLiteral("ss_reverse(%1)").arg(aTexto(x[0]))
                                 : QStringLiteral("ss_stuff(%1, %2, %3, %4)")
                                       .arg(aTexto(x[0]), conv(x[1], grande), conv(x[2], grande), aTexto(x[3])),
                 t};
            return true;
        }
        if (f == u"CONCAT" || f == u"CONCAT_WS") {
            const int minimo = f == u"CONCAT" ? 2 : 3;
            if (n < minimo || n > 254)
                throw ErrorTsql{189, QStringLiteral("The %1 function requires %2 to 254 arguments.").arg(f.toLower()).arg(minimo)};
            std::vector<Res> x = args(e, a);
            bool unicode = false;
            int largo = 0;
            QStringList partes;
            for (const Res& y : x) {
                unicode = unicode || y.t.unicode();
                const int l = y.t.texto() ? y.t.largo : y.t.clase == Clase::Nulo ? 1 : 30;
                largo = largo < 0 || l < 0 ? -1 : largo + l;
                partes << (f == u"CONCAT" ? QStringLiteral("ifnull(%1, '')").arg(aTexto(y)) : aTexto(y));
            }
            if (largo > (unicode ? 4000 : 8000))
                largo = -1;
            r = {f == u"CONCAT" ? Par(partes.join(QStringLiteral(" || ")))
                                : QStringLiteral("ss_concat_ws(%1)").arg(partes.join(QStringLiteral(", "))),
                 Tipo::Texto(unicode ? Clase::NVarChar : Clase::VarChar, largo, QStringLiteral("CI_AS"), Origen::Defecto)};
            return true;
        }
        if (f == u"STRING_AGG") {
            aridad(2, 2);
            std::vector<Res> x = args(e, a);
            Tipo t = texto(x[0].t);
            QString g = QStringLiteral("group_concat(%1, %2)").arg(aTexto(x[0]), aTexto(x[1]));
            if (!e.enGrupo.empty()) {
                // WITHIN GROUP (ORDER BY ...): each key with its direction and collation.
                QStringList partes{aTexto(x[0]), aTexto(x[1])};
                for (Orden& k : e.enGrupo) {
                    const Res c = expr(*k.expr, a);
                    partes << (k.desc ? QStringLiteral("1") : QStringLiteral("0"))
                           << (c.t.texto() ? Lit(c.t.intercalacion.isEmpty() ? QStringLiteral("CI_AS") : c.t.intercalacion)
                                           : QStringLiteral("NULL"))
                           << c.sql;
                }
                g = QStringLiteral("ss_string_agg(%1)").arg(partes.join(QStringLiteral(", ")));
            }
            if (t.largo >= 0 || t.desconocido()) {
                t = Tipo::Texto(t.unicode() ? Clase::NVarChar : Clase::VarChar, t.unicode() ? 4000 : 8000,
                                t.intercalacion, Origen::Defecto);
                // Not a max type: the result has 8000 bytes at most.
                g = QStringLiteral("CASE WHEN length(%2) > %1 THEN ss_error(9829, 'STRING_AGG aggregation result exceeded the "
                                   "limit of 8000 bytes. Use LOB types to avoid result truncation.') ELSE %2 END")
                        .arg(t.largo)
                        .arg(g);
            }
            r = {g, t};
            return true;
        }
        if (f == u"DATENAME") {
            aridad(2, 2);
            std::vector<Res> x = args(e, a);
            const bool nombrada = x[0].sql == u"'month'" || x[0].sql == u"'weekday'";
            r = {nombrada ? QStringLiteral("ss_datename(%1, %2)").arg(x[0].sql, fecha(x[1]))
                          : QStringLiteral("CAST(ss_datepart(%1, %2) AS TEXT)").arg(x[0].sql, fecha(x[1])),
                 Tipo::Texto(Clase::NVarChar, 30, {}, Origen::Defecto)};
            return true;
        }
        if (f == u"DATEFROMPARTS") {
            aridad(3, 3);
            std::vector<Res> x = args(e, a);
            r = {QStringLiteral("ss_datefromparts(%1, %2, %3)").arg(conv(x[0], entero), conv(x[1], entero), conv(x[2], entero)),
                 Tipo::De(Clase::Fecha)};
            return true;
        }
        if (f == u"EOMONTH") {
            aridad(1, 2);
            std::vector<Res> x = args(e, a);
            r = {QStringLiteral("ss_eomonth(%1%2)").arg(fecha(x[0]), n > 1 ? QStringLiteral(", ") + conv(x[1], grande) : QString()),
                 Tipo::De(Clase::Fecha)};
            return true;
        }
        if (f == u"NEWID")
            return sesion("ss_newid()", Tipo::De(Clase::UniqueIdentifier));
        if (f == u"DB_NAME")
            return sesion("ss_db_name()", nombre);
        if (f == u"HOST_NAME")
            return sesion("ss_host_name()", nombre);
        if (f == u"SUSER_SNAME")
            return sesion("ss_suser_sname()", nombre);
        if (f == u"APP_NAME")
            return sesion("ss_app_name()", nombre);
        if (f == u"SQUARE" || f == u"SQRT") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            r = {QStringLiteral("ss_potencia(%1, %2)").arg(conv(x, flotante), f == u"SQRT" ? QStringLiteral("0.5") : QStringLiteral("2")),
                 flotante};
            return true;
        }
        if (f == u"POWER") {
            aridad(2, 2);
            std::vector<Res> x = args(e, a);
            const Tipo& o = x[0].t;
            const QString p = QStringLiteral("ss_potencia(%1, %2)").arg(conv(x[0], flotante), conv(x[1], flotante));
            if (o.entero()) {
                const Tipo t = o.clase == Clase::BigInt ? grande : entero;
                r = {QStringLiteral("ss_a_ent(%1, %2)").arg(p, NombreTipo(t)), t};
            } else if (o.exacto()) {
                const Tipo t = o.clase == Clase::Decimal ? Tipo::Decimal(38, o.escala) : Tipo::De(Clase::Money);
                r = {QStringLiteral("ss_a_num(%1, %2, %3, %4)").arg(p).arg(t.precision).arg(t.escala).arg(QLatin1String(NombreExacto(t))), t};
            } else {
                r = {p, flotante};
            }
            return true;
        }
        if (f == u"FLOOR" || f == u"CEILING" || f == u"SIGN") {
            aridad(1, 1);
            Res x = expr(*e.hijos[0], a);
            const QString op = Lit(f.toLower());
            if (x.t.entero()) {
                const Tipo t = x.t.clase == Clase::BigInt ? grande : entero;
                r = f == u"SIGN" ? Res{QStringLiteral("ss_entero_de(%1, %2, 0, 0)").arg(op, x.sql), t} : Res{x.sql, t};
            } else if (x.t.exacto()) {
                const bool dinero = x.t.clase != Clase::Decimal;
                // SIGN keeps the type; FLOOR and CEILING drop a decimal's scale.
                const Tipo t = dinero ? Tipo::De(Clase::Money) : f == u"SIGN" ? x.t : Tipo::Decimal(x.t.precision, 0);
                const int escala = dinero ? 4 : x.t.escala;
                r = {QStringLiteral("ss_entero_de(%1, %2, %3, %4)").arg(op, x.sql).arg(escala).arg(t.escala), t};
            } else {
                r = {QStringLiteral("ss_entero_de(%1, %2, -1, 0)").arg(op, conv(x, flotante)), flotante};
            }
            return true;
        }
        return false;
    }

    // TRY_CAST and TRY_CONVERT: the conversion run on its own, NULL where it fails converting.
    Res intentar(const Res& x, const Tipo& d, const QString& estilo)
    {
        const QString c = x.t.desconocido()
                              ? QStringLiteral("ss_convertir(%1, ?1, %2)").arg(NombreTipo(d), estilo.isEmpty() ? QStringLiteral("NULL") : estilo)
                              : conv({QStringLiteral("?1"), x.t}, d, Modo::Explicita, estilo);
        if (c == u"?1")
            return {x.sql, d};
        return {QStringLiteral("ss_intentar(%1, %2)").arg(x.sql, Lit(c)), d};
    }

    Res ventana(Expr& e, const Ambito& a, const QString& f)
    {
        if (f != u"ROW_NUMBER" && f != u"RANK" && f != u"DENSE_RANK" && f != u"NTILE")
            throw NoSoportado(QStringLiteral("The function %1 with OVER").arg(f));
        QStringList xs;
        for (PExpr& h : e.hijos)
            xs << expr(*h, a).sql;
        QString s = QStringLiteral("%1(%2) OVER (").arg(f.toLower(), xs.join(QStringLiteral(", ")));
        QStringList p;
        for (PExpr& h : e.ventana->particion)
            p << expresionDeGrupo(*h, a);
        if (!p.isEmpty())
            s += QStringLiteral("PARTITION BY ") + p.join(QStringLiteral(", "));
        QStringList o;
        for (Orden& x : e.ventana->orden)
            o << expresionDeGrupo(*x.expr, a) + (x.desc ? QStringLiteral(" DESC") : QString());
        if (!o.isEmpty())
            s += (p.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("ORDER BY ") + o.join(QStringLiteral(", "));
        return {s + u')', Tipo::De(f == u"ROW_NUMBER" ? Clase::BigInt : Clase::BigInt)};
    }

    // The type of a text function's result over x.
    static Tipo texto(const Tipo& x)
    {
        if (x.texto())
            return x;
        if (x.desconocido())
            return {};
        return Tipo::Texto(Clase::VarChar, -1, {}, Origen::Defecto);
    }
    QString aTexto(const Res& x)
    {
        return x.t.texto() || x.t.desconocido() || x.t.clase == Clase::Nulo
                   ? x.sql
                   : conv(x, Tipo::Texto(Clase::VarChar, -1, {}, Origen::Defecto));
    }
    QString fecha(const Res& x)
    {
        return x.t.texto() ? conv(x, Tipo::De(Clase::DateTime)) : x.sql;
    }
    QString reglaDe(const Tipo& a, const Tipo& b)
    {
        if (a.texto() && b.texto())
            return intercalacion(a, b, QStringLiteral("replace"));
        if (a.texto())
            return a.intercalacion;
        if (b.texto())
            return b.intercalacion;
        return QStringLiteral("CI_AS");
    }

    // GROUP BY, ORDER BY and PARTITION BY: texts under their collation.
    QString expresionDeGrupo(Expr& e, const Ambito& a)
    {
        Res x = expr(e, a);
        if (x.t.texto() && e.clase != ClaseExpr::Intercalar)
            return Par(x.sql) + QStringLiteral(" COLLATE ") + x.t.intercalacion;
        return x.sql;
    }

    // ---------------------------------------------------------------- FROM

    FuenteAmbito fuente(Fuente& f, const Ambito* padre, QString& sql)
    {
        FuenteAmbito r;
        switch (f.clase) {
        case ClaseFuente::Tabla: {
            const QString nombre = Objeto(f.nombre);
            const auto* cols = tabla(nombre);
            if (!cols)
                throw ErrorTsql{208, QStringLiteral("Invalid object name '%1'.").arg(f.nombre.partes.join(u'.'))};
            r.alias = f.alias.isEmpty() ? nombre : f.alias;
            r.columnas = *cols;
            if (const auto en = enLinea_.constFind(nombre.toLower()); en != enLinea_.constEnd())
                sql = en.value() + QStringLiteral(" AS ") + Q(r.alias);
            else
                sql = !disparos_.empty() && Logica(nombre) ? logica(nombre, f.alias, *cols)
                                                           : Q(nombre) + (f.alias.isEmpty() ? QString() : QStringLiteral(" AS ") + Q(f.alias));
            break;
        }
        case ClaseFuente::Subconsulta: {
            std::vector<Tipo> tipos;
            std::vector<QString> nombres;
            const QString s = select(*f.sub, padre, &tipos, &nombres);
            r.alias = f.alias;
            for (size_t i = 0; i < tipos.size(); ++i)
            {
                const QString n = i < size_t(f.columnas.size()) ? f.columnas[int(i)] : nombres[i];
                if (n.isEmpty())
                    throw ErrorTsql{8155, QStringLiteral("No column name was specified for column %1 of '%2'.").arg(i + 1).arg(f.alias)};
                r.columnas.push_back({n, tipos[i]});
            }
            if (!f.columnas.isEmpty())
                throw NoSoportado(QStringLiteral("A column list after a derived table's alias"));
            sql = Par(s) + QStringLiteral(" AS ") + Q(f.alias);
            break;
        }
        case ClaseFuente::Valores: {
            QStringList filas;
            std::vector<Tipo> tipos;
            Ambito vacio;
            vacio.padre = padre;
            for (auto& fila : f.valores) {
                QStringList v;
                for (size_t i = 0; i < fila.size(); ++i) {
                    Res x = expr(*fila[i], vacio);
                    if (tipos.size() <= i)
                        tipos.push_back(Tipo::De(Clase::Nulo));
                    tipos[i] = Dominante(tipos[i], x.t);
                    v << x.sql;
                }
                filas << Par(v.join(QStringLiteral(", ")));
            }
            QStringList c;
            for (int i = 0; i < int(tipos.size()); ++i) {
                const QString nombre = i < f.columnas.size() ? f.columnas[i] : QStringLiteral("column%1").arg(i + 1);
                c << QStringLiteral("column%1 AS %2").arg(i + 1).arg(Q(nombre));
                r.columnas.push_back({nombre, tipos[size_t(i)]});
            }
            r.alias = f.alias;
            sql = QStringLiteral("(SELECT %1 FROM (VALUES %2)) AS %3").arg(c.join(QStringLiteral(", ")), filas.join(QStringLiteral(", ")), Q(f.alias));
            break;
        }
        case ClaseFuente::Funcion:
            throw NoSoportado(QStringLiteral("The table function %1").arg(f.nombre.partes.join(u'.')));
        }
        return r;
    }

    QString desde(std::vector<Desde>& ds, Ambito& a)
    {
        QStringList partes;
        for (Desde& d : ds) {
            QString s;
            a.fuentes.push_back(fuente(d.fuente, a.padre, s));
            for (Union& u : d.uniones) {
                QString t;
                a.fuentes.push_back(fuente(u.fuente, a.padre, t));
                switch (u.clase) {
                case ClaseUnion::Inner: s += QStringLiteral(" JOIN "); break;
                case ClaseUnion::Left: s += QStringLiteral(" LEFT JOIN "); break;
                case ClaseUnion::Right: s += QStringLiteral(" RIGHT JOIN "); break;
                case ClaseUnion::Full: s += QStringLiteral(" FULL JOIN "); break;
                case ClaseUnion::Cross: s += QStringLiteral(" CROSS JOIN "); break;
                default: throw NoSoportado(QStringLiteral("APPLY"));
                }
                s += t;
                if (u.on)
                    s += QStringLiteral(" ON ") + expr(*u.on, a).sql;
            }
            partes << s;
        }
        return partes.join(QStringLiteral(", "));
    }

    // -------------------------------------------------------------- SELECT

    // One SELECT of a chain, without ORDER BY, with its own TOP as LIMIT.
    QString miembro(Select& s, const Ambito* padre, std::vector<Tipo>* tipos, std::vector<QString>* nombres,
                    Ambito& a, std::vector<ColumnaAmbito>& alias, const Opciones& op)
    {
        const bool empates = op.empates;
        a.padre = padre;
        QString from;
        if (!s.desde.empty())
            from = desde(s.desde, a);
        if (!s.into.vacio())
            throw NoSoportado(QStringLiteral("SELECT ... INTO"));
        QStringList items;
        if (op.claveFila)
            items << QStringLiteral("rowid AS ado_rowid__");
        const bool distinto = s.distinto && !op.unico;
        for (ItemSelect& it : s.lista) {
            if (!it.variable.isEmpty()) {
                // SELECT @x = ...: each row sets it; no rows come back.
                const Tipo tv = variable(it.variable);
                items << QStringLiteral("ss_var_fijar(%1, %2)").arg(nombreVariable(it.variable), conv(expr(*it.expr, a), tv, Modo::Explicita));
                continue;
            }
            if (it.expr->clase == ClaseExpr::Estrella) {
                if (empates)
                    throw NoSoportado(QStringLiteral("TOP ... WITH TIES with *"));
                items << expr(*it.expr, a).sql;
                for (const FuenteAmbito& f : a.fuentes) {
                    if (!it.expr->nombre.vacio() && f.alias.compare(it.expr->nombre.ultimo(), Qt::CaseInsensitive) != 0)
                        continue;
                    for (const ColumnaAmbito& c : f.columnas) {
                        tipos->push_back(c.tipo);
                        nombres->push_back(c.nombre);
                    }
                }
                continue;
            }
            Res x = expr(*it.expr, a);
            QString nombre = it.alias;
            if (nombre.isEmpty() && it.expr->clase == ClaseExpr::Columna)
                nombre = it.expr->nombre.ultimo();
            QString v = x.sql;
            const size_t i = tipos->size();
            if (op.destino && i < op.destino->size() && !(*op.destino)[i].desconocido()) {
                const Tipo& d = (*op.destino)[i];
                if (Familia(d) != Familia(x.t) && !x.t.desconocido() && x.t.clase != Clase::Nulo)
                    v = conv(x, d);
                if (op.intercalar && d.texto())
                    v = Par(v) + QStringLiteral(" COLLATE ") + (d.intercalacion.isEmpty() ? QStringLiteral("CI_AS") : d.intercalacion);
            }
            if (op.unico)
                v = QStringLiteral("ss_unico(%1%2)").arg(s.distinto ? QStringLiteral("DISTINCT ") : QString(), v);
            // The server leaves an expression without a name.
            items << v + QStringLiteral(" AS ") + (empates ? QStringLiteral("ss_c%1").arg(items.size() + 1) : Q(nombre));
            tipos->push_back(x.t);
            nombres->push_back(nombre);
            if (!nombre.isEmpty())
                alias.push_back({nombre, x.t});
        }
        if (empates && !s.orden.empty()) {
            QStringList ks;
            for (Orden& k : s.orden)
                ks << expresionDeGrupo(*k.expr, a) + (k.desc ? QStringLiteral(" DESC") : QString());
            items << QStringLiteral("rank() OVER (ORDER BY %1) AS ss_rango").arg(ks.join(QStringLiteral(", ")));
        }
        QString r = QStringLiteral("SELECT ") + (distinto ? QStringLiteral("DISTINCT ") : QString()) + items.join(QStringLiteral(", "));
        if (!from.isEmpty())
            r += QStringLiteral(" FROM ") + from;
        if (s.donde)
            r += QStringLiteral(" WHERE ") + expr(*s.donde, a).sql;
        if (!s.grupo.empty()) {
            QStringList g;
            for (PExpr& x : s.grupo)
                g << expresionDeGrupo(*x, a);
            r += QStringLiteral(" GROUP BY ") + g.join(QStringLiteral(", "));
        }
        if (s.teniendo)
            r += QStringLiteral(" HAVING ") + expr(*s.teniendo, a).sql;
        return r;
    }

    // A UNION / EXCEPT / INTERSECT chain: every column in the type the
    // chain's columns share (a text meeting a number is converted, as the
    // server converts it), and texts compared under their collation where
    // the chain drops repeated rows.
    QString cadenaDe(Select& s, const Ambito* padre, std::vector<Tipo>* tipos, std::vector<QString>* nombres, Ambito& a,
                     std::vector<ColumnaAmbito>& alias)
    {
        bool quitaRepetidas = false;
        for (Select::Combinada& c : s.combinadas) {
            Ambito b;
            std::vector<ColumnaAmbito> alias2;
            std::vector<Tipo> t2;
            std::vector<QString> n2;
            miembro(*c.select, padre, &t2, &n2, b, alias2, {});
            if (t2.size() != tipos->size())
                throw ErrorTsql{205, QStringLiteral("All queries combined using a UNION, INTERSECT or EXCEPT operator must have an equal number of expressions in their target lists.")};
            for (size_t i = 0; i < t2.size(); ++i)
                (*tipos)[i] = Dominante((*tipos)[i], t2[i]);
            quitaRepetidas = quitaRepetidas || c.operador.simplified().toUpper() != u"UNION ALL";
        }
        const std::vector<Tipo> comunes = *tipos;
        Opciones op;
        op.destino = &comunes;
        op.intercalar = quitaRepetidas;
        // Written again with the common types.
        a = Ambito{};
        alias.clear();
        nombres->clear();
        std::vector<Tipo> t0;
        QString r = miembro(s, padre, &t0, nombres, a, alias, op);
        if (s.top)
            r = QStringLiteral("SELECT * FROM (%1%2)").arg(r, limite(s, a, r));
        // SQLite compares a chain's rows under its first SELECT's collations.
        op.intercalar = false;
        for (Select::Combinada& c : s.combinadas) {
            Ambito b;
            std::vector<ColumnaAmbito> alias2;
            std::vector<Tipo> t2;
            std::vector<QString> n2;
            QString m = miembro(*c.select, padre, &t2, &n2, b, alias2, op);
            if (c.select->top)
                m = QStringLiteral("SELECT * FROM (%1%2)").arg(m, limite(*c.select, b, m));
            r += u' ' + c.operador.simplified().toUpper() + u' ' + m;
        }
        *tipos = comunes;
        return r;
    }

    QString limite(Select& s, const Ambito& a, const QString& consulta)
    {
        if (!s.top)
            return {};
        if (s.porcentaje)
            return QStringLiteral(" LIMIT (SELECT CAST((count(*) * (%1) + 99.9999999) / 100 AS INTEGER) FROM (%2))")
                .arg(expr(*s.top, a).sql, consulta);
        return QStringLiteral(" LIMIT ") + filasDeTop(*s.top, a);
    }

    // TOP's number of rows. One known only when it runs is checked: SQLite
    // takes a negative LIMIT as no limit.
    QString filasDeTop(Expr& top, const Ambito& a)
    {
        const QString n = expr(top, a).sql;
        if (top.clase == ClaseExpr::Literal)
            return n;
        return QStringLiteral("CASE WHEN %1 < 0 THEN ss_error(127, 'A TOP N value may not be negative.') ELSE %1 END").arg(n);
    }

    // WITH: each CTE known by its columns to what follows it ("WITH a AS
    // (...), b AS (...) "; "" when there is none).
    QString ctes(std::vector<Cte>& con, const Ambito* padre, QStringList* definiciones = nullptr)
    {
        if (con.empty())
            return {};
        QStringList cs;
        for (Cte& c : con) {
            std::vector<Tipo> t;
            std::vector<QString> n;
            const QString q = select(*c.select, padre, &t, &n);
            std::vector<ColumnaAmbito> cols;
            for (size_t i = 0; i < t.size(); ++i) {
                const QString nombre = i < size_t(c.columnas.size()) ? c.columnas[int(i)] : n[i];
                if (nombre.isEmpty())
                    throw ErrorTsql{8155, QStringLiteral("No column name was specified for column %1 of '%2'.").arg(i + 1).arg(c.nombre)};
                cols.push_back({nombre, t[i]});
            }
            ctes_.insert(c.nombre.toLower(), cols);
            enLinea_.remove(c.nombre.toLower());
            QStringList nc;
            for (const QString& x : c.columnas)
                nc << Q(x);
            cs << Q(c.nombre) + (nc.isEmpty() ? QString() : Par(nc.join(QStringLiteral(", ")))) + QStringLiteral(" AS ") + Par(q);
            if (definiciones)
                definiciones->push_back(cs.back());
        }
        return QStringLiteral("WITH ") + cs.join(QStringLiteral(", ")) + u' ';
    }

    // The CTEs of an INSERT, UPDATE or DELETE, written where the statement
    // reads them, each as "(WITH its CTEs so far SELECT * FROM it)": the
    // SQLite ODBC driver takes a statement that begins with WITH for a query
    // and runs it only when its rows are read, so such a statement would
    // write nothing. The server reads a CTE where it is named, as here.
    struct EnLinea {
        QHash<QString, QString>& h;
        ~EnLinea() { h.clear(); }
    };
    [[nodiscard]] EnLinea ctesEnLinea(std::vector<Cte>& con)
    {
        QStringList definiciones;
        ctes(con, nullptr, &definiciones);
        for (size_t i = 0; i < con.size(); ++i)
            enLinea_.insert(con[i].nombre.toLower(), Par(QStringLiteral("WITH %1 SELECT * FROM %2")
                                                          .arg(definiciones.mid(0, qsizetype(i) + 1).join(QStringLiteral(", ")),
                                                               Q(con[i].nombre))));
        return {enLinea_};
    }

    // SQLite's parser takes about 11 nested subqueries where the server takes
    // 32: a subquery deep in a statement that names nothing outside itself
    // (nor a parameter, nor a CTE of the statement) is written once in the
    // WITH of the statement's outermost SELECT and read from there.
    QString subconsulta(Select& q, const Ambito& a, std::vector<Tipo>* tipos, const Opciones& op = {})
    {
        const int usadoAntes = usado_, parametros = parametros_;
        usado_ = std::numeric_limits<int>::max();
        const QString s = select(q, &a, tipos, nullptr, op);
        const int usado = std::exchange(usado_, std::min(usadoAntes, usado_));
        const int propia = Profundidad(&a) + 1;
        if (izadas_.empty() || propia < 3 || usado < propia || parametros_ != parametros || !ctes_.isEmpty())
            return s;
        const QString nombre = QStringLiteral("ss_s%1").arg(++numeroIzada_);
        izadas_.back() << nombre + QStringLiteral(" AS ") + Par(s);
        return QStringLiteral("SELECT * FROM ") + nombre;
    }

    static int Profundidad(const Ambito* a)
    {
        int n = 0;
        for (; a && a->padre; a = a->padre)
            ++n;
        return n;
    }

    QString select(Select& s, const Ambito* padre, std::vector<Tipo>* tipos, std::vector<QString>* nombres = nullptr,
                   const Opciones& op = {})
    {
        if (padre)
            return seleccion(s, padre, tipos, nombres, op);
        izadas_.emplace_back();
        struct Quita {
            std::vector<QStringList>& v;
            ~Quita() { v.pop_back(); }
        } quita{izadas_};
        const QString r = seleccion(s, padre, tipos, nombres, op);
        const QStringList& izadas = izadas_.back();
        if (izadas.isEmpty())
            return r;
        return r.startsWith(QLatin1String("WITH ")) ? QStringLiteral("WITH %1, %2").arg(izadas.join(QStringLiteral(", ")), r.mid(5))
                                                    : QStringLiteral("WITH %1 %2").arg(izadas.join(QStringLiteral(", ")), r);
    }

    QString seleccion(Select& s, const Ambito* padre, std::vector<Tipo>* tipos, std::vector<QString>* nombres, const Opciones& op)
    {
        if (!s.xml.isNull())
            throw NoSoportado(QStringLiteral("FOR XML in this place"));
        const bool claveFila = op.claveFila;
        std::vector<QString> nombresPropios;
        if (!nombres)
            nombres = &nombresPropios;
        const auto ctesAntes = ctes_;
        const QString con = ctes(s.con, padre);
        Ambito a;
        std::vector<ColumnaAmbito> alias;
        const bool cadena = !s.combinadas.empty();
        if (s.top && s.empates) {
            if (s.orden.empty())
                throw ErrorTsql{1062, QStringLiteral("The TOP N WITH TIES clause is not allowed without a corresponding ORDER BY clause.")};
            if (cadena || s.porcentaje)
                throw NoSoportado(cadena ? QStringLiteral("TOP ... WITH TIES in a UNION") : QStringLiteral("TOP ... PERCENT WITH TIES"));
            // The rows ranked as far as the n-th one: its ties come along.
            Opciones empates = op;
            empates.empates = true;
            const QString dentro = miembro(s, padre, tipos, nombres, a, alias, empates);
            QStringList cols;
            if (claveFila)
                cols << QStringLiteral("ado_rowid__");
            for (size_t i = 0; i < nombres->size(); ++i)
                cols << QStringLiteral("ss_c%1 AS %2").arg(i + 1 + (claveFila ? 1 : 0)).arg(Q((*nombres)[i]));
            const QString r = QStringLiteral("SELECT %1 FROM (%2) WHERE ss_rango <= (%3) ORDER BY ss_rango")
                                  .arg(cols.join(QStringLiteral(", ")), dentro, filasDeTop(*s.top, a));
            ctes_ = ctesAntes;
            return con + r;
        }
        QString r = miembro(s, padre, tipos, nombres, a, alias, op);
        if (cadena)
            r = cadenaDe(s, padre, tipos, nombres, a, alias);
        if (!s.orden.empty()) {
            Ambito o = a;
            o.alias = &alias;
            QStringList ks;
            for (Orden& k : s.orden) {
                QString x;
                if (cadena) {
                    // A chain is ordered by its result's columns.
                    Ambito sol;
                    sol.alias = &alias;
                    x = expresionDeGrupo(*k.expr, sol);
                } else {
                    x = expresionDeGrupo(*k.expr, o);
                }
                ks << x + (k.desc ? QStringLiteral(" DESC") : QString());
            }
            r += QStringLiteral(" ORDER BY ") + ks.join(QStringLiteral(", "));
        }
        if (!cadena)
            compruebaAgrupada(s, alias);
        if (!cadena && s.top)
            r += limite(s, a, r);
        if (s.fetch || s.offset) {
            if (s.top)
                throw ErrorTsql{10741, QStringLiteral("A TOP can not be used in the same query or sub-query as a OFFSET.")};
            r += QStringLiteral(" LIMIT %1 OFFSET %2")
                     .arg(s.fetch ? expr(*s.fetch, a).sql : QStringLiteral("-1"), s.offset ? expr(*s.offset, a).sql : QStringLiteral("0"));
        }
        ctes_ = ctesAntes;
        return con + r;
    }

    // FOR XML PATH: one text, each row's fragment joined in the ORDER BY's
    // order (an ordered window of group_concat keeps it). No rows: NULL as
    // a value, no row as a result.
    // texto: the text of the XML, what .value('.', 'nvarchar(max)') takes of
    // it: the values as they are, without elements.
    QString xml(Select& s, const Ambito* padre, bool texto = false)
    {
        if (!s.combinadas.empty() || s.empates || s.xmlTipo != texto)
            throw NoSoportado(!s.combinadas.empty() ? QStringLiteral("FOR XML on a UNION")
                              : s.empates           ? QStringLiteral("FOR XML with TOP ... WITH TIES")
                              : s.xmlTipo           ? QStringLiteral("FOR XML PATH, TYPE")
                                                    : QStringLiteral("The XML value() method without TYPE"));
        if (!s.xml.isEmpty() && !NombreXml(s.xml))
            throw NoSoportado(QStringLiteral("FOR XML PATH('%1')").arg(s.xml));
        for (const ItemSelect& i : s.lista)
            if (!i.variable.isEmpty() || i.expr->clase == ClaseExpr::Estrella)
                throw NoSoportado(i.variable.isEmpty() ? QStringLiteral("FOR XML with *") : QStringLiteral("FOR XML assigning a variable"));
        const auto ctesAntes = ctes_;
        const QString con = ctes(s.con, padre);
        Opciones op;
        op.empates = true; // the items as ss_c1..., the rank of the ORDER BY as ss_rango
        Ambito a;
        std::vector<ColumnaAmbito> alias;
        std::vector<Tipo> tipos;
        std::vector<QString> nombres;
        QString dentro = miembro(s, padre, &tipos, &nombres, a, alias, op);
        compruebaAgrupada(s, alias);
        const bool ordenada = !s.orden.empty();
        if (s.top || s.offset || s.fetch) {
            if (ordenada)
                dentro += QStringLiteral(" ORDER BY ss_rango");
            if (s.top && (s.offset || s.fetch))
                throw ErrorTsql{10741, QStringLiteral("A TOP can not be used in the same query or sub-query as a OFFSET.")};
            dentro += s.top ? limite(s, a, dentro)
                            : QStringLiteral(" LIMIT %1 OFFSET %2")
                                  .arg(s.fetch ? expr(*s.fetch, a).sql : QStringLiteral("-1"), s.offset ? expr(*s.offset, a).sql : QStringLiteral("0"));
        }
        QStringList partes;
        for (size_t i = 0; i < tipos.size(); ++i) {
            const QString& nombre = nombres[i];
            if (!nombre.isEmpty() && !NombreXml(nombre))
                throw NoSoportado(QStringLiteral("FOR XML PATH with the column name '%1'").arg(nombre));
            if (tipos[i].clase == Clase::Nulo)
                continue;
            partes << QStringLiteral("ifnull(ss_xml(%1, %2, %3), '')")
                          .arg(textoXml(QStringLiteral("ss_c%1").arg(i + 1), tipos[i]), Lit(texto ? QString() : nombre),
                               texto ? QStringLiteral("2") : QStringLiteral("1"));
        }
        QString fila = partes.isEmpty() ? QStringLiteral("''") : partes.join(QStringLiteral(" || "));
        if (!s.xml.isEmpty() && !texto)
            fila = QStringLiteral("ss_xml(%1, %2, 0)").arg(fila, Lit(s.xml));
        ctes_ = ctesAntes;
        return con + QStringLiteral("SELECT group_concat(%1, '') OVER (%2ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING) "
                                    "FROM (%3) LIMIT 1")
                         .arg(fila, ordenada ? QStringLiteral("ORDER BY ss_rango ") : QString(), dentro);
    }

    // (SELECT ... FOR XML PATH, TYPE).value('.', 'nvarchar(max)'): whether
    // the subquery is read so. Other paths and types are refused.
    static bool valorXml(const Expr& e)
    {
        if (e.texto.isEmpty())
            return false;
        const Tipo t = TipoDeEscrito(e.destino, QString());
        if ((e.texto != u"'.'" && e.texto != u"N'.'") || t.clase != Clase::NVarChar || t.largo >= 0)
            throw NoSoportado(QStringLiteral("The XML value() method other than .value('.', 'NVARCHAR(MAX)')"));
        return true;
    }

    // A value as FOR XML writes it, before escaping: the types whose form
    // is not known here are refused.
    QString textoXml(const QString& v, const Tipo& t)
    {
        if (t.texto())
            return v;
        if (t.entero() || t.clase == Clase::Decimal)
            return QStringLiteral("ss_texto(%1, %2, NULL, NULL)").arg(v, NombreTipo(t));
        if (t.clase == Clase::Money || t.clase == Clase::SmallMoney)
            return QStringLiteral("ss_texto(%1, %2, 2, NULL)").arg(v, NombreTipo(t));
        // ISO 8601, the milliseconds only when there are some.
        if (t.clase == Clase::DateTime || t.clase == Clase::SmallDateTime)
            return QStringLiteral("replace(ss_texto(%1, %2, 126, NULL), '.000', '')").arg(v, NombreTipo(t));
        throw NoSoportado(t.desconocido() ? QStringLiteral("FOR XML of a value of unknown type")
                                          : QStringLiteral("FOR XML of a value of type %1").arg(NombreDe(t)));
    }

    // What the server refuses before running a SELECT that SQLite would run:
    // a column neither grouped nor aggregated (8120, 8121, 8127), and an
    // ORDER BY outside the list of a SELECT DISTINCT (145).
    void compruebaAgrupada(Select& s, const std::vector<ColumnaAmbito>& alias)
    {
        bool agrupa = !s.grupo.empty() || s.teniendo;
        for (const ItemSelect& i : s.lista)
            agrupa = agrupa || Agregada(*i.expr);
        auto esAlias = [&](const Expr& e) {
            if (e.clase != ClaseExpr::Columna || e.nombre.partes.size() != 1)
                return false;
            for (const ColumnaAmbito& c : alias)
                if (c.nombre.compare(e.nombre.ultimo(), Qt::CaseInsensitive) == 0)
                    return true;
            return false;
        };
        if (agrupa) {
            QSet<QString> grupos;
            for (const PExpr& g : s.grupo)
                grupos.insert(escrita_.value(g.get()));
            QString culpable;
            for (const ItemSelect& i : s.lista)
                if (i.expr->clase == ClaseExpr::Estrella ? !(culpable = QStringLiteral("*")).isEmpty() : !agrupada(*i.expr, grupos, culpable))
                    throw ErrorTsql{8120, QStringLiteral("Column '%1' is invalid in the select list because it is not contained in either an aggregate function or the GROUP BY clause.").arg(culpable)};
            if (s.teniendo && !agrupada(*s.teniendo, grupos, culpable))
                throw ErrorTsql{8121, QStringLiteral("Column '%1' is invalid in the HAVING clause because it is not contained in either an aggregate function or the GROUP BY clause.").arg(culpable)};
            for (const Orden& o : s.orden)
                if (!esAlias(*o.expr) && !agrupada(*o.expr, grupos, culpable))
                    throw ErrorTsql{8127, QStringLiteral("Column \"%1\" is invalid in the ORDER BY clause because it is not contained in either an aggregate function or the GROUP BY clause.").arg(culpable)};
        }
        if (s.distinto && !s.orden.empty()) {
            QSet<QString> lista;
            for (const ItemSelect& i : s.lista)
                lista.insert(escrita_.value(i.expr.get()));
            for (const Orden& o : s.orden) {
                const bool ordinal = o.expr->clase == ClaseExpr::Literal && !o.expr->texto.contains(u'\'');
                if (!ordinal && !esAlias(*o.expr) && !lista.contains(escrita_.value(o.expr.get())))
                    throw ErrorTsql{145, QStringLiteral("ORDER BY items must appear in the select list if SELECT DISTINCT is specified.")};
            }
        }
    }

    // Whether an expression is made of what a grouped row has: aggregates,
    // the GROUP BY's expressions, constants; culpable: the first column that is not.
    bool agrupada(const Expr& e, const QSet<QString>& grupos, QString& culpable) const
    {
        if (e.clase == ClaseExpr::Subconsulta || e.clase == ClaseExpr::Existe || EsAgregado(e))
            return true;
        if (grupos.contains(escrita_.value(&e)))
            return true;
        if (e.clase == ClaseExpr::Columna) {
            // t.c and c are the same column when only one source has it.
            if (grupos.contains(Q(e.nombre.ultimo())) || std::any_of(grupos.begin(), grupos.end(), [&](const QString& g) {
                    return g.endsWith(u'.' + Q(e.nombre.ultimo()), Qt::CaseInsensitive);
                }))
                return true;
            culpable = e.nombre.partes.join(u'.');
            return false;
        }
        for (const PExpr& h : e.hijos)
            if (h && !agrupada(*h, grupos, culpable))
                return false;
        return (!e.operando || agrupada(*e.operando, grupos, culpable)) && (!e.sino || agrupada(*e.sino, grupos, culpable));
    }

    // The one table of a plain SELECT, and that SELECT with the row id.
    void clave(Select& s)
    {
        if (r_.sentencias.size() != 1 || !Simple(s))
            return;
        std::vector<Tipo> t;
        r_.tabla = Objeto(s.desde[0].fuente.nombre);
        try {
            Opciones op;
            op.claveFila = true;
            r_.conClave = select(s, nullptr, &t, nullptr, op);
        } catch (const ErrorTsql&) {
            r_.tabla.clear();
        }
    }

    // ---------------------------------------------------------- statements

    void salida(QString sql, std::vector<Tipo> columnas = {}, bool filas = false, bool definicion = false)
    {
        SalidaSqlite x;
        x.sql = std::move(sql);
        x.columnas = std::move(columnas);
        x.filas = filas;
        x.definicion = definicion;
        x.si = si_;
        x.cuando = cuando_;
        r_.sentencias.push_back(std::move(x));
    }

    void sentencia(Sentencia& s)
    {
        switch (s.clase) {
        case ClaseSentencia::Select: {
            if (!s.select->into.vacio())
                return seleccionarEn(s);
            if (!s.select->xml.isNull()) {
                // The server sends a statement's XML as rows of 2033 characters.
                const QString x = xml(*s.select, nullptr);
                return salida(QStringLiteral("WITH RECURSIVE ss_x(t) AS (%1), ss_n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM ss_n, "
                                             "ss_x WHERE (i + 1) * 2033 < length(t)) SELECT substr(t, i * 2033 + 1, 2033) AS %2 "
                                             "FROM ss_x, ss_n WHERE i * 2033 < length(t) ORDER BY i")
                                  .arg(x, Q(QStringLiteral("XML_F52E2B61-18A1-11d1-B105-00805F49916B"))),
                              {TipoXml()}, true);
            }
            int asignan = 0;
            for (const ItemSelect& i : s.select->lista)
                asignan += i.variable.isEmpty() ? 0 : 1;
            if (asignan && asignan != int(s.select->lista.size()))
                throw ErrorTsql{141, QStringLiteral("A SELECT statement that assigns a value to a variable must not be combined with data-retrieval operations.")};
            std::vector<Tipo> t;
            const QString q = select(*s.select, nullptr, &t);
            salida(q, asignan ? std::vector<Tipo>{} : t, asignan == 0);
            return;
        }
        case ClaseSentencia::Insert: return insertar(s);
        case ClaseSentencia::Update: return actualizar(s);
        case ClaseSentencia::Delete: return borrar(s);
        case ClaseSentencia::Si: {
            // The condition is taken once, before either branch runs; the
            // statements of each branch run only on its answer.
            Ambito vacio;
            salida(QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END").arg(expr(*s.donde, vacio).sql));
            r_.sentencias.back().condicion = true;
            const int antes = si_;
            const bool cuandoAntes = cuando_;
            si_ = int(r_.sentencias.size()) - 1;
            cuando_ = true;
            sentencia(*s.cuerpo[0]);
            if (s.cuerpo.size() > 1 && s.cuerpo[1]) {
                cuando_ = false;
                sentencia(*s.cuerpo[1]);
            }
            si_ = antes;
            cuando_ = cuandoAntes;
            return;
        }
        case ClaseSentencia::Bloque:
            for (PSentencia& x : s.cuerpo) {
                trasRetorno();
                sentencia(*x);
            }
            return;
        case ClaseSentencia::Transaccion: {
            const QString k = s.texto.toUpper();
            if (k == u"BEGIN")
                salida(QStringLiteral("SAVEPOINT ss_tran"));
            else if (k == u"COMMIT")
                salida(QStringLiteral("RELEASE ss_tran"));
            else if (k == u"ROLLBACK")
                salida(QStringLiteral("ROLLBACK"));
            else
                throw NoSoportado(QStringLiteral("SAVE TRANSACTION"));
            return;
        }
        case ClaseSentencia::Opcion: {
            const QStringList opciones = s.texto.toUpper().split(u',');
            QString v = s.valor.trimmed();
            if (v.startsWith(u'\'') || v.startsWith(u'"') || v.startsWith(u'['))
                v = v.mid(1, v.size() - 2);
            v = v.toLower();
            if (opciones.contains(QStringLiteral("DATEFORMAT")))
                salida(QStringLiteral("SELECT ss_dateformat(%1)").arg(Lit(v)));
            // A language brings its own date order, first day of the week and
            // names of months and days; the embedded database knows the
            // Spanish login it starts as and us_english.
            if (opciones.contains(QStringLiteral("LANGUAGE")))
                salida(QStringLiteral("SELECT ss_language(%1)").arg(Lit(v)));
            if (opciones.contains(QStringLiteral("DATEFIRST"))) {
                bool numero = false;
                const int dia = v.toInt(&numero);
                if (!numero && !v.startsWith(u'@'))
                    throw ErrorTsql{102, QStringLiteral("Incorrect syntax near '%1'.").arg(s.valor.trimmed())};
                if (!numero)
                    variable(v);
                salida(QStringLiteral("SELECT ss_datefirst(%1)").arg(numero ? QString::number(dia) : QStringLiteral("ss_var(%1)").arg(nombreVariable(v))));
            }
            // The other options change nothing the embedded database does.
            return;
        }
        case ClaseSentencia::CrearTabla: return crearTabla(s);
        case ClaseSentencia::CrearVista: {
            std::vector<Tipo> t;
            std::vector<QString> n;
            const QString q = select(*s.select, nullptr, &t, &n);
            std::vector<ColumnaAmbito> cols;
            for (size_t i = 0; i < t.size(); ++i)
                cols.push_back({i < size_t(s.columnas.size()) ? s.columnas[int(i)] : n[i], t[i]});
            tablas_.insert(Objeto(s.objeto).toLower(), cols);
            QStringList c;
            for (const QString& x : s.columnas)
                c << Q(x);
            salida(QStringLiteral("CREATE VIEW %1%2 AS %3").arg(Q(Objeto(s.objeto)), c.isEmpty() ? QString() : Par(c.join(QStringLiteral(", "))), q), {}, false, true);
            // SQLite declares no type for a view's computed column: kept
            // beside it, so that a later batch reads the view typed.
            QStringList tipos;
            for (const ColumnaAmbito& x : cols)
                if (!x.tipo.desconocido() && x.tipo.clase != Clase::Nulo)
                    tipos << QStringLiteral("(%1, %2, %3)").arg(Lit(Objeto(s.objeto)), Lit(x.nombre), Lit(NombreDe(x.tipo)));
            salida(QString::fromLatin1(kTablaDeTipos));
            salida(QStringLiteral("DELETE FROM ss_tipos WHERE objeto = %1").arg(Lit(Objeto(s.objeto))));
            if (!tipos.isEmpty())
                salida(QStringLiteral("INSERT INTO ss_tipos (objeto, columna, tipo) VALUES ") + tipos.join(QStringLiteral(", ")));
            return;
        }
        case ClaseSentencia::CrearIndice: {
            QStringList c;
            for (int i = 0; i < s.columnas.size(); ++i)
                c << Q(s.columnas[i]) + (i < int(s.columnasDesc.size()) && s.columnasDesc[size_t(i)] ? QStringLiteral(" DESC") : QString());
            salida(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                       .arg(s.unico ? QStringLiteral("UNIQUE ") : QString(), Q(Objeto(s.indice)), Q(Objeto(s.objeto)), c.join(QStringLiteral(", "))),
                   {}, false, true);
            return;
        }
        case ClaseSentencia::Eliminar: {
            const QString k = s.claseObjeto.toUpper();
            if (k == u"TRIGGER")
                return eliminarDisparadores(s);
            if (k != u"TABLE" && k != u"VIEW" && k != u"INDEX")
                throw NoSoportado(QStringLiteral("DROP %1").arg(k));
            for (const Nombre& n : s.objetos) {
                tablas_.remove(Objeto(n).toLower());
                salida(QStringLiteral("DROP %1 %2%3").arg(k, s.siExiste ? QStringLiteral("IF EXISTS ") : QString(), Q(Objeto(n))), {}, false, true);
                if (k == u"VIEW") {
                    salida(QString::fromLatin1(kTablaDeTipos));
                    salida(QStringLiteral("DELETE FROM ss_tipos WHERE objeto = %1").arg(Lit(Objeto(n))));
                }
                if (k == u"TABLE")
                    olvidarDisparadores(Objeto(n));
            }
            return;
        }
        case ClaseSentencia::AlterarTabla: {
            // What copies the table's rows goes while it changes, and comes
            // back with its new columns. A column's new type comes in one
            // step undone whole on a failure: its copies are made again after.
            const QString t = Objeto(s.objeto);
            const QStringList eventos = eventosDe(t);
            const bool cambio = s.accion.toUpper() == u"ALTER COLUMN";
            if (!eventos.isEmpty() && !cambio)
                captura(t, {});
            alterar(s);
            if (!eventos.isEmpty() && cambio)
                captura(t, {});
            if (!eventos.isEmpty())
                captura(t, eventos);
            return;
        }
        case ClaseSentencia::Truncar: {
            const QString t = Objeto(s.objeto);
            if (!tabla(t))
                throw ErrorTsql{4701, QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not have permissions.").arg(t)};
            salida(QStringLiteral("DELETE FROM %1").arg(Q(t)));
            if (!identidades_.value(t.toLower()).isEmpty())
                salida(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = %1").arg(Lit(t)));
            // It fires no trigger; the rows copied on their way out go at once.
            if (eventosDe(t).contains(QLatin1String("DELETE")))
                interna(QStringLiteral("DELETE FROM %1 WHERE ss_nivel = 0").arg(Q(FilasDe(t, false))));
            return;
        }
        case ClaseSentencia::Declarar:
            for (Declaracion& d : s.declaraciones) {
                const QString k = d.variable.toLower();
                if (variables_.contains(k))
                    throw ErrorTsql{134, QStringLiteral("The variable name '%1' has already been declared. Variable names must be unique within a query batch or stored procedure.").arg(d.variable)};
                const Tipo t = TipoDeEscrito(d.tipo);
                if (t.desconocido())
                    throw ErrorTsql{2715, QStringLiteral("Column, parameter, or variable #1: Cannot find data type %1.").arg(d.tipo.nombre)};
                variables_.insert(k, t);
                Ambito vacio;
                salida(QStringLiteral("SELECT ss_var_fijar(%1, %2)")
                           .arg(nombreVariable(k), d.valor ? conv(expr(*d.valor, vacio), t, Modo::Explicita) : QStringLiteral("NULL")));
            }
            return;
        case ClaseSentencia::Asignar:
            for (Asignacion& x : s.asignaciones) {
                const QString nombre = x.columna.ultimo();
                const Tipo t = variable(nombre);
                Ambito vacio;
                Res v = expr(*x.expr, vacio);
                if (x.operador != u"=")
                    v = aritmetica(x.operador.left(x.operador.size() - 1), {QStringLiteral("ss_var(%1)").arg(nombreVariable(nombre)), t}, v);
                // A variable takes a longer text cut, as CAST would.
                salida(QStringLiteral("SELECT ss_var_fijar(%1, %2)").arg(nombreVariable(nombre), conv(v, t, Modo::Explicita)));
            }
            return;
        case ClaseSentencia::Ejecutar: throw NoSoportado(QStringLiteral("EXECUTE"));
        case ClaseSentencia::CrearDisparador: return crearDisparador(s);
        case ClaseSentencia::Retorno: return retorno(s);
        case ClaseSentencia::Otra: throw NoSoportado(s.texto);
        }
    }

    // A variable of the batch: its type (137 before its DECLARE).
    Tipo variable(const QString& nombre) const
    {
        const auto it = variables_.constFind(nombre.toLower());
        if (it == variables_.constEnd())
            throw ErrorTsql{137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(nombre)};
        return it.value();
    }

    // SELECT ... INTO t: a table of the result's columns and types, then its
    // rows. A #name is a temporary table of the connection.
    void seleccionarEn(Sentencia& s)
    {
        Select& q = *s.select;
        const QString t = Objeto(q.into);
        Nombre into = std::move(q.into);
        q.into = Nombre{};
        std::vector<Tipo> tipos;
        std::vector<QString> nombres;
        const QString sql = select(q, nullptr, &tipos, &nombres);
        q.into = std::move(into);
        if (tabla(t))
            throw ErrorTsql{2714, QStringLiteral("There is already an object named '%1' in the database.").arg(t)};
        QStringList cols, qc;
        std::vector<ColumnaAmbito> registro;
        for (size_t i = 0; i < tipos.size(); ++i) {
            if (nombres[i].isEmpty())
                throw ErrorTsql{1038, QStringLiteral("An object or column name is missing or empty. For SELECT INTO statements, verify each column has a name.")};
            // A column of unknown type (a file made elsewhere) keeps SQLite's own.
            const Tipo x = tipos[i].clase == Clase::Nulo ? Tipo::De(Clase::Int) : tipos[i];
            cols << Q(nombres[i]) + (x.desconocido() ? QString() : u' ' + Declarado(x));
            qc << Q(nombres[i]);
            registro.push_back({nombres[i], x});
        }
        salida(QStringLiteral("CREATE %1TABLE %2 (%3)").arg(Temporal(t) ? QStringLiteral("TEMP ") : QString(), Q(t), cols.join(QStringLiteral(", "))),
               {}, false, true);
        salida(QStringLiteral("INSERT INTO %1 (%2) %3").arg(Q(t), qc.join(QStringLiteral(", ")), sql));
        tablas_.insert(t.toLower(), registro);
        identidades_.insert(t.toLower(), QString());
    }

    // #name: a table of the connection, gone when it closes. ##name is seen
    // by every connection on the server: SQLite has no such thing.
    static bool Temporal(const QString& t)
    {
        if (t.startsWith(QLatin1String("##")))
            throw NoSoportado(QStringLiteral("The global temporary table %1").arg(t));
        return t.startsWith(u'#');
    }

    // The scope of a statement on one table.
    Ambito ambitoDe(const QString& t, const QString& alias = QString())
    {
        const auto* cols = tabla(t);
        if (!cols)
            throw ErrorTsql{208, QStringLiteral("Invalid object name '%1'.").arg(t)};
        Ambito a;
        a.fuentes.push_back({alias.isEmpty() ? t : alias, *cols});
        return a;
    }

    const Tipo* tipoColumna(const Ambito& a, const QString& c)
    {
        for (const ColumnaAmbito& x : a.fuentes[0].columnas)
            if (x.nombre.compare(c, Qt::CaseInsensitive) == 0)
                return &x.tipo;
        return nullptr;
    }

    // SCOPE_IDENTITY() and @@IDENTITY after an INSERT: the number it gave,
    // or NULL when the table has no identity (or the INSERT took no row).
    void insertar(Sentencia& s)
    {
        conDisparadores(Objeto(s.objeto), QStringLiteral("INSERT"), {}, [&] {
            insertarFilas(s);
            const QString identidad = identidades_.value(Objeto(s.objeto).toLower());
            salida(identidad.isEmpty() ? QStringLiteral("SELECT ss_fijar_identidad(NULL)")
                                       : QStringLiteral("SELECT ss_fijar_identidad(CASE WHEN changes() > 0 THEN last_insert_rowid() END)"));
        });
    }

    void insertarFilas(Sentencia& s)
    {
        const auto ctesAntes = ctes_;
        const auto enLinea = ctesEnLinea(s.con);
        const QString t = Objeto(s.objeto);
        const Ambito a = ambitoDe(t);
        const QString identidad = identidades_.value(t.toLower());
        QStringList cols = s.columnas;
        if (cols.isEmpty() && !s.valoresPorDefecto)
            for (const ColumnaAmbito& c : a.fuentes[0].columnas)
                if (c.nombre.compare(identidad, Qt::CaseInsensitive) != 0)
                    cols << c.nombre;
        std::vector<Tipo> tipos;
        QStringList qc;
        for (const QString& c : cols) {
            const Tipo* x = tipoColumna(a, c);
            if (!x)
                throw ErrorTsql{207, QStringLiteral("Invalid column name '%1'.").arg(c)};
            if (!identidad.isEmpty() && c.compare(identidad, Qt::CaseInsensitive) == 0)
                throw ErrorTsql{544, QStringLiteral("Cannot insert explicit value for identity column in table '%1' when IDENTITY_INSERT is set to OFF.").arg(t)};
            tipos.push_back(*x);
            qc << Q(c);
        }
        const QString cabeza = QStringLiteral("INSERT INTO %1%2 ").arg(Q(t), qc.isEmpty() ? QString() : u' ' + Par(qc.join(QStringLiteral(", "))));
        Ambito vacio;
        if (s.valoresPorDefecto) {
            salida(cabeza + QStringLiteral("DEFAULT VALUES"));
            ctes_ = ctesAntes;
            return;
        }
        if (!s.valores.empty()) {
            QStringList filas;
            for (auto& fila : s.valores) {
                if (fila.size() != size_t(cols.size()))
                    throw ErrorTsql{fila.size() > size_t(cols.size()) ? 110 : 109,
                                    fila.size() > size_t(cols.size())
                                        ? QStringLiteral("There are fewer columns in the INSERT statement than values specified in the VALUES clause. The number of values in the VALUES clause must match the number of columns specified in the INSERT statement.")
                                        : QStringLiteral("There are more columns in the INSERT statement than values specified in the VALUES clause. The number of values in the VALUES clause must match the number of columns specified in the INSERT statement.")};
                QStringList v;
                for (size_t i = 0; i < fila.size(); ++i)
                    v << conv(expr(*fila[i], vacio), tipos[i], Modo::Asignacion);
                filas << Par(v.join(QStringLiteral(", ")));
            }
            salida(cabeza + QStringLiteral("VALUES ") + filas.join(QStringLiteral(", ")));
            ctes_ = ctesAntes;
            return;
        }
        std::vector<Tipo> t2;
        std::vector<QString> n2;
        const QString q = select(*s.select, nullptr, &t2, &n2);
        if (t2.size() != tipos.size())
            throw ErrorTsql{121, QStringLiteral("The select list for the INSERT statement contains %1 items than the insert list. The number of SELECT values must match the number of INSERT columns.")
                                     .arg(t2.size() > tipos.size() ? QStringLiteral("more") : QStringLiteral("fewer"))};
        QStringList v;
        bool iguales = true;
        for (size_t i = 0; i < t2.size(); ++i) {
            const QString c = conv({QStringLiteral("ss_q.c%1").arg(i + 1), t2[i]}, tipos[i], Modo::Asignacion);
            iguales = iguales && c == QStringLiteral("ss_q.c%1").arg(i + 1);
            v << c;
        }
        ctes_ = ctesAntes;
        if (iguales) {
            salida(cabeza + q);
            return;
        }
        QStringList nombres;
        for (size_t i = 0; i < t2.size(); ++i)
            nombres << QStringLiteral("c%1").arg(i + 1);
        // The rows converted on their way in: one more CTE after the statement's own.
        const QString ssq = QStringLiteral("ss_q(%1) AS (%2) ").arg(nombres.join(QStringLiteral(", ")), q);
        salida(cabeza + QStringLiteral("WITH ") + ssq + QStringLiteral("SELECT %1 FROM ss_q").arg(v.join(QStringLiteral(", "))));
    }

    // The target of UPDATE / DELETE, and the rows a TOP takes.
    QString filtro(Sentencia& s, const Ambito& a, const QString& t)
    {
        QStringList w;
        if (s.donde)
            w << Par(expr(*s.donde, a).sql);
        QString donde = w.isEmpty() ? QString() : QStringLiteral(" WHERE ") + w.join(QStringLiteral(" AND "));
        if (s.top) {
            QString n = s.porcentaje ? expr(*s.top, a).sql : filasDeTop(*s.top, a);
            if (s.porcentaje)
                n = QStringLiteral("(SELECT CAST((count(*) * (%1) + 99.9999999) / 100 AS INTEGER) FROM %2%3)").arg(n, Q(t), donde);
            donde = QStringLiteral(" WHERE rowid IN (SELECT rowid FROM %1%2 LIMIT %3)").arg(Q(t), donde, n);
        }
        return donde;
    }

    // The name the target of UPDATE / DELETE ... FROM goes by in the FROM.
    static QString NombreDelBlanco(const Sentencia& s) { return s.alias.isEmpty() ? Objeto(s.objeto) : s.alias; }

    // UPDATE ... FROM: SQLite's own UPDATE ... FROM, the target out of the
    // FROM and the conditions of inner joins in the WHERE (an outer join
    // goes through actualizarPorFila).
    QString desdeDeActualizacion(Sentencia& s, Ambito& a, QStringList& condiciones)
    {
        const QString blanco = NombreDelBlanco(s);
        a = ambitoDe(Objeto(s.objeto), blanco);
        QStringList otras;
        std::vector<Expr*> ons;
        bool hallado = false;
        auto toma = [&](Fuente& f) {
            const QString nombre = f.alias.isEmpty() ? Objeto(f.nombre) : f.alias;
            if (!hallado && f.clase == ClaseFuente::Tabla && nombre.compare(blanco, Qt::CaseInsensitive) == 0) {
                hallado = true;
                return;
            }
            QString sql;
            a.fuentes.push_back(fuente(f, nullptr, sql));
            otras << sql;
        };
        for (Desde& d : s.desde) {
            toma(d.fuente);
            for (Union& u : d.uniones) {
                toma(u.fuente);
                if (u.on)
                    ons.push_back(u.on.get());
            }
        }
        for (Expr* on : ons)
            condiciones << Par(expr(*on, a).sql);
        return otras.join(QStringLiteral(", "));
    }

    static bool ConUnionExterior(const Sentencia& s)
    {
        for (const Desde& d : s.desde)
            for (const Union& u : d.uniones)
                if (u.clase != ClaseUnion::Inner && u.clase != ClaseUnion::Cross)
                    return true;
        return false;
    }

    // UPDATE ... FROM with an outer join, which keeps rows an inner one
    // would not: the new values computed over the whole FROM beside the
    // target's row id; each target row takes those of one joined row, as
    // on the server, and a row joined to nothing takes NULLs.
    QString actualizarPorFila(Sentencia& s)
    {
        if (s.top)
            throw NoSoportado(QStringLiteral("UPDATE TOP ... FROM"));
        const QString t = Objeto(s.objeto);
        const QString blanco = NombreDelBlanco(s);
        const Ambito destino = ambitoDe(t, blanco);
        Ambito a;
        QString desdeSql = desde(s.desde, a);
        bool esta = false;
        for (const FuenteAmbito& f : a.fuentes)
            esta = esta || f.alias.compare(blanco, Qt::CaseInsensitive) == 0;
        if (!esta) {
            a.fuentes.push_back(destino.fuentes[0]);
            desdeSql = Q(t) + (blanco.compare(t, Qt::CaseInsensitive) == 0 ? QString() : QStringLiteral(" AS ") + Q(blanco))
                       + QStringLiteral(", ") + desdeSql;
        }
        QStringList valores, sets;
        for (Asignacion& x : s.asignaciones) {
            const QString c = x.columna.ultimo();
            valores << QStringLiteral("%1 AS ss_v%2").arg(valorDeSet(x, a, destino, Q(blanco) + u'.' + Q(c))).arg(sets.size() + 1);
            sets << QStringLiteral("%1 = ss_d.ss_v%2").arg(Q(c)).arg(sets.size() + 1);
        }
        QString q = QStringLiteral("SELECT %1.rowid AS ss_fila, %2 FROM %3").arg(Q(blanco), valores.join(QStringLiteral(", ")), desdeSql);
        if (s.donde)
            q += QStringLiteral(" WHERE ") + expr(*s.donde, a).sql;
        return QStringLiteral("UPDATE %1 SET %2 FROM (%3) AS ss_d WHERE %1.rowid = ss_d.ss_fila")
            .arg(Q(t), sets.join(QStringLiteral(", ")), q);
    }

    // What SET c = x (or c += x ...) writes in c, converted to its type:
    // x read in a, c among the target's columns, its value before named anterior.
    QString valorDeSet(Asignacion& x, const Ambito& a, const Ambito& destino, const QString& anterior)
    {
        const QString c = x.columna.ultimo();
        if (c.startsWith(u'@'))
            throw NoSoportado(QStringLiteral("The variable %1").arg(c));
        const Tipo* tc = tipoColumna(destino, c);
        if (!tc)
            throw ErrorTsql{207, QStringLiteral("Invalid column name '%1'.").arg(c)};
        Res v = expr(*x.expr, a);
        if (x.operador != u"=")
            v = aritmetica(x.operador.left(x.operador.size() - 1), {anterior, *tc}, v);
        return conv(v, *tc, Modo::Asignacion);
    }

    void actualizar(Sentencia& s)
    {
        QStringList cambiadas;
        for (const Asignacion& x : s.asignaciones)
            cambiadas << x.columna.ultimo();
        conDisparadores(Objeto(s.objeto), QStringLiteral("UPDATE"), cambiadas, [&] { actualizarFilas(s); });
    }

    void actualizarFilas(Sentencia& s)
    {
        const auto ctesAntes = ctes_;
        const auto enLinea = ctesEnLinea(s.con);
        if (ConUnionExterior(s)) {
            const QString q = actualizarPorFila(s);
            ctes_ = ctesAntes;
            return salida(q);
        }
        const QString t = Objeto(s.objeto);
        Ambito a;
        QStringList condiciones;
        QString desde;
        if (s.desde.empty())
            a = ambitoDe(t);
        else
            desde = desdeDeActualizacion(s, a, condiciones);
        QStringList sets;
        for (Asignacion& x : s.asignaciones)
            sets << Q(x.columna.ultimo()) + QStringLiteral(" = ") + valorDeSet(x, a, a, Q(x.columna.ultimo()));
        if (s.desde.empty()) {
            salida(QStringLiteral("UPDATE %1 SET %2").arg(Q(t), sets.join(QStringLiteral(", "))) + filtro(s, a, t));
            ctes_ = ctesAntes;
            return;
        }
        if (s.top)
            throw NoSoportado(QStringLiteral("UPDATE TOP ... FROM"));
        if (s.donde)
            condiciones << Par(expr(*s.donde, a).sql);
        const QString blanco = NombreDelBlanco(s);
        ctes_ = ctesAntes;
        salida(QStringLiteral("UPDATE %1%2 SET %3%4%5")
                   .arg(Q(t), blanco.compare(t, Qt::CaseInsensitive) == 0 ? QString() : QStringLiteral(" AS ") + Q(blanco),
                        sets.join(QStringLiteral(", ")), desde.isEmpty() ? QString() : QStringLiteral(" FROM ") + desde,
                        condiciones.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condiciones.join(QStringLiteral(" AND "))));
    }

    void borrar(Sentencia& s)
    {
        conDisparadores(Objeto(s.objeto), QStringLiteral("DELETE"), {}, [&] { borrarFilas(s); });
    }

    void borrarFilas(Sentencia& s)
    {
        const auto ctesAntes = ctes_;
        const auto enLinea = ctesEnLinea(s.con);
        const QString t = Objeto(s.objeto);
        if (s.desde.empty()) {
            const Ambito a = ambitoDe(t);
            salida(QStringLiteral("DELETE FROM %1").arg(Q(t)) + filtro(s, a, t));
            ctes_ = ctesAntes;
            return;
        }
        // DELETE ... FROM with joins of any kind: the rows of the target the
        // joined rows name, by their row id.
        const QString blanco = NombreDelBlanco(s);
        Ambito a;
        QString desdeSql = desde(s.desde, a);
        bool esta = false;
        for (const FuenteAmbito& f : a.fuentes)
            esta = esta || f.alias.compare(blanco, Qt::CaseInsensitive) == 0;
        if (!esta) {
            a.fuentes.push_back(ambitoDe(t, blanco).fuentes[0]);
            desdeSql = Q(t) + QStringLiteral(", ") + desdeSql;
        }
        QString q = QStringLiteral("SELECT %1.rowid FROM %2").arg(Q(blanco), desdeSql);
        if (s.donde)
            q += QStringLiteral(" WHERE ") + expr(*s.donde, a).sql;
        if (s.top) {
            if (s.porcentaje)
                throw NoSoportado(QStringLiteral("DELETE TOP ... PERCENT ... FROM"));
            q += QStringLiteral(" LIMIT ") + filasDeTop(*s.top, a);
        }
        ctes_ = ctesAntes;
        salida(QStringLiteral("DELETE FROM %1 WHERE rowid IN (%2)").arg(Q(t), q));
    }

    // ------------------------------------------------------------------ DDL

    static Tipo TipoDeColumna(const DefColumna& c)
    {
        const Tipo t = TipoDeEscrito(c.tipo, c.intercalacion);
        if (t.desconocido())
            throw ErrorTsql{2715, QStringLiteral("Column, parameter, or variable #1: Cannot find data type %1.").arg(c.tipo.nombre)};
        return t;
    }

    QString defColumna(DefColumna& c, const Ambito& a, bool& identidad)
    {
        const Tipo t = TipoDeColumna(c);
        QString s = Q(c.nombre) + u' ';
        if (c.identidad) {
            if (!t.entero() && !(t.clase == Clase::Decimal && t.escala == 0))
                throw ErrorTsql{2749, QStringLiteral("Identity column '%1' must be of data type int, bigint, smallint, tinyint, or decimal or numeric with a scale of 0, and constrained to be nonnullable.").arg(c.nombre)};
            if (c.incremento != 1)
                throw NoSoportado(QStringLiteral("An IDENTITY increment other than 1"));
            identidad = true;
            // SQLite numbers a table's rows itself only in its row id.
            return s + QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        }
        s += Declarado(t);
        if (c.nuloEscrito && !c.nulo)
            s += QStringLiteral(" NOT NULL");
        if (c.defecto) {
            Ambito vacio;
            s += QStringLiteral(" DEFAULT ") + Par(conv(expr(*c.defecto, vacio), t, Modo::Asignacion));
        }
        if (c.clavePrimaria)
            s += QStringLiteral(" PRIMARY KEY");
        if (c.unica)
            s += QStringLiteral(" UNIQUE");
        if (c.chequeo)
            s += QStringLiteral(" CHECK ") + Par(expr(*c.chequeo, a).sql);
        if (!c.referencia.vacio()) {
            QStringList r;
            for (const QString& x : c.columnasReferencia)
                r << Q(x);
            s += QStringLiteral(" REFERENCES ") + Q(Objeto(c.referencia)) + (r.isEmpty() ? QString() : Par(r.join(QStringLiteral(", "))))
                 + Acciones(c.alBorrar, c.alActualizar);
        }
        return s;
    }

    QString restriccion(Restriccion& r, const Ambito& a)
    {
        QStringList c;
        for (const QString& x : r.columnas)
            c << Q(x);
        const QString nombre = r.nombre.isEmpty() ? QString() : QStringLiteral("CONSTRAINT ") + Q(r.nombre) + u' ';
        const QString k = r.clase.toUpper();
        if (k == u"PRIMARY KEY" || k == u"UNIQUE")
            return nombre + k + u' ' + Par(c.join(QStringLiteral(", ")));
        if (k == u"CHECK")
            return nombre + QStringLiteral("CHECK ") + Par(expr(*r.expr, a).sql);
        if (k == u"FOREIGN KEY") {
            QStringList rc;
            for (const QString& x : r.columnasReferencia)
                rc << Q(x);
            return nombre + QStringLiteral("FOREIGN KEY ") + Par(c.join(QStringLiteral(", "))) + QStringLiteral(" REFERENCES ")
                   + Q(Objeto(r.referencia)) + (rc.isEmpty() ? QString() : Par(rc.join(QStringLiteral(", "))))
                   + Acciones(r.alBorrar, r.alActualizar);
        }
        throw NoSoportado(QStringLiteral("The constraint %1").arg(k));
    }

    void crearTabla(Sentencia& s)
    {
        const QString t = Objeto(s.objeto);
        const bool temporal = Temporal(t);
        Ambito a;
        FuenteAmbito f{t, {}};
        for (DefColumna& c : s.definiciones)
            f.columnas.push_back({c.nombre, TipoDeEscrito(c.tipo, c.intercalacion)});
        a.fuentes.push_back(f);
        QStringList partes;
        QString identidad;
        qint64 semilla = 1;
        for (DefColumna& c : s.definiciones) {
            bool id = false;
            partes << defColumna(c, a, id);
            if (id) {
                if (!identidad.isEmpty())
                    throw ErrorTsql{2744, QStringLiteral("Multiple identity columns specified for table '%1'. Only one identity column per table is allowed.").arg(t)};
                identidad = c.nombre;
                semilla = c.semilla;
            }
        }
        for (Restriccion& r : s.restricciones) {
            // The identity column is already the key SQLite numbers.
            if (!identidad.isEmpty() && r.clase.toUpper() == u"PRIMARY KEY" && r.columnas.size() == 1
                && r.columnas[0].compare(identidad, Qt::CaseInsensitive) == 0)
                continue;
            if (!identidad.isEmpty() && r.clase.toUpper() == u"PRIMARY KEY")
                throw NoSoportado(QStringLiteral("An IDENTITY column beside another primary key"));
            partes << restriccion(r, a);
        }
        for (const DefColumna& c : s.definiciones)
            if (!identidad.isEmpty() && c.clavePrimaria && c.nombre.compare(identidad, Qt::CaseInsensitive) != 0)
                throw NoSoportado(QStringLiteral("An IDENTITY column beside another primary key"));
        salida(QStringLiteral("CREATE %1TABLE %2 (%3)").arg(temporal ? QStringLiteral("TEMP ") : QString(), Q(t), partes.join(QStringLiteral(", "))), {}, false, true);
        if (!identidad.isEmpty() && semilla != 1)
            salida(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (%1, %2)").arg(Lit(t)).arg(semilla - 1));
        // Later statements of the batch see the new table.
        tablas_.insert(t.toLower(), f.columnas);
        identidades_.insert(t.toLower(), identidad);
    }

    void alterar(Sentencia& s)
    {
        const QString t = Objeto(s.objeto);
        const QString k = s.accion.toUpper();
        if (k == u"ADD") {
            if (!s.restricciones.empty())
                throw NoSoportado(QStringLiteral("ALTER TABLE ... ADD CONSTRAINT"));
            Ambito a = ambitoDe(t);
            for (DefColumna& c : s.definiciones) {
                bool id = false;
                const QString d = defColumna(c, a, id);
                if (id)
                    throw NoSoportado(QStringLiteral("ALTER TABLE ... ADD of an IDENTITY column"));
                salida(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(Q(t), d), {}, false, true);
                tablas_[t.toLower()].push_back({c.nombre, TipoDeEscrito(c.tipo, c.intercalacion)});
            }
            return;
        }
        if (k == u"DROP COLUMN") {
            tablas_.remove(t.toLower());
            for (const QString& c : s.eliminadas)
                salida(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(Q(t), Q(c)), {}, false, true);
            return;
        }
        if (k == u"ALTER COLUMN")
            return cambiarColumna(t, s.definiciones[0]);
        throw NoSoportado(QStringLiteral("ALTER TABLE ... %1").arg(k));
    }

    void cambiarColumna(const QString& t, const DefColumna& c)
    {
        if (Temporal(t))
            throw NoSoportado(QStringLiteral("ALTER TABLE ... ALTER COLUMN of a temporary table"));
        if (!tabla(t))
            throw ErrorTsql{4902, QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not have permissions.").arg(t)};
        auto& cols = tablas_[t.toLower()];
        auto col = std::find_if(cols.begin(), cols.end(), [&](const ColumnaAmbito& x) { return x.nombre.compare(c.nombre, Qt::CaseInsensitive) == 0; });
        if (col == cols.end())
            throw ErrorTsql{4924, QStringLiteral("ALTER TABLE ALTER COLUMN failed because column '%1' does not exist in table '%2'.").arg(c.nombre, t)};
        // SQLite numbers the rows only in an INTEGER key: it stays one.
        if (identidades_.value(t.toLower()).compare(c.nombre, Qt::CaseInsensitive) == 0)
            throw NoSoportado(QStringLiteral("ALTER TABLE ... ALTER COLUMN of an IDENTITY column"));
        const Tipo nuevo = TipoDeColumna(c);
        const Tipo viejo = col->tipo;
        // The server takes text and ntext only to varchar(max) or nvarchar(max).
        if ((viejo.clase == Clase::Text || viejo.clase == Clase::NText) && nuevo.clase != viejo.clase
            && !((nuevo.clase == Clase::VarChar || nuevo.clase == Clase::NVarChar) && nuevo.largo < 0))
            throw NoSoportado(QStringLiteral("ALTER TABLE ... ALTER COLUMN of a text or ntext column to %1").arg(NombreDe(nuevo)));
        CambioDeColumna x;
        x.tabla = t;
        x.columna = col->nombre;
        x.declaracion = Declarado(nuevo) + (c.nuloEscrito && !c.nulo ? QStringLiteral(" NOT NULL") : QString());
        x.valor = conv({Q(col->nombre), viejo}, nuevo, Modo::Asignacion);
        // The server keeps what depends on the column only through changes of
        // size: any size of a variable-length type for a CHECK or UNIQUE, a
        // larger one for an index, and precision and scale too for a DEFAULT.
        const bool mismo = nuevo.clase == viejo.clase && nuevo.intercalacion == viejo.intercalacion;
        const bool variable = nuevo.clase == Clase::VarChar || nuevo.clase == Clase::NVarChar || nuevo.clase == Clase::VarBinary;
        x.defecto = mismo;
        x.restriccion = mismo && (variable || nuevo.largo == viejo.largo) && nuevo.precision == viejo.precision && nuevo.escala == viejo.escala;
        x.indice = x.restriccion && (nuevo.largo < 0 || (viejo.largo >= 0 && nuevo.largo >= viejo.largo)); // -1: max
        salida({}, {}, false, true);
        r_.sentencias.back().cambio = std::move(x);
        // Later statements of the batch see the new type.
        col->tipo = nuevo;
    }

    // ------------------------------------------------------------ triggers

    // A trigger's body runs after each statement that fires it, once,
    // however many rows the statement took (none too).
    struct Disparo {
        QString tabla;      // whose rows inserted and deleted hold
        QString disparador; // the one running: it does not fire itself again
        QString evento;     // INSERT, UPDATE, DELETE
        QStringList cambiadas; // the columns an UPDATE sets
        bool retorno = false;  // a RETURN of its body is written: what follows runs only when it did not run
    };

    static constexpr int kNivelesDeDisparo = 32;
    static constexpr size_t kSentenciasMaximas = 20000; // triggers nested in many branches multiply

    // In a trigger's body, inserted and deleted are the rows of its statement.
    static bool Logica(const QString& nombre)
    {
        return nombre.compare(QLatin1String("inserted"), Qt::CaseInsensitive) == 0
               || nombre.compare(QLatin1String("deleted"), Qt::CaseInsensitive) == 0;
    }

    QString logica(const QString& nombre, const QString& alias, const std::vector<ColumnaAmbito>& columnas)
    {
        QStringList c;
        for (const ColumnaAmbito& x : columnas)
            c << Q(x.nombre);
        const bool insertadas = nombre.compare(QLatin1String("inserted"), Qt::CaseInsensitive) == 0;
        const QString copia = Q(FilasDe(disparos_.back().tabla, insertadas));
        return QStringLiteral("(SELECT %1 FROM %2 WHERE rowid IN (SELECT %3(rowid) FROM %2 WHERE ss_nivel = %4 GROUP BY ss_fila)) AS %5")
            .arg(c.join(QStringLiteral(", ")), copia, insertadas ? QStringLiteral("max") : QStringLiteral("min"),
                 QString::number(disparos_.size()), Q(alias.isEmpty() ? nombre : alias));
    }

    // A trigger's variables are its own, whatever the batch that fired it names its.
    QString nombreVariable(const QString& v) const
    {
        return Lit(v.toLower() + (disparos_.empty() ? QString() : QStringLiteral("#%1").arg(disparos_.size())));
    }

    // UPDATE(c): whether the statement that fired the trigger set c (an INSERT sets every column).
    Res actualizada(Expr& e)
    {
        if (disparos_.empty() || e.hijos.size() != 1 || e.hijos[0]->clase != ClaseExpr::Columna)
            throw NoSoportado(QStringLiteral("UPDATE() outside a trigger's body"));
        const Disparo& d = disparos_.back();
        const QString c = e.hijos[0]->nombre.ultimo();
        if (!tipoColumna(ambitoDe(d.tabla), c))
            throw ErrorTsql{207, QStringLiteral("Invalid column name '%1'.").arg(c)};
        const bool si = d.evento == u"INSERT" || (d.evento == u"UPDATE" && d.cambiadas.contains(c, Qt::CaseInsensitive));
        return {si ? QStringLiteral("1 = 1") : QStringLiteral("1 = 0"), Tipo::De(Clase::Bit)};
    }

    // The file's triggers, read once a batch and kept as its statements change them.
    std::vector<DisparadorDeclarado>& disparadores()
    {
        if (!disparadores_)
            disparadores_ = esquema_.disparadores();
        return *disparadores_;
    }

    QStringList eventosDe(const QString& tabla, const QString& sinDisparador = QString())
    {
        QStringList r;
        for (const DisparadorDeclarado& d : disparadores())
            if (d.tabla.compare(tabla, Qt::CaseInsensitive) == 0 && d.nombre.compare(sinDisparador, Qt::CaseInsensitive) != 0)
                for (const QString& e : d.eventos)
                    if (!r.contains(e))
                        r << e;
        return r;
    }

    void interna(const QString& sql, bool definicion = false)
    {
        salida(sql, {}, false, definicion);
        r_.sentencias.back().interna = true;
    }

    // The statement escribir writes, on table t, then the body of each
    // trigger it fires, between a savepoint and its release at the outer
    // level: the runner rolls back what a failure left half done.
    void conDisparadores(const QString& t, const QString& evento, const QStringList& cambiadas, const std::function<void()>& escribir)
    {
        if (!disparos_.empty() && Logica(t))
            throw ErrorTsql{286, QStringLiteral("The logical tables INSERTED and DELETED cannot be updated.")};
        std::vector<DisparadorDeclarado> lista;
        for (const DisparadorDeclarado& d : disparadores())
            if (d.tabla.compare(t, Qt::CaseInsensitive) == 0 && d.eventos.contains(evento)
                && (disparos_.empty() || d.nombre.compare(disparos_.back().disparador, Qt::CaseInsensitive) != 0))
                lista.push_back(d);
        if (lista.empty())
            return escribir();
        if (r_.sentencias.size() > kSentenciasMaximas)
            throw NoSoportado(QStringLiteral("Triggers nested in this many statements"));
        const int nivel = int(disparos_.size()) + 1;
        if (nivel > kNivelesDeDisparo) {
            // Raised when it runs: the branch that reaches it may not.
            escribir();
            interna(QStringLiteral("SELECT ss_error('Maximum stored procedure, function, trigger, or view nesting level exceeded (limit 32).')"));
            return;
        }
        const QString filas = Lit(QStringLiteral("ss_filas%1").arg(nivel));
        const QString identidad = Lit(QStringLiteral("ss_identidad%1").arg(nivel));
        const QStringList copias{Q(FilasDe(t, true)), Q(FilasDe(t, false))};
        // An INSERT deletes no row, a DELETE inserts none, whatever the file's own triggers wrote.
        QStringList suyas = copias;
        if (evento == u"INSERT")
            suyas.removeLast();
        else if (evento == u"DELETE")
            suyas.removeFirst();
        if (disparos_.empty()) {
            interna(QStringLiteral("SAVEPOINT ss_disparo"));
            r_.sentencias.back().abre = true;
        }
        // Rows that statements which fired nothing left (a trigger's own
        // table written in its body, another program).
        for (const QString& c : copias)
            interna(QStringLiteral("DELETE FROM %1 WHERE ss_nivel = 0 OR ss_nivel >= %2").arg(c).arg(nivel));
        escribir();
        // The trigger begins with @@ROWCOUNT the statement's, whatever the
        // bookkeeping changed; after it, SCOPE_IDENTITY() is the statement's again.
        interna(QStringLiteral("SELECT ss_var_fijar(%1, changes()), ss_var_fijar(%2, ss_scope_identity())").arg(filas, identidad));
        for (const QString& c : suyas)
            interna(QStringLiteral("UPDATE %1 SET ss_nivel = %2 WHERE ss_nivel = 0").arg(c).arg(nivel));
        for (const DisparadorDeclarado& d : lista) {
            const size_t desde = r_.sentencias.size();
            interna(QStringLiteral("SELECT ss_fijar_rowcount(ss_var(%1))").arg(filas));
            disparos_.push_back({t, d.nombre, evento, cambiadas});
            const auto variables = std::exchange(variables_, {});
            const int si = si_;
            const bool cuando = cuando_;
            cuerpos_.push_back(std::make_unique<Lote>(Analizar(d.cuerpo)));
            if (ConRetorno(cuerpos_.back()->sentencias))
                salida(QStringLiteral("SELECT ss_var_fijar(%1, NULL)").arg(fin()));
            for (PSentencia& x : cuerpos_.back()->sentencias) {
                trasRetorno();
                sentencia(*x);
            }
            si_ = si;
            cuando_ = cuando;
            variables_ = variables;
            disparos_.pop_back();
            interna(QStringLiteral("SELECT CASE WHEN ss_trancount() = 0 THEN "
                                   "ss_error('The transaction ended in the trigger. The batch has been aborted.') END"));
            for (size_t i = desde; i < r_.sentencias.size(); ++i) {
                r_.sentencias[i].disparo = true;
                r_.sentencias[i].interna = true;
            }
        }
        for (const QString& c : copias)
            interna(QStringLiteral("DELETE FROM %1 WHERE ss_nivel IN (0, %2)").arg(c).arg(nivel));
        interna(QStringLiteral("SELECT ss_fijar_rowcount(ss_var(%1)), ss_fijar_ambito(ss_var(%2))").arg(filas, identidad));
        if (disparos_.empty()) {
            interna(QStringLiteral("RELEASE ss_disparo"));
            r_.sentencias.back().cierra = true;
        }
    }

    QString fin() const { return Lit(QStringLiteral("ss_fin%1").arg(disparos_.size())); }

    // RETURN ends the trigger's body: the statements after it wait for its flag.
    void retorno(Sentencia& s)
    {
        if (disparos_.empty())
            throw NoSoportado(QStringLiteral("RETURN outside a trigger's body"));
        if (s.donde)
            throw ErrorTsql{178, QStringLiteral("A RETURN statement with a return value cannot be used in this context.")};
        disparos_.back().retorno = true;
        salida(QStringLiteral("SELECT ss_var_fijar(%1, 1)").arg(fin()));
    }

    static bool ConRetorno(const std::vector<PSentencia>& l)
    {
        return std::any_of(l.begin(), l.end(), [](const PSentencia& x) {
            return x && (x->clase == ClaseSentencia::Retorno || ConRetorno(x->cuerpo));
        });
    }

    void trasRetorno()
    {
        if (disparos_.empty() || !disparos_.back().retorno)
            return;
        salida(QStringLiteral("SELECT CASE WHEN ss_var(%1) IS NULL THEN 1 ELSE 0 END").arg(fin()));
        r_.sentencias.back().condicion = true;
        si_ = int(r_.sentencias.size()) - 1;
        cuando_ = true;
    }

    DisparadorDeclarado* disparador(const QString& nombre)
    {
        for (DisparadorDeclarado& d : disparadores())
            if (d.nombre.compare(nombre, Qt::CaseInsensitive) == 0)
                return &d;
        return nullptr;
    }

    // CREATE / ALTER TRIGGER: kept in the file with its body as written;
    // what copies the table's rows made for the events of all its triggers.
    void crearDisparador(Sentencia& s)
    {
        if (!s.accion.isEmpty())
            throw NoSoportado(s.accion);
        const QString nombre = Objeto(s.indice);
        const QString t = Objeto(s.objeto);
        if (t.startsWith(u'#') || !tabla(t))
            throw ErrorTsql{8197, QStringLiteral("The object '%1' does not exist or is invalid for this operation.").arg(s.objeto.partes.join(u'.'))};
        const DisparadorDeclarado* antes = disparador(nombre);
        if (antes && s.texto == u"CREATE")
            throw ErrorTsql{2714, QStringLiteral("There is already an object named '%1' in the database.").arg(nombre)};
        if (!antes && s.texto == u"ALTER")
            throw ErrorTsql{8197, QStringLiteral("The object '%1' does not exist or is invalid for this operation.").arg(nombre)};
        QStringList eventos;
        for (const QString& e : s.eventos)
            if (!eventos.contains(e))
                eventos << e;
        // The body's columns are checked now, as the server does; a table it
        // names may be made later.
        const size_t hechas = r_.sentencias.size();
        const int si = si_;
        const bool cuando = cuando_;
        disparos_.push_back({t, nombre, eventos[0], {}});
        const auto variables = std::exchange(variables_, {});
        try {
            for (PSentencia& x : s.cuerpo)
                sentencia(*x);
        } catch (const ErrorTsql& e) {
            if (e.numero != 208)
                throw;
        }
        variables_ = variables;
        disparos_.pop_back();
        si_ = si;
        cuando_ = cuando;
        r_.sentencias.resize(hechas);
        const QString tablaAntes = antes ? antes->tabla : QString();
        interna(QStringLiteral("SAVEPOINT ss_disparo"));
        r_.sentencias.back().abre = true;
        // SQLite changes the rows of a foreign key's cascade itself, past the
        // translation that would run the trigger: refused rather than skipped.
        interna(QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM pragma_foreign_key_list(%1) WHERE on_delete NOT IN ('NO ACTION', 'RESTRICT') "
                               "OR on_update NOT IN ('NO ACTION', 'RESTRICT')) THEN ss_error(%2) END")
                    .arg(Lit(t), Lit(NoSoportado(QStringLiteral("A trigger on a table a foreign key's cascade changes")).mensaje)));
        interna(QString::fromLatin1(kTablaDeDisparadores), true);
        interna(QStringLiteral("DELETE FROM ss_disparadores WHERE nombre = %1").arg(Lit(nombre)));
        interna(QStringLiteral("INSERT INTO ss_disparadores (nombre, tabla, eventos, cuerpo) VALUES (%1, %2, %3, %4)")
                    .arg(Lit(nombre), Lit(t), Lit(eventos.join(u',')), Lit(s.valor)));
        captura(t, eventosDe(t, nombre) + eventos);
        if (!tablaAntes.isEmpty() && tablaAntes.compare(t, Qt::CaseInsensitive) != 0)
            captura(tablaAntes, eventosDe(tablaAntes, nombre));
        interna(QStringLiteral("RELEASE ss_disparo"));
        r_.sentencias.back().cierra = true;
        if (antes)
            *disparador(nombre) = {nombre, t, eventos, s.valor};
        else
            disparadores().push_back({nombre, t, eventos, s.valor});
    }

    void eliminarDisparadores(Sentencia& s)
    {
        for (const Nombre& n : s.objetos) {
            const DisparadorDeclarado* d = disparador(Objeto(n));
            if (!d) {
                if (s.siExiste)
                    continue;
                throw ErrorTsql{3701, QStringLiteral("Cannot drop the trigger '%1', because it does not exist or you do not have permission.").arg(n.partes.join(u'.'))};
            }
            const QString t = d->tabla;
            const QString nombre = d->nombre;
            interna(QStringLiteral("DELETE FROM ss_disparadores WHERE nombre = %1").arg(Lit(nombre)));
            captura(t, eventosDe(t, nombre));
            auto& todos = disparadores();
            todos.erase(todos.begin() + (d - todos.data()));
        }
    }

    // DROP TABLE takes its triggers with it.
    void olvidarDisparadores(const QString& t)
    {
        if (eventosDe(t).isEmpty())
            return;
        interna(QStringLiteral("DELETE FROM ss_disparadores WHERE tabla = %1").arg(Lit(t)));
        captura(t, {});
        auto& todos = disparadores();
        todos.erase(std::remove_if(todos.begin(), todos.end(),
                                   [&](const DisparadorDeclarado& d) { return d.tabla.compare(t, Qt::CaseInsensitive) == 0; }),
                    todos.end());
    }

    void captura(const QString& t, const QStringList& eventos)
    {
        for (const QString& x : Captura(t, eventos))
            interna(x, true);
    }

    static constexpr int kProfundidadExpresion = 200;
    static constexpr size_t kEslabonesMaximos = 3000; // operands of one chain: each writes the text so far again
    QHash<const Expr*, QString> escrita_; // the SQL written for each expression
    int si_ = -1;        // the IF whose answer the statements written now wait for
    bool cuando_ = true; // the answer they run on
    int profundidad_ = 0;
    Esquema& esquema_;
    Traduccion r_;
    QHash<QString, std::vector<ColumnaAmbito>> tablas_, ctes_;
    QHash<QString, QString> identidades_;
    QHash<QString, Tipo> variables_; // DECLAREd in the batch, by name in lower case
    QHash<QString, QString> enLinea_;  // the CTEs of the INSERT, UPDATE or DELETE being written, as their FROM reads them
    std::vector<QStringList> izadas_;  // the subqueries each outermost SELECT being written reads from its WITH
    int numeroIzada_ = 0;
    int usado_ = std::numeric_limits<int>::max(); // the outermost scope a column written so far came from
    int parametros_ = 0;               // ? markers written so far
    std::vector<Disparo> disparos_;  // the triggers whose bodies are written now, innermost last
    std::optional<std::vector<DisparadorDeclarado>> disparadores_;
    std::vector<std::unique_ptr<Lote>> cuerpos_; // the trees of the bodies written: the SQL of their expressions is kept by address
};

} // namespace

QString TablaDeConsulta(const QString& lote)
{
    try {
        const Lote l = Analizar(lote);
        if (l.sentencias.size() == 1 && l.sentencias[0]->clase == ClaseSentencia::Select && Simple(*l.sentencias[0]->select))
            return Objeto(l.sentencias[0]->select->desde[0].fuente.nombre);
    } catch (const ErrorTsql&) {
    }
    return {};
}

Traduccion Traducir(const QString& lote, Esquema& esquema)
{
    Lote l = Analizar(lote);
    return Traductor(esquema).traducir(l);
}

} // namespace tsql
