#pragma once
// The platform's 96-bit scaled decimal: up to 28-29 significant digits,
// scale 0..28, sign kept apart (so -0 can exist, as on the platform).
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

class Decimal {
public:
    Decimal() = default;
    static Decimal fromInt64(std::int64_t v);
    // Parses plain or exponent notation; the decimal separator is the one given.
    // Returns nothing when the text is not a number or does not fit.
    static std::optional<Decimal> parse(QStringView text, QChar decimalSeparator);
    static std::optional<Decimal> fromDouble(double v);

    // Text with the decimal separator given (no grouping, no exponent).
    QString toString(QChar decimalSeparator = u'.') const;
    double toDouble() const;
    bool isZero() const { return lo_ == 0 && mid_ == 0 && hi_ == 0; }
    bool isNegative() const { return negative_; }
    int scale() const { return scale_; }

    friend bool operator==(const Decimal& a, const Decimal& b);

private:
    std::uint32_t lo_ = 0, mid_ = 0, hi_ = 0;
    std::uint8_t scale_ = 0;
    bool negative_ = false;
};
