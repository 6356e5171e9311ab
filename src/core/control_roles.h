// Every control of the main window by its role, with the control's own name as the value. The
// numbered plan controls (the plan buttons and their refresh timers), which the plan catalogue
// lists by number, are made by button() and timer().
#pragma once

#include <string_view>

#include "core/control_name.h"

namespace pv {

struct ctl final {
    ctl() = delete;

    // The window itself.
    static constexpr ControlName kWindow{"MainWindow"};

    // The latest draw, top left: a panel with the issue and counter caption, three of the five
    // digits and the countdown timer; the other two digits stand beside it.
    static constexpr ControlName kDrawPanel{"外形框1"};
    static constexpr ControlName kDrawPanelCaption{"标签3"};
    static constexpr ControlName kDrawDigit1{"标签2"};
    static constexpr ControlName kDrawDigit2{"标签10"};
    static constexpr ControlName kDrawDigit3{"标签11"};
    static constexpr ControlName kDrawDigit4{"标签12"};
    static constexpr ControlName kDrawDigit5{"标签13"};
    static constexpr ControlName kDrawHistoryGrid{"高级表格1"};

    // The countdown to the next draw and the night trigger.
    static constexpr ControlName kCountdownTimer{"时钟1"};
    static constexpr ControlName kNightTimer{"时钟2"};
    static constexpr ControlName kCountdownCaption{"标签6"};
    static constexpr ControlName kCountdownLabel{"标签4"};

    // The publisher: announcement, update check and visit counter.
    static constexpr ControlName kAnnouncementBox{"编辑框3"};
    static constexpr ControlName kVersionLabel{"透明标签1"};
    static constexpr ControlName kDownloadAddressLabel{"透明标签2"};
    static constexpr ControlName kDownloadLink{"超级链接框1"};
    static constexpr ControlName kCounterWorkLabel{"标签5"};
    static constexpr ControlName kUnusedLabel{"标签1"};

    // The refresh period of the shown plans, in seconds, with its caption and unit.
    static constexpr ControlName kRefreshPeriodCaption{"标签8"};
    static constexpr ControlName kRefreshPeriodBox{"编辑框6"};
    static constexpr ControlName kRefreshPeriodUnit{"标签9"};

    // The page cache: its hidden list, the workers' pause log and the button that refreshes it.
    static constexpr ControlName kPageCacheList{"超级列表框1"};
    static constexpr ControlName kPageCachePassLog{"编辑框9"};
    static constexpr ControlName kRefreshPageCacheButton{"按钮25"};

    // The main pages and, on the fetched-plan page, the pages of fetch buttons.
    static constexpr ControlName kMainTabs{"选择夹1"};
    static constexpr ControlName kPlanTabs{"选择夹2"};

    // "后三700大底": the back-three plan box, its in-progress numbers and the copy buttons.
    static constexpr ControlName kBackThreePlanBox{"编辑框2"};
    static constexpr ControlName kBackThreeNumbersBox{"编辑框1"};
    static constexpr ControlName kCopyBackThreePlanButton{"按钮3"};
    static constexpr ControlName kCopyBackThreeNumbersButton{"按钮1"};

    // "后二60注": the back-two plan box and its copy buttons.
    static constexpr ControlName kBackTwoPlanBox{"编辑框10"};
    static constexpr ControlName kCopyBackTwoPlanButton{"按钮27"};
    static constexpr ControlName kCopyBackTwoNumbersButton{"按钮29"};

    // "岚枫阁计划": the fetched-plan box, its copy button and the fetch-grid button without a
    // plan.
    static constexpr ControlName kFetchedPlanBox{"编辑框4"};
    static constexpr ControlName kCopyFetchedPlanButton{"按钮24"};
    static constexpr ControlName kPlanlessFetchButton{"按钮23"};

    // "博客地址更新": the blog plan addresses, their buttons and status line.
    static constexpr ControlName kBlogPlansBox{"编辑框5"};
    static constexpr ControlName kUpdateBlogPlansButton{"按钮33"};
    static constexpr ControlName kCopyBlogPlansButton{"按钮34"};
    static constexpr ControlName kBlogStatusLabel{"标签7"};

    // "纯人工计划": two boxes and a button without caption or handler.
    static constexpr ControlName kIdeaBox{"编辑框8"};
    static constexpr ControlName kNotesBox{"编辑框7"};
    static constexpr ControlName kBlankButton{"按钮26"};

    static constexpr int kButtons = 216;  // 按钮1 to 按钮216
    static constexpr int kTimers = 40;    // 时钟1 to 时钟40

    // "按钮" + number; a number outside 1 to kButtons fails (to compile, in a constant).
    static constexpr ControlName button(int number) { return numbered("按钮", number, kButtons); }
    // "时钟" + number; a number outside 1 to kTimers fails (to compile, in a constant).
    static constexpr ControlName timer(int number) { return numbered("时钟", number, kTimers); }

  private:
    static constexpr ControlName numbered(std::string_view word, int number, int last) {
        if (number < 1 || number > last) throw std::out_of_range("no control has that number");
        char bytes[ControlName::kCapacity] = {};
        std::size_t size = 0;
        for (char ch : word)
            bytes[size++] = ch;
        char digits[4] = {};
        int count = 0;
        for (int n = number; n > 0; n /= 10)
            digits[count++] = char('0' + n % 10);
        while (count > 0)
            bytes[size++] = digits[--count];
        return ControlName(std::string_view(bytes, size));
    }
};

}  // namespace pv
