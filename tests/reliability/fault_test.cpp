#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "session/target_database.h"
#include "common/failure.h"
#include "copy/reference_copies.h"
#include "legacy/legacy_table.h"
#include "tests/support/copy_fixture.h"

namespace {

class FaultTest : public CopyFixture {
protected:
    void WriteManufacturers(int count)
    {
        DbfWriter w;
        w.Field("CODIGO", 'N', 5).Field("NOME", 'C', 30);
        for (int i = 1; i <= count; ++i) w.Record({std::to_string(i), "FABRICANTE " + std::to_string(i)});
        WriteLegacy("KQ000029.dat", w);
    }
};

}  // namespace

TEST_F(FaultTest, rowLockedByAnotherConnectionFailsAloneAndTheRestLands)
{
    SqlExec(databasePath, "insert into fabricante (cod, nome) values (3, 'ANTES')");
    FbConnection other;
    other.DirectConnect(databasePath);
    other.Query().SetSql("update fabricante set nome = 'OUTRO PROGRAMA' where cod = 3");
    other.Query().Execute();  // holds the row lock in its open transaction

    Connect();
    WriteManufacturers(5);
    CopyManufacturers(run);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].rfind("Ocorreu um Erro: ", 0), 0u);
    EXPECT_NE(op.messages[0].find("update conflicts with concurrent update"), std::string::npos) << op.messages[0];
    EXPECT_EQ(op.log.end()[-2], "5 Registros Copiados.");
    other.Transaction().Rollback();
    EXPECT_EQ(Select("select cod, trim(nome) from fabricante order by cod"),
              (std::vector<std::vector<std::string>>{{"1", "FABRICANTE 1"}, {"2", "FABRICANTE 2"}, {"3", "ANTES"},
                                                     {"4", "FABRICANTE 4"}, {"5", "FABRICANTE 5"}}));
}

TEST_F(FaultTest, legacyFileHeldByAnotherProgramShowsOnlyTheOpeningMessage)
{
    Connect();
    WriteManufacturers(3);
    // Another process holds it: a child takes the lock, as the legacy system would.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open((legacyFolder + "/KQ000029.dat").c_str(), O_RDONLY);
        flock(fd, LOCK_EX);
        (void)!write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    CopyManufacturers(run);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(op.events, std::vector<std::string>{
                             "message: Não Foi Possivel Conectar em KQ000029.dat. Verifique Se o Caminho Está Correto."});
    EXPECT_EQ(Scalar("select count(*) from fabricante"), "0");
}

TEST_F(FaultTest, targetThatIsNoDatabaseGivesTheConnectMessage)
{
    WriteFileBytes(folder.Path() + "/texto.fdb", "isto não é um banco\n");
    for (const std::string& target : {folder.Path(), folder.Path() + "/texto.fdb", folder.Path() + "/falta.fdb"}) {
        session.paths.targetDatabase = target;
        ScriptedOperator fresh;
        EXPECT_FALSE(session.target.Connect(fresh, session.paths)) << target;
        EXPECT_EQ(fresh.messages, std::vector<std::string>{kCannotConnectMessage}) << target;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/falta.fdb"));
}

TEST(LegacyPrefixes, everyPrefixOpensCleanlyOrReadsOnlyWholeRecords)
{
    TempFolder folder;
    DbfWriter w;
    w.Field("CODIGO", 'N', 5).Field("NOME", 'C', 30).Field("DATA", 'D', 8).Field("VALOR", 'N', 10, 2);
    for (int i = 1; i <= 6; ++i) w.Record({std::to_string(i), "NOME " + std::to_string(i), "20230105", "12.50"});
    const std::string bytes = w.TableBytes();
    const size_t headerLength = 32 + 4 * 32 + 1;
    const size_t recordLength = w.ComputedRecordLength();
    const std::string path = folder.Path() + "/KQ000029.dat";
    for (size_t length = 0; length <= bytes.size(); ++length) {
        WriteFileBytes(path, bytes.substr(0, length));
        LegacyTable table;
        table.SetDBFFileName(path);
        try {
            table.Open();
        } catch (const Failure&) {
            EXPECT_LT(length, headerLength) << "a whole header must open, cut at " << length;
            continue;
        }
        ASSERT_GE(length, headerLength);
        const int whole = static_cast<int>((length - headerLength) / recordLength);
        EXPECT_EQ(table.RecordTotal(), whole) << length;
        int visited = 0;
        for (table.MoveFirst(); table.HasRecords() && !table.IsPastEnd(); table.MoveNext()) {
            ++visited;
            for (const auto& field : table.Fields()) (void)field.Bytes();
        }
        EXPECT_EQ(visited, whole) << length;
    }
}
