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
inline std::shared_mutex lock;
inline TResourceStringLoader loader;
} // namespace resource_string_detail

// An empty loader undoes the redirection.
inline void SetResourceStringLoader(TResourceStringLoader loader)
{
    std::unique_lock guard(resource_string_detail::lock);
    resource_string_detail::loader = std::move(loader);
}

inline std::string LoadResString(const std::string& text)
{
    std::shared_lock guard(resource_string_detail::lock);
    return resource_string_detail::loader ? resource_string_detail::loader(text) : text;
}
