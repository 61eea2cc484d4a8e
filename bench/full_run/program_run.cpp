#include "bench/full_run/program_run.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "app/full_migration.h"
#include "bench/full_run/bench_operator.h"
#include "firebird/fb_query.h"
#include "legacy/file_lookup.h"
#include "legacy/legacy_table.h"
#include "session/session.h"

namespace {

long FileRecords(const std::string& folder, const std::string& file)
{
    const auto path = FindInFolderIgnoringCase(folder, file);
    if (!path) return 0;
    LegacyTable table;
    table.SetDBFFileName(*path);
    table.Open();
    return table.RecordTotal();
}

// The peak resident memory of this program image (VmHWM). The child's ru_maxrss is no use here: across the exec
// the kernel keeps the forking process's peak in it, and the benchmark's own process grows with each round's limit.
long PeakMemoryKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

}  // namespace

int RunProgram(const std::string& legacy, const std::string& database, const ProgramOptions& options)
{
    FbQuery::SetStatementReuse(!options.oldWay);
    FbQuery::SetBatching(options.batching);
    BenchOperator op(legacy, database);
    const auto start = Clock::now();
    const double cpuStart = ProcessorSeconds();
    {
        Session session;
        RunFullMigration(session, op);
        op.Finish();
        session.target.Database().Close();
    }
    const double total = Seconds(Clock::now() - start);
    const double cpuTotal = ProcessorSeconds() - cpuStart;
    for (int i = 0; i < kCopyCount; ++i) {
        const auto& span = op.spans[i];
        if (!span.ended) continue;
        const long records = span.records >= 0 ? span.records : FileRecords(legacy, kCopies[i].file);
        std::printf("copy %d %ld %.6f %.6f %ld %.6f\n", i, records, Seconds(span.end - span.start), span.longestGap,
                    span.eventCalls, span.cpuEnd - span.cpuStart);
    }
    std::printf("total %.6f %.6f %.6f\n", total, op.longestGapAnywhere, cpuTotal);
    std::printf("peak %ld\n", PeakMemoryKb());
    for (const std::string& message : op.messages) std::printf("message %s\n", message.c_str());
    std::fflush(stdout);
    return 0;
}

ProgramResult RunProgramInChild(const std::string& self, const std::string& legacy, const std::string& database,
                                const ProgramOptions& options)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        // Straight into a program image of its own: nothing of this process's memory (or its Firebird threads)
        // goes with it.
        dup2(pipeEnds[1], 1);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        std::vector<const char*> args = {self.c_str(), "--program", legacy.c_str(), database.c_str()};
        if (options.oldWay) args.push_back("--old-way");
        if (options.batching == FbQuery::Batching::Off) args.push_back("--no-batching");
        if (options.batching == FbQuery::Batching::On) args.push_back("--batching");
        args.push_back(nullptr);
        execv(self.c_str(), const_cast<char* const*>(args.data()));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("the migration run failed:\n" + output);

    ProgramResult result;
    const long forkedPeakKb = usage.ru_maxrss;
    result.systemSeconds = static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string tag;
        fields >> tag;
        if (tag == "copy") {
            int i;
            fields >> i;
            auto& copy = result.copies[i];
            copy.ran = true;
            fields >> copy.records >> copy.seconds >> copy.longestGap >> copy.eventCalls >> copy.cpuSeconds;
        } else if (tag == "total") {
            fields >> result.total >> result.longestGapAnywhere >> result.cpuTotal;
        } else if (tag == "peak") {
            fields >> result.maxRssKb;
        } else if (tag == "message") {
            result.messages.push_back(line.substr(8));
        }
    }
    result.forkedPeakKb = forkedPeakKb;
    return result;
}
