// Address splitting and cookie merging on fuzzed addresses, cookie strings and item lists.
// Beyond "no crash", only what holds for any bytes is checked: GBK character starts shift when
// items are joined, so a merge is not idempotent in general.
#include "core/cookies.h"
#include "core/text.h"
#include "core/url.h"
#include "harness.h"

using namespace pv;

void fuzzOne(std::string_view data) {
    Draw draw(data);
    const std::string_view address = draw.text();
    const std::string host = urlHost(address, draw.flag());
    FUZZ_CHECK(host.size() <= address.size() + 1);
    const int port = urlPort(address);
    (void)port;
    const std::string path = urlPath(address);
    FUZZ_CHECK(!path.empty());

    std::string cookies(draw.text());
    std::string fresh(draw.text());
    const std::string merged = mergeCookies(cookies, fresh);
    FUZZ_CHECK(merged == cookies);
    const TextArray items = splitText(merged, "; ");
    if (!items.empty()) FUZZ_CHECK(hasCookie(items, cookieName(items.back())));
    const std::string_view separator = draw.text();
    (void)uniqueItems(draw.rest(), separator);
    (void)itemIndex(items, address);
}
