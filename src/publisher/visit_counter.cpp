#include "publisher/visit_counter.h"

#include "core/convert.h"
#include "core/regex_object.h"
#include "web/fetch_url.h"

namespace pv {

std::string counterAddress(const Settings& settings) {
    return settings.counterSite + "/count/count.asp?id=" + settings.counterId + "&sx=1&ys=43";
}

std::optional<std::string> counterDigits(std::string_view page, std::string_view imagePrefix) {
    // The prefix goes into the pattern as written: its dots match any character.
    const std::string pattern = std::string(imagePrefix) + "/img/(.*?)/(.*?).gif";
    RegexObject regex;
    // A pattern the engine refuses is logged by the engine; the caption keeps its content.
    if (!regex.create(pattern, page, true)) return std::nullopt;
    std::string digits;
    for (int i = 1; i <= regex.matchCount(); ++i)
        digits += regex.subMatchText(i, 2);
    return digits;
}

void requestVisitCounter(App& app) {
    Controls& c = app.controls;
    c.setText(ctl::kDrawPanelCaption, "  ");
    const std::string page = toText(fetchUrl(counterAddress(app.settings)));
    const auto digits = counterDigits(page, app.settings.counterImagePrefix);
    // The caption is never cleared: the digits go behind whatever it holds.
    if (digits && !digits->empty())
        c.setText(ctl::kCounterWorkLabel, c.text(ctl::kCounterWorkLabel) + *digits);
}

}  // namespace pv
