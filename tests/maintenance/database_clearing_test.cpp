#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "app/commands.h"
#include "session/session.h"
#include "session/value_helpers.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace {

using Names = std::vector<std::string>;

bool Contains(const Names& list, const std::string& name) { return std::ranges::find(list, name) != list.end(); }

Names FirstColumn(const std::string& path, const std::string& sql)
{
    Names names;
    for (const auto& row : SqlRows(path, sql)) names.push_back(Trimmed(row.at(0)));
    return names;
}

Names Tables(const std::string& path)
{
    return FirstColumn(path, "select rdb$relation_name from rdb$relations where rdb$system_flag = 0 and rdb$view_blr is null");
}

Names Sequences(const std::string& path)
{
    return FirstColumn(path, "select rdb$generator_name from rdb$generators where rdb$system_flag = 0");
}

std::string Count(const std::string& path, const std::string& table)
{
    return SqlScalar(path, "select count(*) from " + table);
}

// A row in every table (its not-null columns, all codes, set to 7) and every sequence at 500. Filling costs far
// more than copying: done once per run, copied for each test.
const std::string& FilledDatabase()
{
    static TempFolder folder;
    static const std::string path = [] {
        const std::string db = FreshQuibrawDatabase(folder, "cheio.fdb");
        for (const std::string& table : Tables(db)) {
            const Names keys = FirstColumn(db, "select rdb$field_name from rdb$relation_fields where rdb$relation_name = '" +
                                                   table + "' and rdb$null_flag = 1");
            std::string columns, values;
            for (const std::string& key : keys) {
                columns += (columns.empty() ? "" : ",") + key;
                values += values.empty() ? "7" : ",7";
            }
            SqlExec(db, "insert into " + table + (keys.empty() ? " default values" : "(" + columns + ") values(" + values + ")"));
        }
        for (const std::string& sequence : Sequences(db)) SqlExec(db, "alter sequence " + sequence + " restart with 500");
        return db;
    }();
    return path;
}

class DatabaseClearingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = folder_.File("bd.fdb");
        std::filesystem::copy_file(FilledDatabase(), path_);
        op_.targetBox = path_;
        session_.paths.targetDatabase = path_;
        op_.log = {"linha de um comando anterior"};
    }

    TempFolder folder_;
    std::string path_;
    Session session_;
    ScriptedOperator op_;
};

}  // namespace

TEST_F(DatabaseClearingTest, emptiesTablesRestartsSequencesAndRecreatesUserAndSeller)
{
    RunCommandUnreported(Command::ClearDatabase, session_, op_);

    EXPECT_TRUE(op_.Boxes().empty());
    for (const std::string& table : Tables(path_)) {
        if (table == "USUARIO" || table == "VENDEDOR") continue;
        const bool kept = Contains({"COD_OP", "HISCAIXA", "GRUPODECAIXA"}, table);
        EXPECT_EQ(Count(path_, table), kept ? "1" : "0") << table;
    }
    EXPECT_EQ(SqlRows(path_, "select cod, nome, vendedor, configu from usuario"),
              (std::vector<Names>{{"1", "VENDEDOR", "1", "-0- 10,00 -1- T -2-  -3-  -4-"}}));
    EXPECT_EQ(SqlRows(path_, "select cod, nome from vendedor"), (std::vector<Names>{{"1", "VENDEDOR"}}));
    for (const std::string& sequence : Sequences(path_)) {
        const std::string next = Contains({"AGENDA", "GRUPODECAIXA"}, sequence) ? "501"
                                 : Contains({"USUARIO", "VENDEDOR"}, sequence)  ? "2"
                                                                                : "1";
        EXPECT_EQ(SqlScalar(path_, "select gen_id(" + sequence + ", 1) from rdb$database"), next) << sequence;
    }

    // The earlier log is gone, cleared once after row 1 with one repaint; 57 of the 66 rows log a line.
    ASSERT_EQ(op_.log.size(), 57u);
    EXPECT_EQ(op_.log.front(), "Registros de clientes Apagados");
    EXPECT_EQ(op_.log.back(), "Usuario 1-Vendedor Inserido");
    EXPECT_EQ(std::ranges::count(op_.log, "Generator Compra foi zerado"), 2);
    EXPECT_EQ(std::ranges::count(op_.log, "Registros de Servicos Apagados"), 3);
    EXPECT_EQ(std::ranges::count(op_.events, "log-clear"), 1);
    EXPECT_EQ(op_.events.front(), "log-clear");
    EXPECT_EQ(op_.processEventsCalls, 1);

    // Committed; path forgotten, box kept; still connected.
    EXPECT_FALSE(session_.target.Transaction().Active());
    EXPECT_TRUE(session_.paths.targetDatabase.empty());
    EXPECT_EQ(op_.targetBox, path_);
    EXPECT_TRUE(session_.target.Database().IsOpen());
}

