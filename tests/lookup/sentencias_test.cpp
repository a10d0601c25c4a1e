// The statements the lookup engine builds, exactly, on the demo database of
// the embedded server and of the same file through unixODBC; each one must
// also run there.
#include "lookup/consultas_prueba.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/modelo_lista.h"

namespace {

class Sentencias : public prueba::ConsultasPrueba, public ::testing::WithParamInterface<bool> {
protected:
    QString Arma(const QString& sql, QString& campo, QString& where, const QString& opcional = {})
    {
        QString sentencia;
        EXPECT_TRUE(Consultas().ArmaSentencia(sql, campo, where, opcional, sentencia));
        return sentencia;
    }
    QString Arma(const QString& sql)
    {
        QString campo, where;
        return Arma(sql, campo, where);
    }
    // The statement runs on the connection of the case and gives rows.
    int Filas(QString sentencia)
    {
        ado::Recordset rs;
        DB().AbrirRecordset(sentencia, rs);
        EXPECT_EQ(rs.State(), ado::adStateOpen) << sentencia.toStdString();
        int n = 0;
        while (rs.State() == ado::adStateOpen && !rs.EOF_()) {
            ++n;
            rs.MoveNext();
        }
        return n;
    }
};

TEST_P(Sentencias, LimiteDeFilasSinClaveVaciaOCeroEsMil)
{
    Define(u"ARTICULOS"_qs, u"V_MA_ARTICULOS"_qs, u"|DESCRIPCION|IDARTICULO|"_qs);
    for (const QString& valor : {QString(), u"0"_qs, u"abc"_qs, u"-5"_qs, u"2.7"_qs, u"1e300"_qs}) {
        if (valor.isNull())
            prueba::EjecutaSqlite(baseDemo(), u"DELETE FROM TA_CONFIGURACION WHERE Clave = 'TopConsArt';"_qs);
        else
            Configura(u"TopConsArt"_qs, valor);
        Motor(GetParam());
        const QString s = Arma(u"V_MA_ARTICULOS"_qs);
        EXPECT_TRUE(s.startsWith(u"SELECT TOP 1000 "_qs)) << valor.toStdString() << ": " << s.toStdString();
        ReiniciaInstancias();
    }
    Configura(u"TopConsArt"_qs, u"7"_qs);
    Motor(GetParam());
    const QString s = Arma(u"V_MA_ARTICULOS"_qs);
    EXPECT_TRUE(s.startsWith(u"SELECT TOP 7 "_qs)) << s.toStdString();
    EXPECT_EQ(Filas(s), 7);
    // A large limit in plain digits, as the server reads it.
    ReiniciaInstancias();
    Configura(u"TopConsArt"_qs, u"1e15"_qs);
    Motor(GetParam());
    const QString grande = Arma(u"V_MA_ARTICULOS"_qs);
    EXPECT_TRUE(grande.startsWith(u"SELECT TOP 1000000000000000 "_qs)) << grande.toStdString();
    EXPECT_EQ(Filas(grande), 60 - 60 / 13);
}

TEST_P(Sentencias, DefinicionDeArticulosConCondicionEnBlanco)
{
    Define(u"ARTICULOS"_qs, u"V_MA_ARTICULOS"_qs, u"|DESCRIPCION|IDARTICULO|"_qs);
    Motor(GetParam());
    QString campo, where;
    const QString s = Arma(u"V_MA_ARTICULOS"_qs, campo, where);
    EXPECT_EQ(s, u"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION"_qs);
    EXPECT_EQ(campo, u"DESCRIPCION"_qs);
    // Every 13th demo article is suspended.
    EXPECT_EQ(Filas(s), 60 - 60 / 13);
    // The table name is matched ignoring case and blanks around it.
    QString campo2, where2;
    EXPECT_EQ(Arma(u"  v_ma_articulos "_qs, campo2, where2), s);
}

TEST_P(Sentencias, CondicionDelLlamadorEntreParentesis)
{
    Define(u"ARTICULOS"_qs, u"V_MA_ARTICULOS"_qs, u"|DESCRIPCION|IDARTICULO|"_qs);
    Define(u"CUENTAS"_qs, u"MA_CUENTAS"_qs, u"|DESCRIPCION|CODIGO|"_qs, u"Imputable = 1"_qs);
    Motor(GetParam());
    QString campo, where = u"SUSPENDIDO = 1"_qs;
    QString s = Arma(u"V_MA_ARTICULOS"_qs, campo, where);
    EXPECT_EQ(where, u" (SUSPENDIDO = 1) "_qs);
    EXPECT_EQ(s, u"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE  (SUSPENDIDO = 1)  ORDER BY DESCRIPCION"_qs);
    EXPECT_EQ(Filas(s), 60 / 13);
    where = u"(SUSPENDIDO = 1)"_qs;
    campo.clear();
    Arma(u"V_MA_ARTICULOS"_qs, campo, where);
    EXPECT_EQ(where, u"(SUSPENDIDO = 1)"_qs);
    // The record's own condition wins over the caller's.
    where = u"Imputable = 0"_qs;
    campo.clear();
    s = Arma(u"MA_CUENTAS"_qs, campo, where);
    EXPECT_EQ(s, u"SELECT TOP 1000 DESCRIPCION,CODIGO FROM MA_CUENTAS  with(nolock)  WHERE Imputable = 1 ORDER BY DESCRIPCION"_qs);
    Filas(s);
}

TEST_P(Sentencias, ClientesYProveedoresSinDadosDeBaja)
{
    Define(u"CLIENTES"_qs, u"VT_CLIENTES"_qs, u"|RAZON_SOCIAL|CODIGO|CONTACTO|"_qs);
    Motor(GetParam());
    QString campo = u"CODIGO"_qs, where;
    const QString s = Arma(u"VT_CLIENTES"_qs, campo, where);
    EXPECT_EQ(s, u"SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES  with(nolock)  WHERE Dada_De_Baja = 0 ORDER BY CODIGO"_qs);
    Filas(s);
}

TEST_P(Sentencias, ColumnasAutomaticasDeUnaTablaReal)
{
    prueba::EjecutaSqlite(baseDemo(), u"CREATE TABLE T_PRECIOS (ID INTEGER PRIMARY KEY, CODIGO VARCHAR(10), NOMBRE VARCHAR(40), PRECIO MONEY);"
                                       "INSERT INTO T_PRECIOS VALUES (1, 'B', 'Bulon', 2.5), (2, 'A', 'Arandela', 1);"_qs);
    Motor(GetParam());
    QString campo = u"OTRO"_qs, where;
    const QString s = Arma(u"T_PRECIOS"_qs, campo, where);
    EXPECT_EQ(s, u"SELECT TOP 1000 PRECIO,NOMBRE,CODIGO FROM T_PRECIOS  ORDER BY NOMBRE"_qs);
    EXPECT_EQ(campo, u"NOMBRE"_qs);
    EXPECT_EQ(Filas(s), 2);
    // With the caller's condition.
    where = u"CODIGO = 'A'"_qs;
    const QString s2 = Arma(u"T_PRECIOS"_qs, campo, where);
    EXPECT_EQ(s2, u"SELECT TOP 1000 PRECIO,NOMBRE,CODIGO FROM T_PRECIOS WHERE   (CODIGO = 'A')  ORDER BY NOMBRE"_qs);
    EXPECT_EQ(Filas(s2), 1);
    // Fixed column sets, and a ready statement of the caller.
    QString c3, w3;
    EXPECT_EQ(Arma(u"v_ta_deposito"_qs, c3, w3), u"SELECT TOP 1000 Descripcion,Unidad,IdDeposito FROM v_ta_deposito  ORDER BY IdDeposito"_qs);
    EXPECT_EQ(c3, u"IdDeposito"_qs);
    Filas(Arma(u"v_ta_deposito"_qs, c3, w3));
    QString c4, w4;
    EXPECT_EQ(Arma(u"T_PRECIOS"_qs, c4, w4, u"SELECT CODIGO FROM T_PRECIOS"_qs), u"SELECT CODIGO FROM T_PRECIOS"_qs);
}

TEST_P(Sentencias, SentenciaListaYSuOrden)
{
    Motor(GetParam());
    QString campo, where = u"SUSPENDIDO = 0"_qs;
    const QString s = Arma(u"select idarticulo, DESCRIPCION from v_ma_articulos"_qs, campo, where);
    EXPECT_EQ(s, u"select idarticulo, DESCRIPCION from VT_MA_ARTICULOS WHERE  (SUSPENDIDO = 0) "_qs);
    Filas(s);

    // The dialog keeps the order of a statement that has one.
    bool ordenPropio = true;
    QString vista;
    Consultas().alMostrar = [&](FormularioConsulta& d) {
        auto& f = static_cast<Lib_FrmCons3&>(d);
        ordenPropio = f.OrdenarPorLwv;
        vista = f.Modelo().Valor(0, 0);
        f.CmdCancelar_Click();
    };
    QStringList cmps;
    QString c2, w2;
    Consultas().ConsultaSearch(u"SELECT idarticulo FROM V_MA_ARTICULOS order by idarticulo desc"_qs, cmps, {}, c2, w2);
    EXPECT_FALSE(ordenPropio);
    EXPECT_EQ(vista, u"0000060"_qs);
    Consultas().ConsultaSearch(u"SELECT idarticulo FROM V_MA_ARTICULOS"_qs, cmps, {}, c2, w2);
    EXPECT_TRUE(ordenPropio);
    EXPECT_EQ(vista, u"0000001"_qs);
}

TEST_P(Sentencias, DefinicionDeUnaSolaColumnaPideConfigurarla)
{
    Define(u"VENDEDORES"_qs, u"V_TA_VENDEDORES"_qs, u"|NOMBRE|"_qs);
    Motor(GetParam());
    bool mostrado = false;
    Consultas().alMostrar = [&](FormularioConsulta& d) {
        mostrado = true;
        d.CmdCancelar_Click();
    };
    Consultas().ValorDevuelto = Variant(u"antes"_qs);
    QStringList cmps{u"NOMBRE"_qs};
    QString campo, where;
    Consultas().ConsultaSearch(u"V_TA_VENDEDORES"_qs, cmps, {}, campo, where);
    EXPECT_FALSE(mostrado);
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].texto, u"Debe configurar la consulta para esta tabla"_qs);
    EXPECT_EQ(op->mostrados[0].titulo, u"Aviso al operador"_qs);
    EXPECT_EQ(op->mostrados[0].estilo, estilo::Information);
    EXPECT_EQ(Consultas().ValorDevuelto.toString(), u"antes"_qs);
    EXPECT_TRUE(cmps.isEmpty());
    // With the search column given, the single column is enough.
    QString campo2 = u"NOMBRE"_qs, where2;
    QString s;
    EXPECT_TRUE(Consultas().ArmaSentencia(u"V_TA_VENDEDORES"_qs, campo2, where2, {}, s));
    EXPECT_EQ(s, u"SELECT TOP 1000 NOMBRE FROM V_TA_VENDEDORES  with(nolock)  ORDER BY NOMBRE"_qs);
    Filas(s);
}

