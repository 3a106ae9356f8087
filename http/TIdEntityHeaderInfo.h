#pragma once

#include "http/TIdHeaderList.h"

#include "runtime/TObject.h"

#include <cstdint>
#include <optional>
#include <string>

// A date-time of a header: seconds since 1970 UTC, or nothing when unset.
using TIdHeaderDate = std::optional<std::int64_t>;

// The entity fields that requests and responses share, with the header
// lines they are read from or written to.
class TIdEntityHeaderInfo : public TObject {
public:
    static constexpr std::size_t kHeaderFoldLength = 1024;

    TIdEntityHeaderInfo();
    std::string ClassName() const override { return "TIdEntityHeaderInfo"; }

    virtual void Clear();
    // Fills the fields from HeaderLines.
    virtual void ProcessHeaders();
    // Rebuilds HeaderLines from the fields.
    virtual void SetHeaders();

    TIdHeaderList& HeaderLines() { return headerLines_; }
    const TIdHeaderList& HeaderLines() const { return headerLines_; }
    TIdHeaderList& CustomHeaders() { return customHeaders_; }

    const std::string& Connection() const { return connection_; }
    void SetConnection(std::string value) { connection_ = std::move(value); }
    const std::string& ContentVersion() const { return contentVersion_; }
    void SetContentVersion(std::string value) { contentVersion_ = std::move(value); }
    const std::string& ContentEncoding() const { return contentEncoding_; }
    void SetContentEncoding(std::string value) { contentEncoding_ = std::move(value); }
    const std::string& ContentLanguage() const { return contentLanguage_; }
    void SetContentLanguage(std::string value) { contentLanguage_ = std::move(value); }
    const std::string& ContentType() const { return contentType_; }
    void SetContentType(std::string value) { contentType_ = std::move(value); }
    // -1 when none was given.
    std::int64_t ContentLength() const { return contentLength_; }
    void SetContentLength(std::int64_t value);
    bool HasContentLength() const { return hasContentLength_; }
    std::int64_t ContentRangeStart() const { return contentRangeStart_; }
    std::int64_t ContentRangeEnd() const { return contentRangeEnd_; }
    std::int64_t ContentRangeInstanceLength() const { return contentRangeInstanceLength_; }
    const std::string& CacheControl() const { return cacheControl_; }
    void SetCacheControl(std::string value) { cacheControl_ = std::move(value); }
    const TIdHeaderDate& Date() const { return date_; }
    void SetDate(TIdHeaderDate value) { date_ = value; }
    const TIdHeaderDate& Expires() const { return expires_; }
    void SetExpires(TIdHeaderDate value) { expires_ = value; }
    const TIdHeaderDate& LastModified() const { return lastModified_; }
    void SetLastModified(TIdHeaderDate value) { lastModified_ = value; }
    const std::string& Pragma() const { return pragma_; }
    void SetPragma(std::string value) { pragma_ = std::move(value); }

protected:
    // Sets a header line from a field; an empty value sets none.
    void SetHeader(const char* name, const std::string& value);
    virtual std::string DefaultContentType() const { return {}; }

private:
    void ProcessContentRange(const std::string& text);

    TIdHeaderList headerLines_{kHeaderFoldLength};
    TIdHeaderList customHeaders_;
    std::string connection_;
    std::string contentVersion_;
    std::string contentEncoding_;
    std::string contentLanguage_;
    std::string contentType_;
    std::int64_t contentLength_ = -1;
    bool hasContentLength_ = false;
    std::int64_t contentRangeStart_ = 0;
    std::int64_t contentRangeEnd_ = 0;
    std::int64_t contentRangeInstanceLength_ = 0;
    std::string cacheControl_;
    TIdHeaderDate date_;
    TIdHeaderDate expires_;
    TIdHeaderDate lastModified_;
    std::string pragma_;
};
