// The list lookup: its form driven through its values and handlers, as a
// terminal does, and its window under the offscreen platform, driven by key
// events on the modal window the engine shows.
#include "comun/ayudas.h"
#include "platform/twips.h"
#include "lookup/consultas_prueba.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/modelo_lista.h"
#include "lookup/ventana_cons3.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

namespace {

using prueba::Escribe;
using prueba::Tecla;

const QString kTabla = QStringLiteral(
    "CREATE TABLE T_LISTA (CODIGO VARCHAR(10), NOMBRE VARCHAR(40), CIUDAD VARCHAR(30), CANT INTEGER);"
    "INSERT INTO T_LISTA VALUES ('01', 'Tornillo niquelado', 'Rosario', 1), ('02', 'Tuerca', 'Abasto', 2),"
    " ('03', 'Tornillo de nilon', 'abra pampa', 1), ('04', 'Arandela', 'Cordoba', 3), ('05', 'Tornillo', 'Abra', 1);");

class Lista : public prueba::ConsultasPrueba {
protected:
    void SetUp() override
    {
        ConsultasPrueba::SetUp();
        prueba::EjecutaSqlite(baseDemo(), kTabla);
    }

    // Runs the lookup of the statement with no window; accion drives the form
    // (one still open afterwards is cancelled).
    void Consulta(const QString& sql, const std::function<void(Lib_FrmCons3&)>& accion)
    {
        Lib_ClsCons3& c = Consultas();
        c.alMostrar = [accion](FormularioConsulta& f) { accion(static_cast<Lib_FrmCons3&>(f)); };
        QString campo, where;
        c.ConsultaSearch(sql, cmps, {}, campo, where);
    }

    // The same in the modal window; accion drives the window.
    void ConsultaEnVentana(const QString& sql, const std::function<void(VentanaCons3&)>& accion, const QString& valoresDefault = {})
    {
        op->ventanas = true;
        Lib_ClsCons3& c = Consultas();
        c.alMostrar = [accion](FormularioConsulta&) {
            prueba::AlMostrarse([accion](QDialog& d) {
                auto* v = qobject_cast<VentanaCons3*>(&d);
                ASSERT_NE(v, nullptr);
                accion(*v);
                if (v->isVisible())
                    v->Formulario().CmdCancelar_Click();
            });
        };
        QString campo, where;
        c.ConsultaSearch(sql, cmps, {}, campo, where, {}, false, valoresDefault);
        op->ventanas = false;
    }

    QStringList cmps;
};

TEST_F(Lista, BusquedaMientrasSeEscribe)
{
    Motor();
    Consultas().CampoDevuelto = u"CODIGO"_qs;
    Consulta(u"SELECT CODIGO, NOMBRE, CIUDAD FROM T_LISTA ORDER BY CODIGO"_qs, [](Lib_FrmCons3& f) {
        EXPECT_EQ(f.FilaSeleccionada(), 0);
        // Search box 2 is the third column: AB, ab and Ab all match.
        f.CmbSearch[2]->setText(u"ab"_qs);
        EXPECT_EQ(f.Modelo().Valor(f.FilaSeleccionada(), 0), u"02"_qs);
        f.CmbSearch[2]->setText(u"abr"_qs);
        EXPECT_EQ(f.Modelo().Valor(f.FilaSeleccionada(), 0), u"03"_qs);
        // A text no row starts with leaves the selection where it was.
        f.CmbSearch[2]->setText(u"abrzz"_qs);
        EXPECT_EQ(f.Modelo().Valor(f.FilaSeleccionada(), 0), u"03"_qs);
        // Keys typed in the rows go to the last search box that had the focus.
        f.BusquedaActual = 1;
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_A, Qt::NoModifier));
        EXPECT_EQ(f.CmbSearch[1]->text(), u"A"_qs);
        EXPECT_FALSE(f.ListView1_KeyDown(Qt::Key_C, Qt::ControlModifier));
        EXPECT_EQ(f.CmbSearch[1]->text(), u"A"_qs);
        EXPECT_EQ(f.Modelo().Valor(f.FilaSeleccionada(), 0), u"04"_qs);
        // Backspace takes the last character back; the arrows move the selection.
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Backspace, Qt::NoModifier));
        EXPECT_TRUE(f.CmbSearch[1]->text().isEmpty());
        f.SeleccionaFila(3);
        f.CmbSearch_KeyDown(1, Qt::Key_Down);
        EXPECT_EQ(f.FilaSeleccionada(), 4);
        f.CmbSearch_KeyDown(1, Qt::Key_Down);
        EXPECT_EQ(f.FilaSeleccionada(), 4);
        f.CmbSearch_KeyDown(1, Qt::Key_PageUp);
        EXPECT_EQ(f.FilaSeleccionada(), 0);
        f.CmbSearch[1]->setText(u"Arandela"_qs);
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Return, Qt::NoModifier));
        EXPECT_TRUE(f.Aceptada());
    });
    EXPECT_EQ(Consultas().ValorDevuelto.toString(), u"04"_qs);
    EXPECT_TRUE(Consultas().CampoDevuelto.isEmpty());
}

