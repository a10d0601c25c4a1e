// Any drive mapping (VERIFICADOR_UNIDADES or unidades.ini, the first input
// line) and any path (the rest): a Windows path resolves below the root of its
// drive or share, a relative one below the current folder, or it raises 52.
#include "fuzz/temporal.h"
#include "platform/errores.h"
#include "platform/rutas.h"

#include <QDir>

#include "fuzz/comprueba.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool debajo(const QString& ruta, const QString& raiz)
{
    if (ruta.split(u'/').contains(QStringLiteral("..")))
        return false;
    return ruta == raiz || ruta.startsWith(raiz == u'/' ? raiz : raiz + u'/');
}

bool separador(QChar c) { return c == u'\\' || c == u'/'; }

// The root of the drive or share the path names, as stored.
QString raizDe(const QString& ruta)
{
    if (ruta.size() >= 2 && separador(ruta[0]) && separador(ruta[1])) {
        const QStringList partes = QString(ruta.mid(2)).replace(u'/', u'\\').split(u'\\');
        return QStringLiteral("\\\\") + partes[0] + u'\\' + partes[1];
    }
    if (separador(ruta[0]))
        return QStringLiteral("C:\\");
    return ruta.left(2) + u'\\';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("VERIFICADOR_CARPETA", fuzz::CarpetaTemporal().toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool enArchivo = data[0] & 1;
    const fuzz::Partes partes = fuzz::PrimeraLinea(data + 1, size - 1);
    const QByteArray& mapa = partes.linea;
    if (mapa.contains('\0')) // not in an environment variable
        return 0;
    const QString ruta = QString::fromUtf8(partes.resto);

    if (enArchivo) {
        qunsetenv("VERIFICADOR_UNIDADES");
        const QByteArray ini = "[Unidades]\n" + QByteArray(mapa).replace(';', '\n');
        fuzz::Escribe(QStringLiteral("unidades.ini"), ini.constData(), std::size_t(ini.size()));
    } else {
        QFile::remove(fuzz::CarpetaTemporal() + QStringLiteral("/unidades.ini"));
        qputenv("VERIFICADOR_UNIDADES", mapa);
    }
    rutas::Recargar();
    // A mapping that cannot be read is refused as a whole, with its reason.
    try {
        rutas::CompruebaUnidades();
    } catch (const VbError& e) {
        COMPRUEBA(e.Number == 5 && e.Description.contains(QStringLiteral("asignacion de unidades")));
        return 0;
    }

    QString resuelta;
    try {
        resuelta = rutas::Resolver(ruta);
    } catch (const VbError& e) {
        COMPRUEBA(e.Number == 52 && !e.Description.isEmpty());
        return 0;
    }
    COMPRUEBA(!resuelta.isEmpty());
    if (ruta.startsWith(u'/'))
        return 0;
    QString forma = ruta;
    if (forma.size() >= 4 && forma[0] == u'\\' && separador(forma[1]) && (forma[2] == u'?' || forma[2] == u'.')
        && separador(forma[3])) {
        forma = forma.mid(4);
        if (forma.left(4).compare(QLatin1String("UNC\\"), Qt::CaseInsensitive) == 0
            || forma.left(4).compare(QLatin1String("UNC/"), Qt::CaseInsensitive) == 0)
            forma = QStringLiteral("\\\\") + forma.mid(4);
    }
    if (!rutas::EsFormaWindows(forma)) {
        const QString actual = QDir::currentPath();
        COMPRUEBA(!resuelta.startsWith(u'/') && debajo(QDir::cleanPath(actual + u'/' + resuelta), actual));
        return 0;
    }
    COMPRUEBA(debajo(resuelta, rutas::Resolver(raizDe(forma))));
    return 0;
}
