#pragma once
// Statements are written in SQL Server's dialect; when the database behind a
// connection is SQLite they are translated on tokens. String literals, quoted
// names and comments are never rewritten, no argument or statement is dropped,
// and the text grows linearly; past 200 nested levels the statement is refused.
//   - statements without ";" between them are separated (INSERT ... VALUES
//     (...) SELECT ...); SET NOCOUNT and the other session options are
//     dropped with their value only; BEGIN TRAN[SACTION] / COMMIT / ROLLBACK
//     become SAVEPOINT ss_tran / RELEASE ss_tran / ROLLBACK, so only the
//     outermost COMMIT commits (the provider counts them);
//   - IF cond statement (or BEGIN statement END) puts the condition in the
//     statement's WHERE; an IF with ELSE or with more statements is left for
//     SQLite to refuse;
//   - table hints and the owner "dbo." are dropped; [names] become "names";
//     N'text' becomes 'text'; DELETE T gets its FROM; SELECT 'alias' = x
//     becomes x AS 'alias';
//   - TOP n / TOP (n) [PERCENT] [WITH TIES] becomes a LIMIT of its own SELECT
//     (each SELECT of a UNION in its own sub-query; the first one's after the
//     whole when the union is ordered); UPDATE/DELETE TOP (n) choose row ids;
//   - ISNULL -> IFNULL, LEN(x) -> LENGTH(RTRIM(x)), SUBSTRING/LEFT/RIGHT ->
//     SUBSTR, CHARINDEX -> INSTR; conversions, dates and "+" go to functions
//     registered on the connection: CONVERT/CAST -> ss_convertir('type', x,
//     style or NULL), YEAR/MONTH/DAY/DATEPART -> ss_datepart('part', d),
//     DATEADD/DATEDIFF -> ss_dateadd/ss_datediff('part', ...), GETDATE() and
//     CURRENT_TIMESTAMP -> ss_getdate() (the local time in a table's default),
//     @@TRANCOUNT, @@ROWCOUNT, @@IDENTITY, SCOPE_IDENTITY() -> ss_trancount(),
//     ss_rowcount(), ss_identity(); "+" stays "+" between numbers, becomes
//     "||" between texts and ss_suma(a, b) where the text cannot tell;
//   - text comparisons as the server's: a string literal compared with = <> <
//     > <= >= or LIKE, and text columns of CREATE/ALTER TABLE, get COLLATE
//     CI_AS; COLLATE *_CI_* becomes CI_AS and *_CS_* BINARY.
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
