// The same behaviour over SQLite opened natively (an embedded server of the
// server list), over SQLite behind unixODBC (libsqliteodbc), and over the SQL
// Server named by VERIFICADOR_PRUEBA_MSSQL when there is one.
#include "entorno_ado.h"
#include "platform/ado/errores_ado.h"

using namespace ado;
using prueba::Falla;
using prueba::Via;

namespace {

class SuiteAdo : public ::testing::TestWithParam<Via>, protected prueba::ConConexion {
protected:
    void SetUp() override
    {
        entorno.creaBase(QStringLiteral("EMPRESA"));
        entorno.abre(cn, GetParam(), QStringLiteral("empresa"));
        if (IsSkipped() || HasFatalFailure())
            return;
        ejecuta(u"CREATE TABLE dbo.ARTICULOS (IdArticulo varchar(20) NOT NULL PRIMARY KEY, Descripcion nvarchar(60), "
                u"CodigoBarra varchar(20) NULL, Precio float, Stock int, Grande bigint, Suspendido bit, "
                u"Alta datetime, Rubro varchar(10) DEFAULT 'GRAL')");
        ejecuta(u"CREATE TABLE RUBROS (Rubro varchar(10) PRIMARY KEY)");
        ejecuta(u"CREATE TABLE MOVS (Id int PRIMARY KEY, Rubro varchar(10) REFERENCES RUBROS(Rubro))");
        ejecuta(u"CREATE VIEW V_MA_Articulos AS SELECT * FROM ARTICULOS");
        ejecuta(u"INSERT INTO ARTICULOS (IdArticulo, Descripcion, CodigoBarra, Precio, Stock, Grande, Suspendido, Alta) "
                u"VALUES ('A1', 'Martillo de acero', '779001', 10.5, 3, 5000000000, 0, '2025-03-07T18:05:09')");
        ejecuta(u"INSERT INTO ARTICULOS (IdArticulo, Descripcion, CodigoBarra, Precio, Stock, Suspendido) "
                u"VALUES ('A2', N'Caño ñandú', NULL, 2, -7, 1)");
        ejecuta(u"INSERT INTO ARTICULOS (IdArticulo, Descripcion, CodigoBarra, Stock, Suspendido) "
                u"VALUES ('b3', '  Tenaza  ', '', 0, 0)");
    }
};

TEST_P(SuiteAdo, FieldsCarryTypeNameAndValueOfTheirColumn)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ARTICULOS ORDER BY IdArticulo"), cn, adOpenForwardOnly, adLockReadOnly);
    ASSERT_EQ(rs.FieldCount(), 9);
    EXPECT_EQ(rs.Fields(0).Name, u"IdArticulo");
    EXPECT_EQ(rs.Fields("idarticulo").Type, adVarChar);
    EXPECT_EQ(rs.Fields("IDARTICULO").DefinedSize, 20);
    EXPECT_EQ(rs.Fields("Descripcion").Type, adVarWChar);
    EXPECT_EQ(rs.Fields("Precio").Type, adDouble);
    EXPECT_EQ(rs.Fields("Stock").Type, adInteger);
    EXPECT_EQ(rs.Fields("Suspendido").Type, adBoolean);
    EXPECT_EQ(rs.Fields("Alta").Type, adDBTimeStamp);

    EXPECT_FALSE(rs.BOF());
    EXPECT_EQ(rs["idARTICULO"].Value(), Variant(u"A1"));
    EXPECT_EQ(rs["Precio"].Value(), Variant(10.5));
    EXPECT_EQ(rs["Stock"].Value().type(), VarType::Long);
    EXPECT_EQ(rs["Grande"].Value(), Variant(std::int64_t(5000000000)));
    EXPECT_EQ(rs["Suspendido"].Value(), Variant(false));
    EXPECT_EQ(rs["Alta"].Value().toDate(), QDateTime(QDate(2025, 3, 7), QTime(18, 5, 9)));
    rs.MoveNext();
    EXPECT_EQ(rs["Descripcion"].Value(), Variant(u"Caño ñandú"));
    EXPECT_TRUE(rs["CodigoBarra"].Value().isNull());
    EXPECT_EQ(rs["Stock"].Value(), Variant(std::int32_t(-7)));
    EXPECT_EQ(rs["Suspendido"].Value(), Variant(true));
    rs.MoveNext();
    EXPECT_EQ(rs["Descripcion"].Value(), Variant(u"  Tenaza  "));
    EXPECT_EQ(rs["CodigoBarra"].Value(), Variant(u""));
    EXPECT_EQ(rs["Rubro"].Value(), Variant(u"GRAL")); // the column's default

