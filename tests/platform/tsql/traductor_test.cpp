// The typed translation on a schema of its own: what it keeps byte for byte,
// how far it goes, what it asks of the database and what it refuses before
// SQLite sees anything.
#include "platform/tsql/traductor.h"

#include <gtest/gtest.h>

namespace {

using namespace tsql;

class EsquemaDePrueba : public Esquema {
public:
    bool columnas(const QString& tabla, std::vector<ColumnaDeclarada>& r) override
    {
        ++consultas;
        if (tabla.compare(QLatin1String("ART"), Qt::CaseInsensitive) == 0) {
            r = {{QStringLiteral("IdArticulo"), QStringLiteral("int")},  {QStringLiteral("Codigo"), QStringLiteral("varchar(20)")},
                 {QStringLiteral("Precio"), QStringLiteral("money")},    {QStringLiteral("Costo"), QStringLiteral("decimal(12,4)")},
                 {QStringLiteral("Alta"), QStringLiteral("datetime")},   {QStringLiteral("Total Stock"), QStringLiteral("int")}};
            return true;
        }
        if (tabla.compare(QLatin1String("VENTAS"), Qt::CaseInsensitive) == 0) {
            r = {{QStringLiteral("IdVenta"), QStringLiteral("INTEGER"), true}, {QStringLiteral("IdArticulo"), QStringLiteral("int")}};
            return true;
        }
        return false;
    }
    std::vector<DisparadorDeclarado> disparadores() override
    {
        ++lecturasDeDisparadores;
        return declarados;
    }
    int consultas = 0;
    std::vector<DisparadorDeclarado> declarados;
    int lecturasDeDisparadores = 0;
};

QString Sql(const Traduccion& t)
{
    QStringList s;
    for (const SalidaSqlite& x : t.sentencias)
        s << x.sql;
    return s.join(u';');
}

int Error(const QString& lote)
{
    EsquemaDePrueba e;
    try {
        Traducir(lote, e);
    } catch (const ErrorTsql& x) {
        return x.numero;
    }
    return -1;
}

TEST(Traductor, LiteralesYNombresSalenComoEntraron)
{
    const struct {
        const char* lote;
        std::initializer_list<const char*> piezas;
    } casos[] = {
        {"SELECT Codigo FROM ART WHERE Codigo = 'a''b' OR Codigo LIKE '%/* no */%' OR Codigo = '-- tampoco'",
         {"'a''b'", "'%/* no */%'", "'-- tampoco'"}},
        {"SELECT N'ñandú €', 'dos  blancos  ' FROM ART", {"'ñandú €'", "'dos  blancos  '"}},
        {"SELECT [Total Stock] FROM ART WHERE [Total Stock] > 0", {"\"Total Stock\""}},
        {"SELECT 'x' AS [a]]b], Codigo AS \"c\"\"d\" FROM ART", {"\"a]b\"", "\"c\"\"d\""}},
        {"INSERT INTO ART (IdArticulo, Codigo) VALUES (1, 'O''Brien; DROP TABLE ART --')", {"'O''Brien; DROP TABLE ART --'"}},
    };
    for (const auto& c : casos) {
        EsquemaDePrueba e;
        const QString sql = Sql(Traducir(QString::fromUtf8(c.lote), e));
        for (const char* p : c.piezas)
            EXPECT_TRUE(sql.contains(QString::fromUtf8(p))) << c.lote << "\n -> " << sql.toStdString();
    }
}

TEST(Traductor, CadenasLargasCrecenLinealmenteYLasDesmedidasSeRechazan)
{
    // An export line of many columns joined by ';', and a chain near the bound.
    QString linea = QStringLiteral("SELECT Codigo");
    for (int i = 0; i < 400; ++i)
        linea += QStringLiteral(" + ';' + CAST(Precio AS varchar(20))");
    linea += QStringLiteral(" FROM ART");
    EsquemaDePrueba e;
    const QString sql = Sql(Traducir(linea, e));
    EXPECT_LT(sql.size(), 64 * linea.size() + 4096);
    QString larga = QStringLiteral("SELECT Codigo FROM ART WHERE IdArticulo = 0"), desmedida = QStringLiteral("SELECT 1");
    for (int i = 0; i < 2500; ++i)
        larga += QStringLiteral(" OR IdArticulo = %1").arg(i);
    EXPECT_EQ(Error(larga), -1);
    for (int i = 0; i < 4000; ++i)
        desmedida += QStringLiteral(" + 1");
    EXPECT_EQ(Error(desmedida), 191);
    EXPECT_EQ(Error(QStringLiteral("SELECT ") + QStringLiteral("- ").repeated(300) + u'1'), 191);
    EXPECT_EQ(Error(QStringLiteral("SELECT ") + QString(300, u'(') + u'1' + QString(300, u')')), 191);
}

TEST(Traductor, ElEsquemaSeLeeUnaVezPorTablaYLasDefinicionesDelLoteCuentan)
{
    EsquemaDePrueba e;
    Traducir(QStringLiteral("SELECT Codigo FROM ART; UPDATE ART SET Precio = Precio * 2; SELECT a.Codigo FROM ART a"), e);
    EXPECT_EQ(e.consultas, 1);
    // A table made earlier in the batch is known to the statements after it.
    const Traduccion t = Traducir(QStringLiteral("CREATE TABLE NUEVA (Id int IDENTITY(1,1) PRIMARY KEY, Nombre varchar(5)) "
                                                 "INSERT INTO NUEVA (Nombre) VALUES ('abc') SELECT Nombre FROM NUEVA"),
                                  e);
    ASSERT_GE(t.sentencias.size(), 3u);
    EXPECT_TRUE(t.sentencias[0].definicion);
    EXPECT_TRUE(t.sentencias.back().filas);
    EXPECT_EQ(NombreDe(t.sentencias.back().columnas.at(0)), u"varchar(5)");
}

TEST(Traductor, AlterColumnDejaLaReconstruccionAlMomentoDeCorrerConElValorConvertido)
{
    EsquemaDePrueba e;
    const Traduccion t = Traducir(QStringLiteral("ALTER TABLE art ALTER COLUMN codigo varchar(5) NOT NULL "
                                                 "SELECT Codigo FROM ART"),
                                  e);
    ASSERT_EQ(t.sentencias.size(), 2u);
    const SalidaSqlite& a = t.sentencias[0];
    ASSERT_TRUE(a.cambio.has_value());
    EXPECT_TRUE(a.definicion);
    EXPECT_EQ(a.cambio->columna, u"Codigo"); // as the table has it
    EXPECT_EQ(a.cambio->declaracion, u"varchar(5) COLLATE CI_AS NOT NULL");
    EXPECT_EQ(a.cambio->valor, u"ss_largo(\"Codigo\", 5)"); // too long a text is 8152, as in an assignment
    // A shorter text keeps a CHECK or UNIQUE, not an index; another type keeps neither, nor a DEFAULT.
    EXPECT_TRUE(a.cambio->restriccion);
    EXPECT_FALSE(a.cambio->indice);
    EXPECT_TRUE(a.cambio->defecto);
    EXPECT_EQ(NombreDe(t.sentencias[1].columnas.at(0)), u"varchar(5)");
    const auto cambio = [&](const char* lote) { return *Traducir(QString::fromLatin1(lote), e).sentencias[0].cambio; };
    EXPECT_TRUE(cambio("ALTER TABLE ART ALTER COLUMN Codigo varchar(max)").indice);
    EXPECT_FALSE(cambio("ALTER TABLE ART ALTER COLUMN Codigo varchar(30) COLLATE Latin1_General_CS_AS").restriccion);
    const CambioDeColumna n = cambio("ALTER TABLE ART ALTER COLUMN Costo decimal(14,4)");
    EXPECT_TRUE(n.defecto);
    EXPECT_FALSE(n.restriccion);
    EXPECT_FALSE(cambio("ALTER TABLE ART ALTER COLUMN Costo money").defecto);

    EXPECT_EQ(Error(QStringLiteral("ALTER TABLE NADA ALTER COLUMN x int")), 4902);
    EXPECT_EQ(Error(QStringLiteral("ALTER TABLE ART ALTER COLUMN Nada int")), 4924);
    EXPECT_EQ(Error(QStringLiteral("ALTER TABLE ART ALTER COLUMN Codigo cosa")), 2715);
    EXPECT_EQ(Error(QStringLiteral("ALTER TABLE VENTAS ALTER COLUMN IdVenta bigint")), 0);
    EXPECT_EQ(Error(QStringLiteral("ALTER TABLE #t ALTER COLUMN x int")), 0);
    // text only to varchar(max) or nvarchar(max).
    EXPECT_EQ(Error(QStringLiteral("CREATE TABLE n (t text) ALTER TABLE n ALTER COLUMN t varchar(10)")), 0);
    EXPECT_EQ(Error(QStringLiteral("CREATE TABLE n (t text) ALTER TABLE n ALTER COLUMN t nvarchar(max)")), -1);
}

TEST(Traductor, NombresQueElEsquemaNoTieneSeRechazanAntesDeCorrer)
{
    EXPECT_EQ(Error(QStringLiteral("SELECT Nada FROM ART")), 207);
    EXPECT_EQ(Error(QStringLiteral("SELECT x.Codigo FROM ART a")), 4104);
    EXPECT_EQ(Error(QStringLiteral("SELECT Codigo FROM NOEXISTE")), 208);
    EXPECT_EQ(Error(QStringLiteral("INSERT INTO ART (Nada) VALUES (1)")), 207);
    EXPECT_EQ(Error(QStringLiteral("INSERT INTO VENTAS (IdVenta, IdArticulo) VALUES (1, 1)")), 544);
    EXPECT_EQ(Error(QStringLiteral("SELECT Codigo FROM ART UNION SELECT Codigo, Precio FROM ART")), 205);
    EXPECT_EQ(Error(QStringLiteral("SELECT TOP 2 WITH TIES Codigo FROM ART")), 1062);
    EXPECT_EQ(Error(QStringLiteral("SELECT CAST(Codigo AS cosa) FROM ART")), 243);
    // Constructs the embedded database does not take are named, never run as something else.
    EXPECT_EQ(Error(QStringLiteral("SELECT SOUNDEX(Codigo) FROM ART")), 0);
    EXPECT_EQ(Error(QStringLiteral("SET LANGUAGE us_english")), -1);
    EXPECT_EQ(Error(QStringLiteral("SET DATEFIRST 7")), -1);
    EXPECT_EQ(Error(QStringLiteral("SET DATEFIRST @d")), 137);
    EXPECT_EQ(Error(QStringLiteral("SET DATEFIRST lunes")), 102);
}

TEST(Traductor, LaClaveDeFilaSoloEnConsultasDeUnaTabla)
{
    EsquemaDePrueba e;
    const Traduccion simple = Traducir(QStringLiteral("SELECT Codigo, Precio FROM dbo.ART WITH (NOLOCK) WHERE Precio > 0"), e);
    EXPECT_EQ(simple.tabla, u"ART");
    EXPECT_TRUE(simple.conClave.startsWith(QLatin1String("SELECT rowid AS ado_rowid__,")));
    EXPECT_EQ(TablaDeConsulta(QStringLiteral("SELECT Codigo, Precio FROM dbo.ART WITH (NOLOCK) WHERE Precio > 0")), u"ART");
    for (const char* lote : {"SELECT a.Codigo FROM ART a JOIN VENTAS v ON v.IdArticulo = a.IdArticulo",
                             "SELECT Codigo, COUNT(*) FROM ART GROUP BY Codigo", "SELECT DISTINCT Codigo FROM ART",
                             "SELECT Codigo FROM ART UNION SELECT Codigo FROM ART", "SELECT COUNT(*) FROM ART"}) {
        const Traduccion t = Traducir(QString::fromUtf8(lote), e);
        EXPECT_TRUE(t.tabla.isEmpty() && t.conClave.isEmpty()) << lote;
        EXPECT_TRUE(TablaDeConsulta(QString::fromUtf8(lote)).isEmpty()) << lote;
    }
}

QString Mensaje(const QString& lote)
{
    EsquemaDePrueba e;
    try {
        Traducir(lote, e);
    } catch (const ErrorTsql& x) {
        return x.mensaje;
    }
    return {};
}

// FOR XML PATH: rows joined in the ORDER BY's order through an ordered
// window; what has no known XML form here is named, never written otherwise.
TEST(Traductor, ForXmlPathEnElOrdenDeLaConsultaYLoQueNoSabeSeNombra)
{
    EsquemaDePrueba e;
    const Traduccion t = Traducir(QStringLiteral("SELECT STUFF((SELECT ',' + Codigo FROM ART ORDER BY Codigo DESC "
                                                 "FOR XML PATH('')), 1, 1, '')"),
                                  e);
    const QString sql = Sql(t);
    EXPECT_TRUE(sql.contains(QLatin1String("OVER (ORDER BY ss_rango ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING)")))
        << sql.toStdString();
    EXPECT_TRUE(sql.contains(QLatin1String("rank() OVER (ORDER BY (\"Codigo\") COLLATE CI_AS DESC)"))) << sql.toStdString();
    EXPECT_EQ(NombreDe(t.sentencias.at(0).columnas.at(0)), u"nvarchar(max)");
    // Alone, one column (its text in rows of 2033 characters); the row id of a plain SELECT is not asked for.
    const Traduccion sola = Traducir(QStringLiteral("SELECT Codigo FROM ART FOR XML PATH"), e);
    EXPECT_TRUE(sola.sentencias.at(0).filas);
    EXPECT_EQ(sola.sentencias.at(0).columnas.size(), 1u);
    EXPECT_TRUE(sola.conClave.isEmpty());
    EXPECT_TRUE(Sql(sola).contains(QLatin1String("substr(t, i * 2033 + 1, 2033) AS \"XML_F52E2B61-18A1-11d1-B105-00805F49916B\"")));
    const struct {
        const char* lote;
        const char* mensaje;
    } rechazos[] = {
        {"SELECT (SELECT CAST(Precio AS float) FROM ART FOR XML PATH(''))", "FOR XML of a value of type float"},
        {"SELECT (SELECT Codigo AS [@cod] FROM ART FOR XML PATH(''))", "FOR XML PATH with the column name '@cod'"},
        {"SELECT (SELECT Codigo AS [a/b] FROM ART FOR XML PATH(''))", "FOR XML PATH with the column name 'a/b'"},
        {"SELECT (SELECT [Total Stock] FROM ART FOR XML PATH(''))", "FOR XML PATH with the column name 'Total Stock'"},
        {"SELECT (SELECT Codigo FROM ART FOR XML PATH('a b'))", "FOR XML PATH('a b')"},
        {"SELECT (SELECT Codigo FROM ART FOR XML PATH(''), TYPE)", "FOR XML PATH, TYPE"},
        {"SELECT (SELECT Codigo FROM ART FOR XML PATH('')).value('.', 'NVARCHAR(MAX)')", "The XML value() method without TYPE"},
        {"SELECT (SELECT Codigo FROM ART FOR XML PATH(''), TYPE).value('.', 'VARCHAR(10)')",
         "The XML value() method other than .value('.', 'NVARCHAR(MAX)')"},
        {"SELECT (SELECT Codigo FROM ART FOR XML PATH(''), TYPE).value('(./text())[1]', 'NVARCHAR(MAX)')",
         "The XML value() method other than .value('.', 'NVARCHAR(MAX)')"},
        {"SELECT (SELECT Codigo FROM ART).value('.', 'NVARCHAR(MAX)')", "The XML value() method of a value not XML"},
        {"SELECT (SELECT * FROM ART FOR XML PATH(''))", "FOR XML with *"},
        {"SELECT (SELECT Codigo FROM ART UNION SELECT 'x' FOR XML PATH(''))", "FOR XML on a UNION"},
        {"SELECT * FROM (SELECT Codigo FROM ART FOR XML PATH('')) x", "FOR XML in this place"},
        {"SELECT Codigo FROM ART WHERE Codigo IN (SELECT Codigo FROM ART FOR XML PATH(''))", "FOR XML in this place"},
    };
    for (const auto& r : rechazos)
        EXPECT_EQ(Mensaje(QString::fromUtf8(r.lote)), QString::fromUtf8(r.mensaje) + QStringLiteral(" is not supported by the embedded database."))
            << r.lote;
    // What the server refuses before running a FOR XML is refused the same.
    EXPECT_EQ(Error(QStringLiteral("SELECT (SELECT Codigo, COUNT(*) FROM ART FOR XML PATH(''))")), 8120);
    EXPECT_EQ(Error(QStringLiteral("SELECT (SELECT DISTINCT Codigo FROM ART ORDER BY Precio FOR XML PATH(''))")), 145);
}

// STRING_AGG is an aggregate: beside the columns grouped, not with others.
TEST(Traductor, StringAggAgrupa)
{
    EXPECT_EQ(Error(QStringLiteral("SELECT Codigo, STRING_AGG(Codigo, ',') FROM ART GROUP BY Codigo")), -1);
    EXPECT_EQ(Error(QStringLiteral("SELECT Codigo, STRING_AGG(Codigo, ',') FROM ART")), 8120);
    EXPECT_EQ(Error(QStringLiteral("SELECT Precio FROM ART GROUP BY Codigo HAVING STRING_AGG(Codigo, ',') > ''")), 8120);
    EsquemaDePrueba e;
    const Traduccion t = Traducir(QStringLiteral("SELECT STRING_AGG(Codigo, ','), LEN(CAST(Codigo AS varchar(max))) FROM ART "
                                                 "GROUP BY Codigo"),
                                  e);
    EXPECT_EQ(NombreDe(t.sentencias.at(0).columnas.at(0)), u"varchar(8000)");
    EXPECT_EQ(NombreDe(t.sentencias.at(0).columnas.at(1)), u"bigint");
    // Ordered: each key with its direction and, a text, its collation.
    const QString sql = Sql(Traducir(QStringLiteral("SELECT STRING_AGG(Codigo, ',') WITHIN GROUP (ORDER BY Codigo DESC, "
                                                    "Precio) FROM ART"),
                                     e));
    EXPECT_TRUE(sql.contains(QLatin1String("ss_string_agg(\"Codigo\", ',', 1, 'CI_AS', \"Codigo\", 0, NULL, \"Precio\")")))
        << sql.toStdString();
}

// UPDATE ... FROM with an outer join: through the target's row id.
TEST(Traductor, UpdateFromConUnionExteriorPorLaFila)
{
    EsquemaDePrueba e;
    const QString sql = Sql(Traducir(QStringLiteral("UPDATE a SET Precio += 1 FROM ART a LEFT JOIN VENTAS v ON v.IdArticulo = "
                                                    "a.IdArticulo WHERE v.IdVenta IS NULL"),
                                     e));
    EXPECT_TRUE(sql.startsWith(QLatin1String("UPDATE \"ART\" SET \"Precio\" = ss_d.ss_v1 FROM (SELECT \"a\".rowid AS ss_fila, ")))
        << sql.toStdString();
    EXPECT_TRUE(sql.endsWith(QLatin1String(") AS ss_d WHERE \"ART\".rowid = ss_d.ss_fila"))) << sql.toStdString();
    EXPECT_EQ(Error(QStringLiteral("UPDATE a SET Nada = 1 FROM ART a LEFT JOIN VENTAS v ON v.IdArticulo = a.IdArticulo")), 207);
    EXPECT_EQ(Mensaje(QStringLiteral("UPDATE TOP (1) a SET Precio = 1 FROM ART a RIGHT JOIN VENTAS v ON v.IdArticulo = a.IdArticulo")),
              u"UPDATE TOP ... FROM is not supported by the embedded database.");
}

// The result types the server documents for arithmetic (precision and scale).
TEST(Traductor, TiposDeLosResultadosComoLosDaElServidor)
{
    EsquemaDePrueba e;
    const Traduccion t = Traducir(QStringLiteral("SELECT Precio / 3, Costo / 7, Costo * Costo, 1.0 / 3, Precio + Costo, "
                                                 "Codigo + 'xy', ISNULL(Codigo, 'abc'), Alta + 1 FROM ART "
                                                 "SELECT COUNT(*), AVG(IdArticulo), SUM(Precio), AVG(Costo) FROM ART"),
                                  e);
    QStringList n;
    for (const SalidaSqlite& s : t.sentencias)
        for (const Tipo& x : s.columnas)
            n << NombreDe(x);
    EXPECT_EQ(n.join(u' '), u"money decimal(14,6) decimal(25,8) decimal(7,6) decimal(20,4) varchar(22) varchar(20) "
                            "datetime int int money decimal(38,6)");
    // A column neither grouped nor aggregated beside an aggregate is the server's 8120.
    EXPECT_EQ(Error(QStringLiteral("SELECT Codigo, COUNT(*) FROM ART")), 8120);
}

} // namespace

