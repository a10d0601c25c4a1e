// The server's statement forms run on the embedded database, with the
// results the server gives.
#include "entorno_ado.h"

using namespace ado;
using prueba::Falla;
using prueba::Via;

namespace {

const char16_t* Sql(const QString& s) { return reinterpret_cast<const char16_t*>(s.utf16()); }

class DialectoSqlite : public ::testing::Test, protected prueba::ConConexion {
protected:
    void SetUp() override
    {
        entorno.creaBase(QStringLiteral("EMPRESA"));
        cn = Connection::Create();
        cn->Open(entorno.cadena(Via::Nativa, QStringLiteral("empresa")));
        ejecuta(u"CREATE TABLE t (k int PRIMARY KEY, n int)");
        ejecuta(u"CREATE TABLE u (id int IDENTITY(1,1) PRIMARY KEY, v int)");
        ejecuta(u"INSERT INTO t VALUES (1, 10) INSERT INTO t VALUES (2, 20) INSERT INTO t VALUES (3, 20) "
                u"INSERT INTO t VALUES (4, 30)");
    }

    std::int32_t cuenta() { return escalar(u"SELECT COUNT(*) FROM t").toLong(); }
};

TEST_F(DialectoSqlite, IfRunsItsStatementOnlyWhenTheConditionHolds)
{
    // Run twice: the row goes in once, and the option before the IF does not hide it.
    for (int i = 0; i < 2; ++i)
        ejecuta(u"SET NOCOUNT ON IF NOT EXISTS (SELECT 1 FROM t WHERE k = 5) INSERT INTO t VALUES (5, 50)");
    EXPECT_EQ(cuenta(), 5);
    ejecuta(u"IF EXISTS (SELECT 1 FROM t WHERE k = 9) UPDATE t SET n = 0 WHERE k = 5");
    ejecuta(u"IF EXISTS (SELECT 1 FROM t WHERE k = 9) DELETE t");
    EXPECT_EQ(escalar(u"SELECT n FROM t WHERE k = 5"), Variant(std::int32_t(50)));
    EXPECT_EQ(cuenta(), 5);
    ejecuta(u"IF EXISTS (SELECT 1 FROM t WHERE k = 5) UPDATE t SET n = 0 WHERE k = 5 OR k = 1");
    EXPECT_EQ(escalar(u"SELECT SUM(n) FROM t WHERE k IN (1, 5)"), Variant(std::int32_t(0)));
    ejecuta(u"IF NOT EXISTS (SELECT 1 FROM t WHERE k = 9) DELETE t WHERE k = 5");
    EXPECT_EQ(cuenta(), 4);
    EXPECT_TRUE(filas(u"IF 1 = 0 SELECT k FROM t").empty());
    EXPECT_EQ(filas(u"IF 1 = 1 SELECT k FROM t").size(), 4u);
    ejecuta(u"IF NOT EXISTS (SELECT 1 FROM t WHERE k = 6) BEGIN INSERT INTO t VALUES (6, 60) END");
    EXPECT_EQ(cuenta(), 5);
    // ELSE, blocks and nested IFs: the condition is taken once, before its
    // branch runs (the INSERT below would change it).
    ejecuta(u"INSERT INTO u (v) VALUES (1)");
    ejecuta(u"IF 1 = 0 DELETE t ELSE DELETE u");
    EXPECT_EQ(cuenta(), 5);
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM u"), Variant(std::int32_t(0)));
    ejecuta(u"IF NOT EXISTS (SELECT 1 FROM t WHERE k = 7) BEGIN INSERT INTO t VALUES (7, 70) "
            u"UPDATE t SET n = 71 WHERE k = 7 END ELSE BEGIN DELETE t END");
    EXPECT_EQ(escalar(u"SELECT n FROM t WHERE k = 7"), Variant(std::int32_t(71)));
    ejecuta(u"IF EXISTS (SELECT 1 FROM t) IF 1 = 0 DELETE t ELSE UPDATE t SET n = 0 WHERE k = 7");
    EXPECT_EQ(escalar(u"SELECT n FROM t WHERE k = 7"), Variant(std::int32_t(0)));
    EXPECT_EQ(cuenta(), 6);
    // Only the first result set comes back, whichever branch gave it.
    EXPECT_EQ(escalar(u"IF 1 = 0 SELECT 'no' ELSE SELECT 'si' SELECT 'despues'"), Variant(u"si"));
}

TEST_F(DialectoSqlite, AViewsComputedColumnsKeepTheirTypesInLaterBatches)
{
    ejecuta(u"CREATE TABLE p (k int PRIMARY KEY, precio money)");
    ejecuta(u"INSERT INTO p VALUES (1, 800.00)");
    ejecuta(u"CREATE VIEW vp AS SELECT k, precio * 2 AS doble FROM p");
    // 1600.00 is stored as a whole number; money still divides exactly.
    EXPECT_EQ(escalar(u"SELECT doble / 3 FROM vp").toCurrency(), Currency{5333333});
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM vp"), cn, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(rs["doble"].Type, adCurrency);
    rs.Close();
    ejecuta(u"DROP VIEW vp");
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ss_tipos WHERE objeto = 'vp'"), Variant(std::int32_t(0)));
}

TEST_F(DialectoSqlite, AnIfOverTheTransactionCountEndsItsTransaction)
{
    ejecuta(u"BEGIN TRAN INSERT INTO t VALUES (8, 80)");
    ejecuta(u"IF @@TRANCOUNT > 0 ROLLBACK TRAN");
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(0)));
    EXPECT_EQ(cuenta(), 4);
    ejecuta(u"BEGIN TRAN INSERT INTO t VALUES (9, 90) IF @@TRANCOUNT = 0 ROLLBACK TRAN ELSE COMMIT TRAN");
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(0)));
    EXPECT_EQ(cuenta(), 5);
}

