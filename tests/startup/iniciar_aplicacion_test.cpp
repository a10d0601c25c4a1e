// The start-up sequence against the embedded server: the statistics
// connection and the command time-out it gives, the help file, and how a
// start-up that cannot connect ends.
#include "comun/base_prueba.h"
#include "comun/esquema_ingreso.h"
#include "comun/filas.h"
#include "db/globales.h"
#include "diag/dll_display.h"
#include "lookup/lib_clscons3.h"
#include "startup/iniciar_aplicacion.h"
#include "suitelib/funciones_generales.h"

#include <QLabel>
#include <QPushButton>

#include <QRegularExpression>

namespace {

const QString kConfig = QStringLiteral("CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE,"
                                       " Valor TEXT COLLATE NOCASE, PoliticaNegocio INTEGER, ValorAux TEXT COLLATE NOCASE);");

class Inicio : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMP"), kConfig + prueba::kEsquemaIngreso);
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
    glb::UsuarioActual = QStringLiteral("ADMIN"); // signed on by the earlier start-up
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

// A program folder carried over from Windows holds CONSULTAS.SLV: the engine
// reads it, and no default file is written beside it.
TEST_F(Inicio, ConsultasDeWindowsEnMayusculasSeUsan)
{
    ReiniciaConsultas();
    const QString propia = dir.path() + u"/CONSULTAS.SLV"_qs;
    QFile f(propia);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("propio");
    f.close();
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(Consultas().gRutaMascaraConsultas, glb::RutaPrograma + u"CONSULTAS.SLV"_qs);
    EXPECT_EQ(leeArchivo(propia), u"propio"_qs);
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.slv"_qs}, QDir::Files), QStringList{u"CONSULTAS.SLV"_qs});
    ReiniciaConsultas();
}

// Sign-on: the stored password, the further tries through the access
// dialog, the access row and the action rows of failed tries.
class Ingreso : public Inicio {
protected:
    void SetUp() override
    {
        Inicio::SetUp();
        CreaBase(QStringLiteral("EMP"), Usuarios());
        inicio::PideAccesoOtraVez = nullptr;
        inicio::TrasPrepararConsultas = nullptr;
    }
    void TearDown() override
    {
        inicio::PideAccesoOtraVez = nullptr;
        inicio::TrasPrepararConsultas = nullptr;
        glb::ClaveActual.clear();
        Inicio::TearDown();
    }
    static QString Usuarios()
    {
        return QStringLiteral("INSERT INTO TA_USUARIOS (NOMBRE, SISTEMA, Password) VALUES ('JUAN','cn000pr','%1');")
            .arg(FuncionesGenerales().CodificaClave(QStringLiteral("Secreta")));
    }
    void Argumentos(const QString& a) { aplicacion::FijaArgumentos({a}); }

    QStringList Filas(const QString& base, const QString& sql) { return prueba::Filas(archivoBase(base), sql); }
    QStringList Accesos(const QString& base = QStringLiteral("EMP"))
    {
        return Filas(base, QStringLiteral("SELECT Usuario, Formulario, NombreUsuario FROM Control_Acceso"));
    }
    QStringList Acciones()
    {
        return Filas(QStringLiteral("EMP"), QStringLiteral("SELECT Tipo_accion, IdComplemento, SYSTEMUSER, Usuario FROM V_MV_CPTEACCIONES"));
    }
    QString Exe() const { return aplicacion::NombreEjecutable().toUpper(); }

