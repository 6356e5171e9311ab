#include "core/cookies.h"

#include <gtest/gtest.h>

using namespace pv;

namespace {
std::string merged(std::string cookies, std::string fresh) {
    std::string result = mergeCookies(cookies, fresh);
    EXPECT_EQ(result, cookies);
    return result;
}
}  // namespace

TEST(MergeCookies, NewValuesFirstThenUnmentionedOldOnes) {
    EXPECT_EQ(merged("a=1; b=2", "b=3; c=4"), "b=3; c=4; a=1");
    EXPECT_EQ(merged("a=1; b=2", "a=deleted"), "b=2");
    EXPECT_EQ(merged("a = 1", ""), "a=1");
    EXPECT_EQ(merged("", ""), "");
    EXPECT_EQ(merged("", "b=3; b=3"), "b=3");
    EXPECT_EQ(merged("", "b=3; b=4"), "b=3; b=4");
    EXPECT_EQ(merged("a=1; a=2", "c=3"), "c=3; a=1");  // only the first old item of a name
    EXPECT_EQ(merged("A=1", "a=2"), "a=2; A=1");       // names compare exactly
    EXPECT_EQ(merged("flag; b=1", "flag"), "flag; b=1");
}

TEST(MergeCookies, RewritesBothVariablesWithoutBlanks) {
    std::string cookies = "a = 1";
    std::string fresh = "b = 2; c=3";
    mergeCookies(cookies, fresh);
    EXPECT_EQ(fresh, "b=2;c=3");
    EXPECT_EQ(cookies, "b=2; c=3; a=1");
}

TEST(CookieHelpers, NamesItemsAndIndexes) {
    EXPECT_EQ(cookieName(" sid = x=y"), "sid");
    EXPECT_EQ(cookieName("flag"), "flag");
    EXPECT_TRUE(hasCookie({"a=1", "b=2"}, "b"));
    EXPECT_FALSE(hasCookie({"a=1"}, "A"));
    EXPECT_EQ(uniqueItems("x; y; x; z", "; "), "x; y; z");
    EXPECT_EQ(uniqueItems("", "; "), "");
    EXPECT_EQ(itemIndex({"a", "b", "b"}, "b"), 2);
    EXPECT_EQ(itemIndex({"a"}, "c"), -1);
}
