// The embedded database answers as the server: its collation, LIKE, "+",
// CONVERT, the date functions, date columns, defaults added to tables with
// rows and the rows reported as affected. Each case holds what the server
// returns, written out; values are compared through quote() so their type
// shows too (texts quoted, numbers bare, NULL).
#include "entorno_ado.h"
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/ado/sqlite_servidor.h"
#include "tools/demo_db.h"

#include <QDateTime>
#include <sqlite3.h>

using namespace ado;
using prueba::Falla;
using prueba::Via;

namespace {

struct Caso {
    const char* expresion;
    const char* esperado; // quote() of the server's result
};

struct CasoError {
    const char* expresion;
    int nativo;
    std::int32_t numero;
    const char* mensaje; // the start of the server's text
};

class Servidor : public ::testing::Test {
protected:
    void SetUp() override
    {
        archivo = entorno.creaBase(QStringLiteral("EMPRESA"));
        db = AbrirSqlite(archivo, QString(), QString(), QStringLiteral("SQLOLEDB"), 5);
    }

    // Rows of a statement in SQLite's own dialect, or (tsql) in the server's.
    std::vector<std::vector<Variant>> filas(const QString& sql, std::int64_t* afectadas = nullptr, bool tsql = false)
    {
        std::vector<std::vector<Variant>> r;
        try {
            auto c = tsql ? db->ejecutarTsql(sql, afectadas, 30) : db->ejecutar(sql, {}, afectadas, 30);
            std::vector<Variant> f;
            while (c && c->siguiente(f))
                r.push_back(f);
        } catch (const FallaProveedor& f) {
            if (!esperaError_)
                ADD_FAILURE() << sql.toStdString() << ": " << f.errores.at(0).Description.toStdString();
            throw;
        }
        return r;
    }
    // The value of an expression as quote() writes it.
    QString valor(const QString& expr)
    {
        const auto r = filas(QStringLiteral("SELECT quote(%1)").arg(expr));
        return r.empty() ? QStringLiteral("<no row>") : r[0][0].toString();
    }
    // The list of one column's values, joined by "|".
    QString lista(const QString& sql, bool tsql = false)
    {
        QStringList r;
        for (const auto& f : filas(sql, nullptr, tsql))
            r << (f[0].isNull() ? QStringLiteral("NULL") : f[0].toString());
        return r.join(u'|');
    }
    void comprueba(std::initializer_list<Caso> casos)
    {
        for (const Caso& c : casos)
            EXPECT_EQ(valor(QString::fromUtf8(c.expresion)).toStdString(), c.esperado) << c.expresion;
    }
    void compruebaErrores(std::initializer_list<CasoError> casos)
    {
        for (const auto& c : casos) {
            const Error e = error(QStringLiteral("SELECT %1").arg(QString::fromUtf8(c.expresion)));
            EXPECT_EQ(e.NativeError, c.nativo) << c.expresion;
            EXPECT_EQ(e.Number, c.numero) << c.expresion;
            EXPECT_TRUE(e.Description.startsWith(QString::fromUtf8(c.mensaje))) << e.Description.toStdString();
        }
    }
    Error error(const QString& sql)
    {
        esperaError_ = true;
        try {
            filas(sql);
        } catch (const FallaProveedor& f) {
            esperaError_ = false;
            return f.errores.at(0);
        }
        esperaError_ = false;
        ADD_FAILURE() << "no error: " << sql.toStdString();
        return {};
    }

    prueba::EntornoAdo entorno;
    QString archivo;
    std::unique_ptr<Provider> db;
    bool esperaError_ = false;
};


// A date column compared with a text: the text is read as a date, whatever
// form the suite wrote it in, as the server converts it.
TEST_F(Servidor, FechasComparadasConTextosDelServidor)
{
    filas(QStringLiteral("CREATE TABLE MOV (Id INTEGER PRIMARY KEY, FECHA datetime, Dia date, Nota TEXT COLLATE CI_AS)"));
    filas(QStringLiteral("INSERT INTO MOV (FECHA, Dia, Nota) VALUES ('01/02/2025', '01/02/2025', 'a'), "
                         "('15/03/2025 10:30', '15/03/2025', 'b'), ('02/01/2025 23:59:59.5', '02/01/2025', 'c')"));
    const struct {
        const char* donde;
        const char* notas;
    } casos[] = {
        {"FECHA = '01/02/2025'", "a"},
        {"FECHA = '1/2/25 00:00'", "a"},
        {"FECHA > '01/02/2025'", "b"},
        {"FECHA >= '01/02/2025' AND FECHA < '15/03/2025 10:30:01'", "a|b"},
        {"FECHA < '2/1/2025'", ""},
        {"FECHA BETWEEN '02/01/2025' AND '03/01/2025'", "c"},
        {"Dia = '15/03/2025'", "b"},
        {"Dia < '01/02/2025'", "c"},
        {"FECHA IN ('15/03/2025 10:30:00', '01/01/2020')", "b"},
        {"FECHA NOT IN ('15/03/2025 10:30', '01/02/2025')", "c"},
        {"Nota = 'A '", "a"},
    };
    for (const auto& c : casos) {
        const QString sql = QStringLiteral("SELECT Nota FROM MOV WHERE %1 ORDER BY FECHA").arg(QLatin1String(c.donde));
        EXPECT_EQ(lista(sql, true), QString::fromLatin1(c.notas)) << c.donde;
    }
    // Two texts compare as texts, also when both read as the same date: the
    // server converts a text only where the other side is a date.
    for (const char* t : {"'31/02/2025'", "'1/2'", "'12/05/2024x'", "'2025-02-01 00:00:01'", "'2025-02-01 00:00:00'",
                          "'1/2/2025'"})
        EXPECT_EQ(valor(QStringLiteral("%1 = '01/02/2025' COLLATE CI_AS").arg(QLatin1String(t))), u"0") << t;
    EXPECT_EQ(lista(QStringLiteral("SELECT CASE WHEN '15/01/2025' > '01/02/2025' THEN 1 ELSE 0 END"), true), u"1");
}

} // namespace

