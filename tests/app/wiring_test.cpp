#include "app/wiring.h"

#include <set>

#include <gtest/gtest.h>

using namespace pv;

TEST(Wiring, EachEventHasAtMostOneHandlerAndSomeHaveNone) {
    std::set<std::pair<std::string, ControlEvent>> seen;
    for (const EventBinding& b : eventBindings()) {
        EXPECT_TRUE(seen.insert({b.control, b.event}).second) << b.control;
        EXPECT_TRUE(bool(b.handler)) << b.control;
    }
    EXPECT_EQ(findHandler("按钮23", ControlEvent::Click), nullptr);
    EXPECT_EQ(findHandler("按钮26", ControlEvent::Click), nullptr);
    EXPECT_EQ(findHandler("编辑框1", ControlEvent::ContentChanged), nullptr);
    EXPECT_EQ(findHandler("按钮25", ControlEvent::Tick), nullptr);
    for (const char* box : {"编辑框2", "编辑框10"})
        EXPECT_NE(findHandler(box, ControlEvent::ContentChanged), nullptr) << box;
    for (const char* timer : {"时钟1", "时钟2"})
        EXPECT_NE(findHandler(timer, ControlEvent::Tick), nullptr) << timer;
    for (const char* button :
         {"按钮25", "按钮33", "按钮3", "按钮1", "按钮27", "按钮29", "按钮24", "按钮34"})
        EXPECT_NE(findHandler(button, ControlEvent::Click), nullptr) << button;
}
