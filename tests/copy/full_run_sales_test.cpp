#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/full_migration.h"
#include "tests/support/copy_fixture.h"

namespace {

class FullRunSalesTest : public CopyFixture {
protected:
    FullRunSalesTest()
    {
        op.legacyFolderBox = legacyFolder;
        op.targetBox = databasePath;
        op.checked[CheckBox::CopiaVendas] = true;
        op.checked[CheckBox::CopiaEntradas] = true;
        op.salesFrom = "01/01/2023";
        op.salesTo = "31/12/2023";
        DbfWriter sales;
        sales.Field("CODIGO", 'C', 6).Field("DATA", 'D', 8).Field("TOTAL", 'N', 8, 2).Field("P_TOTAL", 'N', 8, 2);
        for (const char* name : {"QUANT", "PVENDA", "P_COMPRA", "ENTRAD", "CODHIS"}) sales.Field(name, 'N', 8, 2);
        for (const char* name :
             {"UNIDADE", "ALIQUOTA", "ORIGEM", "REP", "VENDEDOR", "CRC", "CLIENTE", "ENTREGA", "PRAZO"})
            sales.Field(name, 'C', 4);
        sales.Record({"1", "20230510", "5", "5"}).Record({"", "20230510", "5", "0"});
        WriteLegacy("KQ000009.dat", sales);
        DbfWriter purchases;
        purchases.Field("NOTA", 'C', 6).Field("CHEGADA", 'D', 8).Field("CODIGO", 'C', 6).Field("QUANT", 'N', 8, 2);
        purchases.Field("P_COMPRA", 'N', 8, 2).Field("DESTINO", 'C', 4).Field("DATA", 'D', 8).Field("FORNEC", 'C', 4);
        purchases.Record({"1", "20230510", "3", "1", "1", "1", "20230510", "2"});
        WriteLegacy("KQ000026.dat", purchases);
    }

    bool Logged(const std::string& line) { return std::find(op.log.begin(), op.log.end(), line) != op.log.end(); }
};

const char* const kSalesMissing = "Arquivo KQ000009.dat Não Foi Encontrado.";

}  // namespace

TEST_F(FullRunSalesTest, salesAndPurchasesAreTheRunsFirstCopies)
{
    RunFullMigration(session, op);
    EXPECT_EQ(op.events.at(1), "log: Iniciando Cópia Vendas...");
    EXPECT_TRUE(Logged("Cópia de Vendas Concluída"));
    EXPECT_TRUE(Logged("Cópia de Entradas Concluída"));
    EXPECT_EQ(op.messages.back(), "Cópia Realizada com Sucesso!");
    EXPECT_TRUE(std::none_of(op.messages.begin(), op.messages.end(),
                             [](const std::string& m) { return m.starts_with("Ocorreu um Erro"); }));
    EXPECT_EQ(Scalar("select count(*) from venda"), "1");
    EXPECT_EQ(Scalar("select count(*) from entrada"), "1");
}

TEST_F(FullRunSalesTest, missingSalesFileIsReportedOnlyWhenCopiaVendasIsTicked)
{
    std::filesystem::remove(legacyFolder + "/KQ000009.dat");
    {
        RunFullMigration(session, op);
        EXPECT_EQ(op.messages.at(0), kSalesMissing);
        EXPECT_TRUE(Logged("Cópia de Entradas Concluída"));  // the run goes on
    }
    {
        op = ScriptedOperator{};
        op.legacyFolderBox = legacyFolder;
        op.targetBox = databasePath;
        RunFullMigration(session, op);
        EXPECT_EQ(std::count(op.messages.begin(), op.messages.end(), kSalesMissing), 0);
        EXPECT_FALSE(Logged("Iniciando Cópia Entradas..."));
    }
}
