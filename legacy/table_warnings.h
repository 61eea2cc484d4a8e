#pragma once

#include <string>
#include <vector>

class LegacyTable;

// What is wrong with an open table's layout before any value is read, one line each (Portuguese, without a
// leading "Aviso: "): a header that promises more or fewer records than the file holds, fields that do not add
// up to the record length, memo fields without a memo file.
std::vector<std::string> TableLayoutWarnings(const LegacyTable& table);
