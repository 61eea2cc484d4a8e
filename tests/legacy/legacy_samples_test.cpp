// Third-party dBase files that nobody here wrote (see the samples folder's README for their facts).
#include <gtest/gtest.h>

#include <filesystem>

#include "common/date_time.h"
#include "common/failure.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"
#include "tests/support/samples.h"
#include "tests/support/temp_folder.h"

using namespace std::chrono;

namespace {

std::string Sample(const std::string& name) { return SamplesFolder("dbf") + "/" + name; }

// The samples are shared: each test opens its own copy (with the memo file), so that the exclusive
// open never meets someone else's.
class SampleCopies {
public:
    void Open(LegacyTable& table, const std::string& name)
    {
        const std::filesystem::path source = Sample(name);
        Copy(source);
        const std::filesystem::path memo = std::filesystem::path(source).replace_extension(".dbt");
        if (std::filesystem::exists(memo)) Copy(memo);
        table.SetDBFFileName(folder_.File(name));
        table.Open();
    }

private:
    // The copies keep the samples' read-only mode: remove an earlier one first.
    void Copy(const std::filesystem::path& source)
    {
        const std::string target = folder_.File(source.filename().string());
        std::filesystem::remove(target);
        std::filesystem::copy_file(source, target);
    }

    TempFolder folder_;
};

void OpenSample(LegacyTable& table, const std::string& name)
{
    static SampleCopies copies;
    copies.Open(table, name);
}

std::string Blanked(const std::string& text, std::size_t size) { return text + std::string(size - text.size(), ' '); }

}  // namespace

TEST(LegacySamples, peopleAndInvalidDates)
{
    LegacyTable table;
    OpenSample(table, "people.dbf");
    EXPECT_EQ(table.RecordTotal(), 3);
    const LegacyField name = table.FieldNamed("name");
    const LegacyField birth = table.FieldNamed("BirthDate");
    EXPECT_EQ(AsText(name), Blanked("Alice", 16));
    EXPECT_EQ(AsDate(birth), year_month_day(year{1987}, March, day{1}));
    table.MoveNext();
    table.MoveNext();
    EXPECT_TRUE(table.IsDeleted());
    EXPECT_EQ(AsText(name), Blanked("Deleted Guy", 16));
    EXPECT_EQ(AsText(birth), "22/12/1979");
    table.Close();

    OpenSample(table, "invalid_value.dbf");
    EXPECT_EQ(AsText(table.FieldNamed("BIRTHDATE")), "");
    EXPECT_EQ(AsDate(table.FieldNamed("BIRTHDATE")), kZeroDate);
}

TEST(LegacySamples, dbase03FieldListAndValues)
{
    LegacyTable table;
    OpenSample(table, "dbase_03.dbf");
    EXPECT_EQ(table.RecordTotal(), 14);
    EXPECT_EQ(table.HeaderLength(), 1025u);
    EXPECT_EQ(table.RecordLength(), 590u);
    const auto fields = table.Fields();
    ASSERT_EQ(fields.size(), 31u);
    EXPECT_EQ(fields.back().Position() + fields.back().Size(), 590u);
    // The duplicate name finds the first field (C 12).
    const LegacyField pointId = table.FieldNamed("point_id");
    EXPECT_EQ(pointId.Type(), 'C');
    EXPECT_EQ(AsText(pointId), Blanked("0507121", 12));
    EXPECT_EQ(AsDate(table.FieldNamed("Date_Visit")), year_month_day(year{2005}, July, day{12}));
    EXPECT_EQ(AsText(table.FieldNamed("MAX_PDOP")), "5,2");
    EXPECT_EQ(AsMoney(table.FieldNamed("MAX_HDOP")), Money{20000});
    EXPECT_EQ(AsText(table.FieldNamed("GPS_Second")), "226625");
    EXPECT_EQ(AsText(table.FieldNamed("Std_Dev")), "0,897088");
    EXPECT_EQ(AsText(table.FieldNamed("Unfilt_Pos")), "2");
    EXPECT_EQ(fields.back().Name(), "POINT_ID");
    EXPECT_EQ(AsText(fields.back()), "401");
    // Blank numbers are absent.
    int blankNumbers = 0;
    for (; !table.IsPastEnd(); table.MoveNext())
        for (const auto& field : fields)
            if (field.Type() == 'N' && AsText(field).empty()) ++blankNumbers;
    EXPECT_EQ(blankNumbers, 12);
}

