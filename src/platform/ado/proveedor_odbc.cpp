// Databases behind unixODBC: SQL Server through FreeTDS (or another driver),
// Oracle by DSN, and any driver passed through (SQLite with libsqliteodbc).
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/ado/servidores.h"
#include "platform/ado/traduccion.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <dlfcn.h>
#include <QStringDecoder>
#include <algorithm>
#include <bit>
#include <charconv>
#include <optional>
#include <set>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace ado {

namespace {

// Texts travel as UTF-8 through the narrow calls: drivers without wide entry
// points (libsqliteodbc) would otherwise get the text squeezed to one byte per
// character by the driver manager; FreeTDS is told ClientCharset=UTF-8.
struct U8 {
    explicit U8(const QString& s) : b(s.toUtf8()) {}
    SQLCHAR* operator()() { return reinterpret_cast<SQLCHAR*>(b.data()); }
    QByteArray b;
};
QString DeU8(const SQLCHAR* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

SQLHENV Entorno()
{
    static SQLHENV env = [] {
        SQLHENV e = SQL_NULL_HENV;
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &e);
        SQLSetEnvAttr(e, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return e;
    }();
    return env;
}

// The driver's answer to a call, as a test may want it.
SQLRETURN Respuesta(const char* llamada, SQLRETURN rc)
{
    const GanchosOdbc& g = Ganchos();
    return g.respuesta ? SQLRETURN(g.respuesta(llamada, rc)) : rc;
}

SQLRETURN NuevaSentencia(SQLHDBC dbc, SQLHSTMT* h)
{
    const SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, dbc, h);
    if (SQL_SUCCEEDED(rc))
        ++Ganchos().sentencias;
    return rc;
}

void LiberaSentencia(SQLHSTMT& h)
{
    if (h == SQL_NULL_HSTMT)
        return;
    SQLFreeHandle(SQL_HANDLE_STMT, h);
    --Ganchos().sentencias;
    h = SQL_NULL_HSTMT;
}

class ProveedorOdbc;

// What a connection knows to turn diagnostics into errors.
struct Diagnostico {
    QString origen;
    bool sqlite = false;
    bool conectando = false;

