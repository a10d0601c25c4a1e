#include "platform/archivos.h"

#include "platform/aplicacion.h"
#include "platform/errores.h"
#include "platform/rutas.h"

#include <QFile>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace archivos {

namespace {

// Bytes 0x80..0x9F of Windows-1252. The five unassigned ones keep their own
// code (U+0081, ...), as Windows does, so every byte survives a round trip.
constexpr char16_t Altos[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const std::array<char16_t, 256>& tablaDe()
{
    static const std::array<char16_t, 256> t = [] {
        std::array<char16_t, 256> r{};
        for (int b = 0; b < 256; ++b)
            r[b] = (b >= 0x80 && b < 0xA0) ? Altos[b - 0x80] : char16_t(b);
        return r;
    }();
    return t;
}

const std::array<unsigned char, 65536>& tablaA()
{
    static const std::array<unsigned char, 65536> t = [] {
        std::array<unsigned char, 65536> r;
        r.fill('?');
        for (int b = 0; b < 256; ++b)
            r[tablaDe()[b]] = static_cast<unsigned char>(b);
        return r;
    }();
    return t;
}

QByteArray nativo(const QString& p) { return QFile::encodeName(p); }

int errnoNoRegular(const struct stat& st) { return S_ISDIR(st.st_mode) ? EISDIR : ENXIO; }

// Opens ruta with flags; raises the platform's error naming the path.
int abre(const QString& ruta, QString& resuelta, int flags, unsigned permisos = 0666)
{
    resuelta = rutas::Resolver(ruta);
    const int fd = AbreArchivo(resuelta, flags, permisos);
    if (fd < 0)
        rutas::FallaSistema(errno, ruta, resuelta, (flags & O_CREAT) != 0);
    return fd;
}

void escribeTodo(int fd, const char* datos, qsizetype n, const QString& ruta, const QString& resuelta)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, datos, size_t(n));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            rutas::FallaSistema(errno, ruta, resuelta);
        }
        datos += w;
        n -= w;
    }
}

void cierra(int& fd, const QString& ruta, const QString& resuelta)
{
    if (fd < 0)
        return;
    const int r = ::close(fd);
    fd = -1;
    if (r != 0 && errno != EINTR)
        rutas::FallaSistema(errno, ruta, resuelta);
}

} // namespace

