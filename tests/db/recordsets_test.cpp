#include "comun/ayudas.h"
#include "comun/base_prueba.h"

namespace {

const QString kArticulos = QStringLiteral(
    "CREATE TABLE MA_ARTICULOS (idarticulo TEXT COLLATE NOCASE PRIMARY KEY, DESCRIPCION TEXT, SUSPENDIDO INTEGER);"
    "INSERT INTO MA_ARTICULOS VALUES ('A1','PAN',0),('A2','LECHE',0),('A3','VINO',1);"
    "CREATE TABLE SS_MA_CUENTAS (ID INTEGER); INSERT INTO SS_MA_CUENTAS VALUES (7);"
    "CREATE TABLE MA_CUENTAS (ID INTEGER); INSERT INTO MA_CUENTAS VALUES (1);"
    "CREATE TABLE LOG (TEXTO TEXT);");

// The same cases on the embedded provider and through unixODBC.
class Sentencias : public prueba::BasePrueba, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMPRESA"), kArticulos);
        if (GetParam())
            AbreOdbc(DB(), QStringLiteral("EMPRESA"));
        else
            Abre(DB(), QStringLiteral("EMPRESA"));
        ASSERT_TRUE(DB().gOpenFlag);
        DB().gEsAdmin = false;
    }
    int cuenta(const QString& tabla)
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT COUNT(*) AS N FROM ") + tabla, DB().gCnn);
        return rs.Fields(0).Value().toLong();
    }
    std::vector<QString> ids(ado::Recordset& rs)
    {
        std::vector<QString> r;
        for (; !rs.EOF_(); rs.MoveNext())
            r.push_back(rs.Fields(QStringLiteral("IDARTICULO")).Value().toString());
        return r;
    }
};

TEST_P(Sentencias, AbrirRecordsetLeeYDevuelveLaSentenciaReescrita)
{
    QString sql = QStringLiteral("SELECT TOP 5 * FROM @Admin_MA_ARTICULOS with(nolock) WHERE SUSPENDIDO = 0");
    ado::Recordset rs;
    DB().AbrirRecordset(sql, rs);
    EXPECT_EQ(sql, u"SELECT TOP 5 * FROM MA_ARTICULOS with(nolock) WHERE SUSPENDIDO = 0");
    EXPECT_EQ(ids(rs), (std::vector<QString>{u"A1"_qs, u"A2"_qs}));
    EXPECT_GT(op->eventos, 0);

    // A non-administrator reads through the restricted view.
    sql = QStringLiteral("SELECT * FROM MA_CUENTAS ");
    DB().AbrirRecordset(sql, rs);
    EXPECT_EQ(rs.Fields(0).Value().toLong(), 7);
    DB().gEsAdmin = true;
    sql = QStringLiteral("SELECT * FROM MA_CUENTAS ");
    DB().AbrirRecordset(sql, rs); // the open recordset is closed first
    EXPECT_EQ(rs.Fields(0).Value().toLong(), 1);
}

TEST_P(Sentencias, EdicionPendienteSeCancelaAlCerrar)
{
    QString sql = QStringLiteral("SELECT * FROM MA_ARTICULOS");
    ado::Recordset rs;
    DB().AbrirRecordset(sql, rs, DB().gCnn, ado::adOpenDynamic, ado::adLockOptimistic);
    rs.AddNew();
    rs.Fields(QStringLiteral("idarticulo")).setValue(Variant(u"A9"));
    DB().CierraRecordset(rs);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    EXPECT_EQ(cuenta(QStringLiteral("MA_ARTICULOS")), 3);
    DB().CierraRecordset(rs); // closing a closed recordset does nothing
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_P(Sentencias, ErrorDeSentenciaPreguntaYAnularDejaCerrado)
{
    QString sql = QStringLiteral("SELECT * FROM NO_EXISTE");
    ado::Recordset rs;
    op->respuestas = {respuesta::Abort};
    DB().AbrirRecordset(sql, rs);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_TRUE(op->mostrados[0].titulo.endsWith(QStringLiteral(" - AbrirRecordset Aviso al operador!!! - 5 ")));
    EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).contains(QStringLiteral("Respondi\u00f3 : Abortar")));
}

TEST_P(Sentencias, ConexionCaidaSeReabreYElOperadorReintenta)
{
    DB().gCnn->fallas().caida = true;
    op->respuestas = {respuesta::Retry};
    QString sql = QStringLiteral("SELECT * FROM MA_ARTICULOS WHERE SUSPENDIDO = 0");
    ado::Recordset rs;
    DB().AbrirRecordset(sql, rs);
    EXPECT_EQ(DB().gCnn->fallas().aperturas, 2);
    EXPECT_EQ(ids(rs).size(), 2u);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 1);
}

