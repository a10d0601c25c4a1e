#pragma once
// A JSON list: values in reading order, indexed from 1 as the platform's
// collections are.
#include "platform/variant.h"

#include <vector>

class Lista : public VbObject {
public:
    std::int32_t Count() const { return std::int32_t(valores_.size()); }
    // Error 9 outside 1..Count.
    const Variant& Item(std::int32_t i) const;
    void Add(Variant v) { valores_.push_back(std::move(v)); }

    auto begin() const { return valores_.begin(); }
    auto end() const { return valores_.end(); }
    // Gives back the room reserved for further values once the list is complete.
    void ajusta() { valores_.shrink_to_fit(); }

private:
    std::vector<Variant> valores_;
};
