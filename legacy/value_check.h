#pragma once

#include "legacy/legacy_field.h"

// What a field's stored bytes in the current record hold, as the reader decodes them. Both Blank and Invalid read
// as an absent value; Invalid means the bytes hold something the reader cannot decode ("20230231", "42   ", a
// logical "t", a number padded with NUL bytes), so the value is lost rather than empty.
enum class StoredValue { Blank, Decodes, Invalid };

StoredValue CheckStoredValue(const LegacyField& field);

// A name for a field kind: "texto", "inteiro", "inteiro grande", "decimal", "data", "lógico", "memo".
const char* FieldKindName(FieldKind kind);
