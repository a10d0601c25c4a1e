// The set-up check as a technician runs it: one line per check, status 0 only
// when everything holds, and nothing changed by it, whatever it finds.
#include "comun/base_prueba.h"
#include "comun/demo_prueba.h"
#include "comun/proceso.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <unistd.h>

namespace {

class DiagnosticoPrueba : public prueba::BasePrueba {
protected:
    const QString kParametros = QStringLiteral("@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=DEMO;");
    static constexpr int kArticulos = 60;

    void SetUp() override
    {
        prueba::BasePrueba::SetUp();
        prueba::GeneraDemo(dir.path(), kArticulos);
        // A log with a line already: it must not grow.
        Escribe(QStringLiteral("SVERR.LOG"), "09/12/2026 06:00:00 Rutina: Main Mensaje anterior\r\n");
    }

    QString Ruta(const QString& relativa) const { return dir.path() + u'/' + relativa; }
    QString Base() const { return Ruta(QStringLiteral("DEMO.sqlite")); }

    void Escribe(const QString& relativa, const QByteArray& contenido)
    {
        QDir().mkpath(QFileInfo(Ruta(relativa)).absolutePath());
        QFile f(Ruta(relativa));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }

    // Every entry below the program folder with a digest of its content.
    QMap<QString, QByteArray> Estado() const
    {
        QMap<QString, QByteArray> r;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString ruta = it.next();
            QByteArray huella = "carpeta";
            QFile f(ruta);
            if (QFileInfo(ruta).isFile() && f.open(QIODevice::ReadOnly))
                huella = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex();
            r.insert(QDir(dir.path()).relativeFilePath(ruta), huella);
        }
        return r;
    }

    prueba::Corrida Diagnostica(const QStringList& entorno = {}, const QString& parametros = {})
    {
        const auto antes = Estado();
        auto c = prueba::CorreProceso(QStringLiteral(VERIFICADOR_EXE),
                                      {QStringLiteral("--diagnostico"), parametros.isEmpty() ? kParametros : parametros},
                                      prueba::EntornoDePrueba(dir.path(), entorno));
        EXPECT_EQ(Estado(), antes) << "the check changed the program folder\n" << c.salida.toStdString();
        return c;
    }

    // The line of a check ("OK    Que: ..." or "FALLA Que: ..."); empty when missing.
    static QString Linea(const prueba::Corrida& c, const QString& que)
    {
        for (const QString& l : c.normal.split(u'\n'))
            if (l.mid(6).startsWith(que + QStringLiteral(": ")))
                return l;
        return {};
    }
    static bool Ok(const prueba::Corrida& c, const QString& que) { return Linea(c, que).startsWith(QStringLiteral("OK    ")); }
    static bool Falla(const prueba::Corrida& c, const QString& que)
    {
        return Linea(c, que).startsWith(QStringLiteral("FALLA "));
    }

    static qint64 NoSuspendidos()
    {
        qint64 n = 0;
        for (int i = 1; i <= kArticulos; ++i)
            n += demo::ArticuloDemo(i).suspendido == 0;
        return n;
    }
};

