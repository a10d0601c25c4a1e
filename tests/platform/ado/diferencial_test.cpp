// The differential table run on the program's own path (Connection, Recordset,
// Fields(i).Value and .Type) against a back office's tables.
//
// Each row is classified against the server's documented answer:
//  - agrees: the server answers with rows and so does the database, and
//    . "filas N": the first result set has N rows;
//    . values: the first result set has at least the columns given, and the
//      first row (every row, in order and no more, when several are given)
//      holds, column by column, a value of the same type family
//      (money: adCurrency; decimal: adNumeric or adDecimal; int: adInteger;
//      bigint: adBigInt; bit: adBoolean; float: adDouble; varchar: adVarChar;
//      nvarchar: adVarWChar; nvarchar(max): adLongVarWChar; datetime: adDBTimeStamp; date: adDBDate)
//      whose text is the server's: exact numbers as their decimal text at the
//      type's scale (a value with more decimals than the scale never equals
//      one), float by its 15 significant digits, dates to the millisecond,
//      texts exactly, NULL only with NULL;
//    or the server raises error N and the database raises native error N.
//  - refused: the database raises an error where the server answers, or an
//    error with another number where the server raises one.
//  - differs: the database answers where the server raises an error, or
//    answers otherwise than the server (values, types, rows, or no rows).
//  - dudoso: the server's answer is not settled; reported, never counted.
// On the embedded database a row that differs fails its area's test unless
// it is marked pendiente; refused rows are counted and pass. On the SQL
// Server of VERIFICADOR_PRUEBA_MSSQL every row not dudoso must agree.
#include "diferencial.h"
#include "entorno_ado.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

using namespace diferencial;
using prueba::Via;

