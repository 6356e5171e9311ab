#include "core/text.h"

#include <gtest/gtest.h>

#include <random>

using namespace pv;

TEST(Cutting, CountsBytesAndClampsToTheText) {
    EXPECT_EQ(leftText("abc", 2), "ab");
    EXPECT_EQ(leftText("abc", 9), "abc");
    EXPECT_EQ(leftText("abc", 0), "");
    EXPECT_EQ(rightText("abc", 2), "bc");
    EXPECT_EQ(rightText("abc", -1), "");
    EXPECT_EQ(midText("abc", 2, 5), "bc");
    EXPECT_EQ(midText("abc", 4, 1), "");
    EXPECT_EQ(midText("abc", 0, 1), "");
    EXPECT_EQ(midText("abc", 1, 0), "");
    // Cutting may split a two-byte character: only the lead byte of 中 is kept.
    EXPECT_EQ(leftText("中a", 1), "\xD6");
    EXPECT_EQ(textLength("中a"), 3);
}

TEST(FindText, PositionsAreOneBasedAndCountedFromTheWholeText) {
    EXPECT_EQ(findText("abc", "b", 3), -1);
    EXPECT_EQ(findText("abc", "b", 0), 2);
    EXPECT_EQ(findText("abc", "b"), 2);
    EXPECT_EQ(findText("abcabc", "c", 4), 6);
    EXPECT_EQ(findText("abc", "", 1), 1);
    EXPECT_EQ(findText("", "", 1), -1);
    EXPECT_EQ(findText("abc", "", 4), -1);
    EXPECT_EQ(findText("abc", "x"), -1);
    EXPECT_EQ(findText("aBc", "bC", 1, true), 2);
    EXPECT_EQ(findText("aBc", "bC", 1, false), -1);
}

TEST(FindText, NeverMatchesOnATrailByte) {
    // 猫 is C3 A8 and 丁 is B6 A1: the pair "A8 B6" straddles two characters and must not
    // be found, while a real 丁 is.
    const std::string text = "猫丁";
    EXPECT_EQ(findText(text, "\xA8\xB6"), -1);
    EXPECT_EQ(findText(text, "丁"), 3);
    // GBK trail bytes can be ASCII letters: 玛 is C2 EA, 碼 is B4 61 ("a" as its trail byte).
    const std::string withAsciiTrail =
        "\xB4\x61"
        "a";
    EXPECT_EQ(findText(withAsciiTrail, "a"), 3);
    EXPECT_EQ(findText(withAsciiTrail, "A", 1, true), 3);
    // A start position on a trail byte keeps the character grid of the whole text.
    EXPECT_EQ(findText(withAsciiTrail, "a", 2), 3);
}

TEST(FindTextBackward, FindsTheLastOccurrenceInsideThePrefix) {
    EXPECT_EQ(findTextBackward("a:b:c", ":"), 4);
    EXPECT_EQ(findTextBackward("a:b:c", ":", 4), 2);  // first three bytes only
    EXPECT_EQ(findTextBackward("a:b:c", ":", 99), 4);
    EXPECT_EQ(findTextBackward("a:b:c", ":", 1), -1);
    EXPECT_EQ(findTextBackward("abab", "ab", 4), 1);  // the second "ab" does not fit wholly
    EXPECT_EQ(findTextBackward("\xB4\x61", "a"), -1);
}

