#pragma once

#include <functional>
#include <mutex>
#include <shared_mutex>
#include <string>

// The fixed English messages of every subsystem pass through LoadResString,
// so that they show in the user's language once the translation engine,
// which sits above this layer, has put its loader in front:
//
//     throw EIdReadTimeout(LoadResString("Read Timeout"));
//
// Without a loader the text comes back as it is.
using TResourceStringLoader = std::function<std::string(const std::string&)>;

namespace resource_string_detail {
// Function-local, so that a loader may be put in place from a static
// initialiser of another file.
struct TSlot {
    std::shared_mutex lock;
    TResourceStringLoader loader;
};
inline TSlot& Slot()
{
    static TSlot slot;
    return slot;
}
} // namespace resource_string_detail

// An empty loader undoes the redirection.
inline void SetResourceStringLoader(TResourceStringLoader loader)
{
    auto& slot = resource_string_detail::Slot();
    std::unique_lock guard(slot.lock);
    slot.loader = std::move(loader);
}

inline std::string LoadResString(const std::string& text)
{
    auto& slot = resource_string_detail::Slot();
    std::shared_lock guard(slot.lock);
    return slot.loader ? slot.loader(text) : text;
}
