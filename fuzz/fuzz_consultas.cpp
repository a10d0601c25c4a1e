// Any lookup definitions file, the first input line naming the table looked
// up: the search answers a record of that table, nothing, or a file error;
// a definition appended afterwards is then found.
#include "fuzz/temporal.h"
#include "lookup/definiciones_consultas.h"
#include "platform/errores.h"
#include "platform/vb.h"

#include "fuzz/comprueba.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool imprimible(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzz::Partes partes = fuzz::PrimeraLinea(data, size);
    const QString tabla = QString::fromLatin1(partes.linea);
    const QString ruta = fuzz::Escribe(QStringLiteral("consultas.slv"), partes.resto.constData(), std::size_t(partes.resto.size()));
    try {
        if (const auto d = consultas::BuscaDefinicion(ruta, tabla)) {
            COMPRUEBA(d->titulo.size() == consultas::LargoTitulo && d->tabla.size() == consultas::LargoTabla);
            COMPRUEBA(d->columnas.size() == consultas::LargoColumnas
                      && d->condicion.size() == consultas::LargoCondicion);
        }
        const QString buscada = vb::Trim(tabla);
        if (buscada.isEmpty() || buscada.size() > consultas::LargoTabla || !imprimible(buscada))
            return 0;
        consultas::Definicion nueva{QStringLiteral("Nueva"), buscada, QStringLiteral("|A|"), {}};
        consultas::AgregaDefinicion(ruta, nueva);
        const auto hallada = consultas::BuscaDefinicion(ruta, tabla);
        // An earlier record of that table may answer first.
        COMPRUEBA(hallada.has_value());
    } catch (const VbError& e) {
        COMPRUEBA(e.Number != 0 && !e.Description.isEmpty());
    }
    return 0;
}
