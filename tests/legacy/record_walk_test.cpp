#include <gtest/gtest.h>

#include <vector>

#include "legacy/field_values.h"
#include "legacy/legacy_table.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"

namespace {

// A table of count records whose field N holds the record's number, padded to recordLength bytes.
std::string NumberedTable(const TempFolder& folder, int count, int recordLength)
{
    DbfWriter writer;
    writer.Field("N", 'N', 9);
    const int filler = recordLength - 10;
    if (filler > 0) writer.Field("FILLER", 'C', filler % 256, filler / 256);
    for (int i = 1; i <= count; ++i) writer.Record({std::to_string(i), "x"});
    const std::string path = folder.File("Numbered.DAT");
    writer.Write(path);
    return path;
}

// Checks that the current record is n both by number and by content.
void ExpectOn(const LegacyTable& table, int n)
{
    EXPECT_EQ(table.RecordNumber(), n);
    EXPECT_EQ(AsText(table.FieldNamed("N")), std::to_string(n));
}

}  // namespace

TEST(RecordWalk, forwardAndBackAcrossBlocks)
{
    TempFolder folder;
    // 40 records per block (three blocks), one per block, and 409 per block (all in one).
    for (int recordLength : {100, 4096, 10}) {
        SCOPED_TRACE(recordLength);
        const int count = 100;
        LegacyTable table;
        table.SetDBFFileName(NumberedTable(folder, count, recordLength));
        table.Open();
        ASSERT_TRUE(table.HasRecords());
        EXPECT_FALSE(table.IsPastEnd());
        EXPECT_EQ(table.RecordTotal(), count);

        // Forward: every record once, in file order; the last stays current past the end.
        std::vector<int> seen;
        for (table.MoveFirst(); !table.IsPastEnd(); table.MoveNext()) {
            seen.push_back(table.RecordNumber());
            ExpectOn(table, seen.back());
        }
        ASSERT_EQ(seen.size(), static_cast<size_t>(count));
        EXPECT_EQ(seen.back(), count);
        ExpectOn(table, count);
        table.MoveNext();
        EXPECT_TRUE(table.IsPastEnd());
        ExpectOn(table, count);

        // Back from past the end: the record before the last, then every record down to 1.
        for (int n = count - 1; n >= 1; --n) {
            table.MovePrior();
            ExpectOn(table, n);
            EXPECT_FALSE(table.IsPastEnd());
        }
        table.MovePrior();
        ExpectOn(table, 1);
        table.MoveNext();
        ExpectOn(table, 2);

        // Prior then next at every position, block boundaries included, from a forward walk.
        table.MoveFirst();
        for (int n = 1; n < count; ++n) {
            table.MoveNext();
            table.MovePrior();
            ExpectOn(table, n);
            table.MoveNext();
            ExpectOn(table, n + 1);
        }
    }
}

TEST(RecordWalk, countsWholeRecordsFromTheFileSize)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000009.dat");

    // The header says 10 records, the file holds 12 and a partial one.
    DbfWriter writer;
    writer.Field("N", 'N', 3);
    for (int i = 1; i <= 12; ++i) writer.Record({std::to_string(i)});
    writer.HeaderRecordCount(10).TrailingBytes(" 1").Write(path);
    LegacyTable table;
    table.SetDBFFileName(path);
    table.Open();
    EXPECT_EQ(table.RecordTotal(), 12);
    int visited = 0;
    for (; !table.IsPastEnd(); table.MoveNext()) ++visited;
    EXPECT_EQ(visited, 12);
    EXPECT_EQ(table.RecordNumber(), 12);
    table.Close();
    EXPECT_EQ(table.RecordNumber(), -1);
    EXPECT_FALSE(table.HasRecords());

    // Fewer records than the header claims.
    DbfWriter shorter;
    shorter.Field("N", 'N', 3).Record({"1"}).HeaderRecordCount(50).EndOfFileMark(false).Write(path);
    table.Open();
    EXPECT_EQ(table.RecordTotal(), 1);
    table.MoveNext();
    EXPECT_TRUE(table.IsPastEnd());
}

TEST(RecordWalk, deletedRecordsAreVisitedInTheirPlace)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000010.dat");
    DbfWriter().Field("N", 'N', 3).Record({"1"}).DeletedRecord({"2"}).RawRecord("#  3").DeletedRecord({"4"}).Write(path);
    LegacyTable table;
    table.SetDBFFileName(path);
    table.Open();
    std::vector<bool> deleted;
    for (; !table.IsPastEnd(); table.MoveNext()) deleted.push_back(table.IsDeleted());
    EXPECT_EQ(deleted, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(table.RecordTotal(), 4);
    // A deleted record's fields decode like any other.
    EXPECT_EQ(AsText(table.FieldNamed("N")), "4");
}

TEST(RecordWalk, seesRecordsAddedWhileOpen)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000011.dat");
    DbfWriter writer;
    writer.Field("N", 'N', 3).Record({"1"}).EndOfFileMark(false).Write(path);
    LegacyTable table;
    table.SetDBFFileName(path);
    table.Open();
    EXPECT_EQ(table.RecordTotal(), 1);
    writer.Record({"2"}).Write(path);
    EXPECT_EQ(table.RecordTotal(), 2);
}
