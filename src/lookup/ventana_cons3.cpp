#include "lookup/ventana_cons3.h"

#include "lookup/lib_frmcons3.h"
#include "lookup/marco_botones.h"
#include "platform/controles_ventana.h"
#include "lookup/modelo_lista.h"
#include "platform/twips.h"
#include "suitelib/funciones_generales.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

using twips::px;

namespace {

// The list, telling where its own moving keys would take the current row.
class Vista : public QTableView {
public:
    using QTableView::QTableView;
    QModelIndex Pagina(bool abajo) { return moveCursor(abajo ? MovePageDown : MovePageUp, Qt::NoModifier); }
};

} // namespace

VentanaCons3::VentanaCons3(Lib_FrmCons3& formulario, QWidget* parent) : QDialog(parent), formulario_(formulario)
{
    auto* principal = new QVBoxLayout(this);
    principal->setContentsMargins(px(120), px(120), px(120), px(120));

    Label1 = new QLabel(QStringLiteral("CONSULTA"), this);
    QFont titulo = Label1->font();
    titulo.setBold(true);
    Label1->setFont(titulo);
    principal->addWidget(Label1);

    picFields = new QWidget(this);
    lblFieldName = new QLabel(picFields);
    lblFieldName->hide();
    principal->addWidget(picFields);
    creaBusquedas();
    CmbSearch[0]->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
    picFields->setFixedHeight(CmbSearch[0]->sizeHint().height());

    ListView1 = new Vista(this);
    ListView1->setModel(&formulario_.Modelo());
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setWordWrap(false);
    ListView1->setShowGrid(false);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ListView1->horizontalHeader()->setSectionsClickable(true);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView1->installEventFilter(this);
    const QFont f = medidas::FuenteLista();
    ListView1->setFont(f);
    formulario_.Modelo().fuente = f;
    ListView1->verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 4);
    principal->addWidget(ListView1, 1);
    HScroll1 = ListView1->horizontalScrollBar();

    CmdTodos = new QPushButton(QStringLiteral("&Marcar"), this);
    CmdNuevo = new QPushButton(QStringLiteral("N&uevo"), this);
    const MarcoBotones m = ArmaMarcoBotones(this, {CmdTodos, CmdNuevo});
    Frame1 = m.marco;
    CmdAceptar = m.aceptar;
    CmdCancelar = m.cancelar;
    CmdNueva = m.nueva;
    principal->addWidget(Frame1);

    Lib_FrmCons3* f_ = &formulario_;
    connect(CmdAceptar, &QPushButton::clicked, this, [f_] { f_->CmdAceptar_Click(); });
    connect(CmdCancelar, &QPushButton::clicked, this, [f_] { f_->CmdCancelar_Click(); });
    connect(CmdNueva, &QPushButton::clicked, this, [f_] { f_->CmdNueva_Click(); });
    connect(CmdNuevo, &QPushButton::clicked, this, [f_] { f_->CmdNuevo_Click(); });
    connect(CmdTodos, &QPushButton::clicked, this, [f_] { f_->CmdTodos_Click(); });
    connect(ListView1, &QTableView::doubleClicked, this, [f_] { f_->ListView1_DblClick(); });
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
        formulario_.ListView1_ColumnClick(c);
        SigueOrden();
    });
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int c, int, int ancho) {
        if (c < int(formulario_.AnchoColumna.size()))
            formulario_.AnchoColumna[size_t(c)] = ancho;
        ubicaBusquedas();
    });
    connect(ListView1->horizontalHeader(), &QHeaderView::geometriesChanged, this, [this] { ubicaBusquedas(); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { ubicaBusquedas(); });
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList elegidas = ListView1->selectionModel()->selectedIndexes();
        formulario_.SeleccionaFila(elegidas.isEmpty() ? -1 : elegidas.first().row());
    });
    connect(&formulario_, &FormularioConsulta::seleccionCambiada, this, [this] { SigueSeleccion(); });
    connect(&formulario_, &FormularioConsulta::cambiada, this, [this] { Sigue(); });
    connect(&formulario_, &FormularioConsulta::pideFoco, this, [this](int c) { Enfoca(c); });
    connect(&formulario_, &FormularioConsulta::terminada, this,
            [this](bool aceptada) { done(aceptada ? QDialog::Accepted : QDialog::Rejected); });

    FuncionesGenerales().PreparaFormulario(this, false);
    Sigue();
}

VentanaCons3::~VentanaCons3() = default;

// One combo box per box of the form, its text one value with the box's.
void VentanaCons3::creaBusquedas()
{
    while (CmbSearch.size() < formulario_.CmbSearch.size()) {
        const int i = int(CmbSearch.size());
        CajaBusqueda* caja = formulario_.CmbSearch[size_t(i)].get();
        auto* c = new QComboBox(picFields);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setProperty("Index", i);
        c->lineEdit()->setProperty("Index", i);
        c->lineEdit()->installEventFilter(this);
        c->installEventFilter(this);
        EnlazaCaja(c, caja);
        if (i > 0)
            setTabOrder(CmbSearch.back(), c);
        CmbSearch.push_back(c);
    }
}

