#include "db/db_privado.h"
#include "db/globales.h"

#include <gtest/gtest.h>

namespace {

class Sinonimos : public ::testing::Test {
protected:
    DB_Dll db;
    void SetUp() override { glb::ConfidencialidadActiva = false; }
    void TearDown() override { glb::ConfidencialidadActiva = false; }
};

TEST_F(Sinonimos, SoloPalabrasEnterasEnSusContextos)
{
    db.gEsAdmin = false;
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM MA_CUENTAS WHERE 1=1")), u"SELECT * FROM SS_MA_CUENTAS WHERE 1=1");
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT MA_CUENTAS.X FROM (MA_CUENTAS )")),
              u"SELECT SS_MA_CUENTAS.X FROM (SS_MA_CUENTAS )");
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("{MA_CUENTAS.X}")), u"{SS_MA_CUENTAS.X}");
    // A longer name, a name at the very start, and the name as a column are left alone.
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM MA_CUENTAS_AUX ")), u"SELECT * FROM MA_CUENTAS_AUX ");
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("MA_CUENTAS ")), u"MA_CUENTAS ");
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("select * from v_ta_cajas where x=1")), u"select * from SS_V_TA_CAJAS where x=1");
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("FROM AC_CUENTASDIARIO_CCOSTO A, AC_CUENTASDIARIO B")),
              u"FROM SS_AC_CUENTAS_DIARIO_CCOSTO A, SS_AC_CUENTASDIARIO B");
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("FROM AC_CUENTASDIARIO B")), u"FROM SS_AC_CUENTASDIARIO B");
}

TEST_F(Sinonimos, NombreDentroDeUnLiteralConBlancosTambienCambia)
{
    // The rewriting works on the text: a literal with the name between blanks changes too.
    db.gEsAdmin = false;
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT 'es MA_CUENTAS ' AS X")), u"SELECT 'es SS_MA_CUENTAS ' AS X");
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT 'MA_CUENTAS' AS X")), u"SELECT 'MA_CUENTAS' AS X");
}

TEST_F(Sinonimos, MarcaAdminRestauraLaTablaEnTodaLaSentencia)
{
    db.gEsAdmin = false;
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM @Admin_MA_CUENTAS A JOIN MA_CUENTAS B ON 1=1")),
              u"SELECT * FROM MA_CUENTAS A JOIN MA_CUENTAS B ON 1=1");
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM @Admin_V_TA_CAJAS ")), u"SELECT * FROM V_TA_CAJAS ");
}

TEST_F(Sinonimos, AsientosSinConfidencialidadNoCambian)
{
    db.gEsAdmin = false;
    const QString sql = QStringLiteral("SELECT * FROM MV_ASIENTOS A JOIN MA_CUENTAS C ON 1=1");
    EXPECT_EQ(db.SS_TSinonimos(sql), sql);
    glb::ConfidencialidadActiva = true;
    EXPECT_EQ(db.SS_TSinonimos(sql), u"SELECT * FROM SS_MV_ASIENTOS A JOIN SS_MA_CUENTAS C ON 1=1");
}

TEST_F(Sinonimos, AdministradorSoloPierdeLasMarcas)
{
    db.gEsAdmin = true;
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM @ADMIN_MA_CUENTAS JOIN MA_CUENTAS ")),
              u"SELECT * FROM MA_CUENTAS JOIN MA_CUENTAS ");
}

class Oracle : public ::testing::Test {
protected:
    DB_Dll db;
    void SetUp() override { db.gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;"); }
};

TEST_F(Oracle, SinOracleNadaCambia)
{
    db.gConnString = QStringLiteral("PROVIDER=SQLOLEDB;Server=X;");
    const QString sql = QStringLiteral("SELECT TOP 5 ISNULL(A,'') FROM T WHERE FECHA = '01/02/2024'");
    EXPECT_EQ(db.ORACLE_Dicc(sql), sql);
}

TEST_F(Oracle, LimiteDeFilasAntesDeOrdenYGrupo)
{
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT TOP 10 A FROM T")), u"SELECT A FROM T WHERE ROWNUM <= 10");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT top 3 A FROM T WHERE B = 1 ORDER BY A")),
              u"SELECT A FROM T WHERE B = 1 AND ROWNUM <= 3 ORDER BY A");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT TOP 2 A FROM T GROUP BY A")), u"SELECT A FROM T WHERE ROWNUM <= 2 GROUP BY A");
}

TEST_F(Oracle, FuncionesYConversiones)
{
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT LEN (A), SUBSTRING(B,1,2), ISNULL(C,0), CHARINDEX('x',D) FROM T")),
              u"SELECT LENGTH(A), SUBSTR(B,1,2), NVL(C,0), InStr('x',D) FROM T");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT CONVERT(INT,A), CONVERT(NVARCHAR,B,103) FROM T")),
              u"SELECT TO_NUMBER(A), TO_CHAR(B,'DD/MM/YYYY') FROM T");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("len")), u"LENGTH");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("X")), u"X");
}

TEST_F(Oracle, VaciosDespuesDelWhereSonNulos)
{
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT '' AS X FROM T WHERE A = '' AND B=''")),
              u"SELECT '' AS X FROM T WHERE A  IS NULL  AND B IS NULL ");
}

