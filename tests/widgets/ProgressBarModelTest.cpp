#include "widgets/TAdvSmoothProgressBar.h"
#include "widgets/ValueFormat.h"

#include <gtest/gtest.h>

#include <vector>

// Clamping and the reported value without gliding.

TEST(SmoothProgressBar, WritesOutsideTheRangeAreClampedAndReportedOncePerWrite)
{
    TAdvSmoothProgressBar bar;
    bar.SetProgressAnimation(false);
    std::vector<double> reported;
    bar.OnPositionChanged = [&](QObject* sender, double value) {
        EXPECT_EQ(sender, &bar);
        reported.push_back(value);
    };
    const struct {
        double written;
        double expected;
    } rows[] = {
        {150, 100}, // above the maximum
        {-5, 0},    // below the minimum
        {41.6, 41.6},
        {41.6, 41.6}, // the same value again still reports
    };
    for (const auto& row : rows) {
        bar.SetPosition(row.written);
        EXPECT_DOUBLE_EQ(bar.Position(), row.expected) << row.written;
    }
    EXPECT_EQ(reported, (std::vector<double>{100, 0, 41.6, 41.6}));
}

TEST(SmoothProgressBar, NarrowingTheRangeMovesTheValueInside)
{
    TAdvSmoothProgressBar bar;
    bar.SetProgressAnimation(false);
    bar.SetPosition(80);
    bar.SetMaximum(50);
    EXPECT_DOUBLE_EQ(bar.Position(), 50);
    bar.SetMinimum(60);
    EXPECT_DOUBLE_EQ(bar.Position(), 60);
}

TEST(SmoothProgressBar, NotANumberCountsAsTheMinimum)
{
    TAdvSmoothProgressBar bar;
    bar.SetProgressAnimation(false);
    bar.SetPosition(std::nan(""));
    EXPECT_DOUBLE_EQ(bar.Position(), 0);
}

// Gliding.

TEST(SmoothProgressBar, GlideCoversOneFifteenthOfTheDistancePerTick)
{
    TAdvSmoothProgressBar bar;
    std::vector<double> reported;
    bar.OnPositionChanged = [&](QObject*, double value) { reported.push_back(value); };
    bar.SetPosition(100);
    EXPECT_DOUBLE_EQ(bar.Position(), 0) << "the write itself does not move the bar";
    EXPECT_TRUE(reported.empty());

    bar.Tick();
    EXPECT_NEAR(bar.Position(), 100.0 / 15, 1e-9);
    bar.Tick();
    EXPECT_NEAR(bar.Position(), 100 - 100 * (14.0 / 15) * (14.0 / 15), 1e-9);
    EXPECT_EQ(reported.size(), 2u);

    for (int tick = 0; tick < 2000 && bar.Gliding(); ++tick)
        bar.Tick();
    EXPECT_FALSE(bar.Gliding());
    EXPECT_DOUBLE_EQ(bar.Position(), 100);
}

TEST(SmoothProgressBar, NewPositionWhileGlidingJumpsToIt)
{
    TAdvSmoothProgressBar bar;
    bar.SetPosition(100);
    bar.Tick();
    bar.SetPosition(30);
    EXPECT_DOUBLE_EQ(bar.Position(), 30);
    bar.Tick();
    EXPECT_DOUBLE_EQ(bar.Position(), 30);
    EXPECT_FALSE(bar.Gliding());
}

TEST(SmoothProgressBar, SwitchingAnimationOffLandsAtTheTarget)
{
    TAdvSmoothProgressBar bar;
    bar.SetPosition(70);
    bar.Tick();
    bar.SetProgressAnimation(false);
    EXPECT_DOUBLE_EQ(bar.Position(), 70);
}

TEST(SmoothProgressBar, LoadingSetsPositionsWithoutGliding)
{
    TAdvSmoothProgressBar bar;
    bar.SetLoading(true);
    bar.SetPosition(25);
    EXPECT_DOUBLE_EQ(bar.Position(), 25);
}

// The value text.

TEST(SmoothProgressBar, ValueTextFollowsTypeAndRange)
{
    const struct {
        double minimum, maximum, value;
        TProgressValueType type;
        const char* expected;
    } rows[] = {
        {0, 100, 41.6, vtPercentage, "42%"},         {0, 100, 0, vtPercentage, "0%"},
        {0, 200, 50, vtPercentage, "25%"},           {0, 100, 41.6, vtAbsolute, "42%"},
        {10, 10, 10, vtPercentage, "10%"}, // an empty range shows the maximum
        {0, 15728640, 3145728, vtPercentage, "20%"},
    };
    for (const auto& row : rows) {
        TGDIPProgress appearance;
        appearance.SetValueType(row.type);
        TProgressBarState state;
        state.Minimum = row.minimum;
        state.Maximum = row.maximum;
        state.Value = row.value;
        EXPECT_EQ(TProgressBarPainter(appearance, state).ValueText(), row.expected) << row.value;
    }
}

TEST(ValueFormat, FormatsOneFloatingNumberAndNothingElse)
{
    const struct {
        const char* pattern;
        double value;
        const char* expected;
    } rows[] = {
        {"%.0f%%", 41.6, "42%"},
        {"%.2f", 1.005, "1.00"},
        {"%6.1f|", 2.25, "   2.2|"},
        {"Done: %.0f%% of %.0f", 7, "Done: 7% of %.0f"}, // one number only
        {"%s%n%d", 1, "%s%n%d"},                         // conversions that would read other arguments stay text
        {"%999f", 1, "%999f"},                           // widths beyond the limit stay text
        {"%.99f", 1, "%.99f"},
        {"100%", 1, "100%"}, // a lone percent sign at the end
        {"", 1, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatValue(row.pattern, row.value), row.expected) << row.pattern;
}

TEST(SmoothProgressBar, TextsAreReachableAsQtProperties)
{
    TAdvSmoothProgressBar bar;
    bar.setProperty("Version", "9.9");
    EXPECT_EQ(bar.property("Version").toString(), "1.0.2.1") << "the version cannot be written";
    auto* appearance = bar.property("Appearance").value<TGDIPProgress*>();
    ASSERT_EQ(appearance, bar.Appearance());
    appearance->setProperty("ValueFormat", "%.1f %%");
    EXPECT_EQ(appearance->ValueFormat(), "%.1f %%");
}
