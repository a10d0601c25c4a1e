// Any BASES.TXT, and a connection to register (the first five input lines):
// the registration is refused with 5 leaving the file as it was, or the file
// then reads back, field by field as the access window reads it, ending with
// that connection and its password decoded.
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

namespace {

QByteArray contenido(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
    try {
        RegistraBase(campos[0], campos[1], campos[2], campos[3], campos[4]);
    } catch (const VbError& e) {
        COMPRUEBA(e.Number == vberr::InvalidCall && contenido(ruta) == entrada);
        return 0;
    }
    COMPRUEBA(contenido(ruta).startsWith(entrada));

    // A line whose field opens a quote it never closes takes the next lines
    // into that field: the record can only be read back after quote-free lines.
    if (entrada.contains('"'))
        return 0;
    archivos::LectorTexto lector(ruta);
    QStringList leidos;
    while (!lector.FinArchivo())
        leidos << lector.LeeCampo();
    COMPRUEBA(leidos.size() >= 5);
    leidos = leidos.mid(leidos.size() - 5);
    for (int i : {0, 1, 2, 4})
        COMPRUEBA(leidos[i].trimmed() == campos[i].trimmed());
    COMPRUEBA(FuncionesGenerales().DecodificaClave(leidos[3]) == campos[3]);
    return 0;
}
