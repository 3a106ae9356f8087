#include "http/TIdURI.h"

#include "runtime/AsciiText.h"

#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string_view>

namespace {

const std::string_view kSchemeSeparator = "://";

// The text after the first occurrence of separator; empty when there is none.
std::string After(const std::string& text, std::string::size_type position, std::size_t separatorLength)
{
    if (position == std::string::npos)
        return {};
    return text.substr(position + separatorLength);
}

std::string Before(const std::string& text, std::string::size_type position)
{
    return position == std::string::npos ? text : text.substr(0, position);
}

// An escape is read as a hexadecimal number with "$" put in front, after
// trimming blanks and control characters; the "$" shields any leading ones,
// so only trailing ones are cut. No value when the text is not a number.
std::optional<unsigned char> EscapeValue(std::string_view escape)
{
    while (!escape.empty() && static_cast<unsigned char>(escape.back()) <= ' ')
        escape.remove_suffix(1);
    std::optional<std::uint64_t> value = AsciiText::ParseUnsigned(escape, 16);
    if (!value)
        return std::nullopt;
    return static_cast<unsigned char>(*value);
}

} // namespace

TIdURI::TIdURI(const std::string& address)
{
    if (!address.empty())
        SetAddressText(address);
}

bool TIdURI::SystemLeadByte(unsigned char byte)
{
    if (byte < 0x80 || MB_CUR_MAX != 2)
        return false;
    std::mbstate_t state{};
    char c = static_cast<char>(byte);
    return std::mbrlen(&c, 1, &state) == static_cast<std::size_t>(-2);
}

void TIdURI::NormalizeSlashes(std::string& text, TIdLeadByteTest isLeadByte)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(text[i])))
            ++i; // the trail byte belongs to the same character
        else if (text[i] == '\\')
            text[i] = '/';
    }
}

void TIdURI::UnifySlashes(std::string& text)
{
    for (char& c : text)
        if (c == '\\')
            c = '/';
}

void TIdURI::Clear()
{
    scheme_.clear();
    username_.clear();
    password_.clear();
    host_.clear();
    port_.clear();
    directory_.clear();
    documentName_.clear();
    query_.clear();
    fragment_.clear();
    ipVersion_ = Id_IPv4;
}

void TIdURI::SetAddressText(const std::string& address)
{
    std::string text = address;
    NormalizeSlashes(text);
    addressText_ = text;
    Clear();

    auto schemeEnd = text.find(kSchemeSeparator);
    if (schemeEnd != std::string::npos) {
        scheme_ = text.substr(0, schemeEnd);
        text.erase(0, schemeEnd + kSchemeSeparator.size());
        auto slash = text.find('/');
        ParseAuthority(Before(text, slash));
        ParsePath(After(text, slash, 1), true);
    } else {
        ParsePath(text, false);
    }
    if (fragment_.empty())
        SplitFragmentFromQuery();
}

void TIdURI::ParseAuthority(std::string authority)
{
    auto at = authority.find('@');
    if (at != std::string::npos) {
        std::string user = authority.substr(0, at);
        authority.erase(0, at + 1);
        auto colon = user.find(':');
        username_ = Before(user, colon);
        password_ = username_.empty() ? std::string() : After(user, colon, 1);
    }

    auto open = authority.find('[');
    auto close = authority.find(']');
    if (open != std::string::npos && close != std::string::npos && close > open) {
        host_ = authority.substr(open + 1, close - open - 1);
        port_ = After(authority, authority.find(':', close + 1), 1);
        ipVersion_ = Id_IPv6;
    } else {
        auto colon = authority.find(':');
        host_ = Before(authority, colon);
        port_ = After(authority, colon, 1);
    }
}

// Splits what follows the authority (or a whole relative address) into
// directory, document and query. The query starts at the first "?", or at
// the first "=" when there is no "?".
void TIdURI::ParsePath(const std::string& path, bool absolute)
{
    auto queryStart = path.find('?');
    if (queryStart == std::string::npos)
        queryStart = path.find('=');
    std::string document = Before(path, queryStart);
    auto lastSlash = document.rfind('/');
    std::size_t directoryLength = lastSlash == std::string::npos ? 0 : lastSlash + 1;

    directory_.clear();
    if (absolute)
        directory_.push_back('/');
    directory_.append(document, 0, directoryLength);
    documentName_ = document.substr(directoryLength);
    if (queryStart != std::string::npos)
        query_ = path.substr(queryStart);

    if (absolute) {
        auto hash = documentName_.find('#');
        if (hash != std::string::npos) {
            fragment_ = documentName_.substr(hash + 1);
            documentName_.erase(hash);
        }
    }
}

void TIdURI::SplitFragmentFromQuery()
{
    auto hash = query_.find('#');
    if (hash == std::string::npos)
        return;
    fragment_ = query_.substr(hash + 1);
    query_.erase(hash);
}

std::string TIdURI::AddressText()
{
    addressText_ = ComposeAddress();
    return ComposeAddress(0);
}

std::string TIdURI::ComposeAddress(TIdURIOptionalFields options) const
{
    if (scheme_.empty())
        throw EIdURIException("Protocol field is empty");
    std::string text = scheme_ + "://";
    if ((options & ofUserInformation) && !username_.empty()) {
        text += username_;
        if (!password_.empty())
            text += ":" + password_;
        text += "@";
    }
    if (host_.empty())
        throw EIdURIException("Host field is empty");
    // An IPv6 literal keeps its brackets: without them its colons would
    // read as the port's.
    text += ipVersion_ == Id_IPv6 ? "[" + host_ + "]" : host_;
    // Port 80 is left out whatever the scheme.
    if (!port_.empty() && port_ != "80")
        text += ":" + port_;
    text += directory_ + documentName_ + query_;
    if ((options & ofFragment) && !fragment_.empty())
        text += "#" + fragment_;
    return text;
}

std::string TIdURI::PercentDecode(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            result += text[i];
            continue;
        }
        std::string_view escape = std::string_view(text).substr(i + 1, 2);
        i += escape.size();
        if (auto value = EscapeValue(escape))
            result += static_cast<char>(*value);
    }
    return result;
}

namespace {

// Removes the last segment of result together with the delimiter that ends it.
void DropLastSegment(std::string& result, char delimiter)
{
    result.pop_back();
    auto previous = result.rfind(delimiter);
    result.erase(previous == std::string::npos ? 0 : previous + 1);
}

} // namespace

std::string MergePath(const std::string& basePath, const std::string& path, char delimiter)
{
    if (!path.empty() && path.front() == delimiter)
        return path;
    bool keepTrailingDelimiter = path.empty() || path.back() == delimiter;

    std::string work = basePath;
    if (!work.empty() && work.back() != delimiter)
        work += delimiter;
    work += path;

    std::string result;
    for (std::size_t i = 0; i < work.size(); ++i) {
        char c = work[i];
        bool endsWithDelimiter = !result.empty() && result.back() == delimiter;
        if (c == delimiter) {
            if (i == 0 || !endsWithDelimiter)
                result += c;
        } else if (c == '.' && endsWithDelimiter && i + 1 < work.size() && work[i + 1] == '.') {
            DropLastSegment(result, delimiter);
            ++i;
        } else {
            result += c;
        }
    }

    if (result.size() == 1 && result[0] == delimiter)
        return result;
    if (!result.empty() && result.back() == delimiter && !keepTrailingDelimiter)
        result.pop_back();
    return result;
}
