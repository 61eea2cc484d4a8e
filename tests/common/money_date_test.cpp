#include <gtest/gtest.h>

#include "common/date_time.h"
#include "common/money.h"

using namespace std::chrono;

TEST(MoneyText, usesDecimalCommaWithoutTrailingZeros)
{
    EXPECT_EQ(MoneyToText(Money{125000}), "12,5");
    EXPECT_EQ(MoneyToText(Money{100000}), "10");
    EXPECT_EQ(MoneyToText(Money{-1}), "-0,0001");
    EXPECT_EQ(MoneyToText(Money{0}), "0");
}

TEST(DateText, parsesShortDatesWithOptionalTime)
{
    auto parsed = ParseDateTimeText("05/01/2023");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->date, year_month_day(year{2023}, January, day{5}));
    parsed = ParseDateTimeText("05/03/2020 14:30:15");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->timeOfDay, hours{14} + minutes{30} + seconds{15});
    EXPECT_EQ(ParseDateTimeText("5/1/23")->date, year_month_day(year{2023}, January, day{5}));
    EXPECT_FALSE(ParseDateTimeText("31/02/2023"));
    EXPECT_FALSE(ParseDateTimeText("  /  /    "));
    EXPECT_FALSE(ParseDateTimeText("05/01/2023x"));
    EXPECT_FALSE(ParseDateTimeText("2023-01-05"));
}

TEST(DateText, strictFormAcceptsOnlyTwoTwoFourDigits)
{
    EXPECT_TRUE(ParseStrictDateText("10/05/2023"));
    EXPECT_FALSE(ParseStrictDateText("1/05/2023"));
    EXPECT_FALSE(ParseStrictDateText("10/05/23"));
    EXPECT_FALSE(ParseStrictDateText("30/02/2023"));
}

TEST(DateText, countsDaysFromTheZeroDate)
{
    EXPECT_EQ(DaysSinceZeroDate(year_month_day(year{1899}, December, day{31})), 1);
    EXPECT_EQ(DaysSinceZeroDate(kZeroDate), 0);
    EXPECT_EQ(DateToText(year_month_day(year{2023}, January, day{5})), "05/01/2023");
}
