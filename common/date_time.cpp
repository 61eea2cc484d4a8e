#include "common/date_time.h"

#include <cstdio>

using namespace std::chrono;

std::string DateToText(year_month_day date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return text;
}

std::string DateTimeToText(const DateTime& value)
{
    const auto total = value.timeOfDay.count();
    char text[64];
    std::snprintf(text, sizeof text, " %02lld:%02lld:%02lld", static_cast<long long>(total / 3600),
                  static_cast<long long>(total / 60 % 60), static_cast<long long>(total % 60));
    return DateToText(value.date) + text;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits digits at pos.
std::optional<int> ReadNumber(const std::string& text, size_t& pos, size_t maxDigits)
{
    size_t start = pos;
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos]) && pos - start < maxDigits) value = value * 10 + (text[pos++] - '0');
    if (pos == start) return std::nullopt;
    return value;
}

bool Expect(const std::string& text, size_t& pos, char c)
{
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

}  // namespace

std::optional<DateTime> ParseDateTimeText(const std::string& text)
{
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    auto d = ReadNumber(text, pos, 2);
    if (!d || !Expect(text, pos, '/')) return std::nullopt;
    auto m = ReadNumber(text, pos, 2);
    if (!m || !Expect(text, pos, '/')) return std::nullopt;
    const size_t yearStart = pos;
    auto y = ReadNumber(text, pos, 4);
    if (!y) return std::nullopt;
    if (pos - yearStart <= 2) *y += *y < 50 ? 2000 : 1900;
    year_month_day date{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*d)}};
    if (!date.ok()) return std::nullopt;
    DateTime result{date, seconds{0}};
    size_t afterDate = pos;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos == text.size()) return result;
    if (pos == afterDate) return std::nullopt;
    auto h = ReadNumber(text, pos, 2);
    if (!h || !Expect(text, pos, ':')) return std::nullopt;
    auto n = ReadNumber(text, pos, 2);
    if (!n) return std::nullopt;
    int s = 0;
    if (Expect(text, pos, ':')) {
        auto sec = ReadNumber(text, pos, 2);
        if (!sec) return std::nullopt;
        s = *sec;
    }
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos != text.size() || *h > 23 || *n > 59 || s > 59) return std::nullopt;
    result.timeOfDay = hours{*h} + minutes{*n} + seconds{s};
    return result;
}

std::optional<year_month_day> ParseStrictDateText(const std::string& text)
{
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
    for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!IsDigit(text[i])) return std::nullopt;
    auto parsed = ParseDateTimeText(text);
    if (!parsed) return std::nullopt;
    return parsed->date;
}

long DaysSinceZeroDate(year_month_day date)
{
    return static_cast<long>((sys_days{date} - sys_days{kZeroDate}).count());
}