TEST_F(DialectoSqlite, StatementsWithoutSemicolonRunEach)
{
    EXPECT_EQ(escalar(u"INSERT INTO t (k, n) VALUES (7, 70) SELECT n FROM t WHERE k = 7"), Variant(std::int32_t(70)));
    ejecuta(u"DELETE t WHERE k = 7");
    EXPECT_EQ(cuenta(), 4);
    Recordset rs;
    rs.Open(QStringLiteral("SELECT 'Total' = COUNT(*), 'Mayor' = MAX(n) FROM t"), cn, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(rs.Fields(0).Name, u"Total");
    EXPECT_EQ(rs["Mayor"].Value(), Variant(std::int32_t(30)));
}

TEST_F(DialectoSqlite, NestedTransactionsCountAsOnTheServer)
{
    ejecuta(u"BEGIN TRAN");
    ejecuta(u"BEGIN TRANSACTION INSERT INTO t VALUES (8, 80)");
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(2)));
    ejecuta(u"COMMIT TRAN"); // the inner one: nothing is committed yet
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(1)));
    ejecuta(u"ROLLBACK TRAN"); // all of it
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(0)));
    EXPECT_EQ(cuenta(), 4);

    ejecuta(u"BEGIN TRAN BEGIN TRAN INSERT INTO t VALUES (8, 80) COMMIT COMMIT TRAN");
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(0)));
    EXPECT_EQ(cuenta(), 5);

    // Without a transaction the server refuses both.
    Falla([&] { ejecuta(u"COMMIT TRANSACTION"); });
    EXPECT_EQ(cn->errors().Item(0).NativeError, 3902);
    Falla([&] { ejecuta(u"ROLLBACK"); });
    EXPECT_EQ(cn->errors().Item(0).NativeError, 3903);

    // A transaction of the connection counts, and a COMMIT statement ends it.
    cn->BeginTrans();
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(1)));
    ejecuta(u"BEGIN TRAN DELETE t WHERE k = 8");
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(2)));
    ejecuta(u"COMMIT TRAN");
    ejecuta(u"COMMIT TRAN");
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(0)));
    EXPECT_EQ(cuenta(), 4);
}

