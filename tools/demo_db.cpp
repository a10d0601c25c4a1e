#include "tools/demo_db.h"

#include "platform/ado/sqlite_servidor.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "suitelib/funciones_generales.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <sqlite3.h>

namespace demo {

const Usuario Usuarios[5] = {
    {"ADMIN", "DEMO", "cn000pr", 1},
    {"CAJERO", "cajero1", "cn000pr", 0},
    {"SUPERVISOR", "Señor,Clave", "TORVO", 1},
    {"INVITADO", nullptr, "cn000pr", 0},
    {"RENDAL", "rendal", "RENDAL", 0},
};

namespace {

// Both databases keep their settings in the same table.
const char* const TablaConfiguracion = R"SQL(
CREATE TABLE TA_CONFIGURACION (
    Id INTEGER PRIMARY KEY,
    Grupo TEXT COLLATE CI_AS,
    Clave TEXT COLLATE CI_AS NOT NULL,
    Valor TEXT COLLATE CI_AS,
    PoliticaNegocio INTEGER NOT NULL DEFAULT 0,
    ValorAux TEXT COLLATE CI_AS,
    Descripcion TEXT COLLATE CI_AS);
)SQL";

// Text columns compare as the suite's server does (CI_AS); dates are declared
// as dates, so the provider keeps them in one sortable form.
const char* const EsquemaEmpresa = R"SQL(
CREATE TABLE MA_ARTICULOS (
    idarticulo TEXT COLLATE CI_AS NOT NULL PRIMARY KEY,
    CODIGOBARRA TEXT COLLATE CI_AS,
    DESCRIPCION TEXT COLLATE CI_AS,
    SUSPENDIDO INTEGER NOT NULL DEFAULT 0,
    IdFamilia TEXT COLLATE CI_AS,
    PRECIO1 NUMERIC, PRECIO2 NUMERIC, PRECIO3 NUMERIC,
    PUNTOPEDIDO NUMERIC NOT NULL DEFAULT 0,
    Stock NUMERIC NOT NULL DEFAULT 0,
    FECHAHORA_MODIFICACION DATETIME);
CREATE VIEW V_MA_Articulos AS SELECT idarticulo, CODIGOBARRA, DESCRIPCION, SUSPENDIDO, IdFamilia,
    PRECIO1, PRECIO2, PRECIO3, PUNTOPEDIDO, Stock, FECHAHORA_MODIFICACION FROM MA_ARTICULOS;
CREATE VIEW VT_MA_ARTICULOS AS SELECT * FROM V_MA_Articulos;
CREATE VIEW STK_MA_ARTICULOS AS SELECT idarticulo, DESCRIPCION, CODIGOBARRA, SUSPENDIDO, PUNTOPEDIDO, Stock FROM MA_ARTICULOS;

CREATE INDEX IX_TA_CONFIGURACION_Clave ON TA_CONFIGURACION (Clave);

CREATE TABLE TA_USUARIOS (
    Id INTEGER PRIMARY KEY,
    NOMBRE TEXT COLLATE CI_AS NOT NULL,
    SISTEMA TEXT COLLATE CI_AS NOT NULL,
    Password TEXT COLLATE CI_AS,
    Administrador INTEGER NOT NULL DEFAULT 0,
    NombreCompleto TEXT COLLATE CI_AS);

CREATE TABLE TA_MENU (
    Clave TEXT COLLATE CI_AS NOT NULL PRIMARY KEY,
    Proceso TEXT COLLATE CI_AS,
    Nombre TEXT COLLATE CI_AS,
    Padre TEXT COLLATE CI_AS);
CREATE TABLE TA_TAREAS (
    Id INTEGER PRIMARY KEY,
    USUARIO TEXT COLLATE CI_AS NOT NULL,
    TAREA TEXT COLLATE CI_AS NOT NULL);
CREATE TABLE Control_Acceso (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Maquina TEXT COLLATE CI_AS,
    Usuario TEXT COLLATE CI_AS,
    Formulario TEXT COLLATE CI_AS,
    Tarea TEXT COLLATE CI_AS,
    Ingreso DATETIME,
    NombreUsuario TEXT COLLATE CI_AS);

CREATE TABLE MV_CPTEACCIONES (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    TC TEXT COLLATE CI_AS, IdComprobante TEXT COLLATE CI_AS, IdComplemento INTEGER,
    Tipo_accion TEXT COLLATE CI_AS, FECHAHORA DATETIME, Usuario TEXT COLLATE CI_AS, PC TEXT COLLATE CI_AS,
    SYSTEMUSER TEXT COLLATE CI_AS, Proceso TEXT COLLATE CI_AS, ProcesoLote TEXT COLLATE CI_AS,
    Cuenta TEXT COLLATE CI_AS);
CREATE VIEW V_MV_CPTEACCIONES AS SELECT * FROM MV_CPTEACCIONES;
CREATE TRIGGER V_MV_CPTEACCIONES_Alta INSTEAD OF INSERT ON V_MV_CPTEACCIONES BEGIN
    INSERT INTO MV_CPTEACCIONES (TC, IdComprobante, IdComplemento, Tipo_accion, FECHAHORA, Usuario, PC,
        SYSTEMUSER, Proceso, ProcesoLote, Cuenta)
    VALUES (NEW.TC, NEW.IdComprobante, NEW.IdComplemento, NEW.Tipo_accion, NEW.FECHAHORA, NEW.Usuario, NEW.PC,
        NEW.SYSTEMUSER, NEW.Proceso, NEW.ProcesoLote, NEW.Cuenta);
END;

CREATE TABLE MV_FALTANTES (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    FechaHora DATETIME, IdArticulo TEXT COLLATE CI_AS, Descripcion TEXT COLLATE CI_AS, Usuario TEXT COLLATE CI_AS);
CREATE VIEW V_MV_FALTANTES AS SELECT * FROM MV_FALTANTES;
CREATE TRIGGER V_MV_FALTANTES_Alta INSTEAD OF INSERT ON V_MV_FALTANTES BEGIN
    INSERT INTO MV_FALTANTES (FechaHora, IdArticulo, Descripcion, Usuario)
    VALUES (NEW.FechaHora, NEW.IdArticulo, NEW.Descripcion, NEW.Usuario);
END;

CREATE TABLE AUX_ERR (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    Proceso TEXT COLLATE CI_AS, FECHA DATETIME, Error INTEGER, Descripcion TEXT COLLATE CI_AS,
    sql TEXT, PC TEXT COLLATE CI_AS, Usuario TEXT COLLATE CI_AS);

-- Lookup tables and the views the lookup definitions name.
CREATE TABLE MA_CLIENTES (
    CODIGO TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, Tipo TEXT COLLATE CI_AS NOT NULL,
    RAZON_SOCIAL TEXT COLLATE CI_AS, CONTACTO TEXT COLLATE CI_AS, Domicilio TEXT COLLATE CI_AS,
    Localidad TEXT COLLATE CI_AS, Telefono TEXT COLLATE CI_AS, Dada_De_Baja INTEGER NOT NULL DEFAULT 0);
CREATE VIEW VT_CLIENTES AS SELECT CODIGO, RAZON_SOCIAL, CONTACTO, Domicilio, Localidad, Telefono, Dada_De_Baja
    FROM MA_CLIENTES WHERE Tipo = 'C';
CREATE VIEW VT_PROVEEDORES AS SELECT CODIGO, RAZON_SOCIAL, CONTACTO, Domicilio, Localidad, Telefono, Dada_De_Baja
    FROM MA_CLIENTES WHERE Tipo = 'P';
CREATE TABLE MA_CONTACTOS (
    Id INTEGER PRIMARY KEY, Nombre_y_Apellido TEXT COLLATE CI_AS, Domicilio TEXT COLLATE CI_AS,
    Localidad TEXT COLLATE CI_AS, Telefono TEXT COLLATE CI_AS);
CREATE TABLE TA_VENDEDORES (IDVENDEDOR TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, NOMBRE TEXT COLLATE CI_AS);
CREATE VIEW V_TA_VENDEDORES AS SELECT NOMBRE, IDVENDEDOR FROM TA_VENDEDORES;
CREATE TABLE TA_TECNICOS (IDTECNICO TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, NOMBRE TEXT COLLATE CI_AS);
CREATE VIEW V_TA_TECNICOS AS SELECT NOMBRE, IDTECNICO FROM TA_TECNICOS;
CREATE TABLE MA_MANTENIMIENTOS (CODIGO TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, DESCRIPCION TEXT COLLATE CI_AS);
CREATE VIEW V_MA_MANTENIMIENTOS AS SELECT DESCRIPCION, CODIGO FROM MA_MANTENIMIENTOS;
CREATE TABLE MA_CUENTAS (CODIGO TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, DESCRIPCION TEXT COLLATE CI_AS,
    Imputable INTEGER NOT NULL DEFAULT 1, Confidencial INTEGER NOT NULL DEFAULT 0);
CREATE VIEW SS_MA_CUENTAS AS SELECT * FROM MA_CUENTAS WHERE Confidencial = 0;
CREATE VIEW V_TA_Tareas AS SELECT Nombre AS Descripcion, Clave AS IdTarea FROM TA_MENU;
CREATE TABLE TA_UNIDADNEGOCIO (Codigo TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, Descripcion TEXT COLLATE CI_AS);
CREATE VIEW V_TA_UnidadNegocio AS SELECT Descripcion, Codigo FROM TA_UNIDADNEGOCIO;
CREATE TABLE TA_DEPOSITO (IdDeposito TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, Descripcion TEXT COLLATE CI_AS,
    Unidad TEXT COLLATE CI_AS, UnidadNegocio TEXT COLLATE CI_AS);
CREATE VIEW V_TA_DEPOSITO AS SELECT Descripcion, Unidad, IdDeposito, UnidadNegocio FROM TA_DEPOSITO;
CREATE VIEW SS_V_TA_DEPOSITO AS SELECT * FROM V_TA_DEPOSITO;
CREATE TABLE TA_UNIDAD (IdUnidad TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, Descripcion TEXT COLLATE CI_AS);
CREATE VIEW V_TA_Unidad AS SELECT Descripcion, IdUnidad FROM TA_UNIDAD;
CREATE TABLE TA_STATUS (CodigoEstado TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, Descripcion TEXT COLLATE CI_AS,
    Tipo TEXT COLLATE CI_AS);
CREATE VIEW V_TA_STATUS AS SELECT Descripcion, Tipo, CodigoEstado FROM TA_STATUS;
CREATE TABLE TA_FAMILIAS (IdFamilia TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, Descripcion TEXT COLLATE CI_AS);
CREATE VIEW V_TA_FAMILIAS AS SELECT IdFamilia, Descripcion FROM TA_FAMILIAS;
CREATE VIEW SS_V_TA_FAMILIAS AS SELECT * FROM V_TA_FAMILIAS;
CREATE TABLE TA_RUBROS (IdRubro TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, Descripcion TEXT COLLATE CI_AS);
CREATE VIEW V_TA_RUBROS AS SELECT Descripcion, IdRubro FROM TA_RUBROS;
CREATE TABLE MA_POSICIONES (IDPOSICION TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, Descripcion TEXT COLLATE CI_AS);
CREATE TABLE TA_CCOSTO (CODIGO TEXT COLLATE CI_AS NOT NULL PRIMARY KEY, DESCRIPCION TEXT COLLATE CI_AS);
)SQL";

