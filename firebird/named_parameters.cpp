#include "firebird/named_parameters.h"

namespace {

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Index just past the end of a quoted piece starting at `start` (doubled quotes stay inside).
size_t SkipQuoted(std::string_view text, size_t start)
{
    const char quote = text[start];
    size_t i = start + 1;
    while (i < text.size()) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return text.size();
}

}  // namespace

std::string AsciiUpper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return result;
}

ScannedSql ScanNamedParameters(std::string_view text)
{
    ScannedSql result;
    result.sql.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        size_t end = i + 1;
        if (c == '\'' || c == '"') {
            end = SkipQuoted(text, i);
        } else if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            end = text.find('\n', i);
            end = end == std::string_view::npos ? text.size() : end;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            end = text.find("*/", i + 2);
            end = end == std::string_view::npos ? text.size() : end + 2;
        } else if (c == ':' && i + 1 < text.size() && IsNameChar(text[i + 1])) {
            end = i + 1;
            while (end < text.size() && IsNameChar(text[end])) ++end;
            result.placeholderNames.push_back(AsciiUpper(text.substr(i + 1, end - i - 1)));
            result.placeholderOffsets.push_back(result.sql.size());
            result.sql += '?';
            i = end;
            continue;
        }
        result.sql.append(text.substr(i, end - i));
        i = end;
    }
    return result;
}
