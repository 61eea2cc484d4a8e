#include "copy/sequence_draws.h"

#include <algorithm>

#include "copy/written_keys.h"
#include "firebird/fb_query.h"
#include "session/value_helpers.h"

namespace {

const std::int64_t kLargestBlock = 256;

}  // namespace

SequenceDraws::SequenceDraws(std::string sequence, FbQuery& query) : sequence_(std::move(sequence)), query_(query) {}

std::string SequenceDraws::Next()
{
    if (!WriteShortcuts::Enabled()) return NextSequenceValue(sequence_, 1, query_);
    if (next_ > blockEnd_ || blockSize_ == 0) {
        blockSize_ = std::min(kLargestBlock, std::max<std::int64_t>(1, blockSize_ * 2));
        blockEnd_ = std::stoll(NextSequenceValue(sequence_, static_cast<int>(blockSize_), query_));
        next_ = blockEnd_ - blockSize_ + 1;
    }
    return std::to_string(next_++);
}

void SequenceDraws::GiveBack()
{
    if (blockSize_ == 0 || next_ > blockEnd_) return;
    const std::int64_t left = blockEnd_ - next_ + 1;
    blockSize_ = 0;
    if (std::stoll(NextSequenceValue(sequence_, 0, query_)) != blockEnd_) return;
    NextSequenceValue(sequence_, static_cast<int>(-left), query_);
}

void SequenceDraws::GiveBackQuietly() noexcept
{
    try {
        GiveBack();
    } catch (...) {
        // The sequence stays ahead: numbers left unused, never a number handed out twice.
    }
}

void SequenceDraws::GivingBackAfter(const std::function<void()>& work)
{
    try {
        work();
    } catch (...) {
        GiveBackQuietly();
        throw;
    }
    GiveBack();
}
