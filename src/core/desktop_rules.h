// The desktop's rule for opening addresses, kept beside the Desktop interface so that the window,
// the fake desktop of the handler tests and any handler apply the same one.
#pragma once

#include <optional>
#include <string>

namespace pv {

// What the browser is given for `address`, or nullopt when it is not to be opened. Addresses
// come from outside (the published download address), so only web addresses open: http or https
// with a host, printable ASCII without blanks; white space around them is dropped (the stored
// addresses end with a blank).
std::optional<std::string> webAddressToOpen(const std::string& address);

}  // namespace pv
