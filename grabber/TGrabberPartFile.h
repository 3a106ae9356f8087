#pragma once

#include "runtime/TFileStream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The part is being written by another run.
class EPartInUse : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// The disk (or the user's quota) has no room for the part.
class EDiskFull : public EWriteError {
public:
    using EWriteError::EWriteError;
};

// What a later run needs to continue a part: the address it came from, the
// server's validator of that content (an ETag or a Last-Modified date) and
// the whole length; a kind of download that stores its content in pieces
// adds a line for each piece stored (Extra, in the order written).
struct TPartRecord {
    std::string Address;
    std::string Validator;
    std::int64_t Length = 0;
    std::vector<std::string> Extra;

    bool operator==(const TPartRecord&) const = default;
};

// The content of a download in file mode: "<target>.part" beside the target,
// written through a buffer and locked while a run holds it, so that a second
// run to the same target is refused instead of writing into it. Commit
// renames it over the target in one step. Otherwise the destructor removes
// it, unless the run kept it for a later one to continue; its record then
// stays beside it in "<target>.part.info".
class TGrabberPartFile : public TStream {
public:
    // Opens the part of target, creating it, and locks it. Raises EPartInUse
    // when another run holds it, EFCreateError when it cannot be had.
    explicit TGrabberPartFile(const std::string& target);
    ~TGrabberPartFile() override;

    // "<target>.part" and "<target>.part.info"; a target whose name leaves
    // no room for them within a file name's 255 bytes gives names shortened
    // with a hash of the whole name.
    static std::string PartName(const std::string& target) { return PartStem(target) + ".part"; }
    static std::string RecordName(const std::string& target) { return PartStem(target) + ".part.info"; }
    // Where a file made from the part (the pieces of a stream, joined) is
    // written before it replaces the target.
    static std::string MadeName(const std::string& target) { return PartStem(target) + ".part.made"; }
    // Removes the part of target and its record, unless a run holds them;
    // returns whether a part went.
    static bool Remove(const std::string& target);

    std::string ClassName() const override { return "TGrabberPartFile"; }
    const std::string& Target() const { return target_; }
    // How the part may be continued; none when nothing says so.
    const std::optional<TPartRecord>& Record() const { return record_; }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    // Raises EDiskFull or EWriteError with the system's reason when the disk
    // refuses.
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    // Writes at offset, whatever the position (a download in ranges writes
    // each at its place); raises as Write does.
    void WriteAt(std::int64_t offset, const void* buffer, std::int64_t count);
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;
    std::int64_t Size() override;

    // Empties the part and forgets its record.
    void StartOver();
    // Writes the record down before content that it describes arrives.
    void Remember(const TPartRecord& record);
    // Adds a line to the record, once what is buffered is written: the part
    // holds what the line describes before the line says so.
    void AppendToRecord(const std::string& line);
    // Lets the part outlive the run when it has a record and holds bytes;
    // returns whether it will. What is buffered is written first.
    bool Keep();
    // Writes what is buffered and renames the part to target; raises
    // EWriteError (and removes the part) when that fails, or when something
    // else than a file is at the target (see runtime/ReplaceableFile.h).
    void Commit(const std::string& target);
    // Renames a file made from the part (MadeName) to target instead, and
    // removes the part and its record; raises EWriteError (and removes them
    // and the made file) when that fails.
    void CommitMade(const std::string& target);

private:
    static std::string PartStem(const std::string& target);
    void Open();
    // Why the part cannot be had, with the system's text for error.
    EFCreateError CreateError(int error) const;
    void Flush();
    void Discard();
    [[noreturn]] void RaiseWriteError(const std::string& name) const;

    std::string target_;
    std::string fileName_;
    int fd_ = -1;
    std::string pending_;
    std::optional<TPartRecord> record_;
    bool keep_ = false;
};
