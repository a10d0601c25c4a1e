// Any text given to LeerJSON: it must return, with no read outside the text,
// whatever the bytes. The first byte picks the regional decimal separator
// and whether the rest is UTF-8 or raw UTF-16 (lone surrogates included).
#include "json/diccionario.h"
#include "json/json.h"
#include "json/lista.h"
#include "platform/vb.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {
// Touches every value, as a caller walking the tree would.
std::size_t recorre(const Variant& v)
{
    if (auto d = v.get<Decimal>())
        return std::size_t(d->toString(vb::SeparadorDecimal()).size());
    if (auto s = v.get<QString>())
        return std::size_t(s->size());
    auto o = v.get<std::shared_ptr<VbObject>>();
    if (!o)
        return 1;
    std::size_t n = 0;
    if (auto l = dynamic_cast<const Lista*>(o->get()))
        for (const Variant& e : *l)
            n += recorre(e);
    if (auto d = dynamic_cast<const Diccionario*>(o->get()))
        for (const auto& [k, e] : *d)
            n += std::size_t(k.size()) + recorre(e);
    return n;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t modo = data[0];
    ++data;
    --size;
    vb::FijaSeparadorDecimal(modo & 1 ? u',' : u'.');
    QString texto;
    if (modo & 2) {
        texto.resize(qsizetype(size / 2));
        std::memcpy(texto.data(), data, size / 2 * 2);
    } else {
        texto = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    const auto raiz = JSON::LeerJSON(texto);
    volatile std::size_t n = raiz ? recorre(std::shared_ptr<VbObject>(raiz)) : 0;
    (void)n;
    (void)JSON::ErroresJSON().size();
    return 0;
}
