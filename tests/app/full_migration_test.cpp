#include <gtest/gtest.h>

#include <map>

#include "app/commands.h"
#include "app/full_migration.h"
#include "tests/support/copy_fixture.h"
#include "tests/support/synthetic_legacy.h"

namespace {

class FullMigrationTest : public CopyFixture {
protected:
    FullMigrationTest()
    {
        session.paths = RememberedPaths{};
        op.legacyFolderBox = legacyFolder;
        op.targetBox = databasePath;
    }

    bool AnyDialog() const
    {
        for (const auto& event : op.events)
            if (event.rfind("folder-dialog", 0) == 0 || event.rfind("file-dialog", 0) == 0) return true;
        return false;
    }

    void WriteManufacturers()
    {
        DbfWriter w;
        w.Field("CODIGO", 'N', 5).Field("NOME", 'C', 30);
        w.Record({"1", "ACME"});
        WriteLegacy("KQ000029.dat", w);
    }
};

}  // namespace

TEST_F(FullMigrationTest, folderWithoutTablesReportsEachMissingFile)
{
    op.checked[CheckBox::CopiaVendas] = true;
    RunCommand(Command::StartCopy, session, op);
    auto missing = [](const char* file) { return std::string("message: Arquivo ") + file + " Não Foi Encontrado."; };
    auto ownCheck = [this](const char* file) {
        return "message: Arquivo " + legacyFolder + "/" + file + " Não Encontrado";
    };
    EXPECT_EQ(op.Boxes(), (std::vector<std::string>{
                              missing("KQ000009.dat"), ownCheck("KQ000034.dat"), ownCheck("KQ000039.dat"),
                              missing("KQ000012.dat"), missing("KQ000014.dat"), missing("KQ000016.dat"),
                              missing("KQ000015.dat"), missing("KQ000018.dat"), ownCheck("KQ000051.dat"),
                              missing("KQ000030.dat"), missing("KQ000017.dat"), missing("KQ000004.dat"),
                              missing("KQ000029.dat"), missing("KQ000006.dat"),
                              "message: Cópia Realizada com Sucesso!"}));
    EXPECT_FALSE(AnyDialog());
    EXPECT_TRUE(session.paths.legacyFolder.empty());
    EXPECT_TRUE(session.paths.targetDatabase.empty());
    EXPECT_EQ(op.legacyFolderBox, legacyFolder);  // the boxes keep their texts for the next run
}

TEST_F(FullMigrationTest, salesUntickedSaysNothingAboutTheSalesFile)
{
    RunCommand(Command::StartCopy, session, op);
    for (const auto& box : op.Boxes()) EXPECT_EQ(box.find("KQ000009"), std::string::npos) << box;
    EXPECT_EQ(op.Boxes().back(), "message: Cópia Realizada com Sucesso!");
}

TEST_F(FullMigrationTest, emptyFolderBoxAsksForTheFolderFirst)
{
    op.legacyFolderBox.clear();
    RunCommand(Command::StartCopy, session, op);  // the folder dialog is cancelled
    EXPECT_EQ(op.events, (std::vector<std::string>{"message: Selecione um Diretório do QuibraDOS",
                                                   "folder-dialog: Procure a Pasta do Quibra_DOS"}));

    // A chosen folder is used, and an empty database box opens the file dialog without a message.
    ScriptedOperator second;
    second.folderAnswers.push_back(legacyFolder);
    second.fileAnswers.push_back(databasePath);
    WriteManufacturers();
    RunFullMigration(session, second);
    EXPECT_EQ(second.events[0], "message: Selecione um Diretório do QuibraDOS");
    EXPECT_EQ(second.events[2], "file-dialog: ");
    EXPECT_EQ(second.Boxes().back(), "message: Cópia Realizada com Sucesso!");
    EXPECT_EQ(Scalar("select trim(nome) from fabricante where cod = 1"), "ACME");
}

