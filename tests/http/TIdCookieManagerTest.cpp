#include "http/TIdCookieManager.h"

#include "http/HttpDate.h"
#include "http/TIdCookieRFC2965.h"
#include "http/TIdURI.h"

#include <gtest/gtest.h>

namespace {

const std::string kPast = "Thu, 01 Jan 1970 00:00:00 GMT";
const std::string kFuture = "Fri, 31 Dec 9999 23:59:59 GMT";

// Parsing one Set-Cookie value.

TEST(TIdCookie, ReadsNameValueAndAttributes)
{
    TIdCookieRFC2109 cookie;
    cookie.ParseCookieText("SID=\"x=y\"; Path=\"/a/\"; DOMAIN=.d.com; secure; HttpOnly; expires=" + kFuture +
                           "; Version=1; comment=hi");
    EXPECT_EQ(cookie.CookieName(), "SID");
    EXPECT_EQ(cookie.CookieValue(), "\"x=y\"");
    EXPECT_EQ(cookie.CookiePath(), "/a/");
    EXPECT_EQ(cookie.CookieDomain(), ".d.com");
    EXPECT_TRUE(cookie.SecureOnly());
    EXPECT_EQ(cookie.ExpiryText(), kFuture);
    EXPECT_EQ(cookie.CookieKind(), ckRFC2109);
    EXPECT_EQ(cookie.VersionText(), "1");
    EXPECT_EQ(cookie.CommentText(), "hi");
    EXPECT_EQ(cookie.MaxAgeSeconds(), -1);
}

TEST(TIdCookie, DefaultsForABareValue)
{
    struct Row {
        const char* why;
        const char* text;
        const char* name;
        const char* value;
        const char* path;
    };
    const Row rows[] = {
        {"no attributes", "a=1", "a", "1", "/"},
        {"no ';' keeps the text untrimmed", " a=1 ", " a", "1 ", "/"},
        {"empty value", "a=", "a", "", "/"},
        {"no '=' at all", "flag", "flag", "", "/"},
        {"empty path falls back to '/'", "a=1; path=", "a", "1", "/"},
        {"only quotes falls back to '/'", "a=1; path=\"\"", "a", "1", "/"},
        {"first of two paths wins", "a=1; path=/x; path=/y", "a", "1", "/x"},
        {"empty items between semicolons are harmless", "a=1;; ;path=/p;", "a", "1", "/p"},
    };
    for (const Row& row : rows) {
        TIdCookieRFC2109 cookie;
        cookie.ParseCookieText(row.text);
        EXPECT_EQ(cookie.CookieName(), row.name) << row.why;
        EXPECT_EQ(cookie.CookieValue(), row.value) << row.why;
        EXPECT_EQ(cookie.CookiePath(), row.path) << row.why;
        EXPECT_EQ(cookie.ExpiryText(), "") << row.why;
        EXPECT_EQ(cookie.CookieKind(), ckNetscape) << row.why;
    }
}

TEST(TIdCookie, MaxAgeCountsOnlyWithoutExpires)
{
    TIdCookieRFC2109 withMaxAge;
    std::int64_t before = NowUtcSeconds();
    withMaxAge.ParseCookieText("a=1; max-age=3600");
    EXPECT_EQ(withMaxAge.MaxAgeSeconds(), 3600);
    auto expiry = ParseHttpDate(withMaxAge.ExpiryText());
    ASSERT_TRUE(expiry);
    EXPECT_GE(*expiry, before + 3600);
    EXPECT_LE(*expiry, NowUtcSeconds() + 3600);
    EXPECT_EQ(withMaxAge.CookieKind(), ckNetscape);

    TIdCookieRFC2109 withBoth;
    withBoth.ParseCookieText("a=1; Max-Age=0; expires=" + kFuture);
    EXPECT_EQ(withBoth.ExpiryText(), kFuture);
    EXPECT_EQ(withBoth.CookieKind(), ckRFC2109);

    TIdCookieRFC2109 notANumber;
    notANumber.ParseCookieText("a=1; max-age=soon");
    EXPECT_EQ(notANumber.MaxAgeSeconds(), -1);
    EXPECT_EQ(notANumber.ExpiryText(), "");

    TIdCookieRFC2109 huge;
    huge.ParseCookieText("a=1; max-age=9223372036854775807");
    EXPECT_FALSE(huge.IsExpired(NowUtcSeconds()));
}

TEST(TIdCookie, Rfc2965Attributes)
{
    struct Row {
        const char* why;
        const char* text;
        std::vector<int> ports;
    };
    const Row rows[] = {
        {"no Port attribute", "a=1", {80}},
        {"Port flag", "a=1; Port", {80}},
        {"quoted list", "a=1; port=\"81,8080, 99\"", {81, 8080, 99}},
        {"unquoted value is ignored", "a=1; port=81", {80}},
    };
    for (const Row& row : rows) {
        TIdCookieRFC2965 cookie;
        cookie.ParseCookieText(row.text);
        EXPECT_EQ(cookie.PortNumbers(), row.ports) << row.why;
    }
    TIdCookieRFC2965 cookie;
    cookie.ParseCookieText("a=1; CommentURL=http://x/; discard; expires=" + kFuture);
    EXPECT_EQ(cookie.CommentAddress(), "http://x/");
    EXPECT_TRUE(cookie.DiscardFlag());
    EXPECT_EQ(cookie.CookieKind(), ckRFC2965);
}

TEST(TIdCookie, ServerForm)
{
    TIdCookieRFC2109 netscape;
    netscape.ParseCookieText("a=1; path=/p; domain=d; secure; comment=c; version=1");
    EXPECT_EQ(netscape.ServerForm(), "a=1; path=/p; domain=d; secure; comment=c; version=1");
    EXPECT_EQ(netscape.ClientForm(), "a=1");

    TIdCookieRFC2109 withExpires;
    withExpires.ParseCookieText("a=1; expires=" + kFuture);
    EXPECT_EQ(withExpires.ServerForm(), "a=1; path=/");

    TIdCookieRFC2109 maxAge;
    maxAge.ParseCookieText("a=1; max-age=10");
    EXPECT_EQ(maxAge.ServerForm(), "a=1; path=/; expires=" + maxAge.ExpiryText());
}

TEST(TIdCookie, UnreadableExpiryNeverExpires)
{
    TIdCookieRFC2109 cookie;
    cookie.ParseCookieText("a=1; expires=whenever");
    EXPECT_FALSE(cookie.IsExpired(NowUtcSeconds()));
    cookie.ParseCookieText("a=1; expires=" + kPast);
    EXPECT_TRUE(cookie.IsExpired(NowUtcSeconds()));
}

// Admission.

TEST(TIdCookieManager, DomainTest)
{
    struct Row {
        const char* why;
        const char* domain;
        const char* host;
        bool accepted;
    };
    const Row rows[] = {
        {"the host itself", "w.d.com", "w.d.com", true},
        {"a parent domain with its dot", ".d.com", "w.d.com", true},
        {"the bare parent domain", "d.com", "w.d.com", true},
        {"dotted domain from the bare host", ".d.com", "d.com", false},
        {"tail of the first label counts too", "x.d.com", "wx.d.com", true},
        {"letter case counts in the tail test", "D.com", "w.d.com", false},
        {"unrelated domain", "e.com", "w.d.com", false},
        {"empty domain is always accepted", "", "w.d.com", true},
        {"IPv4 host needs the exact address", "10.0.0.1", "10.0.0.1", true},
        {"IPv4 host refuses a tail", "0.0.1", "10.0.0.1", false},
        {"IPv4 host refuses a name", "d.com", "10.0.0.1", false},
        {"not IPv4: a part above 255", "256.0.0.1", "256.0.0.1", true},
        {"dotted host: the host from its first dot, any case", ".D.com", ".d.com", true},
        {"dotted host: anything else", "d.com", ".d.com", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TIdCookieManager::DomainAccepted(row.domain, row.host), row.accepted) << row.why;
}

TEST(TIdCookieManager, IPv4Test)
{
    EXPECT_TRUE(TIdCookieManager::IsIPv4Address("127.0.0.1"));
    EXPECT_TRUE(TIdCookieManager::IsIPv4Address(" 255.255.255.255 "));
    for (const char* text : {"1.2.3", "1.2.3.4.5", "1.2.3.256", "1..3.4", "a.b.c.d", "1.2.3.4 x", "", "1.2.3.0009"})
        EXPECT_FALSE(TIdCookieManager::IsIPv4Address(text)) << text;
}

struct StoreFixture : ::testing::Test {
    TIdCookieManager manager;
    std::string HeaderFor(const std::string& address) { return manager.BuildCookieHeader(TIdURI(address), false); }
};

using TIdCookieStore = StoreFixture;

TEST_F(TIdCookieStore, StoresUnderTheRequestHostByDefault)
{
    manager.StoreSetCookie("a=1", "w.d.com");
    auto cookies = manager.CookieCollection().CookiesOfDomain("W.D.COM");
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies[0]->CookieDomain(), "w.d.com");
    EXPECT_EQ(HeaderFor("http://w.d.com/any/path/doc?q=1"), "a=1");
    EXPECT_EQ(HeaderFor("http://other.com/"), "");
}

TEST_F(TIdCookieStore, RejectedDomainLeavesNothingBehind)
{
    manager.StoreSetCookie("a=1; domain=.d.com", "d.com");
    EXPECT_EQ(manager.CookieCollection().Count(), 0u);
    manager.StoreSetCookie("a=1; domain=.d.com", "w.d.com");
    EXPECT_EQ(manager.CookieCollection().Count(), 1u);
}

TEST_F(TIdCookieStore, OnNewCookieCanRefuse)
{
    std::vector<std::string> offered;
    manager.OnNewCookie = [&](TObject* sender, TIdCookieRFC2109* cookie, bool& accept) {
        EXPECT_EQ(sender, &manager);
        offered.push_back(cookie->CookieName());
        accept = cookie->CookieName() != "no";
    };
    manager.StoreSetCookie("yes=1", "h");
    manager.StoreSetCookie("no=1", "h");
    EXPECT_EQ(offered, (std::vector<std::string>{"yes", "no"}));
    EXPECT_EQ(manager.CookieCollection().Count(), 1u);
    EXPECT_EQ(HeaderFor("http://h/"), "yes=1");
}

TEST_F(TIdCookieStore, SameDomainAndNameReplaces)
{
    manager.StoreSetCookie("a=1", "h");
    manager.StoreSetCookie("A=2; path=/x", "h");
    auto cookies = manager.CookieCollection().CookiesOfDomain("h");
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies[0]->CookieValue(), "2");
    EXPECT_EQ(cookies[0]->CookiePath(), "/x");
    EXPECT_EQ(manager.CookieCollection().Count(), 1u);
}

