#include <gtest/gtest.h>

#include "copy/purchase_copy.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {

// nota, chegada, codigo, quant, P_COMPRA, destino, data, fornec
using Record = std::vector<std::string>;

Record Purchase(const std::string& nota, const std::string& chegada, const std::string& codigo,
                const std::string& quant = "1", const std::string& price = "1")
{
    return {nota, chegada, codigo, quant, price, "1", "20230601", "9"};
}

class PurchaseCopyTest : public CopyFixture {
protected:
    void SetUp() override
    {
        Connect();
        op.checked[CheckBox::CopiaEntradas] = true;
        op.salesFrom = "01/06/2023";
    }

    // The arrival date is a date field, or a text field where a test needs texts that are no date.
    void Copy(const std::vector<Record>& records, char arrivalType = 'D')
    {
        DbfWriter w;
        w.Field("NOTA", 'C', 12).Field("CHEGADA", arrivalType, arrivalType == 'D' ? 8 : 10).Field("CODIGO", 'C', 8);
        w.Field("QUANT", 'N', 10, 4).Field("P_COMPRA", 'N', 12, 4).Field("DESTINO", 'C', 12).Field("DATA", 'D', 8);
        w.Field("FORNEC", 'C', 8);
        for (const Record& record : records) w.Record(record);
        WriteLegacy("kq000026.Dat", w);
        CopyPurchases(run);
        CommitPending();
    }

    Rows Notes() { return Select("select nota, total_nota from entrada order by nota"); }
    Rows Items() { return Select("select nota, cod from item_entrada order by cod"); }
};

}  // namespace

TEST_F(PurchaseCopyTest, oneNoteWritesItsItemsAndThenItsTotal)
{
    op.checked[CheckBox::CopiaEntradas] = false;
    Copy({Purchase("1", "20230601", "5")});
    EXPECT_TRUE(op.log.empty());
    EXPECT_TRUE(Items().empty());

    op.checked[CheckBox::CopiaEntradas] = true;
    Copy({{"NF-100", "20230602", "A12", "3", "2.5", "D-2", "20230530", "F-0009"},
          // 0.00015 and 0.00225 lie halfway between two ten-thousandths: halves go to the even one, which
          // products taken in binary floating point miss.
          {"NF-100", "20230602", "13", "0.0003", "0.5", "X", "20230530", "F-0009"},
          {"NF-100", "20230603", "14", "0.0015", "1.5", "99999999999", "20230531", "F-0009"}});
    EXPECT_EQ(Select("select cod, quant, p_compra, destino, usuario, nota, data, total, codentrada, fornec "
                     "from item_entrada order by codentrada"),
              (Rows{{"12", "3.0000", "2.5000", "2", "0", "100", "2023-05-30", "7.5000", "1", "9"},
                    {"13", "0.0003", "0.5000", "0", "0", "100", "2023-05-30", "0.0002", "2", "9"},
                    {"14", "0.0015", "1.5000", "1", "0", "100", "2023-05-31", "0.0022", "3", "9"}}));
    // The note's own values come from its last record.
    EXPECT_EQ(Select("select nota, fornec, data, chegada, total_nota from entrada"),
              (Rows{{"100", "9", "2023-05-31", "2023-06-03", "7.5024"}}));
    EXPECT_EQ(op.log, (std::vector<std::string>{"Iniciando Cópia Entradas...",
                                                "Origem: " + legacyFolder + "/KQ000026.dat", "Destino: " + databasePath,
                                                "3 Registros Copiados.", "Cópia de Entradas Concluída"}));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(PurchaseCopyTest, arrivalsBeforeTheBoxDateAreSkipped)
{
    Copy({Purchase("1", "20230531", "5"), Purchase("2", "20230601", "6", "2", "3"),
          Purchase("2", "20990101", "7", "1", "4")});
    // The skipped note is written at once, from its record before the first copied one, without total.
    EXPECT_EQ(Notes(), (Rows{{"1", "0.0000"}, {"2", "10.0000"}}));
    EXPECT_EQ(Items(), (Rows{{"2", "6"}, {"2", "7"}}));
    EXPECT_EQ(op.log.end()[-2], "2 Registros Copiados.");

    // A missing arrival date counts as 1 January 1900.
    op.salesFrom = "02/01/1900";
    Copy({Purchase("3", "", "8")});
    EXPECT_EQ(op.log.end()[-2], "0 Registros Copiados.");
    op.salesFrom = "01/01/1900";
    Copy({Purchase("3", "", "8")});
    EXPECT_EQ(op.log.end()[-2], "1 Registros Copiados.");
}

TEST_F(PurchaseCopyTest, sameCodeAndDestinationInOneNoteLeaveOneRow)
{
    Copy({Purchase("7", "20230601", "5", "1", "2"), Purchase("7", "20230601", "5", "4", "3")});
    EXPECT_EQ(Select("select cod, nota, destino, quant, total, codentrada from item_entrada"),
              (Rows{{"5", "7", "1", "4.0000", "12.0000", "2"}}));
}

TEST_F(PurchaseCopyTest, failedNoteRowIsReportedOnceAndTheNextNoteGoesOn)
{
    // A text arrival that is no date passes the filter as 1900 but cannot be written as the note's arrival.
    op.salesFrom = "01/01/1900";
    Copy({Purchase("1", "31/02/2023", "5", "1", "8"), Purchase("2", "05/06/2023", "6", "1", "2"),
          Purchase("2", "05/06/2023", "7", "1", "3")},
         'C');
    EXPECT_EQ(op.messages, (std::vector<std::string>{"Ocorreu um Erro: '31/02/2023' is not a valid date and time"}));
    EXPECT_EQ(Items(), (Rows{{"1", "5"}, {"2", "6"}, {"2", "7"}}));
    // The failed note's total does not leak into the next one.
    EXPECT_EQ(Select("select nota, chegada, total_nota from entrada"), (Rows{{"2", "2023-06-05", "5.0000"}}));
    EXPECT_EQ(op.log.end()[-2], "3 Registros Copiados.");
}
