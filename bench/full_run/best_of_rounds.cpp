#include "bench/full_run/best_of_rounds.h"

#include <algorithm>

namespace {

template <typename T>
void KeepLowest(T& best, const T& value)
{
    best = std::min(best, value);
}

// A copy's times on either side: the program's and the limit's copies both have seconds and cpuSeconds.
template <typename Copy>
void KeepLowestTimes(Copy& best, const Copy& round)
{
    KeepLowest(best.seconds, round.seconds);
    KeepLowest(best.cpuSeconds, round.cpuSeconds);
}

}  // namespace

ProgramResult BestOf(const std::vector<ProgramResult>& rounds)
{
    ProgramResult best = rounds.front();
    for (const ProgramResult& round : rounds) {
        for (int i = 0; i < kCopyCount; ++i) {
            KeepLowestTimes(best.copies[i], round.copies[i]);
            best.copies[i].longestGap = std::max(best.copies[i].longestGap, round.copies[i].longestGap);
        }
        KeepLowest(best.total, round.total);
        KeepLowest(best.cpuTotal, round.cpuTotal);
        KeepLowest(best.systemSeconds, round.systemSeconds);
        best.longestGapAnywhere = std::max(best.longestGapAnywhere, round.longestGapAnywhere);
        best.maxRssKb = std::max(best.maxRssKb, round.maxRssKb);
        best.forkedPeakKb = std::max(best.forkedPeakKb, round.forkedPeakKb);
    }
    return best;
}

FinalStateLimit BestOf(const std::vector<FinalStateLimit>& rounds)
{
    FinalStateLimit best = rounds.front();
    for (const FinalStateLimit& round : rounds) {
        for (int i = 0; i < kCopyCount; ++i) KeepLowestTimes(best.copies[i], round.copies[i]);
        KeepLowest(best.seconds, round.seconds);
        KeepLowest(best.cpuSeconds, round.cpuSeconds);
        KeepLowest(best.systemSeconds, round.systemSeconds);
    }
    return best;
}
