#pragma once
// The text and value helpers the suite's routines lean on, with the platform's
// rules: comparisons ignore case, Trim removes blanks only, positions are 1-based.
#include <QDateTime>
#include <QString>
#include <QStringView>

namespace vb {

// Regional settings: the decimal separator used when numbers become text and
// text becomes numbers. Starts from the system locale.
QChar SeparadorDecimal();
void FijaSeparadorDecimal(QChar sep);

// 1-based position of needle in hay from start (1-based), 0 when absent; ignores case.
int InStr(QStringView hay, QStringView needle, int start = 1);
inline bool Contiene(QStringView hay, QStringView needle) { return InStr(hay, needle) > 0; }
// Every occurrence replaced, ignoring case.
QString Replace(const QString& text, const QString& find, const QString& repl);
bool Iguales(QStringView a, QStringView b); // equal ignoring case

QString Trim(QStringView s);  // blanks only, as the platform's Trim
QString LTrim(QStringView s);
QString RTrim(QStringView s);
inline bool EnBlanco(QStringView s) { return Trim(s).isEmpty(); }

// Numeric value of the leading number of a text: blanks ignored, '.' as the
// decimal point whatever the regional settings, 0 when there is none.
double Val(QStringView s);
// Whether the text reads as a number under the regional settings.
bool EsNumerico(QStringView s);
// Text to number under the regional settings; nothing when not a number.
bool ANumero(QStringView s, double& out);
// Number to text under the regional settings (up to 15 significant digits).
QString NumeroATexto(double d);

// Dates in the forms the suite writes.
QString FechaMDA(const QDateTime& d);      // 03-07-2025
QString HoraHMS(const QDateTime& d);       // 18:05:09
QString FechaHoraCorta(const QDateTime& d); // 07/03/25 18:05

// A value quoted in a message or a log line, kept to a readable length: a
// longer text keeps its beginning and its end around a marker that says how
// much was left out, so neither a dialog nor SVERR.LOG can be flooded.
constexpr qsizetype LargoCita = 300;
QString Acota(QStringView texto, qsizetype maximo = LargoCita);

} // namespace vb
