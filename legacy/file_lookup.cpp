#include "legacy/file_lookup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

std::optional<std::string> FindInFolderIgnoringCase(const std::string& folder, const std::string& name)
{
    // No folder named is no folder: the current directory is not a legacy folder the operator chose.
    if (folder.empty()) return std::nullopt;
    const fs::path dir(folder);
    std::error_code error;
    if (fs::is_regular_file(dir / name, error)) return (fs::path(folder) / name).string();
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (EqualIgnoringCase(candidate, name) && it->is_regular_file(error)) return (fs::path(folder) / candidate).string();
    }
    return std::nullopt;
}

std::optional<std::string> FindMemoFileFor(const std::string& tablePath)
{
    const fs::path table(tablePath);
    const std::string folder = table.parent_path().string();
    const auto found = FindInFolderIgnoringCase(folder.empty() ? "." : folder, table.stem().string() + ".dbt");
    // A table named without folder keeps its memo without one too.
    if (found && folder.empty() && found->rfind("./", 0) == 0) return found->substr(2);
    return found;
}
