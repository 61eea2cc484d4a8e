#include "tests/support/small_tmpfs.h"

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

SmallTmpfs::SmallTmpfs(const std::string& folder, std::uintmax_t bytes) : folder_(folder)
{
    std::filesystem::create_directory(folder_);
    const std::string options = "size=" + std::to_string(bytes);
    mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    if (!mounted_) error_ = std::string("no tmpfs mount here (needs root): ") + std::strerror(errno);
}

SmallTmpfs::~SmallTmpfs()
{
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}