    // Every ODBC call goes through here: a failure becomes the provider's errors.
    SQLRETURN operator()(SQLRETURN rc, SQLSMALLINT tipo, SQLHANDLE h) const
    {
        if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
            return rc;
        std::vector<RegistroOdbc> registros;
        for (SQLSMALLINT rec = 1; rec < 20; ++rec) {
            SQLCHAR estado[6] = {};
            SQLCHAR texto[2048] = {};
            SQLINTEGER nat = 0;
            SQLSMALLINT largo = 0;
            if (!SQL_SUCCEEDED(SQLGetDiagRec(tipo, h, rec, estado, &nat, texto, sizeof texto - 1, &largo)))
                break;
            registros.push_back({DeU8(estado), int(nat), DeU8(texto)});
        }
        FallaProveedor f{ErroresOdbc(registros, origen, sqlite, conectando)};
        if (f.errores.empty())
            f.errores.push_back({E_FAIL, QStringLiteral("The ODBC driver failed without a diagnostic (%1).").arg(rc),
                                 origen, QStringLiteral("HY000"), 0});
        throw f;
    }
};

struct Sentencia {
    SQLHSTMT h = SQL_NULL_HSTMT;
    Sentencia() = default;
    explicit Sentencia(SQLHSTMT s) : h(s) {}
    Sentencia(const Sentencia&) = delete;
    Sentencia& operator=(const Sentencia&) = delete;
    ~Sentencia() { liberar(); }
    void liberar() { LiberaSentencia(h); }
    SQLHSTMT soltar()
    {
        SQLHSTMT r = h;
        h = SQL_NULL_HSTMT;
        return r;
    }
};

// Libre: an expression column of SQLite, which the driver describes as text
// whatever it holds; its values are read as text and taken for what they show.
enum class Lectura { Entero, Real, Fecha, Bit, Texto, Libre };

// Decodes UTF-8 into the text v holds when that text is its own and large
// enough, so that a streamed read allocates nothing per value; else into a
// new text.
void TextoEnSuLugar(Variant& v, QByteArrayView utf8)
{
    QString* s = v.getMutable<QString>();
    if (!s || !s->isDetached() || s->capacity() < utf8.size()) {
        v = Variant(QString::fromUtf8(utf8));
        return;
    }
    // A mark that opens the text is dropped, as QString::fromUtf8 drops it.
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8 = utf8.sliced(3);
    s->resize(utf8.size());
    // ASCII and the two-byte characters (the accents of the code page) here;
    // from the first other character on, Qt's decoder: stateless, and a mark
    // further on kept, as QString::fromUtf8 keeps it.
    const auto* b = reinterpret_cast<const unsigned char*>(utf8.data());
    const qsizetype n = utf8.size();
    char16_t* d = reinterpret_cast<char16_t*>(s->data());
    qsizetype i = 0, o = 0;
    while (i < n) {
        if (b[i] < 0x80) {
            d[o++] = b[i++];
        } else if (b[i] >= 0xC2 && b[i] <= 0xDF && i + 1 < n && (b[i + 1] & 0xC0) == 0x80) {
            d[o++] = char16_t(((b[i] & 0x1F) << 6) | (b[i + 1] & 0x3F));
            i += 2;
        } else {
            QStringDecoder resto(QStringConverter::Utf8,
                                 QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
            const QChar* fin = resto.appendToBuffer(reinterpret_cast<QChar*>(d + o), utf8.sliced(i));
            o = reinterpret_cast<const char16_t*>(fin) - d;
            break;
        }
    }
    s->truncate(o);
}

// A text that SQLite wrote from a number or a date.
void ValorLibre(Variant& v, QByteArrayView b)
{
    const qsizetype n = b.size();
    qsizetype i = n > 0 && b[0] == '-' ? 1 : 0;
    bool digitos = i < n, punto = false;
    for (qsizetype k = i; k < n && digitos; ++k) {
        if (b[k] == '.' && !punto && k > i && k + 1 < n)
            punto = true;
        else if (b[k] < '0' || b[k] > '9')
            digitos = false;
    }
    // "007" and "+1" stay texts: SQLite never writes a number that way.
    if (digitos && !(b[i] == '0' && n - i > 1 && b[i + 1] != '.')) {
        if (!punto) {
            std::int64_t x = 0;
            const auto r = std::from_chars(b.data(), b.data() + n, x);
            if (r.ec == std::errc() && r.ptr == b.data() + n) {
                v = x >= INT32_MIN && x <= INT32_MAX ? Variant(std::int32_t(x)) : Variant(x);
                return;
            }
        } else {
            double x = 0;
            const auto r = std::from_chars(b.data(), b.data() + n, x);
            if (r.ec == std::errc() && r.ptr == b.data() + n) {
                v = Variant(x);
                return;
            }
        }
    }
    TextoEnSuLugar(v, b);
    QDateTime f;
    if (FechaDeTexto(*v.get<QString>(), f))
        v = Variant(f);
}

class CursorOdbc : public Cursor {
public:
    // Takes the statement over at once: if describing it fails, the handle is
    // freed with the half-built cursor, which never registers.
    // enlazar: the driver moves the texts with the row (bound columns) and
    // can still give a bound value whole with SQLGetData when it did not fit.
    CursorOdbc(SQLHSTMT st, const Diagnostico& diag, std::set<CursorOdbc*>* vivos, CursorOdbc** activo, bool enlazar = false)
        : sentencia_(st), st_(sentencia_.h), diag_(diag), vivos_(vivos), activo_(activo)
    {
        SQLSMALLINT n = 0;
        diag_(Respuesta("SQLNumResultCols", SQLNumResultCols(st_, &n)), SQL_HANDLE_STMT, st_);
        cols_.resize(n);
        lectura_.resize(n);
        for (SQLUSMALLINT i = 0; i < n; ++i) {
            SQLCHAR nombre[512] = {};
            SQLSMALLINT largo = 0, tipo = 0, decimales = 0, nulos = 0;
            SQLULEN tam = 0;
            diag_(Respuesta("SQLDescribeCol",
                            SQLDescribeCol(st_, i + 1, nombre, sizeof nombre - 1, &largo, &tipo, &tam, &decimales, &nulos)),
                  SQL_HANDLE_STMT, st_);
            Columna& c = cols_[i];
            c.nombre = DeU8(nombre);
            c.tamano = int(std::min<SQLULEN>(tam, 2147483647));
            switch (tipo) {
            case SQL_INTEGER: c.tipo = adInteger, c.tamano = 4, lectura_[i] = Lectura::Entero; break;
            case SQL_SMALLINT: c.tipo = adSmallInt, c.tamano = 2, lectura_[i] = Lectura::Entero; break;
            case SQL_TINYINT: c.tipo = adUnsignedTinyInt, c.tamano = 1, lectura_[i] = Lectura::Entero; break;
            case SQL_BIGINT: c.tipo = adBigInt, c.tamano = 8, lectura_[i] = Lectura::Entero; break;
            case SQL_BIT: c.tipo = adBoolean, c.tamano = 2, lectura_[i] = Lectura::Bit; break;
            case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE:
                c.tipo = adDouble, c.tamano = 8, lectura_[i] = Lectura::Real; break;
            case SQL_DECIMAL: case SQL_NUMERIC:
                c.tipo = adNumeric, c.tamano = 19;
                lectura_[i] = decimales == 0 && tam <= 18 ? Lectura::Entero : Lectura::Real;
                break;
            case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP:
                c.tipo = adDBTimeStamp, c.tamano = 16, lectura_[i] = Lectura::Fecha; break;
            case SQL_TYPE_DATE: case SQL_DATE: c.tipo = adDBDate, c.tamano = 6, lectura_[i] = Lectura::Fecha; break;
            case SQL_CHAR: c.tipo = adChar, lectura_[i] = Lectura::Texto; break;
            case SQL_VARCHAR: c.tipo = adVarChar, lectura_[i] = Lectura::Texto; break;
            case SQL_LONGVARCHAR: c.tipo = adLongVarChar, lectura_[i] = Lectura::Texto; break;
            case SQL_WCHAR: c.tipo = adWChar, lectura_[i] = Lectura::Texto; break;
            case SQL_WLONGVARCHAR: c.tipo = adLongVarWChar, lectura_[i] = Lectura::Texto; break;
            default: c.tipo = adVarWChar, lectura_[i] = Lectura::Texto; break;
            }
            if (diag_.sqlite && lectura_[i] == Lectura::Texto) {
                SQLCHAR tabla[512] = {};
                SQLSMALLINT lt = 0;
                if (SQL_SUCCEEDED(SQLColAttribute(st_, i + 1, SQL_DESC_TABLE_NAME, tabla, sizeof tabla - 1, &lt, nullptr))
                    && tabla[0] == 0) {
                    lectura_[i] = Lectura::Libre, c.tipo = adEmpty;
                } else {
                    // The driver says VARCHAR for every text; the declared type tells more.
                    SQLCHAR tipoDeclarado[128] = {};
                    if (SQL_SUCCEEDED(SQLColAttribute(st_, i + 1, SQL_DESC_TYPE_NAME, tipoDeclarado,
                                                      sizeof tipoDeclarado - 1, &lt, nullptr))) {
                        int tam = 0;
                        const int t = TipoDeclarado(DeU8(tipoDeclarado), &tam);
                        if (t == adVarWChar || t == adWChar || t == adLongVarWChar || t == adChar || t == adLongVarChar)
                            c.tipo = t;
                    }
                }
            }
        }
        // Small: some drivers fill the whole buffer on every read. It grows
        // with the texts that do not fit; so do the bound ones.
        texto_.resize(256);
        diferidas_.assign(n, 0);
        if (enlazar) {
            enlazados_.resize(n);
            indicadores_.resize(n);
            for (SQLUSMALLINT i = 0; i < n; ++i)
                if (lectura_[i] == Lectura::Texto || lectura_[i] == Lectura::Libre)
                    enlaza(i, 256);
        }
        vivos_->insert(this);
    }

    ~CursorOdbc() override
    {
        cerrar();
        if (vivos_)
            vivos_->erase(this);
    }

    const std::vector<Columna>& columnas() const override { return cols_; }

    bool siguiente(std::vector<Variant>& fila) override
    {
        if (leidas_) {
            if (pos_ >= guardadas_.size()) {
                guardadas_.clear();
                if (fallo_) {
                    // The failure of the read that moved the rows, where it happened.
                    FallaProveedor f = std::move(*fallo_);
                    fallo_.reset();
                    throw f;
                }
                return false;
            }
            fila = std::move(guardadas_[pos_++]);
            return true;
        }
        if (!traer())
            return false;
        fila.resize(cols_.size());
        for (SQLUSMALLINT i = 0; i < cols_.size(); ++i)
            leer(i, fila[i]);
        return true;
    }

    // The texts that came whole in their bound buffers stay there until they
    // are asked for; every other value is read now, in column order, as the
    // driver wants its SQLGetData calls.
    bool avanzar(std::vector<Variant>& fila, bool& diferida) override
    {
        diferida = false;
        if (leidas_ || enlazados_.empty())
            return siguiente(fila);
        if (!traer())
            return false;
        fila.resize(cols_.size());
        for (SQLUSMALLINT i = 0; i < cols_.size(); ++i) {
            diferidas_[i] = Cabe(i);
            if (!diferidas_[i])
                leer(i, fila[i]);
        }
        copiada_ = false;
        diferida = true;
        return true;
    }

    void leerDiferida(int i, Variant& v) override
    {
        if (!diferidas_[size_t(i)])
            return; // read with the row
        QByteArrayView bytes;
        if (!Bytes(i, bytes))
            v = Variant::Null();
        else
            texto(SQLUSMALLINT(i), v, bytes);
    }

    bool textoUtf8(int i, QByteArrayView& t) override
    {
        return diferidas_[size_t(i)] && lectura_[size_t(i)] == Lectura::Texto && Bytes(i, t);
    }

    // Reads the rest into memory and frees the statement, so that the
    // connection can run another one (drivers with one active statement).
    // A read that fails here belongs to this cursor's reader: it is kept
    // and raised after the rows read before it, never on the other statement.
    void materializar()
    {
        // The unread texts of the row the reader is on leave the bound
        // buffers before the next fetch overwrites them.
        if (!leidas_ && !copiada_ && std::find(diferidas_.begin(), diferidas_.end(), 1) != diferidas_.end()) {
            copias_.assign(cols_.size(), std::nullopt);
            for (size_t i = 0; i < cols_.size(); ++i) {
                QByteArrayView b;
                if (diferidas_[i] && Bytes(int(i), b))
                    copias_[i] = b.toByteArray();
            }
            copiada_ = true;
        }
        std::vector<Variant> f;
        try {
            while (st_ != SQL_NULL_HSTMT && siguiente(f))
                guardadas_.push_back(std::move(f));
        } catch (FallaProveedor& e) {
            fallo_ = std::move(e);
            cerrar();
        }
        leidas_ = true;
    }

    // The connection is going away.
    void olvidar()
    {
        cerrar();
        vivos_ = nullptr;
        activo_ = nullptr;
    }

private:
    // The next row from the driver; false at the end.
    bool traer()
    {
        if (st_ == SQL_NULL_HSTMT)
            return false;
        if (diag_(Respuesta("SQLFetch", SQLFetch(st_)), SQL_HANDLE_STMT, st_) == SQL_NO_DATA) {
            cerrar();
            return false;
        }
        return true;
    }

    // Bound, and whole in its buffer (or NULL).
    char Cabe(size_t i) const
    {
        if (enlazados_.empty() || enlazados_[i].empty())
            return 0;
        const SQLLEN total = indicadores_[i];
        return total == SQL_NULL_DATA || (total != SQL_NO_TOTAL && total < SQLLEN(enlazados_[i].size()));
    }

    // The text a bound column's buffer holds; false when NULL.
    bool Enlazado(size_t i, QByteArrayView& b) const
    {
        if (indicadores_[i] == SQL_NULL_DATA)
            return false;
        b = QByteArrayView(enlazados_[i].data(), indicadores_[i]);
        return true;
    }

    // The bytes of a text left unread; false when NULL.
    bool Bytes(int i, QByteArrayView& b) const
    {
        if (!copiada_)
            return Enlazado(size_t(i), b);
        if (!copias_[size_t(i)])
            return false;
        b = *copias_[size_t(i)];
        return true;
    }

    // The size of buffer that takes a text of largo bytes in one piece.
    static size_t Pieza(qsizetype largo) { return std::min(MaxPieza, std::bit_ceil(size_t(largo) + 1)); }

    void cerrar()
    {
        sentencia_.liberar();
        if (activo_ && *activo_ == this)
            *activo_ = nullptr;
    }

    void leer(SQLUSMALLINT i, Variant& v)
    {
        SQLLEN ind = 0;
        const SQLUSMALLINT col = i + 1;
        switch (lectura_[i]) {
        case Lectura::Entero: {
            SQLBIGINT x = 0;
            diag_(Respuesta("SQLGetData", SQLGetData(st_, col, SQL_C_SBIGINT, &x, sizeof x, &ind)), SQL_HANDLE_STMT, st_);
            if (ind == SQL_NULL_DATA)
                v = Variant::Null();
            else if (x >= INT32_MIN && x <= INT32_MAX)
                v = Variant(std::int32_t(x));
            else
                v = Variant(std::int64_t(x));
            return;
        }
        case Lectura::Bit: {
            SQLBIGINT x = 0;
            diag_(SQLGetData(st_, col, SQL_C_SBIGINT, &x, sizeof x, &ind), SQL_HANDLE_STMT, st_);
            v = ind == SQL_NULL_DATA ? Variant::Null() : Variant(x != 0);
            return;
        }
        case Lectura::Real: {
            double x = 0;
            diag_(SQLGetData(st_, col, SQL_C_DOUBLE, &x, sizeof x, &ind), SQL_HANDLE_STMT, st_);
            v = ind == SQL_NULL_DATA ? Variant::Null() : Variant(x);
            return;
        }
        case Lectura::Fecha: {
            if (diag_.sqlite) {
                // The SQLite driver drops a date's milliseconds: its stored text is read instead.
                QByteArrayView bytes;
                QDateTime f;
                if (!porPartes(col, bytes))
                    v = Variant::Null();
                else if (const QString t = QString::fromUtf8(bytes); FechaDeTexto(t, f))
                    v = Variant(f);
                else
                    v = Variant(t);
                return;
            }
            SQL_TIMESTAMP_STRUCT t{};
            diag_(SQLGetData(st_, col, SQL_C_TYPE_TIMESTAMP, &t, sizeof t, &ind), SQL_HANDLE_STMT, st_);
            if (ind == SQL_NULL_DATA)
                v = Variant::Null();
            else
                v = Variant(QDateTime(QDate(t.year, t.month, t.day),
                                      QTime(t.hour, t.minute, t.second, int(t.fraction / 1000000))));
            return;
        }
        case Lectura::Texto:
        case Lectura::Libre: {
            QByteArrayView bytes;
            if (Cabe(i)) { // the usual case
                if (Enlazado(i, bytes))
                    texto(i, v, bytes);
                else
                    v = Variant::Null();
                return;
            }
            // Unbound, or too long for its buffer: read whole.
            std::vector<char>* enlazado = enlazados_.empty() || enlazados_[i].empty() ? nullptr : &enlazados_[i];
            if (!porPartes(col, bytes)) {
                v = Variant::Null();
                return;
            }
            if (enlazado) {
                const SQLLEN total = indicadores_[i];
                const qsizetype dado = qsizetype(enlazado->size()) - 1;
                if (total != SQL_NO_TOTAL && bytes.size() != total && bytes.size() + dado == total) {
                    // This driver went on where the bound part ended.
                    QByteArray todo(enlazado->data(), dado);
                    todo += bytes;
                    largo_ = std::move(todo);
                    bytes = largo_;
                }
                const size_t pieza = Pieza(bytes.size());
                if (pieza > enlazado->size())
                    enlaza(i, pieza);
            }
            texto(i, v, bytes);
            return;
        }
        }
    }

    // A text through SQLGetData, in pieces when long; false when NULL. The
    // bytes stay valid until the next read.
    bool porPartes(SQLUSMALLINT col, QByteArrayView& bytes)
    {
        SQLLEN ind = 0;
        largo_.clear();
        for (;;) {
            const SQLRETURN rc = diag_(
                Respuesta("SQLGetData", SQLGetData(st_, col, SQL_C_CHAR, texto_.data(), SQLLEN(texto_.size()), &ind)),
                SQL_HANDLE_STMT, st_);
            if (rc == SQL_NO_DATA)
                break; // some drivers send the last piece with a warning and say "no more" on the next call
            if (ind == SQL_NULL_DATA)
                return false;
            const qsizetype cabe = qsizetype(texto_.size()) - 1;
            const qsizetype n = (ind == SQL_NO_TOTAL || ind > cabe) ? cabe : qsizetype(ind);
            if (rc == SQL_SUCCESS && largo_.isEmpty()) {
                bytes = QByteArrayView(texto_.data(), n); // one piece
                return true;
            }
            // Long texts come in pieces that may split a character: decoded once at the end.
            largo_.append(texto_.data(), n);
            if (rc == SQL_SUCCESS)
                break;
        }
        bytes = largo_;
        // The next texts as long as this one come in one piece.
        const size_t pieza = Pieza(largo_.size());
        if (pieza > texto_.size())
            texto_.resize(pieza);
        return true;
    }

    void enlaza(SQLUSMALLINT i, size_t tam)
    {
        enlazados_[i].resize(tam);
        diag_(SQLBindCol(st_, i + 1, SQL_C_CHAR, enlazados_[i].data(), SQLLEN(tam), &indicadores_[i]), SQL_HANDLE_STMT, st_);
    }

    void texto(SQLUSMALLINT i, Variant& v, QByteArrayView utf8)
    {
        if (lectura_[i] == Lectura::Texto) {
            TextoEnSuLugar(v, utf8);
            return;
        }
        ValorLibre(v, utf8);
        if (cols_[i].tipo == adEmpty) {
            const VarType t = v.type();
            cols_[i].tipo = t == VarType::Long ? adInteger : t == VarType::LongLong ? adBigInt
                : t == VarType::Double ? adDouble : t == VarType::Date ? adDBTimeStamp : adVarWChar;
        }
    }

    Sentencia sentencia_;
    SQLHSTMT& st_; // the handle of sentencia_
    Diagnostico diag_;
    std::set<CursorOdbc*>* vivos_;
    CursorOdbc** activo_;
    std::vector<Columna> cols_;
    std::vector<Lectura> lectura_;
    static constexpr size_t MaxPieza = 65536;
    std::vector<char> texto_;
    QByteArray largo_;
    std::vector<std::vector<char>> enlazados_; // by column; empty: read with SQLGetData
    std::vector<SQLLEN> indicadores_;
    // The row left unread: the columns still in their buffers, and their
    // copies once the rows after it were read ahead.
    std::vector<char> diferidas_;
    std::vector<std::optional<QByteArray>> copias_;
    bool copiada_ = false;
    std::vector<std::vector<Variant>> guardadas_;
    std::optional<FallaProveedor> fallo_;
    size_t pos_ = 0;
    bool leidas_ = false;
};

class ProveedorOdbc : public Provider {
public:
    ProveedorOdbc(const QString& cadena, const QString& nombre, int timeoutConexion)
    {
        diag_.origen = nombre;
        diag_.conectando = true;
        diag_(SQLAllocHandle(SQL_HANDLE_DBC, Entorno(), &dbc_), SQL_HANDLE_ENV, Entorno());
        SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutConexion)), 0);
        SQLSetConnectAttr(dbc_, SQL_ATTR_CONNECTION_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutConexion)), 0);
        SQLCHAR salida[1024];
        SQLSMALLINT largo = 0;
        try {
            U8 texto(cadena);
            diag_(SQLDriverConnect(dbc_, nullptr, texto(), SQL_NTS, salida, sizeof salida - 1, &largo, SQL_DRIVER_NOPROMPT),
                  SQL_HANDLE_DBC, dbc_);
        } catch (...) {
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
            throw;
        }
        conectado_ = true;
        diag_.conectando = false;
        diag_.sqlite = infoTexto(SQL_DBMS_NAME).contains(QLatin1String("SQLite"), Qt::CaseInsensitive);
        SQLUSMALLINT activos = 0;
        if (SQL_SUCCEEDED(SQLGetInfo(dbc_, SQL_MAX_CONCURRENT_ACTIVITIES, &activos, sizeof activos, nullptr)))
            unoActivo_ = activos == 1;
        unoActivo_ = unoActivo_ || Ganchos().unoActivo;
        // Texts are bound only where a value too long for its buffer can
        // still be read with SQLGetData, and the other columns around it too.
        SQLUINTEGER extensiones = 0;
        if (SQL_SUCCEEDED(SQLGetInfo(dbc_, SQL_GETDATA_EXTENSIONS, &extensiones, sizeof extensiones, nullptr)))
            enlazar_ = (extensiones & (SQL_GD_BOUND | SQL_GD_ANY_COLUMN)) == (SQL_GD_BOUND | SQL_GD_ANY_COLUMN);
        if (diag_.sqlite) {
            const QString db = infoTexto(SQL_DATABASE_NAME);
            base_ = db.section(u'/', -1).section(u'.', 0, 0);
        }
    }

    ~ProveedorOdbc() override
    {
        for (CursorOdbc* c : std::set<CursorOdbc*>(vivos_))
            c->olvidar();
        if (conectado_)
            SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    }

    QString nombre() const override { return diag_.origen; }
    bool esSqlite() const override { return diag_.sqlite; }

    std::unique_ptr<Cursor> ejecutarTsql(const QString& sql, std::int64_t* afectadas, int timeout,
                                         bool conClave) override
    {
        if (!diag_.sqlite)
            return Provider::ejecutarTsql(sql, afectadas, timeout, conClave);
        return traductor_.ejecutar(sql, diag_.origen, afectadas, conClave, [&](const QString& s, std::int64_t* n) {
            return ejecutar(s, {}, n, timeout);
        });
    }

    std::unique_ptr<Cursor> ejecutar(const QString& sql, const std::vector<Variant>& parametros,
                                     std::int64_t* afectadas, int timeout) override
    {
        liberarPendiente();
        if (afectadas)
            *afectadas = -1;
        // SQLite reads a statement only up to a character 0 (the driver
        // would run the part before it); a server is given the text whole.
        if (diag_.sqlite && sql.contains(QChar(0)))
            FallaDe(ErrorCaracterNulo(diag_.origen));
        // The translation hands SQLite one statement per call; a server takes the batch whole.
        const QStringList partes{sql};
        std::unique_ptr<Cursor> filas;
        std::int64_t total = 0;
        bool huboCambios = false;
        for (int k = 0; k < partes.size(); ++k) {
            filas.reset();
            Sentencia st;
            diag_(NuevaSentencia(dbc_, &st.h), SQL_HANDLE_DBC, dbc_);
            if (timeout > 0)
                SQLSetStmtAttr(st.h, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeout)), 0);
            Enlaces enlaces;
            if (k == 0 && !parametros.empty())
                enlazar(st.h, parametros, enlaces);
            U8 texto(partes[k]);
            SQLRETURN rc = diag_(SQLExecDirect(st.h, texto(), SQLINTEGER(texto.b.size())), SQL_HANDLE_STMT, st.h);
            if (rc == SQL_NO_DATA)
                huboCambios = true; // a searched UPDATE or DELETE that found no rows
            // Walk the results: counts add up, the first result with rows streams back.
            while (rc != SQL_NO_DATA) {
                SQLSMALLINT cols = 0;
                diag_(SQLNumResultCols(st.h, &cols), SQL_HANDLE_STMT, st.h);
                if (cols > 0) {
                    if (k + 1 < partes.size()) {
                        std::vector<Variant> f;
                        CursorOdbc c(st.soltar(), diag_, &vivos_, &activo_);
                        while (c.siguiente(f)) {
                        }
                    } else {
                        auto c = std::make_unique<CursorOdbc>(st.soltar(), diag_, &vivos_, &activo_, enlazar_);
                        activo_ = c.get();
                        filas = std::move(c);
                    }
                    break;
                }
                SQLLEN n = -1;
                if (SQL_SUCCEEDED(SQLRowCount(st.h, &n)) && n >= 0) {
                    total += n;
                    huboCambios = true;
                }
                rc = diag_(SQLMoreResults(st.h), SQL_HANDLE_STMT, st.h);
            }
        }
        if (afectadas && huboCambios)
            *afectadas = total;
        return filas;
    }

    void comenzar() override
    {
        liberarPendiente();
        guardarAbiertos();
        diag_(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
              SQL_HANDLE_DBC, dbc_);
    }
    void confirmar() override { terminar(SQL_COMMIT); }
    void deshacer() override { terminar(SQL_ROLLBACK); }
    void nivelAislamiento(int nivel) override
    {
        if (diag_.sqlite)
            return;
        SQLSetConnectAttr(dbc_, SQL_ATTR_TXN_ISOLATION,
                          reinterpret_cast<SQLPOINTER>(SQLULEN(nivel == adXactReadUncommitted ? SQL_TXN_READ_UNCOMMITTED
                                                                                              : SQL_TXN_READ_COMMITTED)),
                          0);
    }

    QString baseDefecto() const override
    {
        if (diag_.sqlite)
            return base_;
        SQLCHAR b[512] = {};
        SQLINTEGER largo = 0;
        if (!SQL_SUCCEEDED(SQLGetConnectAttr(dbc_, SQL_ATTR_CURRENT_CATALOG, b, sizeof b - 1, &largo)))
            return base_;
        return DeU8(b);
    }

    void cambiarBase(const QString& base) override
    {
        liberarPendiente();
        U8 b(base);
        diag_(SQLSetConnectAttr(dbc_, SQL_ATTR_CURRENT_CATALOG, b(), SQLINTEGER(b.b.size())), SQL_HANDLE_DBC, dbc_);
        base_ = base;
    }

    std::vector<TablaEsquema> tablas() override
    {
        std::vector<TablaEsquema> r;
        auto c = catalogo([&](SQLHSTMT h) {
            U8 tipos(QStringLiteral("TABLE,VIEW"));
            return SQLTables(h, nullptr, 0, nullptr, 0, nullptr, 0, tipos(), SQL_NTS);
        });
        std::vector<Variant> f;
        while (c->siguiente(f))
            if (!(diag_.sqlite && TablaInterna(f[2].toString())))
                r.push_back({f[2].toString(), f[3].toString().contains(QLatin1String("VIEW"), Qt::CaseInsensitive)});
        return r;
    }

    std::vector<ColumnaEsquema> columnas(const QString& tabla) override
    {
        std::vector<ColumnaEsquema> r;
        auto c = catalogo([&](SQLHSTMT h) {
            U8 t(tabla);
            return SQLColumns(h, nullptr, 0, nullptr, 0, tabla.isEmpty() ? nullptr : t(), tabla.isEmpty() ? 0 : SQL_NTS,
                              nullptr, 0);
        });
        std::vector<Variant> f;
        while (c->siguiente(f)) {
            ColumnaEsquema col;
            col.tabla = f[2].toString();
            col.columna = f[3].toString();
            col.tamano = f[6].isNull() ? 0 : f[6].toLong();
            col.tipo = TipoDeclarado(f[5].toString(), nullptr);
            col.nulos = !f[10].isNull() && f[10].toLong() != 0;
            col.posicion = f.size() > 16 && !f[16].isNull() ? f[16].toLong() : int(r.size()) + 1;
            r.push_back(col);
        }
        return r;
    }

    QStringList clave(const QString& tabla) override
    {
        if (diag_.sqlite)
            return {QStringLiteral("rowid")};
        QStringList r;
        auto c = catalogo([&](SQLHSTMT h) {
            U8 t(tabla);
            return SQLPrimaryKeys(h, nullptr, 0, nullptr, 0, t(), SQL_NTS);
        });
        std::vector<Variant> f;
        while (c->siguiente(f))
            r << f[3].toString();
        return r;
    }

