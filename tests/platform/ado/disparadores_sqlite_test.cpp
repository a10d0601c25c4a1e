// The server's AFTER triggers on the embedded database: once per statement,
// with all its rows in inserted and deleted, inside its transaction.
#include "entorno_ado.h"

#include <sqlite3.h>

using namespace ado;
using prueba::Falla;
using prueba::Via;

namespace {

class DisparadoresSqlite : public ::testing::Test, protected prueba::ConConexion {
protected:
    void SetUp() override
    {
        archivo = entorno.creaBase(QStringLiteral("EMPRESA"));
        cn = Connection::Create();
        cn->Open(entorno.cadena(Via::Nativa, QStringLiteral("empresa")));
        ejecuta(u"CREATE TABLE t (k int PRIMARY KEY, n int, nota varchar(10))");
        ejecuta(u"CREATE TABLE bitacora (id int IDENTITY(1,1) PRIMARY KEY, ev varchar(10), ins int, del int, "
                u"suma_ins int, suma_del int, filas int)");
        ejecuta(u"INSERT INTO t VALUES (1, 10, 'a'), (2, 20, 'b'), (3, 30, 'c')");
    }

    std::int32_t entero(const char16_t* sql) { return escalar(sql).toLong(); }
    std::int32_t bitacoras() { return entero(u"SELECT COUNT(*) FROM bitacora"); }
    int nativo() { return cn->errors().Item(0).NativeError; }

    // A trigger that writes one row for each statement, with its rows.
    void registra(const char16_t* eventos)
    {
        ejecuta(reinterpret_cast<const char16_t*>(
            (QStringLiteral("CREATE TRIGGER tr_t ON t AFTER ") + QString::fromUtf16(eventos)
             + QStringLiteral(" AS INSERT INTO bitacora (ev, ins, del, suma_ins, suma_del, filas) "
                              "SELECT 'x', (SELECT COUNT(*) FROM inserted), (SELECT COUNT(*) FROM deleted), "
                              "(SELECT SUM(n) FROM inserted), (SELECT SUM(d.n) FROM deleted d), @@ROWCOUNT"))
                .utf16()));
    }

    QString archivo;

    std::vector<Variant> ultima()
    {
        return filas(u"SELECT ins, del, suma_ins, suma_del, filas FROM bitacora WHERE id = (SELECT MAX(id) FROM bitacora)").at(0);
    }
};

TEST_F(DisparadoresSqlite, EachStatementFiresOnceWithAllItsRowsEvenNone)
{
    registra(u"INSERT, UPDATE, DELETE");
    const Variant nulo = Variant::Null();
    // Rows affected are the statement's own, not the trigger's.
    EXPECT_EQ(ejecuta(u"INSERT INTO t (k, n) SELECT k + 10, n FROM t"), 3);
    EXPECT_EQ(bitacoras(), 1);
    EXPECT_EQ(ultima(), (std::vector<Variant>{std::int32_t(3), std::int32_t(0), std::int32_t(60), nulo, std::int32_t(3)}));
    EXPECT_EQ(ejecuta(u"UPDATE t SET n = n + 1 WHERE k < 3"), 2);
    EXPECT_EQ(ultima(), (std::vector<Variant>{std::int32_t(2), std::int32_t(2), std::int32_t(32), std::int32_t(30), std::int32_t(2)}));
    EXPECT_EQ(ejecuta(u"DELETE FROM t WHERE k > 10"), 3);
    EXPECT_EQ(ultima(), (std::vector<Variant>{std::int32_t(0), std::int32_t(3), nulo, std::int32_t(60), std::int32_t(3)}));
    // A statement that takes no row fires all the same.
    EXPECT_EQ(ejecuta(u"DELETE FROM t WHERE k = 99"), 0);
    EXPECT_EQ(bitacoras(), 4);
    // TRUNCATE fires nothing, as on the server.
    ejecuta(u"CREATE TABLE otra (k int PRIMARY KEY, n int, nota varchar(10))");
    ejecuta(u"INSERT INTO otra SELECT * FROM t TRUNCATE TABLE otra");
    ejecuta(u"CREATE TRIGGER tr_otra ON otra AFTER DELETE AS DELETE FROM bitacora");
    ejecuta(u"INSERT INTO otra SELECT * FROM t TRUNCATE TABLE otra");
    EXPECT_EQ(bitacoras(), 4);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM ss_deleted_otra"), 0);
    EXPECT_EQ(ultima(), (std::vector<Variant>{std::int32_t(0), std::int32_t(0), nulo, nulo, std::int32_t(0)}));
    // Two statements of one batch, each its own rows; @@ROWCOUNT after them is the statement's.
    EXPECT_EQ(entero(u"INSERT INTO t VALUES (20, 1, 'x') INSERT INTO t VALUES (21, 2, 'y'), (22, 3, 'z') SELECT @@ROWCOUNT"), 2);
    EXPECT_EQ(bitacoras(), 6);
    EXPECT_EQ(ultima()[0], Variant(std::int32_t(2)));
    // An IF that does not run the statement fires nothing.
    ejecuta(u"IF 1 = 0 UPDATE t SET n = 0");
    EXPECT_EQ(bitacoras(), 6);
    // Nothing is left in a transaction, and the copies are emptied.
    EXPECT_EQ(entero(u"SELECT @@TRANCOUNT"), 0);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM ss_inserted_t"), 0);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM ss_deleted_t"), 0);
}

