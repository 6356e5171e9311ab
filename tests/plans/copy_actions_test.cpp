#include "plans/copy_actions.h"

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "app/wiring.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"

using namespace pv;
using namespace pv::test;

TEST(CopyButtons, UnsetNumbersCopyEmptyTextAndAHeldClipboardChangesNothing) {
    FakeControls controls(layoutTable());
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
    const auto click = [&app](ControlName button) {
        (*findHandler(button, ControlEvent::Click))(app);
    };
    ASSERT_TRUE(desktop.setClipboardText("旧的内容"));
    click(ctl::kCopyBackTwoNumbersButton);
    EXPECT_EQ(desktop.clipboard(), "");

    controls.setText(ctl::kFetchedPlanBox, "计划\r\n");
    desktop.setClipboardAvailable(false);
    for (ControlName button : {ctl::kCopyBackThreePlanButton, ctl::kCopyBackThreeNumbersButton,
                               ctl::kCopyBackTwoPlanButton, ctl::kCopyBackTwoNumbersButton,
                               ctl::kCopyFetchedPlanButton, ctl::kCopyBlogPlansButton})
        click(button);
    desktop.setClipboardAvailable(true);
    EXPECT_EQ(desktop.clipboard(), "");
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_EQ(controls.unknownNames(), std::vector<std::string>());
}
