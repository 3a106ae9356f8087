#pragma once

#include "http/EIdException.h"
#include "http/TIdIPVersion.h"
#include "runtime/TObject.h"

#include <string>

// Composing an address without a scheme or a host.
class EIdURIException : public EIdException {
public:
    using EIdException::EIdException;
};

// The optional parts that ComposeAddress may write.
enum TIdURIOptionalField : unsigned { ofUserInformation = 1u, ofFragment = 2u };
using TIdURIOptionalFields = unsigned;

// Tells whether a byte opens a double-byte character of the code page.
using TIdLeadByteTest = bool (*)(unsigned char byte);

// An address split into its fields (scheme, user information, host, port,
// directory, document, query, fragment) and composed back into text.
class TIdURI : public TObject {
public:
    explicit TIdURI(const std::string& address = {});

    std::string ClassName() const override { return "TIdURI"; }

    // Reading recomposes: the field keeps the whole address, while the
    // result leaves out user information and fragment.
    std::string AddressText();
    void SetAddressText(const std::string& address);

    std::string ComposeAddress(TIdURIOptionalFields options = ofUserInformation | ofFragment) const;

    const std::string& Scheme() const { return scheme_; }
    const std::string& Username() const { return username_; }
    const std::string& Password() const { return password_; }
    const std::string& Host() const { return host_; }
    const std::string& Port() const { return port_; }
    const std::string& Directory() const { return directory_; }
    const std::string& DocumentName() const { return documentName_; }
    const std::string& Query() const { return query_; }
    const std::string& Fragment() const { return fragment_; }
    TIdIPVersion IPVersion() const { return ipVersion_; }

    void SetScheme(std::string value) { scheme_ = std::move(value); }
    void SetUsername(std::string value) { username_ = std::move(value); }
    void SetPassword(std::string value) { password_ = std::move(value); }
    void SetHost(std::string value) { host_ = std::move(value); }
    void SetPort(std::string value) { port_ = std::move(value); }
    void SetDirectory(std::string value) { directory_ = std::move(value); }
    void SetDocumentName(std::string value) { documentName_ = std::move(value); }
    void SetQuery(std::string value) { query_ = std::move(value); }
    void SetFragment(std::string value) { fragment_ = std::move(value); }
    void SetIPVersion(TIdIPVersion value) { ipVersion_ = value; }

    static std::string PercentDecode(const std::string& text);
    static void UnifySlashes(std::string& text);
    // Turns backslashes into slashes, leaving alone a backslash that is the
    // second byte of a double-byte character.
    static void NormalizeSlashes(std::string& text, TIdLeadByteTest isLeadByte = SystemLeadByte);
    // The lead-byte test of the locale's character set: only a double-byte
    // character set has lead bytes; under UTF-8 there are none.
    static bool SystemLeadByte(unsigned char byte);

private:
    void Clear();
    void ParseAuthority(std::string authority);
    void ParsePath(const std::string& path, bool absolute);
    void SplitFragmentFromQuery();

    std::string addressText_;
    std::string scheme_;
    std::string username_;
    std::string password_;
    std::string host_;
    std::string port_;
    std::string directory_;
    std::string documentName_;
    std::string query_;
    std::string fragment_;
    TIdIPVersion ipVersion_ = Id_IPv4;
};

// Resolves path against basePath: "." segments stay, ".." removes the segment
// before it, runs of delimiters collapse. An absolute path is returned as is.
std::string MergePath(const std::string& basePath, const std::string& path, char delimiter = '/');