// Equality ignores case over the whole code page and trailing blanks, not accents.
TEST_F(Servidor, IntercalacionComparaComoElServidor)
{
    filas(QStringLiteral("CREATE TABLE T (K TEXT COLLATE CI_AS)"));
    const std::initializer_list<Caso> casos = {
        {"'ADMIN ' = 'admin' COLLATE CI_AS", "1"},
        {"'ADMIN' = 'admin   ' COLLATE CI_AS", "1"},
        {"' ADMIN' = 'admin' COLLATE CI_AS", "0"},       // leading blanks count
        {"'ÁRBOL' = 'árbol' COLLATE CI_AS", "1"},         // case folds outside ASCII
        {"'Ñandú' = 'ÑANDÚ' COLLATE CI_AS", "1"},
        {"'Güemes' = 'GÜEMES' COLLATE CI_AS", "1"},
        {"'Œuvre' = 'œuvre' COLLATE CI_AS", "1"},
        {"'arbol' = 'árbol' COLLATE CI_AS", "0"},         // accents count
        {"'Pinguino' <> 'Pingüino' COLLATE CI_AS", "1"},
        {"'a' < 'á' COLLATE CI_AS", "1"},                 // accented beside its letter
        {"'á' < 'b' COLLATE CI_AS", "1"},
        {"'Ñ' < 'O' COLLATE CI_AS", "1"},
        {"'ab' < 'AC' COLLATE CI_AS", "1"},
        {"'abc' > 'ABC  ' COLLATE CI_AS", "0"},
        {"'x' COLLATE CI_AS IN ('A', 'X ', 'b')", "1"},
    };
    comprueba(casos);

    filas(QStringLiteral("INSERT INTO T VALUES ('b'), ('Á'), ('a '), ('A'), ('á'), ('ñ'), ('N'), ('z'), ('Ñ ')"));
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM T WHERE K = 'A'")), u"2");
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM T WHERE K IN ('á', 'ñ')")), u"4");
    EXPECT_EQ(lista(QStringLiteral("SELECT K FROM T WHERE K > 'n' ORDER BY K")), u"ñ|Ñ |z");
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM (SELECT DISTINCT K FROM T)")), u"6");
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) || ':' || count(DISTINCT K) FROM T GROUP BY K ORDER BY K")),
              u"2:1|2:1|1:1|1:1|2:1|1:1");
    // An index over the column finds the same rows the server would.
    filas(QStringLiteral("CREATE INDEX IX_T ON T (K)"));
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM T WHERE K = 'Ñ'")), u"2");
}

TEST_F(Servidor, LikeComoElServidor)
{
    const std::initializer_list<Caso> casos = {
        {"'Almacén Don José' LIKE '%JOSÉ%'", "1"},
        {"'Almacén Don José' LIKE '%jose%'", "0"}, // accent-sensitive
        {"'CAFÉ' LIKE 'café'", "1"},
        {"'Ñoquis de papa' LIKE 'ñ%'", "1"},
        {"'abc' LIKE 'a_c'", "1"},
        {"'abc  ' LIKE 'abc'", "1"}, // the text's trailing blanks are ignored
        {"'abc' LIKE 'abc '", "0"},  // the pattern's count
        {"'b1' LIKE '[a-c]1'", "1"},
        {"'d1' LIKE '[a-c]1'", "0"},
        {"'B1' LIKE '[a-c]1'", "1"},
        {"'á1' LIKE '[a-c]1'", "1"},
        {"'x9' LIKE 'x[^0-9]'", "0"},
        {"'xa' LIKE 'x[^0-9]'", "1"},
        {"'[x]' LIKE '[[]x]'", "1"},
        {"'50%' LIKE '50!%' ESCAPE '!'", "1"},
        {"'500' LIKE '50!%' ESCAPE '!'", "0"},
        {"'a_b' LIKE '%!_%' ESCAPE '!'", "1"},
        {"'ab' LIKE '%!_%' ESCAPE '!'", "0"},
        {"'a%b' LIKE 'a[%]b'", "1"},
        {"'aXXbYYc' LIKE 'a%b%c'", "1"},
        {"'aXXbYY' LIKE 'a%b%c'", "0"},
        {"'' LIKE '%'", "1"},
        {"NULL LIKE '%'", "NULL"},
        {"'abc' NOT LIKE 'A%'", "0"},
        {"12345 LIKE '12%'", "1"},
    };
    comprueba(casos);
    const Error e = error(QStringLiteral("SELECT 'a' LIKE 'a' ESCAPE '!!'"));
    EXPECT_EQ(e.NativeError, 506);

    // The pattern of a column: compiled per row, still the same answers; and
    // an index on a NOCASE column does not take LIKE's shortcut past it.
    filas(QStringLiteral("CREATE TABLE P (Patron TEXT, Texto TEXT COLLATE NOCASE)"));
    filas(QStringLiteral("CREATE INDEX IX_P ON P (Texto)"));
    filas(QStringLiteral("INSERT INTO P VALUES ('a%', 'Árbol'), ('á%', 'árbol'), ('[a-c]%', 'Balde'), ('%z', 'Cruz  ')"));
    EXPECT_EQ(lista(QStringLiteral("SELECT Texto LIKE Patron FROM P ORDER BY rowid")), u"0|1|1|1");
    EXPECT_EQ(lista(QStringLiteral("SELECT Texto FROM P WHERE Texto LIKE 'á%' ORDER BY rowid")), u"Árbol|árbol");
}