namespace {

enum class Tipo { Money, Decimal, Int, BigInt, Bit, Float, Varchar, Nvarchar, Datetime, Date };

struct NombreTipo {
    const char* nombre;
    Tipo tipo;
    std::vector<int> familia; // the field types that answer for it
};
const NombreTipo kTipos[] = {
    {"money", Tipo::Money, {ado::adCurrency}},
    {"decimal", Tipo::Decimal, {ado::adNumeric, ado::adDecimal}},
    {"int", Tipo::Int, {ado::adInteger}},
    {"bigint", Tipo::BigInt, {ado::adBigInt}},
    {"bit", Tipo::Bit, {ado::adBoolean}},
    {"float", Tipo::Float, {ado::adDouble}},
    {"varchar", Tipo::Varchar, {ado::adVarChar}},
    {"nvarchar", Tipo::Nvarchar, {ado::adVarWChar}},
    {"nvarchar(max)", Tipo::Nvarchar, {ado::adLongVarWChar}},
    {"datetime", Tipo::Datetime, {ado::adDBTimeStamp}},
    {"date", Tipo::Date, {ado::adDBDate}},
};

struct Valor {
    const NombreTipo* tipo = nullptr;
    int escala = 0;
    QString texto; // "NULL" for a null
};

struct Esperada {
    int error = 0;  // the server's error number
    int filas = -1; // "filas N"
    std::vector<std::vector<Valor>> valores;
};

Esperada Lee(const Caso& c)
{
    const QString s = QString::fromUtf8(c.esperado);
    Esperada e;
    if (s.startsWith(u'#')) {
        e.error = s.mid(1).toInt();
        return e;
    }
    if (s.startsWith(u"filas ")) {
        e.filas = s.mid(6).toInt();
        return e;
    }
    static const QRegularExpression kDecimal(QStringLiteral("^decimal\\((\\d+),(\\d+)\\)$"));
    for (const QString& fila : s.split(QStringLiteral(" || "))) {
        std::vector<Valor> valores;
        for (const QString& col : fila.split(QStringLiteral(" | "))) {
            const qsizetype blanco = col.indexOf(u' ');
            const QString nombre = blanco < 0 ? col : col.left(blanco);
            Valor v;
            v.texto = blanco < 0 ? QString() : col.mid(blanco + 1);
            const auto m = kDecimal.match(nombre);
            for (const NombreTipo& t : kTipos)
                if (nombre == QLatin1String(t.nombre) || (m.hasMatch() && t.tipo == Tipo::Decimal))
                    v.tipo = &t;
            if (!v.tipo)
                ADD_FAILURE() << "unknown type " << nombre.toStdString() << " in " << c.esperado;
            v.escala = m.hasMatch() ? m.captured(2).toInt() : v.tipo && v.tipo->tipo == Tipo::Money ? 4 : 0;
            valores.push_back(v);
        }
        e.valores.push_back(std::move(valores));
    }
    return e;
}

// What the database answered: the error it raised, or its first result set.
struct Obtenida {
    bool error = false;
    int nativo = 0;
    QString mensaje;
    bool conFilas = false;
    std::vector<int> tipos;
    std::vector<std::vector<Variant>> filas;
};

Obtenida Corre(const std::shared_ptr<ado::Connection>& cn, const QString& sql)
{
    Obtenida o;
    try {
        ado::Recordset rs;
        rs.Open(sql, cn, ado::adOpenForwardOnly, ado::adLockReadOnly);
        if (rs.State() != ado::adStateOpen)
            return o;
        o.conFilas = true;
        for (; !rs.EOF_(); rs.MoveNext()) {
            std::vector<Variant> fila;
            for (int i = 0; i < rs.FieldCount(); ++i)
                fila.push_back(rs.Fields(i).Value());
            o.filas.push_back(std::move(fila));
        }
        // An expression column's type is known once a value has been read.
        for (int i = 0; i < rs.FieldCount(); ++i)
            o.tipos.push_back(rs.Fields(i).Type);
    } catch (const VbError& e) {
        o.error = true;
        o.nativo = cn->errors().Count() > 0 ? cn->errors().Item(0).NativeError : 0;
        o.mensaje = e.Description;
    }
    return o;
}

std::optional<Decimal> ComoDecimal(const Variant& v)
{
    if (const auto* c = v.get<Currency>())
        return Decimal::parse(QString::number(c->scaled) + QStringLiteral("E-4"), u'.');
    if (const auto* d = v.get<Decimal>())
        return *d;
    if (const auto* d = v.get<double>())
        return Decimal::fromDouble(*d);
    if (const auto* b = v.get<bool>())
        return Decimal::fromInt64(*b ? 1 : 0);
    if (v.type() == VarType::Integer || v.type() == VarType::Long || v.type() == VarType::LongLong)
        return Decimal::fromInt64(v.toLongLong());
    if (v.isString())
        return Decimal::parse(v.toString(), u'.');
    return std::nullopt;
}

// The decimal text with `escala` decimals; more when the value has more.
QString AEscala(const Decimal& d, int escala)
{
    QString t = d.toString(u'.');
    const qsizetype punto = t.indexOf(u'.');
    const int decimales = punto < 0 ? 0 : int(t.size() - punto - 1);
    if (decimales < escala)
        t += (punto < 0 ? QStringLiteral(".") : QString()) + QString(escala - decimales, u'0');
    if (t.endsWith(u'.'))
        t.chop(1);
    return t;
}

QString TextoFecha(const QString& t)
{
    if (t.size() == 10)
        return t + QStringLiteral(" 00:00:00.000");
    if (t.size() == 19)
        return t + QStringLiteral(".000");
    return t;
}

// The text of a value as the expected type writes it.
QString Texto(const Variant& v, const Valor& e)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    if (v.isEmpty())
        return QStringLiteral("(empty)");
    switch (e.tipo->tipo) {
    case Tipo::Money:
    case Tipo::Decimal:
    case Tipo::Int:
    case Tipo::BigInt:
    case Tipo::Bit:
        if (const auto d = ComoDecimal(v))
            return AEscala(*d, e.escala);
        break;
    case Tipo::Float:
        if (!v.isString() && v.type() != VarType::Date)
            return QString::number(v.toDouble(), 'g', 15);
        break;
    case Tipo::Datetime:
        if (v.type() == VarType::Date)
            return v.toDate().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        break;
    case Tipo::Date:
        if (v.type() == VarType::Date)
            return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        break;
    default: break;
    }
    return v.toString();
}