    EXPECT_EQ(Falla([&] { rs.Fields("NoExiste"); }).Number, adErrItemNotFound);
    EXPECT_EQ(Falla([&] { rs.Fields(9); }).Number, adErrItemNotFound);
    rs.MoveNext();
    EXPECT_TRUE(rs.EOF_());
    EXPECT_EQ(Falla([&] { rs.Fields(0).Value(); }).Number, adErrNoCurrentRecord);
    EXPECT_EQ(Falla([&] { rs.MoveNext(); }).Number, adErrNoCurrentRecord);
    rs.Close();
    EXPECT_EQ(Falla([&] { rs.EOF_(); }).Number, adErrObjectClosed);
    EXPECT_EQ(Falla([&] { rs.Close(); }).Number, adErrObjectClosed);
}

TEST_P(SuiteAdo, AnEmptyResultIsBofAndEofAtOnce)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ARTICULOS WHERE 1 = 0"), cn);
    EXPECT_TRUE(rs.BOF());
    EXPECT_TRUE(rs.EOF_());
    EXPECT_EQ(rs.FieldCount(), 9);
    EXPECT_EQ(Falla([&] { rs.GetRows(); }).Number, adErrNoCurrentRecord);
    EXPECT_EQ(Falla([&] { rs.Open(QStringLiteral("SELECT 1"), cn); }).Number, adErrObjectOpen);
}

TEST_P(SuiteAdo, ExecuteCountsTheRowsItChangesAndReturnsRows)
{
    EXPECT_EQ(ejecuta(u"UPDATE ARTICULOS SET Stock = Stock + 1 WHERE Suspendido = 0"), 2);
    EXPECT_EQ(ejecuta(u"DELETE FROM ARTICULOS WHERE IdArticulo = 'nadie'"), 0);
    std::int32_t n = 99;
    auto rs = cn->Execute(QStringLiteral("SELECT COUNT(*) AS N FROM ARTICULOS"), &n);
    ASSERT_EQ(rs->State(), adStateOpen);
    EXPECT_EQ(rs->Fields("n").Value(), Variant(std::int32_t(3)));
    auto nada = cn->Execute(QStringLiteral("UPDATE ARTICULOS SET Stock = 0 WHERE 1 = 0"));
    EXPECT_EQ(nada->State(), adStateClosed);
}

TEST_P(SuiteAdo, StatementsInServerDialectRunTranslated)
{
    EXPECT_EQ(escalar(u"SELECT TOP 1 IdArticulo FROM dbo.[ARTICULOS] with(nolock) ORDER BY IdArticulo DESC"),
              Variant(u"b3"));
    EXPECT_EQ(filas(u"SELECT idarticulo , ISNULL(CODIGOBARRA  , '') as CODIGOBARRA, DESCRIPCION, 0 as Stock "
                    u"FROM V_MA_Articulos    where SUSPENDIDO = 0   ")
                  .size(),
              2u);
    EXPECT_EQ(escalar(u"SELECT ISNULL(CodigoBarra, 'sin') FROM ARTICULOS WITH (NOLOCK) WHERE IdArticulo = 'A2'"),
              Variant(u"sin"));
    EXPECT_EQ(escalar(u"SELECT IdArticulo + ' - ' + Descripcion FROM ARTICULOS WHERE IdArticulo = 'A1'"),
              Variant(u"A1 - Martillo de acero"));
    EXPECT_EQ(escalar(u"SELECT LEN(Descripcion) FROM ARTICULOS WHERE IdArticulo = 'b3'"), Variant(std::int32_t(8))); // leading blanks count, trailing ones do not
    EXPECT_EQ(escalar(u"SELECT SUBSTRING(Descripcion, 1, 8) FROM ARTICULOS WHERE CHARINDEX('acero', Descripcion) > 0"),
              Variant(u"Martillo"));
    EXPECT_EQ(escalar(u"SELECT CONVERT(varchar(10), Alta, 103) FROM ARTICULOS WHERE IdArticulo = 'A1'"),
              Variant(u"07/03/2025"));
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM (SELECT TOP 2 * FROM ARTICULOS ORDER BY IdArticulo) x"),
              Variant(std::int32_t(2)));
    EXPECT_EQ(filas(u"SELECT TOP 50 PERCENT IdArticulo FROM ARTICULOS ORDER BY IdArticulo").size(), 2u);
    EXPECT_EQ(filas(u"SELECT TOP 100 PERCENT IdArticulo FROM ARTICULOS").size(), 3u);

    const Variant ahora = escalar(u"select  getDate() as fecha");
    ASSERT_EQ(ahora.type(), VarType::Date);
    EXPECT_LT(std::abs(ahora.toDate().secsTo(QDateTime::currentDateTime())), 5);
}

