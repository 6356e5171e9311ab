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

TEST(CodePage, GbkAndUtf8ConvertExactlyAsIconvDoes) {
    // Every pair of non-zero bytes in one stream: valid characters, broken pairs in every
    // context, and as UTF-8 nearly every kind of broken sequence.
    std::string pairs;
    for (int a = 1; a < 256; ++a) {
        for (int b = 1; b < 256; ++b) {
            pairs += static_cast<char>(a);
            pairs += static_cast<char>(b);
        }
    }
    // Every code point of the first plane and a sample of the others, each also cut short.
    std::string points;
    for (char32_t c = 1; c < 0x110000; c += c < 0x10000 ? 1 : 0x3FF) {
        std::string one;
        if (!convertCharset(std::string_view(reinterpret_cast<const char*>(&c), 4), "UTF-32LE",
                            "UTF-8", one) ||
            one == "\xEF\xBF\xBD") {
            continue;  // surrogates
        }
        points += one + one.substr(0, one.size() - 1) + "a";
    }
    for (const std::string& in : {pairs, points}) {
        std::string utf8, gbk;
        ASSERT_TRUE(convertCharset(in, "CP936", "UTF-8", utf8));
        ASSERT_TRUE(convertCharset(in, "UTF-8", "CP936", gbk));
        EXPECT_TRUE(gbkToUtf8(in) == utf8);
        EXPECT_TRUE(utf8ToGbk(in) == gbk);
        EXPECT_TRUE(recodeToGbk(in, "Utf8") == gbk);
    }
}

TEST(CodePage, ABrokenCharacterAtTheEndIsReplacedWithoutReadingPastIt) {
    // The GB2312 decoder takes in a lone lead byte at the end before it reports it incomplete.
    EXPECT_EQ(recodeToGbk("i\xE8", "GB2312"), "i?");
    EXPECT_EQ(recodeToGbk("\xE8", "Gb2312"), "?");
    EXPECT_EQ(recodeToGbk("\xD6\xD0\xB5", "GB2312"), "中?");
    EXPECT_EQ(recodeToGbk("i\xE8", "EUC-CN"), "i?");
}

TEST(CodePage, AStatefulTargetGetsItsClosingSequence) {
    std::string out;
    ASSERT_TRUE(convertCharset(u8(u8"中"), "UTF-8", "UTF-7", out));
    EXPECT_EQ(out, "+Ti0-");
    // Also in front of a replacement: the "?" must not land inside the shifted run.
    ASSERT_TRUE(convertCharset(u8(u8"中") + "\xFF", "UTF-8", "UTF-7", out));
    EXPECT_EQ(out, "+Ti0-?");
}

TEST(CodePage, EverySpellingOfACharsetSharesABoundedCache) {
    const std::string name = "windows-1252";
    for (unsigned mask = 0; mask < 128; ++mask) {
        std::string spelling = name;
        for (std::size_t i = 0, letter = 0; i < spelling.size(); ++i) {
            if (spelling[i] < 'a' || spelling[i] > 'z') continue;
            if (mask >> letter++ & 1) spelling[i] = static_cast<char>(spelling[i] - 'a' + 'A');
        }
        ASSERT_EQ(recodeToGbk("\x80", spelling), "\x80") << spelling;  // the euro sign
    }
    EXPECT_LE(iconvDescriptorsOpenForTesting(), 8u);
}
