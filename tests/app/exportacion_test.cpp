// The program run as a process, unattended on the console, against a real
// embedded database: the file it leaves, its exit status and its log.
#include "comun/base_prueba.h"
#include "comun/esquema_ingreso.h"
#include "comun/filas.h"
#include "comun/demo_prueba.h"
#include "comun/proceso.h"
#include "comun/terminal.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <csignal>
#include <cstring>
#include <random>
#include <unistd.h>

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
        CreaBase(QStringLiteral("EMP"), kEsquema + prueba::kEsquemaIngreso);
        Carpeta(salida);
    }

    void Carpeta(const QString& carpeta)
    {
        CreaBase(QStringLiteral("EMP"), QStringLiteral("DELETE FROM TA_CONFIGURACION; INSERT INTO TA_CONFIGURACION VALUES "
                                                       "('DATOS','RUTACOMPARTIDA_COLECTOR','")
                                             + carpeta + QStringLiteral("',0,NULL);"));
    }

    using Corrida = prueba::Corrida;

    // The program as a process, with the changes of entorno (see CambiaEntorno).
    Corrida Corre(const QStringList& argumentos, const QStringList& entorno = {}, const QString& programa = {},
                  const QByteArray& entrada = {})
    {
        return prueba::CorreProceso(programa.isEmpty() ? QStringLiteral(VERIFICADOR_EXE) : programa, argumentos,
                                    Entorno(entorno), entrada);
    }

    QProcessEnvironment Entorno(const QStringList& cambios) const { return prueba::EntornoDePrueba(dir.path(), cambios); }

    Corrida Ejecuta(const QString& parametros) { return Corre({QStringLiteral("--consola"), parametros}); }

    Corrida Desatendida() { return Ejecuta(kDesatendida); }

    // The dynamic loader's record of every library a run opened, taken from
    // the files LD_DEBUG_OUTPUT=<folder>/ld left (and removed).
    QByteArray LibreriasCargadas() const
    {
        QByteArray cargadas;
        for (const QFileInfo& f : QDir(dir.path()).entryInfoList({QStringLiteral("ld.*")}, QDir::Files)) {
            QFile r(f.filePath());
            if (r.open(QIODevice::ReadOnly))
                cargadas += r.readAll();
            r.remove();
        }
        return cargadas;
    }
    QStringList EntornoRastreado() const
    {
        return {QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("LD_DEBUG=files"),
                QStringLiteral("LD_DEBUG_OUTPUT=") + dir.path() + QStringLiteral("/ld")};
    }
    const QString kDesatendida = QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN; @ParametroAdicional=1;");

    // Everything in the export folder, hidden names and links included.
    QStringList Contenido() const
    {
        return QDir(salida).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QStringList Temporales() const
    {
        QStringList t;
        for (const QString& n : Contenido())
            if (n != u"productos.txt" && n != u".productos.txt.lock")
                t << n;
        return t;
    }

    void MuchosArticulos(int n)
    {
        CreaBase(QStringLiteral("EMP"), QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                                                       " INSERT INTO MA_ARTICULOS SELECT 'A' || i, 'B' || i,"
                                                       " 'DESCRIPCION DEL ARTICULO ' || i, 0 FROM n;")
                                            .arg(n));
    }

    // Starts an unattended export and returns once its temporary file exists
    // (false when the run ended first).
    bool ArrancaHastaElTemporal(QProcess& p)
    {
        p.setProcessEnvironment(Entorno({}));
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral(VERIFICADOR_EXE), {QStringLiteral("--consola"), kDesatendida});
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            if (!Temporales().isEmpty())
                return true;
            if (p.state() == QProcess::NotRunning || p.waitForFinished(1))
                return false;
        }
        return false;
    }

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
    EXPECT_TRUE(c.salida.contains(QStringLiteral("Exportado con exito, se guardo en ") + salida + QStringLiteral("/productos.txt")));
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

// A program folder carried over from Windows, its files in their own
// spelling with CR LF ends: the runs use them and start none beside them.
TEST_F(Exportacion, CarpetaDeWindowsConSusArchivosEnOtraGrafia)
{
    const auto escribe = [&](const QString& nombre, const QByteArray& contenido) {
        QFile f(dir.path() + u'/' + nombre);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    };
    escribe(QStringLiteral("CONSULTAS.SLV"), "propias");
    escribe(QStringLiteral("SvErr.Log"), "linea de antes\r\n");
    const Corrida fallida = Ejecuta(QStringLiteral("@Server=LOCAL; @DbName=NOHAY; @Usuario=X; @ParametroAdicional=1;"));
    EXPECT_NE(fallida.estado, 0);
    const QString log = leeArchivo(dir.path() + QStringLiteral("/SvErr.Log"));
    EXPECT_TRUE(log.startsWith(QStringLiteral("linea de antes\r\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("No se pudo conectar con la base de datos NOHAY"))) << log.toStdString();

    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const Corrida c = Desatendida();
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
    EXPECT_EQ(leeArchivo(dir.path() + QStringLiteral("/CONSULTAS.SLV")), u"propias"_qs);
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/consultas.slv")));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/SVERR.LOG")));
}

TEST_F(Exportacion, SinLaOpcionDesatendidaNoExportaSinOperador)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const Corrida c = Ejecuta(QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN; @ParametroAdicional=0;"));
    EXPECT_EQ(c.estado, 2);
    EXPECT_TRUE(c.salida.contains(QStringLiteral("Ruta: ") + salida));
    EXPECT_FALSE(QFileInfo::exists(salida + QStringLiteral("/productos.txt")));
}

// An unattended run waits for nobody when there is no screen to show its
// notice on, whatever the environment says about displays.
TEST_F(Exportacion, DesatendidaTerminaSinPantallaEnTodoEntorno)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const QList<QStringList> entornos{{QStringLiteral("QT_QPA_PLATFORM=offscreen")},
                                      {QStringLiteral("QT_QPA_PLATFORM=minimal")},
                                      {QStringLiteral("DISPLAY=:99")},
                                      {QStringLiteral("DISPLAY=:99"), QStringLiteral("QT_QPA_PLATFORM=xcb")},
                                      {}};
    for (const QStringList& e : entornos) {
        SCOPED_TRACE(e.join(u' ').toStdString());
        QFile::remove(salida + QStringLiteral("/productos.txt"));
        const Corrida c = Corre({kDesatendida}, e);
        EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
        EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
        EXPECT_TRUE(c.normal.contains(QStringLiteral("Exportado con exito"))) << c.salida.toStdString();
    }
}

// A console run loads no graphical platform, whatever the environment says
// when it names no display or only platforms without a screen: no plugin of
// one is mapped, and a clean run writes nothing on standard error (not even
// Qt's warning about a missing XDG_RUNTIME_DIR).
TEST_F(Exportacion, LaConsolaNoCargaPlataformaGraficaNiAvisaNada)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const QList<QStringList> casos{{kDesatendida},
                                   {kDesatendida, QStringLiteral("QT_QPA_PLATFORM=offscreen")},
                                   {kDesatendida, QStringLiteral("QT_QPA_PLATFORM=minimal;offscreen")},
                                   {QStringLiteral("--consola"), kDesatendida, QStringLiteral("DISPLAY=:99")},
                                   {QStringLiteral("--consola"), kDesatendida, QStringLiteral("QT_QPA_PLATFORM=xcb")}};
    for (const QStringList& caso : casos) {
        SCOPED_TRACE(caso.join(u' ').toStdString());
        QStringList argumentos, entorno = EntornoRastreado();
        for (const QString& a : caso)
            (a.contains(u'=') && !a.startsWith(u'@') ? entorno : argumentos) << a;
        QFile::remove(salida + QStringLiteral("/productos.txt"));
        const Corrida c = Corre(argumentos, entorno);
        EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
        EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
        EXPECT_EQ(c.error, QString());
        const QByteArray cargadas = LibreriasCargadas();
        ASSERT_TRUE(cargadas.contains("libQt6Core")) << "no record of the loader";
        EXPECT_FALSE(cargadas.contains("/platforms/")) << "a platform plugin was loaded";
    }
}

