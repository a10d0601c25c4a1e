#include "platform/tsql/analizador.h"

#include "platform/tsql/lexico.h"

#include <QRegularExpression>
#include <algorithm>

namespace tsql {

namespace {

bool Uno(QStringView texto, std::initializer_list<const char*> palabras)
{
    for (const char* p : palabras)
        if (IgualSinMayusculas(texto, p))
            return true;
    return false;
}

class Analizador {
public:
    explicit Analizador(const QString& s) : s_(s), t_(Tokenizar(s)) {}

    Lote lote()
    {
        Lote r;
        while (ver().clase != ClaseToken::Fin) {
            if (ver().clase == ClaseToken::Lote || simbolo(";")) {
                primera_ = primera_ || ver().clase == ClaseToken::Lote;
                ++i_;
            } else {
                r.sentencias.push_back(sentencia());
                primera_ = false;
            }
        }
        return r;
    }

private:
    // Each level of nesting (parentheses, subqueries, calls, CASE, blocks)
    // holds one of these while it is read.
    class Nivel {
    public:
        explicit Nivel(Analizador& a) : a_(a)
        {
            if (++a_.profundidad_ > kProfundidadMaxima)
                throw ErrorTsql{191, QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite "
                                                    "the query or break it up into smaller queries.")};
        }
        ~Nivel() { --a_.profundidad_; }
        Nivel(const Nivel&) = delete;
        Nivel& operator=(const Nivel&) = delete;

    private:
        Analizador& a_;
    };

    // ---- tokens

    const Token& ver(size_t k = 0) const { return t_[std::min(i_ + k, t_.size() - 1)]; }
    bool palabra(const char* p, size_t k = 0) const { return ver(k).es(p); }
    bool simbolo(const char* p, size_t k = 0) const
    {
        const Token& t = ver(k);
        return t.clase == ClaseToken::Simbolo && t.texto == QLatin1String(p);
    }
    bool toma(const char* p)
    {
        if (!palabra(p))
            return false;
        ++i_;
        return true;
    }
    bool tomaSimbolo(const char* p)
    {
        if (!simbolo(p))
            return false;
        ++i_;
        return true;
    }
    void espera(const char* p)
    {
        if (!toma(p))
            error();
    }
    void esperaSimbolo(const char* p)
    {
        if (!tomaSimbolo(p))
            error();
    }
    // Where the last token read ends.
    qsizetype fin() const { return i_ == 0 ? 0 : t_[i_ - 1].pos + t_[i_ - 1].largo; }
    QString textoDesde(qsizetype pos) const { return s_.mid(pos, fin() - pos); }

    // The server names the token where the text stops making sense; at the
    // end of the batch, the last one.
    [[noreturn]] void error() const
    {
        size_t k = std::min(i_, t_.size() - 1);
        while (k > 0 && (t_[k].clase == ClaseToken::Fin || t_[k].clase == ClaseToken::Lote))
            --k;
        const Token& t = t_[k];
        if (t.clase == ClaseToken::Palabra && t.reservada)
            throw ErrorTsql{156, QStringLiteral("Incorrect syntax near the keyword '%1'.").arg(t.texto)};
        QString cerca = t.valor();
        if (t.clase == ClaseToken::Cadena)
            cerca = SinComillas(t);
        throw ErrorTsql{102, QStringLiteral("Incorrect syntax near '%1'.").arg(cerca)};
    }

    static QString SinComillas(const Token& t)
    {
        const qsizetype desde = t.texto.indexOf(u'\'') + 1;
        return t.texto.mid(desde, t.texto.size() - desde - 1).toString().replace(QLatin1String("''"),
                                                                                 QLatin1String("'"));
    }

    // A plain name: a word that is not a keyword, or a quoted one.
    bool esNombre(size_t k = 0) const
    {
        const Token& t = ver(k);
        return (t.clase == ClaseToken::Palabra && !t.reservada) || t.clase == ClaseToken::Citado;
    }
    // An alias may also be a string: SELECT x 'Total', 'Total' = x.
    bool esAlias(size_t k = 0) const { return esNombre(k) || ver(k).clase == ClaseToken::Cadena; }

    QString tomaNombreSimple(bool* citado = nullptr)
    {
        if (!esNombre())
            error();
        if (citado)
            *citado = ver().clase == ClaseToken::Citado;
        return t_[i_++].valor();
    }

    QString tomaAlias(bool* citado = nullptr)
    {
        if (ver().clase == ClaseToken::Cadena) {
            if (citado)
                *citado = true;
            return SinComillas(t_[i_++]);
        }
        return tomaNombreSimple(citado);
    }

    // server.db.owner.object; db..object leaves the owner empty.
    Nombre nombre(bool variable = false)
    {
        Nombre n;
        if (variable && ver().clase == ClaseToken::Variable) {
            n.partes << t_[i_++].valor();
            n.citada.push_back(false);
            return n;
        }
        parte(n);
        while (simbolo(".") && n.partes.size() < 4) {
            ++i_;
            if (simbolo(".")) {
                n.partes << QString();
                n.citada.push_back(false);
                continue;
            }
            parte(n);
        }
        return n;
    }
    void parte(Nombre& n)
    {
        bool citado = false;
        n.partes << tomaNombreSimple(&citado);
        n.citada.push_back(citado);
    }

    QStringList columnasEntreParentesis(std::vector<bool>* desc = nullptr)
    {
        QStringList r;
        esperaSimbolo("(");
        do {
            r << tomaNombreSimple();
            const bool d = toma("DESC");
            if (!d)
                toma("ASC");
            if (desc)
                desc->push_back(d);
        } while (tomaSimbolo(","));
        esperaSimbolo(")");
        return r;
    }

    // Options the suite writes but the translation has no use for: table
    // hints, OPTION (...), WITH (...) of an index.
    void saltaParentesis()
    {
        esperaSimbolo("(");
        int abiertos = 1;
        while (abiertos > 0) {
            const Token& t = ver();
            if (t.clase == ClaseToken::Fin || t.clase == ClaseToken::Lote)
                error();
            if (t.clase == ClaseToken::Simbolo && t.texto == u"(")
                ++abiertos;
            else if (t.clase == ClaseToken::Simbolo && t.texto == u")")
                --abiertos;
            ++i_;
        }
    }

    bool esPista(size_t k) const
    {
        const Token& t = ver(k);
        return t.clase == ClaseToken::Palabra &&
               Uno(t.texto, {"NOLOCK", "READUNCOMMITTED", "READCOMMITTED", "READCOMMITTEDLOCK", "REPEATABLEREAD",
                             "SERIALIZABLE", "SNAPSHOT", "UPDLOCK", "ROWLOCK", "PAGLOCK", "TABLOCK", "TABLOCKX",
                             "HOLDLOCK", "NOWAIT", "READPAST", "XLOCK", "INDEX", "FORCESEEK", "FORCESCAN",
                             "NOEXPAND", "FASTFIRSTROW", "KEEPIDENTITY", "KEEPDEFAULTS", "IGNORE_CONSTRAINTS",
                             "IGNORE_TRIGGERS"});
    }
    void saltaPistas()
    {
        while ((palabra("WITH") && simbolo("(", 1)) || (simbolo("(") && esPista(1))) {
            toma("WITH");
            saltaParentesis();
        }
    }

