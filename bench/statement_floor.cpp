// What Firebird itself needs to send a small pre-deleted copy's own statements, beside the final-state limit of its
// rows: the floor under that copy's ratio, whatever the program around the statements does.
//   statement-floor [--rounds N]
// For the product groups (300 rows) and the cash groups (200 rows), each measure in a fresh QuibraW database, after
// the same statements on another table (in a full run the copies before them have warmed the engine):
//   rows        the final-state limit: the insert prepared beforehand, only the inserts and their commit timed;
//   +prepare    the same with the insert's prepare timed, the table's first statement: the one prepare that any
//               writer of the rows must pay and that the limit leaves out;
//   prepared    the copy's statements, prepared beforehand: "delete from" and its commit, the inserts, the sequence
//               restart's "select max(cod)" and "ALTER SEQUENCE … RESTART WITH", the commit;
//   statements  the same with their prepares timed, as a copy must send them.
// Values are bound natively (an integer code, a text name); nothing is read from a legacy file. The best of the
// rounds for each, in wall and in processor time.
#include <ibase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/full_run/timing.h"
#include "firebird/fb_status.h"
#include "tests/support/test_database.h"

namespace {

struct SmallCopy {
    const char* name;
    const char* table;
    const char* nameColumn;
    int rows;
    const char* warmTable;  // another table of the same shape, for the statements sent before
    const char* warmColumn;
};
constexpr SmallCopy kCopies[] = {
    {"product groups", "grupoprod", "nome", 300, "grupodecaixa", "grupo"},
    {"cash groups", "grupodecaixa", "grupo", 200, "grupoprod", "nome"},
};

enum class Measure { Rows, RowsWithPrepare, Prepared, Statements };
constexpr int kMeasures = 4;

void Check(const ISC_STATUS* status, const std::string& what)
{
    if (status[0] == 1 && status[1]) {
        std::fprintf(stderr, "%s: %s\n", what.c_str(), StatusText(status).c_str());
        std::exit(1);
    }
}

class Target {
public:
    explicit Target(const std::string& path)
    {
        const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6,   'S', 'Y', 'S', 'D', 'B', 'A',
                            isc_dpb_lc_ctype, 9,   'I', 'S', 'O', '8', '8', '5', '9', '_', '1'};
        isc_attach_database(status_, 0, path.c_str(), &db_, sizeof dpb, dpb);
        Check(status_, "attaching " + path);
    }
    ~Target() { isc_detach_database(status_, &db_); }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    void Start()
    {
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                                   isc_tpb_nowait};
        isc_start_transaction(status_, &tr_, 1, &db_, sizeof tpb, tpb);
        Check(status_, "start");
    }
    void Commit()
    {
        isc_commit_transaction(status_, &tr_);
        Check(status_, "commit");
    }
    isc_stmt_handle Prepare(const std::string& sql)
    {
        isc_stmt_handle statement = 0;
        isc_dsql_allocate_statement(status_, &db_, &statement);
        isc_dsql_prepare(status_, &tr_, &statement, 0, sql.c_str(), SQL_DIALECT_V6, nullptr);
        Check(status_, sql);
        return statement;
    }
    void Execute(isc_stmt_handle statement, XSQLDA* input = nullptr)
    {
        isc_dsql_execute(status_, &tr_, &statement, SQL_DIALECT_V6, input);
        Check(status_, "execute");
    }
    // Opens a select of one column and reads its rows.
    void Read(isc_stmt_handle statement)
    {
        char storage[XSQLDA_LENGTH(1)] = {};
        XSQLDA* output = reinterpret_cast<XSQLDA*>(storage);
        output->version = SQLDA_VERSION1;
        output->sqln = 1;
        isc_dsql_describe(status_, &statement, SQL_DIALECT_V6, output);
        char value[64];
        short null = 0;
        output->sqlvar[0].sqldata = value;
        output->sqlvar[0].sqlind = &null;
        Execute(statement);
        while (isc_dsql_fetch(status_, &statement, SQL_DIALECT_V6, output) == 0) {
        }
        isc_dsql_free_statement(status_, &statement, DSQL_close);
    }
    void InsertRows(isc_stmt_handle insert, int rows)
    {
        char storage[XSQLDA_LENGTH(2)] = {};
        XSQLDA* input = reinterpret_cast<XSQLDA*>(storage);
        input->version = SQLDA_VERSION1;
        input->sqln = input->sqld = 2;
        short notNull = 0;
        int code = 0;
        char name[2 + 40];
        XSQLVAR& codeVar = input->sqlvar[0];
        codeVar.sqltype = SQL_LONG + 1;
        codeVar.sqllen = sizeof code;
        codeVar.sqldata = reinterpret_cast<char*>(&code);
        codeVar.sqlind = &notNull;
        XSQLVAR& nameVar = input->sqlvar[1];
        nameVar.sqltype = SQL_VARYING + 1;
        nameVar.sqllen = 40;
        nameVar.sqldata = name;
        nameVar.sqlind = &notNull;
        for (code = 1; code <= rows; ++code) {
            const std::string text = "GRUPO " + std::to_string(code);
            const unsigned short length = static_cast<unsigned short>(text.size());
            std::memcpy(name, &length, sizeof length);
            std::memcpy(name + 2, text.data(), length);
            Execute(insert, input);
        }
    }

