#include "runtime/TComponent.h"

#include "runtime/Exception.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner)
{
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    // NOTE: a child removes itself from components_ while it is destroyed.
    while (!components_.empty())
        delete components_.back();
    if (owner_)
        owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(std::size_t index) const
{
    if (index >= components_.size())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return components_[index];
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* component : components_)
        if (component->Name() == name)
            return component;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component)
{
    if (component->owner_)
        component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component)
{
    auto found = std::find(components_.begin(), components_.end(), component);
    if (found == components_.end())
        return;
    components_.erase(found);
    component->owner_ = nullptr;
}
