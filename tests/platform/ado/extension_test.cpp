// The loadable extension in Debian's sqlite3 shell, on a demo database: the
// shell reads, writes and compares as the program does. Each statement runs
// in both and their answers must be the same (rows as "a|b", NULL as NULL).
#include "comun/proceso.h"
#include "platform/ado/provider.h"
#include "tools/demo_db.h"

#include <QStandardPaths>
#include <QTemporaryDir>

using namespace ado;

namespace {

class ExtensionSqlite : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell_ = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (shell_.isEmpty())
            GTEST_SKIP() << "sqlite3 shell missing";
        demo::Opciones o;
        o.carpeta = dir_.path();
        o.articulos = 500;
        demo::Genera(o);
        archivo_ = dir_.path() + QStringLiteral("/DEMO.sqlite");
        db_ = AbrirSqlite(archivo_, QString(), QString(), QStringLiteral("SQLOLEDB"), 5);
    }

    // The statements in the program, as the suite sends them (translated).
    QString programa(const QString& sql)
    {
        QStringList filas;
        try {
            auto c = db_->ejecutarTsql(sql, nullptr, 30);
            std::vector<Variant> f;
            while (c && c->siguiente(f)) {
                QStringList valores;
                // Dates as the file keeps them, which is what the shell shows.
                for (const Variant& v : f)
                    valores << (v.isNull()                  ? QStringLiteral("NULL")
                                : v.type() == VarType::Date ? TextoDeFecha(v.toDate())
                                                            : v.toString());
                filas << valores.join(u'|');
            }
        } catch (const FallaProveedor& f) {
            return QStringLiteral("Error: ") + f.errores.at(0).Description;
        }
        return filas.join(u'\n');
    }

    // The statements in the shell, the extension loaded first (or not).
    QString shell(const QString& sql, bool cargar = true)
    {
        QByteArray entrada = ".nullvalue NULL\n";
        if (cargar)
            entrada += ".load " + QFile::encodeName(QStringLiteral(EXTENSION_SQLITE)) + '\n';
        entrada += sql.toUtf8() + ";\n";
        const prueba::Corrida c = prueba::CorreProceso(shell_, {QStringLiteral("-batch"), QStringLiteral("-bail"), archivo_},
                                                       QProcessEnvironment::systemEnvironment(), entrada);
        if (c.estado != 0) {
            // "Parse error: ...", "Runtime error: ..." or "Error: ...": the message alone.
            const QString e = c.error.trimmed();
            return QStringLiteral("Error: ") + e.mid(e.indexOf(QLatin1String(": ")) + 2);
        }
        QString salida = c.normal;
        if (salida.endsWith(u'\n'))
            salida.chop(1);
        return salida;
    }

    // The same answer from both, and not empty.
    QString ambos(const QString& sql)
    {
        const QString p = programa(sql);
        EXPECT_EQ(shell(sql), p) << sql.toStdString();
        EXPECT_FALSE(p.isEmpty()) << sql.toStdString();
        return p;
    }

    QTemporaryDir dir_;
    QString shell_, archivo_;
    std::unique_ptr<Provider> db_;
};

// The article view with LIKE and comparisons that fold case over accented
// letters, keep accents apart and ignore trailing blanks.
TEST_F(ExtensionSqlite, ConsultaDeArticulosConLikeYAcentosComoElPrograma)
{
    const QString cafe = ambos(QStringLiteral(
        "SELECT idarticulo, DESCRIPCION FROM V_MA_Articulos WHERE DESCRIPCION LIKE 'CAFÉ MOLIDO%' "
        "AND DESCRIPCION >= 'café molido CLÁSICO' ORDER BY DESCRIPCION, idarticulo"));
    for (const QString& fila : cafe.split(u'\n'))
        EXPECT_TRUE(fila.section(u'|', 1).startsWith(u"Café molido")) << fila.toStdString();
    EXPECT_EQ(ambos(QStringLiteral("SELECT count(*) FROM V_MA_Articulos WHERE DESCRIPCION LIKE 'cafe%'")), u"0");
    EXPECT_EQ(ambos(QStringLiteral("SELECT count(*) FROM V_MA_Articulos WHERE DESCRIPCION LIKE '[ñÑ]OQUIS%'")),
              ambos(QStringLiteral("SELECT count(*) FROM V_MA_Articulos WHERE DESCRIPCION LIKE 'ñoquis%'")));
    EXPECT_EQ(ambos(QStringLiteral("SELECT idarticulo FROM V_MA_Articulos WHERE idarticulo = '0000101'")), u"0000101 ");
    // LIMIT is SQLite's; the program writes the server's TOP.
    const QString grupos = QStringLiteral("SELECT %1 DESCRIPCION, count(*) FROM V_MA_Articulos WHERE SUSPENDIDO = 0 "
                                          "GROUP BY DESCRIPCION ORDER BY DESCRIPCION %2");
    EXPECT_EQ(shell(grupos.arg(QString(), QStringLiteral("LIMIT 40"))), programa(grupos.arg(QStringLiteral("TOP 40"), QString())));
}

