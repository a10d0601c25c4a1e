#include "comun/base_prueba.h"
#include "config/configuracion.h"
#include "db/globales.h"
#include "platform/vb.h"

#include <gtest/gtest.h>

namespace {

const QString kTabla = QStringLiteral("CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE, "
                                      "Valor TEXT COLLATE NOCASE, PoliticaNegocio BIT, ValorAux TEXT COLLATE NOCASE);");

// Rows of a statement run straight on the connection, as text.
std::vector<std::vector<QString>> Filas(DB_Dll& db, const QString& sql)
{
    std::vector<std::vector<QString>> r;
    auto rs = db.gCnn->Execute(sql);
    if (rs->State() == ado::adStateClosed || rs->EOF_())
        return r;
    for (const auto& fila : rs->GetRows()) {
        std::vector<QString> f;
        for (const auto& v : fila)
            f.push_back(v.isNull() ? QStringLiteral("<NULL>") : v.toString());
        r.push_back(std::move(f));
    }
    return r;
}

// The error dialog's log goes to the test folder too.
class ConBase : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        qputenv("temp", "1");
        qputenv("tmp", QFile::encodeName(dir.path()));
        glb::TablaConfiguracion.clear();
    }
    void TearDown() override
    {
        BasePrueba::TearDown();
        qunsetenv("temp");
        qunsetenv("tmp");
        glb::TablaConfiguracion.clear();
    }
    void AbreConTabla(DB_Dll& db, const QString& nombre)
    {
        CreaBase(nombre, kTabla);
        Abre(db, nombre);
        ASSERT_TRUE(db.gOpenFlag);
    }
    QString Registro() const { return leeArchivo(dir.filePath(QStringLiteral("SVERR.LOG"))); }
};

class Configuracion : public ConBase {
protected:
    void SetUp() override
    {
        ConBase::SetUp();
        AbreConTabla(DB(), QStringLiteral("EMPRESA1"));
    }
    std::vector<std::vector<QString>> Tabla()
    {
        return Filas(DB(), QStringLiteral("SELECT Grupo, Clave, Valor, PoliticaNegocio, ValorAux FROM "
                                          "TA_CONFIGURACION ORDER BY Clave"));
    }
};

TEST_F(Configuracion, ClaveAusenteLeeUnBlancoYConexionCerradaNada)
{
    QString aux = QStringLiteral("previo");
    EXPECT_EQ(Cfg(QStringLiteral("NO_EXISTE"), aux), u" ");
    EXPECT_EQ(aux, u"");
    // The first read names the table.
    EXPECT_EQ(glb::TablaConfiguracion, u"TA_CONFIGURACION");

    DB().gOpenFlag = false;
    aux = QStringLiteral("previo");
    EXPECT_EQ(Cfg(QStringLiteral("NO_EXISTE"), aux), u"");
    EXPECT_EQ(aux, u"previo");
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Configuracion, EscrituraYLecturaDeValorYAuxiliar)
{
    GrabaDfg(QStringLiteral("RUTACOMPARTIDA_COLECTOR"), QStringLiteral("C:\\Productos"), QStringLiteral("aux 1"), true,
             QStringLiteral("DATOS"), true, false);
    QString aux;
    EXPECT_EQ(Cfg(QStringLiteral(" rutacompartida_colector "), aux), u"C:\\Productos");
    EXPECT_EQ(aux, u"aux 1");

    // An empty auxiliary value leaves the stored one; the value is replaced.
    GrabaDfg(QStringLiteral("RUTACOMPARTIDA_COLECTOR"), QStringLiteral("  D:\\Otra  "), QString(), false,
             QStringLiteral("DATOS"), false, false);
    EXPECT_EQ(Cfg(QStringLiteral("RUTACOMPARTIDA_COLECTOR"), aux), u"  D:\\Otra  ");
    EXPECT_EQ(aux, u"aux 1");
    const auto t = Tabla();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0][0], u"DATOS");
    EXPECT_EQ(t[0][1], u"RUTACOMPARTIDA_COLECTOR");
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Configuracion, ClaveEnMinusculasConBlancosSeGuardaRecortadaEnMayusculasUnaVez)
{
    GrabaDfg(QStringLiteral("  ruta_x  "), QStringLiteral(" uno "), QStringLiteral(" a "), false, QStringLiteral("DATOS"),
             true, false);
    GrabaDfg(QStringLiteral("  ruta_x  "), QStringLiteral(" dos "), QString(), false, QStringLiteral("DATOS"), true, false);
    const auto t = Tabla();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0][1], u"RUTA_X");
    EXPECT_EQ(t[0][2], u"dos");
    EXPECT_EQ(t[0][4], u"a");
    EXPECT_EQ(Cfg(QStringLiteral("ruta_x")), u"dos");
}

