// Splitting of web addresses of the form [scheme://]host[:port][/path[?query]].
#pragma once

#include <string>
#include <string_view>

namespace pv {

// The host, lower-cased; with keepPort the ":port" behind it stays on.
std::string urlHost(std::string_view address, bool keepPort = false);
// The port written in the address, else 443 for https and 80 otherwise.
int urlPort(std::string_view address);
// Everything from the first "/" after the host, letters as written, or "/".
std::string urlPath(std::string_view address);

}  // namespace pv
