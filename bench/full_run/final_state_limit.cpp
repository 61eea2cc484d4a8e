#include "bench/full_run/final_state_limit.h"

#include <ibase.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "bench/full_run/timing.h"
#include "firebird/fb_status.h"

namespace {

// The tables the copies write, each with the copy (by its index in kCopies) that writes it.
struct WrittenTable {
    const char* table;
    int copy;
};
constexpr WrittenTable kWrittenTables[] = {
    {"venda", 0},         {"item_venda", 0},  {"entrada", 1},       {"item_entrada", 1}, {"HISCAIXA", 2},
    {"COD_OP", 3},        {"cliente", 4},     {"caixa", 5},         {"contaspagar", 6},  {"contasreceber", 7},
    {"fornecedor", 8},    {"AGENDA", 9},      {"grupoprod", 10},    {"vendedor", 11},    {"grupodecaixa", 12},
    {"fabricante", 13},   {"produto", 14},
};

void Check(const ISC_STATUS* status, const std::string& what)
{
    if (status[0] == 1 && status[1]) throw std::runtime_error(what + ": " + StatusText(status));
}

class Sqlda {
public:
    explicit Sqlda(short n) : storage_(XSQLDA_LENGTH(n < 1 ? 1 : n), 0)
    {
        get()->version = SQLDA_VERSION1;
        get()->sqln = n < 1 ? 1 : n;
    }
    XSQLDA* get() { return reinterpret_cast<XSQLDA*>(storage_.data()); }

private:
    std::vector<char> storage_;
};

class Attachment {
public:
    explicit Attachment(const std::string& database)
    {
        const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 's', 'y', 's', 'd', 'b', 'a',
                            isc_dpb_password, 9, 'p', 'x', 'l', 'o', 'r', 't', 'e', 'v', 'n',
                            isc_dpb_lc_ctype, 9, 'I', 'S', 'O', '8', '8', '5', '9', '_', '1'};
        ISC_STATUS_ARRAY status;
        isc_attach_database(status, 0, database.c_str(), &db, sizeof dpb, dpb);
        Check(status, "attaching " + database);
    }
    ~Attachment()
    {
        ISC_STATUS_ARRAY status;
        isc_detach_database(status, &db);
    }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    isc_tr_handle Start()
    {
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                                   isc_tpb_nowait};
        ISC_STATUS_ARRAY status;
        isc_tr_handle tr = 0;
        isc_start_transaction(status, &tr, 1, &db, sizeof tpb, tpb);
        Check(status, "start");
        return tr;
    }

    isc_db_handle db = 0;
};

class Statement {
public:
    Statement(Attachment& attachment, isc_tr_handle& tr, const std::string& sql)
    {
        ISC_STATUS_ARRAY status;
        isc_dsql_allocate_statement(status, &attachment.db, &handle);
        Check(status, "allocate");
        output = std::make_unique<Sqlda>(1);
        isc_dsql_prepare(status, &tr, &handle, 0, sql.c_str(), SQL_DIALECT_V6, output->get());
        Check(status, "preparing " + sql);
        if (output->get()->sqld > output->get()->sqln) {
            output = std::make_unique<Sqlda>(output->get()->sqld);
            isc_dsql_describe(status, &handle, SQL_DIALECT_V6, output->get());
            Check(status, "describe");
        }
    }
    ~Statement()
    {
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &handle, DSQL_drop);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    isc_stmt_handle handle = 0;
    std::unique_ptr<Sqlda> output;
};

// Every row of one table as read back: per column, its null flag and its bytes in the column's own type (a
// varying text with its length word), one row after another.
struct TableRows {
    std::vector<std::string> columns;
    std::vector<XSQLVAR> types;
    std::vector<char> data;
    long rows = 0;
};

size_t DataLength(const XSQLVAR& var)
{
    return (var.sqltype & ~1) == SQL_VARYING ? 2 + *reinterpret_cast<const unsigned short*>(var.sqldata)
                                              : static_cast<size_t>(var.sqllen);
}

TableRows ReadRows(Attachment& source, const std::string& table)
{
    TableRows rows;
    isc_tr_handle tr = source.Start();
    {
        Statement select(source, tr, "select * from " + table);
        XSQLDA* out = select.output->get();
        std::vector<std::vector<char>> buffers(static_cast<size_t>(out->sqld));
        std::vector<short> nulls(static_cast<size_t>(out->sqld));
        for (short i = 0; i < out->sqld; ++i) {
            XSQLVAR& var = out->sqlvar[i];
            if ((var.sqltype & ~1) == SQL_BLOB) throw std::runtime_error(table + " has a blob column");
            buffers[i].assign(static_cast<size_t>(var.sqllen) + 2, 0);
            var.sqldata = buffers[i].data();
            var.sqlind = &nulls[i];
            var.sqltype |= 1;
            rows.columns.emplace_back(var.sqlname, static_cast<size_t>(var.sqlname_length));
            rows.types.push_back(var);
        }
        ISC_STATUS_ARRAY status;
        isc_dsql_execute(status, &tr, &select.handle, SQL_DIALECT_V6, nullptr);
        Check(status, "select from " + table);
        while (isc_dsql_fetch(status, &select.handle, SQL_DIALECT_V6, out) == 0) {
            for (short i = 0; i < out->sqld; ++i) {
                const XSQLVAR& var = out->sqlvar[i];
                const short null = *var.sqlind < 0 ? -1 : 0;
                rows.data.insert(rows.data.end(), reinterpret_cast<const char*>(&null),
                                 reinterpret_cast<const char*>(&null) + sizeof null);
                if (!null) rows.data.insert(rows.data.end(), var.sqldata, var.sqldata + DataLength(var));
            }
            ++rows.rows;
        }
    }
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &tr);
    return rows;
}

std::string InsertText(const std::string& table, const std::vector<std::string>& columns)
{
    std::string names, marks;
    for (const std::string& column : columns) {
        names += (names.empty() ? "\"" : ", \"") + column + "\"";
        marks += marks.empty() ? "?" : ", ?";
    }
    return "insert into " + table + " (" + names + ") values (" + marks + ")";
}

TableLimit InsertRows(Attachment& target, const std::string& table, TableRows& rows)
{
    TableLimit limit;
    limit.table = table;
    limit.rows = rows.rows;
    isc_tr_handle prepareTr = target.Start();
    Statement insert(target, prepareTr, InsertText(table, rows.columns));
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &prepareTr);
    const short count = static_cast<short>(rows.columns.size());
    Sqlda input(count);
    input.get()->sqld = count;
    std::vector<short> nulls(static_cast<size_t>(count));
    for (short i = 0; i < count; ++i) {
        XSQLVAR& var = input.get()->sqlvar[i];
        var = rows.types[static_cast<size_t>(i)];
        var.sqlind = &nulls[static_cast<size_t>(i)];
    }

    const auto start = Clock::now();
    const double cpuStart = ProcessorSeconds();
    const double systemStart = SystemSeconds();
    isc_tr_handle tr = target.Start();
    char* at = rows.data.data();
    for (long row = 0; row < rows.rows; ++row) {
        for (short i = 0; i < count; ++i) {
            XSQLVAR& var = input.get()->sqlvar[i];
            std::memcpy(&nulls[static_cast<size_t>(i)], at, sizeof(short));
            at += sizeof(short);
            var.sqldata = nulls[static_cast<size_t>(i)] ? nullptr : at;
            if (!nulls[static_cast<size_t>(i)]) at += DataLength(var);
        }
        isc_dsql_execute(status, &tr, &insert.handle, SQL_DIALECT_V6, input.get());
        Check(status, "insert into " + table);
    }
    isc_commit_transaction(status, &tr);
    Check(status, "commit of " + table);
    limit.seconds = Seconds(Clock::now() - start);
    limit.cpuSeconds = ProcessorSeconds() - cpuStart;
    limit.systemSeconds = SystemSeconds() - systemStart;
    return limit;
}

}  // namespace

FinalStateLimit MeasureFinalStateLimit(const std::string& programDatabase, const std::string& freshDatabase)
{
    FinalStateLimit result;
    Attachment source(programDatabase);
    Attachment target(freshDatabase);
    for (const WrittenTable& written : kWrittenTables) {
        TableRows rows = ReadRows(source, written.table);
        TableLimit limit = InsertRows(target, written.table, rows);
        limit.copy = written.copy;
        FinalStateLimit::Copy& copy = result.copies[written.copy];
        copy.rows += limit.rows;
        copy.seconds += limit.seconds;
        copy.cpuSeconds += limit.cpuSeconds;
        result.rows += limit.rows;
        result.seconds += limit.seconds;
        result.cpuSeconds += limit.cpuSeconds;
        result.systemSeconds += limit.systemSeconds;
        result.tables.push_back(std::move(limit));
    }
    return result;
}
