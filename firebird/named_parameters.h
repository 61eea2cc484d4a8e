#pragma once

#include <string>
#include <string_view>
#include <vector>

// A statement text with its ":name" parameters replaced by "?".
struct ScannedSql {
    std::string sql;
    // One entry per "?", in order, upper case; a name may stand in several places.
    std::vector<std::string> placeholderNames;
    // Where each "?" stands in sql.
    std::vector<size_t> placeholderOffsets;
};

// Finds ":name" outside quoted texts, quoted identifiers and comments. Names are letters, digits, "_" and "$".
ScannedSql ScanNamedParameters(std::string_view text);

// Upper case of ASCII letters only; other bytes unchanged.
std::string AsciiUpper(std::string_view text);