TEST_F(DiagnosticoPrueba, GoodSetUpPassesEveryCheckAndCountsTheArticles)
{
    const auto c = Diagnostica();
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    // Nothing on standard error: no graphical platform, no warning.
    EXPECT_TRUE(c.error.isEmpty()) << c.error.toStdString();
    const QStringList lineas = c.normal.trimmed().split(u'\n');
    for (const QString& l : lineas)
        EXPECT_TRUE(l.startsWith(QStringLiteral("OK    "))) << l.toStdString();
    for (const char* que : {"Carpeta del programa", "servidores.ini", "unidades.ini", "SVERR.LOG", "BASES.TXT", "consultas.slv",
                            "CONSULTASLEN.SLV", "Unidades de Windows", "Servidor LOCAL", "Base DEMO", "Conexion",
                            "Vista de articulos", "Carpeta de exportacion", "Escritura en la carpeta", "Espacio libre",
                            "SVERR.LOG escribible"})
        EXPECT_TRUE(Ok(c, QString::fromLatin1(que))) << que << "\n" << c.normal.toStdString();
    EXPECT_TRUE(Linea(c, QStringLiteral("BASES.TXT")).contains(QStringLiteral("no existe (opcional)")));
    EXPECT_TRUE(Linea(c, QStringLiteral("Vista de articulos")).contains(QStringLiteral(": %1 articulos").arg(NoSuspendidos())))
        << c.normal.toStdString();
    // The demo's folder is C:\Productos, mapped below the program folder and
    // not made yet: the export makes it, the check does not.
    const QString real = QDir::cleanPath(dir.path()) + QStringLiteral("/unidades/c/Productos");
    EXPECT_TRUE(Linea(c, QStringLiteral("Carpeta de exportacion")).contains(QStringLiteral("C:\\Productos -> ") + real));
    EXPECT_TRUE(Linea(c, QStringLiteral("Escritura en la carpeta")).contains(QStringLiteral("no existe")));
    EXPECT_FALSE(QFileInfo::exists(Ruta(QStringLiteral("unidades"))));

    // The same with a display that cannot be reached: no platform is started.
    const auto d = Diagnostica({QStringLiteral("DISPLAY=:97")});
    EXPECT_EQ(d.estado, 0);
    EXPECT_TRUE(d.error.isEmpty()) << d.error.toStdString();

    // The export then writes as many lines as the check counted, in about the size it expected.
    const auto e = prueba::CorreProceso(QStringLiteral(VERIFICADOR_EXE),
                                        {QStringLiteral("--consola"), kParametros + QStringLiteral(" @ParametroAdicional=1;")},
                                        prueba::EntornoDePrueba(dir.path(), {}));
    ASSERT_EQ(e.estado, 0) << e.salida.toStdString();
    const QByteArray archivo = leeArchivo(real + QStringLiteral("/productos.txt")).toLatin1();
    EXPECT_EQ(archivo.count("\r\n"), NoSuspendidos());
    const QString espacio = Linea(c, QStringLiteral("Espacio libre"));
    EXPECT_TRUE(espacio.contains(QStringLiteral("medido sobre los %1 articulos").arg(NoSuspendidos()))) << espacio.toStdString();

    const auto ayuda = prueba::CorreProceso(QStringLiteral(VERIFICADOR_EXE), {QStringLiteral("--help")},
                                            prueba::EntornoDePrueba(dir.path(), {}));
    EXPECT_TRUE(ayuda.normal.contains(QStringLiteral("--diagnostico")));
}

