#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/commands.h"
#include "session/session.h"
#include "tests/copy/legacy_tables.h"
#include "tests/support/copy_fixture.h"
#include "tests/support/small_tmpfs.h"

namespace fs = std::filesystem;

namespace {

// A product table of `count` records, written by streaming one record template with its code changed.
void WriteLargeProductTable(const std::string& path, int count)
{
    LegacyRecords table = ProductTable();
    table.Add({{"CODIGO", "1"}, {"NOME", "PRODUTO DE TESTE"}, {"UNID", "UN"}, {"P_VENDA", "12.50"}, {"QUANT", "3"}});
    const DbfWriter& writer = table.Writer();
    const std::string bytes = writer.TableBytes();
    const size_t recordLength = writer.ComputedRecordLength();
    const size_t headerLength = bytes.size() - recordLength - 1;  // one record and the end mark
    std::string record = bytes.substr(headerLength, recordLength);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(headerLength));
    for (int code = 1; code <= count; ++code) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%6d", code);
        record.replace(1, 6, digits);  // CODIGO is the first field, N(6)
        out.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
}

class InterruptionTest : public CopyFixture {};

// The console program migrating the legacy folder, its stdout readable line by line.
struct RunningMigration {
    pid_t pid = -1;
    FILE* lines = nullptr;

    RunningMigration(const std::string& legacyFolder, const std::string& databasePath)
    {
        int output[2];
        if (pipe(output) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(output[1], STDOUT_FILENO);
            close(output[0]);
            const std::string cli = std::string(BUILD_DIR) + "/convquibraw-cli";
            execl(cli.c_str(), cli.c_str(), "migrate", "--legacy", legacyFolder.c_str(), "--target",
                  databasePath.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(output[1]);
        lines = fdopen(output[0], "r");
    }

    // Reads up to the product copy's title line; false when the output ended first.
    bool WaitForProducts()
    {
        char line[4096];
        while (fgets(line, sizeof line, lines))
            if (std::string(line).rfind("Iniciando Cópia Produtos...", 0) == 0) return true;
        return false;
    }

    // Everything it writes after this point, and its wait status.
    std::vector<std::string> ReadRest(int& status)
    {
        std::vector<std::string> rest;
        char line[4096];
        while (fgets(line, sizeof line, lines)) rest.emplace_back(line, strcspn(line, "\n"));
        fclose(lines);
        waitpid(pid, &status, 0);
        return rest;
    }
};

void WriteManufacturersAndProducts(const std::string& legacyFolder)
{
    DbfWriter manufacturers;
    manufacturers.Field("CODIGO", 'N', 5).Field("NOME", 'C', 30);
    for (int i = 1; i <= 40; ++i) manufacturers.Record({std::to_string(i), "FABRICANTE"});
    manufacturers.Write(legacyFolder + "/KQ000029.dat");
    WriteLargeProductTable(legacyFolder + "/KQ000006.dat", 200000);
}

}  // namespace

TEST_F(InterruptionTest, killedInTheMiddleOfACopyKeepsOnlyWhatWasCommitted)
{
    WriteManufacturersAndProducts(legacyFolder);
    RunningMigration migration(legacyFolder, databasePath);
    // Wait for the product copy to start, let it write for a while, then pull the plug.
    ASSERT_TRUE(migration.WaitForProducts());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(migration.pid, SIGKILL);
    int status = 0;
    migration.ReadRest(status);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the copy ended before it was killed";

    // Reopened: the manufacturers committed before stay, none of the product copy's pending rows do.
    EXPECT_EQ(Scalar("select count(*) from fabricante"), "40");
    EXPECT_EQ(Scalar("select count(*) from produto"), "0");
}

TEST_F(InterruptionTest, sigintAndSigtermStopAtTheNextRecordRollBackAndExitWithTheSignal)
{
    WriteManufacturersAndProducts(legacyFolder);
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        RunningMigration migration(legacyFolder, databasePath);
        ASSERT_TRUE(migration.WaitForProducts());
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        kill(migration.pid, signalNumber);
        int status = 0;
        const std::vector<std::string> rest = migration.ReadRest(status);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 128 + signalNumber);
        // Nothing but the destination line and the interruption: no failure per record, no completion.
        ASSERT_FALSE(rest.empty());
        EXPECT_EQ(rest.back(), "Comando interrompido: o que esta cópia gravou foi desfeito.");
        EXPECT_LE(rest.size(), 3u) << rest.front();
        EXPECT_EQ(Scalar("select count(*) from fabricante"), "40");
        EXPECT_EQ(Scalar("select count(*) from produto"), "0");
    }
}

TEST_F(InterruptionTest, restoreIntoAFolderWithoutRoomKeepsBothFiles)
{
    // A folder just big enough for the database and its backup, too small for the restored copy.
    const std::string small = folder.Path() + "/pequena";
    const SmallTmpfs disk(small, fs::file_size(databasePath) + 256 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
    const std::string database = small + "/loja.fdb";
    fs::copy_file(databasePath, database);
    SqlExec(database, "insert into cliente (cod, nome) values (1, 'ANA')");

    TempFolder programFolder;
    fs::create_symlink("/usr/bin/gbak", programFolder.Path() + "/gbak");
    session.programFolder = programFolder.Path();
    op.targetBox = database;
    RunCommand(Command::BackupRestore, session, op);

    EXPECT_TRUE(fs::exists(small + "/bd.old"));
    EXPECT_TRUE(fs::exists(small + "/bd.bkp"));
    EXPECT_FALSE(fs::exists(small + "/bd.fdb"));
    // The backup itself succeeded ("ok"); the restore's failure is shown, nothing claims more.
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0], "ok");
    EXPECT_EQ(op.messages[1].rfind("Ocorreu um Erro: ", 0), 0u) << op.messages[1];
    EXPECT_EQ(SqlScalar(small + "/bd.old", "select nome from cliente"), "ANA");
}
