#pragma once

struct CopyRun;

void CopyCfops(CopyRun& run);
void CopyCashHistories(CopyRun& run);
void CopySellers(CopyRun& run);
void CopyAddressBook(CopyRun& run);
void CopyProductGroups(CopyRun& run);
void CopyCashGroups(CopyRun& run);
void CopyManufacturers(CopyRun& run);
