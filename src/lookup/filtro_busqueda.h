#pragma once
// Where the dialogs put the filter the operator typed (F5): before the
// statement's ORDER BY (and, in the list, before its GROUP BY), joined with
// " and " when the statement has a WHERE, " where " otherwise.
#include <QString>

struct SentenciaPartida {
    QString base;   // the statement up to the filter
    QString cola;   // ORDER BY / GROUP BY and what follows
    QString union_; // " and " or " where "
};
SentenciaPartida PartirSentencia(const QString& sentencia, bool antesDeGroupBy);

// A typed text inside a quoted SQL literal: its quotes doubled.
QString TextoLiteral(const QString& texto);
