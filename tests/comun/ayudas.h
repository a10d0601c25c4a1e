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

// The number of the error the call raised; 0 when it raised none.
inline int NumeroDeError(const std::function<void()>& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.Number;
    }
    return 0;
}

} // namespace prueba