TEST_F(DatabaseClearingTest, missingTableEndsTheCommandWithTheRowsSinceTheFirstCommitPending)
{
    SqlExec(path_, "drop table JUSTIFICATIVA");  // row 30
    try {
        RunCommandUnreported(Command::ClearDatabase, session_, op_);
        FAIL() << "a missing table must end the command";
    } catch (const std::exception& error) {
        EXPECT_NE(std::string(error.what()).find("JUSTIFICATIVA"), std::string::npos) << error.what();
    }
    EXPECT_EQ(op_.log.back(), "Registros de Movimentos de NFs Apagados");  // row 29

    // Rows 1-24 committed; 25-29 pending in the open transaction; the path still remembered.
    EXPECT_EQ(Count(path_, "usuario"), "0");
    EXPECT_EQ(Count(path_, "vendedor"), "1");
    EXPECT_TRUE(session_.target.Transaction().Active());
    EXPECT_EQ(session_.paths.targetDatabase, path_);
    session_.target.Database().Close();
    EXPECT_EQ(Count(path_, "vendedor"), "0");

    // Through the dispatcher, the general error report shows it.
    ScriptedOperator again;
    again.targetBox = path_;
    RunCommand(Command::ClearDatabase, session_, again);
    ASSERT_EQ(again.errors.size(), 1u);
    EXPECT_NE(again.errors[0].find("JUSTIFICATIVA"), std::string::npos);
}

TEST_F(DatabaseClearingTest, failedUserDeletionIsShownAndTheClearingGoesOn)
{
    SqlExec(path_, "create exception protegido 'usuario protegido'");
    SqlExec(path_, "create trigger protege for usuario before delete as begin exception protegido; end");

    RunCommandUnreported(Command::ClearDatabase, session_, op_);

    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].rfind("ocorreu um erro: ", 0), 0u) << op_.messages[0];
    EXPECT_NE(op_.messages[0].find("usuario protegido"), std::string::npos);
    EXPECT_EQ(op_.log.back(), "Usuario 1-Vendedor Inserido");
    // Rows 1-23 went in with the final commit; user 7 survived beside the new user 1.
    EXPECT_EQ(Count(path_, "cliente"), "0");
    EXPECT_EQ(Count(path_, "usuario"), "2");
}

TEST_F(DatabaseClearingTest, serverNameIsClearedThroughTheServer)
{
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(3050);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool listening = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    if (!listening) GTEST_SKIP() << "no Firebird server listens on localhost:3050";

    // The server runs as its own user: it must reach the folder and the file.
    namespace fs = std::filesystem;
    fs::permissions(folder_.Path(), fs::perms::all);
    fs::permissions(path_, fs::perms::all);
    op_.targetBox = session_.paths.targetDatabase = "localhost:" + path_;
    RunCommand(Command::ClearDatabase, session_, op_);
    session_.target.Database().Close();
    EXPECT_EQ(op_.log.back(), "Usuario 1-Vendedor Inserido");
    EXPECT_EQ(Count(path_, "cliente"), "0");
    EXPECT_EQ(Count(path_, "usuario"), "1");
}
