#include "access/acceso_prueba.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace {

using prueba::AccesoPrueba;
using prueba::Escribe;
using prueba::Operario;

class Dialogo : public AccesoPrueba {
protected:
    void SetUp() override
    {
        AccesoPrueba::SetUp();
        op->ventanas = true;
        glb::UsuarioActual.clear();
        glb::ClaveActual.clear();
    }
};

// desktop-file-validate's verdict, when the machine has it.
void ValidaEntrada(const QString& archivo)
{
    if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
        return;
    QProcess p;
    p.start(QStringLiteral("desktop-file-validate"), {archivo});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAll().constData();
    EXPECT_TRUE(p.readAll().trimmed().isEmpty());
}

TEST_F(Dialogo, ConectarFijaUsuarioClaveYAceptarYRegistraLaPrimeraConexion)
{
    Operario o;
    o.pasos.push_back([](VentanaAcceso& v) {
        Escribe(v, QStringLiteral("JUAN"), QStringLiteral("s3cr3t"), QStringLiteral("empresa"), QStringLiteral("local"));
        v.bcAceptar->click();
        EXPECT_FALSE(v.isVisible());
    });
    frmAcceso f;
    f.Form_Load();
    f.Mostrar();
    EXPECT_EQ(o.vistos, 1);
    EXPECT_TRUE(f.Aceptar);
    EXPECT_EQ(glb::UsuarioActual, u"JUAN");
    EXPECT_EQ(glb::ClaveActual, u"s3cr3t");
    // No BASES.TXT yet: the connection that opened is registered ...
    EXPECT_EQ(bases(), linea("LOCAL / EMPRESA", "empresa", "local"));
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_NE(DB().gCnn->State(), ado::adStateOpen);
    // ... and the caller reads what was typed, not the list's first entry.
    EXPECT_EQ(f.TxtUserId->text(), u"JUAN");
    EXPECT_EQ(f.TxtUserPassword->text(), u"s3cr3t");
    EXPECT_EQ(f.TxtServidor->text(), u"local");
    EXPECT_EQ(f.TxtDbName->text(), u"empresa");
    // One test connection, closed again.
    EXPECT_EQ(DB().gCnn->fallas().aperturas, 1);
}

// A "Yes" to the connection error box of "Registrar" hides the dialog while
// the values are asked again; what is registered is what then opened.
TEST_F(Dialogo, RegistrarTrasSiRegistraLoQueAbrioYOcultaElDialogo)
{
    InstalaDialogoAcceso();
    escribeBases(linea("OTRO / X", "x", "otro"));
    bool primeraVisible = true;
    QPointer<VentanaAcceso> primera;
    Operario o;
    o.pasos.push_back([&](VentanaAcceso& v) {
        primera = &v;
        Escribe(v, QStringLiteral("sa"), QStringLiteral("s3cr3t"), QStringLiteral("EMPRESA"), QStringLiteral("NINGUNO"));
        // Pressed from the window's own loop: the operator's timer must go on
        // serving the dialogs "Registrar" opens.
        QTimer::singleShot(0, v.CmdRegistrar, &QPushButton::click);
    });
    o.pasos.push_back([&](VentanaAcceso& v) {
        primeraVisible = primera && primera->isVisible();
        Escribe(v, QStringLiteral("EMPRESA"), QStringLiteral("EMPRESA"), QStringLiteral("EMPRESA"), QStringLiteral("LOCAL"));
        v.bcAceptar->click();
    });
    o.pasos.push_back([&](VentanaAcceso& v) {
        EXPECT_EQ(&v, primera.data()); // shown again once "Registrar" is over
        v.bcCancelar->click();
    });
    op->respuestas = {respuesta::Yes};
    frmAcceso f;
    f.Form_Load();
    f.Mostrar();
    EXPECT_EQ(o.vistos, 3);
    EXPECT_FALSE(primeraVisible);
    EXPECT_FALSE(f.Aceptar);
    EXPECT_EQ(bases(), linea("OTRO / X", "x", "otro") + linea("LOCAL / EMPRESA", "EMPRESA", "LOCAL"));
    EXPECT_NE(DB().gCnn->State(), ado::adStateOpen);
}