TEST_P(SuiteAdo, TextComparisonsIgnoreCase)
{
    EXPECT_EQ(escalar(u"SELECT IdArticulo FROM ARTICULOS WHERE IdArticulo = 'B3'"), Variant(u"b3"));
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ARTICULOS WHERE Descripcion LIKE '%MARTILLO%'"), Variant(std::int32_t(1)));
    // A column created here compares ignoring case with another column too.
    ejecuta(u"INSERT INTO RUBROS (Rubro) VALUES ('gral')");
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ARTICULOS a INNER JOIN RUBROS r ON a.Rubro = r.Rubro"),
              Variant(std::int32_t(3)));
    // ... and a key that differs only in case is the same key.
    const VbError e = Falla([&] { ejecuta(u"INSERT INTO RUBROS (Rubro) VALUES ('GRAL')"); });
    EXPECT_EQ(cn->errors().Item(0).NativeError, nativo::ClaveDuplicada);
}

TEST_P(SuiteAdo, ProviderFailuresCarryTheServerNumbers)
{
    VbError e = Falla([&] { ejecuta(u"INSERT INTO ARTICULOS (IdArticulo) VALUES ('A1')"); });
    EXPECT_EQ(e.Number, DB_E_INTEGRITYVIOLATION);
    ASSERT_EQ(cn->errors().Count(), 1);
    EXPECT_EQ(cn->errors().Item(0).NativeError, nativo::ClaveDuplicada);
    EXPECT_EQ(cn->errors().Item(0).SQLState, u"23000");
    EXPECT_EQ(cn->errors().Item(0).Description, e.Description);
    EXPECT_FALSE(e.Description.isEmpty());

    e = Falla([&] { ejecuta(u"INSERT INTO MOVS (Id, Rubro) VALUES (1, 'NINGUNO')"); });
    EXPECT_EQ(e.Number, DB_E_INTEGRITYVIOLATION);
    EXPECT_EQ(cn->errors().Item(0).NativeError, nativo::Restriccion);

    Recordset rs;
    e = Falla([&] { rs.Open(QStringLiteral("SELECT * FROM NO_EXISTE with(nolock)"), cn); });
    EXPECT_EQ(e.Number, DB_E_NOTABLE);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 208);
    EXPECT_EQ(rs.State(), adStateClosed);

    e = Falla([&] { ejecuta(u"SELEC mal escrito"); });
    EXPECT_EQ(e.Number, DB_E_ERRORSINCOMMAND);

    // A query that fails on its first row leaves the recordset closed and reusable.
    const QString desborde = GetParam() == Via::Servidor ? QStringLiteral("SELECT abs(CAST(-2147483648 AS int))")
                                                         : QStringLiteral("SELECT abs(-9223372036854775807 - 1)");
    e = Falla([&] { rs.Open(desborde, cn); });
    EXPECT_EQ(rs.State(), adStateClosed);
    rs.Open(QStringLiteral("SELECT 7 AS n"), cn);
    EXPECT_EQ(rs["n"].Value(), Variant(std::int32_t(7)));
    rs.Close();

    // The next operation that reaches the provider starts with no errors.
    ejecuta(u"UPDATE ARTICULOS SET Stock = 1 WHERE 1 = 0");
    EXPECT_EQ(cn->errors().Count(), 0);
}

