#include "legacy/record_cursor.h"

#include <algorithm>

#include "legacy/file_handle.h"

RecordCursor::RecordCursor(const FileHandle& file, std::uint32_t headerLength, std::uint32_t recordLength)
    : file_(file), headerLength_(headerLength), recordLength_(recordLength), perBlock_(sizeof(Block) / recordLength)
{
}

std::int64_t RecordCursor::ReadSpare(std::int64_t first, std::int64_t count)
{
    Block& spare = blocks_[1 - active_];
    const std::uint64_t offset = headerLength_ + static_cast<std::uint64_t>(first - 1) * recordLength_;
    return static_cast<std::int64_t>(file_.ReadAt(offset, spare.data(), count * recordLength_) / recordLength_);
}

void RecordCursor::UseSpare(std::int64_t first, std::int64_t count, std::int64_t index)
{
    active_ = 1 - active_;
    blockFirst_ = first;
    blockCount_ = count;
    index_ = index;
    record_ = blocks_[active_].data() + index_ * recordLength_;
}

void RecordCursor::MoveFirst()
{
    atStart_ = false;
    const std::int64_t count = ReadSpare(1, perBlock_);
    if (count == 0) {
        record_ = nullptr;
        blockCount_ = 0;
        pastEnd_ = true;
        return;
    }
    pastEnd_ = false;
    UseSpare(1, count, 0);
}

void RecordCursor::PlaceOn(std::int64_t n)
{
    const std::int64_t first = std::max<std::int64_t>(1, n - perBlock_ / 2);
    const std::int64_t count = ReadSpare(first, perBlock_);
    if (count > n - first) UseSpare(first, count, n - first);
}

void RecordCursor::MoveNext()
{
    if (!record_ || pastEnd_) {
        pastEnd_ = true;
        return;
    }
    if (atStart_) {
        atStart_ = false;
        PlaceOn(RecordNumber());
    }
    if (index_ + 1 < blockCount_) {
        ++index_;
        record_ += recordLength_;
        return;
    }
    const std::int64_t next = blockFirst_ + blockCount_;
    const std::int64_t count = ReadSpare(next, perBlock_);
    if (count == 0) {
        pastEnd_ = true;
        return;
    }
    UseSpare(next, count, 0);
}

void RecordCursor::MovePrior()
{
    if (!record_ || atStart_) {
        atStart_ = true;
        return;
    }
    if (pastEnd_) {
        pastEnd_ = false;
        PlaceOn(RecordNumber());
    }
    if (index_ > 0) {
        --index_;
        record_ -= recordLength_;
        return;
    }
    if (blockFirst_ == 1) {
        atStart_ = true;
        return;
    }
    const std::int64_t first = std::max<std::int64_t>(1, blockFirst_ - perBlock_);
    const std::int64_t count = ReadSpare(first, blockFirst_ - first);
    if (count == 0) {
        atStart_ = true;
        return;
    }
    UseSpare(first, count, count - 1);
}

std::int64_t RecordCursor::RecordTotal() const
{
    const std::uint64_t size = file_.Size();
    return size <= headerLength_ ? 0 : static_cast<std::int64_t>((size - headerLength_) / recordLength_);
}
