#include "platform/ado/dialecto.h"

#include <QHash>
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
const std::initializer_list<const char*> kTiposTexto = {"VARCHAR", "NVARCHAR", "CHAR", "NCHAR", "TEXT", "NTEXT",
                                                        "SYSNAME", "CHARACTER"};
// Words that end an operand chain: after them a "+" starts afresh.
const std::initializer_list<const char*> kCortes = {
    "SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "AS", "ON", "THEN", "ELSE", "WHEN", "END", "CASE", "IN",
    "LIKE", "IS", "BETWEEN", "ORDER", "GROUP", "BY", "HAVING", "SET", "VALUES", "UNION", "JOIN", "INTO"};
const std::initializer_list<const char*> kComparaciones = {"=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>"};

struct FormatoFecha {
    int estilo;
    const char* formato;
};
const FormatoFecha kEstilos[] = {
    {101, "%m/%d/%Y"}, {102, "%Y.%m.%d"}, {103, "%d/%m/%Y"}, {104, "%d.%m.%Y"}, {105, "%d-%m-%Y"},
    {108, "%H:%M:%S"}, {111, "%Y/%m/%d"}, {112, "%Y%m%d"},   {114, "%H:%M:%f"}, {120, "%Y-%m-%d %H:%M:%S"},
    {20, "%Y-%m-%d %H:%M:%S"}, {121, "%Y-%m-%d %H:%M:%f"}, {23, "%Y-%m-%d"}, {126, "%Y-%m-%dT%H:%M:%f"},
};

class Traductor {
public:
    explicit Traductor(const QString& s) : s_(s), t_(Tokenizar(s))
    {
        pareja_.assign(t_.size(), -1);
        std::vector<int> pila;
        for (int i = 0; i < int(t_.size()); ++i) {
            if (t_[i].tipo == T::Abre)
                pila.push_back(i);
            else if (t_[i].tipo == T::Cierra && !pila.empty()) {
                pareja_[pila.back()] = i;
                pareja_[i] = pila.back();
                pila.pop_back();
            }
        }
    }

    // Statement ranges [a, b) at depth 0, split at ";" and, when asked, at
    // the start of a statement that SQL Server allows without ";".
    std::vector<std::pair<int, int>> sentencias(bool porPalabras) const
    {
        std::vector<std::pair<int, int>> r;
        int ini = 0, prof = 0, primero = -1, prev = -1;
        const int n = int(t_.size());
        for (int i = 0; i < n; ++i) {
            const T tipo = t_[i].tipo;
            if (tipo == T::Abre)
                ++prof;
            else if (tipo == T::Cierra && prof > 0)
                --prof;
            if (prof == 0 && tipo == T::PuntoComa) {
                r.emplace_back(ini, i);
                ini = i + 1;
                primero = prev = -1;
                continue;
            }
            if (tipo == T::Blanco || tipo == T::Comentario)
                continue;
            if (porPalabras && prof == 0 && tipo == T::Nombre && primero >= 0 && empiezaSentencia(i, primero, prev)) {
                r.emplace_back(ini, i);
                ini = i;
                primero = -1;
            }
            if (primero < 0)
                primero = i;
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
        bool texto = false;
    };

    bool empiezaSentencia(int i, int primero, int prev) const
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
        if (Uno(w, {"DROP"}))
            return !trasOn && !es(primero, n, {"ALTER"});
        if (Uno(w, {"DELETE", "UPDATE"}))
            return !trasOn;
        if (Uno(w, {"SET"}))
            return !trasOn && !es(primero, n, {"UPDATE", "ALTER"});
        if (Uno(w, {"SELECT"}))
            return !es(primero, n, {"INSERT", "CREATE", "ALTER", "WITH"})
                && !es(prev, n, {"UNION", "ALL", "EXCEPT", "INTERSECT"});
        return false;
    }

    QString blancoInicial(int a, int b) const
    {
        const int f = sig(a, b);
        return f > a ? s_.mid(t_[a].ini, t_[f].ini - t_[a].ini) : QString();
    }

