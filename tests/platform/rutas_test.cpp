#include "comun/ayudas.h"
#include "platform/errores.h"
#include "platform/rutas.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each test gets its own program folder, so the default mapping lands in it.
class Rutas : public ::testing::Test {
protected:
    void SetUp() override
    {
        carpetaAntes_ = qgetenv("VERIFICADOR_CARPETA");
        unidadesAntes_ = qgetenv("VERIFICADOR_UNIDADES");
        qputenv("VERIFICADOR_CARPETA", tmp_.path().toLocal8Bit());
        qunsetenv("VERIFICADOR_UNIDADES");
        rutas::Recargar();
        raiz_ = QDir(tmp_.path()).canonicalPath();
    }
    void TearDown() override
    {
        qputenv("VERIFICADOR_CARPETA", carpetaAntes_);
        if (unidadesAntes_.isNull())
            qunsetenv("VERIFICADOR_UNIDADES");
        else
            qputenv("VERIFICADOR_UNIDADES", unidadesAntes_);
        rutas::Recargar();
    }
    QString bajoRaiz(const QString& r) const { return raiz_ + u'/' + r; }
    void crea(const QString& relativa, const QByteArray& contenido = "x")
    {
        const QString p = bajoRaiz(relativa);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }

    QTemporaryDir tmp_;
    QString raiz_;
    QByteArray carpetaAntes_, unidadesAntes_;
};

TEST_F(Rutas, DriveLettersMapUnderTheProgramFolderByDefault)
{
    EXPECT_EQ(rutas::Resolver(QStringLiteral("C:\\Productos\\productos.txt")), bajoRaiz("unidades/c/Productos/productos.txt"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("p:/datos")), bajoRaiz("unidades/p/datos"));
    // rooted without a drive: the current drive of the suite, C:
    EXPECT_EQ(rutas::Resolver(QStringLiteral("\\temp\\SVERR.LOG")), bajoRaiz("unidades/c/temp/SVERR.LOG"));
    // a folder ending in a backslash before the file name names the same file
    EXPECT_EQ(rutas::Resolver(QStringLiteral("C:\\Productos\\\\productos.txt")),
              rutas::Resolver(QStringLiteral("C:\\Productos\\productos.txt")));
    // ".." stops at the drive's root
    EXPECT_EQ(rutas::Resolver(QStringLiteral("C:\\..\\..\\etc\\passwd")), bajoRaiz("unidades/c/etc/passwd"));
    EXPECT_EQ(rutas::CarpetaUnidad(u'd'), bajoRaiz("unidades/d"));
}

TEST_F(Rutas, NamesBelowTheDriveAreMatchedIgnoringCase)
{
    crea("unidades/c/Productos/Productos.TXT");
    EXPECT_EQ(rutas::Resolver(QStringLiteral("C:\\PRODUCTOS\\productos.txt")), bajoRaiz("unidades/c/Productos/Productos.TXT"));
    // a missing name keeps its spelling, and so does everything after it
    EXPECT_EQ(rutas::Resolver(QStringLiteral("c:\\productos\\Nueva\\A.txt")), bajoRaiz("unidades/c/Productos/Nueva/A.txt"));
}

