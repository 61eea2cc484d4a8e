#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/commands.h"
#include "app/session.h"
#include "copy/value_helpers.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace {

// Tables the clearing leaves alone, and the two it fills again.
const std::vector<std::string> kKeptTables = {"COD_OP", "HISCAIXA", "GRUPODECAIXA"};
const std::vector<std::string> kRefilledTables = {"USUARIO", "VENDEDOR"};
// Sequences it does not restart, and the two restarted at 1 instead of 0.
const std::vector<std::string> kKeptSequences = {"AGENDA", "GRUPODECAIXA"};
const std::vector<std::string> kSequencesAtOne = {"USUARIO", "VENDEDOR"};

bool Contains(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::vector<std::string> Names(const std::string& path, const std::string& sql)
{
    std::vector<std::string> names;
    for (const auto& row : SqlRows(path, sql)) names.push_back(Trimmed(row.at(0)));
    return names;
}

std::vector<std::string> UserTables(const std::string& path)
{
    return Names(path, "select rdb$relation_name from rdb$relations "
                       "where rdb$system_flag = 0 and rdb$view_blr is null");
}

std::vector<std::string> UserSequences(const std::string& path)
{
    return Names(path, "select rdb$generator_name from rdb$generators where rdb$system_flag = 0");
}

// One row in every table of the database, whatever its columns: the not-null ones (all codes) get 7.
void FillEveryTable(const std::string& path)
{
    for (const std::string& table : UserTables(path)) {
        const auto required = Names(path, "select rdb$field_name from rdb$relation_fields where rdb$relation_name = '" +
                                              table + "' and rdb$null_flag = 1");
        if (required.empty()) {
            SqlExec(path, "insert into " + table + " default values");
            continue;
        }
        std::string columns, values;
        for (const std::string& column : required) {
            columns += (columns.empty() ? "" : ", ") + column;
            values += values.empty() ? "'7'" : ", '7'";
        }
        SqlExec(path, "insert into " + table + " (" + columns + ") values (" + values + ")");
    }
}

std::string Count(const std::string& path, const std::string& table)
{
    return SqlScalar(path, "select count(*) from " + table);
}

std::string NextValue(const std::string& path, const std::string& sequence)
{
    return SqlScalar(path, "select gen_id(" + sequence + ", 1) from rdb$database");
}

// A database with a row in every table and every sequence at 500. Filling costs far more than copying:
// it is filled once per test run and copied for each test.
const std::string& FilledDatabase()
{
    static TempFolder folder;
    static const std::string path = [] {
        const std::string filled = FreshQuibrawDatabase(folder, "cheio.fdb");
        FillEveryTable(filled);
        for (const std::string& sequence : UserSequences(filled))
            SqlExec(filled, "alter sequence " + sequence + " restart with 500");
        return filled;
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
    for (const std::string& table : UserTables(path_)) {
        if (Contains(kRefilledTables, table)) continue;
        EXPECT_EQ(Count(path_, table), Contains(kKeptTables, table) ? "1" : "0") << table;
    }
    EXPECT_EQ(SqlRows(path_, "select cod, nome, vendedor, configu from usuario"),
              (std::vector<std::vector<std::string>>{{"1", "VENDEDOR", "1", "-0- 10,00 -1- T -2-  -3-  -4-"}}));
    EXPECT_EQ(SqlRows(path_, "select cod, nome from vendedor"),
              (std::vector<std::vector<std::string>>{{"1", "VENDEDOR"}}));
    for (const std::string& sequence : UserSequences(path_)) {
        const std::string expected = Contains(kKeptSequences, sequence)   ? "501"
                                     : Contains(kSequencesAtOne, sequence) ? "2"
                                                                           : "1";
        EXPECT_EQ(NextValue(path_, sequence), expected) << sequence;
    }

    // The earlier log is gone; one line per row that has one; one repaint.
    ASSERT_EQ(op_.log.size(), 57u);
    EXPECT_EQ(op_.log.front(), "Registros de clientes Apagados");
    EXPECT_EQ(op_.log.back(), "Usuario 1-Vendedor Inserido");
    EXPECT_EQ(std::count(op_.log.begin(), op_.log.end(), "Generator Compra foi zerado"), 2);
    EXPECT_EQ(std::count(op_.log.begin(), op_.log.end(), "Registros de Servicos Apagados"), 3);
    EXPECT_EQ(std::count(op_.events.begin(), op_.events.end(), "log-clear"), 1);
    EXPECT_EQ(op_.events.front(), "log-clear");
    EXPECT_EQ(op_.processEventsCalls, 1);
    const auto users = std::find(op_.log.begin(), op_.log.end(), "Registros de Usuários Apagados");
    const auto sellers = std::find(op_.log.begin(), op_.log.end(), "Registros de Vendedores Apagados");
    EXPECT_EQ(sellers - users, 1);

    // Committed, path forgotten, box kept, connection still open.
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
    EXPECT_TRUE(op_.Boxes().empty());

    // Rows 1-24 were committed; 25-29 wait in the open transaction; the path is still remembered.
    EXPECT_EQ(Count(path_, "cliente"), "0");
    EXPECT_EQ(Count(path_, "usuario"), "0");
    EXPECT_EQ(Count(path_, "vendedor"), "1");
    EXPECT_EQ(Count(path_, "FVMT"), "1");
    EXPECT_TRUE(session_.target.Transaction().Active());
    EXPECT_EQ(session_.paths.targetDatabase, path_);

    // The pending rows are committed when the connection closes.
    session_.target.Database().Close();
    EXPECT_EQ(Count(path_, "vendedor"), "0");

    // Through the window's dispatcher the general error report shows the failure.
    ScriptedOperator again;
    again.targetBox = path_;
    RunCommand(Command::ClearDatabase, session_, again);
    ASSERT_EQ(again.errors.size(), 1u);
    EXPECT_NE(again.errors[0].find("JUSTIFICATIVA"), std::string::npos);
}

TEST_F(DatabaseClearingTest, failedUserDeletionIsShownAndTheClearingGoesOn)
{
    SqlExec(path_, "create exception usuario_protegido 'usuario protegido'");
    SqlExec(path_, "create trigger protege_usuario for usuario before delete as begin exception usuario_protegido; end");

    RunCommandUnreported(Command::ClearDatabase, session_, op_);

    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].rfind("ocorreu um erro: ", 0), 0u) << op_.messages[0];
    EXPECT_NE(op_.messages[0].find("usuario protegido"), std::string::npos) << op_.messages[0];
    EXPECT_EQ(std::count(op_.log.begin(), op_.log.end(), "Registros de Usuários Apagados"), 0);
    EXPECT_EQ(op_.log.back(), "Usuario 1-Vendedor Inserido");
    // Everything, rows 1-23 included, went in with the final commit.
    EXPECT_EQ(Count(path_, "cliente"), "0");
    EXPECT_EQ(Count(path_, "usuario"), "2");
    EXPECT_EQ(Count(path_, "vendedor"), "1");
    EXPECT_TRUE(session_.paths.targetDatabase.empty());
}

TEST_F(DatabaseClearingTest, stopsWithoutADatabase)
{
    // Box names no file and the dialog is cancelled: silent stop.
    op_.targetBox = folder_.File("nada.fdb");
    RunCommandUnreported(Command::ClearDatabase, session_, op_);
    EXPECT_EQ(op_.events, std::vector<std::string>{"file-dialog: "});

    // Box names the file but no path is remembered: the connect asks, and cancelling stops before row 1.
    ScriptedOperator op;
    op.targetBox = path_;
    session_.paths.targetDatabase.clear();
    RunCommandUnreported(Command::ClearDatabase, session_, op);
    EXPECT_EQ(op.events, (std::vector<std::string>{"message: Selecione um BD do QuibraW", "file-dialog: "}));
    EXPECT_EQ(Count(path_, "cliente"), "1");
    EXPECT_FALSE(session_.target.Database().IsOpen());
}
