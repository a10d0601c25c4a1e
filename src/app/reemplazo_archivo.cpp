#include "app/reemplazo_archivo.h"

#include "platform/errores.h"
#include "platform/rutas.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary files of the exports under way, where the signal handler can
// read them without allocating or locking.
constexpr int kRanuras = 4;
char gRutas[kRanuras][PATH_MAX];
volatile sig_atomic_t gCreada[kRanuras];
bool gReservada[kRanuras];
int gEnCurso = 0;
constexpr int kSenales[] = {SIGTERM, SIGHUP, SIGINT};
struct sigaction gPrevias[std::size(kSenales)];
bool gInstalada[std::size(kSenales)];

extern "C" void AlTerminar(int senal)
{
    for (int i = 0; i < kRanuras; ++i)
        if (gCreada[i])
            ::unlink(gRutas[i]);
    // Then end as the signal ends the program.
    struct sigaction omision {};
    omision.sa_handler = SIG_DFL;
    sigemptyset(&omision.sa_mask);
    ::sigaction(senal, &omision, nullptr);
    ::raise(senal);
}

void InstalaManejadores()
{
    if (gEnCurso++ > 0)
        return;
    for (size_t i = 0; i < std::size(kSenales); ++i) {
        struct sigaction previa {};
        gInstalada[i] = false;
        // A signal the program was told to ignore (nohup) stays ignored.
        if (::sigaction(kSenales[i], nullptr, &previa) != 0 || previa.sa_handler != SIG_DFL)
            continue;
        struct sigaction nueva {};
        nueva.sa_handler = AlTerminar;
        sigfillset(&nueva.sa_mask);
        if (::sigaction(kSenales[i], &nueva, &gPrevias[i]) == 0)
            gInstalada[i] = true;
    }
}

void QuitaManejadores()
{
    if (--gEnCurso > 0)
        return;
    for (size_t i = 0; i < std::size(kSenales); ++i)
        if (gInstalada[i])
            ::sigaction(kSenales[i], &gPrevias[i], nullptr);
}

int ReservaRanura(const QByteArray& ruta)
{
    if (ruta.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < kRanuras; ++i)
        if (!gReservada[i]) {
            gReservada[i] = true;
            gCreada[i] = 0;
            std::memcpy(gRutas[i], ruta.constData(), size_t(ruta.size()) + 1);
            return i;
        }
    return -1;
}

void LiberaRanura(int i)
{
    if (i < 0)
        return;
    gCreada[i] = 0;
    gReservada[i] = false;
}

// Temporary files that killed runs left: ours and those of older versions.
void BorraRestos(const QString& carpeta, const QString& nombre)
{
    const QString n = QRegularExpression::escape(nombre);
    const QRegularExpression resto(QStringLiteral("^(\\.%1\\.[A-Za-z0-9]{12}|%1\\.[0-9]+\\.tmp)$").arg(n),
                                   QRegularExpression::CaseInsensitiveOption);
    DIR* d = ::opendir(QFile::encodeName(carpeta).constData());
    if (!d)
        return;
    const int dfd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        if (!resto.match(QFile::decodeName(e->d_name)).hasMatch())
            continue;
        struct stat st;
        if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
            ::unlinkat(dfd, e->d_name, 0);
    }
    ::closedir(d);
}

// Shared while a run writes in the folder; whoever gets it alone may clear the
// leftovers, as no other run's temporary file can be among them. Without a
// lock (a folder that refuses it) nothing is cleared: -1.
int TomaBloqueo(const QString& carpeta, const QString& nombre)
{
    const QByteArray ruta = QFile::encodeName(carpeta + QStringLiteral("/.") + nombre + QStringLiteral(".lock"));
    int fd = -1;
    for (int intento = 0; fd < 0; ++intento) {
        fd = ::open(ruta.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
        struct stat st;
        if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd);
            fd = -1;
        } else if (fd < 0 && errno != ELOOP) {
            return -1;
        }
        if (fd >= 0)
            break;
        // Something else at our name (a link, a pipe) is no run's lock: it goes.
        if (intento > 0 || ::lstat(ruta.constData(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)
            || ::unlink(ruta.constData()) != 0)
            return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        BorraRestos(carpeta, nombre);
        if (::flock(fd, LOCK_SH) == 0)
            return fd;
    } else {
        // Another run holds it alone only while it clears: a short wait.
        for (int i = 0; i < 300; ++i) {
            if (::flock(fd, LOCK_SH | LOCK_NB) == 0)
                return fd;
            if (errno != EWOULDBLOCK && errno != EINTR)
                break;
            ::usleep(10000);
        }
    }
    ::close(fd);
    return -1;
}

} // namespace

QString NombreTemporal(const QString& carpeta, const QString& nombre)
{
    static const char kLetras[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString s = carpeta + QStringLiteral("/.") + nombre + u'.';
    for (int i = 0; i < 12; ++i)
        s += QLatin1Char(kLetras[QRandomGenerator::system()->bounded(int(sizeof kLetras) - 1)]);
    return s;
}

ReemplazoArchivo::ReemplazoArchivo(const QString& destino) : destino_(destino)
{
    final_ = rutas::Resolver(destino);
    const QFileInfo fi(final_);
    carpeta_ = fi.absolutePath();
    const QString nombre = fi.fileName();
    bloqueo_ = TomaBloqueo(carpeta_, nombre);
    temporal_ = NombreTemporal(carpeta_, nombre);
    InstalaManejadores();
    manejadores_ = true;
    ranura_ = ReservaRanura(QFile::encodeName(temporal_));
    // Marked before it exists: a signal right after the creation must find it.
    // The name is unpredictable, so nothing else can be there under it.
    if (ranura_ >= 0)
        gCreada[ranura_] = 1;
    try {
        salida_ = std::make_unique<archivos::EscritorTexto>(temporal_, archivos::EscritorTexto::Modo::Exclusivo);
    } catch (...) {
        if (ranura_ >= 0)
            gCreada[ranura_] = 0;
        temporal_.clear(); // not ours: it was not created
        Descarta();
        throw;
    }
}

ReemplazoArchivo::~ReemplazoArchivo() { Descarta(); }

void ReemplazoArchivo::Confirma()
{
    salida_->Cierra();
    rutas::Reemplaza(temporal_, destino_);
    confirmado_ = true;
    LiberaRanura(ranura_);
    ranura_ = -1;
    // The new name must survive a power loss as well as the content.
    const int fd = ::open(QFile::encodeName(carpeta_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    Descarta();
}

void ReemplazoArchivo::Descarta()
{
    if (!confirmado_ && !temporal_.isEmpty()) {
        ::unlink(QFile::encodeName(temporal_).constData());
        temporal_.clear();
    }
    LiberaRanura(ranura_);
    ranura_ = -1;
    if (salida_) {
        try {
            salida_.reset();
        } catch (...) {
        }
    }
    if (bloqueo_ >= 0) {
        ::close(bloqueo_);
        bloqueo_ = -1;
    }
    if (manejadores_) {
        QuitaManejadores();
        manejadores_ = false;
    }
}