// The same typing in the window: its boxes, focus and keys.
TEST_F(Lista, BusquedaMientrasSeEscribeEnLaVentana)
{
    Motor();
    Consultas().CampoDevuelto = u"CODIGO"_qs;
    ConsultaEnVentana(u"SELECT CODIGO, NOMBRE, CIUDAD FROM T_LISTA ORDER BY CODIGO"_qs, [](VentanaCons3& f) {
        EXPECT_EQ(f.Formulario().FilaSeleccionada(), 0);
        EXPECT_EQ(f.windowTitle(), u"Consulta..."_qs);
        // "&Marcar" shows whether or not the rows carry check boxes.
        EXPECT_TRUE(f.CmdTodos->isVisibleTo(&f));
        // Search box 2 is the third column: AB, ab and Ab all match.
        Escribe(f.CmbSearch[2]->lineEdit(), u"ab"_qs);
        EXPECT_EQ(f.Formulario().Modelo().Valor(f.Formulario().FilaSeleccionada(), 0), u"02"_qs);
        Escribe(f.CmbSearch[2]->lineEdit(), u"r"_qs);
        EXPECT_EQ(f.Formulario().Modelo().Valor(f.Formulario().FilaSeleccionada(), 0), u"03"_qs);
        // A text no row starts with leaves the selection where it was.
        Escribe(f.CmbSearch[2]->lineEdit(), u"zz"_qs);
        EXPECT_EQ(f.Formulario().Modelo().Valor(f.Formulario().FilaSeleccionada(), 0), u"03"_qs);
        // Keys typed in the list go to the current search box.
        f.CmbSearch[1]->setFocus();
        QApplication::processEvents();
        f.ListView1->setFocus();
        QApplication::processEvents();
        Tecla(f.ListView1, Qt::Key_A, Qt::NoModifier, u"a"_qs);
        EXPECT_EQ(f.CmbSearch[1]->currentText(), u"A"_qs);
        Tecla(f.ListView1, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(f.CmbSearch[1]->currentText(), u"A"_qs);
        EXPECT_EQ(f.Formulario().Modelo().Valor(f.Formulario().FilaSeleccionada(), 0), u"04"_qs);
        // The arrows in a box move the rows and give them the focus.
        Tecla(f.CmbSearch[1]->lineEdit(), Qt::Key_Down);
        EXPECT_EQ(f.ListView1->currentIndex().row(), 4);
        EXPECT_EQ(f.Formulario().FilaSeleccionada(), 4);
        EXPECT_TRUE(f.ListView1->hasFocus() || !f.isActiveWindow());
        // A page is what the list shows: here every row.
        Tecla(f.CmbSearch[1]->lineEdit(), Qt::Key_PageUp);
        EXPECT_EQ(f.Formulario().FilaSeleccionada(), 0);
        EXPECT_EQ(f.ListView1->currentIndex().row(), 0);
        Tecla(f.CmbSearch[1]->lineEdit(), Qt::Key_PageDown);
        EXPECT_EQ(f.Formulario().FilaSeleccionada(), 4);
        // A row clicked is the form's selection.
        f.ListView1->selectRow(3);
        EXPECT_EQ(f.Formulario().FilaSeleccionada(), 3);
        Tecla(f.ListView1, Qt::Key_Return);
    });
    EXPECT_EQ(Consultas().ValorDevuelto.toString(), u"04"_qs);
    EXPECT_TRUE(Consultas().CampoDevuelto.isEmpty());
}

TEST_F(Lista, F5ConLikeAntesDelOrdenYDelAgrupamiento)
{
    Configura(u"UsaConsultaLike"_qs, u"si"_qs);
    Motor();
    EXPECT_TRUE(Consultas().UsaConsultaLike());
    Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](Lib_FrmCons3& f) {
        f.CmbSearch[1]->setText(u"tor nil"_qs);
        f.CmbSearch_KeyDown(1, Qt::Key_F5);
        EXPECT_TRUE(f.sql.startsWith(u"SELECT CODIGO, NOMBRE FROM T_LISTA  where NOMBRE like '%tor%nil%' ORDER BY CODIGO"_qs))
            << f.sql.toStdString();
        // Tornillo niquelado, Tornillo de nilon and Tornillo itself.
        ASSERT_EQ(f.Modelo().Filas(), 3);
        EXPECT_EQ(f.Modelo().Valor(1, 0), u"03"_qs);
        // "&Nueva Busqueda" goes back to the first statement.
        f.CmdNueva_Click();
        EXPECT_EQ(f.Modelo().Filas(), 5);
    });
    Consulta(u"SELECT NOMBRE, COUNT(*) AS CUANTOS FROM T_LISTA WHERE CANT = 1 GROUP BY NOMBRE"_qs, [](Lib_FrmCons3& f) {
        ASSERT_EQ(f.Modelo().Filas(), 3);
        f.CmbSearch[0]->setText(u"tor"_qs);
        f.CmbSearch_KeyDown(0, Qt::Key_F5);
        EXPECT_TRUE(f.sql.startsWith(
            u"SELECT NOMBRE, COUNT(*) AS CUANTOS FROM T_LISTA WHERE CANT = 1  and NOMBRE like '%tor%' GROUP BY NOMBRE"_qs))
            << f.sql.toStdString();
        EXPECT_EQ(f.Modelo().Filas(), 3);
        // A quote typed in the box stays text.
        f.CmbSearch[0]->setText(u"d'x"_qs);
        f.CmbSearch_KeyDown(0, Qt::Key_F5);
        EXPECT_TRUE(f.sql.contains(u"like '%d''x%'"_qs)) << f.sql.toStdString();
        EXPECT_EQ(f.Modelo().Filas(), 0);
    });
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Lista, F5SinLikeBuscaElComienzo)
{
    Motor();
    Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](Lib_FrmCons3& f) {
        f.CmbSearch[1]->setText(u"tor"_qs);
        f.CmbSearch_KeyDown(1, Qt::Key_F5);
        EXPECT_TRUE(f.sql.startsWith(u"SELECT CODIGO, NOMBRE FROM T_LISTA  where NOMBRE like 'tor%' ORDER BY CODIGO"_qs))
            << f.sql.toStdString();
        EXPECT_EQ(f.Modelo().Filas(), 3);
    });
    // F5 in a box of the window, and "&Nueva Busqueda" there.
    ConsultaEnVentana(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](VentanaCons3& v) {
        v.CmbSearch[1]->setEditText(u"tor"_qs);
        Tecla(v.CmbSearch[1]->lineEdit(), Qt::Key_F5);
        EXPECT_EQ(v.Formulario().Modelo().Filas(), 3);
        EXPECT_EQ(v.ListView1->model()->rowCount(), 3);
        v.CmdNueva->click();
        EXPECT_EQ(v.ListView1->model()->rowCount(), 5);
    });
}

