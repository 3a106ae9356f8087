#include "i18n/MessageBoxHook.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex hookLock;
TMessageBoxHook hook;

} // namespace

void SetMessageBoxHook(TMessageBoxHook newHook)
{
    std::lock_guard guard(hookLock);
    hook = std::move(newHook);
}

void ShowMessageBox(const std::string& text, const std::string& caption)
{
    TMessageBoxHook current;
    {
        std::lock_guard guard(hookLock);
        current = hook;
    }
    if (current)
        current(text, caption);
    else
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}
