#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "legacy/table_layout.h"

class FileHandle;

// Walks the records of a table file a block at a time: R = 4096 div record length records per read.
// Keeps the current record inside its block; a read that yields no whole record leaves the current
// block and record untouched.
class RecordCursor {
public:
    RecordCursor(const FileHandle& file, std::uint32_t headerLength, std::uint32_t recordLength);

    void MoveFirst();
    void MoveNext();
    void MovePrior();

    bool HasRecord() const { return record_ != nullptr; }
    bool IsPastEnd() const { return pastEnd_; }
    bool IsAtStart() const { return atStart_; }
    // 1 for the first record; 0 when there is no current record.
    std::int64_t RecordNumber() const { return record_ ? blockFirst_ + index_ : 0; }
    // The current record's bytes; empty when there is none.
    std::string_view Record() const { return record_ ? std::string_view(record_, recordLength_) : std::string_view(); }
    // Whole records in the file now, from its size.
    std::int64_t RecordTotal() const;

private:
    using Block = std::array<char, kBlockSize>;

    // Reads up to count records starting at record first into the spare block; whole records read.
    std::int64_t ReadSpare(std::int64_t first, std::int64_t count);
    // Makes the spare block, starting at record first and holding count records, the current one.
    void UseSpare(std::int64_t first, std::int64_t count, std::int64_t index);
    // Reads the block around record n again and makes n current (after a move went beyond an end).
    void PlaceOn(std::int64_t n);

    const FileHandle& file_;
    std::uint32_t headerLength_;
    std::uint32_t recordLength_;
    std::int64_t perBlock_;
    std::array<Block, 2> blocks_{};
    int active_ = 0;
    std::int64_t blockFirst_ = 1;
    std::int64_t blockCount_ = 0;
    std::int64_t index_ = 0;
    const char* record_ = nullptr;
    bool atStart_ = false;
    bool pastEnd_ = true;
};
