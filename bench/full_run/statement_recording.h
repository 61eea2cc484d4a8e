#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/full_run/copy_names.h"

// One file per copy: for every statement sent, the index of its text, how it was sent, and each input variable as
// bound (type, scale, subtype, length, null flag, data bytes).
struct RecordedCopy {
    std::vector<std::string> texts;
    std::map<std::string, std::uint32_t> textIndex;
    std::vector<long> uses;  // per text
    long statements = 0;
    std::string path;
    std::unique_ptr<std::ofstream> out;
};

struct Recording {
    std::string folder;
    RecordedCopy copies[kCopyCount];
    int current = -1;
};

// A second migration into `database` that records, through the query's execute observer, every statement text and
// its bound input, one file per copy in recording.folder.
void RecordRun(const std::string& legacy, const std::string& database, Recording& recording);
