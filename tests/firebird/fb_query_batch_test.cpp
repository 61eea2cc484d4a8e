#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "firebird/database_error.h"
#include "firebird/fb_connection.h"
#include "tests/support/test_database.h"

namespace {

// What a run of queued executions left: each row's outcome in order, the table and the sequence.
struct BatchRun {
    std::vector<std::string> outcomes;
    std::vector<std::vector<std::string>> rows;
    std::string sequence;
    int prepares = 0;
};

// Rows into a table whose unique name column refuses repeats and NULL, numbered by gen_id inside the statement.
// Row values: a name ("" for NULL; both fail inside a block, after the row's number was drawn), a date text (an
// unreadable one fails on the client) and a text longer than its column (fails before the block runs any row).
BatchRun QueueRows(bool batching, const std::vector<std::array<std::string, 3>>& values)
{
    TempFolder folder;
    const std::string path = FreshQuibrawDatabase(folder);
    SqlExec(path, "create table batched (id integer not null primary key, nome varchar(6) not null unique, "
                  "d date, txt char(3))");
    SqlExec(path, "create sequence batched_id");
    BatchRun run;
    const FbQuery::Batching before = FbQuery::BatchingMode();
    FbQuery::SetBatching(batching ? FbQuery::Batching::On : FbQuery::Batching::Off);
    {
        FbConnection connection;
        connection.DirectConnect(path);
        FbQuery& query = connection.Query();
        query.SetSql("insert into batched (id, nome, d, txt) values (gen_id(batched_id, 1), :nome, :d, :txt)");
        for (const auto& [name, date, text] : values) {
            if (name.empty())
                query.SetNull("nome");
            else
                query.SetText("nome", name);
            query.SetText("d", date);
            query.SetText("txt", text);
            query.ExecuteBatched([&run](std::exception_ptr failure) {
                if (!failure) return run.outcomes.push_back("ok");
                try {
                    std::rethrow_exception(failure);
                } catch (const DatabaseError& error) {
                    run.outcomes.push_back(error.what());
                }
            });
        }
        connection.Transaction().Commit();
        run.prepares = query.PrepareCount();
    }
    FbQuery::SetBatching(before);
    run.rows = SqlRows(path, "select id, nome, d, txt from batched order by id");
    run.sequence = SqlScalar(path, "select gen_id(batched_id, 0) from rdb$database");
    return run;
}

}  // namespace

TEST(FbQueryBatch, queuedRowsLandAndFailExactlyAsExecutedOneByOne)
{
    std::vector<std::array<std::string, 3>> values;
    for (int i = 1; i <= 160; ++i) values.push_back({"n" + std::to_string(i), "05/01/2023", "abc"});
    // Rows are sent fifty at a time, and at the commit.
    values[0][0] = "";            // the first row of a block
    values[24][0] = "n10";        // the middle of a block, twice in a row
    values[25][0] = "n10";
    values[49][0] = "n49";        // the last row of a block
    values[59][2] = "toolong";    // the whole block fails before any row
    values[60][0] = "n2";
    values[119][1] = "31/02/20";  // unreadable on the client
    values[159][0] = "n150";      // the very last row, sent by the commit
    const BatchRun oneByOne = QueueRows(false, values);
    const BatchRun batched = QueueRows(true, values);
    EXPECT_EQ(batched.outcomes, oneByOne.outcomes);
    EXPECT_EQ(batched.rows, oneByOne.rows);
    EXPECT_EQ(batched.sequence, oneByOne.sequence);
    EXPECT_EQ(batched.prepares, oneByOne.prepares);
    EXPECT_EQ(std::count(oneByOne.outcomes.begin(), oneByOne.outcomes.end(), "ok"), 160 - 8);
}
