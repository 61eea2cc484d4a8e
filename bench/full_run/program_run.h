#pragma once

#include <string>
#include <vector>

#include "bench/full_run/copy_names.h"
#include "firebird/fb_query.h"

// What the migration run in the child process reported, and its peak memory.
struct ProgramResult {
    struct Copy {
        bool ran = false;
        long records = 0;
        double seconds = 0, longestGap = 0, cpuSeconds = 0;
        long eventCalls = 0;
    } copies[kCopyCount];
    double total = 0, longestGapAnywhere = 0, cpuTotal = 0;
    long maxRssKb = 0;  // the program image's own peak (VmHWM)
    long forkedPeakKb = 0;  // ru_maxrss, which carries the benchmark's own peak at the fork
    double systemSeconds = 0;  // of the child's processor time
    std::vector<std::string> messages;
};

// How the child runs the program: --old-way prepares every statement again whenever its text is set; --no-batching
// sends every execution on its own, --batching gathers executions on the embedded engine too.
struct ProgramOptions {
    bool oldWay = false;
    FbQuery::Batching batching = FbQuery::Batching::ThroughServer;
};

// Runs the migration and writes one line per copy: index, records, seconds, longest gap, event calls; then the
// total, the longest gap anywhere and the messages shown.
int RunProgram(const std::string& legacy, const std::string& database, const ProgramOptions& options);

// Runs `self --program ...` in a child process (a program image of its own) and reads back what it wrote.
ProgramResult RunProgramInChild(const std::string& self, const std::string& legacy, const std::string& database,
                                const ProgramOptions& options);
