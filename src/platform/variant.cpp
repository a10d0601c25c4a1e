#include "platform/variant.h"

#include "platform/errores.h"
#include "platform/vb.h"

#include <cmath>
#include <limits>

namespace {
[[noreturn]] void nulo() { Raise(vberr::InvalidUseOfNull, QStringLiteral("Invalid use of Null")); }
[[noreturn]] void tipo() { Raise(vberr::TypeMismatch, QStringLiteral("Type mismatch")); }
[[noreturn]] void desborde() { Raise(vberr::Overflow, QStringLiteral("Overflow")); }

// The platform's date serial: days since 30 December 1899.
double serialFecha(const QDateTime& d)
{
    static const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return double(base.msecsTo(d)) / 86400000.0;
}

// Round half to even, as the platform's integer conversions do.
double redondeo(double d) { return std::nearbyint(d); }
} // namespace

VarType Variant::type() const
{
    switch (v_.index()) {
    case 0: return VarType::Empty;
    case 1: return VarType::Null;
    case 2: return VarType::Boolean;
    case 3: return VarType::Integer;
    case 4: return VarType::Long;
    case 5: return VarType::LongLong;
    case 6: return VarType::Double;
    case 7: return VarType::Currency;
    case 8: return VarType::Decimal;
    case 9: return VarType::String;
    case 10: return VarType::Date;
    default: return VarType::Object;
    }
}

bool Variant::isNumeric() const
{
    switch (type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::LongLong:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Decimal: return true;
    case VarType::String: return vb::EsNumerico(*get<QString>());
    default: return false;
    }
}

QString Variant::toString() const
{
    switch (type()) {
    case VarType::Empty: return {};
    case VarType::Null: nulo();
    case VarType::Boolean: return *get<bool>() ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Integer: return QString::number(*get<std::int16_t>());
    case VarType::Long: return QString::number(*get<std::int32_t>());
    case VarType::LongLong: return QString::number(*get<std::int64_t>());
    case VarType::Double: return vb::NumeroATexto(*get<double>());
    case VarType::Currency: return vb::NumeroATexto(double(get<Currency>()->scaled) / 10000.0);
    case VarType::Decimal: return get<Decimal>()->toString(vb::SeparadorDecimal());
    case VarType::String: return *get<QString>();
    case VarType::Date: {
        const QDateTime& d = *get<QDateTime>();
        if (d.time() == QTime(0, 0))
            return d.toString(QStringLiteral("dd/MM/yyyy"));
        return d.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    default: tipo();
    }
}

double Variant::toDouble() const
{
    switch (type()) {
    case VarType::Empty: return 0;
    case VarType::Null: nulo();
    case VarType::Boolean: return *get<bool>() ? -1 : 0;
    case VarType::Integer: return *get<std::int16_t>();
    case VarType::Long: return *get<std::int32_t>();
    case VarType::LongLong: return double(*get<std::int64_t>());
    case VarType::Double: return *get<double>();
    case VarType::Currency: return double(get<Currency>()->scaled) / 10000.0;
    case VarType::Decimal: return get<Decimal>()->toDouble();
    case VarType::String: {
        double d;
        if (!vb::ANumero(*get<QString>(), d))
            tipo();
        return d;
    }
    case VarType::Date: return serialFecha(*get<QDateTime>());
    default: tipo();
    }
}

std::int64_t Variant::toLongLong() const
{
    if (auto p = get<std::int64_t>())
        return *p;
    const double d = redondeo(toDouble());
    if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18))
        desborde();
    return std::int64_t(d);
}

std::int32_t Variant::toLong() const
{
    const double d = redondeo(toDouble());
    if (d < std::numeric_limits<std::int32_t>::min() || d > std::numeric_limits<std::int32_t>::max())
        desborde();
    return std::int32_t(d);
}

std::int16_t Variant::toInteger() const
{
    const double d = redondeo(toDouble());
    if (d < std::numeric_limits<std::int16_t>::min() || d > std::numeric_limits<std::int16_t>::max())
        desborde();
    return std::int16_t(d);
}

bool Variant::toBool() const
{
    if (auto p = get<bool>())
        return *p;
    if (auto s = get<QString>()) {
        if (vb::Iguales(vb::Trim(*s), u"True"))
            return true;
        if (vb::Iguales(vb::Trim(*s), u"False"))
            return false;
    }
    return toDouble() != 0;
}

Currency Variant::toCurrency() const
{
    if (auto p = get<Currency>())
        return *p;
    const double d = toDouble() * 10000.0;
    if (!(d > -9.2233720368547758e18 && d < 9.2233720368547758e18))
        desborde();
    return Currency{std::int64_t(redondeo(d))};
}

QDateTime Variant::toDate() const
{
    if (auto p = get<QDateTime>())
        return *p;
    if (auto s = get<QString>()) {
        const QString t = vb::Trim(*s);
        for (auto f : {u"dd/MM/yyyy HH:mm:ss", u"dd/MM/yyyy HH:mm", u"dd/MM/yyyy", u"yyyy-MM-dd HH:mm:ss", u"yyyy-MM-ddTHH:mm:ss",
                       u"yyyy-MM-dd HH:mm:ss.zzz", u"yyyy-MM-dd", u"dd/MM/yy"}) {
            const QDateTime d = QDateTime::fromString(t, QString::fromUtf16(f));
            if (d.isValid())
                return d;
        }
        tipo();
    }
    static const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return base.addMSecs(qint64(std::llround(toDouble() * 86400000.0)));
}

std::shared_ptr<VbObject> Variant::toObject() const
{
    if (auto p = get<std::shared_ptr<VbObject>>())
        return *p;
    Raise(424, QStringLiteral("Object required"));
}
