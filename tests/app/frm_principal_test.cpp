// The window under Qt's offscreen platform, driven as an operator would.
#include "access/acceso_prueba.h"
#include "app/frm_principal.h"
#include "app/ventana_principal.h"
#include "diag/dll_display.h"
#include "comun/filas.h"
#include "comun/base_prueba.h"
#include "comun/esquema_ingreso.h"

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class Ventana : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMP"),
                 QStringLiteral("CREATE TABLE MA_ARTICULOS (idarticulo TEXT, CODIGOBARRA TEXT, DESCRIPCION TEXT, SUSPENDIDO INTEGER);"
                                "INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"
                                "CREATE VIEW V_MA_Articulos AS SELECT * FROM MA_ARTICULOS;"
                                "CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE,"
                                " Valor TEXT, PoliticaNegocio INTEGER, ValorAux TEXT);")
                     + prueba::kEsquemaIngreso);
        aplicacion::FijaArgumentos({QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN;")});
        glb::ParametroAdicional.clear();
    }
    void TearDown() override
    {
        aplicacion::FijaArgumentos({});
        BasePrueba::TearDown();
    }
    QString ClaveGuardada()
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT Valor FROM TA_CONFIGURACION WHERE Clave = 'RUTACOMPARTIDA_COLECTOR'"), DB().gCnn);
        return rs.EOF_() ? QStringLiteral("<sin clave>") : rs.Fields(0).Value().toString();
    }
};

TEST_F(Ventana, CargaConCarpetaPorOmisionYGuardaAlPerderElFoco)
{
    FrmPrincipal f;
    VentanaPrincipal v(f);
    EXPECT_EQ(v.windowTitle(), u"Crear archivo para el verificador ");
    f.Form_Load();
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(f.txtRuta->text(), u"C:\\Productos");
    EXPECT_EQ(v.txtRuta->text(), u"C:\\Productos");
    EXPECT_EQ(ClaveGuardada(), u"<sin clave>"); // nothing stored until the box loses the focus

    f.txtRuta->setText(QStringLiteral("  ") + dir.path() + QStringLiteral("/uno  "));
    QFocusEvent sale(QEvent::FocusOut);
    QApplication::sendEvent(v.txtRuta, &sale);
    QCoreApplication::processEvents(); // stored once the event that moved the focus is delivered
    EXPECT_EQ(ClaveGuardada(), dir.path() + QStringLiteral("/uno"));
    // Leaving again without a change stores again.
    CreaBase(QStringLiteral("EMP"), QStringLiteral("UPDATE TA_CONFIGURACION SET Valor = 'otro';"));
    QApplication::sendEvent(v.txtRuta, &sale);
    QCoreApplication::processEvents();
    EXPECT_EQ(ClaveGuardada(), dir.path() + QStringLiteral("/uno"));
}

TEST_F(Ventana, CargaLaCarpetaGuardadaYElBotonEscribeElArchivo)
{
    const QString carpeta = dir.path() + QStringLiteral("/salida");
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO TA_CONFIGURACION VALUES ('DATOS','RUTACOMPARTIDA_COLECTOR','")
                                         + carpeta + QStringLiteral("',0,NULL);"));
    FrmPrincipal f;
    f.Form_Load();
    VentanaPrincipal v(f);
    EXPECT_EQ(v.txtRuta->text(), carpeta);
    v.Command1->click();
    QFile archivo(carpeta + QStringLiteral("/productos.txt"));
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(archivo.readAll(), QByteArray("B1;A1;PAN;0\r\n"));
    ASSERT_EQ(op->cuenta(QStringLiteral("Aviso")), 1);
    EXPECT_EQ(op->mostrados.back().texto, QStringLiteral("Exportado con exito, se guardo en ") + carpeta + QStringLiteral("/productos.txt"));
    EXPECT_EQ(op->mostrados.back().titulo, u"Aviso al operador");
}