TEST_F(DialectoSqlite, RowCountAndIdentityOfTheLastStatement)
{
    EXPECT_EQ(escalar(u"UPDATE t SET n = n WHERE k > 1 SELECT @@ROWCOUNT"), Variant(std::int32_t(3)));
    ejecuta(u"CREATE TABLE w (a int)");
    EXPECT_EQ(escalar(u"SELECT @@ROWCOUNT"), Variant(std::int32_t(0))); // DDL changes no rows
    EXPECT_EQ(escalar(u"INSERT INTO u (v) VALUES (5) SELECT SCOPE_IDENTITY()"), Variant(std::int32_t(1)));
    EXPECT_EQ(escalar(u"INSERT INTO u (v) VALUES (6); SELECT @@IDENTITY, @@ROWCOUNT"), Variant(std::int32_t(2)));
    EXPECT_EQ(escalar(u"IF @@ROWCOUNT = 1 SELECT 'una'"), Variant(u"una"));
}

TEST_F(DialectoSqlite, TopLimitsEachSelectOfAUnionAndTheRowsOfUpdatesAndDeletes)
{
    EXPECT_EQ(filas(u"SELECT TOP 1 k FROM t UNION ALL SELECT TOP 1 n FROM t").size(), 2u);
    // TOP is the first SELECT's own (any two of its rows); ORDER BY sorts the union.
    const auto altos = filas(u"SELECT TOP 2 k FROM t UNION SELECT v FROM u ORDER BY k DESC");
    ASSERT_EQ(altos.size(), 2u);
    EXPECT_GT(altos[0][0].toLong(), altos[1][0].toLong());
    EXPECT_EQ(filas(u"SELECT TOP 2 k FROM t ORDER BY k DESC")[1][0], Variant(std::int32_t(3)));
    // Ties with the last row kept come along.
    EXPECT_EQ(filas(u"SELECT TOP 2 WITH TIES k FROM t ORDER BY n DESC").size(), 3u);
    EXPECT_EQ(filas(u"SELECT TOP 1 WITH TIES k FROM t ORDER BY n").size(), 1u);
    Falla([&] { filas(u"SELECT TOP 2 WITH TIES k FROM t"); });
    EXPECT_EQ(cn->errors().Item(0).NativeError, 1062);

    EXPECT_EQ(ejecuta(u"UPDATE TOP (2) t SET n = 0 WHERE n > 10"), 2);
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM t WHERE n = 0"), Variant(std::int32_t(2)));
    EXPECT_EQ(ejecuta(u"DELETE TOP (1) FROM t WHERE n = 0"), 1);
    EXPECT_EQ(ejecuta(u"DELETE TOP (50) PERCENT t"), 2);
    EXPECT_EQ(cuenta(), 1);
}

TEST_F(DialectoSqlite, TooDeepAStatementIsRefusedWithTheServerError)
{
    const QString hondo = QStringLiteral("SELECT ") + QString(5000, u'(') + u'1' + QString(5000, u')');
    Falla([&] { cn->Execute(hondo); });
    EXPECT_EQ(cn->errors().Item(0).NativeError, 191);
    // The connection goes on.
    EXPECT_EQ(cuenta(), 4);
}