TEST(ReplaceText, ReplacesLeftToRightWithoutRescanning) {
    EXPECT_EQ(replaceText("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replaceText("aaa", "aa", "b", 2), "ab");
    EXPECT_EQ(replaceText("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replaceText("a.a.a", ".", "", 1, 1), "aa.a");
    EXPECT_EQ(replaceText("abc", "b", "x", 4), "abc");
    EXPECT_EQ(replaceText("abc", "b", "x", 1, 0), "abc");
    EXPECT_EQ(replaceText("aBc", "b", "x", 1, -1, false), "axc");
    EXPECT_EQ(replaceText("aBc", "b", "x", 1, -1, true), "aBc");
    EXPECT_EQ(replaceText("</p> x</p>y", "</p> ", ""), "x</p>y");
    // The trail byte of a character is not a place to start a match.
    EXPECT_EQ(replaceText("\xB4\x61"
                          "a",
                          "a", "b"),
              "\xB4\x61"
              "b");
}

namespace {

// The searches as defined: walk the characters one by one from the first byte (or from where
// the grid starts again) and try each position.
bool matchAt(std::string_view t, std::size_t i, std::string_view s, bool ignoreCase) {
    return i + s.size() <= t.size() && compareText(t.substr(i, s.size()), s, !ignoreCase) == 0;
}

int walkFind(std::string_view t, std::string_view s, int start, bool ignoreCase, bool backward) {
    const std::size_t from = start < 1 ? 0 : start - 1;
    const std::size_t end = backward ? std::min(from, t.size()) : t.size();
    if ((backward ? end : t.size()) == 0 || (!backward && from >= t.size())) return -1;
    if (s.empty()) return 1;
    int found = -1;
    for (std::size_t i = 0; i < end; i += charWidth(t, i)) {
        if (i + s.size() > end || (!backward && i < from)) continue;
        if (matchAt(t.substr(0, end), i, s, ignoreCase)) {
            found = static_cast<int>(i + 1);
            if (!backward) break;
        }
    }
    return found;
}

std::string walkReplace(std::string_view t, std::string_view s, std::string_view r, int start,
                        int count, bool ignoreCase) {
    std::size_t i = start - 1;
    std::string out(t.substr(0, i));
    while (i + s.size() <= t.size() && count != 0) {
        if (matchAt(t, i, s, ignoreCase)) {
            out.append(r);
            i += s.size();
            --count;
        } else {
            out.append(t.substr(i, charWidth(t, i)));
            i += charWidth(t, i);
        }
    }
    return out.append(t.substr(i));
}

}  // namespace

TEST(Searches, AgreeWithAWalkOverEveryCharacter) {
    // Few distinct bytes, so that matches, trail bytes that look like letters and long runs of
    // lead and trail bytes all turn up often.
    const std::string bytes = "aAb\xB4\xD6\xD0\xB4\xB4";
    std::mt19937 random(13);
    auto draw = [&](std::size_t maxLength) {
        std::string out(random() % (maxLength + 1), ' ');
        for (char& c : out)
            c = bytes[random() % bytes.size()];
        return out;
    };
    for (int round = 0; round < 1000; ++round) {
        const std::string t = draw(24);
        const std::string s = draw(3);
        const std::string r = draw(2);
        const int n = textLength(t);
        for (bool ic : {false, true}) {
            int known = 1;
            for (int start = -1; start <= n + 2; ++start) {
                SCOPED_TRACE(::testing::Message() << t << " / " << s << " from " << start << ic);
                EXPECT_EQ(findText(t, s, start, ic), walkFind(t, s, start, ic, false));
                EXPECT_EQ(findTextFrom(t, s, start, known, ic), walkFind(t, s, start, ic, false));
                EXPECT_EQ(findTextBackward(t, s, start, ic), walkFind(t, s, start, ic, true));
                if (start >= 1 && start <= n) {
                    const int count = static_cast<int>(random() % 4) - 1;
                    EXPECT_EQ(replaceText(t, s, r, start, count, !ic),
                              s.empty() ? t : walkReplace(t, s, r, start, count, ic));
                }
                if (start > 1 && start <= n &&
                    known + static_cast<int>(charWidth(t, known - 1)) == start) {
                    known = start;
                }
            }
        }
        // Splitting at s is replacing s by a byte that is not in the text, then cutting there.
        if (!s.empty() && !t.empty()) {
            const std::string marked = walkReplace(t, s, "|", 1, -1, false);
            TextArray pieces;
            std::size_t cut = 0;
            for (std::size_t bar; (bar = marked.find('|', cut)) != std::string::npos;
                 cut = bar + 1) {
                pieces.push_back(marked.substr(cut, bar - cut));
            }
            if (cut < marked.size()) pieces.push_back(marked.substr(cut));
            EXPECT_EQ(splitText(t, s), pieces) << t << " / " << s;
        }
    }
}

TEST(SplitText, KeepsInnerEmptiesButNoTrailingOne) {
    EXPECT_EQ(splitText("a,,b,"), (TextArray{"a", "", "b"}));
    EXPECT_EQ(splitText(",a"), (TextArray{"", "a"}));
    EXPECT_EQ(splitText("a,b,c", ",", 2), (TextArray{"a", "b"}));
    EXPECT_EQ(splitText("a,b", ",", 0), TextArray{});
    EXPECT_EQ(splitText("a,b", ",", -3), TextArray{});
    EXPECT_EQ(splitText("", ","), TextArray{});
    EXPECT_EQ(splitText("a,b", ""), TextArray{"a,b"});
    EXPECT_EQ(splitText("x\r\ny\r\n", "\r\n"), (TextArray{"x", "y"}));
    // "碼" ends in the byte of "a"; splitting at "a" leaves the character whole.
    EXPECT_EQ(splitText("\xB4\x61"
                        "a1",
                        "a"),
              (TextArray{"\xB4\x61", "1"}));
}

TEST(SmallBuilders, HandleZeroAndNegativeCounts) {
    EXPECT_EQ(repeatText(3, "ab"), "ababab");
    EXPECT_EQ(repeatText(-1, "ab"), "");
    EXPECT_EQ(spaceText(3), "   ");
    EXPECT_EQ(spaceText(0), "");
    EXPECT_EQ(charText(65), "A");
    EXPECT_EQ(charText(0), "");
    EXPECT_EQ(joinTexts(std::string("a"), "b", std::string_view("c")), "abc");
}

TEST(Trim, RemovesAsciiAndFullWidthBlanksOnly) {
    const std::string fullWidth = "\xA1\xA1";
    EXPECT_EQ(trimLeft("  " + fullWidth + "x "), "x ");
    EXPECT_EQ(trimRight(" x " + fullWidth + " "), " x");
    EXPECT_EQ(trimBoth(fullWidth + " x\t "), "x\t");
    EXPECT_EQ(trimBoth("   "), "");
    EXPECT_EQ(removeBlanks("a = 1;" + fullWidth + "b"), "a=1;b");
    // B0 A1 is a character; the A1 A1 that a byte search would see behind its lead is not a
    // blank. The real full-width blank behind it goes.
    EXPECT_EQ(trimRight("\xB0\xA1\xA1\xA1"), "\xB0\xA1");
    EXPECT_EQ(trimRight("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
}

TEST(LetterCase, ChangesAsciiLettersButNotTrailBytes) {
    EXPECT_EQ(upperText("abc中Z"), "ABC中Z");
    EXPECT_EQ(lowerText("HTTPS://Host"), "https://host");
    EXPECT_EQ(upperText("\xB4\x61"), "\xB4\x61");
    EXPECT_LT(compareText("a", "b"), 0);
    EXPECT_EQ(compareText("Location: ", "location: ", false), 0);
    EXPECT_NE(compareText("Location: ", "location: ", true), 0);
    EXPECT_LT(compareText("22", "229"), 0);
    EXPECT_GT(compareText("230", "229"), 0);
}