TEST_F(Lista, CantidadesConTeclas)
{
    prueba::SeparadorDecimal punto(u'.');
    Motor();
    Consultas().Checks = true;
    Consultas().UsaCantidades = true;
    Consultas().CampoDevuelto = u"CODIGO"_qs;
    op->entradas.push_back(u"5"_qs);
    op->entradas.push_back(u"0"_qs);
    Consulta(u"SELECT CODIGO, NOMBRE, CANT AS [**Cantidad**] FROM T_LISTA ORDER BY CODIGO"_qs, [&](Lib_FrmCons3& f) {
        ModeloLista& m = f.Modelo();
        const int c = f.IndiceColumna(u"**cantidad**"_qs) - 1;
        ASSERT_EQ(c, 2);
        f.SeleccionaFila(0);
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Delete, Qt::NoModifier));
        EXPECT_EQ(m.Valor(0, c), u"0.00"_qs);
        EXPECT_FALSE(m.Marcada(0));
        f.SeleccionaFila(1);
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Insert, Qt::NoModifier));
        EXPECT_EQ(m.Valor(1, c), u"3.0"_qs);
        EXPECT_TRUE(m.Marcada(1));
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Delete, Qt::NoModifier));
        EXPECT_EQ(m.Valor(1, c), u"2.0"_qs);
        EXPECT_TRUE(m.Marcada(1));
        f.SeleccionaFila(3);
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Insert, Qt::ShiftModifier));
        EXPECT_EQ(m.Valor(3, c), u"5.00"_qs);
        EXPECT_TRUE(m.Marcada(3));
        f.SeleccionaFila(4);
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Insert, Qt::ShiftModifier));
        EXPECT_EQ(m.Valor(4, c), u"0.00"_qs);
        // Space ticks and unticks; the quantities stay.
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Space, Qt::NoModifier));
        EXPECT_FALSE(m.Marcada(4));
        f.CmdAceptar_Click();
    });
    ASSERT_EQ(op->cuenta(u"InputBox"_qs), 2);
    EXPECT_EQ(op->mostrados[0].texto, u"Ingrese la Cantidad del Articulo..."_qs);
    EXPECT_EQ(op->mostrados[0].titulo, u"Carga de Datos"_qs);
    QStringList valores;
    for (const Variant& v : Consultas().Valores)
        valores << v.toString();
    EXPECT_EQ(valores, (QStringList{u"02"_qs, u"04"_qs}));
    EXPECT_FALSE(Consultas().Checks);
}

TEST_F(Lista, AceptarConYSinMarcasYCancelar)
{
    Motor();
    // Without ticks: the asked columns, the last one as the value.
    cmps = QStringList{u"NOMBRE"_qs, u"codigo"_qs};
    Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](Lib_FrmCons3& f) {
        f.SeleccionaFila(1);
        f.ListView1_DblClick();
    });
    ASSERT_EQ(Consultas().Valores.size(), 2);
    EXPECT_EQ(Consultas().Valores[0].toString(), u"Tuerca"_qs);
    EXPECT_EQ(Consultas().ValorDevuelto.toString(), u"02"_qs);
    EXPECT_TRUE(cmps.isEmpty());

    // Ticks: "&Marcar" ticks every row; without CampoDevuelto the first column is handed back.
    Consultas().Valores.clear();
    Consultas().Checks = true;
    Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](Lib_FrmCons3& f) {
        f.CmdTodos_Click();
        f.SeleccionaFila(2);
        EXPECT_TRUE(f.ListView1_KeyDown(Qt::Key_Space, Qt::NoModifier));
        f.CmdAceptar_Click();
    });
    EXPECT_EQ(Consultas().Valores.size(), 4);

    // Ticks asked for by ValoresDefault survive the load.
    Consultas().Valores.clear();
    Consultas().Checks = true;
    Consultas().CampoDevuelto = u"CODIGO"_qs;
    QString campo, where;
    Consultas().alMostrar = [](FormularioConsulta& f) { f.CmdAceptar_Click(); };
    Consultas().ConsultaSearch(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, cmps, {}, campo, where, {}, false,
                               u"03;05"_qs);
    ASSERT_EQ(Consultas().Valores.size(), 2);
    EXPECT_EQ(Consultas().Valores[1].toString(), u"05"_qs);

    // Cancel hands back nothing: Escape in the window, and a form nobody
    // chose in (no window, no hook) ends cancelled at once.
    ConsultaEnVentana(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](VentanaCons3& v) { Tecla(&v, Qt::Key_Escape); });
    EXPECT_EQ(Consultas().ValorDevuelto.toString(), QString());
    EXPECT_TRUE(Consultas().Valores.isEmpty());
    Consultas().ValorDevuelto = Variant(u"antes"_qs);
    Consultas().alMostrar = nullptr;
    Consultas().ConsultaSearch(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, cmps, {}, campo, where);
    EXPECT_EQ(Consultas().ValorDevuelto.toString(), QString());
    EXPECT_TRUE(Consultas().Valores.isEmpty());
}