TEST_F(Servidor, SumaDecidePorLosValores)
{
    filas(QStringLiteral("CREATE TABLE A (Stock NUMERIC, Texto TEXT, Fecha DATETIME)"));
    filas(QStringLiteral("INSERT INTO A VALUES (5, '1', '2025-03-07 10:00:00')"));
    const std::initializer_list<Caso> casos = {
        {"ss_suma('ab', 'cd')", "'abcd'"},
        {"ss_suma('1', '1')", "'11'"},
        {"ss_suma(5, '1')", "6"},
        {"ss_suma(' 12 ', 1)", "13"},
        {"ss_suma('', 1)", "1"},
        {"ss_suma(2, 3)", "5"},
        {"ss_suma(2.5, 1)", "3.5"},
        {"ss_suma(2.5, '1.25')", "3.75"},
        {"ss_suma(NULL, 'a')", "NULL"},
        {"ss_suma(1, NULL)", "NULL"},
        {"ss_suma('2025-03-07 10:00:00', 1)", "'2025-03-08 10:00:00'"},
        {"ss_suma('2025-03-07', 30)", "'2025-04-06'"},
        {"ss_suma('2025-03-07 10:00:00', 0.5)", "'2025-03-07 22:00:00'"},
        {"(SELECT ss_suma(Stock, Texto) FROM A)", "6"},
        {"(SELECT ss_suma(Fecha, 1) FROM A)", "'2025-03-08 10:00:00'"},
        {"ss_suma(9223372036854775807, 0)", "9223372036854775807"},
        // GETDATE() + 1: tomorrow at this time
        {"substr(ss_suma(ss_getdate(), 1), 1, 10) = date('now', 'localtime', '+1 day')", "1"},
    };
    comprueba(casos);

    const std::initializer_list<CasoError> errores = {
        {"ss_suma(5, 'abc')", 245, DB_E_CANTCONVERTVALUE,
         "Conversion failed when converting the varchar value 'abc' to data type int."},
        {"ss_suma('1.5', 1)", 245, DB_E_CANTCONVERTVALUE,
         "Conversion failed when converting the varchar value '1.5' to data type int."},
        {"ss_suma(1.5, 'x')", 8114, DB_E_CANTCONVERTVALUE, "Error converting data type varchar to numeric."},
        {"ss_suma(9223372036854775807, 1)", 8115, DB_E_DATAOVERFLOW, "Arithmetic overflow error"},
    };
    compruebaErrores(errores);
}

