#include "i18n/MessageBoxHook.h"

#include <cstdio>
#include <mutex>

namespace {

// Function-local, so that it exists whenever it is first used.
struct THookSlot {
    std::mutex lock;
    TMessageBoxHook hook;
};

THookSlot& Slot()
{
    static THookSlot slot;
    return slot;
}

} // namespace

void SetMessageBoxHook(TMessageBoxHook hook)
{
    std::lock_guard guard(Slot().lock);
    Slot().hook = std::move(hook);
}

void ShowEngineMessageBox(const std::string& text, const std::string& caption)
{
    TMessageBoxHook current;
    {
        std::lock_guard guard(Slot().lock);
        current = Slot().hook;
    }
    if (current)
        current(text, caption);
    else
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}
