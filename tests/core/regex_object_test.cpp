#include "core/regex_object.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/log.h"

using namespace pv;

TEST(RegexObject, KillPlanPatternTakesOneWholeLinePerMatchInFileOrder) {
    const std::string file =
        "20161201001期 【乾坤】本期杀尾 3 中\r\n"
        "12期 【乾坤】本期杀尾 4 错\r\n"          // two-digit period: no match
        "20161201002期【乾坤】本期杀尾 5 中\r\n"  // no blank after 期: no match
        "20161201003期 【乾坤】本期杀尾 6 进行中\r\n"
        "20161201004期 【乾坤】定位 7\r\n";
    RegexObject re;
    ASSERT_TRUE(re.create("[0-9]{3,}期 【乾坤】.+杀尾.+", file));
    ASSERT_EQ(re.matchCount(), 2);
    EXPECT_EQ(re.matchText(1), "20161201001期 【乾坤】本期杀尾 3 中");
    EXPECT_EQ(re.matchText(2), "20161201003期 【乾坤】本期杀尾 6 进行中");
}

TEST(RegexObject, DotCountsCharactersAndStopsAtLineBreaks) {
    RegexObject re;
    ASSERT_TRUE(re.create(">(.{2})<", "<>乾坤<>ab<>a坤<>abc<"));
    ASSERT_EQ(re.matchCount(), 3);
    EXPECT_EQ(re.subMatchText(1, 1), "乾坤");
    EXPECT_EQ(re.subMatchText(2, 1), "ab");
    EXPECT_EQ(re.subMatchText(3, 1), "a坤");

    ASSERT_TRUE(re.create(".+X.+", "aXb\r\ncXd\neXf"));
    ASSERT_EQ(re.matchCount(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(re.matchText(i).find_first_of("\r\n"), std::string::npos) << i;
    }
    EXPECT_EQ(re.matchText(1), "aXb");
}

TEST(RegexObject, DefaultsAreCaseInsensitiveMultiLineGlobal) {
    RegexObject re;
    ASSERT_TRUE(re.create("abc", "ABC abc"));
    EXPECT_EQ(re.matchCount(), 2);
    ASSERT_TRUE(re.create("^x", "x1\nx2\r\nx3"));
    EXPECT_EQ(re.matchCount(), 3);
    ASSERT_TRUE(re.create("abc", "ABC abc", true));
    EXPECT_EQ(re.matchCount(), 1);
    ASSERT_TRUE(re.create("^x", "x1\nx2", false, false));
    EXPECT_EQ(re.matchCount(), 1);
    ASSERT_TRUE(re.create("a", "aaa", false, true, false));
    EXPECT_EQ(re.matchCount(), 1);
    // \d and \w are ASCII only.
    ASSERT_TRUE(re.create("\\w+", "中文abc"));
    ASSERT_EQ(re.matchCount(), 1);
    EXPECT_EQ(re.matchText(1), "abc");
    // A back reference or a full-width letter still ignores case.
    ASSERT_TRUE(re.create("(.)\\1", "aA"));
    EXPECT_EQ(re.matchCount(), 1);
    ASSERT_TRUE(re.create("[0-9]期Ａ", "1期ａ"));
    EXPECT_EQ(re.matchCount(), 1);
}

TEST(RegexObject, LazyGroupsAndUnsetGroups) {
    RegexObject re;
    ASSERT_TRUE(re.create("http://img\\.example/img/(.*?)/(.*?).gif",
                          "<img src=http://img.example/img/s1/a/b/7.gif><img "
                          "src=http://img.example/img/s1/3.gif>"));
    ASSERT_EQ(re.matchCount(), 2);
    EXPECT_EQ(re.subMatchText(1, 1), "s1");
    EXPECT_EQ(re.subMatchText(1, 2), "a/b/7");
    EXPECT_EQ(re.subMatchText(2, 2), "3");
    EXPECT_EQ(re.subMatchCount(), 2);

    ASSERT_TRUE(re.create("(a)|(b)", "b"));
    EXPECT_EQ(re.subMatchText(1, 1), "");
    EXPECT_EQ(re.subMatchText(1, 2), "b");
}

TEST(RegexObject, OutOfRangeIndexesAndInvalidPatternsGiveEmptyResults) {
    RegexObject fresh;
    EXPECT_EQ(fresh.pattern(), "");
    EXPECT_EQ(fresh.matchCount(), 0);
    EXPECT_EQ(fresh.matchText(1), "");

    RegexObject re;
    ASSERT_TRUE(re.create("zzz", "abc"));
    EXPECT_EQ(re.matchCount(), 0);
    EXPECT_EQ(re.matchText(1), "");
    EXPECT_EQ(re.subMatchCount(), 0);

    ASSERT_TRUE(re.create("(b)", "abc"));
    EXPECT_EQ(re.matchText(0), "");
    EXPECT_EQ(re.matchText(2), "");
    EXPECT_EQ(re.subMatchText(1, 0), "");
    EXPECT_EQ(re.subMatchText(1, 2), "");

    EXPECT_FALSE(re.create("([a-", "abc"));
    EXPECT_EQ(re.matchCount(), 0);
    EXPECT_EQ(re.matchText(1), "");
    EXPECT_EQ(re.subMatchText(1, 1), "");
    EXPECT_EQ(re.pattern(), "([a-");
}

TEST(RegexObject, QuoteMarkerOnlyWhenAsked) {
    RegexObject re;
    ASSERT_TRUE(re.create("#引号(\\w+)#引号", "a=\"v\"", false, true, true, true));
    EXPECT_EQ(re.pattern(), "\"(\\w+)\"");
    EXPECT_EQ(re.subMatchText(1, 1), "v");
    ASSERT_TRUE(re.create("#引号", "a=\"v\" #引号"));
    EXPECT_EQ(re.pattern(), "#引号");
    EXPECT_EQ(re.matchCount(), 1);
}

TEST(RegexObject, EmptyMatchesAdvanceByWholeCharacters) {
    RegexObject re;
    ASSERT_TRUE(re.create("x*", "中x文"));
    // Empty before 中, "x", empty before 文... never splitting a character.
    ASSERT_GE(re.matchCount(), 3);
    EXPECT_EQ(re.matchText(2), "x");
    EXPECT_EQ(re.replace("-"), "-中--文-");
}

TEST(RegexObject, ReplaceExpandsGroupReferences) {
    RegexObject re;
    ASSERT_TRUE(re.create("(\\d+)期", "101期 102期"));
    EXPECT_EQ(re.replace("[$1]"), "[101] [102]");
    EXPECT_EQ(re.replace("$&$$"), "101期$ 102期$");
    EXPECT_EQ(re.replace("$9"), "$9 $9");
    ASSERT_TRUE(re.create("b", "abc"));
    EXPECT_EQ(re.replace("<$`|$'>"), "a<a|c>c");
    ASSERT_TRUE(re.create("1", "111", false, true, false));
    EXPECT_EQ(re.replace("2"), "211");
    ASSERT_TRUE(re.create("z", "a\xFF"));
    EXPECT_EQ(re.replace("y"), "a\xFF");  // no match: the subject comes back byte for byte
    // Whether or not the subject is kept beside its UTF-8 form: valid text, a zero byte, an
    // invalid trail, a character GBK maps from elsewhere.
    for (const std::string& subject : {std::string("第1期 中文"), std::string("a\0b", 3),
                                       std::string("\x81\x20x"), std::string("\x80\xA1\xA4")}) {
        ASSERT_TRUE(re.create("z", subject));
        EXPECT_EQ(re.replace("y"), subject);
    }
}

TEST(RegexObject, BlogPatternsFindLabelsLinksAndCodes) {
    const std::string page =
        "<p><span>乾坤计划：</span><a href=\"http://pan.example/s/1\">link</a></p>\r\n"
        "<p><span style=\"c\">天天计划：</span><a href=\"http://pan.example/s/2\">link</a></p>\r\n"
        "<p><span style=\"x\">豆豆</span> <span>计划：</span><a href=\"http://pan.example/s/3\" "
        "t=\"1\"><span style=\"y\">密码：4711</span></p>\r\n";
    RegexObject re;
    ASSERT_TRUE(re.create(">(.{2,4}计划：)</span><a href=\"(.*?)\"", page));
    ASSERT_EQ(re.matchCount(), 2);
    EXPECT_EQ(re.subMatchText(1, 1) + re.subMatchText(1, 2), "乾坤计划：http://pan.example/s/1");
    EXPECT_EQ(re.subMatchText(2, 1), "天天计划：");

    ASSERT_TRUE(re.create(
        "\">(.{2})</span>.*?>(计划：)</span><a href=\"(.*?)\".*?\">(密码：\\d+)</span>", page));
    ASSERT_EQ(re.matchCount(), 1);
    EXPECT_EQ(re.subMatchText(1, 1), "豆豆");
    EXPECT_EQ(re.subMatchText(1, 2), "计划：");
    EXPECT_EQ(re.subMatchText(1, 3), "http://pan.example/s/3");
    EXPECT_EQ(re.subMatchText(1, 4), "密码：4711");
}

TEST(RegexObject, CharsetPatternReadsTheDeclaredName) {
    RegexObject re;
    ASSERT_TRUE(
        re.create("<meta.+?charset=[^\\w]?([-\\w]+)",
                  "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"));
    EXPECT_EQ(re.subMatchText(1, 1), "utf-8");
    ASSERT_TRUE(re.create("<meta.+?charset=[^\\w]?([-\\w]+)", "<meta charset=\"gb2312\">"));
    EXPECT_EQ(re.subMatchText(1, 1), "gb2312");
}

TEST(RegexObject, InvalidGbkInTheSubjectDoesNotStopMatching) {
    RegexObject re;
    ASSERT_TRUE(re.create("\\d+期", "\x81\x20 101期 \xFF 102期"));
    ASSERT_EQ(re.matchCount(), 2);
    EXPECT_EQ(re.matchText(2), "102期");
}

namespace {
std::vector<std::string> g_logged;
void recordLog(std::string_view message) {
    g_logged.emplace_back(message);
}
}  // namespace

TEST(RegexObject, DeepBacktrackingMatchesAndEngineErrorsAreFailures) {
    LogSink previous = setLogSink(recordLog);
    g_logged.clear();
    RegexObject re;
    // Each repeat of the group is one level of backtracking: far beyond the engine's default
    // stack, well within what a page may hold.
    const std::string longLine = std::string(10000, 'a') + "x";
    ASSERT_TRUE(re.create("(a|b)*x", longLine));
    ASSERT_EQ(re.matchCount(), 1);
    EXPECT_EQ(re.matchText(1), longLine);
    EXPECT_TRUE(g_logged.empty());

    // Catastrophic backtracking gives up at the match limit: an error, never "no match".
    EXPECT_FALSE(re.create("(a+)+b", std::string(40, 'a') + "!b"));
    EXPECT_EQ(re.matchCount(), 0);
    EXPECT_EQ(re.matchText(1), "");
    ASSERT_EQ(g_logged.size(), 1u);
    EXPECT_NE(g_logged[0].find("(a+)+b"), std::string::npos) << g_logged[0];
    setLogSink(previous);
}
