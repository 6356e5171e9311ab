// Re-decoding of fuzzed bodies from fuzzed charset names, and the GBK and UTF-8 tables checked
// against iconv itself.
#include "core/code_page.h"
#include "harness.h"

using namespace pv;

void fuzzOne(std::string_view data) {
    Draw draw(data);
    const std::string charset(draw.text());
    const std::string_view body = draw.rest();
    (void)recodeToGbk(body, charset);

    const std::string_view text = body.substr(0, body.find('\0'));
    std::string viaIconv;
    FUZZ_CHECK(convertCharset(text, "CP936", "UTF-8", viaIconv) && gbkToUtf8(body) == viaIconv);
    FUZZ_CHECK(convertCharset(text, "UTF-8", "CP936", viaIconv) && utf8ToGbk(body) == viaIconv);
    const std::string wide = toWide(body, kCodePageGbk);
    FUZZ_CHECK(wide.size() % 2 == 0 && wideToGbk(wide).size() <= 2 * text.size());
    FUZZ_CHECK(iconvDescriptorsOpenForTesting() <= 8);
}
