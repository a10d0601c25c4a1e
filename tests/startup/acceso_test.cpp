// The operator check, the access row and the action row against the
// embedded server, with operator-typed names that try to change statements.
#include "comun/base_prueba.h"
#include "comun/esquema_ingreso.h"
#include "comun/filas.h"
#include "platform/vb.h"
#include "startup/registra_acceso.h"
#include "startup/usuario.h"
#include "suitelib/equipo.h"
#include "suitelib/funciones_generales.h"

#include <QRegularExpression>

namespace {

const QString kInyectado = QStringLiteral("x' OR '1'='1");

class Acceso : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        const FuncionesGenerales fg;
        CreaBase(QStringLiteral("EMP"),
                 prueba::kEsquemaIngreso
                     + QStringLiteral(
                         "CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE,"
                         " Valor TEXT, PoliticaNegocio INTEGER, ValorAux TEXT);"
                         "INSERT INTO TA_CONFIGURACION VALUES ('GENERAL','FECHAOPERHASTA','31/12/2025',0,'');"
                         "INSERT INTO TA_USUARIOS (NOMBRE, SISTEMA, Password) VALUES ('JUAN','cn000pr','%1'), ('PEDRO','TORVO','%2'),"
                         " ('ANA','OTRO','%3'), ('LUIS','cn000pr','1234');"
                         "INSERT INTO TA_MENU VALUES ('01','PROC1','Tarea uno'), ('02','PROC2','Tarea dos');"
                         "INSERT INTO TA_TAREAS VALUES ('PEDRO','01'), ('PEDRO','02');")
                           .arg(fg.CodificaClave(QStringLiteral("Secreta")), fg.CodificaClave(QStringLiteral("otra")),
                                fg.CodificaClave(QStringLiteral("ana"))));
        Abre(DB(), QStringLiteral("EMP"));
        ASSERT_TRUE(DB().gOpenFlag);
        glb::ParametroAdicional.clear();
        glb::UsarFechaDia = false;
    }
    void TearDown() override
    {
        glb::UsarFechaDia = false;
        BasePrueba::TearDown();
    }

    QStringList Filas(const QString& sql) { return prueba::Filas(archivoBase(QStringLiteral("EMP")), sql); }

    QStringList FilasAcceso()
    {
        return Filas(QStringLiteral("SELECT Maquina, Usuario, Formulario, Tarea, NombreUsuario FROM Control_Acceso ORDER BY Id"));
    }
    QString Maquina() const { return vb::Trim(Equipo().NombreEquipo()).toUpper(); }
};

TEST_F(Acceso, ValidaUsuario)
{
    struct Caso {
        const char16_t* usuario;
        const char16_t* clave;
        bool valido;
    } casos[] = {
        {u"juan", u"SECRETA", true},    // password case ignored
        {u" JUAN ", u"Secreta", true},  // name trimmed
        {u"JUAN", u"mala", false},
        {u"PEDRO", u"otra", true},      // the other accepted system
        {u"ANA", u"ana", false},        // a system that is not accepted
        {u"LUIS", u"1234", true},       // a plain stored password
        {u"NADIE", u"", false},
        {u"emp", u"cualquiera", true},  // the database's own account
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(QString::fromUtf16(c.usuario).toStdString());
        glb::UsuarioActual = QStringLiteral("antes");
        QString u = QString::fromUtf16(c.usuario), k = QString::fromUtf16(c.clave);
        EXPECT_EQ(ValidaUsuario(u, k), c.valido);
        if (c.valido) {
            EXPECT_EQ(glb::UsuarioActual, QString::fromUtf16(c.usuario));
        }
    }
    EXPECT_TRUE(op->mostrados.empty());
}

