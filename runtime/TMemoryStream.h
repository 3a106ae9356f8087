#pragma once

#include "runtime/TStream.h"

#include <string>

// A stream held in memory. Its bytes are one std::string, so the content
// can be handed out as text without a copy.
class TMemoryStream : public TStream {
public:
    std::string ClassName() const override { return "TMemoryStream"; }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

    const char* Memory() const { return data_.data(); }
    const std::string& Bytes() const { return data_; }
    void Clear();

    void SaveToStream(TStream& target) const;
    void SaveToFile(const std::string& fileName) const;
    void LoadFromFile(const std::string& fileName);

private:
    std::string data_;
    std::int64_t position_ = 0;
};