QString TextoEsperado(const Valor& e)
{
    if (e.texto == u"NULL")
        return e.texto;
    switch (e.tipo->tipo) {
    case Tipo::Money:
    case Tipo::Decimal:
    case Tipo::Int:
    case Tipo::BigInt:
    case Tipo::Bit:
        if (const auto d = Decimal::parse(e.texto, u'.'))
            return AEscala(*d, e.escala);
        return e.texto;
    case Tipo::Float: return QString::number(e.texto.toDouble(), 'g', 15);
    case Tipo::Datetime: return TextoFecha(e.texto);
    default: return e.texto;
    }
}

QString NombreAdo(int tipo)
{
    for (const NombreTipo& t : kTipos)
        if (t.familia.front() == tipo)
            return QString::fromLatin1(t.nombre);
    if (tipo == ado::adDecimal)
        return QStringLiteral("decimal");
    return QStringLiteral("type %1").arg(tipo);
}

// What the database answered, written as the table writes answers.
QString Describe(const Obtenida& o, const Esperada& e)
{
    if (o.error)
        return QStringLiteral("#%1 %2").arg(o.nativo).arg(o.mensaje.left(100));
    if (!o.conFilas)
        return QStringLiteral("no result set");
    if (e.filas >= 0 || o.filas.empty())
        return QStringLiteral("filas %1").arg(o.filas.size());
    QStringList filas;
    for (std::size_t f = 0; f < o.filas.size() && f < std::max<std::size_t>(e.valores.size(), 1); ++f) {
        QStringList cols;
        for (std::size_t i = 0; i < o.filas[f].size(); ++i) {
            const Valor* como = e.valores.empty() || e.valores[0].size() <= i ? nullptr : &e.valores[0][i];
            const Variant& v = o.filas[f][i];
            const QString t = como && como->tipo ? Texto(v, *como) : v.isNull() ? QStringLiteral("NULL") : v.toString();
            cols << NombreAdo(o.tipos[i]) + u' ' + t;
        }
        filas << cols.join(QStringLiteral(" | "));
    }
    if (e.valores.size() > 1 && o.filas.size() != e.valores.size())
        filas << QStringLiteral("(%1 rows)").arg(o.filas.size());
    return filas.join(QStringLiteral(" || "));
}

enum class Clase { Coincide, Rechazada, Difiere, Dudosa };

Clase Clasifica(const Esperada& e, const Obtenida& o)
{
    if (e.error)
        return !o.error ? Clase::Difiere : o.nativo == e.error ? Clase::Coincide : Clase::Rechazada;
    if (o.error)
        return Clase::Rechazada;
    if (!o.conFilas)
        return Clase::Difiere;
    if (e.filas >= 0)
        return int(o.filas.size()) == e.filas ? Clase::Coincide : Clase::Difiere;
    if (o.filas.empty() || (e.valores.size() > 1 && o.filas.size() != e.valores.size()))
        return Clase::Difiere;
    for (std::size_t f = 0; f < e.valores.size(); ++f) {
        const std::vector<Valor>& esperados = e.valores[f];
        if (o.filas[f].size() < esperados.size())
            return Clase::Difiere;
        for (std::size_t i = 0; i < esperados.size(); ++i) {
            const Valor& v = esperados[i];
            if (!v.tipo)
                return Clase::Difiere;
            const auto& familia = v.tipo->familia;
            if (std::find(familia.begin(), familia.end(), o.tipos[i]) == familia.end())
                return Clase::Difiere;
            if (Texto(o.filas[f][i], v) != TextoEsperado(v))
                return Clase::Difiere;
        }
    }
    return Clase::Coincide;
}

