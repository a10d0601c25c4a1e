#include "comun/base_prueba.h"
#include "comun/programas.h"
#include "shell/formularios.h"
#include "shell/mod_global.h"
#include "suitelib/equipo.h"

#include <QDir>
#include <sys/stat.h>

namespace {

class Shell : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        DB().gServidor = QStringLiteral("LOCAL");
        DB().gDBName = QStringLiteral("empresa");
        glb::UsuarioActual = QStringLiteral("JUAN");
        glb::ClaveActual = QStringLiteral("cl ave;$(touch pwned)`id`'\"");
        glb::CajaActual = QStringLiteral("3");
    }
    void TearDown() override
    {
        glb::ClaveActual.clear();
        glb::CajaActual = QStringLiteral("1");
        BasePrueba::TearDown();
    }
    void escribe(const QString& nombre, const QByteArray& contenido) const
    {
        QDir().mkpath(QFileInfo(dir.path() + u'/' + nombre).absolutePath());
        QFile f(dir.path() + u'/' + nombre);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    static QByteArray esperada(const QByteArray& adicional)
    {
        return " ; @server=LOCAL; @dbname=empresa; @usuario=JUAN; @Password=cl ave;$(touch pwned)`id`'\"; @ParametroAdicional="
            + adicional + "; torvo@ ; @UsuarioLogeado = JUAN; @Caja=3;\n";
    }
};

TEST_F(Shell, CargaSkinSinClaveDaITunesYConNueveOffice2007)
{
    escribe(QStringLiteral("Styles/iTunes.qss"), "QWidget { color: #010203; }");
    escribe(QStringLiteral("Styles/Office2007.qss"), "QWidget { color: #040506; }");
    EXPECT_EQ(ClaveSkin(), Equipo().UsuarioEquipo().toUpper() + QStringLiteral("_EMPRESAStyles"));

    FrmMsg sinClave;
    sinClave.Form_Load();
    EXPECT_EQ(NumeroSkin, 4);
    EXPECT_EQ(FilaDeSkin(NumeroSkin).archivo, u"Styles\\iTunes");
    EXPECT_EQ(FilaDeSkin(NumeroSkin).ajustes, u"Normalitunes.ini");
    EXPECT_EQ(sinClave.styleSheet(), u"QWidget { color: #010203; }");

    escribe(QStringLiteral("cn000pr.ini"), "[Styles]\r\n" + ClaveSkin().toUtf8() + "=9\r\n");
    FrmMsg nueve;
    nueve.Form_Load();
    EXPECT_EQ(NumeroSkin, 9);
    EXPECT_EQ(FilaDeSkin(NumeroSkin).archivo, u"Styles\\Office2007.cjstyles");
    EXPECT_TRUE(FilaDeSkin(NumeroSkin).ajustes.isEmpty());
    EXPECT_EQ(nueve.styleSheet(), u"QWidget { color: #040506; }");

    // The table's other rows; a sheet that is missing leaves the window alone.
    EXPECT_EQ(FilaDeSkin(1).archivo, u"Styles\\Vista.cjstyles");
    EXPECT_EQ(FilaDeSkin(2).archivo, u"Styles\\WinXP.Luna.cjstyles");
    EXPECT_EQ(FilaDeSkin(3).archivo, u"Styles\\WinXP.Royale.cjstyles");
    escribe(QStringLiteral("cn000pr.ini"), "[Styles]\r\n" + ClaveSkin().toUtf8() + "=2\r\n");
    FrmMsg sinHoja;
    sinHoja.Form_Load();
    EXPECT_EQ(NumeroSkin, 2);
    EXPECT_TRUE(sinHoja.styleSheet().isEmpty());
    CargaSkin(nullptr); // never raises

    // A number no 16-bit integer holds keeps the skin there was.
    for (const QByteArray valor : {"99999", "1e10", "-40000"}) {
        escribe(QStringLiteral("cn000pr.ini"), "[Styles]\r\n" + ClaveSkin().toUtf8() + "=" + valor + "\r\n");
        CargaSkin(nullptr);
        EXPECT_EQ(NumeroSkin, 2) << valor.constData();
    }
    escribe(QStringLiteral("cn000pr.ini"), "[Styles]\r\n" + ClaveSkin().toUtf8() + "=3.6\r\n");
    CargaSkin(nullptr);
    EXPECT_EQ(NumeroSkin, 4);
}

