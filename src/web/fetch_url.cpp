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
    Request request;
    // The user name and password of the address go with the request as basic credentials.
    request.url = absoluteHttpAddress(std::string(trimmedAddress(address)), true);
    if (request.url.empty()) return {};
    request.version = Request::Version::Http10;
    request.headers = {"User-Agent: " + std::string(kAgent), "Accept: */*"};
    request.reload = true;
    request.cookies = Request::Cookies::ProcessStore;
    Transfer transfer(request);
    if (!transfer.valid()) return {};
    transfer.perform();
    return transfer.takeBody();
}

}  // namespace pv
