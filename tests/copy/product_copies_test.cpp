#include <gtest/gtest.h>

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
