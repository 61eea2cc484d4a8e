#include <gtest/gtest.h>

#include "copy/financial_copies.h"
#include "copy/receivables_reconciliation.h"
#include "copy/reference_copies.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {

class CodePageCopyTest : public CopyFixture {
protected:
    // Names as QuibraDOS stores them in code page 850: "JOÃO DA CONCEIÇÃO AÇÚCAR" and "CAFÉ".
    void WriteDosManufacturers()
    {
        DbfWriter w;
        w.Field("CODIGO", 'C', 5).Field("NOME", 'C', 35);
        w.Record({"1", "JO\xC7O DA CONCEI\x80\xC7O A\x80\xE9" "CAR"}).Record({"2", "CAF\x90"});
        WriteLegacy("KQ000029.dat", w);
    }
    Rows Names() { return Select("select cod, trim(nome) from fabricante order by cod"); }
};

}  // namespace

TEST_F(CodePageCopyTest, dosTextsArriveInIso88591OnlyWhenChosen)
{
    Connect();
    WriteDosManufacturers();
    CopyManufacturers(run);
    CommitPending();
    EXPECT_EQ(Names(), (Rows{{"1", "JO\xC7O DA CONCEI\x80\xC7O A\x80\xE9" "CAR"}, {"2", "CAF\x90"}}));

    op.codePage = CodePage::Cp850;
    CopyManufacturers(run);
    CommitPending();
    EXPECT_EQ(Names(), (Rows{{"1", "JO\xC3O DA CONCEI\xC7\xC3O A\xC7\xDA" "CAR"}, {"2", "CAF\xC9"}}));
}

TEST_F(CodePageCopyTest, reconciliationMatchesHistoriesCopiedInTheSameCodePage)
{
    Connect();
    op.codePage = CodePage::Cp850;
    const auto writeReceivable = [&](bool deleted) {
        DbfWriter w;
        w.Field("DOCUMENTO", 'C', 8).Field("HISTORICO", 'C', 20).Field("CODGRU", 'N', 2).Field("FORMPG", 'C', 2);
        w.Field("DATA", 'D', 8).Field("VENDEDOR", 'C', 2).Field("VENCIMENTO", 'D', 8).Field("CODHIS", 'N', 2);
        w.Field("TOTAL", 'N', 8, 2).Field("CREDITO", 'N', 8, 2).Field("PAGO", 'N', 8, 2);
        const std::vector<std::string> values{"7", "7-A\x80\xE9" "CAR", "1", "1", "20200101", "1", "20200201", "1", "1", "1", "0"};
        deleted ? w.DeletedRecord(values) : w.Record(values);
        WriteLegacy("KQ000015.dat", w);
    };
    writeReceivable(false);
    CopyReceivables(run);
    CommitPending();
    EXPECT_EQ(Select("select trim(historico) from contasreceber"), (Rows{{"7-A\xC7\xDA" "CAR"}}));

    writeReceivable(true);
    VerifyReceivables(run);
    CommitPending();
    EXPECT_EQ(Scalar("select count(*) from contasreceber"), "0");
}
