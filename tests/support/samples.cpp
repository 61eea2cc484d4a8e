#include "tests/support/samples.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string SamplesFolder(const std::string& kind) { return (fs::path(REPO_SAMPLES_DIR) / kind).string(); }

std::string SampleFile(const std::string& kind, const std::string& name)
{
    for (const fs::path& folder : {fs::path(REPO_SAMPLES_DIR), fs::path(SAMPLES_DIR)})
        if (fs::is_regular_file(folder / kind / name)) return (folder / kind / name).string();
    return "";
}
