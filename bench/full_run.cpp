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
#include <fcntl.h>
#include <ibase.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/fb_query.h"
#include "app/fb_status.h"
#include "app/full_migration.h"
#include "app/operator.h"
#include "app/session.h"
#include "legacy/file_lookup.h"
#include "legacy/legacy_table.h"
#include "tests/support/synthetic_legacy.h"
#include "tests/support/test_database.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time of the whole process, the embedded engine's threads included: on a shared machine it says more
// than the wall clock, which other programs stretch.
double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The copies of the run, by the title line each writes, with the file it reads.
struct CopyName {
    const char* title;
    const char* name;
    const char* file;
};

const CopyName kCopies[] = {
    {"Iniciando Cópia Vendas...", "sales", "KQ000009.dat"},
    {"Iniciando Cópia Entradas...", "purchases", "KQ000026.dat"},
    {"Iniciando Cópia de Históricos...", "cash histories", "KQ000034.dat"},
    {"Iniciando Cópia de CFOPs...", "CFOPs", "KQ000039.dat"},
    {"Iniciando Cópia Clientes...", "clients", "KQ000012.dat"},
    {"Iniciando Cópia Movimento de Caixa...", "cash movements", "KQ000014.dat"},
    {"Iniando Cópia Contas a Pagar...", "payables", "KQ000016.dat"},
    {"Iniciando Cópia Contas a Receber...", "receivables", "KQ000015.dat"},
    {"Iniando Cópia Fornecedores...", "suppliers", "KQ000018.dat"},
    {"Iniciando Cópia Agenda...", "address book", "KQ000051.dat"},
    {"Iniciando Cópia Grupo de Produtos...", "product groups", "KQ000030.dat"},
    {"Iniciando Cópia Vendedores...", "sellers", "KQ000017.dat"},
    {"Iniciando Cópia Grupos de Caixa...", "cash groups", "KQ000004.dat"},
    {"Iniando Cópia Fabricantes...", "manufacturers", "KQ000029.dat"},
    {"Iniciando Cópia Produtos...", "products", "KQ000006.dat"},
};
constexpr int kCopyCount = sizeof kCopies / sizeof kCopies[0];

int CopyOfTitle(const std::string& line)
{
    for (int i = 0; i < kCopyCount; ++i)
        if (line == kCopies[i].title) return i;
    return -1;
}

// A silent Operator: both copy boxes ticked, every date in range, every message kept. It marks where each copy
// starts and ends and the longest time the window would have gone without processing its events.
class BenchOperator : public Operator {
public:
    struct CopySpan {
        Clock::time_point start{}, end{};
        double cpuStart = 0, cpuEnd = 0;
        bool ended = false;
        long records = -1;  // from the count line
        double longestGap = 0;  // seconds between two event-processing calls inside the copy
        long eventCalls = 0;
    };

    BenchOperator(std::string legacy, std::string target) : legacy_(std::move(legacy)), target_(std::move(target)) {}

