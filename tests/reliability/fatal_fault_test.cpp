#include <gtest/gtest.h>


#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/commands.h"
#include "tests/support/copy_fixture.h"
#include "tests/support/small_tmpfs.h"

namespace fs = std::filesystem;

namespace {

// Runs something once, when the copy with the given title is past its tenth record.
class FaultingOperator : public ScriptedOperator {
public:
    std::string title;
    std::function<void()> fault;

    void ProcessEvents() override
    {
        ScriptedOperator::ProcessEvents();
        if (fault && std::find(log.begin(), log.end(), title) != log.end()) std::exchange(fault, nullptr)();
    }
};

class FatalFaultTest : public CopyFixture {
protected:
    // Product groups first (committed by their copy), then manufacturers, in a full run.
    void WriteTables(int manufacturers)
    {
        DbfWriter groups;
        groups.Field("CODIGO", 'N', 5).Field("NOME", 'C', 30);
        for (int i = 1; i <= 3; ++i) groups.Record({std::to_string(i), "GRUPO " + std::to_string(i)});
        WriteLegacy("KQ000030.dat", groups);
        DbfWriter w;
        w.Field("CODIGO", 'N', 6).Field("NOME", 'C', 60);
        for (int i = 1; i <= manufacturers; ++i)
            w.Record({std::to_string(i), "FABRICANTE COM UM NOME BEM COMPRIDO " + std::to_string(i)});
        WriteLegacy("KQ000029.dat", w);
    }

    void RunMigration(const std::string& target)
    {
        fop.legacyFolderBox = legacyFolder;
        fop.targetBox = target;
        RunCommand(Command::StartCopy, session, fop);
    }

    // The run stopped at the fault: one report, no per-record box, no success.
    void ExpectStoppedWith(const std::string& whatHappened)
    {
        ASSERT_EQ(fop.errors.size(), 1u);
        EXPECT_EQ(fop.errors[0].rfind(whatHappened, 0), 0u) << fop.errors[0];
        EXPECT_NE(fop.errors[0].find("nada desta cópia foi gravado"), std::string::npos);
        EXPECT_NE(fop.errors[0].find("Mensagem do servidor: "), std::string::npos);
        for (const std::string& message : fop.messages) {
            EXPECT_EQ(message.find("Ocorreu um Erro"), std::string::npos) << message;
            EXPECT_NE(message, "Cópia Realizada com Sucesso!");
        }
        EXPECT_EQ(std::count(fop.log.begin(), fop.log.end(), "Iniciando Cópia Produtos..."), 0);
    }

    FaultingOperator fop;
};

}  // namespace

TEST_F(FatalFaultTest, connectionKilledMidCopyEndsTheRunAndKeepsOnlyEarlierCopies)
{
    WriteTables(300);
    FbConnection killer;
    killer.DirectConnect(databasePath);
    fop.title = "Iniando Cópia Fabricantes...";
    fop.fault = [&] {
        killer.Query().SetSql("delete from mon$attachments where mon$attachment_id <> current_connection");
        killer.Query().Execute();
        killer.Transaction().Commit();
    };
    RunMigration(databasePath);

    ExpectStoppedWith("A conexão com o banco de dados foi perdida.");
    EXPECT_FALSE(session.target.Database().IsOpen());
    killer.Database().Close();
    EXPECT_EQ(Scalar("select count(*) from grupoprod"), "3");
    EXPECT_EQ(Scalar("select count(*) from fabricante"), "0");
}

TEST_F(FatalFaultTest, fullDiskEndsTheCopyAndLeavesNoneOfItsRows)
{
    const std::string small = folder.Path() + "/pequena";
    const SmallTmpfs disk(small, fs::file_size(databasePath) + 96 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Error();
    const std::string database = small + "/bd.fdb";
    fs::copy_file(databasePath, database);
    WriteTables(20000);
    RunMigration(database);

    ExpectStoppedWith("Erro de leitura ou gravação no arquivo do banco de dados");
    EXPECT_EQ(SqlScalar(database, "select count(*) from fabricante"), "0");
}