// A program folder carried over from Windows spells its files as it pleases:
// the file is found whatever its case, and joined with the folder's own separator.
TEST_F(Rutas, ArchivoDeLaCarpetaSinDistinguirMayusculas)
{
    crea("CONSULTAS.SLV");
    crea("STYLES/vista.QSS");
    EXPECT_EQ(rutas::ArchivoEnCarpeta(raiz_, QStringLiteral("consultas.slv")), bajoRaiz("CONSULTAS.SLV"));
    EXPECT_EQ(rutas::ArchivoEnCarpeta(raiz_ + QStringLiteral("\\"), QStringLiteral("Styles\\Vista.qss")),
              bajoRaiz("STYLES/vista.QSS"));
    // Missing: the given spelling, below the folder with one separator.
    EXPECT_EQ(rutas::ArchivoEnCarpeta(raiz_ + QStringLiteral("//"), QStringLiteral("BASES.TXT")), bajoRaiz("BASES.TXT"));
    EXPECT_EQ(rutas::ArchivoEnCarpeta(raiz_, QStringLiteral("Styles\\iTunes.qss")), bajoRaiz("STYLES/iTunes.qss"));

    // Several spellings: the exact one, else always the same one.
    crea("bases.txt");
    crea("Bases.txt");
    crea("BASES.TXT");
    EXPECT_EQ(rutas::ArchivoEnCarpeta(raiz_, QStringLiteral("bases.txt")), bajoRaiz("bases.txt"));
    EXPECT_EQ(rutas::ArchivoEnCarpeta(raiz_, QStringLiteral("Bases.TXT")), bajoRaiz("BASES.TXT"));

    // A Windows folder keeps its form and its backslash.
    crea("unidades/c/Suite/ODBC.EXE");
    EXPECT_EQ(rutas::ArchivoEnCarpeta(QStringLiteral("C:\\Suite\\"), QStringLiteral("odbc.exe")), QStringLiteral("C:\\Suite\\ODBC.EXE"));
    EXPECT_EQ(rutas::ArchivoEnCarpeta(QStringLiteral("C:\\"), QStringLiteral("SVERR.LOG")), QStringLiteral("C:\\SVERR.LOG"));
    EXPECT_EQ(rutas::ArchivoEnCarpeta(QStringLiteral("/"), QStringLiteral("x")), QStringLiteral("/x"));
}

TEST_F(Rutas, AsignacionDeUnidadesDeWindowsEnMayusculas)
{
    crea("UNIDADES.INI", "[Unidades]\r\nP=/propia\r\n");
    rutas::Recargar();
    EXPECT_EQ(rutas::Resolver(QStringLiteral("P:\\a")), QStringLiteral("/propia/a"));
}

TEST_F(Rutas, SeparadorDeLaCarpeta)
{
    EXPECT_EQ(rutas::Separador(QStringLiteral("/srv/salida")), u'/');
    EXPECT_EQ(rutas::Separador(QStringLiteral("/opt/v\\")), u'/');
    EXPECT_EQ(rutas::Separador(QStringLiteral("salida/hoy")), u'/');
    EXPECT_EQ(rutas::Separador(QStringLiteral("C:\\Productos")), u'\\');
    EXPECT_EQ(rutas::Separador(QStringLiteral("\\\\srv\\rec")), u'\\');
    EXPECT_EQ(rutas::Separador(QString()), u'\\');
}

TEST_F(Rutas, PosixPathsStayAsTheyAreButBackslashesSeparate)
{
    EXPECT_EQ(rutas::Resolver(QStringLiteral("/opt/v\\SVERR.LOG")), QStringLiteral("/opt/v/SVERR.LOG"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("/opt/v/\\SVERR.LOG")), QStringLiteral("/opt/v/SVERR.LOG"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("/Opt/MixedCase")), QStringLiteral("/Opt/MixedCase"));
    EXPECT_FALSE(rutas::EsFormaWindows(QStringLiteral("/opt/v")));
    EXPECT_TRUE(rutas::EsFormaWindows(QStringLiteral("\\\\srv\\x")));
    EXPECT_TRUE(rutas::EsFormaWindows(QStringLiteral("c:x")));
}

TEST_F(Rutas, SharesMapUnderTheNetworkRoot)
{
    EXPECT_EQ(rutas::Resolver(QStringLiteral("\\\\Server\\Share\\a.txt")), bajoRaiz("unidades/red/Server/Share/a.txt"));
    crea("unidades/red/server/share/a.txt");
    EXPECT_EQ(rutas::Resolver(QStringLiteral("\\\\SERVER\\Share\\A.TXT")), bajoRaiz("unidades/red/server/share/a.txt"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("\\\\?\\C:\\x")), bajoRaiz("unidades/c/x"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("\\\\?\\UNC\\server\\share\\a.txt")), bajoRaiz("unidades/red/server/share/a.txt"));
}