// The back office's tables, in T-SQL the server runs as it is.
const char16_t* const kFixture[] = {
    u"DROP TABLE IF EXISTS VENTAS",
    u"DROP TABLE IF EXISTS ART",
    u"DROP TABLE IF EXISTS FAMILIAS",
    u"CREATE TABLE FAMILIAS (IdFamilia int NOT NULL PRIMARY KEY, Nombre varchar(30))",
    u"CREATE TABLE ART (IdArticulo int NOT NULL PRIMARY KEY, Codigo varchar(20), Descripcion varchar(30), "
    u"Rubro varchar(20), Precio money, Costo decimal(12,4), Stock int, Activo bit, Alta datetime, Peso float, "
    u"IdFamilia int)",
    u"CREATE TABLE VENTAS (IdVenta int IDENTITY(1,1) PRIMARY KEY, IdArticulo int, Fecha datetime, "
    u"Cantidad decimal(10,3), Importe money)",
    u"INSERT INTO FAMILIAS (IdFamilia, Nombre) VALUES (1, 'Bazar'), (2, 'Almacén'), (3, 'Jardín'), (4, 'Ferretería')",
    u"INSERT INTO ART (IdArticulo, Codigo, Descripcion, Rubro, Precio, Costo, Stock, Activo, Alta, Peso, IdFamilia) "
    u"VALUES (1, 'A001', 'Ñandú', 'Bazar', 800.00, 600.0000, 10, 1, '2025-01-15 10:30:00', 1.5, 1)",
    u"INSERT INTO ART (IdArticulo, Codigo, Descripcion, Rubro, Precio, Costo, Stock, Activo, Alta, Peso, IdFamilia) "
    u"VALUES (2, 'A002', 'almacen', 'Almacén', 2501.00, 1875.7500, 0, 1, '2025-02-01 00:00:00', 0.25, 2)",
    u"INSERT INTO ART (IdArticulo, Codigo, Descripcion, Rubro, Precio, Costo, Stock, Activo, Alta, Peso, IdFamilia) "
    u"VALUES (3, 'A003', 'ALMACEN', 'Almacén', 1250.50, 937.8750, -3, 0, '2025-02-01 23:59:59.997', NULL, 2)",
    u"INSERT INTO ART (IdArticulo, Codigo, Descripcion, Rubro, Precio, Costo, Stock, Activo, Alta, Peso, IdFamilia) "
    u"VALUES (4, 'B010', 'Té verde', 'Bazar', 15000.00, 11250.0000, 120, 1, '2024-12-31 18:00:00', 2, NULL)",
    u"INSERT INTO ART (IdArticulo, Codigo) VALUES (5, 'B011')",
    u"INSERT INTO ART (IdArticulo, Codigo, Descripcion, Rubro, Precio, Costo, Stock, Activo, Alta, Peso, IdFamilia) "
    u"VALUES (6, 'C100', 'árbol', 'Jardín', 99.99, 50.1234, 7, 1, '2025-03-10 08:15:00', 12.75, 3)",
    // The sales numbered by their IDENTITY column, 1 to 5.
    u"INSERT INTO VENTAS (IdArticulo, Fecha, Cantidad, Importe) VALUES (1, '2025-01-20 09:00:00', 2, 1600.00)",
    u"INSERT INTO VENTAS (IdArticulo, Fecha, Cantidad, Importe) VALUES (2, '2025-02-01 00:00:00', 1.5, 3751.50)",
    u"INSERT INTO VENTAS (IdArticulo, Fecha, Cantidad, Importe) VALUES (3, '2025-02-01 23:59:59.997', 3, 3751.50)",
    u"INSERT INTO VENTAS (IdArticulo, Fecha, Cantidad, Importe) VALUES (1, '2025-02-15 12:00:00', 0.25, 200.00)",
    u"INSERT INTO VENTAS (IdArticulo, Fecha, Cantidad, Importe) VALUES (4, '2025-03-01 10:00:00', 1, 15000.00)",
};

