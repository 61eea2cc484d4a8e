#pragma once

#include <chrono>
#include <optional>
#include <string>

// A calendar date with a time of day, as the target's timestamp columns hold it.
struct DateTime {
    std::chrono::year_month_day date{};
    std::chrono::seconds timeOfDay{0};
    int tenThousandths = 0;  // the fraction of the second, in Firebird's unit of 1/10000 s

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// The zero date of the legacy date form: 30 December 1899.
constexpr std::chrono::year_month_day kZeroDate{std::chrono::year{1899}, std::chrono::December, std::chrono::day{30}};

// "05/01/2023" (dd/mm/yyyy, the fixed Brazilian short date format).
std::string DateToText(std::chrono::year_month_day date);
// "05/01/2023 14:30:00"
std::string DateTimeToText(const DateTime& value);

// Reads "dd/mm/yyyy" optionally followed by blanks and " hh:nn[:ss]"; day and month may have one digit,
// a two-digit year is taken as 20yy below 50 and 19yy otherwise. Nothing when it is not a valid date.
std::optional<DateTime> ParseDateTimeText(const std::string& text);
// Exactly "dd/mm/yyyy" (two, two and four digits), a real calendar date.
std::optional<std::chrono::year_month_day> ParseStrictDateText(const std::string& text);

// Days since the zero date (1 for 31/12/1899), as the legacy money form of a date counts them.
long DaysSinceZeroDate(std::chrono::year_month_day date);