TEST_F(Servidor, ConvertirComoElServidor)
{
    const std::initializer_list<Caso> casos = {
        {"ss_convertir('int', '12')", "12"},
        {"ss_convertir('int', ' -12 ')", "-12"},
        {"ss_convertir('int', '')", "0"},
        {"ss_convertir('int', 12.9)", "12"},
        {"ss_convertir('int', -12.9)", "-12"},
        {"ss_convertir('bigint', '9000000000')", "9000000000"},
        {"ss_convertir('bit', 'true')", "1"},
        {"ss_convertir('bit', 5)", "1"},
        {"ss_convertir('bit', '0')", "0"},
        {"ss_convertir('decimal(10,2)', '12.345')", "12.35"},
        {"ss_convertir('decimal(10,2)', -2.005)", "-2.01"},
        {"ss_convertir('numeric(5,0)', '12.5')", "13"},
        {"ss_convertir('float', '1e3')", "1000.0"},
        {"ss_convertir('money', '12.34567')", "12.3457"},
        {"ss_convertir('varchar(5)', 'abcdefgh')", "'abcde'"},
        {"ss_convertir('varchar(3)', 'ÁÉÍÓÚ')", "'ÁÉÍ'"},
        {"ss_convertir('varchar', 123)", "'123'"},
        {"ss_convertir('varchar(2)', 123)", "'*'"},
        {"ss_convertir('char(4)', 'ab')", "'ab  '"},
        {"ss_convertir('varchar(10)', 2.5)", "'2.5'"},
        {"ss_convertir('varchar(10)', '2025-03-07 18:05:09', 103)", "'07/03/2025'"},
        {"ss_convertir('varchar(8)', '2025-03-07 18:05:09', 108)", "'18:05:09'"},
        {"ss_convertir('varchar(8)', '2025-03-07 18:05:09', 112)", "'20250307'"},
        {"ss_convertir('varchar(19)', '2025-03-07 18:05:09', 120)", "'2025-03-07 18:05:09'"},
        {"ss_convertir('varchar(23)', '2025-03-07 18:05:09.120', 121)", "'2025-03-07 18:05:09.120'"},
        {"ss_convertir('varchar(10)', '2025-03-07', 101)", "'03/07/2025'"},
        {"ss_convertir('varchar(8)', '2025-03-07', 1)", "'03/07/25'"},
        {"ss_convertir('varchar(8)', '2025-03-07', 3)", "'07/03/25'"},
        {"ss_convertir('varchar(10)', '2025-03-07', 104)", "'07.03.2025'"},
        {"ss_convertir('varchar(10)', '2025-03-07', 105)", "'07-03-2025'"},
        {"ss_convertir('varchar(10)', '2025-03-07', 111)", "'2025/03/07'"},
        {"ss_convertir('varchar(10)', '2025-03-07 18:05:09', NULL)", "'2025-03-07'"},
        {"ss_convertir('datetime', '7/3/2025', 103)", "'2025-03-07 00:00:00'"},
        {"ss_convertir('datetime', '7/3/2025', 101)", "'2025-07-03 00:00:00'"},
        {"ss_convertir('datetime', '07/03/25', 3)", "'2025-03-07 00:00:00'"},
        {"ss_convertir('datetime', '03/07/25', 1)", "'2025-03-07 00:00:00'"},
        {"ss_convertir('datetime', '07.03.2025', 104)", "'2025-03-07 00:00:00'"},
        {"ss_convertir('datetime', '07-03-2025', 105)", "'2025-03-07 00:00:00'"},
        {"ss_convertir('datetime', '20250307', 112)", "'2025-03-07 00:00:00'"},
        {"ss_convertir('datetime', '2025/03/07', 111)", "'2025-03-07 00:00:00'"},
        {"ss_convertir('datetime', '2025-03-07 18:05:09', 120)", "'2025-03-07 18:05:09'"},
        {"ss_convertir('datetime', '2025-03-07 18:05:09.5', 121)", "'2025-03-07 18:05:09.500'"},
        {"ss_convertir('datetime', '18:05:09', 108)", "'1900-01-01 18:05:09'"},
        {"ss_convertir('datetime', '07/03/2025 18:05')", "'2025-03-07 18:05:00'"},
        {"ss_convertir('datetime', '07/03/2025 6:05 PM', NULL)", "'2025-03-07 18:05:00'"},
        {"ss_convertir('datetime', '')", "'1900-01-01 00:00:00'"},
        {"ss_convertir('smalldatetime', '2025-03-07 18:05:31')", "'2025-03-07 18:06:00'"},
        {"ss_convertir('date', '07/03/2025 18:05')", "'2025-03-07'"},
        {"ss_convertir('time', '2025-03-07 18:05:09')", "'18:05:09'"},
        {"ss_convertir('datetime', 45000)", "'2023-03-17 00:00:00'"},
        {"ss_convertir('int', NULL)", "NULL"},
    };
    comprueba(casos);

    const std::initializer_list<CasoError> errores = {
        {"ss_convertir('int', '12abc')", 245, DB_E_CANTCONVERTVALUE,
         "Conversion failed when converting the varchar value '12abc' to data type int."},
        {"ss_convertir('int', '12.5')", 245, DB_E_CANTCONVERTVALUE, "Conversion failed"},
        {"ss_convertir('smallint', '40000')", 8115, DB_E_DATAOVERFLOW,
         "Arithmetic overflow error converting expression to data type smallint."},
        {"ss_convertir('tinyint', -1)", 8115, DB_E_DATAOVERFLOW, "Arithmetic overflow"},
        {"ss_convertir('int', 3000000000)", 8115, DB_E_DATAOVERFLOW, "Arithmetic overflow"},
        {"ss_convertir('decimal(4,2)', '123.4')", 8115, DB_E_DATAOVERFLOW, "Arithmetic overflow"},
        {"ss_convertir('decimal(10,2)', 'x')", 8114, DB_E_CANTCONVERTVALUE, "Error converting data type varchar to numeric."},
        {"ss_convertir('float', 'x')", 8114, DB_E_CANTCONVERTVALUE, "Error converting data type varchar to float."},
        {"ss_convertir('money', '1,2,3')", 235, DB_E_CANTCONVERTVALUE, "Cannot convert a char value to money."},
        {"ss_convertir('datetime', '31/02/2025', 103)", 241, DB_E_CANTCONVERTVALUE,
         "Conversion failed when converting date and/or time from character string."},
        {"ss_convertir('datetime', 'mañana')", 241, DB_E_CANTCONVERTVALUE, "Conversion failed"},
        {"ss_convertir('datetime', '07/03/2025 25:00')", 241, DB_E_CANTCONVERTVALUE, "Conversion failed"},
        {"ss_convertir('nvarchar(2)', 123)", 8115, DB_E_DATAOVERFLOW, "Arithmetic overflow"},
        {"ss_convertir('cosa', 1)", 243, DB_E_ERRORSINCOMMAND, "Type cosa is not a defined system type."},
    };
    compruebaErrores(errores);
}