// Whatever a stored path says, it lands inside the root of its own drive or
// share (".." stops there, as on Windows), or it is refused as a bad name.
TEST_F(Rutas, WindowsPathsStayInsideTheirDriveOrShare)
{
    qputenv("VERIFICADOR_UNIDADES", "\\\\srv\\datos=" + QByteArray(bajoRaiz("mapeado").toLocal8Bit()));
    const struct {
        const char* ruta;
        const char* resuelta; // under the program folder; nullptr: refused with 52
    } casos[] = {
        {"\\\\?\\C:\\x", "unidades/c/x"},
        {"\\\\.\\C:\\x\\y.txt", "unidades/c/x/y.txt"},
        {"\\\\?\\d:", "unidades/d"},
        {"\\\\?\\C:\\..\\..\\etc\\passwd", "unidades/c/etc/passwd"},
        {"\\\\?\\unc\\a\\b\\f", "unidades/red/a/b/f"},
        {"\\\\?\\UNC\\a\\b\\..\\..\\..\\f", "unidades/red/a/b/f"},
        {"\\\\.\\..\\..\\etc\\passwd", nullptr},
        {"\\\\?\\/etc/passwd", nullptr},
        {"\\\\?\\", nullptr},
        {"\\\\.\\", nullptr},
        {"\\\\?\\..", nullptr},
        {"\\\\?\\etc\\passwd", nullptr},
        {"\\\\?\\\\etc", nullptr},
        {"\\\\?\\C:x", nullptr},
        {"\\\\.\\COM1", nullptr},
        {"\\\\?\\UNC\\", nullptr},
        {"\\\\?\\UNC\\a", nullptr},
        {"\\\\?\\UNC\\..\\..\\etc", nullptr},
        // a share's root is as far as ".." goes, mapped or not
        {"\\\\a\\b\\..\\..\\srv\\pub\\f", "unidades/red/a/b/srv/pub/f"},
        {"\\\\a\\b\\..\\..\\srv\\datos\\f", "unidades/red/a/b/srv/datos/f"},
        {"\\\\srv\\datos\\..\\..\\a\\b\\f", "mapeado/a/b/f"},
        {"\\/a/b/../../../f", "unidades/red/a/b/f"},
        {"\\\\..\\..\\etc\\passwd", nullptr},
        {"\\\\a\\..\\x", nullptr},
        {"\\\\.\\b\\x", nullptr},
        {"\\\\a\\.\\x", nullptr},
        // drives and the rooted form
        {"C:\\..\\..\\etc\\passwd", "unidades/c/etc/passwd"},
        {"c:..\\..\\x", "unidades/c/x"},
        {"\\..\\..\\etc", "unidades/c/etc"},
        {"C:\\a\\b\\..\\..\\..\\c", "unidades/c/c"},
    };
    for (const auto& c : casos) {
        const QString ruta = QString::fromUtf8(c.ruta);
        if (c.resuelta) {
            EXPECT_EQ(rutas::Resolver(ruta), bajoRaiz(QString::fromUtf8(c.resuelta))) << c.ruta;
        } else {
            EXPECT_EQ(prueba::NumeroDeError([&] { rutas::Resolver(ruta); }), vberr::BadFileName) << c.ruta;
            EXPECT_FALSE(rutas::ExisteArchivo(ruta)) << c.ruta;
        }
    }

    // Relative paths are taken from the current folder and stay below it.
    EXPECT_EQ(rutas::Resolver(QStringLiteral("datos\\x.txt")), QStringLiteral("datos/x.txt"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("a\\..\\b\\.\\c")), QStringLiteral("b/c"));
    for (const char* r : {"..\\..\\etc\\passwd", "..", "a\\..\\..\\b", "./../x", "a/b/../../../c"})
        EXPECT_EQ(prueba::NumeroDeError([&] { rutas::Resolver(QString::fromUtf8(r)); }), vberr::BadFileName) << r;
    // POSIX paths are the operator's own choice, used as they are.
    EXPECT_EQ(rutas::Resolver(QStringLiteral("/srv/a/../b")), QStringLiteral("/srv/b"));
}

