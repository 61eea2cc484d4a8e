#include "session/session.h"

#include <filesystem>

std::string RunningProgramFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path().string();
    return exe.parent_path().string();
}
