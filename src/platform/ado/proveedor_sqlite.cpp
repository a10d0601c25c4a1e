// SQLite files as the embedded servers of the server list and as the local
// databases of the Jet providers.
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/ado/servidores.h"
#include "platform/ado/sqlite_servidor.h"
#include "platform/ado/sqlite_sesion.h"
#include "platform/ado/traduccion.h"
#include "platform/ascii.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cctype>
#include <QFileInfo>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace ado {

namespace {

QString Mensaje(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }
Error Fallo(sqlite3* db, const QString& origen) { return ErrorSqlite(sqlite3_extended_errcode(db), Mensaje(db), origen); }

class CursorSqlite : public Cursor {
public:
    CursorSqlite(sqlite3_stmt* st, QString origen) : st_(st), origen_(std::move(origen))
    {
        const int n = sqlite3_column_count(st);
        cols_.resize(n);
        fechaLibre_.assign(n, 0);
        for (int i = 0; i < n; ++i) {
            Columna& c = cols_[i];
            c.nombre = QString::fromUtf8(sqlite3_column_name(st, i));
            c.tipo = TipoDeclarado(QString::fromUtf8(sqlite3_column_decltype(st, i)), &c.tamano);
        }
    }
    ~CursorSqlite() override { sqlite3_finalize(st_); }

    const std::vector<Columna>& columnas() const override { return cols_; }

    bool siguiente(std::vector<Variant>& fila) override
    {
        if (!paso())
            return false;
        const int n = int(cols_.size());
        fila.resize(n);
        for (int i = 0; i < n; ++i)
            leer(i, fila[i]);
        return true;
    }

    bool avanzar(std::vector<Variant>&, bool& diferida) override
    {
        diferida = paso();
        return diferida;
    }

    void leerDiferida(int i, Variant& v) override { leer(i, v); }

    void declarar(int i, int tipo, int tamano, int escala) override
    {
        if (i < 0 || i >= int(cols_.size()))
            return;
        cols_[i].tipo = tipo;
        cols_[i].tamano = tamano;
        cols_[i].escala = escala;
    }

    bool textoUtf8(int i, QByteArrayView& texto) override
    {
        const Columna& c = cols_[i];
        if (c.tipo == adEmpty || EsFecha(c.tipo) || fechaLibre_[i] || sqlite3_column_type(st_, i) != SQLITE_TEXT)
            return false;
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
        texto = QByteArrayView(p, sqlite3_column_bytes(st_, i));
        return true;
    }

private:
    static bool EsFecha(int tipo) { return tipo == adDBTimeStamp || tipo == adDBDate || tipo == adDate; }

    // Runs the statement to its next row; false at the end.
    bool paso()
    {
        if (!st_)
            return false;
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_DONE) {
            sqlite3_finalize(st_);
            st_ = nullptr;
            return false;
        }
        if (rc != SQLITE_ROW) {
            const Error e = Fallo(sqlite3_db_handle(st_), origen_);
            sqlite3_finalize(st_);
            st_ = nullptr;
            throw FallaProveedor{{e}};
        }
        return true;
    }

