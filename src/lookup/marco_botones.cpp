#include "lookup/marco_botones.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>

MarcoBotones ArmaMarcoBotones(QWidget* padre, const QList<QPushButton*>& propios)
{
    MarcoBotones m;
    m.marco = new QFrame(padre);
    auto* botones = new QHBoxLayout(m.marco);
    botones->setContentsMargins(0, 0, 0, 0);
    m.aceptar = new QPushButton(QStringLiteral("&Aceptar"), m.marco);
    m.cancelar = new QPushButton(QStringLiteral("&Cancelar"), m.marco);
    m.nueva = new QPushButton(QStringLiteral("&Nueva Busqueda"), m.marco);
    botones->addWidget(m.aceptar);
    botones->addStretch(1);
    botones->addWidget(m.cancelar);
    for (QPushButton* b : propios) {
        b->setParent(m.marco);
        botones->addWidget(b);
    }
    botones->addStretch(1);
    botones->addWidget(m.nueva);
    m.aceptar->setDefault(true);
    return m;
}

void SigueSeleccion(QAbstractItemView* vista, const QModelIndex& i, QItemSelectionModel::SelectionFlags como)
{
    QItemSelectionModel* s = vista->selectionModel();
    if (!i.isValid()) {
        if (s->hasSelection())
            s->clearSelection();
        return;
    }
    const QModelIndex actual = s->currentIndex();
    if (actual.row() != i.row() || actual.parent() != i.parent() || !s->isSelected(i))
        s->setCurrentIndex(i, como);
    vista->scrollTo(i);
}