TEST_F(FullMigrationTest, typedPathsAreUsedAgainOnTheNextRun)
{
    WriteManufacturers();
    RunFullMigration(session, op);
    SqlExec(databasePath, "delete from fabricante");
    ScriptedOperator second;
    second.legacyFolderBox = op.legacyFolderBox;
    second.targetBox = op.targetBox;
    RunFullMigration(session, second);
    EXPECT_FALSE(std::any_of(second.events.begin(), second.events.end(),
                             [](const std::string& e) { return e.find("dialog") != std::string::npos; }));
    EXPECT_EQ(Scalar("select count(*) from fabricante"), "1");
}

TEST_F(FullMigrationTest, unreachableDatabaseEndsTheRun)
{
    op.targetBox = folder.Path() + "/nada.fdb";
    RunCommand(Command::StartCopy, session, op);
    EXPECT_EQ(op.messages, std::vector<std::string>{kCannotConnectMessage});
}

TEST_F(FullMigrationTest, unhandledFailureEndsTheWholeRun)
{
    DbfWriter cfops;
    cfops.Field("CODIGO", 'C', 6).Field("NOME", 'C', 40);  // its other fields are missing
    cfops.Record({"1", "VENDA"});
    WriteLegacy("KQ000039.dat", cfops);
    WriteManufacturers();
    RunCommand(Command::StartCopy, session, op);
    ASSERT_EQ(op.errors, std::vector<std::string>{"table1: Field 'pis' not found."});
    EXPECT_EQ(std::count(op.messages.begin(), op.messages.end(), "Cópia Realizada com Sucesso!"), 0);
    EXPECT_EQ(session.paths.legacyFolder, legacyFolder);  // not cleared
    EXPECT_TRUE(session.target.Transaction().Active());
    EXPECT_EQ(Scalar("select count(*) from fabricante"), "0");  // later copies were not called
}

TEST_F(FullMigrationTest, everyFileOfAShopLandsAndASecondRunOverwritesKeyedRows)
{
    WriteSyntheticLegacyFolder(legacyFolder, 0.01);
    op.checked[CheckBox::CopiaVendas] = true;
    op.checked[CheckBox::CopiaEntradas] = true;
    op.salesFrom = "01/01/1900";
    op.salesTo = "31/12/2099";
    RunCommand(Command::StartCopy, session, op);
    EXPECT_EQ(op.Boxes(), std::vector<std::string>{"message: Cópia Realizada com Sucesso!"});
    EXPECT_EQ(op.log[0], "Iniciando Cópia Clientes...");  // the client copy clears the log

    // Tables whose key comes from the legacy record: a second run overwrites its rows.
    const std::vector<std::string> keyed = {"COD_OP", "HISCAIXA",  "vendedor", "grupoprod", "grupodecaixa",
                                            "fabricante", "fornecedor", "cliente", "produto", "entrada",
                                            "item_entrada"};
    // Tables numbered by a sequence or by plain inserts: a second run adds its rows again.
    const std::vector<std::string> appended = {"venda", "item_venda", "AGENDA", "caixa", "contaspagar",
                                               "contasreceber"};
    std::map<std::string, int> first;
    for (const auto& list : {keyed, appended})
        for (const std::string& table : list) {
            first[table] = std::stoi(Scalar("select count(*) from " + table));
            EXPECT_GT(first[table], 0) << table;
        }

    op = ScriptedOperator{};
    op.legacyFolderBox = legacyFolder;
    op.targetBox = databasePath;
    op.checked[CheckBox::CopiaVendas] = true;
    op.checked[CheckBox::CopiaEntradas] = true;
    op.salesFrom = "01/01/1900";
    op.salesTo = "31/12/2099";
    RunCommand(Command::StartCopy, session, op);
    EXPECT_EQ(op.Boxes(), std::vector<std::string>{"message: Cópia Realizada com Sucesso!"});
    for (const std::string& table : keyed)
        EXPECT_EQ(std::stoi(Scalar("select count(*) from " + table)), first[table]) << table;
    for (const std::string& table : appended)
        EXPECT_EQ(std::stoi(Scalar("select count(*) from " + table)), 2 * first[table]) << table;
}
