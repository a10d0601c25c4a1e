// The typed helpers of the embedded database answer as the server: exact
// arithmetic, integer and float arithmetic, ROUND, conversions. Each case
// holds what the server returns, written out, compared through quote() so
// the type shows too (texts quoted, numbers bare, NULL); errors through the
// provider's mapping, with the server's native number.
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/ado/sqlite_servidor.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace ado;

namespace {

struct Caso {
    const char* expresion;
    const char* esperado; // quote() of the server's result
};

struct CasoError {
    const char* expresion;
    int nativo;
    const char* mensaje; // the start of the server's text
};

class Tipado : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        ASSERT_TRUE(servidor::Registrar(db));
    }
    void TearDown() override { sqlite3_close(db); }

    // The value of an expression as quote() writes it, or the error's text.
    std::string valor(const std::string& expr)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, ("SELECT quote(" + expr + ")").c_str(), -1, &st, nullptr) != SQLITE_OK)
            return std::string("<") + sqlite3_errmsg(db) + ">";
        std::string r = sqlite3_step(st) == SQLITE_ROW
                          ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0))
                          : std::string("<") + sqlite3_errmsg(db) + ">";
        sqlite3_finalize(st);
        return r;
    }
    void ejecuta(const std::string& sql) { ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql; }
    Error error(const std::string& expr)
    {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db, ("SELECT " + expr).c_str(), -1, &st, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(st);
        const Error e = ErrorSqlite(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)),
                                    QStringLiteral("prueba"));
        sqlite3_finalize(st);
        EXPECT_EQ(rc, SQLITE_ERROR) << "no error: " << expr;
        return e;
    }
    void comprueba(std::initializer_list<Caso> casos)
    {
        for (const Caso& c : casos)
            EXPECT_EQ(valor(c.expresion), c.esperado) << c.expresion;
    }
    void compruebaErrores(std::initializer_list<CasoError> casos)
    {
        for (const auto& c : casos) {
            const Error e = error(c.expresion);
            EXPECT_EQ(e.NativeError, c.nativo) << c.expresion;
            EXPECT_TRUE(e.Description.startsWith(QString::fromUtf8(c.mensaje)))
                << c.expresion << ": " << e.Description.toStdString();
        }
    }

    sqlite3* db = nullptr;
};

TEST_F(Tipado, AritmeticaExactaComoElServidor)
{
    comprueba({
        {"ss_num('+', 1.10, 2, 2.205, 3, 5, 3, 'numeric')", "3.305"},
        {"ss_num('+', 0.1, 1, 0.2, 1, 3, 1, 'numeric')", "0.3"},
        {"ss_num('-', 0.3, 1, 0.1, 1, 3, 1, 'numeric')", "0.2"},
        {"ss_num('*', 0.1, 1, 0.2, 1, 5, 2, 'numeric')", "0.02"},
        {"ss_num('*', 12, 0, 3, 0, 10, 0, 'numeric')", "36"},
        {"ss_num('*', 1.5, 1, 3, 0, 5, 1, 'numeric')", "4.5"},
        // money 800.00 / 3 keeps its four decimals
        {"ss_num('/', 800, 4, 3, 0, 19, 4, 'money')", "266.6667"},
        {"ss_num('/', 1, 0, 3, 0, 8, 6, 'numeric')", "0.333333"},
        {"ss_num('/', 2.0, 1, 3, 0, 8, 6, 'numeric')", "0.666667"},
        {"ss_num('/', -2.0, 1, 3, 0, 8, 6, 'numeric')", "-0.666667"},
        {"ss_num('/', 10, 0, 4, 0, 11, 0, 'numeric')", "3"},
        // the remainder has the dividend's sign
        {"ss_num('%', 7.5, 1, 2, 0, 2, 1, 'numeric')", "1.5"},
        {"ss_num('%', -7.5, 1, 2, 0, 2, 1, 'numeric')", "-1.5"},
        {"ss_num('%', 7, 0, -3, 0, 1, 0, 'numeric')", "1"},
        // texts are read exactly; operands are first rounded to their scales
        {"ss_num('+', '1.5', 1, 1, 0, 3, 1, 'numeric')", "2.5"},
        {"ss_num('+', 2.675, 3, 0, 0, 5, 3, 'numeric')", "2.675"},
        // fifteen significant digits come back exact from the double
        {"ss_num('+', 123456789012.345, 3, 0.001, 3, 16, 3, 'numeric')", "123456789012.346"},
        {"ss_num('-', 0.000000000000001, 15, 0, 0, 16, 15, 'numeric')", "1.0e-15"},
        {"ss_num('+', NULL, 0, 1, 0, 10, 0, 'numeric')", "NULL"},
        {"ss_num('+', 1, 0, NULL, 0, 10, 0, 'numeric')", "NULL"},
        // the largest money still fits
        {"ss_num('+', '922337203685477.5806', 4, '0.0001', 4, 19, 4, 'money') > 0", "1"},
        {"ss_num('+', '214748.3646', 4, '0.0001', 4, 10, 4, 'smallmoney')", "214748.3647"},
    });
    compruebaErrores({
        {"ss_num('+', 999.99, 2, 0.01, 2, 5, 2, 'numeric')", 8115,
         "Arithmetic overflow error converting expression to data type numeric."},
        {"ss_num('+', '922337203685477.5807', 4, '0.0001', 4, 19, 4, 'money')", 8115,
         "Arithmetic overflow error converting expression to data type money."},
        {"ss_num('+', '214748.3647', 4, '0.0001', 4, 10, 4, 'smallmoney')", 8115,
         "Arithmetic overflow error converting expression to data type smallmoney."},
        {"ss_num('/', 1, 0, 0, 0, 10, 0, 'numeric')", 8134, "Divide by zero error encountered."},
        {"ss_num('%', 1.5, 1, 0.0, 1, 2, 1, 'numeric')", 8134, "Divide by zero error encountered."},
        {"ss_num('+', 'dos', 0, 1, 0, 10, 0, 'numeric')", 8114, "Error converting data type varchar to numeric."},
    });
}