TEST_F(Configuracion, ValoresNoTextoYNulos)
{
    GrabaDfg(QStringLiteral("NUMERO"), Variant(std::int32_t(42)), QString(), true, QStringLiteral("G"), false, false);
    EXPECT_EQ(Cfg(QStringLiteral("NUMERO")), u"42");
    DB().gCnn->Execute(QStringLiteral("INSERT INTO TA_CONFIGURACION (Clave, Valor, ValorAux) VALUES ('NULO', NULL, NULL)"));
    QString aux = QStringLiteral("x");
    EXPECT_EQ(vb::Trim(Cfg(QStringLiteral("NULO"), aux)), u"");
    EXPECT_EQ(vb::Trim(aux), u"");
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Configuracion, ThemeAusenteOEnBlancoLeeUno)
{
    EXPECT_EQ(Cfg(QStringLiteral("theme")), u"1");
    GrabaDfg(QStringLiteral("THEME"), QStringLiteral("   "), QString(), false, QStringLiteral("G"), false, false);
    EXPECT_EQ(Cfg(QStringLiteral("THEME")), u"1");
    GrabaDfg(QStringLiteral("THEME"), QStringLiteral("3"), QString(), false, QStringLiteral("G"), false, false);
    EXPECT_EQ(Cfg(QStringLiteral("THEME")), u"3");
    DB().gCnn->Execute(QStringLiteral("DELETE FROM TA_CONFIGURACION"));
    // The THEME test does not trim the key.
    EXPECT_EQ(Cfg(QStringLiteral(" THEME")), u" ");
}

TEST_F(Configuracion, BorrarQuitaLaClaveYSobreClaveAusenteLaCrea)
{
    GrabaDfg(QStringLiteral("K1"), QStringLiteral("v"), QString(), false, QStringLiteral("G"), false, false);
    GrabaDfg(QStringLiteral("K1"), QStringLiteral("otro"), QString(), false, QStringLiteral("G"), false, true);
    EXPECT_EQ(Cfg(QStringLiteral("K1")), u" ");
    EXPECT_TRUE(Tabla().empty());

    GrabaDfg(QStringLiteral("K2"), QStringLiteral("nuevo"), QString(), false, QStringLiteral("G"), false, true);
    EXPECT_EQ(Cfg(QStringLiteral("K2")), u"nuevo");
}

TEST_F(Configuracion, EscrituraAntesDeCualquierLecturaNoSePierde)
{
    ASSERT_TRUE(glb::TablaConfiguracion.isEmpty());
    GrabaDfg(QStringLiteral("K"), QStringLiteral("v"), QString(), false, QStringLiteral("G"), false, false);
    EXPECT_EQ(Tabla().size(), 1u);
}

TEST_F(Configuracion, FechaDesdeEnMinusculasSeConsultaEnMayusculas)
{
    // The server folds the case of plain letters in names and literals, so
    // the conversion shows only on a name with an accented letter, which it
    // does not fold: CONFIGURACIÓN is not configuración.
    DB().gCnn->Execute(QStringLiteral("CREATE TABLE configuración (Grupo TEXT, Clave TEXT, Valor TEXT, "
                                      "PoliticaNegocio BIT, ValorAux TEXT)"));
    DB().gCnn->Execute(QStringLiteral("INSERT INTO configuración (Clave, Valor, ValorAux) VALUES "
                                      "('[FECHA DESDE]', '01/01/2024', ''), ('[OTRA]', 'x', '')"));
    glb::TablaConfiguracion = QStringLiteral("configuración");
    EXPECT_EQ(Cfg(QStringLiteral("[otra]")), u"x");
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_EQ(Cfg(QStringLiteral(" [fecha desde] ")), u"");
    ASSERT_FALSE(op->mostrados.empty());
    EXPECT_TRUE(op->mostrados.back().titulo.contains(QStringLiteral("- Cfg Aviso")));
}

TEST_F(Configuracion, LecturaFallidaPreguntaAlOperador)
{
    DB().gCnn->Execute(QStringLiteral("DROP TABLE TA_CONFIGURACION"));
    // Every box answered Abort: the read gives up with "".
    op->respuestas = {3, 3, 3, 3};
    EXPECT_EQ(Cfg(QStringLiteral("K")), u"");
    bool vioCfg = false;
    for (const auto& m : op->mostrados)
        vioCfg = vioCfg || m.titulo.contains(QStringLiteral(" - Cfg Aviso al operador!!! - 2 "));
    EXPECT_TRUE(vioCfg);
    EXPECT_TRUE(Registro().contains(QStringLiteral("Rutina: - Cfg Mensaje Ha ocurrido el Siguiente Error (")));

    // Ignored: the read goes on and finds nothing.
    op->mostrados.clear();
    op->respuestas = {5, 5, 5, 5, 5, 5};
    EXPECT_EQ(Cfg(QStringLiteral("K")), u" ");
}

