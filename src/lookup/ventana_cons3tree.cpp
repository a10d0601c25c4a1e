#include "lookup/ventana_cons3tree.h"

#include "lookup/lib_frmcons3tree.h"
#include "lookup/marco_botones.h"
#include "lookup/modelo_arbol.h"
#include "platform/controles_ventana.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

using twips::px;

namespace {

// The tree in lines, plus and minus signs and text: dotted lines join each
// node to its parent and to the siblings below it, and a node with children
// shows a box with its sign. The top level has no lines, as the root stands alone.
class ArbolConLineas : public QTreeView {
public:
    using QTreeView::QTreeView;

protected:
    void drawBranches(QPainter* p, const QRect& rect, const QModelIndex& index) const override
    {
        const int sangria = indentation();
        const int medio = rect.center().y();
        const int propia = rect.right() + 1 - sangria; // the column of the node's own branch
        const int centro = propia + sangria / 2;
        const QColor color = palette().color(QPalette::Dark);
        p->save();
        p->setPen(QPen(color, 1, Qt::DotLine));
        const QModelIndex padre = index.parent();
        if (padre.isValid()) {
            const bool ultimo = index.row() == model()->rowCount(padre) - 1;
            p->drawLine(centro, rect.top(), centro, ultimo ? medio : rect.bottom());
            p->drawLine(centro, medio, propia + sangria, medio);
            // Ancestors with siblings below carry their line past this row.
            int x = propia - sangria;
            for (QModelIndex a = padre; a.parent().isValid() && x >= rect.left(); a = a.parent(), x -= sangria)
                if (a.row() < model()->rowCount(a.parent()) - 1)
                    p->drawLine(x + sangria / 2, rect.top(), x + sangria / 2, rect.bottom());
        }
        if (model()->hasChildren(index)) {
            const QRect caja(centro - 4, medio - 4, 8, 8);
            p->setPen(QPen(color, 1));
            p->fillRect(caja, palette().base());
            p->drawRect(caja);
            p->drawLine(centro - 2, medio, centro + 2, medio);
            if (!isExpanded(index))
                p->drawLine(centro, medio - 2, centro, medio + 2);
        }
        p->restore();
    }
};

} // namespace

VentanaCons3Tree::VentanaCons3Tree(Lib_FrmCons3Tree& formulario, QWidget* parent) : QDialog(parent), formulario_(formulario)
{
    auto* principal = new QVBoxLayout(this);
    principal->setContentsMargins(px(120), px(120), px(120), px(120));
    picFields = new QWidget(this);
    auto* tira = new QHBoxLayout(picFields);
    tira->setContentsMargins(0, 0, 0, 0);
    lblFieldName = new QLabel(picFields);
    lblFieldName->hide();
    CmbSearch = new QComboBox(picFields);
    CmbSearch->setEditable(true);
    CmbSearch->setInsertPolicy(QComboBox::NoInsert);
    CmbSearch->setToolTip(QStringLiteral("F5 realiza nueva busqueda"));
    CmbSearch->lineEdit()->installEventFilter(this);
    tira->addWidget(CmbSearch);
    principal->addWidget(picFields);

    TreeV = new ArbolConLineas(this);
    TreeV->setModel(&formulario_.Modelo());
    TreeV->setHeaderHidden(true);
    TreeV->setUniformRowHeights(true);
    TreeV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeV->setSelectionMode(QAbstractItemView::SingleSelection);
    principal->addWidget(TreeV, 1);

    const MarcoBotones m = ArmaMarcoBotones(this);
    Frame1 = m.marco;
    CmdAceptar = m.aceptar;
    CmdCancelar = m.cancelar;
    CmdNueva = m.nueva;
    principal->addWidget(Frame1);
    resize(px(6000), px(7000));

    Lib_FrmCons3Tree* f = &formulario_;
    connect(CmdAceptar, &QPushButton::clicked, this, [f] { f->CmdAceptar_Click(); });
    connect(CmdCancelar, &QPushButton::clicked, this, [f] { f->CmdCancelar_Click(); });
    connect(CmdNueva, &QPushButton::clicked, this, [f] { f->CmdNueva_Click(); });
    connect(TreeV, &QTreeView::doubleClicked, this, [f] { f->CmdAceptar_Click(); });
    EnlazaCaja(CmbSearch, formulario_.CmbSearch.get());
    connect(TreeV->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList elegidos = TreeV->selectionModel()->selectedIndexes();
        formulario_.SeleccionaNodo(elegidos.isEmpty() ? -1 : formulario_.Modelo().NodoDe(elegidos.first()));
    });
    connect(&formulario_, &FormularioConsulta::seleccionCambiada, this, [this] { SigueSeleccion(); });
    connect(&formulario_, &FormularioConsulta::cambiada, this, [this] { Sigue(); });
    connect(&formulario_, &FormularioConsulta::pideFoco, this, [this](int c) {
        if (c < 0)
            TreeV->setFocus();
        else
            CmbSearch->setFocus();
    });
    connect(&formulario_, &FormularioConsulta::terminada, this,
            [this](bool aceptada) { done(aceptada ? QDialog::Accepted : QDialog::Rejected); });
    Sigue();
}

VentanaCons3Tree::~VentanaCons3Tree() = default;

// The tree just built shows its first level.
void VentanaCons3Tree::Sigue()
{
    setWindowTitle(formulario_.Caption);
    if (formulario_.Modelo().Nodos() > 0)
        TreeV->expand(formulario_.Modelo().IndiceDe(0));
    SigueSeleccion();
}

void VentanaCons3Tree::SigueSeleccion()
{
    const int n = formulario_.NodoSeleccionado();
    ::SigueSeleccion(TreeV, n < 0 ? QModelIndex() : formulario_.Modelo().IndiceDe(n), QItemSelectionModel::ClearAndSelect);
}

bool VentanaCons3Tree::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == CmbSearch->lineEdit() && evento->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(evento)->key() == Qt::Key_F5) {
        formulario_.CmbSearch_KeyDown(Qt::Key_F5);
        return true;
    }
    return false;
}

// Escape and the window's close box cancel.
void VentanaCons3Tree::reject() { formulario_.CmdCancelar_Click(); }
