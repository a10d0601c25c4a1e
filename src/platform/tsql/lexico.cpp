#include "platform/tsql/lexico.h"

#include "platform/tsql/analizador.h"

#include <algorithm>
#include <cstring>

namespace tsql {

namespace {

bool Reservada(QStringView palabra)
{
    // Upper case in a buffer: every keyword is ASCII and short.
    char mayus[24];
    if (palabra.size() >= qsizetype(sizeof mayus))
        return false;
    for (qsizetype k = 0; k < palabra.size(); ++k) {
        const char16_t c = palabra[k].unicode();
        if (c >= 0x80)
            return false;
        mayus[k] = char(c >= u'a' && c <= u'z' ? c - 32 : c);
    }
    mayus[palabra.size()] = 0;
    const auto menor = [](const char* a, const char* b) { return std::strcmp(a, b) < 0; };
    static const std::vector<const char*> r = [&menor] {
        static const char* const palabras[] = {
            "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUTHORIZATION", "BACKUP", "BEGIN", "BETWEEN",
            "BREAK", "BROWSE", "BULK", "BY", "CASCADE", "CASE", "CHECK", "CHECKPOINT", "CLOSE", "CLUSTERED",
            "COALESCE", "COLLATE", "COLUMN", "COMMIT", "COMPUTE", "CONSTRAINT", "CONTAINS", "CONTAINSTABLE",
            "CONTINUE", "CONVERT", "CREATE", "CROSS", "CURRENT", "CURRENT_DATE", "CURRENT_TIME",
            "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE", "DBCC", "DEALLOCATE", "DECLARE",
            "DEFAULT", "DELETE", "DENY", "DESC", "DISK", "DISTINCT", "DISTRIBUTED", "DOUBLE", "DROP", "DUMP",
            "ELSE", "END", "ERRLVL", "ESCAPE", "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "EXIT", "EXTERNAL",
            "FETCH", "FILE", "FILLFACTOR", "FOR", "FOREIGN", "FREETEXT", "FREETEXTTABLE", "FROM", "FULL",
            "FUNCTION", "GOTO", "GRANT", "GROUP", "HAVING", "HOLDLOCK", "IDENTITY", "IDENTITY_INSERT",
            "IDENTITYCOL", "IF", "IN", "INDEX", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "JOIN", "KEY",
            "KILL", "LEFT", "LIKE", "LINENO", "LOAD", "MERGE", "NATIONAL", "NOCHECK", "NONCLUSTERED", "NOT",
            "NULL", "NULLIF", "OF", "OFF", "OFFSETS", "ON", "OPEN", "OPENDATASOURCE", "OPENQUERY",
            "OPENROWSET", "OPENXML", "OPTION", "OR", "ORDER", "OUTER", "OVER", "PERCENT", "PIVOT", "PLAN",
            "PRECISION", "PRIMARY", "PRINT", "PROC", "PROCEDURE", "PUBLIC", "RAISERROR", "READ", "READTEXT",
            "RECONFIGURE", "REFERENCES", "REPLICATION", "RESTORE", "RESTRICT", "RETURN", "REVERT", "REVOKE",
            "RIGHT", "ROLLBACK", "ROWCOUNT", "ROWGUIDCOL", "RULE", "SAVE", "SCHEMA", "SECURITYAUDIT", "SELECT",
            "SESSION_USER", "SET", "SETUSER", "SHUTDOWN", "SOME", "STATISTICS", "SYSTEM_USER", "TABLE",
            "TABLESAMPLE", "TEXTSIZE", "THEN", "TO", "TOP", "TRAN", "TRANSACTION", "TRIGGER", "TRUNCATE",
            "TRY_CONVERT", "TSEQUAL", "UNION", "UNIQUE", "UNPIVOT", "UPDATE", "UPDATETEXT", "USE", "USER",
            "VALUES", "VARYING", "VIEW", "WAITFOR", "WHEN", "WHERE", "WHILE", "WITH", "WRITETEXT"};
        std::vector<const char*> v(std::begin(palabras), std::end(palabras));
        std::sort(v.begin(), v.end(), menor);
        return v;
    }();
    return std::binary_search(r.begin(), r.end(), static_cast<const char*>(mayus), menor);
}

bool Digito(QChar c) { return c >= u'0' && c <= u'9'; }
bool Hexadecimal(QChar c) { return Digito(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }
bool InicioNombre(QChar c) { return c.isLetter() || c == u'_' || c == u'#'; }
bool ParteNombre(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'@' || c == u'$'; }

class Lexico {
public:
    explicit Lexico(const QString& s) : s_(s), n_(s.size()) {}

    std::vector<Token> tokens()
    {
        std::vector<Token> r;
        r.reserve(n_ / 3 + 2);
        bool inicioLinea = true;
        while (i_ < n_) {
            const QChar c = s_[i_];
            if (c == u'\n') {
                inicioLinea = true;
                ++i_;
            } else if (c.isSpace()) {
                ++i_;
            } else if (c == u'-' && sigue(1) == u'-') {
                while (i_ < n_ && s_[i_] != u'\n')
                    ++i_;
            } else if (c == u'/' && sigue(1) == u'*') {
                comentario();
            } else {
                if (!(inicioLinea && separadorGo(r)))
                    r.push_back(token());
                inicioLinea = false;
            }
        }
        Token fin;
        fin.pos = n_;
        r.push_back(std::move(fin));
        return r;
    }

private:
    QChar sigue(qsizetype k) const { return i_ + k < n_ ? s_[i_ + k] : QChar(); }

    // The server nests comments: each /* inside one needs its own */.
    void comentario()
    {
        int abiertos = 0;
        while (i_ < n_) {
            if (s_[i_] == u'/' && sigue(1) == u'*') {
                ++abiertos;
                i_ += 2;
            } else if (s_[i_] == u'*' && sigue(1) == u'/') {
                i_ += 2;
                if (--abiertos == 0)
                    return;
            } else {
                ++i_;
            }
        }
        throw ErrorTsql{113, QStringLiteral("Missing end comment mark '*/'.")};
    }

    // GO alone on its line (a count and a comment may follow it) ends a batch.
    bool separadorGo(std::vector<Token>& r)
    {
        if (i_ + 2 > n_ || s_.mid(i_, 2).compare(QLatin1String("GO"), Qt::CaseInsensitive) != 0)
            return false;
        qsizetype j = i_ + 2;
        if (j < n_ && ParteNombre(s_[j]))
            return false;
        while (j < n_ && s_[j] != u'\n' && s_[j].isSpace())
            ++j;
        while (j < n_ && Digito(s_[j]))
            ++j;
        while (j < n_ && s_[j] != u'\n' && s_[j].isSpace())
            ++j;
        if (j + 1 < n_ && s_[j] == u'-' && s_[j + 1] == u'-')
            while (j < n_ && s_[j] != u'\n')
                ++j;
        if (j < n_ && s_[j] != u'\n')
            return false;
        Token t;
        t.clase = ClaseToken::Lote;
        t.pos = i_;
        t.largo = 2;
        t.texto = QStringView(s_).mid(i_, 2);
        r.push_back(std::move(t));
        i_ = j;
        return true;
    }

    // From the opening character to its closer, a doubled closer standing
    // for itself; the content with the doubles undone goes to contenido.
    void citado(qsizetype inicio, QChar cierre, QString* contenido = nullptr)
    {
        qsizetype j = inicio;
        while (j < n_) {
            if (s_[j] == cierre) {
                if (j + 1 < n_ && s_[j + 1] == cierre) {
                    if (contenido)
                        *contenido += cierre;
                    j += 2;
                    continue;
                }
                i_ = j + 1;
                return;
            }
            if (contenido)
                *contenido += s_[j];
            ++j;
        }
        throw ErrorTsql{105, QStringLiteral("Unclosed quotation mark after the character string '%1'.")
                                 .arg(s_.mid(inicio))};
    }

    Token token()
    {
        Token t;
        t.pos = i_;
        const QChar c = s_[i_];
        const QChar d = sigue(1);
        if (c == u'\'' || ((c == u'N' || c == u'n') && d == u'\'')) {
            t.clase = ClaseToken::Cadena;
            citado(i_ + (c == u'\'' ? 1 : 2), u'\'');
        } else if (c == u'[' || c == u'"') {
            t.clase = ClaseToken::Citado;
            citado(i_ + 1, c == u'[' ? u']' : u'"', &t.nombre);
        } else if (c == u'0' && (d == u'x' || d == u'X')) {
            t.clase = ClaseToken::Binario;
            i_ += 2;
            while (i_ < n_ && Hexadecimal(s_[i_]))
                ++i_;
        } else if (Digito(c) || (c == u'.' && Digito(d))) {
            t.clase = ClaseToken::Numero;
            numero();
        } else if (c == u'$' && (Digito(d) || (d == u'.' && Digito(sigue(2))))) {
            t.clase = ClaseToken::Moneda;
            ++i_;
            numero();
        } else if (c == u'@') {
            t.clase = d == u'@' ? ClaseToken::Global : ClaseToken::Variable;
            i_ += t.clase == ClaseToken::Global ? 2 : 1;
            while (i_ < n_ && ParteNombre(s_[i_]))
                ++i_;
        } else if (InicioNombre(c)) {
            t.clase = ClaseToken::Palabra;
            while (i_ < n_ && ParteNombre(s_[i_]))
                ++i_;
        } else {
            t.clase = ClaseToken::Simbolo;
            static const char* const dobles[] = {"<>", "!=", "<=", ">=", "!<", "!>", "+=", "-=",
                                                 "*=", "/=", "%=", "&=", "|=", "^="};
            ++i_;
            for (const char* p : dobles)
                if (c == QLatin1Char(p[0]) && d == QLatin1Char(p[1])) {
                    ++i_;
                    break;
                }
        }
        t.largo = i_ - t.pos;
        t.texto = QStringView(s_).mid(t.pos, t.largo);
        t.reservada = t.clase == ClaseToken::Palabra && Reservada(t.texto);
        return t;
    }

    // 12, 12.50, 12., .5, 1e3, 1.5E-2
    void numero()
    {
        while (i_ < n_ && Digito(s_[i_]))
            ++i_;
        if (i_ < n_ && s_[i_] == u'.') {
            ++i_;
            while (i_ < n_ && Digito(s_[i_]))
                ++i_;
        }
        if (i_ < n_ && (s_[i_] == u'e' || s_[i_] == u'E')) {
            qsizetype j = i_ + 1;
            if (j < n_ && (s_[j] == u'+' || s_[j] == u'-'))
                ++j;
            if (j < n_ && Digito(s_[j])) {
                i_ = j;
                while (i_ < n_ && Digito(s_[i_]))
                    ++i_;
            }
        }
    }

    const QString& s_;
    const qsizetype n_;
    qsizetype i_ = 0;
};

} // namespace

std::vector<Token> Tokenizar(const QString& lote) { return Lexico(lote).tokens(); }

} // namespace tsql