const char* const DatosEmpresa = R"SQL(
INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor, PoliticaNegocio, ValorAux, Descripcion) VALUES
    ('DATOS', 'RUTACOMPARTIDA_COLECTOR', 'C:\Productos', 0, '', 'Carpeta del archivo del verificador de precios'),
    ('SEGURIDAD', 'SS_CONFIDENCIALIDAD', 'NO', 1, '', 'Vistas restringidas para usuarios no administradores'),
    ('GENERAL', 'UTILIZARFECHADIA', 'NO', 0, '', 'Fecha operativa en lugar de la del servidor'),
    ('GENERAL', 'FECHAOPERHASTA', '31/12/2025', 0, '', 'Fecha operativa'),
    ('GENERAL', 'THEME', '1', 0, '', 'Tema de las ventanas'),
    ('CONSULTAS', 'TOPCONSART', '1000', 0, '', 'Filas de las consultas'),
    ('CONSULTAS', 'USACONSULTALIKE', 'NO', 0, '', 'Busqueda por contenido'),
    ('CONSULTAS', 'MOSTRARSTOCKENCONSULTAS', 'SI', 0, '', 'Colores de stock en las consultas'),
    ('CONSULTAS', 'STK_NIVEL1', '32768', 0, '', 'Con stock, sin punto de pedido'),
    ('CONSULTAS', 'STK_NIVEL2', '16711680', 0, '', 'Sobre el punto de pedido'),
    ('CONSULTAS', 'STK_NIVEL3', '255', 0, '', 'Bajo el punto de pedido'),
    ('CONSULTAS', 'STK_NIVEL4', '8421504', 0, '', 'Sin stock'),
    ('PRECIOS', 'NOM_PCLASE1', 'Lista Mostrador', 0, '', ''),
    ('PRECIOS', 'NOM_PCLASE2', 'Lista Mayorista', 0, '', ''),
    ('PRECIOS', 'NOM_PCLASE3', 'Lista Tarjeta', 0, '', '');

