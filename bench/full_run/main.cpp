// full-run [--scale S] [--legacy DIR] [--old-way]: the whole migration ("Iniciar Cópia", both check boxes ticked,
// a sales date range covering everything) into a fresh QuibraW database, against the limit of what Firebird alone
// costs for the same work.
//
//   program   the run, in a child process of its own, so that its peak memory (ru_maxrss) is the migration's alone.
//             Each copy lasts from its title line to its completion line (or to the next copy's title, for the copies
//             that log none); the Operator timestamps every event-processing call and keeps the longest gap.
//   limit     a second run records, through the query's execute observer, every statement text and its bound input
//             (the values already converted); then, on another fresh database, each copy's statements are sent
//             again straight through libfbclient: one prepare per distinct text, one transaction per copy, the
//             recorded values read from a memory-mapped file. No legacy reading, no Operator, no query layer.
//
// Without --legacy the synthetic legacy folder of make-legacy is written into a temporary folder.
// --old-way runs the program with every statement prepared again whenever its text is set (no statement reuse).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/full_run/program_run.h"
#include "bench/full_run/replay_limit.h"
#include "bench/full_run/statement_recording.h"
#include "tests/support/synthetic_legacy.h"
#include "tests/support/test_database.h"

namespace {

std::string ProgramFolder(const char* argv0)
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::absolute(argv0) : self).parent_path().string();
}

[[noreturn]] void Usage()
{
    std::fprintf(stderr, "usage: full-run [--scale S] [--legacy DIR] [--old-way]\n");
    std::exit(2);
}


}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::string(argv[1]) == "--program")
        return RunProgram(argv[2], argv[3], argc > 4 && std::string(argv[4]) == "--old-way");

    double scale = 1;
    std::string legacy;
    bool oldWay = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scale" && i + 1 < argc)
            scale = std::atof(argv[++i]);
        else if (arg == "--legacy" && i + 1 < argc)
            legacy = argv[++i];
        else if (arg == "--old-way")
            oldWay = true;
        else
            Usage();
    }
    if (scale <= 0) Usage();

    TempFolder work;
    if (legacy.empty()) {
        legacy = work.File("legacy");
        WriteSyntheticLegacyFolder(legacy, scale);
    }
    legacy = std::filesystem::absolute(legacy).string();
    const std::string programDb = FreshQuibrawDatabase(work, "program.fdb");
    const std::string recordDb = FreshQuibrawDatabase(work, "record.fdb");
    const std::string limitDb = FreshQuibrawDatabase(work, "limit.fdb");

    std::printf("legacy folder %s%s\n", legacy.c_str(), oldWay ? "  (old way: a statement prepared for every text set)" : "");
    const ProgramResult program = RunProgramInChild(ProgramFolder(argv[0]) + "/full-run", legacy, programDb, oldWay);

    Recording recording;
    recording.folder = work.Path();
    RecordRun(legacy, recordDb, recording);
    Limit limit(limitDb);
    Limit::Outcome limits[kCopyCount];
    double limitTotal = 0;
    for (int i = 0; i < kCopyCount; ++i) {
        limits[i] = limit.Replay(recording.copies[i]);
        limitTotal += limits[i].seconds;
    }

    std::printf("\n%-15s %8s %10s %6s | %8s %9s %8s %6s | %8s %8s %6s | %7s\n", "copy", "records", "statements",
                "texts", "wall s", "records/s", "limit s", "ratio", "cpu s", "limit s", "ratio", "gap ms");
    double limitCpu = 0, copiesCpu = 0, copiesSeconds = 0, longestGap = 0;
    long records = 0;
    for (int i = 0; i < kCopyCount; ++i) {
        const auto& copy = program.copies[i];
        if (!copy.ran) continue;
        const RecordedCopy& recorded = recording.copies[i];
        std::printf("%-15s %8ld %10ld %6zu | %8.3f %9.0f %8.3f %6.2f | %8.3f %8.3f %6.2f | %7.1f%s\n", kCopies[i].name,
                    copy.records, recorded.statements, recorded.texts.size(), copy.seconds, copy.records / copy.seconds,
                    limits[i].seconds, copy.seconds / limits[i].seconds, copy.cpuSeconds, limits[i].cpuSeconds,
                    copy.cpuSeconds / limits[i].cpuSeconds, copy.longestGap * 1000,
                    limits[i].failures ? "  (replayed statements failed)" : "");
        records += copy.records;
        copiesSeconds += copy.seconds;
        copiesCpu += copy.cpuSeconds;
        limitCpu += limits[i].cpuSeconds;
        longestGap = std::max(longestGap, copy.longestGap);
    }
    std::printf("%-15s %8ld %10s %6s | %8.3f %9.0f %8.3f %6.2f | %8.3f %8.3f %6.2f | %7.1f\n", "all copies", records, "",
                "", copiesSeconds, records / copiesSeconds, limitTotal, copiesSeconds / limitTotal, copiesCpu, limitCpu,
                copiesCpu / limitCpu, longestGap * 1000);
    std::printf("\nwhole run: %.3f s wall (%.2f x the limit), %.3f s processor (%.2f x the limit)\n", program.total,
                program.total / limitTotal, program.cpuTotal, program.cpuTotal / limitCpu);
    std::printf("peak memory of the run (ru_maxrss): %.1f MB\n", program.maxRssKb / 1024.0);
    std::printf("longest gap between event-processing calls: %.1f ms in the sales copy, %.1f ms inside any copy, "
                "%.1f ms anywhere in the run (from one copy's last call to the next copy's first included)\n",
                program.copies[0].longestGap * 1000, longestGap * 1000, program.longestGapAnywhere * 1000);
    std::printf("messages shown: %zu\n", program.messages.size());
    for (size_t i = 0; i < program.messages.size() && i < 5; ++i) std::printf("  %s\n", program.messages[i].c_str());
    return 0;
}
