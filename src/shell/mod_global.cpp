#include "shell/mod_global.h"

#include "db/db_dll.h"
#include "db/globales.h"
#include "diag/registra_error.h"
#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/vb.h"
#include "suitelib/archivo_ini.h"
#include "suitelib/equipo.h"
#include "suitelib/funciones_generales.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QWidget>

std::int16_t NumeroSkin = 0;

FilaSkin FilaDeSkin(int numero)
{
    switch (numero) {
    case 1: return {QStringLiteral("Styles\\Vista.cjstyles"), {}};
    case 2: return {QStringLiteral("Styles\\WinXP.Luna.cjstyles"), {}};
    case 3: return {QStringLiteral("Styles\\WinXP.Royale.cjstyles"), {}};
    case 4: return {QStringLiteral("Styles\\iTunes"), QStringLiteral("Normalitunes.ini")};
    default: return {QStringLiteral("Styles\\Office2007.cjstyles"), {}};
    }
}

QString ClaveSkin()
{
    return Equipo().UsuarioEquipo().toUpper() + u'_' + DB().gDBName.toUpper() + QStringLiteral("Styles");
}

namespace {

// The style sheet that stands for a skin file: its name with ".qss".
QString HojaDeEstilo(const QString& archivoSkin)
{
    QString hoja = archivoSkin;
    if (hoja.endsWith(QLatin1String(".cjstyles"), Qt::CaseInsensitive))
        hoja.chop(9);
    return hoja + QStringLiteral(".qss");
}

} // namespace

void CargaSkin(QWidget* formulario)
{
    auto r = Rutina::Omitir();
    QString texto = QStringLiteral("4"), carpeta, hoja;
    FilaSkin fila;
    r.paso([&] {
        texto = ArchivoIni().LeeIni(QStringLiteral("cn000pr.ini"), QStringLiteral("Styles"), ClaveSkin(), QStringLiteral("4"));
    });
    // A number no 16-bit integer holds overflows, and the skin stays as it was.
    r.paso([&] { NumeroSkin = Variant(vb::Val(texto)).toInteger(); });
    r.paso([&] { carpeta = FuncionesGenerales().BarraFinal(aplicacion::Carpeta()); });
    r.paso([&] { fila = FilaDeSkin(NumeroSkin); });
    r.paso([&] {
        if (!formulario)
            return;
        const QString ruta = rutas::ArchivoEnCarpeta(carpeta, HojaDeEstilo(fila.archivo));
        if (!ExisteArchivo(ruta))
            return;
        QStringList lineas = archivos::LeeLineas(ruta);
        formulario->setStyleSheet(lineas.join(u'\n'));
    });
}

void AbrirDocumento(const QString& documento, bool maximizado)
{
    QString texto = documento;
    if (texto.contains(u' ') && !texto.contains(u'"'))
        texto = u'"' + texto + u'"';
    Equipo().AbreDocumento(texto, maximizado ? 6 : 0);
}

QString CadenaParametrosHermano(const QString& parametro)
{
    return QStringLiteral(" ; @server=") + DB().gServidor + QStringLiteral("; @dbname=") + DB().gDBName
        + QStringLiteral("; @usuario=") + glb::UsuarioActual + QStringLiteral("; @Password=") + glb::ClaveActual
        + QStringLiteral("; @ParametroAdicional=") + parametro + QStringLiteral("; torvo@ ; @UsuarioLogeado = ")
        + glb::UsuarioActual + QStringLiteral("; @Caja=") + glb::CajaActual + u';';
}

std::int64_t IniciaPrograma(const QString& programa, const QStringList& argumentos)
{
    QString ruta;
    try {
        ruta = rutas::Resolver(vb::Trim(programa));
    } catch (const VbError&) {
        return 0;
    }
    // The suite names its programs with or without ".exe".
    QFileInfo fi(ruta);
    if (!fi.isFile() && ruta.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        fi = QFileInfo(ruta.left(ruta.size() - 4));
    if (!fi.isFile() || !fi.isExecutable())
        return 0;
    qint64 pid = 0;
    if (!QProcess::startDetached(fi.absoluteFilePath(), argumentos, fi.absolutePath(), &pid))
        return 0;
    return pid;
}

void MenuExes(const QString& programa, QString& parametro, std::int32_t& tarea)
{
    Rutina r([&](const VbError& e) {
        return Rutina::SegunRespuesta(RegistraError(e, std::nullopt, QStringLiteral("MenuExes")));
    });
    QString cadena, comando;
    tarea = 0;
    r.paso([&] {
        const int blanco = parametro.indexOf(u' ');
        if (blanco >= 0)
            parametro = parametro.mid(blanco + 1);
    });
    r.paso([&] { cadena = CadenaParametrosHermano(parametro); });
    r.paso([&] {
        if (programa.contains(u'\\'))
            comando = programa.mid(6);
        else if (vb::Contiene(programa, u"SHELL"))
            comando = FuncionesGenerales().BarraFinal(aplicacion::Carpeta()) + programa.mid(6);
        else
            comando = FuncionesGenerales().BarraFinal(aplicacion::Carpeta()) + programa;
    });
    // The parameter string travels as one argument: the password it carries
    // is never seen by a shell.
    r.paso([&] {
        tarea = std::int32_t(IniciaPrograma(comando, {cadena}));
        if (tarea == 0)
            Raise(vberr::FileNotFound, QStringLiteral("File not found: ") + vb::Acota(comando));
    });
    r.paso([&] {
        if (tarea == 0)
            operador().MsgBox(QStringLiteral("Opcion no Implementada!") + u'\r'
                                  + QStringLiteral("Comuniquese con su proveedor de sistemas"),
                              estilo::Critical, QStringLiteral("Atención"));
    });
}

bool ExisteArchivo(const QString& ruta) { return rutas::ExisteArchivo(ruta); }

bool ExisteCarpeta(const QString& ruta) { return rutas::ExisteArchivo(QString(ruta).remove(u'"')); }