TEST_F(DisparadoresSqlite, TheStatementKeepsItsIdentityAndTheBodyReadsWholeRows)
{
    ejecuta(u"CREATE TABLE pedidos (id int IDENTITY(1,1) PRIMARY KEY, n int)");
    ejecuta(u"INSERT INTO pedidos (n) VALUES (1), (2), (3)");
    ejecuta(u"CREATE TRIGGER tr_p ON pedidos AFTER INSERT AS INSERT INTO bitacora (ev, ins) SELECT 'p', id FROM inserted");
    // SCOPE_IDENTITY() is the statement's; @@IDENTITY the trigger's last, as on the server.
    EXPECT_EQ(filas(u"INSERT INTO pedidos (n) VALUES (4) SELECT SCOPE_IDENTITY(), @@IDENTITY").at(0),
              (std::vector<Variant>{std::int32_t(4), std::int32_t(1)}));
    EXPECT_EQ(entero(u"SELECT ins FROM bitacora"), 4);
    // SELECT * of deleted: the table's columns, typed as its own.
    ejecuta(u"CREATE TABLE copia (k int, n int, nota varchar(10))");
    ejecuta(u"CREATE TRIGGER tr_t ON t AFTER DELETE AS INSERT INTO copia SELECT * FROM deleted WHERE nota <> 'b'");
    ejecuta(u"DELETE FROM t WHERE k < 3");
    EXPECT_EQ(filas(u"SELECT k, n, nota FROM copia"),
              (std::vector<std::vector<Variant>>{{std::int32_t(1), std::int32_t(10), Variant(u"a")}}));
}

TEST_F(DisparadoresSqlite, RowsTheFilesOwnTriggersWriteAgainAreTheStatementsOnce)
{
    // A default SQLite cannot keep is set by a row trigger of the file's
    // after the row goes in; dates are set right the same way.
    ejecuta(u"CREATE TABLE f (k int, alta datetime)");
    ejecuta(u"ALTER TABLE f ADD d datetime DEFAULT GETDATE()");
    ejecuta(u"CREATE TABLE lf (k int, d datetime, ins int, del int)");
    ejecuta(u"CREATE TRIGGER tr_f ON f AFTER INSERT, UPDATE AS INSERT INTO lf "
            u"SELECT k, d, (SELECT COUNT(*) FROM inserted), (SELECT COUNT(*) FROM deleted) FROM inserted");
    ejecuta(u"INSERT INTO f (k, alta) VALUES (1, '20250115 10:30'), (2, NULL)");
    EXPECT_EQ(filas(u"SELECT k, ins, del, CASE WHEN d IS NULL THEN 0 ELSE 1 END FROM lf ORDER BY k"),
              (std::vector<std::vector<Variant>>{{std::int32_t(1), std::int32_t(2), std::int32_t(0), std::int32_t(1)},
                                                 {std::int32_t(2), std::int32_t(2), std::int32_t(0), std::int32_t(1)}}));
    ejecuta(u"DELETE FROM lf UPDATE f SET alta = '20250116' WHERE k = 1");
    EXPECT_EQ(filas(u"SELECT k, ins, del FROM lf"),
              (std::vector<std::vector<Variant>>{{std::int32_t(1), std::int32_t(1), std::int32_t(1)}}));
}

