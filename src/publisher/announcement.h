// The publisher's announcement and the update check, both run by the start-up sequence.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/program_state.h"

namespace pv {

// How long the window stays after a new version is reported.
inline constexpr int kNewVersionWaitMs = 30000;

// The announcement as shown: every "</p> " removed, a bare "</p>" kept.
std::string announcementText(std::string_view page);

enum class VersionVerdict {
    Current,     // the published caption is the window's own
    Unknown,     // the version page gave nothing: no finding either way
    NewVersion,  // any other text, even one that differs by a line end
};
VersionVerdict judgeVersion(std::string_view published, std::string_view caption);

void loadAnnouncement(App& app);
void checkForUpdate(App& app);
// The update check with the given wait before the window goes.
void runUpdateCheck(App& app, int waitMs);

}  // namespace pv
