#pragma once
#include <QString>

// A lookup run from the command line: signs on as the program does, shows the
// list lookup (the tree for V_TA_FAMILIAS) on `nombre`, prints the chosen
// row's value of `campo` (the last column when empty; the family code in the
// tree) on standard output. Without windows the form is driven from standard
// input, with no graphical platform: each line is the text of the first
// search box, an empty line accepts the selected row, the end of the input
// cancels.
// Returns 0 when a value was chosen, 1 otherwise.
int EjecutaConsultaComando(const QString& nombre, const QString& campo, bool conVentanas);