    void leer(int i, Variant& v)
    {
        Columna& c = cols_[i];
        switch (sqlite3_column_type(st_, i)) {
        case SQLITE_NULL:
            v = Variant::Null();
            return;
        case SQLITE_INTEGER: {
            const sqlite3_int64 x = sqlite3_column_int64(st_, i);
            if (c.tipo == adEmpty)
                c.tipo = adInteger, c.tamano = 4;
            if (c.tipo == adBoolean)
                v = Variant(x != 0);
            else if (c.tipo == adCurrency)
                v = Variant(Currency{x * 10000});
            else if (c.tipo == adNumeric && c.escala > 0)
                v = Variant(double(x));
            else if (x >= std::numeric_limits<std::int32_t>::min() && x <= std::numeric_limits<std::int32_t>::max())
                v = Variant(std::int32_t(x));
            else
                v = Variant(std::int64_t(x));
            return;
        }
        case SQLITE_FLOAT: {
            const double d = sqlite3_column_double(st_, i);
            if (c.tipo == adEmpty)
                c.tipo = adDouble, c.tamano = 8;
            if (c.tipo == adCurrency)
                v = Variant(Currency{std::int64_t(std::llround(d * 10000))});
            else if (c.tipo == adNumeric && c.escala == 0 && std::abs(d) < 9.2e18)
                v = Variant(std::int64_t(std::llround(d)));
            else if (c.tipo == adNumeric && c.escala > 0)
                // The nearest double of the exact value its scale gives.
                v = Variant(QString::number(d, 'f', c.escala).toDouble());
            else
                v = Variant(d);
            return;
        }
        case SQLITE_TEXT:
        default: {
            // UTF-8 as stored: Qt decodes it faster than SQLite converts it.
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
            const int bytes = sqlite3_column_bytes(st_, i);
            const bool libre = c.tipo == adEmpty;
            if (!libre && !EsFecha(c.tipo) && !fechaLibre_[i]) {
                // Row after row the same column: refill the text nobody else holds.
                QString* previo = v.getMutable<QString>();
                if (previo && ascii::Ancha(p, bytes, *previo))
                    return;
            }
            QString s = QString::fromUtf8(p, bytes);
            if (EsFecha(c.tipo) || libre || fechaLibre_[i]) {
                // Dates are text in SQLite; an expression column (no declared
                // type) holding one, like GETDATE(), reads as a date too.
                QDateTime f;
                if (FechaDeTexto(s, f)) {
                    if (libre)
                        c.tipo = adDBTimeStamp, c.tamano = 16, fechaLibre_[i] = true;
                    v = Variant(f);
                    return;
                }
            }
            if (libre)
                c.tipo = adVarWChar, c.tamano = 4000;
            v = Variant(std::move(s));
            return;
        }
        }
    }

    sqlite3_stmt* st_;
    QString origen_;
    std::vector<Columna> cols_;
    std::vector<char> fechaLibre_; // expression columns that held a date
};

class ProveedorSqlite : public Provider {
public:
    ProveedorSqlite(sqlite3* db, QString nombre, QString base, QString carpeta, int timeoutConexion)
        : db_(db), nombre_(std::move(nombre)), base_(std::move(base)), carpeta_(std::move(carpeta)),
          timeoutConexion_(timeoutConexion)
    {
        sesion::FijarBase(db_, base_);
    }
    ~ProveedorSqlite() override
    {
        sqlite3_finalize(version_);
        sqlite3_close_v2(db_);
    }

    QString nombre() const override { return nombre_; }
    bool esSqlite() const override { return true; }