TEST_F(Servidor, FuncionesDeFechaComoElServidor)
{
    const std::initializer_list<Caso> casos = {
        {"ss_datepart('year', '2025-03-07 18:05:09')", "2025"},
        {"ss_datepart('yy', '07/03/2025')", "2025"},
        {"ss_datepart('quarter', '2025-08-07')", "3"},
        {"ss_datepart('month', '2025-03-07')", "3"},
        {"ss_datepart('dayofyear', '2025-03-07')", "66"},
        {"ss_datepart('day', '2025-03-07')", "7"},
        {"ss_datepart('weekday', '2025-03-07')", "5"}, // a Friday, weeks from Monday
        {"ss_datepart('week', '2025-01-05')", "1"},    // Sunday: still the first week
        {"ss_datepart('week', '2025-01-06')", "2"},
        {"ss_datepart('hour', '2025-03-07 18:05:09.123')", "18"},
        {"ss_datepart('minute', '2025-03-07 18:05:09.123')", "5"},
        {"ss_datepart('second', '2025-03-07 18:05:09.123')", "9"},
        {"ss_datepart('millisecond', '2025-03-07 18:05:09.123')", "123"},
        {"ss_datepart('day', NULL)", "NULL"},
        {"ss_dateadd('day', 1, '2025-02-28 10:00:00')", "'2025-03-01 10:00:00'"},
        {"ss_dateadd('month', 1, '2025-01-31 10:00:00')", "'2025-02-28 10:00:00'"},
        {"ss_dateadd('month', 1, '2024-01-31')", "'2024-02-29'"},
        {"ss_dateadd('year', -1, '2024-02-29 00:00:00')", "'2023-02-28 00:00:00'"},
        {"ss_dateadd('quarter', 1, '2025-11-30')", "'2026-02-28'"},
        {"ss_dateadd('week', 2, '2025-03-07')", "'2025-03-21'"},
        {"ss_dateadd('hour', 30, '2025-03-07 00:00:00')", "'2025-03-08 06:00:00'"},
        {"ss_dateadd('minute', -5, '2025-03-07')", "'2025-03-06 23:55:00'"},
        {"ss_dateadd('second', 1, '2025-12-31 23:59:59')", "'2026-01-01 00:00:00'"},
        {"ss_dateadd('millisecond', 500, '2025-03-07 00:00:00')", "'2025-03-07 00:00:00.500'"},
        {"ss_dateadd('day', 1.9, '2025-03-07')", "'2025-03-08'"},
        {"ss_dateadd('day', 1, '07/03/2025')", "'2025-03-08 00:00:00'"},
        {"ss_datediff('year', '2024-12-31 23:59:59', '2025-01-01 00:00:00')", "1"},
        {"ss_datediff('month', '2025-01-31', '2025-02-01')", "1"},
        {"ss_datediff('quarter', '2025-03-31', '2025-04-01')", "1"},
        {"ss_datediff('day', '2025-03-07 23:59:00', '2025-03-08 00:01:00')", "1"},
        {"ss_datediff('day', '2025-03-08', '2025-03-07')", "-1"},
        {"ss_datediff('week', '2025-03-08', '2025-03-09')", "1"}, // Saturday to Sunday
        {"ss_datediff('week', '2025-03-09', '2025-03-15')", "0"},
        {"ss_datediff('hour', '2025-03-07 10:59:59', '2025-03-07 11:00:00')", "1"},
        {"ss_datediff('minute', '2025-03-07 10:00:59', '2025-03-07 10:01:00')", "1"},
        {"ss_datediff('second', '2025-03-07 10:00:00.999', '2025-03-07 10:00:01.000')", "1"},
        {"ss_datediff('millisecond', '2025-03-07 10:00:00', '2025-03-07 10:00:01.250')", "1250"},
        {"ss_datediff('day', NULL, '2025-03-07')", "NULL"},
        {"length(ss_getdate())", "23"},
    };
    comprueba(casos);
    const QString ahora = filas(QStringLiteral("SELECT quote(ss_getdate())"))[0][0].toString().mid(1, 16);
    const QString local = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    EXPECT_TRUE(ahora == local || ahora < local) << ahora.toStdString(); // local time, not UTC

    EXPECT_EQ(error(QStringLiteral("SELECT ss_dateadd('fortnight', 1, '2025-03-07')")).NativeError, 155);
    EXPECT_EQ(error(QStringLiteral("SELECT ss_dateadd('year', 8000, '2025-03-07')")).NativeError, 517);
    EXPECT_EQ(error(QStringLiteral("SELECT ss_datepart('day', 'ayer')")).NativeError, 241);
    EXPECT_EQ(error(QStringLiteral("SELECT ss_datediff('millisecond', '1900-01-01', '2025-01-01')")).NativeError, 535);
}

// Texts written into date columns are kept in one sortable form and read as dates.
TEST_F(Servidor, ColumnasDeFechaGuardanUnaFormaOrdenable)
{
    filas(QStringLiteral("CREATE TABLE ACC (Id INTEGER PRIMARY KEY, FECHAHORA datetime, Dia date, Hora time, "
                         "Corta smalldatetime, Nota TEXT)"));
    std::int64_t n = -2;
    filas(QStringLiteral("INSERT INTO ACC (FECHAHORA, Dia, Hora, Corta, Nota) VALUES "
                         "('07/03/2025 18:05:09', '07/03/2025', '18:05:09', '07/03/2025 18:05:31', '07/03/2025'), "
                         "('10/02/25 09:30', '20250210', '9:30', NULL, 'x'), "
                         "('20250101', '2025-01-01', '2025-01-01 00:00:01', '2025-01-01T10:00:00', 'y'), "
                         "('2024-12-31T23:59:59.5', 20241231, NULL, NULL, 'z')"),
          &n);
    EXPECT_EQ(n, 4); // the rewrites are not rows of the statement
    EXPECT_EQ(lista(QStringLiteral("SELECT quote(FECHAHORA) FROM ACC ORDER BY FECHAHORA")),
              u"'2024-12-31 23:59:59.500'|'2025-01-01 00:00:00'|'2025-02-10 09:30:00'|'2025-03-07 18:05:09'");
    EXPECT_EQ(lista(QStringLiteral("SELECT quote(Dia) || quote(Hora) || quote(Corta) || Nota FROM ACC ORDER BY Id")),
              u"'2025-03-07''18:05:09''2025-03-07 18:06:00'07/03/2025|'2025-02-10''09:30:00'NULLx|"
              u"'2025-01-01''00:00:01''2025-01-01 10:00:00'y|'2024-12-31'NULLNULLz");
    filas(QStringLiteral("UPDATE ACC SET FECHAHORA = '01/01/2026 00:00:00' WHERE Id = 1"), &n);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(lista(QStringLiteral("SELECT quote(FECHAHORA) FROM ACC WHERE Id = 1")), u"'2026-01-01 00:00:00'");
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM ACC WHERE FECHAHORA >= '2025-01-01' AND FECHAHORA < '2025-03-01'")),
              u"2");
    // A text that is no date is refused as the server refuses it.
    const Error e = error(QStringLiteral("INSERT INTO ACC (FECHAHORA) VALUES ('mañana')"));
    EXPECT_EQ(e.NativeError, 241);
    EXPECT_EQ(e.Number, DB_E_CANTCONVERTVALUE);
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM ACC")), u"4");

    // The column's field reads a Date.
    auto c = db->ejecutar(QStringLiteral("SELECT FECHAHORA FROM ACC WHERE Id = 2"), {}, nullptr, 30);
    std::vector<Variant> f;
    ASSERT_TRUE(c->siguiente(f));
    EXPECT_EQ(f[0].type(), VarType::Date);
    EXPECT_EQ(f[0].toDate(), QDateTime(QDate(2025, 2, 10), QTime(9, 30)));
}

