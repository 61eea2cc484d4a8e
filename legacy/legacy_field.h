#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "legacy/code_page.h"
#include "legacy/table_layout.h"

class LegacyTable;

// A light handle on one field of an open LegacyTable: resolve it once with FieldNamed, then read it
// for every record. Valid until the table is closed.
class LegacyField {
public:
    LegacyField(const LegacyTable& table, std::size_t index) : table_(&table), index_(index) {}

    const std::string& Name() const { return Descriptor().name; }
    char Type() const { return Descriptor().type; }
    std::uint32_t Size() const { return Descriptor().size; }
    std::uint8_t Decimals() const { return Descriptor().decimals; }
    std::uint32_t Position() const { return Descriptor().position; }
    FieldKind Kind() const { return Descriptor().kind; }

    // The field's bytes in the current record: empty when there is no current record, cut short
    // when the descriptors claim more bytes than the record holds.
    std::string_view Bytes() const;
    // The text of the memo block these bytes name (empty without a memo file).
    std::string MemoText(std::int64_t block) const;

    const FieldDescriptor& Descriptor() const;
    // The translation of the table's text values; nullptr when they are read as stored.
    const ByteTable* TextTranslation() const;

private:
    const LegacyTable* table_;
    std::size_t index_;
};
