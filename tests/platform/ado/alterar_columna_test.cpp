// ALTER TABLE ... ALTER COLUMN on the embedded database, natively and behind
// unixODBC: SQLite rebuilds the table, which must come out as the server
// leaves it, or stay exactly as it was.
#include "comun/proceso.h"
#include "entorno_ado.h"

#include <QFile>
#include <QStandardPaths>
#include <sqlite3.h>

using namespace ado;
using prueba::Falla;
using prueba::Via;

namespace {

class AlterarColumna : public ::testing::TestWithParam<Via>, protected prueba::ConConexion {
protected:
    void SetUp() override
    {
        archivo = entorno.creaBase(QStringLiteral("EMPRESA"));
        entorno.abre(cn, GetParam(), QStringLiteral("empresa"));
        if (IsSkipped() || HasFatalFailure())
            return;
        ejecuta(u"CREATE TABLE FAM (IdFamilia int PRIMARY KEY, Nombre varchar(20))");
        ejecuta(u"INSERT INTO FAM VALUES (1, 'Bazar')");
        ejecuta(u"CREATE TABLE ART (Id int IDENTITY(1,1) PRIMARY KEY, Codigo varchar(10) NOT NULL UNIQUE, "
                u"Stock int, Precio money DEFAULT 5, Nota varchar(30), Alta datetime, "
                u"IdFamilia int REFERENCES FAM (IdFamilia), Peso decimal(6,2) CHECK (Peso >= 0))");
        ejecuta(u"CREATE INDEX ix_nota ON ART (Nota)");
        ejecuta(u"INSERT INTO ART (Codigo, Stock, Nota, Alta, IdFamilia, Peso) "
                u"VALUES ('A1', 10, '12', '20250115 10:30:00', 1, 1.5)");
        ejecuta(u"INSERT INTO ART (Codigo, Stock, Nota, Alta, IdFamilia, Peso) VALUES ('A2', 20, NULL, NULL, NULL, 2)");
        ejecuta(u"INSERT INTO ART (Codigo, Stock, Nota, Alta, IdFamilia, Peso) VALUES ('A3', -3, '7', NULL, 1, 0)");
        ejecuta(u"DELETE ART WHERE Codigo = 'A3'"); // the next row is still number 4
        ejecuta(u"CREATE VIEW VART AS SELECT Codigo, Stock * 2 AS Doble FROM ART");
    }
    void TearDown() override { cn.reset(); }

    // Everything a failed change must leave as it was.
    QString estado()
    {
        QString r;
        for (const auto& f : filas(u"SELECT type, name, coalesce(sql, '') FROM sqlite_master ORDER BY name"))
            r += f[0].toString() + u' ' + f[1].toString() + u' ' + f[2].toString() + u'\n';
        for (const auto& f : filas(u"SELECT Id, Codigo, Stock, Precio, Nota, Alta, IdFamilia, Peso FROM ART ORDER BY Id"))
            for (const Variant& v : f)
                r += (v.isNull() ? QStringLiteral("NULL") : v.toString()) + u'|';
        return r;
    }
    int tipoDe(const char16_t* columna)
    {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT %1 FROM ART").arg(QString::fromUtf16(columna)), cn, adOpenForwardOnly, adLockReadOnly);
        return rs.Fields(0).Type;
    }
    int errorDe(const char16_t* sql)
    {
        Falla([&] { ejecuta(sql); });
        return cn->errors().Count() ? cn->errors().Item(0).NativeError : -1;
    }

    QString archivo;
};

TEST_P(AlterarColumna, TheColumnTakesItsNewTypeWithItsValuesConvertedAndTheRestKept)
{
    ejecuta(u"DROP INDEX ART.ix_nota CREATE INDEX ix_alta ON ART (Alta)");
    EXPECT_EQ(ejecuta(u"ALTER TABLE ART ALTER COLUMN Stock bigint"), 0); // no rows affected, as any definition
    EXPECT_EQ(tipoDe(u"Stock"), adBigInt);
    EXPECT_EQ(escalar(u"ALTER TABLE ART ALTER COLUMN Stock bigint SELECT @@ROWCOUNT"), Variant(std::int32_t(0)));
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Stock decimal(10,2) NOT NULL");
    if (GetParam() == Via::Nativa) { // the driver hands decimals over as texts
        EXPECT_EQ(tipoDe(u"Stock"), adNumeric);
    }
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ART WHERE CAST(Stock AS varchar(20)) = '10.00'"), Variant(std::int32_t(1)));
    // A text becomes a number, and a number a text, as an assignment converts them.
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Nota int");
    EXPECT_EQ(escalar(u"SELECT Nota + 1 FROM ART WHERE Codigo = 'A1'"), Variant(std::int32_t(13)));
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ART WHERE Nota IS NULL"), Variant(std::int32_t(1)));
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Stock varchar(8)");
    EXPECT_EQ(escalar(u"SELECT Stock FROM ART WHERE Codigo = 'A1'"), Variant(u"10.00"));
    // The collation given, or the database's.
    ejecuta(u"ALTER TABLE FAM ALTER COLUMN Nombre varchar(20) COLLATE Latin1_General_CS_AS");
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM sqlite_master WHERE sql LIKE '%\"Nombre\" varchar(20) COLLATE CS_AS)'"),
              Variant(std::int32_t(1)));

