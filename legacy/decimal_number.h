#pragma once

#include <optional>
#include <string>
#include <string_view>

// Reads a decimal number: leading and trailing blanks, an optional sign, digits with at most one
// separator, an optional exponent ("E" or "e", optional sign, digits). No thousands separator.
// Nothing when the text is anything else or the number is out of range of a double.
std::optional<double> ParseDecimal(std::string_view text, char separator);

// General format with up to 15 significant digits and "," as separator: "10,5", "10", "1E20",
// "1,5E-5". Scientific only above 15 integer digits or below 0.0001 in magnitude.
std::string FormatGeneral(double value);
