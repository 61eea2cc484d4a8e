#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

// Decoders of a field's stored bytes, one per field kind. Nothing means the value is absent.

// Text: the bytes up to the first NUL (all of them without one); trailing blanks kept.
std::string_view DecodeText(std::string_view bytes);
// Integer and large integer: leading blanks, an optional sign, then digits to the end of the field.
std::optional<std::int64_t> DecodeInteger(std::string_view bytes);
// Float: "." as separator, or else ","; all blanks is absent.
std::optional<double> DecodeFloat(std::string_view bytes);
// Date "yyyymmdd": each byte counts as its code minus the code of "0", digit or not.
std::optional<std::chrono::year_month_day> DecodeDate(std::string_view bytes);
// Logical: "T" or "F" only.
std::optional<bool> DecodeLogical(std::string_view bytes);
