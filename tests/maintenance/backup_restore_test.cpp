#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/commands.h"
#include "session/session.h"
#include "session/target_database.h"
#include "maintenance/run_and_wait.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace fs = std::filesystem;

namespace {

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class BackupRestoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Blanks in the folder: gbak must get its paths as whole arguments.
        dir_ = folder_.File("dados da loja") + "/";
        fs::create_directory(dir_);
        database_ = FreshQuibrawDatabase(folder_, "dados da loja/loja.fdb");
        SqlExec(database_, "insert into cliente (cod, nome) values (1, 'ANA')");
        SqlExec(database_, "alter sequence cliente restart with 1");
        fs::create_symlink("/usr/bin/gbak", programFolder_.File("gbak"));
        session_.programFolder = programFolder_.Path();
        session_.paths.legacyFolder = op_.legacyFolderBox = "/dados/antigos";
        op_.targetBox = database_;
    }

    void Run(ScriptedOperator& op) { RunCommandUnreported(Command::BackupRestore, session_, op); }

    bool Exists(const std::string& name) const { return fs::exists(dir_ + name); }

    // The database is where it was, whole, and nothing was made beside it.
    void ExpectUntouched()
    {
        EXPECT_EQ(SqlScalar(database_, "select count(*) from cliente"), "1");
        EXPECT_FALSE(Exists("bd.fdb"));
        EXPECT_FALSE(Exists("bd.bkp"));
    }

    TempFolder folder_, programFolder_;
    std::string dir_, database_;
    Session session_;
    ScriptedOperator op_;
};

}  // namespace

TEST(RunAndWait, reportsExitStatusAndOutputAndKeepsOurFiles)
{
    const int held = open("/dev/null", O_RDONLY);  // stands for the database engine's open files
    const auto run = RunAndWait({"/bin/sh", "-c", "echo \"$1\"; test -e /proc/$$/fd/$2 && echo herdado >&2; exit 3",
                                 "sh", "a  b", std::to_string(held)});
    close(held);
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_EQ(run.output, "a  b\n");
    EXPECT_FALSE(RunAndWait({"/nao/existe/gbak"}).started);
}

TEST_F(BackupRestoreTest, rebuildsTheDatabaseAsBdFdbAndKeepsTheOldOne)
{
    // Our own connection holds uncommitted work: committed, and the file released, before the move.
    session_.target.DirectConnect(database_);
    session_.target.Query().SetSql("insert into cliente (cod, nome) values (2, 'BETO')");
    session_.target.Query().Execute();

    Run(op_);

    EXPECT_EQ(op_.Boxes(), std::vector<std::string>{"message: ok"});
    EXPECT_EQ(op_.log, (std::vector<std::string>{"Iniciando Backup", "Aquivo .old criado",
                                                 "gbak -c -user sysdba -pass pxlortevn " + dir_ + "bd.bkp " + dir_ + "bd.fdb"}));
    EXPECT_FALSE(fs::exists(database_));
    EXPECT_TRUE(Exists("bd.old"));
    EXPECT_FALSE(Exists("bd.bkp"));
    EXPECT_EQ(SqlRows(dir_ + "bd.fdb", "select cod, nome from cliente order by cod"),
              (std::vector<std::vector<std::string>>{{"1", "ANA"}, {"2", "BETO"}}));
    EXPECT_EQ(SqlScalar(dir_ + "bd.fdb", "select gen_id(cliente, 1) from rdb$database"), "2");
    EXPECT_FALSE(session_.target.Database().IsOpen());
    EXPECT_EQ(session_.paths.targetDatabase + session_.paths.legacyFolder + op_.targetBox + op_.legacyFolderBox, "");
}

