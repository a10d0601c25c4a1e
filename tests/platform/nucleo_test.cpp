#include "comun/ayudas.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/variant.h"
#include "platform/vb.h"

#include <gtest/gtest.h>

namespace {

using Separador = prueba::SeparadorDecimal;

TEST(Valores, VacioYNuloSonDistintos)
{
    const Variant vacio, nulo = Variant::Null();
    EXPECT_TRUE(vacio.isEmpty());
    EXPECT_FALSE(vacio.isNull());
    EXPECT_TRUE(nulo.isNull());
    EXPECT_EQ(vacio.toString(), u"");
    EXPECT_EQ(vacio.toDouble(), 0);
    EXPECT_FALSE(vacio == nulo);
    try {
        (void)nulo.toString();
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number, 94);
    }
}

TEST(Valores, ConversionesConLasReglasDeLaPlataforma)
{
    Separador punto(u'.');
    EXPECT_EQ(Variant(true).toString(), u"True");
    EXPECT_EQ(Variant(true).toDouble(), -1);
    EXPECT_EQ(Variant(2.5).toLong(), 2); // half to even
    EXPECT_EQ(Variant(3.5).toLong(), 4);
    EXPECT_EQ(Variant(u" 12 ").toLong(), 12);
    EXPECT_THROW(Variant(u"12abc").toDouble(), VbError);
    EXPECT_THROW(Variant(70000.0).toInteger(), VbError);
    EXPECT_EQ(Variant(Currency{12345}).toString(), u"1.2345");
    EXPECT_EQ(Variant(u"1.5").toCurrency().scaled, 15000);
    EXPECT_TRUE(Variant(u"-3.25").isNumeric());
    EXPECT_FALSE(Variant(u"x").isNumeric());
}

TEST(Valores, ComaDecimalRegional)
{
    Separador coma(u',');
    EXPECT_EQ(Variant(1.5).toString(), u"1,5");
    EXPECT_DOUBLE_EQ(Variant(u"1,5").toDouble(), 1.5);
    EXPECT_THROW(Variant(u"1.5").toDouble(), VbError);
    // Val always reads a point.
    EXPECT_DOUBLE_EQ(vb::Val(u"1.5"), 1.5);
}

TEST(Textos, BusquedaYReemplazoSinMayusculas)
{
    EXPECT_EQ(vb::InStr(u"abcABC", u"C"), 3);
    EXPECT_EQ(vb::InStr(u"abcABC", u"c", 4), 6);
    EXPECT_EQ(vb::InStr(u"abc", u"x"), 0);
    EXPECT_EQ(vb::InStr(u"abc", u"", 2), 2);
    EXPECT_EQ(vb::Replace(QStringLiteral("Uno @admin_X @ADMIN_Y"), QStringLiteral("@Admin_"), {}), u"Uno X Y");
    EXPECT_EQ(vb::Trim(u"\t a \t"), u"\t a \t");
    EXPECT_EQ(vb::Trim(u"  a b  "), u"a b");
    EXPECT_EQ(vb::LTrim(u"  a "), u"a ");
    EXPECT_EQ(vb::RTrim(u" a  "), u" a");
}

TEST(Textos, ValorDelNumeroInicial)
{
    EXPECT_DOUBLE_EQ(vb::Val(u" 1 2 3abc"), 123);
    EXPECT_DOUBLE_EQ(vb::Val(u"1.0"), 1);
    EXPECT_DOUBLE_EQ(vb::Val(u"-2.5e2x"), -250);
    EXPECT_DOUBLE_EQ(vb::Val(u"S"), 0);
    EXPECT_DOUBLE_EQ(vb::Val(u""), 0);
    EXPECT_DOUBLE_EQ(vb::Val(u"1e"), 1);
}

TEST(Textos, FormasDeFecha)
{
    const QDateTime t(QDate(2024, 12, 31), QTime(18, 5, 9));
    EXPECT_EQ(vb::FechaMDA(t), u"12-31-2024");
    EXPECT_EQ(vb::HoraHMS(t), u"18:05:09");
    EXPECT_EQ(vb::FechaHoraCorta(t), u"31/12/24 18:05");
}

