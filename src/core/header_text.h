// Operations on request and response header text, lines separated by CR LF.
#pragma once

#include <string>
#include <string_view>

#include "core/text.h"

namespace pv {

// The part after the first ":", blanks trimmed at both ends; empty when there is no ":".
std::string headerTail(std::string_view text);

// The non-empty lines of a header text. A lone CR or LF also ends a line, so that no line
// handed to the wire can carry a line break of its own.
TextArray headerLines(std::string_view text);

// The name=value of every "Set-Cookie" line of a response header block, in order, joined by
// "; ". A line with attributes gives the text between "Set-Cookie:" and its first ";".
std::string collectSetCookies(std::string_view headerBlock);

}  // namespace pv
