#include "tests/support/samples.h"

#include <filesystem>

std::string SamplesFolder(const std::string& kind)
{
    const std::filesystem::path beside = std::filesystem::path(SAMPLES_DIR) / kind;
    if (std::filesystem::is_directory(beside)) return beside.string();
    return "/work/shared/samples/" + kind;
}
