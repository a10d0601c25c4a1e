#pragma once
// A real embedded database in a temporary program folder, a scripted
// operator, and an ending of the program that the test can catch.
#include "db/db_dll.h"
#include "db/globales.h"
#include "platform/aplicacion.h"
#include "platform/operador.h"
#include "platform/ado/sqlite_servidor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace prueba {

// Runs SQL on a SQLite file directly, below the layers under test.
inline void EjecutaSqlite(const QString& archivo, const QString& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(archivo.toUtf8().constData(), &db), SQLITE_OK);
    ado::servidor::RegistrarIntercalacion(db); // so that tables can be declared as the server compares
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const QString msg = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << msg.toStdString();
}

class BasePrueba : public ::testing::Test {
protected:
    QTemporaryDir dir;
    OperadorGuion* op = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("VERIFICADOR_CARPETA", dir.path().toLocal8Bit());
        qputenv("VERIFICADOR_SERVIDORES", (dir.path() + QStringLiteral("/servidores.ini")).toLocal8Bit());
        QFile ini(dir.path() + QStringLiteral("/servidores.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[LOCAL]\r\nMotor=sqlite\r\nCarpeta=" + dir.path().toLocal8Bit() + "\r\n");
        ini.close();
        auto g = std::make_unique<OperadorGuion>();
        op = g.get();
        instalaOperador(std::move(g));
        aplicacion::FijaTerminar([](int codigo) { throw aplicacion::Fin{codigo}; });
        ReiniciaInstancias();
        glb::UsuarioActual.clear();
        glb::ConfidencialidadActiva = false;
    }

    void TearDown() override
    {
        ReiniciaInstancias();
        instalaOperador(nullptr);
        aplicacion::FijaTerminar(nullptr);
        qunsetenv("VERIFICADOR_CARPETA");
        qunsetenv("VERIFICADOR_SERVIDORES");
    }

    QString archivoBase(const QString& nombre) const { return dir.path() + u'/' + nombre + QStringLiteral(".sqlite"); }

    // Creates (or extends) database `nombre` of the embedded server.
    void CreaBase(const QString& nombre, const QString& sql) { EjecutaSqlite(archivoBase(nombre), sql); }

    // Opens db on the embedded server as the start-up does.
    void Abre(DB_Dll& db, const QString& nombre, bool validaAdmin = false)
    {
        db.gServidor = QStringLiteral("LOCAL");
        db.gDBName = db.gUsuario = db.gUserPassWord = nombre;
        db.OpenServerADODB(false, ado::adUseClient, {}, validaAdmin, true);
    }

    // Opens db on the same database file through unixODBC and the SQLite ODBC driver.
    void AbreOdbc(DB_Dll& db, const QString& nombre)
    {
        db.gServidor = QStringLiteral("LOCAL");
        db.gDBName = db.gUsuario = db.gUserPassWord = nombre;
        db.OpenServerADODB(false, ado::adUseClient,
                           QStringLiteral("PROVIDER=MSDASQL;Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so;Database=")
                               + archivoBase(nombre) + u';',
                           false, true);
    }

    // The link to the server is gone: every call and every re-open of db's
    // shared connection fails with a network error, until the operator's
    // second answer brings it back when `vuelve`. Each box shown records how
    // many failures had happened by then.
    std::vector<int> fallosAlPreguntar;
    ado::Fallas& ServidorCaido(DB_Dll& db, bool vuelve)
    {
        ado::Fallas& f = db.gCnn->fallas();
        f.veces = -1;
        f.error = ado::Error{ado::E_FAIL, QStringLiteral("General network error"), QStringLiteral("Proveedor"), QStringLiteral("08S01"), 11};
        fallosAlPreguntar.clear();
        op->alMostrar = [this, &f, vuelve](const OperadorGuion::Mostrado&) {
            fallosAlPreguntar.push_back(f.fallosProducidos);
            if (vuelve && fallosAlPreguntar.size() == 2)
                f.veces = 0;
        };
        return f;
    }

    QString leeArchivo(const QString& ruta) const
    {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
};

} // namespace prueba