TEST_P(Sentencias, SinArchivoDeDefinicionesLaSentenciaEsAutomatica)
{
    Motor(GetParam());
    const QString s = Arma(u"V_TA_VENDEDORES"_qs);
    EXPECT_EQ(s, u"SELECT TOP 1000 IDVENDEDOR,NOMBRE FROM V_TA_VENDEDORES  ORDER BY NOMBRE"_qs);
    Filas(s);
}

TEST_P(Sentencias, ArchivoDeDefinicionesCortadoNoImpideLaConsulta)
{
    Define(u"VENDEDORES"_qs, u"V_TA_VENDEDORES"_qs, u"|NOMBRE|IDVENDEDOR|"_qs);
    {
        QFile f(rutaDefiniciones());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(QByteArray(300, '\xff'));
    }
    Motor(GetParam());
    // The whole records are still found; the cut one matches nothing.
    EXPECT_EQ(Arma(u"V_TA_VENDEDORES"_qs), u"SELECT TOP 1000 NOMBRE,IDVENDEDOR FROM V_TA_VENDEDORES  with(nolock)  ORDER BY NOMBRE"_qs);
    EXPECT_EQ(Arma(u"V_TA_TECNICOS"_qs), u"SELECT TOP 1000 IDTECNICO,NOMBRE FROM V_TA_TECNICOS  ORDER BY NOMBRE"_qs);
    EXPECT_TRUE(op->mostrados.empty());

    // A copy cut inside the last record's columns: that record is no record,
    // and its table gets the automatic statement.
    QFile::remove(rutaDefiniciones());
    Define(u"VENDEDORES"_qs, u"V_TA_VENDEDORES"_qs, u"|NOMBRE|IDVENDEDOR|"_qs);
    {
        QFile f(rutaDefiniciones());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(consultas::ArmaRegistro({u"TECNICOS"_qs, u"V_TA_TECNICOS"_qs, u"|NOMBRE|IDTECNICO|"_qs, {}}).toLatin1().left(208));
    }
    const QString s = Arma(u"V_TA_TECNICOS"_qs);
    EXPECT_EQ(s, u"SELECT TOP 1000 IDTECNICO,NOMBRE FROM V_TA_TECNICOS  ORDER BY NOMBRE"_qs);
    EXPECT_GT(Filas(s), 0);
}

INSTANTIATE_TEST_SUITE_P(Proveedores, Sentencias, ::testing::Values(false, true),
                         [](const auto& i) { return i.param ? std::string("Odbc") : std::string("Embebida"); });

} // namespace