TEST_F(Rutas, EnvironmentWinsOverTheFileWhichWinsOverTheDefault)
{
    crea("unidades.ini", "; comentario\r\n[UNIDADES]\r\nC=/desde/ini\r\nD = relativa \r\n\\\\srv\\datos=/mnt/datos\r\n");
    rutas::Recargar();
    EXPECT_EQ(rutas::Resolver(QStringLiteral("C:\\a")), QStringLiteral("/desde/ini/a"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("D:\\a")), bajoRaiz("relativa/a"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("\\\\SRV\\Datos\\x\\y")), QStringLiteral("/mnt/datos/x/y"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("E:\\a")), bajoRaiz("unidades/e/a"));

    qputenv("VERIFICADOR_UNIDADES", "C=/srv/c;e:=/srv/e;\\\\=/mnt/red;;");
    EXPECT_EQ(rutas::Resolver(QStringLiteral("C:\\a")), QStringLiteral("/srv/c/a"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("E:\\a")), QStringLiteral("/srv/e/a"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("D:\\a")), bajoRaiz("relativa/a"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("\\\\otro\\rec\\f")), QStringLiteral("/mnt/red/otro/rec/f"));
    EXPECT_EQ(rutas::Resolver(QStringLiteral("\\\\srv\\datos\\f")), QStringLiteral("/mnt/datos/f"));
}

// A mapping that cannot be read is refused as a whole, never partly applied:
// the files would silently go elsewhere.
TEST_F(Rutas, MalformedMappingRaisesOnEveryUse)
{
    for (const char* e : {"basura", "=x", "C=", "CC=/x", "1=/x", "\\\\srv=/x", "\\\\srv\\a\\b=/x", "C=/srv/c;D"}) {
        qputenv("VERIFICADOR_UNIDADES", e);
        const QString d = prueba::ErrorDe([] { rutas::CompruebaUnidades(); }).Description;
        EXPECT_TRUE(d.contains(QStringLiteral("VERIFICADOR_UNIDADES"))) << e << " " << d.toStdString();
        EXPECT_NE(prueba::NumeroDeError([] { rutas::Resolver(QStringLiteral("C:\\a")); }), 0) << e;
        EXPECT_FALSE(rutas::ExisteCarpeta(QStringLiteral("C:\\")));
    }
    qunsetenv("VERIFICADOR_UNIDADES");
    for (const char* ini : {"[Unidad]\nC=/x\n", "C=/x\n", "[Unidades]\nC=/x\n[Otra]\n", "[Unidades]\nC /x\n", "[Unidades]\nZZ=/x\n"}) {
        crea("unidades.ini", ini);
        rutas::Recargar();
        const QString d = prueba::ErrorDe([] { rutas::CompruebaUnidades(); }).Description;
        EXPECT_TRUE(d.contains(QStringLiteral("unidades.ini, linea "))) << ini << " " << d.toStdString();
    }
    crea("unidades.ini", "[Unidades]\nC=/x\n");
    rutas::Recargar();
    rutas::CompruebaUnidades();
    EXPECT_EQ(rutas::Resolver(QStringLiteral("C:\\a")), QStringLiteral("/x/a"));
}