    // The access dialog as the operator fills it, one answer per try
    // (nothing: cancelled); records what each try was shown.
    std::vector<inicio::DatosAcceso> mostrado;
    void Respuestas(std::vector<std::optional<inicio::DatosAcceso>> r)
    {
        inicio::PideAccesoOtraVez = [this, r = std::move(r)](inicio::DatosAcceso& d) mutable {
            mostrado.push_back(d);
            if (mostrado.size() > r.size() || !r[mostrado.size() - 1])
                return false;
            d = *r[mostrado.size() - 1];
            return true;
        };
    }
    QStringList Cajas() const
    {
        QStringList r;
        for (const auto& m : op->mostrados)
            r << QStringLiteral("%1|%2|%3").arg(m.texto, QString::number(m.estilo), m.titulo);
        return r;
    }
    const QString kPrimera = u"El usuario o clave en la base de datos es incorrecto!\r\nIntentelo nuevamente|16|Atencion!"_qs;
    const QString kOtra = u"Usuario o Clave incorrecta|64|Atencion"_qs;
    const QString kIntento = u"A|0|Intento de inicio de sesion fallido|"_qs;
};

TEST_F(Ingreso, OperadorValidoDejaUnaFilaDeAcceso)
{
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=juan; @Password=Secreta;"));
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(glb::UsuarioActual, u"juan"_qs);
    EXPECT_EQ(Accesos(), QStringList{u"JUAN|"_qs + Exe() + u"|juan"_qs});
    EXPECT_TRUE(Acciones().isEmpty());
    EXPECT_TRUE(op->mostrados.empty());
}

// @Password equal to the database name: the operator's stored password.
TEST_F(Ingreso, MarcaTomaLaClaveGuardada)
{
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=emp;"));
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(glb::ClaveActual, u"Secreta"_qs);
    EXPECT_EQ(Accesos().size(), 1);

    // An operator missing from the table keeps the marker and fails.
    ReiniciaInstancias();
    op->mostrados.clear();
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=NADIE; @Password=EMP;"));
    EXPECT_EQ(Inicia(), 1);
    EXPECT_EQ(glb::ClaveActual, u"* *"_qs);
    EXPECT_EQ(Accesos().size(), 1);
}

// No dialog to retype in: the first message, then the end, with a
// log line that names the operator and never the password.
TEST_F(Ingreso, ClaveIncorrectaSinDialogoTermina)
{
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=ClaveMuyMala;"));
    EXPECT_EQ(Inicia(), 1);
    EXPECT_EQ(Cajas(), QStringList{kPrimera});
    EXPECT_TRUE(Accesos().isEmpty());
    const QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_TRUE(log.contains(QStringLiteral("JUAN"))) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("ClaveMuyMala")));
    EXPECT_TRUE(Filas(QStringLiteral("EMP"), QStringLiteral("SELECT * FROM AUX_ERR")).isEmpty());
}

TEST_F(Ingreso, TresIntentosFallidos)
{
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=mala1;"));
    const inicio::DatosAcceso malo{QStringLiteral("JUAN"), QStringLiteral("mala2"), QStringLiteral("LOCAL"), QStringLiteral("EMP")};
    Respuestas({malo, malo, malo});
    EXPECT_EQ(Inicia(), 1);
    ASSERT_EQ(mostrado.size(), 3u);
    EXPECT_EQ(mostrado[0].usuario, u"JUAN"_qs);
    EXPECT_EQ(mostrado[0].clave, u"mala1"_qs);
    EXPECT_EQ(mostrado[0].servidor, u"LOCAL"_qs);
    EXPECT_EQ(mostrado[0].base, u"EMP"_qs);
    EXPECT_EQ(mostrado[1].clave, u"mala2"_qs);
    EXPECT_EQ(Cajas(), (QStringList{kPrimera, kOtra, kOtra, kOtra,
                                    u"Demasiados intentos para iniciar sesi\u00f3n!\r\nComuniquese con el administrador de sistemas|16|Atencion!"_qs}));
    EXPECT_EQ(Acciones(), (QStringList{kIntento + u"JUAN"_qs, kIntento + u"JUAN"_qs, kIntento + u"JUAN"_qs}));
    EXPECT_TRUE(Accesos().isEmpty());
    for (const QString& clave : {u"mala1"_qs, u"mala2"_qs}) {
        EXPECT_FALSE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).contains(clave));
        EXPECT_FALSE(Filas(QStringLiteral("EMP"), QStringLiteral("SELECT * FROM V_MV_CPTEACCIONES")).join(u' ').contains(clave));
    }
}

TEST_F(Ingreso, CancelarTerminaEnseguidaYOtroIntentoBuenoEntra)
{
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=mala;"));
    Respuestas({inicio::DatosAcceso{QStringLiteral("JUAN"), QStringLiteral("x"), QStringLiteral("LOCAL"), QStringLiteral("EMP")},
                std::nullopt});
    EXPECT_EQ(Inicia(), 1);
    EXPECT_EQ(mostrado.size(), 2u);
    EXPECT_EQ(Cajas(), (QStringList{kPrimera, kOtra}));
    EXPECT_EQ(Acciones().size(), 1);
    EXPECT_TRUE(Accesos().isEmpty());

    ReiniciaInstancias();
    op->mostrados.clear();
    mostrado.clear();
    Respuestas({inicio::DatosAcceso{QStringLiteral("juan"), QStringLiteral("SECRETA"), QStringLiteral("local"), QStringLiteral("emp")}});
    EXPECT_EQ(Inicia(), -1);
    EXPECT_EQ(mostrado.size(), 1u);
    EXPECT_EQ(glb::UsuarioActual, u"juan"_qs);
    EXPECT_EQ(Accesos(), QStringList{u"JUAN|"_qs + Exe() + u"|juan"_qs});
    EXPECT_EQ(Acciones().size(), 1);
}