// A person at the terminal whose parameters lack the connection data: the
// access dialog asks its questions there, through Qt's core alone, without
// a platform plugin or its warnings. Ending the input refuses the dialog.
TEST_F(Exportacion, EnLaTerminalElAccesoPreguntaSinPlataformaGrafica)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const QStringList argumentos{QStringLiteral("--consola"), QStringLiteral("@Server=LOCAL;")};
    const auto sinAvisos = [](const QByteArray& pantalla) {
        EXPECT_FALSE(pantalla.contains("XDG_RUNTIME_DIR")) << pantalla.constData();
        EXPECT_FALSE(pantalla.contains("QStandardPaths")) << pantalla.constData();
        EXPECT_FALSE(pantalla.contains("qt.qpa")) << pantalla.constData();
    };
    {
        SCOPED_TRACE("input ended");
        const prueba::CorridaTerminal t = prueba::CorreEnTerminal(QStringLiteral(VERIFICADOR_EXE), argumentos,
                                                                  Entorno(EntornoRastreado()), {{"Usuario:", "\x04"}});
        EXPECT_EQ(t.pasos, 1u) << t.pantalla.constData();
        EXPECT_EQ(t.estado, 1) << t.pantalla.constData();
        EXPECT_TRUE(t.pantalla.contains("Faltan los datos de conexion")) << t.pantalla.constData();
        sinAvisos(t.pantalla);
        const QByteArray cargadas = LibreriasCargadas();
        ASSERT_TRUE(cargadas.contains("libQt6Core")) << "no record of the loader";
        EXPECT_FALSE(cargadas.contains("/platforms/")) << "a platform plugin was loaded";
        EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/BASES.TXT")));
    }
    {
        SCOPED_TRACE("answered");
        const std::vector<std::pair<QByteArray, QByteArray>> guion = {
            {"Usuario:", "ADMIN\n"},
            {"Contrase\xc3\xb1" "a:", "\n"},
            {"Base de datos:", "EMP\n"},
            {"Servidor [LOCAL]:", "\n"},
            {"Plataforma (0: SQL Server, 1: ORACLE) [0]:", "\n"},
            {"C: Conectar, X: Cancelar, R: Registrar, A: Crear Acceso Directo [C]:", "\n"},
            {"> ", "\n"},
            {"[Enter] Aceptar", "\n"},
            {"> ", "s\n"}};
        const prueba::CorridaTerminal t = prueba::CorreEnTerminal(QStringLiteral(VERIFICADOR_EXE), argumentos,
                                                                  Entorno(EntornoRastreado()), guion);
        EXPECT_EQ(t.pasos, guion.size()) << t.pantalla.constData();
        EXPECT_EQ(t.estado, 0) << t.pantalla.constData();
        EXPECT_TRUE(t.pantalla.contains("Exportado con exito")) << t.pantalla.constData();
        EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
        sinAvisos(t.pantalla);
        const QByteArray cargadas = LibreriasCargadas();
        ASSERT_TRUE(cargadas.contains("libQt6Core")) << "no record of the loader";
        EXPECT_FALSE(cargadas.contains("/platforms/")) << "a platform plugin was loaded";
        // Accepting registered the first connection of the machine.
        EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/BASES.TXT")).startsWith(QStringLiteral("LOCAL / EMP,EMP,EMP,")));
    }
}

