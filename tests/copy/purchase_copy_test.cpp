#include <gtest/gtest.h>

#include "copy/purchase_copy.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {

// One record of the legacy purchase file; fields left empty are written blank.
struct PurchaseRecord {
    std::string nota, chegada, codigo, quant, p_compra, destino, data, fornec;
};

PurchaseRecord Purchase(const std::string& nota, const std::string& chegada, const std::string& codigo,
                        const std::string& quant = "1", const std::string& price = "1")
{
    return {nota, chegada, codigo, quant, price, "1", "20230601", "9"};
}

// The arrival date is a date field, or a text field where a test needs texts that are no date.
DbfWriter PurchaseFile(const std::vector<PurchaseRecord>& records, char arrivalType = 'D')
{
    DbfWriter w;
    w.Field("NOTA", 'C', 12).Field("CHEGADA", arrivalType, arrivalType == 'D' ? 8 : 10).Field("CODIGO", 'C', 8);
    w.Field("QUANT", 'N', 10, 4).Field("P_COMPRA", 'N', 12, 4).Field("DESTINO", 'C', 12).Field("DATA", 'D', 8);
    w.Field("FORNEC", 'C', 8);
    for (const PurchaseRecord& r : records)
        w.Record({r.nota, r.chegada, r.codigo, r.quant, r.p_compra, r.destino, r.data, r.fornec});
    return w;
}

class PurchaseCopyTest : public CopyFixture {
protected:
    void SetUp() override
    {
        Connect();
        op.checked[CheckBox::CopiaEntradas] = true;
        op.salesFrom = "01/06/2023";
    }

    Rows Notes() { return Select("select nota, total_nota from entrada order by nota"); }
};

}  // namespace

TEST_F(PurchaseCopyTest, nothingHappensUnlessCopiaEntradasIsTicked)
{
    WriteLegacy("KQ000026.dat", PurchaseFile({Purchase("1", "20230601", "5")}));
    op.checked[CheckBox::CopiaEntradas] = false;
    CopyPurchases(run);
    CommitPending();
    EXPECT_TRUE(op.log.empty());
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(Scalar("select count(*) from item_entrada"), "0");
}

TEST_F(PurchaseCopyTest, oneNoteWritesItsItemsAndThenItsTotal)
{
    WriteLegacy("kq000026.Dat",
                PurchaseFile({
                    {"NF-100", "20230602", "A12", "3", "2.5", "D-2", "20230530", "F-0009"},
                    // 0.00015 and 0.00225 lie halfway between two ten-thousandths: halves go to the even one,
                    // which products taken in binary floating point miss.
                    {"NF-100", "20230602", "13", "0.0003", "0.5", "X", "20230530", "F-0009"},
                    {"NF-100", "20230603", "14", "0.0015", "1.5", "99999999999", "20230531", "F-0009"},
                }));
    CopyPurchases(run);
    CommitPending();
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

TEST_F(PurchaseCopyTest, skippedNoteBeforeTheBoxDateIsWrittenAtOnceWithoutTotal)
{
    WriteLegacy("KQ000026.dat", PurchaseFile({
                                    Purchase("1", "20230531", "5"),  // the day before the box's date
                                    Purchase("2", "20230601", "6", "2", "3"),  // the box's date itself
                                    Purchase("2", "20990101", "7", "1", "4"),
                                }));
    CopyPurchases(run);
    CommitPending();
    EXPECT_EQ(Notes(), (Rows{{"1", "0.0000"}, {"2", "10.0000"}}));
    EXPECT_EQ(Select("select nota, cod from item_entrada order by cod"), (Rows{{"2", "6"}, {"2", "7"}}));
    EXPECT_EQ(op.log.end()[-2], "2 Registros Copiados.");
}

TEST_F(PurchaseCopyTest, missingArrivalCountsAsFirstOfJanuary1900)
{
    WriteLegacy("KQ000026.dat", PurchaseFile({Purchase("1", "", "5")}));
    op.salesFrom = "02/01/1900";
    CopyPurchases(run);
    EXPECT_EQ(op.log.end()[-2], "0 Registros Copiados.");
    op.salesFrom = "01/01/1900";
    CopyPurchases(run);
    EXPECT_EQ(op.log.end()[-2], "1 Registros Copiados.");
    CommitPending();
    EXPECT_EQ(Select("select nota, cod from item_entrada"), (Rows{{"1", "5"}}));
}

TEST_F(PurchaseCopyTest, sameCodeAndDestinationInOneNoteLeaveOneRow)
{
    WriteLegacy("KQ000026.dat", PurchaseFile({Purchase("7", "20230601", "5", "1", "2"),
                                              Purchase("7", "20230601", "5", "4", "3")}));
    CopyPurchases(run);
    CommitPending();
    EXPECT_EQ(Select("select cod, nota, destino, quant, total, codentrada from item_entrada"),
              (Rows{{"5", "7", "1", "4.0000", "12.0000", "2"}}));
}

TEST_F(PurchaseCopyTest, failedNoteRowIsReportedOnceAndTheNextNoteGoesOn)
{
    // A text arrival date that is no date passes the filter as 1900 but cannot be written as the note's date.
    WriteLegacy("KQ000026.dat", PurchaseFile({Purchase("1", "31/02/2023", "5", "1", "8"),
                                              Purchase("2", "05/06/2023", "6", "1", "2"),
                                              Purchase("2", "05/06/2023", "7", "1", "3")},
                                             'C'));
    op.salesFrom = "01/01/1900";
    CopyPurchases(run);
    CommitPending();
    EXPECT_EQ(op.messages, (std::vector<std::string>{"Ocorreu um Erro: '31/02/2023' is not a valid date and time"}));
    EXPECT_EQ(Select("select nota, cod from item_entrada order by cod"), (Rows{{"1", "5"}, {"2", "6"}, {"2", "7"}}));
    // The failed note's total does not leak into the next one.
    EXPECT_EQ(Select("select nota, chegada, total_nota from entrada"), (Rows{{"2", "2023-06-05", "5.0000"}}));
    EXPECT_EQ(op.log.end()[-2], "3 Registros Copiados.");
}
