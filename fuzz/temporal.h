#pragma once
// A folder of this process's own for the files a target writes its input to;
// removed with everything in it when the process ends.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdlib>
#include <string>

namespace fuzz {

inline const QString& CarpetaTemporal()
{
    static const QString carpeta = [] {
        std::string plantilla = (QDir::tempPath() + QStringLiteral("/verificador-fuzz-XXXXXX")).toStdString();
        if (!::mkdtemp(plantilla.data()))
            std::abort();
        const QString c = QString::fromStdString(plantilla);
        std::atexit([] { QDir(CarpetaTemporal()).removeRecursively(); });
        return c;
    }();
    return carpeta;
}

// Writes the bytes to the file of that name in the folder; returns its path.
inline QString Escribe(const QString& nombre, const char* datos, std::size_t n)
{
    const QString ruta = CarpetaTemporal() + u'/' + nombre;
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(datos, qint64(n)) != qint64(n))
        std::abort();
    return ruta;
}

// The input's first line (without its line end) and the rest.
struct Partes {
    QByteArray linea, resto;
};
inline Partes PrimeraLinea(const void* datos, std::size_t n)
{
    const QByteArray todo = QByteArray::fromRawData(static_cast<const char*>(datos), qsizetype(n));
    const qsizetype salto = todo.indexOf('\n');
    if (salto < 0)
        return {QByteArray(todo.constData(), todo.size()), {}};
    return {todo.left(salto), todo.mid(salto + 1)};
}

} // namespace fuzz
