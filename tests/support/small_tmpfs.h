#pragma once

#include <cstdint>
#include <string>

// A tmpfs of a given size mounted on a new folder, unmounted at the end: a disk that fills up. Mounting needs
// root; without it Mounted() is false and Error() says why.
class SmallTmpfs {
public:
    SmallTmpfs(const std::string& folder, std::uintmax_t bytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Error() const { return error_; }

private:
    std::string folder_;
    bool mounted_ = false;
    std::string error_;
};