TEST_F(Oracle, ColumnasYLiteralesDeFecha)
{
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT A FROM T WHERE FECHA >= '05/03/2024'")),
              u"SELECT A FROM T WHERE TO_DATE(TO_CHAR(FECHA,'DD/MM/YYYY'),'DD/MM/YYYY') >= TO_DATE('05/03/2024','DD/MM/YYYY')");
    // Qualified names keep their qualifier inside; longer names are not dates.
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT A FROM T WHERE T.FECHA =1 AND FECHAXYZ = 1")),
              u"SELECT A FROM T WHERE TO_DATE(TO_CHAR(T.FECHA,'DD/MM/YYYY'),'DD/MM/YYYY') =1 AND FECHAXYZ = 1");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT [FECHA DESDE] FROM T")),
              u"SELECT TO_DATE(TO_CHAR(\"FECHA DESDE\",'DD/MM/YYYY'),'DD/MM/YYYY') FROM T");
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT A FROM T WHERE B = '2024-12-31'")),
              u"SELECT A FROM T WHERE B = TO_DATE('31/12/2024','DD/MM/YYYY')");
    // A literal already converted is not converted twice.
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT A FROM T WHERE B = TO_DATE('05/03/2024','DD/MM/YYYY')")),
              u"SELECT A FROM T WHERE B = TO_DATE('05/03/2024','DD/MM/YYYY')");
    // Not a date: left as written.
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT A FROM T WHERE B = '31/02/2024'")), u"SELECT A FROM T WHERE B = '31/02/2024'");
    // Only a whole literal is a date: not a date inside another literal, nor
    // the closing quote of one literal taken as the opening of the next.
    for (const QString& texto : {u"SELECT A FROM T WHERE B = 'desde ''01/02/2024'' hasta'"_qs,
                                 u"SELECT A FROM T WHERE B = 'x''1/02/2024'"_qs, u"SELECT A FROM T WHERE B = '0'1/02/2024'"_qs})
        EXPECT_EQ(db.ORACLE_Dicc(texto), texto);
    EXPECT_EQ(db.ORACLE_Dicc(QStringLiteral("SELECT A FROM T WHERE B = 'it''s' AND C = '05/03/2024'")),
              u"SELECT A FROM T WHERE B = 'it''s' AND C = TO_DATE('05/03/2024','DD/MM/YYYY')");
}

TEST(ScriptOracle, CortaPorPalabrasDeInicio)
{
    const QStringList s = CortaScriptOracle(QStringLiteral(
        "SET NOCOUNT ON\r\nBEGIN TRANSACTION\r\nINSERT INTO T VALUES (1)\r\nGO\r\nUPDATE T SET A = 2\r\nIF NOT EXISTS (SELECT 1 FROM X) "
        "CREATE TABLE X (A INT)\r\nCOMMIT TRANSACTION"));
    EXPECT_EQ(s, (QStringList{u"SET TRANSACTION"_qs, u"INSERT INTO T VALUES (1)"_qs, u"UPDATE T SET A = 2"_qs,
                              u"IF NOT EXISTS (SELECT 1 FROM X)"_qs, u"CREATE TABLE X (A INT)"_qs, u"COMMIT"_qs}));
    EXPECT_EQ(CortaScriptOracle(QStringLiteral("ROLLBACK TRANS")), QStringList{u"ROLLBACK"_qs});
    EXPECT_TRUE(CortaScriptOracle(QStringLiteral("   ")).isEmpty());
}

} // namespace

namespace {

TEST(Esquema, AddFieldEscribeSuSentenciaConYSinValorPorOmision)
{
    using db_interno::SentenciaAddField;
    EXPECT_EQ(SentenciaAddField(QStringLiteral("MA_ARTICULOS"), QStringLiteral("STOCK"), QStringLiteral("int"), true, {}),
              u"ALTER TABLE dbo.MA_ARTICULOS ADD STOCK int Null ");
    EXPECT_EQ(SentenciaAddField(QStringLiteral("MA_ARTICULOS"), QStringLiteral("STOCK"), QStringLiteral("int"), false, {}),
              u"ALTER TABLE dbo.MA_ARTICULOS ADD STOCK int Not Null ");
    // With a default: two blanks before CONSTRAINT, the names trimmed in it only.
    EXPECT_EQ(SentenciaAddField(QStringLiteral(" MA_ARTICULOS "), QStringLiteral(" COSTO "), QStringLiteral("varchar(10)"), false,
                                Variant(u"'x'")),
              u"ALTER TABLE dbo. MA_ARTICULOS  ADD  COSTO  varchar(10) Not Null  CONSTRAINT DF_MA_ARTICULOS_COSTO DEFAULT ('x')");
    EXPECT_EQ(SentenciaAddField(QStringLiteral("T"), QStringLiteral("N"), QStringLiteral("decimal(18,2)"), true,
                                Variant(std::int32_t(0))),
              u"ALTER TABLE dbo.T ADD N decimal(18,2) Null  CONSTRAINT DF_T_N DEFAULT (0)");
}

} // namespace
