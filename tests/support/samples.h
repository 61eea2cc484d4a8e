#pragma once

#include <string>

// The folder of third-party sample files of one kind ("dbf", "xml"), whoever wrote the checkout:
// the shared samples beside the repository, else /work/shared/samples.
std::string SamplesFolder(const std::string& kind);
