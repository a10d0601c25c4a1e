// The program run as a process, unattended on the console, against a real
// embedded database: the file it leaves, its exit status and its log.
#include "comun/base_prueba.h"

#include <QProcess>

namespace {

const QString kEsquema = QStringLiteral(
    "CREATE TABLE MA_ARTICULOS (idarticulo TEXT COLLATE NOCASE, CODIGOBARRA TEXT COLLATE NOCASE, DESCRIPCION TEXT COLLATE NOCASE,"
    " SUSPENDIDO INTEGER);"
    "CREATE VIEW V_MA_Articulos AS SELECT * FROM MA_ARTICULOS;"
    "CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE, Valor TEXT COLLATE NOCASE,"
    " PoliticaNegocio INTEGER, ValorAux TEXT COLLATE NOCASE);");

class Exportacion : public prueba::BasePrueba {
protected:
    QString salida; // the export folder, POSIX form

    void SetUp() override
    {
        BasePrueba::SetUp();
        salida = dir.path() + QStringLiteral("/compartida");
        CreaBase(QStringLiteral("EMP"), kEsquema);
        Carpeta(salida);
    }

    void Carpeta(const QString& carpeta)
    {
        CreaBase(QStringLiteral("EMP"), QStringLiteral("DELETE FROM TA_CONFIGURACION; INSERT INTO TA_CONFIGURACION VALUES "
                                                       "('DATOS','RUTACOMPARTIDA_COLECTOR','")
                                             + carpeta + QStringLiteral("',0,NULL);"));
    }

    struct Corrida {
        int estado = -1;
        QString salida;
    };

    Corrida Ejecuta(const QString& parametros)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VERIFICADOR_CARPETA"), dir.path());
        env.insert(QStringLiteral("VERIFICADOR_SERVIDORES"), dir.path() + QStringLiteral("/servidores.ini"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral(VERIFICADOR_EXE), {QStringLiteral("--consola"), parametros});
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError())};
    }

    Corrida Desatendida() { return Ejecuta(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN; @ParametroAdicional=1;")); }

    QByteArray Archivo() const
    {
        QFile f(salida + QStringLiteral("/productos.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no hay archivo>");
    }
};

TEST_F(Exportacion, ArchivoByteAByte)
{
    CreaBase(QStringLiteral("EMP"),
             QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1',NULL,'PAN',0),('A2','  B2 ','  LECHE  ',0),('A3','B3','VINO',1),"
                            "(' A4 ','   ','\u00d1and\u00fa a\u00f1o \u20ac',0),('A5','B5','Uno;dos\r\ntres\t',0),('A6','B6',NULL,0),"
                            "('A7','',' \u014cmega',0),(8,'B8','X',0),('A9','B9','Z',2);"));
    const Corrida c = Desatendida();
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_EQ(Archivo(), QByteArray("A1;A1;PAN;0\r\n"
                                    "B2;A2;LECHE;0\r\n"
                                    "A4;A4;\xD1" "and\xFA" " a\xF1o \x80;0\r\n"
                                    "B5;A5;Uno,dos  tres;0\r\n"
                                    "B6;A6;;0\r\n"
                                    "A7;A7;?mega;0\r\n"
                                    "B8;8;X;0\r\n"));
    EXPECT_TRUE(c.salida.contains(QStringLiteral("Exportado con exito, se guardo en ") + salida + QStringLiteral("\\productos.txt")));
}

TEST_F(Exportacion, ResultadoVacioDaArchivoVacioYLaSegundaCorridaReemplaza)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    EXPECT_EQ(Desatendida().estado, 0);
    EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
    CreaBase(QStringLiteral("EMP"), QStringLiteral("UPDATE MA_ARTICULOS SET SUSPENDIDO = 1;"));
    EXPECT_EQ(Desatendida().estado, 0);
    EXPECT_EQ(Archivo(), QByteArray());
    EXPECT_TRUE(QFileInfo::exists(salida + QStringLiteral("/productos.txt")));
    EXPECT_EQ(QDir(salida).entryList(QDir::Files), QStringList{u"productos.txt"_qs});
}

TEST_F(Exportacion, CarpetaImposibleFallaSinArchivoYQuedaEnElRegistro)
{
    QFile bloqueo(dir.path() + QStringLiteral("/soy_un_archivo"));
    ASSERT_TRUE(bloqueo.open(QIODevice::WriteOnly));
    bloqueo.close();
    salida = bloqueo.fileName() + QStringLiteral("/sub");
    Carpeta(salida);
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const Corrida c = Desatendida();
    EXPECT_NE(c.estado, 0);
    const QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_TRUE(log.contains(QStringLiteral("Rutina: - Command1_Click Mensaje No se pudo crear el archivo "))) << log.toStdString();
    EXPECT_FALSE(c.salida.contains(QStringLiteral("Exportado con exito")));
}

TEST_F(Exportacion, ConsultaFallidaDejaElArchivoAnteriorIntacto)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    ASSERT_EQ(Desatendida().estado, 0);
    CreaBase(QStringLiteral("EMP"), QStringLiteral("DROP VIEW V_MA_Articulos;"));
    const Corrida c = Desatendida();
    EXPECT_NE(c.estado, 0);
    EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
    EXPECT_EQ(QDir(salida).entryList(QDir::Files), QStringList{u"productos.txt"_qs});
    const QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_TRUE(log.contains(QStringLiteral("AbrirRecordset"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Command1_Click"))) << log.toStdString();
}

TEST_F(Exportacion, SinParametrosOBaseInexistenteTerminaConError)
{
    Corrida c = Ejecuta(QStringLiteral("@DbName=EMP; @ParametroAdicional=1;"));
    EXPECT_NE(c.estado, 0);
    EXPECT_TRUE(c.salida.contains(QStringLiteral("Faltan los datos de conexion"))) << c.salida.toStdString();
    c = Ejecuta(QStringLiteral("@Server=LOCAL; @DbName=NOHAY; @Usuario=X; @ParametroAdicional=1;"));
    EXPECT_NE(c.estado, 0);
    EXPECT_TRUE(c.salida.contains(QStringLiteral("No se pudo conectar con la base de datos NOHAY"))) << c.salida.toStdString();
}

TEST_F(Exportacion, SinLaOpcionDesatendidaNoExportaSinOperador)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const Corrida c = Ejecuta(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN; @ParametroAdicional=0;"));
    EXPECT_EQ(c.estado, 2);
    EXPECT_TRUE(c.salida.contains(QStringLiteral("Ruta: ") + salida));
    EXPECT_FALSE(QFileInfo::exists(salida + QStringLiteral("/productos.txt")));
}

} // namespace
