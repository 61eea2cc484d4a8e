#pragma once

#include <string>

// Third-party sample files ("dbf", "xml") kept in tests/samples. A few more, whose licence keeps them out of this
// repository, are read from the shared samples folder beside it when there is one.
std::string SamplesFolder(const std::string& kind);

// The path of one sample, in tests/samples or beside the repository; empty when neither has it.
std::string SampleFile(const std::string& kind, const std::string& name);
