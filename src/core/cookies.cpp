#include "core/cookies.h"

namespace pv {

std::string mergeCookies(std::string& cookies, std::string& newCookies) {
    cookies = removeBlanks(cookies);
    newCookies = removeBlanks(newCookies);
    TextArray oldItems = splitText(cookies, ";");
    TextArray newItems = splitText(newCookies, ";");
    for (const std::string& old : oldItems) {
        if (!hasCookie(newItems, cookieName(old))) newItems.push_back(old);
    }
    cookies.clear();
    for (const std::string& item : newItems) {
        if (rightText(item, 8) != "=deleted") cookies += item + "; ";
    }
    cookies = leftText(cookies, textLength(cookies) - 2);
    cookies = uniqueItems(cookies, "; ");
    return cookies;
}

std::string cookieName(std::string_view item) {
    int p = findText(item, "=");
    return trimBoth(p == -1 ? item : std::string_view(leftText(item, p - 1)));
}

bool hasCookie(const TextArray& items, std::string_view name) {
    for (const std::string& item : items) {
        if (cookieName(item) == name) return true;
    }
    return false;
}

std::string uniqueItems(std::string_view text, std::string_view separator) {
    TextArray seen;
    std::string result;
    for (const std::string& item : splitText(text, separator)) {
        if (itemIndex(seen, item) == -1) {
            seen.push_back(item);
            result += item;
            result += separator;
        }
    }
    return leftText(result, textLength(result) - textLength(separator));
}

int itemIndex(const TextArray& items, std::string_view item) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == item) return static_cast<int>(i + 1);
    }
    return -1;
}

}  // namespace pv
