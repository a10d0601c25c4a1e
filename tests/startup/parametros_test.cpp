#include "db/globales.h"
#include "platform/aplicacion.h"
#include "startup/parametros.h"

#include <gtest/gtest.h>

namespace {

class Parametros : public ::testing::Test {
protected:
    void SetUp() override
    {
        glb::UsuarioActual.clear();
        glb::ClaveActual.clear();
        glb::CajaActual = QStringLiteral("1");
        glb::ParametroAdicional.clear();
    }
};

TEST_F(Parametros, CadenaCompletaEnCualquierOrden)
{
    QString conn;
    const auto p = LeeParametros(
        QStringLiteral("@Caja=2; @Password=secreta; @Usuario=JUAN; @DbName=EMPRESA1; @Server=SRV01; @ParametroAdicional=1;"),
        conn);
    EXPECT_EQ(p.Server, u"SRV01");
    EXPECT_EQ(p.DbName, u"EMPRESA1");
    EXPECT_EQ(p.Usuario, u"JUAN");
    EXPECT_EQ(p.Password, u"secreta");
    EXPECT_FALSE(p.EsOracle);
    EXPECT_TRUE(conn.isEmpty());
    EXPECT_EQ(glb::UsuarioActual, u"JUAN");
    EXPECT_EQ(glb::ClaveActual, u"secreta");
    EXPECT_EQ(glb::CajaActual, u"2");
    EXPECT_EQ(glb::ParametroAdicional, u"1");
}

TEST_F(Parametros, CadenaVaciaDejaTodoAusente)
{
    glb::CajaActual = QStringLiteral("7");
    glb::ClaveActual = QStringLiteral("previa");
    QString conn;
    const auto p = LeeParametros(QString(), conn);
    EXPECT_TRUE(p.Server.isEmpty());
    EXPECT_TRUE(p.DbName.isEmpty());
    EXPECT_EQ(glb::CajaActual, u"1");
    EXPECT_TRUE(glb::ParametroAdicional.isEmpty());
    EXPECT_TRUE(glb::UsuarioActual.isEmpty());
    // Without @Password the operator's password is left as it was.
    EXPECT_EQ(glb::ClaveActual, u"previa");
    EXPECT_TRUE(conn.isEmpty());
}

TEST_F(Parametros, ClavesSinDistinguirMayusculasBlancosYFinSinPuntoYComa)
{
    QString conn;
    auto p = LeeParametros(QStringLiteral("@server= SRV01 ; @caja=3;"), conn);
    EXPECT_EQ(p.Server, u"SRV01");
    EXPECT_EQ(glb::CajaActual, u"3");

    LeeParametros(QStringLiteral("@DbName=X; @Caja=3"), conn);
    EXPECT_EQ(glb::CajaActual, u"3");
}

TEST_F(Parametros, UsuarioLogeadoGanaYUsuarioSeEncuentraDentroDeEl)
{
    QString conn;
    auto p = LeeParametros(QStringLiteral("@Usuario=JUAN; @UsuarioLogeado=PEDRO;"), conn);
    EXPECT_EQ(p.Usuario, u"JUAN");
    EXPECT_EQ(glb::UsuarioActual, u"PEDRO");

    // The first match of "@Usuario" is the start of "@UsuarioLogeado": both read PEDRO.
    p = LeeParametros(QStringLiteral("@UsuarioLogeado=PEDRO; @Usuario=JUAN;"), conn);
    EXPECT_EQ(p.Usuario, u"PEDRO");
    EXPECT_EQ(glb::UsuarioActual, u"PEDRO");

    p = LeeParametros(QStringLiteral("@Usuario=JUAN; @UsuarioLogeado= ;"), conn);
    EXPECT_EQ(glb::UsuarioActual, u"JUAN");
}

TEST_F(Parametros, PasswordIgualALaBasePideLaClaveGuardada)
{
    QString conn;
    LeeParametros(QStringLiteral("@DbName=Empresa1; @Password=EMPRESA1;"), conn);
    EXPECT_EQ(glb::ClaveActual, u"* *");
    LeeParametros(QStringLiteral("@DbName=Empresa1; @Password=otra;"), conn);
    EXPECT_EQ(glb::ClaveActual, u"otra");
}

TEST_F(Parametros, ServidorOracleArmaLaCadenaDeConexion)
{
    QString conn;
    const auto p = LeeParametros(QStringLiteral("@Server=#ORCL; @DbName=VENTAS; @Usuario=scott; @Password=tiger;"), conn);
    EXPECT_TRUE(p.EsOracle);
    EXPECT_EQ(p.Server, u"ORCL");
    EXPECT_EQ(conn, u"Provider=OraOLEDB.Oracle.1;Data Source=VENTAS;User Id=scott;Password=tiger;");

    // A connection string already given is kept.
    QString dada = QStringLiteral("Provider=Otro;");
    LeeParametros(QStringLiteral("@Server= #ORCL ;"), dada);
    EXPECT_EQ(dada, u"Provider=Otro;");
}

TEST_F(Parametros, NormalizaServidor)
{
    EXPECT_EQ(NormalizaServidor(QStringLiteral("tcp/SRV01:1433")), u"SRV01");
    EXPECT_EQ(NormalizaServidor(QStringLiteral("SRV01:1433")), u"SRV01");
    EXPECT_EQ(NormalizaServidor(QStringLiteral("SRV01")), u"SRV01");
    EXPECT_EQ(NormalizaServidor(QStringLiteral("SRV01\\SQLEXPRESS")), u"SRV01\\SQLEXPRESS");
    EXPECT_EQ(NormalizaServidor(QStringLiteral("a/b/c:1:2")), u"b/c");
    EXPECT_EQ(NormalizaServidor(QString()), u"");
}

TEST_F(Parametros, CadenaVaciaTomaLaLineaDeComandos)
{
    aplicacion::FijaArgumentos({QStringLiteral("@Server=SRV02;"), QStringLiteral("@Caja=4;")});
    EXPECT_EQ(CadenaParametros(QString()), u"@Server=SRV02; @Caja=4;");
    EXPECT_EQ(CadenaParametros(QStringLiteral("@Caja=5;")), u"@Caja=5;");
    aplicacion::FijaArgumentos({});
}

} // namespace
