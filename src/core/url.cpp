#include "core/url.h"

#include "core/convert.h"
#include "core/text.h"
#include "core/text_between.h"

namespace pv {

std::string urlHost(std::string_view address, bool keepPort) {
    std::string u = lowerText(address);
    if (u.empty() || u.back() != '/') u += '/';
    std::string host;
    if (leftText(u, 8) == "https://") {
        host = textBetween(u, "https://", "/");
    } else {
        if (findText(u, "http://") == -1) u = "http://" + u;
        host = textBetween(u, "http://", "/");
    }
    if (!keepPort) {
        int colon = findText(host, ":");
        if (colon != -1) host = leftText(host, colon - 1);
    }
    return host;
}

int urlPort(std::string_view address) {
    std::string hp = urlHost(address, true);
    int p = findTextBackward(hp, ":");
    if (p == -1) return lowerText(leftText(address, 5)) == "https" ? 443 : 80;
    return toInteger(rightText(hp, textLength(hp) - p));
}

std::string urlPath(std::string_view address) {
    std::string h = urlHost(address);
    int a = findText(address, h, 1, true);
    int b = findText(address, "/", a < 1 ? 1 : a, true);
    if (b > 0) return rightText(address, textLength(address) - b + 1);
    return "/";
}

}  // namespace pv
