#pragma once

#include <string>
#include <string_view>

// Byte texts of the legacy files turned into UTF-8 for showing them on a terminal.
enum class CodePage { AsStored, Latin1, Cp850 };

std::string ToUtf8(std::string_view bytes, CodePage codePage);
