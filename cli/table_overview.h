#pragma once

#include <cstdint>
#include <ostream>

#include "legacy/code_page.h"

class LegacyTable;

// Which records inspect shows, and how it shows texts.
struct InspectView {
    CodePage shownAs = CodePage::AsStored;  // --latin1, --cp850, --cp437: texts turned into UTF-8
    std::int64_t from = 1;  // --from: the first record shown
    std::int64_t limit = 20;  // --limit: how many; 0 shows them all
};

// Prints what matters before migrating one table: the header's count beside the file's, the bytes after the last
// record, the deleted records, the memo file, the probable code page, the fields with their kinds, and the chosen
// records with values that do not decode marked and control bytes escaped. The table is open.
void PrintTableInspection(LegacyTable& table, const InspectView& view, std::ostream& out);
