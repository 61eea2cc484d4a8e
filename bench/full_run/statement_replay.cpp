#include "bench/full_run/statement_replay.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "bench/full_run/timing.h"
#include "firebird/fb_query.h"
#include "firebird/fb_status.h"

namespace {

void Check(const ISC_STATUS* status, const char* what)
{
    if (status[0] == 1 && status[1]) throw std::runtime_error(std::string(what) + ": " + StatusText(status));
}

}  // namespace

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

StatementReplay::StatementReplay(const std::string& database)
{
    const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 's', 'y', 's', 'd', 'b', 'a',
                        isc_dpb_password, 9, 'p', 'x', 'l', 'o', 'r', 't', 'e', 'v', 'n',
                        isc_dpb_lc_ctype, 9, 'I', 'S', 'O', '8', '8', '5', '9', '_', '1'};
    ISC_STATUS_ARRAY status;
    isc_attach_database(status, 0, database.c_str(), &db_, sizeof dpb, dpb);
    Check(status, "attach");
}

StatementReplay::~StatementReplay()
{
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &db_);
}

StatementReplay::Outcome StatementReplay::Replay(const RecordedCopy& copy)
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

void StatementReplay::Prepare(RawStatement& statement, const std::string& sql, std::uint16_t inputs, isc_tr_handle& tr)
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
