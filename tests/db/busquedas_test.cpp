#include "comun/ayudas.h"
#include "comun/base_prueba.h"

#include <QLocale>
#include <clocale>
#include <string>

namespace {

const QString kDatos = QStringLiteral(
    "CREATE TABLE MA_ARTICULOS (idarticulo TEXT COLLATE NOCASE, DESCRIPCION TEXT COLLATE NOCASE, PRECIO REAL);"
    "INSERT INTO MA_ARTICULOS VALUES ('  A1 ','  PAN  ',10.5),('0999','AGUA',2),('0500','SAL',1),('B7','VINO',30);"
    "CREATE VIEW V_MA_ARTICULOS AS SELECT * FROM MA_ARTICULOS;"
    "CREATE TABLE VACIA (CODIGO INTEGER);");

// A decimal-comma system: the C library's locale where one is installed
// (drivers convert numbers with it), Qt's default, and the regional separator.
class RegionConComa {
public:
    RegionConComa() : separador_(u',')
    {
        previo_ = std::setlocale(LC_ALL, nullptr);
        for (const char* nombre : {"es_ES.UTF-8", "es_ES.utf8", "de_DE.UTF-8", "de_DE.utf8"})
            if (std::setlocale(LC_ALL, nombre))
                break;
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    }
    ~RegionConComa()
    {
        std::setlocale(LC_ALL, previo_.c_str());
        QLocale::setDefault(QLocale::c());
    }
    RegionConComa(const RegionConComa&) = delete;
    RegionConComa& operator=(const RegionConComa&) = delete;

private:
    std::string previo_;
    prueba::SeparadorDecimal separador_;
};

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

TEST_P(Busquedas, NumerosConFraccionBajoComaDecimal)
{
    RegionConComa coma;
    const QString tabla = QStringLiteral("MA_ARTICULOS"), precio = QStringLiteral("PRECIO");
    for (std::int32_t tipo : {3, 4, 5}) {
        EXPECT_DOUBLE_EQ(DB().BuscaMaximo(tabla, precio, Variant(tipo), QStringLiteral("PRECIO < 20")).toDouble(), 10.5) << tipo;
        EXPECT_DOUBLE_EQ(DB().BuscaMinimo(tabla, precio, Variant(tipo), QStringLiteral("PRECIO > 5")).toDouble(), 10.5) << tipo;
    }
    EXPECT_DOUBLE_EQ(DB().BuscaUltimoCodigo(tabla, precio, {}, QStringLiteral("PRECIO < 20")).toDouble(), 10.5);
    // A number read by a lookup comes back as the number the field holds.
    const Variant v = DB().DatosTabla(tabla, QStringLiteral("A1"), precio, QStringLiteral("idarticulo"), Variant(std::int32_t(8)));
    EXPECT_TRUE(v.type() == VarType::Double || v.type() == VarType::Decimal || v.type() == VarType::Currency)
        << int(v.type());
    EXPECT_DOUBLE_EQ(v.toDouble(), 10.5);
    EXPECT_EQ(DB().SQLValue(v, QStringLiteral("@")).toString(), u"10.5");
    // Looking up by a number and returning a text keeps the text.
    EXPECT_EQ(DB().DatosTabla(tabla, QStringLiteral("10.5"), QStringLiteral("DESCRIPCION"), precio, Variant(std::int32_t(5))).toString(),
              u"  PAN  ");
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_P(Busquedas, DatosTablaQueIgnoraErroresNoMuestraNiRegistraNada)
{
    const QString registro = dir.path() + QStringLiteral("/SVERR.LOG");
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("NO_EXISTE"), QStringLiteral("B7"), QStringLiteral("DESCRIPCION"),
                              QStringLiteral("idarticulo"), Variant(std::int32_t(8)), {}, true, true).toString(),
              u"");
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_FALSE(QFile::exists(registro));
    EXPECT_TRUE(DB().gOpenFlag);

