#include "app/wiring.h"

#include <set>

#include <gtest/gtest.h>

#include "app/layout_table.h"

using namespace pv;

TEST(Wiring, EachEventHasAtMostOneHandlerAndSomeHaveNone) {
    std::set<std::pair<std::string, ControlEvent>> seen;
    for (const EventBinding& b : eventBindings()) {
        EXPECT_TRUE(seen.insert({b.control, b.event}).second) << b.control;
        EXPECT_TRUE(bool(b.handler)) << b.control;
    }
    EXPECT_EQ(findHandler(ctl::kPlanlessFetchButton, ControlEvent::Click), nullptr);
    EXPECT_EQ(findHandler(ctl::kBlankButton, ControlEvent::Click), nullptr);
    EXPECT_EQ(findHandler(ctl::kBackThreeNumbersBox, ControlEvent::ContentChanged), nullptr);
    EXPECT_EQ(findHandler(ctl::kRefreshPageCacheButton, ControlEvent::Tick), nullptr);
    for (ControlName box : {ctl::kBackThreePlanBox, ctl::kBackTwoPlanBox})
        EXPECT_NE(findHandler(box, ControlEvent::ContentChanged), nullptr) << box;
    for (ControlName timer : {ctl::kCountdownTimer, ctl::kNightTimer})
        EXPECT_NE(findHandler(timer, ControlEvent::Tick), nullptr) << timer;
    for (ControlName button :
         {ctl::kRefreshPageCacheButton, ctl::kUpdateBlogPlansButton, ctl::kCopyBackThreePlanButton,
          ctl::kCopyBackThreeNumbersButton, ctl::kCopyBackTwoPlanButton,
          ctl::kCopyBackTwoNumbersButton, ctl::kCopyFetchedPlanButton, ctl::kCopyBlogPlansButton})
        EXPECT_NE(findHandler(button, ControlEvent::Click), nullptr) << button;
}

TEST(Wiring, EveryButtonAndTimerOfTheLayoutHasItsHandler) {
    int buttons = 0, timers = 0;
    for (const ControlSpec& c : layoutTable()) {
        if (c.kind == ControlKind::Button) {
            ++buttons;
            const bool silent = c.name == ctl::kPlanlessFetchButton || c.name == ctl::kBlankButton;
            EXPECT_EQ(findHandler(c.name, ControlEvent::Click) == nullptr, silent) << c.name;
        }
        if (c.kind == ControlKind::Timer) {
            ++timers;
            EXPECT_NE(findHandler(c.name, ControlEvent::Tick), nullptr) << c.name;
        }
    }
    EXPECT_EQ(buttons, 216);
    EXPECT_EQ(timers, 40);
    // And no binding names a control that is not there or not of the event's kind.
    for (const EventBinding& b : eventBindings()) {
        const ControlSpec* c = findControl(b.control);
        ASSERT_NE(c, nullptr) << b.control;
        const ControlKind expected = b.event == ControlEvent::Click  ? ControlKind::Button
                                     : b.event == ControlEvent::Tick ? ControlKind::Timer
                                                                     : ControlKind::EditBox;
        EXPECT_EQ(c->kind, expected) << b.control;
    }
    EXPECT_EQ(eventBindings().size(), 214u + 40u + 2u);
}
