#include <gtest/gtest.h>

#include "legacy/code_page.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"

TEST(CodePage, translatesTextAndMemoValuesOnly)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000012.dat");
    DbfWriter w;
    w.Field("NOME", 'C', 8).Field("OBS", 'M', 10).Field("DATA", 'D', 8).Field("QTD", 'N', 4);
    // "Ç", "ã", a box-drawing "│", "ƒ"; the memo "É".
    const std::string memo = w.Memo("\x90");
    w.Record({"\x80\xC6\xB3\x9F", memo, "20240229", "12"});
    w.Write(path);

    LegacyTable table;
    table.SetDBFFileName(path);
    table.Open();
    EXPECT_EQ(AsText(table.FieldNamed("NOME")), "\x80\xC6\xB3\x9F    ");  // as stored by default
    table.Close();

    table.SetTextCodePage(CodePage::Cp850);
    table.Open();
    // No ISO 8859-1 "│": "?"; "ƒ" becomes the nearest letter.
    EXPECT_EQ(AsText(table.FieldNamed("NOME")), "\xC7\xE3?f    ");
    EXPECT_EQ(AsText(table.FieldNamed("OBS")), "\xC9");
    EXPECT_EQ(AsText(table.FieldNamed("DATA")), "29/02/2024");
    EXPECT_EQ(AsText(table.FieldNamed("QTD")), "12");

    // Code page 437 differs where 850 put its extra letters: 0xC6 is a box-drawing sign there.
    table.Close();
    table.SetTextCodePage(CodePage::Cp437);
    table.Open();
    EXPECT_EQ(AsText(table.FieldNamed("NOME")), "\xC7??f    ");
}
