#pragma once
// Small helpers the tests of every folder share.
#include "platform/errores.h"
#include "platform/vb.h"

#include <functional>

namespace prueba {

// Sets the regional decimal separator and puts the previous one back.
class SeparadorDecimal {
public:
    explicit SeparadorDecimal(QChar s) : previo_(vb::SeparadorDecimal()) { vb::FijaSeparadorDecimal(s); }
    ~SeparadorDecimal() { vb::FijaSeparadorDecimal(previo_); }
    SeparadorDecimal(const SeparadorDecimal&) = delete;
    SeparadorDecimal& operator=(const SeparadorDecimal&) = delete;

private:
    QChar previo_;
};

// The error the call raised; number 0 when it raised none.
inline VbError ErrorDe(const std::function<void()>& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e;
    }
    return VbError(0, QString());
}

inline int NumeroDeError(const std::function<void()>& f) { return ErrorDe(f).Number; }

} // namespace prueba