TEST_F(Tipado, AritmeticaEnteraEnElTipoDelResultado)
{
    comprueba({
        {"ss_ent('+', 2147483646, 1, 'int')", "2147483647"},
        {"ss_ent('-', -2147483647, 1, 'int')", "-2147483648"},
        {"ss_ent('*', 3000000000, 3, 'bigint')", "9000000000"},
        {"ss_ent('/', -7, 2, 'int')", "-3"},
        {"ss_ent('%', -7, 2, 'int')", "-1"},
        {"ss_ent('%', 7, -2, 'int')", "1"},
        {"ss_ent('+', 250, 5, 'tinyint')", "255"},
        {"ss_ent('&', 12, 10, 'int')", "8"},
        {"ss_ent('|', 12, 10, 'int')", "14"},
        {"ss_ent('^', 12, 10, 'int')", "6"},
        {"ss_ent('^', 255, -1, 'tinyint')", "0"},
        {"ss_ent('/', NULL, 2, 'int')", "NULL"},
    });
    compruebaErrores({
        {"ss_ent('+', 2147483647, 1, 'int')", 8115, "Arithmetic overflow error converting expression to data type int."},
        {"ss_ent('-', -2147483648, 1, 'int')", 8115, "Arithmetic overflow error converting expression to data type int."},
        {"ss_ent('-', 0, 1, 'tinyint')", 8115, "Arithmetic overflow error converting expression to data type tinyint."},
        {"ss_ent('+', 255, 1, 'tinyint')", 8115, "Arithmetic overflow error converting expression to data type tinyint."},
        {"ss_ent('*', 32767, 2, 'smallint')", 8115,
         "Arithmetic overflow error converting expression to data type smallint."},
        {"ss_ent('/', -9223372036854775808, -1, 'bigint')", 8115,
         "Arithmetic overflow error converting expression to data type bigint."},
        {"ss_ent('+', 9223372036854775807, 1, 'bigint')", 8115,
         "Arithmetic overflow error converting expression to data type bigint."},
        {"ss_ent('/', 1, 0, 'int')", 8134, "Divide by zero error encountered."},
        {"ss_ent('%', 1, 0, 'int')", 8134, "Divide by zero error encountered."},
    });
}

TEST_F(Tipado, AritmeticaDeFloat)
{
    comprueba({
        {"ss_flt('/', 1, 4)", "0.25"},
        {"ss_flt('+', 0.5, 0.25)", "0.75"},
        {"ss_flt('*', 1.5, 2)", "3.0"},
        {"ss_flt('-', NULL, 2)", "NULL"},
    });
    compruebaErrores({
        {"ss_flt('/', 1.0, 0)", 8134, "Divide by zero error encountered."},
        {"ss_flt('*', 1e308, 10)", 8115, "Arithmetic overflow error converting expression to data type float."},
        {"ss_flt('%', 5.5, 2)", 402, "The data types float and float are incompatible in the modulo operator."},
    });
}

