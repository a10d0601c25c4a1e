#include "comun/programas.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "suitelib/archivo_ini.h"
#include "suitelib/carpeta_base.h"
#include "suitelib/dialogo_archivo.h"
#include "suitelib/equipo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

void graba(const QString& ruta, const QByteArray& b)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
}

// Runs with tmp as the program folder and restores the one before.
struct CarpetaPrograma {
    explicit CarpetaPrograma(const QString& c) : antes(qgetenv("VERIFICADOR_CARPETA"))
    {
        qputenv("VERIFICADOR_CARPETA", c.toLocal8Bit());
    }
    ~CarpetaPrograma() { qputenv("VERIFICADOR_CARPETA", antes); }
    QByteArray antes;
};

TEST(ArchivoIni, AFileWithoutFolderIsReadFromTheProgramFolder)
{
    QTemporaryDir tmp;
    CarpetaPrograma cp(tmp.path());
    graba(tmp.path() + QStringLiteral("/cn000pr.ini"), "[Styles]\r\nJUAN_DEMOStyles=7\r\n[Otra]\r\nx=1\r\n");
    const ArchivoIni ini;
    EXPECT_EQ(ini.LeeIni(QStringLiteral("cn000pr.ini"), QStringLiteral("styles"), QStringLiteral("juan_demostyles"), QStringLiteral("4")),
              QStringLiteral("7"));
    EXPECT_EQ(ini.LeeIni(QStringLiteral("cn000pr.ini"), QStringLiteral("Styles"), QStringLiteral("ANA_DEMOStyles"), QStringLiteral("4")),
              QStringLiteral("4"));
    EXPECT_EQ(ini.LeeIni(QStringLiteral("cn000pr.ini"), QStringLiteral("Styles"), QStringLiteral("x"), QStringLiteral("4")),
              QStringLiteral("4")); // a key of another section
    EXPECT_EQ(ini.LeeIni(QStringLiteral("falta.ini"), QStringLiteral("Styles"), QStringLiteral("x"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(ini.LeeIni(tmp.path() + QStringLiteral("/cn000pr.ini"), QStringLiteral("Otra"), QStringLiteral("X"), QString()),
              QStringLiteral("1"));
    EXPECT_EQ(ini.LeeIni(QStringLiteral("C:\\a|b.ini"), QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d")); // a bad name reads as a missing file
}

TEST(DialogoArchivo, ChoiceAndCancelGoThroughTheOperator)
{
    auto guion = std::make_unique<OperadorGuion>();
    OperadorGuion* g = guion.get();
    auto anterior = instalaOperador(std::move(guion));
    g->elecciones.push_back(QStringLiteral("C:\\Datos\\base.mdb"));
    g->elecciones.push_back(std::nullopt);

    DialogoArchivo d;
    d.DialogTitle = QStringLiteral("Buscar Base de Datos");
    d.Filter = QStringLiteral("Base de Datos de Microsoft Access |*.MDB");
    d.ShowOpen();
    EXPECT_FALSE(d.Cancelado);
    EXPECT_EQ(d.FileName, QStringLiteral("C:\\Datos\\base.mdb"));
    ASSERT_EQ(g->mostrados.size(), 1u);
    EXPECT_EQ(g->mostrados[0].titulo, QStringLiteral("Buscar Base de Datos"));
    EXPECT_EQ(g->mostrados[0].texto, QStringLiteral("Base de Datos de Microsoft Access |*.MDB"));

    d.ShowOpen();
    EXPECT_TRUE(d.Cancelado);
    EXPECT_EQ(d.FileName, QStringLiteral("C:\\Datos\\base.mdb"));
    instalaOperador(std::move(anterior));
}

TEST(Equipo, NamesAndFolder)
{
    const Equipo e;
    EXPECT_FALSE(e.NombreEquipo().isEmpty());
    EXPECT_FALSE(e.UsuarioEquipo().isEmpty());
    EXPECT_EQ(e.UsuarioEquipo(), e.UsuarioEquipo());
    EXPECT_TRUE(QFileInfo(e.CarpetaEquipo()).isDir());
    EXPECT_TRUE(QFileInfo(e.CarpetaEquipo()).isWritable());
}

TEST(Equipo, DocumentsAndAddresses)
{
    QTemporaryDir tmp;
    CarpetaPrograma cp(tmp.path());
    EXPECT_EQ(Equipo::DestinoDocumento(QStringLiteral("http://www.ejemplo.com/ayuda")).toString(),
              QStringLiteral("http://www.ejemplo.com/ayuda"));
    EXPECT_EQ(Equipo::DestinoDocumento(QStringLiteral("www.ejemplo.com")).scheme(), QStringLiteral("http"));
    EXPECT_EQ(Equipo::DestinoDocumento(QStringLiteral("\"/opt/con blanco/a.pdf\"")).toLocalFile(),
              QStringLiteral("/opt/con blanco/a.pdf"));
    EXPECT_EQ(Equipo::DestinoDocumento(QStringLiteral("C:\\Docs\\a.pdf")).toLocalFile(),
              QDir::cleanPath(tmp.path()) + QStringLiteral("/unidades/c/Docs/a.pdf"));
}

TEST(Equipo, OpeningHandsTheDocumentToTheOpenerOrRaises)
{
    QTemporaryDir tmp;
    const QByteArray path = qgetenv("PATH");
    const QString salida = tmp.path() + QStringLiteral("/abierto.txt");
    // The fake opener writes aside and renames, so the file appears whole:
    // the shell creates a file it redirects to before anything is written.
    // PATH holds only the fake, hence mv by its full path.
    graba(tmp.path() + QStringLiteral("/xdg-open"),
          QStringLiteral("#!/bin/sh\necho \"$1\" > '%1.tmp'\nexec /bin/mv '%1.tmp' '%1'\n").arg(salida).toLocal8Bit());
    QFile::setPermissions(tmp.path() + QStringLiteral("/xdg-open"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("PATH", tmp.path().toLocal8Bit());
    Equipo().AbreDocumento(QStringLiteral("http://www.ejemplo.com"), 6);
    EXPECT_EQ(prueba::EsperaArchivo(salida).trimmed(), QByteArray("http://www.ejemplo.com"));

    QTemporaryDir vacia;
    qputenv("PATH", vacia.path().toLocal8Bit());
    EXPECT_THROW(Equipo().AbreDocumento(QStringLiteral("http://x"), 0), VbError);
    qputenv("PATH", path);
}

TEST(CarpetaBase, KeepsTheFolderForTheRun)
{
    CarpetaBase().Asigna(QStringLiteral("/opt/verificador\\"));
    EXPECT_EQ(CarpetaBase::Carpeta(), QStringLiteral("/opt/verificador\\"));
}

} // namespace
