#pragma once

#include <stdexcept>
#include <string>

// What ends a whole command rather than one record: the copy cannot go on, whatever the record.
enum class FatalKind {
    None,
    LostConnection,  // the connection to the database is gone
    DatabaseShutdown,  // the database was shut down
    DatabaseFileIo,  // reading or writing the database file failed (a full disk, a read-only file)
    Interrupted,  // the operator or the system asked the command to stop
};

// Every failure the program reports travels as one of these, carrying the text to show.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& text, FatalKind fatal = FatalKind::None)
        : std::runtime_error(text), fatal_(fatal)
    {
    }

    FatalKind Fatal() const { return fatal_; }
    bool IsFatal() const { return fatal_ != FatalKind::None; }

private:
    FatalKind fatal_;
};

// True for a Failure that ends the command.
inline bool IsFatalFailure(const std::exception& failure)
{
    const auto* known = dynamic_cast<const Failure*>(&failure);
    return known && known->IsFatal();
}

// Inside a catch block that handles a record's or a step's failure: lets a fatal one go on up.
inline void RethrowIfFatal(const std::exception& failure)
{
    if (IsFatalFailure(failure)) throw;
}
