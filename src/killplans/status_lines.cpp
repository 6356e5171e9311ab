#include "killplans/status_lines.h"

#include "core/text.h"
#include "core/text_between.h"

namespace pv {
namespace {

// Exactly 39: a longer line of hyphens still ends the section, at its first hyphen.
constexpr std::string_view kSeparator = "---------------------------------------";
static_assert(kSeparator.size() == 39);
constexpr std::string_view kMarker = "进行中";

// The first character start at or after `target`, walking from `from`, itself one. A match of
// `target`'s marker may still begin there once more bytes come. Never the very end of `t`, where
// a lone lead byte may yet get its trail.
std::size_t characterAtOrAfter(std::string_view t, std::size_t from, std::size_t target) {
    while (from < target && from < t.size())
        from += charWidth(t, from);
    return from;
}

// Where the first byte of a marker of `length` bytes may still stand once `t` grows.
std::size_t stillOpen(std::string_view t, std::size_t length) {
    return t.size() < length ? 0 : t.size() - length + 1;
}

StatusLinesFollower& followerOf(ControlName box) {
    // Handlers run on the window thread; a follower checks the box's content run before it trusts
    // what it has seen, so one kept from another window never misleads it.
    thread_local StatusLinesFollower box2;
    thread_local StatusLinesFollower box10;
    return box == ctl::kBackThreePlanBox ? box2 : box10;
}

}  // namespace

std::string inProgressSection(std::string_view boxText) {
    return textBetween(boxText, kMarker, kSeparator);
}

void StatusLinesFollower::follow(Controls& controls, ControlName box) {
    ContentSince since = controls.contentSince(box, run_, size_);
    if (since.run == 0 || since.run != run_ || !since.appendedOnly) {
        phase_ = Phase::Marker;
        held_ = std::move(since.bytes);
        section_.clear();
        lines_.clear();
    } else if (phase_ != Phase::Done) {
        held_.append(since.bytes);
    }
    run_ = since.run;
    size_ = since.size;
    advance();
}

void StatusLinesFollower::advance() {
    // held_ starts on a character, so its character grid is the box's.
    if (phase_ == Phase::Marker) {
        const int at = findText(held_, kMarker);
        if (at == -1) {
            held_.erase(0, characterAtOrAfter(held_, 0, stillOpen(held_, kMarker.size())));
            return;
        }
        held_.erase(0, static_cast<std::size_t>(at - 1) + kMarker.size());
        phase_ = Phase::Separator;
        resume_ = 0;
    }
    if (phase_ == Phase::Separator) {
        const int start = static_cast<int>(resume_) + 1;
        const int at = findTextFrom(held_, kSeparator, start, start);
        if (at == -1) {
            resume_ = characterAtOrAfter(held_, resume_, stillOpen(held_, kSeparator.size()));
            return;
        }
        held_.resize(static_cast<std::size_t>(at - 1));
        section_ = std::move(held_);
        held_ = std::string();
        lines_ = cleanStatusLines(section_);
        phase_ = Phase::Done;
    }
}

std::string cleanStatusLines(std::string_view section) {
    std::string out;
    for (const std::string& line : splitText(section, "\r\n")) {
        const std::string kept = trimRight(trimLeft(line));
        if (!kept.empty()) out += kept + "\r\n";
    }
    return out;
}

void onBackThreePlanBoxChanged(App& app) {
    StatusLinesFollower& follower = followerOf(ctl::kBackThreePlanBox);
    follower.follow(app.controls, ctl::kBackThreePlanBox);
    // The raw section shows for a moment before its cleaned form replaces it. The box holds the
    // section byte for byte once written, so the cleaning is that of the section itself.
    app.controls.setText(ctl::kBackThreeNumbersBox, follower.section());
    app.controls.setText(ctl::kBackThreeNumbersBox, follower.lines());
}

void onBackTwoPlanBoxChanged(App& app) {
    StatusLinesFollower& follower = followerOf(ctl::kBackTwoPlanBox);
    follower.follow(app.controls, ctl::kBackTwoPlanBox);
    app.state.planStatusText = follower.lines();
}

}  // namespace pv