    std::vector<std::string> messages;
    CopySpan spans[kCopyCount];
    int current = -1;
    double longestGapAnywhere = 0;  // between any two calls of the run, copies' ends and starts included
    // Called when a copy's title line is written (the recording pass follows the copies with it).
    void (*onCopyStart)(int copy) = nullptr;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowErrorBox(const std::string& text) override { messages.push_back("error: " + text); }
    void LogAppend(const std::string& line) override
    {
        const auto now = Clock::now();
        const int copy = CopyOfTitle(line);
        if (copy >= 0) {
            EndCurrent(now);
            current = copy;
            spans[copy].start = now;
            spans[copy].cpuStart = ProcessorSeconds();
            lastEvents_.reset();
            if (onCopyStart) onCopyStart(copy);
            return;
        }
        if (current < 0) return;
        const auto copied = line.find(" Registros Copiados.");
        if (copied != std::string::npos) spans[current].records = std::atol(line.c_str());
        else if (line.rfind("Cópia ", 0) == 0 && line.find("Conclu") != std::string::npos) EndCurrent(now);
    }
    void Finish() { EndCurrent(Clock::now()); }
    void LogClear() override { hasLines_ = false; }
    bool LogHasLines() override { return hasLines_; }
    void GaugeReset() override {}
    void GaugeAdvance(int) override {}
    void GaugeShow() override {}
    void ProcessEvents() override
    {
        const auto now = Clock::now();
        if (lastAnywhere_) longestGapAnywhere = std::max(longestGapAnywhere, Seconds(now - *lastAnywhere_));
        lastAnywhere_ = now;
        if (current < 0) return;
        CopySpan& span = spans[current];
        ++span.eventCalls;
        if (lastEvents_) span.longestGap = std::max(span.longestGap, Seconds(now - *lastEvents_));
        lastEvents_ = now;
    }
    std::string ChooseFolder(const std::string&) override { return ""; }
    std::optional<std::string> ChooseDatabaseFile(const std::string&) override { return std::nullopt; }
    std::optional<std::string> AskText(const std::string&, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    bool IsChecked(CheckBox box) override { return box != CheckBox::AutoPecas; }
    std::string LegacyFolderBox() override { return legacy_; }
    void SetLegacyFolderBox(const std::string& text) override { legacy_ = text; }
    std::string TargetBox() override { return target_; }
    void SetTargetBox(const std::string& text) override { target_ = text; }
    std::string SalesFromText() override { return "01/01/1990"; }
    std::string SalesToText() override { return "31/12/2099"; }
    std::string NumberingText() override { return ""; }
    void ClearNumbering() override {}
    void Focus(FocusTarget) override {}

private:
    void EndCurrent(Clock::time_point now)
    {
        hasLines_ = true;
        if (current >= 0 && !spans[current].ended) {
            spans[current].end = now;
            spans[current].cpuEnd = ProcessorSeconds();
            spans[current].ended = true;
        }
    }

    std::string legacy_, target_;
    bool hasLines_ = false;
    std::optional<Clock::time_point> lastEvents_, lastAnywhere_;
};

// ---- the program, in the child process ---------------------------------------------------------------------

long FileRecords(const std::string& folder, const std::string& file)
{
    const auto path = FindInFolderIgnoringCase(folder, file);
    if (!path) return 0;
    LegacyTable table;
    table.SetDBFFileName(*path);
    table.Open();
    return table.RecordTotal();
}

// Runs the migration and writes one line per copy: index, records, seconds, longest gap, event calls; then the
// total, the longest gap anywhere and the messages shown.
int RunProgram(const std::string& legacy, const std::string& database, bool oldWay)
{
    FbQuery::SetStatementReuse(!oldWay);
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
    for (const std::string& message : op.messages) std::printf("message %s\n", message.c_str());
    std::fflush(stdout);
    return 0;
}

struct ProgramResult {
    struct Copy {
        bool ran = false;
        long records = 0;
        double seconds = 0, longestGap = 0, cpuSeconds = 0;
        long eventCalls = 0;
    } copies[kCopyCount];
    double total = 0, longestGapAnywhere = 0, cpuTotal = 0;
    long maxRssKb = 0;
    std::vector<std::string> messages;
};

ProgramResult RunProgramInChild(const std::string& self, const std::string& legacy, const std::string& database,
                                bool oldWay)
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
        const char* args[] = {self.c_str(), "--program", legacy.c_str(), database.c_str(), oldWay ? "--old-way" : nullptr,
                              nullptr};
        execv(self.c_str(), const_cast<char* const*>(args));
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
    result.maxRssKb = usage.ru_maxrss;
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
        } else if (tag == "message") {
            result.messages.push_back(line.substr(8));
        }
    }
    return result;
}

// ---- recording ---------------------------------------------------------------------------------------------

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
Recording* gRecording = nullptr;