TEST_F(DisparadoresSqlite, ReturnEndsTheBodyWhereverItRuns)
{
    ejecuta(u"CREATE TRIGGER tr_t ON t AFTER UPDATE AS "
            u"IF @@ROWCOUNT = 0 RETURN "
            u"INSERT INTO bitacora (ev) VALUES ('uno') "
            u"IF EXISTS (SELECT 1 FROM inserted WHERE n > 100) BEGIN INSERT INTO bitacora (ev) VALUES ('alto') RETURN END "
            u"BEGIN IF EXISTS (SELECT 1 FROM inserted WHERE n < 0) RETURN INSERT INTO bitacora (ev) VALUES ('dos') END "
            u"INSERT INTO bitacora (ev) VALUES ('fin')");
    const auto eventos = [&] {
        QStringList r;
        for (const auto& f : filas(u"SELECT ev FROM bitacora ORDER BY id"))
            r << f[0].toString();
        ejecuta(u"DELETE FROM bitacora");
        return r.join(u' ');
    };
    ejecuta(u"UPDATE t SET n = n WHERE k = 99");
    EXPECT_EQ(eventos(), u"");
    ejecuta(u"UPDATE t SET n = 1000 WHERE k = 1");
    EXPECT_EQ(eventos(), u"uno alto");
    ejecuta(u"UPDATE t SET n = -1 WHERE k = 1");
    EXPECT_EQ(eventos(), u"uno");
    // What an earlier statement's RETURN set does not reach the next one.
    ejecuta(u"UPDATE t SET n = 1000 WHERE k = 1 UPDATE t SET n = 5 WHERE k = 1");
    EXPECT_EQ(eventos(), u"uno alto uno dos fin");
    Falla([&] { ejecuta(u"RETURN"); });
    EXPECT_TRUE(cn->errors().Item(0).Description.contains(QLatin1String("not supported by the embedded database")));
    Falla([&] { ejecuta(u"CREATE TRIGGER tr_r ON t AFTER DELETE AS RETURN 1"); });
    EXPECT_EQ(nativo(), 178);
}

TEST_F(DisparadoresSqlite, OnlyTheEventsNamedFireAndUpdateTellsTheColumnsSet)
{
    ejecuta(u"CREATE TRIGGER tr_n ON t FOR INSERT, UPDATE AS "
            u"IF UPDATE(n) INSERT INTO bitacora (ev) VALUES ('n') "
            u"IF UPDATE(nota) INSERT INTO bitacora (ev) VALUES ('nota')");
    ejecuta(u"UPDATE t SET n = 0 WHERE k = 1");
    EXPECT_EQ(filas(u"SELECT ev FROM bitacora"), (std::vector<std::vector<Variant>>{{Variant(u"n")}}));
    ejecuta(u"DELETE FROM bitacora UPDATE t SET nota = 'z', k = k");
    EXPECT_EQ(filas(u"SELECT ev FROM bitacora"), (std::vector<std::vector<Variant>>{{Variant(u"nota")}}));
    // An INSERT sets every column.
    ejecuta(u"DELETE FROM bitacora INSERT INTO t (k) VALUES (9)");
    EXPECT_EQ(bitacoras(), 2);
    ejecuta(u"DELETE FROM bitacora DELETE FROM t");
    EXPECT_EQ(bitacoras(), 0);
    // A column the table does not have is refused when the trigger is made.
    Falla([&] { ejecuta(u"CREATE TRIGGER tr_m ON t FOR UPDATE AS IF UPDATE(nada) DELETE FROM bitacora"); });
    EXPECT_EQ(nativo(), 207);
}

