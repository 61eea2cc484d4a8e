#pragma once

#include <optional>
#include <string>

// Finds a file in a folder the way the legacy system's DOS names are meant: letter case does not
// count ("KQ000012.DBT", "kq000012.dbt"). An exact match is preferred. Nothing when there is none.
std::optional<std::string> FindInFolderIgnoringCase(const std::string& folder, const std::string& name);

// The path of the ".dbt" memo file beside a table file, found without regard to case.
std::optional<std::string> FindMemoFileFor(const std::string& tablePath);
