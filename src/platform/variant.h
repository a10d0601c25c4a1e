#pragma once
// The suite's value type: Empty and Null kept apart, the numeric kinds of the
// platform, text, dates and objects (dictionaries, lists, ...).
#include "platform/decimal.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>
#include <variant>

// Base of the objects a Variant can hold (JSON dictionaries and lists, ...).
class VbObject {
public:
    virtual ~VbObject() = default;
};

// Currency: 64-bit integer scaled by 10,000.
struct Currency {
    std::int64_t scaled = 0;
    friend bool operator==(Currency a, Currency b) { return a.scaled == b.scaled; }
};

// VarType codes of the platform.
enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Boolean = 11,
    Decimal = 14,
    LongLong = 20,
};

class Variant {
public:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };

    Variant() = default;
    Variant(NullTag) : v_(NullTag{}) {}
    Variant(bool b) : v_(b) {}
    Variant(std::int16_t i) : v_(i) {}
    Variant(std::int32_t i) : v_(i) {}
    Variant(std::int64_t i) : v_(i) {}
    Variant(double d) : v_(d) {}
    Variant(Currency c) : v_(c) {}
    Variant(Decimal d) : v_(d) {}
    Variant(const QString& s) : v_(s) {}
    Variant(QString&& s) : v_(std::move(s)) {}
    Variant(const char16_t* s) : v_(QString::fromUtf16(s)) {}
    Variant(const char*) = delete; // say QStringLiteral or u"" so encodings never guess
    Variant(const QDateTime& d) : v_(d) {}
    Variant(std::shared_ptr<VbObject> o) : v_(std::move(o)) {}

    static Variant Null() { return Variant(NullTag{}); }

    VarType type() const;
    bool isEmpty() const { return v_.index() == 0; }
    bool isNull() const { return std::holds_alternative<NullTag>(v_); }
    bool isObject() const { return std::holds_alternative<std::shared_ptr<VbObject>>(v_); }
    bool isString() const { return std::holds_alternative<QString>(v_); }
    bool isNumeric() const; // a number, or a text that reads as one

    // Conversions with the platform's rules: Empty gives "" or 0; Null raises
    // error 94; a text that is not a number raises error 13.
    QString toString() const;
    double toDouble() const;
    std::int32_t toLong() const;   // rounds half to even, error 6 on overflow
    std::int16_t toInteger() const;
    std::int64_t toLongLong() const;
    bool toBool() const;
    Currency toCurrency() const;
    QDateTime toDate() const;
    std::shared_ptr<VbObject> toObject() const;

    template <class T> const T* get() const { return std::get_if<T>(&v_); }
    // Lets a reader refill a text in place instead of allocating a new one.
    template <class T> T* getMutable() { return std::get_if<T>(&v_); }

    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

private:
    std::variant<std::monostate, NullTag, bool, std::int16_t, std::int32_t, std::int64_t, double, Currency,
                 Decimal, QString, QDateTime, std::shared_ptr<VbObject>>
        v_;
};
