#include "access/acceso_prueba.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace {

using prueba::Escribe;
using prueba::Operario;

// The database layer asks its parameters in the access dialog.
class Parametros : public prueba::AccesoPrueba {
protected:
    void SetUp() override
    {
        AccesoPrueba::SetUp();
        // A registered connection, so that "Conectar" registers nothing.
        escribeBases(linea("OTRO / X", "x", "otro"));
        InstalaDialogoAcceso();
        op->ventanas = true;
    }
};

TEST_F(Parametros, CancelarNoIntentaConectar)
{
    Operario o;
    o.pasos.push_back([](VentanaAcceso& v) { v.bcCancelar->click(); });
    DB_Dll& db = DB();
    db.OpenServerADODB(true, 3, {}, true, true);
    EXPECT_EQ(o.vistos, 1);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->fallas().aperturas, 0);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Parametros, ServidorErroneoMuestraLaCajaYSiPreguntaOtraVez)
{
    DB_Dll& db = DB();
    db.gUsuarioClave = QStringLiteral("previa");
    glb::UsuarioActual = QStringLiteral("JUAN");
    QString claveMostrada, usuarioMostrado;
    Operario o;
    o.pasos.push_back([&](VentanaAcceso& v) {
        claveMostrada = v.TxtUserPassword->text();
        usuarioMostrado = v.TxtUserId->text();
        Escribe(v, QStringLiteral("JUAN"), QStringLiteral("s3cr3t"), QStringLiteral("NOHAY"), QStringLiteral("NINGUNO"));
        v.bcAceptar->click();
    });
    o.pasos.push_back([](VentanaAcceso& v) {
        EXPECT_EQ(v.TxtServidor->text(), u"NINGUNO"); // the values of the failed try are shown again
        Escribe(v, QStringLiteral("EMPRESA"), QStringLiteral("EMPRESA"), QStringLiteral("EMPRESA"), QStringLiteral("LOCAL"));
        v.bcAceptar->click();
    });
    op->respuestas = {respuesta::Yes};
    db.OpenServerADODB(true, 3, {}, false, true);
    EXPECT_EQ(claveMostrada, u"previa");
    EXPECT_EQ(usuarioMostrado, u"JUAN");
    EXPECT_EQ(o.vistos, 2);
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].titulo, u" Error de Conexion a Base de Datos");
    EXPECT_FALSE(op->mostrados[0].texto.contains(QStringLiteral("s3cr3t")));
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db.gConnString, u"PROVIDER=SQLOLEDB;Server=LOCAL;Database =EMPRESA;UId=EMPRESA;Pwd=EMPRESA;");
    EXPECT_EQ(db.gProveedor, u"SQLOLEDB");
    EXPECT_EQ(glb::UsuarioActual, u"EMPRESA");
}

TEST_F(Parametros, PlataformaOracleAgregaUnSoloNumeral)
{
    DB_Dll& db = DB();
    for (const QString& servidor : {QStringLiteral("SRV"), QStringLiteral("SRV#")}) {
        Operario o;
        o.pasos.push_back([&](VentanaAcceso& v) {
            Escribe(v, QStringLiteral("scott"), QStringLiteral("tiger"), QStringLiteral("ORCL"), servidor);
            v.CboPlataformaDB->setCurrentIndex(1);
            v.bcAceptar->click();
        });
        db.OpenServerADODB(true, 3, {}, false, false);
        EXPECT_EQ(o.vistos, 1);
        EXPECT_EQ(db.gServidor, u"SRV#");
        EXPECT_EQ(db.gProveedor, u"OraOLEDB.Oracle.1");
        EXPECT_EQ(db.gConnString, u"Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=scott;Password=tiger;");
        EXPECT_FALSE(db.gOpenFlag); // no such data source here
    }
}