TEST_P(SuiteAdo, ForwardOnlyRowsStreamWhileOtherStatementsRun)
{
    ejecuta(u"CREATE TABLE NUMEROS (N int)");
    ejecuta(u"CREATE TABLE LOG (N int)");
    cn->BeginTrans();
    for (int i = 0; i < 2000; ++i)
        cn->Execute(QStringLiteral("INSERT INTO NUMEROS (N) VALUES (%1)").arg(i));
    cn->CommitTrans();

    cn->CursorLocation = adUseClient; // streams all the same
    Recordset rs;
    rs.Open(QStringLiteral("SELECT N FROM NUMEROS ORDER BY N"), cn, adOpenForwardOnly, adLockReadOnly);
    rs.MoveFirst(); // still on the first row: allowed
    long long suma = 0;
    int vistas = 0;
    for (; !rs.EOF_(); rs.MoveNext()) {
        suma += rs.Fields("N").Value().toLong();
        if (++vistas % 500 == 0)
            cn->Execute(QStringLiteral("INSERT INTO LOG (N) VALUES (%1)").arg(vistas));
    }
    EXPECT_EQ(vistas, 2000);
    EXPECT_EQ(suma, 1999LL * 2000 / 2);
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM LOG"), Variant(std::int32_t(4)));
    EXPECT_EQ(Falla([&] { rs.MoveFirst(); }).Number, std::int32_t(0x80040E24));
}

// A streamed row's texts may stay with the driver until they are asked for:
// another statement run in between must not let the next rows take their place.
TEST_P(SuiteAdo, AStreamedRowKeepsItsTextsWhenOtherStatementsRunBeforeTheyAreRead)
{
    ejecuta(u"CREATE TABLE PALABRAS (N int, T varchar(40), U nvarchar(40))");
    ejecuta(u"CREATE TABLE LOG (N int)");
    cn->BeginTrans();
    for (int i = 0; i < 60; ++i)
        cn->Execute(i == 13 ? QStringLiteral("INSERT INTO PALABRAS (N, T, U) VALUES (13, NULL, NULL)")
                            : QStringLiteral("INSERT INTO PALABRAS (N, T, U) VALUES (%1, 'texto %1', N'\u00f1and\u00fa %1')").arg(i));
    cn->CommitTrans();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT T, U, N FROM PALABRAS ORDER BY N"), cn, adOpenForwardOnly, adLockReadOnly);
    int fila = 0;
    for (; !rs.EOF_(); rs.MoveNext(), ++fila) {
        // A driver with one statement at a time reads ahead on any other
        // statement; the SQLite driver does on a transaction.
        if (fila % 3 == 2)
            cn->BeginTrans();
        if (fila % 3 != 0)
            cn->Execute(QStringLiteral("INSERT INTO LOG (N) VALUES (%1)").arg(fila));
        if (fila % 3 == 2)
            cn->CommitTrans();
        const Variant t = rs["T"].Value();
        QByteArrayView bytes;
        const bool enBytes = rs["U"].TextoUtf8(bytes);
        if (fila == 13) {
            EXPECT_TRUE(t.isNull());
            EXPECT_FALSE(enBytes);
            EXPECT_TRUE(rs["U"].Value().isNull());
            continue;
        }
        const QString u = enBytes ? QString::fromUtf8(bytes) : rs["U"].Value().toString();
        EXPECT_EQ(t, Variant(QStringLiteral("texto %1").arg(fila))) << fila;
        EXPECT_EQ(u, QStringLiteral("\u00f1and\u00fa %1").arg(fila)) << fila;
        EXPECT_EQ(rs["N"].Value().toLong(), fila);
    }
    EXPECT_EQ(fila, 60);
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM LOG"), Variant(std::int32_t(40)));
}