TEST_P(Sentencias, ReaperturaFallidaMuestraConexionPerdidaYNoTermina)
{
    ado::Fallas& f = DB().gCnn->fallas();
    f.caida = true;
    f.veces = -1;
    f.error = ado::Error{ado::E_FAIL, QStringLiteral("General network error"), QStringLiteral("Proveedor"), QStringLiteral("08S01"), 11};
    op->respuestas = {respuesta::No};
    QString sql = QStringLiteral("SELECT * FROM MA_ARTICULOS");
    ado::Recordset rs;
    try {
        DB().AbrirRecordset(sql, rs);
        FAIL() << "the program should have ended";
    } catch (const aplicacion::Fin& fin) {
        EXPECT_NE(fin.codigo, 0);
    }
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].titulo, u"AVISO AL OPERADOR");
    EXPECT_EQ(op->mostrados[0].estilo, estilo::YesNo + estilo::Critical);
    EXPECT_EQ(op->mostrados[0].texto, u"\r\n\r\n\r\nSe perdio la conexion con la base de datos EMPRESA\r\n Servidor LOCAL\r\n\r\n"
                                      u"Elija SI para reintentar conectarse\r\nElija NO para cerrar la aplicacion\r\n\r\n\r\n");
}

TEST_P(Sentencias, ConexionPerdidaSiReintentaHastaVolver)
{
    ado::Fallas& f = DB().gCnn->fallas();
    f.caida = true;
    f.veces = -1;
    f.error = ado::Error{ado::E_FAIL, QStringLiteral("General network error"), QStringLiteral("Proveedor"), QStringLiteral("08S01"), 11};
    int cajas = 0;
    op->alMostrar = [&](const OperadorGuion::Mostrado&) {
        if (++cajas == 2) { // the server comes back before the second answer
            f.veces = 0;
            f.caida = false;
        }
    };
    op->respuestas = {respuesta::Yes, respuesta::Yes};
    QString sql = QStringLiteral("SELECT * FROM MA_ARTICULOS");
    ado::Recordset rs;
    DB().AbrirRecordset(sql, rs);
    EXPECT_EQ(cajas, 2);
    EXPECT_EQ(ids(rs).size(), 3u);
}

TEST_P(Sentencias, EjecutaConsultaSQLQuitaMarcasSinSinonimos)
{
    QString sql = QStringLiteral("INSERT INTO @Admin_LOG (TEXTO) SELECT 'x' FROM MA_CUENTAS ");
    std::int32_t afectados = -1;
    DB().EjecutaConsultaSQL(sql, afectados);
    EXPECT_EQ(sql, u"INSERT INTO LOG (TEXTO) SELECT 'x' FROM MA_CUENTAS ");
    EXPECT_EQ(afectados, 1);
    EXPECT_EQ(cuenta(QStringLiteral("LOG")), 1);

    std::shared_ptr<ado::Recordset> filas;
    sql = QStringLiteral("SELECT idarticulo FROM MA_ARTICULOS ORDER BY idarticulo");
    DB().EjecutaConsultaSQL(sql, afectados, &filas);
    ASSERT_TRUE(filas);
    EXPECT_EQ(ids(*filas).size(), 3u);
}

TEST_P(Sentencias, GuionQueCreaYBorraRecibeSinonimosSinMarca)
{
    QString sql = QStringLiteral("DROP VIEW IF EXISTS V1; CREATE VIEW V1 AS SELECT * FROM MA_CUENTAS ");
    std::int32_t afectados = 0;
    DB().EjecutaConsultaSQL(sql, afectados);
    EXPECT_EQ(sql, u"DROP VIEW IF EXISTS V1; CREATE VIEW V1 AS SELECT * FROM SS_MA_CUENTAS ");
}