TEST_F(Ventana, CajaVaciaUsaLaCarpetaDelPrograma)
{
    FrmPrincipal f;
    f.Form_Load();
    VentanaPrincipal v(f);
    v.txtRuta->clear(); // typed in the window, seen by the handler
    EXPECT_EQ(f.txtRuta->text(), QString());
    EXPECT_TRUE(f.Command1_Click());
    EXPECT_EQ(f.txtRuta->text(), aplicacion::Carpeta());
    EXPECT_EQ(v.txtRuta->text(), aplicacion::Carpeta()); // and the window shows what the handler wrote
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/productos.txt")));
}

TEST_F(Ventana, ExportacionFallidaAvisaYVuelveALaVentana)
{
    FrmPrincipal f;
    f.Form_Load();
    CreaBase(QStringLiteral("EMP"), QStringLiteral("DROP VIEW V_MA_Articulos;"));
    f.txtRuta->setText(dir.path());
    op->respuestas = {respuesta::Abort};
    EXPECT_FALSE(f.Command1_Click());
    ASSERT_EQ(op->cuenta(QStringLiteral("MsgBox")), 2); // the database error, then the export's own
    EXPECT_TRUE(op->mostrados.back().texto.startsWith(QStringLiteral("No se pudo crear el archivo ")));
    EXPECT_EQ(op->cuenta(QStringLiteral("Aviso")), 0);
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/productos.txt")));
}

TEST_F(Ventana, ElegirCarpetaLaGuardaEnseguida)
{
    FrmPrincipal f;
    f.Form_Load();
    op->elecciones = {std::nullopt, dir.path() + QStringLiteral("/elegida")};
    f.Command2_Click(); // cancelled: nothing changes
    EXPECT_EQ(f.txtRuta->text(), u"C:\\Productos");
    f.Command2_Click();
    EXPECT_EQ(f.txtRuta->text(), dir.path() + QStringLiteral("/elegida"));
    EXPECT_EQ(ClaveGuardada(), dir.path() + QStringLiteral("/elegida"));
    EXPECT_EQ(op->mostrados.front().titulo, u"Buscar Carpeta de imagenes");
}

TEST_F(Ventana, ElNavegadorEmpiezaEnLaCarpetaRealDeLaCaja)
{
    FrmPrincipal f;
    f.Form_Load();
    op->elecciones = {std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    // C:\Productos names no folder yet: the browser starts where it always did.
    f.Command2_Click();
    EXPECT_EQ(op->mostrados.back().texto, QString());

    // Through the drive mapping, spelled in another case than on disk.
    const QString real = dir.path() + QStringLiteral("/unidades/c/Productos");
    ASSERT_TRUE(QDir().mkpath(real));
    f.txtRuta->setText(QStringLiteral("c:\\PRODUCTOS\\"));
    f.Command2_Click();
    EXPECT_EQ(op->mostrados.back().texto, real);

    // A folder of this machine, as the browser leaves it in the box.
    f.txtRuta->setText(dir.path());
    f.Command2_Click();
    EXPECT_EQ(op->mostrados.back().texto, dir.path());

    // A name the mapping refuses is no folder: the browser still opens.
    f.txtRuta->setText(QStringLiteral("C:\\Pro|ductos"));
    f.Command2_Click();
    EXPECT_EQ(op->mostrados.back().texto, QString());
    EXPECT_EQ(op->cuenta(QStringLiteral("Carpeta")), 4);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 0);
    EXPECT_EQ(f.txtRuta->text(), u"C:\\Pro|ductos");
}

// The operator of the windows lets events run whenever the database layer
// does; the scripted one would hide what that does to a click.
struct OperadorConEventos : OperadorGuion {
    void DoEvents() override
    {
        ++eventos;
        QCoreApplication::processEvents();
    }
};

