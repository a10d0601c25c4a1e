#pragma once
// T-SQL to SQLite through the typed tree: parse, give every expression the
// server's type and collation (columns from the schema), then write SQLite's
// SQL, calling the typed helpers the provider registers on its connections
// wherever SQLite's own operator would answer otherwise. What cannot be
// written exactly is refused with an error that names it.
#include "platform/tsql/analizador.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tsql {

struct ColumnaDeclarada {
    QString nombre;
    QString tipo;           // as declared: "varchar(30)", "money", "INTEGER"
    bool identidad = false; // filled by the database (AUTOINCREMENT)
};

// A trigger of the file as CREATE TRIGGER gave it.
struct DisparadorDeclarado {
    QString nombre, tabla;
    QStringList eventos; // INSERT, UPDATE, DELETE
    QString cuerpo;      // the statements after AS, as written
};

// What the translation asks of the database: the columns of a table or view
// (false when there is none of that name), and the file's triggers in the
// order they were made.
class Esquema {
public:
    virtual ~Esquema() = default;
    virtual bool columnas(const QString& tabla, std::vector<ColumnaDeclarada>& r) = 0;
    virtual std::vector<DisparadorDeclarado> disparadores() { return {}; }
};

// ALTER COLUMN, which SQLite lacks: the table is rebuilt when the statement
// runs, from the schema it finds then, with the column declared anew and each
// row's value converted.
struct CambioDeColumna {
    QString tabla, columna;
    QString declaracion; // type, collation and NOT NULL as SQLite takes them
    QString valor;       // the new value, over the old column
    // What the server lets depend on the column for this change.
    bool indice = false;        // an index
    bool restriccion = false;   // a CHECK or UNIQUE
    bool defecto = false;       // a DEFAULT
};

struct SalidaSqlite {
    QString sql;
    std::vector<Tipo> columnas; // the server's types of the rows' columns (unknown ones Desconocido)
    bool filas = false;         // its rows are a result of the batch
    bool definicion = false;    // it changes the schema
    bool condicion = false;     // an IF's condition: its one value (1 or 0) is the answer
    int si = -1;                // runs only when the condition of that statement ran
    bool cuando = true;         // and answered this
    // A statement that fires triggers runs between a savepoint (abre) and its
    // release (cierra); when one in between fails, the savepoint is rolled
    // back, or the whole transaction when it failed in a trigger (disparo).
    bool abre = false, cierra = false, disparo = false;
    bool interna = false;       // bookkeeping or a trigger's: its rows are not the batch's rows affected
    std::optional<CambioDeColumna> cambio; // instead of sql
};

struct Traduccion {
    std::vector<SalidaSqlite> sentencias;
    // A SELECT of one table and nothing that merges rows: that table, and
    // the statement with the row id first (ado_rowid__), for updatable rows.
    QString tabla;
    QString conClave;
};

// Throws ErrorTsql.
Traduccion Traducir(const QString& lote, Esquema& esquema);

// The one table a SELECT reads when every row of its result is a row of
// that table ("" otherwise, or when the text does not parse).
QString TablaDeConsulta(const QString& lote);

// The error of a construct the embedded database does not take.
ErrorTsql NoSoportado(const QString& que);

} // namespace tsql