TEST(LegacySamples, dbase83MemosAcrossBlocks)
{
    LegacyTable table;
    OpenSample(table, "dbase_83.dbf");
    EXPECT_TRUE(table.HasMemoFile());
    EXPECT_EQ(table.RecordTotal(), 67);
    const LegacyField desc = table.FieldNamed("desc");
    std::string text = AsText(desc);
    EXPECT_EQ(text.size(), 524u);
    EXPECT_EQ(text.rfind("Our Original assortment", 0), 0u);
    EXPECT_EQ(AsText(table.FieldNamed("ID")), "87");
    EXPECT_EQ(AsText(table.FieldNamed("PRICE")), "0");
    EXPECT_EQ(AsText(table.FieldNamed("TAXABLE")), "True");
    table.MoveNext();
    // Block 3, over three blocks, with a byte 0x85 passed through as stored.
    text = AsText(desc);
    EXPECT_EQ(text.size(), 1268u);
    EXPECT_NE(text.find("do\x85Petits"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 20), "ft boxed assortments");
    EXPECT_EQ(AsText(table.FieldNamed("TAXABLE")), "False");
    // Every memo of the file reads and none holds its end mark.
    for (table.MoveFirst(); !table.IsPastEnd(); table.MoveNext()) {
        const std::string memo = AsText(desc);
        EXPECT_FALSE(memo.empty()) << table.RecordNumber();
        EXPECT_EQ(memo.find('\x1A'), std::string::npos);
    }
}

TEST(LegacySamples, dbase83WithoutItsMemoFile)
{
    LegacyTable table;
    OpenSample(table, "dbase_83_missing_memo.dbf");
    EXPECT_FALSE(table.HasMemoFile());
    EXPECT_EQ(table.RecordTotal(), 67);
    EXPECT_EQ(AsText(table.FieldNamed("DESC")), "");
    EXPECT_EQ(AsText(table.FieldNamed("ID")), "87");
}

TEST(LegacySamples, otherVersionsAreRefused)
{
    LegacyTable table;
    table.SetDBFFileName(Sample("dbase_8b.dbf"));
    EXPECT_THROW(table.Open(), Failure);
    EXPECT_FALSE(table.IsOpen());
}

TEST(LegacySamples, stationsWithAShortRecordLength)
{
    // The header says 1016 bytes a record, the fields need 1017: the last field is cut to the record.
    LegacyTable table;
    OpenSample(table, "stations_with_deleted.dbf");
    EXPECT_EQ(table.RecordTotal(), 6);
    EXPECT_TRUE(table.IsDeleted());
    EXPECT_EQ(AsText(table.FieldNamed("NAME")), Blanked("Van Dorn Street", 254));
    const LegacyField line = table.FieldNamed("line");
    EXPECT_EQ(line.Size(), 254u);
    int visited = 0;
    for (; !table.IsPastEnd(); table.MoveNext()) {
        EXPECT_EQ(AsText(line).size(), 253u);
        ++visited;
    }
    EXPECT_EQ(visited, 6);
}

TEST(LegacySamples, nulBytes)
{
    LegacyTable table;
    // N(50,0) holding "1234." then blanks and NULs: a large integer with a point is absent.
    OpenSample(table, "contain_null_padded_numeric.dbf");
    EXPECT_EQ(table.RecordTotal(), 1);
    EXPECT_EQ(AsText(table.FieldNamed("number")), "");
    EXPECT_EQ(AsMoney(table.FieldNamed("number")), Money{});
    table.Close();

    // Text fields end at their first NUL; a 0x1A inside the last record is data, not an end.
    OpenSample(table, "dbase_03_nullchar.dbf");
    EXPECT_EQ(table.RecordTotal(), 3);
    const LegacyField txt = table.FieldNamed("TXTCOL");
    const LegacyField other = table.FieldNamed("OTHERTXT");
    EXPECT_EQ(AsText(txt), Blanked("1234test", 25));
    table.MoveNext();
    EXPECT_EQ(AsText(txt), "");
    EXPECT_EQ(AsText(other), Blanked("ping", 25));
    table.MoveNext();
    EXPECT_EQ(AsText(txt), Blanked("test1234", 25));
    EXPECT_EQ(AsText(other), "");
    table.MoveNext();
    EXPECT_TRUE(table.IsPastEnd());
}

TEST(LegacySamples, cyrillicBytesPassUnchanged)
{
    LegacyTable table;
    OpenSample(table, "dbase_03_cyrillic.dbf");
    EXPECT_EQ(table.RecordTotal(), 2);
    const auto fields = table.Fields();
    ASSERT_EQ(fields.size(), 2u);
    // Names and values are UTF-8 in this file; they come back byte for byte.
    EXPECT_GT(fields[0].Name().size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(fields[0].Name()[0]) & 0xE0, 0xC0);
}
