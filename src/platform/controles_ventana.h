#pragma once
// A window's widgets over a form's values without widgets.
class CajaTexto;
class QComboBox;
class QLineEdit;

// The widget shows the value and hands on what is typed. A handler may answer
// a change by changing the value again: the widget then shows the value the
// form ends with, not the one it was told of first.
void EnlazaCaja(QLineEdit* caja, CajaTexto* valor);
void EnlazaCaja(QComboBox* caja, CajaTexto* valor);