private:
    ISC_STATUS_ARRAY status_{};
    isc_db_handle db_ = 0;
    isc_tr_handle tr_ = 0;
};

// The copy's statements on one table; those already prepared are sent as they are.
struct CopyStatements {
    isc_stmt_handle preDelete = 0, insert = 0, highest = 0, restart = 0;
};

// The texts of the copy's statements on one table.
struct CopyTexts {
    std::string preDelete, insert, highest, restart;
};

CopyTexts TextsOf(const std::string& table, const std::string& nameColumn, int rows)
{
    return {"delete from " + table, "insert into " + table + "(cod," + nameColumn + ") values(?,?)",
            "select max(cod) as cod from " + table, "ALTER SEQUENCE " + table + " RESTART WITH " + std::to_string(rows)};
}

void SendCopyStatements(Target& target, const CopyTexts& texts, int rows, CopyStatements given)
{
    target.Start();
    target.Execute(given.preDelete ? given.preDelete : target.Prepare(texts.preDelete));
    target.Commit();
    target.Start();
    target.InsertRows(given.insert ? given.insert : target.Prepare(texts.insert), rows);
    target.Read(given.highest ? given.highest : target.Prepare(texts.highest));
    target.Execute(given.restart ? given.restart : target.Prepare(texts.restart));
    target.Commit();
}

struct Times {
    double wall = 1e9, cpu = 1e9;
};

void MeasureOnce(const SmallCopy& copy, Measure measure, Times& best)
{
    TempFolder folder;
    Target target(FreshQuibrawDatabase(folder, "floor.fdb"));
    SendCopyStatements(target, TextsOf(copy.warmTable, copy.warmColumn, copy.rows), copy.rows, {});
    const CopyTexts texts = TextsOf(copy.table, copy.nameColumn, copy.rows);
    CopyStatements prepared;
    if (measure == Measure::Rows || measure == Measure::Prepared) {
        target.Start();
        prepared.insert = target.Prepare(texts.insert);
        if (measure == Measure::Prepared) {
            prepared.preDelete = target.Prepare(texts.preDelete);
            prepared.highest = target.Prepare(texts.highest);
            prepared.restart = target.Prepare(texts.restart);
        }
        target.Commit();
    }
    const auto start = Clock::now();
    const double cpuStart = ProcessorSeconds();
    if (measure == Measure::Rows || measure == Measure::RowsWithPrepare) {
        target.Start();
        target.InsertRows(prepared.insert ? prepared.insert : target.Prepare(texts.insert), copy.rows);
        target.Commit();
    } else {
        SendCopyStatements(target, texts, copy.rows, prepared);
    }
    best.wall = std::min(best.wall, Seconds(Clock::now() - start));
    best.cpu = std::min(best.cpu, ProcessorSeconds() - cpuStart);
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 20;
    if (argc == 3 && std::strcmp(argv[1], "--rounds") == 0 && std::atoi(argv[2]) > 0)
        rounds = std::atoi(argv[2]);
    else if (argc != 1) {
        std::fprintf(stderr, "usage: statement-floor [--rounds N]\n");
        return 2;
    }
    std::printf("best of %d rounds; ms, and times the rows' limit\n\n", rounds);
    std::printf("%-16s %5s | %-17s | %-23s | %-23s | %-23s\n", "", "", "rows", "+prepare", "prepared", "statements");
    std::printf("%-16s %5s | %8s %8s | %11s %11s | %11s %11s | %11s %11s\n", "copy", "rows", "wall", "cpu", "wall",
                "cpu", "wall", "cpu", "wall", "cpu");
    for (const SmallCopy& copy : kCopies) {
        Times times[kMeasures];
        for (int round = 0; round < rounds; ++round)
            for (const Measure measure :
                 {Measure::Rows, Measure::RowsWithPrepare, Measure::Prepared, Measure::Statements})
                MeasureOnce(copy, measure, times[static_cast<int>(measure)]);
        const Times& rows = times[0];
        std::printf("%-16s %5d | %8.3f %8.3f", copy.name, copy.rows, rows.wall * 1e3, rows.cpu * 1e3);
        for (int m = 1; m < kMeasures; ++m)
            std::printf(" | %5.3f %4.2fx %5.3f %4.2fx", times[m].wall * 1e3, times[m].wall / rows.wall,
                        times[m].cpu * 1e3, times[m].cpu / rows.cpu);
        std::printf("\n");
    }
    return 0;
}