// A table made before (or by another program) gets the rewrite when opened.
TEST_F(Servidor, BaseExistenteRecibeLaNormalizacion)
{
    db.reset();
    sqlite3* s = nullptr;
    sqlite3_open(QFile::encodeName(archivo).constData(), &s);
    sqlite3_exec(s, "CREATE TABLE LOG (Id INTEGER PRIMARY KEY, Cuando DATETIME)", nullptr, nullptr, nullptr);
    sqlite3_close(s);
    db = AbrirSqlite(archivo, QString(), QString(), QStringLiteral("SQLOLEDB"), 5);
    filas(QStringLiteral("INSERT INTO LOG (Cuando) VALUES ('31/12/2025 08:00:00')"));
    EXPECT_EQ(lista(QStringLiteral("SELECT quote(Cuando) FROM LOG")), u"'2025-12-31 08:00:00'");
    // Opening again installs nothing twice.
    db = AbrirSqlite(archivo, QString(), QString(), QStringLiteral("SQLOLEDB"), 5);
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'")), u"2");
}

TEST_F(Servidor, DefectoNoConstanteEnTablaConFilas)
{
    filas(QStringLiteral("CREATE TABLE T (Id INTEGER PRIMARY KEY, Nombre TEXT)"));
    filas(QStringLiteral("INSERT INTO T (Nombre) VALUES ('a'), ('b')"));
    std::int64_t n = -2;
    filas(QStringLiteral("ALTER TABLE T ADD Alta datetime DEFAULT (datetime('now','localtime')) "), &n);
    EXPECT_EQ(n, 0);
    const QString hoy = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM T WHERE substr(Alta, 1, 10) = '%1'").arg(hoy)), u"2");
    filas(QStringLiteral("INSERT INTO T (Nombre) VALUES ('c')"), &n);
    EXPECT_EQ(n, 1);
    filas(QStringLiteral("INSERT INTO T (Nombre, Alta) VALUES ('d', '01/02/2020')"));
    EXPECT_EQ(lista(QStringLiteral("SELECT quote(substr(Alta, 1, 10)) FROM T WHERE Id > 2 ORDER BY Id")),
              u'\'' + hoy + QStringLiteral("'|'2020-02-01'"));
    // An empty table keeps SQLite's own default.
    filas(QStringLiteral("CREATE TABLE V (Id INTEGER PRIMARY KEY)"));
    filas(QStringLiteral("ALTER TABLE V ADD Alta datetime DEFAULT CURRENT_TIMESTAMP"));
    filas(QStringLiteral("INSERT INTO V (Id) VALUES (1)"));
    EXPECT_EQ(lista(QStringLiteral("SELECT length(Alta) FROM V")), u"19");
    // A failure in between leaves the table as it was and says why.
    filas(QStringLiteral("ALTER TABLE T ADD Otra int DEFAULT (abs(1))"));
    const Error e = error(QStringLiteral("ALTER TABLE T ADD Otra int DEFAULT (random())"));
    EXPECT_TRUE(e.Description.contains(u"duplicate column")) << e.Description.toStdString();
}

// The rewrite triggers follow the table: a date column can be dropped, a
// renamed table keeps its rewrite once.
TEST_F(Servidor, ColumnasDeFechaSeQuitanYRenombran)
{
    filas(QStringLiteral("CREATE TABLE T (Id INTEGER PRIMARY KEY, Alta datetime, Baja datetime)"));
    filas(QStringLiteral("ALTER TABLE T ADD Creada datetime DEFAULT (datetime('now','localtime'))"));
    filas(QStringLiteral("INSERT INTO T (Alta, Baja) VALUES ('01/02/2025', '03/04/2025')"));
    std::int64_t n = -2;
    filas(QStringLiteral("ALTER TABLE T DROP COLUMN Alta"), &n);
    EXPECT_EQ(n, 0);
    filas(QStringLiteral("ALTER TABLE T RENAME TO U"));
    db = AbrirSqlite(archivo, QString(), QString(), QStringLiteral("SQLOLEDB"), 5);
    filas(QStringLiteral("INSERT INTO U (Baja) VALUES ('05/06/2025')"));
    EXPECT_EQ(lista(QStringLiteral("SELECT quote(Baja) FROM U ORDER BY Id")), u"'2025-04-03 00:00:00'|'2025-06-05 00:00:00'");
    // Those of Baja and Creada (added to an empty table: SQLite's own default).
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'")), u"4");
    // A column that cannot go stays, with its triggers, and the reason is SQLite's.
    filas(QStringLiteral("CREATE INDEX IX_U ON U (Baja)"));
    const Error e = error(QStringLiteral("ALTER TABLE U DROP COLUMN Baja"));
    EXPECT_TRUE(e.Description.contains(u"IX_U")) << e.Description.toStdString();
    filas(QStringLiteral("INSERT INTO U (Baja) VALUES ('07/08/2025')"));
    EXPECT_EQ(lista(QStringLiteral("SELECT quote(max(Baja)) FROM U")), u"'2025-08-07 00:00:00'");
}

