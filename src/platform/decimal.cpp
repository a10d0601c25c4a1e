#include "platform/decimal.h"

// Placeholder until the full decimal arithmetic lands.
Decimal Decimal::fromInt64(std::int64_t v)
{
    Decimal d;
    std::uint64_t u = v < 0 ? std::uint64_t(-(v + 1)) + 1 : std::uint64_t(v);
    d.lo_ = std::uint32_t(u);
    d.mid_ = std::uint32_t(u >> 32);
    d.negative_ = v < 0;
    return d;
}
std::optional<Decimal> Decimal::parse(QStringView, QChar) { return std::nullopt; }
std::optional<Decimal> Decimal::fromDouble(double) { return std::nullopt; }
QString Decimal::toString(QChar) const { return QString::number(toDouble()); }
double Decimal::toDouble() const
{
    double v = double(hi_) * 18446744073709551616.0 + double(mid_) * 4294967296.0 + double(lo_);
    for (int i = 0; i < scale_; ++i)
        v /= 10;
    return negative_ ? -v : v;
}
bool operator==(const Decimal& a, const Decimal& b)
{
    return a.lo_ == b.lo_ && a.mid_ == b.mid_ && a.hi_ == b.hi_ && a.scale_ == b.scale_ && a.negative_ == b.negative_;
}
