#include "app/avance.h"

#include "diag/dll_display.h"
#include "platform/operador.h"

#include <QString>
#include <cmath>
#include <string>
#include <unistd.h>

namespace {
constexpr std::chrono::milliseconds kEntreAvisos(100);
}

AvanceExportacion::AvanceExportacion()
    : inicio_(std::chrono::steady_clock::now()), mostrado_(inicio_ - kEntreAvisos), ventanas_(operador().TieneVentanas()),
      terminal_(!ventanas_ && ::isatty(STDERR_FILENO) == 1)
{
}

AvanceExportacion::~AvanceExportacion() { Termina(lineas_); }

void AvanceExportacion::operator()(std::int64_t lineas)
{
    lineas_ = lineas;
    if (!ventanas_ && !terminal_)
        return;
    const auto ahora = std::chrono::steady_clock::now();
    if (ahora - mostrado_ >= kEntreAvisos)
        Muestra(lineas, ahora);
}

void AvanceExportacion::Termina(std::int64_t lineas)
{
    lineas_ = lineas;
    if (!visible_)
        return;
    if (ventanas_) {
        Cartel().CartelCerrar();
    } else {
        Muestra(lineas, std::chrono::steady_clock::now());
        [[maybe_unused]] const auto n = ::write(STDERR_FILENO, "\n", 1);
    }
    visible_ = false;
}

void AvanceExportacion::Muestra(std::int64_t lineas, std::chrono::steady_clock::time_point ahora)
{
    mostrado_ = ahora;
    const double segundos = std::chrono::duration<double>(ahora - inicio_).count();
    const QString escritas = QStringLiteral("%1 articulos escritos").arg(lineas);
    const QString ritmo = QStringLiteral("%1 por segundo").arg(segundos > 0 ? std::llround(double(lineas) / segundos) : 0);
    if (ventanas_) {
        Dll_Display& cartel = Cartel();
        if (!visible_)
            cartel.CartelInicio(QStringLiteral("Creando archivo"), false);
        bool cancelado = false;
        cartel.CartelMostrar(cancelado, Variant(u"Creando el archivo para el verificador"), Variant(escritas), Variant(ritmo));
    } else {
        std::string linea = '\r' + (escritas + QStringLiteral(", ") + ritmo).toStdString();
        const int largo = int(linea.size());
        if (largo < largo_) // a shorter line would leave the end of the previous one
            linea.append(size_t(largo_ - largo), ' ');
        largo_ = largo;
        [[maybe_unused]] const auto n = ::write(STDERR_FILENO, linea.data(), linea.size());
    }
    visible_ = true;
}
