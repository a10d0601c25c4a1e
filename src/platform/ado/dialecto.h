#pragma once
// Statements are written in SQL Server's dialect; when the database behind a
// connection is SQLite they are translated on tokens (never inside string
// literals, quoted names or comments):
//   - statements without ";" between them are separated (INSERT ... UPDATE ...);
//     SET NOCOUNT and the other session options are dropped; BEGIN/COMMIT/
//     ROLLBACK TRAN[SACTION] [name] become SQLite's forms;
//   - table hints "with(nolock)" (any spacing or case, any hint list) and the
//     old form "(nolock)" are dropped; the owner "dbo." is dropped;
//   - [names] become "names"; N'text' becomes 'text';
//   - TOP n / TOP (n) becomes LIMIT n at the end of its SELECT (also in
//     sub-queries); TOP 100 PERCENT is dropped; TOP n PERCENT becomes a LIMIT
//     of the rounded-up share of the row count;
//   - ISNULL -> IFNULL, GETDATE() -> local time, LEN(x) -> LENGTH(RTRIM(x)),
//     SUBSTRING -> SUBSTR, LEFT/RIGHT -> SUBSTR, CHARINDEX(a,b[,s]) -> INSTR,
//     CONVERT(type, x[, style]) -> CAST or strftime for the date styles,
//     YEAR/MONTH/DAY -> strftime;
//   - "+" joins texts ("||") when one of its operands is a text: a string
//     literal, a text function (LTRIM, RTRIM, UPPER, LOWER, SUBSTRING, LEFT,
//     RIGHT, REPLACE, CHAR, SPACE, REPLICATE, STR), a CONVERT or CAST to a text
//     type, an ISNULL/COALESCE with a text argument, or the result of a "+"
//     already joining texts in the same expression; a number literal on the
//     other side keeps "+" (SQL Server adds '1' + 1). Two plain columns keep
//     "+": without the table's types that cannot be told apart;
//   - text comparisons ignore case: a string literal compared with = <> < >
//     <= >= or LIKE gets COLLATE NOCASE, text columns created by CREATE TABLE
//     or ALTER TABLE ADD get COLLATE NOCASE, COLLATE *_CI_* becomes NOCASE.
#include <QString>
#include <QStringList>

namespace ado {

// The translation of one statement text (cached by text). A statement the
// server would refuse before running (nested too deeply, TOP WITH TIES
// without ORDER BY) raises the server's error as a provider failure from origen.
QString TraducirASqlite(const QString& sql, const QString& origen = QString());
// The statements of a text, split at ";" outside literals, names and comments.
QStringList PartirSentencias(const QString& sql);
// The one table a SELECT reads ("" when it joins, groups or has no FROM).
QString TablaDeConsulta(const QString& sql);
// The SELECT with the row key added as its first column (alias ado_rowid__).
QString ConClaveDeFila(const QString& sqlTraducido);

} // namespace ado
