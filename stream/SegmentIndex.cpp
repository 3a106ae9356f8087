#include "stream/SegmentIndex.h"

namespace {

// Big-endian fields read one after another, within the bytes given.
class TFieldReader {
public:
    TFieldReader(std::string_view bytes, const TManifestPlace& place) : bytes_(bytes), place_(place) {}

    std::uint64_t Read(std::size_t size)
    {
        if (bytes_.size() < size)
            throw EStreamManifest(mkManifest, place_, "it is cut short");
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value = value << 8 | static_cast<unsigned char>(bytes_[i]);
        bytes_.remove_prefix(size);
        return value;
    }

    std::size_t Left() const { return bytes_.size(); }

private:
    std::string_view bytes_;
    const TManifestPlace& place_;
};

[[noreturn]] void FailValue(const TManifestPlace& place, const char* field, std::uint64_t value)
{
    throw EStreamManifest(mkManifest, place, "%s has an invalid value (%s)", {field, std::to_string(value)});
}

// The content of a sidx box, after its header.
TSegmentIndex ReadBox(std::string_view content, const TManifestPlace& place)
{
    TFieldReader fields(content, place);
    const std::uint64_t version = fields.Read(1);
    if (version > 1)
        FailValue(place, "version", version);
    fields.Read(3 + 4); // flags, reference_ID
    TSegmentIndex index;
    index.Timescale = fields.Read(4);
    if (index.Timescale == 0)
        FailValue(place, "timescale", 0);
    const std::size_t wide = version == 0 ? 4 : 8;
    fields.Read(wide); // earliest_presentation_time
    index.FirstOffset = fields.Read(wide);
    fields.Read(2); // reserved
    const std::uint64_t count = fields.Read(2);
    if (fields.Left() < count * 12)
        throw EStreamManifest(mkManifest, place, "it is cut short");
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t reference = fields.Read(4);
        if (reference >> 31)
            throw EStreamManifest(mkManifest, place, "%s is not supported", {"reference_type 1"});
        index.References.push_back({reference & 0x7fffffff, fields.Read(4)});
        fields.Read(4); // starts_with_SAP, SAP_type, SAP_delta_time
    }
    return index;
}

} // namespace

TSegmentIndex ReadSegmentIndex(std::string_view bytes, const TManifestPlace& place)
{
    std::uint64_t start = 0;
    while (bytes.size() - start >= 8) {
        TFieldReader header(bytes.substr(start), place);
        std::uint64_t size = header.Read(4);
        const std::uint64_t type = header.Read(4);
        std::uint64_t headerSize = 8;
        if (size == 1) {
            size = header.Read(8);
            headerSize = 16;
        } else if (size == 0) {
            size = bytes.size() - start; // up to the end
        }
        if (size < headerSize || size > bytes.size() - start)
            throw EStreamManifest(mkManifest, place, "it is cut short");
        if (type == 0x73696478) { // "sidx"
            TSegmentIndex index = ReadBox(bytes.substr(start + headerSize, size - headerSize), place);
            index.BoxEnd = start + size;
            return index;
        }
        start += size;
    }
    throw EStreamManifest(mkManifest, place, "%s is missing", {"sidx"});
}