TEST_F(DisparadoresSqlite, TriggersNestButDoNotFireThemselves)
{
    ejecuta(u"CREATE TABLE u (k int, n int)");
    // t's trigger writes u and t itself; u's writes the log.
    ejecuta(u"CREATE TRIGGER tr_t ON t AFTER INSERT, UPDATE AS "
            u"INSERT INTO u SELECT k, n FROM inserted "
            u"UPDATE t SET n = t.n + 100 FROM inserted i WHERE t.k = i.k");
    ejecuta(u"CREATE TRIGGER tr_u ON u AFTER INSERT AS "
            u"INSERT INTO bitacora (ev, ins, filas) SELECT 'u', COUNT(*), @@ROWCOUNT FROM inserted");
    ejecuta(u"INSERT INTO t VALUES (4, 40, 'd'), (5, 50, 'e')");
    // The UPDATE in tr_t did not fire tr_t again (once only: +100).
    EXPECT_EQ(entero(u"SELECT SUM(n) FROM t WHERE k > 3"), 290);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM u"), 2);
    EXPECT_EQ(filas(u"SELECT ev, ins, filas FROM bitacora"),
              (std::vector<std::vector<Variant>>{{Variant(u"u"), std::int32_t(2), std::int32_t(2)}}));
    // Two tables firing each other without end reach the server's limit:
    // the whole statement is undone.
    ejecuta(u"CREATE TRIGGER tr_u2 ON u AFTER INSERT AS UPDATE t SET n = n WHERE k = 1");
    ejecuta(u"DROP TRIGGER tr_t");
    ejecuta(u"CREATE TRIGGER tr_t ON t AFTER UPDATE AS INSERT INTO u VALUES (0, 0)");
    Falla([&] { ejecuta(u"UPDATE t SET n = 1 WHERE k = 1"); });
    EXPECT_EQ(nativo(), 217);
    EXPECT_EQ(entero(u"SELECT n FROM t WHERE k = 1"), 10);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM u"), 2);
    EXPECT_EQ(entero(u"SELECT @@TRANCOUNT"), 0);
    // The connection goes on.
    ejecuta(u"DROP TRIGGER tr_u2");
    EXPECT_EQ(ejecuta(u"UPDATE t SET n = 1 WHERE k = 1"), 1);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM u"), 3);
}

TEST_F(DisparadoresSqlite, AFailureInTheBodyUndoesTheStatementAndLeavesNoTransaction)
{
    ejecuta(u"CREATE TRIGGER tr_t ON t AFTER UPDATE AS "
            u"INSERT INTO bitacora (ev) VALUES ('antes') "
            u"IF EXISTS (SELECT 1 FROM inserted WHERE n < 0) INSERT INTO bitacora (ev, ins) VALUES ('mal', 1 / 0)");
    Falla([&] { ejecuta(u"UPDATE t SET n = -1 WHERE k = 1"); });
    EXPECT_EQ(nativo(), 8134);
    EXPECT_EQ(entero(u"SELECT n FROM t WHERE k = 1"), 10);
    EXPECT_EQ(bitacoras(), 0);
    EXPECT_EQ(entero(u"SELECT @@TRANCOUNT"), 0);
    // In a transaction of the batch's, the server ends the whole transaction.
    Falla([&] { ejecuta(u"BEGIN TRAN INSERT INTO t VALUES (7, 70, 'g') UPDATE t SET n = -1 WHERE k = 2"); });
    EXPECT_EQ(entero(u"SELECT @@TRANCOUNT"), 0);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM t"), 3);
    // The statement's own failure undoes it alone, and fires nothing.
    ejecuta(u"BEGIN TRAN INSERT INTO t VALUES (7, 70, 'g')");
    Falla([&] { ejecuta(u"UPDATE t SET k = 1 WHERE k = 2"); });
    EXPECT_EQ(entero(u"SELECT @@TRANCOUNT"), 1);
    ejecuta(u"COMMIT");
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM t"), 4);
    EXPECT_EQ(bitacoras(), 0);
    EXPECT_EQ(ejecuta(u"UPDATE t SET n = 0 WHERE k = 7"), 1);
    EXPECT_EQ(bitacoras(), 1);
}

