#include "platform/controles_ventana.h"
#include "platform/controles.h"

#include <QComboBox>
#include <QLineEdit>

void EnlazaCaja(QLineEdit* caja, CajaTexto* valor)
{
    caja->setText(valor->text());
    QObject::connect(caja, &QLineEdit::textChanged, valor, &CajaTexto::setText);
    QObject::connect(valor, &CajaTexto::textChanged, caja, [caja, valor] {
        if (caja->text() != valor->text())
            caja->setText(valor->text());
    });
}

void EnlazaCaja(QComboBox* caja, CajaTexto* valor)
{
    caja->setEditText(valor->text());
    QObject::connect(caja, &QComboBox::editTextChanged, valor, &CajaTexto::setText);
    QObject::connect(valor, &CajaTexto::textChanged, caja, [caja, valor] {
        if (caja->currentText() != valor->text())
            caja->setEditText(valor->text());
    });
}
