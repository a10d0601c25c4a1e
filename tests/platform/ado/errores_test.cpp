// What the providers report for a failure: a refused statement keeps the
// numbers a server's statement errors carry; only a link that is gone (or a
// database file that can no longer be read) is the unspecified failure the
// suite re-opens the connection on.
#include "platform/ado/errores_ado.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace ado;

namespace {

const QString kOrigen = QStringLiteral("prueba");

TEST(ErroresAdo, StatementErrorsOfSqliteAreNeverALostLink)
{
    struct Caso {
        int codigo;
        const char* mensaje;
        std::int32_t numero;
        int nativo;
    } casos[] = {
        {SQLITE_ERROR, "wrong number of arguments to function abs()", DB_E_ERRORSINCOMMAND, 174},
        {SQLITE_ERROR, "no such column: nocolumna", DB_E_ERRORSINCOMMAND, 207},
        {SQLITE_ERROR, "no such function: NOEXISTE", DB_E_ERRORSINCOMMAND, 195},
        {SQLITE_ERROR, "near \"SELEC\": syntax error", DB_E_ERRORSINCOMMAND, 102},
        {SQLITE_ERROR, "misuse of aggregate: count()", DB_E_ERRORSINCOMMAND, 0},
        {SQLITE_ERROR, "a message no rule knows", DB_E_ERRORSINCOMMAND, 0},
        {SQLITE_ERROR, "no such table: NO_EXISTE", DB_E_NOTABLE, 208},
        {SQLITE_ERROR, "integer overflow", DB_E_DATAOVERFLOW, 8115},
        {SQLITE_CONSTRAINT_PRIMARYKEY, "UNIQUE constraint failed: T.K", DB_E_INTEGRITYVIOLATION, nativo::ClaveDuplicada},
        {SQLITE_CONSTRAINT_NOTNULL, "NOT NULL constraint failed: T.K", DB_E_INTEGRITYVIOLATION, 515},
        {SQLITE_CONSTRAINT_TRIGGER, "raised by a trigger", DB_E_INTEGRITYVIOLATION, nativo::Restriccion},
        {SQLITE_MISMATCH, "datatype mismatch", DB_E_CANTCONVERTVALUE, 245},
        {SQLITE_TOOBIG, "string or blob too big", DB_E_DATAOVERFLOW, nativo::Truncado},
        {SQLITE_BUSY, "database is locked", DB_E_TIMEOUT, 1222},
        {SQLITE_READONLY, "attempt to write a readonly database", DB_E_ERRORSINCOMMAND, 3906},
        {SQLITE_FULL, "database or disk is full", DB_E_ERRORSINCOMMAND, 1105},
        {SQLITE_RANGE, "column index out of range", DB_E_ERRORSINCOMMAND, 0},
    };
    for (const Caso& c : casos) {
        const Error e = ErrorSqlite(c.codigo, QString::fromLatin1(c.mensaje), kOrigen);
        EXPECT_EQ(e.Number, c.numero) << c.mensaje;
        EXPECT_EQ(e.NativeError, c.nativo) << c.mensaje;
        EXPECT_TRUE(e.Description.contains(QLatin1String(c.mensaje))) << c.mensaje;
        EXPECT_EQ(e.Source, kOrigen);
    }
}

TEST(ErroresAdo, ADatabaseFileThatCannotBeReadIsALostLink)
{
    for (const int codigo : {SQLITE_IOERR, SQLITE_IOERR_READ, SQLITE_IOERR_SHORT_READ, SQLITE_CORRUPT, SQLITE_NOTADB,
                             SQLITE_CANTOPEN}) {
        const Error e = ErrorSqlite(codigo, QStringLiteral("disk I/O error"), kOrigen);
        EXPECT_EQ(e.Number, E_FAIL) << codigo;
        EXPECT_EQ(e.NativeError, nativo::ErrorRed) << codigo;
        EXPECT_EQ(e.SQLState, u"08S01");
        EXPECT_TRUE(e.Description.contains(QLatin1String("disk I/O error")));
    }
    // Opening: a writer's lock that outlasts the time-out is said as such.
    Error e = ErrorAbrirSqlite(SQLITE_BUSY, QStringLiteral("EMPRESA"), QStringLiteral("database is locked"), kOrigen);
    EXPECT_EQ(e.Number, E_FAIL);
    EXPECT_TRUE(e.Description.contains(QLatin1String("locked"))) << e.Description.toStdString();
    EXPECT_NE(e.NativeError, nativo::BaseInexistente);
    e = ErrorAbrirSqlite(SQLITE_NOTADB, QStringLiteral("EMPRESA"), QStringLiteral("file is not a database"), kOrigen);
    EXPECT_EQ(e.Number, E_FAIL);
    EXPECT_EQ(e.NativeError, nativo::BaseInexistente);
}

TEST(ErroresAdo, OdbcStatesOfAServer)
{
    struct Caso {
        const char* estado;
        int nativo;
        std::int32_t numero;
    } casos[] = {
        {"42000", 102, DB_E_ERRORSINCOMMAND},  {"42000", 156, DB_E_ERRORSINCOMMAND},
        {"42S22", 207, DB_E_ERRORSINCOMMAND},  {"42S02", 208, DB_E_NOTABLE},
        {"37000", 0, DB_E_ERRORSINCOMMAND},    {"23000", 2627, DB_E_INTEGRITYVIOLATION},
        {"23000", 547, DB_E_INTEGRITYVIOLATION}, {"22001", 8152, DB_E_DATAOVERFLOW},
        {"22003", 8115, DB_E_DATAOVERFLOW},    {"22018", 245, DB_E_CANTCONVERTVALUE},
        {"22007", 241, DB_E_CANTCONVERTVALUE}, {"22008", 242, DB_E_CANTCONVERTVALUE},
        {"22012", 8134, DB_E_ERRORSINCOMMAND}, {"HY000", 0, DB_E_ERRORSINCOMMAND},
        {"HY000", 50000, DB_E_ERRORSINCOMMAND}, {"40001", 1205, DB_E_ERRORSINCOMMAND},
        {"25000", 3902, DB_E_ERRORSINCOMMAND}, {"HYT00", 0, DB_E_TIMEOUT},
        {"08S01", 0, E_FAIL},                  {"08001", 17, E_FAIL},
        {"08003", 0, E_FAIL},                  {"HYT01", 0, E_FAIL},
    };
    for (const Caso& c : casos) {
        const auto r = ErroresOdbc({{QString::fromLatin1(c.estado), c.nativo, QStringLiteral("mensaje")}}, kOrigen, false, false);
        ASSERT_EQ(r.size(), 1u);
        EXPECT_EQ(r[0].Number, c.numero) << c.estado << " " << c.nativo;
        EXPECT_EQ(r[0].SQLState, QString::fromLatin1(c.estado));
        EXPECT_EQ(r[0].Description, u"mensaje");
    }
    // The general network error carries the native number the suite re-opens on.
    EXPECT_EQ(ErroresOdbc({{QStringLiteral("08S01"), 0, QStringLiteral("x")}}, kOrigen, false, false)[0].NativeError,
              nativo::ErrorRed);

    // A time-out whose link went with it is a lost link; each record keeps its own number.
    auto r = ErroresOdbc({{QStringLiteral("HYT00"), 0, QStringLiteral("Timeout expired")},
                          {QStringLiteral("08S01"), 0, QStringLiteral("Communication link failure")}},
                         kOrigen, false, false);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].Number, E_FAIL);
    EXPECT_EQ(r[0].SQLState, u"HYT00");
    EXPECT_EQ(r[1].NativeError, nativo::ErrorRed);

    // Whatever refuses an open is the unspecified failure of the open.
    r = ErroresOdbc({{QStringLiteral("28000"), 18456, QStringLiteral("Login failed")}}, kOrigen, false, true);
    EXPECT_EQ(r[0].Number, E_FAIL);
    EXPECT_EQ(r[0].NativeError, 18456);
}