TEST_F(Lista, ColoresDeStock)
{
    prueba::EjecutaSqlite(baseDemo(), u"CREATE TABLE T_STOCK_ARTICULOS (idarticulo VARCHAR(10), PUNTOPEDIDO INTEGER, Stock INTEGER);"
                                       "INSERT INTO T_STOCK_ARTICULOS VALUES ('A', 5, 5), ('B', 5, 6), ('C', 5, 4), ('D', 0, 0), ('E', 0, 3);"_qs);
    Configura(u"MostrarStockenConsultas"_qs, u"si"_qs);
    Configura(u"Stk_Nivel1"_qs, u"255"_qs);      // red
    Configura(u"Stk_Nivel2"_qs, u"65280"_qs);    // green
    Configura(u"Stk_Nivel3"_qs, u"16711680"_qs); // blue
    Configura(u"Stk_Nivel4"_qs, u"65535"_qs);    // yellow
    Motor();
    ConsultaEnVentana(u"SELECT idarticulo, PUNTOPEDIDO, Stock FROM T_STOCK_ARTICULOS ORDER BY idarticulo"_qs, [](VentanaCons3& v) {
        ModeloLista& m = v.Formulario().Modelo();
        ASSERT_EQ(m.Filas(), 5);
        const std::vector<int> niveles{4, 2, 3, 4, 1};
        const std::vector<QColor> colores{Qt::yellow, Qt::green, Qt::blue, Qt::yellow, Qt::red};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(m.Nivel(i), niveles[size_t(i)]) << i;
            EXPECT_EQ(m.data(m.index(i, 2), Qt::ForegroundRole).value<QColor>(), colores[size_t(i)]) << i;
            EXPECT_TRUE(m.data(m.index(i, 1), Qt::FontRole).value<QFont>().bold());
        }
    });
    // Without the setting rows keep the list's colour.
    ReiniciaConsultas();
    Configura(u"MostrarStockenConsultas"_qs, u"NO"_qs);
    Consulta(u"SELECT idarticulo, PUNTOPEDIDO, Stock FROM T_STOCK_ARTICULOS ORDER BY idarticulo"_qs, [](Lib_FrmCons3& f) {
        EXPECT_FALSE(f.Modelo().data(f.Modelo().index(0, 0), Qt::ForegroundRole).isValid());
    });
}

TEST_F(Lista, AnchosDeColumna)
{
    prueba::EjecutaSqlite(baseDemo(), u"CREATE TABLE T_ANCHOS (LARGO VARCHAR(80), IMPORTE MONEY, CANTIDAD DECIMAL(18,4), CORTO VARCHAR(5));"
                                       "INSERT INTO T_ANCHOS VALUES ('x', 1, 2, 'y');"_qs);
    Motor();
    ConsultaEnVentana(u"SELECT LARGO, IMPORTE, CANTIDAD, CORTO FROM T_ANCHOS"_qs, [](VentanaCons3& f) {
        QHeaderView* h = f.ListView1->horizontalHeader();
        const Lib_FrmCons3& l = f.Formulario();
        EXPECT_EQ(h->sectionSize(0), l.AnchoCaracteres(60));
        EXPECT_EQ(h->sectionSize(1), l.AnchoCaracteres(12));
        EXPECT_EQ(h->sectionSize(2), l.AnchoCaracteres(12));
        EXPECT_EQ(h->sectionSize(3), l.AnchoCaracteres(5));
        // Characters of the list's own font, bold and of 10 points.
        EXPECT_TRUE(f.ListView1->font().bold());
        EXPECT_EQ(f.ListView1->font().pointSize(), 10);
        EXPECT_EQ(l.AnchoCaracteres(12), QFontMetrics(f.ListView1->font()).horizontalAdvance(QString(12, u'X')));
        // Wide enough for every column, as far as the screen allows.
        EXPECT_GE(f.width(), std::min(h->length(), medidas::AnchoPantalla() - twips::px(480)));
        // Each search box sits over its column, 50 twips narrower.
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(f.CmbSearch[size_t(i)]->width(), h->sectionSize(i) - twips::px(50)) << i;
            EXPECT_EQ(f.CmbSearch[size_t(i)]->x(), f.ListView1->viewport()->x() + h->sectionViewportPosition(i)) << i;
        }
        // Scrolled sideways, the boxes move with the columns.
        f.resize(300, f.height());
        QApplication::processEvents();
        f.HScroll1->setValue(f.HScroll1->maximum());
        EXPECT_GT(f.HScroll1->value(), 0);
        EXPECT_EQ(f.CmbSearch[3]->x(), f.ListView1->viewport()->x() + h->sectionViewportPosition(3));
        // A column the operator drags is the form's width.
        h->resizeSection(1, 77);
        EXPECT_EQ(l.AnchoColumna[1], 77);
    });
    // "@10" widens every column of other tables by ten characters.
    ConsultaEnVentana(
        u"SELECT LARGO, IMPORTE, CANTIDAD, CORTO FROM T_ANCHOS"_qs,
        [](VentanaCons3& f) {
            EXPECT_EQ(f.ListView1->horizontalHeader()->sectionSize(3), f.Formulario().AnchoCaracteres(15));
        },
        u"@10"_qs);
    // Without a window the form keeps the same widths, in characters of the
    // list's font or, with no graphical platform, of an average one.
    Consulta(u"SELECT LARGO, IMPORTE, CANTIDAD, CORTO FROM T_ANCHOS"_qs, [](Lib_FrmCons3& f) {
        EXPECT_EQ(f.AnchoColumna, (std::vector<int>{f.AnchoCaracteres(60), f.AnchoCaracteres(12), f.AnchoCaracteres(12),
                                                    f.AnchoCaracteres(5)}));
        EXPECT_GE(f.AnchoVentana, std::min(f.AnchoCaracteres(89), medidas::AnchoPantalla() - twips::px(480)));
    });
}

