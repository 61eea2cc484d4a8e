#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "common/failure.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"

namespace {

// Opens path in a fresh table and gives the failure's text ("" when it opened).
std::string OpenFailure(const std::string& path)
{
    LegacyTable table;
    table.SetDBFFileName(path);
    try {
        table.Open();
    } catch (const Failure& failure) {
        EXPECT_FALSE(table.IsOpen());
        return failure.what();
    }
    return "";
}

DbfWriter OneField() { return std::move(DbfWriter().Field("CODIGO", 'C', 5)); }

}  // namespace

TEST(LegacyTableOpen, emptyTablesOpenWithoutRecords)
{
    TempFolder folder;
    for (bool endMark : {true, false}) {
        const std::string path = folder.File("KQ000001.dat");
        OneField().EndOfFileMark(endMark).Write(path);
        LegacyTable table;
        table.SetDBFFileName(path);
        table.Open();
        EXPECT_TRUE(table.IsOpen());
        EXPECT_FALSE(table.HasRecords());
        EXPECT_TRUE(table.IsPastEnd());
        EXPECT_EQ(table.RecordTotal(), 0);
        EXPECT_EQ(table.RecordNumber(), -1);
        EXPECT_FALSE(table.IsDeleted());
        // Without a current record a text field is "", which has no money or date form.
        const LegacyField codigo = table.FieldNamed("codigo");
        EXPECT_EQ(AsText(codigo), "");
        EXPECT_THROW(AsMoney(codigo), Failure);
        table.MoveNext();
        table.MovePrior();
        EXPECT_EQ(table.RecordNumber(), -1);
    }
}

TEST(LegacyTableOpen, refusesWhatItCannotWalk)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000002.dat");

    // Missing file: the error names it.
    EXPECT_NE(OpenFailure(path).find(path), std::string::npos);

    // Version bytes other than dBase III ones.
    for (std::uint8_t version : {0x00, 0x8B, 0x30, 0x04}) {
        OneField().Version(version).Record({"A"}).Write(path);
        EXPECT_NE(OpenFailure(path).find("não é uma tabela dBase III"), std::string::npos) << int(version);
    }

    // A record of 4096 bytes fits the read buffer; one of 4097 does not.
    DbfWriter().Field("A", 'C', 4095 % 256, 4095 / 256).Record({"x"}).Write(path);
    EXPECT_EQ(OpenFailure(path), "");
    DbfWriter().Field("A", 'C', 4096 % 256, 4096 / 256).Record({"x"}).Write(path);
    EXPECT_NE(OpenFailure(path), "");

    // A record length of 0 in the header.
    OneField().RecordLength(0).Record({"A"}).Write(path);
    EXPECT_NE(OpenFailure(path), "");

    // Descriptors that never reach the 0x0D marker before the file ends.
    OneField().WithoutDescriptorEnd().EndOfFileMark(false).Write(path);
    EXPECT_NE(OpenFailure(path), "");

    // A header length that stops inside the descriptors.
    OneField().Field("NOME", 'C', 5).HeaderLength(40).Record({"A", "B"}).Write(path);
    EXPECT_NE(OpenFailure(path), "");

    // A type letter outside C, N, F, D, L, M.
    DbfWriter().Field("FOTO", 'B', 10).Record({"x"}).Write(path);
    EXPECT_NE(OpenFailure(path), "");

    // A file shorter than its header.
    WriteFileBytes(path, std::string("\x03\x7c\x05", 3));
    EXPECT_NE(OpenFailure(path), "");
}

TEST(LegacyTableOpen, holdsTheFileExclusively)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000003.dat");
    OneField().Record({"A"}).Write(path);

    // Held by someone else: fails at once.
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_NE(OpenFailure(path).find(path), std::string::npos);
    ::close(fd);

    // Held by an open table: a second one cannot open it until the first closes.
    LegacyTable first;
    first.SetDBFFileName(path);
    first.Open();
    EXPECT_NE(OpenFailure(path), "");
    first.Close();
    EXPECT_EQ(OpenFailure(path), "");
}

