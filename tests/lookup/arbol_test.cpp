// The tree lookup: the families tree by "relative", the generic tree by
// leading characters, searching, ticking down, and accepting codes, on the
// form's values; its window for what the widgets do.
#include "lookup/consultas_prueba.h"
#include "lookup/lib_frmcons3tree.h"
#include "lookup/modelo_arbol.h"
#include "lookup/ventana_cons3tree.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTreeView>

namespace {

class Arbol : public prueba::ConsultasPrueba {
protected:
    void SetUp() override
    {
        ConsultasPrueba::SetUp();
        prueba::EjecutaSqlite(baseDemo(),
                              u"DELETE FROM TA_FAMILIAS; INSERT INTO TA_FAMILIAS VALUES ('01', 'Ferreteria'), ('0101', 'Tornillos'),"
                              " ('0102', 'Clavos'), ('02', 'Pintureria'), ('0201', 'Latex');"
                              "CREATE TABLE T_COD (codigo VARCHAR(10), descripcion VARCHAR(30));"
                              "INSERT INTO T_COD VALUES ('A1', 'Uno'), ('A11', 'Once'), ('B2', 'Dos');"_qs);
        Motor();
    }

    // The codes under a node, as "code:children" in node order.
    static QString Forma(const ModeloArbol& m, int n = 0)
    {
        QString s = m.NodoEn(n).clave.mid(1);
        const auto& hijos = m.NodoEn(n).hijos;
        if (!hijos.empty()) {
            s += u'(';
            for (size_t i = 0; i < hijos.size(); ++i)
                s += (i ? u" "_qs : QString()) + Forma(m, hijos[i]);
            s += u')';
        }
        return s;
    }
};

TEST_F(Arbol, FamiliasPorSuRelativo)
{
    Lib_FrmCons3Tree t;
    t.sql = u"SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"_qs;
    t.Form_Load();
    EXPECT_EQ(Forma(t.Modelo()), u"(01(0101 0102) 02(0201))"_qs);
    EXPECT_EQ(t.Modelo().NodoEn(0).texto, u"Consulta..."_qs);
    EXPECT_EQ(t.Modelo().NodoEn(1).texto, u"01 - Ferreteria"_qs);
    // The window shows the first level.
    VentanaCons3Tree v(t);
    EXPECT_TRUE(v.TreeV->isExpanded(t.Modelo().IndiceDe(0)));
    EXPECT_FALSE(v.TreeV->isExpanded(t.Modelo().IndiceDe(1)));
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Arbol, FamiliasPorOdbc)
{
    ReiniciaInstancias();
    Motor(true);
    Lib_FrmCons3Tree t;
    t.sql = u"SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"_qs;
    t.CampoDevuelto = u"IDFAMILIA"_qs;
    t.Form_Load();
    EXPECT_EQ(Forma(t.Modelo()), u"(01(0101 0102) 02(0201))"_qs);
    t.SeleccionaNodo(t.Modelo().Busca(u"A0201"_qs));
    t.CmdAceptar_Click();
    EXPECT_EQ(t.ValorDevuelto.toString(), u"0201"_qs);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Arbol, GenericoPorLosPrimerosCaracteres)
{
    Lib_FrmCons3Tree t;
    t.sql = u"SELECT codigo, descripcion FROM T_COD ORDER BY codigo"_qs;
    t.Form_Load();
    EXPECT_EQ(Forma(t.Modelo()), u"(A1(A11) B2)"_qs);
    // Keys ignore case: a1x nests under A1.
    prueba::EjecutaSqlite(baseDemo(), u"INSERT INTO T_COD VALUES ('a1x', 'Mixto');"_qs);
    t.CmdNueva_Click();
    EXPECT_EQ(Forma(t.Modelo()), u"(A1(A11 a1x) B2)"_qs);
}

// A row that cannot be a node is told to the operator, who may go on past
// it or leave the tree as far as it got.
TEST_F(Arbol, FilasQueNoSonNodosVanAlRegistroDeErrores)
{
    prueba::EjecutaSqlite(baseDemo(), u"CREATE TABLE T_MAL (codigo VARCHAR(10), descripcion VARCHAR(30));"
                                       "INSERT INTO T_MAL VALUES ('1', 'Uno'), ('1', 'Otro uno'), (NULL, 'Nulo'), ('', 'Vacio'), ('12', 'Doce');"_qs);
    Lib_FrmCons3Tree t;
    t.sql = u"SELECT codigo, descripcion FROM T_MAL ORDER BY codigo, descripcion"_qs;
    op->respuestas = {respuesta::Ignore, respuesta::Ignore, respuesta::Ignore};
    t.Form_Load();
    EXPECT_EQ(Forma(t.Modelo()), u"(1(12))"_qs);
    EXPECT_EQ(t.Modelo().NodoEn(t.Modelo().Busca(u"A1"_qs)).texto, u"1 - Otro uno"_qs);
    ASSERT_EQ(op->cuenta(u"MsgBox"_qs), 3);
    for (const auto& m : op->mostrados)
        EXPECT_TRUE(m.titulo.contains(u"ArmarTreeVAutomatico"_qs)) << m.titulo.toStdString();
    // In the order of the rows: Nulo, Vacio, then the second 1.
    EXPECT_TRUE(op->mostrados[0].texto.contains(u"Nulo"_qs)) << op->mostrados[0].texto.toStdString();
    EXPECT_TRUE(op->mostrados[1].texto.contains(u"Vacio"_qs)) << op->mostrados[1].texto.toStdString();
    EXPECT_TRUE(op->mostrados[2].texto.contains(u"Key is not unique in collection: 1"_qs)) << op->mostrados[2].texto.toStdString();
    // Any other answer leaves: the rows after the failing one are not added.
    op->mostrados.clear();
    op->respuestas = {respuesta::Abort};
    t.CmdNueva_Click();
    EXPECT_EQ(Forma(t.Modelo()), QString());
    EXPECT_EQ(op->cuenta(u"MsgBox"_qs), 1);

    // The families: a repeated code, and a family whose relative is no node.
    prueba::EjecutaSqlite(baseDemo(), u"DROP VIEW SS_V_TA_FAMILIAS; DROP VIEW V_TA_FAMILIAS;"
                                       "CREATE TABLE T_FAM (IdFamilia VARCHAR(10) COLLATE CI_AS, Descripcion VARCHAR(30));"
                                       "INSERT INTO T_FAM VALUES ('01', 'Ferreteria'), ('0101', 'Tornillos'), ('0101', 'Repetida'),"
                                       " ('02', 'Pintureria');"
                                       "CREATE VIEW V_TA_FAMILIAS AS SELECT IdFamilia, Descripcion FROM T_FAM;"
                                       "CREATE VIEW SS_V_TA_FAMILIAS AS SELECT * FROM V_TA_FAMILIAS;"_qs);
    op->mostrados.clear();
    op->respuestas = {respuesta::Ignore};
    Lib_FrmCons3Tree f;
    f.sql = u"SELECT * FROM V_TA_FAMILIAS"_qs;
    f.Form_Load();
    EXPECT_EQ(Forma(f.Modelo()), u"(01(0101) 02)"_qs);
    ASSERT_EQ(op->cuenta(u"MsgBox"_qs), 1);
    EXPECT_TRUE(op->mostrados[0].titulo.contains(u"ArmarTreeVFamilias"_qs)) << op->mostrados[0].titulo.toStdString();
    EXPECT_TRUE(op->mostrados[0].texto.contains(u"Key is not unique in collection: 0101"_qs)) << op->mostrados[0].texto.toStdString();
    // A blank code is every top family's relative, and names no node.
    prueba::EjecutaSqlite(baseDemo(), u"DELETE FROM T_FAM WHERE Descripcion = 'Repetida'; INSERT INTO T_FAM VALUES ('  ', 'Blancos');"_qs);
    op->mostrados.clear();
    op->respuestas = {respuesta::Ignore, respuesta::Ignore, respuesta::Ignore};
    f.CmdNueva_Click();
    EXPECT_EQ(Forma(f.Modelo()), QString());
    ASSERT_EQ(op->cuenta(u"MsgBox"_qs), 3);
    EXPECT_TRUE(op->mostrados[0].texto.contains(u"Element not found"_qs)) << op->mostrados[0].texto.toStdString();
}

// The tree draws its lines (style 7): a dotted line joins a node to the
// sibling below it, through the rows between.
TEST_F(Arbol, LineasEntreLosNodos)
{
    Lib_FrmCons3Tree t;
    t.sql = u"SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS"_qs;
    t.Form_Load();
    VentanaCons3Tree v(t);
    v.TreeV->resize(300, 300);
    v.TreeV->expandAll();
    // 0101 lies between 01 and 02: the line from 01 down to 02 crosses its row,
    // in the column of the first level.
    const QRect fila = v.TreeV->visualRect(t.Modelo().IndiceDe(t.Modelo().Busca(u"A0101"_qs)));
    const QImage imagen = v.TreeV->viewport()->grab().toImage();
    const int x = v.TreeV->indentation() + v.TreeV->indentation() / 2;
    const QColor fondo = v.TreeV->palette().color(QPalette::Base);
    int marcados = 0;
    for (int y = fila.top(); y <= fila.bottom(); ++y)
        marcados += imagen.pixelColor(x, y) != fondo ? 1 : 0;
    EXPECT_GE(marcados, fila.height() / 3) << "no line at x " << x;
}

TEST_F(Arbol, BusquedaPorCodigoODescripcionYF5)
{
    Lib_FrmCons3Tree t;
    t.sql = u"SELECT codigo, descripcion FROM T_COD ORDER BY codigo"_qs;
    t.Form_Load();
    t.CmbSearch->setText(u"on"_qs);
    EXPECT_EQ(t.Modelo().NodoEn(t.NodoSeleccionado()).clave, u"AA11"_qs);
    EXPECT_EQ(t.TextoSeleccionado(), u"A11 - Once"_qs);
    t.CmbSearch->setText(u"b"_qs);
    EXPECT_EQ(t.Modelo().NodoEn(t.NodoSeleccionado()).clave, u"AB2"_qs);
    // F5 filters the statement by description and shows the whole result.
    t.CmbSearch->setText(u"o"_qs);
    t.CmbSearch_KeyDown(Qt::Key_F5);
    EXPECT_EQ(t.sql, u"SELECT codigo, descripcion FROM T_COD  where Descripcion like '%o%' ORDER BY codigo"_qs);
    EXPECT_EQ(Forma(t.Modelo()), u"(A1(A11) B2)"_qs);
    EXPECT_TRUE(t.CmbSearch->text().isEmpty());
    EXPECT_EQ(t.NodoSeleccionado(), -1);
    t.CmbSearch->setText(u"nc"_qs);
    t.CmbSearch_KeyDown(Qt::Key_F5);
    EXPECT_EQ(Forma(t.Modelo()), u"(A11)"_qs);

    // In the window: the box typed in, F5 on its keys, the node found shown.
    Lib_FrmCons3Tree f;
    f.sql = u"SELECT * FROM V_TA_FAMILIAS"_qs;
    f.Form_Load();
    VentanaCons3Tree v(f);
    v.CmbSearch->setEditText(u"ferr"_qs);
    EXPECT_EQ(f.Modelo().NodoEn(f.NodoSeleccionado()).clave, u"A01"_qs);
    v.CmbSearch->setEditText(u"lat"_qs);
    EXPECT_EQ(f.Modelo().NodoEn(f.NodoSeleccionado()).clave, u"A0201"_qs);
    EXPECT_EQ(f.Modelo().NodoDe(v.TreeV->currentIndex()), f.NodoSeleccionado());
    EXPECT_TRUE(v.TreeV->isExpanded(f.Modelo().IndiceDe(f.Modelo().Busca(u"A02"_qs))));
    v.TreeV->setCurrentIndex(f.Modelo().IndiceDe(f.Modelo().Busca(u"A0101"_qs)));
    EXPECT_EQ(f.Modelo().NodoEn(f.NodoSeleccionado()).clave, u"A0101"_qs);
    v.CmbSearch->setEditText(u"late"_qs);
    prueba::Tecla(v.CmbSearch->lineEdit(), Qt::Key_F5);
    EXPECT_TRUE(v.CmbSearch->currentText().isEmpty());
    EXPECT_TRUE(f.CmbSearch->text().isEmpty());
}

TEST_F(Arbol, MarcarBajaSeisNiveles)
{
    QString filas;
    QString codigo;
    for (int i = 1; i <= 9; ++i) {
        codigo += QString::number(i);
        filas += (i > 1 ? u","_qs : QString()) + u"('"_qs + codigo + u"', 'N"_qs + QString::number(i) + u"')"_qs;
    }
    prueba::EjecutaSqlite(baseDemo(), u"INSERT INTO T_COD VALUES "_qs + filas + u";"_qs);
    Lib_FrmCons3Tree t;
    t.CheckBoxes = true;
    t.sql = u"SELECT codigo, descripcion FROM T_COD ORDER BY codigo"_qs;
    t.Form_Load();
    ModeloArbol& m = t.Modelo();
    const int uno = m.Busca(u"A1"_qs); // the code 1; the code A1 is the key AA1
    ASSERT_GE(uno, 0);
    m.setData(m.IndiceDe(uno), Qt::Checked, Qt::CheckStateRole);
    QStringList marcados;
    for (int n = 0; n < m.Nodos(); ++n)
        if (m.NodoEn(n).marcado)
            marcados << m.NodoEn(n).clave.mid(1);
    // Six levels below 1 are ticked; 12345678 and below are not.
    EXPECT_EQ(marcados, (QStringList{u"1"_qs, u"12"_qs, u"123"_qs, u"1234"_qs, u"12345"_qs, u"123456"_qs, u"1234567"_qs}))
        << marcados.join(u' ').toStdString();
}

TEST_F(Arbol, AceptarBuscaElCodigoEnSuTabla)
{
    Lib_FrmCons3Tree t;
    t.sql = u"SELECT * FROM V_TA_FAMILIAS"_qs;
    t.CampoDevuelto = u"IdFamilia"_qs;
    t.Form_Load();
    t.SeleccionaNodo(t.Modelo().Busca(u"A0102"_qs));
    t.CmdAceptar_Click();
    EXPECT_EQ(t.ValorDevuelto.toString(), u"0102"_qs);
    // A family removed since the tree was built hands back nothing.
    prueba::EjecutaSqlite(baseDemo(), u"DELETE FROM TA_FAMILIAS WHERE IdFamilia = '0102';"_qs);
    t.CmdAceptar_Click();
    EXPECT_TRUE(t.ValorDevuelto.toString().isEmpty());
    EXPECT_TRUE(t.ValorDevuelto.isString());
    EXPECT_TRUE(op->mostrados.empty());

    // Accounts: cost centres first, then the chart of accounts.
    prueba::EjecutaSqlite(baseDemo(), u"DELETE FROM MA_CUENTAS; INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION) VALUES ('1', 'Activo'), ('11', 'Caja');"
                                       "INSERT INTO TA_CCOSTO VALUES ('11', 'Centro once');"_qs);
    Lib_FrmCons3Tree c;
    c.CheckBoxes = true;
    c.CampoDevuelto = u"CODIGO"_qs;
    c.sql = u"SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS ORDER BY CODIGO"_qs;
    c.Form_Load();
    c.Modelo().setData(c.Modelo().IndiceDe(c.Modelo().Busca(u"A1"_qs)), Qt::Checked, Qt::CheckStateRole);
    c.CmdAceptar_Click();
    ASSERT_EQ(c.Valores.size(), 2);
    EXPECT_EQ(c.Valores[0].toString(), u"1"_qs);
    EXPECT_EQ(c.Valores[1].toString(), u"11"_qs);

    // A ticked root is a ticked node like any other: with no table to look
    // in, its code (none) comes first.
    Lib_FrmCons3Tree g;
    g.CheckBoxes = true;
    g.sql = u"SELECT codigo, descripcion FROM T_COD ORDER BY codigo"_qs;
    g.Form_Load();
    g.Modelo().setData(g.Modelo().IndiceDe(0), Qt::Checked, Qt::CheckStateRole);
    g.CmdAceptar_Click();
    QStringList codigos;
    for (const Variant& v : g.Valores)
        codigos << v.toString();
    EXPECT_EQ(codigos, (QStringList{QString(), u"A1"_qs, u"A11"_qs, u"B2"_qs}));
}

TEST_F(Arbol, PorElMotor)
{
    Lib_ClsCons3& m = Consultas();
    m.CampoDevuelto = u"IDFAMILIA"_qs;
    m.alMostrar = [](FormularioConsulta& f) {
        f.PrimeraBusqueda().setText(u"clav"_qs);
        f.CmdAceptar_Click();
    };
    QStringList cmps;
    QString campo, where;
    m.ConsultaSearch(u"V_TA_FAMILIAS"_qs, cmps, {}, campo, where, {}, true);
    EXPECT_EQ(m.ValorDevuelto.toString(), u"0102"_qs);
    EXPECT_TRUE(m.CampoDevuelto.isEmpty());
    EXPECT_FALSE(m.Checks);

    // In the modal window: typed in its box, a double click accepts; Escape cancels.
    op->ventanas = true;
    m.CampoDevuelto = u"IDFAMILIA"_qs;
    m.alMostrar = [](FormularioConsulta&) {
        prueba::AlMostrarse([](QDialog& d) {
            auto* v = qobject_cast<VentanaCons3Tree*>(&d);
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(v->windowTitle(), u"Consulta..."_qs);
            v->CmbSearch->setEditText(u"pint"_qs);
            v->TreeV->doubleClicked(v->TreeV->currentIndex());
        });
    };
    m.ConsultaSearch(u"V_TA_FAMILIAS"_qs, cmps, {}, campo, where, {}, true);
    EXPECT_EQ(m.ValorDevuelto.toString(), u"02"_qs);
    m.CampoDevuelto = u"IDFAMILIA"_qs;
    m.alMostrar = [](FormularioConsulta&) {
        prueba::AlMostrarse([](QDialog& d) {
            d.findChild<QComboBox*>()->setEditText(u"pint"_qs);
            prueba::Tecla(&d, Qt::Key_Escape);
        });
    };
    m.ConsultaSearch(u"V_TA_FAMILIAS"_qs, cmps, {}, campo, where, {}, true);
    EXPECT_TRUE(m.ValorDevuelto.toString().isEmpty());
    op->ventanas = false;
}

} // namespace
