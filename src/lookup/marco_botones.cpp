#include "lookup/marco_botones.h"

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
