// The start-up sequence against the embedded server: the statistics
// connection and the command time-out it gives, the help file, and how a
// start-up that cannot connect ends.
#include "comun/base_prueba.h"
#include "db/globales.h"
#include "lookup/lib_clscons3.h"
#include "startup/iniciar_aplicacion.h"

#include <QRegularExpression>

namespace {

const QString kConfig = QStringLiteral("CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE,"
                                       " Valor TEXT COLLATE NOCASE, PoliticaNegocio INTEGER, ValorAux TEXT COLLATE NOCASE);");

class Inicio : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMP"), kConfig);
        aplicacion::FijaArgumentos({QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN;")});
        glb::TiempoEsperaComandos = 90;
        aplicacion::FijaArchivoAyuda({});
    }
    void TearDown() override
    {
        aplicacion::FijaArgumentos({});
        glb::TiempoEsperaComandos = 90;
        BasePrueba::TearDown();
    }

    void Estadisticas(const QString& timeOut)
    {
        CreaBase(QStringLiteral("SV_ESTADISTICAS"), kConfig);
        if (!timeOut.isNull())
            CreaBase(QStringLiteral("SV_ESTADISTICAS"),
                     QStringLiteral("INSERT INTO TA_CONFIGURACION VALUES ('BaseDeDatos','TimeOut','%1',0,'');").arg(timeOut));
    }

    // Every TimeOut row of the statistics database, below the layers under test.
    QStringList FilasTimeOut()
    {
        sqlite3* db = nullptr;
        QStringList r;
        if (sqlite3_open(archivoBase(QStringLiteral("SV_ESTADISTICAS")).toUtf8().constData(), &db) != SQLITE_OK)
            return {QStringLiteral("<sin base>")};
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT Grupo, Valor FROM TA_CONFIGURACION WHERE Clave = 'TimeOut'", -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW)
            r << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + u'=' +
                     QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        sqlite3_finalize(st);
        sqlite3_close(db);
        return r;
    }

    int Inicia()
    {
        QString parametros, cadena;
        std::int32_t cursor = ado::adUseClient;
        try {
            IniciarAplicacion(parametros, cadena, cursor);
        } catch (const aplicacion::Fin& fin) {
            return fin.codigo;
        }
        return -1;
    }
};

TEST_F(Inicio, TiempoDeEsperaDeLaBaseDeEstadisticas)
{
    Estadisticas(QStringLiteral("30"));
    ASSERT_EQ(Inicia(), -1);
    ASSERT_TRUE(DB().gOpenFlag);
    EXPECT_TRUE(DBEstadisticas().gOpenFlag);
    EXPECT_EQ(glb::TiempoEsperaComandos, 30);
    EXPECT_EQ(DB().gCnn->CommandTimeout, 30);
    EXPECT_EQ(DB().gCnn->IsolationLevel, ado::adXactReadUncommitted);
    EXPECT_EQ(FilasTimeOut(), QStringList{u"BaseDeDatos=30"_qs}); // nothing written over it
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Inicio, ClaveAusenteOCeroSeGuardaComoCeroYQuedan90)
{
    Estadisticas({});
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(glb::TiempoEsperaComandos, 90);
    EXPECT_EQ(DB().gCnn->CommandTimeout, 90);
    EXPECT_EQ(FilasTimeOut(), QStringList{u"BaseDeDatos=0"_qs});

    ReiniciaInstancias();
    CreaBase(QStringLiteral("SV_ESTADISTICAS"), QStringLiteral("UPDATE TA_CONFIGURACION SET Valor = ' 0 ';"));
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(glb::TiempoEsperaComandos, 90);
    EXPECT_EQ(FilasTimeOut(), QStringList{u"BaseDeDatos=0"_qs});
}

TEST_F(Inicio, ValorQueNoCabeONoEsNumeroNoSeToca)
{
    for (const char* valor : {"40000", "-5", "abc", "32768", "1e9"}) {
        SCOPED_TRACE(valor);
        ReiniciaInstancias();
        QFile::remove(archivoBase(QStringLiteral("SV_ESTADISTICAS")));
        Estadisticas(QString::fromLatin1(valor));
        glb::TiempoEsperaComandos = 5;
        ASSERT_EQ(Inicia(), -1);
        EXPECT_EQ(glb::TiempoEsperaComandos, 90);
        EXPECT_EQ(DB().gCnn->CommandTimeout, 90);
        EXPECT_EQ(DB().gCnn->IsolationLevel, ado::adXactReadUncommitted);
        EXPECT_EQ(FilasTimeOut(), QStringList{u"BaseDeDatos="_qs + QString::fromLatin1(valor)});
    }
    // The largest value that fits is taken.
    ReiniciaInstancias();
    QFile::remove(archivoBase(QStringLiteral("SV_ESTADISTICAS")));
    Estadisticas(QStringLiteral("32767"));
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(glb::TiempoEsperaComandos, 32767);
}

TEST_F(Inicio, SinBaseDeEstadisticasQuedan90)
{
    glb::TiempoEsperaComandos = 5;
    ASSERT_EQ(Inicia(), -1);
    ASSERT_TRUE(DB().gOpenFlag);
    EXPECT_FALSE(DBEstadisticas().gOpenFlag);
    EXPECT_EQ(glb::TiempoEsperaComandos, 90);
    EXPECT_EQ(DB().gCnn->CommandTimeout, 90);
    EXPECT_EQ(DB().gCnn->IsolationLevel, ado::adXactReadUncommitted);
    EXPECT_TRUE(op->mostrados.empty()); // the statistics connection shows nothing
}

TEST_F(Inicio, ConexionYaAbiertaNoSeVuelveAConectar)
{
    Estadisticas(QStringLiteral("30"));
    Abre(DB(), QStringLiteral("EMP"));
    ASSERT_TRUE(DB().gOpenFlag);
    DB().gCnn->CommandTimeout = 12;
    glb::TiempoEsperaComandos = 7;
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(glb::TiempoEsperaComandos, 7);
    EXPECT_EQ(DB().gCnn->CommandTimeout, 12);
    EXPECT_FALSE(DBEstadisticas().gOpenFlag);
    EXPECT_EQ(FilasTimeOut(), QStringList{u"BaseDeDatos=30"_qs});
}

TEST_F(Inicio, ArchivoDeAyudaBajoLaCarpetaDelPrograma)
{
    ASSERT_EQ(Inicia(), -1);
    ASSERT_FALSE(glb::RutaPrograma.isEmpty());
    EXPECT_EQ(aplicacion::ArchivoAyuda(), glb::RutaPrograma + QStringLiteral("htmlhelp\\torvonetplus.chm"));
}

// A start-up that cannot connect ends with status 1, a log line that says
// why, and no box of its own.
TEST_F(Inicio, ConexionFallidaTerminaSinCajaPropiaYRegistraElMotivo)
{
    QFile basura(archivoBase(QStringLiteral("ROTA")));
    ASSERT_TRUE(basura.open(QIODevice::WriteOnly));
    basura.write(QByteArray(4096, 'x'));
    basura.close();
    aplicacion::FijaArgumentos({QStringLiteral("@Server=LOCAL; @DbName=ROTA; @Usuario=ADMIN;")});
    EXPECT_EQ(Inicia(), 1);
    for (const auto& m : op->mostrados)
        EXPECT_FALSE(m.texto.contains(QStringLiteral("No se pudo conectar"))) << m.texto.toStdString();
    const QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_TRUE(log.contains(QRegularExpression(
        QStringLiteral("Rutina: - IniciarAplicacion Mensaje No se pudo conectar con la base de datos ROTA del servidor LOCAL\\. .*"
                       "not a database"))))
        << log.toStdString();
}

TEST_F(Inicio, SinDatosDeConexionTerminaEnseguidaSinCaja)
{
    aplicacion::FijaArgumentos({QStringLiteral("@DbName=EMP;")});
    EXPECT_EQ(Inicia(), 1);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 0);
    EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).contains(QStringLiteral("Faltan los datos de conexion")));
}

