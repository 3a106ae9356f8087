#include "http/TIdURI.h"

#include <gtest/gtest.h>

namespace {

struct ParseRow {
    const char* why;
    const char* address;
    const char* scheme;
    const char* username;
    const char* password;
    const char* host;
    const char* port;
    const char* directory;
    const char* document;
    const char* query;
    const char* fragment;
    TIdIPVersion ipVersion;
};

const ParseRow kParseRows[] = {
    {"plain watch page", "http://h/watch?v=abc", "http", "", "", "h", "", "/", "watch", "?v=abc", "", Id_IPv4},
    {"host alone still has the root directory", "http://h", "http", "", "", "h", "", "/", "", "", "", Id_IPv4},
    {"user information, port and fragment", "http://u:p@h:8080/a/b.html#top", "http", "u", "p", "h", "8080", "/a/",
     "b.html", "", "top", Id_IPv4},
    {"a password without a user name is dropped", "http://:p@h/", "http", "", "", "h", "", "/", "", "", "", Id_IPv4},
    {"a user name without a password", "http://u@h/", "http", "u", "", "h", "", "/", "", "", "", Id_IPv4},
    {"only the first at-sign separates user information", "http://u@v@h/x", "http", "u", "", "v@h", "", "/", "x", "",
     "", Id_IPv4},
    {"bracketed IPv6 literal", "http://[::1]:81/x", "http", "", "", "::1", "81", "/", "x", "", "", Id_IPv6},
    {"IPv6 literal without port", "http://[fe80::1]/", "http", "", "", "fe80::1", "", "/", "", "", "", Id_IPv6},
    {"a closing bracket before the opening one is no literal", "http://]h[:5/", "http", "", "", "]h[", "5", "/", "", "",
     "", Id_IPv4},
    {"port is not checked to be numeric", "http://h:abc/", "http", "", "", "h", "abc", "/", "", "", "", Id_IPv4},
    {"an equals sign starts the query when there is no question mark", "http://h/a/b=c/d", "http", "", "", "h", "",
     "/a/", "b", "=c/d", "", Id_IPv4},
    {"the question mark wins over an earlier equals sign", "http://h/a=b/c?d", "http", "", "", "h", "", "/a=b/", "c",
     "?d", "", Id_IPv4},
    {"slashes inside the query do not move the directory", "http://h/a/b?x=/y/z", "http", "", "", "h", "", "/a/", "b",
     "?x=/y/z", "", Id_IPv4},
    {"fragment after the query", "http://h/a?q#f", "http", "", "", "h", "", "/", "a", "?q", "f", Id_IPv4},
    {"fragment in the document before a query", "http://h/a#f?q", "http", "", "", "h", "", "/", "a", "?q", "f",
     Id_IPv4},
    {"only the first hash separates the fragment", "http://h/a#f#g", "http", "", "", "h", "", "/", "a", "", "f#g",
     Id_IPv4},
    {"no scheme: absolute path with query and fragment", "/get_video_info?video_id=ab#x", "", "", "", "", "", "/",
     "get_video_info", "?video_id=ab", "x", Id_IPv4},
    {"no scheme: bare document has no directory", "doc.html", "", "", "", "", "", "", "doc.html", "", "", Id_IPv4},
    {"no scheme: relative directory", "a/b/c.txt", "", "", "", "", "", "a/b/", "c.txt", "", "", Id_IPv4},
    {"no scheme: a hash in the document stays there", "/a/b#f", "", "", "", "", "", "/a/", "b#f", "", "", Id_IPv4},
    {"no scheme: host-like text is a path", "h/watch", "", "", "", "", "", "h/", "watch", "", "", Id_IPv4},
    {"empty text clears everything", "", "", "", "", "", "", "", "", "", "", Id_IPv4},
    // Backslashes count as slashes everywhere, also inside the query.
    {"backslashes after the scheme's colon", "http:\\\\h\\a\\b?x\\y", "http", "", "", "h", "", "/a/", "b", "?x/y", "",
     Id_IPv4},
    {"mixed slashes", "http:/\\h/a\\b.html", "http", "", "", "h", "", "/a/", "b.html", "", "", Id_IPv4},
};

TEST(TIdURI, ParsesEveryField)
{
    for (const ParseRow& row : kParseRows) {
        SCOPED_TRACE(row.why);
        TIdURI uri(row.address);
        EXPECT_EQ(uri.Scheme(), row.scheme);
        EXPECT_EQ(uri.Username(), row.username);
        EXPECT_EQ(uri.Password(), row.password);
        EXPECT_EQ(uri.Host(), row.host);
        EXPECT_EQ(uri.Port(), row.port);
        EXPECT_EQ(uri.Directory(), row.directory);
        EXPECT_EQ(uri.DocumentName(), row.document);
        EXPECT_EQ(uri.Query(), row.query);
        EXPECT_EQ(uri.Fragment(), row.fragment);
        EXPECT_EQ(uri.IPVersion(), row.ipVersion);
    }
}

TEST(TIdURI, ParsingReplacesEveryFieldOfTheLastAddress)
{
    TIdURI uri("http://u:p@[::1]:81/a/b?q#f");
    uri.SetAddressText("x");
    EXPECT_EQ(uri.Scheme(), "");
    EXPECT_EQ(uri.Username(), "");
    EXPECT_EQ(uri.Host(), "");
    EXPECT_EQ(uri.Port(), "");
    EXPECT_EQ(uri.Directory(), "");
    EXPECT_EQ(uri.DocumentName(), "x");
    EXPECT_EQ(uri.Query(), "");
    EXPECT_EQ(uri.Fragment(), "");
    EXPECT_EQ(uri.IPVersion(), Id_IPv4);
}

struct ComposeRow {
    const char* why;
    const char* address;
    const char* full;        // ComposeAddress with both optional parts
    const char* addressText; // reading AddressText
};

const ComposeRow kComposeRows[] = {
    {"root slash is added", "http://h", "http://h/", "http://h/"},
    {"user information and fragment only in the full form", "http://u:p@h:8080/a/b.html#top",
     "http://u:p@h:8080/a/b.html#top", "http://h:8080/a/b.html"},
    {"user name without password", "http://u@h/x", "http://u@h/x", "http://h/x"},
    {"IPv6 host keeps its brackets", "http://[::1]:81/x", "http://[::1]:81/x", "http://[::1]:81/x"},
    {"port 80 is dropped", "http://h:80/x", "http://h/x", "http://h/x"},
    {"port 80 is dropped for https too", "https://h:80/x", "https://h/x", "https://h/x"},
    {"port 443 stays on https", "https://h:443/x", "https://h:443/x", "https://h:443/x"},
    {"query and fragment", "http://h/a?q=1#f", "http://h/a?q=1#f", "http://h/a?q=1"},
    {"equals-sign query", "http://h/a/b=c/d", "http://h/a/b=c/d", "http://h/a/b=c/d"},
    {"backslashes come back as slashes", "http:\\\\h\\a\\b", "http://h/a/b", "http://h/a/b"},
};

TEST(TIdURI, ComposesWhatItParsed)
{
    for (const ComposeRow& row : kComposeRows) {
        SCOPED_TRACE(row.why);
        TIdURI uri(row.address);
        EXPECT_EQ(uri.ComposeAddress(), row.full);
        EXPECT_EQ(uri.AddressText(), row.addressText);
        // A second parse of the composition gives the same composition.
        TIdURI again(uri.ComposeAddress());
        EXPECT_EQ(again.ComposeAddress(), row.full);
    }
}

TEST(TIdURI, ComposeOptionsChooseTheOptionalParts)
{
    TIdURI uri("http://u:p@h/a#f");
    EXPECT_EQ(uri.ComposeAddress(ofUserInformation), "http://u:p@h/a");
    EXPECT_EQ(uri.ComposeAddress(ofFragment), "http://h/a#f");
    EXPECT_EQ(uri.ComposeAddress(0), "http://h/a");
}

TEST(TIdURI, ComposingWithoutSchemeOrHostRaises)
{
    TIdURI relative("/a/b");
    try {
        relative.ComposeAddress();
        FAIL() << "no exception";
    } catch (const EIdURIException& e) {
        EXPECT_STREQ(e.what(), "Protocol field is empty");
    }
    TIdURI noHost("http:///a");
    try {
        noHost.AddressText();
        FAIL() << "no exception";
    } catch (const EIdURIException& e) {
        EXPECT_STREQ(e.what(), "Host field is empty");
    }
}

TEST(TIdURI, ComposesFieldsSetOneByOne)
{
    TIdURI uri;
    uri.SetScheme("http");
    uri.SetHost("h");
    uri.SetPort("8080");
    uri.SetDirectory("/d/");
    uri.SetDocumentName("doc");
    uri.SetQuery("?q");
    uri.SetFragment("f");
    uri.SetUsername("u");
    uri.SetPassword("p");
    EXPECT_EQ(uri.ComposeAddress(), "http://u:p@h:8080/d/doc?q#f");
}

TEST(TIdURI, PercentDecode)
{
    struct Row {
        const char* why;
        std::string text;
        std::string decoded;
    } rows[] = {
        {"plus stays, %20 is a blank", "a+b%20c", "a+b c"},
        {"bad escape and its two characters vanish", "%zz1", "1"},
        {"percent at the end vanishes", "100%", "100"},
        {"single trailing digit", "%4", std::string(1, '\x04')},
        {"zero byte", "%00", std::string(1, '\0')},
        {"upper and lower case hex", "%4a%4A", "JJ"},
        {"high bytes stay bytes (no UTF-8 decoding)", "%C3%A9", "\xC3\xA9"},
        {"one good digit then a non-hex one", "%4g", ""},
        {"trailing blank after one digit is trimmed", "%4 x", "\x04x"},
        {"leading blank makes no number", "% 4x", "x"},
        {"sign is no hex digit", "%-1x", "x"},
        {"escape of a percent sign", "%25", "%"},
        {"escapes back to back", "%41%42%43", "ABC"},
        {"empty", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(TIdURI::PercentDecode(row.text), row.decoded);
    }
}

TEST(TIdURI, MergePath)
{
    struct Row {
        const char* why;
        const char* base;
        const char* path;
        const char* merged;
    } rows[] = {
        {"parent segment", "/a/b/", "../c", "/a/c"},
        {"trailing slash of the new path stays", "/a/b", "c/", "/a/b/c/"},
        {"single dot stays", "/a", "./c", "/a/./c"},
        {"empty path keeps the base", "/a/", "", "/a/"},
        {"absolute path wins", "/a/b/", "/x", "/x"},
        {"absolute path keeps its dots", "/a/", "/x/../y", "/x/../y"},
        {"runs of slashes collapse", "", "x//y", "x/y"},
        {"trailing slash of the base is dropped when the path has none", "/a/", "b", "/a/b"},
        {"parent above the root leaves the root", "/", "../../x", "/x"},
        {"two parents", "/a/b/c/", "../../d", "/a/d"},
        {"root alone", "/", "", "/"},
        {"both empty", "", "", ""},
        {"relative base, relative path", "a", "b", "a/b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(MergePath(row.base, row.path, '/'), row.merged);
    }
}

// A pretend double-byte code page in which 0x81 opens a character.
bool LeadByte81(unsigned char byte)
{
    return byte == 0x81;
}

TEST(TIdURI, BackslashAfterALeadByteIsPartOfTheCharacter)
{
    std::string text = "a\\\x81\\b\\";
    TIdURI::NormalizeSlashes(text, LeadByte81);
    EXPECT_EQ(text, "a/\x81\\b/");

    // Under UTF-8 there are no lead bytes: every backslash turns.
    std::string utf8 = "\xC3\\\xE2\x82\\";
    TIdURI::NormalizeSlashes(utf8);
    EXPECT_EQ(utf8, "\xC3/\xE2\x82/");

    std::string unify = "\x81\\x";
    TIdURI::UnifySlashes(unify);
    EXPECT_EQ(unify, "\x81/x");
}

} // namespace
