#include "entorno_ado.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace prueba {

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
    if (via == Via::Nativa)
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=DEMO;Database =%1;UId=%1;Pwd=%1;").arg(base);
    return QStringLiteral("PROVIDER=MSDASQL;Driver=%1;Database=%2/%3.sqlite;")
        .arg(QLatin1String(kDriverSqliteOdbc), carpetaDatos(), base.toUpper());
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
