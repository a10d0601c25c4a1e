#pragma once
// The platform's 96-bit scaled decimal: up to 28-29 significant digits,
// scale 0..28, sign kept apart (so -0 can exist, as on the platform).
#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <optional>

class Decimal {
public:
    Decimal() = default;
    static Decimal fromInt64(std::int64_t v);
    // Parses plain or exponent notation ("-1.5", "2E+3", ".5e-2"), blanks
    // around it allowed; the decimal separator is the one given. Digits beyond
    // what 96 bits and scale 28 hold are rounded half to even. Returns nothing
    // when the text is not a number or does not fit; desborde then tells which.
    static std::optional<Decimal> parse(QStringView text, QChar decimalSeparator, bool* desborde = nullptr);
    // 15 significant digits, as the platform converts a Double.
    static std::optional<Decimal> fromDouble(double v);

    // Text with the decimal separator given (no grouping, no exponent, no
    // trailing zeros after the separator).
    QString toString(QChar decimalSeparator = u'.') const;
    double toDouble() const;
    bool isZero() const { return lo_ == 0 && mid_ == 0 && hi_ == 0; }
    bool isNegative() const { return negative_; }
    int scale() const { return scale_; }

    // By value: 1.50 equals 1.5 and -0 equals 0.
    friend bool operator==(const Decimal& a, const Decimal& b);
    friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

private:
    using u128 = unsigned __int128;
    u128 mantisa() const { return (u128(hi_) << 64) | (u128(mid_) << 32) | lo_; }
    static Decimal crea(u128 m, int scale, bool negative);

    std::uint32_t lo_ = 0, mid_ = 0, hi_ = 0;
    std::uint8_t scale_ = 0;
    bool negative_ = false;
};
