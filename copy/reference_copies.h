#pragma once

#include <vector>

#include "copy/field_mapping.h"

struct CopyRun;

void CopyCfops(CopyRun& run);
void CopyCashHistories(CopyRun& run);
void CopySellers(CopyRun& run);
void CopyAddressBook(CopyRun& run);
void CopyProductGroups(CopyRun& run);
void CopyCashGroups(CopyRun& run);
void CopyManufacturers(CopyRun& run);

// The fields these copies read from their legacy files.
std::vector<FieldsRead> ReferenceCopiesFieldsRead();
