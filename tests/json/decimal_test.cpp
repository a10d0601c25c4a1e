#include "platform/decimal.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
Decimal lee(const char16_t* t, QChar sep = u'.')
{
    auto d = Decimal::parse(QString::fromUtf16(t), sep);
    EXPECT_TRUE(d.has_value()) << QString::fromUtf16(t).toStdString();
    return d.value_or(Decimal());
}
QString texto(const char16_t* t, QChar sep = u'.') { return lee(t, sep).toString(sep); }
} // namespace

TEST(Decimal, ReadsPlainAndExponentFormsUnderTheGivenSeparator)
{
    EXPECT_EQ(texto(u"0"), u"0");
    EXPECT_EQ(texto(u"-12.50"), u"-12.5");
    EXPECT_EQ(texto(u" +7 "), u"7");
    EXPECT_EQ(texto(u".5"), u"0.5");
    EXPECT_EQ(texto(u"5."), u"5");
    EXPECT_EQ(texto(u"1e5"), u"100000");
    EXPECT_EQ(texto(u"1.5E-3"), u"0.0015");
    EXPECT_EQ(texto(u"25E+2"), u"2500");
    EXPECT_EQ(texto(u"0.000e99999999999"), u"0");
    EXPECT_EQ(texto(u"1,25", u','), u"1,25");
    EXPECT_EQ(lee(u"1,25", u',').scale(), 2);
}

TEST(Decimal, RejectsWhatIsNotANumberAndTellsOverflowApart)
{
    bool desborde = true;
    for (auto t : {u"", u"-", u".", u"e5", u"1e", u"1e+", u"1.2.3", u"1,5", u"--1", u"12a", u"0x10", u"1 2"}) {
        EXPECT_FALSE(Decimal::parse(QString::fromUtf16(t), u'.', &desborde).has_value()) << QString::fromUtf16(t).toStdString();
        EXPECT_FALSE(desborde);
    }
    EXPECT_FALSE(Decimal::parse(u"1e29", u'.', &desborde).has_value());
    EXPECT_TRUE(desborde);
    EXPECT_FALSE(Decimal::parse(u"79228162514264337593543950336", u'.', &desborde).has_value());
    EXPECT_TRUE(desborde);
}

TEST(Decimal, KeepsTwentyEightPlacesAndRoundsTheRestHalfToEven)
{
    EXPECT_EQ(texto(u"79228162514264337593543950335"), u"79228162514264337593543950335");
    EXPECT_EQ(texto(u"-79228162514264337593543950335"), u"-79228162514264337593543950335");
    EXPECT_EQ(texto(u"0.0000000000000000000000000001"), u"0.0000000000000000000000000001");
    EXPECT_EQ(texto(u"0.00000000000000000000000000005"), u"0");
    EXPECT_EQ(texto(u"0.00000000000000000000000000015"), u"0.0000000000000000000000000002");
    EXPECT_EQ(texto(u"1e-400"), u"0");
    EXPECT_EQ(texto(u"1.23456789012345678901234567891"), u"1.2345678901234567890123456789");
    EXPECT_EQ(texto(u"0.00000000000000000000000000025"), u"0.0000000000000000000000000002");
    EXPECT_EQ(texto(u"0.000000000000000000000000000250001"), u"0.0000000000000000000000000003");
    EXPECT_EQ(texto(u"9.99999999999999999999999999999"), u"10");
}

TEST(Decimal, ComparesByValue)
{
    EXPECT_EQ(lee(u"1.50"), lee(u"1.5"));
    EXPECT_EQ(lee(u"-0"), lee(u"0"));
    EXPECT_LT(lee(u"-2"), lee(u"-1.5"));
    EXPECT_LT(lee(u"0.1"), lee(u"0.10000000000000000000000001"));
    EXPECT_GT(lee(u"79228162514264337593543950335"), lee(u"7922816251426433759354395033.5"));
    EXPECT_EQ(Decimal::fromInt64(-42), lee(u"-42.000"));
    EXPECT_EQ(Decimal::fromInt64(INT64_MIN).toString(), u"-9223372036854775808");
}

TEST(Decimal, ConvertsToAndFromDoubleWithFifteenDigits)
{
    EXPECT_EQ(Decimal::fromDouble(0.1)->toString(), u"0.1");
    EXPECT_EQ(Decimal::fromDouble(-1234.5678)->toString(), u"-1234.5678");
    EXPECT_EQ(Decimal::fromDouble(1.0 / 3)->toString(), u"0.333333333333333");
    EXPECT_FALSE(Decimal::fromDouble(1e30).has_value());
    EXPECT_FALSE(Decimal::fromDouble(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_DOUBLE_EQ(lee(u"-0.0015").toDouble(), -0.0015);
    EXPECT_DOUBLE_EQ(lee(u"79228162514264337593543950335").toDouble(), 7.9228162514264337593543950335e28);
}