// Writes to the settings table, whose key column has an index in CI_AS.
TEST_F(ExtensionSqlite, ModificaYBorraConfiguracion)
{
    EXPECT_EQ(shell(QStringLiteral("UPDATE TA_CONFIGURACION SET Valor = 'D:\\Tienda' "
                                   "WHERE Clave = 'rutacompartida_colector '; SELECT changes()")),
              u"1");
    EXPECT_EQ(programa(QStringLiteral("SELECT Valor FROM TA_CONFIGURACION WHERE Clave = 'RUTACOMPARTIDA_COLECTOR'")),
              u"D:\\Tienda");
    EXPECT_EQ(shell(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE Clave = 'Theme'; SELECT changes()")), u"1");
    EXPECT_EQ(programa(QStringLiteral("SELECT count(*) FROM TA_CONFIGURACION WHERE Clave = 'THEME'")), u"0");
    ambos(QStringLiteral("SELECT Clave, Valor FROM TA_CONFIGURACION ORDER BY Clave"));
    EXPECT_EQ(shell(QStringLiteral("PRAGMA integrity_check")), u"ok");
}

// A date written in the suite's text form is kept as the stored date, read
// back and compared as the program does; a text that is no date is refused.
TEST_F(ExtensionSqlite, FechaEnTextoDeLaSuiteGuardadaComoFecha)
{
    EXPECT_EQ(shell(QStringLiteral("INSERT INTO Control_Acceso (Maquina, Usuario, Ingreso) "
                                   "VALUES ('CAJA1', 'ADMIN', '15/03/2025 10:30:05'); "
                                   "SELECT Ingreso FROM Control_Acceso WHERE Maquina = 'caja1'")),
              u"2025-03-15 10:30:05");
    programa(QStringLiteral("INSERT INTO Control_Acceso (Maquina, Usuario, Ingreso) "
                            "VALUES ('CAJA2', 'ADMIN', '15/03/2025 10:30:05')"));
    // The program converts a literal compared with a date column to a date,
    // as the server does; in the shell that is the stored form. Through the
    // collation alone a text stays a text.
    const QString ambas = QStringLiteral("CAJA1|2025-03-15 10:30:05\nCAJA2|2025-03-15 10:30:05");
    const QString donde = QStringLiteral("SELECT Maquina, Ingreso FROM Control_Acceso WHERE Ingreso = %1 ORDER BY Maquina");
    EXPECT_EQ(programa(donde.arg(QLatin1String("'15/03/2025 10:30:05'"))), ambas);
    EXPECT_EQ(shell(donde.arg(QLatin1String("'2025-03-15 10:30:05'"))), ambas);
    EXPECT_EQ(shell(donde.arg(QLatin1String("'15/03/2025 10:30:05' COLLATE CI_AS"))), QString());
    const QString sinFecha = QStringLiteral("INSERT INTO Control_Acceso (Maquina, Ingreso) VALUES ('CAJA3', '31/02/2025')");
    EXPECT_EQ(shell(sinFecha), u"Error: Conversion failed when converting date and/or time from character string.");
    EXPECT_TRUE(programa(sinFecha).startsWith(QLatin1String("Error: Conversion failed when converting date")));
}

// Views the program made: one joining on CI_AS columns, one calling the
// functions the translation writes (CONVERT, DATEPART, DATEADD, "+").
TEST_F(ExtensionSqlite, VistasDelProgramaConUnionesYFunciones)
{
    programa(QStringLiteral("INSERT INTO MA_CONTACTOS (Nombre_y_Apellido, Telefono) VALUES ('INÉS NÚÑEZ  ', '0341-1')"));
    programa(QStringLiteral("CREATE VIEW V_CONTACTOS_CLIENTES AS SELECT c.CODIGO, c.RAZON_SOCIAL, k.Telefono "
                            "FROM MA_CLIENTES c JOIN MA_CONTACTOS k ON k.Nombre_y_Apellido = c.CONTACTO"));
    const QString unidos = ambos(QStringLiteral("SELECT * FROM V_CONTACTOS_CLIENTES ORDER BY CODIGO, Telefono"));
    EXPECT_TRUE(unidos.contains(u"C0002|Panadería La Espiga|0341-1\nC0002|Panadería La Espiga|0341-4556677"))
        << unidos.toStdString();
    programa(QStringLiteral("CREATE VIEW V_ARTICULOS_FECHAS AS SELECT idarticulo, "
                            "CONVERT(varchar(10), FECHAHORA_MODIFICACION, 103) AS Dia, "
                            "DATEPART(weekday, FECHAHORA_MODIFICACION) AS DiaSemana, "
                            "DATEADD(day, 45, FECHAHORA_MODIFICACION) AS Vence, "
                            "idarticulo + '-' + IdFamilia AS Clave FROM MA_ARTICULOS"));
    EXPECT_EQ(ambos(QStringLiteral("SELECT * FROM V_ARTICULOS_FECHAS WHERE idarticulo = '0000007'")),
              programa(QStringLiteral("SELECT '0000007', '01/07/2025', 2, '2025-08-15 09:30:00', '0000007-' + IdFamilia "
                                      "FROM MA_ARTICULOS WHERE idarticulo = '0000007'")));
}

// Without it the file still opens and its plain reads work; what needs the
// collation is refused with the message the README quotes.
TEST_F(ExtensionSqlite, SinCargarlaElShellRechaza)
{
    EXPECT_EQ(shell(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE Clave = 'Theme'"), false),
              u"Error: no such collation sequence: CI_AS");
    EXPECT_EQ(shell(QStringLiteral("SELECT Clave FROM TA_CONFIGURACION WHERE Id = 1"), false), u"RUTACOMPARTIDA_COLECTOR");
}

} // namespace