    std::unique_ptr<Cursor> ejecutar(const QString& sql, const std::vector<Variant>& parametros,
                                     std::int64_t* afectadas, int timeout) override
    {
        esperar(timeout);
        // SQLite reads a statement only up to a character 0: refused whole,
        // before any part of the text has run.
        if (sql.contains(QChar(0)))
            FallaDe(ErrorCaracterNulo(nombre_));
        const QByteArray texto = sql.toUtf8();
        const char* p = texto.constData();
        const char* fin = p + texto.size();
        std::int64_t total = 0;
        bool huboCambios = false;
        std::unique_ptr<Cursor> filas;
        while (p < fin) {
            sqlite3_stmt* st = nullptr;
            const char* resto = nullptr;
            if (sqlite3_prepare_v2(db_, p, int(fin - p), &st, &resto) != SQLITE_OK)
                falla();
            if (!resto || resto <= p) {
                sqlite3_finalize(st);
                FallaDe(ErrorCaracterNulo(nombre_)); // nothing read: never loop on it
            }
            p = resto;
            if (!st)
                continue; // blanks or a comment
            if (!parametros.empty())
                enlazar(st, parametros);
            if (sqlite3_column_count(st) > 0 && !servidor::Definicion(st)) {
                // Rows: the last statement's stream back; earlier ones are read through.
                auto c = std::make_unique<CursorSqlite>(st, nombre_);
                if (SoloBlancos(p, fin)) {
                    filas = std::move(c);
                    break;
                }
                std::vector<Variant> f;
                while (c->siguiente(f)) {
                }
                continue;
            }
            if (!sesion::Antes(db_, st, nombre_))
                continue;
            std::int64_t filasSentencia = -1;
            const int rc = servidor::Ejecutar(db_, st, filasSentencia);
            if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
                const Error e = Fallo(db_, nombre_);
                sqlite3_finalize(st);
                sesion::Fallo(db_, e.NativeError);
                FallaDe(e);
            }
            sesion::Despues(db_, st);
            if (filasSentencia >= 0) {
                total += filasSentencia;
                huboCambios = true;
            }
            sqlite3_finalize(st);
        }
        if (afectadas)
            *afectadas = huboCambios ? total : -1;
        return filas;
    }

    std::unique_ptr<Cursor> ejecutarTsql(const QString& sql, std::int64_t* afectadas, int timeout,
                                         bool conClave) override
    {
        esperar(timeout); // the schema the translation reads waits as the statement does
        return traductor_.ejecutar(sql, nombre_, afectadas, conClave, [&](const QString& s, std::int64_t* n) {
            return ejecutar(s, {}, n, timeout);
        });
    }

    void comenzar() override { ejecutar(QStringLiteral("BEGIN"), {}, nullptr, timeout_); }
    void confirmar() override { ejecutar(QStringLiteral("COMMIT"), {}, nullptr, timeout_); }
    void deshacer() override { ejecutar(QStringLiteral("ROLLBACK"), {}, nullptr, timeout_); }
    void nivelAislamiento(int nivel) override
    {
        sqlite3_exec(db_, nivel == adXactReadUncommitted ? "PRAGMA read_uncommitted=1" : "PRAGMA read_uncommitted=0",
                     nullptr, nullptr, nullptr);
    }

    QString baseDefecto() const override { return base_; }

    void cambiarBase(const QString& base) override
    {
        if (carpeta_.isEmpty())
            FallaDe({E_FAIL, QStringLiteral("The database of this connection cannot be changed."), nombre_,
                     QStringLiteral("HY000"), 0});
        auto otro = AbrirSqlite(QString(), base, carpeta_, nombre_, timeoutConexion_);
        auto* nuevo = static_cast<ProveedorSqlite*>(otro.get());
        std::swap(db_, nuevo->db_);
        std::swap(version_, nuevo->version_);
        base_ = nuevo->base_;
        traductor_.esquemaCambiado();
        timeout_ = -1; // the new file waits as opened until the next statement
    }

    std::vector<TablaEsquema> tablas() override
    {
        std::vector<TablaEsquema> r;
        auto c = ejecutar(QStringLiteral("SELECT name, type FROM sqlite_master WHERE type IN ('table','view') "
                                         "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"),
                          {}, nullptr, timeout_);
        std::vector<Variant> f;
        while (c->siguiente(f))
            if (!TablaInterna(f[0].toString()))
                r.push_back({f[0].toString(), f[1].toString() == u"view"});
        return r;
    }

    std::vector<ColumnaEsquema> columnas(const QString& tabla) override
    {
        std::vector<ColumnaEsquema> r;
        std::vector<QString> nombres;
        if (tabla.isEmpty())
            for (const auto& t : tablas())
                nombres.push_back(t.nombre);
        else
            nombres.push_back(tabla);
        for (const QString& t : nombres) {
            const QString q = QString(t).replace(u'"', QLatin1String("\"\""));
            auto c = ejecutar(QStringLiteral("PRAGMA table_info(\"%1\")").arg(q), {}, nullptr, timeout_);
            if (!c)
                continue;
            std::vector<Variant> f;
            while (c->siguiente(f)) {
                ColumnaEsquema col;
                col.tabla = nombreReal(t);
                col.columna = f[1].toString();
                col.posicion = f[0].toLong() + 1;
                col.tipo = TipoDeclarado(f[2].toString(), &col.tamano);
                col.nulos = f[3].toLong() == 0;
                r.push_back(col);
            }
        }
        return r;
    }

    QStringList clave(const QString&) override { return {QStringLiteral("rowid")}; }

