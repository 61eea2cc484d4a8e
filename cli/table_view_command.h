#pragma once

#include <ostream>
#include <string>
#include <vector>

// convquibraw-cli inspect FILE|FOLDER [--latin1|--cp850|--cp437] [--from N] [--limit N]
// A file: what matters before migrating it (counts, memo file, code page, fields and their kinds, the chosen
// records). A folder: the legacy files the full run reads, the fields the copies need that they lack, the values
// that will arrive empty or fail, and the folder's code page. Bytes go out as stored unless a code page is named.
// Returns 0; 1 when the file does not open; 2 for a usage error.
int RunInspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
