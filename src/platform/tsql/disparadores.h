#pragma once
// What the embedded database keeps of the server's triggers. SQLite runs
// triggers per row; the server runs them once per statement with all its
// rows in inserted and deleted. The translation writes the trigger's body
// after each statement that fires it; SQLite's own row triggers only copy
// the statement's rows into the tables the body reads as inserted and
// deleted, tagged with the nesting level of the trigger that reads them
// (0 until the statement that wrote them tags them).
#include <QString>
#include <QStringList>

namespace tsql {

// The table of the file's triggers: name, table, events, body.
extern const char kTablaDeDisparadores[];

// The table of the rows a statement on tabla inserted (or deleted): its
// level (ss_nivel), the row's id (ss_fila), its columns. The file's own row
// triggers (a date set right, a default) write a row again inside the
// statement: its last copy is the row inserted, its first the row deleted.
QString FilasDe(const QString& tabla, bool insertadas);

// The statements that make what copies the rows of tabla for the events
// (none: what there was is dropped).
QStringList Captura(const QString& tabla, const QStringList& eventos);

// The row trigger that copies the rows an event (INSERT, UPDATE, DELETE)
// takes of tabla: there while a trigger of the server fires on it.
QString CopiaDe(const QString& tabla, const QString& evento);

} // namespace tsql
