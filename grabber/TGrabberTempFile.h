#pragma once

#include "runtime/TStream.h"

#include <string>

// The content of a download in file mode: a new file beside the target,
// written through a buffer. Commit renames it over the target in one step;
// otherwise the destructor removes it, so a failed or stopped run leaves
// the target as it was. What a killed run left beside the target is removed
// when the next one begins (PartFiles.h).
class TGrabberTempFile : public TStream {
public:
    // Raises EFCreateError when no file can be created beside target.
    explicit TGrabberTempFile(const std::string& target);
    ~TGrabberTempFile() override;

    std::string ClassName() const override { return "TGrabberTempFile"; }
    const std::string& FileName() const { return fileName_; }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    // Raises EWriteError with the system's reason when the disk refuses.
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

    // Writes what is buffered and renames the file to target; raises
    // EWriteError (and removes the file) when that fails.
    void Commit(const std::string& target);

private:
    void Flush();
    void Discard();

    std::string fileName_;
    int fd_ = -1;
    std::string pending_;
};
