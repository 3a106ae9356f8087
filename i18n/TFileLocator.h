#pragma once

#include "i18n/TEmbeddedFileInfo.h"
#include "i18n/TMoFile.h"
#include "runtime/TObject.h"

#include <map>
#include <memory>
#include <shared_mutex>
#include <string>

// Finds catalogues either on disk or appended to the executable, and shares
// the loaded ones between the domains that open the same file.
class TFileLocator : public TObject {
public:
    // executableName: the program file whose appended files are served.
    explicit TFileLocator(std::string executableName);
    ~TFileLocator() override;

    std::string ClassName() const override { return "TFileLocator"; }

    const std::string& BaseDirectory() const { return baseDirectory_; }

    // Reads the appended-file directory that starts at directoryOffset in the
    // executable (0: nothing is appended).
    void Analyze(std::uint64_t directoryOffset);

    // Whether path, below the base directory, names an appended file.
    bool FileExists(const std::string& path) const;
    bool IsAppended(const std::string& path) const;

    // Opens the catalogue at path (appended or on disk); the same file at the
    // same offset is loaded once and shared. Every open needs a release.
    TMoFile* GetMoFile(const std::string& path);
    void ReleaseMoFile(TMoFile* moFile);

private:
    const TEmbeddedFileInfo* FindAppended(const std::string& path) const;

    std::string executableName_;
    std::string baseDirectory_;
    std::map<std::string, TEmbeddedFileInfo> appended_; // keyed by upper-case name
    std::map<std::string, std::unique_ptr<TMoFile>> cache_;
    std::shared_mutex cacheLock_;
};