    // ---- expressions

    static PExpr Nuevo(ClaseExpr c, qsizetype pos, const QString& texto = QString())
    {
        auto e = std::make_unique<Expr>(c);
        e->pos = pos;
        e->texto = texto;
        return e;
    }
    static PExpr Binario(const Token& op, PExpr a, PExpr b)
    {
        PExpr e = Nuevo(ClaseExpr::Binario, op.pos, op.clase == ClaseToken::Palabra ? op.mayus() : op.texto.toString());
        e->hijos.push_back(std::move(a));
        e->hijos.push_back(std::move(b));
        return e;
    }

    PExpr expr()
    {
        PExpr e = conjuncion();
        while (palabra("OR")) {
            const Token& op = t_[i_++];
            e = Binario(op, std::move(e), conjuncion());
        }
        return e;
    }

    PExpr conjuncion()
    {
        PExpr e = negacion();
        while (palabra("AND")) {
            const Token& op = t_[i_++];
            e = Binario(op, std::move(e), negacion());
        }
        return e;
    }

    PExpr negacion()
    {
        std::vector<qsizetype> nots;
        while (palabra("NOT") && !palabra("EXISTS", 1))
            nots.push_back(t_[i_++].pos);
        PExpr e = predicado();
        for (auto p = nots.rbegin(); p != nots.rend(); ++p) {
            PExpr n = Nuevo(ClaseExpr::Unario, *p, QStringLiteral("NOT"));
            n->hijos.push_back(std::move(e));
            e = std::move(n);
        }
        return e;
    }

