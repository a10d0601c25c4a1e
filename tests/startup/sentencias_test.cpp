// The statement toolkit and the transactional runner, against the embedded
// server and the same database file through unixODBC.
#include "comun/base_prueba.h"
#include "comun/esquema_ingreso.h"
#include "comun/filas.h"
#include "comun/ayudas.h"
#include "startup/actualiza_script.h"
#include "startup/sentencias.h"

namespace {

class Sentencias : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMP"), prueba::kEsquemaIngreso
                                            + QStringLiteral("CREATE TABLE T (Id INTEGER PRIMARY KEY, Nombre TEXT);"
                                                             "CREATE TABLE H (Id INTEGER);"));
    }

    // A value read below the layers under test.
    QString Valor(const QString& sql) { return prueba::Filas(archivoBase(QStringLiteral("EMP")), sql).value(0, QStringLiteral("<nada>")); }

    struct Resultado {
        bool hubo = false;
        std::int32_t nro = -7;
        QString script, msg;
    };
    Resultado Corre(const QStringList& sentencias, bool ignoraDuplicados = false, bool ignoraRestriccion = false,
                    bool muestra = true)
    {
        Resultado r;
        r.hubo = true;
        GActualizarDatoScript(sentencias, r.hubo, r.nro, ignoraDuplicados, ignoraRestriccion, r.script, r.msg, muestra);
        return r;
    }
};

TEST_F(Sentencias, ParesYSentencias)
{
    QString v1 = QStringLiteral("1"), v2 = QStringLiteral("O'Brien"), v3 = QStringLiteral("nUlL");
    AgregaCampo(QStringLiteral("A"), v1, {}, true);
    AgregaCampo(QStringLiteral("B"), v2, QStringLiteral("'"), false);
    AgregaCampo(QStringLiteral("C"), v3, QStringLiteral("'"), false);
    EXPECT_EQ(v2, u"OBrien"_qs); // taken out in the caller's variable too
    ASSERT_EQ(CamposSentencia().size(), 3u);
    EXPECT_EQ(CamposSentencia()[1].valor, u"'OBrien'"_qs);
    EXPECT_EQ(CamposSentencia()[2].valor, u"Null"_qs);

    QStringList sentencias{QString()};
    QString where;
    ArmaSentencia(CamposSentencia(), sentencias, QStringLiteral("T"), false, where, true);
    EXPECT_EQ(sentencias, (QStringList{{}, u"INSERT INTO T (A,B,C) VALUES (1,'OBrien',Null)"_qs, {}}));
    EXPECT_EQ(CamposSentencia().size(), 3u); // kept

    v1 = QStringLiteral("1");
    QString vx = QStringLiteral("x");
    AgregaCampo(QStringLiteral("A"), v1, {}, true);
    AgregaCampo(QStringLiteral("B"), vx, QStringLiteral("'"), false);
    where = QStringLiteral("Id = 5");
    sentencias.clear();
    ArmaSentencia(CamposSentencia(), sentencias, QStringLiteral("T"), true, where, false);
    EXPECT_EQ(sentencias.value(0), u"UPDATE T SET A = 1,B = 'x'  WHERE Id = 5"_qs);
    EXPECT_EQ(where, u" WHERE Id = 5"_qs);
    ASSERT_EQ(CamposSentencia().size(), 1u); // one empty slot
    EXPECT_TRUE(CamposSentencia()[0].columna.isEmpty());

    AgregaCampo(QStringLiteral("A"), v1, {}, true);
    where = QStringLiteral("where Id = 6");
    sentencias.clear();
    ArmaSentencia(CamposSentencia(), sentencias, QStringLiteral("T"), true, where, false);
    EXPECT_EQ(sentencias.value(0), u"UPDATE T SET A = 1 where Id = 6"_qs);

    AgregaCampo(QStringLiteral("A"), v1, {}, true);
    QString texto = QStringLiteral(" INSERT INTO T ");
    ArmaValores(texto, CamposSentencia(), true);
    EXPECT_EQ(texto, u" INSERT INTO T (A) VALUES (1)"_qs);
    EXPECT_TRUE(CamposSentencia().empty());
}

