#include "publisher/announcement.h"

#include "core/convert.h"
#include "core/text.h"
#include "web/fetch_url.h"

namespace pv {
namespace {

std::string publisherPage(const Settings& settings, std::string_view path) {
    return settings.publisherSite + std::string(path);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
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

std::optional<std::string> openableAddress(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    std::size_t rest = 0;
    if (compareText(leftText(text, 7), "http://", false) == 0) {
        rest = 7;
    } else if (compareText(leftText(text, 8), "https://", false) == 0) {
        rest = 8;
    } else {
        return std::nullopt;
    }
    for (const char c : text)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return std::nullopt;
    std::string_view authority = text.substr(rest);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    const std::string_view host = authority.substr(authority.rfind('@') + 1);
    if (host.empty() || host.front() == ':') return std::nullopt;
    return std::string(text);
}

void loadAnnouncement(App& app) {
    Controls& c = app.controls;
    c.setText("编辑框3", toText(fetchUrl(publisherPage(app.settings, "/ruanjian/gonggao.htm"))));
    c.setText("编辑框3", announcementText(c.text("编辑框3")));
}

void checkForUpdate(App& app) {
    runUpdateCheck(app, kNewVersionWaitMs);
}

void runUpdateCheck(App& app, int waitMs) {
    Controls& c = app.controls;
    c.setText("透明标签1", toText(fetchUrl(publisherPage(app.settings, "/ruanjian/gengxin.htm"))));
    if (judgeVersion(c.text("透明标签1"), c.text("MainWindow")) != VersionVerdict::NewVersion) {
        c.setVisible("超级链接框1", false);
        return;
    }
    c.setText("透明标签2", toText(fetchUrl(publisherPage(app.settings, "/ruanjian/xzlj.htm"))));
    app.desktop.messageBox("发现新版本！请下载最新版");
    c.setVisible("超级链接框1", false);
    const std::string link = c.text("透明标签2");
    c.setText("超级链接框1", link);
    // The address comes from outside: anything but a web address stays unopened.
    if (const auto address = openableAddress(link)) app.desktop.openAddress(*address);
    c.setText("编辑框2", "#换行符+软件已更新！请下载最新版……");
    app.desktop.delay(waitMs);
    app.desktop.closeMainWindow();
}

}  // namespace pv
