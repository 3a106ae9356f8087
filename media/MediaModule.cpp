// JoinMedia in the program: the joiner of the media module, loaded once, or
// the one a program put in its place.
#include "media/EMediaJoin.h"
#include "media/MediaJoin.h"
#include "media/MediaModuleEntry.h"

#include "runtime/Exception.h"

#include <dlfcn.h>

#include <atomic>
#include <filesystem>
#include <system_error>

namespace {

std::atomic<TMediaJoiner> inProcessJoiner{nullptr};

struct TLoadedModule {
    TModuleJoin Join = nullptr;
    std::string Failure; // why it could not be loaded
};

TLoadedModule Load()
{
    // The module's folder as seen from the program's own: the build tree
    // and an installation lay them out alike. Never a path relative to the
    // current folder, which could hold anything.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !program.is_absolute())
        return {nullptr, "the program's own folder is unknown"};
    const std::filesystem::path path = program.parent_path() / SKERROW_MODULE_FOLDER / kModuleFileName;
    // Loaded for good: the wordings of its failures point into it.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return {nullptr, ::dlerror()};
    auto join = reinterpret_cast<TModuleJoin>(::dlsym(module, kModuleJoinName));
    if (!join)
        return {nullptr, path.string() + ": " + kModuleJoinName + " is missing"};
    return {join, {}};
}

const TLoadedModule& Module()
{
    static const TLoadedModule module = Load();
    return module;
}

} // namespace

void UseMediaJoiner(TMediaJoiner joiner)
{
    inProcessJoiner = joiner;
}

TJoinOutcome JoinMedia(const TJoinRequest& request)
{
    if (TMediaJoiner joiner = inProcessJoiner)
        return joiner(request);
    const TLoadedModule& module = Module();
    if (!module.Join)
        throw EMediaJoin("The part of Skerrow that joins the pieces of a stream cannot be loaded (%s).",
                         {module.Failure});
    TJoinOutcome outcome;
    TModuleFailure failure;
    switch (module.Join(&request, &outcome, &failure)) {
    case moJoined: return outcome;
    case moJoinFailed: throw EMediaJoin(failure.Wording, std::move(failure.Arguments));
    case moCancelled: throw EAbort();
    case moOtherFailure: break;
    }
    throw EMediaJoin("The pieces could not be joined (%s).", {failure.Message});
}
