#pragma once
// A JSON object: text keys in insertion order, each present once. Keys are
// compared ignoring case, as every key of the system is.
#include "platform/variant.h"

#include <QHash>
#include <memory>
#include <utility>
#include <vector>

class Diccionario : public VbObject {
public:
    using Entrada = std::pair<QString, Variant>;

    std::int32_t Count() const { return std::int32_t(entradas_.size()); }
    bool Exists(const QString& clave) const { return busca(clave) >= 0; }
    // The value under the key; Empty when the key is absent.
    const Variant& Item(const QString& clave) const;
    // Error 457 when the key is already present; nothing changes then.
    void Add(const QString& clave, Variant v);
    // Replaces the value of a present key, adds the key otherwise.
    void Asigna(const QString& clave, Variant v);

    auto begin() const { return entradas_.begin(); }
    auto end() const { return entradas_.end(); }
    // Gives back the room reserved for further keys once the object is complete.
    void ajusta() { entradas_.shrink_to_fit(); }

private:
    int busca(const QString& clave) const;
    void indexa(int i);

    std::vector<Entrada> entradas_;
    // Large objects also get an index by folded key; small ones are scanned.
    std::unique_ptr<QHash<QString, int>> indice_;
};
