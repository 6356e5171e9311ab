// Code-page conversions over iconv(3). The system code page is 936 (GBK). A character that the
// target cannot represent becomes "?" (U+FFFD in UTF-16); an invalid input sequence is replaced
// the same way and the conversion goes on behind it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pv {

constexpr int kCodePageGbk = 936;
constexpr int kCodePageUtf8 = 65001;

// iconv's name for a code page number (936 "CP936", 65001 "UTF-8", 1200 "UTF-16LE", ...).
std::string codePageName(int codePage);

// Converts between any two charsets iconv knows. Returns false, with `out` untouched, when
// iconv does not know one of the names. A stateful target gets its closing shift sequence.
bool convertCharset(std::string_view in, const std::string& from, const std::string& to,
                    std::string& out);

// The text up to its first zero byte, in `codePage`, as UTF-16LE with a two-byte terminator.
std::string toWide(std::string_view text, int codePage = kCodePageUtf8);
// UTF-16LE up to its terminator, encoded in `codePage`, up to the first zero byte.
std::string fromWide(std::string_view wide, int codePage = kCodePageGbk);
// fromWide(toWide(text), 936).
std::string utf8ToGbk(std::string_view text);
std::string gbkToUtf8(std::string_view text);
// gbkToUtf8 into `out`, whose room is reused. True when utf8ToGbk of the result gives `text`
// back byte for byte: no zero byte, nothing broken, no character that GBK spells two ways.
bool gbkToUtf8Into(std::string_view text, std::string& out);

// Empty for an empty text; otherwise UTF-16LE with the terminator unless it is dropped.
std::string gbkToWide(std::string_view text, bool dropTerminator = false);
std::string wideToGbk(std::string_view wide);

// Re-decodes body bytes declared in `charset` into GBK text. An unknown charset name gives
// the bytes as received.
std::string recodeToGbk(std::string_view body, const std::string& charset);

// How many iconv descriptors the calling thread keeps open.
std::size_t iconvDescriptorsOpenForTesting();

}  // namespace pv
