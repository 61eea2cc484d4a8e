// Walks a legacy table reading every field's text form and prints the throughput.
//   legacy-read [TABLE]   without TABLE, writes a 200 MB table of mixed fields to a temporary folder.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "legacy/field_values.h"
#include "legacy/legacy_table.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr std::uint64_t kTargetBytes = 200ull * 1000 * 1000;

// The header from the test writer, then the same kind of record over and over, streamed.
void WriteBenchTable(const std::string& path)
{
    DbfWriter writer;
    writer.Field("CODIGO", 'N', 8).Field("NOME", 'C', 60).Field("ENDERECO", 'C', 80).Field("VALOR", 'N', 12, 2)
        .Field("DATA", 'D', 8).Field("ATIVO", 'L', 1).Field("ESTOQUE", 'N', 12).Field("OBS", 'C', 40);
    writer.EndOfFileMark(false);
    const std::string header = writer.TableBytes();
    const std::uint64_t recordLength = writer.ComputedRecordLength();
    std::ofstream out(path, std::ios::binary);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    std::string record;
    for (std::uint64_t n = 1; n * recordLength <= kTargetBytes; ++n) {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, "%c%8llu%-60s%-80s%12.2f%04llu%02llu%02lluT%12llu%-40s", n % 50 ? ' ' : '*',
                      static_cast<unsigned long long>(n), "CLIENTE DE TESTE DA SILVA", "RUA DAS FLORES, 123 - CENTRO",
                      static_cast<double>(n % 100000) / 100.0, static_cast<unsigned long long>(1990 + n % 30),
                      static_cast<unsigned long long>(1 + n % 12), static_cast<unsigned long long>(1 + n % 28),
                      static_cast<unsigned long long>(n * 7), "");
        out.write(buffer, static_cast<std::streamsize>(recordLength));
    }
    out.put('\x1A');
}

}  // namespace

int main(int argc, char** argv)
{
    TempFolder folder;
    std::string path;
    if (argc > 1) {
        path = argv[1];
    } else {
        path = folder.File("KQ000012.dat");
        std::printf("writing %s\n", path.c_str());
        WriteBenchTable(path);
    }

    LegacyTable table;
    table.SetDBFFileName(path);
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    table.Open();
    const auto fields = table.Fields();
    std::uint64_t records = 0, textBytes = 0;
    for (table.MoveFirst(); !table.IsPastEnd(); table.MoveNext()) {
        for (const LegacyField& field : fields) textBytes += AsText(field).size();
        ++records;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double megabytes = static_cast<double>(records) * table.RecordLength() / 1e6;
    // On a shared machine the processor time says more about the reader than the wall clock.
    std::printf("%llu records, %.1f MB of records, %llu text bytes in %.2f s (%.2f s of processor): "
                "%.1f MB/s, %.1f MB/s of processor time\n",
                static_cast<unsigned long long>(records), megabytes, static_cast<unsigned long long>(textBytes), seconds,
                cpuSeconds, megabytes / seconds, megabytes / cpuSeconds);
    return 0;
}