// The examples of ROUND's documentation: the result keeps the scale of the
// argument's type, and overflows where that type cannot hold it.
TEST_F(Tipado, RoundComoElServidor)
{
    comprueba({
        {"ss_round(123.9994, 3, 0, 7, 4)", "123.999"},
        {"ss_round(123.9995, 3, 0, 7, 4)", "124.0"},
        {"ss_round(123.4545, 2, 0, 7, 4)", "123.45"},
        {"ss_round(123.45, -2, 0, 5, 2)", "100.0"},
        {"ss_round(1234.5678, -2, 0, 8, 4)", "1200.0"},
        {"ss_round(748.58, -1, 0, 5, 2)", "750.0"},
        {"ss_round(748.58, -2, 0, 5, 2)", "700.0"},
        {"ss_round(748.58, -4, 0, 5, 2)", "0.0"},
        {"ss_round(150.75, 0, 0, 5, 2)", "151.0"},
        {"ss_round(150.75, 0, 1, 5, 2)", "150.0"},
        {"ss_round(-2.5, 0, 0, 2, 1)", "-3.0"},
        {"ss_round(1234, -2, 0, 10, 0)", "1200"},
        {"ss_round(2.5, 0, 0, 0, 0)", "3.0"},
        {"ss_round(2.345, 2, 1, 0, 0)", "2.34"},
        {"ss_round(NULL, 2, 0, 5, 2)", "NULL"},
    });
    compruebaErrores({
        {"ss_round(748.58, -3, 0, 5, 2)", 8115, "Arithmetic overflow error converting expression to data type numeric."},
        {"ss_round(9.6, 0, 0, 2, 1)", 8115, "Arithmetic overflow error"},
    });
}

TEST_F(Tipado, ConversionesANumeros)
{
    comprueba({
        {"ss_a_num('12.345', 5, 2, 'numeric')", "12.35"},
        {"ss_a_num(' -12.345 ', 5, 2, 'numeric')", "-12.35"},
        {"ss_a_num(2.5, 1, 0, 'numeric')", "3"},
        {"ss_a_num(10.3496847, 19, 4, 'money')", "10.3497"},
        {"ss_a_num('1250.50', 19, 4, 'money')", "1250.5"},
        {"ss_a_num('214748.3647', 10, 4, 'smallmoney')", "214748.3647"},
        {"ss_a_num(NULL, 5, 2, 'numeric')", "NULL"},
        {"ss_a_ent('12', 'int')", "12"},
        {"ss_a_ent(' -12 ', 'smallint')", "-12"},
        {"ss_a_ent(2.9, 'int')", "2"},
        {"ss_a_ent(-2.9, 'int')", "-2"},
        {"ss_a_ent(10.6496, 'int')", "10"},
        {"ss_a_ent(2147483647, 'int')", "2147483647"},
        {"ss_a_ent(255, 'tinyint')", "255"},
        {"ss_a_ent('TRUE', 'bit')", "1"},
        {"ss_a_ent('false', 'bit')", "0"},
        {"ss_a_ent(5, 'bit')", "1"},
        {"ss_a_ent(0.0, 'bit')", "0"},
        // money rounds where the other numbers are truncated
        {"ss_a_ent(2.5, 'int', 'money')", "3"},
        {"ss_a_ent(-2.5, 'int', 'money')", "-3"},
        {"ss_a_ent(2.5, 'int', 'numeric')", "2"},
        {"ss_a_ent(NULL, 'int')", "NULL"},
    });
    compruebaErrores({
        {"ss_a_num('abc', 5, 2, 'numeric')", 8114, "Error converting data type varchar to numeric."},
        {"ss_a_num('1e3', 10, 2, 'numeric')", 8114, "Error converting data type varchar to numeric."},
        {"ss_a_num('123.4', 4, 2, 'numeric')", 8115, "Arithmetic overflow error converting varchar to data type numeric."},
        {"ss_a_num(123.4, 4, 2, 'numeric')", 8115, "Arithmetic overflow error converting numeric to data type numeric."},
        {"ss_a_num(100, 4, 2, 'numeric')", 8115, "Arithmetic overflow error converting int to data type numeric."},
        {"ss_a_num('x', 19, 4, 'money')", 235, "Cannot convert a char value to money."},
        {"ss_a_num('214748.3648', 10, 4, 'smallmoney')", 8115,
         "Arithmetic overflow error converting expression to data type smallmoney."},
        {"ss_a_ent('6x', 'int')", 245, "Conversion failed when converting the varchar value '6x' to data type int."},
        {"ss_a_ent('1.5', 'int')", 245, "Conversion failed when converting the varchar value '1.5' to data type int."},
        {"ss_a_ent('dos', 'bit')", 245, "Conversion failed when converting the varchar value 'dos' to data type bit."},
        {"ss_a_ent(2147483648, 'int')", 8115, "Arithmetic overflow error converting expression to data type int."},
        {"ss_a_ent(256, 'tinyint')", 8115, "Arithmetic overflow error converting expression to data type tinyint."},
        {"ss_a_ent(-1, 'tinyint')", 8115, "Arithmetic overflow error converting expression to data type tinyint."},
    });
}