    PExpr predicado()
    {
        if (palabra("EXISTS") || palabra("NOT")) {
            PExpr e = Nuevo(ClaseExpr::Existe, ver().pos);
            e->negado = toma("NOT");
            espera("EXISTS");
            esperaSimbolo("(");
            Nivel n(*this);
            e->sub = consulta();
            esperaSimbolo(")");
            return e;
        }
        PExpr e = aditivo();
        const Token& t = ver();
        if (t.clase == ClaseToken::Simbolo &&
            Uno(t.texto, {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"})) {
            ++i_;
            if ((palabra("ANY") || palabra("SOME") || palabra("ALL")) && simbolo("(", 1)) {
                PExpr r = Nuevo(ClaseExpr::Cuantificada, t.pos,
                                t.texto.toString() + (toma("ALL") ? QStringLiteral(" ALL") : (++i_, QStringLiteral(" ANY"))));
                r->hijos.push_back(std::move(e));
                Nivel n(*this);
                esperaSimbolo("(");
                if (!palabra("SELECT") && !palabra("WITH"))
                    error();
                r->sub = consulta();
                esperaSimbolo(")");
                return r;
            }
            return Binario(t, std::move(e), aditivo());
        }
        if (palabra("IS")) {
            PExpr r = Nuevo(ClaseExpr::EsNulo, t.pos);
            ++i_;
            r->negado = toma("NOT");
            espera("NULL");
            r->hijos.push_back(std::move(e));
            return r;
        }
        const bool negado = palabra("NOT") && (palabra("IN", 1) || palabra("BETWEEN", 1) || palabra("LIKE", 1));
        if (negado)
            ++i_;
        const qsizetype pos = ver().pos;
        if (toma("IN")) {
            PExpr r = Nuevo(ClaseExpr::En, pos);
            r->negado = negado;
            r->hijos.push_back(std::move(e));
            esperaSimbolo("(");
            Nivel n(*this);
            if (palabra("SELECT") || palabra("WITH"))
                r->sub = consulta();
            else
                do
                    r->hijos.push_back(expr());
                while (tomaSimbolo(","));
            esperaSimbolo(")");
            return r;
        }
        if (toma("BETWEEN")) {
            PExpr r = Nuevo(ClaseExpr::Entre, pos);
            r->negado = negado;
            r->hijos.push_back(std::move(e));
            r->hijos.push_back(aditivo());
            espera("AND");
            r->hijos.push_back(aditivo());
            return r;
        }
        if (toma("LIKE")) {
            PExpr r = Nuevo(ClaseExpr::Como, pos);
            r->negado = negado;
            r->hijos.push_back(std::move(e));
            r->hijos.push_back(aditivo());
            if (toma("ESCAPE"))
                r->hijos.push_back(aditivo());
            return r;
        }
        return e;
    }

    PExpr aditivo()
    {
        PExpr e = multiplicativo();
        while (simbolo("+") || simbolo("-") || simbolo("&") || simbolo("^") || simbolo("|")) {
            const Token& op = t_[i_++];
            e = Binario(op, std::move(e), multiplicativo());
        }
        return e;
    }

    PExpr multiplicativo()
    {
        PExpr e = unario();
        while (simbolo("*") || simbolo("/") || simbolo("%")) {
            const Token& op = t_[i_++];
            e = Binario(op, std::move(e), unario());
        }
        return e;
    }

    PExpr unario()
    {
        std::vector<const Token*> ops;
        while (simbolo("-") || simbolo("+") || simbolo("~"))
            ops.push_back(&t_[i_++]);
        PExpr e = primario();
        while (palabra("COLLATE")) {
            PExpr c = Nuevo(ClaseExpr::Intercalar, t_[i_++].pos);
            c->texto = tomaNombreSimple();
            c->hijos.push_back(std::move(e));
            e = std::move(c);
        }
        for (auto p = ops.rbegin(); p != ops.rend(); ++p) {
            PExpr u = Nuevo(ClaseExpr::Unario, (*p)->pos, (*p)->texto.toString());
            u->hijos.push_back(std::move(e));
            e = std::move(u);
        }
        return e;
    }

    PExpr primario()
    {
        const Token& t = ver();
        switch (t.clase) {
        case ClaseToken::Cadena:
        case ClaseToken::Numero:
        case ClaseToken::Binario:
        case ClaseToken::Moneda:
            ++i_;
            return Nuevo(ClaseExpr::Literal, t.pos, t.texto.toString());
        case ClaseToken::Variable:
            ++i_;
            return Nuevo(ClaseExpr::Variable, t.pos, t.texto.toString());
        case ClaseToken::Global:
            ++i_;
            return Nuevo(ClaseExpr::Global, t.pos, t.mayus());
        case ClaseToken::Citado:
            return columnaOFuncion();
        case ClaseToken::Palabra:
            if (t.es("NULL")) {
                ++i_;
                return Nuevo(ClaseExpr::Literal, t.pos, t.texto.toString());
            }
            if (t.es("CASE"))
                return caso();
            if (simbolo("(", 1) && Uno(t.texto, {"CAST", "TRY_CAST", "CONVERT", "TRY_CONVERT"}))
                return conversion();
            if (Uno(t.texto, {"CURRENT_TIMESTAMP", "CURRENT_USER", "SESSION_USER", "SYSTEM_USER", "USER"})) {
                ++i_;
                return Nuevo(ClaseExpr::Funcion, t.pos, t.mayus());
            }
            if (simbolo("(", 1) && Uno(t.texto, {"LEFT", "RIGHT", "COALESCE", "NULLIF", "UPDATE"})) {
                Nombre n;
                n.partes << t_[i_++].valor();
                n.citada.push_back(false);
                return funcion(std::move(n), t.pos);
            }
            if (t.reservada)
                error();
            return columnaOFuncion();
        case ClaseToken::Simbolo:
            if (t.texto == u"{")
                return escapeOdbc();
            if (t.texto == u"*") {
                ++i_;
                return Nuevo(ClaseExpr::Estrella, t.pos);
            }
            if (t.texto == u"(") {
                Nivel n(*this);
                ++i_;
                PExpr e;
                if (palabra("SELECT") || palabra("WITH")) {
                    e = Nuevo(ClaseExpr::Subconsulta, t.pos);
                    e->sub = consulta();
                } else {
                    e = Nuevo(ClaseExpr::Parentesis, t.pos);
                    e->hijos.push_back(expr());
                }
                esperaSimbolo(")");
                if (e->clase == ClaseExpr::Subconsulta && simbolo(".") && palabra("VALUE", 1) && simbolo("(", 2))
                    valorXml(*e);
                return e;
            }
            break;
        default:
            break;
        }
        error();
    }

    // {d 'yyyy-mm-dd'} and {ts 'yyyy-mm-dd hh:mm:ss[.mmm]'}: a datetime read in
    // that form whatever the date format, CONVERT(datetime, '...', 121).
    // {t ...} (today's date with the time) and {fn ...} are refused.
    PExpr escapeOdbc()
    {
        const qsizetype pos = t_[i_++].pos;
        const QString clase = ver().clase == ClaseToken::Palabra ? ver().mayus() : QString();
        static const QRegularExpression kD(QStringLiteral("^'\\d{4}-\\d{2}-\\d{2}'$"));
        static const QRegularExpression kTs(QStringLiteral("^'\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}(\\.\\d{1,3})?'$"));
        const QString literal = ver(1).clase == ClaseToken::Cadena ? ver(1).texto.toString() : QString();
        if ((clase != u"D" && clase != u"TS") || !(clase == u"D" ? kD : kTs).match(literal).hasMatch())
            throw ErrorTsql{0, QStringLiteral("The ODBC escape {%1 ...} is not supported by the embedded database.")
                                   .arg(clase.isEmpty() ? ver().texto.toString() : clase.toLower())};
        PExpr e = Nuevo(ClaseExpr::Conversion, pos, QStringLiteral("CONVERT"));
        e->destino.nombre = QStringLiteral("datetime");
        e->hijos.push_back(Nuevo(ClaseExpr::Literal, ver(1).pos, literal));
        e->hijos.push_back(Nuevo(ClaseExpr::Literal, pos, QStringLiteral("121")));
        i_ += 2;
        esperaSimbolo("}");
        return e;
    }

    PExpr columnaOFuncion()
    {
        const qsizetype pos = ver().pos;
        Nombre n;
        parte(n);
        while (simbolo(".") && n.partes.size() < 4) {
            ++i_;
            if (tomaSimbolo("*")) {
                PExpr e = Nuevo(ClaseExpr::Estrella, pos);
                e->nombre = std::move(n);
                return e;
            }
            if (simbolo(".")) {
                n.partes << QString();
                n.citada.push_back(false);
                continue;
            }
            parte(n);
        }
        if (simbolo("("))
            return funcion(std::move(n), pos);
        PExpr e = Nuevo(ClaseExpr::Columna, pos);
        e->nombre = std::move(n);
        return e;
    }

    PExpr funcion(Nombre n, qsizetype pos)
    {
        Nivel nivel(*this);
        PExpr e = Nuevo(ClaseExpr::Funcion, pos, n.ultimo().toUpper());
        e->nombre = std::move(n);
        esperaSimbolo("(");
        if ((e->texto == u"COUNT" || e->texto == u"COUNT_BIG") && simbolo("*") && simbolo(")", 1)) {
            ++i_;
            e->estrella = true;
        } else if (!simbolo(")")) {
            if (toma("DISTINCT"))
                e->distinto = true;
            else
                toma("ALL");
            const bool parte = Uno(e->texto, {"DATEADD", "DATEDIFF", "DATEDIFF_BIG", "DATEPART", "DATENAME",
                                               "DATETRUNC"});
            const Token& t = ver();
            if (parte && simbolo(",", 1) &&
                (t.clase == ClaseToken::Palabra || t.clase == ClaseToken::Citado || t.clase == ClaseToken::Cadena)) {
                ++i_;
                e->hijos.push_back(Nuevo(ClaseExpr::ParteFecha, t.pos, t.texto.toString()));
                esperaSimbolo(",");
            }
            do
                e->hijos.push_back(expr());
            while (tomaSimbolo(","));
        }
        esperaSimbolo(")");
        if (palabra("WITHIN") && palabra("GROUP", 1)) {
            i_ += 2;
            esperaSimbolo("(");
            e->enGrupo = ordenes();
            esperaSimbolo(")");
        }
        if (toma("OVER")) {
            e->ventana = std::make_unique<Ventana>();
            esperaSimbolo("(");
            if (toma("PARTITION")) {
                espera("BY");
                do
                    e->ventana->particion.push_back(expr());
                while (tomaSimbolo(","));
            }
            if (palabra("ORDER"))
                e->ventana->orden = ordenes();
            esperaSimbolo(")");
        }
        return e;
    }

    PExpr caso()
    {
        Nivel n(*this);
        PExpr e = Nuevo(ClaseExpr::Caso, t_[i_++].pos);
        if (!palabra("WHEN"))
            e->operando = expr();
        espera("WHEN");
        do {
            e->hijos.push_back(expr());
            espera("THEN");
            e->hijos.push_back(expr());
        } while (toma("WHEN"));
        if (toma("ELSE"))
            e->sino = expr();
        espera("END");
        return e;
    }

    PExpr conversion()
    {
        Nivel n(*this);
        const Token& t = t_[i_++];
        PExpr e = Nuevo(ClaseExpr::Conversion, t.pos, t.mayus());
        esperaSimbolo("(");
        if (e->texto.endsWith(u"CAST")) {
            e->hijos.push_back(expr());
            espera("AS");
            e->destino = tipo();
        } else {
            e->destino = tipo();
            esperaSimbolo(",");
            e->hijos.push_back(expr());
            if (tomaSimbolo(","))
                e->hijos.push_back(expr());
        }
        esperaSimbolo(")");
        return e;
    }

    int entero()
    {
        bool ok = false;
        const int v = ver().clase == ClaseToken::Numero ? ver().texto.toInt(&ok) : 0;
        if (!ok)
            error();
        ++i_;
        return v;
    }

    TipoEscrito tipo()
    {
        TipoEscrito r;
        const Token& t = ver();
        if (t.clase != ClaseToken::Palabra && t.clase != ClaseToken::Citado)
            error();
        r.nombre = nombre().ultimo().toLower();
        if (tomaSimbolo("(")) {
            if (toma("MAX")) {
                r.max = true;
            } else {
                r.a = entero();
                if (tomaSimbolo(","))
                    r.b = entero();
            }
            esperaSimbolo(")");
        }
        return r;
    }

    std::vector<Orden> ordenes()
    {
        espera("ORDER");
        espera("BY");
        std::vector<Orden> r;
        do {
            Orden o;
            o.expr = expr();
            o.desc = toma("DESC");
            if (!o.desc)
                toma("ASC");
            r.push_back(std::move(o));
        } while (tomaSimbolo(","));
        return r;
    }

    std::vector<std::vector<PExpr>> filas()
    {
        std::vector<std::vector<PExpr>> r;
        do {
            Nivel n(*this);
            esperaSimbolo("(");
            std::vector<PExpr> fila;
            do
                fila.push_back(valorODefecto());
            while (tomaSimbolo(","));
            esperaSimbolo(")");
            r.push_back(std::move(fila));
        } while (tomaSimbolo(","));
        return r;
    }

    PExpr valorODefecto()
    {
        if (palabra("DEFAULT"))
            return Nuevo(ClaseExpr::Defecto, t_[i_++].pos);
        return expr();
    }

    // ---- SELECT

    std::vector<Cte> ctes()
    {
        espera("WITH");
        std::vector<Cte> r;
        do {
            Cte c;
            c.nombre = tomaNombreSimple();
            if (simbolo("("))
                c.columnas = columnasEntreParentesis();
            espera("AS");
            Nivel n(*this);
            esperaSimbolo("(");
            c.select = consulta();
            esperaSimbolo(")");
            r.push_back(std::move(c));
        } while (tomaSimbolo(","));
        return r;
    }

    // A whole query: WITH, a chain of SELECTs joined by UNION, EXCEPT or
    // INTERSECT, and what applies to the whole chain.
    PSelect consulta()
    {
        std::vector<Cte> con;
        if (palabra("WITH"))
            con = ctes();
        PSelect s = selectSimple();
        if (!con.empty())
            s->con = std::move(con);
        for (;;) {
            QString op;
            if (toma("UNION"))
                op = toma("ALL") ? QStringLiteral("UNION ALL") : QStringLiteral("UNION");
            else if (toma("EXCEPT"))
                op = QStringLiteral("EXCEPT");
            else if (toma("INTERSECT"))
                op = QStringLiteral("INTERSECT");
            else
                break;
            s->combinadas.push_back({op, selectSimple()});
        }
        if (palabra("ORDER")) {
            s->orden = ordenes();
            if (toma("OFFSET")) {
                s->offset = expr();
                if (!toma("ROWS"))
                    espera("ROW");
                if (toma("FETCH")) {
                    if (!toma("NEXT"))
                        espera("FIRST");
                    s->fetch = expr();
                    if (!toma("ROWS"))
                        espera("ROW");
                    espera("ONLY");
                }
            }
        }
        if (s->empates && s->orden.empty())
            throw ErrorTsql{1062, QStringLiteral("The TOP N WITH TIES clause is not allowed without a corresponding "
                                                 "ORDER BY clause.")};
        if (palabra("FOR") && palabra("XML", 1))
            paraXml(*s);
        if (palabra("FOR") && ver(1).clase == ClaseToken::Palabra && !palabra("UPDATE", 1))
            throw ErrorTsql{0, QStringLiteral("FOR %1 is not supported by the embedded database.")
                                   .arg(ver(1).mayus())};
        if (palabra("OPTION") && simbolo("(", 1)) {
            ++i_;
            saltaParentesis();
        }
        return s;
    }

    // FOR XML PATH [('element')] [, TYPE]; the other modes and directives are refused.
    void paraXml(Select& s)
    {
        i_ += 2;
        if (!toma("PATH"))
            throw ErrorTsql{0, QStringLiteral("FOR XML %1 is not supported by the embedded database.").arg(ver().mayus())};
        s.xml = QStringLiteral("row");
        if (tomaSimbolo("(")) {
            const Token& t = ver();
            if (t.clase != ClaseToken::Cadena)
                error();
            ++i_;
            const qsizetype ini = t.texto.indexOf(u'\'');
            s.xml = t.texto.mid(ini + 1, t.texto.size() - ini - 2).toString().replace(QStringLiteral("''"), QStringLiteral("'"));
            esperaSimbolo(")");
        }
        while (tomaSimbolo(",")) {
            if (toma("TYPE"))
                s.xmlTipo = true;
            else
                throw ErrorTsql{0, QStringLiteral("FOR XML PATH, %1 is not supported by the embedded database.").arg(ver().mayus())};
        }
    }

    // (SELECT ... FOR XML PATH, TYPE).value('.', 'type'): the path in the
    // subquery's texto, the type in destino.
    void valorXml(Expr& e)
    {
        i_ += 3;
        const Token& ruta = ver();
        if (ruta.clase != ClaseToken::Cadena)
            error();
        ++i_;
        e.texto = ruta.texto.toString();
        esperaSimbolo(",");
        const Token& tipo = ver();
        if (tipo.clase != ClaseToken::Cadena)
            error();
        ++i_;
        const QString escrito = tipo.texto.mid(tipo.texto.indexOf(u'\'') + 1).chopped(1).toString();
        esperaSimbolo(")");
        Analizador a(escrito);
        bool entero = false;
        try {
            e.destino = a.tipo();
            entero = a.ver().clase == ClaseToken::Fin;
        } catch (const ErrorTsql&) {
        }
        if (!entero)
            throw ErrorTsql{0, QStringLiteral("The XML value() method with the type '%1' is not supported by the embedded database.").arg(escrito)};
    }

    PSelect selectSimple()
    {
        if (simbolo("(")) {
            Nivel n(*this);
            ++i_;
            PSelect s = consulta();
            esperaSimbolo(")");
            return s;
        }
        auto s = std::make_unique<Select>();
        s->pos = ver().pos;
        espera("SELECT");
        if (toma("DISTINCT"))
            s->distinto = true;
        else
            toma("ALL");
        if (toma("TOP")) {
            s->top = top();
            s->porcentaje = toma("PERCENT");
            if (palabra("WITH") && palabra("TIES", 1)) {
                i_ += 2;
                s->empates = true;
            }
        }
        do
            s->lista.push_back(item());
        while (tomaSimbolo(","));
        if (toma("INTO"))
            s->into = nombre();
        if (toma("FROM"))
            s->desde = desdes();
        if (toma("WHERE"))
            s->donde = expr();
        if (toma("GROUP")) {
            espera("BY");
            do
                s->grupo.push_back(expr());
            while (tomaSimbolo(","));
        }
        if (toma("HAVING"))
            s->teniendo = expr();
        return s;
    }

    // TOP 10 or TOP (expression)
    PExpr top()
    {
        if (ver().clase == ClaseToken::Numero)
            return primario();
        Nivel n(*this);
        const qsizetype pos = ver().pos;
        esperaSimbolo("(");
        PExpr e;
        if (palabra("SELECT") || palabra("WITH")) {
            e = Nuevo(ClaseExpr::Subconsulta, pos);
            e->sub = consulta();
        } else {
            e = expr();
        }
        esperaSimbolo(")");
        return e;
    }

    ItemSelect item()
    {
        ItemSelect it;
        if (ver().clase == ClaseToken::Variable && simbolo("=", 1)) {
            it.variable = ver().valor();
            i_ += 2;
            it.expr = expr();
            return it;
        }
        if (esAlias() && simbolo("=", 1)) {
            it.alias = tomaAlias(&it.aliasCitado);
            ++i_;
            it.expr = expr();
            return it;
        }
        it.expr = expr();
        if (toma("AS") || esAlias())
            it.alias = tomaAlias(&it.aliasCitado);
        return it;
    }

    std::vector<Desde> desdes()
    {
        std::vector<Desde> r;
        do {
            Desde d;
            d.fuente = fuente();
            for (;;) {
                Union u;
                if (toma("JOIN")) {
                    u.clase = ClaseUnion::Inner;
                } else if (palabra("INNER") && palabra("JOIN", 1)) {
                    i_ += 2;
                    u.clase = ClaseUnion::Inner;
                } else if (palabra("LEFT") || palabra("RIGHT") || palabra("FULL")) {
                    u.clase = palabra("LEFT") ? ClaseUnion::Left : palabra("RIGHT") ? ClaseUnion::Right
                                                                                    : ClaseUnion::Full;
                    ++i_;
                    toma("OUTER");
                    espera("JOIN");
                } else if (palabra("CROSS") && (palabra("JOIN", 1) || palabra("APPLY", 1))) {
                    u.clase = palabra("JOIN", 1) ? ClaseUnion::Cross : ClaseUnion::CrossApply;
                    i_ += 2;
                } else if (palabra("OUTER") && palabra("APPLY", 1)) {
                    u.clase = ClaseUnion::OuterApply;
                    i_ += 2;
                } else {
                    break;
                }
                u.fuente = fuente();
                if (u.clase != ClaseUnion::Cross && u.clase != ClaseUnion::CrossApply &&
                    u.clase != ClaseUnion::OuterApply) {
                    espera("ON");
                    u.on = expr();
                }
                d.uniones.push_back(std::move(u));
            }
            r.push_back(std::move(d));
        } while (tomaSimbolo(","));
        return r;
    }

    Fuente fuente()
    {
        Fuente f;
        if (simbolo("(")) {
            Nivel n(*this);
            ++i_;
            if (toma("VALUES")) {
                f.clase = ClaseFuente::Valores;
                f.valores = filas();
            } else {
                if (!palabra("SELECT") && !palabra("WITH") && !simbolo("("))
                    error();
                f.clase = ClaseFuente::Subconsulta;
                f.sub = consulta();
            }
            esperaSimbolo(")");
        } else {
            f.nombre = nombre(true);
            if (simbolo("(") && !esPista(1)) {
                Nivel n(*this);
                f.clase = ClaseFuente::Funcion;
                ++i_;
                if (!simbolo(")"))
                    do
                        f.argumentos.push_back(expr());
                    while (tomaSimbolo(","));
                esperaSimbolo(")");
            }
        }
        saltaPistas();
        if (toma("AS") || esNombre())
            f.alias = tomaNombreSimple();
        if (f.clase != ClaseFuente::Tabla && !f.alias.isEmpty() && simbolo("(") && !esPista(1))
            f.columnas = columnasEntreParentesis();
        saltaPistas();
        return f;
    }

    // ---- statements

    PSentencia sentencia()
    {
        Nivel n(*this);
        const qsizetype pos = ver().pos;
        PSentencia st = sentenciaSinLimites();
        st->pos = pos;
        st->largo = fin() - pos;
        return st;
    }

    static PSentencia Nueva(ClaseSentencia c)
    {
        auto s = std::make_unique<Sentencia>();
        s->clase = c;
        return s;
    }

    PSentencia sentenciaSinLimites()
    {
        const Token& t = ver();
        if (t.clase == ClaseToken::Simbolo && t.texto == u"(") {
            PSentencia st = Nueva(ClaseSentencia::Select);
            st->select = consulta();
            return st;
        }
        if (t.clase != ClaseToken::Palabra)
            error();
        const QString p = t.mayus();
        if (p == u"WITH") {
            std::vector<Cte> con = ctes();
            if (palabra("SELECT")) {
                PSentencia st = Nueva(ClaseSentencia::Select);
                st->select = consulta();
                st->select->con = std::move(con);
                return st;
            }
            PSentencia st = palabra("INSERT") ? insertar()
                            : palabra("UPDATE") ? actualizar()
                            : palabra("DELETE") ? borrar()
                                                : (error(), nullptr);
            st->con = std::move(con);
            return st;
        }
        if (p == u"SELECT") {
            PSentencia st = Nueva(ClaseSentencia::Select);
            st->select = consulta();
            return st;
        }
        if (p == u"INSERT")
            return insertar();
        if (p == u"UPDATE")
            return actualizar();
        if (p == u"DELETE")
            return borrar();
        if (p == u"CREATE")
            return crear();
        if (p == u"DROP")
            return eliminar();
        if (p == u"ALTER")
            return alterar();
        if (p == u"TRUNCATE") {
            ++i_;
            espera("TABLE");
            PSentencia st = Nueva(ClaseSentencia::Truncar);
            st->objeto = nombre();
            return st;
        }
        if (Uno(p, {"BEGIN", "COMMIT", "ROLLBACK", "SAVE"}))
            return (p == u"BEGIN" && !palabra("TRAN", 1) && !palabra("TRANSACTION", 1)) ? bloque() : transaccion();
        if (p == u"SET")
            return fijar();
        if (p == u"DECLARE")
            return declarar();
        if (p == u"IF")
            return si();
        if (p == u"EXEC" || p == u"EXECUTE")
            return ejecutar();
        if (p == u"RETURN") {
            ++i_;
            PSentencia st = Nueva(ClaseSentencia::Retorno);
            const Token& v = ver();
            if (v.clase == ClaseToken::Numero || v.clase == ClaseToken::Variable || v.clase == ClaseToken::Global
                || (v.clase == ClaseToken::Simbolo && (v.texto == u"(" || v.texto == u"-")))
                st->donde = expr();
            return st;
        }
        error();
    }

    PSentencia insertar()
    {
        espera("INSERT");
        toma("INTO");
        PSentencia st = Nueva(ClaseSentencia::Insert);
        st->objeto = nombre(true);
        saltaPistas();
        if (simbolo("(") && !palabra("SELECT", 1) && !palabra("WITH", 1) && !simbolo("(", 1))
            st->columnas = columnasEntreParentesis();
        if (toma("VALUES")) {
            st->valores = filas();
        } else if (palabra("DEFAULT") && palabra("VALUES", 1)) {
            i_ += 2;
            st->valoresPorDefecto = true;
        } else if (palabra("EXEC") || palabra("EXECUTE")) {
            st->cuerpo.push_back(sentencia());
        } else if (palabra("SELECT") || palabra("WITH") || simbolo("(")) {
            st->select = consulta();
        } else {
            error();
        }
        return st;
    }

    void topDe(Sentencia& st)
    {
        if (toma("TOP")) {
            // UPDATE and DELETE take TOP only in parentheses.
            if (!simbolo("("))
                error();
            st.top = top();
            st.porcentaje = toma("PERCENT");
        }
    }

    // UPDATE a ... FROM T a: the target is the table the alias stands for.
    static void ObjetoPorAlias(Sentencia& st)
    {
        if (st.objeto.partes.size() != 1)
            return;
        const QString& alias = st.objeto.partes.front();
        auto mira = [&](const Fuente& f) {
            if (st.alias.isEmpty() && f.clase == ClaseFuente::Tabla &&
                f.alias.compare(alias, Qt::CaseInsensitive) == 0) {
                st.alias = alias;
                st.objeto = f.nombre;
            }
        };
        for (const Desde& d : st.desde) {
            mira(d.fuente);
            for (const Union& u : d.uniones)
                mira(u.fuente);
        }
    }

    PSentencia actualizar()
    {
        espera("UPDATE");
        PSentencia st = Nueva(ClaseSentencia::Update);
        topDe(*st);
        st->objeto = nombre(true);
        saltaPistas();
        espera("SET");
        do
            st->asignaciones.push_back(asignacion());
        while (tomaSimbolo(","));
        if (toma("FROM"))
            st->desde = desdes();
        if (toma("WHERE"))
            st->donde = expr();
        ObjetoPorAlias(*st);
        return st;
    }

    Asignacion asignacion()
    {
        Asignacion a;
        if (ver().clase == ClaseToken::Variable) {
            a.columna.partes << t_[i_++].valor();
            a.columna.citada.push_back(false);
        } else {
            a.columna = nombre();
        }
        const Token& op = ver();
        if (op.clase != ClaseToken::Simbolo ||
            !Uno(op.texto, {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^="}))
            error();
        a.operador = op.texto.toString();
        ++i_;
        a.expr = valorODefecto();
        return a;
    }

    PSentencia borrar()
    {
        espera("DELETE");
        PSentencia st = Nueva(ClaseSentencia::Delete);
        topDe(*st);
        toma("FROM");
        st->objeto = nombre(true);
        saltaPistas();
        if (toma("FROM"))
            st->desde = desdes();
        if (toma("WHERE"))
            st->donde = expr();
        ObjetoPorAlias(*st);
        return st;
    }

    PSentencia crear()
    {
        const qsizetype pos = ver().pos;
        espera("CREATE");
        const bool oAlterar = toma("OR");
        if (oAlterar)
            espera("ALTER");
        if (toma("TRIGGER"))
            return disparador(oAlterar ? QStringLiteral("CREATE OR ALTER") : QStringLiteral("CREATE"));
        if (toma("TABLE"))
            return crearTabla();
        if (toma("VIEW")) {
            PSentencia st = Nueva(ClaseSentencia::CrearVista);
            st->objeto = nombre();
            if (simbolo("("))
                st->columnas = columnasEntreParentesis();
            if (toma("WITH"))
                do
                    tomaNombreSimple();
                while (tomaSimbolo(","));
            espera("AS");
            st->select = consulta();
            return st;
        }
        if (palabra("PROC") || palabra("PROCEDURE") || palabra("FUNCTION")) {
            // Its body is the rest of the batch, as the server takes it.
            PSentencia st = Nueva(ClaseSentencia::Otra);
            st->texto = palabra("PROC") ? QStringLiteral("PROCEDURE") : ver().mayus();
            while (ver().clase != ClaseToken::Fin && ver().clase != ClaseToken::Lote)
                ++i_;
            st->valor = textoDesde(pos);
            return st;
        }
        PSentencia st = Nueva(ClaseSentencia::CrearIndice);
        st->unico = toma("UNIQUE");
        if (!toma("CLUSTERED"))
            toma("NONCLUSTERED");
        espera("INDEX");
        st->indice = nombre();
        espera("ON");
        st->objeto = nombre();
        st->columnas = columnasEntreParentesis(&st->columnasDesc);
        if (palabra("WITH") && simbolo("(", 1)) {
            ++i_;
            saltaParentesis();
        }
        return st;
    }

    // CREATE / ALTER TRIGGER: its body is the rest of the batch, which it
    // must begin.
    PSentencia disparador(const QString& clase)
    {
        if (!primera_)
            throw ErrorTsql{111, QStringLiteral("'%1 TRIGGER' must be the first statement in a query batch.").arg(clase)};
        PSentencia st = Nueva(ClaseSentencia::CrearDisparador);
        st->texto = clase;
        st->indice = nombre();
        espera("ON");
        if (palabra("DATABASE") || (palabra("ALL") && palabra("SERVER", 1))) {
            st->accion = QStringLiteral("A DDL trigger");
            while (ver().clase != ClaseToken::Fin && ver().clase != ClaseToken::Lote)
                ++i_;
            return st;
        }
        st->objeto = nombre();
        if (toma("WITH")) {
            st->accion = QStringLiteral("WITH ") + ver().mayus();
            while (!palabra("FOR") && !palabra("AFTER") && !palabra("INSTEAD") && ver().clase != ClaseToken::Fin
                   && ver().clase != ClaseToken::Lote)
                ++i_;
        }
        if (palabra("INSTEAD") && palabra("OF", 1)) {
            i_ += 2;
            st->accion = QStringLiteral("INSTEAD OF");
        } else if (!toma("AFTER")) {
            espera("FOR");
        }
        do {
            const Token& e = ver();
            if (e.clase != ClaseToken::Palabra || !Uno(e.texto, {"INSERT", "UPDATE", "DELETE"}))
                error();
            st->eventos << e.mayus();
            ++i_;
        } while (tomaSimbolo(","));
        if (palabra("WITH") && palabra("APPEND", 1))
            i_ += 2;
        if (palabra("NOT") && palabra("FOR", 1) && palabra("REPLICATION", 2)) {
            i_ += 3;
            st->accion = QStringLiteral("NOT FOR REPLICATION");
        }
        espera("AS");
        const qsizetype cuerpo = ver().pos;
        while (ver().clase != ClaseToken::Fin && ver().clase != ClaseToken::Lote) {
            if (simbolo(";"))
                ++i_;
            else
                st->cuerpo.push_back(sentencia());
        }
        if (st->cuerpo.empty())
            error();
        st->valor = textoDesde(cuerpo);
        return st;
    }

    PSentencia crearTabla()
    {
        PSentencia st = Nueva(ClaseSentencia::CrearTabla);
        st->objeto = nombre();
        esperaSimbolo("(");
        elementosDeTabla(*st);
        esperaSimbolo(")");
        if (toma("ON"))
            tomaNombreSimple();
        return st;
    }

    // Column definitions and table constraints, separated by commas.
    void elementosDeTabla(Sentencia& st)
    {
        do {
            if (palabra("CONSTRAINT") || palabra("PRIMARY") || palabra("UNIQUE") || palabra("FOREIGN") ||
                palabra("CHECK"))
                st.restricciones.push_back(restriccion());
            else
                st.definiciones.push_back(columna());
        } while (tomaSimbolo(","));
    }

    PExpr chequeo()
    {
        espera("CHECK");
        Nivel n(*this);
        esperaSimbolo("(");
        PExpr e = expr();
        esperaSimbolo(")");
        return e;
    }

    void claveOUnica()
    {
        if (!toma("CLUSTERED"))
            toma("NONCLUSTERED");
    }

    // REFERENCES t [(c...)] [ON DELETE|UPDATE action]...
    void referencia(Nombre& tabla, QStringList& columnas, QString& alBorrar, QString& alActualizar)
    {
        espera("REFERENCES");
        tabla = nombre();
        if (simbolo("("))
            columnas = columnasEntreParentesis();
        while (palabra("ON") && (palabra("DELETE", 1) || palabra("UPDATE", 1))) {
            QString& accion = palabra("DELETE", 1) ? alBorrar : alActualizar;
            i_ += 2;
            if (toma("CASCADE"))
                accion = QStringLiteral("CASCADE");
            else if (toma("NO") && toma("ACTION"))
                accion = QStringLiteral("NO ACTION");
            else if (toma("SET") && (palabra("NULL") || palabra("DEFAULT")))
                accion = QStringLiteral("SET ") + t_[i_++].mayus();
            else
                error();
        }
    }

    DefColumna columna()
    {
        DefColumna c;
        c.nombre = tomaNombreSimple(&c.citado);
        c.tipo = tipo();
        for (;;) {
            if (toma("COLLATE")) {
                c.intercalacion = tomaNombreSimple();
            } else if (toma("IDENTITY")) {
                c.identidad = true;
                if (tomaSimbolo("(")) {
                    c.semilla = conSigno();
                    esperaSimbolo(",");
                    c.incremento = conSigno();
                    esperaSimbolo(")");
                }
            } else if (palabra("NOT") && palabra("NULL", 1)) {
                i_ += 2;
                c.nulo = false;
                c.nuloEscrito = true;
            } else if (toma("NULL")) {
                c.nulo = true;
                c.nuloEscrito = true;
            } else if (toma("CONSTRAINT")) {
                tomaNombreSimple();
            } else if (toma("DEFAULT")) {
                c.defecto = expr();
            } else if (toma("PRIMARY")) {
                espera("KEY");
                claveOUnica();
                c.clavePrimaria = true;
            } else if (toma("UNIQUE")) {
                claveOUnica();
                c.unica = true;
            } else if (palabra("CHECK")) {
                c.chequeo = chequeo();
            } else if (palabra("REFERENCES") || (palabra("FOREIGN") && palabra("KEY", 1))) {
                if (toma("FOREIGN"))
                    ++i_;
                referencia(c.referencia, c.columnasReferencia, c.alBorrar, c.alActualizar);
            } else if (!toma("ROWGUIDCOL")) {
                return c;
            }
        }
    }

    qint64 conSigno()
    {
        const bool menos = tomaSimbolo("-");
        bool ok = false;
        const qint64 v = ver().clase == ClaseToken::Numero ? ver().texto.toLongLong(&ok) : 0;
        if (!ok)
            error();
        ++i_;
        return menos ? -v : v;
    }

    Restriccion restriccion()
    {
        Restriccion r;
        if (toma("CONSTRAINT"))
            r.nombre = tomaNombreSimple();
        if (toma("PRIMARY")) {
            espera("KEY");
            claveOUnica();
            r.clase = QStringLiteral("PRIMARY KEY");
            r.columnas = columnasEntreParentesis();
        } else if (toma("UNIQUE")) {
            claveOUnica();
            r.clase = QStringLiteral("UNIQUE");
            r.columnas = columnasEntreParentesis();
        } else if (toma("FOREIGN")) {
            espera("KEY");
            r.clase = QStringLiteral("FOREIGN KEY");
            r.columnas = columnasEntreParentesis();
            referencia(r.referencia, r.columnasReferencia, r.alBorrar, r.alActualizar);
        } else if (palabra("CHECK")) {
            r.clase = QStringLiteral("CHECK");
            r.expr = chequeo();
        } else if (toma("DEFAULT")) {
            r.clase = QStringLiteral("DEFAULT");
            r.expr = expr();
            espera("FOR");
            r.columnas << tomaNombreSimple();
        } else {
            error();
        }
        return r;
    }

    PSentencia eliminar()
    {
        espera("DROP");
        PSentencia st = Nueva(ClaseSentencia::Eliminar);
        const Token& t = ver();
        if (t.clase != ClaseToken::Palabra ||
            !Uno(t.texto, {"TABLE", "VIEW", "INDEX", "PROC", "PROCEDURE", "FUNCTION", "TRIGGER"}))
            error();
        st->claseObjeto = t.es("PROC") ? QStringLiteral("PROCEDURE") : t.mayus();
        ++i_;
        siExiste(*st);
        do {
            Nombre n = nombre();
            // DROP INDEX i ON t names it as t.i does.
            if (st->claseObjeto == u"INDEX" && toma("ON")) {
                Nombre tabla = nombre();
                tabla.partes << n.partes;
                tabla.citada.insert(tabla.citada.end(), n.citada.begin(), n.citada.end());
                n = std::move(tabla);
            }
            st->objetos.push_back(std::move(n));
        } while (tomaSimbolo(","));
        return st;
    }

    void siExiste(Sentencia& st)
    {
        if (palabra("IF") && palabra("EXISTS", 1)) {
            i_ += 2;
            st.siExiste = true;
        }
    }

    PSentencia alterar()
    {
        espera("ALTER");
        if (toma("TRIGGER"))
            return disparador(QStringLiteral("ALTER"));
        espera("TABLE");
        PSentencia st = Nueva(ClaseSentencia::AlterarTabla);
        st->objeto = nombre();
        if (palabra("WITH") && (palabra("CHECK", 1) || palabra("NOCHECK", 1)))
            i_ += 2;
        if (toma("ADD")) {
            st->accion = QStringLiteral("ADD");
            elementosDeTabla(*st);
        } else if (toma("ALTER")) {
            espera("COLUMN");
            st->accion = QStringLiteral("ALTER COLUMN");
            DefColumna c;
            c.nombre = tomaNombreSimple(&c.citado);
            c.tipo = tipo();
            if (toma("COLLATE"))
                c.intercalacion = tomaNombreSimple();
            if (palabra("NOT") && palabra("NULL", 1)) {
                i_ += 2;
                c.nulo = false;
                c.nuloEscrito = true;
            } else if (toma("NULL")) {
                c.nuloEscrito = true;
            }
            st->definiciones.push_back(std::move(c));
        } else if (toma("DROP")) {
            st->accion = toma("COLUMN") ? QStringLiteral("DROP COLUMN") : QStringLiteral("DROP CONSTRAINT");
            if (st->accion == u"DROP CONSTRAINT")
                toma("CONSTRAINT");
            siExiste(*st);
            do
                st->eliminadas << tomaNombreSimple();
            while (tomaSimbolo(","));
        } else {
            error();
        }
        return st;
    }

    PSentencia transaccion()
    {
        PSentencia st = Nueva(ClaseSentencia::Transaccion);
        st->texto = t_[i_++].mayus();
        const bool nombrada = toma("TRAN") || toma("TRANSACTION");
        if (!nombrada && st->texto == u"SAVE")
            error();
        if (!nombrada && st->texto != u"BEGIN" && toma("WORK"))
            return st;
        if (esNombre() || ver().clase == ClaseToken::Variable)
            st->valor = t_[i_++].valor();
        else if (st->texto == u"SAVE")
            error();
        return st;
    }

    PSentencia bloque()
    {
        espera("BEGIN");
        PSentencia st = Nueva(ClaseSentencia::Bloque);
        while (!palabra("END")) {
            if (tomaSimbolo(";"))
                continue;
            if (ver().clase == ClaseToken::Fin || ver().clase == ClaseToken::Lote)
                error();
            st->cuerpo.push_back(sentencia());
        }
        if (st->cuerpo.empty())
            error();
        ++i_;
        return st;
    }

    PSentencia fijar()
    {
        espera("SET");
        if (ver().clase == ClaseToken::Variable) {
            PSentencia st = Nueva(ClaseSentencia::Asignar);
            st->asignaciones.push_back(asignacion());
            return st;
        }
        if (toma("TRANSACTION")) {
            espera("ISOLATION");
            espera("LEVEL");
            const qsizetype pos = ver().pos;
            if (toma("READ")) {
                if (!toma("COMMITTED"))
                    espera("UNCOMMITTED");
            } else if (toma("REPEATABLE")) {
                espera("READ");
            } else if (!toma("SNAPSHOT")) {
                espera("SERIALIZABLE");
            }
            PSentencia st = Nueva(ClaseSentencia::Opcion);
            st->texto = QStringLiteral("TRANSACTION ISOLATION LEVEL");
            st->valor = textoDesde(pos);
            return st;
        }
        // SET A, B ON is one statement for the server; here each option
        // is one, with the same span.
        QStringList opciones;
        do {
            if (ver().clase != ClaseToken::Palabra)
                error();
            opciones << t_[i_++].mayus();
        } while (tomaSimbolo(","));
        const qsizetype pos = ver().pos;
        if (opciones.size() == 1 && opciones.front() == u"IDENTITY_INSERT")
            nombre();
        tomaSimbolo("-");
        const Token& v = ver();
        if (v.clase == ClaseToken::Fin || v.clase == ClaseToken::Lote || v.clase == ClaseToken::Simbolo)
            error();
        ++i_;
        PSentencia st = Nueva(ClaseSentencia::Opcion);
        st->texto = opciones.join(u',');
        st->valor = textoDesde(pos);
        return st;
    }

    PSentencia declarar()
    {
        espera("DECLARE");
        PSentencia st = Nueva(ClaseSentencia::Declarar);
        do {
            Declaracion d;
            if (ver().clase != ClaseToken::Variable)
                error();
            d.variable = t_[i_++].valor();
            toma("AS");
            d.tipo = tipo();
            if (tomaSimbolo("="))
                d.valor = expr();
            st->declaraciones.push_back(std::move(d));
        } while (tomaSimbolo(","));
        return st;
    }

    PSentencia si()
    {
        espera("IF");
        PSentencia st = Nueva(ClaseSentencia::Si);
        st->donde = expr();
        st->cuerpo.push_back(sentencia());
        if (simbolo(";") && palabra("ELSE", 1))
            ++i_;
        if (toma("ELSE"))
            st->cuerpo.push_back(sentencia());
        return st;
    }

    PSentencia ejecutar()
    {
        const qsizetype pos = ver().pos;
        ++i_;
        if (simbolo("(")) {
            Nivel n(*this);
            ++i_;
            expr();
            esperaSimbolo(")");
        } else {
            if (ver().clase == ClaseToken::Variable && simbolo("=", 1))
                i_ += 2;
            nombre(true);
            if (argumentoDeEjecucion())
                do {
                    if (ver().clase == ClaseToken::Variable && simbolo("=", 1))
                        i_ += 2;
                    valorODefecto();
                    if (!toma("OUTPUT"))
                        toma("OUT");
                } while (tomaSimbolo(","));
            if (palabra("WITH") && palabra("RECOMPILE", 1))
                i_ += 2;
        }
        PSentencia st = Nueva(ClaseSentencia::Ejecutar);
        st->texto = textoDesde(pos);
        return st;
    }

    bool argumentoDeEjecucion() const
    {
        switch (ver().clase) {
        case ClaseToken::Variable:
        case ClaseToken::Cadena:
        case ClaseToken::Numero:
        case ClaseToken::Binario:
        case ClaseToken::Moneda:
        case ClaseToken::Citado:
            return true;
        case ClaseToken::Palabra:
            return !ver().reservada || palabra("DEFAULT") || palabra("NULL");
        case ClaseToken::Simbolo:
            return simbolo("-") || simbolo("+");
        default:
            return false;
        }
    }

    const QString& s_;
    std::vector<Token> t_;
    size_t i_ = 0;
    int profundidad_ = 0;
    bool primera_ = true; // no statement yet in this batch
};

} // namespace

Lote Analizar(const QString& lote) { return Analizador(lote).lote(); }

} // namespace tsql
