// full-run [--scale S] [--legacy DIR] [--no-match-keys] [--no-replay] [--rounds N] [--old-way]
// [--no-batching | --batching] [--server [HOST]]:
// the whole migration ("Iniciar
// Cópia", both check boxes ticked, a sales date range covering everything) into a fresh QuibraW database, against
// what Firebird alone costs to produce the same final database.
//
//   program   the run, in a child process of its own, so that its peak memory (VmHWM) is the migration's alone.
//             Each copy lasts from its title line to its completion line (or to the next copy's title, for the copies
//             that log none); the Operator timestamps every event-processing call and keeps the longest gap, the
//             longest step between two records (the window runs the command beside its events: bench/window-gaps).
//   limit     the final-state limit: every row the run left in the tables the copies write, read back from the
//             program's database and inserted into a fresh one, one prepared plain insert per table with the values
//             bound in their native types, one transaction per table; only the inserts and commits are timed.
//   replay    a second run records, through the query's execute observer, every statement text and its bound input
//             (the values already converted); then, on another fresh database, each copy's statements are sent
//             again straight through libfbclient: one prepare per distinct text, one transaction per copy. It is the
//             cost of the program's own statements without the program, not of the rows they leave.
//
// Without --legacy the synthetic legacy folder of make-legacy is written into a temporary folder.
// --no-match-keys builds every database from the test schema without the keys of the columns the sales and
// purchase copies match on (item_venda, entrada, item_entrada). --no-replay leaves the replay out (it costs a
// second migration). --rounds N runs the program and the limit N times, one after the other, each into fresh
// databases, prints each round's whole-run ratios and then the table from the best of the rounds (best_of_rounds.h).
// --old-way runs the program with every statement prepared again whenever its text is set.
// --no-batching sends every execution on its own; --batching gathers executions in blocks on the embedded engine too
// (by default only through a server; FbQuery::SetBatching). --server reaches every database through a
// Firebird server instead of the embedded engine, as HOST:path (HOST "localhost" unless given, "localhost/3051" for a
// server behind bench/relay on port 3051); the work folder is then opened to the server's own user.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/full_run/best_of_rounds.h"
#include "bench/full_run/final_state_limit.h"
#include "bench/full_run/program_run.h"
#include "bench/full_run/statement_recording.h"
#include "bench/full_run/statement_replay.h"
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
    std::fprintf(stderr, "usage: full-run [--scale S] [--legacy DIR] [--no-match-keys] [--no-replay] [--rounds N] "
                         "[--old-way] [--no-batching | --batching] [--server [HOST]]\n");
    std::exit(2);
}

struct ReplayResult {
    bool ran = false;
    StatementReplay::Outcome copies[kCopyCount];
    double seconds = 0, cpuSeconds = 0;
    Recording recording;
};