// CONVERT(varchar, x, style) of each type: money writes two decimals but in
// style 2, decimal keeps its scale, float six significant digits with the
// server's three-digit exponent.
TEST_F(Tipado, TextosSegunElTipoDeOrigen)
{
    comprueba({
        {"ss_texto(15000, 'money', NULL, 30)", "'15000.00'"},
        {"ss_texto(15000, 'money', 0, 30)", "'15000.00'"},
        {"ss_texto(1250.5, 'money', 1, 30)", "'1,250.50'"},
        {"ss_texto(1234567.891, 'money', 1, 30)", "'1,234,567.89'"},
        {"ss_texto(-1234.5, 'money', 1, 30)", "'-1,234.50'"},
        {"ss_texto(999.5, 'money', 1, 30)", "'999.50'"},
        {"ss_texto(1250.5, 'money', 2, 30)", "'1250.5000'"},
        {"ss_texto(0.005, 'smallmoney', NULL, 30)", "'0.01'"},
        {"ss_texto(600, 'decimal(12,4)', NULL, 30)", "'600.0000'"},
        {"ss_texto(0.5, 'decimal(5,2)', NULL, 30)", "'0.50'"},
        {"ss_texto(-0.5, 'numeric(5,1)', NULL, 30)", "'-0.5'"},
        {"ss_texto(12, 'numeric(5,0)', NULL, 30)", "'12'"},
        {"ss_texto(12345, 'int', NULL, 30)", "'12345'"},
        {"ss_texto(-5, 'bigint', NULL, -1)", "'-5'"},
        {"ss_texto(7, 'bit', NULL, 30)", "'1'"},
        {"ss_texto(123456, 'int', NULL, 5)", "'*'"},
        {"ss_texto(1234567.0, 'float', NULL, 30)", "'1.23457e+006'"},
        {"ss_texto(1900000.0, 'float', NULL, 30)", "'1.9e+006'"},
        {"ss_texto(123456.0, 'float', NULL, 30)", "'123456'"},
        {"ss_texto(1.353954, 'float', NULL, 30)", "'1.35395'"},
        {"ss_texto(0.00001, 'float', NULL, 30)", "'1e-005'"},
        {"ss_texto(1234567.0, 'float', 1, 30)", "'1.2345670e+006'"},
        {"ss_texto(1234567.0, 'float', 2, 30)", "'1.234567000000000e+006'"},
        {"ss_texto(0.5, 'real', NULL, 30)", "'0.5'"},
        {"ss_texto('2025-02-01 00:00:00', 'datetime', NULL, 30)", "'Feb  1 2025 12:00AM'"},
        {"ss_texto('2025-02-01 13:05:00', 'smalldatetime', NULL, 30)", "'Feb  1 2025  1:05PM'"},
        {"ss_texto('2025-02-01 13:05:00', 'datetime', 103, 30)", "'01/02/2025'"},
        {"ss_texto('2025-02-01 13:05:09.007', 'datetime', 9, 30)", "'Feb  1 2025  1:05:09:007PM'"},
        {"ss_texto('2025-02-01 13:05:09.007', 'datetime', 113, 30)", "'01 Feb 2025 13:05:09:007'"},
        {"ss_texto('2025-02-01', 'datetime', 106, 30)", "'01 Feb 2025'"},
        {"ss_texto('2025-02-01', 'datetime', 107, 30)", "'Feb 01, 2025'"},
        {"ss_texto('2025-02-01', 'datetime', 102, 30)", "'2025.02.01'"},
        {"ss_texto('2025-02-01', 'datetime', 110, 30)", "'02-01-2025'"},
        {"ss_texto('2025-02-01', 'date', NULL, 30)", "'2025-02-01'"},
        {"ss_texto('2025-02-01 10:30:00.123', 'datetime2', NULL, 30)", "'2025-02-01 10:30:00.1230000'"},
        {"ss_texto('10:30:00', 'time', NULL, 30)", "'10:30:00.0000000'"},
        {"ss_texto('2025-02-01', 'datetime', 23, 3)", "'202'"},
        {"ss_texto('abcdef', 'varchar', NULL, 3)", "'abc'"},
        {"ss_texto('ñandú', 'nvarchar', NULL, 3)", "'ñan'"},
        {"ss_texto('ab', 'varchar', NULL, 4, 'char')", "'ab  '"},
        {"ss_texto('6f9619ff-8b86-d011-b42d-00c04fc964ff', 'uniqueidentifier', NULL, -1)",
         "'6F9619FF-8B86-D011-B42D-00C04FC964FF'"},
        {"ss_texto(NULL, 'int', NULL, 30)", "NULL"},
    });
    compruebaErrores({
        {"ss_texto(123456, 'int', NULL, 5, 'nvarchar')", 8115,
         "Arithmetic overflow error converting expression to data type nvarchar."},
        {"ss_texto(123.45, 'decimal(5,2)', NULL, 5)", 8115,
         "Arithmetic overflow error converting numeric to data type varchar."},
        {"ss_texto(15000, 'money', NULL, 5)", 8115, "Arithmetic overflow error converting expression to data type varchar."},
        {"ss_texto(1.123456789, 'float', NULL, 4)", 232, "Arithmetic overflow error for type varchar, value = 1.123457."},
        {"ss_texto('32/01/2025', 'datetime', NULL, 30)", 241, "Conversion failed when converting date and/or time"},
        {"ss_texto(1, 'geography', NULL, 30)", 243, "Type geography is not a defined system type."},
    });
}

