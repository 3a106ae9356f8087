#include "app/AddressKind.h"
#include "app/DirectLink.h"

#include <gtest/gtest.h>

TEST(AddressKind, TheSitesRuleFirstThenADirectLinkThenAnyPage)
{
    const struct {
        const char* text;
        TAddressKind kind;
    } rows[] = {
        // The site's rule: case-sensitive substrings and nothing else.
        {"http://www.youtube.com/watch?v=abc", akWatchPage},
        {"youtube.com key=1", akWatchPage},                // "key=" stands in for "v="
        {"youtube.comv=", akWatchPage},                    // nothing but substrings count
        {"http://www.youtube.com/watch?V=abc", akWebPage}, // "V=" in capitals: just a page
        {"http://www.YOUTUBE.com/watch?v=abc", akWebPage}, // domain in capitals
        {"http://example.com/watch?v=abc", akWebPage},     // no domain
        {"key=1&v=2", akNone},                             // keys without the domain
        {"http://www.youtube.com/", akWebPage},            // domain without a key
        {"", akNone},
        // Direct links: the extension ends the path, in any letter case.
        {"https://cdn.example.org/a/clip.mp4", akDirectLink},
        {"HTTP://cdn.example.org/clip.WebM?token=1#t=5", akDirectLink},
        {"http://127.0.0.1:8000/x.3gp", akDirectLink},
        {"http://www.youtube.com/clip.mp4?v=1", akWatchPage},  // the site's rule comes first
        {"https://example.org/clip.mp4.html", akWebPage},      // the path ends otherwise
        {"https://example.org/page?file=clip.mp4", akWebPage}, // in the query only
        {"https://example.org/#clip.mp4", akWebPage},          // in the fragment only
        {"https://example.org.mp4", akWebPage},                // no path at all
        // A video streamed in pieces, by its playlist or manifest.
        {"https://cdn.example.org/tide/master.m3u8", akDirectLink},
        {"http://cdn.example.org/kelp/Manifest.MPD?token=2", akDirectLink},
        {"https://example.org/m3u8", akWebPage},          // a name, no extension
        {"https://example.org/live.m3u8.txt", akWebPage}, // the path ends otherwise
        // Any other http or https address is a page; other text is nothing.
        {"https://example.org", akWebPage},
        {"https:///clip.mp4", akNone},               // no host
        {"ftp://example.org/clip.mp4", akNone},      // another scheme
        {"example.org/talk.html", akNone},           // no scheme
        {"https://example.org/my clip.mp4", akNone}, // a blank: not an address
        {"https://example.org/clip.mp4\n", akNone},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AddressKind(row.text), row.kind) << row.text;
    // Copying a page's address anywhere does not fill the address field.
    EXPECT_TRUE(TakenFromClipboard(akWatchPage) && TakenFromClipboard(akDirectLink));
    EXPECT_FALSE(TakenFromClipboard(akWebPage) || TakenFromClipboard(akNone));
}

TEST(AddressKind, AnAddressWithoutItsSchemeIsTakenAsHttps)
{
    const struct {
        const char* text;
        const char* address;
    } rows[] = {
        {"www.example.com/clip.mp4", "https://www.example.com/clip.mp4"},
        {"example.org/talk.html", "https://example.org/talk.html"},
        {"example.org:8443/", "https://example.org:8443/"},
        {"192.168.1.20/clip.webm", "https://192.168.1.20/clip.webm"},
        {"www.youtube.com/watch?v=abc", "www.youtube.com/watch?v=abc"}, // the site's rule takes it as it is
        {"http://example.org/a", "http://example.org/a"},               // a scheme of its own
        {"example.org", "example.org"},                                 // no path
        {"1.5/2", "1.5/2"},                                             // numbers, no host
        {"localhost/clip.mp4", "localhost/clip.mp4"},                   // no dot
        {"example.org/my clip.mp4", "example.org/my clip.mp4"},         // a blank
        {"example..org/a", "example..org/a"},                           // an empty label
        {"example.org:/a", "example.org:/a"},                           // a colon without a port
        {"ftp://example.org/a", "ftp://example.org/a"},
        {"/home/me/clip.mp4", "/home/me/clip.mp4"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CompletedAddress(row.text), row.address) << row.text;
}

TEST(AddressKind, TextThatIsNotTakenSaysWhy)
{
    const struct {
        const char* text;
        const char* why;
    } rows[] = {
        {"", ""},
        {"https://example.org/a", ""},
        {"www.example.com/clip.mp4", ""},
        {"https://example.org/my clip.mp4", "An address holds no blanks or line breaks."},
        {"ftp://example.org/clip.mp4", "Only http and https addresses can be saved."},
        {"file:///home/me/clip.mp4", "Only http and https addresses can be saved."},
        {"example.org", "This is not an address: paste the address of a page with a video, or of a video file."},
        {"https:///clip.mp4", "This is not an address: paste the address of a page with a video, or of a video file."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(WhyNotAnAddress(row.text), row.why) << row.text;
}

TEST(DirectLinkFileName, TheLastSegmentDecodedAndMadeSafeWithItsExtension)
{
    const struct {
        const char* address;
        const char* name;
    } rows[] = {
        {"https://h/a/Sea%20stacks%20at%20dawn.mp4?x=1#y", "Sea stacks at dawn.mp4"},
        {"https://h/Rock%20%26%20Roll%20(live).WebM", "Rock _ Roll (live).WebM"},
        {"https://h/v1.2+final.mkv", "v1_2 final.mkv"}, // "." and "+" as in a title
        {"https://h/a%2F..%2Fb.avi", "a____b.avi"},     // a decoded slash leaves no folder
        {"https://h/x%00y%1B%7F.mp4", "x_y__.mp4"},     // nor do control bytes reach the name
        {"https://h/%.mp4", "video.mp4"},               // a malformed escape is dropped
        {"https://h/.mp4", "video.mp4"},
        {"https://h/%C2%A0%C2%A0.mp4", "video.mp4"},         // only blanks
        {"https://h/-rf.mp4", "_rf.mp4"},                    // not an option
        {"https://h/clip%FF.mp4", "clip\xef\xbf\xbd.mp4"},   // not UTF-8
        {"https://h/clip%E2%80%AE4pm.webm", "clip4pm.webm"}, // a turn of direction
    };
    for (const auto& row : rows)
        EXPECT_EQ(DirectLinkFileName(TWebAddress::Parse(row.address).value()), row.name) << row.address;
}
