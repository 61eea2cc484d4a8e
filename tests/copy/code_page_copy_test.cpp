#include <gtest/gtest.h>

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