void RunReplay(const std::string& legacy, const std::string& recordDb, const std::string& replayDb,
               const std::string& folder, ReplayResult& replay)
{
    replay.ran = true;
    replay.recording.folder = folder;
    RecordRun(legacy, recordDb, replay.recording);
    StatementReplay statements(replayDb);
    for (int i = 0; i < kCopyCount; ++i) {
        replay.copies[i] = statements.Replay(replay.recording.copies[i]);
        replay.seconds += replay.copies[i].seconds;
        replay.cpuSeconds += replay.copies[i].cpuSeconds;
    }
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::string(argv[1]) == "--program") {
        ProgramOptions options;
        for (int i = 4; i < argc; ++i) {
            options.oldWay = options.oldWay || std::string(argv[i]) == "--old-way";
            if (std::string(argv[i]) == "--no-batching") options.batching = FbQuery::Batching::Off;
            if (std::string(argv[i]) == "--batching") options.batching = FbQuery::Batching::On;
        }
        return RunProgram(argv[2], argv[3], options);
    }

    double scale = 1;
    std::string legacy;
    std::optional<std::string> server;
    ProgramOptions options;
    bool replayToo = true;
    int rounds = 1;
    MatchKeys keys = MatchKeys::Kept;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scale" && i + 1 < argc)
            scale = std::atof(argv[++i]);
        else if (arg == "--legacy" && i + 1 < argc)
            legacy = argv[++i];
        else if (arg == "--old-way")
            options.oldWay = true;
        else if (arg == "--no-batching")
            options.batching = FbQuery::Batching::Off;
        else if (arg == "--batching")
            options.batching = FbQuery::Batching::On;
        else if (arg == "--server")
            server = i + 1 < argc && argv[i + 1][0] != '-' ? argv[++i] : "localhost";
        else if (arg == "--no-match-keys")
            keys = MatchKeys::LeftOut;
        else if (arg == "--no-replay")
            replayToo = false;
        else if (arg == "--rounds" && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else
            Usage();
    }
    if (scale <= 0 || rounds < 1) Usage();

    TempFolder work;
    if (legacy.empty()) {
        legacy = work.File("legacy");
        WriteSyntheticLegacyFolder(legacy, scale);
    }
    legacy = std::filesystem::absolute(legacy).string();
    // A database as the program and the limit name it: its path, or through the server.
    auto fresh = [&](const std::string& name) {
        const std::string path = FreshQuibrawDatabase(work, name, keys);
        if (!server) return path;
        std::filesystem::permissions(path, std::filesystem::perms::all & ~std::filesystem::perms::owner_exec &
                                               ~std::filesystem::perms::group_exec & ~std::filesystem::perms::others_exec);
        return *server + ":" + path;
    };
    if (server) std::filesystem::permissions(work.Path(), std::filesystem::perms::all);
    std::printf("legacy folder %s%s%s%s%s\n", legacy.c_str(),
                keys == MatchKeys::LeftOut ? "  (target without the keys of the matching columns)" : "",
                options.oldWay ? "  (old way: a statement prepared for every text set)" : "",
                options.batching == FbQuery::Batching::Off  ? "  (no batching)"
                : options.batching == FbQuery::Batching::On ? "  (batching on the embedded engine too)"
                                                            : "", server ? ("  (through the server " + *server + ")").c_str() : "");
    std::vector<ProgramResult> programRounds;
    std::vector<FinalStateLimit> limitRounds;
    for (int round = 1; round <= rounds; ++round) {
        const std::string suffix = rounds == 1 ? "" : "-" + std::to_string(round);
        const std::string programDb = fresh("program" + suffix + ".fdb");
        const std::string limitDb = fresh("limit" + suffix + ".fdb");
        programRounds.push_back(RunProgramInChild(ProgramFolder(argv[0]) + "/full-run", legacy, programDb, options));
        limitRounds.push_back(MeasureFinalStateLimit(programDb, limitDb));
        if (rounds == 1) continue;
        const ProgramResult& ran = programRounds.back();
        const FinalStateLimit& wrote = limitRounds.back();
        std::printf("round %d: %.3f s wall (%.2f x the limit's %.3f s), %.3f s processor (%.2f x its %.3f s)\n", round,
                    ran.total, Ratio(ran.total, wrote.seconds), wrote.seconds, ran.cpuTotal,
                    Ratio(ran.cpuTotal, wrote.cpuSeconds), wrote.cpuSeconds);
        std::filesystem::remove(work.File("program" + suffix + ".fdb"));
        std::filesystem::remove(work.File("limit" + suffix + ".fdb"));
    }
    const ProgramResult program = BestOf(programRounds);
    const FinalStateLimit limit = BestOf(limitRounds);
    if (rounds > 1) std::printf("\nthe best of the %d rounds, each side's and each copy's lowest time:\n", rounds);

    auto replay = std::make_unique<ReplayResult>();
    if (replayToo)
        RunReplay(legacy, fresh("record.fdb"), fresh("replay.fdb"), work.Path(), *replay);

    std::printf("\n%-15s %8s %8s | %8s %8s %6s | %8s %8s %6s | %10s %8s %6s | %7s\n", "copy", "records", "rows",
                "wall s", "limit s", "ratio", "cpu s", "limit s", "ratio", "statements", "replay s", "ratio",
                "gap ms");
    double copiesCpu = 0, copiesSeconds = 0, longestGap = 0;
    long records = 0;
    for (int i = 0; i < kCopyCount; ++i) {
        const auto& copy = program.copies[i];
        if (!copy.ran) continue;
        const auto& rows = limit.copies[i];
        const auto& replayed = replay->copies[i];
        std::printf("%-15s %8ld %8ld | %8.3f %8.3f %6.2f | %8.3f %8.3f %6.2f | %10ld %8.3f %6.2f | %7.1f%s\n",
                    kCopies[i].name, copy.records, rows.rows, copy.seconds, rows.seconds, Ratio(copy.seconds, rows.seconds),
                    copy.cpuSeconds, rows.cpuSeconds, Ratio(copy.cpuSeconds, rows.cpuSeconds),
                    replay->recording.copies[i].statements, replayed.seconds, Ratio(copy.seconds, replayed.seconds),
                    copy.longestGap * 1000, replayed.failures ? "  (replayed statements failed)" : "");
        records += copy.records;
        copiesSeconds += copy.seconds;
        copiesCpu += copy.cpuSeconds;
        longestGap = std::max(longestGap, copy.longestGap);
    }
    std::printf("%-15s %8ld %8ld | %8.3f %8.3f %6.2f | %8.3f %8.3f %6.2f | %10s %8.3f %6.2f | %7.1f\n", "all copies",
                records, limit.rows, copiesSeconds, limit.seconds, Ratio(copiesSeconds, limit.seconds), copiesCpu,
                limit.cpuSeconds, Ratio(copiesCpu, limit.cpuSeconds), "", replay->seconds,
                Ratio(copiesSeconds, replay->seconds), longestGap * 1000);
    std::printf("\nwhole run: %.3f s wall (%.2f x the final-state limit of %.3f s), %.3f s processor (%.2f x its %.3f s)\n",
                program.total, Ratio(program.total, limit.seconds), limit.seconds, program.cpuTotal,
                Ratio(program.cpuTotal, limit.cpuSeconds), limit.cpuSeconds);
    if (replay->ran)
        std::printf("           %.2f x the replay in wall time, %.2f x in processor time\n",
                    Ratio(program.total, replay->seconds), Ratio(program.cpuTotal, replay->cpuSeconds));
    std::printf("           system time: %.3f s of the run's processor time, %.3f s of the limit's\n",
                program.systemSeconds, limit.systemSeconds);
    std::printf("peak memory of the run (VmHWM of its program image): %.1f MB (ru_maxrss, the benchmark's own at the "
                "fork included: %.1f MB)\n",
                program.maxRssKb / 1024.0, program.forkedPeakKb / 1024.0);
    std::printf("longest gap between event-processing calls: %.1f ms in the sales copy, %.1f ms inside any copy, "
                "%.1f ms anywhere in the run (from one copy's last call to the next copy's first included)\n",
                program.copies[0].longestGap * 1000, longestGap * 1000, program.longestGapAnywhere * 1000);
    std::printf("messages shown: %zu\n", program.messages.size());
    for (size_t i = 0; i < program.messages.size() && i < 5; ++i) std::printf("  %s\n", program.messages[i].c_str());
    return 0;
}
