#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/commands.h"
#include "app/session.h"
#include "app/target_database.h"
#include "maintenance/run_and_wait.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

const char* const kInUse =
    "O sistema não Pode fazer backup desse Banco de Dados. Verifique Se o Bd não está sendo usado em algum "
    "terminal";

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Another program with the database open: isql-fb attached to it, waiting for input until released.
class OtherProgramHolding {
public:
    explicit OtherProgramHolding(const std::string& database)
    {
        int ends[2];
        if (pipe(ends) != 0) throw std::runtime_error("pipe");
        input_ = ends[1];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, ends[1]);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> args = {"isql-fb", "-q", "-user", "sysdba", "-pass", "pxlortevn", database};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        const int error = posix_spawnp(&pid_, "isql-fb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ends[0]);
        if (error != 0) throw std::runtime_error("isql-fb cannot be started");
        // Holding it means having the file open.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!HasOpen(database)) {
            if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("isql-fb did not attach");
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    ~OtherProgramHolding()
    {
        close(input_);
        int status = 0;
        waitpid(pid_, &status, 0);
    }

private:
    bool HasOpen(const std::string& file) const
    {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", error)) {
            std::error_code ignored;
            if (fs::read_symlink(entry.path(), ignored) == fs::path(file)) return true;
        }
        return false;
    }

    pid_t pid_ = 0;
    int input_ = -1;
};

class BackupRestoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Blanks in the folder name: gbak gets its paths as separate arguments.
        fs::create_directory(folder_.File("dados da loja"));
        dbFolder_ = folder_.File("dados da loja") + "/";
        database_ = FreshQuibrawDatabase(folder_, "dados da loja/loja.fdb");
        SqlExec(database_, "insert into cliente (cod, nome) values (1, 'ANA')");
        SqlExec(database_, "insert into cliente (cod, nome) values (2, 'BETO')");
        SqlExec(database_, "alter sequence cliente restart with 2");
        fs::create_symlink("/usr/bin/gbak", programFolder_.File("gbak"));
        session_.programFolder = programFolder_.Path();
        op_.targetBox = database_;
        op_.legacyFolderBox = "/dados/antigos";
        session_.paths.legacyFolder = "/dados/antigos";
    }

    void Run() { RunCommandUnreported(Command::BackupRestore, session_, op_); }

    bool Exists(const std::string& name) const { return fs::exists(dbFolder_ + name); }

    // The database file is where it was and nothing was made beside it.
    void ExpectUntouched()
    {
        EXPECT_TRUE(fs::exists(database_));
        EXPECT_FALSE(Exists("bd.fdb"));
        EXPECT_FALSE(Exists("bd.bkp"));
        EXPECT_EQ(SqlScalar(database_, "select count(*) from cliente"), "2");
    }

    TempFolder folder_, programFolder_;
    std::string dbFolder_, database_;
    Session session_;
    ScriptedOperator op_;
};

}  // namespace

TEST(RunAndWait, reportsExitStatusAndOutput)
{
    // Arguments with blanks arrive whole; both output streams are kept.
    const auto echoed = RunAndWait({"/bin/sh", "-c", "echo \"$1\"; echo erro >&2; exit 3", "sh", "a  b"});
    EXPECT_TRUE(echoed.started);
    EXPECT_EQ(echoed.exitStatus, 3);
    EXPECT_FALSE(echoed.Succeeded());
    EXPECT_EQ(echoed.output, "a  b\nerro\n");

    // Files this process holds open (the database engine's among them) do not reach the program.
    const int held = open("/dev/null", O_RDONLY);
    const auto probed = RunAndWait(
        {"/bin/sh", "-c", "test -e /proc/$$/fd/" + std::to_string(held) + " && echo aberto || echo fechado"});
    close(held);
    EXPECT_EQ(probed.output, "fechado\n");

    const auto missing = RunAndWait({"/nao/existe/gbak", "-z"});
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.output.find("/nao/existe/gbak"), std::string::npos);
}

TEST_F(BackupRestoreTest, rebuildsTheDatabaseAsBdFdbAndKeepsTheOldOne)
{
    // Our own connection holds uncommitted work: it is committed and the file released before the move.
    session_.paths.targetDatabase = database_;
    session_.target.DirectConnect(database_);
    session_.target.Query().SetSql("insert into cliente (cod, nome) values (3, 'CAIO')");
    session_.target.Query().Execute();

    Run();

    EXPECT_EQ(op_.Boxes(), std::vector<std::string>{"message: ok"});
    EXPECT_EQ(op_.log, (std::vector<std::string>{"Iniciando Backup", "Aquivo .old criado",
                                                 "gbak -c -user sysdba -pass pxlortevn " + dbFolder_ + "bd.bkp " +
                                                     dbFolder_ + "bd.fdb"}));
    EXPECT_FALSE(fs::exists(database_));
    EXPECT_TRUE(Exists("bd.old"));
    EXPECT_FALSE(Exists("bd.bkp"));
    ASSERT_TRUE(Exists("bd.fdb"));
    EXPECT_EQ(SqlRows(dbFolder_ + "bd.fdb", "select cod, nome from cliente order by cod"),
              (std::vector<std::vector<std::string>>{{"1", "ANA"}, {"2", "BETO"}, {"3", "CAIO"}}));
    EXPECT_EQ(SqlScalar(dbFolder_ + "bd.fdb", "select gen_id(cliente, 1) from rdb$database"), "3");
    EXPECT_EQ(SqlScalar(dbFolder_ + "bd.old", "select count(*) from cliente"), "3");

    EXPECT_FALSE(session_.target.Database().IsOpen());
    EXPECT_TRUE(session_.paths.targetDatabase.empty());
    EXPECT_TRUE(session_.paths.legacyFolder.empty());
    EXPECT_TRUE(op_.targetBox.empty());
    EXPECT_TRUE(op_.legacyFolderBox.empty());
}

