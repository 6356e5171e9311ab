#include "web/win_http_client.h"

#include <array>
#include <string_view>
#include <utility>

#include "core/code_page.h"
#include "core/convert.h"
#include "core/cookies.h"
#include "core/header_text.h"
#include "core/regex_object.h"
#include "core/text.h"
#include "web/curl_global.h"
#include "web/transfer.h"

namespace pv {
namespace {

// 700 (no HTTP service on the system) cannot happen here; its text stays for completeness.
constexpr std::array<std::pair<int, std::string_view>, 13> kMessages{{
    {700, "700 当前系统不支持WinHttp服务!"},
    {701, "701 解析URL地址失败!"},
    {702, "702 创建WinHttp会话失败!"},
    {703, "703 创建WinHttp连接失败!"},
    {704, "704 创建WinHttp请求失败!"},
    {705, "705 设置超时时间失败!"},
    {707, "707 设置代理凭证失败!"},
    {708, "708 禁止自动设置Cookies失败!"},
    {709, "709 重定向设置失败!"},
    {710, "710 设置协议头失败!"},
    {711, "711 发送请求失败!"},
    {712, "712 服务器未响应!"},
    {713, "713 读取数据失败!"},
}};

std::string message(int number) {
    for (const auto& [n, text] : kMessages) {
        if (n == number) return std::string(text);
    }
    return {};
}

std::string requestHeaders(const WinHttpClientArgs& args) {
    std::string h = args.extraHeaders.empty() ? std::string() : args.extraHeaders + "\r\n";
    auto lacks = [&](std::string_view name, bool ignoreCase) {
        return findText(h, name, 1, ignoreCase) == -1;
    };
    if (lacks("User-Agent: ", true))
        h += "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; "
             "Trident/5.0)\r\n";
    if (lacks("Accept: ", true)) h += "Accept: text/html, application/xhtml+xml, */*\r\n";
    // A charset wish, not a compression: it goes out as a plain line and nothing is decoded.
    if (lacks("Accept-Encoding: ", true)) h += "Accept-Encoding: gbk, GB2312\r\n";
    if (lacks("Accept-Language: ", true)) h += "Accept-Language: zh-cn\r\n";
    if (lacks("Content-Type:", false)) h += "Content-Type: application/x-www-form-urlencoded\r\n";
    if (lacks("Cache-Control: ", true)) h += "Cache-Control: no-cache\r\n";
    if (lacks("Cookie: ", true) && args.cookies && !args.cookies->empty())
        h += "Cookie: " + *args.cookies + "\r\n";
    return h;
}

// The body as text. A page whose first 1,024 bytes declare a charset other than GBK in a meta
// tag is re-decoded from it; the names "gbk" and "gb2312" are compared byte for byte. Only one
// text of the body's size is ever made: a body may be as large as the body cap.
std::string decodedPage(const std::string& body) {
    RegexObject regex;
    if (!regex.create("<meta.+?charset=[^\\w]?([-\\w]+)",
                      toText(std::string_view(body).substr(0, 1024)))) {
        return toText(body);
    }
    const std::string charset = regex.subMatchText(1, 1);
    if (charset.empty() || charset == "gbk" || charset == "gb2312") return toText(body);
    std::string decoded = recodeToGbk(body, charset);
    if (const std::size_t zero = decoded.find('\0'); zero != std::string::npos)
        decoded.resize(zero);
    return decoded;
}

}  // namespace

std::string WinHttpClient(const std::string& url) {
    WinHttpClientArgs args;
    return WinHttpClient(url, args);
}

std::string WinHttpClient(const std::string& url, WinHttpClientArgs& args) {
    auto fail = [&](int number) {
        args.statusText = message(number);
        return std::string();
    };
    const std::string address = absoluteHttpAddress(url, false);
    if (address.empty()) return fail(701);

    Request request;
    request.url = address;
    request.verb = verbOf(args.method, 3);
    request.body = args.postText;
    request.headers = headerLines(requestHeaders(args));
    request.proxy = args.proxy;
    request.followRedirects = !args.noRedirect;
    request.server = {args.serverUser, args.serverPassword};
    request.proxyCredentials = {args.proxyUser, args.proxyPassword};
    request.cookies = args.cookies ? Request::Cookies::PerRequest : Request::Cookies::Off;
    const std::chrono::milliseconds phase{
        (args.timeoutSeconds > 0 ? static_cast<long long>(args.timeoutSeconds) : 30) * 1000};
    request.timeouts = Request::Timeouts{phase, phase};

    Transfer transfer(request);
    switch (transfer.setup()) {
        case Transfer::Setup::Ok:
            break;
        case Transfer::Setup::Session:
        case Transfer::Setup::Proxy:
            return fail(702);
        case Transfer::Setup::Address:
            return fail(703);
        case Transfer::Setup::Method:
            return fail(704);
        case Transfer::Setup::Credentials:
            return fail(707);
        case Transfer::Setup::Redirects:
            return fail(709);
        case Transfer::Setup::Headers:
            return fail(710);
    }

    const CURLcode ended = transfer.perform();
    if (!transfer.gotResponse()) return fail(transfer.requestSent() ? 712 : 711);
    // A header block that broke off (too large, the peer went away, a zero byte in it) or a
    // redirect loop leaves no response to report.
    if (!transfer.headerComplete() || ended == CURLE_TOO_MANY_REDIRECTS) return fail(712);

    args.returnedHeaders = transfer.headerBlock();
    const std::string statusLine =
        args.returnedHeaders.substr(0, args.returnedHeaders.find("\r\n"));
    // Once a response has arrived its status is what the caller gets, also when the body broke
    // off part-way ("713 读取数据失败!") or went past the cap.
    args.statusText = midText(statusLine, 10, textLength(statusLine));
    const std::string newCookies = collectSetCookies(args.returnedHeaders);
    for (const std::string& line : splitText(args.returnedHeaders, "\r\n")) {
        if (compareText(leftText(line, 10), "Location: ", false) == 0)
            args.redirectLocation = midText(line, 11, textLength(line));
    }
    if (!newCookies.empty()) {
        if (!args.returnedCookies.empty()) args.returnedCookies += "; ";
        args.returnedCookies += newCookies;
    }
    if (args.cookies) mergeCookies(*args.cookies, args.returnedCookies);
    args.responseBytes = transfer.takeBody();
    const std::string& body = args.responseBytes;

    return decodedPage(body);
}

}  // namespace pv