INSERT INTO TA_MENU (Clave, Proceso, Nombre, Padre) VALUES
    ('01', 'CN000PR', 'Menu Principal', ''),
    ('0101', 'VERIFICADOR', 'Verificador de precios', '01'),
    ('0102', 'V_MA_ARTICULOS', 'Artículos', '01'),
    ('0103', 'V_MV_VENTAS', 'Ventas', '01'),
    ('0104', 'V_MA_PRECIOS', 'Precios', '01'),
    ('0105', 'UTLFISCAL', 'Utilidades fiscales', '01');
INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES
    ('ADMIN', '01'), ('ADMIN', '0101'), ('ADMIN', '0102'), ('ADMIN', '0103'), ('ADMIN', '0104'), ('ADMIN', '0105'),
    ('SUPERVISOR', '0101'), ('SUPERVISOR', '0102'), ('CAJERO', '0101'), ('CAJERO', '0103');

INSERT INTO MA_CLIENTES VALUES
    ('C0001', 'C', 'Almacén Don José', 'José Pérez', 'Av. Rivadavia 1234', 'Córdoba', '0351-4223344', 0),
    ('C0002', 'C', 'Panadería La Espiga', 'Inés Núñez', 'San Martín 55', 'Rosario', '0341-4556677', 0),
    ('C0003', 'C', 'Kiosco El Pingüino', 'Raúl Gómez', 'Belgrano 900', 'Mendoza', '0261-4112233', 1),
    ('C0004', 'C', 'Supermercado Ñandú', 'Sofía Ibáñez', 'Mitre 12', 'Salta', '0387-4998877', 0),
    ('P0001', 'P', 'Distribuidora Güemes S.A.', 'Martín Ruiz', 'Ruta 9 km 12', 'Tucumán', '0381-4001122', 0),
    ('P0002', 'P', 'Lácteos del Valle S.R.L.', 'Lucía Fernández', 'Colón 400', 'Villa María', '0353-4556600', 0),
    ('P0003', 'P', 'Café Señorial', 'Andrés Peña', 'Paraná 77', 'Buenos Aires', '011-43219876', 1);
