// Ownership of components: an owner keeps its components in creation order and
// destroys them, last made first, when it goes.
#include "framework/Component.h"

#include <algorithm>

namespace fw {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_)
        owner_->Insert(this);
}

TComponent::~TComponent() {
    // Owned components are destroyed last-created first, as they were built on each other.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        delete c; // removes itself from components_
    }
    if (owner_)
        owner_->Remove(this);
}

void TComponent::Remove(TComponent* c) {
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* c : components_)
        if (c->Name() == name)
            return c;
    return nullptr;
}

} // namespace fw
