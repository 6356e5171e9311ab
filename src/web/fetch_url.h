// The plain page fetch: one GET of an absolute http or https address.
#pragma once

#include <string>
#include <string_view>

namespace pv {

// The whole response body, whatever its status code. Empty when the address cannot be parsed
// or no connection can be made; the bytes received so far when the transfer breaks off (a
// failed read, a body beyond the body cap, a peer silent for too long, shutdown). Safe to call
// on many threads at once.
std::string fetchUrl(std::string_view address);

}  // namespace pv
