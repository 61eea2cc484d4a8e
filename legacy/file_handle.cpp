#include "legacy/file_handle.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

#include "common/failure.h"

FileHandle::~FileHandle()
{
    if (fd_ >= 0) ::close(fd_);
}

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileHandle FileHandle::OpenExclusive(const std::string& path, int& errorNumber)
{
    FileHandle handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!handle.IsOpen() || ::flock(handle.fd_, LOCK_EX | LOCK_NB) != 0) {
        errorNumber = errno;
        return FileHandle();
    }
    errorNumber = 0;
    return handle;
}

std::size_t FileHandle::ReadAt(std::uint64_t offset, char* buffer, std::size_t length) const
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            throw Failure(std::string("Erro de leitura: ") + std::strerror(errno));
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::uint64_t FileHandle::Size() const
{
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}