// The first connection of a machine is registered on "Conectar"; the caller
// still gets what was typed, and two connections are opened in all: the
// registration's test and the caller's.
TEST_F(Parametros, LaPrimeraConexionLlegaConLoEscrito)
{
    QFile::remove(rutaBases());
    Operario o;
    o.pasos.push_back([](VentanaAcceso& v) {
        Escribe(v, QStringLiteral("JUAN"), QStringLiteral("s3cr3t"), QStringLiteral("EMPRESA"), QStringLiteral("local"));
        v.bcAceptar->click();
    });
    DB_Dll& db = DB();
    db.gOpenFlag = true; // closed before: no failure of the registration's test
    db.OpenServerADODB(true, 3, {}, false, true);
    EXPECT_EQ(o.vistos, 1);
    EXPECT_EQ(bases(), linea("LOCAL / EMPRESA", "EMPRESA", "local"));
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gUsuario, u"JUAN");
    EXPECT_EQ(db.gUserPassWord, u"s3cr3t");
    EXPECT_EQ(db.gServidor, u"local");
    EXPECT_EQ(db.gDBName, u"EMPRESA");
    EXPECT_EQ(glb::UsuarioActual, u"JUAN");
    EXPECT_EQ(db.gCnn->fallas().aperturas, 2);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Parametros, EnLaConsolaSePreguntaCajaPorCaja)
{
    op->ventanas = false;
    escribeBases(linea("OTRO / X", "x", "otro") + linea("LOCAL / EMPRESA", "EMPRESA", "local"));
    DB_Dll& db = DB();
    db.gUsuarioClave = QStringLiteral("previa");
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = QStringLiteral("EMPRESA");
    // No registered connection chosen, a user, the rest as shown.
    op->valores = {QStringLiteral("0"), QStringLiteral("JUAN"), QString(), QString(), QString(), QStringLiteral("0"), QString()};
    db.OpenServerADODB(true, 3, {}, false, true);
    EXPECT_TRUE(op->valores.empty());
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gUsuario, u"JUAN");
    EXPECT_EQ(db.gUserPassWord, u"previa");
    EXPECT_EQ(glb::ClaveActual, u"previa");
    ASSERT_EQ(op->mostrados.size(), 7u);
    EXPECT_TRUE(op->mostrados[0].titulo.contains(QStringLiteral("\n  2) LOCAL / EMPRESA")));
    EXPECT_EQ(op->mostrados[1].titulo, u"Usuario");
    EXPECT_EQ(op->mostrados[2].titulo, u"Contraseña");
    EXPECT_TRUE(op->mostrados[2].texto.isEmpty()); // the password is never shown
    EXPECT_EQ(op->mostrados[4].texto, u"LOCAL");

    // The second registered connection, chosen by its number, with the Oracle platform.
    db.gCnn->Close();
    op->mostrados.clear();
    op->valores = {QStringLiteral("9"), QStringLiteral("2"), QStringLiteral("JUAN"), QStringLiteral("s3cr3t"), QString(),
                   QString(), QStringLiteral("x"), QStringLiteral("1"), QString()};
    db.OpenServerADODB(true, 3, {}, false, false);
    EXPECT_TRUE(op->valores.empty());
    EXPECT_EQ(db.gServidor, u"local#");
    EXPECT_EQ(db.gConnString, u"Provider=OraOLEDB.Oracle.1;Data Source=EMPRESA;User Id=JUAN;Password=s3cr3t;");

    // Every answer empty: the caller's values, whatever the list holds first.
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = QStringLiteral("EMPRESA");
    db.gUsuarioClave = QStringLiteral("previa");
    glb::UsuarioActual = QStringLiteral("JUAN");
    op->valores = {QString(), QString(), QString(), QString(), QString(), QString(), QString()};
    db.OpenServerADODB(true, 3, {}, false, true);
    EXPECT_TRUE(op->valores.empty());
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gServidor, u"LOCAL");
    EXPECT_EQ(db.gDBName, u"EMPRESA");
    EXPECT_EQ(db.gUsuario, u"JUAN");
    EXPECT_EQ(db.gUserPassWord, u"previa");

    // No answer at all: refused, nothing opened.
    db.gOpenFlag = false;
    const int aperturas = db.gCnn->fallas().aperturas;
    db.OpenServerADODB(true, 3, {}, false, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->fallas().aperturas, aperturas);
}

} // namespace