TEST_F(Exportacion, VentanaSinPantallaLoDiceYTerminaConEstado1)
{
    for (const QStringList& e : QList<QStringList>{{}, {QStringLiteral("QT_QPA_PLATFORM=offscreen")}, {QStringLiteral("DISPLAY=:99")}}) {
        SCOPED_TRACE(e.join(u' ').toStdString());
        const Corrida c = Corre({QStringLiteral("--ventana"), QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN;")}, e);
        EXPECT_EQ(c.estado, 1) << c.salida.toStdString();
        EXPECT_TRUE(c.error.contains(QStringLiteral("No hay pantalla disponible"))) << c.salida.toStdString();
    }
    EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"))
                    .contains(QStringLiteral("Rutina: - Main Mensaje No hay pantalla disponible")));
}

// The provider's reason reaches the log and standard error; nothing of it goes
// to standard output, and the run asks nobody.
TEST_F(Exportacion, ConexionFallidaDiceElMotivoEnElRegistroYEnErrores)
{
    QFile rota(dir.path() + QStringLiteral("/ROTA.sqlite"));
    ASSERT_TRUE(rota.open(QIODevice::WriteOnly));
    rota.write(QByteArray(8192, '\x5a'));
    rota.close();
    Corrida c = Ejecuta(QStringLiteral("@Server=LOCAL; @DbName=ROTA; @Usuario=ADMIN; @ParametroAdicional=1;"));
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.error.contains(QStringLiteral("No se pudo conectar con la base de datos ROTA del servidor LOCAL."))) << c.salida.toStdString();
    EXPECT_TRUE(c.error.contains(QStringLiteral("file is not a database"))) << c.salida.toStdString();
    EXPECT_FALSE(c.normal.contains(QStringLiteral("not a database"))) << c.normal.toStdString();
    QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_TRUE(log.contains(QRegularExpression(QStringLiteral("Rutina: - IniciarAplicacion Mensaje No se pudo conectar con la base "
                                                               "de datos ROTA del servidor LOCAL\\. .*file is not a database"))))
        << log.toStdString();

    QFile ini(dir.path() + QStringLiteral("/servidores.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(QByteArray("\x00\xff[[LOCAL\nMotor=\x01", 17));
    ini.close();
    c = Desatendida();
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.error.contains(QStringLiteral("servidores.ini"))) << c.salida.toStdString();
    log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_TRUE(log.contains(QRegularExpression(QStringLiteral("No se pudo conectar con la base de datos EMP del servidor LOCAL\\. .*servidores\\.ini"))))
        << log.toStdString();
}

TEST_F(Exportacion, NombreDeBaseEnormeNoInundaNiElRegistroNiLaTerminal)
{
    // One argument may hold 128 KiB: the parameter string is the arguments joined by blanks.
    QStringList argumentos{QStringLiteral("--consola"), QStringLiteral("@Server=LOCAL; @Usuario=ADMIN; @ParametroAdicional=1; @DbName=")};
    for (int i = 0; i < 11; ++i)
        argumentos << QString(100000, QChar(u'N'));
    argumentos.last() += u';';
    const Corrida c = Corre(argumentos);
    EXPECT_EQ(c.estado, 1);
    EXPECT_LT(c.salida.size(), 20000) << c.salida.left(300).toStdString();
    EXPECT_TRUE(c.error.contains(QStringLiteral("caracteres cortados")));
    const QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    EXPECT_GT(log.size(), 0);
    EXPECT_LT(log.size(), 5000);
}

// However many runs were killed outright, the next one leaves the folder with
// the file alone (and its lock file).
TEST_F(Exportacion, CorridasMatadasNoDejanRestosTrasLaSiguiente)
{
    MuchosArticulos(300000);
    for (int i = 0; i < 3; ++i) {
        QProcess p;
        ASSERT_TRUE(ArrancaHastaElTemporal(p)) << "the export ended before it could be killed";
        p.kill();
        p.waitForFinished();
    }
    // Each run clears what the runs before it left: the last one's remains.
    EXPECT_EQ(Temporales().size(), 1) << Contenido().join(u' ').toStdString();
    // Left by an older version of the program.
    QFile viejo(salida + QStringLiteral("/productos.txt.4242.tmp"));
    ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
    viejo.close();

    const Corrida c = Desatendida();
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_EQ(Contenido(), (QStringList{u".productos.txt.lock"_qs, u"productos.txt"_qs}));
    EXPECT_EQ(Archivo().count('\n'), 300000);
}

// Runs at the same time never clear each other's temporary file, and whoever
// reads the file meanwhile finds a whole one. Each round exports other
// descriptions, so a file is known as the previous round's or this one's.
TEST_F(Exportacion, CorridasSimultaneasTerminanTodasBien)
{
    constexpr int kArticulos = 30000;
    MuchosArticulos(kArticulos);
    const auto esperado = [&](int ronda) {
        QByteArray a;
        for (int i = 1; i <= kArticulos; ++i)
            a += QStringLiteral("B%1;A%1;R%2 DESCRIPCION DEL ARTICULO %1;0\r\n").arg(i).arg(ronda).toLatin1();
        return a;
    };
    QByteArray anterior = "<no hay archivo>";
    for (int ronda = 1; ronda <= 10; ++ronda) {
        SCOPED_TRACE(ronda);
        CreaBase(QStringLiteral("EMP"), QStringLiteral("UPDATE MA_ARTICULOS SET DESCRIPCION = 'R%1 DESCRIPCION DEL ARTICULO ' || substr(idarticulo, 2);")
                                            .arg(ronda));
        const QByteArray nuevo = esperado(ronda);
        std::vector<std::unique_ptr<QProcess>> corridas;
        for (int i = 0; i < 3; ++i) {
            corridas.push_back(std::make_unique<QProcess>());
            corridas.back()->setProcessEnvironment(Entorno({}));
            corridas.back()->setStandardInputFile(QProcess::nullDevice());
            corridas.back()->start(QStringLiteral(VERIFICADOR_EXE), {QStringLiteral("--consola"), kDesatendida});
        }
        int lecturas = 0;
        QElapsedTimer t;
        t.start();
        for (bool activas = true; activas && t.elapsed() < 30000;) {
            const QByteArray visto = Archivo();
            ++lecturas;
            ASSERT_TRUE(visto == anterior || visto == nuevo)
                << "a reader found a part of a file: " << visto.size() << " bytes, " << visto.count('\n') << " lines";
            activas = false;
            for (auto& p : corridas)
                if (p->state() != QProcess::NotRunning && !p->waitForFinished(2))
                    activas = true;
        }
        for (auto& p : corridas) {
            ASSERT_TRUE(p->state() == QProcess::NotRunning || p->waitForFinished(30000));
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        }
        EXPECT_GT(lecturas, 1);
        EXPECT_EQ(Contenido(), (QStringList{u".productos.txt.lock"_qs, u"productos.txt"_qs}));
        ASSERT_EQ(Archivo(), nuevo);
        anterior = nuevo;
    }
}

TEST_F(Exportacion, TermHupEIntBorranElTemporal)
{
    MuchosArticulos(300000);
    for (int senal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(senal);
        // A signal this run ignores (a background job's INT, nohup's HUP) is
        // ignored by the program too.
        struct sigaction actual {};
        if (::sigaction(senal, nullptr, &actual) == 0 && actual.sa_handler == SIG_IGN)
            continue;
        QProcess p;
        ASSERT_TRUE(ArrancaHastaElTemporal(p)) << "the export ended before the signal";
        ::kill(pid_t(p.processId()), senal);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(Temporales(), QStringList()) << Contenido().join(u' ').toStdString();
        EXPECT_FALSE(QFileInfo::exists(salida + QStringLiteral("/productos.txt")));
    }
}

// Links planted in the folder (at the lock file, at the file itself, at the
// names older versions used) never lead the export to another file.
TEST_F(Exportacion, EnlacesPlantadosNoSeSiguen)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    ASSERT_TRUE(QDir().mkpath(salida));
    const QString secreto = dir.path() + QStringLiteral("/secreto.txt"), otro = dir.path() + QStringLiteral("/otro.txt");
    for (const QString& f : {secreto, otro}) {
        QFile s(f);
        ASSERT_TRUE(s.open(QIODevice::WriteOnly));
        s.write("SECRETO");
    }
    ASSERT_TRUE(QFile::link(secreto, salida + QStringLiteral("/.productos.txt.lock")));
    ASSERT_TRUE(QFile::link(otro, salida + QStringLiteral("/productos.txt")));
    for (int pid = 1; pid < 50; ++pid)
        ASSERT_TRUE(QFile::link(secreto, salida + QStringLiteral("/productos.txt.%1.tmp").arg(pid)));

    const Corrida c = Desatendida();
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    for (const QString& f : {secreto, otro}) {
        QFile s(f);
        ASSERT_TRUE(s.open(QIODevice::ReadOnly));
        EXPECT_EQ(s.readAll(), QByteArray("SECRETO")) << f.toStdString();
    }
    EXPECT_FALSE(QFileInfo(salida + QStringLiteral("/productos.txt")).isSymLink());
    EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
    EXPECT_EQ(Contenido(), (QStringList{u".productos.txt.lock"_qs, u"productos.txt"_qs}));
    EXPECT_FALSE(QFileInfo(salida + QStringLiteral("/.productos.txt.lock")).isSymLink());
}

// As schedulers and terminals start it: detached from any terminal, and on a
// pseudo-terminal where a person could be but an unattended run asks nobody.
TEST_F(Exportacion, SinTerminalYEnPseudoterminalLaDesatendidaTermina)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const QString setsid = QStandardPaths::findExecutable(QStringLiteral("setsid"));
    if (!setsid.isEmpty()) {
        const Corrida c = Corre({QStringLiteral("-w"), QStringLiteral(VERIFICADOR_EXE), kDesatendida}, {}, setsid);
        EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
        EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
    }
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        GTEST_SKIP() << "no script(1) for a pseudo-terminal";
    for (const QString& modo : {QStringLiteral("--consola "), QString()}) {
        QFile::remove(salida + QStringLiteral("/productos.txt"));
        const QString orden = QStringLiteral(VERIFICADOR_EXE " ") + modo + u'\'' + kDesatendida + u'\'';
        const Corrida c = Corre({QStringLiteral("-qec"), orden, QStringLiteral("/dev/null")}, {}, script);
        EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
        EXPECT_TRUE(c.salida.contains(QStringLiteral("Exportado con exito"))) << c.salida.toStdString();
        EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
    }
}

// A long export shows its progress on a terminal: one line on standard error
// that rewrites itself (rows written, rows per second), ended by a newline.
// Into a pipe, as a scheduler's log takes it, nothing of it is written.
TEST_F(Exportacion, AvanceEnLaTerminalYNadaEnUnaTuberia)
{
    MuchosArticulos(10000);
    const Corrida c = Desatendida();
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_EQ(c.error, QString());

    QFile::remove(salida + QStringLiteral("/productos.txt"));
    const prueba::CorridaTerminal t =
        prueba::CorreEnTerminal(QStringLiteral(VERIFICADOR_EXE), {QStringLiteral("--consola"), kDesatendida}, Entorno({}), {});
    const QByteArray& pantalla = t.pantalla;
    ASSERT_NE(t.estado, -2) << "the run did not end: " << pantalla.constData();
    EXPECT_EQ(t.estado, 0) << pantalla.constData();
    EXPECT_EQ(Archivo().count('\n'), 10000);
    // The terminal turns "\n" into "\r\n".
    const QRegularExpression avance(QStringLiteral("\r4096 articulos escritos, \\d+ por segundo"
                                                   "(\r\\d+ articulos escritos, \\d+ por segundo *)*"
                                                   "\r10000 articulos escritos, \\d+ por segundo *\r\n"));
    EXPECT_TRUE(avance.match(QString::fromLocal8Bit(pantalla)).hasMatch()) << pantalla.toStdString();
    EXPECT_TRUE(pantalla.contains("Exportado con exito")) << pantalla.constData();
}

// Started with its standard streams closed, as some schedulers do: what it
// prints must not land in the files it opens.
TEST_F(Exportacion, ConLasSalidasCerradasNadaSeEscribeEnSusArchivos)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    const QString cerrado = QStringLiteral("exec \"$0\" \"$@\" <&- >&- 2>&-");
    Corrida c = Corre({QStringLiteral("-c"), cerrado, QStringLiteral(VERIFICADOR_EXE), QStringLiteral("--consola"), kDesatendida}, {},
                      QStringLiteral("/bin/sh"));
    EXPECT_EQ(c.estado, 0);
    EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
    c = Corre({QStringLiteral("-c"), cerrado, QStringLiteral(VERIFICADOR_EXE), QStringLiteral("--consola"),
               QStringLiteral("@Server=LOCAL; @DbName=NOHAY; @Usuario=X; @ParametroAdicional=1;")},
              {}, QStringLiteral("/bin/sh"));
    EXPECT_EQ(c.estado, 1);
    const QStringList lineas = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lineas.size(), 1) << lineas.join(u'|').toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d Rutina: - IniciarAplicacion Mensaje No se pudo "
                                                  "conectar con la base de datos NOHAY"))
                    .match(lineas[0])
                    .hasMatch())
        << lineas[0].toStdString();
}

