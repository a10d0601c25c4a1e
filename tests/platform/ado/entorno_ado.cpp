#include "entorno_ado.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>
#include <sstream>

namespace prueba {

namespace {

// What the tests create on the server, views first, each before the tables it reads or references.
const char16_t* const kObjetosServidor[] = {u"V_MA_Articulos", u"MOVS", u"RUBROS", u"ARTICULOS", u"NUMEROS",
                                            u"LOG", u"AUX_ERR", u"VENTAS", u"ART", u"FAMILIAS"};

QString CadenaServidor() { return qEnvironmentVariable("VERIFICADOR_PRUEBA_MSSQL").trimmed(); }

// Why the server cannot be used, once found: every later test fails with it at once.
QString& MotivoServidor()
{
    static QString motivo;
    return motivo;
}

void BorraObjetosServidor(ado::Connection& cn)
{
    for (const char16_t* o : kObjetosServidor) {
        const QString n = QString::fromUtf16(o);
        cn.Execute(QStringLiteral("IF OBJECT_ID(N'dbo.%1', N'V') IS NOT NULL DROP VIEW dbo.%1").arg(n));
        cn.Execute(QStringLiteral("IF OBJECT_ID(N'dbo.%1', N'U') IS NOT NULL DROP TABLE dbo.%1").arg(n));
    }
}

} // namespace

std::string NombreVia(const ::testing::TestParamInfo<Via>& info)
{
    std::ostringstream s;
    PrintTo(info.param, &s);
    return s.str();
}

void PrintTo(Via via, std::ostream* os)
{
    switch (via) {
    case Via::Nativa: *os << "Nativa"; break;
    case Via::Odbc: *os << "Odbc"; break;
    case Via::Servidor: *os << "Servidor"; break;
    }
}

EntornoAdo::EntornoAdo()
{
    servidoresAntes_ = qgetenv("VERIFICADOR_SERVIDORES");
    carpetaAntes_ = qgetenv("VERIFICADOR_CARPETA");
    QDir(dir_.path()).mkpath(QStringLiteral("datos"));
    qputenv("VERIFICADOR_SERVIDORES", QFile::encodeName(dir_.path() + QStringLiteral("/servidores.ini")));
    qputenv("VERIFICADOR_CARPETA", QFile::encodeName(dir_.path()));
    escribeServidores("; embedded servers of the tests\r\n[Demo]\r\nMotor=sqlite\r\nCarpeta=datos\r\n");
}

EntornoAdo::~EntornoAdo()
{
    if (enServidor_) {
        try {
            auto cn = ado::Connection::Create();
            cn->Open(CadenaServidor());
            BorraObjetosServidor(*cn);
        } catch (const VbError& e) {
            ADD_FAILURE() << "the test tables could not be dropped on the server: " << e.Description.toStdString();
        }
    }
    qputenv("VERIFICADOR_SERVIDORES", servidoresAntes_);
    qputenv("VERIFICADOR_CARPETA", carpetaAntes_);
}

QString EntornoAdo::creaBase(const QString& nombre) const
{
    const QString ruta = carpetaDatos() + u'/' + nombre + QStringLiteral(".sqlite");
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(ruta).constData(), &db);
    sqlite3_exec(db, "PRAGMA user_version=1", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ruta;
}

void EntornoAdo::escribeServidores(const QByteArray& contenido) const
{
    QFile f(dir_.path() + QStringLiteral("/servidores.ini"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(contenido);
}

QString EntornoAdo::cadena(Via via, const QString& base) const
{
    if (via == Via::Servidor)
        return CadenaServidor();
    if (via == Via::Nativa)
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=DEMO;Database =%1;UId=%1;Pwd=%1;").arg(base);
    return QStringLiteral("PROVIDER=MSDASQL;Driver=%1;Database=%2/%3.sqlite;")
        .arg(QLatin1String(kDriverSqliteOdbc), carpetaDatos(), base.toUpper());
}

void EntornoAdo::abre(std::shared_ptr<ado::Connection>& cn, Via via, const QString& base)
{
    cn = ado::Connection::Create();
    if (via != Via::Servidor) {
        cn->Open(cadena(via, base));
        return;
    }
    if (CadenaServidor().isEmpty())
        GTEST_SKIP() << "VERIFICADOR_PRUEBA_MSSQL is not set: no SQL Server to run against "
                        "(an ODBC connection string to an empty database, see docs/sqlserver.md)";
    if (!MotivoServidor().isEmpty())
        FAIL() << MotivoServidor().toStdString();
    QStringList propios;
    for (const char16_t* o : kObjetosServidor)
        propios << u'\'' + QString::fromUtf16(o) + u'\'';
    try {
        cn->Open(CadenaServidor());
    } catch (const VbError& e) {
        QStringList motivos{e.Description}; // and the driver's own reasons behind it (a time-out, a refused login)
        for (int i = 0; i < cn->errors().Count(); ++i)
            if (!motivos.contains(cn->errors().Item(i).Description))
                motivos << cn->errors().Item(i).SQLState + u' ' + cn->errors().Item(i).Description;
        MotivoServidor() = QStringLiteral("the server of VERIFICADOR_PRUEBA_MSSQL could not be reached: ") + motivos.join(QStringLiteral("; "));
        FAIL() << MotivoServidor().toStdString();
    }
    // The tests create and drop their tables: never in a database that holds others.
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_NAME NOT IN (%1)").arg(propios.join(u',')), cn);
    if (!rs.EOF_()) {
        MotivoServidor() = QStringLiteral("the database of VERIFICADOR_PRUEBA_MSSQL holds tables of its own (")
            + rs.Fields(0).Value().toString() + QStringLiteral(", ...): give the tests an empty database");
        rs.Close();
        cn->Close();
        FAIL() << MotivoServidor().toStdString();
    }
    rs.Close();
    enServidor_ = true;
    BorraObjetosServidor(*cn);
}

std::int32_t ConConexion::ejecuta(const char16_t* sql)
{
    std::int32_t n = 0;
    cn->Execute(QString::fromUtf16(sql), &n);
    return n;
}

std::vector<std::vector<Variant>> ConConexion::filas(const char16_t* sql)
{
    ado::Recordset rs;
    rs.Open(QString::fromUtf16(sql), cn, ado::adOpenForwardOnly, ado::adLockReadOnly);
    if (rs.State() != ado::adStateOpen || rs.EOF_())
        return {};
    return rs.GetRows();
}

} // namespace prueba
