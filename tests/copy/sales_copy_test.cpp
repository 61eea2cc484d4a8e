#include <gtest/gtest.h>

#include "common/failure.h"
#include "copy/sales_copy.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {

// One record of the legacy sales file; fields left empty are written blank.
struct SaleRecord {
    std::string codigo = {};
    std::string quant = {};
    std::string pvenda = {};
    std::string p_compra = {};
    std::string unidade = {};
    std::string aliquota = {};
    std::string origem = {};
    std::string p_total = {};
    std::string rep = {};
    std::string total = {};
    std::string data = {};
    std::string vendedor = {};
    std::string crc = {};
    std::string cliente = {};
    std::string entrega = {};
    std::string codhis = {};
    std::string prazo = {};
    std::string entrad = {};
};

SaleRecord Item(const std::string& codigo, const std::string& data, const std::string& pTotal = "1")
{
    return {.codigo = codigo, .quant = "1", .pvenda = pTotal, .p_total = pTotal, .total = pTotal, .data = data};
}

SaleRecord Closing(const std::string& data, const std::string& total = "1")
{
    return {.total = total, .data = data, .vendedor = "1", .cliente = "1"};
}

DbfWriter SalesFile(const std::vector<SaleRecord>& records)
{
    DbfWriter w;
    w.Field("CODIGO", 'C', 12).Field("QUANT", 'N', 10, 4).Field("PVENDA", 'N', 12, 4).Field("P_COMPRA", 'N', 12, 4);
    w.Field("UNIDADE", 'C', 3).Field("ALIQUOTA", 'C', 5).Field("ORIGEM", 'C', 3).Field("P_TOTAL", 'N', 12, 4);
    w.Field("REP", 'C', 6).Field("TOTAL", 'N', 12, 4).Field("DATA", 'D', 8).Field("VENDEDOR", 'C', 14);
    w.Field("CRC", 'C', 3).Field("CLIENTE", 'C', 14).Field("ENTREGA", 'C', 10).Field("CODHIS", 'N', 3);
    w.Field("PRAZO", 'C', 10).Field("ENTRAD", 'N', 12, 4);
    for (const SaleRecord& r : records)
        w.Record({r.codigo, r.quant, r.pvenda, r.p_compra, r.unidade, r.aliquota, r.origem, r.p_total, r.rep, r.total,
                  r.data, r.vendedor, r.crc, r.cliente, r.entrega, r.codhis, r.prazo, r.entrad});
    return w;
}

class SalesCopyTest : public CopyFixture {
protected:
    void SetUp() override
    {
        Connect();
        op.salesFrom = "01/01/2023";
        op.salesTo = "31/12/2023";
    }

    // Sale number and code of every item, in order.
    Rows Items() { return Select("select nota, cod from item_venda order by nota, cod"); }
    Rows Sales() { return Select("select nota, total from venda order by nota"); }
};

}  // namespace

TEST(CrcDigits, twoCharactersPerCharacter)
{
    EXPECT_EQ(CrcDigits("4A7"), "041707");
    EXPECT_EQ(CrcDigits("09"), "0009");
    EXPECT_EQ(CrcDigits(" "), "16");  // 32 - 48
    EXPECT_EQ(CrcDigits("-"), "-3");  // 45 - 48
    EXPECT_EQ(CrcDigits("\xC7"), "51");  // 199 - 48 = 151, last two places
    EXPECT_EQ(CrcDigits(""), "");
}

