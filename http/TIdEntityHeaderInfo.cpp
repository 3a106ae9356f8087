#include "http/TIdEntityHeaderInfo.h"

#include "http/HttpDate.h"
#include "runtime/AsciiText.h"

TIdEntityHeaderInfo::TIdEntityHeaderInfo() = default;

void TIdEntityHeaderInfo::Clear()
{
    connection_.clear();
    contentVersion_.clear();
    contentEncoding_.clear();
    contentLanguage_.clear();
    contentType_ = DefaultContentType();
    SetContentLength(-1);
    contentRangeStart_ = contentRangeEnd_ = contentRangeInstanceLength_ = 0;
    cacheControl_.clear();
    date_.reset();
    expires_.reset();
    lastModified_.reset();
    pragma_.clear();
    customHeaders_.Clear();
    headerLines_.Clear();
}

void TIdEntityHeaderInfo::SetContentLength(std::int64_t value)
{
    contentLength_ = value;
    hasContentLength_ = value >= 0;
}

void TIdEntityHeaderInfo::ProcessHeaders()
{
    const TIdHeaderList& lines = headerLines_;
    connection_ = lines.ValueOf("Connection");
    contentVersion_ = lines.ValueOf("Content-Version");
    contentEncoding_ = lines.ValueOf("Content-Encoding");
    contentLanguage_ = lines.ValueOf("Content-Language");
    contentType_ = lines.ValueOf("Content-Type");
    pragma_ = lines.ValueOf("Pragma");
    cacheControl_ = lines.ValueOf("Cache-Control");
    SetContentLength(AsciiText::ToInt32(lines.ValueOf("Content-Length")).value_or(-1));
    ProcessContentRange(lines.ValueOf("Content-Range"));
    date_ = ParseHttpDate(lines.ValueOf("Date"));
    lastModified_ = ParseHttpDate(lines.ValueOf("Last-Modified"));
    std::string expires = lines.ValueOf("Expires");
    if (auto seconds = AsciiText::ToInt64(expires); seconds && *seconds < (std::int64_t(1) << 40))
        expires_ = NowUtcSeconds() + *seconds;
    else
        expires_ = ParseHttpDate(expires);
}

// "bytes 0-99/1000": the unit, the range, the instance length.
void TIdEntityHeaderInfo::ProcessContentRange(const std::string& text)
{
    std::string rest = text.substr(std::min(text.find(' '), text.size()));
    std::size_t slash = rest.find('/');
    std::string range = rest.substr(0, slash);
    std::string instance = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    std::size_t dash = range.find('-');
    contentRangeStart_ = AsciiText::ToInt64(range.substr(0, dash)).value_or(0);
    contentRangeEnd_ = dash == std::string::npos ? 0 : AsciiText::ToInt64(range.substr(dash + 1)).value_or(0);
    contentRangeInstanceLength_ = AsciiText::ToInt64(instance).value_or(0);
}

void TIdEntityHeaderInfo::SetHeader(const char* name, const std::string& value)
{
    headerLines_.SetValueOf(name, value);
}

void TIdEntityHeaderInfo::SetHeaders()
{
    headerLines_.Clear();
    SetHeader("Connection", connection_);
    SetHeader("Content-Version", contentVersion_);
    SetHeader("Content-Encoding", contentEncoding_);
    SetHeader("Content-Language", contentLanguage_);
    SetHeader("Content-Type", contentType_);
    if (contentLength_ >= 0)
        SetHeader("Content-Length", std::to_string(contentLength_));
    SetHeader("Cache-control", cacheControl_);
    if (date_)
        SetHeader("Date", FormatHttpDate(*date_));
    if (expires_)
        SetHeader("Expires", FormatHttpDate(*expires_));
    SetHeader("Pragma", pragma_);
    headerLines_.AddStrings(customHeaders_);
}