private:
    static bool SoloBlancos(const char* p, const char* fin)
    {
        // What follows the last statement: blanks, ";" or comments only.
        while (p < fin) {
            if (*p == ';' || std::isspace(static_cast<unsigned char>(*p))) {
                ++p;
            } else if (p + 1 < fin && p[0] == '-' && p[1] == '-') {
                while (p < fin && *p != '\n')
                    ++p;
            } else if (p + 1 < fin && p[0] == '/' && p[1] == '*') {
                const char* f = std::search(p + 2, fin, "*/", "*/" + 2);
                p = f == fin ? fin : f + 2;
            } else {
                return false;
            }
        }
        return true;
    }

    QString nombreReal(const QString& tabla)
    {
        for (const auto& t : tablas())
            if (t.nombre.compare(tabla, Qt::CaseInsensitive) == 0)
                return t.nombre;
        return tabla;
    }

    void enlazar(sqlite3_stmt* st, const std::vector<Variant>& ps)
    {
        for (int i = 0; i < int(ps.size()) && i < sqlite3_bind_parameter_count(st); ++i) {
            const Variant& v = ps[i];
            const int k = i + 1;
            switch (v.type()) {
            case VarType::Empty:
            case VarType::Null: sqlite3_bind_null(st, k); break;
            case VarType::Boolean: sqlite3_bind_int(st, k, v.toBool() ? 1 : 0); break;
            case VarType::Integer:
            case VarType::Long:
            case VarType::LongLong: sqlite3_bind_int64(st, k, v.toLongLong()); break;
            case VarType::Double:
            case VarType::Currency:
            case VarType::Decimal: sqlite3_bind_double(st, k, v.toDouble()); break;
            case VarType::Date: {
                const QString t = TextoDeFecha(v.toDate());
                sqlite3_bind_text16(st, k, t.utf16(), int(t.size() * 2), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QString t = v.toString();
                sqlite3_bind_text16(st, k, t.utf16(), int(t.size() * 2), SQLITE_TRANSIENT);
            }
            }
        }
    }

    [[noreturn]] void falla() { FallaDe(Fallo(db_, nombre_)); }

    // A writer's lock is waited on for the statement's time-out.
    void esperar(int timeout)
    {
        if (timeout != timeout_) {
            sqlite3_busy_timeout(db_, EsperaMs(timeout));
            timeout_ = timeout;
        }
    }

    // Rows of a native statement as texts, for the translation's schema.
    std::vector<std::vector<QString>> filasTexto(const QString& sql)
    {
        std::vector<std::vector<QString>> r;
        const QByteArray t = sql.toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, t.constData(), int(t.size()), &st, nullptr) != SQLITE_OK)
            falla();
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::vector<QString> f;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                f.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i))));
            r.push_back(std::move(f));
        }
        if (rc != SQLITE_DONE) {
            const Error e = Fallo(db_, nombre_);
            sqlite3_finalize(st);
            FallaDe(e);
        }
        sqlite3_finalize(st);
        return r;
    }

    // Read before each translation: kept prepared.
    std::int64_t versionDelEsquema()
    {
        if (!version_ && sqlite3_prepare_v2(db_, "PRAGMA schema_version", -1, &version_, nullptr) != SQLITE_OK)
            return -1;
        const std::int64_t v = sqlite3_step(version_) == SQLITE_ROW ? sqlite3_column_int64(version_, 0) : -1;
        sqlite3_reset(version_);
        return v;
    }

    sqlite3* db_;
    sqlite3_stmt* version_ = nullptr; // PRAGMA schema_version on db_
    QString nombre_, base_, carpeta_;
    int timeoutConexion_;
    int timeout_ = -1;
    TraductorSqlite traductor_{[this](const QString& sql) { return filasTexto(sql); }, [this] { return versionDelEsquema(); }};
};

