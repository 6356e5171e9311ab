#include "core/header_text.h"

#include "core/text_between.h"

namespace pv {

std::string headerTail(std::string_view text) {
    const int colon = findText(text, ":");
    if (colon == -1) return {};
    return trimBoth(text.substr(static_cast<std::size_t>(colon)));
}

TextArray headerLines(std::string_view text) {
    TextArray lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
        if (i > start) lines.emplace_back(text.substr(start, i - start));
        start = i + 1;
    }
    return lines;
}

std::string collectSetCookies(std::string_view headerBlock) {
    std::string cookies;
    for (const std::string& line : splitText(headerBlock, "\r\n")) {
        if (findText(line, "Set-Cookie") == -1) continue;
        const std::string value = findText(line, ";") != -1
                                      ? textBetween(line, "Set-Cookie:", ";")
                                      : replaceText(line, "Set-Cookie:", "", 1, -1, false);
        cookies += trimBoth(value) + "; ";
    }
    return leftText(cookies, textLength(cookies) - 2);
}

}  // namespace pv
