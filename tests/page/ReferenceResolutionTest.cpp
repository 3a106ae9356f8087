#include "page/ReferenceResolution.h"

#include <gtest/gtest.h>

TEST(ReferenceResolution, ReferencesResolveAsInABrowser)
{
    const std::string base = "https://example.org/a/b/page.html?q=1#top";
    const struct {
        const char* reference;
        const char* address;
    } rows[] = {
        {"clip.mp4", "https://example.org/a/b/clip.mp4"},
        {"../../../x/./clip.mp4", "https://example.org/x/clip.mp4"}, // no climbing above the root
        {"/clip.mp4", "https://example.org/clip.mp4"},
        {"//cdn.example.org/clip.mp4", "https://cdn.example.org/clip.mp4"},
        {"?v=2", "https://example.org/a/b/page.html?v=2"},
        {"#t=5", "https://example.org/a/b/page.html?q=1#t=5"},
        {"", "https://example.org/a/b/page.html?q=1"},
        {"http://other.example/clip.mp4", "http://other.example/clip.mp4"},
        {"blob:https://example.org/1234", "blob:https://example.org/1234"}, // another scheme stands alone
        // Blanks at the ends go, line breaks inside too; the rest is encoded.
        {" \n my clip\n.mp4\t", "https://example.org/a/b/my%20clip.mp4"},
        {"caf\xc3\xa9.mp4", "https://example.org/a/b/caf%C3%A9.mp4"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ResolveReference(base, row.reference), row.address) << row.reference;
    EXPECT_EQ(ResolveReference("https://example.org", "clip.mp4"), "https://example.org/clip.mp4");
}