// What a back office writes long or deep runs whole: an export line of many
// columns, chains of 33 operands, 40 nested ISNULL, 32 nested REPLACE and
// subqueries nested to the server's 32 levels.
TEST_F(DialectoSqlite, LongChainsAndDeepNestingRunAsOnTheServer)
{
    QString linea = QStringLiteral("SELECT CAST(k AS varchar(5))");
    for (int i = 0; i < 18; ++i)
        linea += QStringLiteral(" + ';' + CAST(n + %1 AS varchar(5))").arg(i);
    linea += QStringLiteral(" FROM t WHERE k = 1");
    QString esperada = QStringLiteral("1");
    for (int i = 0; i < 18; ++i)
        esperada += QStringLiteral(";%1").arg(10 + i);
    EXPECT_EQ(escalar(Sql(linea)).toString(), esperada);

    QString suma = QStringLiteral("SELECT n");
    for (int i = 1; i < 33; ++i)
        suma += QStringLiteral(" + %1").arg(i);
    EXPECT_EQ(escalar(Sql(suma + QStringLiteral(" FROM t WHERE k = 1"))).toLong(), 10 + 32 * 33 / 2);

    QString nulos = QStringLiteral("CAST(NULL AS varchar(10))");
    for (int i = 0; i < 40; ++i)
        nulos = QStringLiteral("ISNULL(%1, NULL)").arg(nulos);
    EXPECT_EQ(escalar(Sql(QStringLiteral("SELECT ISNULL(%1, 'fin')").arg(nulos))).toString(), QStringLiteral("fin"));

    QString reemplazo = QStringLiteral("'a'");
    for (int i = 0; i < 32; ++i)
        reemplazo = QStringLiteral("REPLACE(%1, 'a', 'a')").arg(reemplazo);
    EXPECT_EQ(escalar(Sql(QStringLiteral("SELECT ") + reemplazo)).toString(), QStringLiteral("a"));

    // A chain of integers is one call: a NULL on the way makes the rest NULL
    // without raising, a division by zero before it still raises.
    QString larga = QStringLiteral("SELECT n");
    for (int i = 1; i <= 300; ++i)
        larga += i % 2 ? QStringLiteral(" + %1").arg(i) : QStringLiteral(" - %1").arg(i / 2);
    EXPECT_EQ(escalar(Sql(larga + QStringLiteral(" FROM t WHERE k = 1"))).toLong(), 10 + 150 * 150 - 75 * 151);
    QString dinero = QStringLiteral("SELECT CAST(n AS money)");
    for (int i = 1; i <= 100; ++i)
        dinero += QStringLiteral(" + 0.01 * %1").arg(i % 3);
    EXPECT_EQ(escalar(Sql(dinero + QStringLiteral(" FROM t WHERE k = 1"))).toCurrency(), Currency{11 * 10000});
    QString exacta = QStringLiteral("SELECT CAST(1 AS decimal(10,2))");
    for (int i = 1; i <= 60; ++i)
        exacta += QStringLiteral(" + CAST(0.25 AS decimal(4,2)) - 0.10");
    EXPECT_EQ(escalar(Sql(exacta)).toDouble(), 10.0);
    EXPECT_TRUE(escalar(u"SELECT CAST(NULL AS money) / 0 + 1").isNull());
    EXPECT_TRUE(escalar(u"SELECT CAST(NULL AS int) / 0 + 1").isNull());
    Falla([&] { escalar(u"SELECT 1 / 0 + CAST(NULL AS int)"); });
    EXPECT_EQ(cn->errors().Item(0).NativeError, 8134);
    Falla([&] { escalar(u"SELECT 2147483647 + 1 - 5"); });
    EXPECT_EQ(cn->errors().Item(0).NativeError, 8115);

    QString sub = QStringLiteral("SELECT MAX(n) FROM t");
    for (int i = 0; i < 31; ++i)
        sub = QStringLiteral("SELECT (%1)").arg(sub);
    EXPECT_EQ(escalar(Sql(sub)).toLong(), 30);
    // Nested IN and EXISTS, the deepest naming an outer table's column.
    QString en = QStringLiteral("SELECT COUNT(*) FROM t x WHERE EXISTS (SELECT 1 FROM t y WHERE y.k = x.k AND y.n = 20)");
    for (int i = 0; i < 30; ++i)
        en = QStringLiteral("SELECT COUNT(*) FROM t WHERE n IN (SELECT n FROM t WHERE k <= (%1) + 2)").arg(en);
    EXPECT_EQ(escalar(Sql(en)).toLong(), 4);
}

// Deeper than SQLite's parser takes: the server's 191, saying so, and the
// connection goes on.
TEST_F(DialectoSqlite, NestingBeyondTheEmbeddedParserIsRefusedByName)
{
    QString hondo = QStringLiteral("n");
    for (int i = 0; i < 60; ++i)
        hondo = QStringLiteral("ABS(%1)").arg(hondo);
    Falla([&] { cn->Execute(QStringLiteral("SELECT %1 FROM t").arg(hondo)); });
    EXPECT_EQ(cn->errors().Item(0).NativeError, 191);
    EXPECT_TRUE(cn->errors().Item(0).Description.contains(QLatin1String("not supported by the embedded database")));
    EXPECT_EQ(cuenta(), 4);
}

} // namespace
