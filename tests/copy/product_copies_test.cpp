#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/full_migration.h"
#include "common/failure.h"
#include "copy/product_copies.h"
#include "tests/copy/legacy_tables.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {

class ProductCopiesTest : public CopyFixture {};

void WriteProduct(LegacyRecords& table, const std::string& code, const std::string& name, bool deleted = false)
{
    table.Add({{"CODIGO", code}, {"NOME", name}, {"LOCALIZA", " A-01 "}, {"ALIQUOTA", "T1"}}, deleted);
}

}  // namespace

TEST_F(ProductCopiesTest, productsMapEveryColumnWithAutoPartsEquivalents)
{
    Connect();
    op.checked[CheckBox::AutoPecas] = true;
    auto legacy = ProductTable();
    legacy.Add({{"CODIGO", "123"}, {"NOME", " PARAFUSO 10MM "}, {"UNID", "PC"}, {"IGUAL", " P10 "},
                {"CODBAR", "7890000000012"}, {"LOCALIZA", " B-07 "}, {"FORNEC", "F-12"}, {"FABRIC", "fab 3"},
                {"ALIQUOTA", " 7"}, {"REFORI", "REF-1"}, {"CLASSIF", "7318.15"}, {"APLIC", " USO GERAL "},
                {"GRUPO", "G4"}, {"SERIE", "S1"}, {"IS_PIS", "1"}, {"EMB", "CX"}, {"DESC_ATAC", "5"},
                {"P_VENDA", "12.50"}, {"P_VENDA1", "11.90"}, {"P_COMPRA", "7.25"}, {"LUCRO", "72.41"},
                {"QUANT", "40.500"}, {"DEPOSITO", "3.000"}, {"COMISSAO", "2.50"}, {"CREDICM", "12.00"},
                {"BASECRED", "100.00"}, {"DEBICM", "17.00"}, {"BASEDEB", "90.00"}, {"FRETE", "1.10"},
                {"ENCARGOS", "0.40"}, {"FRACAO", "0.125"}, {"AGREGADO", "30.00"}, {"SUGESTAO", "13.00"},
                {"COMPRA", "7.00"}, {"DEV_ICM", "1.20"}});
    WriteLegacy("kq000006.dat", legacy.Writer());

    CopyProducts(run);

    EXPECT_EQ(Select("select cod, nome, unid, igual, codbar, localiza, fornec, fabric, aliquota, refori, classif, "
                     "aplic, grupo, serie, is_pis, emb, desc_atac, p_venda, p_venda1, p_compra, lucro, quant, "
                     "deposito, comissao, credicm, basecred, debicm, basedeb, frete, encargos, fracao, agregado, "
                     "sal, sad, sugestao, compra, dev_icm, equiva from produto"),
              (Rows{{"123",      "PARAFUSO 10MM", "PC",      "P10",      "7890000000012", "B-07",    "12",
                     "3",        " 7  ",          "REF-1",   "7318.15",  "USO GERAL",     "4",       "S1",
                     "1 ",       "CX",            "5.0000",  "12.5000",  "11.9000",       "7.2500",  "72.4100",
                     "40.5000",  "3.0000",        "2.5000",  "12.0000",  "100.0000",      "17.0000", "90.0000",
                     "1.1000",   "0.4000",        "0.1250",  "30.0000",  "40.5000",       "0.0000",  "13.0000",
                     "7.0000",   "1.2000",        "B-07"}}));
    EXPECT_EQ(op.log, (std::vector<std::string>{"Iniciando Cópia Produtos...", "Origem: " + legacyFolder + "/KQ000006.dat",
                                                "Destino: " + databasePath, "1 Registros Copiados.",
                                                "Cópia de Produtos Concluído"}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(session.target.Transaction().Active());
    EXPECT_EQ(NextValue("produto"), "124");
}

TEST_F(ProductCopiesTest, deletedProductsAreNeitherCopiedNorCounted)
{
    Connect();
    auto legacy = ProductTable();
    WriteProduct(legacy, "1", "APAGADO NO INICIO", LegacyRecords::kDeleted);
    WriteProduct(legacy, "2", "PRIMEIRO");
    WriteProduct(legacy, "3", "APAGADO NO MEIO", LegacyRecords::kDeleted);
    legacy.Add({{"CODIGO", "4"}, {"NOME", "SEM ALIQUOTA"}, {"ALIQUOTA", "    "}, {"LOCALIZA", "C-3"}});
    WriteProduct(legacy, "5", "APAGADO NO FIM", LegacyRecords::kDeleted);
    WriteLegacy("KQ000006.dat", legacy.Writer());

    CopyProducts(run);

    // "Auto Peças" unticked: no equivalents. A blank rate becomes "02".
    EXPECT_EQ(Select("select cod, nome, aliquota, equiva from produto order by cod"),
              (Rows{{"2", "PRIMEIRO", "T1  ", ""}, {"4", "SEM ALIQUOTA", "02", ""}}));
    EXPECT_EQ(op.log.end()[-2], "2 Registros Copiados.");
    EXPECT_EQ(NextValue("produto"), "5");
}

TEST_F(ProductCopiesTest, emptyProductTableRestartsTheSequenceAtZero)
{
    Connect();
    SqlExec(databasePath, "alter sequence produto restart with 70");
    auto legacy = ProductTable();
    WriteProduct(legacy, "1", "SO APAGADO", LegacyRecords::kDeleted);
    WriteLegacy("KQ000006.dat", legacy.Writer());

    CopyProducts(run);

    EXPECT_TRUE(op.errors.empty());
    EXPECT_EQ(op.log.end()[-2], "0 Registros Copiados.");
    EXPECT_EQ(session.copy.highestCode, "0");
    EXPECT_EQ(NextValue("produto"), "1");
}

TEST(ProductFieldName, onlyPlainIdentifiersAreAccepted)
{
    for (const char* name : {"nome", "P_VENDA1", "a", "x$y", "equiva_2", "abcdefghijklmnopqrstuvwxyz01234"})
        EXPECT_TRUE(IsPlainIdentifier(name)) << name;
    for (const char* name : {"", "1nome", "_nome", "$x", "nome ", " nome", "p-venda", "preço",
                             "abcdefghijklmnopqrstuvwxyz012345", "nome = 'x', quant", "nome=nome--", "\"nome\""})
        EXPECT_FALSE(IsPlainIdentifier(name)) << name;
}

namespace {

// A text field of the product table as read: padded to its width.
std::string Aplic(const std::string& text) { return text + std::string(40 - text.size(), ' '); }

// The update as the operator starts it: both boxes filled, both names typed.
class ProductFieldUpdateTest : public ProductCopiesTest {
protected:
    ProductFieldUpdateTest()
    {
        session.paths = RememberedPaths{};  // a window where no command has run yet
        op.legacyFolderBox = legacyFolder;
        op.targetBox = databasePath;
        SqlExec(databasePath, "insert into produto (cod, nome, quant) values (1, 'UM', 1)");
        SqlExec(databasePath, "insert into produto (cod, nome, quant) values (2, 'DOIS', 2)");
        SqlExec(databasePath, "insert into produto (cod, nome, quant) values (3, 'TRES', 3)");
    }

    void Type(const std::string& column, const std::string& legacyField)
    {
        op.textAnswers = {column, legacyField};
    }

    void WriteProducts()
    {
        auto legacy = ProductTable();
        legacy.Add({{"CODIGO", "1"}, {"APLIC", "NOVO UM"}, {"QUANT", "10.5"}});
        legacy.Add({{"CODIGO", "2"}, {"APLIC", "NOVO DOIS"}, {"QUANT", "20"}}, LegacyRecords::kDeleted);
        legacy.Add({{"CODIGO", "9"}, {"APLIC", "NAO EXISTE"}, {"QUANT", "90"}});
        WriteLegacy("KQ000006.dat", legacy.Writer());
    }

    std::vector<std::string> AskEvents() const
    {
        std::vector<std::string> asks;
        for (const std::string& e : op.events)
            if (e.rfind("ask: ", 0) == 0) asks.push_back(e);
        return asks;
    }
};

}  // namespace

TEST_F(ProductFieldUpdateTest, everyRecordDeletedOnesIncludedOverwritesTheColumn)
{
    WriteProducts();
    Type("nome", "aplic");

    RunCommandUnreported(Command::UpdateProductField, session, op);

    EXPECT_EQ(AskEvents(), (std::vector<std::string>{
                               "ask: Atualização de Campo de Produto | Informe o Campo do QuibraW: | ",
                               "ask: Atualização de Campo de Produto | Informe o Campo do Quibra: | "}));
    EXPECT_EQ(Select("select cod, nome from produto order by cod"),
              (Rows{{"1", Aplic("NOVO UM")}, {"2", Aplic("NOVO DOIS")}, {"3", "TRES"}}));
    EXPECT_EQ(op.log, (std::vector<std::string>{"Iniciando Atualização de campo..",
                                                "Origem: " + legacyFolder + "/KQ000006.dat", "Destino: " + databasePath,
                                                "3 Registros Copiados.", "Cópia de Produtos Concluído"}));
    EXPECT_TRUE(op.messages.empty());
    // The boxes became the paths the update worked on.
    EXPECT_EQ(session.paths.legacyFolder, legacyFolder);
    EXPECT_EQ(session.paths.targetDatabase, databasePath);
    EXPECT_EQ(NextValue("produto"), "4");
}

TEST_F(ProductFieldUpdateTest, cancellingEitherBoxEndsSilently)
{
    WriteProducts();
    for (const auto& answers : {std::deque<std::optional<std::string>>{std::nullopt},
                                std::deque<std::optional<std::string>>{""},
                                std::deque<std::optional<std::string>>{"nome", std::nullopt},
                                std::deque<std::optional<std::string>>{"nome", ""}}) {
        op.textAnswers = answers;
        RunCommandUnreported(Command::UpdateProductField, session, op);
    }
    EXPECT_EQ(AskEvents().size(), 6u);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(op.log.empty());
    EXPECT_EQ(Scalar("select nome from produto where cod = 1"), "UM");
}

TEST_F(ProductFieldUpdateTest, aColumnNameCarryingSqlIsRefused)
{
    WriteProducts();
    const std::string typed = "nome = 'X', quant = 0 where 1 = 1 --";
    Type(typed, "aplic");
    RunCommandUnreported(Command::UpdateProductField, session, op);
    EXPECT_EQ(op.messages, std::vector<std::string>{"Campo do QuibraW inválido: " + typed});
    EXPECT_EQ(AskEvents().size(), 1u);
    EXPECT_TRUE(op.log.empty());
    EXPECT_EQ(Select("select nome, quant from produto order by cod"),
              (Rows{{"UM", "1.0000"}, {"DOIS", "2.0000"}, {"TRES", "3.0000"}}));
}

TEST_F(ProductFieldUpdateTest, anUnknownLegacyFieldReachesTheErrorReport)
{
    WriteProducts();
    Type("nome", "naoexiste");
    RunCommand(Command::UpdateProductField, session, op);
    EXPECT_EQ(op.errors, std::vector<std::string>{"table1: Field 'naoexiste' not found."});
    EXPECT_EQ(op.log.size(), 3u);  // the header comes before the first record fails

    Type("nome", "naoexiste");
    EXPECT_THROW(
        {
            try {
                RunCommandUnreported(Command::UpdateProductField, session, op);
            } catch (const Failure& failure) {
                EXPECT_STREQ(failure.what(), "table1: Field 'naoexiste' not found");
                throw;
            }
        },
        Failure);
}

TEST_F(ProductFieldUpdateTest, missingPathsAreAskedFor)
{
    WriteProducts();
    {  // a folder without the product file: the message, then the folder dialog; no database: its own message
        op.legacyFolderBox = folder.Path();
        op.targetBox = "";
        op.folderAnswers = {legacyFolder};
        Type("nome", "aplic");
        RunCommandUnreported(Command::UpdateProductField, session, op);
        EXPECT_EQ(op.Boxes(), (std::vector<std::string>{"message: Selecione um Diretório do QuibraDOS",
                                                        "message: Selecione um BD do QuibraW (bd.fdb)"}));
        EXPECT_EQ(op.legacyFolderBox, legacyFolder);
        EXPECT_TRUE(op.log.empty());
    }
    {  // the database chosen in its dialog is the one updated
        op.events.clear();
        op.messages.clear();
        op.targetBox = folder.Path() + "/outro.fdb";
        op.fileAnswers = {databasePath};
        Type("nome", "aplic");
        RunCommandUnreported(Command::UpdateProductField, session, op);
        EXPECT_TRUE(op.messages.empty());
        EXPECT_EQ(Scalar("select nome from produto where cod = 1"), Aplic("NOVO UM"));
    }
}

TEST_F(ProductFieldUpdateTest, afterAFullRunTheBoxesStillLeadTheUpdate)
{
    op.textAnswers = {};
    RunFullMigration(session, op);  // no legacy tables: every copy is passed over, the paths are forgotten
    ASSERT_EQ(op.messages.back(), "Cópia Realizada com Sucesso!");
    ASSERT_TRUE(session.paths.legacyFolder.empty());
    WriteProducts();
    op.messages.clear();
    op.log.clear();
    Type("nome", "aplic");
    RunCommandUnreported(Command::UpdateProductField, session, op);
    EXPECT_TRUE(op.messages.empty()) << op.messages.front();
    EXPECT_EQ(Scalar("select nome from produto where cod = 1"), Aplic("NOVO UM"));
}
