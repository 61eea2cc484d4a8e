#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "legacy/code_page.h"
#include "legacy/file_handle.h"
#include "legacy/legacy_field.h"
#include "legacy/memo_file.h"
#include "legacy/record_cursor.h"
#include "legacy/table_layout.h"

// A read-only cursor over one legacy dBase III table file (and its ".dbt" memo file).
// The file is held exclusively while open; deleted records are visited like any other.
class LegacyTable {
public:
    explicit LegacyTable(std::string name = "table1");
    ~LegacyTable();
    LegacyTable(const LegacyTable&) = delete;
    LegacyTable& operator=(const LegacyTable&) = delete;

    void SetDBFFileName(const std::string& fileName) { fileName_ = fileName; }
    const std::string& DBFFileName() const { return fileName_; }
    const std::string& Name() const { return name_; }

    // The code page the text and memo values are translated from into ISO 8859-1; AsStored (the default)
    // gives the bytes as stored. Kept across Close and Open.
    void SetTextCodePage(CodePage codePage)
    {
        codePage_ = codePage;
        translation_ = Latin1Translation(codePage);
    }
    CodePage TextCodePage() const { return codePage_; }
    const ByteTable* TextTranslation() const { return translation_; }

    // Opens the file and makes record 1 current; nothing when already open. Throws Failure and stays
    // closed when the file cannot be held or is not a table this reader walks.
    void Open();
    void Close();
    bool IsOpen() const { return open_ != nullptr; }

    bool HasRecords() const { return open_ && open_->cursor.HasRecord(); }
    void MoveFirst();
    void MoveNext();
    void MovePrior();
    bool IsPastEnd() const;
    // The current record's number (1 for the first); -1 when there is none.
    std::int32_t RecordNumber() const;
    // Whole records in the file, from its size at this call.
    std::int32_t RecordTotal() const;
    bool IsDeleted() const;

    // The field of that name, letter case aside; Failure "table1: Field 'x' not found" when missing.
    LegacyField FieldNamed(const std::string& name) const;
    std::vector<LegacyField> Fields() const;

    // Header facts, for looking inside a file. Valid while open.
    std::uint8_t Version() const { return open_->layout.version; }
    std::uint32_t HeaderLength() const { return open_->layout.headerLength; }
    std::uint32_t RecordLength() const { return open_->layout.recordLength; }
    bool HasMemoFile() const { return open_ && open_->memo.IsOpen(); }
    std::uint32_t HeaderRecordCount() const { return open_->layout.headerRecordCount; }
    std::uint64_t FileSize() const { return open_->file.Size(); }
    // The bytes after the last whole record: an end-of-file mark 0x1A, a partial record, or nothing.
    std::string BytesAfterRecords() const;

    std::string_view CurrentRecord() const { return open_ ? open_->cursor.Record() : std::string_view(); }
    const FieldDescriptor& Descriptor(std::size_t index) const { return open_->layout.fields[index]; }
    const MemoFile& Memo() const { return open_->memo; }

private:
    struct OpenTable {
        OpenTable(FileHandle tableFile, TableLayout tableLayout, MemoFile memoFile);
        OpenTable(OpenTable&&) = delete;  // the cursor refers to the file
        FileHandle file;
        TableLayout layout;
        MemoFile memo;
        RecordCursor cursor;
    };

    std::string name_;
    std::string fileName_;
    CodePage codePage_ = CodePage::AsStored;
    const ByteTable* translation_ = nullptr;
    std::unique_ptr<OpenTable> open_;
};