TEST_P(Sentencias, ErrorDeRedReabreYRepiteUnaVez)
{
    DB().gCnn->fallas().caida = true;
    QString sql = QStringLiteral("INSERT INTO LOG (TEXTO) VALUES ('uno')");
    std::int32_t afectados = 0;
    DB().EjecutaConsultaSQL(sql, afectados);
    EXPECT_EQ(cuenta(QStringLiteral("LOG")), 1);
    EXPECT_EQ(DB().gCnn->fallas().aperturas, 2);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_P(Sentencias, SentenciaConTransNuncaReabre)
{
    DB().gCnn->fallas().caida = true;
    QString sql = QStringLiteral("BEGIN TRANSACTION; INSERT INTO LOG (TEXTO) VALUES ('uno'); COMMIT TRANSACTION");
    std::int32_t afectados = 0;
    DB().EjecutaConsultaSQL(sql, afectados);
    EXPECT_EQ(DB().gCnn->fallas().aperturas, 1);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_P(Sentencias, OtrosErroresNoSeInformanEnLaPrimeraYSiEnLaSegunda)
{
    QString sql = QStringLiteral("INSERT INTO NO_EXISTE VALUES (1)");
    std::int32_t afectados = 0;
    DB().EjecutaConsultaSQL(sql, afectados);
    EXPECT_TRUE(op->mostrados.empty());
    DB().EjecutaConsultaRSQL(sql, afectados); // table missing: silent too
    EXPECT_TRUE(op->mostrados.empty());

    DB().gCnn->fallas().veces = 1;
    DB().gCnn->fallas().error = ado::Error{3265, QStringLiteral("Item not found"), QStringLiteral("ADODB"), {}, 0};
    sql = QStringLiteral("INSERT INTO LOG VALUES ('x')");
    DB().EjecutaConsultaRSQL(sql, afectados);
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].titulo, u"Aviso al operador!!!");
    EXPECT_EQ(op->mostrados[0].texto, u"Item not found");
}

TEST_P(Sentencias, AvisoDeTruncadoSeLimpia)
{
    DB().gCnn->fallas().veces = 1;
    DB().gCnn->fallas().error = ado::Error{ado::E_FAIL, QStringLiteral("String or binary data would be truncated."),
                                           QStringLiteral("Proveedor"), QStringLiteral("22001"), 8152};
    QString sql = QStringLiteral("INSERT INTO LOG VALUES ('x')");
    std::int32_t afectados = 0;
    DB().EjecutaConsultaSQL(sql, afectados);
    EXPECT_EQ(DB().gCnn->errors().Count(), 0);
}