// datetime keeps 1/300 s; a text without a style reads in the session's
// order (SET DATEFORMAT, day first until set); every literal form the server
// takes for datetime is read.
TEST_F(Tipado, FechasComoElServidor)
{
    comprueba({
        {"ss_fecha_mas('2025-02-01 00:00:00', 1)", "'2025-02-02 00:00:00'"},
        {"ss_fecha_mas('2025-02-01 00:00:00', 1.5)", "'2025-02-02 12:00:00'"},
        {"ss_fecha_mas('2025-02-01', -1)", "'2025-01-31 00:00:00'"},
        {"ss_fecha_mas(NULL, 1)", "NULL"},
        {"ss_fecha_resta('2025-02-02 12:00:00', '2025-02-01 00:00:00')", "'1900-01-02 12:00:00'"},
        {"ss_fecha_resta('2025-02-01', '2025-02-02')", "'1899-12-31 00:00:00'"},
        {"ss_fecha('2025-02-01 10:00:00.001')", "'2025-02-01 10:00:00'"},
        {"ss_fecha('2025-02-01 10:00:00.002')", "'2025-02-01 10:00:00.003'"},
        {"ss_fecha('2025-02-01 10:00:00.005')", "'2025-02-01 10:00:00.007'"},
        {"ss_fecha('2025-02-01 23:59:59.999')", "'2025-02-02 00:00:00'"},
        {"ss_fecha('2025-02-01 10:00:00.001', 'datetime2')", "'2025-02-01 10:00:00.001'"},
        {"ss_fecha('20250201')", "'2025-02-01 00:00:00'"},
        {"ss_fecha('2025-02-01T10:30:00')", "'2025-02-01 10:30:00'"},
        {"ss_fecha('2025-02-01 00:00:00.000')", "'2025-02-01 00:00:00'"},
        {"ss_fecha('01-02-2025')", "'2025-02-01 00:00:00'"},
        {"ss_fecha('1/2/2025')", "'2025-02-01 00:00:00'"},
        {"ss_fecha('Feb 1 2025')", "'2025-02-01 00:00:00'"},
        {"ss_fecha('Febrero 1, 2025 10:30AM')", "'2025-02-01 10:30:00'"},
        {"ss_fecha('15 Ene 2025')", "'2025-01-15 00:00:00'"},
        {"ss_fecha('1 Feb 2025')", "'2025-02-01 00:00:00'"},
    });
    ejecuta("SELECT ss_dateformat('mdy')");
    comprueba({
        {"ss_fecha('01/02/2025')", "'2025-01-02 00:00:00'"},
        {"ss_fecha('2025-02-01')", "'2025-02-01 00:00:00'"}, // year first stays year, month, day
        {"ss_fecha_mas('1/2/2025', 0)", "'2025-01-02 00:00:00'"},
        {"ss_texto('01/02/2025', 'datetime', 103, 30)", "'02/01/2025'"},
        {"ss_convertir('datetime', '01/02/2025', 103)", "'2025-02-01 00:00:00'"}, // a style decides itself
    });
    ejecuta("SELECT ss_dateformat('ydm')");
    comprueba({{"ss_fecha('25/01/02')", "'2025-02-01 00:00:00'"}});
    ejecuta("SELECT ss_dateformat('dym')");
    comprueba({{"ss_fecha('01/2025/02')", "'2025-02-01 00:00:00'"}});
    compruebaErrores({
        {"ss_dateformat('xyz')", 2741, "SET DATEFORMAT date order 'xyz' is invalid."},
        {"ss_fecha_mas('2025-02-30', 1)", 241, "Conversion failed when converting date and/or time"},
        {"ss_fecha_mas('9999-12-31', 1)", 517, "Adding a value to a 'datetime' column caused an overflow."},
    });
}