// How many of the boxes shown were the error dialog of the named routine.
int CajasDe(const OperadorGuion& op, const QString& rutina)
{
    int n = 0;
    for (const auto& m : op.mostrados)
        n += m.titulo.contains(QStringLiteral(" - ") + rutina + QStringLiteral(" Aviso al operador!!! - 2 ")) ? 1 : 0;
    return n;
}

TEST_F(Configuracion, SoloIgnorarSigueYReintentarTambienDevuelveVacio)
{
    DB().gCnn->Execute(QStringLiteral("DROP TABLE TA_CONFIGURACION"));
    // The open's own box is answered Abort; then the read's: Retry gives up too.
    for (int r : {respuesta::Retry, respuesta::Abort, respuesta::Cancel}) {
        op->mostrados.clear();
        op->respuestas = {respuesta::Abort, r, respuesta::Ignore, respuesta::Ignore, respuesta::Ignore};
        QString aux = QStringLiteral("previo");
        EXPECT_EQ(Cfg(QStringLiteral("K"), aux), u"") << r;
        EXPECT_EQ(CajasDe(*op, QStringLiteral("Cfg")), 1) << r;
        EXPECT_EQ(aux, u"previo");
    }
    EXPECT_TRUE(Registro().contains(QStringLiteral("Rutina: - Cfg Mensaje Ha ocurrido el Siguiente Error (3704)")));
    EXPECT_TRUE(Registro().contains(QStringLiteral("Respondi\u00f3 : Reintentar")));
}

TEST_F(Configuracion, EscrituraFallidaNoDiceNada)
{
    DB().gCnn->Execute(QStringLiteral("DROP TABLE TA_CONFIGURACION"));
    op->respuestas = {3, 3, 3};
    GrabaDfg(QStringLiteral("K"), QStringLiteral("v"), QString(), false, QStringLiteral("G"), false, false);
    // Only the database layer's own treatment may have spoken; no "Cfg" dialog.
    for (const auto& m : op->mostrados)
        EXPECT_FALSE(m.titulo.contains(QStringLiteral("Cfg")));
}

class ConfiguracionEstadisticas : public ConBase {
protected:
    void SetUp() override
    {
        ConBase::SetUp();
        AbreConTabla(DB(), QStringLiteral("EMPRESA1"));
        AbreConTabla(DBEstadisticas(), QStringLiteral("SV_ESTADISTICAS"));
    }
};

TEST_F(ConfiguracionEstadisticas, LeeYGrabaEnLaOtraBase)
{
    EXPECT_EQ(CfgSV(QStringLiteral("TimeOut")), u" ");
    GrabaCfgSV(QStringLiteral("timeout"), QStringLiteral(" 120 "), QStringLiteral(" x "), false,
               QStringLiteral("BaseDeDatos"), false);
    QString aux;
    EXPECT_EQ(CfgSV(QStringLiteral("TIMEOUT"), aux), u" 120 ");
    EXPECT_EQ(aux, u"x"); // always stored trimmed
    EXPECT_EQ(Cfg(QStringLiteral("TIMEOUT")), u" ");
    // An existing key is updated even though the key text differs in case.
    GrabaCfgSV(QStringLiteral("TimeOut"), Variant(std::int32_t(0)), QString(), false, QStringLiteral("BaseDeDatos"), true);
    EXPECT_EQ(CfgSV(QStringLiteral("TimeOut"), aux), u"0");
    EXPECT_EQ(aux, u"x");
    EXPECT_EQ(Filas(DBEstadisticas(), QStringLiteral("SELECT Clave FROM TA_CONFIGURACION")).size(), 1u);

    // No connection test on the statistics side: a closed instance fails and asks.
    DBEstadisticas().gCnn->Close();
    op->respuestas = {3, 3, 3, 3};
    EXPECT_EQ(CfgSV(QStringLiteral("TimeOut")), u"");
    bool vioCfgSV = false;
    for (const auto& m : op->mostrados)
        vioCfgSV = vioCfgSV || m.titulo.contains(QStringLiteral(" - CfgSV Aviso al operador!!! - 2 "));
    EXPECT_TRUE(vioCfgSV);
}

TEST_F(ConfiguracionEstadisticas, ReintentarNoRepiteLaLectura)
{
    DBEstadisticas().gCnn->Execute(QStringLiteral("DROP TABLE TA_CONFIGURACION"));
    op->respuestas = {respuesta::Abort, respuesta::Retry, respuesta::Ignore, respuesta::Ignore};
    EXPECT_EQ(CfgSV(QStringLiteral("TimeOut")), u"");
    EXPECT_EQ(CajasDe(*op, QStringLiteral("CfgSV")), 1);

    // Ignore goes on: the read finds nothing, as a missing key.
    op->mostrados.clear();
    op->respuestas = {respuesta::Abort, respuesta::Ignore, respuesta::Ignore, respuesta::Ignore, respuesta::Ignore};
    EXPECT_EQ(CfgSV(QStringLiteral("TimeOut")), u" ");
}

} // namespace
