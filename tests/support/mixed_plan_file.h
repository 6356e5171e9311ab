// A plan file that mixes lines the kill-plan rows must list with near misses, and which rows
// list each line. Shared by the rule tests and the window tests. Texts are GBK.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace pv::test {

struct MixedLine {
    std::string line;
    std::set<std::string> buttons;  // the rows that list it
    std::string match = {};         // what they list when it is not the whole line
};

inline const std::vector<MixedLine>& mixedPlanLines() {
    static const std::vector<MixedLine> lines = {
        {"20240101期 【乾坤】本期杀尾：3 4", {ctl::button(46)}},
        {"12期 【乾坤】本期杀尾：5", {}},        // two-digit period
        {"20240102期【乾坤】本期杀尾：6", {}},   // no blank after 期
        {"20240103期 【坤乾】本期杀尾：7", {}},  // wrong label
        {"20240103期 【乾坤】本期杀跨：7", {}},  // the 乾坤 row wants 杀尾
        {"20240104期 【局宴】本期杀码：8", {}},  // no 跨
        {"20240105期 【局宴】本期杀跨：9", {ctl::button(211)}},
        {"001-003期 【金囍】本期杀尾：1", {ctl::button(48)}},
        {"001期 【金囍】本期杀尾：1", {}},      // 金囍 wants a range
        {"001-003期 【金喜】本期杀尾：2", {}},  // the caption's 喜 is not the label's
        {"004-006期 【明珠】本期杀跨：3", {ctl::button(212)}},
        {"004期 【明珠】本期杀跨：3", {}},
        // A single-period row finds the period behind a range's hyphen.
        {"004-006期 【皇家】本期杀尾：3", {ctl::button(209)}, "006期 【皇家】本期杀尾：3"},
        {"20240106期 【皇家】本期杀尾：0", {ctl::button(209)}},
        {"20240107期 【盈利】本期杀尾：1", {ctl::button(210)}},
        {"20240107期 【盈利】本期杀跨：2", {ctl::button(213)}},
        {"20240108期 【盈利】杀尾杀跨：3 4", {ctl::button(210), ctl::button(213)}},
        {"20240109期 【佛咒】本期杀尾：5", {ctl::button(214)}},
        {"20240109期 【虞姬】本期杀尾：6", {ctl::button(215)}},
        {"20240109期 【貔貅】本期杀尾：7", {ctl::button(216)}},
        {"20240110期 【乾坤】第二次杀尾：8 9", {ctl::button(46)}},
    };
    return lines;
}

inline std::string mixedPlanFile() {
    std::string file = "岚枫阁计划\r\n";
    for (const MixedLine& m : mixedPlanLines())
        file += m.line + "\r\n";
    return file;
}

// What the row of `button` lists, in file order.
inline std::vector<std::string> listedBy(const std::string& button) {
    std::vector<std::string> listed;
    for (const MixedLine& m : mixedPlanLines())
        if (m.buttons.count(button)) listed.push_back(m.match.empty() ? m.line : m.match);
    return listed;
}

}  // namespace pv::test