// Without unidades.ini in the program folder, the system-wide one is read.
TEST_F(Rutas, SystemMappingWhenTheProgramFolderHasNone)
{
    QTemporaryDir etc;
    ASSERT_TRUE(QDir().mkpath(etc.path() + QStringLiteral("/verificador")));
    QFile f(etc.path() + QStringLiteral("/verificador/unidades.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Unidades]\nP=/desde/etc\n");
    f.close();
    qputenv("VERIFICADOR_ETC", etc.path().toLocal8Bit());
    rutas::Recargar();
    EXPECT_EQ(rutas::Resolver(QStringLiteral("P:\\a")), QStringLiteral("/desde/etc/a"));
    crea("unidades.ini", "[Unidades]\nQ=/propia\n");
    rutas::Recargar();
    EXPECT_EQ(rutas::Resolver(QStringLiteral("P:\\a")), bajoRaiz("unidades/p/a"));
    qunsetenv("VERIFICADOR_ETC");
}

// What the terminal adds below a message: where each Windows path it names
// really is, quoted paths whole, others up to a blank or the closing stop.
TEST_F(Rutas, RealPathsOfTheWindowsPathsATextNames)
{
    EXPECT_EQ(rutas::RutasReales(QStringLiteral("Exportado con exito, se guardo en C:\\Productos\\productos.txt.")),
              QStringList{QStringLiteral("Ruta real: ") + bajoRaiz("unidades/c/Productos/productos.txt")});
    EXPECT_EQ(rutas::RutasReales(QStringLiteral("No se pudo abrir 'd:\\Mis Datos\\a.txt': error; copia en \"\\\\srv\\rec\\x y\"")),
              (QStringList{QStringLiteral("Ruta real: ") + bajoRaiz("unidades/d/Mis Datos/a.txt"),
                           QStringLiteral("Ruta real: ") + bajoRaiz("unidades/red/srv/rec/x y")}));
    // No Windows path, the same one twice, or one that names no file: nothing added.
    EXPECT_TRUE(rutas::RutasReales(QStringLiteral("Ruta /srv/x y 12:30 C: sin barra")).isEmpty());
    EXPECT_EQ(rutas::RutasReales(QStringLiteral("C:\\a y C:\\a")).size(), 1);
    EXPECT_TRUE(rutas::RutasReales(QStringLiteral("C:\\a*b")).isEmpty());
}

TEST_F(Rutas, BadNamesRaise52AndNeverCountAsExisting)
{
    for (const QString& r : {QString(), QStringLiteral("C:\\a|b"), QStringLiteral("C:\\a?b"), QStringLiteral("C:\\a*"),
                             QStringLiteral("C:\\a\"b"), QStringLiteral("C:\\a:b"), QStringLiteral("\\\\server"),
                             QStringLiteral("\\\\server\\"), QString(QStringLiteral("/tmp/a")) + QChar(0)}) {
        EXPECT_EQ(prueba::NumeroDeError([&] { rutas::Resolver(r); }), vberr::BadFileName) << r.toStdString();
        EXPECT_FALSE(rutas::ExisteArchivo(r));
        EXPECT_FALSE(rutas::ExisteCarpeta(r));
    }
    try {
        rutas::Resolver(QStringLiteral("C:\\a|b"));
    } catch (const VbError& e) {
        EXPECT_TRUE(e.Description.contains(QStringLiteral("C:\\a|b")));
    }
}

TEST_F(Rutas, FileAndFolderTests)
{
    crea("unidades/c/Dir/f.txt");
    EXPECT_TRUE(rutas::ExisteArchivo(QStringLiteral("C:\\dir\\F.TXT")));
    EXPECT_FALSE(rutas::ExisteArchivo(QStringLiteral("C:\\dir")));       // a folder is no file
    EXPECT_FALSE(rutas::ExisteArchivo(QStringLiteral("C:\\dir\\g.txt")));
    EXPECT_TRUE(rutas::ExisteCarpeta(QStringLiteral("C:\\DIR\\")));
    EXPECT_FALSE(rutas::ExisteCarpeta(QStringLiteral("C:\\dir\\f.txt")));
    EXPECT_FALSE(rutas::ExisteCarpeta(QStringLiteral("C:\\otra")));
}

TEST_F(Rutas, MakeFolderIsOneLevel)
{
    // the default drive's root is there from the start, as on Windows
    rutas::CreaCarpeta(QStringLiteral("C:\\Productos"));
    EXPECT_TRUE(QFileInfo(bajoRaiz("unidades/c/Productos")).isDir());
    EXPECT_EQ(prueba::NumeroDeError([] { rutas::CreaCarpeta(QStringLiteral("C:\\Productos")); }), vberr::PathFileAccess);
    EXPECT_EQ(prueba::NumeroDeError([] { rutas::CreaCarpeta(QStringLiteral("C:\\No\\Existe")); }), vberr::PathNotFound);
    EXPECT_FALSE(QFileInfo::exists(bajoRaiz("unidades/c/No")));
}

TEST_F(Rutas, DeleteFile)
{
    crea("unidades/c/x/a.txt");
    rutas::BorraArchivo(QStringLiteral("C:\\x\\A.txt"));
    EXPECT_FALSE(QFileInfo::exists(bajoRaiz("unidades/c/x/a.txt")));
    EXPECT_EQ(prueba::NumeroDeError([] { rutas::BorraArchivo(QStringLiteral("C:\\x\\a.txt")); }), vberr::FileNotFound);
    EXPECT_EQ(prueba::NumeroDeError([] { rutas::BorraArchivo(QStringLiteral("C:\\y\\a.txt")); }), vberr::PathNotFound);
    EXPECT_EQ(prueba::NumeroDeError([] { rutas::BorraArchivo(QStringLiteral("C:\\x")); }), vberr::FileNotFound);
    EXPECT_TRUE(QFileInfo(bajoRaiz("unidades/c/x")).isDir());
}

TEST_F(Rutas, ReplaceSwapsTheFileInOneStep)
{
    crea("unidades/c/p/productos.tmp", "nuevo");
    crea("unidades/c/p/productos.txt", "viejo");
    rutas::Reemplaza(QStringLiteral("C:\\p\\productos.tmp"), QStringLiteral("C:\\p\\productos.txt"));
    QFile f(bajoRaiz("unidades/c/p/productos.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("nuevo"));
    EXPECT_FALSE(QFileInfo::exists(bajoRaiz("unidades/c/p/productos.tmp")));
    EXPECT_EQ(prueba::NumeroDeError([] { rutas::Reemplaza(QStringLiteral("C:\\p\\productos.tmp"), QStringLiteral("C:\\p\\b.txt")); }),
              vberr::FileNotFound);
    crea("unidades/c/p/otro.tmp");
    EXPECT_EQ(prueba::NumeroDeError([] { rutas::Reemplaza(QStringLiteral("C:\\p\\otro.tmp"), QStringLiteral("C:\\q\\b.txt")); }),
              vberr::PathNotFound);
}

TEST_F(Rutas, ErrorsNameThePathAsStoredAndAsResolved)
{
    try {
        rutas::BorraArchivo(QStringLiteral("C:\\Productos\\productos.txt"));
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number, vberr::PathNotFound);
        EXPECT_TRUE(e.Description.contains(QStringLiteral("C:\\Productos\\productos.txt")));
        EXPECT_TRUE(e.Description.contains(bajoRaiz("unidades/c/Productos/productos.txt")));
    }
}

TEST_F(Rutas, PermissionDenied)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root passes every permission check";
    crea("unidades/c/cerrada/a.txt");
    ::chmod(bajoRaiz("unidades/c/cerrada").toLocal8Bit().constData(), 0500);
    EXPECT_EQ(prueba::NumeroDeError([] { rutas::BorraArchivo(QStringLiteral("C:\\cerrada\\a.txt")); }), vberr::PermissionDenied);
    ::chmod(bajoRaiz("unidades/c/cerrada").toLocal8Bit().constData(), 0700);
}

} // namespace