TEST_F(Sentencias, AdaptaSQLYFormatos)
{
    const QString top = QStringLiteral("Select TOP 1 * from T ");
    EXPECT_EQ(AdaptaSQL(top), top);
    EXPECT_EQ(AdaptaSQL(QStringLiteral("len")), u"len"_qs);
    DB().gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=X;");
    EXPECT_EQ(AdaptaSQL(top), u"Select  *  from T  WHERE ROWNUM <=  1 "_qs);
    EXPECT_EQ(AdaptaSQL(QStringLiteral("len")), u"LENGTH"_qs);
    EXPECT_EQ(AdaptaSQL(QStringLiteral("select a from T")), u"select a from T"_qs);
    EXPECT_EQ(prueba::NumeroDeError([] { AdaptaSQL(QStringLiteral("select top 5 a from T")); }), vberr::InvalidCall);

    EXPECT_EQ(FormatoFechaHora(), u"dd/mm/yy hh:mm"_qs);
    EXPECT_EQ(FormatoFecha(), u"dd/mm/yy"_qs);
    EXPECT_EQ(FormatoHora(), u"hh:mm"_qs);
    const QDateTime d(QDate(2025, 3, 7), QTime(18, 5, 9));
    EXPECT_EQ(FormateaFecha(d, FormatoFechaHora()), u"07/03/25 18:05"_qs);
    EXPECT_EQ(FormateaFecha(d, FormatoFecha()) + u' ' + FormateaFecha(d, FormatoHora()), u"07/03/25 18:05"_qs);
}

TEST_F(Sentencias, ListaEnBlancoNoEnviaNada)
{
    Abre(DB(), QStringLiteral("EMP"));
    const Resultado r = Corre({QString(), QStringLiteral("   "), QString()});
    EXPECT_FALSE(r.hubo);
    EXPECT_EQ(r.nro, -7);
    EXPECT_TRUE(r.script.isEmpty());
    EXPECT_TRUE(op->mostrados.empty());
}

// The runner on both providers: a batch failing half-way leaves none of its
// rows, is written to AUX_ERR and shown; a good one is committed whole.
class SentenciasProveedor : public Sentencias, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        Sentencias::SetUp();
        if (GetParam())
            AbreOdbc(DB(), QStringLiteral("EMP"));
        else
            Abre(DB(), QStringLiteral("EMP"));
        ASSERT_TRUE(DB().gOpenFlag);
    }
};

TEST_P(SentenciasProveedor, LoteQueFallaAMitadNoDejaFilas)
{
    const QStringList lote{QString(), QStringLiteral("INSERT INTO T (Id, Nombre) VALUES (1,'uno')"), QString(),
                           QStringLiteral("INSERT INTO T (Id, Nombre) VALUES (2,'dos')"),
                           QStringLiteral("INSERT INTO T (Id, Nombre) VALUES (1,'otra vez')"), QString()};
    const Resultado r = Corre(lote);
    EXPECT_TRUE(r.hubo);
    EXPECT_EQ(r.nro, 2627);
    EXPECT_EQ(r.script, u"BEGIN TRANSACTION \r\r\rINSERT INTO T (Id, Nombre) VALUES (1,'uno')\r"
                        u"INSERT INTO T (Id, Nombre) VALUES (2,'dos')\r"
                        u"INSERT INTO T (Id, Nombre) VALUES (1,'otra vez')\r"_qs);
    EXPECT_EQ(Valor(QStringLiteral("SELECT count(*) FROM T")), u"0"_qs);
    EXPECT_TRUE(r.msg.startsWith(u"2627 : "_qs)) << r.msg.toStdString();
    EXPECT_TRUE(r.msg.endsWith(u"\r\n"_qs));
    ASSERT_EQ(op->cuenta(QStringLiteral("MsgBox")), 1);
    EXPECT_EQ(op->mostrados[0].titulo, u"Aviso al Operador!"_qs);
    EXPECT_EQ(op->mostrados[0].estilo, estilo::Critical);
    EXPECT_EQ(op->mostrados[0].texto, r.msg);
    EXPECT_EQ(Valor(QStringLiteral("SELECT count(*) FROM AUX_ERR")), u"1"_qs);
    EXPECT_EQ(Valor(QStringLiteral("SELECT Error FROM AUX_ERR")), u"2627"_qs);
    EXPECT_EQ(Valor(QStringLiteral("SELECT sql FROM AUX_ERR")), r.script);
    EXPECT_EQ(Valor(QStringLiteral("SELECT Proceso FROM AUX_ERR")), aplicacion::NombreEjecutable());
    EXPECT_EQ(DB().gCnn->errors().Count(), 0);

    // The connection is usable and outside any transaction afterwards.
    const Resultado bien = Corre({QStringLiteral("INSERT INTO T (Id, Nombre) VALUES (3,'tres')"),
                                  QStringLiteral("INSERT INTO T (Id, Nombre) VALUES (4,'cuatro')")});
    EXPECT_FALSE(bien.hubo);
    EXPECT_EQ(bien.nro, 0);
    EXPECT_EQ(Valor(QStringLiteral("SELECT group_concat(Id) FROM T")), u"3,4"_qs);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 1);
}

