// Statement forms a back office writes, and the suite's own everyday
// statements: lookups, the export's read of the articles.
#include "diferencial.h"

namespace diferencial {

std::vector<Caso> CasosFormas()
{
    return {
        // Column names given before the expression.
        {u"SELECT [Total Stock] = SUM(Stock) FROM ART", "int 134"},
        {u"SELECT 'alias' = Codigo FROM ART WHERE IdArticulo = 1", "varchar A001"},
        {u"SELECT Total = COUNT(*) FROM ART", "int 6"},
        {u"SELECT Codigo AS [Código del artículo] FROM ART WHERE IdArticulo = 2", "varchar A002"},
        {u"SELECT Codigo 'cod' FROM ART WHERE IdArticulo = 2", "varchar A002"},
        // Comments nest; an unclosed one is an error.
        {u"SELECT 1 /* a /* nested */ still a comment */ + 1", "int 2"},
        {u"SELECT 1 /* unclosed", "#113"},
        {u"SELECT 1 /* a /* nested */ unclosed", "#113"},
        {u"SELECT 1 -- the rest of the line\n + 1", "int 2"},
        // money literals.
        {u"SELECT $1000", "money 1000.0000"},
        {u"SELECT -$5.25", "money -5.2500"},
        {u"SELECT $1000 + 1", "money 1001.0000"},
        {u"SELECT $1000 * 1.5", "decimal(22,5) 1500.00000"},
        {u"SELECT COUNT(*) FROM ART WHERE Precio > $1000", "int 3"},
        // A batch answers with its first result set.
        {u"SELECT 1 SELECT 2", "int 1"},
        {u"SELECT 1; SELECT 2", "int 1"},
        {u"SELECT Codigo FROM ART WHERE IdArticulo = 1 SELECT Codigo FROM ART WHERE IdArticulo = 2", "varchar A001"},
        {u"SET NOCOUNT ON SELECT COUNT(*) FROM VENTAS", "int 5"},
        // Writing: conversions to the column's type, and the errors of bad values.
        {u"INSERT INTO ART (IdArticulo, Stock) VALUES (10, 'dos')", "#245"},
        // 8152 up to SQL Server 2017 (and 2019 and later at compatibility level below 150); later ones say 2628.
        {u"INSERT INTO ART (IdArticulo, Descripcion) VALUES (11, 'una descripción demasiado larga para la columna')",
         "#8152"},
        {u"INSERT INTO ART (IdArticulo, Codigo) VALUES (1, 'X')", "#2627"},
        {u"INSERT INTO ART (Codigo) VALUES ('X')", "#515"},
        {u"INSERT INTO ART (IdArticulo, Alta) VALUES (20, '20250230')", "#242"},
        {u"INSERT INTO VENTAS (IdVenta, IdArticulo) VALUES (9, 1)", "#544"},
        {u"INSERT INTO ART (IdArticulo, Precio) VALUES (20, 12.345678) SELECT Precio FROM ART WHERE IdArticulo = 20",
         "money 12.3457"},
        {u"INSERT INTO ART (IdArticulo, Precio) VALUES (20, '1250.50') SELECT Precio FROM ART WHERE IdArticulo = 20",
         "money 1250.5000"},
        {u"INSERT INTO ART (IdArticulo, Costo) VALUES (20, 1.23456) SELECT Costo FROM ART WHERE IdArticulo = 20",
         "decimal(12,4) 1.2346"},
        {u"INSERT INTO ART (IdArticulo, Stock) VALUES (20, 2.7) SELECT Stock FROM ART WHERE IdArticulo = 20", "int 2"},
        {u"INSERT INTO ART (IdArticulo, Activo) VALUES (20, 5) SELECT Activo FROM ART WHERE IdArticulo = 20", "bit 1"},
        {u"INSERT INTO ART (IdArticulo, Activo) VALUES (20, 'true') SELECT Activo FROM ART WHERE IdArticulo = 20",
         "bit 1"},
        {u"INSERT INTO ART (IdArticulo, Codigo) VALUES (20, 12345) SELECT Codigo FROM ART WHERE IdArticulo = 20",
         "varchar 12345"},
        {u"INSERT INTO ART (IdArticulo, Alta) VALUES (20, '2025-02-01 23:59:59.999') "
         u"SELECT Alta FROM ART WHERE IdArticulo = 20",
         "datetime 2025-02-02 00:00:00.000"},
        {u"INSERT INTO ART (IdArticulo, Peso) VALUES (20, 1.1) SELECT Peso FROM ART WHERE IdArticulo = 20", "float 1.1"},
        // IDENTITY.
        {u"INSERT INTO VENTAS (IdArticulo, Importe) VALUES (1, 10) SELECT SCOPE_IDENTITY()", "decimal(38,0) 6"},
        {u"INSERT INTO VENTAS (IdArticulo, Importe) VALUES (1, 10) SELECT @@IDENTITY", "decimal(38,0) 6"},
        {u"INSERT INTO VENTAS (IdArticulo, Importe) VALUES (1, 10) SELECT MAX(IdVenta) FROM VENTAS", "int 6"},
        {u"INSERT INTO VENTAS (IdArticulo, Importe) VALUES (1, 10), (2, 20) SELECT @@ROWCOUNT", "int 2"},
        {u"INSERT INTO VENTAS (IdArticulo, Importe) VALUES (1, 10), (2, 20) SELECT SCOPE_IDENTITY()", "decimal(38,0) 7"},
        {u"SELECT IDENT_CURRENT('VENTAS')", "decimal(38,0) 5"},
        // Updates and deletes, then the rows they left.
        {u"UPDATE ART SET Stock = Stock - 1 WHERE IdArticulo = 1 SELECT Stock FROM ART WHERE IdArticulo = 1", "int 9"},
        {u"UPDATE ART SET Precio = Precio * 1.1 WHERE IdArticulo = 1 SELECT Precio FROM ART WHERE IdArticulo = 1",
         "money 880.0000"},
        {u"UPDATE ART SET Precio = Precio / 4 WHERE IdArticulo = 2 SELECT Precio FROM ART WHERE IdArticulo = 2",
         "money 625.2500"},
        {u"UPDATE ART SET Precio = Precio + 0.005 WHERE IdArticulo = 6 SELECT Precio FROM ART WHERE IdArticulo = 6",
         "money 99.9950"},
        {u"UPDATE ART SET Costo = Costo / 3 WHERE IdArticulo = 6 SELECT Costo FROM ART WHERE IdArticulo = 6",
         "decimal(12,4) 16.7078"},
        {u"UPDATE ART SET Stock = 'x' WHERE IdArticulo = 1", "#245"},
        {u"UPDATE ART SET Activo = 0 WHERE Rubro = 'BAZAR' SELECT @@ROWCOUNT", "int 2"},
        {u"DELETE FROM ART WHERE Stock <= 0 SELECT COUNT(*) FROM ART", "int 4"},
        // ALTER COLUMN: the values converted as an assignment converts them,
        // or the server's error and nothing changed.
        {u"ALTER TABLE ART ALTER COLUMN Stock bigint SELECT Stock FROM ART WHERE IdArticulo = 1", "bigint 10"},
        {u"ALTER TABLE ART ALTER COLUMN Stock decimal(8,2) SELECT Stock FROM ART WHERE IdArticulo = 3",
         "decimal(8,2) -3.00"},
        {u"ALTER TABLE ART ALTER COLUMN Costo decimal(12,2) SELECT Costo FROM ART WHERE IdArticulo = 6",
         "decimal(12,2) 50.12"},
        {u"ALTER TABLE ART ALTER COLUMN Stock varchar(5) SELECT Stock FROM ART WHERE IdArticulo = 3", "varchar -3"},
        {u"ALTER TABLE ART ALTER COLUMN Descripcion nvarchar(40) SELECT Descripcion FROM ART WHERE IdArticulo = 1",
         "nvarchar Ñandú"},
        {u"ALTER TABLE ART ALTER COLUMN Alta date SELECT Alta FROM ART WHERE IdArticulo = 3", "date 2025-02-01"},
        {u"ALTER TABLE VENTAS ALTER COLUMN Importe decimal(12,2) "
         u"INSERT INTO VENTAS (IdArticulo, Importe) VALUES (1, 10) SELECT SCOPE_IDENTITY()",
         "decimal(38,0) 6"},
        {u"ALTER TABLE ART ALTER COLUMN Codigo varchar(3)", "#8152"},
        {u"ALTER TABLE ART ALTER COLUMN Rubro int", "#245"},
        {u"ALTER TABLE ART ALTER COLUMN Peso float NOT NULL", "#515"},
        {u"ALTER TABLE NADA ALTER COLUMN Stock int", "#4902"},
        {u"ALTER TABLE ART ALTER COLUMN Existencias int", "#4924"},
        // The key's constraint is named by the server ("PK__ART__..."): here 4922, its second message.
        {u"ALTER TABLE ART ALTER COLUMN IdArticulo bigint NOT NULL", "#5074"},
        // TOP.
        {u"SELECT TOP 2 Codigo FROM ART ORDER BY Precio DESC", "varchar B010 || varchar A002"},
        {u"SELECT TOP 1 Codigo FROM ART ORDER BY Alta", "varchar B011"},
        {u"SELECT TOP (3) IdArticulo FROM ART ORDER BY IdArticulo DESC", "int 6 || int 5 || int 4"},
        {u"SELECT TOP 1 WITH TIES Rubro FROM ART WHERE Rubro IS NOT NULL ORDER BY Rubro", "filas 2"},
        {u"SELECT TOP 50 PERCENT IdArticulo FROM ART ORDER BY IdArticulo", "filas 3"},
        // UNION.
        {u"SELECT 1 UNION SELECT 1", "filas 1"},
        {u"SELECT 1 UNION ALL SELECT 1", "filas 2"},
        {u"SELECT Rubro FROM ART UNION SELECT Nombre FROM FAMILIAS", "filas 5"},
        {u"SELECT 'a' UNION SELECT 'A'", "filas 1"},
        {u"SELECT 1 UNION ALL SELECT 2.5 ORDER BY 1", "decimal(11,1) 1.0 || decimal(11,1) 2.5"},
        {u"SELECT Codigo FROM ART WHERE IdArticulo = 1 UNION SELECT 'Z' ORDER BY 1", "varchar A001 || varchar Z"},
        {u"SELECT 1 UNION SELECT 'x'", "#245"},
        // GROUP BY and HAVING.
        {u"SELECT Rubro, COUNT(*) FROM ART GROUP BY Rubro HAVING COUNT(*) > 1 ORDER BY Rubro",
         "varchar Almacén | int 2 || varchar Bazar | int 2"},
        {u"SELECT IdArticulo, SUM(Importe) FROM VENTAS GROUP BY IdArticulo HAVING SUM(Importe) > 2000 ORDER BY IdArticulo",
         "int 2 | money 3751.5000 || int 3 | money 3751.5000 || int 4 | money 15000.0000"},
        {u"SELECT COUNT(*) FROM ART GROUP BY Activo HAVING Activo = 1", "int 4"},
        // Joins and subqueries.
        {u"SELECT a.Codigo, f.Nombre FROM ART a JOIN FAMILIAS f ON f.IdFamilia = a.IdFamilia ORDER BY a.IdArticulo",
         "varchar A001 | varchar Bazar || varchar A002 | varchar Almacén || varchar A003 | varchar Almacén || "
         "varchar C100 | varchar Jardín"},
        {u"SELECT COUNT(*) FROM ART a LEFT JOIN FAMILIAS f ON f.IdFamilia = a.IdFamilia", "int 6"},
        {u"SELECT f.Nombre, COUNT(a.IdArticulo) FROM FAMILIAS f LEFT JOIN ART a ON a.IdFamilia = f.IdFamilia "
         u"GROUP BY f.Nombre ORDER BY f.Nombre",
         "varchar Almacén | int 2 || varchar Bazar | int 1 || varchar Ferretería | int 0 || varchar Jardín | int 1"},
        {u"SELECT Nombre FROM FAMILIAS f WHERE NOT EXISTS (SELECT 1 FROM ART a WHERE a.IdFamilia = f.IdFamilia)",
         "varchar Ferretería"},
        {u"SELECT a.Codigo, SUM(v.Importe) FROM ART a JOIN VENTAS v ON v.IdArticulo = a.IdArticulo GROUP BY a.Codigo "
         u"ORDER BY a.Codigo",
         "varchar A001 | money 1800.0000 || varchar A002 | money 3751.5000 || varchar A003 | money 3751.5000 || "
         "varchar B010 | money 15000.0000"},
        {u"SELECT Codigo FROM ART WHERE Precio = (SELECT MAX(Precio) FROM ART)", "varchar B010"},
        {u"SELECT Codigo FROM ART WHERE Precio = (SELECT Precio FROM ART)", "#512"},
        {u"SELECT Codigo FROM ART WHERE IdArticulo IN (SELECT IdArticulo FROM VENTAS) ORDER BY Codigo",
         "varchar A001 || varchar A002 || varchar A003 || varchar B010"},
        {u"SELECT Codigo FROM ART WHERE IdArticulo NOT IN (SELECT IdArticulo FROM VENTAS) ORDER BY Codigo",
         "varchar B011 || varchar C100"},
        {u"SELECT (SELECT COUNT(*) FROM VENTAS v WHERE v.IdArticulo = a.IdArticulo) FROM ART a WHERE IdArticulo = 1",
         "int 2"},
        {u"WITH x AS (SELECT Rubro, SUM(Stock) s FROM ART GROUP BY Rubro) SELECT MAX(s) FROM x", "int 130"},
        {u"SELECT COUNT(*) FROM (SELECT DISTINCT IdArticulo FROM VENTAS) x", "int 4"},
        // CASE: the type of the highest branch.
        {u"SELECT CASE WHEN Stock > 0 THEN 'con' ELSE 'sin' END FROM ART WHERE IdArticulo = 2", "varchar sin"},
        {u"SELECT CASE WHEN 1 = 1 THEN 1 ELSE 'x' END", "int 1"},
        {u"SELECT CASE WHEN 1 = 0 THEN 1 ELSE 'x' END", "#245"},
        {u"SELECT CASE WHEN Stock > 0 THEN Precio ELSE 0 END FROM ART WHERE IdArticulo = 3", "money 0.0000"},
        {u"SELECT CASE WHEN 1 = 1 THEN 1 ELSE 2.5 END", "decimal(11,1) 1.0"},
        {u"SELECT CASE Rubro WHEN 'BAZAR' THEN 'B' ELSE 'O' END FROM ART WHERE IdArticulo = 1", "varchar B"},
        {u"SELECT CASE WHEN Stock IS NULL THEN 'sin dato' END FROM ART WHERE IdArticulo = 5", "varchar sin dato"},
        {u"SELECT CASE WHEN 1 = 0 THEN 'x' END", "varchar NULL"},
        {u"SELECT IIF(Stock > 5, 'mucho', 'poco') FROM ART WHERE IdArticulo = 1", "varchar mucho"},
        // NULL and the rest.
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion IS NULL", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion = NULL", "int 0"},
        {u"SELECT 1 WHERE NULL = NULL", "filas 0"},
        {u"SELECT * FROM ART WHERE IdArticulo = 99", "filas 0"},
        {u"SELECT COUNT(*) FROM ART WHERE NOT Activo = 1", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Stock BETWEEN 0 AND 10", "int 3"},
        {u"SELECT COUNT(*) FROM ART WHERE Rubro IN ('bazar', 'JARDÍN')", "int 3"},
        {u"SELECT COUNT(*) FROM ART WITH (NOLOCK)", "int 6"},
        {u"SELECT TOP 1 * FROM ART ORDER BY IdArticulo",
         "int 1 | varchar A001 | varchar Ñandú | varchar Bazar | money 800.00 | decimal(12,4) 600.0000 | int 10 | bit 1 "
         "| datetime 2025-01-15 10:30:00 | float 1.5 | int 1"},
        {u"SELECT NoExiste FROM ART", "#207"},
        {u"SELECT * FROM NO_EXISTE", "#208"},
        {u"SELECT FROM ART", "#156"},
        // FOR XML PATH joining texts: in the ORDER BY's order, NULLs left out,
        // XML's characters escaped; no rows, NULL.
        {u"SELECT STUFF((SELECT ',' + Codigo FROM ART ORDER BY Codigo DESC FOR XML PATH('')), 1, 1, '')",
         "nvarchar(max) C100,B011,B010,A003,A002,A001"},
        {u"SELECT (SELECT ',' + Descripcion FROM ART ORDER BY Stock FOR XML PATH(''))",
         "nvarchar(max) ,ALMACEN,almacen,árbol,Ñandú,Té verde"},
        {u"SELECT (SELECT TOP 2 Codigo + ';' FROM ART WHERE Stock IS NOT NULL ORDER BY Stock DESC FOR XML PATH(''))",
         "nvarchar(max) B010;A001;"},
        {u"SELECT (SELECT 'a&b<c>' + CHAR(13) + CHAR(10) + 'd' FOR XML PATH(''))", "nvarchar(max) a&amp;b&lt;c&gt;&#x0D;\nd"},
        {u"SELECT (SELECT Codigo FROM ART WHERE IdArticulo = 99 FOR XML PATH(''))", "nvarchar(max) NULL"},
        {u"SELECT f.Nombre, STUFF((SELECT ', ' + a.Codigo FROM ART a WHERE a.IdFamilia = f.IdFamilia ORDER BY a.Codigo "
         u"FOR XML PATH('')), 1, 2, '') FROM FAMILIAS f ORDER BY f.IdFamilia",
         "varchar Bazar | nvarchar(max) A001 || varchar Almacén | nvarchar(max) A002, A003 || varchar Jardín | nvarchar(max) C100 || "
         "varchar Ferretería | nvarchar(max) NULL"},
        {u"SELECT STUFF((SELECT ',' + Rubro FROM ART GROUP BY Rubro ORDER BY Rubro FOR XML PATH('')), 1, 1, '')",
         "nvarchar(max) Almacén,Bazar,Jardín"},
        {u"SELECT STUFF((SELECT DISTINCT ',' + Rubro FROM ART ORDER BY ',' + Rubro DESC FOR XML PATH('')), 1, 1, '')",
         "nvarchar(max) Jardín,Bazar,Almacén"},
        {u"SELECT (SELECT TOP 50 PERCENT Codigo + ' ' FROM ART ORDER BY Codigo FOR XML PATH(''))", "nvarchar(max) A001 A002 A003 "},
        // Named columns are elements, each row one of PATH's; values in their XML form.
        {u"SELECT (SELECT IdArticulo AS Id, Codigo, Descripcion FROM ART WHERE IdArticulo IN (1, 5) ORDER BY IdArticulo "
         u"FOR XML PATH('art'))",
         "nvarchar(max) <art><Id>1</Id><Codigo>A001</Codigo><Descripcion>Ñandú</Descripcion></art><art><Id>5</Id><Codigo>B011</Codigo></art>"},
        {u"SELECT (SELECT Codigo FROM ART WHERE IdArticulo = 1 FOR XML PATH)", "nvarchar(max) <row><Codigo>A001</Codigo></row>"},
        {u"SELECT (SELECT Precio, Activo, Alta, Costo FROM ART WHERE IdArticulo = 3 FOR XML PATH(''))",
         "nvarchar(max) <Precio>1250.5000</Precio><Activo>0</Activo><Alta>2025-02-01T23:59:59.997</Alta><Costo>937.8750</Costo>"},
        {u"SELECT (SELECT Alta, Stock FROM ART WHERE IdArticulo = 2 FOR XML PATH(''))",
         "nvarchar(max) <Alta>2025-02-01T00:00:00</Alta><Stock>0</Stock>"},
        // Read back as text through TYPE: nothing escaped, no elements.
        {u"SELECT STUFF((SELECT ';' + Descripcion + '&<' AS d FROM ART WHERE IdArticulo < 3 ORDER BY IdArticulo "
         u"FOR XML PATH('fila'), TYPE).value('.', 'NVARCHAR(MAX)'), 1, 1, '')",
         "nvarchar(max) Ñandú&<;almacen&<"},
        {u"SELECT (SELECT Codigo FROM ART WHERE IdArticulo = 99 FOR XML PATH(''), TYPE).value('.', 'NVARCHAR(MAX)')",
         "nvarchar(max) NULL"},
        // ANY, SOME and ALL: ALL over no rows is true (a NULL beside it too); a NULL
        // in the set leaves a comparison not settled otherwise unknown.
        {u"SELECT COUNT(*) FROM ART WHERE Precio > ALL (SELECT Importe FROM VENTAS WHERE IdArticulo = 1)", "int 2"},
        {u"SELECT COUNT(*) FROM ART WHERE Precio > ALL (SELECT Importe FROM VENTAS WHERE IdArticulo = 99)", "int 6"},
        {u"SELECT COUNT(*) FROM ART WHERE Precio = ANY (SELECT Importe FROM VENTAS)", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Stock < SOME (SELECT Cantidad FROM VENTAS)", "int 2"},
        {u"SELECT COUNT(*) FROM ART a WHERE a.IdArticulo <> ALL (SELECT v.IdArticulo FROM VENTAS v WHERE v.Importe > a.Precio)",
         "int 3"},
        {u"SELECT CASE WHEN 1 > ALL (SELECT Peso FROM ART WHERE Peso < 1 OR Peso IS NULL) THEN 'si' "
         u"WHEN NOT 1 > ALL (SELECT Peso FROM ART WHERE Peso < 1 OR Peso IS NULL) THEN 'no' ELSE 'desconocido' END, "
         u"CASE WHEN 0 > ANY (SELECT Peso FROM ART WHERE Peso < 1 OR Peso IS NULL) THEN 'si' "
         u"WHEN NOT 0 > ANY (SELECT Peso FROM ART WHERE Peso < 1 OR Peso IS NULL) THEN 'no' ELSE 'desconocido' END, "
         u"CASE WHEN 1 > ANY (SELECT Peso FROM ART) THEN 'si' ELSE 'no' END, "
         u"CASE WHEN 0.1 > ALL (SELECT Peso FROM ART) THEN 'si' WHEN NOT 0.1 > ALL (SELECT Peso FROM ART) THEN 'no' END",
         "varchar desconocido | varchar desconocido | varchar si | varchar no"},
        {u"SELECT COUNT(*) FROM ART WHERE Codigo = ANY (SELECT 'a001')", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Precio > ALL (SELECT Importe, IdVenta FROM VENTAS)", "#116"},
        // TOP of a subquery; a negative TOP is an error, never all the rows.
        {u"SELECT TOP (SELECT COUNT(*) FROM FAMILIAS WHERE IdFamilia < 3) Codigo FROM ART ORDER BY Codigo DESC",
         "varchar C100 || varchar B011"},
        {u"SELECT TOP (SELECT MIN(Stock) FROM ART) Codigo FROM ART", "#127"},
        {u"DECLARE @n int SET @n = -1 SELECT TOP (@n) Codigo FROM ART", "#127"},
        {u"DECLARE @n int SET @n = -1 SELECT TOP (@n) WITH TIES Codigo FROM ART ORDER BY Rubro", "#127"},
        {u"DECLARE @n int SET @n = -1 DELETE TOP (@n) FROM ART", "#127"},
        {u"DECLARE @n int SET @n = -1 UPDATE TOP (@n) ART SET Stock = 0", "#127"},
        {u"DELETE TOP (SELECT COUNT(*) FROM FAMILIAS WHERE IdFamilia < 3) a FROM ART a JOIN FAMILIAS f ON f.IdFamilia = a.IdFamilia "
         u"SELECT COUNT(*) FROM ART",
         "int 4"},
        // ODBC's date literals, read in their one form whatever the date format.
        {u"SET DATEFORMAT dmy SELECT {d '2025-02-01'}, {ts '2025-02-01 23:59:59.997'}, {ts '2025-02-01 10:30:00'}",
         "datetime 2025-02-01 00:00:00.000 | datetime 2025-02-01 23:59:59.997 | datetime 2025-02-01 10:30:00.000"},
        {u"SELECT COUNT(*) FROM VENTAS WHERE Fecha >= {d '2025-02-01'} AND Fecha < {ts '2025-02-02 00:00:00'}", "int 2"},
        {u"SELECT {d '2025-02-30'}", "#242"},
        // As a statement of its own.
        {u"SELECT Codigo + ';' FROM ART WHERE IdArticulo < 3 ORDER BY IdArticulo DESC FOR XML PATH('')", "nvarchar(max) A002;A001;", D,
         "the field type a provider gives the XML of a statement"},
        // A statement's XML comes in rows of 2033 characters; none for no rows.
        {u"SELECT REPLICATE(CAST('x' AS varchar(max)), 5000) FOR XML PATH('')", "filas 3"},
        {u"SELECT Codigo FROM ART WHERE IdArticulo = 99 FOR XML PATH('')", "filas 0"},
        {u"SELECT LEN(REPLICATE(CAST('x' AS varchar(max)), 5000) + (SELECT 'y' FOR XML PATH('')))", "bigint 5001"},
        // STRING_AGG groups.
        {u"SELECT Rubro, LEN(STRING_AGG(Codigo, ',')), LEN(STRING_AGG(Descripcion, ',')) FROM ART WHERE Rubro = 'Almacén' OR "
         u"IdArticulo IN (5, 6) GROUP BY Rubro ORDER BY Rubro",
         "varchar NULL | int 4 | int NULL || varchar Almacén | int 9 | int 15 || varchar Jardín | int 4 | int 5"},
        {u"SELECT Rubro, COUNT(*) FROM ART GROUP BY Rubro HAVING LEN(STRING_AGG(Codigo, '')) > 4 ORDER BY Rubro",
         "varchar Almacén | int 2 || varchar Bazar | int 2"},
        {u"SELECT STRING_AGG(CAST(REPLICATE('x', 3000) AS varchar(3000)), ',') FROM ART", "#9829"},
        // WITHIN GROUP: in the keys' order, texts under their collation, NULL keys first.
        {u"SELECT Rubro, STRING_AGG(Codigo, ',') WITHIN GROUP (ORDER BY Descripcion DESC, IdArticulo) FROM ART "
         u"GROUP BY Rubro ORDER BY Rubro",
         "varchar NULL | varchar B011 || varchar Almacén | varchar A002,A003 || varchar Bazar | varchar B010,A001 || "
         "varchar Jardín | varchar C100"},
        {u"SELECT STRING_AGG(Codigo, '; ') WITHIN GROUP (ORDER BY Peso, IdArticulo), STRING_AGG(Descripcion, '|') WITHIN GROUP "
         u"(ORDER BY Precio DESC) FROM ART",
         "varchar A003; B011; A002; A001; B010; C100 | varchar Té verde|almacen|ALMACEN|Ñandú|árbol"},
        {u"SELECT STRING_AGG(Codigo, ',') WITHIN GROUP (ORDER BY Codigo) FROM ART WHERE IdArticulo > 99", "varchar NULL"},
        {u"SELECT LEN(STRING_AGG(CAST(REPLICATE('x', 3000) AS varchar(max)), ',')) FROM ART", "bigint 18005"},
        // UPDATE ... FROM with an outer join: each target row once, NULLs where nothing joins.
        {u"UPDATE a SET Rubro = f.Nombre FROM ART a LEFT JOIN FAMILIAS f ON f.IdFamilia = a.IdFamilia "
         u"SELECT COUNT(*), MAX(Rubro) FROM ART WHERE Rubro IS NULL OR IdArticulo = 6",
         "int 3 | varchar Jardín"},
        {u"UPDATE ART SET Stock = ISNULL(v.Cantidad, -1) FROM ART LEFT JOIN VENTAS v ON v.IdArticulo = ART.IdArticulo "
         u"AND v.IdVenta > 3 WHERE ART.IdArticulo IN (1, 2) SELECT Stock FROM ART WHERE IdArticulo IN (1, 2) ORDER BY IdArticulo",
         "int 0 || int -1"},
        {u"UPDATE a SET Stock = a.Stock * 2 FROM ART a LEFT JOIN FAMILIAS f ON f.IdFamilia = a.IdFamilia SELECT SUM(Stock) FROM ART",
         "int 268"},
        // Triggers: what is refused when one is made or dropped (each row is one batch, which a trigger's body ends).
        {u"SELECT 1 CREATE TRIGGER tr_art ON ART AFTER INSERT AS DELETE FROM VENTAS", "#111"},
        {u"CREATE TRIGGER tr_art ON ART AFTER UPDATE AS SELECT Nada FROM inserted", "#207"},
        {u"CREATE TRIGGER tr_art ON ART AFTER DELETE AS UPDATE deleted SET Stock = 0", "#286"},
        {u"DROP TRIGGER tr_ninguno", "#3701"},
        {u"CREATE TRIGGER tr_art ON NINGUNA AFTER INSERT AS DELETE FROM VENTAS", "#8197", D,
         "the number of the error for a table that does not exist is not documented"},
    };
}

std::vector<Caso> CasosCotidianas()
{
    return {
        // Lookups.
        {u"SELECT Codigo, Descripcion FROM ART WHERE Descripcion LIKE 'a%' ORDER BY Descripcion, Codigo",
         "varchar A002 | varchar almacen || varchar A003 | varchar ALMACEN"},
        {u"SELECT Codigo, Descripcion FROM ART WHERE Codigo LIKE 'B%' ORDER BY Codigo",
         "varchar B010 | varchar Té verde || varchar B011 | varchar NULL"},
        {u"SELECT TOP 20 Codigo FROM ART WHERE Descripcion LIKE '%' + 'verde' + '%' ORDER BY Codigo", "varchar B010"},
        {u"SELECT IdArticulo, Descripcion FROM ART WHERE Descripcion LIKE '%ñ%'", "int 1 | varchar Ñandú"},
        {u"SELECT TOP 1 Descripcion FROM ART WHERE Descripcion LIKE 'te%'", "filas 0"},
        {u"SELECT Codigo FROM ART WHERE Codigo = 'a001'", "varchar A001"},
        {u"SELECT Codigo FROM ART WHERE Codigo >= 'B' ORDER BY Codigo", "varchar B010 || varchar B011 || varchar C100"},
        {u"SELECT COUNT(*) FROM ART WHERE Codigo LIKE 'A[0-9]%'", "int 3"},
        {u"SELECT MAX(Codigo) FROM ART WHERE Codigo LIKE 'A%'", "varchar A003"},
        {u"SELECT Codigo FROM ART WHERE Rubro = 'Bazar' AND Stock > 0 ORDER BY Codigo", "varchar A001 || varchar B010"},
        {u"SELECT COUNT(*) FROM ART WHERE Activo = 1", "int 4"},
        {u"SELECT COUNT(*) FROM ART WHERE ISNULL(Stock, 0) = 0", "int 2"},
        {u"SELECT a.Codigo, a.Descripcion, f.Nombre FROM ART a LEFT JOIN FAMILIAS f ON f.IdFamilia = a.IdFamilia "
         u"WHERE a.IdArticulo = 4",
         "varchar B010 | varchar Té verde | varchar NULL"},
        // Lists and totals.
        {u"SELECT Codigo, Precio FROM ART WHERE Activo = 1 ORDER BY Precio DESC",
         "varchar B010 | money 15000 || varchar A002 | money 2501 || varchar A001 | money 800 || varchar C100 | money 99.99"},
        {u"SELECT Codigo FROM ART ORDER BY Precio, IdArticulo",
         "varchar B011 || varchar C100 || varchar A001 || varchar A003 || varchar A002 || varchar B010"},
        {u"SELECT Codigo, Stock * Precio AS Valorizado FROM ART WHERE IdArticulo = 6", "varchar C100 | money 699.93"},
        {u"SELECT SUM(Stock * Costo) FROM ART", "decimal(38,4) 1353537.2388"},
        {u"SELECT COUNT(*) FROM VENTAS WHERE Fecha BETWEEN '20250101' AND '20250131 23:59:59'", "int 1"},
        {u"SELECT CONVERT(varchar(10), Fecha, 103) AS Dia, SUM(Importe) FROM VENTAS "
         u"GROUP BY CONVERT(varchar(10), Fecha, 103) ORDER BY MIN(Fecha)",
         "varchar 20/01/2025 | money 1600 || varchar 01/02/2025 | money 7503 || varchar 15/02/2025 | money 200 || "
         "varchar 01/03/2025 | money 15000"},
        // Texts built for the screen and the files.
        {u"SELECT ISNULL(Descripcion, '') + ' (' + Codigo + ')' FROM ART WHERE IdArticulo = 5", "varchar  (B011)"},
        {u"SELECT UPPER(LEFT(Descripcion, 1)) + LOWER(SUBSTRING(Descripcion, 2, 30)) FROM ART WHERE IdArticulo = 3",
         "varchar Almacen"},
        {u"SELECT CAST(Precio AS varchar(20)) + ';' + CAST(Stock AS varchar(10)) FROM ART WHERE IdArticulo = 3",
         "varchar 1250.50;-3"},
        {u"SELECT Codigo, CONVERT(varchar(10), Alta, 103) FROM ART WHERE IdArticulo = 6", "varchar C100 | varchar 10/03/2025"},
        // The export's read of the articles.
        {u"SELECT IdArticulo, Codigo, Descripcion, Rubro, Precio, Costo, Stock, Activo, Alta, Peso FROM ART "
         u"ORDER BY IdArticulo",
         "int 1 | varchar A001 | varchar Ñandú | varchar Bazar | money 800 | decimal(12,4) 600 | int 10 | bit 1 | "
         "datetime 2025-01-15 10:30:00 | float 1.5 || "
         "int 2 | varchar A002 | varchar almacen | varchar Almacén | money 2501 | decimal(12,4) 1875.75 | int 0 | bit 1 | "
         "datetime 2025-02-01 | float 0.25 || "
         "int 3 | varchar A003 | varchar ALMACEN | varchar Almacén | money 1250.50 | decimal(12,4) 937.875 | int -3 | "
         "bit 0 | datetime 2025-02-01 23:59:59.997 | float NULL || "
         "int 4 | varchar B010 | varchar Té verde | varchar Bazar | money 15000 | decimal(12,4) 11250 | int 120 | bit 1 | "
         "datetime 2024-12-31 18:00:00 | float 2 || "
         "int 5 | varchar B011 | varchar NULL | varchar NULL | money NULL | decimal(12,4) NULL | int NULL | bit NULL | "
         "datetime NULL | float NULL || "
         "int 6 | varchar C100 | varchar árbol | varchar Jardín | money 99.99 | decimal(12,4) 50.1234 | int 7 | bit 1 | "
         "datetime 2025-03-10 08:15:00 | float 12.75"},
        // Variables of the batch.
        {u"DECLARE @x int = 5 SET @x = @x * 2 SELECT @x", "int 10"},
        {u"DECLARE @p money SELECT @p = MAX(Precio) FROM ART SELECT @p", "money 15000.0000"},
        {u"DECLARE @c varchar(3) = 'abcdef' SELECT @c", "varchar abc"},
        {u"SELECT @nada", "#137"},
        {u"DECLARE @x int SELECT @x", "int NULL"},
        {u"DECLARE @n int = 1 SET @n += 4 SET @n *= 3 SELECT @n", "int 15"},
        {u"DECLARE @a int, @b varchar(10) = 'x' SELECT @a = IdArticulo, @b = Codigo FROM ART WHERE IdArticulo = 4 "
         u"SELECT @b + CAST(@a AS varchar(5))",
         "varchar B0104"},
        {u"DECLARE @a int = 1 SELECT @a = IdArticulo FROM ART WHERE IdArticulo = 99 SELECT @a", "int 1"},
        {u"DECLARE @a int SELECT @a = IdArticulo, Codigo FROM ART", "#141"},
        {u"DECLARE @a int DECLARE @a int", "#134"},
        // IF ... ELSE, blocks, transactions.
        {u"IF EXISTS (SELECT 1 FROM ART WHERE Stock < 0) SELECT 'neg' ELSE SELECT 'ok'", "varchar neg"},
        {u"IF NOT EXISTS (SELECT 1 FROM ART WHERE Stock < 0) SELECT 'neg' ELSE SELECT 'ok'", "varchar ok"},
        {u"IF @@TRANCOUNT > 0 ROLLBACK TRAN SELECT @@TRANCOUNT", "int 0"},
        {u"BEGIN TRAN UPDATE ART SET Stock = 0 WHERE IdArticulo = 6 IF @@ROWCOUNT = 1 COMMIT TRAN ELSE ROLLBACK TRAN "
         u"SELECT Stock, @@TRANCOUNT FROM ART WHERE IdArticulo = 6",
         "int 0 | int 0"},
        {u"IF 1 = 1 BEGIN DECLARE @v int = 3 SELECT @v * 2 END", "int 6"},
        // Temporary tables and SELECT ... INTO.
        {u"SELECT Codigo INTO #dos FROM ART WHERE IdArticulo < 3 SELECT COUNT(*) FROM #dos", "int 2"},
        {u"CREATE TABLE #x (a int) INSERT #x VALUES (1) INSERT INTO #x VALUES (2) SELECT SUM(a) FROM #x", "int 3"},
        {u"SELECT Precio * 2 AS Doble INTO #precios FROM ART WHERE IdArticulo = 3 SELECT Doble FROM #precios", "money 2501.0000"},
        {u"SELECT Precio * 2 INTO #sinnombre FROM ART", "#1038"},
        // WITH before a write; UPDATE ... FROM and DELETE ... FROM with joins.
        {u"WITH c AS (SELECT IdArticulo FROM ART WHERE Stock > 100) DELETE FROM ART WHERE IdArticulo IN (SELECT IdArticulo FROM c) "
         u"SELECT COUNT(*) FROM ART",
         "int 5"},
        {u"WITH c AS (SELECT IdFamilia, Nombre FROM FAMILIAS) UPDATE ART SET Rubro = (SELECT Nombre FROM c WHERE c.IdFamilia = "
         u"ART.IdFamilia) WHERE IdArticulo = 6 SELECT Rubro FROM ART WHERE IdArticulo = 6",
         "varchar Jardín"},
        {u"UPDATE a SET a.Rubro = f.Nombre FROM ART a JOIN FAMILIAS f ON f.IdFamilia = a.IdFamilia WHERE a.IdArticulo = 6 "
         u"SELECT Rubro FROM ART WHERE IdArticulo = 6",
         "varchar Jardín"},
        {u"UPDATE ART SET Stock = Stock + 1 FROM FAMILIAS f WHERE f.IdFamilia = ART.IdFamilia AND f.Nombre = 'Jardín' "
         u"SELECT Stock FROM ART WHERE IdArticulo = 6",
         "int 8"},
        {u"DELETE a FROM ART a LEFT JOIN FAMILIAS f ON f.IdFamilia = a.IdFamilia WHERE f.IdFamilia IS NULL "
         u"SELECT COUNT(*) FROM ART WHERE IdFamilia IS NULL",
         "int 0"},
        // Paging, TRUNCATE, operators.
        {u"SELECT Codigo FROM ART ORDER BY IdArticulo OFFSET 2 ROWS FETCH NEXT 2 ROWS ONLY", "varchar A003 || varchar B010"},
        {u"TRUNCATE TABLE VENTAS SELECT COUNT(*) FROM VENTAS", "int 0"},
        {u"SELECT 5 & 3, 5 | 3, 5 ^ 3", "int 1 | int 7 | int 6"},
        {u"SELECT CASE WHEN 2 !< 1 THEN 1 ELSE 0 END, CASE WHEN 2 !> 1 THEN 1 ELSE 0 END", "int 1 | int 0"},
        {u"INSERT ART (IdArticulo, Codigo) VALUES (30, 'Z030') SELECT Codigo FROM ART WHERE IdArticulo = 30", "varchar Z030"},
    };
}

} // namespace diferencial