// A login reads and writes month names in its own language, takes its date
// order and first day of the week from it: Spanish until SET LANGUAGE.
TEST_F(Tipado, ElIdiomaDeLaSesionDaNombresOrdenYPrimerDia)
{
    comprueba({
        {"ss_language()", "'Español'"},
        {"ss_datefirst()", "1"},
        {"ss_texto('2025-01-15 10:30:00', 'datetime', 106, 30)", "'15 Ene 2025'"},
        {"ss_texto('2025-12-05 18:05:00', 'datetime', 0, 30)", "'Dic  5 2025  6:05PM'"},
        {"ss_datename('month', '2025-08-05')", "'Agosto'"},
        {"ss_datename('weekday', '2025-08-05')", "'Martes'"},
        {"ss_datepart('weekday', '2025-08-05')", "2"},
        {"ss_fecha('Aug 5 2025')", "<Conversion failed when converting date and/or time from character string.>"},
        {"ss_fecha('05/08/2025')", "'2025-08-05 00:00:00'"},
    });
    ejecuta("SELECT ss_language('us_english')");
    comprueba({
        {"ss_language()", "'us_english'"},
        {"ss_datefirst()", "7"},
        {"ss_texto('2025-01-15 10:30:00', 'datetime', 106, 30)", "'15 Jan 2025'"},
        {"ss_datename('month', '2025-08-05')", "'August'"},
        {"ss_datename('weekday', '2025-08-05')", "'Tuesday'"},
        {"ss_datepart('weekday', '2025-08-05')", "3"},
        {"ss_datepart('week', '2025-01-05')", "2"}, // a Sunday starts week 2
        {"ss_fecha('Aug 5 2025')", "'2025-08-05 00:00:00'"},
        {"ss_fecha('05/08/2025')", "'2025-05-08 00:00:00'"},
    });
    ejecuta("SELECT ss_datefirst(3)");
    comprueba({{"ss_datepart('weekday', '1999-01-01')", "3"}, {"ss_datediff('week', '2025-01-04', '2025-01-05')", "1"}});
    ejecuta("SELECT ss_language('Spanish')");
    comprueba({{"ss_datefirst()", "1"}, {"ss_datepart('week', '2025-01-05')", "1"}});
    EXPECT_NE(valor("ss_language('Klingon')").find("is not supported by the embedded database"), std::string::npos);
    EXPECT_NE(valor("ss_datefirst(8)").find("DATEFIRST"), std::string::npos);
}

