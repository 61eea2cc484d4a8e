#include "legacy/code_page_guess.h"

#include <algorithm>

#include "legacy/code_page.h"

namespace {

bool PortugueseLetter(char32_t code)
{
    static constexpr std::u32string_view kLetters = U"ÁÀÂÃÉÊÍÓÔÕÚÜÇáàâãéêíóôõúüç";
    return kLetters.find(code) != std::u32string_view::npos;
}

// How a byte reads in a code page, for a line of the reasons: control characters escaped.
std::string Shown(unsigned char byte, CodePage codePage)
{
    const char32_t code = CodePoint(byte, codePage);
    if (code >= 0x80 && code < 0xA0) {
        static const char kHex[] = "0123456789ABCDEF";
        return std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
    }
    std::string text;
    AppendUtf8(text, code);
    return text;
}

struct Reading {
    CodePage codePage;
    std::uint64_t letters = 0;
    std::string line;
};

}  // namespace

void CodePageTally::Add(std::string_view text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) ++counts_[byte];
    }
}

void CodePageTally::Add(const CodePageTally& other)
{
    for (std::size_t i = 0; i < counts_.size(); ++i) counts_[i] += other.counts_[i];
}

std::uint64_t CodePageTally::HighBytes() const
{
    std::uint64_t total = 0;
    for (std::size_t i = 0x80; i < counts_.size(); ++i) total += counts_[i];
    return total;
}

CodePageTally::Guess CodePageTally::Probable() const
{
    const std::uint64_t high = HighBytes();
    if (high == 0) return {"ASCII", {"nenhum byte acima de 127 nos textos"}};

    // The most frequent bytes first, for the examples of each reading.
    std::vector<unsigned char> frequent;
    for (unsigned byte = 0x80; byte < 0x100; ++byte)
        if (counts_[byte] > 0) frequent.push_back(static_cast<unsigned char>(byte));
    std::stable_sort(frequent.begin(), frequent.end(), [&](unsigned char a, unsigned char b) { return counts_[a] > counts_[b]; });
    if (frequent.size() > 5) frequent.resize(5);

    // In order of preference when two readings give as many letters: DOS texts are normally code page 850.
    std::vector<Reading> readings{{CodePage::Cp850, 0, {}}, {CodePage::Latin1, 0, {}}, {CodePage::Cp437, 0, {}}};
    for (Reading& reading : readings) {
        for (unsigned byte = 0x80; byte < 0x100; ++byte)
            if (PortugueseLetter(CodePoint(static_cast<unsigned char>(byte), reading.codePage))) reading.letters += counts_[byte];
        reading.line = "em " + CodePageName(reading.codePage) + ": " + std::to_string(reading.letters) +
                       (reading.letters == 1 ? " letra" : " letras") + " do português; os mais comuns são";
        for (const unsigned char byte : frequent) reading.line += " " + Shown(byte, reading.codePage);
    }
    const Reading& best = *std::max_element(readings.begin(), readings.end(),
                                            [](const Reading& a, const Reading& b) { return a.letters < b.letters; });
    std::string count = std::to_string(high) + " bytes acima de 127 nos textos";
    if (high < 20) count += " (poucos: palpite fraco)";
    Guess guess{CodePageName(best.codePage), {count}};
    for (const Reading& reading : readings) guess.reasons.push_back(reading.line);
    return guess;
}
