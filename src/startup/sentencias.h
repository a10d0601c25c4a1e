#pragma once
// The suite's small statement toolkit: a shared list of column/value pairs,
// the INSERT and UPDATE statements built from it, the Oracle adapter of a
// statement, and the date and time patterns the suite writes.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

struct ParCampo {
    QString columna;
    QString valor; // already an SQL literal
};
using ListaCampos = std::vector<ParCampo>;

// The one module-wide pair list: whoever starts a statement resets it.
ListaCampos& CamposSentencia();

// Adds one pair to the shared list (primero starts a new list). The
// apostrophes are taken out of valor, in the caller's variable too.
void AgregaCampo(const QString& columna, QString& valor, const QString& comilla, bool primero);
// Builds one INSERT (or UPDATE) of the pairs and appends it, and one empty
// entry, to sentencias. Unless conserva, the pairs start afresh.
void ArmaSentencia(ListaCampos& pares, QStringList& sentencias, const QString& tabla, bool esUpdate, QString& where,
                   bool conserva);
// texto & "(columns) VALUES (values)"; borra empties the pairs.
void ArmaValores(QString& texto, ListaCampos& pares, bool borra);
// The statement as the connected database wants it (Oracle: ROWNUM for TOP).
QString AdaptaSQL(const QString& sentencia);

QString FormatoFechaHora(); // "dd/mm/yy hh:mm"
QString FormatoFecha();     // "dd/mm/yy"
QString FormatoHora();      // "hh:mm"
// A date in one of the patterns above (mm after hh is minutes, else month).
QString FormateaFecha(const QDateTime& fecha, const QString& patron);
