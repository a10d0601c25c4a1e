#pragma once
// Statements in the server's dialect for a SQLite database: translated
// through the typed tree with the file's own schema. Translations are kept
// per connection by text while the file's schema stays as it was (a new
// table, column or trigger, here or by another connection, changes what a
// text means).
#include "platform/tsql/traductor.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ado {

class Cursor;

// A statement in the provider's own dialect run, with the rows it affected.
using Nativa = std::function<std::unique_ptr<Cursor>(const QString& sql, std::int64_t* afectadas)>;

class TraductorSqlite : private tsql::Esquema {
public:
    // Rows of a native statement as texts (the schema's PRAGMA).
    using Filas = std::function<std::vector<std::vector<QString>>(const QString& sql)>;
    // The file's PRAGMA schema_version, read the provider's quickest way
    // (by default through filas).
    using Version = std::function<std::int64_t()>;
    explicit TraductorSqlite(Filas filas, Version version = {}) : filas_(std::move(filas)), version_(std::move(version)) {}

    // Throws FallaProveedor, from origen, with the server's error for what it refuses.
    std::shared_ptr<const tsql::Traduccion> traducir(const QString& sql, const QString& origen);
    void esquemaCambiado() { cache_.clear(); }

    // A batch in the server's dialect, translated and run statement by
    // statement through nativa: the rows of its first result, typed as the
    // server types them (later statements run before those rows are handed
    // back, so they are read whole first unless they come last). conClave:
    // the rows of a SELECT of one table with its row id first, or nothing.
    std::unique_ptr<Cursor> ejecutar(const QString& sql, const QString& origen, std::int64_t* afectadas, bool conClave,
                                     const Nativa& nativa);

private:
    bool columnas(const QString& tabla, std::vector<tsql::ColumnaDeclarada>& r) override;
    std::vector<tsql::DisparadorDeclarado> disparadores() override;
    // Rebuilds the table, all or nothing (SQLite's own way of changing a
    // column): its rows, row ids, numbering, indexes and triggers kept.
    void cambiarColumna(const tsql::CambioDeColumna& c, const QString& origen, const Nativa& nativa);

    Filas filas_;
    Version version_;
    QHash<QString, std::shared_ptr<const tsql::Traduccion>> cache_;
    std::int64_t versionCache_ = -1; // the schema's version the cache was made with
};

// The embedded database's own tables, not the user's: the types of views,
// the triggers and the rows their statements took.
bool TablaInterna(const QString& nombre);

// The types of a statement's columns given to its cursor, from column primera.
void Declarar(Cursor& c, const std::vector<tsql::Tipo>& tipos, int primera = 0);

} // namespace ado
