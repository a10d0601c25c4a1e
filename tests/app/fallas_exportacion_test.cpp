// The unattended export, in-process, with the file layer or the connection
// failing under it: whatever fails and wherever, the previous file stays byte
// for byte, no temporary file is left, the run ends with status 1 and the log
// gets one line that names the cause.
#include "app/frm_principal.h"
#include "comun/base_prueba.h"
#include "comun/esquema_ingreso.h"
#include "platform/ado/provider.h"
#include "platform/archivos.h"
#include "startup/iniciar_aplicacion.h"

#include <cerrno>
#include <cstring>
#include <sql.h>

namespace {

// About 900 KB of lines: the writer's buffer is written out several times.
constexpr int kArticulos = 20000;

class FallasExportacion : public prueba::BasePrueba {
protected:
    QString salida;
    const QByteArray kAnterior = "0;0;EL ARCHIVO ANTERIOR;0\r\n";
    QByteArray completo; // what a good run writes

    void SetUp() override
    {
        BasePrueba::SetUp();
        salida = dir.path() + QStringLiteral("/compartida");
        CreaBase(QStringLiteral("EMP"),
                 QStringLiteral("CREATE TABLE MA_ARTICULOS (idarticulo TEXT, CODIGOBARRA TEXT, DESCRIPCION TEXT, SUSPENDIDO INTEGER);"
                                "CREATE VIEW V_MA_Articulos AS SELECT * FROM MA_ARTICULOS;"
                                "CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE,"
                                " Valor TEXT, PoliticaNegocio INTEGER, ValorAux TEXT);"
                                "INSERT INTO TA_CONFIGURACION VALUES ('DATOS','RUTACOMPARTIDA_COLECTOR','%1',0,NULL);"
                                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2)"
                                " INSERT INTO MA_ARTICULOS SELECT 'A' || i, 'B' || i, 'DESCRIPCION DEL ARTICULO ' || i, 0 FROM n;")
                         .arg(salida)
                         .arg(kArticulos)
                     + prueba::kEsquemaIngreso);
        for (int i = 1; i <= kArticulos; ++i)
            completo += QStringLiteral("B%1;A%1;DESCRIPCION DEL ARTICULO %1;0\r\n").arg(i).toLatin1();
        ASSERT_TRUE(QDir().mkpath(salida));
    }

    void TearDown() override
    {
        archivos::fallas() = {};
        ado::Ganchos() = ado::GanchosOdbc{};
        inicio::TrasPrepararConsultas = nullptr;
        glb::ParametroAdicional.clear();
        aplicacion::FijaArgumentos({});
        BasePrueba::TearDown();
    }