private:
    struct Enlaces {
        std::vector<QString> textos;
        std::vector<SQLBIGINT> enteros;
        std::vector<double> reales;
        std::vector<SQLLEN> indicadores;
    };

    void enlazar(SQLHSTMT h, const std::vector<Variant>& ps, Enlaces& e)
    {
        // Reserved up front: the driver keeps the addresses until the execution.
        e.textos.reserve(ps.size());
        e.enteros.reserve(ps.size());
        e.reales.reserve(ps.size());
        e.indicadores.resize(ps.size());
        for (size_t i = 0; i < ps.size(); ++i) {
            const Variant& v = ps[i];
            const SQLUSMALLINT k = SQLUSMALLINT(i + 1);
            SQLLEN& ind = e.indicadores[i];
            SQLRETURN rc;
            switch (v.type()) {
            case VarType::Empty:
            case VarType::Null:
                ind = SQL_NULL_DATA;
                rc = SQLBindParameter(h, k, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0, &ind);
                break;
            case VarType::Boolean:
            case VarType::Integer:
            case VarType::Long:
            case VarType::LongLong:
                e.enteros.push_back(v.type() == VarType::Boolean ? (v.toBool() ? 1 : 0) : v.toLongLong());
                ind = 0;
                rc = SQLBindParameter(h, k, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &e.enteros.back(), 0, &ind);
                break;
            case VarType::Double:
            case VarType::Currency:
            case VarType::Decimal:
                e.reales.push_back(v.toDouble());
                ind = 0;
                rc = SQLBindParameter(h, k, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &e.reales.back(), 0, &ind);
                break;
            default: {
                // Wide (UTF-16, as SQLWCHAR is): a narrow text would pass the
                // client's code page and lose what it cannot hold.
                e.textos.push_back(v.type() == VarType::Date ? TextoDeFecha(v.toDate()) : v.toString());
                QString& t = e.textos.back();
                ind = SQLLEN(t.size() * sizeof(SQLWCHAR));
                const SQLULEN columna = std::max<SQLULEN>(1, SQLULEN(t.size()));
                rc = SQLBindParameter(h, k, SQL_PARAM_INPUT, SQL_C_WCHAR, columna > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR,
                                      columna, 0, reinterpret_cast<SQLWCHAR*>(t.data()), ind, &ind);
            }
            }
            diag_(rc, SQL_HANDLE_STMT, h);
        }
    }

    template <class F> std::unique_ptr<CursorOdbc> catalogo(F llamada)
    {
        liberarPendiente();
        Sentencia st;
        diag_(NuevaSentencia(dbc_, &st.h), SQL_HANDLE_DBC, dbc_);
        diag_(llamada(st.h), SQL_HANDLE_STMT, st.h);
        auto c = std::make_unique<CursorOdbc>(st.soltar(), diag_, &vivos_, &activo_);
        c->materializar(); // catalog rows are few; never leave them pending
        return c;
    }

    void terminar(SQLSMALLINT como)
    {
        liberarPendiente();
        guardarAbiertos();
        const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, como);
        SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
        diag_(rc, SQL_HANDLE_DBC, dbc_);
    }

    // A driver with one active statement must not meet the pending rows of a
    // streamed read: they are read into memory first.
    void liberarPendiente()
    {
        if (unoActivo_ && activo_) {
            CursorOdbc* c = activo_;
            activo_ = nullptr;
            c->materializar();
        }
    }

    // The SQLite driver ends every open statement when a transaction starts
    // or ends: rows still to be read would be lost, so they are read first.
    void guardarAbiertos()
    {
        if (!diag_.sqlite)
            return;
        for (CursorOdbc* c : std::set<CursorOdbc*>(vivos_))
            c->materializar();
    }

    QString infoTexto(SQLUSMALLINT que)
    {
        SQLCHAR b[1024] = {};
        SQLSMALLINT largo = 0;
        if (!SQL_SUCCEEDED(SQLGetInfo(dbc_, que, b, sizeof b - 1, &largo)))
            return {};
        return DeU8(b);
    }

    Diagnostico diag_;
    TraductorSqlite traductor_{[this](const QString& sql) {
                                   std::vector<std::vector<QString>> r;
                                   auto c = ejecutar(sql, {}, nullptr, 0);
                                   std::vector<Variant> f;
                                   while (c && c->siguiente(f)) {
                                       std::vector<QString> t;
                                       for (const Variant& v : f)
                                           t.push_back(v.isNull() ? QString() : v.toString());
                                       r.push_back(std::move(t));
                                   }
                                   return r;
                               }};
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool conectado_ = false;
    bool unoActivo_ = false;
    bool enlazar_ = false;
    QString base_;
    std::set<CursorOdbc*> vivos_;
    CursorOdbc* activo_ = nullptr;
};

} // namespace

