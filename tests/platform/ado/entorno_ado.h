#pragma once
// A folder of its own for each test: database files, a server list naming
// them, and the connection strings that reach them natively and through ODBC.
#include "platform/ado/ado.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace prueba {

// Nativa: SQLite as an embedded server; Odbc: SQLite behind unixODBC;
// Servidor: the SQL Server named by VERIFICADOR_PRUEBA_MSSQL, when there is one.
enum class Via { Nativa, Odbc, Servidor };
std::string NombreVia(const ::testing::TestParamInfo<Via>& info); // names the instances
void PrintTo(Via via, std::ostream* os);                           // and the failures

inline const char* kDriverSqliteOdbc = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

class EntornoAdo {
public:
    EntornoAdo();
    ~EntornoAdo();

    QString carpeta() const { return dir_.path(); }
    QString carpetaDatos() const { return dir_.path() + QStringLiteral("/datos"); }
    // An empty SQLite file NAME.sqlite in the server's folder.
    QString creaBase(const QString& nombre) const;
    void escribeServidores(const QByteArray& contenido) const;
    // The connection string of base on the provider (on the server: its own database).
    QString cadena(Via via, const QString& base) const;
    // Opens cn on the provider. On the server the test is skipped when
    // VERIFICADOR_PRUEBA_MSSQL is not set, and fails at once when the server
    // could not be reached before (one login time-out per run) or when its
    // database holds tables other than the tests' own; those left by an
    // earlier run are dropped, and dropped again when the environment goes.
    // The caller's SetUp returns when the test is skipped or failed.
    void abre(std::shared_ptr<ado::Connection>& cn, Via via, const QString& base);

private:
    QTemporaryDir dir_;
    QByteArray servidoresAntes_, carpetaAntes_;
    bool enServidor_ = false;
};

// A test's own folder and a connection, with its statements as the tests write them.
class ConConexion {
protected:
    std::int32_t ejecuta(const char16_t* sql);
    // The rows of a forward-only read (none when the statement returns none).
    std::vector<std::vector<Variant>> filas(const char16_t* sql);
    Variant escalar(const char16_t* sql) { return filas(sql).at(0).at(0); }

    EntornoAdo entorno;
    std::shared_ptr<ado::Connection> cn; // closed before the folder goes
};

// Runs f and returns the VbError it raised (a failure when it raised none).
template <class F> VbError Falla(F&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e;
    }
    ADD_FAILURE() << "no error was raised";
    return {};
}

} // namespace prueba
