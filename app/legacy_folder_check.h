#pragma once

#include <string>
#include <vector>

class Operator;
struct Session;

// A look at a legacy folder before the full run, one line each (Portuguese): for every file the run reads, whether
// it is there (letter case aside), its records and deleted records, the fields its copy reads that it lacks, and the
// values that will arrive empty or fail; then the folder's probable code page and a summary.
std::vector<std::string> LegacyFolderReport(const std::string& folder);

// "Verificar Pasta": the same lines in the log, for the folder in the legacy folder box (asked for when empty).
void CheckLegacyFolder(Session& session, Operator& op);
