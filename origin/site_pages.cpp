#include "origin/site_pages.h"

#include <cstdio>

#include "catalogue/catalogue.h"
#include "core/code_page.h"

namespace pv::origin {
namespace {

const std::string kCrLf = "\r\n";

std::string detailAddress(const SiteAddresses& sites, int row) {
    return sites.planPageSite +
           detailPath(pageCacheDetailPages().at(static_cast<std::size_t>(row)));
}

}  // namespace

std::string trendPage(Seconds now) {
    const std::vector<Draw> draws = recentDraws(now, kTrendDraws);
    std::string list;
    for (auto it = draws.rbegin(); it != draws.rend(); ++it)
        list += it->issue + "=" + digitsText(*it) + ";";

    const std::string indent(20, ' ');
    std::string page = "<html>" + kCrLf + "<head>" + kCrLf;
    page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />" + kCrLf;
    page += "<title>时时彩基本走势图</title>" + kCrLf + "</head>" + kCrLf + "<body>" + kCrLf;
    page += "<div id=\"chart\"></div>" + kCrLf + "<script type=\"text/javascript\">" + kCrLf;
    page += indent + "var Con_BonusCode = \"" + list + "\";" + kCrLf;
    page += indent + "//画走势图" + kCrLf;
    page += indent + "drawChart(Con_BonusCode);" + kCrLf;
    page += "</script>" + kCrLf + "</body>" + kCrLf + "</html>" + kCrLf;
    return page;
}

std::string announcement(Seconds now) {
    const Draw latest = drawAt(latestDrawTime(now));
    std::string t = "岚枫阁计划软件永久免费，计划仅供参考，请理性购彩。</p> ";
    t += "最新开奖：第" + latest.issue + "期 " + digitsText(latest, " ") + "。</p> ";
    t += "每期开奖后约45秒自动更新数据，首次使用请先点击“请先点击我更新数据”。</p> ";
    return t;
}

const std::string& versionCaption() {
    static const std::string caption = "岚枫阁免费版+大底v1.41";
    return caption;
}

std::string downloadAddress(const SiteAddresses& sites) {
    return sites.publisherSite + "/ruanjian/xiazai.htm";
}

std::string downloadPage() {
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" "
           "/><title>下载</title></head><body><p>" +
           versionCaption() + " 已是最新版本。</p></body></html>" + kCrLf;
}

std::string counterScript(long long count, const std::string& imagePrefix, std::string style) {
    const bool plain = !style.empty() && style.size() <= 8 &&
                       style.find_first_not_of(
                           "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN"
                           "OPQRSTUVWXYZ") == std::string::npos;
    if (!plain) style = "43";
    std::string script = "document.write('<a href=\"" + imagePrefix + "/\" target=\"_blank\">');\n";
    for (char digit : std::to_string(count))
        script += "document.write('<img src=\"" + imagePrefix + "/img/" + style + "/" + digit +
                  ".gif\" border=\"0\" />');\n";
    return script + "document.write('</a>');\n";
}

std::string blogArticle(Seconds now, const SiteAddresses& sites) {
    const std::string date = formatDate(now);
    std::string page = "<!DOCTYPE html>" + kCrLf + "<html>" + kCrLf + "<head>" + kCrLf;
    page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />" + kCrLf;
    page += "<title>每日免费计划地址（每天更新）</title>" + kCrLf;
    page += "<meta property=\"og:type\" content=\"article\"/>" + kCrLf;
    page += "<meta property=\"og:release_date\" content=\"" + date + "T00:00:00\"/>" + kCrLf;
    page += "<meta http-equiv=\"Cache-Control\" content=\"no-transform\" />" + kCrLf;
    page += "</head>" + kCrLf + "<body>" + kCrLf + "<h1>每日免费计划地址</h1>" + kCrLf;
    page += "<p>更新日期：" + date + "</p>" + kCrLf + "<div class=\"content\">" + kCrLf;

    // Labelled links: a label of two to four characters, "计划：" and the link.
    const struct {
        const char* label;
        int row;
    } links[] = {{"后三大底", 0}, {"后二精选", 20}, {"独家", 38}};
    for (const auto& l : links) {
        const std::string address = detailAddress(sites, l.row);
        page += "<p><span style=\"color:#ff0000;\">" + std::string(l.label) +
                "计划：</span><a href=\"" + address + "\" target=\"_blank\">" + address +
                "</a></p>" + kCrLf;
    }

    // Name, link and access code of the plans with two-character names; the codes change daily.
    int entries = 0;
    for (const CachedPlan& p : cachedPlans()) {
        if (p.planName.size() != 4 || entries == 6) continue;  // two GBK characters
        ++entries;
        const std::string address = detailAddress(sites, p.cacheRow);
        const int code = static_cast<int>(1000 + hashKey(date + p.planName) % 9000);
        page += "<p><span class=\"name\">" + p.planName +
                "</span> <span class=\"word\">计划：</span><a href=\"" + address +
                "\" target=\"_blank\">" + address + "</a> <span class=\"code\">密码：" +
                std::to_string(code) + "</span></p>" + kCrLf;
    }
    page += "</div>" + kCrLf + "</body>" + kCrLf + "</html>" + kCrLf;
    return gbkToUtf8(page);
}

}  // namespace pv::origin
