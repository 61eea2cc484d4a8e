#pragma once

#include <vector>

#include "copy/field_mapping.h"

struct CopyRun;

// "KQ000018.dat" into fornecedor.
void CopySuppliers(CopyRun& run);
// "KQ000012.dat" into cliente.
void CopyClients(CopyRun& run);

// The fields these copies read from their legacy files.
std::vector<FieldsRead> PartyCopiesFieldsRead();