TEST_F(Ventana, TrasEditarLaRutaUnSoloClicExportaUnaVez)
{
    auto g = std::make_unique<OperadorConEventos>();
    op = g.get();
    instalaOperador(std::move(g));
    FrmPrincipal f;
    f.Form_Load();
    VentanaPrincipal v(f);
    v.show();
    QApplication::setActiveWindow(&v);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v));
    v.txtRuta->setFocus();
    v.txtRuta->selectAll();
    const QString carpeta = dir.path() + QStringLiteral("/editada");
    QTest::keyClicks(v.txtRuta, carpeta);

    // A real mouse's release is already queued while its press is delivered,
    // and the press is what takes the focus from the box.
    struct Liberacion : QObject {
        QPushButton* boton;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::FocusOut)
                QCoreApplication::postEvent(boton, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(5, 5),
                                                                   boton->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                                                                   Qt::NoButton, Qt::NoModifier));
            return false;
        }
    } liberacion;
    liberacion.boton = v.Command1;
    v.txtRuta->installEventFilter(&liberacion);
    QTest::mousePress(v.Command1, Qt::LeftButton, {}, QPoint(5, 5));
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    v.txtRuta->removeEventFilter(&liberacion);

    EXPECT_EQ(op->cuenta(QStringLiteral("Aviso")), 1);
    QFile archivo(carpeta + QStringLiteral("/productos.txt"));
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(archivo.readAll(), QByteArray("B1;A1;PAN;0\r\n"));
    EXPECT_EQ(ClaveGuardada(), carpeta);
    EXPECT_FALSE(v.Command1->isDown());
}

// A long export in the window shows the start-up's banner with the rows
// written so far, and closes it before the closing notice.
TEST_F(Ventana, ExportacionLargaMuestraElCartelConLasFilasEscritas)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
                                                   " INSERT INTO MA_ARTICULOS SELECT 'A' || i, 'B' || i, 'X', 0 FROM n;"));
    struct OperadorDelCartel : OperadorGuion {
        QStringList lineas; // what the banner showed each time it let events run
        void DoEvents() override
        {
            // Windows only for the banner: the closing notice, which would
            // wait for a click, goes to the script.
            if (Lbf_CtrlDisplay* v = Cartel().Ventana(); v && v->isVisible()) {
                lineas << v->LblCtrol[1]->text() + u'/' + v->LblCtrol[2]->text();
                ventanas = false;
            }
        }
    };
    auto g = std::make_unique<OperadorDelCartel>();
    OperadorDelCartel* cartel = g.get();
    op = g.get();
    instalaOperador(std::move(g));
    FrmPrincipal f;
    f.Form_Load();
    f.txtRuta->setText(dir.path());
    op->ventanas = true;
    // Should the banner never show, the notice's window is closed instead of waiting.
    QTimer::singleShot(10000, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    EXPECT_TRUE(f.Command1_Click());
    ASSERT_FALSE(cartel->lineas.isEmpty());
    EXPECT_TRUE(cartel->lineas.front().startsWith(u"4096 articulos escritos/"_qs)) << cartel->lineas.join(u'|').toStdString();
    EXPECT_TRUE(cartel->lineas.front().endsWith(u" por segundo"_qs)) << cartel->lineas.join(u'|').toStdString();
    EXPECT_EQ(Cartel().Ventana(), nullptr);
    ASSERT_EQ(op->cuenta(QStringLiteral("Aviso")), 1);
    QFile archivo(dir.path() + QStringLiteral("/productos.txt"));
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(archivo.readAll().count('\n'), 10000);
}

