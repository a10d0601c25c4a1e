#include "platform/vb.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace vb {

namespace {
QChar& separador()
{
    static QChar sep = QLocale::system().decimalPoint().isEmpty() ? QChar(u'.') : QLocale::system().decimalPoint().at(0);
    return sep;
}
} // namespace

QChar SeparadorDecimal() { return separador(); }
void FijaSeparadorDecimal(QChar sep) { separador() = sep; }

int InStr(QStringView hay, QStringView needle, int start)
{
    if (start < 1)
        start = 1;
    if (start > hay.size() + 1)
        return 0;
    if (needle.isEmpty())
        return start;
    const qsizetype p = hay.indexOf(needle, start - 1, Qt::CaseInsensitive);
    return p < 0 ? 0 : int(p) + 1;
}

QString Replace(const QString& text, const QString& find, const QString& repl)
{
    if (find.isEmpty())
        return text;
    QString r = text;
    r.replace(find, repl, Qt::CaseInsensitive);
    return r;
}

bool Iguales(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString LTrim(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    return s.mid(i).toString();
}

QString RTrim(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    return s.left(n).toString();
}

QString Trim(QStringView s)
{
    qsizetype i = 0, n = s.size();
    while (i < n && s[i] == u' ')
        ++i;
    while (n > i && s[n - 1] == u' ')
        --n;
    return s.mid(i, n - i).toString();
}

double Val(QStringView s)
{
    // Blanks, tabs and line feeds are passed over anywhere, as the platform does.
    QString digits;
    bool punto = false, exp = false, alguno = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            alguno = true;
        } else if ((c == u'+' || c == u'-') && (digits.isEmpty() || digits.endsWith(u'e'))) {
            digits += c;
        } else if (c == u'.' && !punto && !exp) {
            digits += c;
            punto = true;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && alguno && !exp) {
            digits += u'e';
            exp = true;
        } else {
            break;
        }
    }
    while (!digits.isEmpty() && (digits.endsWith(u'e') || digits.endsWith(u'+') || digits.endsWith(u'-')))
        digits.chop(1);
    if (!alguno)
        return 0;
    bool ok = false;
    const double d = digits.toDouble(&ok);
    return ok ? d : 0;
}

bool ANumero(QStringView s, double& out)
{
    QString t = Trim(s);
    if (t.isEmpty())
        return false;
    const QChar sep = SeparadorDecimal();
    if (sep != u'.') {
        if (t.contains(u'.'))
            return false;
        t.replace(sep, u'.');
    }
    bool ok = false;
    out = t.toDouble(&ok);
    return ok && std::isfinite(out);
}

bool EsNumerico(QStringView s)
{
    double d;
    return ANumero(s, d);
}

QString NumeroATexto(double d)
{
    if (d == 0)
        return QStringLiteral("0");
    QString t = QString::number(d, 'g', 15);
    if (t.contains(u'e')) {
        // The platform writes 1E+20 and 1E-07.
        t.replace(QStringLiteral("e+"), QStringLiteral("E+")).replace(QStringLiteral("e-"), QStringLiteral("E-"));
    }
    if (SeparadorDecimal() != u'.')
        t.replace(u'.', SeparadorDecimal());
    return t;
}

QString FechaMDA(const QDateTime& d) { return d.toString(QStringLiteral("MM-dd-yyyy")); }
QString HoraHMS(const QDateTime& d) { return d.toString(QStringLiteral("HH:mm:ss")); }
QString FechaHoraCorta(const QDateTime& d) { return d.toString(QStringLiteral("dd/MM/yy HH:mm")); }

QString Acota(QStringView texto, qsizetype maximo)
{
    if (texto.size() <= maximo)
        return texto.toString();
    qsizetype cabeza = std::max<qsizetype>(maximo * 2 / 3, 1);
    qsizetype cola = std::max<qsizetype>(maximo - cabeza, 0);
    // A surrogate pair is never split.
    if (texto[cabeza - 1].isHighSurrogate())
        --cabeza;
    if (cola > 0 && texto[texto.size() - cola].isLowSurrogate())
        --cola;
    const qsizetype omitidos = texto.size() - cabeza - cola;
    return texto.left(cabeza).toString() + QStringLiteral("[... %1 caracteres cortados ...]").arg(omitidos)
        + texto.right(cola).toString();
}

} // namespace vb
