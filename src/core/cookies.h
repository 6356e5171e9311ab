// Cookie strings: name=value items joined by "; ".
#pragma once

#include <string>
#include <string_view>

#include "core/text.h"

namespace pv {

// Folds `newCookies` into `cookies`: new values first, then the old cookies the response did
// not name; "=deleted" items go, repeats are dropped. Both variables lose their blanks.
std::string mergeCookies(std::string& cookies, std::string& newCookies);
std::string cookieName(std::string_view item);
bool hasCookie(const TextArray& items, std::string_view name);
std::string uniqueItems(std::string_view text, std::string_view separator);
int itemIndex(const TextArray& items, std::string_view item);

}  // namespace pv
