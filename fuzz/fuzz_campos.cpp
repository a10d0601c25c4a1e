// Any text file read as the suite's programs read BASES.TXT and
// CONSULTASLEN.SLV (fields with Input #, lines with Line Input): reading ends,
// every line is one of the file's lines without its line end, and reading
// fields stops at the end of the file with 62 at most.
#include "fuzz/temporal.h"
#include "platform/archivos.h"
#include "platform/errores.h"

#include "fuzz/comprueba.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* texto = reinterpret_cast<const char*>(data);
    const QString ruta = fuzz::Escribe(QStringLiteral("CONSULTASLEN.SLV"), texto, size);

    // Lines: as many as line ends, plus a last one not ended.
    qsizetype esperadas = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (texto[i] == '\n' || texto[i] == '\r') {
            ++esperadas;
            if (texto[i] == '\r' && i + 1 < size && texto[i + 1] == '\n')
                ++i;
        } else if (i + 1 == size) {
            ++esperadas;
        }
    }
    {
        archivos::LectorTexto lector(ruta);
        QString linea;
        qsizetype leidas = 0;
        while (lector.LeeLinea(linea)) {
            COMPRUEBA(!linea.contains(u'\n') && !linea.contains(u'\r'));
            COMPRUEBA(++leidas <= esperadas);
        }
        COMPRUEBA(leidas == esperadas);
    }

    // Fields in pairs, as the column widths are read: each read consumes input.
    archivos::LectorTexto lector(ruta);
    std::size_t campos = 0;
    try {
        while (!lector.FinArchivo()) {
            lector.LeeCampo();
            COMPRUEBA(++campos <= size + 1);
        }
    } catch (const VbError& e) {
        COMPRUEBA(e.Number == 62);
    }
    return 0;
}
