#include "legacy/legacy_field.h"

#include "legacy/legacy_table.h"

const FieldDescriptor& LegacyField::Descriptor() const { return table_->Descriptor(index_); }

std::string_view LegacyField::Bytes() const
{
    const std::string_view record = table_->CurrentRecord();
    const FieldDescriptor& field = Descriptor();
    if (field.position >= record.size()) return {};
    return record.substr(field.position, field.size);
}

std::string LegacyField::MemoText(std::int64_t block) const { return table_->Memo().ReadText(block); }

const ByteTable* LegacyField::TextTranslation() const { return table_->TextTranslation(); }
