#pragma once

#include "runtime/TStream.h"

#include <string>

// How a file stream opens its file.
enum TFileMode { fmCreate, fmOpenRead, fmOpenWrite, fmOpenReadWrite };

class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A stream over a file on disk. fmCreate creates or empties the file.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, TFileMode mode);
    ~TFileStream() override;

    std::string ClassName() const override { return "TFileStream"; }
    const std::string& FileName() const { return fileName_; }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

private:
    std::string fileName_;
    int fd_ = -1;
};
