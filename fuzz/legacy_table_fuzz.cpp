// Feeds arbitrary bytes to the legacy table reader as a table file and its memo file.
// The first two bytes give the length of the tail that becomes the memo file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <string>

#include "common/failure.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"

namespace {

// A plain array, so that it outlives the static strings when the folder is removed at exit.
char gFolder[] = "/tmp/legacy-fuzz-XXXXXX";

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(gFolder, ignored);
}

const std::string& Folder()
{
    static const std::string folder = [] {
        if (!::mkdtemp(gFolder)) std::abort();
        std::atexit(RemoveFolder);
        return std::string(gFolder);
    }();
    return folder;
}

void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void ReadEveryForm(const LegacyTable& table)
{
    for (const LegacyField& field : table.Fields()) {
        (void)AsText(field);
        try {
            (void)AsMoney(field);
        } catch (const Failure&) {
        }
        try {
            (void)AsDate(field);
        } catch (const Failure&) {
        }
    }
    (void)table.IsDeleted();
    (void)table.RecordNumber();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::size_t rest = size - 2;
    const std::size_t memoSize = std::min<std::size_t>(data[0] | (data[1] << 8), rest);
    const std::string tablePath = Folder() + "/KQ000012.dat";
    WriteBytes(tablePath, data + 2, rest - memoSize);
    WriteBytes(Folder() + "/kq000012.DBT", data + 2 + rest - memoSize, memoSize);

    LegacyTable table;
    table.SetDBFFileName(tablePath);
    try {
        table.Open();
    } catch (const Failure&) {
        return 0;
    }
    const std::int32_t total = table.RecordTotal();
    std::int32_t steps = 0;
    for (table.MoveFirst(); !table.IsPastEnd() && steps <= total; table.MoveNext(), ++steps) ReadEveryForm(table);
    ReadEveryForm(table);
    for (steps = 0; steps <= total + 1; ++steps) {
        table.MovePrior();
        ReadEveryForm(table);
    }
    table.MoveNext();
    ReadEveryForm(table);
    try {
        (void)AsText(table.FieldNamed("x"));
    } catch (const Failure&) {
    }
    return 0;
}
