// Process-wide libcurl state: the library initialisation, the caches that transfers share, and
// the limits every transfer runs under.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include <curl/curl.h>

namespace pv {

// Sets up libcurl and the caches that transfers share. The program calls it at start, before
// any other thread runs; later calls return the outcome of the first. False (and logged) when
// libcurl cannot be used: every transfer then fails.
bool initCurl();

// The address as libcurl reads it when it is an absolute http or https address, else empty.
// Without `keepCredentials` a user name and password in it are dropped.
std::string absoluteHttpAddress(const std::string& address, bool keepCredentials);

// DNS and TLS-session caches shared by every transfer. The variant with the cookie store also
// shares the process's cookies, which requests without a cookie string of their own use.
// Null when libcurl could not be set up.
CURLSH* curlShare(bool withCookieStore);
// Forgets every cookie of the process's cookie store.
void clearCookieStore();

struct TransferLimits {
    std::chrono::milliseconds connect{15000};
    // A transfer that receives and sends nothing for this long is given up.
    std::chrono::milliseconds idle{30000};
    // No transfer lasts longer, however steadily the site trickles: three times the connect
    // time-out, time for a connection, one full idle wait and a page.
    std::chrono::milliseconds deadline{45000};
    std::size_t bodyCap = std::size_t{64} << 20;
    // Empty: the system's certificate store.
    std::string caFile;
};
TransferLimits transferLimits();

void setTransferTimeoutsForTesting(std::chrono::milliseconds connect,
                                   std::chrono::milliseconds idle);
void setTransferDeadlineForTesting(std::chrono::milliseconds deadline);
void setBodyCapForTesting(std::size_t bytes);
// Trusts only the certificates in `path` (a PEM file); an empty path restores the system store.
void setCaFileForTesting(const std::string& path);
void resetTransferLimitsForTesting();

}  // namespace pv
