#pragma once

#include <ostream>
#include <string>
#include <vector>

// convquibraw-cli inspect FILE [--latin1|--cp850]
// Prints a legacy table's header facts, its field list and every record (number, deleted mark,
// the text form of each field, tab-separated). Bytes go out as stored unless a code page is named.
// Returns 0; 1 when the file does not open; 2 for a usage error.
int RunInspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
