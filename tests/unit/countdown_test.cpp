#include "confirm/countdown.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kFormat = "\nwithin %lu sec!!";

}  // namespace

TEST(Countdown, FifteenSecondsCountDownFromFifteenToOneThenPress) {
    const uint32_t timeout = CountdownTimeoutField(15000);
    EXPECT_EQ(timeout, 14999u);
    EXPECT_EQ(CountdownFirstSeconds(timeout), 15u);

    struct Tick {
        uint32_t elapsed;
        uint32_t secondsLeft;
    };
    // Ticks come about a second apart, a little early or late: a whole second is shown from
    // 100 ms before it is reached, and the last 900 ms before the press show 0.
    const Tick ticks[] = {{0, 15},    {99, 15},   {100, 14},   {1000, 14},  {1099, 14}, {1100, 13},
                          {2000, 13}, {7500, 7},  {14000, 1},  {14099, 1},  {14100, 0}, {14998, 0}};
    for (const Tick& t : ticks) {
        EXPECT_FALSE(CountdownExpired(timeout, t.elapsed)) << t.elapsed;
        EXPECT_EQ(CountdownSecondsLeft(timeout, t.elapsed), t.secondsLeft) << t.elapsed;
    }
    EXPECT_FALSE(CountdownExpired(timeout, 14998));
    EXPECT_TRUE(CountdownExpired(timeout, 14999));
    EXPECT_TRUE(CountdownExpired(timeout, 16000));
}

TEST(Countdown, ElapsedSurvivesAWrapOfTheTickCounter) {
    EXPECT_EQ(CountdownElapsed(0xFFFFFC18u, 0x000003E8u), 2000u);  // started 1 s before the wrap
    EXPECT_EQ(CountdownElapsed(5000, 5000), 0u);
    const uint32_t timeout = CountdownTimeoutField(3000);
    EXPECT_FALSE(CountdownExpired(timeout, CountdownElapsed(0xFFFFFF00u, 0x00000A00u)));
    EXPECT_TRUE(CountdownExpired(timeout, CountdownElapsed(0xFFFFFF00u, 0x00000C00u)));
}

TEST(Countdown, ExtremeTimeoutsNeitherWrapNorPressEarly) {
    // 0 ms would wrap to a wait of 49 days: it counts as 1 ms and is due at the first tick.
    EXPECT_EQ(CountdownTimeoutField(0), 0u);
    EXPECT_TRUE(CountdownExpired(CountdownTimeoutField(0), 0));
    EXPECT_EQ(CountdownFirstSeconds(CountdownTimeoutField(0)), 0u);
    EXPECT_EQ(CountdownTimeoutField(1), 0u);
    // The longest timeout shows its whole length, not a wrapped count.
    const uint32_t longest = CountdownTimeoutField(0xFFFFFFFFu);
    EXPECT_EQ(CountdownFirstSeconds(longest), 4294967u);
    EXPECT_EQ(CountdownSecondsLeft(longest, 0), 4294967u);
    EXPECT_FALSE(CountdownExpired(longest, 0xFFFFFFFDu));
}

TEST(Countdown, ComposesTheBaseTextAndTheFilledInSuffix) {
    EXPECT_STREQ(ComposeCountdownText("Press button", kFormat, 15), "Press button\nwithin 15 sec!!");
    EXPECT_STREQ(ComposeCountdownText("Press button", kFormat, 1), "Press button\nwithin 1 sec!!");
    EXPECT_STREQ(ComposeCountdownText("", kFormat, 3), "\nwithin 3 sec!!");
    // No format: the base text alone, whatever the seconds.
    EXPECT_STREQ(ComposeCountdownText("Press button", "", 15), "Press button");
    // Percent signs in the base text are shown as they are, never taken as conversions.
    EXPECT_STREQ(ComposeCountdownText("100% %s", " (%lu s, 100%%)", 4), "100% %s (4 s, 100%)");
}

TEST(Countdown, OnlyFormatsThatTakeOneUnsignedLongAreFilledIn) {
    struct Case {
        const char* format;
        const char* shown;  // the base text "T" with the suffix for 7 seconds
    };
    const Case usable[] = {
        {"%5lu", "T    7"}, {"%-3.2lx|", "T07 |"}, {"%lX left", "T7 left"}, {"%ld", "T7"},
        {"no count", "Tno count"}, {"100%% sure", "T100% sure"},
    };
    for (const Case& c : usable) {
        EXPECT_TRUE(IsCountdownFormatUsable(c.format)) << c.format;
        EXPECT_STREQ(ComposeCountdownText("T", c.format, 7), c.shown) << c.format;
    }
    // Anything that would read an argument of another type, or more than one, is not used:
    // the box shows its base text alone.
    const char* const unusable[] = {"%s", "%u", "%lu %lu", "%*lu", "%.*lu", "%n", "%llu", "trailing %", "%l", "%lf"};
    for (const char* format : unusable) {
        EXPECT_FALSE(IsCountdownFormatUsable(format)) << format;
        EXPECT_STREQ(ComposeCountdownText("T", format, 7), "T") << format;
    }
    EXPECT_FALSE(IsCountdownFormatUsable(nullptr));
}