// A document with a blank in its name reaches the desktop's opener whole.
TEST_F(Shell, AbrirDocumentoEntregaElDocumentoEntero)
{
    const QString salida = dir.path() + QStringLiteral("/abierto.txt");
    escribe(QStringLiteral("bin/xdg-open"), QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                                                   .arg(salida).toLocal8Bit());
    QFile::setPermissions(dir.path() + QStringLiteral("/bin/xdg-open"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", (dir.path() + QStringLiteral("/bin:") + QString::fromLocal8Bit(path)).toLocal8Bit());
    escribe(QStringLiteral("mi documento.txt"), "x");
    AbrirDocumento(dir.path() + QStringLiteral("/mi documento.txt"), true);
    qputenv("PATH", path);
    EXPECT_EQ(prueba::EsperaArchivo(salida), "1|" + QFile::encodeName(dir.path() + QStringLiteral("/mi documento.txt")));
}

// A program folder carried over from Windows: the INI file and the skins'
// folder in their own spelling, lines ended by CR LF.
TEST_F(Shell, CargaSkinDeUnaCarpetaDeWindowsEnOtraGrafia)
{
    escribe(QStringLiteral("STYLES/VISTA.qss"), "QWidget { color: #070809; }\r\n");
    escribe(QStringLiteral("CN000PR.INI"), "[Styles]\r\n" + ClaveSkin().toUtf8() + "=1\r\n");
    FrmMsg f;
    f.Form_Load();
    EXPECT_EQ(NumeroSkin, 1);
    EXPECT_EQ(f.styleSheet(), u"QWidget { color: #070809; }");
}

TEST_F(Shell, CadaSkinTieneSuHojaJuntoAlPrograma)
{
    for (int n : {1, 2, 3, 4, 5}) {
        QString hoja = FilaDeSkin(n).archivo;
        hoja.replace(QStringLiteral(".cjstyles"), QString()).replace(u'\\', u'/');
        const QString ruta = QStringLiteral(VERIFICADOR_BIN_DIR "/") + hoja + QStringLiteral(".qss");
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << ruta.toStdString();
        EXPECT_TRUE(f.readAll().contains("QPushButton")) << ruta.toStdString();
    }
}

TEST_F(Shell, MenuExesArrancaElProgramaConLaCadenaExactaComoUnSoloArgumento)
{
    const QString salida = dir.path() + QStringLiteral("/recibido.txt");
    prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/V_TA_TABLAS"), salida);
    QString parametro = QStringLiteral("X 15");
    std::int32_t tarea = 0;
    MenuExes(QStringLiteral("SHELL:V_TA_TABLAS"), parametro, tarea);
    EXPECT_GT(tarea, 0);
    EXPECT_EQ(parametro, u"15");
    EXPECT_EQ(prueba::EsperaArchivo(salida), esperada("15"));
    // No value went through a shell.
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/pwned")));
    EXPECT_FALSE(QFile::exists(QDir::currentPath() + QStringLiteral("/pwned")));
    EXPECT_TRUE(op->mostrados.empty());

    // Without a blank the parameter passes unchanged; without "SHELL" the name is taken whole.
    QFile::remove(salida);
    parametro = QStringLiteral("15");
    MenuExes(QStringLiteral("V_TA_TABLAS"), parametro, tarea);
    EXPECT_EQ(parametro, u"15");
    EXPECT_EQ(prueba::EsperaArchivo(salida), esperada("15"));
}

TEST_F(Shell, MenuExesConRutaDeWindowsPasaPorLaUnidad)
{
    const QString salida = dir.path() + QStringLiteral("/recibido.txt");
    QDir().mkpath(dir.path() + QStringLiteral("/unidades/c/suite"));
    prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/unidades/c/suite/V_VENTAS"), salida);
    QString parametro = QStringLiteral("1");
    std::int32_t tarea = 0;
    MenuExes(QStringLiteral("SHELL:C:\\suite\\V_VENTAS.exe"), parametro, tarea);
    EXPECT_GT(tarea, 0);
    EXPECT_EQ(prueba::EsperaArchivo(salida), esperada("1"));
}

TEST_F(Shell, ProgramaQueNoArrancaTerminaConElAvisoYTareaCero)
{
    QString parametro = QStringLiteral("1");
    std::int32_t tarea = 99;
    op->respuestas = {respuesta::Ignore};
    MenuExes(QStringLiteral("SHELL:NO_EXISTE"), parametro, tarea);
    EXPECT_EQ(tarea, 0);
    ASSERT_EQ(op->mostrados.size(), 2u);
    EXPECT_TRUE(op->mostrados[0].titulo.contains(QStringLiteral("MenuExes")));
    EXPECT_EQ(op->mostrados[1].texto, u"Opcion no Implementada!\rComuniquese con su proveedor de sistemas");
    EXPECT_EQ(op->mostrados[1].estilo, estilo::Critical);
    EXPECT_EQ(op->mostrados[1].titulo, u"Atención");
    // The password on the command line is never in the error box.
    EXPECT_FALSE(op->mostrados[0].texto.contains(QStringLiteral("cl ave")));

    // Abort leaves at once, without the notice; a file that is not executable does not start.
    op->mostrados.clear();
    op->respuestas = {respuesta::Abort};
    prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/NO_EJECUTABLE"), dir.path() + QStringLiteral("/x"), false);
    MenuExes(QStringLiteral("SHELL:NO_EJECUTABLE"), parametro, tarea);
    EXPECT_EQ(tarea, 0);
    EXPECT_EQ(op->mostrados.size(), 1u);

    // Retry tries again: the program was put in place meanwhile.
    op->mostrados.clear();
    const QString salida = dir.path() + QStringLiteral("/recibido.txt");
    op->respuestas = {respuesta::Retry};
    op->alMostrar = [&](const OperadorGuion::Mostrado&) {
        prueba::CreaProgramaPrueba(dir.path() + QStringLiteral("/TARDE"), salida);
    };
    MenuExes(QStringLiteral("SHELL:TARDE"), parametro, tarea);
    EXPECT_GT(tarea, 0);
    EXPECT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(prueba::EsperaArchivo(salida), esperada("1"));
}

TEST_F(Shell, ExisteArchivoYExisteCarpeta)
{
    escribe(QStringLiteral("datos.txt"), "x");
    const QString ruta = dir.path() + QStringLiteral("/datos.txt");
    const QString comillas = u'"' + ruta + u'"';
    EXPECT_TRUE(ExisteArchivo(ruta));
    EXPECT_TRUE(ExisteCarpeta(ruta));
    EXPECT_TRUE(ExisteCarpeta(comillas));
    EXPECT_FALSE(ExisteArchivo(comillas));
    EXPECT_FALSE(ExisteArchivo(dir.path() + QStringLiteral("/falta.txt")));
    EXPECT_FALSE(ExisteCarpeta(dir.path() + QStringLiteral("/falta.txt")));
    // A folder or a FIFO is no file to read, and asking never waits.
    EXPECT_FALSE(ExisteCarpeta(dir.path()));
    const QString fifo = dir.path() + QStringLiteral("/fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(ExisteArchivo(fifo));
    EXPECT_FALSE(ExisteCarpeta(u'"' + fifo + u'"'));
    EXPECT_FALSE(ExisteArchivo(QString()));
    EXPECT_FALSE(ExisteCarpeta(QStringLiteral("\"")));
    // Windows paths go through the drive mapping.
    escribe(QStringLiteral("unidades/c/suite/BASES.TXT"), "x");
    EXPECT_TRUE(ExisteCarpeta(QStringLiteral("\"C:\\suite\\bases.txt\"")));
}

TEST_F(Shell, FrmMvVentasNoHaceNada)
{
    FrmMvVentas f;
    f.AgregoRegargo();
    f.MSComm1_OnComm();
    f.AnulacionCompleta();
    f.ObtieneBorrador();
    EXPECT_EQ(f.MSComm1->objectName(), u"MSComm1");
    EXPECT_TRUE(op->mostrados.empty());
}

} // namespace