TEST_P(SentenciasProveedor, DuplicadosIgnoradosNoMuestranNada)
{
    CreaBase(QStringLiteral("EMP"), QStringLiteral("INSERT INTO T VALUES (1, 'uno');"));
    const Resultado r = Corre({QStringLiteral("INSERT INTO T (Id, Nombre) VALUES (5,'cinco')"),
                               QStringLiteral("INSERT INTO T (Id, Nombre) VALUES (1,'uno')")},
                              true);
    EXPECT_TRUE(r.hubo);
    EXPECT_EQ(r.nro, 2627);
    EXPECT_FALSE(r.msg.isEmpty());
    EXPECT_FALSE(r.msg.startsWith(u"2627"_qs)) << r.msg.toStdString(); // the description alone
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 0);
    EXPECT_EQ(Valor(QStringLiteral("SELECT group_concat(Id) FROM T")), u"1"_qs);
    EXPECT_EQ(Valor(QStringLiteral("SELECT count(*) FROM AUX_ERR")), u"1"_qs);
    // A duplicate is not a constraint conflict: the other switch does not hide it.
    const Resultado otro = Corre({QStringLiteral("INSERT INTO T (Id, Nombre) VALUES (1,'uno')")}, false, true);
    EXPECT_EQ(otro.nro, 2627);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 1);
}

INSTANTIATE_TEST_SUITE_P(Proveedores, SentenciasProveedor, ::testing::Values(false, true),
                         [](const auto& i) { return i.param ? std::string("Odbc") : std::string("Embebido"); });

// The constraint switch hides a conflict (547) as the duplicate switch does 2627.
TEST_F(Sentencias, RestriccionIgnorada)
{
    Abre(DB(), QStringLiteral("EMP"));
    ado::Fallas& f = DB().gCnn->fallas();
    f.veces = 1;
    f.error = ado::Error{ado::DB_E_INTEGRITYVIOLATION, QStringLiteral("conflicto FK"), QStringLiteral("P"), QStringLiteral("23000"), 547};
    Resultado r = Corre({QStringLiteral("INSERT INTO H VALUES (9)")}, false, true);
    EXPECT_TRUE(r.hubo);
    EXPECT_EQ(r.nro, 547);
    EXPECT_EQ(r.msg, u"conflicto FK"_qs);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 0);

    f.veces = 1;
    r = Corre({QStringLiteral("INSERT INTO H VALUES (9)")}, false, false);
    EXPECT_EQ(r.msg, u"547 : conflicto FK\r\n"_qs);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 1);
    EXPECT_EQ(Valor(QStringLiteral("SELECT count(*) FROM AUX_ERR")), u"2"_qs);
}

} // namespace