TEST_F(BackupRestoreTest, refusesBeforeTouchingAnything)
{
    ScriptedOperator blank;
    blank.targetBox = " \t ";
    Run(blank);
    EXPECT_EQ(blank.Boxes(), std::vector<std::string>{"message: Caminho BD QuibraW nao foi preenchido!"});
    EXPECT_EQ(blank.focused, FocusTarget::TargetBox);

    // gbak on the system's search path is not enough: it must lie beside the program.
    TempFolder noGbak;
    session_.programFolder = noGbak.Path();
    ScriptedOperator missing;
    missing.targetBox = database_;
    Run(missing);
    EXPECT_EQ(missing.Boxes(), std::vector<std::string>{"message: O arquivo Gbak.exe Nao foi encontrado. Faça Uma copia "
                                                        "dele para a pasta deste programa."});
    session_.programFolder = programFolder_.Path();
    ExpectUntouched();

    // A "bd.old" of an earlier run would be replaced by the move.
    std::ofstream(dir_ + "bd.old") << "backup anterior";
    Run(op_);
    EXPECT_EQ(op_.Boxes(), std::vector<std::string>{"message: Já existe o arquivo " + dir_ +
                                                    "bd.old. Mova ou apague este arquivo antes do Backup/Restore."});
    EXPECT_EQ(Contents(dir_ + "bd.old"), "backup anterior");
    EXPECT_EQ(op_.targetBox, database_);
    ExpectUntouched();
    fs::remove(dir_ + "bd.old");

    // Another database named "bd.fdb" in the folder: the restore would meet it, so nothing starts.
    std::ofstream(dir_ + "bd.fdb") << "outro banco";
    ScriptedOperator foreign;
    foreign.targetBox = database_;
    Run(foreign);
    EXPECT_EQ(foreign.Boxes(), std::vector<std::string>{"message: A pasta " + dir_ +
                                                        " já tem um bd.fdb que não é o BD escolhido. Mova ou renomeie "
                                                        "esse arquivo antes do Backup/Restore."});
    EXPECT_EQ(Contents(dir_ + "bd.fdb"), "outro banco");
    EXPECT_FALSE(Exists("bd.old"));
    EXPECT_EQ(SqlScalar(database_, "select count(*) from cliente"), "1");
    fs::remove(dir_ + "bd.fdb");

    // A server's database: its folder is not ours to rename files in.
    ScriptedOperator server;
    server.targetBox = "localhost:" + database_;
    Run(server);
    EXPECT_EQ(server.Boxes(), std::vector<std::string>{"message: O Backup/Restore só funciona com um BD deste "
                                                       "computador: localhost:" + database_ +
                                                       " está num servidor. Faça o backup no próprio servidor."});
    ExpectUntouched();
}

TEST_F(BackupRestoreTest, databaseInUseIsNotMoved)
{
    // Another attachment through this process's engine: Linux would let the open file be renamed.
    TargetDatabase other;
    other.DirectConnect(database_);
    Run(op_);
    EXPECT_EQ(op_.Boxes(), std::vector<std::string>{"message: O sistema não Pode fazer backup desse Banco de Dados. "
                                                    "Verifique Se o Bd não está sendo usado em algum terminal"});
    EXPECT_TRUE(fs::exists(database_));
    EXPECT_FALSE(Exists("bd.old"));
    EXPECT_EQ(session_.paths.targetDatabase, database_);
    EXPECT_EQ(op_.targetBox, database_);
    ExpectUntouched();
}

TEST_F(BackupRestoreTest, failedGbakRunsAreReportedAndLoseNothing)
{
    // The backup cannot be written (a folder stands in its place): the database goes back under its own name.
    fs::create_directory(dir_ + "bd.bkp");
    Run(op_);
    ASSERT_EQ(op_.messages.size(), 1u);
    EXPECT_EQ(op_.messages[0].rfind("Ocorreu um Erro: gbak:", 0), 0u) << op_.messages[0];
    EXPECT_EQ(op_.log, std::vector<std::string>{"Iniciando Backup"});
    EXPECT_TRUE(fs::exists(database_));
    EXPECT_FALSE(Exists("bd.old"));
    fs::remove(dir_ + "bd.bkp");

    // A gbak that says it restored but wrote nothing: "bd.old" and "bd.bkp" stay, and the failure is told.
    const std::string script = programFolder_.File("gbak");
    fs::remove(script);
    std::ofstream(script) << "#!/bin/sh\n[ \"$1\" = -c ] && exit 0\nexec /usr/bin/gbak \"$@\"\n";
    fs::permissions(script, fs::perms::owner_all);
    ScriptedOperator op;
    op.targetBox = database_;
    Run(op);
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0], "ok");
    EXPECT_EQ(op.messages[1], "Ocorreu um Erro: o gbak terminou sem criar " + dir_ + "bd.fdb; " + dir_ + "bd.old e " +
                                  dir_ + "bd.bkp foram mantidos");
    EXPECT_EQ(SqlScalar(dir_ + "bd.old", "select count(*) from cliente"), "1");
    EXPECT_GT(fs::file_size(dir_ + "bd.bkp"), 0u);
    EXPECT_FALSE(Exists("bd.fdb"));
}