namespace {

TEST(Traductor, ElCuerpoDeUnDisparadorSigueASuSentenciaDentroDeUnPuntoDeGuardado)
{
    EsquemaDePrueba e;
    e.declarados = {{QStringLiteral("tr_art"), QStringLiteral("art"), {QStringLiteral("INSERT"), QStringLiteral("UPDATE")},
                     QStringLiteral("DECLARE @x int = (SELECT COUNT(*) FROM inserted) "
                                    "IF UPDATE(Precio) INSERT INTO VENTAS (IdArticulo) VALUES (@x)")}};
    const Traduccion t = Traducir(QStringLiteral("DECLARE @x int = 1 UPDATE ART SET Costo = 0 INSERT INTO ART (IdArticulo) VALUES (@x)"), e);
    EXPECT_EQ(e.lecturasDeDisparadores, 1);
    int abren = 0, cierran = 0, cuentan = 0;
    for (const SalidaSqlite& x : t.sentencias) {
        abren += x.abre;
        cierran += x.cierra;
        cuentan += !x.interna && !x.condicion && x.sql.startsWith(QLatin1String("UPDATE")) + x.sql.startsWith(QLatin1String("INSERT"));
        // The trigger's variable is its own; the batch's keeps its name.
        if (x.sql.contains(QLatin1String("'@x#1'"))) {
            EXPECT_TRUE(x.disparo) << x.sql.toStdString();
        }
        if (x.sql.contains(QLatin1String("'@x'"))) {
            EXPECT_FALSE(x.disparo) << x.sql.toStdString();
        }
    }
    EXPECT_EQ(abren, 2);
    EXPECT_EQ(cierran, 2);
    EXPECT_EQ(cuentan, 2); // the batch's own statements: the rows affected
    const QString sql = Sql(t);
    // UPDATE(Precio) is false for an UPDATE of Costo, true for an INSERT.
    EXPECT_TRUE(sql.contains(QLatin1String("CASE WHEN 1 = 0 THEN 1 ELSE 0 END"))) << sql.toStdString();
    EXPECT_TRUE(sql.contains(QLatin1String("CASE WHEN 1 = 1 THEN 1 ELSE 0 END"))) << sql.toStdString();
    // inserted: the last copy of each row the statement wrote.
    EXPECT_TRUE(sql.contains(QLatin1String("(SELECT max(rowid) FROM \"ss_inserted_art\" WHERE ss_nivel = 1 GROUP BY ss_fila)) AS \"inserted\"")))
        << sql.toStdString();

    // Dropped in the batch, it fires no more in it.
    const Traduccion sin = Traducir(QStringLiteral("DROP TRIGGER tr_art INSERT INTO ART (IdArticulo) VALUES (1)"), e);
    for (const SalidaSqlite& x : sin.sentencias)
        EXPECT_FALSE(x.abre || x.disparo) << x.sql.toStdString();
}

TEST(Traductor, DisparadoresQueSeLlamanSinFinParanEnElNivel32)
{
    EsquemaDePrueba e;
    e.declarados = {{QStringLiteral("a"), QStringLiteral("ART"), {QStringLiteral("DELETE")}, QStringLiteral("DELETE VENTAS")},
                    {QStringLiteral("v"), QStringLiteral("VENTAS"), {QStringLiteral("DELETE")}, QStringLiteral("DELETE ART")}};
    const Traduccion t = Traducir(QStringLiteral("DELETE ART"), e);
    const QString sql = Sql(t);
    EXPECT_EQ(sql.count(QLatin1String("nesting level exceeded (limit 32)")), 1);
    EXPECT_TRUE(sql.contains(QLatin1String("ss_nivel = 32"))) << sql.size();
    EXPECT_FALSE(sql.contains(QLatin1String("ss_nivel = 33")));
    // Writing inserted or deleted is refused, and UPDATE() outside a trigger.
    e.declarados = {{QStringLiteral("a"), QStringLiteral("ART"), {QStringLiteral("DELETE")}, QStringLiteral("DELETE deleted")}};
    EXPECT_EQ(Error(QStringLiteral("SELECT 1")), -1);
    try {
        Traducir(QStringLiteral("DELETE ART"), e);
        ADD_FAILURE();
    } catch (const ErrorTsql& x) {
        EXPECT_EQ(x.numero, 286);
    }
    EXPECT_EQ(Error(QStringLiteral("SELECT 1 WHERE UPDATE(a)")), 0);
}

} // namespace
