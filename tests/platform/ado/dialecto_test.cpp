// Statements in the server's dialect, as SQLite receives them.
#include "platform/ado/dialecto.h"

#include <gtest/gtest.h>

using ado::TraducirASqlite;

namespace {

QString T(const char16_t* sql) { return TraducirASqlite(QString::fromUtf16(sql)).simplified(); }

TEST(Dialecto, TableHintsGoInEveryFormButNeverInsideLiteralsOrComments)
{
    EXPECT_EQ(T(u"Select * from ta_usuarios  with(nolock)  where Nombre = 'x'"),
              u"Select * from ta_usuarios where Nombre = 'x' COLLATE CI_AS");
    EXPECT_EQ(T(u"SELECT a FROM T WITH ( NOLOCK ), U (nolock), V With(NoLock, INDEX(ix_v))"), u"SELECT a FROM T , U , V");
    EXPECT_EQ(T(u"SELECT 'with(nolock)' AS x /* with(nolock) */"), u"SELECT 'with(nolock)' AS x /* with(nolock) */");
    // A common table expression is not a hint.
    EXPECT_EQ(T(u"WITH c AS (SELECT 1 AS n) SELECT n FROM c"), u"WITH c AS (SELECT 1 AS n) SELECT n FROM c");
}

TEST(Dialecto, TopBecomesLimitAtTheEndOfItsOwnSelect)
{
    EXPECT_EQ(T(u"SELECT TOP 1 * FROM T WHERE a = 1 ORDER BY b"), u"SELECT * FROM T WHERE a = 1 ORDER BY b LIMIT 1");
    EXPECT_EQ(T(u"select  top 1 * from AUX_ERR  with(nolock) "), u"select * from AUX_ERR LIMIT 1");
    EXPECT_EQ(T(u"SELECT DISTINCT TOP (5) a FROM T"), u"SELECT DISTINCT a FROM T LIMIT (5)");
    EXPECT_EQ(T(u"SELECT a, (SELECT TOP 1 b FROM U ORDER BY b DESC) AS c FROM T WHERE a IN (SELECT TOP 3 a FROM V)"),
              u"SELECT a, (SELECT b FROM U ORDER BY b DESC LIMIT 1) AS c FROM T WHERE a IN (SELECT a FROM V LIMIT 3)");
    EXPECT_EQ(T(u"SELECT TOP 100 PERCENT a FROM T ORDER BY a"), u"SELECT a FROM T ORDER BY a");
    EXPECT_EQ(T(u"SELECT TOP 10 PERCENT a FROM T ORDER BY a"),
              u"SELECT a FROM T ORDER BY a LIMIT (SELECT (COUNT(*)*10+99)/100 FROM (SELECT a FROM T ORDER BY a ))");
    // A LIMIT after a closing line comment would be commented out.
    EXPECT_EQ(TraducirASqlite(QStringLiteral("SELECT TOP 2 a FROM T -- fin")), u"SELECT  a FROM T -- fin\nLIMIT 2");
    // "top" that is a column name stays.
    EXPECT_EQ(T(u"SELECT top FROM T"), u"SELECT top FROM T");
}

TEST(Dialecto, FunctionsOfTheServerBecomeSqliteOnes)
{
    EXPECT_EQ(T(u"SELECT ISNULL(CODIGOBARRA , '') as CODIGOBARRA FROM V"), u"SELECT IFNULL(CODIGOBARRA , '') as CODIGOBARRA FROM V");
    EXPECT_EQ(T(u"select  getDate() as fecha"), u"select ss_getdate() as fecha");
    EXPECT_EQ(T(u"SELECT LEN(LTrim(a)) FROM T"), u"SELECT LENGTH(RTRIM(LTrim(a))) FROM T");
    EXPECT_EQ(T(u"SELECT substring(ltrim(idarticulo),1,1) FROM T"), u"SELECT SUBSTR(ltrim(idarticulo),1,1) FROM T");
    EXPECT_EQ(T(u"SELECT CHARINDEX('-', a) FROM T"), u"SELECT INSTR( a,'-') FROM T");
    EXPECT_EQ(T(u"SELECT CHARINDEX('-', a, 3) FROM T"),
              u"SELECT (SELECT CASE WHEN ss__i>0 THEN ss__i+ss__s-1 ELSE ss__i END FROM (SELECT "
              u"INSTR(SUBSTR( a,ss__s),'-') AS ss__i,ss__s FROM (SELECT MAX(( 3),1) AS ss__s))) FROM T");
    EXPECT_EQ(T(u"SELECT CONVERT(varchar(10), f, 103), CONVERT(INT, a), CONVERT(datetime, '07/03/2025', 103) FROM T"),
              u"SELECT ss_convertir('varchar(10)', f, 103), ss_convertir('INT', a,NULL), "
              u"ss_convertir('datetime', '07/03/2025', 103) FROM T");
    EXPECT_EQ(T(u"SELECT LEFT(a, 2), RIGHT(a, 2) FROM T"),
              u"SELECT SUBSTR(a,1, 2), SUBSTR(a,-( 2), 2) FROM T");
    // Names that only look like the functions stay.
    EXPECT_EQ(T(u"SELECT len, isnull FROM T LEFT JOIN U ON T.a = U.a"), u"SELECT len, isnull FROM T LEFT JOIN U ON T.a = U.a");
}

TEST(Dialecto, OwnerBracketsAndNationalLiteralsAreSqliteNames)
{
    EXPECT_EQ(T(u"SELECT [Nro Comp], b.[x]]y] FROM dbo.[MA X] b, [dbo].T"), u"SELECT \"Nro Comp\", b.\"x]y\" FROM \"MA X\" b, T");
    EXPECT_EQ(T(u"SELECT * FROM T WHERE a = N'ñandú'"), u"SELECT * FROM T WHERE a = 'ñandú' COLLATE CI_AS");
    // Quoted names and literals keep what looks like dialect.
    EXPECT_EQ(T(u"SELECT \"dbo.[x]\", 'dbo.T + [y]' FROM T"), u"SELECT \"dbo.[x]\", 'dbo.T + [y]' FROM T");
}

TEST(Dialecto, PlusIsDecidedAtRunTimeUnlessBothOperandsTellTheirType)
{
    EXPECT_EQ(T(u"SELECT a + ' - ' + b FROM T"), u"SELECT ss_suma(ss_suma(a, ' - '), b) FROM T");
    EXPECT_EQ(T(u"SELECT LTRIM(a) + b, c + d, 'n' + 1, 2 + 'n' FROM T"),
              u"SELECT ss_suma(LTRIM(a), b), ss_suma(c, d), ss_suma('n', 1), ss_suma(2, 'n') FROM T");
    EXPECT_EQ(T(u"SELECT ISNULL(a, '') + b, CONVERT(varchar, n) + c FROM T"),
              u"SELECT ss_suma(IFNULL(a, ''), b), ss_suma(ss_convertir('varchar', n,NULL), c) FROM T");
    // Nested in a chain, and afresh after a comma.
    EXPECT_EQ(T(u"SELECT 'x' + a + b, a + b FROM T"), u"SELECT ss_suma(ss_suma('x', a), b), ss_suma(a, b) FROM T");
    EXPECT_EQ(T(u"SELECT (a + 'x') + b FROM T"), u"SELECT ss_suma((ss_suma(a, 'x')), b) FROM T");
    // The shape decides: texts with texts, numbers with numbers.
    EXPECT_EQ(T(u"SELECT 'a' + LTRIM(b) + 'c', 1 + 2.5 + LEN(a), (1 + 2) + 3 FROM T"),
              u"SELECT 'a' || LTRIM(b) || 'c', 1 + 2.5 + LENGTH(RTRIM(a)), (1 + 2) + 3 FROM T");
}

TEST(Dialecto, StatementsOfABatchAreSeparatedAndSessionOptionsDropped)
{
    EXPECT_EQ(T(u"SET NOCOUNT ON BEGIN TRAN INSERT INTO T (a) VALUES ('x;y') UPDATE T SET a = 1 WHERE b = 2 "
                u"DELETE FROM T WHERE c = 3 COMMIT TRAN"),
              u"SAVEPOINT ss_tran;INSERT INTO T (a) VALUES ('x;y') ;UPDATE T SET a = 1 WHERE b = 2 ;DELETE FROM T WHERE c = 3 "
              u";RELEASE ss_tran");
    EXPECT_EQ(T(u"BEGIN TRANSACTION \r\r\rINSERT INTO T (a) VALUES (1)\rINSERT INTO T (a) SELECT b FROM U\r"),
              u"SAVEPOINT ss_tran;INSERT INTO T (a) VALUES (1) ;INSERT INTO T (a) SELECT b FROM U");
    EXPECT_EQ(T(u"ROLLBACK TRANSACTION"), u"ROLLBACK");
    EXPECT_EQ(T(u"SET ANSI_NULLS ON SET QUOTED_IDENTIFIER OFF SELECT 1"), u"SELECT 1");
    EXPECT_EQ(T(u"SELECT 1 UNION ALL SELECT 2"), u"SELECT 1 UNION ALL SELECT 2");
    EXPECT_EQ(T(u"UPDATE T SET a = (SELECT MAX(b) FROM U)"), u"UPDATE T SET a = (SELECT MAX(b) FROM U)");
    EXPECT_EQ(ado::PartirSentencias(QStringLiteral("INSERT INTO T VALUES ('a;b'); -- x;\nSELECT 1;")),
              QStringList({QStringLiteral("INSERT INTO T VALUES ('a;b')"), QStringLiteral(" -- x;\nSELECT 1")}));
}

TEST(Dialecto, TextComparisonsAndTextColumnsIgnoreCase)
{
    EXPECT_EQ(T(u"SELECT * FROM T WHERE a = 'x' AND 'y' <> b AND c LIKE '%z%' AND d IN ('q')"),
              u"SELECT * FROM T WHERE a = 'x' COLLATE CI_AS AND 'y' COLLATE CI_AS <> b AND c LIKE '%z%' COLLATE CI_AS "
              u"AND d COLLATE CI_AS IN ('q')");
    EXPECT_EQ(T(u"CREATE TABLE dbo.T (Text varchar(10) NOT NULL, b nvarchar(MAX), c int, d char(3) COLLATE "
                u"Modern_Spanish_CI_AS, e nchar(2) COLLATE Latin1_General_CS_AS)"),
              u"CREATE TABLE T (Text varchar(10) COLLATE CI_AS NOT NULL, b nvarchar COLLATE CI_AS, c int, d char(3) "
              u"COLLATE CI_AS, e nchar(2) COLLATE BINARY)");
    EXPECT_EQ(T(u"ALTER TABLE dbo.T ADD C varchar(10) Null  CONSTRAINT DF_T_C DEFAULT ('x')"),
              u"ALTER TABLE T ADD C varchar(10) COLLATE CI_AS Null CONSTRAINT DF_T_C DEFAULT ('x')");
}

TEST(Dialecto, UnfinishedTextPassesThroughForTheDatabaseToRefuse)
{
    EXPECT_EQ(T(u"SELECT 'abc FROM T"), u"SELECT 'abc FROM T");
    EXPECT_EQ(T(u"SELECT (a FROM T"), u"SELECT (a FROM T");
    EXPECT_EQ(T(u"SELECT a) FROM [T"), u"SELECT a) FROM [T");
    EXPECT_EQ(T(u""), u"");
}

TEST(Dialecto, TheTableOfAnUpdatableQuery)
{
    EXPECT_EQ(ado::TablaDeConsulta(QStringLiteral("select * from AUX_ERR LIMIT 1")), u"AUX_ERR");
    EXPECT_EQ(ado::TablaDeConsulta(QStringLiteral("SELECT a FROM \"MA X\" m WHERE a = (SELECT 1 FROM U)")), u"MA X");
    EXPECT_EQ(ado::TablaDeConsulta(QStringLiteral("SELECT a FROM T INNER JOIN U ON T.a = U.a")), u"");
    EXPECT_EQ(ado::TablaDeConsulta(QStringLiteral("SELECT a FROM T, U")), u"");
    EXPECT_EQ(ado::TablaDeConsulta(QStringLiteral("SELECT COUNT(*) FROM T GROUP BY a")), u"");
    EXPECT_EQ(ado::TablaDeConsulta(QStringLiteral("UPDATE T SET a = 1")), u"");
}

} // namespace