void VentanaCons3::Sigue()
{
    setWindowTitle(formulario_.Caption);
    creaBusquedas();
    for (size_t i = 0; i < CmbSearch.size(); ++i)
        CmbSearch[i]->setVisible(formulario_.CmbSearch[i]->Visible);
    CmdNueva->setVisible(formulario_.CmdNueva.Visible);
    const std::vector<int> anchos = formulario_.AnchoColumna; // resizing writes them back
    for (size_t i = 0; i < anchos.size() && int(i) < formulario_.Modelo().Columnas(); ++i)
        if (anchos[i] > 0)
            ListView1->horizontalHeader()->resizeSection(int(i), anchos[i]);
    ubicaBusquedas();
    resize(std::max(formulario_.AnchoVentana, minimumSizeHint().width()), std::max(height(), px(6000)));
    SigueSeleccion();
}

void VentanaCons3::SigueSeleccion()
{
    const int fila = formulario_.FilaSeleccionada();
    ::SigueSeleccion(ListView1, fila < 0 ? QModelIndex() : formulario_.Modelo().index(fila, 0),
                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void VentanaCons3::SigueOrden()
{
    if (formulario_.ColumnaOrden() < 0)
        return;
    ListView1->horizontalHeader()->setSortIndicatorShown(true);
    ListView1->horizontalHeader()->setSortIndicator(formulario_.ColumnaOrden(),
                                                    formulario_.OrdenAscendente() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

// The rows a page key takes the selection over, as the list's own page keys
// count them.
int VentanaCons3::filasPorPagina(bool abajo) const
{
    const int fila = formulario_.FilaSeleccionada();
    if (fila < 0)
        return 1;
    const QModelIndex destino = static_cast<Vista*>(ListView1)->Pagina(abajo);
    return destino.isValid() ? std::max(std::abs(destino.row() - fila), 1) : 1;
}

void VentanaCons3::Enfoca(int control)
{
    if (control < 0) {
        ListView1->setFocus();
        return;
    }
    if (control >= int(CmbSearch.size()))
        return;
    CmbSearch[size_t(control)]->setFocus();
    CmbSearch[size_t(control)]->lineEdit()->end(false);
}

void VentanaCons3::ubicaBusquedas()
{
    QHeaderView* h = ListView1->horizontalHeader();
    const int x0 = ListView1->viewport()->geometry().x();
    for (size_t i = 0; i < CmbSearch.size(); ++i) {
        QComboBox* c = CmbSearch[i];
        if (int(i) >= formulario_.Modelo().Columnas()) {
            if (i == 0)
                c->setGeometry(0, 0, picFields->width(), picFields->height());
            continue;
        }
        c->setGeometry(x0 + h->sectionViewportPosition(int(i)), 0, std::max(h->sectionSize(int(i)) - px(50), 1),
                       picFields->height());
    }
}

bool VentanaCons3::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == ListView1 && evento->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(evento);
        if (k->key() == Qt::Key_F12)
            return false;
        return formulario_.ListView1_KeyDown(k->key(), k->modifiers());
    }
    const QVariant indice = objeto->property("Index");
    if (indice.isValid() && objeto->isWidgetType()) {
        const int i = indice.toInt();
        if (i < 0 || i >= int(CmbSearch.size()))
            return false;
        QComboBox* c = CmbSearch[size_t(i)];
        if (evento->type() == QEvent::FocusIn) {
            formulario_.BusquedaActual = i;
            c->lineEdit()->setStyleSheet(QStringLiteral("background-color: #00FFFF;"));
        } else if (evento->type() == QEvent::FocusOut) {
            c->lineEdit()->setStyleSheet(QStringLiteral("background-color: #FFFFFF;"));
        } else if (evento->type() == QEvent::MouseButtonPress && objeto == c->lineEdit()) {
            // A click searches again: the operator may have moved in the rows since.
            formulario_.CmbSearch_Change(i);
        } else if (evento->type() == QEvent::KeyPress) {
            const int tecla = static_cast<QKeyEvent*>(evento)->key();
            if (tecla == Qt::Key_F5 || tecla == Qt::Key_Up || tecla == Qt::Key_Down || tecla == Qt::Key_PageUp
                || tecla == Qt::Key_PageDown) {
                if (tecla == Qt::Key_PageUp || tecla == Qt::Key_PageDown)
                    formulario_.FilasPorPagina = filasPorPagina(tecla == Qt::Key_PageDown);
                formulario_.CmbSearch_KeyDown(i, tecla);
                return true;
            }
        }
    }
    return false;
}

void VentanaCons3::keyPressEvent(QKeyEvent* evento)
{
    if (evento->key() == Qt::Key_F12) {
        formulario_.Form_KeyDown(evento->key());
        return;
    }
    QDialog::keyPressEvent(evento);
}

// Escape and the window's close box cancel.
void VentanaCons3::reject() { formulario_.CmdCancelar_Click(); }

void VentanaCons3::resizeEvent(QResizeEvent* evento)
{
    QDialog::resizeEvent(evento);
    ubicaBusquedas();
}
