#pragma once

#include <string>

// Writes every legacy file of the full migration into `dir`. Scale 1 is a large shop (20,000 clients, 200,000
// sales records, ...); fractions give smaller folders (at least 10 records per file).
void WriteSyntheticLegacyFolder(const std::string& dir, double scale);
