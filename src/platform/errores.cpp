#include "platform/errores.h"

VbError::VbError(std::int32_t number, QString description, QString source)
    : Number(number), Description(std::move(description)), Source(std::move(source))
{
    what_ = QStringLiteral("(%1) %2").arg(Number).arg(Description).toStdString();
}

const char* VbError::what() const noexcept { return what_.c_str(); }

void Raise(std::int32_t number, const QString& description, const QString& source)
{
    throw VbError(number, description, source);
}

Rutina::Rutina(Manejador manejador) : manejador_(std::move(manejador)) {}

Rutina Rutina::Omitir()
{
    return Rutina([](const VbError&) { return Accion::Siguiente; });
}

Accion Rutina::SegunRespuesta(int respuesta)
{
    if (respuesta == 4)
        return Accion::Reintentar;
    if (respuesta == 5)
        return Accion::Siguiente;
    return Accion::Salir;
}

Rutina Rutina::Preguntar(std::function<int(const VbError&)> dialogo)
{
    return Rutina([d = std::move(dialogo)](const VbError& e) { return SegunRespuesta(d(e)); });
}

Accion Rutina::falla(const VbError& e)
{
    ultimo_ = e;
    fallo_ = true;
    return manejador_(e);
}