// A number column of the stock view is wide enough for its header, in the
// header's font.
TEST_F(Lista, EncabezadoDeUnaColumnaNumericaNoSeRecorta)
{
    Motor();
    ConsultaEnVentana(u"SELECT idarticulo, PUNTOPEDIDO, Stock FROM STK_MA_ARTICULOS"_qs, [](VentanaCons3& v) {
        QHeaderView* h = v.ListView1->horizontalHeader();
        EXPECT_GE(h->sectionSize(1), QFontMetrics(h->font()).horizontalAdvance(u"PUNTOPEDIDO"_qs));
    });
}

// The window holds every column beside the list's margins: the list is the
// columns + 360 twips, the window the list + 280 (and its own borders); on a
// screen too narrow for the list + 360, the screen less 480.
TEST_F(Lista, AnchoDeLaVentana)
{
    prueba::EjecutaSqlite(baseDemo(), u"CREATE TABLE T_ANCHA (A VARCHAR(60), B VARCHAR(60), C VARCHAR(60), D VARCHAR(60),"
                                       " E VARCHAR(60), F VARCHAR(60), G VARCHAR(60), H VARCHAR(60));"_qs);
    Motor();
    using twips::px;
    Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA"_qs, [](Lib_FrmCons3& f) {
        const int columnas = f.AnchoColumna[0] + f.AnchoColumna[1];
        EXPECT_EQ(f.AnchoVentana, columnas + px(360) + px(280) + 2 * px(120));
    });
    Consulta(u"SELECT * FROM T_ANCHA"_qs, [](Lib_FrmCons3& f) {
        int columnas = 0;
        for (int a : f.AnchoColumna)
            columnas += a;
        ASSERT_GE(columnas + 2 * px(360), medidas::AnchoPantalla());
        EXPECT_EQ(f.AnchoVentana, medidas::AnchoPantalla() - px(480));
    });
}

// Each price list is headed by its name, the eighth too, in the statements on
// the articles and on the stock view; other statements keep the field names.
TEST_F(Lista, EncabezadosDeLasOchoListasDePrecios)
{
    for (int n = 1; n <= 8; ++n)
        Configura(u"NOM_PCLASE%1"_qs.arg(n), u"Lista %1"_qs.arg(n));
    Motor();
    QString columnas;
    for (int n = 1; n <= 9; ++n)
        columnas += (n > 1 ? u", "_qs : QString()) + u"idarticulo AS PRECIO%1"_qs.arg(n);
    QStringList esperados;
    for (int n = 1; n <= 8; ++n)
        esperados << u"Lista %1"_qs.arg(n);
    esperados << u"PRECIO9"_qs;
    for (const QString& tabla : {u"V_MA_ARTICULOS"_qs, u"stk_ma_articulos"_qs, u"VT_MA_ARTICULOS"_qs}) {
        SCOPED_TRACE(tabla.toStdString());
        Lib_FrmCons3 f;
        f.sql = u"SELECT "_qs + columnas + u" FROM "_qs + tabla;
        f.Form_Load();
        QStringList encabezados;
        for (int c = 0; c < f.Modelo().Columnas(); ++c)
            encabezados << f.Modelo().Encabezado(c);
        if (tabla.startsWith(u"VT"))
            EXPECT_EQ(encabezados.mid(7), (QStringList{u"PRECIO8"_qs, u"PRECIO9"_qs}));
        else
            EXPECT_EQ(encabezados, esperados);
    }
}

