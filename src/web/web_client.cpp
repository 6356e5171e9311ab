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

}  // namespace

std::string WebClient(const std::string& url) {
    WebClientArgs args;
    return WebClient(url, args);
}

std::string WebClient(const std::string& url, WebClientArgs& args) {
    const bool secure = lowerText(leftText(url, 5)) == "https";
    const bool cookiesSupplied = args.cookies.has_value();

    Request request;
    request.url = std::string(secure ? "https://" : "http://") + urlHost(url) + ":" +
                  std::to_string(urlPort(url)) + urlPath(url);
    request.verb = verbOf(args.method, 2);
    // POST and HEAD alike send the bytes; a GET sends none.
    const bool get = request.verb == "GET";
    std::string postBytes = args.postBytes.empty() && !get ? args.postText : args.postBytes;
    if (!get) request.body = postBytes;
    std::string headers = args.extraHeaders;
    addDefaultHeaders(headers, url, args.cookies);
    request.headers = headerLines(headers);
    request.reload = true;
    request.agent = agentFor(args.extraHeaders);
    request.proxy = args.proxy;
    request.followRedirects = !args.noRedirect;
    request.cookies = cookiesSupplied ? Request::Cookies::Off : Request::Cookies::ProcessStore;
    request.bodyCap = args.bodyCap;

    Transfer transfer(request);
    if (!transfer.valid()) return {};
    // The caller's variables are rewritten only once the request exists.
    args.extraHeaders = std::move(headers);
    args.postBytes = std::move(postBytes);
    transfer.perform();

    args.returnedHeaders = transfer.headerBlock();
    args.returnedCookies = collectSetCookies(args.returnedHeaders);
    if (cookiesSupplied) mergeCookies(*args.cookies, args.returnedCookies);
    return transfer.takeBody();
}

}  // namespace pv