int AbreArchivo(const QString& resuelta, int flags, unsigned permisos)
{
    const QByteArray n = nativo(resuelta);
    const bool lee = (flags & O_ACCMODE) != O_WRONLY;
    const auto usable = [lee](const struct stat& st) { return lee ? S_ISREG(st.st_mode) : !S_ISDIR(st.st_mode); };
    struct stat st;
    // Looked at before the open, which may act on a device...
    if (::stat(n.constData(), &st) == 0 && !usable(st)) {
        errno = errnoNoRegular(st);
        return -1;
    }
    // ...and again once open, as something else may have been put at the
    // name meanwhile; O_NONBLOCK keeps even that open from waiting.
    const int fd = ::open(n.constData(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode_t(permisos));
    if (fd < 0)
        return -1;
    const bool visto = ::fstat(fd, &st) == 0;
    if (!visto || !usable(st)) {
        const int e = visto ? errnoNoRegular(st) : errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    const int estado = ::fcntl(fd, F_GETFL);
    if (estado >= 0)
        ::fcntl(fd, F_SETFL, estado & ~O_NONBLOCK);
    return fd;
}

char* CopiaAnsi(QStringView texto, char* d)
{
    const auto& t = tablaA();
    const char16_t* s = texto.utf16();
    const qsizetype n = texto.size();
    for (qsizetype i = 0; i < n; ++i) {
        // Runs of plain ASCII, the bulk of any text here, copy without the table.
        while (i < n && s[i] < 0x80)
            *d++ = char(s[i++]);
        if (i == n)
            break;
        const char16_t c = s[i];
        if (c < 0x80) {
            *d++ = char(c);
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            *d++ = '?'; // one character outside the code page, written as one "?"
            ++i;
        } else {
            *d++ = char(t[c]);
        }
    }
    return d;
}

void AgregaAnsi(QByteArray& destino, QStringView texto)
{
    const qsizetype antes = destino.size();
    destino.resize(antes + texto.size());
    char* fin = CopiaAnsi(texto, destino.data() + antes);
    destino.resize(fin - destino.constData());
}

QByteArray AAnsi(QStringView texto)
{
    QByteArray r;
    AgregaAnsi(r, texto);
    return r;
}

bool CabeEnAnsi(QStringView texto)
{
    // Written and read back, as the file would give it back.
    return DeAnsi(AAnsi(texto)) == texto;
}

QString DeAnsi(QByteArrayView bytes)
{
    const auto& t = tablaDe();
    QString r(bytes.size(), Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(r.data());
    for (const char c : bytes)
        *d++ = t[static_cast<unsigned char>(c)];
    return r;
}

void AgregaLinea(const QString& ruta, QStringView linea)
{
    QString resuelta;
    int fd = abre(ruta, resuelta, O_WRONLY | O_CREAT | O_APPEND);
    QByteArray datos;
    datos.reserve(linea.size() + 2);
    AgregaAnsi(datos, linea);
    datos.append("\r\n", 2);
    try {
        escribeTodo(fd, datos.constData(), datos.size(), ruta, resuelta);
    } catch (...) {
        ::close(fd);
        throw;
    }
    cierra(fd, ruta, resuelta);
}

std::vector<std::pair<int, QString>> LineasIni(const QStringList& lineas)
{
    std::vector<std::pair<int, QString>> r;
    int numero = 0;
    for (const QString& bruta : lineas) {
        ++numero;
        const QString linea = bruta.trimmed();
        if (!linea.isEmpty() && !linea.startsWith(u';') && !linea.startsWith(u'#'))
            r.emplace_back(numero, linea);
    }
    return r;
}

QStringList LeeLineas(const QString& ruta)
{
    LectorTexto l(ruta);
    QStringList r;
    QString linea;
    while (l.LeeLinea(linea))
        r << linea;
    return r;
}

std::vector<std::pair<QString, QString>> SeccionIni(const QString& ruta, const QString& seccion)
{
    std::vector<std::pair<QString, QString>> r;
    try {
        bool dentro = false;
        for (const QString& bruta : LeeLineas(ruta)) {
            const QString linea = bruta.trimmed();
            if (linea.isEmpty() || linea.startsWith(u';'))
                continue;
            if (linea.startsWith(u'[')) {
                const qsizetype cierre = linea.indexOf(u']');
                dentro = cierre > 0 && linea.mid(1, cierre - 1).trimmed().compare(seccion.trimmed(), Qt::CaseInsensitive) == 0;
                continue;
            }
            const qsizetype igual = linea.indexOf(u'=');
            if (!dentro || igual <= 0)
                continue;
            QString valor = linea.mid(igual + 1).trimmed();
            if (valor.size() >= 2 && valor.startsWith(u'"') && valor.endsWith(u'"'))
                valor = valor.mid(1, valor.size() - 2);
            r.emplace_back(linea.left(igual).trimmed(), valor);
        }
    } catch (const VbError&) {
        // a missing or unreadable file has no keys
    }
    return r;
}

// ---- LectorTexto

namespace {
constexpr qsizetype TamLectura = 1 << 16;
}

LectorTexto::LectorTexto(const QString& ruta)
    : ruta_(ruta), buf_(new char[TamLectura])
{
    fd_ = abre(ruta, resuelta_, O_RDONLY);
}

LectorTexto::~LectorTexto()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void LectorTexto::llena()
{
    if (agotado_)
        return;
    for (;;) {
        const ssize_t n = ::read(fd_, buf_.get(), size_t(TamLectura));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            rutas::FallaSistema(errno, ruta_, resuelta_);
        pos_ = 0;
        fin_ = n;
        agotado_ = n == 0;
        return;
    }
}

int LectorTexto::mira()
{
    if (pos_ >= fin_)
        llena();
    return pos_ < fin_ ? static_cast<unsigned char>(buf_[pos_]) : -1;
}

int LectorTexto::lee()
{
    const int c = mira();
    if (c >= 0)
        ++pos_;
    return c;
}

bool LectorTexto::FinArchivo() { return mira() < 0; }

bool LectorTexto::LeeLinea(QString& linea)
{
    if (mira() < 0)
        return false;
    pieza_.resize(0);
    for (;;) {
        if (pos_ >= fin_ && mira() < 0)
            break;
        const char* inicio = buf_.get() + pos_;
        const char* tope = buf_.get() + fin_;
        const char* p = inicio;
        while (p < tope && *p != '\r' && *p != '\n')
            ++p;
        pieza_.append(inicio, p - inicio);
        pos_ += p - inicio;
        if (p < tope) {
            if (lee() == '\r' && mira() == '\n')
                ++pos_;
            break;
        }
    }
    linea = DeAnsi(pieza_);
    return true;
}

QString LectorTexto::Recorta(QStringView campo)
{
    const auto blanco = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype i = 0, f = campo.size();
    while (i < f && blanco(campo[i]))
        ++i;
    while (f > i && blanco(campo[f - 1]))
        --f;
    return campo.sliced(i, f - i).toString();
}

QString LectorTexto::LeeCampo()
{
    int c;
    while ((c = mira()) == ' ' || c == '\t')
        ++pos_;
    if (c < 0)
        Raise(vberr::InputPastEnd, QStringLiteral("Input past end of file: '%1'").arg(ruta_), aplicacion::NombreEjecutable());
    pieza_.resize(0);
    bool abierta = false;
    if (c == '"') {
        ++pos_;
        while ((c = lee()) >= 0 && c != '"')
            pieza_.append(char(c));
        abierta = c < 0;
        // anything between the closing quote and the delimiter is dropped
        while ((c = mira()) >= 0 && c != ',' && c != '\r' && c != '\n')
            ++pos_;
    } else {
        while ((c = mira()) >= 0 && c != ',' && c != '\r' && c != '\n') {
            pieza_.append(char(c));
            ++pos_;
        }
        while (!pieza_.isEmpty() && (pieza_.back() == ' ' || pieza_.back() == '\t'))
            pieza_.chop(1);
    }
    const int delimitador = lee();
    if (delimitador == '\r' && mira() == '\n')
        ++pos_;
    ultimoFin_ = abierta ? FinCampo::ComillaAbierta : delimitador < 0 ? FinCampo::FinArchivo : FinCampo::Delimitador;
    return DeAnsi(pieza_);
}

// ---- ArchivoRegistros

namespace {
constexpr int RegistroErroneo = 63;
}

ArchivoRegistros::ArchivoRegistros(const QString& ruta, int largo)
    : largo_(largo), ruta_(ruta)
{
    if (largo <= 0)
        Raise(vberr::InvalidCall, QStringLiteral("Invalid record length %1: '%2'").arg(largo).arg(ruta), aplicacion::NombreEjecutable());
    resuelta_ = rutas::Resolver(ruta);
    fd_ = AbreArchivo(resuelta_, O_RDWR | O_CREAT);
    if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        const int e = errno;
        fd_ = AbreArchivo(resuelta_, O_RDONLY);
        if (fd_ < 0)
            rutas::FallaSistema(e, ruta, resuelta_, true);
        soloLectura_ = true;
    }
    if (fd_ < 0)
        rutas::FallaSistema(errno, ruta, resuelta_, true);
    registro_.resize(largo);
}

ArchivoRegistros::~ArchivoRegistros()
{
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {
[[noreturn]] void registroErroneo(std::int64_t n, const QString& ruta)
{
    Raise(RegistroErroneo, QStringLiteral("Bad record number %1: '%2'").arg(n).arg(ruta), aplicacion::NombreEjecutable());
}
[[noreturn]] void cerrado(const QString& ruta)
{
    Raise(vberr::BadFileName, QStringLiteral("Bad file name or number: '%1' is closed").arg(ruta), aplicacion::NombreEjecutable());
}
} // namespace

QString ArchivoRegistros::Lee(std::int64_t numero)
{
    if (fd_ < 0)
        cerrado(ruta_);
    if (numero < 1)
        registroErroneo(numero, ruta_);
    char* d = registro_.data();
    std::memset(d, 0, size_t(largo_));
    const off_t desde = off_t(numero - 1) * largo_;
    qsizetype leidos = 0;
    while (leidos < largo_) {
        const ssize_t n = ::pread(fd_, d + leidos, size_t(largo_ - leidos), desde + leidos);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            rutas::FallaSistema(errno, ruta_, resuelta_);
        if (n == 0)
            break;
        leidos += n;
    }
    return DeAnsi(registro_);
}

void ArchivoRegistros::Escribe(std::int64_t numero, QStringView texto)
{
    if (fd_ < 0)
        cerrado(ruta_);
    if (numero < 1)
        registroErroneo(numero, ruta_);
    if (soloLectura_)
        rutas::FallaSistema(EROFS, ruta_, resuelta_);
    char* d = registro_.data();
    char* fin = CopiaAnsi(texto.left(largo_), d);
    std::memset(fin, ' ', size_t(d + largo_ - fin));
    const off_t desde = off_t(numero - 1) * largo_;
    qsizetype escritos = 0;
    while (escritos < largo_) {
        const ssize_t n = ::pwrite(fd_, d + escritos, size_t(largo_ - escritos), desde + escritos);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            rutas::FallaSistema(errno, ruta_, resuelta_);
        escritos += n;
    }
}

std::int64_t ArchivoRegistros::Largo() const
{
    if (fd_ < 0)
        cerrado(ruta_);
    struct stat st;
    if (::fstat(fd_, &st) != 0)
        rutas::FallaSistema(errno, ruta_, resuelta_);
    return st.st_size;
}

std::int64_t ArchivoRegistros::Registros() const { return Largo() / largo_; }

void ArchivoRegistros::Cierra() { cierra(fd_, ruta_, resuelta_); }

// ---- Injected failures

Fallas& fallas()
{
    static Fallas f;
    return f;
}

int FallaArmada(Falla& f)
{
    const int n = ++f.llamadas;
    if (n < f.en || (n > f.en && !f.siempre))
        return 0;
    ++f.fallos;
    return f.error;
}

// ---- EscritorTexto

EscritorTexto::EscritorTexto(const QString& ruta, Modo modo, unsigned permisos)
    : ruta_(ruta), buf_(new char[Capacidad])
{
    if (const int e = FallaInyectada(fallas().apertura))
        rutas::FallaSistema(e, ruta, rutas::Resolver(ruta), true);
    const int forma = modo == Modo::Nuevo ? O_TRUNC : modo == Modo::Agregar ? O_APPEND : O_EXCL | O_NOFOLLOW;
    fd_ = abre(ruta, resuelta_, O_WRONLY | O_CREAT | forma, permisos);
}

EscritorTexto::~EscritorTexto()
{
    try {
        Cierra();
    } catch (const VbError&) {
        // lost: callers that care call Cierra
    }
}

void EscritorTexto::vacia()
{
    if (usado_ > 0) {
        const qsizetype n = usado_;
        usado_ = 0;
        if (const int e = FallaInyectada(fallas().escritura))
            rutas::FallaSistema(e, ruta_, resuelta_);
        escribeTodo(fd_, buf_.get(), n, ruta_, resuelta_);
    }
}

void EscritorTexto::Escribe(QStringView texto)
{
    if (fd_ < 0)
        cerrado(ruta_);
    while (!texto.isEmpty()) {
        if (Capacidad - usado_ < 2)
            vacia();
        qsizetype n = std::min(texto.size(), Capacidad - usado_);
        if (n < texto.size() && texto[n - 1].isHighSurrogate())
            --n; // keep a surrogate pair in one piece
        usado_ = CopiaAnsi(texto.left(n), buf_.get() + usado_) - buf_.get();
        texto = texto.mid(n);
    }
}

void EscritorTexto::EscribeAnsiLento(QByteArrayView bytes)
{
    if (fd_ < 0)
        cerrado(ruta_);
    while (!bytes.isEmpty()) {
        if (usado_ == Capacidad)
            vacia();
        const qsizetype n = std::min(bytes.size(), Capacidad - usado_);
        std::memcpy(buf_.get() + usado_, bytes.data(), size_t(n));
        usado_ += n;
        bytes = bytes.sliced(n);
    }
}

void EscritorTexto::FinLinea()
{
    if (fd_ < 0)
        cerrado(ruta_);
    if (Capacidad - usado_ < 2)
        vacia();
    buf_[usado_++] = '\r';
    buf_[usado_++] = '\n';
}

void EscritorTexto::Cierra()
{
    if (fd_ < 0)
        return;
    try {
        vacia();
        int e = FallaInyectada(fallas().volcado);
        // Special files (a terminal, /dev/null) have nothing to put on disk.
        if (e == 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
            e = errno;
        if (e == 0)
            e = FallaInyectada(fallas().cierre);
        if (e != 0)
            rutas::FallaSistema(e, ruta_, resuelta_);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    cierra(fd_, ruta_, resuelta_);
}

} // namespace archivos
