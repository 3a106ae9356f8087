// Catalogue loading and lookup on arbitrary bytes: a catalogue is either
// refused with EGGIOError or answers every lookup from inside its data.

#include "i18n/EGnuGettext.h"
#include "i18n/TMoFile.h"
#include "i18n/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        TMoFile mo("fuzz.mo", bytes);
        // Look up slices of the input itself, so that present msgids turn up.
        bool found = false;
        for (std::size_t at = 0; at < size && at < 512; at += 7) {
            std::string msgid = bytes.substr(at, 1 + at % 13);
            std::string translation = mo.Lookup(msgid, found);
            if (!found && translation != msgid)
                __builtin_trap();
            try {
                Utf8Decode(translation);
            } catch (const Exception&) {}
        }
        mo.Lookup("", found);
    } catch (const EGGIOError&) {}
    return 0;
}
