#include "platform/rutas.h"

#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/errores.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace rutas {

namespace {

struct Mapa {
    QString carpetaPrograma;
    QByteArray entorno;
    QString unidades[26];           // empty: the default folder
    QHash<QString, QString> recursos; // "server\share" in lower case -> folder
    QString raizRed;
    QString error; // why the mapping cannot be read; every use of it raises
};

std::optional<Mapa>& mapaGuardado()
{
    static std::optional<Mapa> m;
    return m;
}

QByteArray nativo(const QString& p) { return QFile::encodeName(p); }

bool esSeparador(QChar c) { return c == u'\\' || c == u'/'; }

QStringList partesDe(QString ruta) { return ruta.replace(u'/', u'\\').split(u'\\'); }

QString absoluta(const QString& carpeta, const QString& base)
{
    if (carpeta.startsWith(u'/'))
        return QDir::cleanPath(carpeta);
    return QDir::cleanPath(base + u'/' + carpeta);
}

const QString kFormas = QStringLiteral(" no es UNIDAD=CARPETA, \\\\SERVIDOR\\RECURSO=CARPETA ni \\\\=CARPETA");

// False when the entry is not one of the forms of the mapping: a drive
// letter ("C" or "C:"), a share ("\\server\share") or the root of the shares
// ("\\"), with a folder.
bool agregaEntrada(Mapa& m, QString clave, const QString& valor)
{
    clave = clave.trimmed();
    const QString carpeta = valor.trimmed();
    if (carpeta.isEmpty())
        return false;
    const QString destino = absoluta(carpeta, m.carpetaPrograma);
    if (clave.size() == 1 || (clave.size() == 2 && clave[1] == u':')) {
        const char16_t l = clave[0].toUpper().unicode();
        if (l < u'A' || l > u'Z')
            return false;
        m.unidades[l - u'A'] = destino;
        return true;
    }
    if (!clave.startsWith(QLatin1String("\\")))
        return false;
    QString resto = clave.mid(2);
    while (!resto.isEmpty() && esSeparador(resto.back()))
        resto.chop(1);
    if (resto.isEmpty()) {
        m.raizRed = destino;
        return true;
    }
    const QStringList partes = partesDe(resto);
    if (partes.size() != 2 || partes[0].isEmpty() || partes[1].isEmpty())
        return false;
    m.recursos.insert(partes.join(u'\\').toLower(), destino);
    return true;
}

// The entries of unidades.ini. Anything but section [Unidades] and its
// entries is refused: a typo would send the files elsewhere unnoticed.
QString leeArchivoUnidades(Mapa& m, const QString& archivo)
{
    if (!QFile::exists(archivo))
        return {};
    QStringList lineas;
    QString error;
    Rutina lectura([&](const VbError& e) {
        error = QStringLiteral("%1: %2").arg(archivo, e.Description);
        return Accion::Salir;
    });
    if (!lectura.paso([&] { lineas = archivos::LeeLineas(archivo); }))
        return error;
    bool enUnidades = false;
    for (const auto& [numero, linea] : archivos::LineasIni(lineas)) {
        const QString donde = QStringLiteral("%1, linea %2: \"%3\"").arg(archivo).arg(numero).arg(linea);
        if (linea.startsWith(u'[')) {
            enUnidades = linea.endsWith(u']') && linea.mid(1, linea.size() - 2).trimmed().compare(u"Unidades", Qt::CaseInsensitive) == 0;
            if (!enUnidades)
                return donde + QStringLiteral(" no es la seccion [Unidades]");
            continue;
        }
        if (!enUnidades)
            return donde + QStringLiteral(" esta fuera de la seccion [Unidades]");
        const qsizetype igual = linea.indexOf(u'=');
        QString valor = igual > 0 ? linea.mid(igual + 1).trimmed() : QString();
        if (valor.size() >= 2 && valor.startsWith(u'"') && valor.endsWith(u'"'))
            valor = valor.mid(1, valor.size() - 2);
        if (igual <= 0 || !agregaEntrada(m, linea.left(igual), valor))
            return donde + kFormas;
    }
    return {};
}

const Mapa& mapa()
{
    auto& m = mapaGuardado();
    const QString carpeta = aplicacion::Carpeta();
    const QByteArray entorno = qgetenv("VERIFICADOR_UNIDADES");
    if (!m || m->carpetaPrograma != carpeta || m->entorno != entorno) {
        Mapa n;
        n.carpetaPrograma = carpeta;
        n.entorno = entorno;
        n.raizRed = carpeta + QStringLiteral("/unidades/red");
        n.error = leeArchivoUnidades(n, aplicacion::ArchivoConfiguracion(QStringLiteral("unidades.ini")));
        for (const QString& e : QString::fromLocal8Bit(entorno).split(u';', Qt::SkipEmptyParts)) {
            if (!n.error.isEmpty())
                break;
            const qsizetype igual = e.indexOf(u'=');
            if (e.trimmed().isEmpty())
                continue;
            if (igual <= 0 || !agregaEntrada(n, e.left(igual), e.mid(igual + 1)))
                n.error = QStringLiteral("VERIFICADOR_UNIDADES: \"%1\"").arg(e.trimmed()) + kFormas;
        }
        m = std::move(n);
    }
    if (!m->error.isEmpty())
        Raise(vberr::InvalidCall, QStringLiteral("No se puede leer la asignacion de unidades: ") + m->error, aplicacion::NombreEjecutable());
    return *m;
}

bool existe(const QString& p)
{
    struct stat st;
    return ::lstat(nativo(p).constData(), &st) == 0;
}

bool esCarpeta(const QString& p)
{
    struct stat st;
    return ::stat(nativo(p).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of carpeta whose name equals nombre ignoring case, if any: the
// exact spelling when it is there, else the first in code order, so that the
// same folder always gives the same file.
QString buscaSinCaso(const QString& carpeta, const QString& nombre)
{
    DIR* d = ::opendir(nativo(carpeta).constData());
    if (!d)
        return {};
    QString hallado;
    while (dirent* e = ::readdir(d)) {
        const QString n = QFile::decodeName(e->d_name);
        if (n.compare(nombre, Qt::CaseInsensitive) != 0)
            continue;
        if (n == nombre) {
            hallado = n;
            break;
        }
        if (hallado.isEmpty() || n < hallado)
            hallado = n;
    }
    ::closedir(d);
    return hallado;
}

// raiz followed by the components, ".." stopping at raiz as Windows does.
QString bajo(const QString& raiz, const QStringList& partes)
{
    QStringList limpias;
    for (const QString& p : partes) {
        if (p.isEmpty() || p == u'.')
            continue;
        if (p == QLatin1String("..")) {
            if (!limpias.isEmpty())
                limpias.removeLast();
            continue;
        }
        limpias << p;
    }
    QString actual = raiz;
    bool buscar = true;
    for (const QString& p : limpias) {
        QString siguiente = actual + u'/' + p;
        if (buscar && !existe(siguiente)) {
            const QString real = buscaSinCaso(actual, p);
            if (real.isEmpty())
                buscar = false;
            else
                siguiente = actual + u'/' + real;
        }
        actual = siguiente;
    }
    return actual;
}

[[noreturn]] void nombreErroneo(const QString& ruta)
{
    Raise(vberr::BadFileName, QStringLiteral("Bad file name or number: '%1'").arg(ruta), aplicacion::NombreEjecutable());
}

QString carpetaDe(const QString& resuelta)
{
    const qsizetype barra = resuelta.lastIndexOf(u'/');
    if (barra < 0)
        return QStringLiteral(".");
    return barra == 0 ? QStringLiteral("/") : resuelta.left(barra);
}

} // namespace

bool EsFormaWindows(const QString& ruta)
{
    if (ruta.startsWith(u'\\'))
        return true;
    return ruta.size() >= 2 && ruta[1] == u':' && ruta[0].unicode() < 128 && ruta[0].isLetter();
}

QString CarpetaUnidad(QChar letra)
{
    const char16_t l = letra.toUpper().unicode();
    if (l < u'A' || l > u'Z')
        nombreErroneo(QString(letra) + u':');
    const Mapa& m = mapa();
    if (!m.unidades[l - u'A'].isEmpty())
        return m.unidades[l - u'A'];
    // A drive's root always exists on the suite's workstations: the default
    // folder is made on first use (a configured one is left as it is).
    const QString c = m.carpetaPrograma + QStringLiteral("/unidades/") + QChar(l).toLower();
    if (!esCarpeta(c) && !aplicacion::SoloMirar())
        QDir().mkpath(c);
    return c;
}

void Recargar() { mapaGuardado().reset(); }

QChar Separador(const QString& carpeta)
{
    const bool posix = carpeta.startsWith(u'/') || (carpeta.contains(u'/') && !carpeta.contains(u'\\'));
    return posix ? u'/' : u'\\';
}

QString ArchivoEnCarpeta(const QString& carpeta, const QString& nombre)
{
    QString ruta = carpeta;
    while (ruta.size() > 1 && esSeparador(ruta.back()))
        ruta.chop(1);
    const QChar separador = Separador(ruta);
    QString real;
    try {
        real = Resolver(ruta);
    } catch (const VbError&) {
        // A folder that names nothing: the name is kept as given.
    }
    for (const QString& parte : partesDe(nombre)) {
        if (parte.isEmpty())
            continue;
        QString hallada;
        if (!real.isEmpty())
            hallada = existe(real + u'/' + parte) ? parte : buscaSinCaso(real, parte);
        const QString usada = hallada.isEmpty() ? parte : hallada;
        real = hallada.isEmpty() ? QString() : real + u'/' + hallada;
        if (!ruta.isEmpty() && !esSeparador(ruta.back()))
            ruta += separador;
        ruta += usada;
    }
    return ruta;
}

void CompruebaUnidades() { mapa(); }

QString Resolver(const QString& rutaDada)
{
    if (rutaDada.isEmpty() || rutaDada.contains(QChar(0)))
        nombreErroneo(rutaDada);
    QString ruta = rutaDada;
    const bool prefijo = ruta.size() >= 4 && ruta[0] == u'\\' && esSeparador(ruta[1])
                         && (ruta[2] == u'?' || ruta[2] == u'.') && esSeparador(ruta[3]);
    if (prefijo) {
        // \\?\ and \\.\ take what follows as a full Windows path: a drive and
        // its root, or UNC\server\share. Anything else (a device, a relative
        // or POSIX path, nothing) names no file of a drive or a share.
        ruta = ruta.mid(4);
        if (ruta.size() >= 4 && ruta.left(3).compare(u"UNC", Qt::CaseInsensitive) == 0 && esSeparador(ruta[3]))
            ruta = QStringLiteral("\\\\") + ruta.mid(4);
        else if (!(ruta.size() >= 2 && ruta[1] == u':' && EsFormaWindows(ruta) && (ruta.size() == 2 || esSeparador(ruta[2]))))
            nombreErroneo(rutaDada);
    }
    if (ruta.startsWith(u'/'))
        return QDir::cleanPath(QString(ruta).replace(u'\\', u'/'));

    for (qsizetype i = 0; i < ruta.size(); ++i) {
        const QChar c = ruta[i];
        if (c.unicode() < 32 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*'
            || (c == u':' && i != 1))
            nombreErroneo(rutaDada);
    }
    if (!EsFormaWindows(ruta)) {
        // Taken from the current folder, and kept below it: ".." may not
        // climb out of the folder the path is taken from.
        int nivel = 0;
        for (const QString& p : partesDe(ruta)) {
            if (p == QLatin1String(".."))
                --nivel;
            else if (!p.isEmpty() && p != u'.')
                ++nivel;
            if (nivel < 0)
                nombreErroneo(rutaDada);
        }
        return QDir::cleanPath(ruta.replace(u'\\', u'/'));
    }

    if (esSeparador(ruta[0]) && ruta.size() >= 2 && esSeparador(ruta[1])) {
        // \\server\share is the root: ".." stops there, as at a drive's root.
        const QStringList partes = partesDe(ruta.mid(2));
        if (partes.size() < 2)
            nombreErroneo(rutaDada);
        for (const QString& p : partes.first(2))
            if (p.isEmpty() || p == u'.' || p == QLatin1String(".."))
                nombreErroneo(rutaDada);
        const Mapa& m = mapa();
        const QString clave = (partes[0] + u'\\' + partes[1]).toLower();
        if (auto it = m.recursos.constFind(clave); it != m.recursos.constEnd())
            return bajo(*it, partes.mid(2));
        return bajo(bajo(m.raizRed, partes.first(2)), partes.mid(2));
    }
    QString raiz;
    QString resto;
    if (esSeparador(ruta[0])) {
        raiz = CarpetaUnidad(u'C'); // the current drive of the suite's programs
        resto = ruta;
    } else {
        raiz = CarpetaUnidad(ruta[0]);
        resto = ruta.mid(2);
    }
    return bajo(raiz, partesDe(resto));
}

QStringList RutasReales(const QString& texto)
{
    static const QRegularExpression ruta(
        QStringLiteral(R"re("((?:[A-Za-z]:\\|\\\\)[^"\r\n]*)"|'((?:[A-Za-z]:\\|\\\\)[^'\r\n]*)'|(?<![\w\\])((?:[A-Za-z]:\\|\\\\)[^\s"'<>|]*))re"));
    QStringList lineas;
    for (auto it = ruta.globalMatch(texto); it.hasNext();) {
        const auto m = it.next();
        QString windows = m.captured(1) + m.captured(2);
        if (windows.isEmpty()) {
            windows = m.captured(3);
            while (!windows.isEmpty() && QStringLiteral(".,;:)").contains(windows.back()))
                windows.chop(1);
        }
        QString real;
        Rutina::Omitir().paso([&] { real = rutas::Resolver(windows); });
        const QString linea = QStringLiteral("Ruta real: ") + real;
        if (!real.isEmpty() && real != windows && !lineas.contains(linea))
            lineas << linea;
    }
    return lineas;
}

bool ExisteArchivo(const QString& ruta)
{
    try {
        const int fd = archivos::AbreArchivo(Resolver(ruta), O_RDONLY);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    } catch (const VbError&) {
        return false;
    }
}

bool ExisteCarpeta(const QString& ruta)
{
    try {
        const QByteArray p = nativo(Resolver(ruta));
        return esCarpeta(QFile::decodeName(p)) && ::access(p.constData(), R_OK | X_OK) == 0;
    } catch (const VbError&) {
        return false;
    }
}

void CreaCarpeta(const QString& ruta)
{
    const QString r = Resolver(ruta);
    if (::mkdir(nativo(r).constData(), 0777) != 0)
        FallaSistema(errno, ruta, r, true);
}

void BorraArchivo(const QString& ruta)
{
    const QString r = Resolver(ruta);
    if (esCarpeta(r))
        FallaSistema(ENOENT, ruta, r); // a folder is no file to delete
    if (::unlink(nativo(r).constData()) != 0)
        FallaSistema(errno, ruta, r);
}

void Reemplaza(const QString& origen, const QString& destino)
{
    const QString o = Resolver(origen);
    const QString d = Resolver(destino);
    const int falla = archivos::FallaInyectada(archivos::fallas().renombre);
    if (falla == 0 && ::rename(nativo(o).constData(), nativo(d).constData()) == 0)
        return;
    const int e = falla != 0 ? falla : errno;
    if (e == ENOENT && !existe(o))
        FallaSistema(e, origen, o);
    FallaSistema(e, destino, d, true);
}

void FallaSistema(int e, const QString& ruta, const QString& resuelta, bool creando)
{
    int numero = vberr::PathFileAccess;
    const char* texto = "Path/File access error";
    switch (e) {
    case ENOENT:
        if (!creando && esCarpeta(carpetaDe(resuelta))) {
            numero = vberr::FileNotFound;
            texto = "File not found";
        } else {
            numero = vberr::PathNotFound;
            texto = "Path not found";
        }
        break;
    case ENOTDIR:
        numero = vberr::PathNotFound;
        texto = "Path not found";
        break;
    case EACCES:
    case EPERM:
        numero = vberr::PermissionDenied;
        texto = "Permission denied";
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        numero = vberr::DiskFull;
        texto = "Disk full";
        break;
    case ENAMETOOLONG:
    case EILSEQ:
    case EINVAL:
        numero = vberr::BadFileName;
        texto = "Bad file name or number";
        break;
    case EXDEV:
        numero = 74;
        texto = "Can't rename with different drive";
        break;
    case EMFILE:
    case ENFILE:
        numero = 67;
        texto = "Too many files";
        break;
    case EIO:
        numero = 57;
        texto = "Device I/O error";
        break;
    default:
        break;
    }
    // The system's own words say more than the platform's number (EIO, EROFS,
    // EBUSY): both, unless they say the same.
    QString d = QLatin1String(texto);
    const QString sistema = QString::fromLocal8Bit(std::strerror(e));
    if (!sistema.isEmpty() && sistema.compare(d, Qt::CaseInsensitive) != 0)
        d += QStringLiteral(" (%1)").arg(sistema);
    d += QStringLiteral(": '%1'").arg(ruta);
    if (resuelta != ruta && !resuelta.isEmpty())
        d += QStringLiteral(" (%1)").arg(resuelta);
    Raise(numero, d, aplicacion::NombreEjecutable());
}

} // namespace rutas