TEST_F(DisparadoresSqlite, RollbackInATriggerEndsTheTransactionAndTheBatch)
{
    ejecuta(u"CREATE TRIGGER tr_t ON t AFTER DELETE AS "
            u"IF EXISTS (SELECT 1 FROM deleted WHERE k = 1) ROLLBACK TRAN");
    Falla([&] { ejecuta(u"BEGIN TRAN INSERT INTO bitacora (ev) VALUES ('a') DELETE FROM t DELETE FROM bitacora"); });
    EXPECT_EQ(nativo(), 3609);
    EXPECT_EQ(entero(u"SELECT @@TRANCOUNT"), 0);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM t"), 3);
    EXPECT_EQ(bitacoras(), 0);
    EXPECT_EQ(ejecuta(u"DELETE FROM t WHERE k = 3"), 1);
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM t"), 2);
}

TEST_F(DisparadoresSqlite, ATriggerMadeByAnotherConnectionFires)
{
    auto otra = Connection::Create();
    otra->Open(entorno.cadena(Via::Nativa, QStringLiteral("empresa")));
    const QString insercion = QStringLiteral("INSERT INTO t VALUES (8, 80, 'h')");
    otra->Execute(insercion); // translated and kept before the trigger exists
    otra->Execute(QStringLiteral("DELETE FROM t WHERE k = 8"));
    registra(u"INSERT");
    otra->Execute(insercion);
    EXPECT_EQ(bitacoras(), 1);
    otra->Close();
}

