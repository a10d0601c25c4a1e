#include "app/diagnostico.h"

#include "access/bases.h"
#include "app/productos.h"
#include "app/reemplazo_archivo.h"
#include "db/db_dll.h"
#include "db/registro_errores.h"
#include "platform/ado/servidores.h"
#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/vb.h"
#include "startup/iniciar_aplicacion.h"
#include "startup/parametros.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// The rows whose length gives the expected size of the file.
constexpr int kFilasMedidas = 1000;

// Nobody is asked: every box gets the answer that ends it, and its text is
// kept: the first one a check caused is its reason (later ones follow from it).
class OperadorDiagnostico : public Operador {
public:
    int MsgBox(const QString& texto, int est, const QString&) override
    {
        anota(texto);
        return RespuestaPorOmision(est);
    }
    QString InputBox(const QString& texto, const QString&, const QString&) override
    {
        anota(texto);
        return {};
    }
    void DoEvents() override {}
    void Aviso(const QString& texto, int, const QString&, int) override { anota(texto); }
    bool ElegirCarpeta(const QString&, QString&) override { return false; }
    bool ElegirArchivo(const QString&, const QString&, QString&) override { return false; }

    qsizetype Marca() const { return textos_.size(); }
    bool HayDesde(qsizetype marca) const { return textos_.size() > marca; }
    QString PrimeroDesde(qsizetype marca) const { return HayDesde(marca) ? textos_[marca] : QString(); }

private:
    void anota(const QString& texto) { textos_ << texto; }
    QStringList textos_;
};

class Informe {
public:
    explicit Informe(QTextStream& salida) : salida_(salida) {}
    void Ok(const QString& que, const QString& texto) { linea(QStringLiteral("OK    "), que, texto); }
    void Falla(const QString& que, const QString& motivo)
    {
        bien_ = false;
        linea(QStringLiteral("FALLA "), que, motivo);
    }
    void Segun(bool ok, const QString& que, const QString& texto) { ok ? Ok(que, texto) : Falla(que, texto); }
    bool Bien() const { return bien_; }

private:
    // One line each: a reason may hold the line breaks of a message box.
    void linea(const QString& marca, const QString& que, const QString& texto)
    {
        QString t = OcultaClaves(texto);
        t.replace(u'\r', u' ').replace(u'\n', u' ');
        salida_ << marca << que << ": " << vb::Acota(t.simplified(), 600) << '\n';
        salida_.flush();
    }
    QTextStream& salida_;
    bool bien_ = true;
};

// Runs one step of a check: false, with the reason, when it raised.
template <class F>
bool Intenta(F&& paso, QString& motivo)
{
    Rutina r([&](const VbError& e) {
        motivo = e.Description;
        return Accion::Salir;
    });
    return r.paso(std::forward<F>(paso));
}

QString Sistema(int numero) { return QString::fromLocal8Bit(std::strerror(numero)); }

