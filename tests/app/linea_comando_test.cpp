// The program as a technician meets it on a shell: its options, the folder
// it keeps its files in, and what it says about the files it writes.
#include "comun/base_prueba.h"
#include "comun/demo_prueba.h"
#include "comun/proceso.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

class LineaComando : public prueba::BasePrueba {
protected:
    const QString kDesatendida = QStringLiteral("@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=DEMO; @ParametroAdicional=1;");

    prueba::Corrida Corre(const QStringList& argumentos, const QStringList& entorno = {}, const QString& programa = {})
    {
        return prueba::CorreProceso(programa.isEmpty() ? QStringLiteral(VERIFICADOR_EXE) : programa, argumentos,
                                    prueba::EntornoDePrueba(dir.path(), entorno));
    }

    // Everything below the program folder, as relative paths.
    QStringList Archivos() const
    {
        QStringList r;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            r << QDir(dir.path()).relativeFilePath(it.next());
        r.sort();
        return r;
    }

    // A copy of the executable in a folder of its own: the folder it runs
    // from decides its program folder.
    QString CopiaEjecutable(const QString& carpeta)
    {
        EXPECT_TRUE(QDir().mkpath(carpeta));
        const QString copia = carpeta + QStringLiteral("/verificador");
        EXPECT_TRUE(QFile::copy(QStringLiteral(VERIFICADOR_EXE), copia));
        QFile(copia).setPermissions(QFile(copia).permissions() | QFileDevice::ExeOwner);
        return copia;
    }

    static void Escribe(const QString& ruta, const QByteArray& contenido)
    {
        QDir().mkpath(QFileInfo(ruta).absolutePath());
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
};

TEST_F(LineaComando, HelpAndVersionPrintAndEndWithoutTouchingAnything)
{
    const QStringList antes = Archivos();
    for (const char* opcion : {"--help", "-h"}) {
        const auto c = Corre({QString::fromLatin1(opcion)});
        EXPECT_EQ(c.estado, 0) << opcion;
        EXPECT_TRUE(c.error.isEmpty()) << c.error.toStdString();
        for (const char* debe : {"Uso: verificador", "@Server", "@DbName", "@Usuario", "@Password", "@ParametroAdicional",
                                 "--consola", "--ventana", "--consulta", "--campo", "--carpeta", "--version",
                                 "VERIFICADOR_CARPETA", "VERIFICADOR_SERVIDORES", "VERIFICADOR_UNIDADES", "XDG_DATA_HOME",
                                 "servidores.ini", "unidades.ini", "SVERR.LOG", "BASES.TXT", "Estado de salida"})
            EXPECT_TRUE(c.normal.contains(QString::fromLatin1(debe))) << opcion << " lacks " << debe;
        EXPECT_TRUE(c.normal.contains(QStringLiteral("Carpeta del programa de esta ejecucion: ") + QDir::cleanPath(dir.path())));
    }
    const auto v = Corre({QStringLiteral("--version")});
    EXPECT_EQ(v.estado, 0);
    EXPECT_TRUE(v.normal.startsWith(QStringLiteral("verificador "))) << v.normal.toStdString();
    EXPECT_EQ(Archivos(), antes);
}

// A mistyped option never becomes part of the parameter string: the run is
// refused before it connects, writes or logs anything.
TEST_F(LineaComando, UnknownOptionIsRefusedWithStatus2)
{
    prueba::GeneraDemo(dir.path(), 5);
    const QStringList antes = Archivos();
    const std::pair<QStringList, QString> casos[] = {
        {{QStringLiteral("--consola"), QStringLiteral("--desatendida"), kDesatendida}, QStringLiteral("--desatendida")},
        {{kDesatendida, QStringLiteral("--consolas")}, QStringLiteral("--consolas")},
        {{QStringLiteral("--consola"), kDesatendida, QStringLiteral("--campo")}, QStringLiteral("--campo")}};
    for (const auto& [args, nombrada] : casos) {
        const auto c = Corre(args);
        EXPECT_EQ(c.estado, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(c.normal.isEmpty()) << c.normal.toStdString();
        EXPECT_TRUE(c.error.contains(nombrada)) << c.error.toStdString();
        EXPECT_TRUE(c.error.contains(QStringLiteral("--help")));
    }
    EXPECT_EQ(Archivos(), antes);
}

TEST_F(LineaComando, ProgramFolderFollowsTheEnvironmentTheExecutableAndTheDataFolder)
{
    // Named by the environment.
    auto c = Corre({QStringLiteral("--carpeta")});
    EXPECT_EQ(c.estado, 0);
    EXPECT_EQ(c.normal.trimmed(), QDir::cleanPath(dir.path()));

    // Beside the executable, when a servidores.ini is there.
    const QString portatil = dir.path() + QStringLiteral("/portatil");
    const QString copia = CopiaEjecutable(portatil);
    Escribe(portatil + QStringLiteral("/servidores.ini"), "[LOCAL]\nMotor=sqlite\nCarpeta=.\n");
    const QString datos = dir.path() + QStringLiteral("/datos");
    c = Corre({QStringLiteral("--carpeta")}, {QStringLiteral("VERIFICADOR_CARPETA"), QStringLiteral("XDG_DATA_HOME=") + datos}, copia);
    EXPECT_EQ(c.normal.trimmed(), portatil);

    // Otherwise the user's data folder, made on first use.
    QFile::remove(portatil + QStringLiteral("/servidores.ini"));
    c = Corre({QStringLiteral("--carpeta")}, {QStringLiteral("VERIFICADOR_CARPETA"), QStringLiteral("XDG_DATA_HOME=") + datos}, copia);
    EXPECT_EQ(c.estado, 0);
    EXPECT_EQ(c.normal.trimmed(), datos + QStringLiteral("/verificador"));
    EXPECT_TRUE(QFileInfo(datos + QStringLiteral("/verificador")).isDir());
    const QString casa = dir.path() + QStringLiteral("/casa");
    c = Corre({QStringLiteral("--carpeta")}, {QStringLiteral("VERIFICADOR_CARPETA"), QStringLiteral("XDG_DATA_HOME"),
                                               QStringLiteral("HOME=") + casa}, copia);
    EXPECT_EQ(c.normal.trimmed(), casa + QStringLiteral("/.local/share/verificador"));
}

// A program folder without servidores.ini and unidades.ini takes the
// system-wide ones.
TEST_F(LineaComando, SystemFilesAreReadWhenTheProgramFolderHasNone)
{
    prueba::GeneraDemo(dir.path(), 5);
    const QString etc = dir.path() + QStringLiteral("/etc");
    const QString real = dir.path() + QStringLiteral("/real");
    ASSERT_TRUE(QDir().mkpath(real));
    ASSERT_TRUE(QDir().mkpath(etc + QStringLiteral("/verificador")));
    ASSERT_TRUE(QFile::rename(dir.path() + QStringLiteral("/servidores.ini"), etc + QStringLiteral("/verificador/servidores.ini")));
    Escribe(etc + QStringLiteral("/verificador/unidades.ini"), "[Unidades]\nC=" + real.toLocal8Bit() + "\n");
    const auto c = Corre({QStringLiteral("--consola"), kDesatendida},
                         {QStringLiteral("VERIFICADOR_SERVIDORES"), QStringLiteral("VERIFICADOR_ETC=") + etc});
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_TRUE(QFileInfo::exists(real + QStringLiteral("/Productos/productos.txt"))) << c.salida.toStdString();
}

// A drive mapping with a typo would send the file elsewhere: the run ends
// with status 1, says why and logs it, and writes no file.
TEST_F(LineaComando, MalformedDriveMappingEndsWithStatus1)
{
    prueba::GeneraDemo(dir.path(), 5);
    const auto c = Corre({QStringLiteral("--consola"), kDesatendida}, {QStringLiteral("VERIFICADOR_UNIDADES=C:/srv/c")});
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.error.contains(QStringLiteral("VERIFICADOR_UNIDADES: \"C:/srv/c\""))) << c.salida.toStdString();
    EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).contains(QStringLiteral("VERIFICADOR_UNIDADES")));

    Escribe(dir.path() + QStringLiteral("/unidades.ini"), "[Unidad]\nC=/srv/c\n");
    const auto i = Corre({QStringLiteral("--consola"), kDesatendida});
    EXPECT_EQ(i.estado, 1);
    EXPECT_TRUE(i.error.contains(QStringLiteral("unidades.ini, linea 1"))) << i.salida.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/unidades/c/Productos/productos.txt")));
}

