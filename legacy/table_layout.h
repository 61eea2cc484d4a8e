#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FileHandle;

// How a field's bytes are decoded, from its type letter and, for numbers, its length and decimals.
enum class FieldKind { Text, Integer, LargeInteger, Float, Date, Logical, Memo };

struct FieldDescriptor {
    std::string name;         // upper case, blanks and control bytes trimmed
    char type = 'C';          // C, N, F, D, L or M
    std::uint32_t size = 0;   // bytes taken in the record
    std::uint8_t decimals = 0;
    std::uint32_t position = 0;  // offset in the record; 1 for the first field
    FieldKind kind = FieldKind::Text;
};

// The header and descriptor list of a dBase III table file.
struct TableLayout {
    std::uint8_t version = 0;
    std::uint32_t headerLength = 0;  // offset of record 1
    std::uint32_t recordLength = 0;  // deletion mark included
    std::uint32_t headerRecordCount = 0;  // what the header says; the walk goes by the file's size
    std::vector<FieldDescriptor> fields;

    bool HasMemo() const { return version == 0x83; }
};

constexpr std::uint32_t kBlockSize = 4096;

// Reads and checks the header and descriptors; throws Failure naming fileName when the file is not
// a dBase III table this reader can walk.
TableLayout ReadTableLayout(const FileHandle& file, const std::string& fileName);
