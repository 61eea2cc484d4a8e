#include "legacy/legacy_table.h"

#include <cstring>
#include <limits>

#include "common/failure.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Field names are kept in upper case already.
bool SameName(const std::string& stored, const std::string& wanted)
{
    if (stored.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (stored[i] != Upper(wanted[i])) return false;
    return true;
}

std::int32_t ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

LegacyTable::OpenTable::OpenTable(FileHandle tableFile, TableLayout tableLayout, MemoFile memoFile)
    : file(std::move(tableFile)), layout(std::move(tableLayout)), memo(std::move(memoFile)),
      cursor(file, layout.headerLength, layout.recordLength)
{
}

LegacyTable::LegacyTable(std::string name) : name_(std::move(name)) {}

LegacyTable::~LegacyTable() = default;

void LegacyTable::Open()
{
    if (open_) return;
    int errorNumber = 0;
    FileHandle file = FileHandle::OpenExclusive(fileName_, errorNumber);
    if (!file.IsOpen()) throw Failure("Não foi possível abrir " + fileName_ + ": " + std::strerror(errorNumber));
    TableLayout layout = ReadTableLayout(file, fileName_);
    MemoFile memo = layout.HasMemo() ? MemoFile::OpenBeside(fileName_) : MemoFile();
    auto table = std::make_unique<OpenTable>(std::move(file), std::move(layout), std::move(memo));
    table->cursor.MoveFirst();
    open_ = std::move(table);
}

void LegacyTable::Close() { open_.reset(); }

void LegacyTable::MoveFirst()
{
    if (open_) open_->cursor.MoveFirst();
}

void LegacyTable::MoveNext()
{
    if (open_) open_->cursor.MoveNext();
}

void LegacyTable::MovePrior()
{
    if (open_) open_->cursor.MovePrior();
}

bool LegacyTable::IsPastEnd() const { return !open_ || open_->cursor.IsPastEnd(); }

std::int32_t LegacyTable::RecordNumber() const
{
    return HasRecords() ? ClampToInt32(open_->cursor.RecordNumber()) : -1;
}

std::int32_t LegacyTable::RecordTotal() const { return open_ ? ClampToInt32(open_->cursor.RecordTotal()) : 0; }

bool LegacyTable::IsDeleted() const
{
    const std::string_view record = CurrentRecord();
    return !record.empty() && record[0] == '*';
}

LegacyField LegacyTable::FieldNamed(const std::string& name) const
{
    if (open_) {
        const auto& fields = open_->layout.fields;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (SameName(fields[i].name, name)) return LegacyField(*this, i);
    }
    throw Failure(name_ + ": Field '" + name + "' not found");
}

std::vector<LegacyField> LegacyTable::Fields() const
{
    std::vector<LegacyField> fields;
    if (open_)
        for (std::size_t i = 0; i < open_->layout.fields.size(); ++i) fields.emplace_back(*this, i);
    return fields;
}

std::string LegacyTable::BytesAfterRecords() const
{
    if (!open_) return {};
    const std::uint64_t size = FileSize();
    const std::uint64_t end =
        open_->layout.headerLength + static_cast<std::uint64_t>(open_->cursor.RecordTotal()) * RecordLength();
    if (size <= end) return {};
    std::string bytes(size - end, '\0');
    bytes.resize(open_->file.ReadAt(end, bytes.data(), bytes.size()));
    return bytes;
}