GanchosOdbc& Ganchos()
{
    static GanchosOdbc g;
    return g;
}

std::unique_ptr<Provider> AbrirOdbc(const QString& cadenaOdbc, const QString& nombreProveedor, int timeoutConexion)
{
    return std::make_unique<ProveedorOdbc>(cadenaOdbc, nombreProveedor, timeoutConexion);
}

namespace {

// The library an installed driver of that name registers (its Driver key);
// nothing when no driver has that name.
std::optional<QString> BibliotecaRegistrada(const QString& nombre)
{
    SQLCHAR descripcion[512];
    SQLCHAR atributos[8192];
    SQLSMALLINT largoDescripcion = 0, largoAtributos = 0;
    for (SQLUSMALLINT direccion = SQL_FETCH_FIRST;; direccion = SQL_FETCH_NEXT) {
        std::memset(atributos, 0, sizeof atributos);
        if (!SQL_SUCCEEDED(SQLDrivers(Entorno(), direccion, descripcion, sizeof descripcion, &largoDescripcion, atributos,
                                      sizeof atributos - 2, &largoAtributos)))
            return std::nullopt;
        if (DeU8(descripcion).compare(nombre, Qt::CaseInsensitive) != 0)
            continue;
        // "key=value" pairs, each ended by a NUL, the list by another.
        for (const char* a = reinterpret_cast<const char*>(atributos); *a; a += std::strlen(a) + 1) {
            const QString par = QString::fromUtf8(a);
            if (par.section(u'=', 0, 0).trimmed().compare(u"Driver", Qt::CaseInsensitive) == 0)
                return par.section(u'=', 1).trimmed();
        }
        return QString();
    }
}

} // namespace