TEST_P(SuiteAdo, DynamicRecordsetsWriteThroughToTheirTable)
{
    ejecuta(u"CREATE TABLE AUX_ERR (Sentencia varchar(200), Programa varchar(50), Nro int, Fecha datetime)");
    Recordset rs;
    rs.Open(QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) "), cn, adOpenDynamic, adLockOptimistic);
    EXPECT_TRUE(rs.EOF_());
    rs.AddNew();
    rs["Sentencia"].setValue(QStringLiteral("INSERT INTO X"));
    rs["PROGRAMA"].setValue(QStringLiteral("verificador"));
    rs["Nro"].setValue(std::int32_t(2627));
    EXPECT_TRUE(rs.EditPending());
    EXPECT_EQ(Falla([&] { rs.Close(); }).Number, adErrIllegalOperation);
    rs.Update();
    EXPECT_FALSE(rs.EditPending());
    EXPECT_EQ(rs["Nro"].Value(), Variant(std::int32_t(2627)));
    EXPECT_TRUE(rs["Fecha"].Value().isNull());
    rs.Close();
    EXPECT_EQ(escalar(u"SELECT Programa FROM AUX_ERR WHERE Nro = 2627"), Variant(u"verificador"));

    // Editing, cancelling and deleting the rows of a table.
    rs.Open(QStringLiteral("SELECT * FROM ARTICULOS ORDER BY IdArticulo"), cn, adOpenDynamic, adLockOptimistic);
    rs["Stock"].setValue(std::int32_t(40));
    rs.Update();
    rs.MoveNext();
    rs["Stock"].setValue(std::int32_t(99));
    rs.CancelUpdate();
    EXPECT_EQ(rs["Stock"].Value(), Variant(std::int32_t(-7)));
    rs.Delete();
    EXPECT_EQ(Falla([&] { rs["Stock"].Value(); }).Number, adErrNoCurrentRecord);
    rs.MoveNext();
    EXPECT_EQ(rs["IdArticulo"].Value(), Variant(u"b3"));
    rs.Close();
    EXPECT_EQ(escalar(u"SELECT Stock FROM ARTICULOS WHERE IdArticulo = 'A1'"), Variant(std::int32_t(40)));
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ARTICULOS"), Variant(std::int32_t(2)));
}

TEST_P(SuiteAdo, ReadOnlyRecordsetsRefuseWrites)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ARTICULOS"), cn, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(Falla([&] { rs["Stock"].setValue(std::int32_t(1)); }).Number, adErrFeatureNotAvailable);
    EXPECT_EQ(Falla([&] { rs.AddNew(); }).Number, adErrFeatureNotAvailable);
    rs.Close();
    rs.Open(QStringLiteral("SELECT a.IdArticulo FROM ARTICULOS a INNER JOIN RUBROS r ON a.Rubro = r.Rubro"), cn,
            adOpenDynamic, adLockOptimistic);
    EXPECT_EQ(Falla([&] { rs.AddNew(); }).Number, adErrFeatureNotAvailable);
}

TEST_P(SuiteAdo, TransactionsCommitAndRollBack)
{
    EXPECT_EQ(cn->BeginTrans(), 1);
    ejecuta(u"DELETE FROM ARTICULOS");
    cn->RollbackTrans();
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ARTICULOS"), Variant(std::int32_t(3)));
    cn->BeginTrans();
    ejecuta(u"DELETE FROM ARTICULOS WHERE IdArticulo = 'A1'");
    cn->CommitTrans();
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ARTICULOS"), Variant(std::int32_t(2)));
    EXPECT_EQ(Falla([&] { cn->CommitTrans(); }).Number, XACT_E_NOTRANSACTION);

    // The statement runner's batch: statements on lines of their own, no ";".
    ejecuta(u"BEGIN TRANSACTION \r\r\rINSERT INTO RUBROS (Rubro) VALUES ('A')\rUPDATE RUBROS SET Rubro = 'B' "
            u"WHERE Rubro = 'a'\rINSERT INTO RUBROS (Rubro) VALUES ('C')\r");
    ejecuta(u"COMMIT TRANSACTION");
    EXPECT_EQ(filas(u"SELECT Rubro FROM RUBROS ORDER BY Rubro").size(), 2u);

    // A failing statement leaves the batch's transaction open for the rollback.
    Falla([&] {
        ejecuta(u"BEGIN TRANSACTION \r\r\rINSERT INTO RUBROS (Rubro) VALUES ('D')\rINSERT INTO RUBROS (Rubro) VALUES ('b')\r");
    });
    EXPECT_EQ(cn->errors().Item(0).NativeError, nativo::ClaveDuplicada);
    ejecuta(u"ROLLBACK TRANSACTION");
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM RUBROS WHERE Rubro = 'D'"), Variant(std::int32_t(0)));
}

