#pragma once
#include <QString>

// A lookup run from the command line: signs on as the program does, shows the
// list lookup (the tree for V_TA_FAMILIAS) on `nombre`, prints the chosen
// row's value of `campo` on standard output. Without `campo` it prints the
// record's key (the first of the table's columns named Id... or Codigo...,
// shown in the list even when the lookup leaves it out; the family code in
// the tree). Without windows the form is driven from standard input, with no
// graphical platform: each line is the text of the first search box, an
// empty line accepts the selected row (nothing when the last line led to no
// row), the end of the input cancels.
// Returns 0 when a value was chosen, 1 otherwise.
int EjecutaConsultaComando(const QString& nombre, const QString& campo, bool conVentanas);