TEST(ModosDeError, OmitirSigueConElPasoSiguiente)
{
    Rutina r = Rutina::Omitir();
    int hechos = 0;
    EXPECT_FALSE(r.paso([] { Raise(53, QStringLiteral("no hay")); }));
    EXPECT_TRUE(r.paso([&] { ++hechos; }));
    EXPECT_EQ(hechos, 1);
    EXPECT_TRUE(r.fallo());
    EXPECT_EQ(r.ultimoError().Number, 53);
}

TEST(ModosDeError, PreguntarReintentaIgnoraOSale)
{
    std::deque<int> respuestas = {4, 5, 3};
    int preguntas = 0;
    Rutina r = Rutina::Preguntar([&](const VbError&) {
        ++preguntas;
        const int x = respuestas.front();
        respuestas.pop_front();
        return x;
    });
    int intentos = 0;
    r.paso([&] {
        if (++intentos < 2)
            Raise(11, QStringLiteral("x"));
    }); // retried once, then works
    EXPECT_EQ(intentos, 2);
    r.paso([] { Raise(12, QStringLiteral("y")); }); // ignored
    EXPECT_FALSE(r.salio());
    r.paso([] { Raise(13, QStringLiteral("z")); }); // abort: leaves
    EXPECT_TRUE(r.salio());
    bool corrio = false;
    EXPECT_FALSE(r.paso([&] { corrio = true; }));
    EXPECT_FALSE(corrio);
    EXPECT_EQ(preguntas, 3);
}

TEST(ModosDeError, ExcepcionesAjenasSeVuelvenErrores)
{
    Rutina r = Rutina::Omitir();
    r.paso([] { throw std::runtime_error("roto"); });
    EXPECT_EQ(r.ultimoError().Number, vberr::Internal);
    EXPECT_EQ(r.ultimoError().Description, u"roto");
}

TEST(Operador, RespuestasPorOmisionTerminanLaPregunta)
{
    EXPECT_EQ(RespuestaPorOmision(estilo::AbortRetryIgnore + estilo::Critical), respuesta::Abort);
    EXPECT_EQ(RespuestaPorOmision(estilo::YesNo), respuesta::No);
    EXPECT_EQ(RespuestaPorOmision(estilo::OKCancel), respuesta::Cancel);
    EXPECT_EQ(RespuestaPorOmision(estilo::Information), respuesta::OK);
    OperadorGuion g;
    g.respuestas = {respuesta::Retry};
    EXPECT_EQ(g.MsgBox(QStringLiteral("a"), 18, QStringLiteral("t")), respuesta::Retry);
    EXPECT_EQ(g.MsgBox(QStringLiteral("b"), 18, QStringLiteral("t")), respuesta::Abort);
    EXPECT_EQ(g.cuenta(QStringLiteral("MsgBox")), 2);
}

TEST(Acota, CortaSoloLoLargoYNoPartePares)
{
    EXPECT_EQ(vb::Acota(QStringLiteral("corto"), 10), u"corto");
    const QString largo = QString(600, u'a') + QString(600, u'b');
    const QString c = vb::Acota(largo, 300);
    EXPECT_TRUE(c.startsWith(QString(200, u'a') + QStringLiteral("[... 900 caracteres cortados ...]")));
    EXPECT_TRUE(c.endsWith(QString(100, u'b')));
    // A character outside the basic plane stays whole at either cut.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    QString pares;
    for (int i = 0; i < 400; ++i)
        pares += emoji;
    const QString d = vb::Acota(pares, 302);
    for (qsizetype i = 0; i < d.size(); ++i) {
        if (d[i].isHighSurrogate())
            EXPECT_TRUE(i + 1 < d.size() && d[i + 1].isLowSurrogate()) << i;
        if (d[i].isLowSurrogate())
            EXPECT_TRUE(i > 0 && d[i - 1].isHighSurrogate()) << i;
    }
}

} // namespace
