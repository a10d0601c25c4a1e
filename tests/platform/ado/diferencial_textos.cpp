// Texts: implicit conversions by type precedence, ISNULL typed by its first
// argument, string functions with accents, and the database's collation
// (Latin1_General_CI_AS: case-insensitive, accent-sensitive) against explicit
// COLLATE Latin1_General_CS_AS and Latin1_General_BIN.
#include "diferencial.h"

namespace diferencial {

std::vector<Caso> CasosTextos()
{
    return {
        // int wins over varchar: the text is converted, and fails when it is not a number.
        {u"SELECT COUNT(*) FROM ART WHERE Codigo = 1", "#245"},
        {u"SELECT COUNT(*) FROM ART WHERE Stock = '10'", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE IdArticulo = '3'", "int 1"},
        {u"SELECT Descripcion + 1 FROM ART WHERE IdArticulo = 1", "#245"},
        {u"SELECT 'El ' + Descripcion FROM ART WHERE IdArticulo = 4", "varchar El Té verde"},
        {u"SELECT Codigo + '-' + CAST(Stock AS varchar(10)) FROM ART WHERE IdArticulo = 3", "varchar A003--3"},
        {u"SELECT CAST(Stock AS varchar(10)) + ' u.' FROM ART WHERE IdArticulo = 1", "varchar 10 u."},
        {u"SELECT 'a' + NULL", "varchar NULL"},
        {u"SELECT Codigo + Descripcion FROM ART WHERE IdArticulo = 5", "varchar NULL"},
        {u"SELECT CONCAT('a', 1, NULL, 'b')", "varchar a1b"},
        {u"SELECT N'abc'", "nvarchar abc"},
        {u"SELECT 'abc'", "varchar abc"},
        {u"SELECT Descripcion + N'!' FROM ART WHERE IdArticulo = 1", "nvarchar Ñandú!"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion = N'ñandú'", "int 1"},
        // ISNULL takes the type of its first argument; COALESCE the highest.
        {u"SELECT ISNULL(Descripcion, 'sin descripción, y más larga que treinta letras') FROM ART WHERE IdArticulo = 5",
         "varchar sin descripción, y más larga q"},
        {u"SELECT ISNULL(Codigo, 'x') FROM ART WHERE IdArticulo = 5", "varchar B011"},
        {u"SELECT ISNULL(Stock, 'x') FROM ART WHERE IdArticulo = 5", "#245"},
        {u"SELECT ISNULL(Stock, 1.5) FROM ART WHERE IdArticulo = 5", "int 1"},
        {u"SELECT COALESCE(Stock, 1.5) FROM ART WHERE IdArticulo = 5", "decimal(11,1) 1.5"},
        {u"SELECT ISNULL(Peso, 0) FROM ART WHERE IdArticulo = 3", "float 0"},
        {u"SELECT ISNULL(Precio, 0) FROM ART WHERE IdArticulo = 5", "money 0.0000"},
        {u"SELECT ISNULL(Descripcion, '') FROM ART WHERE IdArticulo = 5", "varchar "},
        {u"SELECT ISNULL(NULL, 5)", "int 5"},
        // Lengths: LEN leaves out trailing blanks; DATALENGTH counts bytes.
        {u"SELECT LEN(Descripcion) FROM ART WHERE IdArticulo = 1", "int 5"},
        {u"SELECT LEN(Descripcion) FROM ART WHERE IdArticulo = 4", "int 8"},
        {u"SELECT DATALENGTH(Descripcion) FROM ART WHERE IdArticulo = 1", "int 5"},
        {u"SELECT DATALENGTH(N'Ñandú')", "int 10"},
        {u"SELECT LEN('abc  ')", "int 3"},
        {u"SELECT DATALENGTH('abc  ')", "int 5"},
        {u"SELECT LEN('  abc')", "int 5"},
        {u"SELECT LEN(Descripcion) FROM ART WHERE IdArticulo = 5", "int NULL"},
        {u"SELECT LEN('')", "int 0"},
        // Pieces and searches.
        {u"SELECT SUBSTRING(Descripcion, 2, 3) FROM ART WHERE IdArticulo = 1", "varchar and"},
        {u"SELECT SUBSTRING(Descripcion, 4, 100) FROM ART WHERE IdArticulo = 4", "varchar verde"},
        {u"SELECT LEFT(Descripcion, 3) FROM ART WHERE IdArticulo = 1", "varchar Ñan"},
        {u"SELECT RIGHT(Codigo, 3) FROM ART WHERE IdArticulo = 6", "varchar 100"},
        {u"SELECT CHARINDEX('d', Descripcion) FROM ART WHERE IdArticulo = 1", "int 4"},
        {u"SELECT CHARINDEX('A', Descripcion) FROM ART WHERE IdArticulo = 1", "int 2"},
        {u"SELECT CHARINDEX('ú', Descripcion) FROM ART WHERE IdArticulo = 1", "int 5"},
        {u"SELECT CHARINDEX('u', Descripcion) FROM ART WHERE IdArticulo = 1", "int 0"},
        {u"SELECT CHARINDEX('VERDE', Descripcion) FROM ART WHERE IdArticulo = 4", "int 4"},
        {u"SELECT CHARINDEX('VERDE', Descripcion COLLATE Latin1_General_CS_AS) FROM ART WHERE IdArticulo = 4", "int 0"},
        {u"SELECT PATINDEX('%[0-9]%', Codigo) FROM ART WHERE IdArticulo = 1", "int 2"},
        {u"SELECT REPLACE(Descripcion, 'a', '_') FROM ART WHERE IdArticulo = 3", "varchar _LM_CEN"},
        {u"SELECT REPLACE(Descripcion COLLATE Latin1_General_CS_AS, 'a', '_') FROM ART WHERE IdArticulo = 3",
         "varchar ALMACEN"},
        {u"SELECT REPLACE(Descripcion, 'á', 'a') FROM ART WHERE IdArticulo = 6", "varchar arbol"},
        {u"SELECT REPLACE(Descripcion, 'A', 'x') FROM ART WHERE IdArticulo = 6", "varchar árbol"},
        {u"SELECT UPPER(Descripcion) FROM ART WHERE IdArticulo = 1", "varchar ÑANDÚ"},
        {u"SELECT LOWER(Descripcion) FROM ART WHERE IdArticulo = 3", "varchar almacen"},
        {u"SELECT UPPER(Descripcion) FROM ART WHERE IdArticulo = 6", "varchar ÁRBOL"},
        {u"SELECT LOWER(N'ÑANDÚ')", "nvarchar ñandú"},
        {u"SELECT LTRIM(RTRIM('  x  ')) + '|'", "varchar x|"},
        {u"SELECT REPLICATE('ab', 3)", "varchar ababab"},
        {u"SELECT STUFF(Codigo, 1, 1, 'Z') FROM ART WHERE IdArticulo = 1", "varchar Z001"},
        {u"SELECT STR(1250.5, 8, 1)", "varchar   1250.5"},
        {u"SELECT CAST(Descripcion AS varchar(3)) FROM ART WHERE IdArticulo = 1", "varchar Ñan"},
        {u"SELECT CAST(123 AS varchar(2))", "varchar *"},
        {u"SELECT CAST(123.45 AS varchar(2))", "#8115"},
        // The database's collation: case-insensitive, accent-sensitive.
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion = 'ALMACEN'", "int 2"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion = 'almacén'", "int 0"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion = 'nandu'", "int 0"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion = 'ÁRBOL'", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion = 'ALMACEN  '", "int 2"},
        {u"SELECT COUNT(*) FROM ART WHERE UPPER(Descripcion) = 'ÑANDÚ'", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion LIKE 'alm%'", "int 2"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion LIKE '%arbol%'", "int 0"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion LIKE '%ÁRBOL%'", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion LIKE 'T_ verde'", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Codigo LIKE 'a00[12]'", "int 2"},
        {u"SELECT COUNT(*) FROM ART WHERE Rubro = 'almacén'", "int 2"},
        {u"SELECT COUNT(*) FROM ART WHERE Rubro = 'Almacen'", "int 0"},
        {u"SELECT CASE WHEN 'a' = 'A' THEN 1 ELSE 0 END", "int 1"},
        {u"SELECT CASE WHEN 'abc' < 'ABD' THEN 1 ELSE 0 END", "int 1"},
        {u"SELECT CASE WHEN 'abc' = 'abc   ' THEN 1 ELSE 0 END", "int 1"},
        {u"SELECT COUNT(DISTINCT Descripcion) FROM ART", "int 4"},
        {u"SELECT COUNT(DISTINCT Rubro) FROM ART", "int 3"},
        {u"SELECT COUNT(*) FROM (SELECT DISTINCT Descripcion FROM ART WHERE Descripcion LIKE 'al%') x", "int 1"},
        {u"SELECT COUNT(*) FROM (SELECT Descripcion FROM ART GROUP BY Descripcion) x", "int 5"},
        {u"SELECT MAX(Descripcion) FROM ART", "varchar Té verde"},
        {u"SELECT Descripcion FROM ART WHERE Descripcion IS NOT NULL ORDER BY Descripcion, IdArticulo",
         "varchar almacen || varchar ALMACEN || varchar árbol || varchar Ñandú || varchar Té verde"},
        {u"SELECT Rubro, COUNT(*) FROM ART WHERE Rubro IS NOT NULL GROUP BY Rubro ORDER BY Rubro",
         "varchar Almacén | int 2 || varchar Bazar | int 2 || varchar Jardín | int 1"},
        // Explicit case-sensitive collation.
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion COLLATE Latin1_General_CS_AS = 'ALMACEN'", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion = 'almacen' COLLATE Latin1_General_CS_AS", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion COLLATE Latin1_General_CS_AS LIKE 'alm%'", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion LIKE 'ALM%' COLLATE Latin1_General_CS_AS", "int 1"},
        {u"SELECT CASE WHEN 'a' = 'A' COLLATE Latin1_General_CS_AS THEN 1 ELSE 0 END", "int 0"},
        {u"SELECT COUNT(DISTINCT Descripcion COLLATE Latin1_General_CS_AS) FROM ART", "int 5"},
        {u"SELECT COUNT(*) FROM (SELECT Descripcion COLLATE Latin1_General_CS_AS d FROM ART GROUP BY Descripcion "
         u"COLLATE Latin1_General_CS_AS) x",
         "int 6"},
        {u"SELECT COUNT(*) FROM (SELECT DISTINCT Descripcion COLLATE Latin1_General_CS_AS d FROM ART "
         u"WHERE Descripcion LIKE 'al%') x",
         "int 2"},
        {u"SELECT Descripcion FROM ART WHERE IdArticulo IN (2, 3) ORDER BY Descripcion COLLATE Latin1_General_CS_AS",
         "varchar almacen || varchar ALMACEN"},
        {u"SELECT Descripcion FROM ART WHERE IdArticulo IN (2, 3) ORDER BY Descripcion COLLATE Latin1_General_CS_AS DESC",
         "varchar ALMACEN || varchar almacen"},
        {u"SELECT Descripcion FROM ART WHERE IdArticulo IN (1, 2, 3, 4, 6) ORDER BY Descripcion COLLATE "
         u"Latin1_General_CS_AS",
         "varchar almacen || varchar ALMACEN || varchar árbol || varchar Ñandú || varchar Té verde"},
        // Binary collation: by the code page's bytes.
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion COLLATE Latin1_General_BIN = 'ALMACEN'", "int 1"},
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion COLLATE Latin1_General_BIN LIKE 'A%'", "int 1"},
        {u"SELECT Descripcion FROM ART WHERE Descripcion IS NOT NULL ORDER BY Descripcion COLLATE Latin1_General_BIN",
         "varchar ALMACEN || varchar Té verde || varchar almacen || varchar Ñandú || varchar árbol"},
        {u"SELECT MAX(Descripcion COLLATE Latin1_General_BIN) FROM ART", "varchar árbol"},
        {u"SELECT MIN(Descripcion COLLATE Latin1_General_BIN) FROM ART", "varchar ALMACEN"},
        {u"SELECT CASE WHEN 'b' > 'B' COLLATE Latin1_General_BIN THEN 1 ELSE 0 END", "int 1"},
        {u"SELECT CASE WHEN Descripcion COLLATE Latin1_General_BIN = 'almacen' THEN 'igual' ELSE 'distinto' END "
         u"FROM ART WHERE IdArticulo = 3",
         "varchar distinto"},
        // Two explicit collations cannot be compared.
        {u"SELECT COUNT(*) FROM ART WHERE Descripcion COLLATE Latin1_General_CS_AS = Codigo COLLATE Latin1_General_BIN",
         "#468"},
    };
}

} // namespace diferencial