    void Anterior()
    {
        QFile f(salida + QStringLiteral("/productos.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(kAnterior);
        QFile::remove(dir.path() + QStringLiteral("/SVERR.LOG"));
    }

    // The unattended run as the program starts it; its exit status.
    int Desatendida()
    {
        ReiniciaInstancias();
        glb::ParametroAdicional.clear();
        aplicacion::FijaArgumentos({QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN; @ParametroAdicional=1;")});
        FrmPrincipal f;
        try {
            f.Form_Load();
        } catch (const aplicacion::Fin& fin) {
            return fin.codigo;
        }
        return -1; // it did not end
    }

    QByteArray Archivo() const
    {
        QFile f(salida + QStringLiteral("/productos.txt"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no hay archivo>");
    }
    QStringList Contenido() const { return QDir(salida).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name); }
    QStringList Registro() const
    {
        return leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    // What must hold after a run that failed because of `causa`.
    void FalloLimpio(int estado, const QString& causa)
    {
        EXPECT_EQ(estado, 1);
        EXPECT_EQ(Archivo(), kAnterior);
        EXPECT_EQ(Contenido(), (QStringList{u".productos.txt.lock"_qs, u"productos.txt"_qs}));
        const QStringList lineas = Registro();
        ASSERT_EQ(lineas.size(), 1) << lineas.join(u'|').toStdString();
        EXPECT_TRUE(lineas[0].contains(QStringLiteral("Rutina: - Command1_Click Mensaje No se pudo crear el archivo ")))
            << lineas[0].toStdString();
        EXPECT_TRUE(lineas[0].contains(causa)) << lineas[0].toStdString() << "\nwanted: " << causa.toStdString();
    }
};

QString Sistema(int e) { return QString::fromLocal8Bit(std::strerror(e)); }

TEST_F(FallasExportacion, FallasDelDiscoDejanElArchivoAnterior)
{
    ASSERT_EQ(Desatendida(), 0);
    ASSERT_EQ(Archivo(), completo);
    // The buffer is written out this many times, the last one when closing.
    const int escrituras = int((completo.size() + (1 << 18) - 1) >> 18);
    ASSERT_GE(escrituras, 3);

    using Tipo = archivos::Falla archivos::Fallas::*;
    struct Caso {
        const char* nombre;
        Tipo tipo;
        archivos::Falla falla;
        QString causa;
    } casos[] = {
        {"the temporary file refused", &archivos::Fallas::apertura, {.en = 1, .error = EACCES}, QStringLiteral("(70) Permission denied")},
        {"disk full at the first write", &archivos::Fallas::escritura, {.en = 1, .error = ENOSPC},
         QStringLiteral("(61) Disk full (") + Sistema(ENOSPC) + u')'},
        {"disk full from the second write on", &archivos::Fallas::escritura, {.en = 2, .error = ENOSPC, .siempre = true},
         Sistema(ENOSPC)},
        {"I/O error at the last write", &archivos::Fallas::escritura, {.en = escrituras, .error = EIO},
         QStringLiteral("(57) Device I/O error (") + Sistema(EIO) + u')'},
        {"permission lost while writing", &archivos::Fallas::escritura, {.en = 2, .error = EACCES}, QStringLiteral("Permission denied")},
        {"the flush to disk fails", &archivos::Fallas::volcado, {.en = 1, .error = EIO}, Sistema(EIO)},
        {"the flush finds the disk full", &archivos::Fallas::volcado, {.en = 1, .error = ENOSPC}, Sistema(ENOSPC)},
        {"the close reports a lost write", &archivos::Fallas::cierre, {.en = 1, .error = EIO}, Sistema(EIO)},
        {"the rename is refused", &archivos::Fallas::renombre, {.en = 1, .error = EACCES}, QStringLiteral("Permission denied")},
        {"the rename finds the file busy", &archivos::Fallas::renombre, {.en = 1, .error = EBUSY}, Sistema(EBUSY)},
        {"the rename fails on the device", &archivos::Fallas::renombre, {.en = 1, .error = EIO}, Sistema(EIO)},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Anterior();
        archivos::fallas() = {};
        archivos::fallas().*c.tipo = c.falla;
        const int estado = Desatendida();
        const archivos::Falla hecha = archivos::fallas().*c.tipo;
        archivos::fallas() = {};
        EXPECT_GE(hecha.fallos, 1) << "the fault was not reached";
        FalloLimpio(estado, c.causa);
    }

    // Unarmed again, the next run writes the whole file.
    EXPECT_EQ(Desatendida(), 0);
    EXPECT_EQ(Archivo(), completo);
    EXPECT_EQ(Contenido(), (QStringList{u".productos.txt.lock"_qs, u"productos.txt"_qs}));
}

// Only the export's own file goes through the writer in an unattended run:
// the Nth call is the Nth of the export.
TEST_F(FallasExportacion, LaCorridaDesatendidaSoloEscribeSuArchivo)
{
    ASSERT_EQ(Desatendida(), 0);
    archivos::fallas().apertura = {.en = 1000};
    archivos::fallas().renombre = {.en = 1000};
    ASSERT_EQ(Desatendida(), 0);
    EXPECT_EQ(archivos::fallas().apertura.llamadas, 1);
    EXPECT_EQ(archivos::fallas().renombre.llamadas, 1);
    EXPECT_EQ(archivos::fallas().apertura.fallos, 0);
}

// The link to the database dropped in the middle of the rows, on the embedded
// provider and through unixODBC (the SQLite ODBC driver).
class CaidaExportacion : public FallasExportacion, public ::testing::WithParamInterface<bool> {
protected:
    // The run on a connection opened beforehand (the start-up keeps it); arma
    // is called on it before the run.
    int DesatendidaConectada(const std::function<void(ado::Connection&)>& arma)
    {
        ReiniciaInstancias();
        if (GetParam())
            AbreOdbc(DB(), QStringLiteral("EMP"));
        else
            Abre(DB(), QStringLiteral("EMP"));
        glb::UsuarioActual = QStringLiteral("EMP"); // the database's own user signs on without a password
        glb::ParametroAdicional = QStringLiteral("1");
        aplicacion::FijaArgumentos({QStringLiteral("@ParametroAdicional=1;")});
        arma(*DB().gCnn);
        FrmPrincipal f;
        try {
            f.Form_Load();
        } catch (const aplicacion::Fin& fin) {
            return fin.codigo;
        }
        return -1;
    }
};

TEST_P(CaidaExportacion, ConexionCaidaAMitadDejaElArchivoAnterior)
{
    ASSERT_EQ(DesatendidaConectada([](ado::Connection&) {}), 0);
    ASSERT_EQ(Archivo(), completo);

    Anterior();
    ado::Fallas* fallas = nullptr;
    const int estado = DesatendidaConectada([&](ado::Connection& c) {
        fallas = &c.fallas();
        fallas->caeTrasFilas = kArticulos / 4;
    });
    ASSERT_NE(fallas, nullptr);
    EXPECT_GE(fallas->fallosProducidos, 1) << "the link never dropped";
    FalloLimpio(estado, QStringLiteral("General network error"));

    if (GetParam()) {
        // The driver itself failing a fetch half-way, as one whose server went away.
        Anterior();
        const int sentencias = ado::Ganchos().sentencias;
        int filas = 0;
        ado::Ganchos().respuesta = [&](const char* llamada, short r) -> short {
            if (std::strcmp(llamada, "SQLFetch") != 0 || r != SQL_SUCCESS)
                return r;
            return ++filas > kArticulos / 2 ? SQL_ERROR : r;
        };
        FalloLimpio(DesatendidaConectada([](ado::Connection&) {}), QStringLiteral("The ODBC driver failed"));
        ado::Ganchos().respuesta = nullptr;
        EXPECT_GT(filas, kArticulos / 2);
        ReiniciaInstancias();
        EXPECT_EQ(ado::Ganchos().sentencias, sentencias) << "a statement of the failed fetch was not freed";
    }

    EXPECT_EQ(DesatendidaConectada([](ado::Connection&) {}), 0);
    EXPECT_EQ(Archivo(), completo);
}

INSTANTIATE_TEST_SUITE_P(Proveedores, CaidaExportacion, ::testing::Bool(),
                         [](const auto& i) { return i.param ? "Odbc" : "Sqlite"; });

} // namespace
