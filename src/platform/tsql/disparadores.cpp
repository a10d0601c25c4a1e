#include "platform/tsql/disparadores.h"

namespace tsql {

namespace {

QString Q(const QString& nombre) { return u'"' + QString(nombre).replace(u'"', QStringLiteral("\"\"")) + u'"'; }

// The row triggers that copy: the name's kind, event, when, the row and the table.
struct Copia {
    const char* clase;
    const char* evento;
    const char* cuando;
    const char* fila;
    bool insertadas;
};

const Copia kCopias[] = {
    {"INSERT", "INSERT", "AFTER", "NEW", true},
    {"UPDATE", "UPDATE", "AFTER", "NEW", true},
    // The old values are read while the row still has them.
    {"UPDATEV", "UPDATE", "BEFORE", "OLD", false},
    {"DELETE", "DELETE", "BEFORE", "OLD", false},
};

} // namespace

const char kTablaDeDisparadores[] = "CREATE TABLE IF NOT EXISTS ss_disparadores (nombre TEXT COLLATE NOCASE PRIMARY KEY, "
                                    "tabla TEXT COLLATE NOCASE, eventos TEXT, cuerpo TEXT)";

QString FilasDe(const QString& tabla, bool insertadas)
{
    return (insertadas ? QStringLiteral("ss_inserted_") : QStringLiteral("ss_deleted_")) + tabla.toLower();
}

QStringList Captura(const QString& tabla, const QStringList& eventos)
{
    QStringList r;
    // Dropped and made again even when the same: the schema's version
    // changes, and other connections translate again.
    for (const Copia& c : kCopias)
        r << QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(Q(CopiaDe(tabla, QLatin1String(c.clase))));
    if (eventos.isEmpty()) {
        for (bool insertadas : {true, false})
            r << QStringLiteral("DROP TABLE IF EXISTS %1").arg(Q(FilasDe(tabla, insertadas)));
        return r;
    }
    for (bool insertadas : {true, false})
        r << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 AS SELECT 0 AS ss_nivel, 0 AS ss_fila, * FROM %2 WHERE 0")
                 .arg(Q(FilasDe(tabla, insertadas)), Q(tabla));
    for (const Copia& c : kCopias)
        if (eventos.contains(QLatin1String(c.evento)))
            r << QStringLiteral("CREATE TRIGGER %1 %2 %3 ON %4 FOR EACH ROW BEGIN INSERT INTO %5 SELECT 0, rowid, * FROM %4 "
                                "WHERE rowid = %6.rowid; END")
                     .arg(Q(CopiaDe(tabla, QLatin1String(c.clase))), QLatin1String(c.cuando), QLatin1String(c.evento),
                          Q(tabla), Q(FilasDe(tabla, c.insertadas)), QLatin1String(c.fila));
    return r;
}

QString CopiaDe(const QString& tabla, const QString& evento)
{
    return QStringLiteral("ss_copia_%1_%2").arg(evento.toLower(), tabla.toLower());
}


} // namespace tsql