TEST_F(Servidor, FilasAfectadasComoElServidor)
{
    std::int64_t n = -2;
    filas(QStringLiteral("CREATE TABLE T (Id INTEGER PRIMARY KEY, Nombre TEXT)"), &n);
    EXPECT_EQ(n, 0);
    filas(QStringLiteral("INSERT INTO T (Nombre) VALUES ('a'), ('b'), ('c')"), &n);
    EXPECT_EQ(n, 3);
    filas(QStringLiteral("CREATE VIEW V_T AS SELECT * FROM T"), &n);
    EXPECT_EQ(n, 0); // not the 3 of the INSERT before
    filas(QStringLiteral("CREATE TRIGGER V_T_Alta INSTEAD OF INSERT ON V_T BEGIN "
                         "INSERT INTO T (Nombre) VALUES (NEW.Nombre); END"),
          &n);
    EXPECT_EQ(n, 0);
    filas(QStringLiteral("INSERT INTO V_T (Nombre) VALUES ('x'), ('y')"), &n);
    EXPECT_EQ(n, 2);
    filas(QStringLiteral("UPDATE T SET Nombre = 'z' WHERE Id > 100"), &n);
    EXPECT_EQ(n, 0);
    filas(QStringLiteral("DROP VIEW V_T"), &n);
    EXPECT_EQ(n, 0);
    filas(QStringLiteral("DELETE FROM T"), &n);
    EXPECT_EQ(n, 5);
}

// Through a Connection, as the suite writes: the translation's output runs on
// these functions, and a recordset writes dates as texts or as Dates.
TEST_F(Servidor, RecordsetEscribeFechasYLasLeeComoFechas)
{
    db.reset();
    auto cn = Connection::Create();
    cn->Open(entorno.cadena(Via::Nativa, QStringLiteral("empresa")));
    std::int32_t n = -2;
    cn->Execute(QStringLiteral("CREATE TABLE MV_CPTEACCIONES (Id INTEGER PRIMARY KEY, TC nvarchar(10), FECHAHORA datetime)"),
                &n);
    EXPECT_EQ(n, 0);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM MV_CPTEACCIONES"), cn, adOpenDynamic, adLockOptimistic);
    rs.AddNew();
    rs[QStringLiteral("TC")].setValue(Variant(QStringLiteral("FC")));
    rs[QStringLiteral("FECHAHORA")].setValue(Variant(QStringLiteral("07/03/2025 18:05:09")));
    rs.Update();
    rs.AddNew();
    rs[QStringLiteral("TC")].setValue(Variant(QStringLiteral("NC")));
    rs[QStringLiteral("FECHAHORA")].setValue(Variant(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))));
    rs.Update();
    rs.Close();
    Recordset r2;
    r2.Open(QStringLiteral("SELECT TC, FECHAHORA FROM MV_CPTEACCIONES ORDER BY FECHAHORA"), cn);
    ASSERT_FALSE(r2.EOF_());
    EXPECT_EQ(r2[QStringLiteral("TC")].Value().toString(), u"NC");
    r2.MoveNext();
    EXPECT_EQ(r2[QStringLiteral("FECHAHORA")].Value().type(), VarType::Date);
    EXPECT_EQ(r2[QStringLiteral("FECHAHORA")].Value().toDate(), QDateTime(QDate(2025, 3, 7), QTime(18, 5, 9)));
}

TEST(ServidorTextos, FechasEnLosEstilosDelServidor)
{
    std::int64_t ms = 0;
    ASSERT_TRUE(servidor::LeerFecha("7/3/2025", 103, ms));
    EXPECT_EQ(servidor::TextoFecha(ms, 103), "07/03/2025");
    EXPECT_EQ(servidor::TextoFecha(ms, 0), "Mar  7 2025 12:00AM");
    ASSERT_TRUE(servidor::LeerFecha("1753-01-01", 0, ms));
    EXPECT_FALSE(servidor::LeerFecha("1752-12-31", 0, ms));
    EXPECT_FALSE(servidor::LeerFecha("29/02/2025", 103, ms));
    ASSERT_TRUE(servidor::LeerFecha("29/02/2024 23:59:59.997", 103, ms));
    EXPECT_EQ(servidor::TextoFecha(ms, 121), "2024-02-29 23:59:59.997");
    EXPECT_EQ(servidor::CompararCiAs("Ñandú  ", 9, "ñANDÚ", 7), 0);
}

