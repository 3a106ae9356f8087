#pragma once

#include "runtime/Exception.h"
#include "runtime/TObject.h"

#include <cstdint>
#include <string>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A sequence of bytes with a position. Sizes and positions are 64-bit.
class TStream : public TObject {
public:
    std::string ClassName() const override { return "TStream"; }

    // Reads or writes at most count bytes at the position and moves it on;
    // returns how many were moved.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Returns the new position.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    // Cuts or extends the stream; the position stays unless it lies beyond.
    virtual void SetSize(std::int64_t size) = 0;

    virtual std::int64_t Size();
    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soBeginning); }

    // Whole transfers: they raise EReadError / EWriteError when short.
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    void WriteString(const std::string& bytes) { WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size())); }

    // Copies count bytes from source's position (0: the whole source from its
    // beginning); returns the count copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};
