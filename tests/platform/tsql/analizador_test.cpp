#include "platform/tsql/analizador.h"

#include <gtest/gtest.h>

namespace {

using namespace tsql;

QString V(const char* sql) { return Volcar(Analizar(QString::fromUtf8(sql))); }

// The error number the batch is refused with; 0 when it is taken.
int E(const QString& sql)
{
    try {
        Analizar(sql);
        return 0;
    } catch (const ErrorTsql& e) {
        return e.numero;
    }
}
int E(const char* sql) { return E(QString::fromUtf8(sql)); }

QString Mensaje(const char* sql)
{
    try {
        Analizar(QString::fromUtf8(sql));
    } catch (const ErrorTsql& e) {
        return e.mensaje;
    }
    return {};
}

TEST(AnalizadorTsql, ListaDeSelectConAliasDeTodasLasFormas)
{
    EXPECT_EQ(V("SELECT a, b AS x, c y, 'z' = d, [Total Stock] = SUM(Stock), e 'w', @v = f FROM dbo.T t"),
              u"SELECT a, b AS x, c AS y, d AS [z], SUM(Stock) AS [Total Stock], e AS [w], @v = f FROM dbo.T AS t");
    EXPECT_EQ(V("SELECT TOP 10 PERCENT WITH TIES * FROM t ORDER BY a DESC"),
              u"SELECT TOP(10) PERCENT WITH TIES * FROM t ORDER BY a DESC");
    EXPECT_EQ(V("SELECT DISTINCT TOP (@n + 1) t.*, x.[a b].c FROM t"),
              u"SELECT DISTINCT TOP((+ @n 1)) t.*, x.[a b].c FROM t");
    EXPECT_EQ(V("SELECT (SELECT MAX(x) FROM y) AS m, a COLLATE Latin1_General_CS_AS FROM srv.db.dbo.t"),
              u"SELECT (SELECT MAX(x) FROM y) AS m, (COLLATE a Latin1_General_CS_AS) FROM srv.db.dbo.t");
}

TEST(AnalizadorTsql, FromConPistasUnionesYTablasDerivadas)
{
    EXPECT_EQ(V("SELECT a FROM t WITH (NOLOCK) WHERE a = 1"), u"SELECT a FROM t WHERE (= a 1)");
    EXPECT_EQ(V("SELECT a FROM t (NOLOCK)"), u"SELECT a FROM t");
    EXPECT_EQ(V("SELECT a FROM t x (NOLOCK), u WITH (NOLOCK, INDEX(ix)) y"), u"SELECT a FROM t AS x, u AS y");
    EXPECT_EQ(V("SELECT a FROM t a INNER JOIN u b ON a.x = b.x LEFT OUTER JOIN v ON v.y = a.y CROSS JOIN w "
                "CROSS APPLY f(a.x) AS g OUTER APPLY (SELECT 1 AS k) AS h, z RIGHT JOIN r ON 1 = 1 "
                "FULL OUTER JOIN q ON 2 = 2"),
              u"SELECT a FROM t AS a JOIN u AS b ON (= a.x b.x) LEFT JOIN v ON (= v.y a.y) CROSS JOIN w "
              u"CROSS APPLY f(a.x) AS g OUTER APPLY (SELECT 1 AS k) AS h, z RIGHT JOIN r ON (= 1 1) "
              u"FULL JOIN q ON (= 2 2)");
    EXPECT_EQ(V("SELECT * FROM (VALUES (1, 'a'), (2, 'b')) AS v(c1, c2)"),
              u"SELECT * FROM (VALUES (1, 'a'), (2, 'b')) AS v(c1, c2)");
    EXPECT_EQ(V("SELECT * FROM (SELECT a FROM t) s"), u"SELECT * FROM (SELECT a FROM t) AS s");
    EXPECT_EQ(V("SELECT * FROM @t x"), u"SELECT * FROM @t AS x");
}

TEST(AnalizadorTsql, CadenasDeConsultasOrdenYPaginacion)
{
    EXPECT_EQ(V("SELECT a INTO #tmp FROM t GROUP BY a HAVING COUNT(*) > 1 UNION ALL SELECT b FROM u "
                "EXCEPT SELECT c FROM v INTERSECT SELECT d FROM w UNION SELECT e "
                "ORDER BY 1 OFFSET 5 ROWS FETCH NEXT 10 ROWS ONLY OPTION (RECOMPILE)"),
              u"SELECT a INTO #tmp FROM t GROUP BY a HAVING (> COUNT(*) 1) UNION ALL SELECT b FROM u "
              u"EXCEPT SELECT c FROM v INTERSECT SELECT d FROM w UNION SELECT e ORDER BY 1 OFFSET 5 FETCH 10");
    EXPECT_EQ(V("WITH c (x, y) AS (SELECT 1, 2), d AS (SELECT 3 AS z) SELECT * FROM c, d"),
              u"WITH c(x, y) AS (SELECT 1, 2), d AS (SELECT 3 AS z) SELECT * FROM c, d");
    EXPECT_EQ(V(";WITH c AS (SELECT 1 AS x) SELECT x FROM c"), u"WITH c AS (SELECT 1 AS x) SELECT x FROM c");
    EXPECT_EQ(V("(SELECT a FROM t) UNION (SELECT b FROM u ORDER BY b OFFSET 0 ROWS)"),
              u"SELECT a FROM t UNION (SELECT b FROM u ORDER BY b OFFSET 0)");
}

TEST(AnalizadorTsql, ForXmlPathYStringAggOrdenado)
{
    EXPECT_EQ(V("SELECT STUFF((SELECT ',' + n FROM t ORDER BY n FOR XML PATH('')), 1, 1, '')"),
              u"SELECT STUFF((SELECT (+ ',' n) FROM t ORDER BY n FOR XML PATH('')), 1, 1, '')");
    EXPECT_EQ(V("SELECT a AS x FROM t FOR XML PATH"), u"SELECT a AS x FROM t FOR XML PATH('row')");
    EXPECT_EQ(V("SELECT a FROM t FOR XML PATH(N'fila'), TYPE"), u"SELECT a FROM t FOR XML PATH('fila'), TYPE");
    EXPECT_EQ(V("SELECT a FROM t FOR XML PATH('l''x')"), u"SELECT a FROM t FOR XML PATH('l'x')");
    EXPECT_EQ(V("SELECT (SELECT a FROM t FOR XML PATH(''), TYPE).value('.', 'NVARCHAR(MAX)')"),
              u"SELECT (SELECT a FROM t FOR XML PATH(''), TYPE).value('.', nvarchar(max))");
    EXPECT_EQ(Mensaje("SELECT (SELECT a FROM t FOR XML PATH(''), TYPE).value('.', 'cosa(1')"),
              u"The XML value() method with the type 'cosa(1' is not supported by the embedded database.");
    EXPECT_EQ(V("SELECT STRING_AGG(a, ',') WITHIN GROUP (ORDER BY b DESC) FROM t GROUP BY c"),
              u"SELECT STRING_AGG(a, ',') WITHIN GROUP(ORDER BY b DESC) FROM t GROUP BY c");
}

TEST(AnalizadorTsql, PrecedenciaDeOperadores)
{
    EXPECT_EQ(V("SELECT 1 + 2 * 3 - 4 / 5 % 6, ~1 & 2 | 3 ^ 4, -a * b, a + b - c"),
              u"SELECT (- (+ 1 (* 2 3)) (% (/ 4 5) 6)), (^ (| (& (~ 1) 2) 3) 4), (* (- a) b), (- (+ a b) c)");
    EXPECT_EQ(V("SELECT 1 WHERE a = 1 AND b <> 2 OR NOT c IS NULL AND d != 3"),
              u"SELECT 1 WHERE (OR (AND (= a 1) (<> b 2)) (AND (NOT (IS NULL c)) (!= d 3)))");
    EXPECT_EQ(V("SELECT 1 WHERE NOT NOT a < b + 1 AND c !< d OR e !> f AND g <= h AND i >= (j)"),
              u"SELECT 1 WHERE (OR (AND (NOT (NOT (< a (+ b 1)))) (!< c d)) (AND (AND (!> e f) (<= g h)) (>= i {j})))");
    // A comparison does not chain: a = b = c is refused as the server does.
    EXPECT_EQ(E("SELECT 1 WHERE a = b = c"), 102);
    // Against the rows of a subquery: SOME is ANY; a list is no subquery.
    EXPECT_EQ(V("SELECT 1 WHERE a + 1 > ALL (SELECT b FROM t) AND c = some (SELECT d FROM u) OR NOT e <> ANY (SELECT 1)"),
              u"SELECT 1 WHERE (OR (AND (> ALL (+ a 1) (SELECT b FROM t)) (= ANY c (SELECT d FROM u))) "
              u"(NOT (<> ANY e (SELECT 1))))");
    EXPECT_EQ(E("SELECT 1 WHERE a = ANY (1, 2)"), 102);
    EXPECT_EQ(V("SELECT {d '2025-02-01'}, { ts '2025-02-01 10:00:00.5' }"),
              u"SELECT CONVERT(datetime, '2025-02-01', 121), CONVERT(datetime, '2025-02-01 10:00:00.5', 121)");
    EXPECT_EQ(Mensaje("SELECT {t '10:00:00'}"), u"The ODBC escape {t ...} is not supported by the embedded database.");
    EXPECT_EQ(Mensaje("SELECT {fn UCASE(a)} FROM t"), u"The ODBC escape {fn ...} is not supported by the embedded database.");
    EXPECT_EQ(Mensaje("SELECT {d '01/02/2025'}"), u"The ODBC escape {d ...} is not supported by the embedded database.");
    EXPECT_EQ(V("SELECT TOP (SELECT n FROM c) a FROM t"), u"SELECT TOP((SELECT n FROM c)) a FROM t");
}

TEST(AnalizadorTsql, Predicados)
{
    EXPECT_EQ(V("SELECT a FROM t WHERE a IN (1, 2) AND b NOT IN (SELECT x FROM y) AND c BETWEEN 1 AND 2 "
                "AND d NOT BETWEEN 3 AND 4 AND e LIKE 'a%' ESCAPE '!' AND f NOT LIKE 'b' AND EXISTS (SELECT 1) "
                "AND NOT EXISTS (SELECT 2) AND g IS NOT NULL"),
              u"SELECT a FROM t WHERE (AND (AND (AND (AND (AND (AND (AND (AND (IN a 1, 2) (NOT IN b (SELECT x FROM "
              u"y))) (BETWEEN c 1 2)) (NOT BETWEEN d 3 4)) (LIKE e 'a%' ESCAPE '!')) (NOT LIKE f 'b')) "
              u"EXISTS(SELECT 1)) NOT EXISTS(SELECT 2)) (IS NOT NULL g))");
    // BETWEEN's AND belongs to it, the next AND to the condition.
    EXPECT_EQ(V("SELECT 1 WHERE a BETWEEN 1 AND 2 AND b = 1"), u"SELECT 1 WHERE (AND (BETWEEN a 1 2) (= b 1))");
    EXPECT_EQ(E("SELECT 1 WHERE a IN ()"), 102);
}

TEST(AnalizadorTsql, FuncionesConversionesYCase)
{
    EXPECT_EQ(V("SELECT CAST(a AS varchar(30)), CONVERT(VARCHAR(MAX), b, 103), TRY_CAST(c AS decimal(12,4)), "
                "TRY_CONVERT(int, d), COUNT(*), COUNT(DISTINCT x), dbo.f(1), isnull(a, 0), GETDATE()"),
              u"SELECT CAST(a AS varchar(30)), CONVERT(varchar(max), b, 103), TRY_CAST(c AS decimal(12, 4)), "
              u"TRY_CONVERT(int, d), COUNT(*), COUNT(DISTINCT x), dbo.f(1), ISNULL(a, 0), GETDATE()");
    EXPECT_EQ(V("SELECT DATEADD(dd, 1, GETDATE()), DATEDIFF('day', a, b), DATEPART([yy], c), DATENAME(month, d), "
                "DATETRUNC(year, e)"),
              u"SELECT DATEADD(<dd>, 1, GETDATE()), DATEDIFF(<'day'>, a, b), DATEPART(<[yy]>, c), "
              u"DATENAME(<month>, d), DATETRUNC(<year>, e)");
    EXPECT_EQ(V("SELECT LEFT(a, 2), RIGHT(a, 1), COALESCE(a, b), NULLIF(a, ''), CURRENT_TIMESTAMP, USER"),
              u"SELECT LEFT(a, 2), RIGHT(a, 1), COALESCE(a, b), NULLIF(a, ''), CURRENT_TIMESTAMP, USER");
    EXPECT_EQ(V("SELECT ROW_NUMBER() OVER (PARTITION BY a, b ORDER BY c DESC) AS rn, SUM(x) OVER (ORDER BY y) FROM t"),
              u"SELECT ROW_NUMBER() OVER(PARTITION BY a, b ORDER BY c DESC) AS rn, SUM(x) OVER(ORDER BY y) FROM t");
    EXPECT_EQ(V("SELECT CASE a WHEN 1 THEN 'x' WHEN 2 THEN 'z' ELSE 'y' END, CASE WHEN a > 1 THEN 2 END FROM t"),
              u"SELECT CASE a WHEN 1 THEN 'x' WHEN 2 THEN 'z' ELSE 'y' END, CASE WHEN (> a 1) THEN 2 END FROM t");
    EXPECT_EQ(E("SELECT CASE END"), 156);
    EXPECT_EQ(E("SELECT CAST(a varchar(3))"), 102);
}

TEST(AnalizadorTsql, LiteralesTalComoSeEscribieron)
{
    EXPECT_EQ(V("SELECT 'x''y', N'ñ', '', 12, 12.50, .5, 1e3, 1.5E-2, 12., 0x1F, 0x, $1000, $12.50, -$5, NULL, null"),
              u"SELECT 'x''y', N'ñ', '', 12, 12.50, .5, 1e3, 1.5E-2, 12., 0x1F, 0x, $1000, $12.50, (- $5), NULL, "
              u"null");
    // The text and position of each literal are those of the batch.
    const QString sql = QStringLiteral("SELECT  N'a''b' , 1.50");
    const Lote l = Analizar(sql);
    const ItemSelect& a = l.sentencias[0]->select->lista[0];
    EXPECT_EQ(a.expr->texto, u"N'a''b'");
    EXPECT_EQ(a.expr->pos, 8);
    EXPECT_EQ(l.sentencias[0]->select->lista[1].expr->pos, 18);
    EXPECT_EQ(V("SELECT @@identity, @x, [a]]b], \"c\"\"d\" FROM #t, ##u"),
              u"SELECT @@IDENTITY, @x, [a]]b], [c\"d] FROM #t, ##u");
}

TEST(AnalizadorTsql, ComentariosAnidados)
{
    EXPECT_EQ(V("SELECT /* a /* b */ c */ 1 -- x\n, 2"), u"SELECT 1, 2");
    EXPECT_EQ(E("SELECT /* a /* b */ c"), 113);
    EXPECT_EQ(Mensaje("SELECT 1 /* a"), u"Missing end comment mark '*/'.");
}

TEST(AnalizadorTsql, Insert)
{
    EXPECT_EQ(V("INSERT INTO t (a, b) VALUES (1, DEFAULT), (2, 'x')"), u"INSERT t(a, b) VALUES (1, DEFAULT), (2, 'x')");
    EXPECT_EQ(V("INSERT t SELECT * FROM u"), u"INSERT t SELECT * FROM u");
    EXPECT_EQ(V("INSERT INTO t (a) SELECT 1 UNION SELECT 2"), u"INSERT t(a) SELECT 1 UNION SELECT 2");
    EXPECT_EQ(V("INSERT INTO t DEFAULT VALUES"), u"INSERT t DEFAULT VALUES");
    EXPECT_EQ(V("INSERT INTO t EXEC sp_x 1, @a = 2"), u"INSERT t <EXEC sp_x 1, @a = 2>");
    EXPECT_EQ(V("WITH c AS (SELECT 1 AS x) INSERT INTO t SELECT x FROM c"),
              u"WITH c AS (SELECT 1 AS x) INSERT t SELECT x FROM c");
    EXPECT_EQ(E("INSERT INTO t VALUES"), 156);
}

TEST(AnalizadorTsql, UpdateYDeleteConAlias)
{
    EXPECT_EQ(V("UPDATE TOP (5) t SET c = 1, c += 2, t.d = DEFAULT, @x = 3, e *= 2 WHERE a = 1"),
              u"UPDATE TOP(5) t SET c = 1, c += 2, t.d = DEFAULT, @x = 3, e *= 2 WHERE (= a 1)");
    EXPECT_EQ(V("UPDATE a SET x = b.y FROM T a JOIN U b ON a.k = b.k"),
              u"UPDATE T ALIAS a SET x = b.y FROM T AS a JOIN U AS b ON (= a.k b.k)");
    EXPECT_EQ(V("UPDATE t WITH (ROWLOCK) SET x = 1 FROM t JOIN u ON 1 = 1"),
              u"UPDATE t SET x = 1 FROM t JOIN u ON (= 1 1)");
    EXPECT_EQ(V("DELETE FROM t WHERE a = 1"), u"DELETE t WHERE (= a 1)");
    EXPECT_EQ(V("DELETE TOP (10) PERCENT t"), u"DELETE TOP(10) PERCENT t");
    EXPECT_EQ(V("DELETE a FROM T a JOIN U b ON a.k = b.k WHERE b.z = 1"),
              u"DELETE T ALIAS a FROM T AS a JOIN U AS b ON (= a.k b.k) WHERE (= b.z 1)");
    EXPECT_EQ(V("WITH c AS (SELECT 1 AS x) DELETE FROM t WHERE a IN (SELECT x FROM c)"),
              u"WITH c AS (SELECT 1 AS x) DELETE t WHERE (IN a (SELECT x FROM c))");
    EXPECT_EQ(E("UPDATE t SET a == 1"), 102);
    EXPECT_EQ(V("DELETE TOP (SELECT n FROM c) t"), u"DELETE TOP((SELECT n FROM c)) t");
    EXPECT_EQ(E("UPDATE TOP 5 t SET a = 1"), 102);
}

TEST(AnalizadorTsql, CreateTableConRestricciones)
{
    EXPECT_EQ(V("CREATE TABLE dbo.T (Id int IDENTITY(1,1) NOT NULL PRIMARY KEY CLUSTERED, "
                "Nombre varchar(30) COLLATE Latin1_General_CS_AS NULL, Precio money CONSTRAINT df DEFAULT 0 NOT NULL, "
                "Fecha datetime DEFAULT (getdate()), K int REFERENCES U(k) ON DELETE CASCADE, "
                "C char(2) UNIQUE CHECK (C <> ''), N int IDENTITY(-5, -1), "
                "CONSTRAINT pk PRIMARY KEY NONCLUSTERED (Id, Nombre DESC), UNIQUE (Nombre), "
                "FOREIGN KEY (K) REFERENCES U (k) ON UPDATE SET NULL, CHECK (Precio >= 0)) ON [PRIMARY]"),
              u"CREATE TABLE dbo.T (Id int IDENTITY(1, 1) NOT NULL PRIMARY KEY, "
              u"Nombre varchar(30) COLLATE Latin1_General_CS_AS NULL, Precio money NOT NULL DEFAULT 0, "
              u"Fecha datetime DEFAULT {GETDATE()}, K int REFERENCES U(k) ON DELETE CASCADE, "
              u"C char(2) UNIQUE CHECK (<> C ''), N int IDENTITY(-5, -1), CONSTRAINT pk PRIMARY KEY (Id, Nombre), "
              u"UNIQUE (Nombre), FOREIGN KEY (K) REFERENCES U(k) ON UPDATE SET NULL, CHECK (>= Precio 0))");
    const Lote l = Analizar(QStringLiteral("CREATE TABLE t ([A b] NVARCHAR(max), c decimal(12, 4))"));
    const DefColumna& c = l.sentencias[0]->definiciones[0];
    EXPECT_TRUE(c.citado);
    EXPECT_EQ(c.nombre, u"A b");
    EXPECT_EQ(c.tipo.nombre, u"nvarchar");
    EXPECT_TRUE(c.tipo.max);
    EXPECT_FALSE(c.nuloEscrito);
    EXPECT_EQ(l.sentencias[0]->definiciones[1].tipo.b, 4);
    EXPECT_EQ(E("CREATE TABLE t (a int,)"), 102);
    EXPECT_EQ(E("CREATE TABLE t (a varchar(x))"), 102);
}

TEST(AnalizadorTsql, OtrasDefinicionesDeEsquema)
{
    EXPECT_EQ(V("CREATE OR ALTER VIEW v (a, b) AS SELECT 1, 2"), u"CREATE VIEW v(a, b) AS SELECT 1, 2");
    EXPECT_EQ(V("CREATE VIEW v AS WITH c AS (SELECT 1 AS x) SELECT x FROM c"),
              u"CREATE VIEW v AS WITH c AS (SELECT 1 AS x) SELECT x FROM c");
    EXPECT_EQ(V("CREATE UNIQUE NONCLUSTERED INDEX ix ON t (a ASC, b DESC)"), u"CREATE UNIQUE INDEX ix ON t(a, b DESC)");
    EXPECT_EQ(V("CREATE INDEX ix ON dbo.t (a)"), u"CREATE INDEX ix ON dbo.t(a)");
    EXPECT_EQ(V("DROP TABLE IF EXISTS a, dbo.b"), u"DROP TABLE IF EXISTS a, dbo.b");
    EXPECT_EQ(V("DROP INDEX t.i; DROP INDEX i ON t; DROP PROC p; DROP VIEW v; DROP FUNCTION f; DROP TRIGGER g"),
              u"DROP INDEX t.i\nDROP INDEX t.i\nDROP PROCEDURE p\nDROP VIEW v\nDROP FUNCTION f\nDROP TRIGGER g");
    EXPECT_EQ(V("ALTER TABLE t ADD c int NULL, d varchar(10) DEFAULT 'x', CONSTRAINT u UNIQUE (c)"),
              u"ALTER TABLE t ADD c int NULL, d varchar(10) DEFAULT 'x', CONSTRAINT u UNIQUE (c)");
    EXPECT_EQ(V("ALTER TABLE t WITH CHECK ADD CONSTRAINT df DEFAULT 0 FOR c"),
              u"ALTER TABLE t ADD CONSTRAINT df DEFAULT 0 FOR c");
    EXPECT_EQ(V("ALTER TABLE t DROP COLUMN c, d"), u"ALTER TABLE t DROP COLUMN c, d");
    EXPECT_EQ(V("ALTER TABLE t ALTER COLUMN c varchar(20) NOT NULL"), u"ALTER TABLE t ALTER COLUMN c varchar(20) NOT NULL");
    EXPECT_EQ(V("ALTER TABLE t DROP CONSTRAINT df"), u"ALTER TABLE t DROP CONSTRAINT df");
    EXPECT_EQ(V("TRUNCATE TABLE t"), u"TRUNCATE TABLE t");
    EXPECT_EQ(E("DROP DATABASE d"), 156);
}

TEST(AnalizadorTsql, ProcedimientosTomanElRestoDelLote)
{
    const QString sql = QStringLiteral("CREATE PROCEDURE p AS SELECT 1; SELECT 2\nGO\nSELECT 3");
    const Lote l = Analizar(sql);
    ASSERT_EQ(l.sentencias.size(), 2u);
    EXPECT_EQ(l.sentencias[0]->clase, ClaseSentencia::Otra);
    EXPECT_EQ(l.sentencias[0]->texto, u"PROCEDURE");
    EXPECT_EQ(sql.mid(l.sentencias[0]->pos, l.sentencias[0]->largo), u"CREATE PROCEDURE p AS SELECT 1; SELECT 2");
    EXPECT_EQ(V("create function f() returns int as begin return 1 end"),
              u"CREATE FUNCTION <create function f() returns int as begin return 1 end>");
}

TEST(AnalizadorTsql, DisparadoresTomanElRestoDelLoteComoCuerpo)
{
    EXPECT_EQ(V("CREATE OR ALTER TRIGGER g ON t AFTER INSERT AS BEGIN SET NOCOUNT ON END"),
              u"CREATE OR ALTER TRIGGER g ON t AFTER INSERT AS BEGIN SET NOCOUNT ON END");
    EXPECT_EQ(V("create trigger dbo.g on dbo.t for update, delete as "
                "if update(a) delete x; insert y select * from deleted\nGO\nSELECT 1"),
              u"CREATE TRIGGER dbo.g ON dbo.t AFTER UPDATE, DELETE AS IF UPDATE(a) THEN DELETE x; "
              u"INSERT y SELECT * FROM deleted\nSELECT 1");
    const QString sql = QStringLiteral("ALTER TRIGGER g ON t AFTER DELETE AS\n  DELETE x; DELETE y;\nGO");
    const Lote l = Analizar(sql);
    ASSERT_EQ(l.sentencias.size(), 1u);
    EXPECT_EQ(l.sentencias[0]->texto, u"ALTER");
    EXPECT_EQ(l.sentencias[0]->valor, u"DELETE x; DELETE y;");
    EXPECT_EQ(l.sentencias[0]->cuerpo.size(), 2u);
    EXPECT_EQ(V("CREATE TRIGGER g ON t AFTER INSERT AS IF @@ROWCOUNT = 0 RETURN DELETE x"),
              u"CREATE TRIGGER g ON t AFTER INSERT AS IF (= @@ROWCOUNT 0) THEN RETURN; DELETE x");
    EXPECT_EQ(V("RETURN -1; RETURN (@x)"), u"RETURN (- 1)\nRETURN {@x}");
    // What the embedded database refuses is kept for the translation to name.
    EXPECT_EQ(V("CREATE TRIGGER g ON t INSTEAD OF INSERT AS DELETE x"), u"CREATE TRIGGER g ON t AFTER INSERT <INSTEAD OF> AS DELETE x");
    EXPECT_EQ(V("CREATE TRIGGER g ON t WITH EXECUTE AS CALLER FOR INSERT AS DELETE x"),
              u"CREATE TRIGGER g ON t AFTER INSERT <WITH EXECUTE> AS DELETE x");
    EXPECT_EQ(V("CREATE TRIGGER g ON t AFTER INSERT NOT FOR REPLICATION AS DELETE x"),
              u"CREATE TRIGGER g ON t AFTER INSERT <NOT FOR REPLICATION> AS DELETE x");
    EXPECT_EQ(V("CREATE TRIGGER g ON DATABASE FOR CREATE_TABLE AS PRINT 1"), u"CREATE TRIGGER g ON  AFTER  <A DDL trigger> AS ");
    // It begins its batch, and has a body and events.
    EXPECT_EQ(E("SELECT 1; CREATE TRIGGER g ON t AFTER INSERT AS DELETE x"), 111);
    EXPECT_EQ(Mensaje("SELECT 1 ALTER TRIGGER g ON t AFTER INSERT AS DELETE x"),
              u"'ALTER TRIGGER' must be the first statement in a query batch.");
    EXPECT_EQ(E("SELECT 1\nGO\nCREATE TRIGGER g ON t AFTER INSERT AS DELETE x"), 0);
    EXPECT_EQ(E("CREATE TRIGGER g ON t AFTER INSERT AS"), 156);
    EXPECT_EQ(E("CREATE TRIGGER g ON t AFTER SELECT AS DELETE x"), 156);
    EXPECT_EQ(E("CREATE TRIGGER g ON t AS DELETE x"), 156);
}

TEST(AnalizadorTsql, ControlDelLote)
{
    EXPECT_EQ(V("BEGIN TRAN; COMMIT TRANSACTION t1; ROLLBACK; ROLLBACK WORK; SAVE TRAN s; BEGIN TRANSACTION @t; "
                "COMMIT"),
              u"BEGIN TRAN\nCOMMIT TRAN t1\nROLLBACK TRAN\nROLLBACK TRAN\nSAVE TRAN s\nBEGIN TRAN @t\nCOMMIT TRAN");
    EXPECT_EQ(V("SET NOCOUNT ON; SET XACT_ABORT OFF; SET DATEFORMAT dmy; SET LANGUAGE us_english; SET DATEFIRST 1; "
                "SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED; SET LOCK_TIMEOUT -1; "
                "SET ANSI_NULLS, QUOTED_IDENTIFIER ON; SET LANGUAGE N'Español'; SET IDENTITY_INSERT dbo.t ON"),
              u"SET NOCOUNT ON\nSET XACT_ABORT OFF\nSET DATEFORMAT dmy\nSET LANGUAGE us_english\nSET DATEFIRST 1\n"
              u"SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED\nSET LOCK_TIMEOUT -1\n"
              u"SET ANSI_NULLS,QUOTED_IDENTIFIER ON\nSET LANGUAGE N'Español'\nSET IDENTITY_INSERT dbo.t ON");
    EXPECT_EQ(V("SET @x = 1; SET @y += 2; DECLARE @a int = 1, @b varchar(10), @c AS money"),
              u"SET @x = 1\nSET @y += 2\nDECLARE @a int = 1, @b varchar(10), @c money");
    EXPECT_EQ(V("IF @a = 1 SELECT 1 ELSE SELECT 2"), u"IF (= @a 1) THEN SELECT 1 ELSE SELECT 2");
    EXPECT_EQ(V("IF 1 = 1 BEGIN SELECT 1; SELECT 2 END; ELSE SELECT 3"),
              u"IF (= 1 1) THEN BEGIN SELECT 1; SELECT 2 END ELSE SELECT 3");
    EXPECT_EQ(V("EXEC sp_x @a = 1, 'b' OUTPUT, DEFAULT; EXECUTE ('SELECT 1'); EXEC @r = dbo.p"),
              u"<EXEC sp_x @a = 1, 'b' OUTPUT, DEFAULT>\n<EXECUTE ('SELECT 1')>\n<EXEC @r = dbo.p>");
    EXPECT_EQ(E("BEGIN END"), 156);
    EXPECT_EQ(E("BEGIN SELECT 1"), 102);
    EXPECT_EQ(E("SAVE TRAN"), 156);
}

TEST(AnalizadorTsql, SentenciasSeguidasSinPuntoYComaYSusLimites)
{
    EXPECT_EQ(V("INSERT INTO t VALUES (1) SELECT @@IDENTITY"), u"INSERT t VALUES (1)\nSELECT @@IDENTITY");
    EXPECT_EQ(V("SET NOCOUNT ON IF NOT EXISTS (SELECT 1 FROM t) INSERT t VALUES (1)"),
              u"SET NOCOUNT ON\nIF NOT EXISTS(SELECT 1 FROM t) THEN INSERT t VALUES (1)");
    EXPECT_EQ(V("SELECT 1\ngo\nSELECT 2\n  GO 2 -- twice\nSELECT 3"), u"SELECT 1\nSELECT 2\nSELECT 3");
    // GO that is not alone on its line is a name.
    EXPECT_EQ(V("SELECT 1 go"), u"SELECT 1 AS go");
    const QString sql = QStringLiteral("  SELECT a FROM t ;\nUPDATE t SET a = 1 DELETE t");
    const Lote l = Analizar(sql);
    ASSERT_EQ(l.sentencias.size(), 3u);
    EXPECT_EQ(sql.mid(l.sentencias[0]->pos, l.sentencias[0]->largo), u"SELECT a FROM t");
    EXPECT_EQ(sql.mid(l.sentencias[1]->pos, l.sentencias[1]->largo), u"UPDATE t SET a = 1");
    EXPECT_EQ(sql.mid(l.sentencias[2]->pos, l.sentencias[2]->largo), u"DELETE t");
    EXPECT_TRUE(Analizar(QStringLiteral(" ; -- nothing\n")).sentencias.empty());
}

TEST(AnalizadorTsql, ErroresConElTextoDelServidor)
{
    EXPECT_EQ(Mensaje("SELECT 'abc"), u"Unclosed quotation mark after the character string 'abc'.");
    EXPECT_EQ(E("SELECT N'abc"), 105);
    EXPECT_EQ(E("SELECT [abc"), 105);
    EXPECT_EQ(E("SELECT \"abc"), 105);
    EXPECT_EQ(Mensaje("SELECT * FROM"), u"Incorrect syntax near the keyword 'FROM'.");
    EXPECT_EQ(Mensaje("select * from t where"), u"Incorrect syntax near the keyword 'where'.");
    EXPECT_EQ(Mensaje("SELECT a FROM t x y"), u"Incorrect syntax near 'y'.");
    EXPECT_EQ(Mensaje("SELECT a + FROM t"), u"Incorrect syntax near the keyword 'FROM'.");
    EXPECT_EQ(Mensaje("SELECT 1 WHERE a = 'x' 'y'"), u"Incorrect syntax near 'y'.");
    EXPECT_EQ(Mensaje("SELECT (1"), u"Incorrect syntax near '1'.");
    EXPECT_EQ(E("SELECT 1 ! 2"), 102);
    EXPECT_EQ(E("FOO"), 102);
    EXPECT_EQ(E("SELECT $"), 102);
    EXPECT_EQ(Mensaje("SELECT * FROM t FOR XML RAW"), u"FOR XML RAW is not supported by the embedded database.");
    EXPECT_EQ(Mensaje("SELECT * FROM t FOR XML AUTO, ELEMENTS"), u"FOR XML AUTO is not supported by the embedded database.");
    EXPECT_EQ(Mensaje("SELECT a FROM t FOR XML PATH(''), ROOT('r')"),
              u"FOR XML PATH, ROOT is not supported by the embedded database.");
    EXPECT_EQ(Mensaje("SELECT a FROM t FOR JSON PATH"), u"FOR JSON is not supported by the embedded database.");
    EXPECT_EQ(E("SELECT a FROM t FOR XML PATH(x)"), 102);
    EXPECT_EQ(Mensaje("SELECT TOP 5 WITH TIES a FROM t"),
              u"The TOP N WITH TIES clause is not allowed without a corresponding ORDER BY clause.");
}

TEST(AnalizadorTsql, AnidamientoAcotadoYCadenasLargasSinRecursion)
{
    const auto anidada = [](int n, const char* abre, const char* centro, const char* cierra) {
        QString s = QStringLiteral("SELECT ");
        for (int k = 0; k < n; ++k)
            s += QLatin1String(abre);
        s += QLatin1String(centro);
        for (int k = 0; k < n; ++k)
            s += QLatin1String(cierra);
        return s;
    };
    EXPECT_EQ(E(anidada(150, "(", "1", ")")), 0);
    EXPECT_EQ(E(anidada(kProfundidadMaxima + 1, "(", "1", ")")), 191);
    EXPECT_EQ(E(anidada(40, "ISNULL(", "a", ", 0)")), 0);
    EXPECT_EQ(E(anidada(300, "ISNULL(", "a", ", 0)")), 191);
    EXPECT_EQ(E(anidada(300, "(SELECT ", "1", ")")), 191);
    EXPECT_EQ(E(QStringLiteral("IF 1 = 1 ").repeated(300) + QStringLiteral("SELECT 1")), 191);
    // Left-associative chains and prefix operators are read in a loop, and
    // their trees dumped and freed without recursing on their length.
    QString cadena = QStringLiteral("SELECT a");
    for (int k = 0; k < 200000; ++k)
        cadena += QLatin1String(" + ';' + b");
    EXPECT_EQ(E(cadena), 0);
    EXPECT_EQ(Volcar(Analizar(QStringLiteral("SELECT ") + QStringLiteral("- ~").repeated(100000) + u'1')).size(),
              QStringLiteral("(- (~ ").size() * 100000 + 8 + 1 + 2 * 100000 - 1);
    EXPECT_EQ(E(QStringLiteral("SELECT 1 WHERE ") + QStringLiteral("NOT ").repeated(100000) + u'1' + u'=' + u'1'), 0);
}

} // namespace
