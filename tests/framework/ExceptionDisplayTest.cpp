#include "framework/ExceptionText.h"
#include "framework/Guard.h"
#include "framework/MessageBox.h"
#include "framework/TApplication.h"
#include "runtime/Exception.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Collects what the message box would have shown.
struct ShownBoxes {
    ShownBoxes()
    {
        previous = SetMessageBoxSeam([this](const TMessageBoxRequest& request) { boxes.push_back(request); });
    }
    ~ShownBoxes() { SetMessageBoxSeam(previous); }
    std::vector<TMessageBoxRequest> boxes;
    TMessageBoxSeam previous;
};

} // namespace

TEST(ExceptionDisplay, AppendsAFullStopOnlyAfterBytesThatSortAfterIt)
{
    struct Row {
        const char* message;
        const char* shown;
    } rows[] = {
        {"Read Timeout", "Read Timeout."},                 // a letter
        {"Socket Error # 10061", "Socket Error # 10061."}, // a digit
        {"Really?", "Really?."},                           // '?' sorts after '.'
        {"Reason:", "Reason:."},                           // so does ':'
        {"Finished.", "Finished."},                        // already ends a sentence
        {"Stop!", "Stop!"},                                // '!' sorts before '.'
        {"(pos 3)", "(pos 3)"},                            // ')' sorts before '.'
        {"trailing ", "trailing "},                        // a blank sorts before '.'
        {"well-", "well-"},                                // a hyphen sorts before the full stop
        {"", ""},                                          // nothing to end
        {"Espa\xc3\xb1ol", "Espa\xc3\xb1ol."},             // a UTF-8 byte above 0x7F
    };
    for (const Row& row : rows)
        EXPECT_EQ(ExceptionDisplayText(row.message), row.shown) << row.message;
}

TEST(ExceptionDisplay, GuardShowsAnEscapingFailureAsAnErrorBoxTitledSkerrow)
{
    ShownBoxes shown;
    int stateChanged = 0;
    Guarded([&] {
        stateChanged = 1;
        throw Exception("Read Timeout");
    });
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_EQ(shown.boxes[0].Text, "Read Timeout.");
    EXPECT_EQ(shown.boxes[0].Caption, "Skerrow");
    EXPECT_EQ(shown.boxes[0].Icon, mbiError);
    EXPECT_EQ(stateChanged, 1) << "what the handler changed stays changed";
}

TEST(ExceptionDisplay, SilentAbortShowsNothingAndForeignFailuresStillShow)
{
    ShownBoxes shown;
    Guarded([] { throw EAbort(); });
    EXPECT_TRUE(shown.boxes.empty());

    Guarded([] { throw std::runtime_error("disk full"); });
    Guarded([] { throw 42; });
    ASSERT_EQ(shown.boxes.size(), 2u);
    EXPECT_EQ(shown.boxes[0].Text, "disk full.");
    EXPECT_FALSE(shown.boxes[1].Text.empty());
}
