// A plain SQL mistake in AbrirRecordset is shown to the operator and nothing
// else: the connection is not re-opened, so the caller's other recordsets stay
// open and its transaction keeps its uncommitted work.
#include "comun/base_prueba.h"

namespace {

const QString kBase = QStringLiteral(
    "CREATE TABLE MA_ARTICULOS (idarticulo TEXT COLLATE NOCASE PRIMARY KEY, DESCRIPCION TEXT, STOCK INTEGER);"
    "INSERT INTO MA_ARTICULOS VALUES ('A1','PAN',1),('A2','LECHE',2),('A3','VINO',3),('A4','SAL',4);"
    "CREATE TABLE LOG (TEXTO TEXT);");

class ErrorDeSentencia : public prueba::BasePrueba, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMPRESA"), kBase);
        if (GetParam())
            AbreOdbc(DB(), QStringLiteral("EMPRESA"));
        else
            Abre(DB(), QStringLiteral("EMPRESA"));
        ASSERT_TRUE(DB().gOpenFlag);
        DB().gEsAdmin = true;
    }
};

TEST_P(ErrorDeSentencia, LeavesOtherRecordsetsAndTheTransactionUntouched)
{
    auto& cn = DB().gCnn;
    QString sql = QStringLiteral("SELECT idarticulo FROM MA_ARTICULOS ORDER BY idarticulo");
    ado::Recordset otro;
    DB().AbrirRecordset(sql, otro);
    ASSERT_EQ(otro.State(), ado::adStateOpen);
    EXPECT_EQ(otro.Fields(0).Value(), Variant(u"A1"));

    cn->BeginTrans();
    std::int32_t n = 0;
    cn->Execute(QStringLiteral("INSERT INTO LOG (TEXTO) VALUES ('pendiente')"), &n);
    ASSERT_EQ(n, 1);

    struct Caso {
        const char* sql;
        std::int32_t numero;
    } casos[] = {
        {"SELECT abs(1,2) FROM MA_ARTICULOS", ado::DB_E_ERRORSINCOMMAND},         // function misused
        {"SELECT NOCOLUMNA FROM MA_ARTICULOS with(nolock)", ado::DB_E_ERRORSINCOMMAND}, // unknown column
        {"SELECT * FROM NO_EXISTE", ado::DB_E_NOTABLE},                           // unknown table
        {"SELEC idarticulo FROM MA_ARTICULOS", ado::DB_E_ERRORSINCOMMAND},        // syntax
        {"INSERT INTO MA_ARTICULOS (idarticulo) VALUES ('a2')", ado::DB_E_INTEGRITYVIOLATION}, // constraint
    };
    for (const Caso& c : casos) {
        op->mostrados.clear();
        op->respuestas = {respuesta::Ignore};
        QString mal = QString::fromLatin1(c.sql);
        ado::Recordset rs;
        DB().AbrirRecordset(mal, rs);
        EXPECT_EQ(rs.State(), ado::adStateClosed) << c.sql;
        // The operator is asked about the statement, never told the link was lost.
        ASSERT_EQ(op->mostrados.size(), 1u) << c.sql;
        EXPECT_TRUE(op->mostrados[0].texto.startsWith(QStringLiteral("Ha ocurrido el Siguiente Error (%1)").arg(c.numero)))
            << c.sql << " " << op->mostrados[0].texto.toStdString();
        EXPECT_TRUE(op->mostrados[0].titulo.endsWith(QStringLiteral(" - AbrirRecordset Aviso al operador!!! - 5 ")));
        EXPECT_EQ(cn->fallas().aperturas, 1) << c.sql << ": the connection was re-opened";
        EXPECT_TRUE(DB().gOpenFlag);
    }

    // The other recordset goes on reading its rows.
    ASSERT_EQ(otro.State(), ado::adStateOpen);
    std::vector<QString> resto;
    for (otro.MoveNext(); !otro.EOF_(); otro.MoveNext())
        resto.push_back(otro.Fields(0).Value().toString());
    EXPECT_EQ(resto, (std::vector<QString>{u"A2"_qs, u"A3"_qs, u"A4"_qs}));

    // The transaction still holds its change and commits it.
    ado::Recordset rs;
    sql = QStringLiteral("SELECT COUNT(*) FROM LOG WHERE TEXTO = 'pendiente'");
    DB().AbrirRecordset(sql, rs);
    EXPECT_EQ(rs.Fields(0).Value().toLong(), 1);
    DB().CierraRecordset(rs);
    cn->CommitTrans();
    cn->Close();
    cn->Open();
    DB().AbrirRecordset(sql, rs);
    EXPECT_EQ(rs.Fields(0).Value().toLong(), 1);
}

INSTANTIATE_TEST_SUITE_P(Proveedores, ErrorDeSentencia, ::testing::Values(false, true),
                         [](const auto& i) { return i.param ? "Odbc" : "Sqlite"; });

} // namespace
