#include "legacy/value_check.h"

#include "legacy/field_decoding.h"

namespace {

bool AllBlanks(std::string_view bytes) { return bytes.find_first_not_of(' ') == std::string_view::npos; }

template <typename Decoded>
StoredValue Checked(std::string_view bytes, const Decoded& value)
{
    if (AllBlanks(bytes)) return StoredValue::Blank;
    return value ? StoredValue::Decodes : StoredValue::Invalid;
}

}  // namespace

StoredValue CheckStoredValue(const LegacyField& field)
{
    const std::string_view bytes = field.Bytes();
    switch (field.Kind()) {
    case FieldKind::Text: return AllBlanks(DecodeText(bytes)) ? StoredValue::Blank : StoredValue::Decodes;
    case FieldKind::Integer:
    case FieldKind::LargeInteger:
    case FieldKind::Memo: return Checked(bytes, DecodeInteger(bytes));
    case FieldKind::Float: return Checked(bytes, DecodeFloat(bytes));
    case FieldKind::Date: return Checked(bytes, DecodeDate(bytes));
    case FieldKind::Logical:
        // "?" is how dBase marks a logical never filled in.
        if (bytes == "?") return StoredValue::Blank;
        return Checked(bytes, DecodeLogical(bytes));
    }
    return StoredValue::Blank;
}

const char* FieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text: return "texto";
    case FieldKind::Integer: return "inteiro";
    case FieldKind::LargeInteger: return "inteiro grande";
    case FieldKind::Float: return "decimal";
    case FieldKind::Date: return "data";
    case FieldKind::Logical: return "lógico";
    case FieldKind::Memo: return "memo";
    }
    return "";
}