TEST_P(SuiteAdo, SchemaRowsListTablesViewsAndColumns)
{
    auto rs = cn->OpenSchema(adSchemaTables);
    std::map<QString, QString> tablas;
    for (; !rs->EOF_(); rs->MoveNext())
        tablas[rs->Fields("TABLE_NAME").Value().toString()] = rs->Fields("TABLE_TYPE").Value().toString();
    EXPECT_EQ(tablas[QStringLiteral("ARTICULOS")], u"TABLE");
    EXPECT_EQ(tablas[QStringLiteral("V_MA_Articulos")], u"VIEW");

    rs = cn->OpenSchema(adSchemaColumns, {Variant(cn->DefaultDatabase()), Variant(), Variant(u"articulos")});
    QStringList columnas;
    for (; !rs->EOF_(); rs->MoveNext()) {
        EXPECT_EQ(rs->Fields("TABLE_NAME").Value(), Variant(u"ARTICULOS"));
        EXPECT_EQ(rs->Fields("TABLE_CATALOG").Value(), Variant(cn->DefaultDatabase()));
        columnas << rs->Fields("COLUMN_NAME").Value().toString();
    }
    EXPECT_EQ(columnas.size(), 9);
    EXPECT_TRUE(columnas.contains(QStringLiteral("CodigoBarra")));
}

TEST_P(SuiteAdo, InjectedFaultsFailOperationsOnARealDatabase)
{
    Fallas& f = cn->fallas();
    f.veces = 1;
    f.error = Error{DB_E_ERRORSINCOMMAND, QStringLiteral("simulated"), QStringLiteral("prueba"), QStringLiteral("42000"), 156};
    VbError e = Falla([&] { ejecuta(u"UPDATE ARTICULOS SET Stock = 1"); });
    EXPECT_EQ(e.Number, DB_E_ERRORSINCOMMAND);
    EXPECT_EQ(cn->errors().Item(0).NativeError, 156);
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ARTICULOS WHERE Stock = 1"), Variant(std::int32_t(0)));
    EXPECT_EQ(ejecuta(u"UPDATE ARTICULOS SET Stock = 1"), 3);

    f.caida = true;
    for (int i = 0; i < 2; ++i) {
        Recordset rs;
        e = Falla([&] { rs.Open(QStringLiteral("SELECT 1"), cn); });
        EXPECT_EQ(e.Number, E_FAIL);
        ASSERT_EQ(cn->errors().Count(), 1);
        EXPECT_EQ(cn->errors().Item(0).NativeError, nativo::ErrorRed);
        EXPECT_EQ(cn->errors().Item(0).SQLState, u"08S01");
    }
    EXPECT_EQ(cn->State(), adStateOpen);
    EXPECT_EQ(f.fallosProducidos, 3);
    const int aperturas = f.aperturas;
    cn->Close();
    cn->Open();
    EXPECT_EQ(f.aperturas, aperturas + 1);
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ARTICULOS"), Variant(std::int32_t(3)));

    // Failing the re-open itself, as a server that stays away.
    cn->Close();
    f.veces = -1;
    f.error = ErrorRed(QStringLiteral("prueba"));
    EXPECT_EQ(Falla([&] { cn->Open(); }).Number, E_FAIL);
    EXPECT_EQ(cn->State(), adStateClosed);
    f.veces = 0;
    cn->Open();
    EXPECT_EQ(cn->State(), adStateOpen);
}

TEST_P(SuiteAdo, ObjectStatesFollowThePlatformRules)
{
    EXPECT_EQ(Falla([&] { cn->Open(); }).Number, adErrObjectOpen);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM ARTICULOS"), cn);
    cn->Close();
    EXPECT_EQ(rs.State(), adStateClosed); // closed with its connection
    EXPECT_EQ(Falla([&] { cn->Close(); }).Number, adErrObjectClosed);
    EXPECT_EQ(Falla([&] { cn->Execute(QStringLiteral("SELECT 1")); }).Number, adErrInvalidConnection);
    EXPECT_EQ(Falla([&] { rs.Open(QStringLiteral("SELECT 1"), cn); }).Number, adErrInvalidConnection);
    cn->Open();
    EXPECT_EQ(cn->State(), adStateOpen);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, SuiteAdo, ::testing::Values(Via::Nativa, Via::Odbc), prueba::NombreVia);
INSTANTIATE_TEST_SUITE_P(SqlServer, SuiteAdo, ::testing::Values(Via::Servidor), prueba::NombreVia);

} // namespace
