#include "session/value_helpers.h"

#include <charconv>

#include "firebird/fb_query.h"
#include "common/failure.h"

std::string DigitsOnly(std::string_view text)
{
    std::string digits;
    for (const char c : text)
        if (c >= '0' && c <= '9') digits += c;
    return digits.empty() ? "0" : digits;
}

std::string NextSequenceValue(const std::string& sequence, int step, FbQuery& query)
{
    query.Close();
    query.ClearText();
    query.AddLine("select gen_id(" + sequence + "," + std::to_string(step) + ") as venda from rdb$database");
    query.OpenOneRow();
    std::string value = query.ColumnText("venda");
    query.Close();
    return value;
}

int LastCharPos(const std::string& character, const std::string& text)
{
    if (character.size() != 1) return 0;
    const auto found = text.rfind(character[0]);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

std::string Trimmed(std::string_view text)
{
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
    return std::string(text.substr(first, last - first));
}

namespace {

bool ParseInteger(std::string_view text, std::int32_t& value)
{
    // One sign at most: "+-5" and "++5" are no integers.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;
    }
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::int32_t IntegerOrZero(std::string_view text)
{
    std::int32_t value = 0;
    return ParseInteger(Trimmed(text), value) ? value : 0;
}

std::int32_t StrictInteger(const std::string& text)
{
    std::int32_t value = 0;
    if (!ParseInteger(text, value)) throw Failure("'" + text + "' is not a valid integer value");
    return value;
}