// The suite names C:\Productos; the terminal also says where that really is.
TEST_F(LineaComando, ConsoleShowsTheRealPathOfAWindowsPath)
{
    prueba::GeneraDemo(dir.path(), 5);
    const auto c = Corre({QStringLiteral("--consola"), kDesatendida});
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_TRUE(c.normal.contains(QStringLiteral("C:\\Productos\\productos.txt"))) << c.normal.toStdString();
    EXPECT_TRUE(c.normal.contains(QStringLiteral("\nRuta real: ") + QDir::cleanPath(dir.path())
                                  + QStringLiteral("/unidades/c/Productos/productos.txt\n")))
        << c.normal.toStdString();

    // And so does the failure of an unattended run, on standard error: a file
    // stands where the folder should be.
    const QString carpeta = dir.path() + QStringLiteral("/unidades/c/Productos");
    ASSERT_TRUE(QDir(carpeta).removeRecursively());
    Escribe(carpeta, "no es una carpeta");
    const auto f = Corre({QStringLiteral("--consola"), kDesatendida});
    EXPECT_EQ(f.estado, 1);
    EXPECT_TRUE(f.error.contains(QStringLiteral("C:\\Productos\\productos.txt"))) << f.error.toStdString();
    EXPECT_TRUE(f.error.contains(QStringLiteral("\nRuta real: ") + QDir::cleanPath(dir.path())
                                 + QStringLiteral("/unidades/c/Productos/productos.txt\n")))
        << f.error.toStdString();
}

} // namespace