QString Tamano(qint64 bytes)
{
    return QLocale(QLocale::Spanish).formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// The nearest folder of the path that exists (the path itself when it does).
QString Existente(const QString& ruta)
{
    QFileInfo fi(QDir::cleanPath(ruta));
    while (!fi.exists()) {
        const QString padre = fi.absolutePath();
        if (padre == fi.absoluteFilePath())
            break;
        fi.setFile(padre);
    }
    return fi.absoluteFilePath();
}

// A missing folder that can be made: the nearest one that exists is a folder
// that may be written.
bool Creable(const QString& carpeta, QString& motivo)
{
    const QString base = Existente(carpeta);
    if (!QFileInfo(base).isDir()) {
        motivo = base + QStringLiteral(" no es una carpeta");
        return false;
    }
    if (::access(QFile::encodeName(base).constData(), W_OK | X_OK) != 0) {
        motivo = base + QStringLiteral(": ") + Sistema(errno);
        return false;
    }
    return true;
}

// The program folder: missing, only the user's data folder is made on first use.
bool CarpetaPrograma(Informe& inf, const QString& carpeta)
{
    const QString que = QStringLiteral("Carpeta del programa");
    const QFileInfo fi(carpeta);
    if (fi.isDir()) {
        inf.Ok(que, carpeta);
        return true;
    }
    QString motivo;
    if (fi.exists())
        inf.Falla(que, carpeta + QStringLiteral(" no es una carpeta"));
    else if (!qEnvironmentVariableIsEmpty("VERIFICADOR_CARPETA"))
        inf.Falla(que, carpeta + QStringLiteral(" no existe (VERIFICADOR_CARPETA)"));
    else if (!Creable(carpeta, motivo))
        inf.Falla(que, carpeta + QStringLiteral(" no existe y no se puede crear: ") + motivo);
    else {
        inf.Ok(que, carpeta + QStringLiteral(" (no existe; se crea al primer uso)"));
        return true;
    }
    return false;
}

// A file that can be opened for reading, told as the check's line.
void Legible(Informe& inf, const QString& que, const QString& ruta)
{
    const int fd = archivos::AbreArchivo(ruta, O_RDONLY);
    if (fd < 0) {
        inf.Falla(que, ruta + QStringLiteral(": no se puede leer (") + Sistema(errno) + u')');
        return;
    }
    ::close(fd);
    inf.Ok(que, ruta);
}

// A file of the program folder: none is required, one that is there must be
// a file that can be read.
void ArchivoPrograma(Informe& inf, const QString& nombre, const QString& ruta)
{
    QString real, motivo;
    if (!Intenta([&] { real = rutas::Resolver(ruta); }, motivo)) {
        inf.Falla(nombre, motivo);
        return;
    }
    const QFileInfo fi(real);
    if (!fi.exists()) {
        inf.Ok(nombre, real + QStringLiteral(": no existe (opcional)"));
        return;
    }
    if (fi.isDir()) {
        inf.Falla(nombre, real + QStringLiteral(" es una carpeta"));
        return;
    }
    Legible(inf, nombre, real);
}

void Unidades(Informe& inf)
{
    const QString que = QStringLiteral("Unidades de Windows");
    QString motivo, c;
    if (Intenta([&] { c = rutas::CarpetaUnidad(u'C'); }, motivo))
        inf.Ok(que, QStringLiteral("se leen bien; C: es ") + c);
    else
        inf.Falla(que, motivo);
}

// The server's entry and what it needs before connecting: the database file
// of an embedded server, the driver of an ODBC one. Told after the
// connection was tried: for a server the list does not name, it says
// whether taking the name as the machine worked.
void Servidor(Informe& inf, const ParametrosInicio& p, bool conectado)
{
    const QString servidor = NormalizaServidor(p.Server);
    const QString que = QStringLiteral("Servidor ") + servidor;
    if (vb::EnBlanco(p.Server)) {
        inf.Falla(QStringLiteral("Servidor"), QStringLiteral("falta @Server en los parametros"));
        return;
    }
    if (p.EsOracle) {
        inf.Ok(que, QStringLiteral("Oracle, por el origen de datos ODBC ") + p.DbName);
        return;
    }
    std::optional<ado::Servidor> listado;
    QString motivo;
    if (!Intenta([&] { listado = ado::ServidorListado(servidor); }, motivo)) {
        inf.Falla(que, motivo);
        return;
    }
    const QString lista = ado::ArchivoServidores();
    if (listado && listado->embebido) {
        const bool hay = QFileInfo(listado->carpeta).isDir();
        inf.Segun(hay, que,
                  QStringLiteral("embebido, carpeta ") + listado->carpeta + (hay ? QString() : QStringLiteral(" (no existe)")));
        const QString base = QStringLiteral("Base ") + p.DbName;
        if (!hay)
            return;
        if (vb::EnBlanco(p.DbName)) {
            inf.Falla(QStringLiteral("Base"), QStringLiteral("falta @DbName en los parametros"));
            return;
        }
        const QString archivo = ado::ArchivoBaseEmbebida(listado->carpeta, p.DbName);
        if (archivo.isEmpty()) {
            inf.Falla(base, QStringLiteral("no hay %1.sqlite en %2").arg(p.DbName.trimmed(), listado->carpeta));
            return;
        }
        Legible(inf, base, archivo);
        return;
    }
    if (listado)
        inf.Ok(que, QStringLiteral("ODBC, equipo %1 (%2)").arg(listado->servidor, lista));
    else
        inf.Segun(conectado, que,
                  QStringLiteral("no figura en %1; %2 por ODBC al equipo %3")
                      .arg(lista, conectado ? QStringLiteral("se conecta") : QStringLiteral("se probo"), servidor));
    const QString driver = ado::DriverServidor(listado ? &*listado : nullptr);
    const ado::DriverOdbc d = ado::CompruebaDriver(driver);
    if (!d.motivo.isEmpty())
        inf.Falla(QStringLiteral("Driver ODBC"), d.motivo);
    else
        inf.Ok(QStringLiteral("Driver ODBC"), d.biblioteca == driver ? driver : driver + QStringLiteral(" -> ") + d.biblioteca);
}

struct Vista {
    bool leida = false;
    qint64 articulos = 0;
    qint64 bytesMedidos = 0; // of the first rows
    int filasMedidas = 0;
};

QString Texto(const Variant& v) { return v.isNull() || v.isEmpty() ? QString() : vb::Trim(v.toString()); }

// The export's own statement, read through: its rows are the file's lines.
Vista LeeVista(Informe& inf, OperadorDiagnostico& op, bool conectado)
{
    const QString que = QStringLiteral("Vista de articulos");
    Vista v;
    if (!conectado) {
        inf.Falla(que, QStringLiteral("no se comprobo: no hay conexion"));
        return v;
    }
    QString sql = ConsultaProductos();
    ado::Recordset rs;
    QString motivo;
    const qsizetype marca = op.Marca();
    const bool ok = Intenta(
        [&] {
            DB().AbrirRecordset(sql, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
            if (rs.State() != ado::adStateOpen)
                Raise(ado::adErrObjectClosed,
                      op.HayDesde(marca) ? op.PrimeroDesde(marca) : QStringLiteral("No se pudo leer la lista de articulos."));
            ado::Field& codigoBarra = rs.Fields(QStringLiteral("CodigoBarra"));
            ado::Field& idArticulo = rs.Fields(QStringLiteral("IdArticulo"));
            ado::Field& descripcion = rs.Fields(QStringLiteral("Descripcion"));
            for (; !rs.EOF_(); rs.MoveNext()) {
                if (v.filasMedidas < kFilasMedidas) {
                    // The line's length as the file has it: barcode (or code),
                    // code, description, "0", three ";" and CR LF.
                    const QString codigo = Texto(idArticulo.Value());
                    const QString barra = Texto(codigoBarra.Value());
                    v.bytesMedidos += (barra.isEmpty() ? codigo : barra).size() + codigo.size()
                                      + Texto(descripcion.Value()).size() + 6;
                    ++v.filasMedidas;
                }
                ++v.articulos;
            }
        },
        motivo);
    DB().CierraRecordset(rs);
    if (!ok) {
        inf.Falla(que, motivo);
        return v;
    }
    v.leida = true;
    inf.Ok(que, QStringLiteral("%1 articulos no suspendidos").arg(v.articulos));
    return v;
}

// The root of a drive that the mapping makes on first use (the default one),
// for a path on that drive; empty otherwise.
QString RaizQueSeCrea(const QString& ruta)
{
    if (ruta.size() < 2 || ruta[1] != u':' || !ruta[0].isLetter())
        return {};
    QString raiz;
    QString motivo;
    Intenta([&] { raiz = rutas::CarpetaUnidad(ruta[0]); }, motivo);
    const QString omision = aplicacion::Carpeta() + QStringLiteral("/unidades/") + ruta[0].toLower();
    return raiz == omision ? raiz : QString();
}

// Creates a file of its own in the folder, exclusively, and removes it. It is
// named as the export's temporary files, so that one left by a killed check
// goes with the next export's leftovers.
QString PruebaEscritura(const QString& carpeta)
{
    const QString nombre = NombreTemporal(carpeta, QStringLiteral("productos.txt"));
    QString motivo;
    Rutina r([&](const VbError& e) {
        if (motivo.isEmpty())
            motivo = e.Description;
        return Accion::Siguiente;
    });
    std::optional<archivos::EscritorTexto> prueba;
    if (!r.paso([&] { prueba.emplace(nombre, archivos::EscritorTexto::Modo::Exclusivo); }))
        return motivo;
    r.paso([&] { prueba->Cierra(); });
    prueba.reset();
    r.paso([&] { rutas::BorraArchivo(nombre); });
    return motivo;
}

void Espacio(Informe& inf, const QString& carpeta, const Vista& vista)
{
    const QString que = QStringLiteral("Espacio libre");
    struct statvfs s {};
    if (::statvfs(QFile::encodeName(carpeta).constData(), &s) != 0) {
        inf.Falla(que, carpeta + QStringLiteral(": ") + Sistema(errno));
        return;
    }
    const qint64 libre = qint64(s.f_bavail) * qint64(s.f_frsize);
    if (!vista.leida) {
        inf.Falla(que, QStringLiteral("%1 en %2; no se estimo el archivo (no se leyo la vista)").arg(Tamano(libre), carpeta));
        return;
    }
    // The rows measured count as they are; the rest at their average.
    const qint64 promedio = vista.filasMedidas ? (vista.bytesMedidos + vista.filasMedidas - 1) / vista.filasMedidas : 0;
    const qint64 previsto = vista.bytesMedidos + (vista.articulos - vista.filasMedidas) * promedio;
    const QString estimacion =
        vista.articulos > vista.filasMedidas
            ? QStringLiteral("estimado: %1 articulos, %2 bytes por linea en promedio de las primeras %3")
                  .arg(vista.articulos)
                  .arg(promedio)
                  .arg(vista.filasMedidas)
            : QStringLiteral("medido sobre los %1 articulos").arg(vista.articulos);
    inf.Segun(libre >= previsto, que,
              QStringLiteral("%1 en %2; productos.txt ocupara unos %3 (%4)").arg(Tamano(libre), carpeta, Tamano(previsto), estimacion));
}

// The export folder as the window reads it, where it really is, and whether
// the export could write there (making it when missing, as the export does).
void CarpetaExportacion(Informe& inf, OperadorDiagnostico& op, bool conectado, const Vista& vista)
{
    const QString que = QStringLiteral("Carpeta de exportacion");
    bool configurada = false;
    const qsizetype marca = op.Marca();
    const QString ruta = CarpetaProductos(&configurada);
    const bool leida = !op.HayDesde(marca);
    QString real, motivo;
    const bool resuelta = Intenta([&] { real = rutas::Resolver(ruta); }, motivo);
    QString origen = configurada ? kClaveCarpetaProductos : QStringLiteral("la de omision: no hay ") + kClaveCarpetaProductos;
    if (!conectado)
        origen = QStringLiteral("la de omision: sin conexion no se lee ") + kClaveCarpetaProductos;
    else if (!leida)
        origen = QStringLiteral("la de omision: no se pudo leer ") + kClaveCarpetaProductos + QStringLiteral(": ") + op.PrimeroDesde(marca);
    inf.Segun(conectado && leida && resuelta, que,
              resuelta ? QStringLiteral("%1 -> %2 (%3)").arg(ruta, real, origen)
                       : QStringLiteral("%1 (%2): %3").arg(ruta, origen, motivo));

    const QString escritura = QStringLiteral("Escritura en la carpeta");
    if (!resuelta) {
        const QString sinRuta = QStringLiteral("no se comprobo: la carpeta no tiene ruta real");
        inf.Falla(escritura, sinRuta);
        inf.Falla(QStringLiteral("Espacio libre"), sinRuta);
        return;
    }
    const QFileInfo fi(real);
    const QString base = Existente(real);
    QString nota;
    if (fi.exists() && !fi.isDir()) {
        inf.Falla(escritura, real + QStringLiteral(" no es una carpeta"));
    } else if (!QFileInfo(base).isDir()) {
        inf.Falla(escritura, base + QStringLiteral(" no es una carpeta"));
    } else {
        // The export makes the folder itself, and the mapping the root of its drive.
        const QString padre = fi.absolutePath();
        if (!fi.exists() && !QFileInfo(padre).isDir() && padre != RaizQueSeCrea(ruta)) {
            inf.Falla(escritura, QStringLiteral("no existe %1: la exportacion solo crea la carpeta %2").arg(padre, fi.fileName()));
        } else {
            if (!fi.exists())
                nota = QStringLiteral(" (no existe; la exportacion la crea)");
            const QString error = PruebaEscritura(base);
            inf.Segun(error.isEmpty(), escritura, error.isEmpty() ? real + nota : error);
        }
    }
    Espacio(inf, base, vista);
}

// Opened for appending, nothing written; a missing one must be creatable.
void RegistroEscribible(Informe& inf, bool carpetaProgramaSeCrea)
{
    const QString que = QStringLiteral("SVERR.LOG escribible");
    QString ruta, motivo;
    if (!Intenta([&] { ruta = rutas::Resolver(DB().RutaArchivoErrores()); }, motivo)) {
        inf.Falla(que, motivo);
        return;
    }
    const QFileInfo fi(ruta);
    if (fi.exists()) {
        if (fi.isDir()) {
            inf.Falla(que, ruta + QStringLiteral(" es una carpeta"));
            return;
        }
        const int fd = archivos::AbreArchivo(ruta, O_WRONLY | O_APPEND);
        if (fd < 0) {
            inf.Falla(que, ruta + QStringLiteral(": ") + Sistema(errno));
            return;
        }
        ::close(fd);
        inf.Ok(que, ruta);
        return;
    }
    const QString carpeta = fi.absolutePath();
    if (!QFileInfo(carpeta).isDir()) {
        const bool seCrea = carpetaProgramaSeCrea && carpeta == aplicacion::Carpeta();
        inf.Segun(seCrea, que,
                  ruta + (seCrea ? QStringLiteral(" (no existe; se crea con la carpeta del programa)")
                                 : QStringLiteral(" (no existe la carpeta ") + carpeta + u')'));
        return;
    }
    if (::access(QFile::encodeName(carpeta).constData(), W_OK | X_OK) != 0) {
        inf.Falla(que, carpeta + QStringLiteral(": ") + Sistema(errno));
        return;
    }
    inf.Ok(que, ruta + QStringLiteral(" (no existe; se crea con el primer error)"));
}

} // namespace

int Diagnostico(const QString& parametros, QTextStream& salida)
{
    // Only the core: the checks need no display.
    static int argc = 1;
    static char nombre[] = "verificador";
    static char* argv[] = {nombre, nullptr};
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app.emplace(argc, argv);

    aplicacion::FijaSoloMirar(true);
    auto propio = std::make_unique<OperadorDiagnostico>();
    OperadorDiagnostico& op = *propio;
    std::unique_ptr<Operador> previo = instalaOperador(std::move(propio));
    Informe inf(salida);

    const QString carpeta = aplicacion::Carpeta();
    const bool carpetaBien = CarpetaPrograma(inf, carpeta);
    ArchivoPrograma(inf, QStringLiteral("servidores.ini"), ado::ArchivoServidores());
    ArchivoPrograma(inf, QStringLiteral("unidades.ini"), aplicacion::ArchivoConfiguracion(QStringLiteral("unidades.ini")));
    ArchivoPrograma(inf, QStringLiteral("SVERR.LOG"), DB().RutaArchivoErrores());
    ArchivoPrograma(inf, QStringLiteral("BASES.TXT"), ArchivoBases());
    ArchivoPrograma(inf, QStringLiteral("consultas.slv"), rutas::ArchivoEnCarpeta(carpeta, QStringLiteral("consultas.slv")));
    ArchivoPrograma(inf, QStringLiteral("CONSULTASLEN.SLV"), rutas::ArchivoEnCarpeta(carpeta, QStringLiteral("CONSULTASLEN.SLV")));
    Unidades(inf);

    // The connection as the start-up opens it, but without its box: a
    // failure is told here, with the provider's reason.
    ParametrosInicio p;
    QString cadena, motivo;
    Intenta([&] { p = LeeParametros(CadenaParametros(parametros), cadena); }, motivo);
    Intenta([&] { motivo = inicio::ConectaPrincipal(p, cadena, ado::adUseClient, false); }, motivo);
    const bool conectado = DB().gOpenFlag;
    Servidor(inf, p, conectado);
    inf.Segun(conectado, QStringLiteral("Conexion"),
              conectado ? QStringLiteral("base %1 del servidor %2").arg(DB().gDBName, DB().gServidor) : motivo);

    const Vista vista = LeeVista(inf, op, conectado);
    CarpetaExportacion(inf, op, conectado, vista);
    RegistroEscribible(inf, carpetaBien && !QFileInfo(carpeta).isDir());

    instalaOperador(std::move(previo));
    aplicacion::FijaSoloMirar(false);
    return inf.Bien() ? 0 : 1;
}
