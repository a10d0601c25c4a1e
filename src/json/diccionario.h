#pragma once
// A JSON object: text keys in insertion order, each present once. Keys are
// compared ignoring case, as every key of the system is.
//
// Objects of one kind repeat the same keys in the same order (the articles
// of a catalogue), so the key list is shared: an object keeps its values and
// a pointer to a list whose first Count keys are its own. Adding the key the
// shared list already has next costs nothing; any other key gives the object
// a list of its own.
#include "platform/variant.h"

#include <QHash>
#include <memory>
#include <utility>
#include <vector>

class Diccionario : public VbObject {
public:
    struct Claves {
        std::vector<QString> nombres;
        // Long lists also get an index by folded key; short ones are scanned.
        std::unique_ptr<QHash<QString, int>> indice;
    };

    Diccionario() = default;
    // Starts from the keys of a similar object, as a guess of those to come.
    explicit Diccionario(std::shared_ptr<Claves> molde);

    std::int32_t Count() const { return std::int32_t(valores_.size()); }
    bool Exists(const QString& clave) const { return busca(clave) >= 0; }
    // The value under the key; Empty when the key is absent.
    const Variant& Item(const QString& clave) const;
    // Error 457 when the key is already present; nothing changes then.
    void Add(const QString& clave, Variant v);
    // Replaces the value of a present key, adds the key otherwise.
    void Asigna(const QString& clave, Variant v);

    // Entries in insertion order, as (key, value) pairs.
    class iterator {
    public:
        iterator(const Diccionario* d, std::size_t i) : d_(d), i_(i) {}
        std::pair<const QString&, const Variant&> operator*() const { return {d_->claves_->nombres[i_], d_->valores_[i_]}; }
        iterator& operator++()
        {
            ++i_;
            return *this;
        }
        bool operator!=(const iterator& o) const { return i_ != o.i_; }

    private:
        const Diccionario* d_;
        std::size_t i_;
    };
    iterator begin() const { return {this, 0}; }
    iterator end() const { return {this, valores_.size()}; }

    const std::shared_ptr<Claves>& molde() const { return claves_; }
    // Gives back the room reserved for further values once the object is complete.
    void ajusta() { valores_.shrink_to_fit(); }

private:
    int busca(const QString& clave) const;

    std::shared_ptr<Claves> claves_;
    std::vector<Variant> valores_;
};
