#include "web/fetch_url.h"

#include "web/curl_global.h"
#include "web/transfer.h"

namespace pv {
namespace {

constexpr std::string_view kAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The address without its fragment and surrounding white space.
std::string_view trimmedAddress(std::string_view address) {
    address = address.substr(0, address.find('#'));
    while (!address.empty() && isWhiteSpace(address.back()))
        address.remove_suffix(1);
    while (!address.empty() && isWhiteSpace(address.front()))
        address.remove_prefix(1);
    return address;
}

}  // namespace

std::string fetchUrl(std::string_view address) {
    // The user name and password of the address go with the request as basic credentials.
    const std::string url = absoluteHttpAddress(std::string(trimmedAddress(address)), true);
    if (url.empty()) return {};
    Transfer transfer(Transfer::Cookies::ProcessStore);
    if (!transfer.valid()) return {};
    CURL* easy = transfer.handle();
    if (curl_easy_setopt(easy, CURLOPT_URL, url.c_str()) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0) != CURLE_OK ||
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) != CURLE_OK ||
        !transfer.setRequest("GET", {}) ||
        // A reload: no cache on the way may answer in the server's place.
        !transfer.setHeaders({"User-Agent: " + std::string(kAgent), "Accept: */*",
                              "Pragma: no-cache", "Cache-Control: no-cache"})) {
        return {};
    }
    transfer.perform();
    return transfer.takeBody();
}

}  // namespace pv