    // Rows, dates, identity numbering, defaults, UNIQUE, CHECK, REFERENCES,
    // the index and the view: all as they were.
    EXPECT_EQ(escalar(u"SELECT Alta FROM ART WHERE Codigo = 'A1'").toString(), u"15/01/2025 10:30:00");
    EXPECT_EQ(escalar(u"INSERT INTO ART (Codigo, Peso) VALUES ('A5', 1) SELECT SCOPE_IDENTITY()"), Variant(std::int32_t(4)));
    EXPECT_EQ(escalar(u"SELECT Precio FROM ART WHERE Codigo = 'A5'").toCurrency(), Currency{50000});
    EXPECT_EQ(errorDe(u"INSERT INTO ART (Codigo) VALUES ('A5')"), 2627);
    EXPECT_NE(errorDe(u"INSERT INTO ART (Codigo, Peso) VALUES ('A6', -1)"), -1);
    EXPECT_NE(errorDe(u"INSERT INTO ART (Codigo, IdFamilia) VALUES ('A7', 9)"), -1);
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM sqlite_master WHERE name = 'ix_alta'"), Variant(std::int32_t(1)));
    EXPECT_EQ(escalar(u"SELECT Doble FROM VART WHERE Codigo = 'A2'").toString(), u"40");
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ART"), Variant(std::int32_t(3)));
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(0)));
}

TEST_P(AlterarColumna, ALaterStatementOfTheBatchSeesTheNewTypeAndAnEarlierOnesIndexStays)
{
    EXPECT_EQ(escalar(u"CREATE INDEX ix_stock ON ART (Stock) ALTER TABLE ART ALTER COLUMN Nota varchar(40) "
                      u"SELECT Nota FROM ART WHERE Codigo = 'A1'"),
              Variant(u"12"));
    EXPECT_EQ(tipoDe(u"Nota"), adVarChar);
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM sqlite_master WHERE name IN ('ix_stock', 'ix_nota')"), Variant(std::int32_t(2)));
    // A date becomes its text as the Spanish login writes it.
    EXPECT_EQ(escalar(u"ALTER TABLE ART ALTER COLUMN Alta varchar(30) SELECT Alta + 'x' FROM ART WHERE Codigo = 'A1'"),
              Variant(u"Ene 15 2025 10:30AMx"));
}

TEST_P(AlterarColumna, AValueThatDoesNotConvertLeavesEverythingAsItWas)
{
    ejecuta(u"DROP INDEX ART.ix_nota");
    const QString antes = estado();
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Nota varchar(1)"), 8152);
    EXPECT_EQ(estado(), antes);
    ejecuta(u"UPDATE ART SET Nota = 'x' WHERE Codigo = 'A2'");
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Nota int"), 245);
    ejecuta(u"UPDATE ART SET Nota = NULL WHERE Codigo = 'A2'");
    EXPECT_EQ(estado(), antes);
    ejecuta(u"UPDATE ART SET Stock = 300 WHERE Codigo = 'A2'");
    const QString conTrescientos = estado();
    // As assigning it: "Arithmetic overflow error converting expression to data type tinyint."
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Stock tinyint"), 8115);
    EXPECT_EQ(estado(), conTrescientos);
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Alta datetime NOT NULL"), 515);
    EXPECT_EQ(estado(), conTrescientos);
    // No transaction is left open: the next statements commit as usual.
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(0)));
    ejecuta(u"BEGIN TRAN INSERT INTO ART (Codigo) VALUES ('B1') COMMIT TRAN");
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ART"), Variant(std::int32_t(3)));
}

