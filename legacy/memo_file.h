#pragma once

#include <cstdint>
#include <string>

#include "legacy/file_handle.h"

// The ".dbt" file of a dBase III table: texts in 512-byte blocks, each ending before its first 0x1A.
// A default-made MemoFile stands for a memo file that is missing or could not be opened: every text
// read from it is empty.
class MemoFile {
public:
    static constexpr std::uint64_t kBlockLength = 512;

    // Why a memo file is or is not in use, for looking inside a table.
    enum class Status { NotUsed, Open, Missing, HeldByAnotherProgram, Unopenable };

    MemoFile() = default;
    explicit MemoFile(FileHandle file) : file_(std::move(file)), status_(Status::Open) {}

    // Looks for the memo file beside the table (without regard to case) and opens it exclusively;
    // gives the missing stand-in when there is none or it cannot be opened.
    static MemoFile OpenBeside(const std::string& tablePath);

    bool IsOpen() const { return file_.IsOpen(); }
    Status State() const { return status_; }
    // The memo file found beside the table (empty when none was found); the system's reason when it did not open.
    const std::string& Path() const { return path_; }
    const std::string& OpenError() const { return openError_; }
    // The text that starts at byte block * 512, up to the first 0x1A or the end of the file.
    std::string ReadText(std::int64_t block) const;

private:
    FileHandle file_;
    Status status_ = Status::NotUsed;
    std::string path_;
    std::string openError_;
};
