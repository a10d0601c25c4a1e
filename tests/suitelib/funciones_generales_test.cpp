#include "platform/errores.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

const FuncionesGenerales fg;

TEST(ValorCampo, NullBecomesEmptyTextAndTextIsUnchanged)
{
    EXPECT_EQ(fg.ValorCampo(Variant::Null()), Variant(QString()));
    EXPECT_EQ(fg.ValorCampo(Variant()), Variant(QString()));
    EXPECT_EQ(fg.ValorCampo(Variant(u"  Azúcar; 1kg  ")), Variant(u"  Azúcar; 1kg  "));
    EXPECT_EQ(fg.ValorCampo(Variant(std::int32_t(42))), Variant(u"42"));
    EXPECT_EQ(fg.ValorCampo(Variant(true)), Variant(true)); // stays a flag for a flag column
    EXPECT_TRUE(fg.ValorCampo(Variant(Currency{15000})).isString());
    EXPECT_THROW(fg.ValorCampo(Variant(std::make_shared<VbObject>())), VbError);
}

TEST(ValorNumerico, FourDecimalsAndZeroWhenNotANumber)
{
    const QChar antes = vb::SeparadorDecimal();
    vb::FijaSeparadorDecimal(u'.');
    EXPECT_EQ(fg.ValorNumerico(Variant(u"1433")), Variant(Currency{14330000}));
    EXPECT_EQ(fg.ValorNumerico(Variant(u" 12.345678 ")), Variant(Currency{123457}));
    EXPECT_EQ(fg.ValorNumerico(Variant(u"0.00005")), Variant(Currency{0}));  // half to even
    EXPECT_EQ(fg.ValorNumerico(Variant(u"0.00015")), Variant(Currency{2}));
    EXPECT_EQ(fg.ValorNumerico(Variant(u"abc")), Variant(Currency{0}));
    EXPECT_EQ(fg.ValorNumerico(Variant(u"12abc")), Variant(Currency{0}));
    EXPECT_EQ(fg.ValorNumerico(Variant(u"")), Variant(Currency{0}));
    EXPECT_EQ(fg.ValorNumerico(Variant::Null()), Variant(Currency{0}));
    EXPECT_EQ(fg.ValorNumerico(Variant(-2.5)), Variant(Currency{-25000}));
    vb::FijaSeparadorDecimal(u',');
    EXPECT_EQ(fg.ValorNumerico(Variant(u"1,5")), Variant(Currency{15000}));
    EXPECT_EQ(fg.ValorNumerico(Variant(u"1.5")), Variant(Currency{0})); // not a number under these settings
    vb::FijaSeparadorDecimal(antes);
}

TEST(ValorNumerico, BeyondTheCurrencyRangeOverflows)
{
    try {
        fg.ValorNumerico(Variant(u"1e300"));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number, vberr::Overflow);
    }
}

TEST(Textos, ExtraeValor)
{
    EXPECT_EQ(fg.ExtraeValor(QStringLiteral("=srv01\\sql"), QStringLiteral("=")), QStringLiteral("srv01\\sql"));
    EXPECT_EQ(fg.ExtraeValor(QStringLiteral("=a=b"), QStringLiteral("=")), QStringLiteral("a=b"));
    // a fixed-width field holds no character 0: it comes back whole
    const QString campo = QStringLiteral("V_MA_ARTICULOS") + QString(86, u' ');
    EXPECT_EQ(fg.ExtraeValor(campo, QString(QChar(0)), QString(QChar(255))), campo);
    EXPECT_EQ(fg.ExtraeValor(QStringLiteral("k=v;resto"), QStringLiteral("="), QStringLiteral(";")), QStringLiteral("v"));
    EXPECT_EQ(fg.ExtraeValor(QStringLiteral("a|b|c"), QStringLiteral("|"), {}, 2), QStringLiteral("c"));
}