TEST_F(Ventana, CorridaDesatendidaExportaYTermina)
{
    aplicacion::FijaArgumentos({QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN; @ParametroAdicional=1;")});
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO TA_CONFIGURACION VALUES ('DATOS','RUTACOMPARTIDA_COLECTOR','")
                                         + dir.path() + QStringLiteral("',0,NULL);"));
    FrmPrincipal f;
    try {
        f.Form_Load();
        FAIL() << "the unattended run ends the program";
    } catch (const aplicacion::Fin& fin) {
        EXPECT_EQ(fin.codigo, 0);
    }
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/productos.txt")));
    glb::ParametroAdicional.clear();
}

// A wrong password at start: the access dialog (here on the console) is
// asked again; each failed try leaves its action row, a good one goes on.
TEST_F(Ventana, ClaveIncorrectaSeReintentaEnElDialogoDeAcceso)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO TA_USUARIOS (NOMBRE, SISTEMA, Password) VALUES ('JUAN','cn000pr','Secreta');"));
    aplicacion::FijaArgumentos({QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=mala;")});
    // User, password, database, server, platform, button; the first accept
    // registers the connection, so the second try first offers the list.
    for (const QString& v : {u"JUAN"_qs, u"otra"_qs, u"EMP"_qs, u"LOCAL"_qs, u"0"_qs, u"C"_qs, u"0"_qs, u"JUAN"_qs,
                             u"Secreta"_qs, u"EMP"_qs, u"LOCAL"_qs, u"0"_qs, QString()})
        op->valores.push_back(v);
    FrmPrincipal f;
    f.Form_Load();
    EXPECT_TRUE(DB().gOpenFlag);
    EXPECT_EQ(glb::ClaveActual, u"Secreta"_qs);
    EXPECT_TRUE(op->valores.empty());
    QStringList cajas;
    for (const auto& m : op->mostrados)
        if (m.tipo == u"MsgBox")
            cajas << m.titulo;
    EXPECT_EQ(cajas, (QStringList{u"Atencion!"_qs, u"Atencion"_qs}));
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM V_MV_CPTEACCIONES WHERE Tipo_accion = 'A'"), DB().gCnn);
    EXPECT_EQ(rs.Fields(0).Value().toString(), u"1"_qs);

    // Nobody to answer: the dialog counts as cancelled and the run ends.
    ReiniciaInstancias();
    op->valores.clear();
    FrmPrincipal g;
    try {
        g.Form_Load();
        FAIL() << "a cancelled sign-on ends the program";
    } catch (const aplicacion::Fin& fin) {
        EXPECT_EQ(fin.codigo, 1);
    }
}

// The same tries in the window: the dialog shows what failed, three wrong
// passwords end the run with the closing message, an action row each.
TEST_F(Ventana, TresIntentosFallidosEnLaVentanaTerminan)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO TA_USUARIOS (NOMBRE, SISTEMA, Password) VALUES ('JUAN','cn000pr','Secreta');"));
    QFile bases(dir.path() + QStringLiteral("/BASES.TXT")); // registered already: accepting registers nothing
    ASSERT_TRUE(bases.open(QIODevice::WriteOnly));
    bases.write("LOCAL / EMP,EMP,EMP,EMP,LOCAL\r\n");
    bases.close();
    aplicacion::FijaArgumentos({QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=JUAN; @Password=mala;")});
    op->ventanas = true;
    QStringList mostrado;
    prueba::Operario o;
    for (int i = 0; i < 3; ++i)
        o.pasos.push_back([&](VentanaAcceso& d) {
            mostrado << d.TxtUserId->text() + u'/' + d.TxtDbName->text() + u'/' + d.TxtServidor->text();
            prueba::Escribe(d, QStringLiteral("JUAN"), QStringLiteral("otra"), QStringLiteral("EMP"), QStringLiteral("LOCAL"));
            d.bcAceptar->click();
        });
    FrmPrincipal f;
    try {
        f.Form_Load();
        FAIL() << "three wrong tries end the program";
    } catch (const aplicacion::Fin& fin) {
        EXPECT_EQ(fin.codigo, 1);
    }
    EXPECT_EQ(o.vistos, 3);
    EXPECT_EQ(mostrado.value(0), u"JUAN/EMP/LOCAL"_qs);
    ASSERT_FALSE(op->mostrados.empty());
    EXPECT_EQ(op->mostrados.back().texto,
              u"Demasiados intentos para iniciar sesi\u00f3n!\r\nComuniquese con el administrador de sistemas"_qs);
    EXPECT_EQ(prueba::Filas(archivoBase(QStringLiteral("EMP")), QStringLiteral("SELECT COUNT(*) FROM V_MV_CPTEACCIONES")),
              QStringList{u"3"_qs});
}

} // namespace