INSERT INTO MA_CONTACTOS (Nombre_y_Apellido, Domicilio, Localidad, Telefono) VALUES
    ('José Pérez', 'Av. Rivadavia 1234', 'Córdoba', '0351-4223344'),
    ('Inés Núñez', 'San Martín 55', 'Rosario', '0341-4556677'),
    ('Martín Ruiz', 'Ruta 9 km 12', 'Tucumán', '0381-4001122');
INSERT INTO TA_VENDEDORES VALUES ('1', 'Carlos Muñoz'), ('2', 'Verónica Sáenz'), ('3', 'Jorge Ibarra');
INSERT INTO TA_TECNICOS VALUES ('1', 'Hernán Quiroga'), ('2', 'Mónica Ávila');
INSERT INTO MA_MANTENIMIENTOS VALUES ('M01', 'Balanza de mostrador'), ('M02', 'Cámara frigorífica'), ('M03', 'Verificador de precios');
INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION, Imputable, Confidencial) VALUES
    ('1', 'ACTIVO', 0, 0), ('1.1', 'Caja', 1, 0), ('1.2', 'Bancos', 1, 0), ('2', 'PASIVO', 0, 0),
    ('2.1', 'Proveedores', 1, 0), ('5', 'RESULTADOS', 0, 0), ('5.1', 'Sueldos de dirección', 1, 1);
