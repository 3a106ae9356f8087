#include "i18n/TFileLocator.h"

#include "i18n/AppendedFiles.h"
#include "runtime/AsciiText.h"

#include <algorithm>
#include <mutex>
#include <sys/stat.h>

namespace {

std::string DirectoryOf(const std::string& fileName)
{
    std::size_t slash = fileName.rfind('/');
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

// Appended names use backslashes, as the directory stores them.
std::string AppendedKey(std::string name)
{
    std::replace(name.begin(), name.end(), '/', '\\');
    return AsciiText::UpperCase(name);
}

bool RegularFileExists(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

TFileLocator::TFileLocator(std::string executableName)
    : executableName_(std::move(executableName)), baseDirectory_(DirectoryOf(executableName_))
{}

TFileLocator::~TFileLocator() = default;

void TFileLocator::Analyze(std::uint64_t directoryOffset)
{
    for (auto& [name, info] : ScanAppendedFiles(executableName_, directoryOffset))
        appended_.emplace(AppendedKey(name), info);
}

const TEmbeddedFileInfo* TFileLocator::FindAppended(const std::string& path) const
{
    if (path.size() < baseDirectory_.size())
        return nullptr;
    if (AsciiText::UpperCase(path.substr(0, baseDirectory_.size())) != AsciiText::UpperCase(baseDirectory_))
        return nullptr;
    auto it = appended_.find(AppendedKey(path.substr(baseDirectory_.size())));
    return it == appended_.end() ? nullptr : &it->second;
}

bool TFileLocator::IsAppended(const std::string& path) const
{
    return FindAppended(path) != nullptr;
}

bool TFileLocator::FileExists(const std::string& path) const
{
    return IsAppended(path) || RegularFileExists(path);
}

TMoFile* TFileLocator::GetMoFile(const std::string& path)
{
    std::string realName = path;
    TEmbeddedFileInfo info;
    if (const TEmbeddedFileInfo* appended = FindAppended(path)) {
        realName = executableName_;
        info = *appended;
    }
    std::string key = AsciiText::UpperCase(realName) + '\0' + std::to_string(info.Offset);
    std::unique_lock lock(cacheLock_);
    auto it = cache_.find(key);
    if (it == cache_.end()) {
        // An appended file of size 0 is empty, not the whole executable.
        auto moFile = info.Size == 0 && info.Offset != 0 ? std::make_unique<TMoFile>(realName, std::string())
                                                         : std::make_unique<TMoFile>(realName, info.Offset, info.Size);
        it = cache_.emplace(key, std::move(moFile)).first;
    }
    ++it->second->Users;
    return it->second.get();
}

void TFileLocator::ReleaseMoFile(TMoFile* moFile)
{
    std::unique_lock lock(cacheLock_);
    auto it = std::find_if(cache_.begin(), cache_.end(),
                           [moFile](const auto& entry) { return entry.second.get() == moFile; });
    if (it == cache_.end())
        return;
    if (--it->second->Users <= 0)
        cache_.erase(it);
}
