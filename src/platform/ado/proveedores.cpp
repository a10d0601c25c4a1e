// The provider a connection string names.
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/ado/servidores.h"

#include <QFileInfo>

namespace ado {

namespace {

// A value for an ODBC connection string: braces when it holds a ";".
QString Valor(const QString& v)
{
    if (v.contains(u';') || v.contains(u'{') || v.contains(u'}') || v != v.trimmed())
        return u'{' + QString(v).replace(u'}', QLatin1String("}}")) + u'}';
    return v;
}

// What the SQLite driver needs beyond the pairs it was given.
QString OpcionesSqlite(const CadenaConexion& c, int timeoutComandos)
{
    QString odbc;
    // It reads a whole result into memory unless it steps.
    if (!c.tiene(QStringLiteral("StepAPI")))
        odbc += QStringLiteral("StepAPI=1;");
    if (!c.tiene(QStringLiteral("NoCreat")))
        odbc += QStringLiteral("NoCreat=1;");
    if (!c.tiene(QStringLiteral("FKSupport")))
        odbc += QStringLiteral("FKSupport=1;");
    // It reads the file at the first statement and fixes its wait on another
    // writer's lock when it connects: the statements' time-out then.
    if (!c.tiene(QStringLiteral("Timeout")))
        odbc += QStringLiteral("Timeout=%1;").arg(EsperaMs(timeoutComandos));
    return odbc;
}

bool EsSqlite(const QString& driver) { return driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive); }

std::unique_ptr<Provider> SqlServer(const CadenaConexion& c, int timeout, int timeoutComandos)
{
    const QString proveedor = c.valor(QStringLiteral("Provider"));
    const QString servidor = c.valor({"Server", "Data Source", "Address", "Addr"});
    const QString base = c.valor({"Database", "Initial Catalog"});
    const QString usuario = c.valor({"UId", "User ID", "User"});
    const QString clave = c.valor({"Pwd", "Password"});
    if (servidor.isEmpty())
        FallaDe(ErrorServidor(servidor, QStringLiteral("no server was given"), proveedor));

    const std::optional<Servidor> lista = ServidorListado(servidor);
    if (lista && lista->embebido)
        return AbrirSqlite(QString(), base, lista->carpeta, proveedor, timeout);

    QString destino = lista ? lista->servidor : servidor;
    QString puerto;
    if (destino.contains(u',')) {
        puerto = destino.section(u',', 1).trimmed();
        destino = destino.section(u',', 0, 0).trimmed();
    }
    const QString driver = DriverServidor(lista ? &*lista : nullptr);
    QString odbc = QStringLiteral("Driver=%1;Server=%2;").arg(Valor(driver), Valor(destino));
    if (!puerto.isEmpty())
        odbc += QStringLiteral("Port=%1;").arg(Valor(puerto));
    if (!base.isEmpty())
        odbc += QStringLiteral("Database=%1;").arg(Valor(base));
    odbc += QStringLiteral("UID=%1;PWD=%2;").arg(Valor(usuario), Valor(clave));
    if (driver.contains(QLatin1String("tds"), Qt::CaseInsensitive))
        odbc += QStringLiteral("TDS_Version=7.3;ClientCharset=UTF-8;");
    // The SQLite driver standing in for a server (a benchmark, a test) reads
    // the database @DbName names as a file of the current folder.
    if (EsSqlite(driver))
        odbc += OpcionesSqlite(CadenaConexion(), timeoutComandos);
    return AbrirOdbc(odbc, proveedor, timeout);
}

std::unique_ptr<Provider> Oracle(const CadenaConexion& c, int timeout)
{
    const QString odbc = QStringLiteral("DSN=%1;UID=%2;PWD=%3;")
                             .arg(Valor(c.valor({"Data Source", "DSN"})), Valor(c.valor({"User Id", "UId", "User"})),
                                  Valor(c.valor({"Password", "Pwd"})));
    return AbrirOdbc(odbc, c.valor(QStringLiteral("Provider")), timeout);
}

// Any ODBC driver or DSN, the pairs passed on as they are.
std::unique_ptr<Provider> Odbc(const CadenaConexion& c, int timeout, int timeoutComandos)
{
    const QString driver = c.valor({"Driver"});
    const bool sqlite = EsSqlite(driver);
    QString odbc;
    for (const auto& [k, v] : c.pares()) {
        if (k.compare(u"Provider", Qt::CaseInsensitive) == 0)
            continue;
        QString valor = v;
        if (sqlite && k.compare(u"Database", Qt::CaseInsensitive) == 0) {
            try {
                valor = RutaLocal(v);
            } catch (const VbError& e) {
                FallaDe({E_FAIL, e.Description, QStringLiteral("MSDASQL"), QStringLiteral("HY000"), 0});
            }
            if (!QFileInfo(valor).isFile())
                FallaDe({E_FAIL, QStringLiteral("Cannot open database \"%1\": the file does not exist.").arg(v),
                         QStringLiteral("MSDASQL"), QStringLiteral("08001"), 0});
        }
        odbc += k + u'=' + (valor.startsWith(u'{') ? valor : Valor(valor)) + u';';
    }
    if (sqlite)
        odbc += OpcionesSqlite(c, timeoutComandos);
    return AbrirOdbc(odbc, QStringLiteral("MSDASQL"), timeout);
}

bool Empieza(const QString& p, const char* prefijo) { return p.startsWith(QLatin1String(prefijo), Qt::CaseInsensitive); }

} // namespace

std::unique_ptr<Provider> AbrirProveedor(const CadenaConexion& c, int timeoutConexion, int timeoutComandos)
{
    const QString p = c.valor(QStringLiteral("Provider")).trimmed();
    if (p.compare(u"SQLOLEDB", Qt::CaseInsensitive) == 0 || Empieza(p, "SQLOLEDB.") || Empieza(p, "SQLNCLI")
        || Empieza(p, "MSOLEDBSQL"))
        return SqlServer(c, timeoutConexion, timeoutComandos);
    if (Empieza(p, "OraOLEDB.Oracle") || p.compare(u"MSDAORA", Qt::CaseInsensitive) == 0)
        return Oracle(c, timeoutConexion);
    if (Empieza(p, "Microsoft.Jet.OLEDB.") || Empieza(p, "Microsoft.ACE.OLEDB."))
        return AbrirJet(c, timeoutConexion);
    if (p.isEmpty() || Empieza(p, "MSDASQL"))
        return Odbc(c, timeoutConexion, timeoutComandos);
    FallaDe(ErrorProveedorDesconocido(p));
}

} // namespace ado
