#include "legacy/memo_file.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include "legacy/file_lookup.h"

namespace {
constexpr char kTextEnd = 0x1A;
}

MemoFile MemoFile::OpenBeside(const std::string& tablePath)
{
    MemoFile memo;
    const auto path = FindMemoFileFor(tablePath);
    if (!path) {
        memo.status_ = Status::Missing;
        return memo;
    }
    int errorNumber = 0;
    FileHandle file = FileHandle::OpenExclusive(*path, errorNumber);
    if (file.IsOpen()) {
        memo = MemoFile(std::move(file));
    } else {
        memo.status_ = errorNumber == EWOULDBLOCK ? Status::HeldByAnotherProgram : Status::Unopenable;
        memo.openError_ = std::strerror(errorNumber);
    }
    memo.path_ = *path;
    return memo;
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
