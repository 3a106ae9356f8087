#pragma once

#include "runtime/TObject.h"

#include <functional>
#include <string>
#include <vector>

// A published text property, as the window translation walks it: a name and
// the two accessors. Components that are not widgets declare theirs here.
struct TPublishedText {
    std::string Name;
    std::function<std::string()> Read;
    std::function<void(const std::string&)> Write;
};

// A component has an owner and a name; the owner frees the components it
// owns, the last created first, when it is itself destroyed.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;

    std::string ClassName() const override { return "TComponent"; }

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    TComponent* Owner() const { return owner_; }
    std::size_t ComponentCount() const { return components_.size(); }
    TComponent* Components(std::size_t index) const;
    TComponent* FindComponent(const std::string& name) const;

    // Ownership can be handed over after construction; a null owner leaves the
    // component to whoever created it.
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    virtual std::vector<TPublishedText> PublishedTexts() { return {}; }

private:
    std::string name_;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
};