// The collations over Windows-1252: case-sensitive ones put lower case
// first, and a difference of letters weighs more than one of accent, which
// weighs more than one of case; BIN is the code page's order. Trailing
// blanks never count.
TEST_F(Tipado, IntercalacionesDelServidor)
{
    comprueba({
        {"'a' = 'A' COLLATE CS_AS", "0"},
        {"'a' < 'A' COLLATE CS_AS", "1"},
        {"'A' < 'b' COLLATE CS_AS", "1"},
        {"'ab' < 'Ab' COLLATE CS_AS", "1"},
        {"'Ab' < 'ac' COLLATE CS_AS", "1"},
        {"'Ab' < 'áb' COLLATE CS_AS", "1"},
        {"'a ' = 'a' COLLATE CS_AS", "1"},
        {"'á' = 'A' COLLATE CI_AI", "1"},
        {"'Ñandu' = 'ñandú' COLLATE CI_AI", "1"},
        {"'Á' = 'á' COLLATE CS_AI", "0"},
        {"'á' = 'a' COLLATE CS_AI", "1"},
        {"'a ' = 'a' COLLATE BIN", "1"},
        {"'a' = 'A' COLLATE BIN", "0"},
        {"'B' < 'a' COLLATE BIN", "1"},
        {"'Z' < 'Š' COLLATE BIN", "1"},
        {"'€' < 'ß' COLLATE BIN", "1"},
        {"'á' = 'a' COLLATE CI_AS", "0"},
    });
    ejecuta("CREATE TABLE T (X TEXT)");
    ejecuta("INSERT INTO T VALUES ('b'), ('A'), ('a'), ('B'), ('á')");
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT group_concat(X, '|') FROM (SELECT X FROM T ORDER BY X COLLATE CS_AS)", -1,
                                 &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "a|A|á|b|B");
    sqlite3_finalize(st);
}

TEST_F(Tipado, BusquedasSegunLaIntercalacion)
{
    comprueba({
        {"ss_like('Abc', 'a%', NULL, 'CS_AS')", "0"},
        {"ss_like('Abc', 'a%', NULL, 'CI_AS')", "1"},
        {"ss_like('Abc', 'a%', NULL, 'Latin1_General_CI_AS')", "1"},
        {"ss_like('ábc', 'a%', NULL, 'CI_AI')", "1"},
        {"ss_like('ábc', 'a%', NULL, NULL)", "0"},
        {"ss_like('10%', '10!%', '!', 'BIN')", "1"},
        {"ss_like('B', '[a-c]', NULL, 'CS_AS')", "1"},
        {"ss_like('B', '[a-c]', NULL, 'BIN')", "0"},
        {"ss_like('abc  ', 'abc', NULL, 'BIN')", "1"},
        {"ss_like(NULL, 'a', NULL, NULL)", "NULL"},
        {"ss_charindex('b', 'ABCabc', NULL, NULL)", "2"},
        {"ss_charindex('b', 'ABCabc', 3, NULL)", "5"},
        {"ss_charindex('b', 'ABCabc', NULL, 'CS_AS')", "5"},
        {"ss_charindex('bc', 'ABCabc', -4, 'CI_AS')", "2"},
        {"ss_charindex('z', 'abc', 1, NULL)", "0"},
        {"ss_charindex('', 'abc', 1, NULL)", "0"},
        {"ss_charindex(NULL, 'abc', 1, NULL)", "NULL"},
        {"ss_replace('ABCabc', 'b', 'x', NULL)", "'AxCaxc'"},
        {"ss_replace('ABCabc', 'b', 'x', 'CS_AS')", "'ABCaxc'"},
        {"ss_replace('aaa', 'aa', 'b', NULL)", "'ba'"},
        {"ss_replace('canción', 'CION', 'ción', 'CI_AI')", "'canción'"},
        {"ss_replace('abc', NULL, 'x', NULL)", "NULL"},
        {"ss_patindex('%ter%', 'interesting', NULL)", "3"},
        {"ss_patindex('%ing', 'interesting', NULL)", "9"},
        {"ss_patindex('ter%', 'interesting', NULL)", "0"},
        {"ss_patindex('%[0-9]%', 'abc5d', NULL)", "4"},
        {"ss_patindex('%TER%', 'interesting', 'CS_AS')", "0"},
    });
    compruebaErrores({
        {"ss_like('x', 'x', NULL, 'XX_YY')", 448, "Invalid collation 'XX_YY'."},
        {"ss_like('x', 'x', 'ab', NULL)", 506, "The invalid escape character"},
    });
}

