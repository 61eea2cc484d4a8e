#include "copy/field_mapping.h"

#include "app/fb_query.h"
#include "copy/value_helpers.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"

MappedFields::MappedFields(LegacyTable& table, std::vector<FieldMapping> mapping)
    : table_(table), mapping_(std::move(mapping))
{
}

const LegacyField& MappedFields::Field(const std::string& name)
{
    for (const auto& [known, field] : resolved_)
        if (known == name) return field;
    resolved_.emplace_back(name, table_.FieldNamed(name));
    return resolved_.back().second;
}

void MappedFields::BindAll(FbQuery& query)
{
    for (const FieldMapping& row : mapping_) Bind(query, row, Field(row.field));
}

void MappedFields::Bind(FbQuery& query, const FieldMapping& row, const LegacyField& field)
{
    switch (row.kind) {
    case ValueKind::AsRead: query.SetText(row.parameter, AsText(field)); return;
    case ValueKind::Trimmed: query.SetText(row.parameter, Trimmed(AsText(field))); return;
    case ValueKind::FirstN: query.SetText(row.parameter, AsText(field).substr(0, static_cast<size_t>(row.length))); return;
    case ValueKind::Digits: query.SetText(row.parameter, DigitsOnly(AsText(field))); return;
    case ValueKind::IntegerOrZero: query.SetInteger(row.parameter, IntegerOrZero(AsText(field))); return;
    case ValueKind::DigitsInteger: query.SetInteger(row.parameter, StrictInteger(DigitsOnly(AsText(field)))); return;
    case ValueKind::Date: query.SetDateTime(row.parameter, DateTime{AsDate(field), std::chrono::seconds{0}}); return;
    case ValueKind::Money: query.SetMoney(row.parameter, AsMoney(field)); return;
    }
}