TEST_F(TIdCookieStore, ReplacementKeepsTheNewExpiry)
{
    // A server deletes a cookie by setting it again with a past date.
    manager.StoreSetCookie("a=1", "h");
    manager.StoreSetCookie("a=deleted; expires=" + kPast, "h");
    EXPECT_EQ(HeaderFor("http://h/"), "");
    EXPECT_EQ(manager.CookieCollection().Count(), 0u);

    manager.StoreSetCookie("b=1", "h");
    manager.StoreSetCookie("b=2; expires=" + kFuture, "h");
    auto cookies = manager.CookieCollection().CookiesOfDomain("h");
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies[0]->ExpiryText(), kFuture);
    EXPECT_EQ(cookies[0]->CookieKind(), ckRFC2109);
}

TEST_F(TIdCookieStore, ExpiredCookiesAreDroppedBeforeBuilding)
{
    manager.StoreSetCookie("gone=1; max-age=0", "h");
    manager.StoreSetCookie("old=1; expires=" + kPast, "h");
    manager.StoreSetCookie("odd=1; expires=not a date", "h");
    manager.StoreSetCookie("kept=1; expires=" + kFuture, "h");
    EXPECT_EQ(manager.CookieCollection().Count(), 4u);
    EXPECT_EQ(HeaderFor("http://h/"), "odd=1; kept=1");
    EXPECT_EQ(manager.CookieCollection().Count(), 2u);
    // The emptied domain keeps its place in the index.
    EXPECT_EQ(manager.CookieCollection().Domains(), std::vector<std::string>{"h"});
}