TEST_F(SalesCopyTest, itemAndClosingRecordsFillEveryColumn)
{
    WriteLegacy("Kq000009.DAT",
                SalesFile({
                    {.codigo = "P-0012", .quant = "3", .pvenda = "10.5", .p_compra = "6.25", .unidade = "UN",
                     .aliquota = " 17", .origem = " 2", .p_total = "28.35", .rep = "R1", .total = "31.5",
                     .data = "20230510", .crc = "ZZZ"},
                    {.codigo = "", .p_total = "1.25", .total = "28.35", .data = "20230511", .vendedor = "V-07",
                     .crc = "4A7", .cliente = "C-0042", .entrega = "AMANHA", .codhis = "5", .prazo = "30 DIAS",
                     .entrad = "10.5"},
                }));
    CopySales(run);
    CommitPending();
    EXPECT_EQ(Select("select nota, cod, quant, p_venda, p_compra, unid, aliquota, origem, total, crc, rep, desconto, "
                     "data from item_venda"),
              (Rows{{"1", "12", "3.0000", "10.5000", "6.2500", "UN ", "17", " 2 ", "28.3500", "", "R1    ", "3.1500",
                     "2023-05-10"}}));
    EXPECT_EQ(Select("select nota, crc, data, total, vendedor, cliente, desconto, entrega, codhis, prazo, entrada "
                     "from venda"),
              (Rows{{"1", "0417007", "2023-05-11", "28.3500", "7", "42", "1.2500", "AMANHA    ", "5", "30 DIAS   ",
                     "10.5000"}}));
    EXPECT_EQ(op.log, (std::vector<std::string>{"Iniciando Cópia Vendas...", "Origem: " + legacyFolder + "/KQ000009.dat",
                                                "Destino: " + databasePath, "2 Registros Copiados.",
                                                "Cópia de Vendas Concluída"}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(NextValue("venda"), "2");
}

TEST_F(SalesCopyTest, onlyRecordsWithinTheDateBoxesAreCopiedAndCounted)
{
    WriteLegacy("KQ000009.dat", SalesFile({
                                    Item("1", "20221231"),
                                    Item("2", "20230101"),  // first day of the range
                                    Closing("20230615"),
                                    Item("3", "20231231"),  // last day of the range
                                    Closing("20231231"),
                                    Item("4", "20240101"),  // last record, after the range
                                }));
    CopySales(run);
    CommitPending();
    EXPECT_EQ(Items(), (Rows{{"1", "2"}, {"2", "3"}}));
    EXPECT_EQ(Sales(), (Rows{{"1", "1.0000"}, {"2", "1.0000"}}));
    EXPECT_EQ(op.log.end()[-2], "4 Registros Copiados.");

    // A first date after the second copies nothing, and still puts the sequence back on the highest sale.
    op.salesFrom = "31/12/2023";
    op.salesTo = "01/01/2023";
    CopySales(run);
    CommitPending();
    EXPECT_EQ(Items().size(), 2u);
    EXPECT_EQ(op.log.end()[-2], "0 Registros Copiados.");
    EXPECT_EQ(NextValue("venda"), "3");
}

TEST_F(SalesCopyTest, emptyDateBoxEndsTheCopyWithTheTransactionOpen)
{
    WriteLegacy("KQ000009.dat", SalesFile({Item("1", "20230510"), Closing("20230510")}));
    op.salesTo = "  /  /    ";
    try {
        CopySales(run);
        FAIL() << "an empty date box must end the copy";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "'  /  /    ' is not a valid date");
    }
    EXPECT_TRUE(session.target.Transaction().Active());
    EXPECT_EQ(op.log.size(), 3u);  // the header only
}

TEST_F(SalesCopyTest, itemsAfterTheLastClosingRecordTakeTheNextSaleNumber)
{
    WriteLegacy("KQ000009.dat", SalesFile({Item("1", "20230510"), Closing("20230510"), Item("2", "20230511")}));
    CopySales(run);
    CommitPending();
    EXPECT_EQ(Items(), (Rows{{"1", "1"}, {"2", "2"}}));
    EXPECT_EQ(Sales(), (Rows{{"1", "1.0000"}}));
    // Sale 2 has no row: after the resynchronisation it is the number QuibraW hands out next.
    EXPECT_EQ(NextValue("venda"), "2");
}

TEST_F(SalesCopyTest, recordKindAndFallbackValues)
{
    SaleRecord blankOrigin = Item("7", "20230510");
    blankOrigin.origem = "   ";
    SaleRecord noDigits = Closing("20230510");
    noDigits.codigo = "ABC";
    noDigits.vendedor = "SEM";
    noDigits.cliente = "BALCAO";
    noDigits.crc = std::string(1, '\0');  // an empty text form
    SaleRecord hugeCode = Closing("20230510", "2");
    hugeCode.codigo = "99999999999";  // more than an integer holds
    hugeCode.crc = "5";  // the two blanks the field keeps are encoded too
    WriteLegacy("KQ000009.dat", SalesFile({blankOrigin, noDigits, hugeCode}));
    CopySales(run);
    CommitPending();
    EXPECT_EQ(Select("select nota, cod, origem from item_venda"), (Rows{{"1", "7", "1"}}));
    EXPECT_EQ(Select("select nota, vendedor, cliente, crc, total from venda order by nota"),
              (Rows{{"1", "0", "0", "", "1.0000"}, {"2", "1", "1", "0516016", "2.0000"}}));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SalesCopyTest, failedClosingRecordStillEndsItsSale)
{
    SaleRecord failing = Closing("20230510");
    failing.vendedor = "99999999999";  // a seller literal beyond the column's range
    SaleRecord secondItem = Item("5", "20230511", "2");
    WriteLegacy("KQ000009.dat", SalesFile({Item("5", "20230510", "1"), failing, secondItem, Closing("20230511", "2")}));
    CopySales(run);
    CommitPending();
    // The first sale's item keeps its number; the second sale's item of the same code does not overwrite it.
    EXPECT_EQ(Select("select nota, cod, total, data from item_venda order by nota"),
              (Rows{{"1", "5", "1.0000", "2023-05-10"}, {"2", "5", "2.0000", "2023-05-11"}}));
    EXPECT_EQ(Sales(), (Rows{{"2", "2.0000"}}));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].rfind("Ocorreu um Erro: ", 0), 0u) << op.messages[0];
    EXPECT_EQ(op.log.end()[-2], "4 Registros Copiados.");
}
