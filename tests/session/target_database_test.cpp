#include <gtest/gtest.h>

#include "firebird/database_error.h"
#include "session/remembered_paths.h"
#include "session/target_database.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace {

class TargetDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { path_ = FreshQuibrawDatabase(folder_); }

    void InsertSeller(int cod, const std::string& name)
    {
        FbQuery& q = target_.Query();
        q.SetSql("insert into vendedor (cod, nome) values (:cod, :nome)");
        q.SetInteger("cod", cod);
        q.SetText("nome", name);
        q.Execute();
    }

    TempFolder folder_;
    std::string path_;
    TargetDatabase target_;
    ScriptedOperator op_;
    RememberedPaths paths_;
};

}  // namespace

TEST_F(TargetDatabaseTest, emptyPathAsksForTheDatabase)
{
    // Cancelled chooser: false, nothing more shown.
    EXPECT_FALSE(target_.Connect(op_, paths_));
    EXPECT_EQ(op_.events, (std::vector<std::string>{"message: Selecione um BD do QuibraW", "file-dialog: "}));

    // Chosen database: remembered, shown in its box, connected.
    op_.fileAnswers.push_back(path_);
    EXPECT_TRUE(target_.Connect(op_, paths_));
    EXPECT_EQ(paths_.targetDatabase, path_);
    EXPECT_EQ(op_.targetBox, path_);
    EXPECT_TRUE(target_.Database().IsOpen());
    EXPECT_EQ(target_.Database().Params(),
              (std::vector<std::string>{"user_name=sysdba", "password=pxlortevn", "lc_ctype=ISO8859_1"}));
}

TEST_F(TargetDatabaseTest, unreachableDatabaseShowsTheFixedMessage)
{
    for (const std::string& bad : {folder_.Path() + "/missing.fdb", folder_.Path()}) {
        paths_.targetDatabase = bad;
        ScriptedOperator op;
        EXPECT_FALSE(target_.Connect(op, paths_));
        EXPECT_EQ(op.messages, std::vector<std::string>{kCannotConnectMessage});
        EXPECT_FALSE(target_.Database().IsOpen());
    }
}

TEST_F(TargetDatabaseTest, reconnectCommitsTheActiveTransaction)
{
    paths_.targetDatabase = path_;
    ASSERT_TRUE(target_.Connect(op_, paths_));
    InsertSeller(1, "ANA");
    EXPECT_TRUE(target_.Transaction().Active());  // started by the statement, still active
    ASSERT_TRUE(target_.Connect(op_, paths_));
    EXPECT_FALSE(target_.Transaction().Active());
    EXPECT_EQ(SqlScalar(path_, "select nome from vendedor where cod = 1"), "ANA");
    EXPECT_TRUE(op_.messages.empty());
}

TEST_F(TargetDatabaseTest, closingAtTheEndCommits)
{
    {
        TargetDatabase target;
        target.DirectConnect(path_);
        FbQuery& q = target.Query();
        q.SetSql("insert into vendedor (cod, nome) values (2, 'BETO')");
        q.Execute();
    }
    EXPECT_EQ(SqlScalar(path_, "select nome from vendedor where cod = 2"), "BETO");
}

TEST_F(TargetDatabaseTest, directConnectAndTransactionRules)
{
    target_.DirectConnect(path_);
    target_.DirectConnect(path_);  // same name, already open: nothing happens
    EXPECT_TRUE(target_.Database().IsOpen());
    try {
        target_.DirectConnect(path_ + ".other");
        FAIL() << "a different name on an open connection must fail";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot perform operation -- DB is currently open");
    }
    EXPECT_EQ(target_.Database().Name(), path_);

    target_.Transaction().Start();
    EXPECT_THROW(target_.Transaction().Start(), DatabaseError);
    InsertSeller(3, "CAIO");
    target_.Transaction().Rollback();
    EXPECT_FALSE(target_.Transaction().Active());
    EXPECT_EQ(SqlScalar(path_, "select count(*) from vendedor"), "0");
}

TEST_F(TargetDatabaseTest, lockConflictFailsAtOnce)
{
    SqlExec(path_, "insert into vendedor (cod, nome) values (5, 'ORIGINAL')");
    TargetDatabase other;
    other.DirectConnect(path_);
    other.Query().SetSql("update vendedor set nome = 'OUTRO' where cod = 5");
    other.Query().Execute();  // holds the row lock in its open transaction

    target_.DirectConnect(path_);
    target_.Query().SetSql("update or insert into vendedor (cod, nome) values (5, 'NOVO')");
    const auto started = std::chrono::steady_clock::now();
    try {
        target_.Query().Execute();
        FAIL() << "the locked row must fail";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("update conflicts with concurrent update"), std::string::npos) << error.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_TRUE(target_.Transaction().Active());
    other.Transaction().Rollback();
}
