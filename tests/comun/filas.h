#pragma once
// The rows a statement gives on a SQLite file, read below the layers under
// test: one text per row, its columns joined by "|".
#include <QString>
#include <QStringList>
#include <sqlite3.h>

#include "platform/ado/sqlite_servidor.h"

namespace prueba {

inline QStringList Filas(const QString& archivo, const QString& sql)
{
    sqlite3* db = nullptr;
    QStringList r;
    if (sqlite3_open_v2(archivo.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {QStringLiteral("<sin base>")};
    }
    ado::servidor::RegistrarIntercalacion(db); // the tables compare as the server does
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        r << QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        QStringList c;
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            c << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        r << c.join(u'|');
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return r;
}

} // namespace prueba
