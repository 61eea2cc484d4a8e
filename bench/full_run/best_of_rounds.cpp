#include "bench/full_run/best_of_rounds.h"

#include <algorithm>

namespace {

template <typename T>
void KeepLowest(T& best, const T& value)
{
    best = std::min(best, value);
}

}  // namespace

ProgramResult BestOf(const std::vector<ProgramResult>& rounds)
{
    ProgramResult best = rounds.front();
    for (const ProgramResult& round : rounds) {
        for (int i = 0; i < kCopyCount; ++i) {
            KeepLowest(best.copies[i].seconds, round.copies[i].seconds);
            KeepLowest(best.copies[i].cpuSeconds, round.copies[i].cpuSeconds);
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
        for (int i = 0; i < kCopyCount; ++i) {
            KeepLowest(best.copies[i].seconds, round.copies[i].seconds);
            KeepLowest(best.copies[i].cpuSeconds, round.copies[i].cpuSeconds);
        }
        KeepLowest(best.seconds, round.seconds);
        KeepLowest(best.cpuSeconds, round.cpuSeconds);
        KeepLowest(best.systemSeconds, round.systemSeconds);
    }
    return best;
}
