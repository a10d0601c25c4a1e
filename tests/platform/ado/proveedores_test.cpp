// Behaviour of the providers at their edges, on SQLite opened natively and
// behind unixODBC, and on the SQL Server named by VERIFICADOR_PRUEBA_MSSQL
// where the case is not SQLite's own: statements holding character 0,
// recordsets across a transaction, another connection's write lock, texts
// beyond one code page, and (through the ODBC provider's test hooks) drivers
// that fail while rows are moved or described, or that send long texts their
// own way.
#include "entorno_ado.h"
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"

#include <QElapsedTimer>
#include <QFile>
#include <atomic>
#include <chrono>
#include <sql.h>
#include <sqlite3.h>
#include <thread>

using namespace ado;
using prueba::Falla;
using prueba::Via;

namespace {

// Another connection that holds a write lock on a database file from its
// own thread until it is released (or after `ms` milliseconds).
class Cerrojo {
public:
    Cerrojo(const QString& archivo, int ms) : archivo_(QFile::encodeName(archivo))
    {
        hilo_ = std::thread([this, ms] {
            sqlite3* db = nullptr;
            sqlite3_open(archivo_.constData(), &db);
            tomado_ = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK ? 1 : -1;
            const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
            while (!soltar_ && std::chrono::steady_clock::now() < fin)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        });
        while (tomado_ == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~Cerrojo() { suelta(); }
    bool tomado() const { return tomado_ == 1; }
    void suelta()
    {
        soltar_ = true;
        if (hilo_.joinable())
            hilo_.join();
    }

private:
    QByteArray archivo_;
    std::thread hilo_;
    std::atomic<int> tomado_{0};
    std::atomic<bool> soltar_{false};
};

class Proveedores : public ::testing::TestWithParam<Via> {
protected:
    void SetUp() override
    {
        archivo = entorno.creaBase(QStringLiteral("EMPRESA"));
        entorno.abre(cn, GetParam(), QStringLiteral("empresa"));
        if (IsSkipped() || HasFatalFailure())
            return;
        cn->Execute(QStringLiteral("CREATE TABLE NUMEROS (N int PRIMARY KEY, Texto nvarchar(max))"));
        cn->BeginTrans();
        for (int i = 0; i < 10; ++i)
            cn->Execute(QStringLiteral("INSERT INTO NUMEROS (N) VALUES (%1)").arg(i));
        cn->CommitTrans();
    }
    void TearDown() override { Ganchos() = GanchosOdbc{}; }

    Variant escalar(const QString& sql)
    {
        Recordset rs;
        rs.Open(sql, cn);
        return rs.Fields(0).Value();
    }
    bool odbc() const { return GetParam() == Via::Odbc; }
    void tiempoComandos(int segundos)
    {
        cn->CommandTimeout = segundos;
        if (odbc()) { // the driver fixes its wait on locks when it connects
            cn->Close();
            cn->Open();
        }
    }

    prueba::EntornoAdo entorno;
    QString archivo;
    std::shared_ptr<Connection> cn;
};

// Cases that hold only for SQLite: a lock on its file, its own table forms.
class ProveedoresSqlite : public Proveedores {};

TEST_P(Proveedores, AStatementHoldingCharacterZeroIsRefusedWhole)
{
    const QChar nulo(0);
    QElapsedTimer reloj;
    reloj.start();
    VbError e = Falla([&] { cn->Execute(QStringLiteral("SELECT 1 AS a") + nulo); });
    EXPECT_EQ(e.Number, DB_E_ERRORSINCOMMAND);
    ASSERT_EQ(cn->errors().Count(), 1);
    EXPECT_EQ(cn->errors().Item(0).SQLState, u"42000");

    // Nothing before the character runs either.
    e = Falla([&] { cn->Execute(QStringLiteral("DELETE FROM NUMEROS WHERE N = 1") + nulo + QStringLiteral("; DELETE FROM NUMEROS")); });
    EXPECT_EQ(e.Number, DB_E_ERRORSINCOMMAND);
    Recordset rs;
    e = Falla([&] { rs.Open(QStringLiteral("SELECT N FROM NUMEROS") + nulo + QStringLiteral(" WHERE N = 1"), cn); });
    EXPECT_EQ(e.Number, DB_E_ERRORSINCOMMAND);
    EXPECT_EQ(rs.State(), adStateClosed);
    // Inside a string literal it is refused as cleanly.
    e = Falla([&] { cn->Execute(QStringLiteral("UPDATE NUMEROS SET Texto = 'a") + nulo + QStringLiteral("b'")); });
    EXPECT_EQ(e.Number, DB_E_ERRORSINCOMMAND);
    EXPECT_LT(reloj.elapsed(), 5000);

    EXPECT_EQ(escalar(QStringLiteral("SELECT COUNT(*) FROM NUMEROS WHERE Texto IS NULL")), Variant(std::int32_t(10)));
    // The connection goes on as before.
    EXPECT_EQ(escalar(QStringLiteral("SELECT 1 AS a")), Variant(std::int32_t(1)));
}

TEST_P(ProveedoresSqlite, AWritersLockIsWaitedOnForTheCommandTimeOut)
{
    tiempoComandos(10);
    {
        Cerrojo cerrojo(archivo, 400); // released while the statement waits
        ASSERT_TRUE(cerrojo.tomado());
        QElapsedTimer reloj;
        reloj.start();
        std::int32_t n = 0;
        cn->Execute(QStringLiteral("UPDATE NUMEROS SET Texto = 'x' WHERE N = 1"), &n);
        EXPECT_EQ(n, 1);
        EXPECT_GE(reloj.elapsed(), 300);
    }

    // A lock that outlasts a short time-out fails the statement, and says so.
    tiempoComandos(1);
    Cerrojo cerrojo(archivo, 30000);
    ASSERT_TRUE(cerrojo.tomado());
    QElapsedTimer reloj;
    reloj.start();
    const VbError e = Falla([&] { cn->Execute(QStringLiteral("UPDATE NUMEROS SET Texto = 'y' WHERE N = 1")); });
    EXPECT_GE(reloj.elapsed(), 800);
    EXPECT_LT(reloj.elapsed(), 10000);
    EXPECT_EQ(e.Number, DB_E_TIMEOUT);
    EXPECT_TRUE(e.Description.contains(QLatin1String("locked"))) << e.Description.toStdString();
    cerrojo.suelta();
    EXPECT_EQ(cn->State(), adStateOpen);
    EXPECT_EQ(escalar(QStringLiteral("SELECT Texto FROM NUMEROS WHERE N = 1")), Variant(u"x"));
}

TEST_P(ProveedoresSqlite, AWritersLockIsWaitedOnForTheConnectionTimeOutWhileOpening)
{
    cn->Close();
    {
        Cerrojo cerrojo(archivo, 400);
        ASSERT_TRUE(cerrojo.tomado());
        cn->ConnectionTimeout = 10;
        cn->Open();
        EXPECT_EQ(escalar(QStringLiteral("SELECT COUNT(*) FROM NUMEROS")), Variant(std::int32_t(10)));
    }
    cn->Close();

    Cerrojo cerrojo(archivo, 30000);
    ASSERT_TRUE(cerrojo.tomado());
    cn->ConnectionTimeout = 1;
    cn->CommandTimeout = 1;
    QElapsedTimer reloj;
    reloj.start();
    // The embedded server reads the file as it opens it; the driver reads it
    // at the first statement. Either way the lock error comes, in bounded time.
    const VbError e = Falla([&] {
        cn->Open();
        escalar(QStringLiteral("SELECT COUNT(*) FROM NUMEROS"));
    });
    EXPECT_LT(reloj.elapsed(), 10000);
    EXPECT_EQ(e.Number, odbc() ? DB_E_TIMEOUT : E_FAIL);
    EXPECT_TRUE(e.Description.contains(QLatin1String("locked"))) << e.Description.toStdString();
}

TEST_P(ProveedoresSqlite, TextsBeyondOneCodePageTravelAsParameters)
{
    {
        // A table without row ids is SQLite's own: made in its dialect, beside the connection.
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(archivo).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE TEXTOS (Clave nvarchar(20) NOT NULL PRIMARY KEY, Valor nvarchar(40)) WITHOUT ROWID",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const QString clave = QStringLiteral("Ω€ñ日本");
    const QString valor = QStringLiteral("año 𝄞 ünïcödé — 日本語");
    {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM TEXTOS"), cn, adOpenDynamic, adLockOptimistic);
        rs.AddNew();
        rs["Clave"].setValue(Variant(clave));
        rs["Valor"].setValue(Variant(valor));
        rs.Update();
    }
    EXPECT_EQ(escalar(QStringLiteral("SELECT Valor FROM TEXTOS WHERE Clave = N'") + clave + u'\''), Variant(valor));

    // A table without a row key: the update finds its row by the values read.
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM TEXTOS"), cn, adOpenDynamic, adLockOptimistic);
    ASSERT_FALSE(rs.EOF_());
    EXPECT_EQ(rs["Clave"].Value(), Variant(clave));
    rs["Valor"].setValue(Variant(valor + QStringLiteral(" €")));
    rs.Update();
    rs.Delete();
    rs.Close();
    EXPECT_EQ(escalar(QStringLiteral("SELECT COUNT(*) FROM TEXTOS")), Variant(std::int32_t(0)));
}

TEST_P(Proveedores, ARecordsetOpenAcrossATransactionKeepsItsRows)
{
    cn->Execute(QStringLiteral("CREATE TABLE LOG (N int)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT N FROM NUMEROS ORDER BY N"), cn);
    Recordset otro;
    otro.Open(QStringLiteral("SELECT N FROM NUMEROS ORDER BY N DESC"), cn);
    cn->BeginTrans();
    rs.MoveNext();
    cn->Execute(QStringLiteral("INSERT INTO LOG (N) VALUES (1)"));
    cn->CommitTrans();
    int vistos = 1;
    for (; !rs.EOF_(); rs.MoveNext())
        EXPECT_EQ(rs["N"].Value().toLong(), vistos++);
    EXPECT_EQ(vistos, 10);
    int n = 0;
    for (; !otro.EOF_(); otro.MoveNext())
        ++n;
    EXPECT_EQ(n, 10);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, Proveedores, ::testing::Values(Via::Nativa, Via::Odbc), prueba::NombreVia);
INSTANTIATE_TEST_SUITE_P(SqlServer, Proveedores, ::testing::Values(Via::Servidor), prueba::NombreVia);
INSTANTIATE_TEST_SUITE_P(Sqlite, ProveedoresSqlite, ::testing::Values(Via::Nativa, Via::Odbc), prueba::NombreVia);

// The ODBC provider over drivers that behave as some do, through its hooks.
class DriverOdbc : public Proveedores {};

TEST_P(DriverOdbc, AFetchFailingWhileRowsAreMovedStaysWithItsRecordset)
{
    Ganchos().unoActivo = true; // as a driver with one active statement
    cn->Close();
    cn->Open();
    Recordset rs;
    rs.Open(QStringLiteral("SELECT N FROM NUMEROS ORDER BY N"), cn);
    ASSERT_EQ(rs["N"].Value(), Variant(std::int32_t(0)));
    int lecturas = 0;
    Ganchos().respuesta = [&](const char* llamada, short r) -> short {
        return std::string_view(llamada) == "SQLFetch" && ++lecturas == 4 ? SQL_ERROR : r;
    };
    // Another statement moves the pending rows first; the failed fetch is not its own.
    std::int32_t n = 0;
    cn->Execute(QStringLiteral("UPDATE NUMEROS SET Texto = 'z' WHERE N = 9"), &n);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(cn->errors().Count(), 0);
    // The rows moved come in order, then the failure, where the read failed.
    std::vector<int> vistos;
    const VbError e = Falla([&] {
        for (rs.MoveNext(); !rs.EOF_(); rs.MoveNext())
            vistos.push_back(rs["N"].Value().toLong());
    });
    EXPECT_EQ(vistos, (std::vector<int>{1, 2, 3}));
    EXPECT_NE(e.Number, 0);
    EXPECT_EQ(cn->errors().Count(), 1);
    EXPECT_TRUE(rs.EOF_());
}

TEST_P(DriverOdbc, ACursorThatFailsToDescribeItsRowsLeavesNothingBehind)
{
    const int antes = Ganchos().sentencias;
    Ganchos().respuesta = [](const char* llamada, short r) -> short {
        return std::string_view(llamada) == "SQLDescribeCol" ? SQL_ERROR : r;
    };
    Recordset rs;
    EXPECT_NE(Falla([&] { rs.Open(QStringLiteral("SELECT N FROM NUMEROS"), cn); }).Number, 0);
    EXPECT_EQ(rs.State(), adStateClosed);
    EXPECT_EQ(Ganchos().sentencias, antes); // its statement was freed
    Ganchos().respuesta = nullptr;
    EXPECT_EQ(escalar(QStringLiteral("SELECT COUNT(*) FROM NUMEROS")), Variant(std::int32_t(10)));
    cn->Close(); // the provider goes without touching the cursor that never was
    cn.reset();
    EXPECT_EQ(Ganchos().sentencias, antes);
}

// The driver's own reading of a date drops its milliseconds; a function of
// the session knows the file's name though the driver opened it.
TEST_P(DriverOdbc, DatesKeepTheirMillisecondsAndTheDatabaseItsName)
{
    cn->Execute(QStringLiteral("CREATE TABLE FECHAS (F datetime) INSERT INTO FECHAS VALUES ('20250201 23:59:59.997')"));
    auto texto = [&](const char* sql) {
        return escalar(QString::fromLatin1(sql)).toDate().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    };
    EXPECT_EQ(texto("SELECT F FROM FECHAS"), QStringLiteral("2025-02-01 23:59:59.997"));
    EXPECT_EQ(texto("SELECT DATEADD(ms, 3, F) FROM FECHAS"), QStringLiteral("2025-02-02 00:00:00.000"));
    EXPECT_FALSE(escalar(QStringLiteral("SELECT DB_NAME()")).toString().isEmpty());
}

TEST_P(DriverOdbc, ALongTextWhoseLastPieceCarriesAWarningIsReadWhole)
{
    QString largo;
    for (int i = 0; i < 700; ++i)
        largo += QStringLiteral("ñandú %1 ").arg(i, 3, 10, QChar(u'0')); // several pieces, characters split between them
    {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM NUMEROS WHERE N = 5"), cn, adOpenDynamic, adLockOptimistic);
        rs["Texto"].setValue(Variant(largo));
        rs.Update();
    }
    // Every piece comes with a warning; "no more data" follows the last one.
    bool ultima = false;
    Ganchos().respuesta = [&](const char* llamada, short r) -> short {
        if (std::string_view(llamada) != "SQLGetData")
            return r;
        if (ultima) {
            ultima = false;
            return SQL_NO_DATA;
        }
        if (r == SQL_SUCCESS) {
            ultima = true;
            return SQL_SUCCESS_WITH_INFO;
        }
        return r;
    };
    EXPECT_EQ(escalar(QStringLiteral("SELECT Texto FROM NUMEROS WHERE N = 5")), Variant(largo));
    EXPECT_EQ(escalar(QStringLiteral("SELECT 'corto' AS t")), Variant(u"corto"));
}

TEST_P(DriverOdbc, TextsOfEveryLengthStreamWholeOneAfterAnotherAndAKeptValueStaysAsItWas)
{
    // Short texts and long ones (several pieces, a character split between
    // them), each row reusing what the one before left.
    std::vector<QString> textos;
    for (int n = 0; n < 10; ++n) {
        textos.push_back(n % 3 == 1 ? QString(300 + 700 * n, u'x') + QStringLiteral("ñandú€") : QStringLiteral("corto ñ %1").arg(n));
        cn->Execute(QStringLiteral("UPDATE NUMEROS SET Texto = '%1' WHERE N = %2").arg(textos.back()).arg(n));
    }
    Recordset rs;
    rs.Open(QStringLiteral("SELECT N, Texto, ISNULL(Texto, '') AS Libre, N - 5 AS Resta, N * 1.5 AS Real, '007' AS Cero, "
                           "'2025-07-01 09:30:00' AS Fecha FROM NUMEROS ORDER BY N"),
            cn, adOpenForwardOnly, adLockReadOnly);
    Variant guardado;
    int n = 0;
    for (; !rs.EOF_(); rs.MoveNext(), ++n) {
        EXPECT_EQ(rs["Texto"].Value(), Variant(textos[n])) << n;
        EXPECT_EQ(rs["Libre"].Value(), Variant(textos[n])) << n;
        EXPECT_EQ(rs["Resta"].Value(), Variant(std::int32_t(n - 5))) << n;
        EXPECT_EQ(rs["Real"].Value(), Variant(n * 1.5)) << n;
        EXPECT_EQ(rs["Cero"].Value(), Variant(u"007")) << n; // no number SQLite writes
        EXPECT_EQ(rs["Fecha"].Value().type(), VarType::Date) << n;
        if (n == 2)
            guardado = rs["Texto"].Value(); // the next row's text is as short
    }
    EXPECT_EQ(n, 10);
    EXPECT_EQ(guardado, Variant(textos[2]));
}

INSTANTIATE_TEST_SUITE_P(Sqlite, DriverOdbc, ::testing::Values(Via::Odbc),
                         [](const auto&) { return "Odbc"; });


} // namespace
