#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Counts the bytes above 127 of a table's (or a folder's) texts, to tell which code page wrote them: the reading
// that turns the most of them into letters of Portuguese wins.
class CodePageTally {
public:
    void Add(std::string_view text);
    void Add(const CodePageTally& other);
    std::uint64_t HighBytes() const;

    struct Guess {
        std::string name;  // "CP850", "CP437", "ISO 8859-1" or "ASCII"
        std::vector<std::string> reasons;  // one line per reading, in UTF-8
    };
    Guess Probable() const;

private:
    std::array<std::uint64_t, 256> counts_{};
};
