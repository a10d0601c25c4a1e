#include "platform/operador.h"

namespace {
std::unique_ptr<Operador>& actual()
{
    static std::unique_ptr<Operador> o;
    return o;
}
} // namespace

int RespuestaPorOmision(int est)
{
    switch (est & 7) {
    case estilo::OKCancel: return respuesta::Cancel;
    case estilo::AbortRetryIgnore: return respuesta::Abort;
    case estilo::YesNoCancel: return respuesta::Cancel;
    case estilo::YesNo: return respuesta::No;
    case estilo::RetryCancel: return respuesta::Cancel;
    default: return respuesta::OK;
    }
}

Operador& operador()
{
    if (!actual())
        actual() = crearOperadorConsola();
    return *actual();
}

std::unique_ptr<Operador> instalaOperador(std::unique_ptr<Operador> o)
{
    auto previo = std::move(actual());
    actual() = std::move(o);
    return previo;
}

int OperadorGuion::MsgBox(const QString& texto, int est, const QString& titulo)
{
    mostrados.push_back({texto, est, titulo, QStringLiteral("MsgBox")});
    if (alMostrar)
        alMostrar(mostrados.back());
    if (respuestas.empty())
        return RespuestaPorOmision(est);
    const int r = respuestas.front();
    respuestas.pop_front();
    return r;
}

QString OperadorGuion::InputBox(const QString& texto, const QString& titulo, const QString& omision)
{
    mostrados.push_back({texto, 0, titulo, QStringLiteral("InputBox")});
    if (entradas.empty())
        return {};
    QString r = entradas.front();
    entradas.pop_front();
    return r;
}

void OperadorGuion::Aviso(const QString& texto, int est, const QString& titulo, int)
{
    mostrados.push_back({texto, est, titulo, QStringLiteral("Aviso")});
}

bool OperadorGuion::ElegirCarpeta(const QString& titulo, QString& carpeta)
{
    mostrados.push_back({carpeta, 0, titulo, QStringLiteral("Carpeta")});
    if (elecciones.empty() || !elecciones.front()) {
        if (!elecciones.empty())
            elecciones.pop_front();
        return false;
    }
    carpeta = *elecciones.front();
    elecciones.pop_front();
    return true;
}

bool OperadorGuion::ElegirArchivo(const QString& titulo, const QString& filtro, QString& archivo)
{
    mostrados.push_back({filtro, 0, titulo, QStringLiteral("Archivo")});
    if (elecciones.empty() || !elecciones.front()) {
        if (!elecciones.empty())
            elecciones.pop_front();
        return false;
    }
    archivo = *elecciones.front();
    elecciones.pop_front();
    return true;
}

std::optional<QString> OperadorGuion::PideValor(const QString& etiqueta, const QString& actual, bool oculto)
{
    mostrados.push_back({oculto ? QString() : actual, 0, etiqueta, QStringLiteral("Valor")});
    if (valores.empty())
        return std::nullopt;
    const bool respondido = valores.front().has_value();
    const QString v = respondido ? *valores.front() : QString();
    valores.pop_front();
    if (!respondido)
        return std::nullopt;
    return v.isEmpty() ? actual : v;
}

int OperadorGuion::cuenta(const QString& tipo) const
{
    int n = 0;
    for (const auto& m : mostrados)
        n += m.tipo == tipo;
    return n;
}
