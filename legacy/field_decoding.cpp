#include "legacy/field_decoding.h"

#include <cstring>
#include <limits>

#include "legacy/decimal_number.h"

using namespace std::chrono;

namespace {

bool AllBlanks(std::string_view bytes) { return bytes.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

std::string_view DecodeText(std::string_view bytes)
{
    if (bytes.empty()) return bytes;  // no current record: the view has no data to search
    const void* nul = std::memchr(bytes.data(), 0, bytes.size());
    return nul ? bytes.substr(0, static_cast<const char*>(nul) - bytes.data()) : bytes;
}

std::optional<std::int64_t> DecodeInteger(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size() && bytes[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < bytes.size() && (bytes[pos] == '-' || bytes[pos] == '+')) negative = bytes[pos++] == '-';
    if (pos == bytes.size()) return std::nullopt;
    // Accumulated as a negative number so that the lowest value fits too.
    std::int64_t value = 0;
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    for (; pos < bytes.size(); ++pos) {
        const char c = bytes[pos];
        if (c < '0' || c > '9') return std::nullopt;
        const int digit = c - '0';
        if (value < (lowest + digit) / 10) return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == lowest) return std::nullopt;
        value = -value;
    }
    return value;
}

std::optional<double> DecodeFloat(std::string_view bytes)
{
    if (AllBlanks(bytes)) return std::nullopt;
    if (auto value = ParseDecimal(bytes, '.')) return value;
    return ParseDecimal(bytes, ',');
}

std::optional<year_month_day> DecodeDate(std::string_view bytes)
{
    if (bytes.size() != 8 || AllBlanks(bytes)) return std::nullopt;
    int b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(bytes[i]) - '0';
    const int y = 1000 * b[0] + 100 * b[1] + 10 * b[2] + b[3];
    const int m = 10 * b[4] + b[5];
    const int d = 10 * b[6] + b[7];
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
    const year_month_day date{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!date.ok()) return std::nullopt;
    return date;
}

std::optional<bool> DecodeLogical(std::string_view bytes)
{
    if (bytes.size() != 1) return std::nullopt;
    if (bytes[0] == 'T') return true;
    if (bytes[0] == 'F') return false;
    return std::nullopt;
}