// A typed name is a value, never part of the statement.
TEST_F(Acceso, NombreInyectadoNoIngresaNiCambiaSentencias)
{
    for (const QString& clave : {QString(), QStringLiteral("Secreta"), QStringLiteral("otra")}) {
        QString u = kInyectado, k = clave;
        glb::UsuarioActual = QStringLiteral("antes");
        EXPECT_FALSE(ValidaUsuario(u, k));
        EXPECT_EQ(glb::UsuarioActual, u"antes"_qs);
    }
    QString u = QStringLiteral("JUAN' --"), k = QStringLiteral("x");
    EXPECT_FALSE(ValidaUsuario(u, k));

    // The rights lookup finds nothing for the injected name (PEDRO's tasks stay his).
    DB().gUsuario = QStringLiteral("OTRO");
    glb::UsuarioActual = kInyectado;
    RegistraAcceso(QStringLiteral("PROC1"));
    // The action row keeps the name and the description as typed.
    QString complemento;
    RegistraAccion({}, {}, complemento, true, false, QStringLiteral("l'intento"), {}, false);

    // A name whose apostrophe would make the condition true for every user.
    glb::UsuarioActual = QStringLiteral("x' OR 1=1 OR 'a'='");
    RegistraAcceso(QStringLiteral("PROC1"));

    EXPECT_EQ(FilasAcceso(), (QStringList{Maquina() + u"|X OR 1=1|PROC1||x OR 1=1"_qs,
                                          Maquina() + u"|X OR 1=1 OR A=|PROC1||x OR 1=1 OR a="_qs}));
    EXPECT_EQ(Filas(QStringLiteral("SELECT Usuario, SYSTEMUSER FROM V_MV_CPTEACCIONES")),
              QStringList{kInyectado + u"|l'intento"_qs});
    EXPECT_TRUE(op->mostrados.empty()) << op->mostrados[0].texto.toStdString();
    EXPECT_EQ(Filas(QStringLiteral("SELECT count(*) FROM AUX_ERR")), QStringList{u"0"_qs});
}

TEST_F(Acceso, FilaDeAccesoYNombresDeProceso)
{
    glb::UsuarioActual = QStringLiteral("juan");
    RegistraAcceso(QStringLiteral("EM_Backup"));
    EXPECT_TRUE(FilasAcceso().isEmpty());

    RegistraAcceso(QStringLiteral("UtlFiscal"));
    // Without rights, the database's own login is given the program's name as task.
    RegistraAcceso({});
    const QString exe = aplicacion::NombreEjecutable().toUpper();
    EXPECT_EQ(FilasAcceso(), (QStringList{Maquina() + u"|JUAN|UTLFISCAL||juan"_qs,
                                          Maquina() + u"|JUAN|"_qs + exe + u'|' + exe + u"|juan"_qs}));
    const QStringList ingresos = Filas(QStringLiteral("SELECT Ingreso FROM Control_Acceso"));
    ASSERT_EQ(ingresos.size(), 2);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d$")).match(ingresos[0]).hasMatch())
        << ingresos[0].toStdString();
    EXPECT_EQ(ingresos[0].left(8), QDate::currentDate().toString(QStringLiteral("dd/MM/yy")));

    // Another login without rights: no task. An empty operator takes the login.
    DB().gUsuario = QStringLiteral("OTRO");
    glb::UsuarioActual.clear();
    RegistraAcceso(QStringLiteral("PROC2"));
    EXPECT_EQ(FilasAcceso().value(2), Maquina() + u"|OTRO|PROC2||OTRO"_qs);
    EXPECT_TRUE(op->mostrados.empty());

    bool sinFila = false;
    EXPECT_EQ(ProcesoDeAcceso(QStringLiteral("fs_v_mv_ventash"), sinFila), u"V_MV_VENTAS"_qs);
    EXPECT_EQ(ProcesoDeAcceso(QStringLiteral("UTLFISCALH"), sinFila), u"UTLFISCAL"_qs);
    EXPECT_EQ(ProcesoDeAcceso(QStringLiteral("utl_ctrlfiscalh"), sinFila), QString());
    EXPECT_EQ(ProcesoDeAcceso(QStringLiteral("EM_DBACUM"), sinFila), u"Controlbaseap"_qs);
    EXPECT_EQ(ProcesoDeAcceso(QStringLiteral("V_MV_VENTASPDVGEP"), sinFila), u"V_MV_VENTASPDVG"_qs);
    EXPECT_EQ(ProcesoDeAcceso(QStringLiteral("Otro"), sinFila), u"Otro"_qs);
    EXPECT_FALSE(sinFila);
    ProcesoDeAcceso(QStringLiteral("em_backup"), sinFila);
    EXPECT_TRUE(sinFila);
}