DriverOdbc CompruebaDriver(const QString& driver)
{
    DriverOdbc r;
    QString nombre = driver.trimmed();
    if (nombre.startsWith(u'{') && nombre.endsWith(u'}'))
        nombre = nombre.mid(1, nombre.size() - 2).trimmed();
    QString biblioteca = nombre;
    if (!nombre.contains(u'/')) {
        const std::optional<QString> registrada = BibliotecaRegistrada(nombre);
        if (!registrada) {
            r.motivo = QStringLiteral("el driver %1 no figura entre los instalados (odbcinst.ini)").arg(nombre);
            return r;
        }
        if (registrada->isEmpty()) {
            r.motivo = QStringLiteral("el driver %1 de odbcinst.ini no dice su biblioteca (Driver=)").arg(nombre);
            return r;
        }
        biblioteca = *registrada;
    }
    // As the driver manager loads it: a library named without a folder is
    // also looked for in the manager's own driver folder (odbc/ beside libodbc).
    QStringList candidatas{biblioteca};
    Dl_info info{};
    if (!biblioteca.contains(u'/') && dladdr(dlsym(RTLD_DEFAULT, "SQLDrivers"), &info) != 0 && info.dli_fname)
        candidatas << QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath() + QStringLiteral("/odbc/") + biblioteca;
    QString primerMotivo;
    for (const QString& c : candidatas) {
        if (void* h = dlopen(QFile::encodeName(c).constData(), RTLD_NOW | RTLD_LOCAL)) {
            dlclose(h);
            r.biblioteca = c;
            return r;
        }
        const char* error = dlerror();
        if (primerMotivo.isEmpty() && error)
            primerMotivo = QString::fromLocal8Bit(error);
    }
    r.motivo = QStringLiteral("no se puede cargar la biblioteca %1: %2").arg(biblioteca, primerMotivo);
    return r;
}

} // namespace ado