template <typename T>
void Put(std::ostream& out, T value)
{
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

void StartRecordingCopy(int copy)
{
    gRecording->current = copy;
    RecordedCopy& recorded = gRecording->copies[copy];
    if (!recorded.out) {
        recorded.path = gRecording->folder + "/statements-" + std::to_string(copy) + ".bin";
        recorded.out = std::make_unique<std::ofstream>(recorded.path, std::ios::binary);
    }
}

void RecordStatement(const std::string& sql, const XSQLDA& input, FbQuery::SentAs kind)
{
    if (!gRecording || gRecording->current < 0) return;
    RecordedCopy& copy = gRecording->copies[gRecording->current];
    auto [entry, added] = copy.textIndex.emplace(sql, static_cast<std::uint32_t>(copy.texts.size()));
    if (added) {
        copy.texts.push_back(sql);
        copy.uses.push_back(0);
    }
    ++copy.uses[entry->second];
    ++copy.statements;
    std::ostream& out = *copy.out;
    Put<std::uint32_t>(out, entry->second);
    Put<std::uint8_t>(out, static_cast<std::uint8_t>(kind));
    Put<std::uint16_t>(out, static_cast<std::uint16_t>(input.sqld));
    for (short i = 0; i < input.sqld; ++i) {
        const XSQLVAR& var = input.sqlvar[i];
        const short type = static_cast<short>(var.sqltype & ~1);
        const bool null = var.sqlind && *var.sqlind < 0;
        std::uint16_t bytes = 0;
        if (!null) {
            bytes = type == SQL_VARYING ? static_cast<std::uint16_t>(2 + *reinterpret_cast<const unsigned short*>(var.sqldata))
                                        : static_cast<std::uint16_t>(var.sqllen);
        }
        Put<short>(out, var.sqltype);
        Put<short>(out, var.sqlscale);
        Put<short>(out, var.sqlsubtype);
        Put<short>(out, var.sqllen);
        Put<short>(out, null ? -1 : 0);
        Put<std::uint16_t>(out, bytes);
        if (bytes) out.write(var.sqldata, bytes);
    }
}

void RecordRun(const std::string& legacy, const std::string& database, Recording& recording)
{
    gRecording = &recording;
    FbQuery::SetExecuteObserver(RecordStatement);
    BenchOperator op(legacy, database);
    op.onCopyStart = StartRecordingCopy;
    {
        Session session;
        RunFullMigration(session, op);
        session.target.Database().Close();
    }
    FbQuery::SetExecuteObserver(nullptr);
    gRecording = nullptr;
    for (RecordedCopy& copy : recording.copies)
        if (copy.out) copy.out->close();
}

// ---- the limit: the recorded statements straight through libfbclient ----------------------------------------

void Check(const ISC_STATUS* status, const char* what)
{
    if (status[0] == 1 && status[1]) throw std::runtime_error(std::string(what) + ": " + StatusText(status));
}

struct Sqlda {
    explicit Sqlda(short n) : storage(XSQLDA_LENGTH(n < 1 ? 1 : n), 0)
    {
        get()->version = SQLDA_VERSION1;
        get()->sqln = n < 1 ? 1 : n;
    }
    XSQLDA* get() { return reinterpret_cast<XSQLDA*>(storage.data()); }
    std::vector<char> storage;
};

struct RawStatement {
    isc_stmt_handle handle = 0;
    std::unique_ptr<Sqlda> input, output;
    std::vector<std::vector<char>> outputBuffers;
    std::vector<short> outputNulls, inputNulls;
    long usesLeft = 0;
};

class Limit {
public:
    explicit Limit(const std::string& database)
    {
        const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 's', 'y', 's', 'd', 'b', 'a',
                            isc_dpb_password, 9, 'p', 'x', 'l', 'o', 'r', 't', 'e', 'v', 'n',
                            isc_dpb_lc_ctype, 9, 'I', 'S', 'O', '8', '8', '5', '9', '_', '1'};
        ISC_STATUS_ARRAY status;
        isc_attach_database(status, 0, database.c_str(), &db_, sizeof dpb, dpb);
        Check(status, "attach");
    }
    ~Limit()
    {
        ISC_STATUS_ARRAY status;
        isc_detach_database(status, &db_);
    }

    struct Outcome {
        double seconds = 0, cpuSeconds = 0;
        long statements = 0, failures = 0;
    };

    Outcome Replay(const RecordedCopy& copy)
    {
        Outcome outcome;
        if (copy.path.empty()) return outcome;
        const int fd = open(copy.path.c_str(), O_RDONLY);
        struct stat info{};
        fstat(fd, &info);
        const size_t size = static_cast<size_t>(info.st_size);
        const char* data = nullptr;
        if (size) {
            data = static_cast<const char*>(mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0));
            if (data == MAP_FAILED) throw std::runtime_error("mmap failed");
        }
        close(fd);
        std::vector<RawStatement> statements(copy.texts.size());
        for (size_t i = 0; i < statements.size(); ++i) statements[i].usesLeft = copy.uses[i];

        const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                            isc_tpb_nowait};
        ISC_STATUS_ARRAY status;
        const auto start = Clock::now();
        const double cpuStart = ProcessorSeconds();
        isc_tr_handle tr = 0;
        isc_start_transaction(status, &tr, 1, &db_, sizeof tpb, tpb);
        Check(status, "start");
        const char* at = data;
        const char* end = data + size;
        while (at < end) {
            std::uint32_t text;
            std::uint8_t kind;
            std::uint16_t count;
            std::memcpy(&text, at, 4);
            kind = static_cast<std::uint8_t>(at[4]);
            std::memcpy(&count, at + 5, 2);
            at += 7;
            RawStatement& statement = statements[text];
            if (!statement.handle) Prepare(statement, copy.texts[text], count, tr);
            XSQLDA* input = statement.input->get();
            for (std::uint16_t i = 0; i < count; ++i) {
                XSQLVAR& var = input->sqlvar[i];
                short fields[5];
                std::uint16_t bytes;
                std::memcpy(fields, at, sizeof fields);
                std::memcpy(&bytes, at + 10, 2);
                at += 12;
                var.sqltype = fields[0];
                var.sqlscale = fields[1];
                var.sqlsubtype = fields[2];
                var.sqllen = fields[3];
                statement.inputNulls[i] = fields[4];
                var.sqlind = &statement.inputNulls[i];
                var.sqldata = const_cast<char*>(bytes ? at : nullptr);
                at += bytes;
            }
            input->sqld = static_cast<short>(count);
            isc_dsql_execute(status, &tr, &statement.handle, SQL_DIALECT_V6, input);
            if (status[0] == 1 && status[1]) {
                ++outcome.failures;
            } else if (kind != static_cast<std::uint8_t>(FbQuery::SentAs::Execute)) {
                if (kind == static_cast<std::uint8_t>(FbQuery::SentAs::OpenCursor))
                    isc_dsql_fetch(status, &statement.handle, SQL_DIALECT_V6, statement.output->get());
                isc_dsql_free_statement(status, &statement.handle, DSQL_close);
            }
            ++outcome.statements;
            if (--statement.usesLeft == 0) {
                isc_dsql_free_statement(status, &statement.handle, DSQL_drop);
                statement.handle = 0;
            }
        }
        isc_commit_transaction(status, &tr);
        Check(status, "commit");
        outcome.seconds = Seconds(Clock::now() - start);
        outcome.cpuSeconds = ProcessorSeconds() - cpuStart;
        for (RawStatement& statement : statements)
            if (statement.handle) isc_dsql_free_statement(status, &statement.handle, DSQL_drop);
        if (size) munmap(const_cast<char*>(data), size);
        return outcome;
    }

