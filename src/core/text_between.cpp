#include "core/text_between.h"

#include "core/text.h"

namespace pv {

std::string textBetween(std::string_view source, std::string_view startMarker,
                        std::string_view endMarker, int startPosition, bool caseInsensitive) {
    const std::string start = replaceText(startMarker, "#引号", "\"");
    const std::string end = replaceText(endMarker, "#引号", "\"");
    int p = findText(source, start, startPosition, caseInsensitive);
    if (p != -1) p += textLength(start);
    int q = findText(source, end, p == -1 ? 1 : p, caseInsensitive);
    if (p == -1 || q == -1) return {};
    return midText(source, p, q - p);
}

}  // namespace pv