TEST_F(Inicio, CancelarElDialogoDeAccesoTerminaEnseguida)
{
    struct Cancela : DialogoParametros {
        int veces = 0;
        bool Pedir(DB_Dll&) override
        {
            ++veces;
            return false;
        }
    } dialogo;
    InstalaDialogoParametros(&dialogo);
    aplicacion::FijaArgumentos({QStringLiteral("@DbName=EMP;")});
    const int estado = Inicia();
    InstalaDialogoParametros(nullptr);
    EXPECT_EQ(estado, 1);
    EXPECT_EQ(dialogo.veces, 1);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 0);
    EXPECT_FALSE(DB().gOpenFlag);
}

TEST_F(Inicio, NombreDeBaseEnormeSeCortaEnElRegistro)
{
    const QString enorme(1 << 20, u'N');
    aplicacion::FijaArgumentos({QStringLiteral("@Server=LOCAL; @DbName=") + enorme + QStringLiteral("; @Usuario=ADMIN;")});
    EXPECT_EQ(Inicia(), 1);
    const QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_GT(log.size(), 0);
    EXPECT_LT(log.size(), 4000);
    EXPECT_TRUE(log.contains(QStringLiteral("caracteres cortados"))) << log.left(400).toStdString();
}

TEST_F(Inicio, EscribeLasConsultasBaseSoloCuandoFaltan)
{
    ReiniciaConsultas();
    const QString ruta = dir.path() + u"/consultas.slv"_qs;
    ASSERT_EQ(Inicia(), -1);
    EXPECT_TRUE(Consultas().gUsarMascarasConsultas);
    EXPECT_EQ(Consultas().gRutaMascaraConsultas, glb::RutaPrograma + u"consultas.slv"_qs);
    EXPECT_EQ(QFileInfo(ruta).size(), 13222);

    // An existing file is neither read nor changed.
    ReiniciaInstancias();
    ReiniciaConsultas();
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("propio");
    f.close();
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(leeArchivo(ruta), u"propio"_qs);

    // A folder in its place cannot be written: the start-up ends.
    ReiniciaInstancias();
    ReiniciaConsultas();
    ASSERT_TRUE(QFile::remove(ruta));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"consultas.slv"_qs));
    EXPECT_EQ(Inicia(), EXIT_FAILURE);
    ReiniciaConsultas();
}

} // namespace
