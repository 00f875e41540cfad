// The classes a stored layout may name: how to make a component of each and how to set
// its stored properties. The framework's own controls are known from the start; other
// libraries register theirs before a layout that names them is read.
#pragma once

#include "framework/LayoutReader.h"

#include <functional>
#include <string>

namespace fw {

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

struct TComponentClass {
    TComponentFactory make;
    TPropertySetter set;
};

void RegisterComponentClass(const std::string& className, TComponentFactory make,
                            TPropertySetter set);

// Registers a class whose own SetProperty member reads its stored properties.
template <typename T> void RegisterComponentClass(const std::string& className) {
    RegisterComponentClass(
        className, [](TComponent* owner) -> TComponent* { return new T(owner); },
        [](TComponent& c, const std::string& name, const TLayoutValue& v,
           const TEventTable& events) { return static_cast<T&>(c).SetProperty(name, v, events); });
}

// The class of that name; raises "Class %s not found" when none is registered.
const TComponentClass& FindComponentClass(const std::string& className);

} // namespace fw
