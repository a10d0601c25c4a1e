#pragma once
// What both lookup windows share. The button frame: "&Aceptar" at the left
// (the default button), "&Cancelar" and the window's own buttons in the
// middle, "&Nueva Busqueda" at the right.
#include <QItemSelectionModel>
#include <QList>

class QAbstractItemView;
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

// The view's selection made the form's: the row of i, shown, or nothing when
// i is not valid. A row already selected is left as it is.
void SigueSeleccion(QAbstractItemView* vista, const QModelIndex& i, QItemSelectionModel::SelectionFlags como);