INSERT INTO TA_UNIDADNEGOCIO VALUES ('1', 'Minorista'), ('2', 'Mayorista');
INSERT INTO TA_DEPOSITO VALUES ('1', 'Depósito central', 'UN', '1'), ('2', 'Salón de ventas', 'UN', '1'), ('3', 'Mayorista', 'KG', '2');
INSERT INTO TA_UNIDAD VALUES ('UN', 'Unidad'), ('KG', 'Kilogramo'), ('LT', 'Litro'), ('CJ', 'Caja');
INSERT INTO TA_STATUS VALUES ('A', 'Activo', 'ART'), ('S', 'Suspendido', 'ART'), ('B', 'Baja', 'CLI');
INSERT INTO TA_FAMILIAS VALUES
    ('01', 'Almacén'), ('0101', 'Infusiones'), ('0102', 'Azúcar y endulzantes'), ('0103', 'Pastas'),
    ('02', 'Lácteos'), ('0201', 'Leches'), ('0202', 'Quesos'),
    ('03', 'Limpieza'), ('0301', 'Lavandina y desinfectantes');
INSERT INTO TA_RUBROS VALUES ('1', 'Alimentos'), ('2', 'Bebidas'), ('3', 'Limpieza');
INSERT INTO MA_POSICIONES VALUES ('P1', 'Góndola 1'), ('P2', 'Góndola 2'), ('H1', 'Heladera');
INSERT INTO TA_CCOSTO VALUES ('100', 'Administración'), ('200', 'Ventas');
)SQL";

const char* const EsquemaEstadisticas = R"SQL(
INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor, PoliticaNegocio, ValorAux, Descripcion)
    VALUES ('BaseDeDatos', 'TIMEOUT', '90', 0, '', 'Tiempo de espera de los comandos, en segundos');
)SQL";

// ---- article content

std::uint64_t mezcla(std::uint64_t x)
{
    // splitmix64: the same numbers on every machine
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

const char* const Productos[] = {"Café molido", "Azúcar común", "Té en saquitos", "Yerba mate", "Fideos spaghetti",
                                 "Ñoquis de papa", "Leche entera", "Queso cremoso", "Jamón cocido", "Galletitas de agua",
                                 "Aceite de girasol", "Arroz largo fino", "Lavandina", "Jabón en polvo", "Pingüino helado",
                                 "Salsa de tomate", "Dulce de leche", "Pan rallado", "Atún al natural", "Agua mineral"};
const char* const Variantes[] = {"clásico", "light", "orgánico", "sin TACC", "extra", "económico", "premium", "común"};
const char* const Marcas[] = {"La Serenísima", "Señorial", "Don Güemes", "El Ñandú", "Cañuelas", "Ilolay", "Marolio", "Müller"};
const char* const Medidas[] = {"500 g", "1 kg", "250 g", "1 L", "1,5 L", "x 25 u.", "200 ml", "3 kg"};
const char* const Familias[] = {"0101", "0102", "0103", "0201", "0202", "0301"};

template <class T, std::size_t N> constexpr std::size_t cuantos(T (&)[N]) { return N; }

void ean13(std::int64_t n, std::string& s)
{
    char d[14];
    std::snprintf(d, sizeof d, "779%09lld", static_cast<long long>(n));
    int suma = 0;
    for (int i = 0; i < 12; ++i)
        suma += (d[i] - '0') * (i % 2 ? 3 : 1);
    d[12] = char('0' + (10 - suma % 10) % 10);
    d[13] = 0;
    s.assign(d, 13);
}

} // namespace

void ArticuloDemo(std::int64_t n, Articulo& a)
{
    const std::uint64_t h = mezcla(std::uint64_t(n) ^ 0x5645524946ull);
    char id[16];
    std::snprintf(id, sizeof id, n % 101 == 0 ? "%07lld " : "%07lld", static_cast<long long>(n));
    a.idarticulo = id;

    switch (n % 20) {
    case 3: a.codigoBarra.reset(); break;
    case 7: a.codigoBarra.emplace(); break;
    case 11: a.codigoBarra.emplace("   "); break;
    case 15:
        ean13(n, a.codigoBarra.emplace());
        a.codigoBarra->insert(0, 1, ' ');
        a.codigoBarra->push_back(' ');
        break;
    default: ean13(n, a.codigoBarra.emplace()); break;
    }

    if (n % 1009 == 0) {
        a.descripcion.reset();
    } else {
        std::string& d = a.descripcion.emplace();
        if (n % 97 == 0)
            d = "  ";
        d += n % 2003 == 0 ? "Té Ōolong" : Productos[h % cuantos(Productos)];
        d += ' ';
        d += Variantes[(h >> 8) % cuantos(Variantes)];
        d += ' ';
        d += Marcas[(h >> 16) % cuantos(Marcas)];
        d += ' ';
        d += Medidas[(h >> 24) % cuantos(Medidas)];
        if (n % 97 == 0)
            d += "   ";
    }
    a.suspendido = n % 13 == 0 ? 1 : 0;
    a.precio1 = double(100 + (h >> 32) % 500000) / 100.0;
    a.puntoPedido = double((h >> 52) % 10);
    a.stock = double((h >> 40) % 60) - 5;
    a.idFamilia = Familias[(h >> 48) % cuantos(Familias)];
}

