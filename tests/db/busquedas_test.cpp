#include "comun/base_prueba.h"

namespace {

const QString kDatos = QStringLiteral(
    "CREATE TABLE MA_ARTICULOS (idarticulo TEXT COLLATE NOCASE, DESCRIPCION TEXT COLLATE NOCASE, PRECIO REAL);"
    "INSERT INTO MA_ARTICULOS VALUES ('  A1 ','  PAN  ',10.5),('0999','AGUA',2),('0500','SAL',1),('B7','VINO',30);"
    "CREATE VIEW V_MA_ARTICULOS AS SELECT * FROM MA_ARTICULOS;"
    "CREATE TABLE VACIA (CODIGO INTEGER);");

// The same cases on the embedded provider and through unixODBC.
class Busquedas : public prueba::BasePrueba, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMPRESA"), kDatos);
        if (GetParam())
            AbreOdbc(DB(), QStringLiteral("EMPRESA"));
        else
            Abre(DB(), QStringLiteral("EMPRESA"));
        ASSERT_TRUE(DB().gOpenFlag);
    }
};

TEST_P(Busquedas, ExisteEnTablaIgnoraBlancosDeLaTabla)
{
    const Variant texto(std::int32_t(8));
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("A1"), QStringLiteral("idarticulo"), nullptr, texto));
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("pan "), QStringLiteral("DESCRIPCION"), nullptr, texto));
    EXPECT_FALSE(DB().ExisteEnTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("X"), QStringLiteral("idarticulo"), nullptr, texto));
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral(" 30 "), QStringLiteral("PRECIO"), nullptr,
                                   Variant(std::int32_t(5))));
    // ExisteEnTablaST compares texts as they are.
    EXPECT_FALSE(DB().ExisteEnTablaST(QStringLiteral("MA_ARTICULOS"), QStringLiteral("A1"), QStringLiteral("idarticulo"), nullptr, texto));
    EXPECT_TRUE(DB().ExisteEnTablaST(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("idarticulo"), nullptr, texto));
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_P(Busquedas, CondicionManda)
{
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("nada"), QStringLiteral("nada"), nullptr, {},
                                   QStringLiteral("PRECIO > 20")));
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_ARTICULOS"), {}, {}, nullptr, {},
                                   QStringLiteral(" WHERE PRECIO > 20")));
    EXPECT_FALSE(DB().ExisteEnTablaST(QStringLiteral("MA_ARTICULOS"), {}, {}, nullptr, {}, QStringLiteral("PRECIO > 100")));
    ado::Recordset rs;
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_ARTICULOS"), {}, {}, &rs, {}, QStringLiteral("PRECIO > 20")));
    EXPECT_EQ(rs.Fields(QStringLiteral("DESCRIPCION")).Value().toString(), u"VINO");
}

TEST_P(Busquedas, DatosTablaDevuelveElCampoOTextoVacio)
{
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("DESCRIPCION"),
                              QStringLiteral("idarticulo"), Variant(u"'")).toString(),
              u"VINO");
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("ZZ"), QStringLiteral("DESCRIPCION"),
                              QStringLiteral("idarticulo"), Variant(std::int32_t(8))).toString(),
              u"");
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("PRECIO"),
                              QStringLiteral("idarticulo"), Variant(std::int32_t(8)), QStringLiteral("PRECIO > 100")).toString(),
              u"");
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_P(Busquedas, DatosTablaConErrorPreguntaOCalla)
{
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("NO_HAY"),
                              QStringLiteral("idarticulo"), Variant(std::int32_t(8)), {}, true, true).toString(),
              u"");
    EXPECT_TRUE(op->mostrados.empty());
    op->respuestas = {respuesta::Abort};
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("NO_HAY"),
                              QStringLiteral("idarticulo"), Variant(std::int32_t(8))).toString(),
              u"");
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].titulo, u"Aviso al Operador");
    EXPECT_EQ(op->mostrados[0].estilo, estilo::AbortRetryIgnore + estilo::Critical);
}

TEST_P(Busquedas, MaximoDeArticulosSaltaLosCerosALaIzquierda)
{
    EXPECT_EQ(DB().BuscaMaximo(QStringLiteral("MA_ARTICULOS"), QStringLiteral("idarticulo")).toString(), u"B7");
    EXPECT_EQ(DB().BuscaMaximo(QStringLiteral("MA_ARTICULOS"), QStringLiteral("idarticulo"), {},
                               QStringLiteral("idarticulo LIKE '0%'")).toString(),
              u"0999");
    EXPECT_EQ(DB().BuscaMaximo(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("idarticulo"), {},
                               QStringLiteral("idarticulo LIKE '0%' OR idarticulo = 'B7'")).toString(),
              u"B7");
    EXPECT_EQ(DB().BuscaMaximo(QStringLiteral("v_ma_articulos"), QStringLiteral("idarticulo"), {},
                               QStringLiteral("PRECIO < 5")).toString(),
              u"");
    EXPECT_DOUBLE_EQ(DB().BuscaMaximo(QStringLiteral("MA_ARTICULOS"), QStringLiteral("PRECIO"), Variant(std::int32_t(5))).toDouble(), 30);
}

TEST_P(Busquedas, MinimoYUltimoCodigo)
{
    EXPECT_EQ(DB().BuscaMinimo(QStringLiteral("MA_ARTICULOS"), QStringLiteral("PRECIO"), {}, QStringLiteral(" PRECIO > 1 ")).toString(), u"2");
    EXPECT_DOUBLE_EQ(DB().BuscaUltimoCodigo(QStringLiteral("VACIA"), QStringLiteral("CODIGO")).toDouble(), 0);
    EXPECT_DOUBLE_EQ(DB().BuscaUltimoCodigo(QStringLiteral("MA_ARTICULOS"), QStringLiteral("PRECIO"), {}, QStringLiteral("   ")).toDouble(), 30);
    EXPECT_THROW(DB().BuscaMinimo(QStringLiteral("NO_EXISTE"), QStringLiteral("X")), VbError);
}

TEST_P(Busquedas, EsquemaTablasYCampos)
{
    EXPECT_TRUE(DB().ExisteTablaDB(QStringLiteral(" ma_articulos ")));
    EXPECT_TRUE(DB().ExisteTablaDB(QStringLiteral("V_MA_ARTICULOS")));
    EXPECT_FALSE(DB().ExisteTablaDB(QStringLiteral("NO_EXISTE")));
    EXPECT_TRUE(DB().ExisteCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("precio")));
    EXPECT_FALSE(DB().ExisteCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("COSTO")));
    EXPECT_TRUE(DB().VerCampoDB(QStringLiteral("NO_EXISTE"), QStringLiteral("X"), true, QStringLiteral("INT"), true));
    EXPECT_TRUE(DB().VerCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("COSTO"), true, QStringLiteral("varchar(10)"), true,
                                Variant(u"'x'")));
    EXPECT_TRUE(DB().ExisteCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("COSTO")));
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("COSTO"), QStringLiteral("idarticulo"),
                              Variant(std::int32_t(8))).toString(),
              u"x");
}

INSTANTIATE_TEST_SUITE_P(Proveedores, Busquedas, ::testing::Values(false, true),
                         [](const auto& i) { return i.param ? "Odbc" : "Sqlite"; });

} // namespace
