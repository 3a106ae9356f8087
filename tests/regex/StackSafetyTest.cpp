// Deep backtracking costs heap, never stack: long subjects against patterns
// whose every iteration leaves a way back either give the right answer or
// end with error 1016.
#include "regex/TRegExpr.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <functional>
#include <vector>

namespace {

struct Row {
    const char* pattern;
    std::string tail;    // appended to the repeated "ab"
    size_t group1Length; // length of the expected capture 1
    bool matchesAll;     // the match spans the whole subject
};

const std::vector<Row> kRows = {
    {"(a|b)*c", "c", 1, true},
    {"(.)*x", "x", 1, true},
    {"(ab)+", "", 2, true},
    {"(a|b)*?c", "c", 1, true},
};

std::string Subject(size_t bytes, const std::string& tail)
{
    std::string subject;
    subject.reserve(bytes + tail.size());
    while (subject.size() < bytes)
        subject += "ab";
    return subject + tail;
}

// Runs `body` on a thread with a deliberately small stack.
void OnSmallStack(const std::function<void()>& body)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    auto run = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&body)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

void ExpectRightAnswerOrBacktrackLimit(size_t bytes, bool allowLimit)
{
    for (const auto& row : kRows) {
        const std::string subject = Subject(bytes, row.tail);
        TRegExpr re;
        re.SetExpression(row.pattern);
        try {
            ASSERT_TRUE(re.Exec(subject)) << row.pattern;
            EXPECT_EQ(re.Capture(0).size(), subject.size()) << row.pattern;
            EXPECT_EQ(re.Capture(1).size(), row.group1Length) << row.pattern;
        } catch (const ERegExpr& error) {
            EXPECT_TRUE(allowLimit) << row.pattern << ": " << error.Message();
            EXPECT_EQ(error.ErrorNumber(), 1016) << row.pattern;
            EXPECT_EQ(error.Message(), "TRegExpr(exec): Backtrack Stack Exceeded");
        }
    }
}

} // namespace

TEST(StackSafetyTest, DeepMatchesOnASmallStack)
{
    OnSmallStack([] { ExpectRightAnswerOrBacktrackLimit(512 * 1024, false); });
}

TEST(StackSafetyTest, SixtyFourMebibytesNeverCrash)
{
    ExpectRightAnswerOrBacktrackLimit(64 << 20, true);
}

TEST(StackSafetyTest, AbsentRequiredLiteralEndsTheSearchAtOnce)
{
    const std::string subject = Subject(64 << 20, "");
    TRegExpr re;
    for (const char* pattern : {"(a|b)*c", "(.)*x", "(a|b)*?c"}) {
        re.SetExpression(pattern);
        EXPECT_FALSE(re.Exec(subject)) << pattern;
    }
}

// A zero-width loop that never ends by itself ends at the limit.
TEST(StackSafetyTest, EndlessEmptyLoopEndsWithAnError)
{
    TRegExpr re;
    re.SetExpression("(a*)(\\1)*b");
    try {
        EXPECT_FALSE(re.Exec("xx"));
    } catch (const ERegExpr& error) {
        EXPECT_EQ(error.ErrorNumber(), 1016);
    }
}
