#pragma once
// The button frame both lookup dialogs share: "&Aceptar" at the left (the
// default button), "&Cancelar" and the dialog's own buttons in the middle,
// "&Nueva Busqueda" at the right.
#include <QList>

class QFrame;
class QPushButton;
class QWidget;

struct MarcoBotones {
    QFrame* marco;
    QPushButton* aceptar;
    QPushButton* cancelar;
    QPushButton* nueva;
};
MarcoBotones ArmaMarcoBotones(QWidget* padre, const QList<QPushButton*>& propios = {});
