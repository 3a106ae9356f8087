#include "http/TWebAddress.h"

#include <gtest/gtest.h>

TEST(TWebAddress, SplitsIntoItsParts)
{
    const struct {
        const char* why;
        const char* text;
        const char* scheme;
        const char* user;
        const char* password;
        const char* host;
        std::uint32_t port;
        const char* path;
        const char* query;
        const char* fragment;
    } rows[] = {
        {"everything", "HTTP://me:pw@Host:8080/a/b.mp4?x=1#t", "http", "me", "pw", "Host", 8080, "/a/b.mp4", "?x=1",
         "#t"},
        {"no path", "https://h", "https", "", "", "h", 0, "", "", ""},
        {"a query right after the host", "https://h?q", "https", "", "", "h", 0, "", "?q", ""},
        {"a fragment before a question mark", "https://h/a#b?c", "https", "", "", "h", 0, "/a", "", "#b?c"},
        {"an IPv6 literal keeps its brackets", "http://[::1]:8000/clip.mp4", "http", "", "", "[::1]", 8000, "/clip.mp4",
         "", ""},
        {"an IPv6 literal without a port", "http://[fe80::1%25lo]/", "http", "", "", "[fe80::1%25lo]", 0, "/", "", ""},
        {"the last @ ends the user", "ftp://a@b:c@h/x", "ftp", "a@b", "c", "h", 0, "/x", "", ""},
        {"a password may hold a colon", "http://me:a:b@h/", "http", "me", "a:b", "h", 0, "/", "", ""},
        {"an @ in the path is no user", "http://h/a@b:c", "http", "", "", "h", 0, "/a@b:c", "", ""},
        {"a port that is no number counts as none", "http://h:8o/", "http", "", "", "h", 0, "/", "", ""},
        {"a port beyond 32 bits counts as none", "http://h:99999999999/", "http", "", "", "h", 0, "/", "", ""},
        {"empty user information", "http://:@h:/x", "http", "", "", "h", 0, "/x", "", ""},
    };
    for (const auto& row : rows) {
        std::optional<TWebAddress> address = TWebAddress::Parse(row.text);
        ASSERT_TRUE(address) << row.why;
        EXPECT_EQ(address->Text(), row.text) << row.why;
        EXPECT_EQ(address->Scheme(), row.scheme) << row.why;
        EXPECT_EQ(address->UserName(), row.user) << row.why;
        EXPECT_EQ(address->Password(), row.password) << row.why;
        EXPECT_EQ(address->Host(), row.host) << row.why;
        EXPECT_EQ(address->Port(), row.port) << row.why;
        EXPECT_EQ(address->Path(), row.path) << row.why;
        EXPECT_EQ(address->Query(), row.query) << row.why;
        EXPECT_EQ(address->Fragment(), row.fragment) << row.why;
    }
    for (const char* text : {"", "example.org/page", "://h/", "ht tp://h/", "javascript:alert(1)"})
        EXPECT_FALSE(TWebAddress::Parse(text)) << text;
}

TEST(TWebAddress, OnlyHttpAndHttpsAddressesWithAHostAndNoBlanksAreWebAddresses)
{
    for (const char* text :
         {"http://example.org", "HTTPS://example.org/a?b#c", "https://127.0.0.1:8443/x", "http://[::1]:8000/clip.mp4"})
        EXPECT_TRUE(TWebAddress::ParseWeb(text)) << text;
    for (const char* text : {"ftp://example.org/", "https://", "https:///path", "https://example.org/my page",
                             "https://example.org/\n", "https://user@/x"})
        EXPECT_FALSE(TWebAddress::ParseWeb(text)) << text;
}

TEST(TWebAddress, ComposesWhatARequestNeeds)
{
    const TWebAddress ipv6 = *TWebAddress::Parse("http://me:pw@[::1]:8000/a/b?c=d#e");
    EXPECT_EQ(ipv6.HostName(), "::1");
    EXPECT_EQ(ipv6.HostAndPort(), "[::1]:8000");
    EXPECT_EQ(ipv6.Target(), "/a/b?c=d");
    EXPECT_EQ(ipv6.RequestText(), "http://[::1]:8000/a/b?c=d");
    EXPECT_EQ(TWebAddress::Parse("https://h?q")->Target(), "/?q");
    EXPECT_EQ(TWebAddress::Parse("https://h")->RequestText(), "https://h/");

    const TWebAddress plain = *TWebAddress::Parse("HTTP://h/a#f");
    EXPECT_EQ(plain.WithPort(81).Text(), "http://h:81/a#f");
    EXPECT_EQ(plain.WithUser("u", "p").Text(), "http://u:p@h/a#f");
    EXPECT_EQ(plain.WithTarget("/x?y").Text(), "http://h/x?y");
    EXPECT_EQ(plain.WithTarget("?y").Text(), "http://h?y");
}