TEST_F(DisparadoresSqlite, RowsAnotherProgramWritesNeverReachATrigger)
{
    registra(u"INSERT, DELETE");
    // Plain SQLite, without this program's functions: its writes are taken,
    // and the rows they copied are not the next statement's.
    sqlite3* otro = nullptr;
    ASSERT_EQ(sqlite3_open(archivo.toUtf8().constData(), &otro), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(otro, "INSERT INTO t VALUES (50, 500, 'x'); DELETE FROM t WHERE k = 1", nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(otro);
    sqlite3_close(otro);
    EXPECT_EQ(bitacoras(), 0);
    ejecuta(u"INSERT INTO t VALUES (60, 600, 'y')");
    EXPECT_EQ(ultima(), (std::vector<Variant>{std::int32_t(1), std::int32_t(0), std::int32_t(600), Variant::Null(), std::int32_t(1)}));
}

TEST_F(DisparadoresSqlite, ThroughTheOdbcDriverTheyRunAlike)
{
    registra(u"UPDATE, DELETE");
    ejecuta(u"CREATE TRIGGER tr_mal ON bitacora AFTER INSERT AS IF EXISTS (SELECT 1 FROM inserted WHERE ins = 0 AND del > 2) "
            u"INSERT INTO bitacora (ins) VALUES (1 / 0)");
    cn->Close();
    cn->Open(entorno.cadena(Via::Odbc, QStringLiteral("empresa")));
    EXPECT_EQ(ejecuta(u"UPDATE t SET n = n + 1"), 3);
    EXPECT_EQ(ultima(), (std::vector<Variant>{std::int32_t(3), std::int32_t(3), std::int32_t(63), std::int32_t(60), std::int32_t(3)}));
    // The nested trigger's failure undoes the statement.
    Falla([&] { ejecuta(u"DELETE FROM t"); });
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM t"), 3);
    EXPECT_EQ(entero(u"SELECT @@TRANCOUNT"), 0);
    EXPECT_EQ(bitacoras(), 1);
}

TEST_F(DisparadoresSqlite, AlterDropAndDropTableChangeWhatFires)
{
    registra(u"INSERT");
    Falla([&] { registra(u"UPDATE"); });
    EXPECT_EQ(nativo(), 2714);
    ejecuta(u"ALTER TRIGGER tr_t ON t AFTER UPDATE AS INSERT INTO bitacora (ev) VALUES ('cambio')");
    ejecuta(u"INSERT INTO t VALUES (4, 40, 'd')");
    EXPECT_EQ(bitacoras(), 0);
    ejecuta(u"UPDATE t SET n = 0");
    EXPECT_EQ(filas(u"SELECT ev FROM bitacora"), (std::vector<std::vector<Variant>>{{Variant(u"cambio")}}));
    ejecuta(u"CREATE OR ALTER TRIGGER tr_t ON t AFTER DELETE AS INSERT INTO bitacora (ev) VALUES ('borra')");
    ejecuta(u"UPDATE t SET n = 1");
    EXPECT_EQ(bitacoras(), 1);
    // A new column reaches inserted and deleted.
    ejecuta(u"ALTER TABLE t ADD m int");
    ejecuta(u"ALTER TRIGGER tr_t ON t AFTER DELETE AS INSERT INTO bitacora (ev, del) SELECT 'm', SUM(m) FROM deleted");
    ejecuta(u"UPDATE t SET m = 5");
    ejecuta(u"DELETE FROM t WHERE k > 2");
    EXPECT_EQ(entero(u"SELECT del FROM bitacora WHERE ev = 'm'"), 10);
    ejecuta(u"DROP TRIGGER tr_t");
    ejecuta(u"DELETE FROM t");
    EXPECT_EQ(bitacoras(), 2);
    ejecuta(u"DROP TRIGGER IF EXISTS tr_t");
    Falla([&] { ejecuta(u"DROP TRIGGER tr_t"); });
    EXPECT_EQ(nativo(), 3701);
    // Dropping the table drops its triggers: a new table of that name has none.
    registra(u"INSERT");
    ejecuta(u"DROP TABLE t");
    ejecuta(u"CREATE TABLE t (k int, n int)");
    ejecuta(u"INSERT INTO t VALUES (1, 1)");
    EXPECT_EQ(bitacoras(), 2);
    registra(u"INSERT");
}

TEST_F(DisparadoresSqlite, WhatTheEmbeddedDatabaseCannotRunIsRefused)
{
    for (const char16_t* sql : {u"CREATE TRIGGER x ON t INSTEAD OF INSERT AS DELETE FROM bitacora",
                                u"CREATE TRIGGER x ON t WITH ENCRYPTION AFTER INSERT AS DELETE FROM bitacora",
                                u"CREATE TRIGGER x ON t WITH EXECUTE AS OWNER AFTER INSERT AS DELETE FROM bitacora",
                                u"CREATE TRIGGER x ON t AFTER INSERT NOT FOR REPLICATION AS DELETE FROM bitacora",
                                u"CREATE TRIGGER x ON DATABASE FOR CREATE_TABLE AS DELETE FROM bitacora"}) {
        Falla([&] { ejecuta(sql); });
        EXPECT_TRUE(cn->errors().Item(0).Description.contains(QLatin1String("not supported by the embedded database")))
            << QString::fromUtf16(sql).toStdString();
    }
    Falla([&] { ejecuta(u"SELECT 1 CREATE TRIGGER x ON t AFTER INSERT AS DELETE FROM bitacora"); });
    EXPECT_EQ(nativo(), 111);
    Falla([&] { ejecuta(u"CREATE TRIGGER x ON nada AFTER INSERT AS DELETE FROM bitacora"); });
    EXPECT_EQ(nativo(), 8197);
    ejecuta(u"CREATE VIEW v AS SELECT k FROM t");
    Falla([&] { ejecuta(u"CREATE TRIGGER x ON v AFTER INSERT AS DELETE FROM bitacora"); });
    EXPECT_EQ(nativo(), 8197);
    Falla([&] { ejecuta(u"CREATE TRIGGER x ON t AFTER INSERT AS DELETE FROM inserted"); });
    EXPECT_EQ(nativo(), 286);
    // SQLite itself deletes the rows of a cascade: the trigger would not run.
    ejecuta(u"CREATE TABLE hija (k int REFERENCES t (k) ON DELETE CASCADE)");
    Falla([&] { ejecuta(u"CREATE TRIGGER x ON hija AFTER DELETE AS DELETE FROM bitacora"); });
    EXPECT_TRUE(cn->errors().Item(0).Description.contains(QLatin1String("not supported by the embedded database")));
    // Nothing of them was kept.
    EXPECT_EQ(ejecuta(u"INSERT INTO t VALUES (5, 50, 'e')"), 1);
    EXPECT_EQ(entero(u"SELECT @@TRANCOUNT"), 0);
}

TEST_F(DisparadoresSqlite, ARecordsetDoesNotWriteRowsPastATrigger)
{
    registra(u"UPDATE");
    Recordset rs;
    rs.Open(QStringLiteral("SELECT k, n FROM t ORDER BY k"), cn, adOpenKeyset, adLockOptimistic);
    rs["n"].setValue(Variant(std::int32_t(99)));
    Falla([&] { rs.Update(); });
    EXPECT_TRUE(cn->errors().Item(0).Description.contains(QLatin1String("not supported by the embedded database")));
    rs.CancelUpdate();
    EXPECT_EQ(entero(u"SELECT n FROM t WHERE k = 1"), 10);
    // The events without a trigger are written as before.
    rs.Delete();
    rs.Close();
    EXPECT_EQ(entero(u"SELECT COUNT(*) FROM t"), 2);
    // The tables the triggers need are not the user's.
    QStringList tablas;
    for (auto esquema = cn->OpenSchema(adSchemaTables); !esquema->EOF_(); esquema->MoveNext())
        tablas << esquema->Fields("TABLE_NAME").Value().toString();
    EXPECT_EQ(tablas, (QStringList{QStringLiteral("bitacora"), QStringLiteral("t")}));
}

} // namespace

namespace {

// Through the SQLite ODBC driver every statement of a batch runs and fails as
// natively: one whose rows are not the batch's result still raises, and one
// SQLite is given with a WITH before it (which the driver takes for a query
// and runs only when read) still writes.
TEST_F(DisparadoresSqlite, ThroughOdbcEveryStatementOfABatchRunsAndFailsAsNatively)
{
    ejecuta(u"CREATE TABLE s (a varchar(5)) CREATE TABLE w (a varchar(5))");
    ejecuta(u"CREATE TRIGGER tr_s ON s AFTER INSERT AS SELECT a + 1 FROM inserted");
    for (Via via : {Via::Nativa, Via::Odbc}) {
        cn->Close();
        cn->Open(entorno.cadena(via, QStringLiteral("empresa")));
        Falla([&] { ejecuta(u"INSERT INTO s VALUES ('x')"); });
        EXPECT_EQ(nativo(), 245) << int(via);
        Falla([&] { ejecuta(u"SELECT 1 AS uno SELECT 'x' + 1"); });
        EXPECT_EQ(nativo(), 245) << int(via);
        // The failing row after one that converts: the error comes on reading it.
        Falla([&] { ejecuta(u"INSERT INTO s VALUES ('1'), ('x')"); });
        EXPECT_EQ(nativo(), 245) << int(via);
        Falla([&] { ejecuta(u"SELECT 1 AS uno SELECT a + 1 FROM (VALUES ('1'), ('2'), ('x')) v(a)"); });
        EXPECT_EQ(nativo(), 245) << int(via);
        Falla([&] { ejecuta(u"INSERT INTO s SELECT CAST(a + 1 AS varchar(5)) FROM (VALUES ('1'), ('x')) v(a)"); });
        EXPECT_EQ(nativo(), 245) << int(via);
        Falla([&] { ejecuta(u"INSERT INTO s SELECT CAST(a + 1 AS varchar(5)) FROM (VALUES ('x')) v(a)"); });
        EXPECT_EQ(nativo(), 245) << int(via);
        EXPECT_EQ(entero(u"SELECT COUNT(*) FROM s"), 0);
        // Statements SQLite is given with a WITH before them write.
        EXPECT_EQ(ejecuta(u"WITH x AS (SELECT 'z' AS a) INSERT INTO w SELECT a FROM x"), 1) << int(via);
        EXPECT_EQ(ejecuta(u"WITH x AS (SELECT 'z' AS a) UPDATE w SET a = 'y' WHERE a IN (SELECT a FROM x)"), 1) << int(via);
        EXPECT_EQ(entero(u"SELECT COUNT(*) FROM w WHERE a = 'y'"), 1) << int(via);
        EXPECT_EQ(ejecuta(u"WITH x AS (SELECT 'y' AS a) DELETE FROM w WHERE a IN (SELECT a FROM x)"), 1) << int(via);
        EXPECT_EQ(entero(u"SELECT COUNT(*) FROM w"), 0);
    }
}

} // namespace