// A rights lookup that fails leaves the task empty, even for the database's
// own login, which gets the program's name only when the lookup found nothing.
TEST_F(Acceso, ConsultaDeDerechosFallidaDejaLaTareaVacia)
{
    glb::UsuarioActual = QStringLiteral("juan");
    CreaBase(QStringLiteral("EMP"), QStringLiteral("DROP TABLE TA_TAREAS;"));
    RegistraAcceso({});
    EXPECT_EQ(FilasAcceso(), QStringList{Maquina() + u"|JUAN|"_qs + aplicacion::NombreEjecutable().toUpper() + u"||juan"_qs});
}

// The rights lookup compares the user followed by one blank, as the suite's
// server does: trailing blanks do not count.
TEST_F(Acceso, TareaDelMenuConElBlancoFinal)
{
    DB().gUsuario = QStringLiteral("OTRO");
    glb::UsuarioActual = QStringLiteral("pedro");
    RegistraAcceso(QStringLiteral("PROC2"));
    EXPECT_EQ(FilasAcceso(), QStringList{Maquina() + u"|PEDRO|PROC2|TAREA DOS|pedro"_qs});
}

TEST_F(Acceso, FilaDeAccion)
{
    glb::UsuarioActual = QStringLiteral("JUAN");
    glb::ParametroAdicional = QStringLiteral("1");
    QString complemento;
    RegistraAccion({}, {}, complemento, true, false, QStringLiteral("Intento de inicio de sesion fallido"), {}, false);
    EXPECT_EQ(complemento, u"0"_qs);
    complemento = QStringLiteral("7");
    RegistraAccion(QStringLiteral(" FAC "), QStringLiteral("0001-1"), complemento, false, true, QStringLiteral("  modifica  "),
                   QStringLiteral(" 1.1.01.0001.000099 "), false);
    RegistraAccion({}, {}, complemento, true, true, {}, {}, true);
    RegistraAccion({}, {}, complemento, false, false, {}, {}, false);
    const QString exe = aplicacion::NombreEjecutable();
    EXPECT_EQ(Filas(QStringLiteral("SELECT TC, IdComprobante, IdComplemento, Tipo_accion, Usuario, PC, SYSTEMUSER, Proceso,"
                                   " ProcesoLote, Cuenta FROM V_MV_CPTEACCIONES")),
              (QStringList{u"||0|A|JUAN|"_qs + Equipo().NombreEquipo() + u"|Intento de inicio de sesion fallido|"_qs + exe + u" 1||"_qs,
                           u"FAC|0001-1|7|M|JUAN|"_qs + Equipo().NombreEquipo() + u"|modifica|"_qs + exe + u" 1||1.1.01.0001.000"_qs,
                           u"||7|ER|JUAN|"_qs + Equipo().NombreEquipo() + u"||"_qs + exe + u" 1||"_qs,
                           u"||7|B|JUAN|"_qs + Equipo().NombreEquipo() + u"||"_qs + exe + u" 1||"_qs}));
    const QStringList fechas = Filas(QStringLiteral("SELECT FECHAHORA FROM V_MV_CPTEACCIONES"));
    ASSERT_EQ(fechas.size(), 4);
    EXPECT_TRUE(fechas[0].startsWith(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")))) << fechas[0].toStdString();
    EXPECT_TRUE(op->mostrados.empty());

    // Nothing is reported when the row cannot be written.
    CreaBase(QStringLiteral("EMP"), QStringLiteral("DROP TABLE V_MV_CPTEACCIONES;"));
    RegistraAccion({}, {}, complemento, true, false, {}, {}, false);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Acceso, FechaDelServidorODelPuesto)
{
    const QDateTime antes = QDateTime::currentDateTime().addSecs(-2);
    QDateTime f = FechaServidor();
    EXPECT_GE(f, antes);
    EXPECT_LE(f, QDateTime::currentDateTime().addSecs(2));
    EXPECT_EQ(f.time().msec(), 0);

    // The server does not answer: the operative date when it is in use.
    glb::UsarFechaDia = true;
    ado::Fallas& falla = DB().gCnn->fallas();
    falla.veces = 1;
    falla.error = ado::Error{ado::DB_E_ERRORSINCOMMAND, QStringLiteral("no"), QStringLiteral("P"), QStringLiteral("42000"), 102};
    f = FechaServidor();
    EXPECT_EQ(f.date(), QDate(2025, 12, 31));
    glb::UsarFechaDia = false;
    falla.veces = 1;
    f = FechaServidor();
    EXPECT_GE(f, antes);
}

} // namespace
