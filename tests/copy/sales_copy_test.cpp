#include <gtest/gtest.h>

#include <map>

#include "common/failure.h"
#include "copy/sales_copy.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;
using Record = std::map<std::string, std::string>;  // field → value; fields left out are blank

namespace {

Record Item(const std::string& codigo, const std::string& data, const std::string& total = "1")
{
    return {{"CODIGO", codigo}, {"DATA", data}, {"P_TOTAL", total}, {"TOTAL", total}};
}

Record Closing(const std::string& data, const std::string& total = "1", const std::string& vendedor = "1")
{
    return {{"DATA", data}, {"TOTAL", total}, {"VENDEDOR", vendedor}, {"CLIENTE", "1"}};
}

class SalesCopyTest : public CopyFixture {
protected:
    void SetUp() override
    {
        Connect();
        op.salesFrom = "01/01/2023";
        op.salesTo = "31/12/2023";
    }

    void Copy(const std::vector<Record>& records)
    {
        const std::vector<std::tuple<const char*, char, int, int>> fields = {
            {"CODIGO", 'C', 12, 0},  {"QUANT", 'N', 10, 4}, {"PVENDA", 'N', 12, 4},   {"P_COMPRA", 'N', 12, 4},
            {"UNIDADE", 'C', 3, 0},  {"ALIQUOTA", 'C', 5, 0}, {"ORIGEM", 'C', 3, 0},  {"P_TOTAL", 'N', 12, 4},
            {"REP", 'C', 6, 0},      {"TOTAL", 'N', 12, 4}, {"DATA", 'D', 8, 0},      {"VENDEDOR", 'C', 14, 0},
            {"CRC", 'C', 3, 0},      {"CLIENTE", 'C', 8, 0}, {"ENTREGA", 'C', 10, 0}, {"CODHIS", 'N', 3, 0},
            {"PRAZO", 'C', 10, 0},   {"ENTRAD", 'N', 12, 4}};
        DbfWriter w;
        for (const auto& [name, type, length, decimals] : fields) w.Field(name, type, length, decimals);
        for (Record record : records) {
            std::vector<std::string> values;
            for (const auto& field : fields) values.push_back(record[std::get<0>(field)]);
            w.Record(values);
        }
        WriteLegacy("Kq000009.DAT", w);
        CopySales(run);
        CommitPending();
    }
};

}  // namespace

TEST(CrcDigits, twoCharactersPerCharacter)
{
    EXPECT_EQ(CrcDigits("4A7 -"), "04170716-3");  // a blank is 32 - 48, "-" 45 - 48
    EXPECT_EQ(CrcDigits("\xC7"), "51");  // 199 - 48 = 151: the last two places
    EXPECT_EQ(CrcDigits(""), "");
    // Every byte as the text of its value less 48 behind "00", cut to the last two places.
    for (int byte = 0; byte < 256; ++byte) {
        const std::string code = "00" + std::to_string(byte - '0');
        EXPECT_EQ(CrcDigits(std::string(1, static_cast<char>(byte))), code.substr(code.size() - 2)) << byte;
    }
}

TEST_F(SalesCopyTest, itemAndClosingRecordsFillEveryColumn)
{
    Copy({{{"CODIGO", "P-0012"}, {"QUANT", "3"}, {"PVENDA", "10.5"}, {"P_COMPRA", "6.25"}, {"UNIDADE", "UN"},
           {"ALIQUOTA", " 17"}, {"ORIGEM", " 2"}, {"P_TOTAL", "28.35"}, {"REP", "R1"}, {"TOTAL", "31.5"},
           {"DATA", "20230510"}, {"CRC", "ZZZ"}},
          {{"CODIGO", "-"}, {"P_TOTAL", "1.25"}, {"TOTAL", "28.35"}, {"DATA", "20230511"}, {"VENDEDOR", "V-07"},
           {"CRC", "4A7"}, {"CLIENTE", "C-0042"}, {"ENTREGA", "AMANHA"}, {"CODHIS", "5"}, {"PRAZO", "30 DIAS"},
           {"ENTRAD", "10.5"}}});
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

TEST_F(SalesCopyTest, dateBoxesLimitTheRecordsInclusively)
{
    Copy({Item("1", "20221231"), Item("2", "20230101"), Closing("20230615"), Item("3", "20231231"),
          Item("4", "20240101")});
    // Item 3 follows the last closing record: its sale has no row, and its number is the one handed out next.
    EXPECT_EQ(Select("select nota, cod from item_venda order by cod"), (Rows{{"1", "2"}, {"2", "3"}}));
    EXPECT_EQ(Scalar("select list(nota) from venda"), "1");
    EXPECT_EQ(op.log.end()[-2], "3 Registros Copiados.");
    EXPECT_EQ(NextValue("venda"), "2");

    op.salesFrom = "31/12/2023";
    op.salesTo = "01/01/2023";
    Copy({Item("2", "20230101"), Closing("20230615")});
    EXPECT_EQ(op.log.end()[-2], "0 Registros Copiados.");

    op.salesTo = "  /  /    ";
    try {
        Copy({Closing("20230615")});
        ADD_FAILURE() << "an empty date box is a failure the copy does not handle";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "'  /  /    ' is not a valid date");
    }
}

TEST_F(SalesCopyTest, recordKindsAndFallbackValues)
{
    Record blankOrigin = Item("7", "20230510");
    blankOrigin["ORIGEM"] = "   ";
    Record noDigits{{"CODIGO", "ABC"}, {"DATA", "20230510"}, {"VENDEDOR", "SEM"}, {"CLIENTE", "BALCAO"},
                    {"CRC", std::string(1, '\0')}};  // a crc whose text form is empty
    Record hugeCode = Closing("20230510", "2");
    hugeCode["CODIGO"] = "99999999999";  // more than an integer holds: a closing record
    hugeCode["CRC"] = "5";  // the two blanks the field keeps are encoded too
    Copy({blankOrigin, noDigits, hugeCode});
    EXPECT_EQ(Select("select nota, cod, origem from item_venda"), (Rows{{"1", "7", "1"}}));
    EXPECT_EQ(Select("select nota, vendedor, cliente, crc, total from venda order by nota"),
              (Rows{{"1", "0", "0", "", "0.0000"}, {"2", "1", "1", "0516016", "2.0000"}}));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SalesCopyTest, failedClosingRecordStillEndsItsSale)
{
    // The seller is written into the statement; this one is beyond the column's range.
    Copy({Item("5", "20230510", "1"), Closing("20230510", "1", "99999999999"), Item("5", "20230511", "2"),
          Closing("20230511", "2")});
    // The next sale's item of the same code neither joins nor overwrites the failed sale's item.
    EXPECT_EQ(Select("select nota, cod, total from item_venda order by nota"),
              (Rows{{"1", "5", "1.0000"}, {"2", "5", "2.0000"}}));
    EXPECT_EQ(Select("select nota, total from venda"), (Rows{{"2", "2.0000"}}));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_TRUE(op.messages[0].starts_with("Ocorreu um Erro: ")) << op.messages[0];
    EXPECT_EQ(op.log.end()[-2], "4 Registros Copiados.");
    // The failed closing record counts as failed, not as written.
    ASSERT_EQ(op.copyCounts.size(), 1u);
    EXPECT_EQ(op.copyCounts[0].written, 3);
    EXPECT_EQ(op.copyCounts[0].failed, 1);
}
