#include "platform/decimal.h"

#include <cmath>

namespace {
using u128 = unsigned __int128;

constexpr u128 kMax96 = (u128(1) << 96) - 1;
constexpr int kMaxScale = 28;

u128 potencia10(int n)
{
    u128 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

bool esBlanco(QChar c) { return c == u' ' || c == u'\t'; }
} // namespace

Decimal Decimal::crea(u128 m, int scale, bool negative)
{
    Decimal d;
    d.lo_ = std::uint32_t(m);
    d.mid_ = std::uint32_t(m >> 32);
    d.hi_ = std::uint32_t(m >> 64);
    d.scale_ = std::uint8_t(scale);
    d.negative_ = negative;
    return d;
}

Decimal Decimal::fromInt64(std::int64_t v)
{
    const std::uint64_t u = v < 0 ? std::uint64_t(-(v + 1)) + 1 : std::uint64_t(v);
    return crea(u, 0, v < 0);
}

std::optional<Decimal> Decimal::parse(QStringView text, QChar sep, bool* desborde)
{
    if (desborde)
        *desborde = false;
    qsizetype i = 0, n = text.size();
    while (i < n && esBlanco(text[i]))
        ++i;
    while (n > i && esBlanco(text[n - 1]))
        --n;

    bool negativo = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        negativo = text[i++] == u'-';

    // The first 29 significant digits go into the mantissa; of the rest only
    // the first (for rounding) and whether any other is non-zero are kept.
    u128 m = 0;
    int cifras = 0, redondeo = 0;
    bool resto = false, hayCifras = false, enFraccion = false;
    long long exp10 = 0;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            hayCifras = true;
            const int d = c.unicode() - u'0';
            if (cifras < 29) {
                if (m != 0 || d != 0) {
                    m = m * 10 + u128(d);
                    ++cifras;
                }
                if (enFraccion)
                    --exp10;
            } else {
                if (cifras == 29) {
                    redondeo = d;
                    ++cifras;
                } else if (d != 0) {
                    resto = true;
                }
                if (!enFraccion)
                    ++exp10;
            }
        } else if (c == sep && !enFraccion) {
            enFraccion = true;
        } else {
            break;
        }
    }
    if (!hayCifras)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool expNegativo = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            expNegativo = text[i++] == u'-';
        if (i >= n)
            return std::nullopt;
        long long e = 0;
        for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i)
            if (e < 1000000)
                e = e * 10 + (text[i].unicode() - u'0');
        exp10 += expNegativo ? -e : e;
    }
    if (i != n)
        return std::nullopt;

    if (m == 0)
        return crea(0, 0, negativo);
    // Far below the smallest step: nothing survives the rounding.
    if (exp10 < -(kMaxScale + 60))
        return crea(0, kMaxScale, negativo);
    // Drop digits until the value fits in 96 bits and in the largest scale.
    while (m > kMax96 || exp10 < -kMaxScale) {
        resto = resto || redondeo != 0;
        redondeo = int(m % 10);
        m /= 10;
        ++exp10;
    }
    if (redondeo > 5 || (redondeo == 5 && (resto || (m & 1)))) {
        ++m;
        if (m > kMax96) {
            m /= 10;
            ++exp10;
        }
    }
    for (; exp10 > 0; --exp10) {
        m *= 10;
        if (m > kMax96) {
            if (desborde)
                *desborde = true;
            return std::nullopt;
        }
    }
    return crea(m, int(-exp10), negativo);
}

std::optional<Decimal> Decimal::fromDouble(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return parse(QString::number(v, 'e', 14), u'.');
}

QString Decimal::toString(QChar sep) const
{
    u128 m = mantisa();
    int s = scale_;
    while (s > 0 && m % 10 == 0) {
        m /= 10;
        --s;
    }
    char16_t cifras[64];
    int k = 0;
    do {
        cifras[k++] = char16_t(u'0' + int(m % 10));
        m /= 10;
    } while (m != 0 || k <= s);
    QString t;
    t.reserve(k + 2);
    if (negative_ && !isZero())
        t += u'-';
    for (int j = k - 1; j >= 0; --j) {
        t += QChar(cifras[j]);
        if (j == s && s > 0)
            t += sep;
    }
    return t;
}

// QString reads with the C locale whatever the process locale is.
double Decimal::toDouble() const { return toString(u'.').toDouble(); }

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b)
{
    const bool na = a.negative_ && !a.isZero(), nb = b.negative_ && !b.isZero();
    if (na != nb)
        return na ? std::strong_ordering::less : std::strong_ordering::greater;
    // Integer parts first, then the fractions brought to the same scale;
    // neither step can leave 128 bits.
    const u128 pa = potencia10(a.scale_), pb = potencia10(b.scale_);
    const u128 ma = a.mantisa(), mb = b.mantisa();
    std::strong_ordering r = ma / pa <=> mb / pb;
    if (r == 0) {
        const int s = std::max(a.scale_, b.scale_);
        r = (ma % pa) * potencia10(s - a.scale_) <=> (mb % pb) * potencia10(s - b.scale_);
    }
    if (na)
        return 0 <=> r;
    return r;
}

bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }
