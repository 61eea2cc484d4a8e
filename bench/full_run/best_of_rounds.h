#pragma once

#include <vector>

#include "bench/full_run/final_state_limit.h"
#include "bench/full_run/program_run.h"

// On a shared machine one round's figures carry whatever else the machine did meanwhile, on either side. The best
// of several rounds, each side's least disturbed figure, is what the program and the limit cost themselves: per
// copy the lowest wall and the lowest processor time of that copy over the rounds, and the lowest totals. The
// longest gaps and the peak memory are the worst of the rounds; the rows and messages the first round's.
ProgramResult BestOf(const std::vector<ProgramResult>& rounds);
FinalStateLimit BestOf(const std::vector<FinalStateLimit>& rounds);
