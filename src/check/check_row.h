// One row of the plan check as the page shows it: a plan, the kind of its open run as read, where
// that run stands and the record of its runs decided since the program started. Texts are GBK.
#pragma once

#include <string>

#include "core/control_name.h"

namespace pv {

// What the plan's own site printed for the latest decided run, beside our verdict for it.
enum class SiteRecord {
    Unknown,    // "—": not listed yet, or its mark cannot be read
    Agrees,     // "一致"
    Disagrees,  // "不符"
};

struct CheckRow {
    ControlName button;      // the plan's own button; activating the row does what it does
    std::string plan;        // 计划: the plan's caption
    std::string kind;        // 类型: the kind as read ("后三700注"), or why it cannot be read
    std::string period;      // 本期: the open run's periods ("261209025-026期")
    std::string status;      // 状态: "等开", "第N期中" or "挂"
    int decided = 0;         // 已验: runs decided since start
    int hits = 0;            // of those, the hits
    int missRun = 0;         // 连挂: the current run of misses
    int longestMissRun = 0;  // 最大连挂
    std::string lastTen;     // 近10期: the last ten verdicts, oldest first, as 中 and 挂
    SiteRecord site = SiteRecord::Unknown;  // 网站记录
};

// 命中率: "7/10 70%"; "0/0" before the first decided run.
std::string hitRateText(int hits, int decided);
// 网站记录 as shown.
std::string siteRecordText(SiteRecord record);

}  // namespace pv