TEST_P(Sentencias, AvisoDeTruncadoEnSentenciaConTransNuncaSeLimpia)
{
    ado::Fallas& f = DB().gCnn->fallas();
    f.error = ado::Error{ado::E_FAIL, QStringLiteral("String or binary data would be truncated."), QStringLiteral("Proveedor"),
                         QStringLiteral("22001"), 8152};
    std::int32_t afectados = 0;
    for (const char16_t* texto : {u"BEGIN TRANSACTION; INSERT INTO LOG VALUES ('x'); COMMIT TRANSACTION",
                                  u"INSERT INTO LOG VALUES ('TRANSPORTE')"}) {
        f.veces = 1;
        QString sql = QString::fromUtf16(texto);
        DB().EjecutaConsultaSQL(sql, afectados);
        ASSERT_EQ(DB().gCnn->errors().Count(), 1) << sql.toStdString();
        EXPECT_EQ(DB().gCnn->errors().Item(0).NativeError, 8152);
    }
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_P(Sentencias, ErrorDeRedSinServidorPreguntaCuandoElContadorLlegaATres)
{
    ServidorCaido(DB(), true);
    op->respuestas = {respuesta::Yes, respuesta::Yes};
    QString sql = QStringLiteral("INSERT INTO LOG (TEXTO) VALUES ('uno')");
    std::int32_t afectados = 0;
    DB().EjecutaConsultaSQL(sql, afectados);
    // The statement, the first re-open and its second try, then two more
    // failed tries before the operator is asked; then after every failed try.
    EXPECT_EQ(fallosAlPreguntar, (std::vector<int>{5, 6}));
    for (const auto& m : op->mostrados)
        EXPECT_EQ(m.titulo, u"AVISO AL OPERADOR");
    EXPECT_EQ(cuenta(QStringLiteral("LOG")), 1);
}

TEST_P(Sentencias, ErrorDeRedConReaperturasLogradasVuelveAlTerceroSinMensaje)
{
    // The statement runs on another instance; the errors looked at are those
    // of the shared one, whose link is gone.
    DB_Dll& otra = DBEstadisticas();
    if (GetParam())
        AbreOdbc(otra, QStringLiteral("EMPRESA"));
    else
        Abre(otra, QStringLiteral("EMPRESA"));
    ASSERT_TRUE(otra.gOpenFlag);
    DB().gCnn->fallas().caida = true;
    EXPECT_NE(prueba::NumeroDeError([] { DB().gCnn->Execute(QStringLiteral("SELECT 1")); }), 0);
    ASSERT_EQ(DB().gCnn->errors().Item(0).NativeError, 11);

    QString sql = QStringLiteral("INSERT INTO NO_EXISTE VALUES (1)");
    std::int32_t afectados = 0;
    otra.EjecutaConsultaSQL(sql, afectados);
    EXPECT_EQ(otra.gCnn->fallas().aperturas, 1 + 3);
    EXPECT_TRUE(otra.gOpenFlag);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_P(Sentencias, ConexionAnuladaQuedaComoConexionNuevaCerrada)
{
    DB().gCnn = nullptr;
    EXPECT_EQ(DB().gCnn->State(), ado::adStateClosed);
    // Used like that it is a closed connection: an error the operator sees, no crash.
    op->respuestas = {respuesta::Abort};
    QString sql = QStringLiteral("SELECT * FROM MA_ARTICULOS");
    ado::Recordset rs;
    DB().AbrirRecordset(sql, rs);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_TRUE(op->mostrados[0].texto.contains(QStringLiteral("(3709)")));
    std::int32_t afectados = 0;
    DB().EjecutaConsultaSQL(sql, afectados);

    // And it opens again as at start-up.
    if (GetParam())
        AbreOdbc(DB(), QStringLiteral("EMPRESA"));
    else
        Abre(DB(), QStringLiteral("EMPRESA"));
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(cuenta(QStringLiteral("MA_ARTICULOS")), 3);

    DB().gCnn = std::shared_ptr<ado::Connection>();
    EXPECT_EQ(DB().gCnn->State(), ado::adStateClosed);
    DB().gCnn.reset();
    EXPECT_EQ(DB().gCnn->State(), ado::adStateClosed);
    // Another connection given by a caller is taken as it is.
    auto propia = ado::Connection::Create();
    DB().gCnn = propia;
    EXPECT_EQ(DB().gCnn.get(), propia);
}

TEST_P(Sentencias, GuionOracleOmiteLoQueSoloEntiendeSQLServer)
{
    DB().gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=X;");
    std::int32_t afectados = 0;
    // Were it run, the existence test would fail here as a syntax error.
    EXPECT_EQ(prueba::NumeroDeError([&] {
                  DB().EjecutaScriptOracle(QStringLiteral("IF NOT EXISTS (SELECT * FROM LOG WHERE TEXTO = 'a') "
                                                          "INSERT INTO LOG (TEXTO) VALUES ('a')"),
                                           afectados);
              }),
              0);
    EXPECT_EQ(cuenta(QStringLiteral("LOG")), 1);
    // A statement holding SET NOCOUNT is dropped whole.
    DB().EjecutaScriptOracle(QStringLiteral("INSERT INTO LOG (TEXTO) VALUES ('b') SET NOCOUNT  ON\r\n"
                                            "INSERT INTO LOG (TEXTO) VALUES ('c')"),
                             afectados);
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT TEXTO FROM LOG ORDER BY TEXTO"), DB().gCnn);
    std::vector<QString> textos;
    for (; !rs.EOF_(); rs.MoveNext())
        textos.push_back(rs.Fields(0).Value().toString());
    EXPECT_EQ(textos, (std::vector<QString>{u"a"_qs, u"c"_qs}));
}

TEST_P(Sentencias, GuionOracleManejaLaTransaccionEnLaConexion)
{
    DB().gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=X;");
    std::int32_t afectados = 0;
    DB().EjecutaScriptOracle(QStringLiteral("BEGIN TRANSACTION\r\nINSERT INTO LOG (TEXTO) VALUES ('a')\r\nSET NOCOUNT ON\r\n"
                                            "INSERT INTO LOG (TEXTO) VALUES ('b')\r\nROLLBACK TRANSACTION"),
                             afectados);
    EXPECT_EQ(cuenta(QStringLiteral("LOG")), 0);
    DB().EjecutaScriptOracle(QStringLiteral("BEGIN TRANS INSERT INTO LOG (TEXTO) VALUES ('a') COMMIT TRANS"), afectados);
    EXPECT_EQ(cuenta(QStringLiteral("LOG")), 1);
}

INSTANTIATE_TEST_SUITE_P(Proveedores, Sentencias, ::testing::Values(false, true),
                         [](const auto& i) { return i.param ? "Odbc" : "Sqlite"; });

} // namespace
