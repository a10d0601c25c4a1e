// Any sequence of the string builder's operations, its own text among the
// arguments, against a plain std::u16string: the same text, the same answers
// of Find, the same refusals, the spare area blank.
#include "json/cStringBuilder.h"
#include "platform/errores.h"

#include "fuzz/comprueba.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct Entrada {
    const std::uint8_t* d;
    std::size_t n;
    std::uint8_t byte() { return n ? (--n, *d++) : 0; }
    // A short text: bytes as Latin-1, or two at a time as UTF-16 units.
    std::u16string texto()
    {
        const int largo = byte() % 24;
        const bool ancho = byte() & 1;
        std::u16string s;
        for (int i = 0; i < largo && n; ++i)
            s += ancho ? char16_t(byte() | byte() << 8) : char16_t(byte());
        return s;
    }
};

QStringView vista(const std::u16string& s) { return QStringView(s.data(), qsizetype(s.size())); }

// Index and length near the text: mostly inside, sometimes just past or negative.
std::int32_t indice(Entrada& e, std::size_t largo) { return std::int32_t(e.byte() % (largo + 3)) - 1; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Entrada e{data, size};
    cStringBuilder sb;
    sb.ChunkSize(1 + e.byte() % 16);
    std::u16string modelo;
    int pasos = 0;
    while (e.n && ++pasos < 200) {
        const int op = e.byte() % 11;
        const bool propio = e.byte() & 1; // the argument is a view of the builder's own text
        std::u16string arg = e.texto();
        if (propio) {
            const std::size_t desde = std::min<std::size_t>(e.byte(), modelo.size());
            arg = modelo.substr(desde, e.byte());
        }
        // The view passed: into the builder when its own text is named.
        QStringView argumento = vista(arg);
        if (propio && !arg.empty()) {
            const QStringView todo = sb.vista();
            const qsizetype p = QStringView(modelo.data(), qsizetype(modelo.size())).indexOf(vista(arg));
            argumento = todo.mid(p, qsizetype(arg.size()));
        }
        try {
            switch (op) {
            case 0:
                sb.Append(argumento);
                modelo += arg;
                break;
            case 1:
                sb.AppendNL(argumento);
                modelo += arg + u"\r\n";
                break;
            case 2:
                sb.Append(QChar(arg.empty() ? u'x' : arg[0]));
                modelo += arg.empty() ? u'x' : arg[0];
                break;
            case 3: {
                const std::int32_t i = indice(e, modelo.size());
                const bool valido = i >= 0 && std::size_t(i) <= modelo.size();
                try {
                    sb.Insert(i, argumento);
                } catch (const VbError& x) {
                    COMPRUEBA(!valido && x.Number == vberr::SubscriptOutOfRange);
                    break;
                }
                COMPRUEBA(valido || arg.empty());
                if (valido)
                    modelo.insert(std::size_t(i), arg);
                break;
            }
            case 4: {
                const std::int32_t i = indice(e, modelo.size());
                const std::int32_t l = indice(e, modelo.size());
                const bool valido = i >= 0 && l >= 0 && std::size_t(i) + std::size_t(l) <= modelo.size();
                try {
                    sb.Remove(i, l);
                } catch (const VbError& x) {
                    COMPRUEBA(!valido && x.Number == vberr::SubscriptOutOfRange);
                    break;
                }
                COMPRUEBA(valido);
                modelo.erase(std::size_t(i), std::size_t(l));
                break;
            }
            case 5:
                sb.TheString(argumento);
                modelo = arg;
                break;
            case 6:
                sb.Clear();
                modelo.clear();
                break;
            case 7:
                sb.HeapMinimize();
                break;
            case 8:
                sb.ChunkSize(1 + e.byte() % 64);
                break;
            default: {
                const std::int32_t desde = indice(e, modelo.size());
                const bool sinCaso = op == 10;
                const std::int32_t p = sb.Find(argumento, desde, sinCaso ? 1 : 0);
                // The text and its blank spare area are searched; a match
                // must begin within the text.
                std::u16string conBlancos = modelo;
                conBlancos.resize(std::size_t(sb.Capacity()), u' ');
                const std::int32_t d = desde < 1 ? 0 : desde - 1;
                qsizetype q = -1;
                if (std::size_t(d) < modelo.size())
                    q = vista(conBlancos).indexOf(vista(arg), d, sinCaso ? Qt::CaseInsensitive : Qt::CaseSensitive);
                COMPRUEBA(p == (q < 0 || std::size_t(q) >= modelo.size() ? 0 : std::int32_t(q) + 1));
                break;
            }
            }
        } catch (const VbError&) {
            std::abort(); // nothing here comes near the 32-bit limit
        }
        COMPRUEBA(sb.Length() == std::int32_t(modelo.size()) && sb.Capacity() >= sb.Length());
        COMPRUEBA(sb.vista() == vista(modelo) && sb.toString() == vista(modelo));
    }
    return 0;
}
