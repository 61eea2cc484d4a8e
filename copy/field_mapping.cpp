#include "copy/field_mapping.h"

#include <algorithm>
#include <stdexcept>

#include "copy/keyed_writes.h"
#include "firebird/fb_query.h"
#include "session/value_helpers.h"
#include "legacy/field_decoding.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"

namespace {

bool SameName(const std::string& a, const std::string& b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::vector<std::string> FieldNames(const std::vector<FieldMapping>& mapping, const std::vector<std::string>& others)
{
    std::vector<std::string> names;
    auto add = [&](const std::string& name) {
        if (std::none_of(names.begin(), names.end(), [&](const std::string& known) { return SameName(known, name); }))
            names.push_back(name);
    };
    for (const FieldMapping& row : mapping) add(row.field);
    for (const std::string& name : others) add(name);
    return names;
}

MappedFields::MappedFields(LegacyTable& table, std::vector<FieldMapping> mapping, std::vector<std::string> otherFields)
    : table_(table), mapping_(std::move(mapping)), declared_(FieldNames(mapping_, otherFields)),
      rowFields_(mapping_.size())
{
}

const LegacyField& MappedFields::Field(const std::string& name)
{
    for (const auto& [known, field] : resolved_)
        if (known == name) return field;
    if (std::none_of(declared_.begin(), declared_.end(), [&](const std::string& known) { return SameName(known, name); }))
        throw std::logic_error("the copy reads the field '" + name + "' without declaring it");
    resolved_.emplace_back(name, table_.FieldNamed(name));
    return resolved_.back().second;
}

namespace {

void Bind(FbQuery& query, size_t place, const FieldMapping& row, const LegacyField& field);
std::optional<std::int32_t> IntegerKeyOf(const FieldMapping& row, const LegacyField& field);

}  // namespace

void MappedFields::BindAll(FbQuery& query)
{
    const std::vector<size_t>& places = PlacesIn(query);
    for (size_t i = 0; i < mapping_.size(); ++i) {
        std::optional<LegacyField>& field = rowFields_[i];
        if (!field) field = Field(mapping_[i].field);
        Bind(query, places[i], mapping_[i], *field);
    }
}

std::optional<std::int32_t> MappedFields::IntegerKey(const std::string& parameter)
{
    for (size_t i = 0; i < mapping_.size(); ++i) {
        if (!SameName(mapping_[i].parameter, parameter)) continue;
        std::optional<LegacyField>& field = rowFields_[i];
        if (!field) field = Field(mapping_[i].field);
        return IntegerKeyOf(mapping_[i], *field);
    }
    return std::nullopt;
}

const std::vector<size_t>& MappedFields::PlacesIn(FbQuery& query)
{
    constexpr size_t kStatementsKept = 8;
    const std::uint64_t statement = query.StatementSerial();
    for (const Places& known : places_)
        if (known.statement == statement) return known.places;
    std::vector<size_t> places;
    for (const FieldMapping& row : mapping_) places.push_back(query.ParameterPlace(row.parameter));
    if (places_.size() >= kStatementsKept) places_.erase(places_.begin());
    places_.push_back({statement, std::move(places)});
    return places_.back().places;
}

namespace {

// The text form, read in place where the field stores text as it is to be sent (the common case), otherwise
// converted (or translated from its code page) into scratch.
std::string_view TextForm(const LegacyField& field, std::string& scratch)
{
    if (field.Kind() == FieldKind::Text && !field.TextTranslation()) return DecodeText(field.Bytes());
    scratch = AsText(field);
    return scratch;
}

// Trimmed without a copy: the same characters (codes 32 and below) go.
std::string_view TrimmedView(std::string_view text)
{
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
    return text.substr(first, last - first);
}

void Bind(FbQuery& query, size_t place, const FieldMapping& row, const LegacyField& field)
{
    std::string scratch;
    switch (row.kind) {
    case ValueKind::AsRead: query.SetTextAt(place, TextForm(field, scratch)); return;
    case ValueKind::Trimmed: query.SetTextAt(place, TrimmedView(TextForm(field, scratch))); return;
    case ValueKind::FirstN:
        query.SetTextAt(place, TextForm(field, scratch).substr(0, static_cast<size_t>(row.length)));
        return;
    case ValueKind::Digits: query.SetTextAt(place, DigitsOnly(TextForm(field, scratch))); return;
    case ValueKind::IntegerOrZero: query.SetIntegerAt(place, IntegerOrZero(TextForm(field, scratch))); return;
    case ValueKind::DigitsInteger:
        query.SetIntegerAt(place, StrictInteger(DigitsOnly(TextForm(field, scratch))));
        return;
    case ValueKind::Date: query.SetDateTimeAt(place, DateTime{AsDate(field), std::chrono::seconds{0}}); return;
    case ValueKind::Money: query.SetMoneyAt(place, AsMoney(field)); return;
    }
}

// The texts go through the same rule as a product code: digits with blanks around, nothing else.
std::optional<std::int32_t> IntegerKeyOf(const FieldMapping& row, const LegacyField& field)
{
    std::string scratch;
    switch (row.kind) {
    case ValueKind::AsRead: return IntegerKeyOfText(std::string(TextForm(field, scratch)));
    case ValueKind::Trimmed: return IntegerKeyOfText(std::string(TrimmedView(TextForm(field, scratch))));
    case ValueKind::Digits: return IntegerKeyOfText(DigitsOnly(TextForm(field, scratch)));
    case ValueKind::IntegerOrZero: return IntegerOrZero(TextForm(field, scratch));
    default: return std::nullopt;
    }
}

}  // namespace