private:
    void Prepare(RawStatement& statement, const std::string& sql, std::uint16_t inputs, isc_tr_handle& tr)
    {
        ISC_STATUS_ARRAY status;
        isc_dsql_allocate_statement(status, &db_, &statement.handle);
        Check(status, "allocate");
        statement.output = std::make_unique<Sqlda>(20);
        isc_dsql_prepare(status, &tr, &statement.handle, 0, sql.c_str(), SQL_DIALECT_V6, statement.output->get());
        Check(status, "prepare");
        XSQLDA* output = statement.output->get();
        if (output->sqld > output->sqln) {
            statement.output = std::make_unique<Sqlda>(output->sqld);
            isc_dsql_describe(status, &statement.handle, SQL_DIALECT_V6, statement.output->get());
            Check(status, "describe");
            output = statement.output->get();
        }
        statement.outputBuffers.resize(static_cast<size_t>(output->sqld));
        statement.outputNulls.assign(static_cast<size_t>(output->sqld), 0);
        for (short i = 0; i < output->sqld; ++i) {
            XSQLVAR& var = output->sqlvar[i];
            statement.outputBuffers[i].assign(static_cast<size_t>(var.sqllen) + 2, 0);
            var.sqldata = statement.outputBuffers[i].data();
            var.sqlind = &statement.outputNulls[i];
            var.sqltype |= 1;
        }
        // The input variables take the recorded types, as the program bound them.
        statement.input = std::make_unique<Sqlda>(static_cast<short>(inputs));
        statement.inputNulls.assign(inputs ? inputs : 1, 0);
    }

    isc_db_handle db_ = 0;
};

// ---- report ------------------------------------------------------------------------------------------------

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
