// Any servidores.ini, the first input line naming the server looked up: the
// lookup returns that server or nothing, or fails as a provider error with
// its text; an embedded server's folder is absolute.
#include "fuzz/temporal.h"
#include "platform/ado/provider.h"
#include "platform/ado/servidores.h"

#include "fuzz/comprueba.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Program folder and list both in the process's own folder, so that the
    // drive folders a Windows-form Carpeta makes stay there.
    qputenv("VERIFICADOR_CARPETA", fuzz::CarpetaTemporal().toLocal8Bit());
    qputenv("VERIFICADOR_SERVIDORES", (fuzz::CarpetaTemporal() + QStringLiteral("/servidores.ini")).toLocal8Bit());
    qunsetenv("VERIFICADOR_UNIDADES");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fuzz::Partes partes = fuzz::PrimeraLinea(data, size);
    const QString nombre = QString::fromUtf8(partes.linea);
    const QByteArray& lista = partes.resto;
    fuzz::Escribe(QStringLiteral("servidores.ini"), lista.constData(), std::size_t(lista.size()));
    try {
        const std::optional<ado::Servidor> s = ado::BuscarServidor(nombre);
        if (s) {
            COMPRUEBA(s->nombre.compare(nombre.trimmed(), Qt::CaseInsensitive) == 0 && !s->nombre.isEmpty());
            COMPRUEBA(!s->embebido || s->carpeta.startsWith(u'/'));
        }
    } catch (const ado::FallaProveedor& f) {
        COMPRUEBA(!f.errores.empty() && !f.errores.front().Description.isEmpty());
    }
    return 0;
}
