#pragma once
// The set-up check a technician runs before scheduling the export: it opens
// what the export opens and says, one line each, what holds ("OK") and why
// not ("FALLA"), without exporting and without changing anything: no file
// left behind, no configuration key, no line in the error logs, no question.
#include <QString>

class QTextStream;

// parametros: the suite's parameter string, as for the export. Returns the
// exit status: 0 when every check holds, 1 otherwise.
int Diagnostico(const QString& parametros, QTextStream& salida);
