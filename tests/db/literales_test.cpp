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

} // namespace
