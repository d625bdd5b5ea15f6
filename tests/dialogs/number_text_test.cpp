#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(DecimalPrefixToFloat, TakesTheLongestNumericPrefixAndZeroWithoutOne) {
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral(" \t12.5 uL")), 12.5F);
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral("-0.5")), -0.5F);
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral("1e1x")), 10.0F);
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral("3,5")), 3.0F);
    EXPECT_EQ(DecimalPrefixToFloat(QString()), 0.0F);
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral("abc")), 0.0F);
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral("33.3")), 33.3F);
}

TEST(DecimalPrefixToFloat, ReadsOnlyTheZeroOfAHexadecimalText) {
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral("0x28")), 0.0F);
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral(" -0X1p4")), 0.0F);
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral("0x")), 0.0F);
    EXPECT_EQ(DecimalPrefixToFloat(QStringLiteral("10x28")), 10.0F);
}

TEST(DecimalPrefixToFloat, ReadsNotANumberAndOverflowAsNotFinite) {
    EXPECT_TRUE(std::isnan(DecimalPrefixToFloat(QStringLiteral("nan"))));
    EXPECT_TRUE(std::isinf(DecimalPrefixToFloat(QStringLiteral("-inf"))));
    // Beyond the float range although a double holds it.
    EXPECT_TRUE(std::isinf(DecimalPrefixToFloat(QStringLiteral("1e39"))));
    EXPECT_TRUE(std::isinf(DecimalPrefixToFloat(QStringLiteral("1e999"))));
}

TEST(ParseDecimalNumber, TakesOneWholeDecimalNumberOnly) {
    EXPECT_EQ(ParseDecimalNumber(QStringLiteral(" -12.25e1\t")), -122.5F);
    EXPECT_EQ(ParseDecimalNumber(QStringLiteral("1000")), 1000.0F);
    for (const char* text : {"1,000", "1 000", "5 uL", "", " ", "0x28", "nan", "inf", "1e39"}) {
        EXPECT_FALSE(ParseDecimalNumber(QString::fromLatin1(text))) << text;
    }
}

TEST(ParseWholeNumber, AcceptsSignAndSurroundingBlanksOrTabs) {
    EXPECT_EQ(ParseWholeNumber(QStringLiteral("5")), 5);
    EXPECT_EQ(ParseWholeNumber(QStringLiteral(" \t-3\t ")), -3);
    EXPECT_EQ(ParseWholeNumber(QStringLiteral("+007")), 7);
    EXPECT_EQ(ParseWholeNumber(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(ParseWholeNumber(QStringLiteral("-2147483648")), -2147483647 - 1);
}

TEST(ParseWholeNumber, RefusesAnythingElseAndWhatWouldWrap) {
    for (const char* text : {"", " \t", "-", "1.5", "12a", "- 3", "1 2", "\n5", "0x10",
                             "2147483648", "-2147483649", "4294967301", "99999999999999999999"}) {
        EXPECT_FALSE(ParseWholeNumber(QString::fromLatin1(text))) << text;
    }
    EXPECT_FALSE(ParseWholeNumber(QStringLiteral("\uFF15"))) << "fullwidth digit";
}

} // namespace
