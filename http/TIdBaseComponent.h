#pragma once

#include "runtime/TComponent.h"

// Base of the HTTP client's components.
class TIdBaseComponent : public TComponent {
public:
    using TComponent::TComponent;

    std::string ClassName() const override { return "TIdBaseComponent"; }
};
