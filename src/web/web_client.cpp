#include "web/web_client.h"

#include "core/cookies.h"
#include "core/header_text.h"
#include "core/text.h"
#include "core/text_between.h"
#include "core/url.h"
#include "web/transfer.h"

namespace pv {
namespace {

constexpr std::string_view kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

std::string agentFor(const std::string& extraHeaders) {
    if (findText(extraHeaders, "User-Agent:", 1, true) == -1) return std::string(kDefaultAgent);
    std::string agent = trimBoth(textBetween(extraHeaders, "User-Agent:", "\r\n"));
    if (agent.empty()) agent = headerTail(extraHeaders);
    // Sent only when the header lines carry no User-Agent line themselves; never with a break.
    std::erase_if(agent, [](char c) { return c == '\r' || c == '\n'; });
    return agent;
}

void addDefaultHeaders(std::string& headers, const std::string& url,
                       const std::optional<std::string>& cookies) {
    if (headers.empty())
        headers = "Accept: */*";
    else if (findText(headers, "Accept:") == -1)
        headers += "\r\nAccept: */*";
    if (findText(headers, "Referer:") == -1) headers += "\r\nReferer: " + url;
    if (findText(headers, "Accept-Language:") == -1) headers += "\r\nAccept-Language: zh-cn";
    if (findText(headers, "Content-Type:") == -1)
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    if (cookies && !cookies->empty()) headers += "\r\nCookie: " + *cookies;
}

bool hasLine(const TextArray& lines, std::string_view name) {
    for (const std::string& line : lines) {
        if (compareText(leftText(line, textLength(name)), name, false) == 0) return true;
    }
    return false;
}

}  // namespace

std::string WebClient(const std::string& url) {
    WebClientArgs args;
    return WebClient(url, args);
}

std::string WebClient(const std::string& url, WebClientArgs& args) {
    const int method = args.method < 0 || args.method > 2 ? 0 : args.method;
    const std::string_view verb = method == 1 ? "POST" : method == 2 ? "HEAD" : "GET";
    const bool secure = lowerText(leftText(url, 5)) == "https";
    const bool cookiesSupplied = args.cookies.has_value();

    Transfer transfer(cookiesSupplied ? Transfer::Cookies::Off : Transfer::Cookies::ProcessStore);
    if (!transfer.valid()) return {};
    if (args.bodyCap > 0) transfer.capBody(args.bodyCap);
    CURL* easy = transfer.handle();
    const std::string target = std::string(secure ? "https://" : "http://") + urlHost(url) + ":" +
                               std::to_string(urlPort(url)) + urlPath(url);
    const std::string agent = agentFor(args.extraHeaders);
    if (curl_easy_setopt(easy, CURLOPT_URL, target.c_str()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.c_str()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_PROXY, args.proxy.c_str()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, args.noRedirect ? 0L : 1L) != CURLE_OK) {
        return {};
    }

    addDefaultHeaders(args.extraHeaders, url, args.cookies);
    TextArray lines = headerLines(args.extraHeaders);
    // Every request is a reload: no cache on the way may answer in the server's place.
    if (!hasLine(lines, "Pragma:")) lines.push_back("Pragma: no-cache");
    if (!hasLine(lines, "Cache-Control:")) lines.push_back("Cache-Control: no-cache");
    if (method != 0 && args.postBytes.empty()) args.postBytes = args.postText;
    if (!transfer.setHeaders(lines) ||
        !transfer.setRequest(verb, method == 0 ? std::string() : args.postBytes)) {
        return {};
    }

    transfer.perform();

    args.returnedHeaders =
        replaceText(transfer.headerBlock(), "Set-Cookie", "Set-Cookie", 1, -1, false);
    args.returnedCookies = collectSetCookies(args.returnedHeaders);
    if (cookiesSupplied) mergeCookies(*args.cookies, args.returnedCookies);
    return transfer.takeBody();
}

}  // namespace pv
