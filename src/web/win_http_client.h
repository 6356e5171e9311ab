// One HTTP or HTTPS request that reports each failure with a numbered message, sets its own
// time-outs, authenticates to a server or a proxy, and re-decodes a page that declares a
// charset other than GBK.
#pragma once

#include <optional>
#include <string>

namespace pv {

// The optional arguments of WinHttpClient. The out members are written by the call.
struct WinHttpClientArgs {
    int method = 0;        // 0 GET, 1 POST, 2 HEAD, 3 PUT; any other value is GET
    std::string postText;  // the request body, for every verb
    // in/out. Left out (nullopt): no cookie handling at all. Supplied, even empty: cookies set
    // during the request (redirects) are kept for it, and on return the string holds the merge
    // with the cookies of the response.
    std::optional<std::string> cookies;
    std::string returnedCookies;  // in/out: the response's cookies are appended to it
    std::string extraHeaders;     // request header lines separated by CR LF; not modified
    std::string returnedHeaders;  // out: the raw header block of the last response
    bool noRedirect = false;
    std::string serverUser;
    std::string serverPassword;
    std::string proxy;  // empty: no proxy
    std::string proxyUser;
    std::string proxyPassword;
    int timeoutSeconds = 0;        // for each phase; 0 or less means 30
    std::string redirectLocation;  // out: the last "Location: " line of the response, if any
    std::string statusText;        // out: "200 OK" and the like, or a numbered message on failure
    std::string responseBytes;     // out: the body exactly as received
};

// The body as GBK text (re-decoded when its meta tag names another charset), up to its first
// zero byte; empty when the request fails before a response arrives.
std::string WinHttpClient(const std::string& url, WinHttpClientArgs& args);
std::string WinHttpClient(const std::string& url);

}  // namespace pv
