#include "json/diccionario.h"

#include "platform/errores.h"

namespace {
constexpr int kIndexarDesde = 16;

bool mismaClave(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    // Keys read by the parser share one copy per distinct text.
    if (a.constData() == b.constData())
        return true;
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

int Diccionario::busca(const QString& clave) const
{
    if (indice_)
        return indice_->value(clave.toCaseFolded(), -1);
    for (std::size_t i = 0; i < entradas_.size(); ++i)
        if (mismaClave(entradas_[i].first, clave))
            return int(i);
    return -1;
}

void Diccionario::indexa(int i)
{
    if (!indice_) {
        if (entradas_.size() < kIndexarDesde)
            return;
        indice_ = std::make_unique<QHash<QString, int>>();
        for (std::size_t j = 0; j < entradas_.size(); ++j)
            indice_->insert(entradas_[j].first.toCaseFolded(), int(j));
        return;
    }
    indice_->insert(entradas_[std::size_t(i)].first.toCaseFolded(), i);
}

const Variant& Diccionario::Item(const QString& clave) const
{
    static const Variant vacio;
    const int i = busca(clave);
    return i < 0 ? vacio : entradas_[std::size_t(i)].second;
}

void Diccionario::Add(const QString& clave, Variant v)
{
    if (busca(clave) >= 0)
        Raise(457, QStringLiteral("This key is already associated with an element of this collection"));
    entradas_.emplace_back(clave, std::move(v));
    indexa(int(entradas_.size()) - 1);
}

void Diccionario::Asigna(const QString& clave, Variant v)
{
    const int i = busca(clave);
    if (i >= 0)
        entradas_[std::size_t(i)].second = std::move(v);
    else
        Add(clave, std::move(v));
}
