#pragma once

#include <string>

#include "copy/field_mapping.h"

struct CopyRun;

// Copies the legacy sales file KQ000009.dat, records dated within the two sales date boxes, into venda and
// item_venda, numbering the sales from the venda sequence.
void CopySales(CopyRun& run);

// Each character as two characters: its code minus that of "0" in decimal, cut to the last two places
// ("4A7" gives "041707", a blank "16", "-" "-3").
std::string CrcDigits(const std::string& text);

// The venda sequence restarted at the highest sale number in venda (0 when there is none). Run after the
// commit; the restart stays pending in the transaction that reading the number starts.
void ResyncSaleNumbers(CopyRun& run);

// The fields the sales copy reads from its legacy file.
FieldsRead SalesCopyFieldsRead();