// A statement that changes the tables, or the session's date format.
bool Escribe(const QString& sql)
{
    static const QRegularExpression kEscribe(
        QStringLiteral("\\b(INSERT|UPDATE|DELETE|CREATE|ALTER|DROP|TRUNCATE|DATEFORMAT|DATEFIRST|LANGUAGE)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return kEscribe.match(sql).hasMatch();
}

struct Cuentas {
    int coinciden = 0, rechazadas = 0, difieren = 0, dudosas = 0;
    void suma(const Cuentas& o)
    {
        coinciden += o.coinciden, rechazadas += o.rechazadas, difieren += o.difieren, dudosas += o.dudosas;
    }
};

void Imprime(const char* que, const Cuentas& c)
{
    std::printf("%-14s agree %3d  refused %3d  differ %3d  dudoso %3d\n", que, c.coinciden, c.rechazadas,
                c.difieren, c.dudosas);
}

class Diferencial : public ::testing::TestWithParam<Via> {
protected:
    static void TearDownTestSuite()
    {
        for (const auto& [via, c] : Totales()) {
            std::ostringstream s;
            prueba::PrintTo(via, &s);
            Imprime(("total " + s.str()).c_str(), c);
        }
        Totales().clear();
    }
    static std::map<Via, Cuentas>& Totales()
    {
        static std::map<Via, Cuentas> t;
        return t;
    }

    void SetUp() override
    {
        entorno.creaBase(QStringLiteral("TIENDA"));
        entorno.abre(cn, GetParam(), QStringLiteral("tienda"));
        if (IsSkipped() || HasFatalFailure())
            return;
        monta();
    }
    void TearDown() override { cn.reset(); }

    // The rows are written as a us_english session reads them (the embedded
    // database answers as a Spanish login and refuses another language).
    void monta()
    {
        if (GetParam() == Via::Servidor)
            cn->Execute(QStringLiteral("SET LANGUAGE us_english"));
        cn->Execute(QStringLiteral("SET DATEFORMAT mdy"));
        for (const char16_t* sql : kFixture)
            cn->Execute(QString::fromUtf16(sql));
    }

    void corre(const char* area, const std::vector<Caso>& casos)
    {
        if (IsSkipped() || HasFatalFailure())
            return;
        const bool servidor = GetParam() == Via::Servidor;
        Cuentas c;
        int numero = 0;
        for (const Caso& caso : casos) {
            ++numero;
            const QString sql = QString::fromUtf16(caso.sql);
            const Esperada e = Lee(caso);
            const Obtenida o = Corre(cn, sql);
            const Clase clase = caso.marca == Marca::Dudoso ? Clase::Dudosa : Clasifica(e, o);
            if (Escribe(sql))
                monta();
            const char* nombre = "";
            switch (clase) {
            case Clase::Coincide: ++c.coinciden; break;
            case Clase::Rechazada: ++c.rechazadas, nombre = "refused"; break;
            case Clase::Difiere: ++c.difieren, nombre = "differs"; break;
            case Clase::Dudosa: ++c.dudosas, nombre = "dudoso"; break;
            }
            if (clase == Clase::Coincide)
                continue;
            std::printf("  %-7s %s #%d%s  %s\n      server: %s\n      here:   %s%s%s\n", nombre, area, numero,
                        caso.marca == Marca::Pendiente ? " (pendiente)" : "", sql.toStdString().c_str(),
                        caso.esperado, Describe(o, e).toStdString().c_str(), caso.porque ? "\n      why dudoso: " : "",
                        caso.porque ? caso.porque : "");
            if (servidor ? clase != Clase::Dudosa : clase == Clase::Difiere && caso.marca != Marca::Pendiente)
                ADD_FAILURE() << nombre << ": " << area << " #" << numero << ": " << sql.toStdString();
        }
        Imprime(area, c);
        std::fflush(stdout);
        Totales()[GetParam()].suma(c);
    }

    prueba::EntornoAdo entorno;
    std::shared_ptr<ado::Connection> cn;
};

TEST_P(Diferencial, DineroYDecimales) { corre("Dinero", CasosDinero()); }
TEST_P(Diferencial, AritmeticaEntera) { corre("Enteros", CasosEnteros()); }
TEST_P(Diferencial, Fechas) { corre("Fechas", CasosFechas()); }
TEST_P(Diferencial, Textos) { corre("Textos", CasosTextos()); }
TEST_P(Diferencial, FormasDeSentencia) { corre("Formas", CasosFormas()); }
TEST_P(Diferencial, SentenciasDeLaSuite) { corre("Cotidianas", CasosCotidianas()); }
TEST_P(Diferencial, Funciones) { corre("Funciones", CasosFunciones()); }
TEST_P(Diferencial, Aceptacion) { corre("Aceptacion", CasosAceptacion()); }

INSTANTIATE_TEST_SUITE_P(Sqlite, Diferencial, ::testing::Values(Via::Nativa), prueba::NombreVia);
INSTANTIATE_TEST_SUITE_P(SqlServer, Diferencial, ::testing::Values(Via::Servidor), prueba::NombreVia);

} // namespace
