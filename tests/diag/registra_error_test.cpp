#include "comun/base_prueba.h"
#include "db/globales.h"
#include "diag/registra_error.h"
#include "platform/aplicacion.h"
#include "platform/vb.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class RegistraErrorTest : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        qputenv("temp", "1");
        qputenv("tmp", QFile::encodeName(dir.path()));
    }
    void TearDown() override
    {
        BasePrueba::TearDown();
        qunsetenv("temp");
        qunsetenv("tmp");
    }
    // The log as bytes: Windows-1252, CR LF.
    QByteArray Bytes(const QString& carpeta) const
    {
        QFile f(QDir(carpeta).filePath(QStringLiteral("SVERR.LOG")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Lineas() const
    {
        QByteArray b = Bytes(dir.path());
        EXPECT_TRUE(b.isEmpty() || b.endsWith("\r\n"));
        QStringList l = QString::fromLatin1(b).split(QStringLiteral("\r\n"));
        l.removeLast();
        return l;
    }

    const VbError err{3021, QStringLiteral("  No hay registro actual.  "), QStringLiteral("ADODB.Recordset")};
};

TEST_F(RegistraErrorTest, ErrorCeroNoMuestraNiRegistra)
{
    EXPECT_EQ(RegistraError(VbError(0, QStringLiteral("nada")), std::nullopt, QStringLiteral("Cfg")), 0);
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_TRUE(Lineas().isEmpty());
}

TEST_F(RegistraErrorTest, SinRutinaNiBotonesPreguntaAbortarReintentarIgnorar)
{
    op->respuestas = {4};
    EXPECT_EQ(RegistraError(err), 4);
    ASSERT_EQ(op->mostrados.size(), 1u);
    const auto& m = op->mostrados[0];
    EXPECT_EQ(m.estilo, 18);
    EXPECT_EQ(m.titulo, u"ADODB.Recordset Aviso al operador!!! - 2 ");
    EXPECT_EQ(m.texto, u"Ha ocurrido el Siguiente Error (3021) No hay registro actual.");
    const QStringList l = Lineas();
    ASSERT_EQ(l.size(), 1);
    static const QRegularExpression forma(QStringLiteral(
        "^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d Rutina:  Mensaje Ha ocurrido el Siguiente Error \\(3021\\) "
        "No hay registro actual\\. Respondió : Reintentar$"));
    EXPECT_TRUE(forma.match(l[0]).hasMatch()) << l[0].toStdString();
    // The date is month first, whatever the regional settings.
    EXPECT_EQ(l[0].left(10), QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy")));
}

TEST_F(RegistraErrorTest, RutinaYSoloAceptar)
{
    op->respuestas = {1};
    EXPECT_EQ(RegistraError(err, 0, QStringLiteral("Cfg")), 1);
    EXPECT_EQ(op->mostrados[0].estilo, 0);
    EXPECT_EQ(op->mostrados[0].titulo, u"ADODB.Recordset - Cfg Aviso al operador!!! - 2 ");
    const QStringList l = Lineas();
    ASSERT_EQ(l.size(), 1);
    EXPECT_TRUE(l[0].mid(19).startsWith(QStringLiteral(" Rutina: - Cfg Mensaje Ha ocurrido"))) << l[0].toStdString();
    EXPECT_TRUE(l[0].endsWith(QStringLiteral("actual. Respondió : "))) << l[0].toStdString();
    // "ó" is one Windows-1252 byte.
    EXPECT_TRUE(Bytes(dir.path()).endsWith("Respondi\xf3 : \r\n"));
}

TEST_F(RegistraErrorTest, PalabraDeCadaRespuestaYUnaLineaPorError)
{
    op->respuestas = {5, 3, 2, 6, 7};
    for (int i = 0; i < 5; ++i)
        RegistraError(err, 3, QStringLiteral("MenuExes"));
    const QStringList l = Lineas();
    ASSERT_EQ(l.size(), 5);
    const char* palabras[] = {"Ignorar", "Abortar", "Cancelar", "Sí", "No"};
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(l[i].endsWith(QStringLiteral(" Respondió : ") + QString::fromUtf8(palabras[i]))) << l[i].toStdString();
}

TEST_F(RegistraErrorTest, DescripcionEnVariasLineasQuedaEnUna)
{
    RegistraError(VbError(-2147217900, QStringLiteral("Linea uno\r\nLinea dos\n"), QStringLiteral("SQL")), 0);
    const QStringList l = Lineas();
    ASSERT_EQ(l.size(), 1);
    EXPECT_TRUE(l[0].contains(QStringLiteral("Error (-2147217900) Linea uno Linea dos Respondió")));
}

TEST_F(RegistraErrorTest, CarpetaConYSinBarraFinalDaElMismoArchivo)
{
    qputenv("tmp", QFile::encodeName(dir.path() + QStringLiteral("  ")));
    const QString sin = CarpetaRegistroErrores();
    qputenv("tmp", QFile::encodeName(dir.path() + QStringLiteral("\\")));
    EXPECT_EQ(CarpetaRegistroErrores(), sin);
    qputenv("tmp", QFile::encodeName(dir.path() + QStringLiteral("/")));
    RegistraError(err, 0);
    qputenv("tmp", QFile::encodeName(dir.path()));
    RegistraError(err, 0);
    EXPECT_EQ(Lineas().size(), 2);
}

TEST_F(RegistraErrorTest, SinTempSeUsaLaCarpetaDelEquipo)
{
    // "tmp" counts only when "temp" is set.
    qunsetenv("temp");
    const QString delEquipo = CarpetaRegistroErrores();
    EXPECT_FALSE(delEquipo.startsWith(dir.path()));
    EXPECT_TRUE(delEquipo.endsWith(u'\\') || delEquipo.endsWith(u'/'));
    qputenv("temp", "x");
    qputenv("tmp", "   ");
    EXPECT_EQ(CarpetaRegistroErrores(), delEquipo);
}

TEST_F(RegistraErrorTest, CarpetaQueNoSePuedeEscribirSoloPierdeLaLinea)
{
    qputenv("tmp", QFile::encodeName(dir.filePath(QStringLiteral("no/existe"))));
    op->respuestas = {5};
    EXPECT_EQ(RegistraError(err, std::nullopt, QStringLiteral("Cfg")), 5);
    EXPECT_EQ(op->mostrados.size(), 1u);
}

TEST_F(RegistraErrorTest, ErrorSQLQuedaEnAuxErr)
{
    CreaBase(QStringLiteral("EMPRESA1"),
             QStringLiteral("CREATE TABLE AUX_ERR (Id INTEGER PRIMARY KEY, Proceso TEXT, FECHA TEXT, Error INTEGER, "
                            "Descripcion TEXT, sql TEXT, PC TEXT, Usuario TEXT, Otra TEXT);"));
    Abre(DB(), QStringLiteral("EMPRESA1"));
    glb::UsuarioActual = QStringLiteral("JUAN");
    QString proceso;
    RegistraErrorSQL(QStringLiteral("UPDATE X SET A = 1"), proceso, 208, QString(300, u'd'));
    EXPECT_EQ(proceso, aplicacion::NombreEjecutable());
    QString otro = QStringLiteral("OTRO");
    RegistraErrorSQL(QStringLiteral("DELETE Y"), otro, -1, QStringLiteral("corta"));
    EXPECT_EQ(otro, u"OTRO");
    std::vector<std::vector<QString>> f;
    auto rs = DB().gCnn->Execute(
        QStringLiteral("SELECT Proceso, FECHA, Error, Descripcion, sql, PC, Usuario, Otra FROM AUX_ERR ORDER BY Id"));
    for (const auto& fila : rs->GetRows()) {
        f.emplace_back();
        for (const auto& v : fila)
            f.back().push_back(v.isNull() ? QStringLiteral("<NULL>") : v.toString());
    }
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0][0], aplicacion::NombreEjecutable());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d$")).match(f[0][1]).hasMatch())
        << f[0][1].toStdString();
    EXPECT_EQ(f[0][2], u"208");
    EXPECT_LE(f[0][3].size(), 250);
    EXPECT_EQ(f[0][4], u"UPDATE X SET A = 1");
    EXPECT_FALSE(f[0][5].isEmpty());
    EXPECT_EQ(f[0][6], u"JUAN");
    EXPECT_EQ(f[0][7], u"<NULL>");
    // The column always holds the executable, whatever the caller named.
    EXPECT_EQ(f[1][0], aplicacion::NombreEjecutable());
    EXPECT_EQ(f[1][2], u"-1");
    glb::UsuarioActual.clear();
}

TEST_F(RegistraErrorTest, ErrorSQLSinTablaNoLlegaAlLlamador)
{
    CreaBase(QStringLiteral("EMPRESA1"), QStringLiteral("CREATE TABLE OTRA (A INTEGER);"));
    Abre(DB(), QStringLiteral("EMPRESA1"));
    QString proceso;
    EXPECT_NO_THROW(RegistraErrorSQL(QStringLiteral("X"), proceso, 1, QStringLiteral("d")));
}

// A description quoting a huge value (a 1 MB name) is cut in the box and in
// the log, keeping its beginning and its end and saying so.
TEST_F(RegistraErrorTest, DescripcionEnormeSeCortaEnCajaYRegistro)
{
    const QString enorme = QStringLiteral("Cannot open database \"") + QString(1 << 20, u'N') + QStringLiteral("\": fin");
    EXPECT_EQ(RegistraError(VbError(-2147467259, enorme, QStringLiteral("Proveedor")), 0, QStringLiteral("Cfg")), 1);
    ASSERT_EQ(op->mostrados.size(), 1u);
    const QString& caja = op->mostrados[0].texto;
    EXPECT_LT(caja.size(), 1100);
    EXPECT_TRUE(caja.startsWith(QStringLiteral("Ha ocurrido el Siguiente Error (-2147467259) Cannot open database \"NNN")));
    EXPECT_TRUE(caja.endsWith(QStringLiteral("NNN\": fin"))) << caja.right(40).toStdString();
    EXPECT_TRUE(caja.contains(QStringLiteral("caracteres cortados")));
    const QStringList l = Lineas();
    ASSERT_EQ(l.size(), 1);
    EXPECT_LT(l[0].size(), 1200);
    EXPECT_TRUE(l[0].endsWith(QStringLiteral("fin Respondi\u00f3 : "))) << l[0].right(40).toStdString();
}

} // namespace
