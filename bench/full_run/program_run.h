#pragma once

#include <string>
#include <vector>

#include "bench/full_run/copy_names.h"

// What the migration run in the child process reported, and its peak memory.
struct ProgramResult {
    struct Copy {
        bool ran = false;
        long records = 0;
        double seconds = 0, longestGap = 0, cpuSeconds = 0;
        long eventCalls = 0;
    } copies[kCopyCount];
    double total = 0, longestGapAnywhere = 0, cpuTotal = 0;
    long maxRssKb = 0;
    double systemSeconds = 0;  // of the child's processor time
    std::vector<std::string> messages;
};

// Runs the migration and writes one line per copy: index, records, seconds, longest gap, event calls; then the
// total, the longest gap anywhere and the messages shown.
int RunProgram(const std::string& legacy, const std::string& database, bool oldWay);

// Runs `self --program ...` in a child process (a program image of its own) and reads back what it wrote.
ProgramResult RunProgramInChild(const std::string& self, const std::string& legacy, const std::string& database,
                                bool oldWay);
