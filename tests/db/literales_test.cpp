#include "comun/ayudas.h"
#include "db/db_dll.h"
#include "platform/vb.h"

#include <gtest/gtest.h>

namespace {

using prueba::SeparadorDecimal;

TEST(Literales, ClasificadoresPorCodigoYTextoNumerico)
{
    EXPECT_TRUE(DB_Dll::adodate(Variant(std::int32_t(135))));
    EXPECT_TRUE(DB_Dll::adodate(Variant(u"7")));
    EXPECT_FALSE(DB_Dll::ADONumeric(Variant(std::int32_t(6))));
    EXPECT_TRUE(DB_Dll::ADOCurrency(Variant(std::int32_t(6))));
    EXPECT_TRUE(DB_Dll::ADONumeric(Variant(std::int32_t(131))));
    EXPECT_TRUE(DB_Dll::ADOText(Variant(std::int32_t(202))));
    EXPECT_FALSE(DB_Dll::ADOText(Variant(u"texto")));
    EXPECT_EQ(DB_Dll::ADOComilla(Variant(std::int32_t(135))), u"'");
    EXPECT_EQ(DB_Dll::ADOComilla(Variant(std::int32_t(200))), u"'");
    EXPECT_EQ(DB_Dll::ADOComilla(Variant(std::int32_t(6))), u"");
    EXPECT_EQ(DB_Dll::ADOComilla(Variant(std::int32_t(11))), u"");
    EXPECT_EQ(DB_Dll::ADOComilla(Variant()), u"");
}

TEST(Literales, ClasificadoresContestanSiempreSinRedondear)
{
    using prueba::NumeroDeError;
    // Numbers no type code can be: an answer, never an error.
    const Variant grandes[] = {Variant(u"99999999999"), Variant(1e12), Variant(-1e12), Variant(std::int64_t(1) << 40),
                               Variant(u"1e300"), Variant(u"-99999999999"), Variant::Null(), Variant(u""), Variant(true)};
    for (const Variant& v : grandes) {
        EXPECT_EQ(NumeroDeError([&] {
                      EXPECT_FALSE(DB_Dll::adodate(v));
                      EXPECT_FALSE(DB_Dll::ADOText(v));
                      EXPECT_FALSE(DB_Dll::ADONumeric(v));
                      EXPECT_FALSE(DB_Dll::ADOCurrency(v));
                      EXPECT_FALSE(DB_Dll::ADOBoolean(v));
                      EXPECT_EQ(DB_Dll::ADOComilla(v), u"");
                  }),
                  0);
    }
    // A fraction names no code: 7.4 is not the date type 7.
    EXPECT_FALSE(DB_Dll::adodate(Variant(u"7.4")));
    EXPECT_FALSE(DB_Dll::adodate(Variant(7.4)));
    EXPECT_EQ(DB_Dll::ADOComilla(Variant(u"7.4")), u"");
    EXPECT_FALSE(DB_Dll::ADOText(Variant(8.5)));
    EXPECT_TRUE(DB_Dll::adodate(Variant(7.0)));
    {
        SeparadorDecimal coma(u',');
        EXPECT_FALSE(DB_Dll::adodate(Variant(u"7,4")));
        EXPECT_TRUE(DB_Dll::ADOText(Variant(u" 200 ")));
    }
}

TEST(Literales, BooleanoSoloElCodigoOnce)
{
    EXPECT_TRUE(DB_Dll::ADOBoolean(Variant(std::int32_t(11))));
    EXPECT_TRUE(DB_Dll::ADOBoolean(Variant(u"11")));
    EXPECT_TRUE(DB_Dll::ADOBoolean(Variant(std::int16_t(11))));
    for (int c : {0, 2, 3, 6, 7, 8, 12, 111, 128, 135, 200, -11})
        EXPECT_FALSE(DB_Dll::ADOBoolean(Variant(std::int32_t(c)))) << c;
    EXPECT_FALSE(DB_Dll::ADOBoolean(Variant(true)));
    EXPECT_FALSE(DB_Dll::ADOBoolean(Variant(u"once")));
    EXPECT_FALSE(DB_Dll::ADOBoolean(Variant()));
    EXPECT_FALSE(DB_Dll::ADONumeric(Variant(std::int32_t(11))));
    EXPECT_FALSE(DB_Dll::ADOCurrency(Variant(std::int32_t(11))));
}

TEST(Literales, SQLValueNulosYMarcas)
{
    DB_Dll db;
    EXPECT_EQ(db.SQLValue(Variant::Null(), QStringLiteral("@")).toString(), u"0");
    EXPECT_EQ(db.SQLValue(Variant::Null(), QStringLiteral("'")).toString(), u"NULL");
    EXPECT_EQ(db.SQLValue(Variant::Null(), QString()).toString(), u"NULL");
    EXPECT_EQ(db.SQLValue(Variant(u"O'Brien"), QStringLiteral("'")).toString(), u"'O'Brien'");
    EXPECT_EQ(db.SQLValue(Variant(u"abc"), QStringLiteral("@")).toString(), u"0");
    EXPECT_EQ(db.SQLValue2(Variant(std::int32_t(12)), QString()).toString(), u"12");
}

TEST(Literales, NumerosConPuntoAunConComaRegional)
{
    DB_Dll db;
    {
        SeparadorDecimal coma(u',');
        EXPECT_EQ(db.SQLValue(Variant(2.5), QStringLiteral("@")).toString(), u"2.5");
        EXPECT_EQ(db.SQLValue(Variant(u"1234,75"), QStringLiteral("@")).toString(), u"1234.75");
    }
    SeparadorDecimal punto(u'.');
    EXPECT_EQ(db.SQLValue(Variant(2.5), QStringLiteral("@")).toString(), u"2.5");
}

TEST(Literales, NombresConCorchetesDuenoYArchivo)
{
    EXPECT_EQ(DB_Dll::AddBrackets(QStringLiteral("MI TABLA")), u"[MI TABLA]");
    EXPECT_EQ(DB_Dll::AddBrackets(QStringLiteral("[MI TABLA]")), u"[MI TABLA]");
    EXPECT_EQ(DB_Dll::AddBrackets(QStringLiteral("TABLA")), u"TABLA");
    EXPECT_EQ(DB_Dll::StripBrackets(DB_Dll::AddBrackets(QStringLiteral("MI TABLA"))), u"MI TABLA");
    EXPECT_EQ(DB_Dll::StripBrackets(QStringLiteral("[")), u"");
    EXPECT_EQ(DB_Dll::StripConnect(QStringLiteral("CLIENTES -> SERVIDOR")), u"CLIENTES");
    EXPECT_EQ(DB_Dll::StripConnect(QStringLiteral("->X")), u"");
    EXPECT_EQ(DB_Dll::StripFileName(QStringLiteral("C:\\Datos\\Base.mdb")), u"C:\\Datos");
    EXPECT_EQ(DB_Dll::StripFileName(QStringLiteral("Base.mdb")), u"");

    QString uno = QStringLiteral("dbo.CLIENTES");
    EXPECT_EQ(DB_Dll::stSTF(uno, true), u"CLIENTES");
    EXPECT_EQ(DB_Dll::stSTF(uno, false), u"dbo");
    EXPECT_EQ(uno, u"dbo.CLIENTES");
    QString dos = QStringLiteral("BASE.dbo.CLIENTES");
    EXPECT_EQ(DB_Dll::stSTF(dos, true), u"dbo.CLIENTES");
    EXPECT_EQ(dos, u"dbo.CLIENTES");
}

TEST(Literales, StripOwnerQuitaHastaElPrimerPuntoYLoDevuelveEnElArgumento)
{
    QString nombre = QStringLiteral("dbo.CLIENTES");
    EXPECT_EQ(DB_Dll::StripOwner(nombre), u"CLIENTES");
    EXPECT_EQ(nombre, u"CLIENTES");
    // Again on the result: no dot left, nothing changes.
    EXPECT_EQ(DB_Dll::StripOwner(nombre), u"CLIENTES");
    EXPECT_EQ(nombre, u"CLIENTES");

    QString tres = QStringLiteral("BASE.dbo.CLIENTES");
    EXPECT_EQ(DB_Dll::StripOwner(tres), u"dbo.CLIENTES");
    EXPECT_EQ(tres, u"dbo.CLIENTES");
    QString alFinal = QStringLiteral("CLIENTES.");
    EXPECT_EQ(DB_Dll::StripOwner(alFinal), u"");
    EXPECT_EQ(alFinal, u"");
    QString alPrincipio = QStringLiteral(".CLIENTES");
    EXPECT_EQ(DB_Dll::StripOwner(alPrincipio), u"CLIENTES");
    QString vacio;
    EXPECT_EQ(DB_Dll::StripOwner(vacio), u"");
}

} // namespace
