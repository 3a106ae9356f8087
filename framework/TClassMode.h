#pragma once

#include "framework/TTranslatable.h"

#include <functional>
#include <set>
#include <string>

// Letter case does not matter in property names.
struct TCaseInsensitiveLess {
    bool operator()(const std::string& left, const std::string& right) const;
};
using TPropertyNames = std::set<std::string, TCaseInsensitiveLess>;

// How the window translation treats objects of one class and its
// descendants: properties to leave alone, or, with no properties listed,
// the whole object (handed to the handler if there is one).
struct TClassMode {
    TClassRef Class;
    TPropertyNames PropertiesToIgnore;
    std::function<void(const TTranslatable&)> Handler;

    bool IsWholeClass() const { return PropertiesToIgnore.empty(); }
};
