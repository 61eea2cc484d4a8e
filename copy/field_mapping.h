#pragma once

#include <cstdint>
#include <deque>
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

// The fields one copy reads from its legacy file, as the copy declares them: a folder can be checked against them
// before the run.
struct FieldsRead {
    std::string fileName;  // "KQ000012.dat"
    std::string what;  // "clientes"
    std::vector<std::string> fields;
};

// The mapping's fields followed by the others, each once.
std::vector<std::string> FieldNames(const std::vector<FieldMapping>& mapping, const std::vector<std::string>& others = {});

// A mapping bound to one open table. Fields are looked up on first use and kept, so that a missing field fails
// at the record that needs it, in whatever protection that record runs.
class MappedFields {
public:
    // otherFields: the fields the copy reads besides the mapping's. Only declared fields can be read, so that the
    // declarations (and the folder check built on them) cannot drift from what the copy reads.
    MappedFields(LegacyTable& table, std::vector<FieldMapping> mapping, std::vector<std::string> otherFields = {});

    // Reads every mapped field of the current record and sets its parameter.
    void BindAll(FbQuery& query);

    // The integer an integer column stores from the parameter's value as BindAll sets it for the current record;
    // none when that is not known here (a text the target would convert in its own way, a kind that is no integer).
    std::optional<std::int32_t> IntegerKey(const std::string& parameter);

    // A field by name, looked up once; the reference holds while the mapping lives. A name the copy did not declare
    // is a programming error (std::logic_error).
    const LegacyField& Field(const std::string& name);

private:
    LegacyTable& table_;
    std::vector<FieldMapping> mapping_;
    std::vector<std::string> declared_;
    std::vector<std::optional<LegacyField>> rowFields_;  // per mapping row, once looked up
    std::deque<std::pair<std::string, LegacyField>> resolved_;  // a deque: references to its fields stay
    // Per statement the mapping was bound to (a few: the sales copy switches between its item statements), the
    // place of each row's parameter.
    struct Places {
        std::uint64_t statement;
        std::vector<size_t> places;
    };
    std::vector<Places> places_;
    const std::vector<size_t>& PlacesIn(FbQuery& query);
};

// A field that a copy reads apart from its mapping record after record, held after the first lookup by name.
class HeldField {
public:
    HeldField(MappedFields& fields, std::string name) : fields_(fields), name_(std::move(name)) {}
    const LegacyField& operator()()
    {
        if (!field_) field_ = &fields_.Field(name_);
        return *field_;
    }

private:
    MappedFields& fields_;
    std::string name_;
    const LegacyField* field_ = nullptr;
};
