#include "core/text_between.h"

#include <gtest/gtest.h>

using namespace pv;

namespace {
const char* kStart = " id=\"planinfo\">";
const char* kEnd = " </textarea>\r";
}  // namespace

TEST(TextBetween, CutsTheFirstBlockBetweenTheMarkers) {
    EXPECT_EQ(textBetween("<a id=\"planinfo\">PLAN </textarea>\r\n", kStart, kEnd), "PLAN");
    EXPECT_EQ(textBetween("x[1]y[2]", "[", "]"), "1");
    EXPECT_EQ(textBetween("[]", "[", "]"), "");
    EXPECT_EQ(textBetween("a[1]b", "[", "]", 3), "");
    EXPECT_EQ(textBetween("[1][2]", "[", "]", 2), "2");
    EXPECT_EQ(textBetween("<A>x</a>", "<a>", "</A>", 1, true), "x");
    EXPECT_EQ(textBetween("<A>x</a>", "<a>", "</A>"), "");
}

TEST(TextBetween, MissingMarkersGiveEmptyText) {
    EXPECT_EQ(textBetween("no markers", "[", "]"), "");
    EXPECT_EQ(textBetween("] before [ start", "[", "]"), "");
    EXPECT_EQ(textBetween("[open only", "[", "]"), "");
    EXPECT_EQ(textBetween("", "[", "]"), "");
    // The plan-page end marker needs its carriage return.
    EXPECT_EQ(textBetween(" id=\"planinfo\">PLAN </textarea>\n", kStart, kEnd), "");
}

TEST(TextBetween, QuotePlaceholderStandsForADoubleQuote) {
    const std::string page = "<t id=\"planinfo\">P </textarea>\r";
    EXPECT_EQ(textBetween(page, " id=#引号planinfo#引号>", kEnd), "P");
    EXPECT_EQ(textBetween("a=\"v\";", "#引号", "#引号"), "v");
}

TEST(TextBetween, ReturnsGbkBlocksWhole) {
    // 进行中 then a block whose characters carry trail bytes equal to the end marker's first
    // byte ("a" is 0x61; 碼 is B4 61).
    const std::string page =
        "进行中\xB4\x61\xB4\x61"
        "a";
    EXPECT_EQ(textBetween(page, "进行中", "a"), "\xB4\x61\xB4\x61");
    EXPECT_EQ(textBetween("第123期【乾坤】杀尾---", "【", "】"), "乾坤");
}