// The further tries start from "not signed on": an error that cuts them short
// (one the start-up passes over) ends the run, with no access row.
TEST_F(Ingreso, ErrorEnLosIntentosNoDejaEntrar)
{
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=mala;"));
    inicio::PideAccesoOtraVez = [](inicio::DatosAcceso&) -> bool {
        Raise(vberr::InvalidCall, QStringLiteral("El dialogo de acceso no se pudo cargar"));
    };
    EXPECT_EQ(Inicia(), 1);
    EXPECT_TRUE(Accesos().isEmpty());
    const QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_TRUE(log.contains(QStringLiteral("No se completo el inicio de sesion (usuario JUAN): "))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("El dialogo de acceso no se pudo cargar"))) << log.toStdString();
}

// A good try that names another database connects again from the connection step.
TEST_F(Ingreso, OtraBaseReconecta)
{
    CreaBase(QStringLiteral("EMP2"), kConfig + prueba::kEsquemaIngreso + Usuarios());
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=mala;"));
    Respuestas({inicio::DatosAcceso{QStringLiteral("JUAN"), QStringLiteral("Secreta"), QStringLiteral("LOCAL"), QStringLiteral("EMP2")}});
    int preparadas = 0;
    inicio::TrasPrepararConsultas = [&] { ++preparadas; };
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(DB().gDBName, u"EMP2"_qs);
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(preparadas, 2);
    EXPECT_TRUE(Accesos().isEmpty());
    EXPECT_EQ(Accesos(QStringLiteral("EMP2")), QStringList{u"JUAN|"_qs + Exe() + u"|JUAN"_qs});
}

TEST_F(Ingreso, NombreInyectadoNoEntra)
{
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=x' OR '1'='1; @Password=Secreta;"));
    EXPECT_EQ(Inicia(), 1);
    EXPECT_EQ(Cajas(), QStringList{kPrimera});
    EXPECT_TRUE(Accesos().isEmpty());
    // The marker read does not find anybody either.
    ReiniciaInstancias();
    op->mostrados.clear();
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=x' OR '1'='1; @Password=EMP;"));
    EXPECT_EQ(Inicia(), 1);
    EXPECT_EQ(glb::ClaveActual, u"* *"_qs);
    EXPECT_EQ(Cajas(), QStringList{kPrimera});
}

// With windows, the banner shows while the start-up works and is gone after
// it, whether it signed on or ended.
TEST_F(Ingreso, CartelDuranteElInicio)
{
    struct ConVentanas : OperadorGuion {
        bool TieneVentanas() const override { return true; }
    };
    auto g = std::make_unique<ConVentanas>();
    op = g.get();
    instalaOperador(std::move(g));
    QStringList visto;
    inicio::TrasPrepararConsultas = [&] {
        Lbf_CtrlDisplay* v = Cartel().Ventana();
        if (!v)
            return;
        visto << v->windowTitle() << QString::number(v->isVisible());
        for (QLabel* l : v->LblCtrol)
            visto << l->text();
        visto << QString::number(v->CmdDisplayCancelar->isVisible());
    };
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=Secreta;"));
    ASSERT_EQ(Inicia(), -1);
    EXPECT_EQ(visto, (QStringList{u"Conectando Base de Datos"_qs, u"1"_qs, u"Iniciando Aplicacion"_qs,
                                  aplicacion::NombreEjecutable(), u"Espere por favor"_qs, u"0"_qs}));
    EXPECT_EQ(Cartel().Ventana(), nullptr);

    ReiniciaInstancias();
    Argumentos(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=mala;"));
    EXPECT_EQ(Inicia(), 1);
    EXPECT_EQ(Cartel().Ventana(), nullptr);
}

} // namespace
