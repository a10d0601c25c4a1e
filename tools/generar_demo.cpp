// verificador-demo CARPETA [EMPRESA] [--articulos N] [--servidor NOMBRE] [--servidores RUTA] [--plana]
// Writes the demo company database (default DEMO) and SV_ESTADISTICAS into
// CARPETA as SQLite files, and the embedded server's section of servidores.ini
// (default CARPETA/servidores.ini, server LOCAL). --plana writes plain
// SQLite files, which readers other than the embedded server can open.
#include "platform/errores.h"
#include "tools/demo_db.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {
int uso()
{
    std::fprintf(stderr, "uso: verificador-demo CARPETA [EMPRESA] [--articulos N] [--servidor NOMBRE] [--servidores RUTA] [--plana]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    demo::Opciones o;
    QStringList sueltos;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool conValor = i + 1 < args.size();
        if (a == QLatin1String("--articulos") && conValor) {
            bool ok = false;
            o.articulos = args[++i].toLongLong(&ok);
            if (!ok)
                return uso();
        } else if (a == QLatin1String("--servidor") && conValor) {
            o.servidor = args[++i];
        } else if (a == QLatin1String("--servidores") && conValor) {
            o.servidores = args[++i];
        } else if (a == QLatin1String("--plana")) {
            o.plana = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return uso();
        } else {
            sueltos << a;
        }
    }
    if (sueltos.isEmpty() || sueltos.size() > 2)
        return uso();
    o.carpeta = sueltos[0];
    if (sueltos.size() == 2)
        o.empresa = sueltos[1];
    try {
        QElapsedTimer t;
        t.start();
        const demo::Resultado r = demo::Genera(o);
        std::printf("verificador-demo: %lld articulos en %s; archivos: %s (%.2f s)\n", static_cast<long long>(r.articulos),
                    qPrintable(o.empresa.trimmed()), qPrintable(r.archivos.join(QStringLiteral(", "))), t.elapsed() / 1000.0);
        return 0;
    } catch (const VbError& e) {
        std::fprintf(stderr, "verificador-demo: error %d: %s\n", e.Number, qPrintable(e.Description));
        return 1;
    }
}
