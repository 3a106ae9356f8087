#include "app/AddressKind.h"

#include "app/DirectLink.h"
#include "app/Site.h"
#include "app/VideoAddress.h"
#include "runtime/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace {

// The site's own rule for a watch page.
bool IsWatchPageAddress(const std::function<std::string()>& readText)
{
    auto holds = [&readText](const std::string& part) { return readText().find(part) != std::string::npos; };
    return holds(Site::Domain()) && (holds("v=") || holds("key="));
}

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
}

bool IsHostLabel(std::string_view label)
{
    return !label.empty() && std::all_of(label.begin(), label.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
    });
}

bool IsNumber(std::string_view label)
{
    return std::all_of(label.begin(), label.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// A name with a dot whose last label holds a letter ("www.example.com"), or
// four numbers ("192.168.1.20"), with an optional port: "1.5" is a number,
// not a host.
bool LooksLikeHost(std::string_view host)
{
    if (std::size_t colon = host.find(':'); colon != std::string_view::npos) {
        std::string_view port = host.substr(colon + 1);
        if (port.empty() || port.size() > 5 || !IsNumber(port))
            return false;
        host = host.substr(0, colon);
    }
    std::vector<std::string> labels = AsciiText::SplitList(host, ".");
    if (labels.size() < 2 || host.front() == '.' || host.back() == '.' || host.find("..") != std::string_view::npos)
        return false;
    if (!std::all_of(labels.begin(), labels.end(), [](const std::string& label) { return IsHostLabel(label); }))
        return false;
    const bool named = !IsNumber(labels.back());
    return named || (labels.size() == 4 && std::all_of(labels.begin(), labels.end(), [](const std::string& label) {
                         return IsNumber(label);
                     }));
}

bool LooksLikeAddressWithoutScheme(const std::string& text)
{
    if (std::any_of(text.begin(), text.end(), IsBlankOrControl))
        return false;
    const std::size_t slash = text.find('/');
    return slash != std::string::npos && slash > 0 && LooksLikeHost(std::string_view(text).substr(0, slash));
}

} // namespace

// Each test reads the text afresh.
TAddressKind AddressKind(const std::function<std::string()>& readText)
{
    if (IsWatchPageAddress(readText))
        return akWatchPage;
    if (std::optional<TWebAddress> address = TWebAddress::ParseWeb(readText()); address && IsDirectLink(*address))
        return akDirectLink;
    if (TWebAddress::ParseWeb(readText()))
        return akWebPage;
    return akNone;
}

TVideoAddress ReadVideoAddress(const std::string& text)
{
    std::optional<TWebAddress> address = TWebAddress::ParseWeb(text);
    if (IsWatchPageAddress([&text] { return text; }))
        return {akWatchPage, text, address};
    if (!address)
        return {akNone, text, std::nullopt};
    return {IsDirectLink(*address) ? akDirectLink : akWebPage, text, address};
}

bool TakenFromClipboard(TAddressKind kind)
{
    return kind == akWatchPage || kind == akDirectLink;
}

TAddressKind AddressKind(const std::string& text)
{
    return ReadVideoAddress(text).Kind;
}

std::string CompletedAddress(const std::string& text)
{
    if (AddressKind(text) == akNone && LooksLikeAddressWithoutScheme(text))
        return "https://" + text;
    return text;
}

std::string WhyNotAnAddress(const std::string& text)
{
    if (text.empty() || AddressKind(CompletedAddress(text)) != akNone)
        return {};
    if (std::any_of(text.begin(), text.end(), IsBlankOrControl))
        return "An address holds no blanks or line breaks.";
    const std::size_t scheme = text.find("://");
    if (scheme != std::string::npos && scheme > 0 && !AsciiText::StartsWithText(text, "http://") &&
        !AsciiText::StartsWithText(text, "https://"))
        return "Only http and https addresses can be saved.";
    return "This is not an address: paste the address of a page with a video, or of a video file.";
}