TEST_F(Lista, AnchosGuardados)
{
    QFile f(dir.path() + u"/CONSULTASLEN.SLV"_qs);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"OTRA\",\"100|200|\"\r\n\"T_LISTA\",\"1500|900|\"\r\n");
    f.close();
    Motor();
    Consulta(u"SELECT CODIGO, NOMBRE, CIUDAD FROM T_LISTA"_qs, [](Lib_FrmCons3& d) {
        EXPECT_EQ(d.AnchoColumna[0], 100);
        EXPECT_EQ(d.AnchoColumna[1], 60);
        d.AnchoColumna[2] = 40;
        d.GrabarCfg = true;
    });
    EXPECT_EQ(leeArchivo(dir.path() + u"/CONSULTASLEN.SLV"_qs),
              u"\"OTRA\",\"100|200|\"\r\n\"T_LISTA\",\"1500|900|600|\"\r\n"_qs);
    EXPECT_FALSE(QFile::exists(dir.path() + u"/CONSULTASLEN.AUX"_qs));
}

// The widths file of a program folder carried over from Windows, in its own
// spelling: read and rewritten there, no second file beside it.
TEST_F(Lista, AnchosGuardadosEnOtraGrafia)
{
    const QString propia = dir.path() + u"/ConsultasLen.slv"_qs;
    QFile f(propia);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"T_LISTA\",\"1500|900|\"\r\n");
    f.close();
    Motor();
    Consulta(u"SELECT CODIGO, NOMBRE, CIUDAD FROM T_LISTA"_qs, [](Lib_FrmCons3& d) {
        EXPECT_EQ(d.AnchoColumna[0], 100);
        d.AnchoColumna[2] = 40;
        d.GrabarCfg = true;
    });
    EXPECT_EQ(leeArchivo(propia), u"\"T_LISTA\",\"1500|900|600|\"\r\n"_qs);
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.slv"_qs, u"*.aux"_qs}, QDir::Files), QStringList{u"ConsultasLen.slv"_qs});
}

// The record of the width file each statement reads: its table's, the stock
// view's under the articles' name; a width no column could have is passed over.
TEST_F(Lista, AnchosGuardadosSegunLaSentencia)
{
    QFile f(dir.path() + u"/CONSULTASLEN.SLV"_qs);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"STK_MA_ARTICULOS\",\"150|\"\r\n\"VT_MA_ARTICULOS\",\"1500|\"\r\n\"V_MA_ARTICULOS\",\"300|\"\r\n"
            "\"T_LISTA\",\"99999999999|-15|900|\"\r\n");
    f.close();
    Motor();
    const std::pair<QString, int> casos[] = {
        {u"SELECT idarticulo FROM STK_MA_ARTICULOS"_qs, 100},
        {u"SELECT idarticulo FROM stk_ma_articulos with(nolock) WHERE Stock > 0"_qs, 100},
        {u"SELECT idarticulo FROM VT_MA_ARTICULOS"_qs, 100},
        // The engine reads the articles from VT_MA_ARTICULOS.
        {u"SELECT idarticulo FROM V_MA_ARTICULOS"_qs, 100},
    };
    for (const auto& [sql, ancho] : casos)
        Consulta(sql, [&](Lib_FrmCons3& d) { EXPECT_EQ(d.AnchoColumna[0], ancho) << sql.toStdString(); });
    Lib_FrmCons3 v;
    v.sql = u"SELECT idarticulo FROM V_MA_ARTICULOS"_qs;
    v.Form_Load();
    EXPECT_EQ(v.AnchoColumna[0], 20);
    Consulta(u"SELECT CODIGO, NOMBRE, CIUDAD FROM T_LISTA"_qs, [](Lib_FrmCons3& d) {
        EXPECT_EQ(d.AnchoColumna[0], d.AnchoCaracteres(10));
        EXPECT_EQ(d.AnchoColumna[1], d.AnchoCaracteres(40));
        EXPECT_EQ(d.AnchoColumna[2], 60);
    });
}

// ValorDevuelto is the last value this accept added, not one an earlier
// lookup left in Valores.
TEST_F(Lista, ValorDevueltoEsDeEstaAceptacion)
{
    Motor();
    for (int fila : {0, 1, 2}) {
        cmps = QStringList{u"CODIGO"_qs};
        Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [fila](Lib_FrmCons3& f) {
            f.SeleccionaFila(fila);
            f.CmdAceptar_Click();
        });
    }
    EXPECT_EQ(Consultas().Valores.size(), 3);
    EXPECT_EQ(Consultas().ValorDevuelto.toString(), u"03"_qs);
    // Asking for no column hands back no value.
    Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](Lib_FrmCons3& f) {
        f.SeleccionaFila(4);
        f.CmdAceptar_Click();
    });
    EXPECT_EQ(Consultas().Valores.size(), 3);
    EXPECT_TRUE(Consultas().ValorDevuelto.toString().isEmpty());
    // A column that is not there adds nothing either.
    cmps = QStringList{u"NOHAY"_qs};
    op->respuestas.push_back(respuesta::Ignore);
    Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](Lib_FrmCons3& f) {
        f.SeleccionaFila(4);
        f.CmdAceptar_Click();
    });
    EXPECT_TRUE(Consultas().ValorDevuelto.toString().isEmpty());
}

