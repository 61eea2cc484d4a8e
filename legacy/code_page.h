#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The code pages in which a legacy file's texts may be written. QuibraDOS is a DOS program: its texts are
// normally code page 850, sometimes 437. AsStored leaves the bytes as they are.
enum class CodePage { AsStored, Latin1, Cp850, Cp437 };

// "cp850", "cp437" (letter case aside); nothing for any other name.
std::optional<CodePage> CodePageNamed(std::string_view name);
// "CP850", "CP437", "ISO 8859-1", or "" for AsStored.
std::string CodePageName(CodePage codePage);

// Byte-for-byte translation into ISO 8859-1: bytes below 0x80 stay, the others take their ISO 8859-1
// equivalent, or the nearest letter ("ƒ" gives "f"), or "?" (box drawing and the like).
using ByteTable = std::array<unsigned char, 256>;
// The table of a DOS code page; nullptr for AsStored and Latin1, whose bytes need no translation.
const ByteTable* Latin1Translation(CodePage codePage);
void TranslateInPlace(std::string& text, const ByteTable& table);

// The Unicode code point of a byte in a code page (AsStored reads as ISO 8859-1).
char32_t CodePoint(unsigned char byte, CodePage codePage);
// Byte texts turned into UTF-8 for showing them on a terminal; AsStored gives the bytes as they are.
std::string ToUtf8(std::string_view bytes, CodePage codePage);
void AppendUtf8(std::string& text, char32_t code);