    // The same lookup without IgnoraError: the open's treatment asks and logs.
    op->respuestas = {respuesta::Abort, respuesta::Abort};
    EXPECT_EQ(DB().DatosTabla(QStringLiteral("NO_EXISTE"), QStringLiteral("B7"), QStringLiteral("DESCRIPCION"),
                              QStringLiteral("idarticulo"), Variant(std::int32_t(8))).toString(),
              u"");
    ASSERT_FALSE(op->mostrados.empty());
    EXPECT_TRUE(op->mostrados[0].titulo.endsWith(QStringLiteral(" - AbrirRecordset Aviso al operador!!! - 5 ")));
    EXPECT_TRUE(QFile::exists(registro));
}

TEST_P(Busquedas, ErrorDeRedPreguntaCuandoElContadorLlegaATres)
{
    ado::Fallas& f = ServidorCaido(DB(), true);
    op->respuestas = {respuesta::Yes, respuesta::Yes};
    EXPECT_TRUE(DB().ExisteEnTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("idarticulo"), nullptr,
                                   Variant(std::int32_t(8))));
    // The lookup, the first re-open and its second try, then two more failed
    // tries: only at the third count does the operator get asked, and from
    // then on after every failed try.
    EXPECT_EQ(fallosAlPreguntar, (std::vector<int>{5, 6}));
    for (const auto& m : op->mostrados)
        EXPECT_EQ(m.titulo, u"AVISO AL OPERADOR");

    // No ends the program.
    f.veces = -1;
    op->alMostrar = nullptr;
    op->mostrados.clear();
    op->respuestas = {respuesta::No};
    try {
        DB().ExisteEnTablaST(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("idarticulo"), nullptr,
                             Variant(std::int32_t(8)));
        ADD_FAILURE() << "the program should have ended";
    } catch (const aplicacion::Fin& fin) {
        EXPECT_NE(fin.codigo, 0);
    }
    EXPECT_EQ(op->mostrados.size(), 1u);
}

TEST_P(Busquedas, ColumnaRechazadaLlegaASuTratamientoYNoSeDaPorAgregada)
{
    // NOT NULL without a default on a table that has rows: the server refuses.
    op->respuestas = {respuesta::Abort};
    EXPECT_FALSE(DB().VerCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("STOCK"), true, QStringLiteral("int"), false));
    EXPECT_FALSE(DB().ExisteCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("STOCK")));
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_TRUE(op->mostrados[0].titulo.endsWith(QStringLiteral(" - errAddField Aviso al operador!!! - 5 ")));
    EXPECT_EQ(op->mostrados[0].estilo, estilo::AbortRetryIgnore + estilo::Critical);
    EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"))
                    .contains(QStringLiteral("Rutina: - errAddField Mensaje Ha ocurrido el Siguiente Error (")));

    // Retry runs the statement again; Ignore goes on. Still no column.
    op->mostrados.clear();
    op->respuestas = {respuesta::Retry, respuesta::Ignore};
    DB().AddField(QStringLiteral("MA_ARTICULOS"), QStringLiteral("STOCK"), QStringLiteral("int"), false);
    EXPECT_EQ(op->mostrados.size(), 2u);
    EXPECT_FALSE(DB().ExisteCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("STOCK")));

    // With a default the same column goes in, and every row holds it.
    op->mostrados.clear();
    EXPECT_TRUE(DB().VerCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("STOCK"), true, QStringLiteral("int"), false,
                                Variant(u"0")));
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_TRUE(DB().ExisteCampoDB(QStringLiteral("MA_ARTICULOS"), QStringLiteral("STOCK")));
    EXPECT_DOUBLE_EQ(DB().DatosTabla(QStringLiteral("MA_ARTICULOS"), QStringLiteral("B7"), QStringLiteral("STOCK"),
                                     QStringLiteral("idarticulo"), Variant(std::int32_t(8))).toDouble(),
                     0);
}

INSTANTIATE_TEST_SUITE_P(Proveedores, Busquedas, ::testing::Values(false, true),
                         [](const auto& i) { return i.param ? "Odbc" : "Sqlite"; });

} // namespace
