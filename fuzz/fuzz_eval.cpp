// Any text given to cJSONScript::Eval: it returns a text or raises a VbError,
// never more. The operator is a script that answers nothing.
#include "json/cJSONScript.h"
#include "platform/errores.h"
#include "platform/operador.h"

#include <cstddef>
#include <cstdint>

namespace {
// Each "get" in a variable's value can multiply its length; a few of them
// chained make texts of gigabytes, which is the language's nature and not a
// fault worth reporting. Scripts with many of them are passed over.
bool demasiadosGet(const QString& texto)
{
    QString t;
    for (QChar c : texto)
        if (!c.isSpace() && c != u'"' && c != u'\'')
            t += c.toLower();
    return t.count(QStringLiteral("get")) > 6;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static OperadorGuion* guion = [] {
        auto o = std::make_unique<OperadorGuion>();
        OperadorGuion* p = o.get();
        instalaOperador(std::move(o));
        return p;
    }();
    const QString texto = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (demasiadosGet(texto))
        return 0;
    guion->mostrados.clear();
    cJSONScript script;
    try {
        volatile qsizetype n = script.Eval(texto).size();
        (void)n;
    } catch (const VbError&) {
        // Raised to the caller by design (object required, type mismatch).
    }
    return 0;
}
