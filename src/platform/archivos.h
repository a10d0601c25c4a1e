#pragma once
// The system's text files: Windows-1252 (a character outside the code page is
// written as "?"), lines ended by CR LF. Every path is taken as the suite
// stores it and resolved with rutas::Resolver when opened. Failures raise
// VbError with the platform's numbers (53 file not found, 76 path not found,
// 75 path/file access error, 70 permission denied, 61 disk full, 52 bad file
// name, 62 input past end of file, 63 bad record number) and the path.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace archivos {

// Windows-1252 conversion by table. The appending forms allocate nothing
// beyond the growth of the caller's buffer; CopiaAnsi writes at most
// texto.size() bytes and returns the end of what it wrote.
void AgregaAnsi(QByteArray& destino, QStringView texto);
char* CopiaAnsi(QStringView texto, char* destino);
QByteArray AAnsi(QStringView texto);
QString DeAnsi(QByteArrayView bytes);
// True when the code page holds every character of the text.
bool CabeEnAnsi(QStringView texto);

// The one way a file is opened; resuelta is already resolved. Nothing here
// waits for another program: a FIFO would hold the open, or the reads, until
// someone comes to its other end. So whatever is read from (O_RDONLY, O_RDWR)
// must be a regular file, or be missing when flags create it; a FIFO, device
// or socket is no file to read. Opened for writing only, a name the operator
// chose (/dev/null, a FIFO somebody reads) is taken as the system takes it,
// but a FIFO without a reader fails at once. Returns the descriptor
// (close-on-exec, blocking), or -1 with errno set: EISDIR for a folder, ENXIO
// for anything else that cannot be used.
// permisos: the mode of a file the open creates (before the umask).
int AbreArchivo(const QString& resuelta, int flags, unsigned permisos = 0666);

// Opens, appends one line (with CR LF) and closes; creates the file.
void AgregaLinea(const QString& ruta, QStringView linea);
// All lines of a text file.
QStringList LeeLineas(const QString& ruta);
// The lines of an INI file that say something: (line number from 1, line
// trimmed), blank lines and comments (";" or "#") left out.
std::vector<std::pair<int, QString>> LineasIni(const QStringList& lineas);
// The key=value pairs of one section of an INI file (section name ignoring
// case, keys and values trimmed, quotes around a value removed); empty when
// the file or the section is missing. Never raises.
std::vector<std::pair<QString, QString>> SeccionIni(const QString& ruta, const QString& seccion);

// A file opened for input: whole lines (Line Input) or delimited fields
// (Input #: fields separated by commas or line ends, blanks around an
// unquoted field dropped, a quoted field taken up to its closing quote).
// CR LF, CR alone and LF alone all end a line.
class LectorTexto {
public:
    // The blanks LeeCampo drops around an unquoted field: spaces and tabs.
    static QString Recorta(QStringView campo);

    explicit LectorTexto(const QString& ruta);
    ~LectorTexto();
    LectorTexto(const LectorTexto&) = delete;
    LectorTexto& operator=(const LectorTexto&) = delete;

    bool LeeLinea(QString& linea); // false at the end of the file
    QString LeeCampo();            // 62 when the file has no more fields
    bool FinArchivo();
    // What ended the field LeeCampo read last: what follows in the file
    // starts a new field only after a delimiter.
    enum class FinCampo { Delimitador, FinArchivo, ComillaAbierta };
    FinCampo UltimoFin() const { return ultimoFin_; }

private:
    int lee();  // next byte, -1 at the end
    int mira(); // the same, without taking it
    void llena();

    int fd_ = -1;
    QString ruta_, resuelta_;
    std::unique_ptr<char[]> buf_;
    qsizetype pos_ = 0, fin_ = 0;
    bool agotado_ = false;
    QByteArray pieza_;
    FinCampo ultimoFin_ = FinCampo::Delimitador;
};

// Fixed-length records (Open ... For Random Len = largo). Records are numbered
// from 1. Opened for reading and writing (created when missing); an existing
// file that may only be read is opened for reading, and writing to it raises 75.
class ArchivoRegistros {
public:
    ArchivoRegistros(const QString& ruta, int largo);
    ~ArchivoRegistros();
    ArchivoRegistros(const ArchivoRegistros&) = delete;
    ArchivoRegistros& operator=(const ArchivoRegistros&) = delete;

    // The record's characters; bytes past the end of the file read as character 0.
    QString Lee(std::int64_t numero);
    // The text cut or filled with blanks to the record length.
    void Escribe(std::int64_t numero, QStringView texto);
    std::int64_t Largo() const;     // file length in bytes (LOF)
    std::int64_t Registros() const; // whole records in the file
    void Cierra();

private:
    int fd_ = -1;
    int largo_;
    bool soloLectura_ = false;
    QString ruta_, resuelta_;
    QByteArray registro_;
};

// Test hook: the system calls of EscritorTexto and rutas::Reemplaza failing
// as a full disk, a broken device or a refused rename would. Each kind counts
// its calls from the moment it is armed (assigned with en > 0): the en-th one
// fails with errno `error`, and with `siempre` every one after it too.
struct Falla {
    int en = 0;           // the call that fails, from 1; 0: unarmed
    int error = 0;        // the errno it fails with
    bool siempre = false; // and every later call
    int llamadas = 0;     // calls seen while armed
    int fallos = 0;       // failures produced
};
struct Fallas {
    Falla apertura;  // EscritorTexto creating or opening its file
    Falla escritura; // each write of its buffer
    Falla volcado;   // the fsync of Cierra
    Falla cierre;    // the close of Cierra
    Falla renombre;  // the rename of rutas::Reemplaza
};
Fallas& fallas();
int FallaArmada(Falla& f);
// The errno the call must fail with, or 0. Unarmed it is one comparison.
inline int FallaInyectada(Falla& f) { return f.en == 0 ? 0 : FallaArmada(f); }

// Buffered writing of a big text file. Cierra() reports a failed write (disk
// full, ...) and puts the content on disk before closing; the destructor
// closes too, but can only lose such an error. Exclusivo creates the file and
// fails when the name exists, even as a link.
class EscritorTexto {
public:
    enum class Modo { Nuevo, Agregar, Exclusivo };
    // permisos: the mode of a file it creates; an existing file keeps its own.
    explicit EscritorTexto(const QString& ruta, Modo modo = Modo::Nuevo, unsigned permisos = 0666);
    ~EscritorTexto();
    EscritorTexto(const EscritorTexto&) = delete;
    EscritorTexto& operator=(const EscritorTexto&) = delete;

    void Escribe(QStringView texto);
    void FinLinea();
    // Bytes already in the code page.
    void EscribeAnsi(QByteArrayView bytes)
    {
        // The common case, a few bytes into room there is, stays inline.
        if (fd_ >= 0 && Capacidad - usado_ >= bytes.size()) {
            std::memcpy(buf_.get() + usado_, bytes.data(), size_t(bytes.size()));
            usado_ += bytes.size();
            return;
        }
        EscribeAnsiLento(bytes);
    }
    void EscribeLinea(QStringView texto)
    {
        Escribe(texto);
        FinLinea();
    }
    void Cierra();

private:
    void vacia();
    void EscribeAnsiLento(QByteArrayView bytes);

    static constexpr qsizetype Capacidad = 1 << 18;
    int fd_ = -1;
    QString ruta_, resuelta_;
    std::unique_ptr<char[]> buf_;
    qsizetype usado_ = 0;
};

} // namespace archivos
