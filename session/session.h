#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "firebird/fb_connection.h"
#include "session/remembered_paths.h"
#include "session/target_database.h"
#include "legacy/legacy_table.h"

// What the copies keep between records and between copies.
struct CopyState {
    std::int32_t copiedCount = 0;
    std::int32_t progressThreshold = 10;
    std::string highestCode;
};

// The state the commands share, owned by the window (or the console) for its whole life.
struct Session {
    RememberedPaths paths;
    TargetDatabase target;
    FbConnection orvel;
    LegacyTable table{"table1"};
    CopyState copy;
    // The wall clock; tests put a fixed one here.
    std::function<std::chrono::system_clock::time_point()> now = [] { return std::chrono::system_clock::now(); };
    // The folder of the running program, where gbak is looked for.
    std::string programFolder;
};

// The folder of the running executable (without a trailing "/").
std::string RunningProgramFolder();