TEST(Textos, ReplaceLimitCount)
{
    EXPECT_EQ(fg.CambiaCaracter(QStringLiteral("|DESCRIPCION|IDARTICULO|"), u'|', QStringLiteral(",")),
              QStringLiteral(",DESCRIPCION,IDARTICULO,"));
    EXPECT_EQ(fg.CambiaCaracter(QStringLiteral("1,5"), u',', QStringLiteral(".")), QStringLiteral("1.5"));
    EXPECT_EQ(fg.ReemplazaTexto(QStringLiteral("V_MA_ARTICULOS v_ma_articulos"), QStringLiteral("V_MA_"), QStringLiteral("VT_MA_")),
              QStringLiteral("VT_MA_ARTICULOS v_ma_articulos"));
    EXPECT_EQ(fg.ReemplazaTexto(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(fg.LimitaTexto(QString(300, u'x'), 250).size(), 250);
    EXPECT_EQ(fg.LimitaTexto(QStringLiteral("corto"), 250), QStringLiteral("corto"));
    EXPECT_EQ(fg.LimitaTexto(QStringLiteral("x"), 0), QString());
    EXPECT_EQ(fg.CuentaPartes(QStringLiteral("LEN")), 1);
    EXPECT_EQ(fg.CuentaPartes(QStringLiteral("  len  ")), 1);
    EXPECT_EQ(fg.CuentaPartes(QStringLiteral("Select \r\n TOP 1 *\tfrom T ")), 6);
    EXPECT_EQ(fg.CuentaPartes(QString()), 0);
    EXPECT_EQ(fg.FormateaValor(Variant(u"A"), 4), QStringLiteral("A"));
    EXPECT_EQ(fg.FormateaValor(Variant(u"ABCDEF"), 4), QStringLiteral("ABCD"));
    EXPECT_EQ(fg.FormateaValor(Variant::Null(), 25), QString());
    EXPECT_EQ(fg.FormateaValor(Variant(std::int32_t(1234))), QStringLiteral("1234"));
}

TEST(Claves, EveryTextDecodesBackAndItsEncodingHoldsNoCommaOrLineEnd)
{
    QStringList casos{QString(), QStringLiteral("clave"), QStringLiteral("a,b"), QStringLiteral("\r\n"),
                      QStringLiteral(" con blancos "), QStringLiteral("ñandú ÄÖÜ €"), QStringLiteral("😀"),
                      QStringLiteral("\"comillas\""), QString(QChar(0)), QStringLiteral("DEMO")};
    QRandomGenerator azar(20250705);
    for (int i = 0; i < 500; ++i) {
        QString t;
        const int n = int(azar.bounded(20));
        for (int k = 0; k < n; ++k) {
            static const QString alfabeto = QStringLiteral(",\r\n \t\"'aZ09ñé€;|=\\");
            t += azar.bounded(3) == 0 ? QChar(char16_t(azar.bounded(1, 0xFFFF))) : alfabeto[azar.bounded(alfabeto.size())];
        }
        casos << t;
    }
    for (const QString& c : casos) {
        const QString cod = fg.CodificaClave(c);
        EXPECT_EQ(fg.DecodificaClave(cod), c);
        EXPECT_FALSE(cod.contains(u',') || cod.contains(u'\r') || cod.contains(u'\n'));
        EXPECT_EQ(cod.trimmed(), cod);
        EXPECT_EQ(fg.DecodificaClave(cod.toLower()), c); // stored case does not matter
    }
    EXPECT_NE(fg.CodificaClave(QStringLiteral("aaaa")).mid(0, 4), fg.CodificaClave(QStringLiteral("aaaa")).mid(4, 4));
}

TEST(Claves, APlainStoredPasswordComesBackUnchanged)
{
    EXPECT_EQ(fg.DecodificaClave(QStringLiteral("secreto")), QStringLiteral("secreto"));
    EXPECT_EQ(fg.DecodificaClave(QStringLiteral("12 4")), QStringLiteral("12 4"));
    EXPECT_EQ(fg.DecodificaClave(QStringLiteral("0x12")), QStringLiteral("0x12"));
    // Plain passwords made of hexadecimal digits are not taken for encodings.
    for (const char16_t* plana : {u"1234", u"CAFE", u"cafe", u"12345678", u"DEADBEEFCAFE", u"~", u"~1234", u"", u" "})
        EXPECT_EQ(fg.DecodificaClave(QString::fromUtf16(plana)), QString::fromUtf16(plana));
    // Nor is an encoding with one digit changed, one group dropped or one added.
    const QString cod = fg.CodificaClave(QStringLiteral("1234"));
    for (qsizetype i = 1; i < cod.size(); ++i) {
        QString alterada = cod;
        alterada[i] = cod[i] == u'0' ? u'1' : u'0';
        EXPECT_EQ(fg.DecodificaClave(alterada), alterada);
    }
    EXPECT_EQ(fg.DecodificaClave(cod.left(cod.size() - 4)), cod.left(cod.size() - 4));
    EXPECT_EQ(fg.DecodificaClave(cod + QStringLiteral("0000")), cod + QStringLiteral("0000"));
}

TEST(Claves, ShortAndEmptyPasswordsRoundTripAndPaddingIsIgnored)
{
    for (const char16_t* c : {u"", u"1", u"1234", u"CAFE", u"~"}) {
        const QString clave = QString::fromUtf16(c);
        EXPECT_EQ(fg.DecodificaClave(fg.CodificaClave(clave)), clave);
    }
    // A fixed-width column pads the stored form with blanks.
    EXPECT_EQ(fg.DecodificaClave(fg.CodificaClave(QStringLiteral("clave")) + QStringLiteral("     ")), u"clave");
}

TEST(BarraFinal, ExactlyOneTrailingSeparator)
{
    EXPECT_EQ(fg.BarraFinal(QStringLiteral("C:\\Temp")), QStringLiteral("C:\\Temp\\"));
    EXPECT_EQ(fg.BarraFinal(QStringLiteral("C:\\Temp\\")), QStringLiteral("C:\\Temp\\"));
    EXPECT_EQ(fg.BarraFinal(QStringLiteral("C:\\Temp\\\\")), QStringLiteral("C:\\Temp\\"));
    // A POSIX folder ends in its own separator: file names joined to it read as its paths.
    EXPECT_EQ(fg.BarraFinal(QStringLiteral("/opt/v")), QStringLiteral("/opt/v/"));
    EXPECT_EQ(fg.BarraFinal(QStringLiteral("/opt/v\\")), QStringLiteral("/opt/v/"));
    EXPECT_EQ(fg.BarraFinal(QStringLiteral("/opt/v//")), QStringLiteral("/opt/v/"));
    EXPECT_EQ(fg.BarraFinal(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(fg.BarraFinal(QString()), QStringLiteral("\\"));
    EXPECT_EQ(fg.BarraFinal(fg.BarraFinal(QStringLiteral("x"))), QStringLiteral("x\\"));
}

} // namespace