TEST_P(AlterarColumna, WhatTheServerRefusesIsRefusedWithItsError)
{
    const QString antes = estado();
    EXPECT_EQ(errorDe(u"ALTER TABLE NADA ALTER COLUMN x int"), 4902);
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Nada int"), 4924);
    EXPECT_EQ(cn->errors().Item(0).Description,
              u"ALTER TABLE ALTER COLUMN failed because column 'Nada' does not exist in table 'ART'.");
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Foo nvarchar(10)"), 4924);
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Stock nada"), 2715);
    // A primary key, a foreign key either way, a CHECK or UNIQUE of another
    // type, a DEFAULT of another type, an index of a smaller size.
    for (const char16_t* sql : {u"ALTER TABLE FAM ALTER COLUMN IdFamilia bigint NOT NULL",
                                u"ALTER TABLE ART ALTER COLUMN IdFamilia bigint",
                                u"ALTER TABLE FAM ALTER COLUMN IdFamilia int NOT NULL",
                                u"ALTER TABLE ART ALTER COLUMN Peso float", u"ALTER TABLE ART ALTER COLUMN Codigo char(10) NOT NULL",
                                u"ALTER TABLE ART ALTER COLUMN Precio decimal(19,4)"}) {
        EXPECT_EQ(errorDe(sql), 4922) << QString::fromUtf16(sql).toStdString();
        EXPECT_EQ(cn->errors().Item(0).Description.right(39), u"one or more objects access this column.");
    }
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Nota varchar(20)"), 5074);
    EXPECT_EQ(cn->errors().Item(0).Description, u"The object 'ix_nota' is dependent on column 'Nota'.");
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Id bigint"), 0);
    EXPECT_EQ(estado(), antes);
    // What a change of size lets stay: a longer text of the index, UNIQUE or
    // CHECK; a DEFAULT of the same type with another precision.
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Nota varchar(300)");
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Codigo varchar(5) NOT NULL");
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Peso decimal(6,2) NOT NULL");
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Precio money NOT NULL");
    EXPECT_EQ(errorDe(u"INSERT INTO ART (Codigo) VALUES ('B12345')"), 8152);
}

TEST_P(AlterarColumna, InsideATransactionItGoesWithTheRollback)
{
    const QString antes = estado();
    ejecuta(u"BEGIN TRAN ALTER TABLE ART ALTER COLUMN Stock varchar(10)");
    EXPECT_EQ(tipoDe(u"Stock"), adVarChar);
    ejecuta(u"ROLLBACK TRAN");
    EXPECT_EQ(tipoDe(u"Stock"), adInteger);
    EXPECT_EQ(estado(), antes);
    cn->BeginTrans();
    EXPECT_EQ(ejecuta(u"ALTER TABLE ART ALTER COLUMN Stock bigint"), 0); // no rows affected, as any definition
    EXPECT_EQ(tipoDe(u"Stock"), adBigInt);
    EXPECT_EQ(escalar(u"ALTER TABLE ART ALTER COLUMN Stock bigint SELECT @@ROWCOUNT"), Variant(std::int32_t(0)));
    cn->RollbackTrans();
    EXPECT_EQ(tipoDe(u"Stock"), adInteger);
    // The foreign keys cannot be set aside there: a table others reference is refused.
    ejecuta(u"BEGIN TRAN");
    EXPECT_EQ(errorDe(u"ALTER TABLE FAM ALTER COLUMN Nombre varchar(40)"), 0);
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Nota varchar(40) COMMIT TRAN");
    EXPECT_EQ(tipoDe(u"Nota"), adVarChar);
    EXPECT_EQ(escalar(u"SELECT @@TRANCOUNT"), Variant(std::int32_t(0)));
    // Out of it, the rows that reference it stay.
    ejecuta(u"ALTER TABLE FAM ALTER COLUMN Nombre varchar(40) NOT NULL");
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM ART WHERE IdFamilia = 1"), Variant(std::int32_t(1)));
    EXPECT_EQ(errorDe(u"DELETE FAM"), 547);
}

TEST_P(AlterarColumna, AValueThatDoesNotConvertLeavesTheConnectionsOpenRowsReadable)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT Codigo FROM ART ORDER BY Id"), cn, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(rs.Fields(0).Value(), Variant(u"A1"));
    EXPECT_EQ(errorDe(u"ALTER TABLE FAM ALTER COLUMN Nombre varchar(2)"), 8152);
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Alta datetime NOT NULL"), 515);
    rs.MoveNext();
    EXPECT_EQ(rs.Fields(0).Value(), Variant(u"A2"));
}