// The folder stored in the configuration is the one checked, at its real path.
TEST_F(DiagnosticoPrueba, ChecksTheStoredFolderOrTheDefaultOne)
{
    const QString tienda = Ruta(QStringLiteral("d/Tienda"));
    ASSERT_TRUE(QDir().mkpath(tienda));
    prueba::EjecutaSqlite(Base(), QStringLiteral("UPDATE TA_CONFIGURACION SET Valor = 'D:\\Tienda' "
                                                 "WHERE Clave = 'RUTACOMPARTIDA_COLECTOR'"));
    const QString unidades = QStringLiteral("VERIFICADOR_UNIDADES=C=%1;D=%2").arg(Ruta(QStringLiteral("c")), Ruta(QStringLiteral("d")));
    auto c = Diagnostica({unidades});
    EXPECT_EQ(c.estado, 0) << c.salida.toStdString();
    EXPECT_TRUE(Linea(c, QStringLiteral("Carpeta de exportacion"))
                    .contains(QStringLiteral("D:\\Tienda -> %1 (RUTACOMPARTIDA_COLECTOR)").arg(tienda)))
        << c.normal.toStdString();
    EXPECT_EQ(Linea(c, QStringLiteral("Escritura en la carpeta")), QStringLiteral("OK    Escritura en la carpeta: ") + tienda);

    // No key stored: the window's default, C:\Productos, whose drive root is configured here and missing.
    prueba::EjecutaSqlite(Base(), QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE Clave = 'RUTACOMPARTIDA_COLECTOR'"));
    c = Diagnostica({unidades});
    EXPECT_EQ(c.estado, 1) << c.salida.toStdString();
    EXPECT_TRUE(Linea(c, QStringLiteral("Carpeta de exportacion")).contains(QStringLiteral("C:\\Productos -> ")));
    EXPECT_TRUE(Linea(c, QStringLiteral("Carpeta de exportacion")).contains(QStringLiteral("la de omision")));
    EXPECT_TRUE(Falla(c, QStringLiteral("Escritura en la carpeta"))) << c.normal.toStdString();
    EXPECT_TRUE(Linea(c, QStringLiteral("Escritura en la carpeta")).contains(QStringLiteral("solo crea la carpeta Productos")));
}

// A server the list does not name is tried as an ODBC machine; with a driver
// that is not installed, that fails, and the lines say where.
TEST_F(DiagnosticoPrueba, ServerWithoutEntryFails)
{
    QByteArray ini = leeArchivo(Ruta(QStringLiteral("servidores.ini"))).toUtf8();
    ini.replace("[LOCAL]", "[OTRO]");
    Escribe(QStringLiteral("servidores.ini"), ini);
    const auto c = Diagnostica({QStringLiteral("VERIFICADOR_ODBC_DRIVER=ControladorQueNoExiste")});
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(Falla(c, QStringLiteral("Servidor LOCAL"))) << c.normal.toStdString();
    EXPECT_TRUE(Linea(c, QStringLiteral("Servidor LOCAL")).contains(QStringLiteral("no figura en ")));
    EXPECT_TRUE(Linea(c, QStringLiteral("Driver ODBC")).contains(QStringLiteral("ControladorQueNoExiste no figura")))
        << c.normal.toStdString();
    EXPECT_TRUE(Falla(c, QStringLiteral("Conexion")));
    EXPECT_TRUE(Linea(c, QStringLiteral("Conexion")).contains(QStringLiteral("No se pudo conectar con la base de datos DEMO")));
    EXPECT_TRUE(Falla(c, QStringLiteral("Vista de articulos")));
    EXPECT_TRUE(Ok(c, QStringLiteral("Carpeta del programa")));

    // A section whose driver library cannot be loaded.
    Escribe(QStringLiteral("servidores.ini"), "[LOCAL]\nServidor=127.0.0.1,1\nDriver=/no/existe/libcontrolador.so\n");
    const auto d = Diagnostica();
    EXPECT_EQ(d.estado, 1);
    EXPECT_TRUE(Ok(d, QStringLiteral("Servidor LOCAL"))) << d.normal.toStdString();
    EXPECT_TRUE(Linea(d, QStringLiteral("Driver ODBC")).contains(QStringLiteral("no se puede cargar la biblioteca /no/existe/libcontrolador.so")))
        << d.normal.toStdString();
    EXPECT_TRUE(Falla(d, QStringLiteral("Conexion")));

    // Without the parameters the connection needs, nobody is asked for them.
    const auto e = Diagnostica({}, QStringLiteral("@DbName=DEMO;"));
    EXPECT_EQ(e.estado, 1);
    EXPECT_TRUE(Linea(e, QStringLiteral("Conexion")).contains(QStringLiteral("Faltan los datos de conexion"))) << e.normal.toStdString();
}

TEST_F(DiagnosticoPrueba, UnreadableViewFailsWithTheProvidersReason)
{
    prueba::EjecutaSqlite(Base(), QStringLiteral("DROP VIEW V_MA_Articulos"));
    const auto c = Diagnostica();
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(Ok(c, QStringLiteral("Conexion"))) << c.normal.toStdString();
    EXPECT_TRUE(Falla(c, QStringLiteral("Vista de articulos")));
    EXPECT_TRUE(Linea(c, QStringLiteral("Vista de articulos")).contains(QStringLiteral("V_MA_Articulos"), Qt::CaseInsensitive))
        << c.normal.toStdString();
    EXPECT_TRUE(Linea(c, QStringLiteral("Espacio libre")).contains(QStringLiteral("no se estimo")));
    // The folder is checked all the same.
    EXPECT_TRUE(Ok(c, QStringLiteral("Escritura en la carpeta")));
}

// The configuration cannot be read: the window would take its default folder;
// the check says so, and the module routines' log (in the temporary folder)
// gets no line either.
TEST_F(DiagnosticoPrueba, UnreadableConfigurationFails)
{
    prueba::EjecutaSqlite(Base(), QStringLiteral("DROP TABLE TA_CONFIGURACION"));
    ASSERT_TRUE(QDir().mkpath(Ruta(QStringLiteral("tmp"))));
    const auto c = Diagnostica({QStringLiteral("TMPDIR=") + Ruta(QStringLiteral("tmp"))});
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(Ok(c, QStringLiteral("Vista de articulos"))) << c.normal.toStdString();
    EXPECT_TRUE(Falla(c, QStringLiteral("Carpeta de exportacion")));
    EXPECT_TRUE(Linea(c, QStringLiteral("Carpeta de exportacion"))
                    .contains(QStringLiteral("la de omision: no se pudo leer RUTACOMPARTIDA_COLECTOR: ")))
        << c.normal.toStdString();
    EXPECT_TRUE(Linea(c, QStringLiteral("Carpeta de exportacion")).contains(QStringLiteral("TA_CONFIGURACION"), Qt::CaseInsensitive));
}

// Folders that cannot be written even by root: a file where a folder should
// be, and a folder of the kernel's.
TEST_F(DiagnosticoPrueba, UnwritableExportFolderFails)
{
    Escribe(QStringLiteral("archivo"), "no soy una carpeta");
    Escribe(QStringLiteral("c/Productos"), "tampoco");
    const std::pair<QString, QString> casos[] = {
        {Ruta(QStringLiteral("archivo")), Ruta(QStringLiteral("archivo")) + QStringLiteral(" no es una carpeta")},
        {Ruta(QStringLiteral("c")), Ruta(QStringLiteral("c/Productos")) + QStringLiteral(" no es una carpeta")},
        {QStringLiteral("/proc"), QStringLiteral("/proc/.productos.txt.")},
    };
    for (const auto& [raiz, motivo] : casos) {
        const auto c = Diagnostica({QStringLiteral("VERIFICADOR_UNIDADES=C=") + raiz});
        EXPECT_EQ(c.estado, 1) << c.salida.toStdString();
        EXPECT_TRUE(Ok(c, QStringLiteral("Carpeta de exportacion"))) << c.normal.toStdString();
        EXPECT_TRUE(Falla(c, QStringLiteral("Escritura en la carpeta")));
        EXPECT_TRUE(Linea(c, QStringLiteral("Escritura en la carpeta")).contains(motivo)) << c.normal.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/Productos")));

    // Permissions count for anyone but root.
    if (::geteuid() != 0) {
        const QString solo = Ruta(QStringLiteral("s/Productos"));
        ASSERT_TRUE(QDir().mkpath(solo));
        ASSERT_TRUE(QFile::setPermissions(solo, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const auto c = Diagnostica({QStringLiteral("VERIFICADOR_UNIDADES=C=") + Ruta(QStringLiteral("s"))});
        QFile::setPermissions(solo, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(c.estado, 1);
        EXPECT_TRUE(Falla(c, QStringLiteral("Escritura en la carpeta"))) << c.normal.toStdString();
    }
}

TEST_F(DiagnosticoPrueba, UnwritableLogFails)
{
    ASSERT_TRUE(QFile::remove(Ruta(QStringLiteral("SVERR.LOG"))));
    ASSERT_TRUE(QDir().mkpath(Ruta(QStringLiteral("SVERR.LOG"))));
    const auto c = Diagnostica();
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(Falla(c, QStringLiteral("SVERR.LOG"))) << c.normal.toStdString();
    EXPECT_TRUE(Falla(c, QStringLiteral("SVERR.LOG escribible")));
    EXPECT_TRUE(Ok(c, QStringLiteral("Vista de articulos")));
}

} // namespace
