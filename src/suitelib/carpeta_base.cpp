#include "suitelib/carpeta_base.h"

namespace {
QString& guardada()
{
    static QString c;
    return c;
}
} // namespace

void CarpetaBase::Asigna(const QString& carpeta) { guardada() = carpeta; }

QString CarpetaBase::Carpeta() { return guardada(); }
