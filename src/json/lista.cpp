#include "json/lista.h"

#include "platform/errores.h"

const Variant& Lista::Item(std::int32_t i) const
{
    if (i < 1 || i > Count())
        Raise(vberr::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return valores_[std::size_t(i - 1)];
}