TEST_F(Dialogo, CancelarYCerrarDejanAceptarFalso)
{
    escribeBases(linea("LOCAL / EMPRESA", "empresa", "local"));
    for (int modo = 0; modo < 2; ++modo) {
        Operario o;
        o.pasos.push_back([modo](VentanaAcceso& v) {
            v.formulario().Aceptar = true; // a stale value must not survive
            if (modo == 0)
                v.bcCancelar->click();
            else
                v.close();
            EXPECT_FALSE(v.isVisible());
        });
        frmAcceso f;
        f.Form_Load();
        f.Mostrar();
        EXPECT_EQ(o.vistos, 1);
        EXPECT_FALSE(f.Aceptar) << modo;
    }
    EXPECT_TRUE(glb::UsuarioActual.isEmpty());
}

TEST_F(Dialogo, RegistrarContraLaBaseEmbebidaAgregaElRegistroYArrancaODBC)
{
    const QString salida = dir.path() + QStringLiteral("/odbc.out");
    prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/ODBC.exe"), salida);
    escribeBases(linea("OTRO / X", "x", "otro"));
    DB().gDBName = QStringLiteral("EMPRESA");
    // The server with its port is the embedded one too.
    QFile ini(dir.path() + QStringLiteral("/servidores.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[LOCAL:1500]\r\nMotor=sqlite\r\nCarpeta=" + dir.path().toLocal8Bit() + "\r\n");
    ini.close();
    frmAcceso f;
    f.Form_Load();
    Escribe(f, QStringLiteral(" JUAN "), QStringLiteral("clave"), QStringLiteral(" empresa "), QStringLiteral(" local:1500 "));
    f.CmdRegistrar_Click();
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_EQ(bases(), linea("OTRO / X", "x", "otro") + linea("LOCAL / EMPRESA", "empresa", "local:1500"));
    EXPECT_EQ(prueba::EsperaArchivo(salida), "Server=local:1500;DB=EMPRESA;\n");
    // The connection is left closed; the list is refilled and shows its first line.
    EXPECT_EQ(f.TxtServidor->text(), u"otro");
    EXPECT_NE(DB().gCnn->State(), ado::adStateOpen);
    ASSERT_EQ(f.lstBases->count(), 2);
    EXPECT_EQ(f.lstBases->itemText(1), u"LOCAL / EMPRESA");

    // The same connection again, in another case and with blanks.
    f.TxtServidor->setText(QStringLiteral("  LOCAL "));
    f.TxtDbName->setText(QStringLiteral("Empresa "));
    const QByteArray antes = bases();
    f.CmdRegistrar_Click();
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].texto, u"La conexion que intenta registrar ya existe ");
    EXPECT_EQ(op->mostrados[0].titulo, u"Atencion");
    EXPECT_EQ(op->mostrados[0].estilo, estilo::Information);
    EXPECT_EQ(bases(), antes);
}

// A program folder carried over from Windows spells BASES.TXT and ODBC.exe
// its own way: both are found, and no second list is started beside it.
TEST_F(Dialogo, ArchivosDeWindowsEnOtraGrafiaSeUsan)
{
    const QString salida = dir.path() + QStringLiteral("/odbc.out");
    prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/odbc.EXE"), salida);
    const QString propia = dir.path() + QStringLiteral("/Bases.txt");
    QFile b(propia);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write(linea("OTRO / X", "x", "otro"));
    b.close();
    DB().gDBName = QStringLiteral("EMPRESA");
    frmAcceso f;
    f.Form_Load();
    ASSERT_EQ(f.lstBases->count(), 1);
    Escribe(f, QStringLiteral("JUAN"), QString(), QStringLiteral("EMPRESA"), QStringLiteral("LOCAL"));
    f.CmdRegistrar_Click();
    EXPECT_TRUE(op->mostrados.empty());
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_EQ(b.readAll(), linea("OTRO / X", "x", "otro") + linea("LOCAL / EMPRESA", "EMPRESA", "LOCAL"));
    EXPECT_FALSE(QFile::exists(rutaBases()));
    EXPECT_EQ(prueba::EsperaArchivo(salida), "Server=LOCAL;DB=EMPRESA;\n");
    EXPECT_EQ(f.lstBases->count(), 2);
}

