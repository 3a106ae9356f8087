#include "stream/HlsLine.h"

#include "http/TWebAddress.h"
#include "page/ReferenceResolution.h"
#include "stream/EStreamManifest.h"

std::string_view THlsLine::TagName() const
{
    return Text.substr(1, Text.find(':') - 1);
}

std::string_view THlsLine::TagValue() const
{
    const std::size_t colon = Text.find(':');
    return colon == std::string_view::npos ? std::string_view() : Text.substr(colon + 1);
}

std::string THlsLine::AddressOf(std::string_view reference, const std::string& playlist) const
{
    std::string address = ResolveReference(playlist, reference);
    if (!TWebAddress::ParseWeb(address))
        Fail("%s is not an http or https address", {Quoted(address)});
    return address;
}

void THlsLine::Fail(const char* reason, std::vector<std::string> arguments) const
{
    throw EStreamManifest(mkPlaylist, TManifestPlace::Line(Number), reason, std::move(arguments));
}

void THlsLine::FailValue(std::string_view name, std::string_view value) const
{
    Fail("%s has an invalid value (%s)", {std::string(name), Quoted(value)});
}
