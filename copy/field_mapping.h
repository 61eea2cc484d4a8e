#pragma once

#include <optional>
#include <string>
#include <vector>

#include "legacy/legacy_field.h"

class FbQuery;
class LegacyTable;

// How a legacy field becomes a parameter value.
enum class ValueKind {
    AsRead,  // the text form, unchanged
    Trimmed,  // without leading and trailing blanks (codes 32 and below)
    FirstN,  // the first N characters of the text form
    Digits,  // the digits of the text form, "0" when none
    IntegerOrZero,  // the trimmed text as an integer, 0 when it is not one
    DigitsInteger,  // the digits as an integer; beyond 32 bits is a failure
    Date,  // the date form, bound as a date-time
    Money,  // the money form, four decimals
};

// One row of a copy's mapping: parameter ← legacy field, read as a kind.
struct FieldMapping {
    std::string parameter;
    std::string field;
    ValueKind kind;
    int length = 0;  // for FirstN
};

// A mapping bound to one open table. Fields are looked up on first use and kept, so that a missing field fails
// at the record that needs it, in whatever protection that record runs.
class MappedFields {
public:
    MappedFields(LegacyTable& table, std::vector<FieldMapping> mapping);

    // Reads every mapped field of the current record and sets its parameter.
    void BindAll(FbQuery& query);
    static void Bind(FbQuery& query, const FieldMapping& row, const LegacyField& field);

    // A field by name, looked up once.
    const LegacyField& Field(const std::string& name);

private:
    LegacyTable& table_;
    std::vector<FieldMapping> mapping_;
    std::vector<std::optional<LegacyField>> rowFields_;  // per mapping row, once looked up
    std::vector<std::pair<std::string, LegacyField>> resolved_;
};