TEST_F(Tipado, TextosComoElServidor)
{
    comprueba({
        {"ss_upper('ñandú')", "'ÑANDÚ'"},
        {"ss_upper('ÿšœž')", "'ŸŠŒŽ'"},
        {"ss_lower('ŸŠŒŽ')", "'ÿšœž'"},
        {"ss_upper('straße')", "'STRAßE'"},
        {"ss_upper(NULL)", "NULL"},
        {"ss_substring('abcdef', -1, 3)", "'a'"},
        {"ss_substring('abcdef', 2, 3)", "'bcd'"},
        {"ss_substring('abc', 5, 2)", "''"},
        {"ss_substring('abc', 0, 1)", "''"},
        {"ss_substring('abc', 2, 100)", "'bc'"},
        {"ss_substring('ñandú', 4, 2)", "'dú'"},
        {"ss_substring(NULL, 1, 2)", "NULL"},
        {"ss_datalength('ñandú', 0)", "5"},
        {"ss_datalength('ñandú', 1)", "10"},
        {"ss_datalength('ab  ', 0)", "4"},
        {"ss_len('ab  ')", "2"},
        {"ss_len('  ab')", "4"},
        {"ss_len('')", "0"},
        {"ss_len(NULL)", "NULL"},
        {"ss_largo('abc', 3)", "'abc'"},
        {"ss_largo('abc   ', 3)", "'abc'"},
        {"ss_largo('ab', 5)", "'ab'"},
        {"ss_largo('ñandú', 5)", "'ñandú'"},
        {"ss_largo(NULL, 5)", "NULL"},
    });
    compruebaErrores({
        {"ss_substring('abc', 1, -1)", 537, "Invalid length parameter passed to the substring function."},
        {"ss_largo('abcd', 3)", 8152, "String or binary data would be truncated."},
        {"ss_largo('ab c', 2)", 8152, "String or binary data would be truncated."},
    });
}

// FOR XML's text: escaped as element content, in its element when named;
// what its form is not known for is refused.
TEST_F(Tipado, TextoDeForXml)
{
    comprueba({
        {"ss_xml('a&b<c>\"d''e', '', 1)", "'a&amp;b&lt;c&gt;\"d''e'"},
        {"ss_xml('a' || char(13) || char(10) || char(9) || 'b', '', 1)", "'a&#x0D;\n\tb'"},
        {"ss_xml('ñandú', 'Nombre', 1)", "'<Nombre>ñandú</Nombre>'"},
        {"ss_xml('<a>x&amp;</a>', 'row', 0)", "'<row><a>x&amp;</a></row>'"},
        {"ss_xml('', '', 1)", "''"},
        {"ss_xml('a&b<' || char(13), '', 2)", "'a&b<\r'"},
        {"ss_xml(NULL, 'a', 1)", "NULL"},
    });
    EXPECT_EQ(error("ss_xml('a' || char(1), '', 1)").Description,
              u"A control character in FOR XML is not supported by the embedded database.");
    EXPECT_EQ(error("ss_xml('', 'a', 1)").Description, u"An empty element in FOR XML is not supported by the embedded database.");
    EXPECT_EQ(error("ss_xml('', 'row', 0)").Description, u"An empty element in FOR XML is not supported by the embedded database.");
}

// STRING_AGG ... WITHIN GROUP: the values in the keys' order, numbers as
// numbers, texts under the key's collation, NULL keys first, NULL values left out.
TEST_F(Tipado, StringAggEnElOrdenDeSusClaves)
{
    ejecuta("CREATE TABLE o (v TEXT, k, t TEXT); INSERT INTO o VALUES ('a', 2, 'b'), ('b', NULL, 'A'), ('c', 10, 'a'), "
            "(NULL, 1, 'z')");
    comprueba({
        {"(SELECT ss_string_agg(v, ',', 0, NULL, k) FROM o)", "'b,a,c'"},
        {"(SELECT ss_string_agg(v, ',', 1, NULL, k) FROM o)", "'c,a,b'"},
        {"(SELECT ss_string_agg(v, '-', 1, 'CI_AS', t, 0, NULL, k) FROM o)", "'a-b-c'"},
        {"(SELECT ss_string_agg(v, '-', 0, 'CS_AS', t) FROM o)", "'c-b-a'"},
        {"(SELECT ss_string_agg(v, ',', 0, NULL, k) FROM o WHERE v IS NULL)", "NULL"},
    });
}

TEST_F(Tipado, ErroresDelServidorConSuNumero)
{
    const Error e = error("ss_error(50000, 'The embedded database does not support PIVOT.')");
    EXPECT_EQ(e.NativeError, 50000);
    EXPECT_EQ(e.Description, u"The embedded database does not support PIVOT.");
    EXPECT_EQ(e.Number, DB_E_ERRORSINCOMMAND);
    const Error cero = error("ss_error(8134, 'Divide by zero error encountered.')");
    EXPECT_EQ(cero.NativeError, 8134);
    EXPECT_EQ(cero.Number, DB_E_ERRORSINCOMMAND);
    EXPECT_EQ(cero.SQLState, u"22012");
}

} // namespace
