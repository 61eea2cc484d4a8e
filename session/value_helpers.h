#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class FbQuery;

// Keeps the digits of the text in order; "0" when there is none. Leading zeros stay.
std::string DigitsOnly(std::string_view text);

// Advances the sequence by the step with gen_id on the given query and returns its new value as text. Leaves the
// query closed.
std::string NextSequenceValue(const std::string& sequence, int step, FbQuery& query);

// 1-based position of the last place where the one-character piece of the text equals `character`; 0 when none.
int LastCharPos(const std::string& character, const std::string& text);

// Without leading and trailing characters of code 32 or less.
std::string Trimmed(std::string_view text);

// The trimmed text as a signed 32-bit decimal integer, 0 when it is not one.
std::int32_t IntegerOrZero(std::string_view text);

// The text as a signed 32-bit decimal integer; fails with "'%s' is not a valid integer value" otherwise.
std::int32_t StrictInteger(const std::string& text);
