#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Owns one file descriptor opened for reading with an exclusive lock, the way the legacy
// system's files must be held: nobody else may have them open while we read them.
class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // open(O_RDONLY) + flock(LOCK_EX | LOCK_NB), tried once. On failure the handle is closed and
    // errorNumber tells why (EWOULDBLOCK when another process holds the file).
    static FileHandle OpenExclusive(const std::string& path, int& errorNumber);

    bool IsOpen() const { return fd_ >= 0; }
    // Reads up to length bytes at offset; fewer only at the end of the file. Throws Failure on an I/O error.
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const;
    // The file's current size, learnt by seeking to its end.
    std::uint64_t Size() const;

private:
    explicit FileHandle(int fd) : fd_(fd) {}
    int fd_ = -1;
};
