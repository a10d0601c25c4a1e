#include "access/acceso_prueba.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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

TEST_F(Dialogo, ConectarFijaUsuarioClaveYAceptarYRegistraLaPrimeraConexion)
{
    Operario o;
    o.pasos.push_back([](frmAcceso& f) {
        Escribe(f, QStringLiteral("JUAN"), QStringLiteral("s3cr3t"), QStringLiteral("empresa"), QStringLiteral("local"));
        f.bcAceptar->click();
    });
    frmAcceso f;
    f.Form_Load();
    f.exec();
    EXPECT_EQ(o.vistos, 1);
    EXPECT_TRUE(f.Aceptar);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(glb::UsuarioActual, u"JUAN");
    EXPECT_EQ(glb::ClaveActual, u"s3cr3t");
    // No BASES.TXT yet: the connection that opened is registered.
    EXPECT_EQ(bases(), linea("LOCAL / EMPRESA", "empresa", "local"));
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_NE(DB().gCnn->State(), ado::adStateOpen);
}

TEST_F(Dialogo, CancelarYCerrarDejanAceptarFalso)
{
    escribeBases(linea("LOCAL / EMPRESA", "empresa", "local"));
    for (int modo = 0; modo < 2; ++modo) {
        Operario o;
        o.pasos.push_back([modo](frmAcceso& f) {
            f.Aceptar = true; // a stale value must not survive
            if (modo == 0)
                f.bcCancelar->click();
            else
                f.close();
        });
        frmAcceso f;
        f.Form_Load();
        f.exec();
        EXPECT_EQ(o.vistos, 1);
        EXPECT_FALSE(f.Aceptar) << modo;
        EXPECT_FALSE(f.isVisible());
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
    EXPECT_EQ(f.lstBases->item(1)->text(), u"LOCAL / EMPRESA");

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
        EXPECT_TRUE(m.texto.contains(QStringLiteral("no pueden contener comas")));
        EXPECT_EQ(m.titulo, u"Atencion");
    }
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
    f.show();
    f.activateWindow();
    f.TxtUserId->setFocus();
    QWidget* esperados[] = {f.TxtUserPassword, f.TxtDbName, f.TxtServidor, f.bcAceptar};
    for (QWidget* esperado : esperados) {
        QWidget* actual = f.focusWidget();
        QKeyEvent pulsa(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(actual, &pulsa);
        QKeyEvent suelta(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(actual, &suelta);
        EXPECT_EQ(f.focusWidget(), esperado);
    }
    // Walking never pressed a button.
    EXPECT_FALSE(f.Aceptar);
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(bases().isEmpty());
}

TEST_F(Dialogo, LeyendasAyudasYPosicion)
{
    frmAcceso f;
    f.Form_Load();
    EXPECT_EQ(f.windowTitle(), u"Control de Acceso");
    EXPECT_EQ(f.Label1[0]->text(), u"Control de Acceso");
    EXPECT_EQ(f.Label1[1]->text(), u"AUTENTICACION");
    EXPECT_EQ(f.Label1[2]->text(), u"Conexiones registradas");
    EXPECT_EQ(f.TxtUserId->toolTip(), u"Ingrese el nombre de usuario");
    EXPECT_EQ(f.TxtUserPassword->toolTip(), u"Ingrese la contraseña");
    EXPECT_EQ(f.TxtDbName->toolTip(), u"ingrese el nombre de la base de datos");
    EXPECT_EQ(f.TxtServidor->toolTip(), u"ingrese el nombre del servidor e instancia");
    EXPECT_EQ(f.TxtPuerto->toolTip(), u"Ingrese el Puerto ");
    EXPECT_EQ(f.TxtUserPassword->echoMode(), QLineEdit::Password);
    ASSERT_EQ(f.CboPlataformaDB->count(), 2);
    EXPECT_EQ(f.CboPlataformaDB->itemText(0), u"SQL Server");
    EXPECT_EQ(f.CboPlataformaDB->itemText(1), u"ORACLE");
    EXPECT_EQ(f.bcAceptar->text(), u"Conectar");
    EXPECT_EQ(f.bcCancelar->text(), u"Cancelar");
    EXPECT_EQ(f.CmdRegistrar->text(), u"Registrar");
    EXPECT_EQ(f.CmdLineaComando->text(), u"Crear Acceso Directo");
    EXPECT_EQ(f.Label7->text(), u"TORVO NET");
    const QRect pantalla = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(f.x(), pantalla.x() + (pantalla.width() - f.width()) / 2);
    EXPECT_EQ(f.y(), pantalla.y() + (pantalla.height() - f.height()) / 2);
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
    const QString texto = QString::fromLocal8Bit(l.readAll());
    const QString programa = dir.path() + u'/' + aplicacion::NombreEjecutable();
    EXPECT_TRUE(texto.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(texto.contains(QStringLiteral("\nType=Application\n")));
    EXPECT_TRUE(texto.contains(QStringLiteral("\nExec=\"") + programa + QStringLiteral("\"\n"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("\nIcon=") + programa + u'\n'));
    EXPECT_TRUE(l.permissions() & QFileDevice::ExeOwner);
    EXPECT_TRUE(op->mostrados.empty());
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
