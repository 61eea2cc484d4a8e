#pragma once

#include "tests/support/legacy_columns.h"
#include "tests/support/legacy_records.h"

// The legacy supplier, client and product tables as the copies read them.

inline LegacyRecords SupplierTable() { return LegacyRecords(SupplierColumns()); }
inline LegacyRecords ClientTable() { return LegacyRecords(ClientColumns()); }
inline LegacyRecords ProductTable() { return LegacyRecords(ProductColumns()); }
