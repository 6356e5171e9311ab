// One HTTP or HTTPS request with the browser-like default headers, an optional proxy, a cookie
// string kept up to date by hand, and the collection of the cookies the response sets.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace pv {

// The optional arguments of WebClient. The in/out members are rewritten by the call.
struct WebClientArgs {
    int method = 0;  // 0 GET, 1 POST, 2 HEAD; any other value is GET
    std::string postText;
    // in/out. Left out (nullopt): the process's cookie store sends and keeps cookies. Supplied,
    // even empty: the store is not used, the string is sent as a Cookie line when non-empty and
    // comes back merged with the cookies of the response.
    std::optional<std::string> cookies;
    std::string returnedCookies;  // out: name=value items joined by "; "
    // in/out: request header lines separated by CR LF; on return the lines sent, defaults
    // included.
    std::string extraHeaders;
    std::string returnedHeaders;  // out: the raw header block of the last response
    bool noRedirect = false;
    std::string postBytes;  // in/out: filled from postText for a non-GET request without one
    std::string proxy;      // empty: a direct connection
    // The most body bytes kept: a longer body is cut there and its transfer ends. 0: the
    // process's body cap; a value above it counts as the cap.
    std::size_t bodyCap = 0;
};

// The response body bytes unchanged, whatever the status code; empty when no request could be
// made or no response came. `url` may leave out "http://".
std::string WebClient(const std::string& url, WebClientArgs& args);
std::string WebClient(const std::string& url);

}  // namespace pv