Articulo ArticuloDemo(std::int64_t n)
{
    Articulo a;
    ArticuloDemo(n, a);
    return a;
}

namespace {

class Base {
public:
    explicit Base(const QString& ruta) : ruta_(ruta)
    {
        for (const char* sufijo : {"", "-journal", "-wal", "-shm"})
            QFile::remove(ruta + QLatin1String(sufijo));
        if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            falla("open");
        // Its text columns use the embedded server's collation.
        if (!ado::servidor::RegistrarIntercalacion(db_))
            falla("collation");
        ejecuta("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA locking_mode = EXCLUSIVE; "
                "PRAGMA cache_size = -65536; BEGIN");
    }
    ~Base()
    {
        for (sqlite3_stmt* s : {articulo_, usuario_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    void ejecuta(const std::string& sql) { ejecuta(sql.c_str()); }
    void ejecuta(const char* sql)
    {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            falla("exec");
    }
    void termina(bool fechas)
    {
        // The date triggers once the rows are in: the values written are already sortable.
        if (fechas)
            ado::servidor::Preparar(db_);
        ejecuta("COMMIT; PRAGMA journal_mode = DELETE");
    }

    void articulos(std::int64_t n)
    {
        prepara(articulo_, "INSERT INTO MA_ARTICULOS (idarticulo, CODIGOBARRA, DESCRIPCION, SUSPENDIDO, IdFamilia, PRECIO1, "
                           "PRECIO2, PRECIO3, PUNTOPEDIDO, Stock, FECHAHORA_MODIFICACION) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '2025-07-01 09:30:00')");
        Articulo a;
        for (std::int64_t i = 1; i <= n; ++i) {
            ArticuloDemo(i, a);
            sqlite3_bind_text(articulo_, 1, a.idarticulo.data(), int(a.idarticulo.size()), SQLITE_STATIC);
            texto(articulo_, 2, a.codigoBarra);
            texto(articulo_, 3, a.descripcion);
            sqlite3_bind_int(articulo_, 4, a.suspendido);
            sqlite3_bind_text(articulo_, 5, a.idFamilia, -1, SQLITE_STATIC);
            sqlite3_bind_double(articulo_, 6, a.precio1);
            sqlite3_bind_double(articulo_, 7, double(std::int64_t(a.precio1 * 90)) / 100.0);
            sqlite3_bind_double(articulo_, 8, double(std::int64_t(a.precio1 * 110)) / 100.0);
            sqlite3_bind_double(articulo_, 9, a.puntoPedido);
            sqlite3_bind_double(articulo_, 10, a.stock);
            paso(articulo_);
        }
    }

    void usuarios()
    {
        prepara(usuario_, "INSERT INTO TA_USUARIOS (NOMBRE, SISTEMA, Password, Administrador, NombreCompleto) VALUES (?, ?, ?, ?, ?)");
        const FuncionesGenerales fg;
        for (const Usuario& u : Usuarios) {
            sqlite3_bind_text(usuario_, 1, u.nombre, -1, SQLITE_STATIC);
            sqlite3_bind_text(usuario_, 2, u.sistema, -1, SQLITE_STATIC);
            std::optional<std::string> clave;
            if (u.clave)
                clave = fg.CodificaClave(QString::fromUtf8(u.clave)).toStdString();
            texto(usuario_, 3, clave);
            sqlite3_bind_int(usuario_, 4, u.administrador);
            const std::string completo = QString::fromUtf8(u.nombre).toLower().toStdString();
            sqlite3_bind_text(usuario_, 5, completo.c_str(), -1, SQLITE_TRANSIENT);
            paso(usuario_);
        }
    }

private:
    void prepara(sqlite3_stmt*& s, const char* sql)
    {
        if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK)
            falla("prepare");
    }
    static void texto(sqlite3_stmt* s, int i, const std::optional<std::string>& v)
    {
        if (v)
            sqlite3_bind_text(s, i, v->data(), int(v->size()), SQLITE_STATIC);
        else
            sqlite3_bind_null(s, i);
    }
    void paso(sqlite3_stmt* s)
    {
        if (sqlite3_step(s) != SQLITE_DONE)
            falla("insert");
        sqlite3_reset(s);
    }
    [[noreturn]] void falla(const char* que)
    {
        const QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("out of memory");
        Raise(vberr::PathFileAccess, QStringLiteral("Demo database %1 (%2): %3").arg(ruta_, QLatin1String(que), msg));
    }

    QString ruta_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* articulo_ = nullptr;
    sqlite3_stmt* usuario_ = nullptr;
};

// Writes the server's section into servidores.ini, keeping the other sections.
void escribeServidores(const QString& ruta, const QString& servidor, const QString& carpeta)
{
    QStringList lineas;
    if (QFileInfo::exists(ruta)) {
        bool propia = false;
        for (const QString& l : archivos::LeeLineas(ruta)) {
            const QString t = l.trimmed();
            if (t.startsWith(u'[') && t.endsWith(u']'))
                propia = t.mid(1, t.size() - 2).trimmed().compare(servidor, Qt::CaseInsensitive) == 0;
            if (!propia)
                lineas << l;
        }
        while (!lineas.isEmpty() && lineas.last().trimmed().isEmpty())
            lineas.removeLast();
        if (!lineas.isEmpty())
            lineas << QString();
    }
    lineas << u'[' + servidor + u']' << QStringLiteral("Motor=sqlite") << QStringLiteral("Carpeta=") + carpeta;
    archivos::EscritorTexto w(ruta);
    for (const QString& l : lineas)
        w.EscribeLinea(l);
    w.Cierra();
}

} // namespace

Resultado Genera(const Opciones& o)
{
    if (o.articulos < 0 || o.articulos > MaxArticulos)
        Raise(vberr::InvalidCall, QStringLiteral("Articles must be 0 to %1, not %2").arg(MaxArticulos).arg(o.articulos));
    const QString empresa = o.empresa.trimmed();
    if (empresa.isEmpty() || empresa.contains(u'/') || empresa.contains(u'\\'))
        Raise(vberr::BadFileName, QStringLiteral("Bad database name: '%1'").arg(o.empresa));
    if (empresa.compare(QLatin1String("SV_ESTADISTICAS"), Qt::CaseInsensitive) == 0)
        Raise(vberr::BadFileName, QStringLiteral("The company database cannot be named SV_ESTADISTICAS"));
    const QString carpeta = QDir(o.carpeta).absolutePath();
    if (!QDir().mkpath(carpeta))
        Raise(vberr::PathNotFound, QStringLiteral("Path not found: '%1' cannot be created").arg(carpeta));

    const auto esquema = [&](const char* sql) {
        std::string s = sql;
        if (o.plana)
            for (std::size_t i; (i = s.find(" COLLATE CI_AS")) != std::string::npos;)
                s.erase(i, 14);
        return s;
    };
    Resultado r;
    {
        const QString ruta = carpeta + u'/' + empresa + QStringLiteral(".sqlite");
        Base b(ruta);
        b.ejecuta(esquema(TablaConfiguracion));
        b.ejecuta(esquema(EsquemaEmpresa));
        b.ejecuta(DatosEmpresa);
        b.usuarios();
        b.articulos(o.articulos);
        b.termina(!o.plana);
        r.archivos << ruta;
    }
    {
        const QString ruta = carpeta + QStringLiteral("/SV_ESTADISTICAS.sqlite");
        Base b(ruta);
        b.ejecuta(esquema(TablaConfiguracion));
        b.ejecuta(EsquemaEstadisticas);
        b.termina(!o.plana);
        r.archivos << ruta;
    }
    const QString ini = o.servidores.isEmpty() ? carpeta + QStringLiteral("/servidores.ini") : o.servidores;
    escribeServidores(ini, o.servidor.trimmed().isEmpty() ? QStringLiteral("LOCAL") : o.servidor.trimmed(), carpeta);
    r.archivos << ini;
    r.articulos = o.articulos;
    return r;
}

} // namespace demo
