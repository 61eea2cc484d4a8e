#include "legacy/memo_file.h"

#include <cstring>
#include <limits>

#include "legacy/file_lookup.h"

namespace {
constexpr char kTextEnd = 0x1A;
}

MemoFile MemoFile::OpenBeside(const std::string& tablePath)
{
    const auto path = FindMemoFileFor(tablePath);
    if (!path) return MemoFile();
    int errorNumber = 0;
    return MemoFile(FileHandle::OpenExclusive(*path, errorNumber));
}

std::string MemoFile::ReadText(std::int64_t block) const
{
    std::string text;
    if (!IsOpen() || block < 0 || static_cast<std::uint64_t>(block) > std::numeric_limits<std::int64_t>::max() / kBlockLength)
        return text;
    std::uint64_t offset = static_cast<std::uint64_t>(block) * kBlockLength;
    char piece[kBlockLength];
    for (;;) {
        const std::size_t got = file_.ReadAt(offset, piece, kBlockLength);
        const void* end = std::memchr(piece, kTextEnd, got);
        if (end) {
            text.append(piece, static_cast<const char*>(end) - piece);
            return text;
        }
        text.append(piece, got);
        if (got < kBlockLength) return text;
        offset += got;
    }
}
