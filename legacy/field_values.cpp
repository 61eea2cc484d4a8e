#include "legacy/field_values.h"

#include <cmath>
#include <optional>

#include "common/date_time.h"
#include "common/failure.h"
#include "legacy/decimal_number.h"
#include "legacy/field_decoding.h"

namespace {

[[noreturn]] void CannotAccess(const LegacyField& field, const char* typeName)
{
    throw Failure("Cannot access field '" + field.Name() + "' as type " + typeName);
}

Money RoundToMoney(double value, std::string_view shownAs)
{
    // Extended precision for the scaling, then the nearest integer with ties to even (rint in the default rounding
    // mode: the same result as nearbyint without saving and restoring the floating-point environment).
    const long double scaled = static_cast<long double>(value) * 10000.0L;
    if (!(std::fabs(scaled) < 9.2e18L)) throw Failure("'" + std::string(shownAs) + "' is out of the money range");
    return Money{static_cast<std::int64_t>(std::rint(scaled))};
}

// The money of a plain decimal text (blanks around, an optional "-", at most 11 integer digits and 4 decimals) taken
// from its digits. It is what RoundToMoney gives for the double read from the text: scaled, that double is off by
// less than an eighth of a ten-thousandth below 10^11. Nothing for any other text, which then goes the general way.
std::optional<Money> PlainMoney(std::string_view text, char separator)
{
    std::size_t pos = 0, end = text.size();
    while (pos < end && text[pos] == ' ') ++pos;
    while (end > pos && text[end - 1] == ' ') --end;
    const bool negative = pos < end && text[pos] == '-';
    if (negative) ++pos;
    std::int64_t units = 0;
    int integerDigits = 0, decimals = 0;
    bool separatorSeen = false;
    for (; pos < end; ++pos) {
        const char c = text[pos];
        if (c >= '0' && c <= '9') {
            if (separatorSeen ? ++decimals > 4 : ++integerDigits > 11) return std::nullopt;
            units = units * 10 + (c - '0');
        } else if (c == separator && !separatorSeen && integerDigits > 0) {
            separatorSeen = true;
        } else {
            return std::nullopt;
        }
    }
    if (integerDigits == 0) return std::nullopt;
    for (; decimals < 4; ++decimals) units *= 10;
    return Money{negative ? -units : units};
}

Money IntegerMoney(std::int64_t value)
{
    constexpr std::int64_t limit = INT64_MAX / 10000;
    if (value > limit || value < -limit) throw Failure("'" + std::to_string(value) + "' is out of the money range");
    return Money::FromUnits(value);
}

std::string Translated(std::string text, const LegacyField& field)
{
    if (const ByteTable* table = field.TextTranslation()) TranslateInPlace(text, *table);
    return text;
}

std::string MemoText(const LegacyField& field)
{
    const std::string_view bytes = field.Bytes();
    if (bytes.find_first_not_of(' ') == std::string_view::npos) return {};
    const auto block = DecodeInteger(bytes);
    return block ? Translated(field.MemoText(*block), field) : std::string();
}

}  // namespace

std::string AsText(const LegacyField& field)
{
    const std::string_view bytes = field.Bytes();
    switch (field.Kind()) {
    case FieldKind::Text: return Translated(std::string(DecodeText(bytes)), field);
    case FieldKind::Integer:
    case FieldKind::LargeInteger: {
        const auto value = DecodeInteger(bytes);
        return value ? std::to_string(*value) : std::string();
    }
    case FieldKind::Float: {
        const auto value = DecodeFloat(bytes);
        return value ? FormatGeneral(*value) : std::string();
    }
    case FieldKind::Date: {
        const auto value = DecodeDate(bytes);
        return value ? DateToText(*value) : std::string();
    }
    case FieldKind::Logical: {
        const auto value = DecodeLogical(bytes);
        return value ? (*value ? "True" : "False") : std::string();
    }
    case FieldKind::Memo: return MemoText(field);
    }
    return {};
}

Money AsMoney(const LegacyField& field)
{
    const std::string_view bytes = field.Bytes();
    switch (field.Kind()) {
    case FieldKind::Text: {
        const std::string_view text = DecodeText(bytes);
        if (const auto plain = PlainMoney(text, ',')) return *plain;
        const auto value = ParseDecimal(text, ',');
        if (!value) throw Failure("'" + std::string(text) + "' is not a valid floating point value");
        return RoundToMoney(*value, text);
    }
    case FieldKind::Integer:
    case FieldKind::LargeInteger: {
        const auto value = DecodeInteger(bytes);
        return value ? IntegerMoney(*value) : Money{};
    }
    case FieldKind::Float: {
        if (const auto plain = PlainMoney(bytes, '.')) return *plain;
        const auto value = DecodeFloat(bytes);
        return value ? RoundToMoney(*value, bytes) : Money{};
    }
    case FieldKind::Date: {
        const auto value = DecodeDate(bytes);
        return value ? Money::FromUnits(DaysSinceZeroDate(*value)) : Money{};
    }
    case FieldKind::Logical:
    case FieldKind::Memo: break;
    }
    CannotAccess(field, "Float");
}

std::chrono::year_month_day AsDate(const LegacyField& field)
{
    switch (field.Kind()) {
    case FieldKind::Text: {
        const std::string text(DecodeText(field.Bytes()));
        const auto value = ParseDateTimeText(text);
        if (!value) throw Failure("'" + text + "' is not a valid date and time");
        return value->date;
    }
    case FieldKind::Date: return DecodeDate(field.Bytes()).value_or(kZeroDate);
    default: CannotAccess(field, "DateTime");
    }
}