TEST_F(Lista, OrdenPorEncabezado)
{
    Motor();
    Consulta(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](Lib_FrmCons3& f) {
        f.SeleccionaFila(1); // Tuerca
        f.ListView1_ColumnClick(1);
        EXPECT_EQ(f.Modelo().Valor(0, 1), u"Arandela"_qs);
        EXPECT_EQ(f.Modelo().Valor(f.FilaSeleccionada(), 1), u"Tuerca"_qs);
        f.ListView1_ColumnClick(1);
        EXPECT_EQ(f.Modelo().Valor(0, 1), u"Tuerca"_qs);
        EXPECT_EQ(f.FilaSeleccionada(), 0);
    });
    // A header clicked in the window sorts and shows the order.
    ConsultaEnVentana(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](VentanaCons3& v) {
        v.ListView1->selectRow(1); // Tuerca
        v.ListView1->horizontalHeader()->sectionClicked(1);
        EXPECT_EQ(v.Formulario().Modelo().Valor(0, 1), u"Arandela"_qs);
        EXPECT_EQ(v.ListView1->currentIndex().data().toString(), u"02"_qs);
        EXPECT_TRUE(v.ListView1->horizontalHeader()->isSortIndicatorShown());
        EXPECT_EQ(v.ListView1->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    });
}

// Sorting follows the database's collation: accented letters beside their
// base letter, case ignored.
TEST_F(Lista, OrdenComoLaIntercalacionDeLaBase)
{
    prueba::EjecutaSqlite(baseDemo(), u"CREATE TABLE T_NOMBRES (NOMBRE VARCHAR(20));"
                                       "INSERT INTO T_NOMBRES VALUES ('Zeta'), ('Éter'), ('Ñandú'), ('Álamo'), ('nube'), ('alamo'), ('Bote');"_qs);
    Motor();
    const QStringList ascendente{u"alamo"_qs, u"Álamo"_qs, u"Bote"_qs, u"Éter"_qs, u"Ñandú"_qs, u"nube"_qs, u"Zeta"_qs};
    const auto filas = [](const Lib_FrmCons3& f) {
        QStringList r;
        for (int i = 0; i < f.Modelo().Filas(); ++i)
            r << f.Modelo().Valor(i, 0);
        return r;
    };
    // The list sorting itself, a statement without ORDER BY.
    Consulta(u"SELECT NOMBRE FROM T_NOMBRES"_qs, [&](Lib_FrmCons3& f) {
        EXPECT_TRUE(f.OrdenarPorLwv);
        EXPECT_EQ(filas(f), ascendente);
    });
    // A header clicked, both ways.
    Consulta(u"SELECT NOMBRE FROM T_NOMBRES ORDER BY NOMBRE DESC"_qs, [&](Lib_FrmCons3& f) {
        f.ListView1_ColumnClick(0);
        EXPECT_EQ(filas(f), ascendente);
        f.ListView1_ColumnClick(0);
        QStringList descendente = ascendente;
        std::reverse(descendente.begin(), descendente.end());
        EXPECT_EQ(filas(f), descendente);
    });
}