// A database another writer holds locked: the run waits at most as long as
// its connection allows, and when it gives up the log and standard error say
// why.
TEST_F(Exportacion, BaseBloqueadaPorOtroEscritor)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    sqlite3* otro = nullptr;
    ASSERT_EQ(sqlite3_open(archivoBase(QStringLiteral("EMP")).toUtf8().constData(), &otro), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(otro,
                           "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;"
                           " INSERT INTO MA_ARTICULOS VALUES ('Z9','Z9','OTRO',0);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    QProcess p;
    p.setProcessEnvironment(Entorno({}));
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(VERIFICADOR_EXE), {QStringLiteral("--consola"), kDesatendida});
    p.waitForFinished(1000);
    sqlite3_exec(otro, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(otro);
    ASSERT_TRUE(p.state() == QProcess::NotRunning || p.waitForFinished(60000)) << "the run did not end";
    const QString error = QString::fromLocal8Bit(p.readAllStandardError());
    if (p.exitCode() == 0) {
        EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
        return;
    }
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(error.contains(QStringLiteral("database is locked"))) << error.toStdString();
    EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).contains(QStringLiteral("database is locked")));
}

// A share that fills up, half-way through the file or already full before
// the run: the run fails, says why in one log line, and the previous file
// stays with nothing beside it.
TEST_F(Exportacion, CarpetaLlenaFallaYConservaElArchivoAnterior)
{
    ASSERT_TRUE(QDir().mkpath(salida));
    QProcess montaje;
    montaje.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                            QStringLiteral("size=200k"), QStringLiteral("tmpfs"), salida});
    if (!montaje.waitForFinished(10000) || montaje.exitStatus() != QProcess::NormalExit || montaje.exitCode() != 0)
        GTEST_SKIP() << "a small file system cannot be mounted here";
    struct Desmonta {
        QString carpeta;
        ~Desmonta() { QProcess::execute(QStringLiteral("umount"), {carpeta}); }
    } desmonta{salida};
    {
        QFile previo(salida + QStringLiteral("/productos.txt"));
        ASSERT_TRUE(previo.open(QIODevice::WriteOnly));
        previo.write("VIEJO\r\n");
    }
    MuchosArticulos(100000); // about 4 MB of lines
    for (const bool llena : {false, true}) {
        SCOPED_TRACE(llena ? "full before the run" : "fills up while writing");
        if (llena) {
            // Whatever room is left goes to another file.
            QFile relleno(salida + QStringLiteral("/relleno"));
            ASSERT_TRUE(relleno.open(QIODevice::WriteOnly));
            const QByteArray bloque(4096, 'x');
            while (relleno.write(bloque) == bloque.size() && relleno.flush()) {
            }
        }
        QFile::remove(dir.path() + QStringLiteral("/SVERR.LOG"));
        const Corrida c = Desatendida();
        EXPECT_EQ(c.estado, 1) << c.salida.toStdString();
        EXPECT_TRUE(c.error.contains(QStringLiteral("Disk full ("))) << c.salida.toStdString();
        EXPECT_EQ(Archivo(), QByteArray("VIEJO\r\n"));
        EXPECT_EQ(Temporales(), llena ? QStringList{u"relleno"_qs} : QStringList());
        const QStringList registro = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(registro.size(), 1) << registro.join(u'|').toStdString();
        EXPECT_TRUE(registro[0].contains(QStringLiteral("Command1_Click Mensaje No se pudo crear el archivo "))) << registro[0].toStdString();
        EXPECT_TRUE(registro[0].contains(QStringLiteral("(61) Disk full ("))) << registro[0].toStdString();
    }
}

