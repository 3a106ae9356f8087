#pragma once

#include "runtime/TObject.h"

#include <cstdint>
#include <string>

// One GNU gettext binary catalogue, held whole in memory. Every offset and
// length in it is checked when it is loaded, so a lookup never reads outside
// the data; a truncated or corrupt file raises EGGIOError naming the file.
class TMoFile : public TObject {
public:
    // Reads size bytes of the file from offset; a size of 0 means the whole
    // file. File errors raise the file stream's exceptions.
    TMoFile(const std::string& fileName, std::int64_t offset, std::int64_t size);
    // A catalogue already in memory; fileName only names it in messages.
    TMoFile(const std::string& fileName, std::string bytes);

    std::string ClassName() const override { return "TMoFile"; }

    // The translation of msgid, or msgid itself when it is not in the catalogue.
    std::string Lookup(const std::string& msgid, bool& found) const;

    std::uint32_t Count() const { return count_; }
    bool LittleEndian() const { return littleEndian_; }

    int Users = 0;

private:
    struct TEntry {
        std::uint32_t length;
        std::uint32_t offset;
    };

    void Parse();
    std::uint32_t ReadWord(std::uint64_t position) const;
    TEntry ReadEntry(std::uint32_t table, std::uint32_t index) const;
    void CheckTable(std::uint32_t table) const;
    int CompareWithEntry(const std::string& msgid, std::uint32_t index) const;
    std::string EntryText(std::uint32_t table, std::uint32_t index) const;
    [[noreturn]] void Corrupt() const;

    std::string fileName_;
    std::string data_;
    bool littleEndian_ = true;
    std::uint32_t count_ = 0;
    std::uint32_t msgidTable_ = 0;
    std::uint32_t translationTable_ = 0;
    std::uint32_t startIndex_ = 0;
    std::uint32_t startStep_ = 0;
};
