#include "killplans/status_lines.h"

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "app/wiring.h"
#include "core/text.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"

using namespace pv;
using namespace pv::test;

namespace {

const std::string kSep = repeatText(39, "-");

struct Case {
    const char* what;
    std::string box;
    std::string lines;
};

const Case kCases[] = {
    {"no marker", "第1期 123\r\n" + kSep + "\r\n", ""},
    {"no separator", "进行中\r\n123\r\n456\r\n", ""},
    {"only a separator before the marker", kSep + "\r\n进行中\r\n123\r\n", ""},
    {"a separator before the marker", kSep + "\r\n进行中\r\n 123 \r\n" + kSep + "\r\n", "123\r\n"},
    {"40 hyphens end the section", "进行中\r\n123\r\n" + kSep + "-\r\n", "123\r\n"},
    {"38 hyphens do not", "进行中\r\n1\r\n" + repeatText(38, "-") + "\r\n2\r\n" + kSep,
     "1\r\n" + repeatText(38, "-") + "\r\n2\r\n"},
    {"blank and full-width blank lines",
     "进行中\r\n  123 456  \r\n\r\n   \r\n　　\r\n　789　 \r\n" + kSep, "123 456\r\n789\r\n"},
    {"only the first marker counts", "第1期 进行中 A\r\n" + kSep + "\r\n第2期 进行中 B\r\n" + kSep,
     "A\r\n"},
    {"a second marker inside the section is text", "进行中 A 进行中 B\r\n" + kSep,
     "A 进行中 B\r\n"},
    {"text after the marker is the first line",
     "第5期 进行中 开奖中  \r\n 01 02 \r\n" + kSep + "\r\n历史\r\n", "开奖中\r\n01 02\r\n"},
    {"the last line needs no line end", "进行中\r\n01" + kSep, "01\r\n"},
};

TEST(StatusLines, KeepEachNonBlankInProgressLineTrimmedWithItsOwnLineEnd) {
    for (const Case& c : kCases)
        EXPECT_EQ(statusLines(c.box), c.lines) << c.what;
}

// The two plan boxes wired to their handlers, as in the window.
class StatusLinesHandlers : public ::testing::Test {
  protected:
    StatusLinesHandlers() {
        controls.setContentChangedHandler([this](ControlName name) {
            if (const Handler* h = findHandler(name, ControlEvent::ContentChanged)) (*h)(app);
        });
    }

    FakeControls controls{layoutTable()};
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
};

TEST_F(StatusLinesHandlers, EachBoxChangeRewritesItsOwnTarget) {
    // 编辑框1 shows the raw section before its cleaned lines replace it.
    controls.setText(ctl::kBackThreePlanBox, "进行中\r\n 01 \r\n\r\n" + kSep);
    EXPECT_EQ(controls.history(ctl::kBackThreeNumbersBox),
              (std::vector<std::string>{"\r\n 01 \r\n\r\n", "01\r\n"}));
    controls.setText(ctl::kBackTwoPlanBox, "第9期 进行中\r\n　23 45　\r\n" + kSep);
    EXPECT_EQ(state.planStatusText, "23 45\r\n");
    EXPECT_EQ(controls.text(ctl::kBackThreeNumbersBox), "01\r\n");
    controls.appendText(ctl::kBackTwoPlanBox, "\r\n进行中 67\r\n" + kSep);
    EXPECT_EQ(state.planStatusText, "23 45\r\n");
    controls.setText(ctl::kBackTwoPlanBox, "进行中 without its separator");
    EXPECT_EQ(state.planStatusText, "");
    EXPECT_EQ(controls.unknownNames(), std::vector<std::string>());
}

// Whatever pieces a box grows by (a marker or separator cut in two, a two-byte character cut
// after its lead byte), the lines after every change are those of the whole box.
TEST_F(StatusLinesHandlers, AfterEveryAppendTheLinesAreThoseOfTheWholeBox) {
    const std::string text = "第1期 进 行中 01\r\n-- " + kSep.substr(1) +
                             "\r\n第2期 进行中 　02　\r\n" + repeatText(38, "-") +
                             "\r\n\r\n 03 \r\n" + kSep + "-\r\n第3期 进行中 04\r\n";
    for (std::size_t step : {1, 2, 3, 5, 7, 40}) {
        for (const ControlName box : {ctl::kBackThreePlanBox, ctl::kBackTwoPlanBox}) {
            SCOPED_TRACE(std::string(box) + " in pieces of " + std::to_string(step));
            controls.setText(box, text.substr(0, 4));
            for (std::size_t at = 4; at < text.size(); at += step) {
                controls.appendText(box, text.substr(at, step));
                const std::string whole = text.substr(0, std::min(text.size(), at + step));
                if (std::string(box) == ctl::kBackTwoPlanBox) {
                    ASSERT_EQ(state.planStatusText, statusLines(whole)) << at;
                    continue;
                }
                const std::vector<std::string> shown = controls.history(ctl::kBackThreeNumbersBox);
                ASSERT_GE(shown.size(), 2u);
                ASSERT_EQ(shown[shown.size() - 2], inProgressSection(whole)) << at;
                ASSERT_EQ(shown.back(), statusLines(whole)) << at;
            }
        }
    }
    EXPECT_EQ(statusLines(text), "02\r\n" + repeatText(38, "-") + "\r\n03\r\n");
}

}  // namespace
