// Any BASES.TXT, and a connection to register (the first five input lines):
// the registration is refused with 5 leaving the file as it was, or the file
// then reads back, field by field as the access window reads it, as every
// record it held and then that connection with its password decoded.
#include "access/bases.h"
#include "fuzz/temporal.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/rutas.h"
#include "suitelib/funciones_generales.h"

#include <QFile>

#include "fuzz/comprueba.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

QByteArray contenido(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The fields of the file as the list reads them; nothing when the list could
// not read it (a field past the end, a record cut short).
std::optional<QStringList> leeCampos(const QString& ruta)
{
    QStringList r;
    try {
        archivos::LectorTexto lector(ruta);
        while (!lector.FinArchivo())
            r << lector.LeeCampo();
    } catch (const VbError&) {
        return std::nullopt;
    }
    if (r.size() % 5 != 0)
        return std::nullopt;
    return r;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("VERIFICADOR_CARPETA", fuzz::CarpetaTemporal().toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray entrada(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList campos;
    for (int i = 0; i < 5; ++i) {
        const qsizetype salto = entrada.indexOf('\n');
        if (salto < 0)
            return 0;
        const QString campo = QString::fromLatin1(entrada.left(salto));
        for (QChar c : campo)
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
                return 0; // not written as such in the code page
        campos << campo;
        entrada.remove(0, salto + 1);
    }
    // Stored with the backslash the suite writes after the folder.
    const QString ruta = rutas::Resolver(ArchivoBases());
    fuzz::Escribe(QStringLiteral("BASES.TXT"), entrada.constData(), std::size_t(entrada.size()));
    const std::optional<QStringList> antes = leeCampos(ruta);
    try {
        RegistraBase(campos[0], campos[1], campos[2], campos[3], campos[4]);
    } catch (const VbError& e) {
        COMPRUEBA(e.Number == vberr::InvalidCall && contenido(ruta) == entrada);
        return 0;
    }
    COMPRUEBA(contenido(ruta).startsWith(entrada));
    if (!antes)
        return 0;
    const std::optional<QStringList> despues = leeCampos(ruta);
    COMPRUEBA(despues && despues->size() == antes->size() + 5);
    COMPRUEBA(despues->mid(0, antes->size()) == *antes);
    const QStringList nuevos = despues->mid(antes->size());
    for (int i : {0, 1, 2, 4})
        COMPRUEBA(nuevos[i] == archivos::LectorTexto::Recorta(campos[i]));
    COMPRUEBA(FuncionesGenerales().DecodificaClave(nuevos[3]) == campos[3]);
    return 0;
}
