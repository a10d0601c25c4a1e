#include "platform/ado/dialecto.h"
#include "platform/ado/provider.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace ado {

namespace {

enum class T { Blanco, Comentario, Literal, Citado, Nombre, Numero, Abre, Cierra, Coma, PuntoComa, Punto, Op };

struct Tok {
    T tipo;
    qsizetype ini;
    qsizetype len;
};

bool EsLetra(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

std::vector<Tok> Tokenizar(const QString& s)
{
    std::vector<Tok> t;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype ini = i;
        const QChar c = s[i];
        T tipo;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            tipo = T::Blanco;
        } else if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n')
                ++i;
            tipo = T::Comentario;
        } else if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            const qsizetype f = s.indexOf(QLatin1String("*/"), i + 2);
            i = f < 0 ? n : f + 2;
            tipo = T::Comentario;
        } else if (c == u'\'' || ((c == u'N' || c == u'n') && i + 1 < n && s[i + 1] == u'\'')) {
            i += c == u'\'' ? 1 : 2;
            while (i < n) {
                if (s[i] == u'\'') {
                    if (i + 1 < n && s[i + 1] == u'\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            tipo = T::Literal;
        } else if (c == u'"' || c == u'[') {
            const QChar cierre = c == u'[' ? u']' : u'"';
            ++i;
            while (i < n) {
                if (s[i] == cierre) {
                    if (i + 1 < n && s[i + 1] == cierre) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            tipo = T::Citado;
        } else if (EsLetra(c)) {
            while (i < n && (EsLetra(s[i]) || s[i].isDigit()))
                ++i;
            tipo = T::Nombre;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                ++i;
            if (i < n && (s[i] == u'e' || s[i] == u'E') && i + 1 < n
                && (s[i + 1].isDigit() || ((s[i + 1] == u'+' || s[i + 1] == u'-') && i + 2 < n && s[i + 2].isDigit()))) {
                i += 2;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            tipo = T::Numero;
        } else {
            ++i;
            switch (c.unicode()) {
            case '(': tipo = T::Abre; break;
            case ')': tipo = T::Cierra; break;
            case ',': tipo = T::Coma; break;
            case ';': tipo = T::PuntoComa; break;
            case '.': tipo = T::Punto; break;
            default:
                tipo = T::Op;
                if (i < n) {
                    const QChar d = s[i];
                    if ((c == u'<' && (d == u'>' || d == u'=')) || (c == u'>' && d == u'=')
                        || (c == u'!' && (d == u'=' || d == u'<' || d == u'>')) || (c == u'|' && d == u'|'))
                        ++i;
                }
            }
        }
        t.push_back({tipo, ini, i - ini});
    }
    return t;
}

bool Uno(QStringView v, std::initializer_list<const char*> palabras)
{
    // Runs for every name of every statement: compare the cheap things first.
    const char16_t c0 = v.isEmpty() ? 0 : char16_t(v.front().toUpper().unicode());
    for (const char* p : palabras) {
        if (char16_t(p[0]) != c0 && !(p[0] >= 'a' && p[0] <= 'z'))
            continue;
        const QLatin1String w(p);
        if (w.size() == v.size() && v.compare(w, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

const std::initializer_list<const char*> kSugerencias = {
    "NOLOCK", "READUNCOMMITTED", "UPDLOCK", "ROWLOCK", "HOLDLOCK", "NOWAIT", "READPAST", "TABLOCK", "TABLOCKX",
    "PAGLOCK", "XLOCK", "SERIALIZABLE", "REPEATABLEREAD", "READCOMMITTED", "INDEX", "FASTFIRSTROW", "NOEXPAND"};
const std::initializer_list<const char*> kFuncionesTexto = {
    "LTRIM", "RTRIM", "TRIM", "UPPER", "LOWER", "SUBSTRING", "SUBSTR", "LEFT", "RIGHT", "REPLACE",
    "CHAR", "NCHAR", "SPACE", "REPLICATE", "STR", "QUOTENAME"};
const std::initializer_list<const char*> kFuncionesNumero = {
    "LEN", "DATALENGTH", "CHARINDEX", "PATINDEX", "COUNT", "YEAR", "MONTH", "DAY", "DATEPART", "DATEDIFF", "ASCII",
    "UNICODE"};
const std::initializer_list<const char*> kTiposTexto = {"VARCHAR", "NVARCHAR", "CHAR", "NCHAR", "TEXT", "NTEXT",
                                                        "SYSNAME", "CHARACTER"};
const std::initializer_list<const char*> kTiposNumero = {"INT", "INTEGER", "BIGINT", "SMALLINT", "TINYINT", "BIT",
                                                         "FLOAT", "REAL", "DECIMAL", "NUMERIC", "MONEY", "SMALLMONEY"};
// Words that are never an operand: an expression stops before them.
const std::initializer_list<const char*> kPalabras = {
    "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "AS", "ON", "THEN", "ELSE", "WHEN", "END", "IN", "LIKE", "IS",
    "BETWEEN", "ORDER", "GROUP", "BY", "HAVING", "SET", "VALUES", "UNION", "ALL", "JOIN", "INTO", "INNER", "LEFT",
    "RIGHT", "OUTER", "CROSS", "FULL", "EXCEPT", "INTERSECT", "DISTINCT", "TOP", "ESCAPE", "ASC", "DESC", "EXISTS",
    "DEFAULT", "PRIMARY", "KEY", "REFERENCES", "CONSTRAINT", "CHECK", "UNIQUE", "INSERT", "UPDATE", "DELETE",
    "CREATE", "ALTER", "DROP", "TABLE", "VIEW", "WITH", "OVER", "PARTITION", "LIMIT", "OFFSET", "COLLATE", "ADD",
    "PERCENT", "TIES", "IF", "USING", "NATURAL", "ANY", "SOME", "OPTION", "FOR", "RETURNS", "BEGIN"};
const std::initializer_list<const char*> kComparaciones = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};
// Options of SET that only change the session: dropped, with their value.
const std::initializer_list<const char*> kOpciones = {
    "NOCOUNT", "XACT_ABORT", "ANSI_NULLS", "ANSI_WARNINGS", "ANSI_PADDING", "QUOTED_IDENTIFIER", "DATEFORMAT",
    "ARITHABORT", "CONCAT_NULL_YIELDS_NULL", "LANGUAGE", "TRANSACTION", "LOCK_TIMEOUT", "DEADLOCK_PRIORITY",
    "DATEFIRST", "ANSI_NULL_DFLT_ON", "NUMERIC_ROUNDABORT", "TEXTSIZE"};
const std::initializer_list<const char*> kNivelAislamiento = {"ISOLATION", "LEVEL", "READ", "COMMITTED", "UNCOMMITTED",
                                                              "REPEATABLE", "SERIALIZABLE", "SNAPSHOT"};

// Deeper than this the statement is refused, as the server refuses it.
constexpr int kProfundidadMaxima = 200;

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

Error ErrorSintaxis(int nativo, const QString& mensaje, const QString& origen)
{
    return {DB_E_ERRORSINCOMMAND, mensaje, origen, QStringLiteral("42000"), nativo};
}

[[noreturn]] void DemasiadoAnidada(const QString& origen)
{
    FallaDe(ErrorSintaxis(191,
                          QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite the query or "
                                         "break it up into smaller queries."),
                          origen));
}

// What an operand of "+" is, as far as its shape tells.
enum class Clase { Desconocida, Numero, Texto };

class Traductor {
public:
    // nivel: how many rewritten statements this one is inside of.
    Traductor(const QString& s, const QString& origen = QString(), int nivel = -1)
        : s_(s), origen_(origen), nivel_(nivel), t_(Tokenizar(s))
    {
        // Groups and CASE ... END are paired once: every later step skips a
        // group in one move, so the work stays linear in the statement.
        pareja_.assign(t_.size(), -1);
        std::vector<int> pila;
        size_t profundidad = 0;
        for (int i = 0; i < int(t_.size()); ++i) {
            const T tipo = t_[i].tipo;
            if (tipo == T::Abre || (tipo == T::Nombre && Uno(txt(i), {"CASE"}))) {
                pila.push_back(i);
                profundidad = std::max(profundidad, pila.size());
            } else if (tipo == T::Cierra) {
                while (!pila.empty() && t_[pila.back()].tipo != T::Abre)
                    pila.pop_back();
                if (!pila.empty()) {
                    pareja_[pila.back()] = i;
                    pareja_[i] = pila.back();
                    pila.pop_back();
                }
            } else if (tipo == T::Nombre && !pila.empty() && t_[pila.back()].tipo == T::Nombre
                       && Uno(txt(i), {"END"})) {
                pareja_[pila.back()] = i;
                pareja_[i] = pila.back();
                pila.pop_back();
            }
        }
        if (nivel_ >= 0 && (profundidad > size_t(kProfundidadMaxima) || nivel_ > kProfundidadMaxima))
            DemasiadoAnidada(origen_);
    }

    // Statement ranges [a, b) at depth 0, split at ";" and, when asked, where
    // SQL Server allows a statement to start without ";".
    std::vector<std::pair<int, int>> sentencias(bool porPalabras) const
    {
        std::vector<std::pair<int, int>> r;
        int ini = 0, prof = 0, primero = -1, prev = -1, corte = -1, casos = 0;
        bool condicion = false; // an IF read up to its statement
        bool dentroSi = false;  // an IF whose ELSE may still come
        bool valores = false;   // an INSERT ... VALUES read up to its rows
        int bloque = 0;         // BEGIN ... END levels of an IF's block
        const int n = int(t_.size());
        for (int i = 0; i < n; ++i) {
            const T tipo = t_[i].tipo;
            if (tipo == T::Abre)
                ++prof;
            else if (tipo == T::Cierra && prof > 0)
                --prof;
            if (prof == 0 && tipo == T::PuntoComa && bloque == 0) {
                r.emplace_back(ini, i);
                ini = i + 1;
                primero = prev = corte = -1;
                condicion = dentroSi = valores = false;
                casos = bloque = 0;
                continue;
            }
            if (tipo == T::Blanco || tipo == T::Comentario)
                continue;
            if (porPalabras && prof == 0 && primero >= 0) {
                if (tipo == T::Nombre && Uno(txt(i), {"CASE"}))
                    ++casos;
                else if (tipo == T::Nombre && casos > 0 && Uno(txt(i), {"END"}))
                    --casos;
                else if (bloque > 0 && tipo == T::Nombre && Uno(txt(i), {"END"}))
                    --bloque;
                else if (bloque > 0 && tipo == T::Nombre && Uno(txt(i), {"BEGIN"}) && finPropio(i) < 0)
                    ++bloque;
                if (bloque > 0 || (tipo == T::Nombre && Uno(txt(i), {"END"}) && casos == 0 && es(primero, n, {"BEGIN"}))) {
                    prev = i;
                    continue; // inside the block, or its END
                }
                bool nueva = corte >= 0 && i >= corte;
                if (!nueva && tipo == T::Nombre && dentroSi && !condicion && casos == 0 && Uno(txt(i), {"ELSE"})) {
                    condicion = true; // the statement after ELSE belongs to the IF
                    prev = i;
                    continue;
                }
                if (!nueva && tipo == T::Nombre && empiezaSentencia(i, primero, prev, valores)) {
                    if (condicion) {
                        // The statement an IF runs: part of the IF.
                        if (Uno(txt(i), {"BEGIN"}) && finPropio(i) < 0)
                            bloque = 1;
                        condicion = Uno(txt(i), {"IF"});
                        primero = i;
                        valores = false;
                        corte = finPropio(i);
                        prev = i;
                        continue;
                    }
                    nueva = true;
                }
                if (nueva) {
                    r.emplace_back(ini, i);
                    ini = i;
                    primero = corte = -1;
                    condicion = dentroSi = valores = false;
                    casos = bloque = 0;
                }
            }
            if (primero < 0) {
                primero = i;
                condicion = dentroSi = es(i, n, {"IF"});
                corte = porPalabras ? finPropio(i) : -1;
            }
            if (prof == 0 && es(primero, n, {"INSERT"}) && es(i, n, {"VALUES"}))
                valores = true;
            prev = i;
        }
        r.emplace_back(ini, n);
        return r;
    }

    QString traducir()
    {
        QString out;
        out.reserve(s_.size() + 32);
        for (const auto& [a, b] : sentencias(true)) {
            const QString s = sentencia(a, b);
            if (s.trimmed().isEmpty())
                continue;
            if (!out.isEmpty())
                out += u';';
            out += s;
        }
        return out;
    }

    QStringView txt(int i) const { return QStringView(s_).mid(t_[i].ini, t_[i].len); }
    // The source text of tokens [a, b).
    QStringView texto(int a, int b) const
    {
        if (a >= b)
            return {};
        return QStringView(s_).mid(t_[a].ini, t_[b - 1].ini + t_[b - 1].len - t_[a].ini);
    }
    const std::vector<Tok>& tokens() const { return t_; }
    int pareja(int i) const { return pareja_[i]; }
    int sig(int i, int fin) const
    {
        while (i < fin && (t_[i].tipo == T::Blanco || t_[i].tipo == T::Comentario))
            ++i;
        return i;
    }
    bool es(int i, int fin, std::initializer_list<const char*> p) const
    {
        return i >= 0 && i < fin && t_[i].tipo == T::Nombre && Uno(txt(i), p);
    }

private:
    struct Res {
        QString sql;
        Clase clase = Clase::Desconocida;
        // A TOP left for the caller to apply (the first SELECT of a UNION).
        QString limite;
        bool porcentaje = false, empates = false;
    };

    // The next token at the same level: a group or CASE ... END is one step.
    int paso(int i, int fin) const
    {
        if (pareja_[i] > i && (t_[i].tipo == T::Abre || t_[i].tipo == T::Nombre))
            i = pareja_[i];
        return sig(i + 1, fin);
    }
    // The first token at the same level in [a, b) that is one of the words.
    int busca(int a, int b, std::initializer_list<const char*> p) const
    {
        for (int k = sig(a, b); k < b; k = paso(k, b))
            if (es(k, b, p))
                return k;
        return -1;
    }

    bool empiezaSentencia(int i, int primero, int prev, bool valores) const
    {
        const QStringView w = txt(i);
        const int n = int(t_.size());
        if (es(primero, n, {"GRANT", "REVOKE", "DENY"}))
            return false;
        // "ON DELETE", "FOR UPDATE" belong to the statement; "SET NOCOUNT ON" ends its own.
        const bool trasOn = es(prev, n, {"ON", "FOR", "AFTER", "BEFORE", "OF", "INSTEAD"}) && !es(primero, n, {"SET"});
        if (Uno(w, {"INSERT", "CREATE", "TRUNCATE", "DECLARE", "EXEC", "EXECUTE", "BEGIN", "COMMIT", "ROLLBACK",
                    "PRINT", "ALTER"}))
            return !trasOn;
        if (Uno(w, {"IF"}))
            return !es(prev, n, {"TABLE", "VIEW", "INDEX", "TRIGGER", "PROCEDURE", "PROC", "FUNCTION", "SCHEMA",
                                 "DATABASE", "COLUMN", "CONSTRAINT"});
        if (Uno(w, {"DROP"}))
            return !trasOn && !es(primero, n, {"ALTER"});
        if (Uno(w, {"DELETE", "UPDATE"}))
            return !trasOn;
        if (Uno(w, {"SET"}))
            return !trasOn && !es(primero, n, {"UPDATE", "ALTER"});
        if (Uno(w, {"SELECT"}))
            return (valores || !es(primero, n, {"INSERT", "CREATE", "ALTER", "WITH"}))
                && !es(prev, n, {"UNION", "ALL", "EXCEPT", "INTERSECT"});
        return false;
    }

    // Where a statement that ends on its own ends (a session option, a
    // transaction's start or end); -1 for the others.
    int finPropio(int i) const
    {
        const int n = int(t_.size());
        int k = sig(i + 1, n);
        auto nombreOpcional = [&](int j) {
            // A transaction's name, never the next statement's first word.
            if (j < n && t_[j].tipo == T::Nombre && !Uno(txt(j), kPalabras)
                && !empiezaSentencia(j, i, i, false) && !Uno(txt(j), {"IF", "WHILE", "RETURN"}))
                return sig(j + 1, n);
            return j;
        };
        if (es(i, n, {"SET"}) && es(k, n, kOpciones)) {
            const bool transaccion = es(k, n, {"TRANSACTION"});
            k = sig(k + 1, n);
            while (k < n && t_[k].tipo == T::Coma && es(sig(k + 1, n), n, kOpciones))
                k = sig(sig(k + 1, n) + 1, n);
            if (transaccion) {
                while (es(k, n, kNivelAislamiento))
                    k = sig(k + 1, n);
                return k;
            }
            if (k < n && t_[k].tipo == T::Op && (txt(k) == u"-" || txt(k) == u"+"))
                k = sig(k + 1, n);
            if (k < n && t_[k].tipo != T::Abre && t_[k].tipo != T::Cierra && t_[k].tipo != T::PuntoComa)
                k = sig(k + 1, n);
            return k;
        }
        if (es(i, n, {"BEGIN"}) && es(k, n, {"TRAN", "TRANSACTION", "DISTRIBUTED"})) {
            if (es(k, n, {"DISTRIBUTED"}))
                k = sig(k + 1, n);
            return nombreOpcional(sig(k + 1, n));
        }
        if (es(i, n, {"COMMIT", "ROLLBACK"})) {
            if (es(k, n, {"TRAN", "TRANSACTION", "WORK"}))
                return nombreOpcional(sig(k + 1, n));
            return k;
        }
        return -1;
    }

    QString blancoInicial(int a, int b) const
    {
        const int f = sig(a, b);
        return f > a ? s_.mid(t_[a].ini, t_[f].ini - t_[a].ini) : QString();
    }

    // Whether the text ends inside a literal, a quoted name or a comment:
    // nothing may then be written after the statement's own text.
    bool abiertaAlFinal(int b) const
    {
        if (b != int(t_.size()) || b == 0)
            return false;
        const QStringView v = txt(b - 1);
        switch (t_[b - 1].tipo) {
        case T::Literal: return v.count(u'\'') % 2 != 0;
        case T::Citado: return v.front() == u'[' ? v.count(u']') % 2 == 0 : v.count(u'"') % 2 != 0;
        case T::Comentario: return v.startsWith(u"/*") && (v.size() < 4 || !v.endsWith(u"*/"));
        default: return false;
        }
    }

    // A statement rewritten in the server's dialect, translated in turn.
    QString retraducir(const QString& sql) const { return Traductor(sql, origen_, nivel_ + 1).traducir(); }

    QString sentencia(int a, int b)
    {
        const int f = sig(a, b);
        if (f >= b)
            return {};
        const int g = sig(f + 1, b);
        if (es(f, b, {"SET"}) && es(g, b, kOpciones))
            return {};
        // Nested transactions count as on the server: savepoints of one
        // name, of which only the outermost release commits.
        if (es(f, b, {"BEGIN"}) && es(g, b, {"TRAN", "TRANSACTION", "DISTRIBUTED"}))
            return blancoInicial(a, b) + QStringLiteral("SAVEPOINT ss_tran");
        if (es(f, b, {"COMMIT"}))
            return blancoInicial(a, b) + QStringLiteral("RELEASE ss_tran");
        if (es(f, b, {"ROLLBACK"}))
            return blancoInicial(a, b) + QStringLiteral("ROLLBACK");
        if (es(f, b, {"IF"}) && !abiertaAlFinal(b)) {
            const QString r = si(f, b);
            if (!r.isNull())
                return blancoInicial(a, b) + retraducir(r);
        }
        if (es(f, b, {"UPDATE", "DELETE"}) && es(g, b, {"TOP"}) && !abiertaAlFinal(b)) {
            const QString r = conTop(f, b);
            if (!r.isNull())
                return blancoInicial(a, b) + retraducir(r);
        }
        if (es(f, b, {"DELETE"}) && g < b && (t_[g].tipo == T::Nombre || t_[g].tipo == T::Citado)
            && !es(g, b, {"FROM", "TOP"}) && busca(g, b, {"FROM"}) < 0) {
            // DELETE T WHERE ...: FROM is optional on the server.
            return blancoInicial(a, b) + txt(f).toString() + QStringLiteral(" FROM") + rango(f + 1, b, false).sql;
        }
        const bool ddl = es(f, b, {"CREATE", "ALTER"}) && es(g, b, {"TABLE"});
        return rango(a, b, ddl).sql;
    }

    // IF cond statement: the statement with the condition in its own WHERE,
    // in the server's dialect; a null text when it has no such form.
    QString si(int f, int b) const
    {
        int k = sig(f + 1, b);
        for (int prev = f; k < b; prev = k, k = paso(k, b))
            if (k > sig(f + 1, b) && t_[k].tipo == T::Nombre && empiezaSentencia(k, f, prev, false))
                break;
        if (k >= b)
            return {};
        return condicionar(texto(f + 1, k).toString(), texto(k, b).toString());
    }

    QString condicionar(const QString& cond, const QString& cuerpo) const
    {
        const Traductor t(cuerpo, origen_, nivel_ + 1);
        const int n = int(t.t_.size());
        const int f = t.sig(0, n);
        if (t.busca(f, n, {"ELSE"}) >= 0)
            return {}; // evaluated once on the server: no static form
        const QString c = u'(' + cond + QStringLiteral("\n)");
        auto resto = [&](int k) { return t.texto(k, n).toString(); };
        auto hasta = [&](int k) { return t.texto(0, k).toString(); };
        if (t.es(f, n, {"BEGIN"}) && t.finPropio(f) < 0) {
            // A block of one statement is that statement; with more, the
            // condition could change between them.
            const int fin = t.finSignificativo(f, n) - 1;
            if (fin <= f || !t.es(fin, n, {"END"}))
                return {};
            const QString dentro = t.texto(f + 1, fin).toString();
            const Traductor b(dentro, origen_, nivel_ + 1);
            QString unica;
            for (const auto& [x, y] : b.sentencias(true)) {
                if (b.sig(x, y) >= y)
                    continue;
                if (!unica.isNull())
                    return {};
                unica = b.texto(x, y).toString();
            }
            return unica.isNull() ? QString() : condicionar(cond, unica);
        }
        if (t.es(f, n, {"IF"})) {
            const QString r = t.si(f, n);
            if (r.isNull())
                return {};
            // The inner IF now has its condition in its WHERE: add the outer one.
            return condicionar(cond, r);
        }
        if (t.es(f, n, {"INSERT"})) {
            const int v = t.busca(f, n, {"VALUES", "SELECT"});
            if (v < 0)
                return {};
            return hasta(v) + QStringLiteral("SELECT * FROM (") + resto(v) + QStringLiteral("\n) WHERE ") + c;
        }
        if (t.es(f, n, {"UPDATE", "DELETE"})) {
            const int w = t.busca(f, n, {"WHERE"});
            if (w < 0)
                return cuerpo + QStringLiteral("\nWHERE ") + c;
            return hasta(w) + QStringLiteral("WHERE ") + c + QStringLiteral(" AND (") + t.texto(w + 1, n).toString()
                + QStringLiteral("\n)");
        }
        if (t.es(f, n, {"SELECT"}))
            return QStringLiteral("SELECT * FROM (") + cuerpo + QStringLiteral("\n) WHERE ") + c;
        return {};
    }

    // UPDATE TOP (n) T SET ... / DELETE TOP (n) [FROM] T ...: the rows chosen
    // by their row ids, in the server's dialect; null when not of that form.
    QString conTop(int f, int b) const
    {
        const int top = sig(f + 1, b);
        int k = sig(top + 1, b);
        if (k >= b)
            return {};
        if (t_[k].tipo == T::Abre && pareja_[k] > k)
            k = pareja_[k];
        else if (t_[k].tipo != T::Numero)
            return {};
        int fin = k + 1;
        if (es(sig(fin, b), b, {"PERCENT"}))
            fin = sig(fin, b) + 1;
        const QString limite = texto(sig(top + 1, b), fin).toString();
        int tabla = sig(fin, b);
        if (es(f, b, {"DELETE"}) && es(tabla, b, {"FROM"}))
            tabla = sig(tabla + 1, b);
        const int set = es(f, b, {"UPDATE"}) ? busca(tabla, b, {"SET"}) : -1;
        const int desde = es(f, b, {"UPDATE"}) ? busca(set < 0 ? tabla : set, b, {"FROM"}) : -1;
        const int donde = busca(tabla, b, {"WHERE"});
        if (tabla >= b || (es(f, b, {"UPDATE"}) && set < 0))
            return {};
        const int finTabla = set >= 0 ? set : (donde >= 0 ? donde : b);
        const QString nombre = texto(tabla, finTabla).toString();
        const QString filtro = donde >= 0 ? u' ' + texto(donde, b).toString() : QString();
        QString r = txt(f).toString();
        if (es(f, b, {"UPDATE"})) {
            r += u' ' + nombre + u' ' + texto(set, desde >= 0 ? desde : (donde >= 0 ? donde : b)).toString();
        } else {
            r += QStringLiteral(" FROM ") + nombre;
        }
        // On a line of its own: a comment before it must not hide it.
        r += QStringLiteral("\nWHERE rowid IN (SELECT TOP ") + limite + QStringLiteral(" rowid ")
            + (desde >= 0 ? texto(desde, donde >= 0 ? donde : b).toString() : QStringLiteral("FROM ") + nombre)
            + filtro + QStringLiteral("\n)");
        return r;
    }

    // The class of the operand that starts at i, as far as the text tells.
    Clase claseDe(int i, int fin) const
    {
        if (i >= fin)
            return Clase::Desconocida;
        if (t_[i].tipo == T::Literal)
            return Clase::Texto;
        if (t_[i].tipo == T::Numero)
            return Clase::Numero;
        if (t_[i].tipo != T::Nombre)
            return Clase::Desconocida;
        const int p = sig(i + 1, fin);
        if (p >= fin || t_[p].tipo != T::Abre || pareja_[p] < 0)
            return Uno(txt(i), {"@@TRANCOUNT", "@@ROWCOUNT"}) ? Clase::Numero : Clase::Desconocida;
        const int c = pareja_[p];
        if (Uno(txt(i), kFuncionesTexto))
            return Clase::Texto;
        if (Uno(txt(i), kFuncionesNumero))
            return Clase::Numero;
        int tipo = -1;
        if (Uno(txt(i), {"CONVERT"}))
            tipo = sig(p + 1, c);
        else if (Uno(txt(i), {"CAST"}))
            if (const int as = busca(p + 1, c, {"AS"}); as >= 0)
                tipo = sig(as + 1, c);
        if (es(tipo, c, kTiposTexto))
            return Clase::Texto;
        if (es(tipo, c, kTiposNumero))
            return Clase::Numero;
        return Clase::Desconocida;
    }

    // The class of the operand right of an operator at i: only a lone
    // operand (no "*", "/" or "%" after it) has the class of its shape.
    Clase claseDerecha(int i, int fin) const
    {
        const int n = sig(i + 1, fin);
        if (n >= fin)
            return Clase::Desconocida;
        int e = n;
        if (t_[n].tipo == T::Nombre) {
            const int p = sig(n + 1, fin);
            if (p < fin && t_[p].tipo == T::Abre && pareja_[p] > p)
                e = pareja_[p];
        }
        const int d = sig(e + 1, fin);
        if (d < fin && t_[d].tipo == T::Op && (txt(d) == u"*" || txt(d) == u"/" || txt(d) == u"%"))
            return Clase::Desconocida;
        if (d < fin && t_[d].tipo == T::Punto)
            return Clase::Desconocida;
        return claseDe(n, fin);
    }

    // Top-level argument ranges of the group opened at p.
    std::vector<std::pair<int, int>> argumentos(int p) const
    {
        std::vector<std::pair<int, int>> r;
        const int c = pareja_[p];
        int ini = p + 1;
        for (int k = p + 1; k < c; ++k) {
            if (pareja_[k] > k)
                k = pareja_[k];
            else if (t_[k].tipo == T::Coma) {
                r.emplace_back(ini, k);
                ini = k + 1;
            }
        }
        r.emplace_back(ini, c);
        return r;
    }

    // A date part as the run-time functions name it, quoted.
    QString parte(const std::pair<int, int>& r, bool ddl)
    {
        const int k = sig(r.first, r.second);
        if (k >= r.second || t_[k].tipo != T::Nombre || sig(k + 1, r.second) < r.second)
            return rango(r.first, r.second, ddl).sql;
        for (const Parte& p : kPartes)
            if (Uno(txt(k), p.formas))
                return u'\'' + QLatin1String(p.nombre) + u'\'';
        return u'\'' + txt(k).toString().toLower() + u'\'';
    }

    // A type as written, quoted, when it is a plain type; else the argument
    // itself, for the run-time function to refuse.
    QString tipoEscrito(int a, int b, bool ddl)
    {
        const int f = sig(a, b);
        if (f >= b || (t_[f].tipo != T::Nombre && t_[f].tipo != T::Citado) || txt(f).front() == u'@')
            return rango(a, b, ddl).sql;
        QString r(1, u'\'');
        for (int k = f; k < b; ++k) {
            const T tipo = t_[k].tipo;
            if (tipo == T::Citado && k == f && txt(k).front() == u'[' && txt(k).back() == u']')
                r += txt(k).mid(1, txt(k).size() - 2); // [int]
            else if (tipo == T::Blanco && sig(k, b) < b)
                r += txt(k);
            else if (tipo == T::Nombre || tipo == T::Numero || tipo == T::Abre || tipo == T::Cierra || tipo == T::Coma)
                r += txt(k);
            else if (tipo != T::Blanco)
                return rango(a, b, ddl).sql;
        }
        if (r.indexOf(u'\'', 1) >= 0)
            return rango(a, b, ddl).sql;
        return r + u'\'';
    }

    static bool simple(const QString& sql) { return !sql.contains(u'('); }

    // A function call at i whose group opens at p; true when it was handled.
    bool funcion(int i, int p, bool ddl, QString& out, Clase& clase)
    {
        const QStringView f = txt(i);
        const int c = pareja_[p];
        auto arg = [&](const std::pair<int, int>& r) { return rango(r.first, r.second, ddl); };
        const auto args = argumentos(p);
        const bool vacia = sig(p + 1, c) >= c;
        clase = Clase::Desconocida;
        if (Uno(f, {"GETDATE", "SYSDATETIME"}) && vacia) {
            // A table's default must be constant for SQLite: the local time
            // written out; elsewhere the server's clock function.
            out += ddl ? QStringLiteral("(datetime('now','localtime'))") : QStringLiteral("ss_getdate()");
            return true;
        }
        if (Uno(f, {"GETUTCDATE"}) && vacia) {
            out += QStringLiteral("(datetime('now'))");
            return true;
        }
        if (Uno(f, {"SCOPE_IDENTITY"}) && vacia) {
            out += QStringLiteral("ss_identity()");
            return true;
        }
        if (Uno(f, {"ISNULL"})) {
            out += QStringLiteral("IFNULL(");
            for (size_t k = 0; k < args.size(); ++k) {
                Res x = arg(args[k]);
                if (k == 0)
                    clase = x.clase;
                else
                    out += u',';
                out += x.sql;
            }
            out += u')';
            return true;
        }
        if (Uno(f, {"LEN"})) {
            out += QStringLiteral("LENGTH(RTRIM(") + rango(p + 1, c, ddl).sql + QStringLiteral("))");
            clase = Clase::Numero;
            return true;
        }
        if (Uno(f, {"DATALENGTH"})) {
            out += QStringLiteral("LENGTH(") + rango(p + 1, c, ddl).sql + u')';
            clase = Clase::Numero;
            return true;
        }
        if (Uno(f, {"SUBSTRING"})) {
            out += QStringLiteral("SUBSTR(") + rango(p + 1, c, ddl).sql + u')';
            clase = Clase::Texto;
            return true;
        }
        if (Uno(f, {"LEFT"}) && args.size() == 2) {
            out += QStringLiteral("SUBSTR(") + arg(args[0]).sql + QStringLiteral(",1,") + arg(args[1]).sql + u')';
            clase = Clase::Texto;
            return true;
        }
        if (Uno(f, {"RIGHT"}) && args.size() == 2) {
            // Each argument is written once (a length without groups may be
            // twice): nested calls never multiply the text.
            const QString x = arg(args[0]).sql, n = arg(args[1]).sql;
            if (simple(n))
                out += QStringLiteral("SUBSTR(") + x + QStringLiteral(",-(") + n + QStringLiteral("),") + n + u')';
            else
                out += QStringLiteral("(SELECT SUBSTR(") + x
                    + QStringLiteral(",-ss__n,ss__n) FROM (SELECT (") + n + QStringLiteral(") AS ss__n))");
            clase = Clase::Texto;
            return true;
        }
        if (Uno(f, {"CHARINDEX"}) && (args.size() == 2 || args.size() == 3)) {
            const QString aguja = arg(args[0]).sql, pajar = arg(args[1]).sql;
            if (args.size() == 2) {
                out += QStringLiteral("INSTR(") + pajar + u',' + aguja + u')';
            } else {
                out += QStringLiteral("(SELECT CASE WHEN ss__i>0 THEN ss__i+ss__s-1 ELSE ss__i END FROM "
                                      "(SELECT INSTR(SUBSTR(")
                    + pajar + QStringLiteral(",ss__s),") + aguja
                    + QStringLiteral(") AS ss__i,ss__s FROM (SELECT MAX((") + arg(args[2]).sql
                    + QStringLiteral("),1) AS ss__s)))");
            }
            clase = Clase::Numero;
            return true;
        }
        if (Uno(f, {"YEAR", "MONTH", "DAY"}) && args.size() == 1) {
            out += QStringLiteral("ss_datepart('") + f.toString().toLower() + QStringLiteral("',") + arg(args[0]).sql
                + u')';
            clase = Clase::Numero;
            return true;
        }
        if (Uno(f, {"DATEPART"}) && args.size() == 2) {
            out += QStringLiteral("ss_datepart(") + parte(args[0], ddl) + u',' + arg(args[1]).sql + u')';
            clase = Clase::Numero;
            return true;
        }
        if (Uno(f, {"DATEADD", "DATEDIFF"}) && args.size() == 3) {
            out += (Uno(f, {"DATEADD"}) ? QStringLiteral("ss_dateadd(") : QStringLiteral("ss_datediff("))
                + parte(args[0], ddl) + u',' + arg(args[1]).sql + u',' + arg(args[2]).sql + u')';
            clase = Uno(f, {"DATEDIFF"}) ? Clase::Numero : Clase::Desconocida;
            return true;
        }
        if (Uno(f, {"CONVERT"}) && args.size() >= 2) {
            // Every argument goes to the run-time function, style included.
            out += QStringLiteral("ss_convertir(") + tipoEscrito(args[0].first, args[0].second, ddl) + u','
                + arg(args[1]).sql + u',';
            if (args.size() >= 3) {
                for (size_t k = 2; k < args.size(); ++k)
                    out += (k > 2 ? QStringLiteral(",") : QString()) + arg(args[k]).sql;
            } else {
                out += QStringLiteral("NULL");
            }
            out += u')';
            clase = claseDe(i, c + 1);
            return true;
        }
        if (Uno(f, {"CAST"})) {
            const int as = busca(p + 1, c, {"AS"});
            if (as < 0)
                return false;
            out += QStringLiteral("ss_convertir(") + tipoEscrito(as + 1, c, ddl) + u',' + rango(p + 1, as, ddl).sql
                + QStringLiteral(",NULL)");
            clase = claseDe(i, c + 1);
            return true;
        }
        return false;
    }

    bool esSugerencia(int p) const
    {
        const int c = pareja_[p];
        const int k = sig(p + 1, c);
        return k < c && es(k, c, kSugerencias);
    }

    // The end of [a, b) without its trailing blanks and comments.
    int finSignificativo(int a, int b) const
    {
        while (b > a && (t_[b - 1].tipo == T::Blanco || t_[b - 1].tipo == T::Comentario))
            --b;
        return b;
    }

    bool acabaEnComentario(int a, int b) const
    {
        return b > a && t_[b - 1].tipo == T::Comentario && txt(b - 1).startsWith(u"--");
    }

    // The rows a TOP keeps. out: the SELECT as translated (fuente: its FROM
    // ... up to ORDER BY, claves: its ordering keys; empty when it has none).
    // by: the token BY of the ORDER BY, -1 without one.
    QString limite(const QString& consulta, const QString& fuente, const QString& claves, const QString& n,
                   bool porcentaje, bool empates, int duplicacionesAntes, int by, int fin)
    {
        if (empates && claves.isNull())
            FallaDe(ErrorSintaxis(1062,
                                  QStringLiteral("The TOP N WITH TIES clause is not allowed without a corresponding "
                                                 "ORDER BY clause."),
                                  origen_));
        if (empates && porPosicion(by, fin))
            FallaDe(ErrorSintaxis(0,
                                  QStringLiteral("TOP N WITH TIES ordered by the position of a column is not supported "
                                                 "by the embedded database: order by its name."),
                                  origen_));
        if (!porcentaje && !empates)
            return QStringLiteral("LIMIT ") + n;
        if (porcentaje && !empates && n == u"100")
            return {};
        // These repeat the query: one inside another would grow the text
        // with every level.
        if (duplicaciones_ > duplicacionesAntes)
            DemasiadoAnidada(origen_);
        ++duplicaciones_;
        QString cuantas = n;
        if (porcentaje)
            cuantas = QStringLiteral("(SELECT (COUNT(*)*") + n + QStringLiteral("+99)/100 FROM (") + consulta
                + QStringLiteral("\n))");
        if (!empates)
            return QStringLiteral("LIMIT ") + cuantas;
        // With ties: as many rows as rank within the first n.
        return QStringLiteral("LIMIT (SELECT COUNT(*) FROM (SELECT RANK() OVER (ORDER BY ") + claves
            + QStringLiteral("\n) AS ss__rango ") + fuente + QStringLiteral("\n) WHERE ss__rango <= ") + cuantas
            + u')';
    }

    // Whether an ORDER BY key is a column's position (ORDER BY 2).
    bool porPosicion(int by, int fin) const
    {
        if (by < 0)
            return false;
        bool inicio = true;
        for (int k = sig(by + 1, fin); k < fin; k = paso(k, fin)) {
            if (inicio && t_[k].tipo == T::Numero) {
                const int d = sig(k + 1, fin);
                if (d >= fin || t_[d].tipo == T::Coma || es(d, fin, {"ASC", "DESC"}))
                    return true;
            }
            inicio = t_[k].tipo == T::Coma;
        }
        return false;
    }

    // SELECT ... UNION SELECT ... where a SELECT has a TOP: each limited in
    // its own sub-query, or the first one's after the whole when the union
    // is ordered. Null when the range is no such union.
    bool compuesto(int a, int b, bool ddl, Res& r)
    {
        std::vector<int> ops;
        int s0 = -1;
        for (int k = sig(a, b); k < b; k = paso(k, b)) {
            if (s0 < 0 && es(k, b, {"SELECT"}))
                s0 = k;
            else if (s0 >= 0 && es(k, b, {"UNION", "EXCEPT", "INTERSECT"}))
                ops.push_back(k);
        }
        if (ops.empty())
            return false;
        std::vector<int> brazos{s0};
        for (int op : ops) {
            int k = sig(op + 1, b);
            if (es(k, b, {"ALL", "DISTINCT"}))
                k = sig(k + 1, b);
            brazos.push_back(k);
        }
        auto conTop = [&](int k) {
            if (!es(k, b, {"SELECT"}))
                return false;
            k = sig(k + 1, b);
            if (es(k, b, {"DISTINCT", "ALL"}))
                k = sig(k + 1, b);
            return es(k, b, {"TOP"});
        };
        bool alguno = false;
        for (int k : brazos)
            alguno = alguno || conTop(k);
        if (!alguno)
            return false;
        int orden = busca(brazos.back(), b, {"ORDER"});
        if (orden >= 0 && !es(sig(orden + 1, b), b, {"BY"}))
            orden = -1;
        const int dupAntes = duplicaciones_;
        QString& out = r.sql;
        out += rango(a, s0, ddl).sql;
        const qsizetype inicio = out.size();
        Res aplazado;
        for (size_t j = 0; j < brazos.size(); ++j) {
            const int ini = brazos[j];
            const int fin = j + 1 < brazos.size() ? ops[j] : (orden >= 0 ? orden : b);
            if (j > 0)
                out += rango(ops[j - 1], ini, ddl).sql;
            if (j == 0 && orden >= 0 && conTop(ini)) {
                aplazado = rango(ini, fin, ddl, true);
                out += aplazado.sql;
            } else if (conTop(ini)) {
                // Blanks and comments after the SELECT stay after its sub-query.
                const int ultimo = finSignificativo(ini, fin);
                out += QStringLiteral("SELECT * FROM (") + rango(ini, ultimo, ddl).sql + u')';
                out += texto(ultimo, fin);
            } else {
                out += rango(ini, fin, ddl).sql;
            }
        }
        if (orden >= 0) {
            const qsizetype antesOrden = out.size();
            out += rango(orden, b, ddl).sql;
            if (!aplazado.limite.isEmpty()) {
                const int by = sig(orden + 1, b);
                const QString claves = rango(by + 1, b, ddl).sql;
                const QString todo = out.mid(inicio);
                const QString l = limite(todo, QStringLiteral("FROM (") + out.mid(inicio, antesOrden - inicio)
                                                   + QStringLiteral("\n)"),
                                         claves, aplazado.limite, aplazado.porcentaje, aplazado.empates, dupAntes, by, b);
                if (!l.isEmpty())
                    out += (acabaEnComentario(a, b) ? QStringLiteral("\n") : QStringLiteral(" ")) + l;
            }
        }
        return true;
    }

    // The chain of "+" and "-" being written: "+" becomes "+" between
    // numbers, "||" between texts, and ss_suma(a, b) otherwise, whose opening
    // calls go in front of the chain once it ends (one insertion per chain).
    struct Cadena {
        QString& out;
        qsizetype fin = 0; // end of the last operand written, before blanks and comments
        bool activa = false;
        qsizetype pos = 0;
        int sumas = 0;
        bool pendiente = false; // a ss_suma waiting for its closing ")"
        bool operada = false;   // an additive operator seen
        Clase izquierda = Clase::Desconocida;
        Clase operando = Clase::Desconocida;
        int atomos = 0;
        int cadenas = 0;

        void iniciar()
        {
            if (activa)
                return;
            activa = true;
            pos = out.size();
            sumas = 0;
            pendiente = operada = false;
            atomos = 0;
            ++cadenas;
        }
        void atomo(Clase c)
        {
            iniciar();
            if (atomos++ == 0)
                operando = c;
        }
        Clase actual() const { return operada ? izquierda : (atomos == 1 ? operando : Clase::Desconocida); }
        Clase cerrar()
        {
            if (!activa)
                return Clase::Desconocida;
            const Clase c = actual();
            if (pendiente)
                out.insert(fin, u')');
            if (sumas > 0)
                out.insert(pos, QStringLiteral("ss_suma(").repeated(sumas));
            activa = false;
            return c;
        }
        // A binary "+" (suma) or another operator of the same precedence.
        void operador(QStringView op, Clase derecha)
        {
            const Clase izq = actual();
            if (op == u"+" && izq == Clase::Numero && derecha == Clase::Numero) {
                out += u'+';
                izquierda = Clase::Numero;
            } else if (op == u"+" && izq == Clase::Texto && derecha == Clase::Texto) {
                out += QStringLiteral("||");
                izquierda = Clase::Texto;
            } else if (op == u"+") {
                out.insert(fin, pendiente ? QStringLiteral("),") : QStringLiteral(","));
                ++sumas;
                pendiente = true;
                izquierda = Clase::Desconocida;
            } else {
                if (pendiente)
                    out.insert(fin, u')');
                pendiente = false;
                out += op;
                izquierda = izq == Clase::Numero && derecha == Clase::Numero && op == u"-" ? Clase::Numero
                                                                                           : Clase::Desconocida;
            }
            operada = true;
            atomos = 0;
        }
    };

    Res rango(int a, int b, bool ddl, bool aplazar = false)
    {
        Res r;
        if (compuesto(a, b, ddl, r))
            return r;
        QString& out = r.sql;
        if (b > a)
            out.reserve(t_[b - 1].ini + t_[b - 1].len - t_[a].ini + 16);
        Cadena cad{out};
        int limites = 0;         // words, commas and comparisons outside the chains
        int prev = -1;           // previous significant token
        bool operando = false;   // the previous token ended an operand
        bool trasPunto = false;
        bool enBlanco = false;
        int posSelect = -1, posTop = -1, posFrom = -1, posOrden = -1, posClaves = -1, tokBy = -1;
        QString lim;
        bool porcentaje = false, empates = false;
        const int dupAntes = duplicaciones_;
        auto limite_ = [&] {
            cad.cerrar();
            ++limites;
            operando = false;
        };
        for (int i = a; i < b; ++i) {
            const Tok& k = t_[i];
            if (!enBlanco)
                cad.fin = out.size();
            enBlanco = k.tipo == T::Blanco || k.tipo == T::Comentario;
            switch (k.tipo) {
            case T::Blanco:
            case T::Comentario:
                out += txt(i);
                continue;
            case T::Literal: {
                QStringView v = txt(i);
                if (v.front() != u'\'')
                    v = v.mid(1); // N'...'
                const int n = sig(i + 1, b);
                const bool selectLista = es(prev, b, {"SELECT", "DISTINCT", "ALL"})
                    || (prev >= 0 && t_[prev].tipo == T::Coma && posSelect >= 0 && posFrom < 0);
                if (selectLista && n < b && t_[n].tipo == T::Op && txt(n) == u"=") {
                    // SELECT 'alias' = expression
                    int e = sig(n + 1, b);
                    while (e < b && t_[e].tipo != T::Coma && t_[e].tipo != T::PuntoComa
                           && !es(e, b, {"FROM", "INTO", "WHERE", "UNION", "EXCEPT", "INTERSECT", "ORDER", "GROUP",
                                         "HAVING"}))
                        e = paso(e, b);
                    limite_();
                    const int ultimo = finSignificativo(n + 1, e);
                    out += rango(n + 1, ultimo, ddl).sql;
                    out += QStringLiteral(" AS ");
                    out += v;
                    out += texto(ultimo, e);
                    i = e - 1;
                    prev = i;
                    operando = true;
                    continue;
                }
                auto aritmetico = [&](int j) {
                    return j >= 0 && j < b && t_[j].tipo == T::Op && !Uno(txt(j), kComparaciones);
                };
                // BETWEEN 'a' AND 'b' compares with both bounds.
                auto anterior = [&](int j) {
                    for (--j; j >= 0 && (t_[j].tipo == T::Blanco || t_[j].tipo == T::Comentario); --j) {
                    }
                    return j;
                };
                const int antesDeY = es(prev, b, {"AND"}) ? anterior(prev) : -1;
                const bool entreLimites = es(prev, b, {"BETWEEN"})
                    || (antesDeY >= 0 && t_[antesDeY].tipo == T::Literal && es(anterior(antesDeY), b, {"BETWEEN"}));
                const bool antesCompara = prev >= 0
                    && ((t_[prev].tipo == T::Op && Uno(txt(prev), kComparaciones)) || es(prev, b, {"LIKE"}) || entreLimites);
                const bool despuesCompara = n < b && t_[n].tipo == T::Op && Uno(txt(n), kComparaciones);
                const bool conColacion = es(n, b, {"COLLATE"});
                cad.atomo(Clase::Texto);
                out += v;
                if (!ddl && !conColacion && ((antesCompara && !aritmetico(n)) || (despuesCompara && !aritmetico(prev))))
                    out += QStringLiteral(" COLLATE CI_AS");
                operando = true;
                break;
            }
            case T::Citado: {
                QStringView v = txt(i);
                const int n = sig(i + 1, b);
                if (v.front() == u'[' && Uno(v, {"[dbo]"}) && n < b && t_[n].tipo == T::Punto) {
                    i = n;
                    continue;
                }
                if (!trasPunto && operando)
                    limite_(); // an alias
                else if (!trasPunto)
                    cad.atomo(Clase::Desconocida);
                if (v.front() == u'[' && v.size() >= 2 && v.back() == u']') {
                    QString nombre = v.mid(1, v.size() - 2).toString().replace(QLatin1String("]]"), QLatin1String("]"));
                    out += u'"' + nombre.replace(u'"', QLatin1String("\"\"")) + u'"';
                } else {
                    out += v;
                }
                operando = true;
                break;
            }
            case T::Numero:
                cad.atomo(Clase::Numero);
                out += txt(i);
                operando = true;
                break;
            case T::Op: {
                const QStringView v = txt(i);
                if (Uno(v, kComparaciones)) {
                    limite_();
                    out += v;
                } else if (operando && (v == u"+" || v == u"-" || v == u"&" || v == u"|" || v == u"^")) {
                    cad.iniciar();
                    cad.operador(v, claseDerecha(i, b));
                    operando = false;
                } else {
                    // "*", "/", "%" belong to the operand; a sign starts one.
                    cad.iniciar();
                    out += v;
                    if (operando && (v == u"*" || v == u"/" || v == u"%"))
                        ++cad.atomos;
                    operando = false;
                }
                break;
            }
            case T::Coma:
                limite_();
                out += u',';
                break;
            case T::PuntoComa:
                limite_();
                out += u';';
                break;
            case T::Punto:
                out += u'.';
                trasPunto = true;
                prev = i;
                continue;
            case T::Cierra:
                limite_();
                out += u')';
                break;
            case T::Abre: {
                const int c = pareja_[i];
                if (c < 0) {
                    limite_();
                    out += s_.mid(k.ini, t_[b - 1].ini + t_[b - 1].len - k.ini);
                    i = b;
                    continue;
                }
                if (prev >= 0 && (t_[prev].tipo == T::Nombre || t_[prev].tipo == T::Citado) && esSugerencia(i)) {
                    i = c; // the old form of a table hint: "T (nolock)"
                    continue;
                }
                Res x = rango(i + 1, c, ddl);
                cad.atomo(x.clase);
                out += u'(' + x.sql + u')';
                operando = true;
                i = c;
                break;
            }
            case T::Nombre: {
                const QStringView v = txt(i);
                const int n = sig(i + 1, b);
                const bool llamada = n < b && t_[n].tipo == T::Abre && pareja_[n] >= 0;
                if (trasPunto) {
                    // owner.table.column: one operand
                    out += v;
                    if (llamada) {
                        out += texto(i + 1, n);
                        out += u'(' + rango(n + 1, pareja_[n], ddl).sql + u')';
                        i = pareja_[n];
                    }
                    operando = true;
                    break;
                }
                if (Uno(v, {"dbo"}) && n < b && t_[n].tipo == T::Punto) {
                    i = n;
                    continue;
                }
                // x [NOT] IN ('a', ...): SQLite takes the collation of x alone.
                if (!ddl && operando && (Uno(v, {"IN"}) || (Uno(v, {"NOT"}) && es(n, b, {"IN"})))) {
                    const int abre = Uno(v, {"IN"}) ? n : sig(n + 1, b);
                    const int primero = abre < b && t_[abre].tipo == T::Abre ? sig(abre + 1, b) : b;
                    if (primero < b && t_[primero].tipo == T::Literal && !es(prev, b, {"NOT"})
                        && !(prev >= 0 && t_[prev].tipo == T::Nombre && Uno(txt(prev), {"CI_AS", "BINARY", "NOCASE"}))) {
                        if (!out.isEmpty() && !out.back().isSpace())
                            out += u' ';
                        out += QStringLiteral("COLLATE CI_AS ");
                    }
                }
                if (Uno(v, {"WITH"}) && llamada && esSugerencia(n)) {
                    i = pareja_[n];
                    continue;
                }
                if (Uno(v, {"TOP"}) && es(prev, b, {"SELECT", "DISTINCT", "ALL"}) && n < b) {
                    int fin = n;
                    if (t_[n].tipo == T::Numero) {
                        lim = txt(n).toString();
                    } else if (llamada) {
                        fin = pareja_[n];
                        lim = u'(' + rango(n + 1, fin, ddl).sql + u')';
                    } else {
                        limite_();
                        out += v;
                        break;
                    }
                    int m = sig(fin + 1, b);
                    porcentaje = es(m, b, {"PERCENT"});
                    if (porcentaje)
                        fin = m, m = sig(m + 1, b);
                    if (es(m, b, {"WITH"}) && es(sig(m + 1, b), b, {"TIES"})) {
                        fin = sig(m + 1, b);
                        empates = true;
                    }
                    i = fin;
                    posTop = int(out.size());
                    continue;
                }
                if (Uno(v, {"CURRENT_TIMESTAMP"})) {
                    cad.atomo(Clase::Desconocida);
                    out += ddl ? QStringLiteral("(datetime('now','localtime'))") : QStringLiteral("ss_getdate()");
                    operando = true;
                    break;
                }
                if (Uno(v, {"@@TRANCOUNT", "@@ROWCOUNT", "@@IDENTITY"})) {
                    cad.atomo(Uno(v, {"@@IDENTITY"}) ? Clase::Desconocida : Clase::Numero);
                    out += Uno(v, {"@@TRANCOUNT"})  ? QStringLiteral("ss_trancount()")
                        : Uno(v, {"@@ROWCOUNT"}) ? QStringLiteral("ss_rowcount()")
                                                 : QStringLiteral("ss_identity()");
                    operando = true;
                    break;
                }
                if (Uno(v, {"COLLATE"}) && n < b && t_[n].tipo == T::Nombre) {
                    limite_();
                    const QStringView nombre = txt(n);
                    out += QStringLiteral("COLLATE ")
                        + (nombre.contains(QLatin1String("_CS"), Qt::CaseInsensitive) || Uno(nombre, {"BINARY"})
                               ? QStringLiteral("BINARY")
                               : QStringLiteral("CI_AS"));
                    i = n;
                    break;
                }
                if (Uno(v, {"CASE"}) && pareja_[i] > i && pareja_[i] < b) {
                    const int e = pareja_[i];
                    cad.atomo(Clase::Desconocida);
                    out += v;
                    out += rango(i + 1, e, ddl).sql;
                    out += txt(e);
                    i = e;
                    operando = true;
                    break;
                }
                if (ddl && Uno(v, kTiposTexto) && prev >= 0 && (t_[prev].tipo == T::Nombre || t_[prev].tipo == T::Citado)) {
                    limite_();
                    out += v;
                    int fin = i;
                    if (llamada) {
                        const int c = pareja_[n];
                        const int m = sig(n + 1, c);
                        if (!es(m, c, {"MAX"}))
                            out += texto(n, c + 1);
                        fin = c;
                    }
                    if (!es(sig(fin + 1, b), b, {"COLLATE"}))
                        out += QStringLiteral(" COLLATE CI_AS");
                    i = fin;
                    prev = i;
                    continue;
                }
                if (llamada && (!Uno(v, kPalabras) || Uno(v, {"LEFT", "RIGHT"}))) {
                    Clase clase = Clase::Desconocida;
                    bool hecho = false;
                    if (operando) {
                        limite_(); // "T (a, b)" after a name: a table's columns
                    } else {
                        cad.atomo(Clase::Desconocida);
                        hecho = funcion(i, n, ddl, out, clase);
                    }
                    if (!hecho) {
                        clase = claseDe(i, b);
                        out += v;
                        out += texto(i + 1, n);
                        if (esSugerencia(n)) {
                            i = pareja_[n];
                            operando = true;
                            break;
                        }
                        out += u'(' + rango(n + 1, pareja_[n], ddl).sql + u')';
                    }
                    if (cad.activa && cad.atomos == 1)
                        cad.operando = clase;
                    i = pareja_[n];
                    operando = true;
                    prev = i;
                    continue;
                }
                if (Uno(v, kPalabras) || operando) {
                    // A word of the statement, or an alias after its operand.
                    limite_();
                    if (Uno(v, {"SELECT"}))
                        posSelect = int(out.size());
                    else if (Uno(v, {"FROM"}) && posFrom < 0)
                        posFrom = int(out.size());
                    else if (Uno(v, {"ORDER"}) && es(n, b, {"BY"}))
                        posOrden = int(out.size());
                    else if (Uno(v, {"BY"}) && posOrden >= 0 && posClaves < 0)
                        posClaves = int(out.size()) + int(v.size()), tokBy = i;
                    out += v;
                    break;
                }
                cad.atomo(Clase::Desconocida);
                out += v;
                operando = true;
                break;
            }
            }
            trasPunto = false;
            prev = i;
        }
        if (!enBlanco)
            cad.fin = out.size();
        const Clase final = cad.cerrar();
        r.clase = cad.cadenas == 1 && limites == 0 ? final : Clase::Desconocida;
        if (!lim.isEmpty() && posTop >= 0) {
            if (aplazar) {
                r.limite = lim;
                r.porcentaje = porcentaje;
                r.empates = empates;
                return r;
            }
            const QString consulta = posSelect < 0 ? QStringLiteral("SELECT") + out.mid(posTop) : out.mid(posSelect);
            const QString fuente = posFrom >= 0 ? out.mid(posFrom, (posOrden >= 0 ? posOrden : out.size()) - posFrom)
                                                : QString();
            const QString claves = posClaves >= 0 ? out.mid(posClaves) : QString();
            const QString l = limite(consulta, fuente, claves, lim, porcentaje, empates, dupAntes, tokBy, b);
            if (!l.isEmpty())
                out += (acabaEnComentario(a, b) ? QStringLiteral("\n") : QStringLiteral(" ")) + l;
        }
        return r;
    }

    const QString& s_;
    QString origen_;
    int nivel_;
    std::vector<Tok> t_;
    std::vector<int> pareja_;
    int duplicaciones_ = 0;
};

} // namespace

QString TraducirASqlite(const QString& sql, const QString& origen)
{
    static QHash<QString, QString> cache;
    if (auto it = cache.constFind(sql); it != cache.constEnd())
        return it.value();
    QString r = Traductor(sql, origen, 0).traducir();
    if (cache.size() >= 2000)
        cache.clear();
    cache.insert(sql, r);
    return r;
}

QStringList PartirSentencias(const QString& sql)
{
    Traductor t(sql);
    QStringList r;
    for (const auto& [a, b] : t.sentencias(false)) {
        if (a >= b)
            continue;
        const QString s = t.texto(a, b).toString();
        if (!s.trimmed().isEmpty())
            r << s;
    }
    return r;
}

QString TablaDeConsulta(const QString& sql)
{
    Traductor t(sql);
    const auto& k = t.tokens();
    const int n = int(k.size());
    int i = t.sig(0, n);
    if (!t.es(i, n, {"SELECT"}))
        return {};
    // FROM at depth 0, then one name, then the end or WHERE / ORDER / LIMIT.
    int prof = 0;
    for (++i; i < n; ++i) {
        if (k[i].tipo == T::Abre)
            ++prof;
        else if (k[i].tipo == T::Cierra)
            --prof;
        else if (prof == 0 && t.es(i, n, {"DISTINCT", "UNION"}))
            return {};
        else if (prof == 0 && t.es(i, n, {"FROM"}))
            break;
    }
    int j = t.sig(i + 1, n);
    if (j >= n || (k[j].tipo != T::Nombre && k[j].tipo != T::Citado))
        return {};
    QString tabla = t.txt(j).toString();
    // owner.table
    int m = t.sig(j + 1, n);
    while (m < n && k[m].tipo == T::Punto) {
        j = t.sig(m + 1, n);
        if (j >= n)
            return {};
        tabla = t.txt(j).toString();
        m = t.sig(j + 1, n);
    }
    if (tabla.startsWith(u'[') || tabla.startsWith(u'"'))
        tabla = tabla.mid(1, tabla.size() - 2);
    for (; m < n; m = t.sig(m + 1, n)) {
        if (k[m].tipo == T::Coma || t.es(m, n, {"JOIN", "GROUP", "HAVING", "UNION", "INNER", "LEFT", "RIGHT", "CROSS", "OUTER", "FULL"}))
            return {};
        if (t.es(m, n, {"WHERE", "ORDER", "LIMIT"}))
            break;
        if (k[m].tipo == T::Abre && t.pareja(m) >= 0)
            m = t.pareja(m);
    }
    return tabla;
}

QString ConClaveDeFila(const QString& sql)
{
    Traductor t(sql);
    const int i = t.sig(0, int(t.tokens().size()));
    if (!t.es(i, int(t.tokens().size()), {"SELECT"}))
        return sql;
    const qsizetype pos = t.tokens()[i].ini + t.tokens()[i].len;
    return sql.left(pos) + QStringLiteral(" rowid AS ado_rowid__,") + sql.mid(pos);
}

} // namespace ado
