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

// Two statements in turn, as a copy sends a sale's items and then the sale: their rows go out together, in the
// order queued, and each lands or fails as it would on its own.
TEST(FbQueryBatch, rowsOfStatementsSentInTurnLandAndFailInTheirOrder)
{
    auto queue = [](bool batching) {
        TempFolder folder;
        const std::string path = FreshQuibrawDatabase(folder);
        SqlExec(path, "create table item (id integer not null primary key, nome varchar(4))");
        SqlExec(path, "create table head (id integer not null primary key, total integer check (total < 90))");
        const FbQuery::Batching before = FbQuery::BatchingMode();
        FbQuery::SetBatching(batching ? FbQuery::Batching::On : FbQuery::Batching::Off);
        std::vector<std::string> outcomes;
        auto told = [&outcomes](std::exception_ptr failure) {
            if (!failure) return outcomes.push_back("ok");
            try {
                std::rethrow_exception(failure);
            } catch (const DatabaseError& error) {
                outcomes.push_back(error.what());
            }
        };
        {
            FbConnection connection;
            connection.DirectConnect(path);
            FbQuery& query = connection.Query();
            for (int sale = 1; sale <= 40; ++sale) {
                for (int item = 0; item < 3; ++item) {
                    query.SetSql("insert into item (id, nome) values (:id, :nome)");
                    // A repeated id every seventh sale, a name too long every eleventh.
                    query.SetInteger("id", sale % 7 == 0 && item == 2 ? sale * 10 : sale * 10 + item);
                    query.SetText("nome", sale % 11 == 0 && item == 1 ? "longo" : "ab");
                    query.ExecuteBatched(told);
                }
                query.SetSql("update or insert into head (id, total) values (:id, :total)");
                query.SetInteger("id", sale % 5);  // the same heads again and again
                query.SetInteger("total", sale * 3 % 100);
                query.ExecuteBatched(told);
            }
            connection.Transaction().Commit();
        }
        FbQuery::SetBatching(before);
        auto rows = SqlRows(path, "select id, nome from item order by id");
        for (auto& row : SqlRows(path, "select id, total from head order by id")) rows.push_back(row);
        return std::make_pair(outcomes, rows);
    };
    const auto oneByOne = queue(false);
    const auto batched = queue(true);
    EXPECT_EQ(batched.first, oneByOne.first);
    EXPECT_EQ(batched.second, oneByOne.second);
    EXPECT_EQ(std::count(oneByOne.first.begin(), oneByOne.first.end(), "ok"), 160 - 5 - 3 - 4);
}
