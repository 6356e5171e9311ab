#include "core/convert.h"

#include <gtest/gtest.h>

using namespace pv;

TEST(ToText, RendersNumbersLikePercentG) {
    EXPECT_EQ(toText(0.5), "0.5");
    EXPECT_EQ(toText(9.0), "9");
    EXPECT_EQ(toText(59.0), "59");
    EXPECT_EQ(toText(1.0 / 3.0), "0.3333333333333");
    EXPECT_EQ(toText(1e20), "1e+20");
    EXPECT_EQ(toText(-2.5e-7), "-2.5e-07");
    EXPECT_EQ(toText(0.1f), "0.1");
    EXPECT_EQ(toText(-42), "-42");
    EXPECT_EQ(toText(std::int64_t{1} << 40), "1099511627776");
    EXPECT_EQ(toText(true), "真");
    EXPECT_EQ(toText(false), "假");
}

TEST(ToText, DateTimeDropsTrailingZeroParts) {
    EXPECT_EQ(toText(DateTime{2017, 3, 5, 0, 0, 0}), "2017年3月5日");
    EXPECT_EQ(toText(DateTime{2017, 3, 5, 14, 0, 0}), "2017年3月5日14时");
    EXPECT_EQ(toText(DateTime{2017, 3, 5, 14, 7, 0}), "2017年3月5日14时7分");
    EXPECT_EQ(toText(DateTime{2017, 3, 5, 0, 0, 9}), "2017年3月5日0时0分9秒");
}

TEST(ToText, BytesEndAtTheFirstZero) {
    EXPECT_EQ(toText(std::string("plan\0tail", 9)), "plan");
    EXPECT_EQ(toText(std::string("plan")), "plan");
    EXPECT_EQ(toText(std::string()), "");
}

TEST(ToInteger, ReadsTheLeadingNumber) {
    EXPECT_EQ(toInteger(" 42abc"), 42);
    EXPECT_EQ(toInteger("abc"), 0);
    EXPECT_EQ(toInteger("-17x"), -17);
    EXPECT_EQ(toInteger("+8"), 8);
    EXPECT_EQ(toInteger("3.9"), 3);
    EXPECT_EQ(toInteger(""), 0);
    EXPECT_EQ(toInteger("99999999999"), 2147483647);
    EXPECT_EQ(toInteger("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(toInteger(-2.7), -2);
    EXPECT_EQ(toInteger(true), 1);
}

TEST(ToNumber, ReadsFractionAndExponent) {
    EXPECT_DOUBLE_EQ(toNumber("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(toNumber(" 30"), 30.0);
    EXPECT_DOUBLE_EQ(toNumber("-0.5s"), -0.5);
    EXPECT_DOUBLE_EQ(toNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(toNumber("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(toNumber("1e"), 1.0);  // an exponent without digits is not read
    EXPECT_DOUBLE_EQ(toNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(toNumber("."), 0.0);
    EXPECT_DOUBLE_EQ(toNumber("inf"), 0.0);
    EXPECT_DOUBLE_EQ(toNumber("1e-999"), 0.0);
    EXPECT_DOUBLE_EQ(toNumber(std::int32_t{7}), 7.0);
}
