#include "runtime/TComponent.h"
#include "runtime/Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the order in which components die.
struct Tracked : TComponent {
    Tracked(TComponent* owner, std::string name, std::vector<std::string>& log) : TComponent(owner), log_(log)
    {
        SetName(std::move(name));
    }
    ~Tracked() override { log_.push_back(Name()); }
    std::vector<std::string>& log_;
};

} // namespace

TEST(TComponent, OwnerFreesOwnedComponentsLastCreatedFirst)
{
    std::vector<std::string> died;
    auto* window = new Tracked(nullptr, "window", died);
    auto* panel = new Tracked(window, "panel", died);
    new Tracked(panel, "button", died);
    new Tracked(window, "dialog", died);

    delete window;

    // Each destructor body runs before its owned components are freed.
    EXPECT_EQ(died, (std::vector<std::string>{"window", "dialog", "panel", "button"}));
}

TEST(TComponent, FreeingAnOwnedComponentLeavesItsOwner)
{
    std::vector<std::string> died;
    Tracked window(nullptr, "window", died);
    auto* panel = new Tracked(&window, "panel", died);
    ASSERT_EQ(window.ComponentCount(), 1u);

    delete panel;

    EXPECT_EQ(window.ComponentCount(), 0u);
    EXPECT_EQ(window.FindComponent("panel"), nullptr);
}

TEST(TComponent, OwnershipCanBeHandedOver)
{
    std::vector<std::string> died;
    Tracked first(nullptr, "first", died);
    Tracked second(nullptr, "second", died);
    auto* child = new Tracked(&first, "child", died);

    second.InsertComponent(child);

    EXPECT_EQ(first.ComponentCount(), 0u);
    EXPECT_EQ(second.FindComponent("child"), child);
    EXPECT_EQ(child->Owner(), &second);
}

TEST(TComponent, IndexOutOfRangeRaises)
{
    TComponent owner;
    EXPECT_THROW(owner.Components(0), EListError);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
}