TEST_F(Dialogo, PuertoVacioSeRecuerdaComo1433)
{
    escribeBases(linea("OTRO / X", "x", "otro"));
    frmAcceso f;
    f.Form_Load();
    Escribe(f, QStringLiteral("JUAN"), QString(), QStringLiteral("EMPRESA"), QStringLiteral("LOCAL"));
    f.TxtPuerto->setText(QString());
    f.CmdRegistrar_Click();
    f.lstBases->setCurrentRow(1);
    f.lstBases->setCurrentRow(0);
    EXPECT_EQ(f.TxtServidor->text(), u"otro");
    EXPECT_EQ(f.TxtPuerto->text(), u"1433");
}

TEST_F(Dialogo, ODBCNoEjecutableNoSeArranca)
{
    const QString salida = dir.path() + QStringLiteral("/odbc.out");
    prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/ODBC.exe"), salida, false);
    frmAcceso f;
    f.Form_Load();
    Escribe(f, QStringLiteral("JUAN"), QString(), QStringLiteral("EMPRESA"), QStringLiteral("LOCAL"));
    f.CmdRegistrar_Click();
    EXPECT_EQ(bases(), linea("LOCAL / EMPRESA", "EMPRESA", "LOCAL"));
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_TRUE(prueba::EsperaArchivo(salida, 300).isEmpty());
}

