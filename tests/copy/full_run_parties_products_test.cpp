#include <gtest/gtest.h>

#include "app/full_migration.h"
#include "tests/copy/legacy_tables.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {
class FullRunPartiesProductsTest : public CopyFixture {};
}  // namespace

TEST_F(FullRunPartiesProductsTest, clientsSuppliersAndProductsLandAndTheLogBeginsWithTheClients)
{
    WriteLegacy("KQ000012.dat", ClientTable().Add({{"CODIGO", "C-7"}, {"NOME", "CLIENTE"}}).Writer());
    WriteLegacy("KQ000018.dat", SupplierTable().Add({{"CODIGO", "F-3"}, {"NOME", "FORNECEDOR"}}).Writer());
    WriteLegacy("KQ000006.dat", ProductTable().Add({{"CODIGO", "11"}, {"NOME", "PRODUTO"}}).Writer());
    session.paths = RememberedPaths{};
    op.legacyFolderBox = legacyFolder;
    op.targetBox = databasePath;

    RunFullMigration(session, op);

    EXPECT_EQ(Select("select cod, nome from cliente"), (Rows{{"7", "CLIENTE"}}));
    EXPECT_EQ(Select("select cod, nome from fornecedor"), (Rows{{"3", "FORNECEDOR"}}));
    EXPECT_EQ(Select("select cod, nome from produto"), (Rows{{"11", "PRODUTO"}}));
    ASSERT_GE(op.log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(op.log.begin(), op.log.begin() + 3),
              (std::vector<std::string>{"Iniciando Cópia Clientes...", "Origem: " + legacyFolder,
                                        "Destino: " + databasePath}));
    // The supplier and product copies come later, each after a separator.
    EXPECT_EQ(op.log[5], "**************************");
    EXPECT_EQ(op.log[6], "Iniando Cópia Fornecedores...");
    EXPECT_EQ(op.log.end()[-5], "Iniciando Cópia Produtos...");
    EXPECT_EQ(op.log.back(), "Cópia de Produtos Concluído");
    for (const char* present : {"KQ000012.dat", "KQ000018.dat", "KQ000006.dat"})
        for (const std::string& message : op.messages) EXPECT_EQ(message.find(present), std::string::npos) << message;
    EXPECT_EQ(op.messages.back(), "Cópia Realizada com Sucesso!");
}
