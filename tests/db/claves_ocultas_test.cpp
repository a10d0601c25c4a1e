#include "comun/base_prueba.h"
#include "db/registro_errores.h"

namespace {

TEST(ClavesOcultas, LosValoresDePwdYPasswordSeReemplazan)
{
    EXPECT_EQ(OcultaClaves(QStringLiteral("PROVIDER=SQLOLEDB;Server=S;Database =D;UId=u;Pwd=se cre;to")),
              u"PROVIDER=SQLOLEDB;Server=S;Database =D;UId=u;Pwd=****;to");
    EXPECT_EQ(OcultaClaves(QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=X;User Id=u;Password=tiger;")),
              u"Provider=OraOLEDB.Oracle.1;Data Source=X;User Id=u;Password=****;");
    EXPECT_EQ(OcultaClaves(QStringLiteral("DRIVER=x;PWD={a;b}c;UID=u")), u"DRIVER=x;PWD=****c;UID=u");
    EXPECT_EQ(OcultaClaves(QStringLiteral("Jet OLEDB:Database Password=zz;x")), u"Jet OLEDB:Database Password=****;x");
    EXPECT_EQ(OcultaClaves(QStringLiteral("pwd = abc\r\nsigue")), u"pwd =****\r\nsigue");
    EXPECT_EQ(OcultaClaves(QStringLiteral("Pwd=a;Password=b;pwd=")), u"Pwd=****;Password=****;pwd=****");
    // Nothing else changes.
    EXPECT_EQ(OcultaClaves(QStringLiteral("UId=pwd;Server=password")), u"UId=pwd;Server=password");
    EXPECT_EQ(OcultaClaves(QStringLiteral("Contraseña incorrecta")), u"Contraseña incorrecta");
}

class ClavesEnMensajes : public prueba::BasePrueba {};

TEST_F(ClavesEnMensajes, NiLaCajaDeConexionNiSVERRMuestranLaClave)
{
    DB_Dll& db = DB();
    const QString log = dir.path() + QStringLiteral("/SVERR.LOG");
    db.gLogErr = log;
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = db.gUsuario = QStringLiteral("EMPRESA");
    db.gUserPassWord = QStringLiteral("s3cr3t");
    ado::Error e;
    e.Number = ado::E_FAIL;
    e.SQLState = QStringLiteral("28000");
    e.Description = QStringLiteral("Login failed for PROVIDER=SQLOLEDB;Server=LOCAL;UId=EMPRESA;Pwd=s3cr3t;");
    db.gCnn->fallas().veces = 1;
    db.gCnn->fallas().error = e;
    op->respuestas = {respuesta::No};
    db.OpenServerADODB(false, 3, {}, false, true);
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].titulo, u" Error de Conexion a Base de Datos");
    EXPECT_TRUE(op->mostrados[0].texto.contains(QStringLiteral("Descripcion: Login failed for PROVIDER=SQLOLEDB;Server=LOCAL;UId=EMPRESA;Pwd=****;\r")));
    EXPECT_FALSE(op->mostrados[0].texto.contains(QStringLiteral("s3cr3t"))) << op->mostrados[0].texto.toStdString();

    // The error treatment: its box and its log line.
    op->mostrados.clear();
    op->respuestas = {respuesta::Abort};
    db.TratamientoErrores(VbError(-2147467259, QStringLiteral("No se pudo abrir Provider=X;Password=s3cr3t;Data Source=Y")),
                          std::nullopt, QStringLiteral("AbrirRecordset"));
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_TRUE(op->mostrados[0].texto.contains(QStringLiteral("Password=****;Data Source=Y")));
    const QString linea = leeArchivo(log);
    EXPECT_TRUE(linea.contains(QStringLiteral("Password=****;Data Source=Y"))) << linea.toStdString();
    EXPECT_FALSE(linea.contains(QStringLiteral("s3cr3t")));

    // Any line of the log, whoever writes it.
    EXPECT_FALSE(LineaRegistroErrores(QStringLiteral("IniciarAplicacion"), QStringLiteral("cadena Pwd=s3cr3t"), 0)
                     .contains(QStringLiteral("s3cr3t")));
}

TEST_F(ClavesEnMensajes, UnaCadenaMalFormadaNoMuestraSuClave)
{
    DB_Dll& db = DB();
    db.gLogErr = dir.path() + QStringLiteral("/SVERR.LOG");
    op->respuestas = {respuesta::No, respuesta::No};
    db.OpenServerADODB(false, 3, QStringLiteral("PROVIDER=SQLOLEDB;Server=LOCAL;Pwd=s3cr3t;Database"), false, true);
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_FALSE(op->mostrados.empty());
    for (const auto& m : op->mostrados)
        EXPECT_FALSE(m.texto.contains(QStringLiteral("s3cr3t"))) << m.texto.toStdString();
}

} // namespace
