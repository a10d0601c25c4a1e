// Opening connections: the server list, the embedded servers, the local
// database files of the Jet providers, servers behind ODBC, and bad input.
#include "entorno_ado.h"
#include "platform/ado/errores_ado.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

using namespace ado;
using prueba::Falla;

namespace {

class Conexion : public ::testing::Test {
protected:
    // Opens and returns the error; the connection's Errors stay readable in cn.
    VbError abre(const QString& cadena)
    {
        return Falla([&] { cn->Open(cadena); });
    }

    prueba::EntornoAdo entorno;
    std::shared_ptr<Connection> cn = Connection::Create();
};

TEST_F(Conexion, AnEmbeddedServerHoldsOneFilePerDatabase)
{
    entorno.creaBase(QStringLiteral("EMPRESA"));
    entorno.creaBase(QStringLiteral("SV_ESTADISTICAS"));
    cn->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=demo;Database =Empresa;UId=Empresa;Pwd=Empresa;"));
    EXPECT_EQ(cn->DefaultDatabase(), u"EMPRESA");
    EXPECT_EQ(cn->Provider(), u"SQLOLEDB");
    cn->Execute(QStringLiteral("CREATE TABLE TA_CONFIGURACION (CLAVE varchar(50), VALOR varchar(200))"));

    cn->setDefaultDatabase(QStringLiteral("sv_estadisticas"));
    EXPECT_EQ(cn->DefaultDatabase(), u"SV_ESTADISTICAS");
    EXPECT_EQ(Falla([&] { cn->Execute(QStringLiteral("SELECT * FROM TA_CONFIGURACION")); }).Number, DB_E_NOTABLE);

    // A database the folder does not hold fails as a server refuses it, and the
    // connection stays on the one it had.
    EXPECT_EQ(Falla([&] { cn->setDefaultDatabase(QStringLiteral("OTRA")); }).Number, E_FAIL);
    EXPECT_EQ(cn->errors().Item(0).NativeError, nativo::BaseInexistente);
    EXPECT_TRUE(cn->errors().Item(0).Description.contains(QLatin1String("Cannot open database")));
    EXPECT_EQ(cn->DefaultDatabase(), u"SV_ESTADISTICAS");
    cn->Close();

    auto otra = Connection::Create();
    const VbError e = Falla([&] { otra->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=DEMO;Database =NOESTA;UId=x;Pwd=x;")); });
    EXPECT_EQ(e.Number, E_FAIL);
    ASSERT_EQ(otra->errors().Count(), 1);
    EXPECT_EQ(otra->errors().Item(0).NativeError, nativo::BaseInexistente);
    EXPECT_EQ(otra->State(), adStateClosed);
}

TEST_F(Conexion, TheServerListNamesFoldersFromTheProgramFolderOrAbsolute)
{
    QDir(entorno.carpeta()).mkpath(QStringLiteral("otra/lugar"));
    QFile::copy(entorno.creaBase(QStringLiteral("EMPRESA")), entorno.carpeta() + QStringLiteral("/otra/lugar/CASA.sqlite"));
    entorno.escribeServidores(QStringLiteral("[Remoto]\nServidor=127.0.0.1,1\n\n  [ local\\SQLEXPRESS ]  \n"
                                             "Motor = SQLite\nCarpeta = %1/otra/lugar\n[Relativo]\nMotor=sqlite\nCarpeta=otra\\lugar\n")
                                  .arg(entorno.carpeta())
                                  .toUtf8());
    cn->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=LOCAL\\sqlexpress;Database =casa;UId=x;Pwd=x;"));
    cn->Close();
    cn->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=relativo;Database =CASA;UId=x;Pwd=x;"));
    EXPECT_EQ(cn->DefaultDatabase(), u"CASA");
}

// The SQLite ODBC driver standing in for a server: it reads the database
// @DbName names as a file of the current folder, and never makes an empty one
// for a name it does not find.
TEST_F(Conexion, AServerBehindTheSqliteOdbcDriverReadsTheNamedFileOfTheCurrentFolder)
{
    const QString base = entorno.creaBase(QStringLiteral("EMPRESA"));
    const QString datos = entorno.carpeta() + QStringLiteral("/actual");
    QDir().mkpath(datos);
    QFile::link(base, datos + QStringLiteral("/EMPRESA"));
    entorno.escribeServidores(
        QStringLiteral("[TIENDA]\nMotor=odbc\nServidor=localhost\nDriver=%1\n").arg(QLatin1String(prueba::kDriverSqliteOdbc)).toUtf8());
    const QString antes = QDir::currentPath();
    QDir::setCurrent(datos);
    cn->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=TIENDA;Database =EMPRESA;UId=x;Pwd=x;"));
    cn->Execute(QStringLiteral("CREATE TABLE T (N int)"));
    cn->Execute(QStringLiteral("INSERT INTO T VALUES (1), (2), (3)"));
    {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT N FROM T ORDER BY N"), cn, adOpenForwardOnly, adLockReadOnly);
        EXPECT_EQ(rs["N"].Value(), Variant(std::int32_t(1)));
        rs.MoveNext();
        EXPECT_EQ(rs["N"].Value(), Variant(std::int32_t(2)));
    }
    cn->Close();
    EXPECT_EQ(abre(QStringLiteral("PROVIDER=SQLOLEDB;Server=TIENDA;Database =OTRA;UId=x;Pwd=x;")).Number, E_FAIL);
    EXPECT_FALSE(QFileInfo::exists(datos + QStringLiteral("/OTRA")));
    QDir::setCurrent(antes);
}

TEST_F(Conexion, AServerListThatCannotBeUsedIsAProviderError)
{
    entorno.creaBase(QStringLiteral("EMPRESA"));
    const QString cadena = QStringLiteral("PROVIDER=SQLOLEDB;Server=DEMO;Database =EMPRESA;UId=x;Pwd=x;");
    const std::pair<QByteArray, const char*> casos[] = {
        {"[DEMO]\nMotor=sqlite\nCarpeta=datos\nesto no es una clave\n", "line 4"},
        {"[DEMO\nMotor=sqlite\n", "line 1"},
        {"[DEMO]\nMotor=sqlite\n", "no Carpeta"},
        {"[DEMO]\nMotor=oracle\nCarpeta=datos\n", "unknown Motor"},
        {QByteArray("\x00\x01\x02[DEMO]", 9), "not a text file"},
        {"[DEMO]\nMotor=sqlite\nCarpeta=no/existe\n", "does not exist"},
    };
    for (const auto& [contenido, motivo] : casos) {
        entorno.escribeServidores(contenido);
        const VbError e = abre(cadena);
        EXPECT_EQ(e.Number, E_FAIL) << motivo;
        EXPECT_TRUE(e.Description.contains(QLatin1String(motivo))) << e.Description.toStdString();
        EXPECT_EQ(cn->errors().Count(), 1);
        EXPECT_EQ(cn->State(), adStateClosed);
    }
    // The list given by the environment is a folder.
    qputenv("VERIFICADOR_SERVIDORES", QFile::encodeName(entorno.carpeta()));
    EXPECT_EQ(abre(cadena).Number, E_FAIL);
    // A FIFO nobody writes to is refused at once, not waited on.
    const QByteArray fifo = QFile::encodeName(entorno.carpeta() + QStringLiteral("/fifo.ini"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    qputenv("VERIFICADOR_SERVIDORES", fifo);
    EXPECT_EQ(abre(cadena).Number, E_FAIL);
}

TEST_F(Conexion, JetFilesReportTheJetStates)
{
    const QString ruta = entorno.creaBase(QStringLiteral("LOCAL"));
    struct Caso {
        QString fuente;
        const char* estado;
    };
    QFile basura(entorno.carpeta() + QStringLiteral("/basura.mdb"));
    basura.open(QIODevice::WriteOnly);
    basura.write(QByteArray(4096, 'x'));
    basura.close();
    const Caso casos[] = {
        {entorno.carpeta() + QStringLiteral("/no_esta.mdb"), "3024"},
        {entorno.carpeta() + QStringLiteral("/basura.mdb"), "3051"},
        {entorno.carpeta(), "3051"},
        {entorno.carpeta() + QStringLiteral("/no/hay/carpeta.mdb"), "3044"},
        {QStringLiteral("C:\\a<b>|.mdb"), "3044"},
    };
    for (const char* proveedor : {"Microsoft.Jet.OLEDB.4.0", "Microsoft.Jet.OLEDB.3.51"})
        for (const Caso& c : casos) {
            const VbError e = abre(QStringLiteral("PROVIDER=%1;Data Source =%2;User ID=admin;Password=;")
                                       .arg(QLatin1String(proveedor), c.fuente));
            EXPECT_EQ(e.Number, E_FAIL);
            ASSERT_EQ(cn->errors().Count(), 1) << c.estado;
            EXPECT_EQ(cn->errors().Item(0).SQLState, QLatin1String(c.estado)) << c.fuente.toStdString();
            EXPECT_FALSE(cn->errors().Item(0).Description.isEmpty());
        }
    // A backslash is a separator in a local path too.
    const qsizetype barra = ruta.lastIndexOf(u'/');
    cn->Open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =%1;").arg(ruta.left(barra) + u'\\' + ruta.mid(barra + 1)));
    cn->Execute(QStringLiteral("CREATE TABLE T (a int)"));
    EXPECT_EQ(cn->Provider(), u"Microsoft.Jet.OLEDB.4.0");
}

TEST_F(Conexion, BadConnectionStringsFailWithANumberAndADescription)
{
    const std::pair<const char*, std::int32_t> casos[] = {
        {"PROVIDER=SQLOLEDB;Server", DB_E_BADINITSTRING},
        {"PROVIDER=SQLOLEDB;=DEMO;", DB_E_BADINITSTRING},
        {"PROVIDER=SQLOLEDB;Server=\"DEMO;Database=x", DB_E_BADINITSTRING},
        {"PROVIDER=NoExiste.1;Data Source=x;", adErrProviderNotFound},
        {"PROVIDER=SQLOLEDB;Database =x;", E_FAIL},
        {"PROVIDER=MSDASQL;Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so;Database=/no/existe.sqlite;", E_FAIL},
        {"PROVIDER=MSDASQL;Driver=/no/hay/driver.so;Database=x;", E_FAIL},
        {"", E_FAIL},
    };
    for (const auto& [cadena, numero] : casos) {
        const VbError e = abre(QString::fromLatin1(cadena));
        EXPECT_EQ(e.Number, numero) << cadena;
        EXPECT_FALSE(e.Description.isEmpty()) << cadena;
        EXPECT_EQ(cn->State(), adStateClosed);
    }
}

TEST_F(Conexion, AServerThatDoesNotAnswerIsAProviderErrorWithItsStateAndNumber)
{
    // Nothing listens on port 1 of the loopback: FreeTDS is refused at once.
    cn->ConnectionTimeout = 2;
    QElapsedTimer reloj;
    reloj.start();
    const VbError e = abre(QStringLiteral("PROVIDER=SQLOLEDB;Server=127.0.0.1,1;Database =EMPRESA;UId=EMPRESA;Pwd=EMPRESA;"));
    EXPECT_EQ(e.Number, E_FAIL);
    ASSERT_GE(cn->errors().Count(), 1);
    const Error& p = cn->errors().Item(0);
    EXPECT_FALSE(p.SQLState.isEmpty());
    EXPECT_NE(p.NativeError, 0);
    EXPECT_EQ(p.Description, e.Description);
    EXPECT_EQ(cn->State(), adStateClosed);
    EXPECT_EQ(Falla([&] { cn->errors().Item(cn->errors().Count()); }).Number, adErrItemNotFound);

    // A name neither listed nor known to the network.
    abre(QStringLiteral("PROVIDER=SQLOLEDB;Server=no-existe.invalid;Database =x;UId=x;Pwd=x;"));
    ASSERT_GE(cn->errors().Count(), 1);
    EXPECT_FALSE(cn->errors().Item(0).SQLState.isEmpty());
}

} // namespace