TEST_F(BackupRestoreTest, refusesBeforeTouchingAnything)
{
    {  // only blanks in the path box
        ScriptedOperator op;
        op.targetBox = " \t ";
        RunCommandUnreported(Command::BackupRestore, session_, op);
        EXPECT_EQ(op.Boxes(), std::vector<std::string>{"message: Caminho BD QuibraW nao foi preenchido!"});
        EXPECT_EQ(op.focused, FocusTarget::TargetBox);
    }
    {  // no gbak beside the program, although the system has one
        TempFolder empty;
        session_.programFolder = empty.Path();
        Run();
        EXPECT_EQ(op_.Boxes(), std::vector<std::string>{"message: O arquivo Gbak.exe Nao foi encontrado. Faça Uma "
                                                        "copia dele para a pasta deste programa."});
        session_.programFolder = programFolder_.Path();
    }
    ExpectUntouched();
    EXPECT_FALSE(Exists("bd.old"));
    {  // a "bd.old" of an earlier run would be lost
        Write(dbFolder_ + "bd.old", "backup anterior");
        ScriptedOperator op;
        op.targetBox = database_;
        RunCommandUnreported(Command::BackupRestore, session_, op);
        EXPECT_EQ(op.Boxes(), std::vector<std::string>{"message: Já existe o arquivo " + dbFolder_ +
                                                       "bd.old. Mova ou apague este arquivo antes do Backup/Restore."});
        EXPECT_EQ(Contents(dbFolder_ + "bd.old"), "backup anterior");
        EXPECT_EQ(op.targetBox, database_);
    }
    ExpectUntouched();
    EXPECT_FALSE(session_.target.Database().IsOpen());
}

TEST_F(BackupRestoreTest, databaseInUseIsNotMoved)
{
    {  // another program has it open: our engine cannot attach
        OtherProgramHolding isql(database_);
        Run();
        EXPECT_EQ(op_.Boxes(), (std::vector<std::string>{std::string("message: ") + kCannotConnectMessage,
                                                         std::string("message: ") + kInUse}));
    }
    ExpectUntouched();
    EXPECT_FALSE(Exists("bd.old"));
    EXPECT_EQ(session_.paths.targetDatabase, database_);
    EXPECT_EQ(op_.targetBox, database_);
    {  // another connection in this very process
        TargetDatabase other;
        other.DirectConnect(database_);
        ScriptedOperator op;
        op.targetBox = database_;
        RunCommandUnreported(Command::BackupRestore, session_, op);
        EXPECT_EQ(op.Boxes(), std::vector<std::string>{std::string("message: ") + kInUse});
        EXPECT_FALSE(session_.target.Database().IsOpen());
    }
    ExpectUntouched();
    EXPECT_FALSE(Exists("bd.old"));
}

TEST_F(BackupRestoreTest, failedBackupPutsTheDatabaseBack)
{
    fs::create_directory(dbFolder_ + "bd.bkp");  // gbak cannot write its backup there
    Run();

    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].rfind("Ocorreu um Erro: gbak:", 0), 0u) << op_.messages[0];
    EXPECT_EQ(op_.log, std::vector<std::string>{"Iniciando Backup"});
    EXPECT_TRUE(fs::exists(database_));
    EXPECT_FALSE(Exists("bd.old"));
    EXPECT_FALSE(Exists("bd.fdb"));
    EXPECT_TRUE(fs::is_directory(dbFolder_ + "bd.bkp"));
    EXPECT_EQ(SqlScalar(database_, "select count(*) from cliente"), "2");
}

TEST_F(BackupRestoreTest, failedRestoreKeepsTheOldFileAndTheBackup)
{
    Write(dbFolder_ + "bd.fdb", "outro arquivo");  // gbak -c does not overwrite
    Run();

    ASSERT_EQ(op_.messages.size(), 2u);
    EXPECT_EQ(op_.messages[0], "ok");  // the backup itself went well
    EXPECT_EQ(op_.messages[1].rfind("Ocorreu um Erro: gbak:", 0), 0u) << op_.messages[1];
    EXPECT_EQ(op_.log.size(), 3u);
    EXPECT_TRUE(Exists("bd.old"));
    EXPECT_TRUE(Exists("bd.bkp"));
    EXPECT_GT(fs::file_size(dbFolder_ + "bd.bkp"), 0u);
    EXPECT_EQ(Contents(dbFolder_ + "bd.fdb"), "outro arquivo");
    EXPECT_EQ(SqlScalar(dbFolder_ + "bd.old", "select count(*) from cliente"), "2");
}