TEST_F(TIdCookieStore, HeaderSelection)
{
    struct Row {
        const char* why;
        const char* setCookie;
        const char* host;
        const char* address;
        bool sent;
    };
    const Row rows[] = {
        {"path must prefix the directory, not the document", "c=1; path=/watch", "h", "http://h/watch?v=1", false},
        {"path prefixing the directory", "c=1; path=/watch", "h", "http://h/watch/x", true},
        {"path is a plain text prefix", "c=1; path=/wa", "h", "http://h/watch/x", true},
        {"secure cookies need a secure connection", "c=1; secure", "h", "http://h/", false},
        {"empty values are never sent", "c=", "h", "http://h/", false},
        {"dotted domain applies to a host inside it", "c=1; domain=.d.com", "w.d.com", "http://w.d.com/", true},
        {"dotted domain does not apply to the bare host", "c=1; domain=.d.com", "w.d.com", "http://d.com/", false},
        {"domain is a plain substring of the host", "c=1", "d.com", "http://xd.com.evil/", true},
        {"domain substring test counts letter case", "c=1", "d.com", "http://D.COM/", false},
    };
    for (const Row& row : rows) {
        TIdCookieManager store;
        store.StoreSetCookie(row.setCookie, row.host);
        EXPECT_EQ(store.BuildCookieHeader(TIdURI(row.address), false), row.sent ? "c=1" : "") << row.why;
    }
    TIdCookieManager store;
    store.StoreSetCookie("c=1; secure", "h");
    EXPECT_EQ(store.BuildCookieHeader(TIdURI("http://h/"), true), "c=1");
}

TEST_F(TIdCookieStore, HeaderOrder)
{
    manager.StoreSetCookie("a=1", "w.d.com");
    manager.StoreSetCookie("b=2", "w.d.com");
    manager.StoreSetCookie("c=3; domain=d.com", "w.d.com");
    manager.StoreSetCookie("d=4", "w.d.com");
    manager.StoreSetCookie("a=5", "w.d.com");
    // The domain that appeared last comes first; within a domain, arrival order.
    EXPECT_EQ(HeaderFor("http://w.d.com/"), "c=3; a=5; b=2; d=4");
}

TEST(TIdCookieManagerEvents, CreateAndDestroy)
{
    std::vector<std::string> calls;
    TIdCookies* created = nullptr;
    {
        TIdCookieManager manager(nullptr, [&](TObject*, TIdCookies* cookies) {
            calls.push_back("create");
            created = cookies;
        });
        manager.OnDestroy = [&](TObject*, TIdCookies* cookies) {
            calls.push_back("destroy");
            EXPECT_EQ(cookies, created);
            // Expired cookies are gone by now.
            EXPECT_EQ(cookies->Count(), 1u);
        };
        manager.StoreSetCookie("a=1", "h");
        manager.StoreSetCookie("b=1; expires=" + kPast, "h");
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"create", "destroy"}));
}

} // namespace
