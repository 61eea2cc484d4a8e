#pragma once

#include <string>
#include <vector>

#include "bench/full_run/copy_names.h"

// What Firebird's SQL interface costs to produce the run's final database: every row of the tables the migration
// writes, read back from the program's database and inserted again into a fresh one with one prepared plain
// insert per table, the values bound in their native types, one transaction per table. Only the inserts and the
// commits are timed.
struct TableLimit {
    std::string table;
    int copy = -1;  // index into kCopies
    long rows = 0;
    double seconds = 0, cpuSeconds = 0, systemSeconds = 0;
};

struct FinalStateLimit {
    std::vector<TableLimit> tables;
    struct Copy {
        long rows = 0;
        double seconds = 0, cpuSeconds = 0;
    } copies[kCopyCount];
    double seconds = 0, cpuSeconds = 0, systemSeconds = 0;
    long rows = 0;
};

FinalStateLimit MeasureFinalStateLimit(const std::string& programDatabase, const std::string& freshDatabase);