// The ODBC driver opens the file on the same SQLite library: its connection
// answers the same way, so translated statements run there too.
TEST_F(Servidor, TambienPorElDriverOdbc)
{
    filas(QStringLiteral("CREATE TABLE U (NOMBRE TEXT COLLATE CI_AS, Alta datetime)"));
    filas(QStringLiteral("INSERT INTO U VALUES ('ADMIN ', '07/03/2025 10:00'), ('Señor', '2025-01-02')"));
    db.reset();
    auto odbc = AbrirOdbc(QStringLiteral("Driver=%1;Database=%2;StepAPI=1;NoCreat=1;")
                              .arg(QLatin1String(prueba::kDriverSqliteOdbc), archivo),
                          QStringLiteral("MSDASQL"), 5);
    auto c = odbc->ejecutar(QStringLiteral("SELECT (SELECT count(*) FROM U WHERE NOMBRE = 'admin'), "
                                           "(SELECT count(*) FROM U WHERE NOMBRE LIKE 'SEÑ%'), "
                                           "quote(ss_suma(5, '1')), quote(ss_convertir('varchar(10)', Alta, 103)) "
                                           "FROM U ORDER BY Alta"),
                            {}, nullptr, 30);
    std::vector<Variant> f;
    ASSERT_TRUE(c->siguiente(f));
    EXPECT_EQ(f[0].toLong(), 1);
    EXPECT_EQ(f[1].toLong(), 1);
    EXPECT_EQ(f[2].toString(), u"6");
    EXPECT_EQ(f[3].toString(), u"'02/01/2025'");
}

// The demo generator's database answers the suite's own statements (in the
// form the translation gives them) as the server would.
TEST_F(Servidor, BaseDeDemostracionComoElServidor)
{
    demo::Opciones o;
    o.carpeta = entorno.carpeta() + QStringLiteral("/demo");
    o.articulos = 300;
    demo::Genera(o);
    db = AbrirSqlite(o.carpeta + QStringLiteral("/DEMO.sqlite"), QString(), QString(), QStringLiteral("SQLOLEDB"), 5);
    const struct {
        const char* sql;
        const char* esperado;
    } casos[] = {
        // rights lookup: the user followed by a blank
        {"SELECT count(*) FROM TA_TAREAS WHERE USUARIO = 'ADMIN ' AND TAREA = '0101'", "1"},
        // stored password, any case
        {"SELECT count(*) FROM TA_USUARIOS WHERE NOMBRE = 'admin' AND Password IS NOT NULL", "1"},
        // configuration read with a padded key
        {"SELECT Valor FROM TA_CONFIGURACION WHERE Clave = 'theme   '", "1"},
        // lookups: LIKE on accented text and character classes
        {"SELECT count(*) FROM MA_CLIENTES WHERE RAZON_SOCIAL LIKE '%ÑANDÚ%'", "1"},
        {"SELECT count(*) FROM MA_CLIENTES WHERE RAZON_SOCIAL LIKE '%nandu%'", "0"},
        {"SELECT group_concat(CODIGO) FROM (SELECT CODIGO FROM MA_CLIENTES WHERE CODIGO LIKE '[cp]000[1-2]' "
         "ORDER BY CODIGO)",
         "C0001,C0002,P0001,P0002"},
        {"SELECT count(*) FROM V_TA_FAMILIAS WHERE Descripcion LIKE 'l[aá]%'", "2"},
        // an article code stored with a trailing blank
        {"SELECT count(*) FROM MA_ARTICULOS WHERE idarticulo = '0000101'", "1"},
        // the families tree, in the server's order
        {"SELECT group_concat(IdFamilia) FROM (SELECT IdFamilia FROM V_TA_FAMILIAS ORDER BY IdFamilia)",
         "01,0101,0102,0103,02,0201,0202,03,0301"},
        {"SELECT group_concat(Descripcion, '|') FROM (SELECT Descripcion FROM TA_FAMILIAS WHERE length(IdFamilia) = 2 "
         "ORDER BY Descripcion)",
         "Almacén|Lácteos|Limpieza"},
        // the product query
        {"SELECT count(*) FROM V_MA_Articulos WHERE SUSPENDIDO = 0", "277"},
        {"SELECT count(DISTINCT USUARIO) FROM TA_TAREAS", "3"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(lista(QString::fromUtf8(c.sql)).toStdString(), c.esperado) << c.sql;

    // The action log: written through its view with the suite's dates, one
    // row reported per row, and ordered by date.
    std::int64_t n = -2;
    filas(QStringLiteral("INSERT INTO V_MV_CPTEACCIONES (TC, IdComprobante, Tipo_accion, FECHAHORA, Usuario) VALUES "
                         "('FC', 'A0001', 'ALTA', '07/03/2025 18:05:09', 'ADMIN'), "
                         "('NC', 'A0002', 'ALTA', '01/12/24 08:00', 'ADMIN')"),
          &n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(lista(QStringLiteral("SELECT TC || ' ' || FECHAHORA FROM MV_CPTEACCIONES ORDER BY FECHAHORA")),
              u"NC 2024-12-01 08:00:00|FC 2025-03-07 18:05:09");
    EXPECT_EQ(lista(QStringLiteral("SELECT count(*) FROM MV_CPTEACCIONES WHERE FECHAHORA >= '2025-01-01'")), u"1");
}

// The program has one thread: SQLite keeps no memory statistics, which lock
// on every allocation. The setting only takes before SQLite starts.
TEST_F(Servidor, SinEstadisticasDeMemoria)
{
    filas(QStringLiteral("CREATE TABLE T (K TEXT COLLATE CI_AS)"));
    filas(QStringLiteral("INSERT INTO T VALUES ('a'), ('b')"));
    EXPECT_EQ(sqlite3_memory_used(), 0);
}