int AlAbrir(sqlite3* db, const char**, const struct sqlite3_api_routines*)
{
    servidor::Registrar(db);
    sesion::Registrar(db);
    // A name in double quotes is a name: never a text when no column has it.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    return SQLITE_OK;
}

// Every connection of the process gets them as SQLite opens it: also those
// the ODBC driver opens on the same library, whose statements are translated
// the same way. Registering starts SQLite, which takes no settings after
// that: the program has one thread, so no memory statistics (they lock on
// every call and cost more than the rows themselves).
bool RegistrarAlAbrir()
{
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return sqlite3_auto_extension(reinterpret_cast<void (*)()>(AlAbrir)) == SQLITE_OK;
}
const bool g_registrada = RegistrarAlAbrir();

// Opens a file that must exist; motivo and codigo tell why it cannot be used.
sqlite3* AbrirArchivo(const QString& ruta, int timeoutConexion, QString& motivo, int& codigo)
{
    // The program has one thread: no connection mutex.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        motivo = Mensaje(db);
        codigo = sqlite3_extended_errcode(db);
        sqlite3_close(db);
        return nullptr;
    }
    // Reading the schema is what tells a database from another file; a
    // writer's lock on it is waited on for the time-out of the open.
    sqlite3_busy_timeout(db, EsperaMs(timeoutConexion));
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        motivo = Mensaje(db);
        codigo = sqlite3_extended_errcode(db);
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_exec(db, "PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
    sqlite3_extended_result_codes(db, 1);
    (void)g_registrada;
    servidor::Preparar(db);
    return db;
}

} // namespace

int EsperaMs(int segundos)
{
    return segundos > 0 ? std::min(segundos, std::numeric_limits<int>::max() / 1000) * 1000
                        : std::numeric_limits<int>::max();
}

std::unique_ptr<Provider> AbrirSqlite(const QString& archivo, const QString& base, const QString& carpeta,
                                      const QString& nombreProveedor, int timeoutConexion)
{
    QString ruta = archivo;
    QString nombreBase = base.trimmed();
    if (ruta.isEmpty()) {
        // An embedded server: the database NAME is the file NAME.sqlite, in any case.
        if (!QDir(carpeta).exists())
            FallaDe(ErrorServidor(carpeta, QStringLiteral("the folder of the server does not exist"), nombreProveedor));
        ruta = ArchivoBaseEmbebida(carpeta, nombreBase);
        if (ruta.isEmpty())
            FallaDe(ErrorBaseInexistente(base, nombreProveedor));
        nombreBase = QFileInfo(ruta).completeBaseName();
    }
    QString motivo;
    int codigo = 0;
    sqlite3* db = AbrirArchivo(ruta, timeoutConexion, motivo, codigo);
    if (!db)
        FallaDe(ErrorAbrirSqlite(codigo, nombreBase, motivo, nombreProveedor));
    return std::make_unique<ProveedorSqlite>(db, nombreProveedor, nombreBase, carpeta, timeoutConexion);
}

std::unique_ptr<Provider> AbrirJet(const CadenaConexion& cadena, int timeoutConexion)
{
    const QString proveedor = cadena.valor(QStringLiteral("Provider"));
    const QString dato = cadena.valor({"Data Source", "DataSource", "DBQ"});
    QString ruta;
    try {
        ruta = RutaLocal(dato);
    } catch (const VbError&) {
        FallaDe(ErrorJet(3044, dato, proveedor));
    }
    const QFileInfo info(ruta);
    if (!info.absoluteDir().exists())
        FallaDe(ErrorJet(3044, dato, proveedor));
    if (!info.exists())
        FallaDe(ErrorJet(3024, dato, proveedor));
    QString motivo;
    int codigo = 0;
    sqlite3* db = info.isFile() ? AbrirArchivo(ruta, timeoutConexion, motivo, codigo) : nullptr;
    if (!db)
        FallaDe(ErrorJet(3051, dato, proveedor));
    return std::make_unique<ProveedorSqlite>(db, proveedor, info.completeBaseName(), QString(), timeoutConexion);
}

} // namespace ado
