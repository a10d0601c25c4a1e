// Pairs of statements: as the suite writes them for the server, and as
// SQLite receives them (blanks collapsed).
#include "platform/ado/dialecto.h"
#include "platform/ado/provider.h"

#include <gtest/gtest.h>

namespace {

struct Par {
    const char16_t* servidor;
    const char16_t* sqlite;
};

QString Traducida(const char16_t* sql) { return ado::TraducirASqlite(QString::fromUtf16(sql)).simplified(); }

void Comprueba(std::initializer_list<Par> pares)
{
    for (const Par& p : pares)
        EXPECT_EQ(Traducida(p.servidor), QString::fromUtf16(p.sqlite)) << QString::fromUtf16(p.servidor).toStdString();
}

// The error a statement is refused with.
ado::Error Rechazo(const QString& sql)
{
    try {
        ado::TraducirASqlite(sql, QStringLiteral("Proveedor"));
    } catch (const ado::FallaProveedor& f) {
        if (!f.errores.empty())
            return f.errores.front();
    }
    ADD_FAILURE() << "not refused: " << sql.left(60).toStdString();
    return {};
}

TEST(DialectoCasos, AStatementAfterAnotherWithoutSemicolonIsKept)
{
    Comprueba({
        // A session option ends with its value; what follows runs.
        {u"SET NOCOUNT ON IF NOT EXISTS (SELECT 1 FROM t WHERE k = 'a') INSERT INTO t VALUES ('a')",
         u"INSERT INTO t SELECT * FROM (VALUES ('a') ) WHERE ( NOT EXISTS (SELECT 1 FROM t WHERE k = 'a' COLLATE CI_AS) )"},
        {u"SET NOCOUNT ON; SET XACT_ABORT ON SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED SELECT 1", u"SELECT 1"},
        {u"SET ANSI_NULLS, QUOTED_IDENTIFIER ON SET LOCK_TIMEOUT -1 SET DATEFORMAT dmy UPDATE T SET a = 1",
         u"UPDATE T SET a = 1"},
        {u"INSERT INTO t VALUES (1) SELECT @@IDENTITY", u"INSERT INTO t VALUES (1) ;SELECT ss_identity()"},
        {u"INSERT INTO t (a, b) VALUES (1, 'x'), (2, 'y') UPDATE t SET a = 3",
         u"INSERT INTO t (a, b) VALUES (1, 'x'), (2, 'y') ;UPDATE t SET a = 3"},
        {u"INSERT INTO t (a) SELECT b FROM u", u"INSERT INTO t (a) SELECT b FROM u"},
        {u"EXEC sp_x 'a' SELECT 1", u"EXEC sp_x 'a' ;SELECT 1"},
        {u"DROP TABLE IF EXISTS t", u"DROP TABLE IF EXISTS t"},
    });
}

TEST(DialectoCasos, TransactionsNestAsSavepointsOfOneName)
{
    Comprueba({
        {u"BEGIN TRANSACTION BEGIN TRAN INSERT INTO t VALUES (1) COMMIT TRANSACTION COMMIT WORK",
         u"SAVEPOINT ss_tran;SAVEPOINT ss_tran;INSERT INTO t VALUES (1) ;RELEASE ss_tran;RELEASE ss_tran"},
        {u"BEGIN TRAN t1 UPDATE T SET a = 1 COMMIT TRAN t1 ROLLBACK TRAN",
         u"SAVEPOINT ss_tran;UPDATE T SET a = 1 ;RELEASE ss_tran;ROLLBACK"},
        {u"SELECT @@TRANCOUNT, @@ROWCOUNT, SCOPE_IDENTITY(), @@IDENTITY",
         u"SELECT ss_trancount(), ss_rowcount(), ss_identity(), ss_identity()"},
    });
}

TEST(DialectoCasos, IfRunsItsStatementOnlyWhenItsConditionHolds)
{
    Comprueba({
        {u"IF EXISTS (SELECT 1 FROM t WHERE k = 1) UPDATE t SET n = 2 WHERE k = 1",
         u"UPDATE t SET n = 2 WHERE ( EXISTS (SELECT 1 FROM t WHERE k = 1) ) AND ( k = 1 )"},
        {u"IF EXISTS (SELECT 1 FROM t WHERE k = 1) UPDATE t SET n = 2",
         u"UPDATE t SET n = 2 WHERE ( EXISTS (SELECT 1 FROM t WHERE k = 1) )"},
        {u"IF NOT EXISTS (SELECT * FROM t) DELETE t WHERE a = 1 SELECT 1",
         u"DELETE FROM t WHERE ( NOT EXISTS (SELECT * FROM t) ) AND ( a = 1 );SELECT 1"},
        {u"IF @@ROWCOUNT = 0 INSERT INTO t (a) SELECT b FROM u",
         u"INSERT INTO t (a) SELECT * FROM (SELECT b FROM u ) WHERE ( ss_rowcount() = 0 )"},
        {u"IF @@TRANCOUNT > 0 SELECT 1", u"SELECT * FROM (SELECT 1 ) WHERE ( ss_trancount() > 0 )"},
        {u"IF 1 = 1 IF 2 = 2 INSERT INTO t VALUES (1)",
         u"INSERT INTO t SELECT * FROM (SELECT * FROM (VALUES (1) ) WHERE ( 2 = 2 ) ) WHERE ( 1 = 1 )"},
        // A block of one statement is that statement.
        {u"IF NOT EXISTS (SELECT 1 FROM t WHERE k = 1) BEGIN INSERT INTO t VALUES (1); END; SELECT 2",
         u"INSERT INTO t SELECT * FROM (VALUES (1) ) WHERE ( NOT EXISTS (SELECT 1 FROM t WHERE k = 1) ); SELECT 2"},
        {u"IF 1 = 1 BEGIN UPDATE t SET a = CASE WHEN b = 1 THEN 2 ELSE 3 END END SELECT 3",
         u"UPDATE t SET a = CASE WHEN b = 1 THEN 2 ELSE 3 END WHERE ( 1 = 1 );SELECT 3"},
        // Forms without a single statement to condition pass whole for SQLite to refuse.
        {u"IF 1 = 1 INSERT INTO t VALUES (1) ELSE INSERT INTO t VALUES (2)",
         u"IF 1 = 1 INSERT INTO t VALUES (1) ELSE INSERT INTO t VALUES (2)"},
        {u"IF 1 = 1 BEGIN INSERT INTO t VALUES (1) INSERT INTO t VALUES (2) END SELECT 3",
         u"IF 1 = 1 BEGIN INSERT INTO t VALUES (1) INSERT INTO t VALUES (2) END ;SELECT 3"},
    });
}

TEST(DialectoCasos, DeleteWithoutFromAndAliasesWrittenFirst)
{
    Comprueba({
        {u"DELETE T WHERE a = 1", u"DELETE FROM T WHERE a = 1"},
        {u"DELETE dbo.T", u"DELETE FROM T"},
        {u"DELETE [T x] WHERE a = 1", u"DELETE FROM \"T x\" WHERE a = 1"},
        {u"SELECT 'Total' = COUNT(*), 'Nombre' = a, c FROM T", u"SELECT COUNT(*) AS 'Total', a AS 'Nombre', c FROM T"},
        {u"SELECT DISTINCT TOP 3 'k' = a FROM T", u"SELECT DISTINCT a AS 'k' FROM T LIMIT 3"},
        {u"SELECT @v = a FROM T", u"SELECT @v = a FROM T"},
    });
}

TEST(DialectoCasos, TopLimitsItsOwnSelect)
{
    Comprueba({
        {u"SELECT TOP 1 a FROM x UNION ALL SELECT TOP 1 b FROM y",
         u"SELECT * FROM (SELECT a FROM x LIMIT 1) UNION ALL SELECT * FROM (SELECT b FROM y LIMIT 1)"},
        {u"SELECT TOP 2 a FROM x UNION SELECT b FROM y ORDER BY a", u"SELECT a FROM x UNION SELECT b FROM y ORDER BY a LIMIT 2"},
        {u"SELECT a FROM x UNION SELECT TOP 2 b FROM y ORDER BY 1",
         u"SELECT a FROM x UNION SELECT * FROM (SELECT b FROM y LIMIT 2) ORDER BY 1"},
        {u"INSERT INTO t SELECT TOP 1 a FROM x UNION ALL SELECT TOP (2) b FROM y",
         u"INSERT INTO t SELECT * FROM (SELECT a FROM x LIMIT 1) UNION ALL SELECT * FROM (SELECT b FROM y LIMIT (2))"},
        {u"SELECT TOP 50 PERCENT a FROM x UNION ALL SELECT b FROM y ORDER BY a",
         u"SELECT a FROM x UNION ALL SELECT b FROM y ORDER BY a LIMIT (SELECT (COUNT(*)*50+99)/100 FROM (SELECT a FROM x "
         u"UNION ALL SELECT b FROM y ORDER BY a ))"},
        {u"SELECT TOP 2 WITH TIES a FROM x ORDER BY a DESC",
         u"SELECT a FROM x ORDER BY a DESC LIMIT (SELECT COUNT(*) FROM (SELECT RANK() OVER (ORDER BY a DESC ) AS "
         u"ss__rango FROM x ) WHERE ss__rango <= 2)"},
        {u"UPDATE TOP (2) T SET a = 1 WHERE b = 2",
         u"UPDATE T SET a = 1 WHERE rowid IN (SELECT rowid FROM T WHERE b = 2 LIMIT (2))"},
        {u"UPDATE TOP (2) T SET a = 1", u"UPDATE T SET a = 1 WHERE rowid IN (SELECT rowid FROM T LIMIT (2))"},
        {u"DELETE TOP (10) PERCENT FROM T WHERE b = 2",
         u"DELETE FROM T WHERE rowid IN (SELECT rowid FROM T WHERE b = 2 LIMIT (SELECT (COUNT(*)*(10)+99)/100 FROM "
         u"(SELECT rowid FROM T WHERE b = 2 )))"},
        {u"DELETE TOP (3) T", u"DELETE FROM T WHERE rowid IN (SELECT rowid FROM T LIMIT (3))"},
    });
}

TEST(DialectoCasos, ConversionsAndDatesAreRunTimeFunctions)
{
    Comprueba({
        {u"SELECT CONVERT(int, '12abc'), CONVERT(varchar(10), d, @estilo), CONVERT(datetime, '7/3/2025', 103)",
         u"SELECT ss_convertir('int', '12abc',NULL), ss_convertir('varchar(10)', d, @estilo), "
         u"ss_convertir('datetime', '7/3/2025', 103)"},
        {u"SELECT CONVERT(nvarchar(MAX), x), CONVERT([int], x), CONVERT(decimal(10, 2), x), CONVERT(@t, x)",
         u"SELECT ss_convertir('nvarchar(MAX)', x,NULL), ss_convertir('int', x,NULL), "
         u"ss_convertir('decimal(10, 2)', x,NULL), ss_convertir(@t, x,NULL)"},
        // The literal is never rewritten, whatever it holds.
        {u"SELECT CONVERT(varchar(5), '%1'), CONVERT(varchar(5), '%2', '%1')",
         u"SELECT ss_convertir('varchar(5)', '%1',NULL), ss_convertir('varchar(5)', '%2', '%1')"},
        {u"SELECT CAST(a AS varchar(10)), CAST(1 AS int), CAST(d AS datetime)",
         u"SELECT ss_convertir('varchar(10)',a ,NULL), ss_convertir('int',1 ,NULL), ss_convertir('datetime',d ,NULL)"},
        {u"SELECT YEAR(d), MONTH(d), DAY(d), DATEPART(yyyy, d), DATEPART(q, d), DATEPART(dy, d), DATEPART(wk, d)",
         u"SELECT ss_datepart('year',d), ss_datepart('month',d), ss_datepart('day',d), ss_datepart('year', d), "
         u"ss_datepart('quarter', d), ss_datepart('dayofyear', d), ss_datepart('week', d)"},
        {u"SELECT DATEPART(dw, d), DATEPART(hh, d), DATEPART(mi, d), DATEPART(s, d), DATEPART(ms, d), DATEPART(m, d)",
         u"SELECT ss_datepart('weekday', d), ss_datepart('hour', d), ss_datepart('minute', d), "
         u"ss_datepart('second', d), ss_datepart('millisecond', d), ss_datepart('month', d)"},
        {u"SELECT DATEADD(d, -1, GETDATE()), DATEDIFF(minute, a, CURRENT_TIMESTAMP), DATEADD(yy, 1, d)",
         u"SELECT ss_dateadd('day', -1, ss_getdate()), ss_datediff('minute', a, ss_getdate()), ss_dateadd('year', 1, d)"},
        // A table's default must be constant for SQLite.
        {u"CREATE TABLE T (a datetime DEFAULT GETDATE(), b datetime NOT NULL DEFAULT CURRENT_TIMESTAMP, c varchar(10))",
         u"CREATE TABLE T (a datetime DEFAULT (datetime('now','localtime')), b datetime NOT NULL DEFAULT "
         u"(datetime('now','localtime')), c varchar(10) COLLATE CI_AS)"},
        {u"ALTER TABLE T ADD f datetime NOT NULL CONSTRAINT DF_T_f DEFAULT getdate()",
         u"ALTER TABLE T ADD f datetime NOT NULL CONSTRAINT DF_T_f DEFAULT (datetime('now','localtime'))"},
    });
}

TEST(DialectoCasos, PlusKeepsItsOperandsWhole)
{
    Comprueba({
        {u"SELECT Stock + '1', Stock + 1, 1 + 2, 'a' + 'b', GETDATE() + 1 FROM T",
         u"SELECT ss_suma(Stock, '1'), ss_suma(Stock, 1), 1 + 2, 'a' || 'b', ss_suma(ss_getdate(), 1) FROM T"},
        // Precedence: "*" binds its operand, "-" chains on the left.
        {u"SELECT a - b + c, a + b * 2, a * 2 + b, -a + b, a + b - c FROM T",
         u"SELECT ss_suma(a - b, c), ss_suma(a, b * 2), ss_suma(a * 2, b), ss_suma(-a, b), ss_suma(a, b) - c FROM T"},
        {u"SELECT CASE WHEN a = 'x' THEN b + 'y' ELSE 'z' END + c FROM T",
         u"SELECT ss_suma(CASE WHEN a = 'x' COLLATE CI_AS THEN ss_suma(b, 'y') ELSE 'z' END, c) FROM T"},
        {u"SELECT a FROM T WHERE b = 'x' + c AND d LIKE 'a%' ESCAPE '\\'",
         u"SELECT a FROM T WHERE b = ss_suma('x', c) AND d LIKE 'a%' COLLATE CI_AS ESCAPE '\\'"},
        {u"SELECT T.a + U.b, [x y] + 'z', a + b -- c\nFROM T, U",
         u"SELECT ss_suma(T.a, U.b), ss_suma(\"x y\", 'z'), ss_suma(a, b) -- c FROM T, U"},
        {u"SELECT CAST(a AS varchar(10)) + 'x', CAST(1 AS int) + 2, CONVERT(char(3), a) + CONVERT(varchar, b)",
         u"SELECT ss_convertir('varchar(10)',a ,NULL) || 'x', ss_convertir('int',1 ,NULL) + 2, "
         u"ss_convertir('char(3)', a,NULL) || ss_convertir('varchar', b,NULL)"},
        // Numeric comparisons stay plain SQLite.
        {u"SELECT idarticulo , ISNULL(CODIGOBARRA  , '') as CODIGOBARRA, DESCRIPCION, 0 as Stock FROM V_MA_Articulos    "
         u"where SUSPENDIDO = 0   ",
         u"SELECT idarticulo , IFNULL(CODIGOBARRA , '') as CODIGOBARRA, DESCRIPCION, 0 as Stock FROM V_MA_Articulos where "
         u"SUSPENDIDO = 0"},
    });
}

TEST(DialectoCasos, CollationsOfTheServerBecomeTheRegisteredOne)
{
    Comprueba({
        {u"SELECT a FROM T WHERE a = 'x' COLLATE Modern_Spanish_CI_AS ORDER BY a COLLATE Latin1_General_CS_AS",
         u"SELECT a FROM T WHERE a = 'x' COLLATE CI_AS ORDER BY a COLLATE BINARY"},
    });
}

TEST(DialectoCasos, NestingGrowsTheTextLinearly)
{
    // Each level writes its argument once.
    QString right = QStringLiteral("x"), charindex = QStringLiteral("x"), convert = QStringLiteral("x");
    for (int i = 0; i < 60; ++i) {
        right = QStringLiteral("RIGHT(") + right + QStringLiteral(", RIGHT(y, 1))");
        charindex = QStringLiteral("CHARINDEX('a', ") + charindex + QStringLiteral(", 2)");
        convert = QStringLiteral("CONVERT(datetime, ") + convert + QStringLiteral(", 103)");
    }
    for (const QString& e : {right, charindex, convert}) {
        const QString sql = QStringLiteral("SELECT ") + e + QStringLiteral(" FROM T");
        EXPECT_LT(ado::TraducirASqlite(sql).size(), 8 * sql.size()) << sql.left(40).toStdString();
    }
}

TEST(DialectoCasos, RefusedAsTheServerRefuses)
{
    const QString hondo = QStringLiteral("SELECT ") + QString(201, u'(') + u'1' + QString(201, u')');
    const ado::Error e = Rechazo(hondo);
    EXPECT_EQ(e.NativeError, 191);
    EXPECT_EQ(e.Source, u"Proveedor");
    EXPECT_EQ(Rechazo(QStringLiteral("SELECT ") + QString(100000, u'(') + u'1').NativeError, 191);
    QString len;
    for (int i = 0; i < 4000; ++i)
        len += QStringLiteral("LEN(");
    EXPECT_EQ(Rechazo(QStringLiteral("SELECT ") + len + u'x' + QString(4000, u')')).NativeError, 191);
    QString si;
    for (int i = 0; i < 300; ++i)
        si += QStringLiteral("IF 1 = 1 ");
    EXPECT_EQ(Rechazo(si + QStringLiteral("SELECT 1")).NativeError, 191);
    // 200 levels are still a statement.
    EXPECT_NO_THROW(ado::TraducirASqlite(QStringLiteral("SELECT ") + QString(200, u'(') + u'1' + QString(200, u')')));

    EXPECT_EQ(Rechazo(QStringLiteral("SELECT TOP 2 WITH TIES a FROM x")).NativeError, 1062);
    // Ranked by a position, every row would tie.
    EXPECT_EQ(Rechazo(QStringLiteral("SELECT TOP 2 WITH TIES a, b FROM x ORDER BY a, 2 DESC")).Number,
              ado::DB_E_ERRORSINCOMMAND);
    EXPECT_EQ(Rechazo(QStringLiteral("SELECT * FROM (SELECT TOP 10 PERCENT a FROM (SELECT TOP 10 PERCENT a FROM T) x) y"))
                  .NativeError,
              191);
}

} // namespace
