#include "legacy/decimal_number.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> ParseDecimal(std::string_view text, char separator)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    if (end - begin > 400) return std::nullopt;

    // Check the shape, and copy it with "." as separator for from_chars (which takes no "+").
    char copy[404];
    std::size_t length = 0, pos = begin, digits = 0;
    if (pos < end && (text[pos] == '-' || text[pos] == '+')) {
        if (text[pos] == '-') copy[length++] = '-';
        ++pos;
    }
    bool separatorSeen = false;
    for (; pos < end; ++pos) {
        const char c = text[pos];
        if (IsDigit(c)) {
            ++digits;
            copy[length++] = c;
        } else if (c == separator && !separatorSeen) {
            separatorSeen = true;
            copy[length++] = '.';
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;
    if (pos < end && (text[pos] == 'E' || text[pos] == 'e')) {
        copy[length++] = 'e';
        ++pos;
        if (pos < end && (text[pos] == '-' || text[pos] == '+')) copy[length++] = text[pos++];
        const std::size_t exponentStart = pos;
        while (pos < end && IsDigit(text[pos])) copy[length++] = text[pos++];
        if (pos == exponentStart) return std::nullopt;
    }
    if (pos != end) return std::nullopt;

    double value = 0;
    const auto [last, error] = std::from_chars(copy, copy + length, value);
    if (error != std::errc() || last != copy + length) return std::nullopt;
    return value;
}

std::string FormatGeneral(double value)
{
    if (value == 0 || !std::isfinite(value)) return "0";
    // 15 significant digits: d.dddddddddddddde±x
    char scientific[32];
    std::snprintf(scientific, sizeof scientific, "%.14e", value);
    const bool negative = scientific[0] == '-';
    const char* mantissa = scientific + (negative ? 1 : 0);
    std::string digits(1, mantissa[0]);
    digits.append(mantissa + 2, 14);
    const int exponent = std::atoi(mantissa + 17);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        text += digits[0];
        if (digits.size() > 1) text += "," + digits.substr(1);
        text += "E" + std::to_string(exponent);
    } else if (exponent < 0) {
        text += "0," + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits + std::string(integerDigits - digits.size(), '0');
        } else {
            text += digits.substr(0, integerDigits) + "," + digits.substr(integerDigits);
        }
    }
    return text;
}
