#include "stream/EStreamManifest.h"

#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"

TManifestPlace TManifestPlace::Line(std::size_t number)
{
    return {"line %s", {std::to_string(number)}};
}

TManifestPlace TManifestPlace::Element(std::string name)
{
    return {"%s", {std::move(name)}};
}

TManifestPlace TManifestPlace::ElementOf(std::string part, std::string whole)
{
    return {"%s of %s", {std::move(part), std::move(whole)}};
}

EStreamManifest::EStreamManifest(TManifestKind kind, TManifestPlace place, const char* reason,
                                 std::vector<std::string> arguments)
    : Exception(""), kind_(kind), place_(std::move(place)), reason_(reason), arguments_(std::move(arguments))
{
    Reword();
}

void EStreamManifest::Reword()
{
    std::string message =
        LoadResString(kind_ == mkPlaylist ? "The playlist cannot be read" : "The manifest cannot be read");
    if (place_.Wording)
        message += ": " + AsciiText::FillPlaceholders(LoadResString(place_.Wording), place_.Arguments);
    message += ": " + AsciiText::FillPlaceholders(LoadResString(reason_), arguments_);
    SetMessage(message);
}

std::string Quoted(std::string_view value)
{
    constexpr std::size_t kLongest = 80;
    return value.size() <= kLongest ? std::string(value) : std::string(value.substr(0, kLongest)) + "...";
}