// A click in a search box searches again: the operator may have moved in
// the rows since typing.
TEST_F(Lista, ClicEnUnaCajaBuscaDeNuevo)
{
    Motor();
    ConsultaEnVentana(u"SELECT CODIGO, NOMBRE FROM T_LISTA ORDER BY CODIGO"_qs, [](VentanaCons3& v) {
        Escribe(v.CmbSearch[1]->lineEdit(), u"tu"_qs);
        EXPECT_EQ(v.Formulario().FilaSeleccionada(), 1);
        v.ListView1->selectRow(3);
        EXPECT_EQ(v.Formulario().FilaSeleccionada(), 3);
        QLineEdit* caja = v.CmbSearch[1]->lineEdit();
        const QPointF punto(caja->rect().center());
        QMouseEvent presion(QEvent::MouseButtonPress, punto, caja->mapToGlobal(punto), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(caja, &presion);
        QMouseEvent suelta(QEvent::MouseButtonRelease, punto, caja->mapToGlobal(punto), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(caja, &suelta);
        EXPECT_EQ(v.Formulario().FilaSeleccionada(), 1);
        EXPECT_EQ(v.ListView1->currentIndex().row(), 1);
    });
}

TEST_F(Lista, FaltanteDeStockConF12)
{
    Motor();
    DB().gUsuario = u"O'Neill"_qs;
    prueba::EjecutaSqlite(baseDemo(), u"UPDATE MA_ARTICULOS SET DESCRIPCION = 'Llave 1/2''' WHERE idarticulo = '0000002';"_qs);
    op->respuestas.push_back(respuesta::Yes);
    ConsultaEnVentana(u"SELECT idarticulo, Descripcion FROM V_MA_ARTICULOS ORDER BY idarticulo"_qs, [](VentanaCons3& v) {
        v.Formulario().SeleccionaFila(1);
        Tecla(v.ListView1, Qt::Key_F12);
    });
    ASSERT_EQ(op->cuenta(u"MsgBox"_qs), 1);
    EXPECT_EQ(op->mostrados[0].texto, u"Desea informar el articulo 0000002 Llave 1/2'\r\ncomo un faltante de stock?"_qs);
    EXPECT_EQ(op->mostrados[0].titulo, u"Atención!"_qs);
    EXPECT_EQ(op->mostrados[0].estilo, estilo::YesNo + estilo::Question);
    ado::Recordset rs;
    QString s = u"SELECT IdArticulo, Descripcion, Usuario FROM MV_FALTANTES"_qs;
    DB().AbrirRecordset(s, rs);
    ASSERT_FALSE(rs.EOF_());
    EXPECT_EQ(rs.Fields(0).Value().toString(), u"0000002"_qs);
    EXPECT_EQ(rs.Fields(1).Value().toString(), u"Llave 1/2'"_qs);
    EXPECT_EQ(rs.Fields(2).Value().toString(), u"O'Neill"_qs);
}

TEST_F(Lista, NuevoPorElLanzador)
{
    Motor();
    Consulta(u"SELECT CODIGO, RAZON_SOCIAL FROM VT_CLIENTES"_qs, [](Lib_FrmCons3& f) { f.CmdNuevo_Click(); });
    ASSERT_EQ(op->cuenta(u"MsgBox"_qs), 1);
    EXPECT_EQ(op->mostrados[0].texto, u"Opcion no Implementada!\rComuniquese con su proveedor de sistemas"_qs);
    EXPECT_EQ(op->mostrados[0].estilo, estilo::Critical);
    QStringList lanzados;
    InstalaLanzador([&](const QString& p, QString& par, std::int32_t& tarea) {
        lanzados << p + u'(' + par + u')';
        tarea = 1;
    });
    for (const QString& t : {u"VT_PROVEEDORES"_qs, u"V_TA_RUBROS"_qs, u"V_TA_VENDEDORES"_qs, u"V_MA_ARTICULOS"_qs, u"V_TA_STATUS"_qs})
        Consulta(u"SELECT * FROM "_qs + t, [](Lib_FrmCons3& f) { f.CmdNuevo_Click(); });
    EXPECT_EQ(lanzados, (QStringList{u"SHELL:V_MA_CLIENTES(0)"_qs, u"SHELL:V_TA_TABLAS(V_TA_RUBROS)"_qs,
                                     u"SHELL:V_TA_VENDEDORES()"_qs, u"SHELL:V_MA_ARTICULOS()"_qs,
                                     u"SHELL:V_TA_TABLAS(V_TA_STATUS)"_qs}));
}

TEST_F(Lista, OpcionesYArchivos)
{
    Motor();
    Lib_ClsCons3& c = Consultas();
    c.alMostrar = [](FormularioConsulta& d) {
        auto& f = static_cast<Lib_FrmCons3&>(d);
        EXPECT_FALSE(f.CmdNueva.Visible);
        f.SeleccionaFila(f.Modelo().Filas() - 1);
        f.CmdAceptar_Click();
    };
    EXPECT_EQ(c.MenuOpciones(u"Elija"_qs, {u"Uno"_qs, u"Dos"_qs}), u"Dos"_qs);
    // A single option is offered too.
    EXPECT_EQ(c.MenuOpciones(u"Elija"_qs, {u"Unica"_qs}), u"Unica"_qs);
    c.CheckOpciones(u"Marque"_qs, QStringList{u"CODIGO"_qs}, {u"1Rojo"_qs, u"0Verde"_qs, u"1Azul"_qs});
    QStringList marcadas;
    for (const Variant& v : c.Valores)
        marcadas << v.toString();
    EXPECT_EQ(marcadas, (QStringList{u"Rojo"_qs, u"Azul"_qs}));
    QFile f(dir.path() + u"/lineas.txt"_qs);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("primera\r\nsegunda\r\n");
    f.close();
    EXPECT_EQ(c.ConsultaDesdeArchivo(u"Archivo"_qs, u"\""_qs + dir.path() + u"/lineas.txt\""_qs), u"segunda"_qs);
    EXPECT_EQ(c.ConsultaDesdeArchivo(u"Archivo"_qs, dir.path() + u"/no.txt"_qs), QString());
    ASSERT_EQ(op->cuenta(u"MsgBox"_qs), 1);
    EXPECT_EQ(op->mostrados.back().texto, u"No existe el archivo "_qs + dir.path() + u"/no.txt que desea consultar consulta "_qs);

    // In the window: the title, no "&Nueva Busqueda", "&Marcar" for ticks.
    op->ventanas = true;
    c.alMostrar = [](FormularioConsulta&) {
        prueba::AlMostrarse([](QDialog& d) {
            auto* v = qobject_cast<VentanaCons3*>(&d);
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(v->windowTitle(), u"Marque"_qs);
            EXPECT_FALSE(v->CmdNueva->isVisibleTo(v));
            EXPECT_TRUE(v->CmdTodos->isVisibleTo(v));
            v->CmdTodos->click();
            v->CmdAceptar->click();
        });
    };
    c.CheckOpciones(u"Marque"_qs, {}, {u"0Rojo"_qs, u"0Verde"_qs});
    EXPECT_EQ(c.Valores.size(), 2);
    op->ventanas = false;
}

TEST_F(Lista, PreciosConElNombreDeSuLista)
{
    Motor();
    Lib_FrmCons3 f;
    f.sql = u"SELECT idarticulo, PRECIO1, PRECIO3 FROM V_MA_ARTICULOS"_qs;
    f.Form_Load();
    ASSERT_EQ(f.Modelo().Columnas(), 3);
    EXPECT_EQ(f.Modelo().Encabezado(0), u"idarticulo"_qs);
    EXPECT_EQ(f.Modelo().Encabezado(1), u"Lista Mostrador"_qs);
    EXPECT_EQ(f.Modelo().Encabezado(2), u"Lista Tarjeta"_qs);
    EXPECT_EQ(f.Modelo().Filas(), 60);
}

} // namespace
