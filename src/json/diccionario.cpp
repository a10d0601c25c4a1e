#include "json/diccionario.h"

#include "platform/errores.h"

namespace {
constexpr std::size_t kIndexarDesde = 16;

bool mismaClave(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    // Keys read by the parser share one copy per distinct text.
    if (a.constData() == b.constData())
        return true;
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void indexa(Diccionario::Claves& c)
{
    if (c.indice) {
        c.indice->insert(c.nombres.back().toCaseFolded(), int(c.nombres.size()) - 1);
    } else if (c.nombres.size() >= kIndexarDesde) {
        c.indice = std::make_unique<QHash<QString, int>>();
        for (std::size_t j = 0; j < c.nombres.size(); ++j)
            c.indice->insert(c.nombres[j].toCaseFolded(), int(j));
    }
}
} // namespace

Diccionario::Diccionario(std::shared_ptr<Claves> molde) : claves_(std::move(molde))
{
    if (claves_)
        valores_.reserve(claves_->nombres.size());
}

int Diccionario::busca(const QString& clave) const
{
    if (!claves_)
        return -1;
    if (claves_->indice) {
        const int i = claves_->indice->value(clave.toCaseFolded(), -1);
        return i < Count() ? i : -1;
    }
    for (std::size_t i = 0; i < valores_.size(); ++i)
        if (mismaClave(claves_->nombres[i], clave))
            return int(i);
    return -1;
}

const Variant& Diccionario::Item(const QString& clave) const
{
    static const Variant vacio;
    const int i = busca(clave);
    return i < 0 ? vacio : valores_[std::size_t(i)];
}

void Diccionario::Add(const QString& clave, Variant v)
{
    if (busca(clave) >= 0)
        Raise(457, QStringLiteral("This key is already associated with an element of this collection"));
    const std::size_t i = valores_.size();
    const bool siguiente = claves_ && i < claves_->nombres.size() && claves_->nombres[i] == clave;
    if (!siguiente) {
        if (!claves_ || claves_.use_count() > 1 || i < claves_->nombres.size()) {
            auto propias = std::make_shared<Claves>();
            if (claves_)
                propias->nombres.assign(claves_->nombres.begin(), claves_->nombres.begin() + std::ptrdiff_t(i));
            claves_ = std::move(propias);
        }
        claves_->nombres.push_back(clave);
        indexa(*claves_);
    }
    valores_.push_back(std::move(v));
}

void Diccionario::Asigna(const QString& clave, Variant v)
{
    const int i = busca(clave);
    if (i >= 0)
        valores_[std::size_t(i)] = std::move(v);
    else
        Add(clave, std::move(v));
}