TEST(ErroresAdo, OdbcOverSqliteReadsSqliteCodesAsTheEmbeddedProvider)
{
    const auto uno = [](int codigo, const char* mensaje) {
        const QString m = QStringLiteral("[SQLite]%1 (%2)").arg(QLatin1String(mensaje)).arg(codigo);
        const auto r = ErroresOdbc({{QStringLiteral("HY000"), codigo, m}}, kOrigen, true, false);
        const Error nativa = ErrorSqlite(codigo, m, kOrigen);
        EXPECT_EQ(r.at(0).Number, nativa.Number) << mensaje;
        EXPECT_EQ(r.at(0).NativeError, nativa.NativeError) << mensaje;
        EXPECT_EQ(r.at(0).Description, nativa.Description) << mensaje;
        return r.at(0);
    };
    EXPECT_EQ(uno(SQLITE_ERROR, "wrong number of arguments to function abs()").Number, DB_E_ERRORSINCOMMAND);
    EXPECT_EQ(uno(SQLITE_ERROR, "no such column: x").NativeError, 207);
    EXPECT_EQ(uno(SQLITE_CONSTRAINT, "UNIQUE constraint failed: t.a").Number, DB_E_INTEGRITYVIOLATION);
    EXPECT_EQ(uno(SQLITE_BUSY, "database is locked").Number, DB_E_TIMEOUT);
    EXPECT_EQ(uno(SQLITE_IOERR, "disk I/O error").Number, E_FAIL);
    EXPECT_EQ(uno(SQLITE_NOTADB, "file is not a database").Number, E_FAIL);
    // States of the driver itself follow the state.
    EXPECT_EQ(ErroresOdbc({{QStringLiteral("HY010"), 0, QStringLiteral("sequence")}}, kOrigen, true, false)[0].Number,
              DB_E_ERRORSINCOMMAND);
    EXPECT_EQ(ErroresOdbc({{QStringLiteral("08S01"), 0, QStringLiteral("gone")}}, kOrigen, true, false)[0].Number, E_FAIL);
}

} // namespace
