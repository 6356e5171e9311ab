#include "publisher/announcement.h"

#include "core/convert.h"
#include "core/desktop_rules.h"
#include "core/text.h"
#include "web/fetch_url.h"

namespace pv {
namespace {

std::string publisherPage(const Settings& settings, std::string_view path) {
    return settings.publisherSite + std::string(path);
}

}  // namespace

std::string announcementText(std::string_view page) {
    return replaceText(page, "</p> ", "", 1, -1, true);
}

VersionVerdict judgeVersion(std::string_view published, std::string_view caption) {
    if (published == caption) return VersionVerdict::Current;
    // An unreachable site is no news of a version; only text it actually served counts.
    if (published.empty()) return VersionVerdict::Unknown;
    return VersionVerdict::NewVersion;
}

void loadAnnouncement(App& app) {
    Controls& c = app.controls;
    c.setText(ctl::kAnnouncementBox,
              toText(fetchUrl(publisherPage(app.settings, "/ruanjian/gonggao.htm"))));
    c.setText(ctl::kAnnouncementBox, announcementText(c.text(ctl::kAnnouncementBox)));
}

void checkForUpdate(App& app) {
    runUpdateCheck(app, kNewVersionWaitMs);
}

void runUpdateCheck(App& app, int waitMs) {
    Controls& c = app.controls;
    c.setText(ctl::kVersionLabel,
              toText(fetchUrl(publisherPage(app.settings, "/ruanjian/gengxin.htm"))));
    c.setText(ctl::kDownloadAddressLabel,
              toText(fetchUrl(publisherPage(app.settings, "/ruanjian/xzlj.htm"))));
    if (judgeVersion(c.text(ctl::kVersionLabel), c.text(ctl::kWindow)) !=
        VersionVerdict::NewVersion) {
        c.setVisible(ctl::kDownloadLink, false);
        return;
    }
    app.desktop.messageBox("发现新版本！请下载最新版");
    c.setVisible(ctl::kDownloadLink, false);
    const std::string link = c.text(ctl::kDownloadAddressLabel);
    c.setText(ctl::kDownloadLink, link);
    // The address comes from outside: anything but a web address stays unopened.
    if (const auto address = webAddressToOpen(link)) app.desktop.openAddress(*address);
    c.setText(ctl::kBackThreePlanBox, "#换行符+软件已更新！请下载最新版……");
    app.desktop.delay(waitMs);
    app.desktop.closeMainWindow();
}

}  // namespace pv