// A share the program may not write to: the run fails with the reason, the
// previous file stays. Root writes everywhere, so as root the program runs as
// an unprivileged user.
TEST_F(Exportacion, CarpetaSinPermisoDeEscrituraFallaYConservaElArchivo)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    ASSERT_TRUE(QDir().mkpath(salida));
    {
        QFile previo(salida + QStringLiteral("/productos.txt"));
        ASSERT_TRUE(previo.open(QIODevice::WriteOnly));
        previo.write("VIEJO\r\n");
    }
    QStringList argumentos{QStringLiteral("--consola"), kDesatendida};
    QString programa;
    if (::geteuid() == 0) {
        programa = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (programa.isEmpty())
            GTEST_SKIP() << "root writes everywhere and setpriv is missing";
        // The program folder and its database open to that user; the share not.
        const auto todos = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                         | QFileDevice::WriteOther | QFileDevice::ExeOther;
        ASSERT_TRUE(QFile::setPermissions(dir.path(), todos));
        for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
            QFile::setPermissions(dir.path() + u'/' + f, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                                             | QFileDevice::WriteOther);
        argumentos.prepend(QStringLiteral(VERIFICADOR_EXE));
        argumentos = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")}
                   + argumentos;
    } else {
        ASSERT_TRUE(QFile::setPermissions(salida, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const Corrida c = Corre(argumentos, {}, programa);
    QFile::setPermissions(salida, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(c.estado, 1) << c.salida.toStdString();
    EXPECT_TRUE(c.error.contains(QStringLiteral("Permission denied"))) << c.salida.toStdString();
    EXPECT_EQ(Archivo(), QByteArray("VIEJO\r\n"));
    EXPECT_EQ(Contenido(), QStringList{u"productos.txt"_qs});
    const QStringList registro = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(registro.size(), 1) << registro.join(u'|').toStdString();
    EXPECT_TRUE(registro[0].contains(QStringLiteral("No se pudo crear el archivo "))) << registro[0].toStdString();
    EXPECT_TRUE(registro[0].contains(QStringLiteral("(70) Permission denied"))) << registro[0].toStdString();
}

// With a real display (a virtual X server when one is installed) the
// unattended run shows its closing notice and waits for it, as the operator
// started it; with --consola it still ends by itself.
TEST_F(Exportacion, ConPantallaRealElAvisoEsperaYConConsolaNo)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        GTEST_SKIP() << "no Xvfb for a real display";
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO MA_ARTICULOS VALUES ('A1','B1','PAN',0);"));
    int n = 60 + int(::getpid() % 200);
    while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) || QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
        ++n;
    QProcess servidor;
    servidor.start(xvfb, {QStringLiteral(":%1").arg(n), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    struct Para {
        QProcess& p;
        ~Para()
        {
            p.terminate();
            if (!p.waitForFinished(5000))
                p.kill();
        }
    } para{servidor};
    QElapsedTimer t;
    t.start();
    while (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) && t.elapsed() < 10000 && servidor.state() != QProcess::NotRunning)
        servidor.waitForFinished(20);
    if (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
        GTEST_SKIP() << "Xvfb did not start";
    const QString pantalla = QStringLiteral("DISPLAY=:%1").arg(n);

    Corrida c = Corre({QStringLiteral("--consola"), kDesatendida}, {pantalla});
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));

    // The window, whether the platform is left to the program or named,
    // alone or with its options.
    for (const QString& plataforma : {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("QT_QPA_PLATFORM=xcb"),
                                      QStringLiteral("QT_QPA_PLATFORM=xcb:display=:%1").arg(n)}) {
        SCOPED_TRACE(plataforma.toStdString());
        QFile::remove(salida + QStringLiteral("/productos.txt"));
        QProcess p;
        p.setProcessEnvironment(Entorno({pantalla, plataforma}));
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral(VERIFICADOR_EXE), {kDesatendida});
        t.restart();
        while (!QFileInfo::exists(salida + QStringLiteral("/productos.txt")) && t.elapsed() < 20000 && !p.waitForFinished(20)) {
        }
        EXPECT_EQ(Archivo(), QByteArray("B1;A1;PAN;0\r\n"));
        EXPECT_FALSE(p.waitForFinished(500)) << "the notice did not wait: " << p.readAll().toStdString();
        p.kill();
        p.waitForFinished();
    }
}

// Killed outright at any moment of an export of the generated database: the
// file is then the previous one or the whole new one, never a part, and the
// next run leaves no temporary file. The moments are random within a whole
// run's length; the seed is printed (VERIFICADOR_SEMILLA repeats a run).
// Its own ctest entry, labelled "lenta", carries a time limit.
class ExportacionMatada : public Exportacion {};

