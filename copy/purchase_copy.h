#pragma once

#include "copy/field_mapping.h"

struct CopyRun;

// When "Copia Entradas" is ticked, copies the legacy purchase file KQ000026.dat, records arrived on or after the
// first sales date box, into entrada (one row per note) and item_entrada (one row per item).
void CopyPurchases(CopyRun& run);

// The fields the purchase copy reads from its legacy file.
FieldsRead PurchaseCopyFieldsRead();
