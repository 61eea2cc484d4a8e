// fuzz-sources: firebird/named_parameters.cpp
// The scanner must never read outside the text, and what it gives back must stay consistent with what it read:
// every "?" it wrote outside quotes and comments stands for one name, and the text outside names is kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "firebird/named_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ScannedSql scanned = ScanNamedParameters(text);
    if (scanned.sql.size() > text.size()) std::abort();
    for (const std::string& name : scanned.placeholderNames)
        if (name.empty() || name.size() >= text.size()) std::abort();
    // Scanning the result again finds no names: every ":name" became "?".
    if (!ScanNamedParameters(scanned.sql).placeholderNames.empty() && text.find("::") == std::string::npos) {
        const ScannedSql again = ScanNamedParameters(scanned.sql);
        // A name may only reappear where a colon was followed by a name that started after a replaced one.
        if (again.placeholderNames.size() > scanned.placeholderNames.size()) std::abort();
    }
    return 0;
}
