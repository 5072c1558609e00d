#include "confirm/held_keys.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

constexpr unsigned kEnter = 0x0D;
constexpr unsigned kSpace = 0x20;

struct Message {
    unsigned key;
    KeyTransition transition;
    bool madeBeforeQuestion;
    bool taken;
    bool dropped;  // expected
};

constexpr KeyTransition kDown = KeyTransition::Down;
constexpr KeyTransition kUp = KeyTransition::Up;

void ExpectDrops(HeldKeys& keys, const Message* messages, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const Message& m = messages[i];
        EXPECT_EQ(keys.Drops(m.key, m.transition, m.madeBeforeQuestion, m.taken), m.dropped) << "message " << i;
    }
}

}  // namespace

TEST(HeldKeys, AKeyHeldSinceBeforeTheQuestionIsDroppedUntilItsReleaseThenAFreshPressPasses) {
    HeldKeys keys;
    keys.Hold(kEnter);
    const Message messages[] = {
        {kEnter, kDown, false, true, true},   // a repeat, whatever its repeat bit
        {kEnter, kDown, false, false, true},  // only looked at: still held
        {kSpace, kDown, false, true, false},  // another key, pressed afresh
        {kEnter, kUp, false, false, true},    // the release, only looked at: still held
        {kEnter, kDown, false, true, true},
        {kEnter, kUp, false, true, true},     // the release itself answers nothing
        {kEnter, kDown, false, true, false},  // a fresh press
        {kEnter, kUp, false, true, false},
    };
    ExpectDrops(keys, messages, std::size(messages));
    EXPECT_FALSE(keys.AnyHeld());
}

TEST(HeldKeys, APressMadeBeforeTheQuestionShowedHoldsItsKeyUntilReleased) {
    HeldKeys keys;
    const Message messages[] = {
        {kEnter, kDown, true, false, true},   // only looked at: dropped, but holds nothing yet
        {kSpace, kUp, true, true, true},      // a release made before: dropped, holds nothing
        {kEnter, kDown, true, true, true},    // taken: now held
        {kEnter, kDown, false, true, true},   // its repeats after the question showed
        {kEnter, kUp, false, true, true},
        {kEnter, kDown, false, true, false},
    };
    ExpectDrops(keys, messages, std::size(messages));
    EXPECT_FALSE(keys.IsHeld(kSpace));
}

TEST(HeldKeys, CodesOutsideTheKeyRangeAreNeverHeldOrDropped) {
    HeldKeys keys;
    keys.Hold(256);
    EXPECT_FALSE(keys.AnyHeld());
    EXPECT_FALSE(keys.Drops(256, kDown, true, true));
    EXPECT_FALSE(keys.Drops(100000, kUp, true, true));
    EXPECT_FALSE(keys.AnyHeld());
    keys.Hold(255);
    EXPECT_TRUE(keys.IsHeld(255));
}