TEST_P(AlterarColumna, ATriggerOnTheTableGoesOnFiringAndSeesTheNewType)
{
    ejecuta(u"CREATE TABLE LOG (Texto varchar(40))");
    ejecuta(u"CREATE TRIGGER tr_art ON ART AFTER UPDATE AS INSERT INTO LOG SELECT Nota + '!' FROM inserted");
    ejecuta(u"UPDATE ART SET Stock = 300 WHERE Codigo = 'A2'");
    EXPECT_EQ(errorDe(u"ALTER TABLE ART ALTER COLUMN Stock tinyint"), 8115);
    ejecuta(u"DELETE LOG UPDATE ART SET Stock = 1 WHERE Codigo = 'A1'");
    EXPECT_EQ(escalar(u"SELECT Texto FROM LOG"), Variant(u"12!"));
    // Nota a number: its + adds, and '!' is no number (245), through the
    // driver too: the body's INSERT of converted rows runs.
    ejecuta(u"DROP INDEX ART.ix_nota ALTER TABLE ART ALTER COLUMN Nota int");
    ejecuta(u"DELETE LOG");
    EXPECT_EQ(errorDe(u"UPDATE ART SET Stock = 2 WHERE Codigo = 'A1'"), 245);
    EXPECT_EQ(escalar(u"SELECT Stock FROM ART WHERE Codigo = 'A1'"), Variant(std::int32_t(1)));
    EXPECT_EQ(escalar(u"SELECT COUNT(*) FROM LOG"), Variant(std::int32_t(0)));
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Nota varchar(10)");
    ejecuta(u"DELETE LOG UPDATE ART SET Stock = 3 WHERE Codigo = 'A1'");
    EXPECT_EQ(escalar(u"SELECT Texto FROM LOG"), Variant(u"12!"));
}

TEST_P(AlterarColumna, ATableMadeElsewhereKeepsEveryOtherClauseAsWritten)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(archivo).constData(), &db), SQLITE_OK);
    const char* crear = "CREATE TABLE [Otra tabla] (id INTEGER PRIMARY KEY, -- a comment\n"
                        "a nvarchar(5) CONSTRAINT nn NOT NULL ON CONFLICT ABORT COLLATE NOCASE CHECK (length(c) < 20), "
                        "b int DEFAULT -1 CHECK (b > -5) REFERENCES FAM (IdFamilia) ON DELETE SET NULL, "
                        "c varchar(10) NULL DEFAULT NULL, UNIQUE (b, c))";
    ASSERT_EQ(sqlite3_exec(db, crear, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    ASSERT_EQ(sqlite3_exec(db, "INSERT INTO [Otra tabla] VALUES (7, 'uno', 1, 'dos')", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ejecuta(u"ALTER TABLE [Otra tabla] ALTER COLUMN a varchar(20) NOT NULL");
    ejecuta(u"ALTER TABLE [otra TABLA] ALTER COLUMN C varchar(12)");
    EXPECT_EQ(errorDe(u"ALTER TABLE [Otra tabla] ALTER COLUMN c int"), 4922); // its DEFAULT, UNIQUE and CHECK
    EXPECT_EQ(escalar(u"SELECT sql FROM sqlite_master WHERE name = 'Otra tabla'"),
              Variant(u"CREATE TABLE \"Otra tabla\" (id INTEGER PRIMARY KEY, \"a\" varchar(20) COLLATE CI_AS NOT NULL CHECK (length(c) < 20), "
                      u"b int DEFAULT -1 CHECK (b > -5) REFERENCES FAM (IdFamilia) ON DELETE SET NULL, "
                      u"\"c\" varchar(12) COLLATE CI_AS DEFAULT NULL, UNIQUE (b, c))"));
    EXPECT_EQ(escalar(u"SELECT a + c FROM [Otra tabla] WHERE id = 7"), Variant(u"unodos"));
}

TEST_P(AlterarColumna, AnotherSqliteProgramStillReadsAndWritesTheFile)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty())
        GTEST_SKIP() << "sqlite3 shell missing";
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Stock varchar(10)");
    ejecuta(u"ALTER TABLE ART ALTER COLUMN Nota varchar(40)");
    cn->Close();
    // With the extension, as the program: the date triggers write the stored
    // form, the index and the identity go on.
    const QByteArray entrada = ".load " + QFile::encodeName(QStringLiteral(EXTENSION_SQLITE))
                               + "\nINSERT INTO ART (Codigo, Stock, Nota, Alta, Peso) VALUES ('Z9', 5, 'z', '15/03/2025 10:30:05', 1);"
                                 "\nSELECT Id, Stock, Alta FROM ART ORDER BY Id;\nPRAGMA integrity_check;\nPRAGMA foreign_key_check;\n";
    const prueba::Corrida c = prueba::CorreProceso(shell, {QStringLiteral("-batch"), QStringLiteral("-bail"), archivo},
                                                   QProcessEnvironment::systemEnvironment(), entrada);
    EXPECT_EQ(c.estado, 0) << c.error.toStdString();
    // A file written through the driver alone gets its date triggers when the program opens it natively.
    const QString escrita = GetParam() == Via::Nativa ? QStringLiteral("2025-03-15 10:30:05") : QStringLiteral("15/03/2025 10:30:05");
    EXPECT_EQ(c.normal, QStringLiteral("1|10|2025-01-15 10:30:00\n2|20|\n4|5|%1\nok\n").arg(escrita));
}

INSTANTIATE_TEST_SUITE_P(Sqlite, AlterarColumna, ::testing::Values(Via::Nativa, Via::Odbc), prueba::NombreVia);

} // namespace
