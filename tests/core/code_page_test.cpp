#include "core/code_page.h"

#include <gtest/gtest.h>

using namespace pv;

namespace {
std::string u8(const char8_t* s) {
    return reinterpret_cast<const char*>(s);
}
}  // namespace

TEST(CodePage, Utf8AndGbkRoundTrip) {
    EXPECT_EQ(utf8ToGbk(u8(u8"进行中")), "进行中");
    EXPECT_EQ(utf8ToGbk("plain ascii"), "plain ascii");
    EXPECT_EQ(utf8ToGbk(""), "");
    EXPECT_EQ(gbkToUtf8("【乾坤】"), u8(u8"【乾坤】"));
    // The conversion ends at the first zero byte, as the text does.
    EXPECT_EQ(utf8ToGbk(std::string("ab\0cd", 5)), "ab");
}

TEST(CodePage, UnrepresentableAndInvalidInputIsReplacedNotDropped) {
    // An emoji has no GBK form; the text around it survives.
    EXPECT_EQ(utf8ToGbk(u8(u8"a😀b")), "a?b");
    // Invalid UTF-8 in the middle: replaced, and the conversion goes on.
    EXPECT_EQ(utf8ToGbk(std::string("a\xC3(b\xFF") + u8(u8"中")), "a?(b?中");
    // A truncated sequence at the very end.
    EXPECT_EQ(utf8ToGbk(std::string("ab\xE4\xB8")), "ab??");
    // Invalid GBK going to UTF-8 comes out as U+FFFD.
    EXPECT_EQ(gbkToUtf8("a\xFF"
                        "b"),
              u8(u8"a\uFFFDb"));
}

TEST(CodePage, WideFormsCarryOrDropTheTerminator) {
    EXPECT_EQ(toWide("ab"), std::string("a\0b\0\0\0", 6));
    EXPECT_EQ(gbkToWide("中"), std::string("\x2D\x4E\0\0", 4));
    EXPECT_EQ(gbkToWide("中", true), std::string("\x2D\x4E", 2));
    EXPECT_EQ(gbkToWide(""), "");
    EXPECT_EQ(wideToGbk(std::string("\x2D\x4E\0\0x\0", 6)), "中");
    EXPECT_EQ(fromWide(std::string("a\0b\0", 4), kCodePageUtf8), "ab");
    EXPECT_EQ(wideToGbk(std::string("a\0b", 3)), "a");  // an odd last byte is not a unit
}

TEST(CodePage, RecodesDeclaredCharsetsAndKeepsUnknownOnes) {
    EXPECT_EQ(recodeToGbk(u8(u8"天天"), "utf-8"), "天天");
    EXPECT_EQ(recodeToGbk(u8(u8"天天"), "UTF-8"), "天天");
    const std::string big5 = "\xA4\xD1";  // 天 in Big5
    EXPECT_EQ(recodeToGbk(big5, "big5"), "天");
    EXPECT_EQ(recodeToGbk("bytes\x80", "no-such-charset"), "bytes\x80");
    EXPECT_EQ(recodeToGbk("x", "utf-8//IGNORE"), "x");
    EXPECT_EQ(recodeToGbk("x", ""), "x");
}
