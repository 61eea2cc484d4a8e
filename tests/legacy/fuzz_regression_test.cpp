// Replays the fuzz target's seeds, among them the inputs that once broke the reader, through the
// same open-walk-read steps (run the suite with -DSANITIZE=ON to check them for undefined behaviour).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/legacy_table_fuzz.cpp"

TEST(LegacyFuzzRegressions, seedsReadWithoutFaults)
{
    const auto corpus = std::filesystem::path(REPO_SAMPLES_DIR).parent_path().parent_path() / "fuzz/corpus/legacy_table";
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
        ++replayed;
    }
    EXPECT_GE(replayed, 5);
}