TEST_F(Dialogo, RegistrarContraUnServidorInalcanzableAvisaYNoEscribe)
{
    // A server of the list reached through FreeTDS on a closed port.
    QFile ini(dir.path() + QStringLiteral("/servidores.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[CAIDO]\r\nServidor=127.0.0.1,1\r\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so\r\n");
    ini.close();
    escribeBases(linea("OTRO / X", "x", "otro"));
    frmAcceso f;
    f.Form_Load();
    Escribe(f, QStringLiteral("sa"), QStringLiteral("s3cr3t"), QStringLiteral("EMPRESA"), QStringLiteral("CAIDO"));
    op->respuestas = {respuesta::No};
    f.CmdRegistrar_Click();
    ASSERT_EQ(op->mostrados.size(), 2u);
    // The fall-back through the shared connection shows the connection box ...
    EXPECT_EQ(op->mostrados[0].titulo, u" Error de Conexion a Base de Datos");
    EXPECT_TRUE(op->mostrados[0].texto.contains(QStringLiteral("para el usuario sa existe")));
    EXPECT_FALSE(op->mostrados[0].texto.contains(QStringLiteral("s3cr3t")));
    // ... and the registration ends with its own notice.
    EXPECT_EQ(op->mostrados[1].texto,
              u"NO SE PUDO CONECTAR AL SERVIDOR CAIDO VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO");
    EXPECT_EQ(op->mostrados[1].titulo, u"AVISO AL OPERADOR");
    EXPECT_EQ(op->mostrados[1].estilo, estilo::Information);
    EXPECT_EQ(bases(), linea("OTRO / X", "x", "otro"));
    EXPECT_FALSE(DB().gOpenFlag);
}

TEST_F(Dialogo, SiLaPruebaFallaRegistraConLosValoresEscritos)
{
    escribeBases(linea("OTRO / X", "x", "otro"));
    frmAcceso f;
    f.Form_Load();
    Escribe(f, QStringLiteral("JUAN"), QStringLiteral("s3cr3t"), QStringLiteral("EMPRESA"), QStringLiteral("LOCAL"));
    // The test connection fails once; the shared connection then opens with the typed values.
    ado::Error e;
    e.Number = ado::E_FAIL;
    e.Description = QStringLiteral("Login failed");
    e.SQLState = QStringLiteral("28000");
    DB().gCnn->fallas().veces = 1;
    DB().gCnn->fallas().error = e;
    f.CmdRegistrar_Click();
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_EQ(DB().gUsuario, u"JUAN");
    EXPECT_EQ(DB().gUserPassWord, u"s3cr3t");
    EXPECT_EQ(bases(), linea("OTRO / X", "x", "otro") + linea("LOCAL / EMPRESA", "EMPRESA", "LOCAL"));
    EXPECT_NE(DB().gCnn->State(), ado::adStateOpen);
}

TEST_F(Dialogo, ComaOSaltoDeLineaSeRehusanSinIntentarConectar)
{
    escribeBases(linea("OTRO / X", "x", "otro"));
    const QByteArray antes = bases();
    frmAcceso f;
    f.Form_Load();
    Escribe(f, QStringLiteral("JUAN"), QString(), QStringLiteral("EMP,RESA"), QStringLiteral("LOCAL"));
    f.CmdRegistrar_Click();
    Escribe(f, QStringLiteral("JUAN"), QString(), QStringLiteral("EMPRESA"), QStringLiteral("LOC\nAL"));
    f.CmdRegistrar_Click();
    ASSERT_EQ(op->mostrados.size(), 2u);
    for (const auto& m : op->mostrados) {
        EXPECT_TRUE(m.texto.startsWith(QStringLiteral("La conexion no se puede registrar: ")));
        EXPECT_TRUE(m.texto.contains(QStringLiteral("tiene comas, comillas o saltos de linea")));
        EXPECT_EQ(m.titulo, u"Atencion");
    }
    // A name the file cannot keep in its code page is refused the same way.
    Escribe(f, QStringLiteral("JUAN"), QString(), QStringLiteral("Łódź"), QStringLiteral("LOCAL"));
    f.CmdRegistrar_Click();
    ASSERT_EQ(op->mostrados.size(), 3u);
    EXPECT_TRUE(op->mostrados[2].texto.contains(QStringLiteral("\"Łódź\" tiene caracteres que BASES.TXT no puede guardar")))
        << op->mostrados[2].texto.toStdString();
    EXPECT_EQ(bases(), antes);
    EXPECT_EQ(DB().gCnn->fallas().aperturas, 0);
}

TEST_F(Dialogo, UnErrorInesperadoAvisaDelArranqueYSigueEnElPaso8)
{
    const QString salida = dir.path() + QStringLiteral("/odbc.out");
    prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/ODBC.exe"), salida);
    // BASES.TXT cannot be read nor appended to: a folder holds its name.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("BASES.TXT")));
    frmAcceso f;
    f.Form_Load();
    Escribe(f, QStringLiteral("JUAN"), QString(), QStringLiteral("EMPRESA"), QStringLiteral("LOCAL"));
    f.CmdRegistrar_Click();
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_TRUE(op->mostrados[0].texto.startsWith(QStringLiteral("SQL Server start failed.  \rSQL-DMO error:   75 ")))
        << op->mostrados[0].texto.toStdString();
    EXPECT_TRUE(op->mostrados[0].titulo.isEmpty());
    EXPECT_EQ(op->mostrados[0].estilo, estilo::OKOnly);
    // It went on: the helper program started, the connection closed, the list refilled.
    EXPECT_EQ(prueba::EsperaArchivo(salida), "Server=LOCAL;DB=;\n");
    EXPECT_NE(DB().gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(f.lstBases->count(), 0);
}

TEST_F(Dialogo, EnterRecorreLasCajasHastaConectar)
{
    frmAcceso f;
    f.Form_Load();
    VentanaAcceso v(f);
    v.show();
    v.activateWindow();
    v.TxtUserId->setFocus();
    QWidget* esperados[] = {v.TxtUserPassword, v.TxtDbName, v.TxtServidor, v.bcAceptar};
    for (QWidget* esperado : esperados) {
        QWidget* actual = v.focusWidget();
        QKeyEvent pulsa(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(actual, &pulsa);
        QKeyEvent suelta(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(actual, &suelta);
        EXPECT_EQ(v.focusWidget(), esperado);
    }
    // Walking never pressed a button.
    EXPECT_FALSE(f.Aceptar);
    EXPECT_TRUE(v.isVisible());
    EXPECT_TRUE(bases().isEmpty());
    // Escape means nothing here; Enter on the focused button presses it.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(v.bcAceptar, &escape);
    EXPECT_TRUE(v.isVisible());
    EXPECT_FALSE(f.Aceptar);
    bool oculto = false;
    QObject::connect(&f, &frmAcceso::ocultado, [&] { oculto = true; });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(v.bcAceptar, &enter);
    EXPECT_TRUE(f.Aceptar);
    EXPECT_TRUE(oculto);
}

// A box reached while it shows its hint has the hint selected once the focus
// has settled, even when the display cleared the selection on the way (as
// the keyboard of a real display does after Enter): typing replaces it.
TEST_F(Dialogo, LaAyudaQuedaElegidaAlLlegarALaCajaYLoEscritoLaReemplaza)
{
    frmAcceso f;
    f.Form_Load();
    f.TxtDbName->setText(QString());
    VentanaAcceso v(f);
    v.show();
    v.activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(v.isActiveWindow());
    v.TxtUserPassword->setFocus();
    QKeyEvent pulsa(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(v.TxtUserPassword, &pulsa);
    ASSERT_EQ(v.focusWidget(), v.TxtDbName);
    v.TxtDbName->deselect();
    QApplication::processEvents();
    EXPECT_EQ(v.TxtDbName->selectedText(), u"ingrese el nombre de la base de datos");
    for (const char* letra : {"E", "M", "P"}) {
        QKeyEvent tecla(QEvent::KeyPress, Qt::Key(letra[0]), Qt::NoModifier, QString::fromLatin1(letra));
        QApplication::sendEvent(v.TxtDbName, &tecla);
    }
    EXPECT_EQ(f.TxtDbName->text(), u"EMP");
    // A box with a value of its own keeps it as it is.
    v.TxtServidor->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(v.TxtDbName->selectedText().isEmpty());
    v.TxtDbName->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(v.TxtDbName->selectedText().isEmpty());
}

// What is chosen or typed on either side shows on the other: the list, the
// boxes, the drop-down, and the list refilled by a registration.
TEST_F(Dialogo, LaVentanaYElFormularioSonLosMismosValores)
{
    escribeBases(linea("OTRO / X", "x", "otro") + linea("SRV\\INST / DB", "db", "srv\\inst:1500"));
    frmAcceso f;
    f.Form_Load();
    VentanaAcceso v(f);
    ASSERT_EQ(v.lstBases->count(), 2);
    EXPECT_EQ(v.lstBases->item(1)->text(), u"SRV\\INST / DB");
    EXPECT_EQ(v.lstBases->currentRow(), 0);
    EXPECT_EQ(v.TxtServidor->text(), u"otro");
    EXPECT_EQ(v.TxtUserId->text(), u"Ingrese el usuario");

    // A line chosen in the window fills the boxes on both sides.
    v.lstBases->setCurrentRow(1);
    EXPECT_EQ(f.lstBases->currentRow(), 1);
    EXPECT_EQ(f.TxtServidor->text(), u"SRV\\INST");
    EXPECT_EQ(v.TxtServidor->text(), u"SRV\\INST");
    EXPECT_EQ(v.TxtPuerto->text(), u"1500");
    EXPECT_EQ(v.TxtDbName->text(), u"db");
    // ... and one chosen by the form shows in the window.
    f.lstBases->setCurrentRow(0);
    EXPECT_EQ(v.lstBases->currentRow(), 0);
    EXPECT_EQ(v.TxtServidor->text(), u"otro");

    // Typing reaches the form; emptying a box brings its hint back, selected.
    v.TxtUserId->setText(QStringLiteral("JUAN"));
    EXPECT_EQ(f.TxtUserId->text(), u"JUAN");
    v.TxtDbName->setText(QString());
    EXPECT_EQ(f.TxtDbName->text(), u"ingrese el nombre de la base de datos");
    EXPECT_EQ(v.TxtDbName->text(), f.TxtDbName->text());
    EXPECT_EQ(v.TxtDbName->selectedText(), f.TxtDbName->text());
    EXPECT_EQ(v.TxtDbName->palette().color(QPalette::Text), QColor(2, 0, 0));

    v.CboPlataformaDB->setCurrentIndex(1);
    EXPECT_EQ(f.CboPlataformaDB->currentIndex(), 1);
    f.CboPlataformaDB->setCurrentIndex(0);
    EXPECT_EQ(v.CboPlataformaDB->currentIndex(), 0);

    // "Registrar" in the window: the list it refills shows there.
    Escribe(v, QStringLiteral("JUAN"), QString(), QStringLiteral("EMPRESA"), QStringLiteral("LOCAL"));
    v.CmdRegistrar->click();
    EXPECT_TRUE(op->mostrados.empty());
    ASSERT_EQ(v.lstBases->count(), 3);
    EXPECT_EQ(v.lstBases->item(2)->text(), u"LOCAL / EMPRESA");
    EXPECT_EQ(v.lstBases->currentRow(), 0);
    EXPECT_EQ(v.TxtServidor->text(), u"otro");
    EXPECT_TRUE(v.isHidden()); // it never showed, and registering does not show it

    // A double click on a line takes it and connects.
    v.lstBases->setCurrentRow(2);
    emit v.lstBases->itemDoubleClicked(v.lstBases->item(2));
    EXPECT_TRUE(f.Aceptar);
    EXPECT_EQ(f.TxtServidor->text(), u"LOCAL");
    EXPECT_EQ(f.TxtDbName->text(), u"EMPRESA");
}

TEST_F(Dialogo, LeyendasAyudasYPosicion)
{
    frmAcceso f;
    f.Form_Load();
    VentanaAcceso v(f);
    EXPECT_EQ(v.windowTitle(), u"Control de Acceso");
    EXPECT_EQ(v.Label1[0]->text(), u"Control de Acceso");
    EXPECT_EQ(v.Label1[1]->text(), u"AUTENTICACION");
    EXPECT_EQ(v.Label1[2]->text(), u"Conexiones registradas");
    EXPECT_EQ(v.TxtUserId->toolTip(), u"Ingrese el nombre de usuario");
    EXPECT_EQ(v.TxtUserPassword->toolTip(), u"Ingrese la contraseña");
    EXPECT_EQ(v.TxtDbName->toolTip(), u"ingrese el nombre de la base de datos");
    EXPECT_EQ(v.TxtServidor->toolTip(), u"ingrese el nombre del servidor e instancia");
    EXPECT_EQ(v.TxtPuerto->toolTip(), u"Ingrese el Puerto ");
    EXPECT_EQ(v.TxtUserPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(v.TxtPuerto->text(), u"1433");
    EXPECT_EQ(v.Label8->text(), frmAcceso::DireccionWeb());
    ASSERT_EQ(v.CboPlataformaDB->count(), 2);
    EXPECT_EQ(v.CboPlataformaDB->itemText(0), u"SQL Server");
    EXPECT_EQ(v.CboPlataformaDB->itemText(1), u"ORACLE");
    EXPECT_EQ(v.bcAceptar->text(), u"Conectar");
    EXPECT_EQ(v.bcCancelar->text(), u"Cancelar");
    EXPECT_EQ(v.CmdRegistrar->text(), u"Registrar");
    EXPECT_EQ(v.CmdLineaComando->text(), u"Crear Acceso Directo");
    EXPECT_EQ(v.Label7->text(), u"TORVO NET");
    // The form's own drop-down: both platforms, the first one chosen.
    ASSERT_EQ(f.CboPlataformaDB->count(), 2);
    EXPECT_EQ(f.CboPlataformaDB->itemText(1), u"ORACLE");
    EXPECT_EQ(f.CboPlataformaDB->currentIndex(), 0);
    const QRect pantalla = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(v.x(), pantalla.x() + (pantalla.width() - v.width()) / 2);
    EXPECT_EQ(v.y(), pantalla.y() + (pantalla.height() - v.height()) / 2);
}

TEST_F(Dialogo, AccesoDirectoEsUnLanzadorEjecutableEnElEscritorio)
{
    QTemporaryDir casa;
    const QByteArray home = qgetenv("HOME"), xdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", casa.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (casa.path() + QStringLiteral("/.config")).toLocal8Bit());
    QDir(casa.path()).mkpath(QStringLiteral(".config"));
    QDir(casa.path()).mkpath(QStringLiteral("Escritorio"));
    QFile dirs(casa.path() + QStringLiteral("/.config/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n");
    dirs.close();
    frmAcceso f;
    f.Form_Load();
    f.CmdLineaComando_Click();
    const QString archivo = frmAcceso::ArchivoAccesoDirecto();
    qputenv("HOME", home);
    if (xdg.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", xdg);
    EXPECT_TRUE(archivo == casa.path() + QStringLiteral("/Escritorio/") + aplicacion::NombreEjecutable() + QStringLiteral(".desktop")
                || archivo == casa.path() + QStringLiteral("/Desktop/") + aplicacion::NombreEjecutable() + QStringLiteral(".desktop"))
        << archivo.toStdString();
    QFile l(archivo);
    ASSERT_TRUE(l.open(QIODevice::ReadOnly));
    const QByteArray bytes = l.readAll();
    // The running program itself, not a name in the program folder.
    EXPECT_EQ(bytes, frmAcceso::TextoAccesoDirecto(aplicacion::Ejecutable()).toUtf8());
    EXPECT_TRUE(bytes.contains("\nExec=\"" + QFile::encodeName(aplicacion::Ejecutable()) + "\"\n")) << bytes.constData();
    EXPECT_TRUE(l.permissions() & QFileDevice::ExeOwner);
    EXPECT_TRUE(op->mostrados.empty());
    ValidaEntrada(archivo);
}

// Any path makes a valid launcher: UTF-8, and the characters the launcher
// reads specially escaped.
TEST_F(Dialogo, ElLanzadorEscapaLaRutaComoPideElFormato)
{
    const QString programa = QStringLiteral("/home/josé/100% \"mío\" $HOME `x` a\\b/verificador");
    const QString texto = frmAcceso::TextoAccesoDirecto(programa);
    EXPECT_EQ(texto, QStringLiteral("[Desktop Entry]\nType=Application\nName=") + aplicacion::NombreEjecutable()
                         + QStringLiteral("\nExec=\"/home/josé/100%% \\\\\"mío\\\\\" \\\\$HOME \\\\`x\\\\` "
                                          "a\\\\\\\\b/verificador\"\nIcon=verificador\nTerminal=false\n"));
    QTemporaryDir carpeta;
    const QString archivo = carpeta.path() + QStringLiteral("/prueba.desktop");
    QFile f(archivo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(texto.toUtf8());
    f.close();
    ValidaEntrada(archivo);
}

} // namespace

namespace {

class Prueba : public prueba::AccesoPrueba {};

TEST_F(Prueba, LaCadenaDeLaPruebaLlegaTalCualAAmbosServidores)
{
    QFile ini(dir.path() + QStringLiteral("/servidores.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[CAIDO]\r\nServidor=127.0.0.1,1\r\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so\r\n");
    ini.close();
    DB_Dll& db = DB();
    frmAcceso f;
    // The embedded server opens it, and the test closes it again.
    EXPECT_TRUE(f.ExisteBaseDeDatos(QStringLiteral("LOCAL"), QStringLiteral("EMPRESA"), QStringLiteral("EMPRESA"),
                                    QStringLiteral("EMPRESA"), QStringLiteral("SQLOLEDB")));
    EXPECT_EQ(db.gCnn->ConnectionString, u"PROVIDER=SQLOLEDB;Server=LOCAL;Database =EMPRESA;UId=EMPRESA;Pwd=EMPRESA;");
    EXPECT_NE(db.gCnn->State(), ado::adStateOpen);
    EXPECT_FALSE(f.ExisteBaseDeDatos(QStringLiteral("LOCAL"), QStringLiteral("NOHAY"), QStringLiteral("NOHAY"),
                                     QStringLiteral("NOHAY"), QStringLiteral("SQLOLEDB")));
    // The ODBC server takes the same string: what fails is reaching the server, not reading the string.
    EXPECT_FALSE(f.ExisteBaseDeDatos(QStringLiteral("CAIDO"), QStringLiteral("EMPRESA"), QStringLiteral("EMPRESA"),
                                     QStringLiteral("EMPRESA"), QStringLiteral("SQLOLEDB")));
    ASSERT_GT(db.gCnn->errors().Count(), 0);
    EXPECT_TRUE(db.gCnn->errors().Item(0).SQLState.startsWith(QStringLiteral("08")))
        << db.gCnn->errors().Item(0).SQLState.toStdString() << " " << db.gCnn->errors().Item(0).Description.toStdString();
    // A shared connection left open is closed first.
    Abre(db, QStringLiteral("EMPRESA"));
    ASSERT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(f.ExisteBaseDeDatos(QStringLiteral("LOCAL"), QStringLiteral("EMPRESA"), QStringLiteral("EMPRESA"),
                                    QStringLiteral("EMPRESA"), QStringLiteral("SQLOLEDB")));
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Prueba, EjecutarCmdRegDBEsperaAlComandoYDaSuResultado)
{
    const QString salida = dir.path() + QStringLiteral("/cmd.out");
    prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/REGDB"), salida);
    frmAcceso f;
    QString err;
    f.EjecutarCmdRegDB(u'"' + dir.path() + QStringLiteral("/REGDB\" uno \"dos tres\""), err);
    EXPECT_EQ(err, u"0");
    EXPECT_EQ(prueba::EsperaArchivo(salida, 0), "uno\ndos tres\n"); // already there: it was waited for
    EXPECT_TRUE(op->mostrados.empty());
    f.EjecutarCmdRegDB(dir.path() + QStringLiteral("/NO_EXISTE"), err);
    EXPECT_EQ(err, u"Error al ejecutar el comando");
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].texto, u"Error al ejecutar el comando");
}

} // namespace
