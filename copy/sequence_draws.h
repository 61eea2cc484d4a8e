#pragma once

#include <cstdint>
#include <functional>
#include <string>

class FbQuery;

// The values gen_id(sequence, 1) would give, one per Next(). With the write shortcuts on they are drawn ahead in
// blocks that grow to a few hundred, one statement per block instead of one per value, and what a copy has not used
// is given back when it ends, so that the sequence stands where single draws would have left it. The values are the
// same as long as nobody else draws from the sequence meanwhile; should somebody have, they stay unique and the
// give-back is left out, since it would hand out again a value taken since.
class SequenceDraws {
public:
    SequenceDraws(std::string sequence, FbQuery& query);

    std::string Next();

    // Puts back the values drawn and not handed out. GiveBackQuietly is for a copy that is failing already: a
    // failure of its own would hide the first one.
    void GiveBack();
    void GiveBackQuietly() noexcept;

    // Runs the work, then gives back what it left drawn, however it ends.
    void GivingBackAfter(const std::function<void()>& work);

private:
    std::string sequence_;
    FbQuery& query_;
    std::int64_t next_ = 0;  // the next value to hand out
    std::int64_t blockEnd_ = 0;  // the last value drawn; next_ > blockEnd_ when none is left
    std::int64_t blockSize_ = 0;
};
