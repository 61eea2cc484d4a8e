#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes small dBase III tables (and their ".dbt" memo files) byte by byte for tests:
//
//   DbfWriter w;
//   w.Field("CODIGO", 'C', 10).Field("VALOR", 'N', 10, 2);
//   w.Record({"001", "12.50"}).DeletedRecord({"002", "3"});
//   w.Write(folder + "/KQ000012.dat");
//
// Values are padded as dBase does: C, D, L left-aligned with blanks, N, F and M right-aligned.
// Odd files are made on purpose with the setters below and with RawRecord / TrailingBytes.
class DbfWriter {
public:
    // A descriptor. For 'C' the size is length + 256 * decimals, as dBase stores long text fields.
    // The name bytes are written as given (up to 11; a leading blank stays).
    DbfWriter& Field(const std::string& name, char type, int length, int decimals = 0);
    // A descriptor slot written exactly as given (padded with NULs to 32 bytes).
    DbfWriter& RawDescriptor(const std::string& bytes);

    DbfWriter& Record(const std::vector<std::string>& values);
    DbfWriter& DeletedRecord(const std::vector<std::string>& values);
    // Record bytes written as they are, deletion mark included.
    DbfWriter& RawRecord(const std::string& bytes);
    // Bytes after the records (before the end mark): a partial record, for example.
    DbfWriter& TrailingBytes(const std::string& bytes);

    // Stores a memo text in the next free block(s) and gives the 10 bytes a memo field holds.
    std::string Memo(const std::string& text);

    DbfWriter& Version(std::uint8_t version);
    // Header fields that lie: by default they are computed from the fields and records.
    DbfWriter& HeaderRecordCount(std::uint32_t count);
    DbfWriter& HeaderLength(std::uint16_t length);
    DbfWriter& RecordLength(std::uint16_t length);
    // Leaves out the 0x0D that ends the descriptors.
    DbfWriter& WithoutDescriptorEnd();
    // The 0x1A after the records (written by default).
    DbfWriter& EndOfFileMark(bool write);

    std::string TableBytes() const;
    std::string MemoBytes() const;
    std::uint16_t ComputedRecordLength() const;

    // Writes the table; with memos, also the memo file beside it (memoPath, or the table's path
    // with ".dbt" in place of its extension).
    void Write(const std::string& path, const std::string& memoPath = "") const;

private:
    struct FieldSpec {
        std::string descriptor;  // 32 bytes
        char type;
        int size;
    };

    std::string Pad(const FieldSpec& field, const std::string& value) const;
    DbfWriter& AddRecord(char mark, const std::vector<std::string>& values);

    std::vector<FieldSpec> fields_;
    std::vector<std::string> records_;
    std::string trailing_;
    std::string memo_;
    std::uint8_t version_ = 0x03;
    bool versionSet_ = false;
    int headerRecordCount_ = -1;
    int headerLength_ = -1;
    int recordLength_ = -1;
    bool descriptorEnd_ = true;
    bool endOfFileMark_ = true;
};

// Writes bytes to a file as they are.
void WriteFileBytes(const std::string& path, const std::string& bytes);