TEST(LegacyTableOpen, readsTheFieldList)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000004.dat");
    DbfWriter()
        .Field("codigo", 'N', 6)
        .Field(" NOME", 'C', 44, 1)   // leading blank, size 44 + 256
        .Field("DATA", 'D', 8)
        .Field("ATIVO", 'L', 1)
        .Field("VALOR", 'F', 12, 3)
        .Field("ABCDEFGHIJK", 'C', 2)  // 11 bytes without NUL
        .Record({"1", "Maria", "20240105", "T", "1.5", "zz"})
        .Write(path);
    LegacyTable table;
    table.SetDBFFileName(path);
    table.Open();

    const LegacyField codigo = table.FieldNamed("Codigo");
    EXPECT_EQ(codigo.Name(), "CODIGO");
    EXPECT_EQ(codigo.Position(), 1u);
    const LegacyField nome = table.FieldNamed("nome");
    EXPECT_EQ(nome.Name(), "NOME");
    EXPECT_EQ(nome.Size(), 300u);
    EXPECT_EQ(nome.Decimals(), 1);
    EXPECT_EQ(nome.Position(), 7u);
    EXPECT_EQ(table.FieldNamed("data").Position(), 307u);
    EXPECT_EQ(table.FieldNamed("ativo").Size(), 1u);
    const LegacyField valor = table.FieldNamed("VALOR");
    EXPECT_EQ(valor.Type(), 'F');
    EXPECT_EQ(valor.Decimals(), 3);
    EXPECT_EQ(valor.Position(), 316u);
    EXPECT_EQ(AsText(table.FieldNamed("abcdefghijk")), "zz");
    EXPECT_EQ(AsText(nome), "Maria" + std::string(295, ' '));

    try {
        table.FieldNamed("codig");
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "table1: Field 'codig' not found");
    }
    LegacyTable other("vendas");
    EXPECT_THROW(
        try { other.FieldNamed("x"); } catch (const Failure& failure) {
            EXPECT_STREQ(failure.what(), "vendas: Field 'x' not found");
            throw;
        },
        Failure);
}

TEST(LegacyTableOpen, fieldsWiderThanTheRecordReadOnlyItsBytes)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000005.dat");
    // Fields sum to 1 + 4 + 4 = 9 bytes, the header says 7: the last field is cut to 2 bytes.
    DbfWriter()
        .Field("A", 'C', 4)
        .Field("B", 'C', 4)
        .RecordLength(7)
        .RawRecord(" abcdEF")
        .RawRecord(" ghijKL")
        .Write(path);
    LegacyTable table;
    table.SetDBFFileName(path);
    table.Open();
    EXPECT_EQ(table.RecordTotal(), 2);
    EXPECT_EQ(AsText(table.FieldNamed("B")), "EF");
    table.MoveNext();
    EXPECT_EQ(AsText(table.FieldNamed("A")), "ghij");
    EXPECT_EQ(AsText(table.FieldNamed("B")), "KL");
}

TEST(LegacyTableOpen, findsItsMemoFileWithoutRegardToCase)
{
    TempFolder folder;
    const std::string path = folder.File("KQ000012.dat");
    DbfWriter writer;
    writer.Field("OBS", 'M', 10);
    writer.Record({writer.Memo("primeira")});
    writer.Write(path, folder.File("kq000012.DBT"));

    LegacyTable table;
    table.SetDBFFileName(path);
    table.Open();
    EXPECT_TRUE(table.HasMemoFile());
    EXPECT_EQ(AsText(table.FieldNamed("OBS")), "primeira");

    // Reopening the same object on another file keeps nothing of the first one.
    const std::string plain = folder.File("KQ000013.dat");
    OneField().Record({"X"}).Write(plain);
    table.Close();
    table.SetDBFFileName(plain);
    table.Open();
    EXPECT_FALSE(table.HasMemoFile());
    EXPECT_THROW(table.FieldNamed("OBS"), Failure);
    EXPECT_EQ(AsText(table.FieldNamed("CODIGO")), "X    ");
}
