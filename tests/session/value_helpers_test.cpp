#include <gtest/gtest.h>

#include "common/failure.h"
#include "session/value_helpers.h"

TEST(ValueHelpers, digitsOnlyAndLastCharPos)
{
    EXPECT_EQ(DigitsOnly("12.345.678/0001-90"), "12345678000190");
    EXPECT_EQ(DigitsOnly("ABC"), "0");
    EXPECT_EQ(DigitsOnly(""), "0");
    EXPECT_EQ(DigitsOnly("007"), "007");
    EXPECT_EQ(LastCharPos("\\", "C:\\dados\\bd.fdb"), 9);
    EXPECT_EQ(LastCharPos("\\", "bd.fdb"), 0);
    EXPECT_EQ(LastCharPos("/", "/srv/loja/bd.fdb"), 10);
    EXPECT_EQ(LastCharPos("ab", "xab"), 0);
    EXPECT_EQ(LastCharPos("a", ""), 0);
}

TEST(ValueHelpers, integerConversions)
{
    EXPECT_EQ(IntegerOrZero(" 0012 "), 12);
    EXPECT_EQ(IntegerOrZero("-7"), -7);
    EXPECT_EQ(IntegerOrZero("+-5"), 0);
    EXPECT_EQ(IntegerOrZero("12a"), 0);
    EXPECT_EQ(IntegerOrZero(""), 0);
    EXPECT_EQ(IntegerOrZero("99999999999"), 0);
    EXPECT_EQ(StrictInteger("0042"), 42);
    try {
        StrictInteger("99999999999");
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "'99999999999' is not a valid integer value");
    }
}