TEST_F(ExportacionMatada, SigkillEnVeinteMomentosDejaElArchivoAnteriorOElNuevoEntero)
{
    constexpr int kArticulos = 200000;
    prueba::GeneraDemo(dir.path(), kArticulos);
    CreaBase(QStringLiteral("DEMO"), QStringLiteral("UPDATE TA_CONFIGURACION SET Valor = '") + salida
                                         + QStringLiteral("' WHERE Clave = 'RUTACOMPARTIDA_COLECTOR';"));
    ASSERT_TRUE(QDir().mkpath(salida));
    const QString parametros = QStringLiteral("@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=DEMO; @ParametroAdicional=1;");

    // One whole run: the new file, and when the export writes it (from its
    // temporary file's creation to the end of the run).
    QElapsedTimer reloj;
    int desde = -1, hasta = -1;
    {
        QProcess p;
        p.setProcessEnvironment(Entorno({}));
        p.setStandardInputFile(QProcess::nullDevice());
        reloj.start();
        p.start(QStringLiteral(VERIFICADOR_EXE), {QStringLiteral("--consola"), parametros});
        while (p.state() != QProcess::NotRunning && !p.waitForFinished(1) && reloj.elapsed() < 30000)
            if (desde < 0 && !Temporales().isEmpty())
                desde = int(reloj.elapsed());
        hasta = int(reloj.elapsed());
        ASSERT_EQ(p.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(p.exitCode(), 0) << p.readAll().toStdString();
    }
    ASSERT_GE(desde, 0) << "the temporary file was never seen";
    const QByteArray nuevo = Archivo();
    int esperadas = 0;
    demo::Articulo a;
    for (int n = 1; n <= kArticulos; ++n) {
        demo::ArticuloDemo(n, a);
        esperadas += a.suspendido ? 0 : 1;
    }
    ASSERT_EQ(nuevo.count("\r\n"), esperadas);
    ASSERT_EQ(nuevo.count('\n'), esperadas);
    ASSERT_EQ(nuevo.count('\r'), esperadas);
    ASSERT_TRUE(nuevo.endsWith(";0\r\n"));

    const QByteArray semilla = qgetenv("VERIFICADOR_SEMILLA");
    const unsigned s = semilla.isEmpty() ? std::random_device{}() : unsigned(semilla.toULong());
    std::printf("VERIFICADOR_SEMILLA=%u; the export writes from %d to %d ms of a run\n", s, desde, hasta);
    RecordProperty("semilla", std::to_string(s));
    std::mt19937 azar(s);
    // Most kills come at a moment of the writing, counted from the creation of
    // the run's temporary file (so a slower or faster machine meanwhile still
    // hits it), the end and the rename included; some come during the start-up.
    std::bernoulli_distribution enElInicio(0.2);
    std::uniform_int_distribution<int> inicio(0, desde), escritura(0, (hasta - desde) * 3 / 2);

    const QByteArray viejo = "VIEJO;VIEJO;EL ARCHIVO ANTERIOR;0\r\n";
    int anteriores = 0, nuevos = 0, terminadas = 0, aMedias = 0;
    for (int i = 0; i < 20; ++i) {
        const bool temprano = enElInicio(azar);
        const int ms = temprano ? inicio(azar) : escritura(azar);
        SCOPED_TRACE(QStringLiteral("kill %1, %2 ms after the %3").arg(i).arg(ms).arg(temprano ? u"start"_qs : u"file's creation"_qs).toStdString());
        {
            QFile f(salida + QStringLiteral("/productos.txt"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(viejo);
        }
        const QStringList restos = Temporales();
        const auto nuevoTemporal = [&] {
            for (const QString& t : Temporales())
                if (!restos.contains(t))
                    return true;
            return false;
        };
        QProcess p;
        p.setProcessEnvironment(Entorno({}));
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral(VERIFICADOR_EXE), {QStringLiteral("--consola"), parametros});
        ASSERT_TRUE(p.waitForStarted());
        reloj.restart();
        if (!temprano)
            while (!nuevoTemporal() && p.state() != QProcess::NotRunning && !p.waitForFinished(1) && reloj.elapsed() < 30000) {
            }
        if (p.state() == QProcess::NotRunning || p.waitForFinished(ms)) {
            ++terminadas;
        } else {
            ::kill(pid_t(p.processId()), SIGKILL);
            ASSERT_TRUE(p.waitForFinished(10000));
        }
        aMedias += nuevoTemporal() ? 1 : 0;
        const QByteArray visto = Archivo();
        if (visto == viejo) {
            ++anteriores;
        } else {
            ++nuevos;
            EXPECT_EQ(visto.count("\r\n"), esperadas);
            EXPECT_TRUE(visto == nuevo) << "a part of a file: " << visto.size() << " bytes of " << nuevo.size();
        }
        // The run clears what the killed one before it left: its own at most.
        EXPECT_LE(Temporales().size(), 1) << Contenido().join(u' ').toStdString();
    }
    std::printf("%d kept the previous file, %d had the new one whole; %d killed while writing, %d ended before the kill\n",
                anteriores, nuevos, aMedias, terminadas);
    EXPECT_GT(aMedias, 0) << "no kill came while the file was written";

    const Corrida c = Ejecuta(parametros);
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_EQ(Contenido(), (QStringList{u".productos.txt.lock"_qs, u"productos.txt"_qs}));
    EXPECT_TRUE(Archivo() == nuevo);
}

// verificador --consulta: the choice is typed on standard input, the value
// comes out on standard output.
class ConsultaComando : public Exportacion {
protected:
    void SetUp() override
    {
        Exportacion::SetUp();
        CreaBase(QStringLiteral("EMP"),
                 QStringLiteral("CREATE TABLE TA_VENDEDORES (IDVENDEDOR TEXT COLLATE NOCASE, NOMBRE TEXT COLLATE NOCASE);"
                                "CREATE VIEW V_TA_VENDEDORES AS SELECT NOMBRE, IDVENDEDOR FROM TA_VENDEDORES;"
                                "INSERT INTO TA_VENDEDORES VALUES ('1', 'Carlos Muñoz'), ('2', 'Verónica Sáenz'), ('3', 'Jorge Ibarra');"
                                "CREATE TABLE TA_FAMILIAS (IdFamilia TEXT COLLATE NOCASE, Descripcion TEXT COLLATE NOCASE);"
                                "CREATE VIEW V_TA_FAMILIAS AS SELECT IdFamilia, Descripcion FROM TA_FAMILIAS;"
                                "INSERT INTO TA_FAMILIAS VALUES ('01', 'Almacen'), ('0101', 'Infusiones'), ('02', 'Lacteos'),"
                                " ('0201', 'Leches');"));
    }

    const QString kParametros = QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN;");

    Corrida Consulta(const QStringList& argumentos, const QByteArray& entrada, const QStringList& entorno = {})
    {
        return Corre(argumentos + QStringList{kParametros}, entorno, {}, entrada);
    }
};

TEST_F(ConsultaComando, EligeUnaFilaEscribiendo)
{
    // The standard definition of V_TA_VENDEDORES searches by NOMBRE; the key is the last column.
    Corrida c = Consulta({QStringLiteral("--consulta"), QStringLiteral("v_ta_vendedores")}, "jor\n\n");
    EXPECT_EQ(c.estado, 0) << c.error.toStdString();
    EXPECT_EQ(c.normal, u"3\n"_qs);
    EXPECT_TRUE(c.error.contains(u"Jorge Ibarra"_qs)) << c.error.toStdString();
    // The start-up wrote the standard definitions on the way.
    EXPECT_EQ(QFileInfo(dir.path() + u"/consultas.slv"_qs).size(), 13222);

    c = Consulta({QStringLiteral("--consulta"), QStringLiteral("V_TA_VENDEDORES"), QStringLiteral("--campo"), QStringLiteral("NOMBRE")},
                 "ver\n\n");
    EXPECT_EQ(c.estado, 0) << c.error.toStdString();
    EXPECT_EQ(c.normal, u"Verónica Sáenz\n"_qs);
}

TEST_F(ConsultaComando, SinEleccionTerminaConUno)
{
    Corrida c = Consulta({QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_VENDEDORES")}, "jor\n");
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.normal.isEmpty());
    c = Consulta({QStringLiteral("--consulta"), QString()}, "\n");
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.error.contains(u"--consulta"_qs));
}

// A script tells a miss from a hit: when the last text typed leads to no
// row, nothing is printed and the status is 1, whatever row was selected.
TEST_F(ConsultaComando, TextoSinFilaNoEligeNada)
{
    for (const QByteArray& entrada : {QByteArray("zzz\n\n"), QByteArray("jor\nzzz\n\n")}) {
        SCOPED_TRACE(entrada.constData());
        const Corrida c = Consulta({QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_VENDEDORES")}, entrada);
        EXPECT_EQ(c.estado, 1) << c.error.toStdString();
        EXPECT_TRUE(c.normal.isEmpty()) << c.normal.toStdString();
        EXPECT_TRUE(c.error.contains(u"> ninguna fila empieza con \"zzz\"\n"_qs)) << c.error.toStdString();
        EXPECT_TRUE(c.error.endsWith(u"Ninguna fila empieza con \"zzz\": no se elige nada.\n"_qs)) << c.error.toStdString();
    }
    // A later text that leads to a row chooses again.
    const Corrida c = Consulta({QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_VENDEDORES")},
                               "zzz\njor\n\n");
    EXPECT_EQ(c.estado, 0) << c.error.toStdString();
    EXPECT_EQ(c.normal, u"3\n"_qs);
    // The tree the same.
    const Corrida t = Consulta({QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_FAMILIAS")}, "lech\nqqq\n\n");
    EXPECT_EQ(t.estado, 1) << t.error.toStdString();
    EXPECT_TRUE(t.normal.isEmpty()) << t.normal.toStdString();

    // At a terminal.
    const prueba::CorridaTerminal e = prueba::CorreEnTerminal(
        QStringLiteral(VERIFICADOR_EXE),
        {QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_VENDEDORES"), kParametros},
        Entorno({}), {{"", "jor\n"}, {"> Jorge", "zzz\n"}, {"> ninguna fila", "\n"}});
    EXPECT_EQ(e.estado, 1) << e.pantalla.constData();
    EXPECT_TRUE(e.pantalla.endsWith("Ninguna fila empieza con \"zzz\": no se elige nada.\r\n")) << e.pantalla.constData();
}

// Without --campo the value is the record's key, whatever column the lookup
// shows last; the key is shown even when the lookup's definition leaves it out.
TEST_F(ConsultaComando, SinCampoImprimeLaClaveDelRegistro)
{
    prueba::GeneraDemo(dir.path(), 5);
    const QString demo = QStringLiteral("@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=DEMO;");
    const struct {
        QString tabla;
        QByteArray entrada;
        QString valor, fila;
    } casos[] = {
        // The definition shows RAZON_SOCIAL, CODIGO, CONTACTO.
        {u"VT_CLIENTES"_qs, "pana\n\n", u"C0002\n"_qs, u"> Panadería La Espiga | C0002 | Inés Núñez\n"_qs},
        // The definition shows name, address, town and phone.
        {u"MA_CONTACTOS"_qs, "mart\n\n", u"3\n"_qs, u"> Martín Ruiz | Ruta 9 km 12 | Tucumán | 0381-4001122 | 3\n"_qs},
        // No definition: the automatic columns begin with the key (the box
        // typed in) and end with the description.
        {u"V_TA_RUBROS"_qs, "2\n\n", u"2\n"_qs, u"> 2 | Bebidas\n"_qs},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.tabla.toStdString());
        const Corrida c = Corre({QStringLiteral("--consola"), QStringLiteral("--consulta"), caso.tabla, demo}, {}, {}, caso.entrada);
        EXPECT_EQ(c.estado, 0) << c.error.toStdString();
        EXPECT_EQ(c.normal, caso.valor);
        EXPECT_EQ(c.error, caso.fila);
    }
    // A table with no code column asks for the column.
    CreaBase(QStringLiteral("DEMO"), QStringLiteral("CREATE TABLE T_NOTAS (TEXTO VARCHAR(20)); INSERT INTO T_NOTAS VALUES ('hola');"));
    const Corrida c = Corre({QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("T_NOTAS"), demo}, {}, {}, "\n");
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.normal.isEmpty());
    EXPECT_TRUE(c.error.contains(u"--campo"_qs)) << c.error.toStdString();
}

TEST_F(ConsultaComando, FamiliasEnArbol)
{
    Corrida c = Consulta({QStringLiteral("--consulta"), QStringLiteral("V_TA_FAMILIAS")}, "lech\n\n");
    EXPECT_EQ(c.estado, 0) << c.error.toStdString();
    EXPECT_EQ(c.normal, u"0201\n"_qs);
}

// Driven on its form, the console lookup starts no graphical platform: no
// platform plugin is loaded, and standard error holds only the rows the
// typing led to.
TEST_F(ConsultaComando, EnUnaTuberiaSinPlataformaGrafica)
{
    const std::pair<QString, QByteArray> casos[] = {{QStringLiteral("V_TA_VENDEDORES"), "zz\njor\n\n"},
                                                    {QStringLiteral("V_TA_FAMILIAS"), "lech\n\n"}};
    const QString esperadas[][2] = {{u"3\n"_qs, u"> ninguna fila empieza con \"zz\"\n> Jorge Ibarra | 3\n"_qs},
                                    {u"0201\n"_qs, u"> 0201 - Leches\n"_qs}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(casos[i].first.toStdString());
        const Corrida c = Consulta({QStringLiteral("--consola"), QStringLiteral("--consulta"), casos[i].first}, casos[i].second,
                                   EntornoRastreado());
        EXPECT_EQ(c.estado, 0) << c.error.toStdString();
        EXPECT_EQ(c.normal, esperadas[i][0]);
        EXPECT_EQ(c.error, esperadas[i][1]);
        const QByteArray cargadas = LibreriasCargadas();
        ASSERT_TRUE(cargadas.contains("libQt6Core")) << "no record of the loader";
        EXPECT_FALSE(cargadas.contains("/platforms/")) << "a platform plugin was loaded";
    }
    // The input ending before a choice cancels, with nothing on standard output.
    const Corrida c = Consulta({QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_FAMILIAS")},
                               "lech\n", EntornoRastreado());
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.normal.isEmpty()) << c.normal.toStdString();
    EXPECT_EQ(c.error, u"> 0201 - Leches\n"_qs);
    EXPECT_FALSE(LibreriasCargadas().contains("/platforms/"));
}

// A person at a terminal types, sees the row each line leads to, and gets the
// value on a line of its own.
TEST_F(ConsultaComando, EnUnaTerminalEligeEscribiendo)
{
    const prueba::CorridaTerminal t = prueba::CorreEnTerminal(
        QStringLiteral(VERIFICADOR_EXE),
        {QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_VENDEDORES"), kParametros},
        Entorno(EntornoRastreado()), {{"", "ver\n"}, {"> Ver", "\n"}});
    EXPECT_EQ(t.estado, 0) << t.pantalla.constData();
    // The terminal turns "\n" into "\r\n".
    EXPECT_TRUE(t.pantalla.contains(QStringLiteral("> Verónica Sáenz | 2\r\n").toLocal8Bit())) << t.pantalla.constData();
    EXPECT_TRUE(t.pantalla.endsWith("\r\n2\r\n")) << t.pantalla.constData();
    EXPECT_FALSE(t.pantalla.contains("XDG_RUNTIME_DIR")) << t.pantalla.constData();
    EXPECT_FALSE(LibreriasCargadas().contains("/platforms/")) << "a platform plugin was loaded";

    const prueba::CorridaTerminal cancelada = prueba::CorreEnTerminal(
        QStringLiteral(VERIFICADOR_EXE),
        {QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_FAMILIAS"), kParametros},
        Entorno(EntornoRastreado()), {{"", "lech\n"}, {"> 0201 - Leches\r\n", "\x04"}});
    EXPECT_EQ(cancelada.estado, 1) << cancelada.pantalla.constData();
    EXPECT_TRUE(cancelada.pantalla.contains("> 0201 - Leches\r\n")) << cancelada.pantalla.constData();
    EXPECT_FALSE(cancelada.pantalla.contains("XDG_RUNTIME_DIR")) << cancelada.pantalla.constData();
    EXPECT_FALSE(LibreriasCargadas().contains("/platforms/")) << "a platform plugin was loaded";
}

// Signing on against the generated demo database: the access row of a good
// run, and the runs that end before exporting.
class IngresoDemo : public Exportacion {
protected:
    void SetUp() override
    {
        Exportacion::SetUp();
        prueba::GeneraDemo(dir.path(), 30);
        CreaBase(QStringLiteral("DEMO"), QStringLiteral("UPDATE TA_CONFIGURACION SET Valor = '") + salida
                                             + QStringLiteral("' WHERE Clave = 'RUTACOMPARTIDA_COLECTOR';"));
        QDir().mkpath(salida);
    }
    Corrida Demo(const QString& usuario, const QString& clave)
    {
        return Ejecuta(QStringLiteral("@Server=LOCAL; @DbName=DEMO; @Usuario=%1; @Password=%2; @ParametroAdicional=1;")
                           .arg(usuario, clave));
    }
    QStringList Filas(const QString& sql) { return prueba::Filas(archivoBase(QStringLiteral("DEMO")), sql); }
    QStringList Accesos()
    {
        return Filas(QStringLiteral("SELECT Maquina, Usuario, Formulario, NombreUsuario FROM Control_Acceso"));
    }
};

TEST_F(IngresoDemo, OperadorValidoExportaYDejaUnaFilaDeAcceso)
{
    // The marker: @Password equal to the database name takes the stored password.
    Corrida c = Demo(QStringLiteral("ADMIN"), QStringLiteral("DEMO"));
    ASSERT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_TRUE(Archivo().startsWith("779")) << Archivo().left(80).constData();
    const QString maquina = QSysInfo::machineHostName().trimmed().toUpper();
    EXPECT_EQ(Accesos(), QStringList{maquina + u"|ADMIN|VERIFICADOR|ADMIN"_qs});
    const QStringList ingreso = Filas(QStringLiteral("SELECT Ingreso FROM Control_Acceso"));
    ASSERT_EQ(ingreso.size(), 1);
    // Written as "dd/mm/yy hh:nn", kept by the date column in its sortable form.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d")).match(ingreso[0]).hasMatch())
        << ingreso[0].toStdString();
    EXPECT_EQ(ingreso[0].left(10), QDate::currentDate().toString(Qt::ISODate));
    EXPECT_TRUE(Filas(QStringLiteral("SELECT * FROM V_MV_CPTEACCIONES")).isEmpty());

    // The typed password, in another case.
    c = Demo(QStringLiteral("admin"), QStringLiteral("demo"));
    ASSERT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_EQ(Accesos().value(1), maquina + u"|ADMIN|VERIFICADOR|admin"_qs);
}

// The operator's task is the menu entry of the program (ADMIN has VERIFICADOR).
TEST_F(IngresoDemo, TareaDelMenuEnLaFilaDeAcceso)
{
    const Corrida c = Demo(QStringLiteral("ADMIN"), QStringLiteral("DEMO"));
    ASSERT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_EQ(Filas(QStringLiteral("SELECT Tarea FROM Control_Acceso")), QStringList{u"VERIFICADOR DE PRECIOS"_qs});
}

// A wrong password, an unknown operator or a name that tries to change the
// statement: status 1 at once, a log line, nothing exported, no access row,
// and the typed password nowhere.
TEST_F(IngresoDemo, IngresoFallidoTerminaSinExportar)
{
    QFile previo(salida + QStringLiteral("/productos.txt"));
    ASSERT_TRUE(previo.open(QIODevice::WriteOnly));
    previo.write("previo\r\n");
    previo.close();
    const QString clave = QStringLiteral("ClaveTipeada123");
    struct Caso {
        QString usuario, clave;
    } casos[] = {{QStringLiteral("ADMIN"), clave}, {QStringLiteral("NADIE"), clave},
                 {QStringLiteral("x' OR '1'='1"), clave}, {QStringLiteral("x' OR '1'='1"), QStringLiteral("DEMO")},
                 {QStringLiteral("ADMIN' --"), clave}};
    int lineas = 0;
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.usuario.toStdString());
        QElapsedTimer t;
        t.start();
        const Corrida c = Demo(caso.usuario, caso.clave);
        EXPECT_EQ(c.estado, 1) << c.salida.toStdString();
        EXPECT_LT(t.elapsed(), 20000);
        EXPECT_EQ(Archivo(), QByteArray("previo\r\n"));
        EXPECT_FALSE(c.salida.contains(clave)) << c.salida.toStdString();
        EXPECT_TRUE(c.error.contains(QStringLiteral("El usuario o clave en la base de datos es incorrecto"))) << c.error.toStdString();
        const QString log = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
        EXPECT_GT(log.count(u'\n'), lineas);
        lineas = int(log.count(u'\n'));
        EXPECT_FALSE(log.contains(clave));
    }
    EXPECT_TRUE(Accesos().isEmpty());
    EXPECT_FALSE(Filas(QStringLiteral("SELECT * FROM AUX_ERR")).join(u' ').contains(clave));
    EXPECT_FALSE(Filas(QStringLiteral("SELECT * FROM V_MV_CPTEACCIONES")).join(u' ').contains(clave));
}


// The retry of the sign-on on a terminal where another connection is
// registered first: Enter keeps the database, server and operator the run
// was started with.
TEST_F(IngresoDemo, EnLaTerminalEnterConservaLaConexionDelArranque)
{
    QFile bases(dir.path() + QStringLiteral("/BASES.TXT"));
    ASSERT_TRUE(bases.open(QIODevice::WriteOnly));
    bases.write("LOCAL / OTRA,OTRA,OTRA,x,LOCAL\r\n");
    bases.close();
    const std::vector<std::pair<QByteArray, QByteArray>> guion = {
        {"[Enter] Aceptar", "\n"}, // the wrong password of the command line
        {"Conexion (0: ninguna) [0]:", "\n"},
        {"Usuario [ADMIN]:", "\n"},
        {"Contrase", "DEMO\n"},
        {"Base de datos [DEMO]:", "\n"},
        {"Servidor [LOCAL]:", "\n"},
        {"Plataforma", "\n"},
        {"C: Conectar", "\n"},
        {"> ", "\n"},
        {"[Enter] Aceptar", "\n"},
        {"> ", "s\n"}};
    const prueba::CorridaTerminal t = prueba::CorreEnTerminal(
        QStringLiteral(VERIFICADOR_EXE),
        {QStringLiteral("--consola"), QStringLiteral("@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=mala;")},
        Entorno({}), guion);
    EXPECT_EQ(t.pasos, guion.size()) << t.pantalla.constData();
    EXPECT_EQ(t.estado, 0) << t.pantalla.constData();
    EXPECT_TRUE(Archivo().startsWith("779")) << Archivo().left(80).constData();
    ASSERT_EQ(Accesos().size(), 1);
    EXPECT_TRUE(Accesos()[0].contains(QStringLiteral("|ADMIN|"))) << Accesos()[0].toStdString();
    EXPECT_FALSE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).contains(QStringLiteral("usuario )")));
}

// An operator at a terminal: a wrong password at start, the access dialog
// asked on the terminal (the password not echoed), a wrong and then a good
// try, then the console menu. Each step waits for its prompt.
TEST_F(IngresoDemo, EnUnaTerminalSeReintentaLaClave)
{
    const std::vector<std::pair<QByteArray, QByteArray>> guion = {
        {"[Enter] Aceptar", "\n"}, // the wrong password of the command line
        {"Usuario", "\n"},       {"Contrase", "otra\n"}, {"Base de datos", "\n"}, {"Servidor", "\n"},
        {"Plataforma", "\n"},    {"C: Conectar", "\n"},
        {"[Enter] Aceptar", "\n"}, // "Usuario o Clave incorrecta"
        {"Conexion (0: ninguna)", "0\n"}, // registered by the first try
        {"Usuario", "admin\n"},  {"Contrase", "DEMO\n"}, {"Base de datos", "\n"}, {"Servidor", "\n"},
        {"Plataforma", "\n"},    {"C: Conectar", "\n"},
        {"> ", "s\n"}};
    const prueba::CorridaTerminal t = prueba::CorreEnTerminal(
        QStringLiteral(VERIFICADOR_EXE),
        {QStringLiteral("--consola"), QStringLiteral("@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=mala;")},
        Entorno({}), guion);
    const QByteArray& pantalla = t.pantalla;
    EXPECT_EQ(t.pasos, guion.size()) << pantalla.constData();
    EXPECT_EQ(t.estado, 0) << pantalla.constData();
    // The passwords typed are not echoed.
    EXPECT_FALSE(pantalla.contains("otra")) << pantalla.constData();
    for (const QByteArray& linea : pantalla.split('\n')) {
        if (linea.startsWith("Contrase")) {
            EXPECT_FALSE(linea.contains("DEMO")) << linea.constData();
        }
    }
    EXPECT_EQ(Filas(QStringLiteral("SELECT Tipo_accion FROM V_MV_CPTEACCIONES")), QStringList{u"A"_qs});
    EXPECT_EQ(Accesos().size(), 1);
}

} // namespace
