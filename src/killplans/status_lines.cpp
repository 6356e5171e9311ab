#include "killplans/status_lines.h"

#include "core/text.h"
#include "core/text_between.h"

namespace pv {
namespace {

// Exactly 39: a longer line of hyphens still ends the section, at its first hyphen.
constexpr std::string_view kSeparator = "---------------------------------------";
static_assert(kSeparator.size() == 39);

}  // namespace

std::string inProgressSection(std::string_view boxText) {
    return textBetween(boxText, "进行中", kSeparator);
}

std::string cleanStatusLines(std::string_view section) {
    std::string out;
    for (const std::string& line : splitText(section, "\r\n")) {
        const std::string kept = trimRight(trimLeft(line));
        if (!kept.empty()) out += kept + "\r\n";
    }
    return out;
}

void onBox2Changed(App& app) {
    // The raw section shows for a moment before its cleaned form replaces it; the cleaning works
    // on what the box then holds.
    app.controls.setText(ctl::kBackThreeNumbersBox,
                         inProgressSection(app.controls.text(ctl::kBackThreePlanBox)));
    app.controls.setText(ctl::kBackThreeNumbersBox,
                         cleanStatusLines(app.controls.text(ctl::kBackThreeNumbersBox)));
}

void onBox10Changed(App& app) {
    std::string& status = app.state.planStatusText;
    status = inProgressSection(app.controls.text(ctl::kBackTwoPlanBox));
    status = cleanStatusLines(status);
}

}  // namespace pv