    QString sentencia(int a, int b)
    {
        const int f = sig(a, b);
        if (f >= b)
            return {};
        const int g = sig(f + 1, b);
        if (es(f, b, {"SET"})
            && es(g, b, {"NOCOUNT", "XACT_ABORT", "ANSI_NULLS", "ANSI_WARNINGS", "ANSI_PADDING", "QUOTED_IDENTIFIER",
                         "DATEFORMAT", "ARITHABORT", "CONCAT_NULL_YIELDS_NULL", "LANGUAGE", "TRANSACTION",
                         "LOCK_TIMEOUT", "DEADLOCK_PRIORITY", "DATEFIRST"}))
            return {};
        if (es(f, b, {"BEGIN"}) && es(g, b, {"TRAN", "TRANSACTION", "DISTRIBUTED"}))
            return blancoInicial(a, b) + QStringLiteral("BEGIN TRANSACTION");
        if (es(f, b, {"COMMIT", "ROLLBACK"}))
            return blancoInicial(a, b) + (es(f, b, {"COMMIT"}) ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
        const bool ddl = es(f, b, {"CREATE", "ALTER"}) && es(g, b, {"TABLE"});
        return rango(a, b, ddl).sql;
    }

    bool esTipoTexto(int i, int fin) const { return es(i, fin, kTiposTexto); }

    // Whether the operand starting at token i is a text.
    bool operandoTexto(int i, int fin) const
    {
        if (i >= fin)
            return false;
        if (t_[i].tipo == T::Literal)
            return true;
        if (t_[i].tipo != T::Nombre)
            return false;
        const int p = sig(i + 1, fin);
        if (p >= fin || t_[p].tipo != T::Abre || pareja_[p] < 0)
            return false;
        if (Uno(txt(i), kFuncionesTexto))
            return true;
        const int c = pareja_[p];
        if (Uno(txt(i), {"CONVERT"}))
            return esTipoTexto(sig(p + 1, c), c);
        if (Uno(txt(i), {"CAST"})) {
            for (int k = p + 1; k < c; ++k)
                if (es(k, c, {"AS"}))
                    return esTipoTexto(sig(k + 1, c), c);
        }
        if (Uno(txt(i), {"ISNULL", "COALESCE"}))
            for (int k = p + 1; k < c; ++k)
                if (t_[k].tipo == T::Literal)
                    return true;
        return false;
    }

    // Top-level argument ranges of the group opened at p.
    std::vector<std::pair<int, int>> argumentos(int p) const
    {
        std::vector<std::pair<int, int>> r;
        const int c = pareja_[p];
        int ini = p + 1, prof = 0;
        for (int k = p + 1; k < c; ++k) {
            if (t_[k].tipo == T::Abre)
                ++prof;
            else if (t_[k].tipo == T::Cierra)
                --prof;
            else if (prof == 0 && t_[k].tipo == T::Coma) {
                r.emplace_back(ini, k);
                ini = k + 1;
            }
        }
        r.emplace_back(ini, c);
        return r;
    }

    // A function call at i whose group opens at p; true when it was handled.
    bool funcion(int i, int p, bool ddl, QString& out, bool& texto)
    {
        const QStringView f = txt(i);
        const int c = pareja_[p];
        auto arg = [&](const std::pair<int, int>& r) { return rango(r.first, r.second, ddl); };
        auto args = argumentos(p);
        if (Uno(f, {"GETDATE", "GETUTCDATE", "SYSDATETIME"})) {
            out += Uno(f, {"GETUTCDATE"}) ? QStringLiteral("datetime('now')") : QStringLiteral("datetime('now','localtime')");
            texto = false;
            return true;
        }
        if (Uno(f, {"ISNULL"})) {
            QString a;
            texto = false;
            for (const auto& r : args) {
                Res x = arg(r);
                texto = texto || x.texto;
                a += (a.isEmpty() ? QString() : QStringLiteral(",")) + x.sql;
            }
            out += QStringLiteral("IFNULL(") + a + u')';
            return true;
        }
        if (Uno(f, {"LEN"})) {
            out += QStringLiteral("LENGTH(RTRIM(") + rango(p + 1, c, ddl).sql + QStringLiteral("))");
            texto = false;
            return true;
        }
        if (Uno(f, {"DATALENGTH"})) {
            out += QStringLiteral("LENGTH(") + rango(p + 1, c, ddl).sql + u')';
            texto = false;
            return true;
        }
        if (Uno(f, {"SUBSTRING"})) {
            out += QStringLiteral("SUBSTR(") + rango(p + 1, c, ddl).sql + u')';
            texto = true;
            return true;
        }
        if (Uno(f, {"LEFT"}) && args.size() == 2) {
            out += QStringLiteral("SUBSTR(") + arg(args[0]).sql + QStringLiteral(",1,") + arg(args[1]).sql + u')';
            texto = true;
            return true;
        }
        if (Uno(f, {"RIGHT"}) && args.size() == 2) {
            const QString n = arg(args[1]).sql;
            out += QStringLiteral("(CASE WHEN (%1)<=0 THEN '' ELSE SUBSTR(%2,-(%1)) END)").arg(n, arg(args[0]).sql);
            texto = true;
            return true;
        }
        if (Uno(f, {"CHARINDEX"}) && (args.size() == 2 || args.size() == 3)) {
            const QString aguja = arg(args[0]).sql, pajar = arg(args[1]).sql;
            if (args.size() == 2) {
                out += QStringLiteral("INSTR(%1,%2)").arg(pajar, aguja);
            } else {
                const QString desde = arg(args[2]).sql;
                out += QStringLiteral("(CASE WHEN INSTR(SUBSTR(%1,%3),%2)>0 THEN INSTR(SUBSTR(%1,%3),%2)+(%3)-1 ELSE 0 END)")
                           .arg(pajar, aguja, desde);
            }
            texto = false;
            return true;
        }
        if (Uno(f, {"YEAR", "MONTH", "DAY"}) && args.size() == 1) {
            const char* fmt = Uno(f, {"YEAR"}) ? "%Y" : Uno(f, {"MONTH"}) ? "%m" : "%d";
            out += QStringLiteral("CAST(strftime('%1',%2) AS INTEGER)").arg(QLatin1String(fmt), arg(args[0]).sql);
            texto = false;
            return true;
        }
        if (Uno(f, {"CONVERT"}) && args.size() >= 2) {
            out += convertir(args, ddl, texto);
            return true;
        }
        if (Uno(f, {"COALESCE"})) {
            Res x = rango(p + 1, c, ddl);
            out += f.toString() + u'(' + x.sql + u')';
            texto = operandoTexto(i, int(t_.size()));
            return true;
        }
        return false;
    }

    QString convertir(const std::vector<std::pair<int, int>>& args, bool ddl, bool& texto)
    {
        const int ti = sig(args[0].first, args[0].second);
        const QString valor = rango(args[1].first, args[1].second, ddl).sql;
        int estilo = -1;
        if (args.size() >= 3) {
            const int e = sig(args[2].first, args[2].second);
            if (e < args[2].second && t_[e].tipo == T::Numero)
                estilo = txt(e).toInt();
        }
        texto = false;
        if (ti >= args[0].second || t_[ti].tipo != T::Nombre)
            return QStringLiteral("CAST(%1 AS TEXT)").arg(valor);
        int tamano = 0;
        const int pt = sig(ti + 1, args[0].second);
        if (pt < args[0].second && t_[pt].tipo == T::Abre) {
            const int nt = sig(pt + 1, args[0].second);
            if (nt < args[0].second && t_[nt].tipo == T::Numero)
                tamano = txt(nt).toInt();
        }
        if (esTipoTexto(ti, args[0].second)) {
            texto = true;
            QString r;
            for (const auto& e : kEstilos)
                if (e.estilo == estilo)
                    r = QStringLiteral("strftime('%1',%2)").arg(QLatin1String(e.formato), valor);
            if (r.isEmpty())
                r = QStringLiteral("CAST(%1 AS TEXT)").arg(valor);
            return tamano > 0 ? QStringLiteral("SUBSTR(%1,1,%2)").arg(r).arg(tamano) : r;
        }
        const QStringView tipo = txt(ti);
        if (Uno(tipo, {"INT", "INTEGER", "BIGINT", "SMALLINT", "TINYINT", "BIT"}))
            return QStringLiteral("CAST(%1 AS INTEGER)").arg(valor);
        if (Uno(tipo, {"FLOAT", "REAL", "DECIMAL", "NUMERIC", "MONEY", "SMALLMONEY"}))
            return QStringLiteral("CAST(%1 AS REAL)").arg(valor);
        if (Uno(tipo, {"DATETIME", "SMALLDATETIME", "DATETIME2", "DATE"})) {
            const QString fn = Uno(tipo, {"DATE"}) ? QStringLiteral("date") : QStringLiteral("datetime");
            if (estilo == 103 || estilo == 104 || estilo == 105)
                return QStringLiteral("%1(substr(%2,7,4)||'-'||substr(%2,4,2)||'-'||substr(%2,1,2))").arg(fn, valor);
            if (estilo == 112)
                return QStringLiteral("%1(substr(%2,1,4)||'-'||substr(%2,5,2)||'-'||substr(%2,7,2))").arg(fn, valor);
            return QStringLiteral("%1(%2)").arg(fn, valor);
        }
        return QStringLiteral("CAST(%1 AS %2)").arg(valor, tipo.toString());
    }

    bool esSugerencia(int p) const
    {
        const int c = pareja_[p];
        const int k = sig(p + 1, c);
        return k < c && es(k, c, kSugerencias);
    }

    Res rango(int a, int b, bool ddl)
    {
        Res r;
        QString& out = r.sql;
        out.reserve(s_.size());
        bool ultimoTexto = false, cadena = false;
        int prev = -1;           // previous significant token
        int posSelect = -1, posTop = -1;
        QString limite;
        bool porcentaje = false;
        for (int i = a; i < b; ++i) {
            const Tok& k = t_[i];
            switch (k.tipo) {
            case T::Blanco:
            case T::Comentario:
                out += txt(i);
                continue;
            case T::Literal: {
                QStringView v = txt(i);
                if (v.front() != u'\'')
                    v = v.mid(1); // N'...'
                out += v;
                const int n = sig(i + 1, b);
                const bool comparado = (prev >= 0 && t_[prev].tipo == T::Op && Uno(txt(prev), kComparaciones))
                    || es(prev, b, {"LIKE"}) || (n < b && t_[n].tipo == T::Op && Uno(txt(n), kComparaciones));
                if (comparado && !ddl)
                    out += QStringLiteral(" COLLATE NOCASE");
                ultimoTexto = true;
                break;
            }
            case T::Citado: {
                QStringView v = txt(i);
                const int n = sig(i + 1, b);
                if (v.front() == u'[' && Uno(v, {"[dbo]"}) && n < b && t_[n].tipo == T::Punto) {
                    i = n;
                    continue;
                }
                if (v.front() == u'[' && v.size() >= 2 && v.back() == u']') {
                    QString nombre = v.mid(1, v.size() - 2).toString().replace(QLatin1String("]]"), QLatin1String("]"));
                    out += u'"' + nombre.replace(u'"', QLatin1String("\"\"")) + u'"';
                } else {
                    out += v;
                }
                ultimoTexto = false;
                break;
            }
            case T::Numero:
                out += txt(i);
                ultimoTexto = false;
                break;
            case T::Op: {
                const QStringView v = txt(i);
                if (v == u"+") {
                    const int n = sig(i + 1, b);
                    const bool numeroAlLado =
                        (prev >= 0 && t_[prev].tipo == T::Numero) || (n < b && t_[n].tipo == T::Numero);
                    if (!numeroAlLado && (cadena || ultimoTexto || operandoTexto(n, b))) {
                        out += QStringLiteral("||");
                        cadena = true;
                        r.texto = true;
                    } else {
                        out += u'+';
                    }
                } else {
                    if (Uno(v, kComparaciones))
                        cadena = ultimoTexto = false;
                    out += v;
                }
                break;
            }
            case T::Coma:
                cadena = ultimoTexto = false;
                out += u',';
                break;
            case T::PuntoComa:
                out += u';';
                break;
            case T::Punto:
                out += u'.';
                break;
            case T::Cierra:
                out += u')';
                break;
            case T::Abre: {
                const int c = pareja_[i];
                if (c < 0) {
                    out += s_.mid(k.ini, t_[b - 1].ini + t_[b - 1].len - k.ini);
                    i = b;
                    continue;
                }
                if (prev >= 0 && (t_[prev].tipo == T::Nombre || t_[prev].tipo == T::Citado) && esSugerencia(i)) {
                    i = c; // the old form of a table hint: "T (nolock)"
                    continue;
                }
                Res x = rango(i + 1, c, ddl);
                out += u'(' + x.sql + u')';
                // A text function's call, or a parenthesised text.
                ultimoTexto = x.texto || (prev >= 0 && t_[prev].tipo == T::Nombre && operandoTexto(prev, b));
                i = c;
                break;
            }
            case T::Nombre: {
                const QStringView v = txt(i);
                const int n = sig(i + 1, b);
                const bool llamada = n < b && t_[n].tipo == T::Abre && pareja_[n] >= 0;
                if (Uno(v, {"dbo"}) && n < b && t_[n].tipo == T::Punto) {
                    i = n;
                    continue;
                }
                if (Uno(v, {"WITH"}) && llamada && esSugerencia(n)) {
                    i = pareja_[n];
                    continue;
                }
                if (Uno(v, {"TOP"}) && es(prev, b, {"SELECT", "DISTINCT", "ALL"}) && n < b) {
                    int fin = n;
                    if (t_[n].tipo == T::Numero) {
                        limite = txt(n).toString();
                    } else if (llamada) {
                        fin = pareja_[n];
                        limite = u'(' + rango(n + 1, fin, ddl).sql + u')';
                    } else {
                        out += v;
                        break;
                    }
                    int m = sig(fin + 1, b);
                    porcentaje = es(m, b, {"PERCENT"});
                    if (porcentaje)
                        fin = m, m = sig(m + 1, b);
                    if (es(m, b, {"WITH"}) && es(sig(m + 1, b), b, {"TIES"}))
                        fin = sig(m + 1, b);
                    i = fin;
                    posTop = int(out.size());
                    continue;
                }
                if (Uno(v, {"CURRENT_TIMESTAMP"})) {
                    out += QStringLiteral("datetime('now','localtime')");
                    ultimoTexto = false;
                    break;
                }
                if (Uno(v, {"COLLATE"}) && n < b && t_[n].tipo == T::Nombre) {
                    const QStringView nombre = txt(n);
                    out += QStringLiteral("COLLATE ")
                        + (nombre.contains(QLatin1String("_CS"), Qt::CaseInsensitive) || Uno(nombre, {"BINARY"})
                               ? QStringLiteral("BINARY")
                               : QStringLiteral("NOCASE"));
                    i = n;
                    break;
                }
                if (llamada) {
                    bool texto = false;
                    if (funcion(i, n, ddl, out, texto)) {
                        ultimoTexto = texto;
                        i = pareja_[n];
                        prev = i;
                        continue;
                    }
                }
                if (ddl && esTipoTexto(i, b) && prev >= 0 && (t_[prev].tipo == T::Nombre || t_[prev].tipo == T::Citado)) {
                    out += v;
                    int fin = i;
                    if (llamada) {
                        const int c = pareja_[n];
                        const int m = sig(n + 1, c);
                        if (!es(m, c, {"MAX"}))
                            out += s_.mid(t_[n].ini, t_[c].ini + 1 - t_[n].ini);
                        fin = c;
                    }
                    if (!es(sig(fin + 1, b), b, {"COLLATE"}))
                        out += QStringLiteral(" COLLATE NOCASE");
                    i = fin;
                    prev = i;
                    continue;
                }
                out += v;
                if (Uno(v, {"SELECT"}))
                    posSelect = int(out.size());
                if (Uno(v, kCortes))
                    cadena = false;
                ultimoTexto = llamada && Uno(v, kFuncionesTexto);
                break;
            }
            }
            prev = i;
        }
        r.texto = r.texto || ultimoTexto;
        if (!limite.isEmpty() && posTop >= 0) {
            const bool comentarioFinal = b > a && t_[b - 1].tipo == T::Comentario && txt(b - 1).startsWith(u"--");
            const QString sep = comentarioFinal ? QStringLiteral("\n") : QStringLiteral(" ");
            if (!porcentaje) {
                out += sep + QStringLiteral("LIMIT ") + limite;
            } else if (limite != u"100") {
                const QString consulta = QStringLiteral("SELECT") + out.mid(posSelect < 0 ? posTop : posSelect);
                out += sep + QStringLiteral("LIMIT (SELECT (COUNT(*)*%1+99)/100 FROM (%2\n))").arg(limite, consulta);
            }
        }
        return r;
    }

    const QString& s_;
    std::vector<Tok> t_;
    std::vector<int> pareja_;
};

} // namespace

QString TraducirASqlite(const QString& sql)
{
    static QHash<QString, QString> cache;
    if (auto it = cache.constFind(sql); it != cache.constEnd())
        return it.value();
    QString r = Traductor(sql).traducir();
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
        const qsizetype ini = t.tokens()[a].ini;
        const qsizetype fin = t.tokens()[b - 1].ini + t.tokens()[b - 1].len;
        const QString s = sql.mid(ini, fin - ini);
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
