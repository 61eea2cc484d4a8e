#pragma once

#include <string>

#include "app/commands.h"

class Operator;
struct Session;

// Where a report went: its path (empty when the command writes nothing to the target), or why it could not be
// written.
struct ReportOutcome {
    std::string path;
    std::string failure;
};

// $XDG_DATA_HOME/convquibraw/relatorios, or ~/.local/share/convquibraw/relatorios without it.
std::string DefaultReportFolder();

// Runs the command (RunCommand) and, for a command that writes to the target, leaves its UTF-8 report: every log
// line and message, every failed record in full, one summary line per copy. It goes to reportPath, or when that is
// empty to a new file of the default folder named by date, time and command.
ReportOutcome RunReportedCommand(Command command, Session& session, Operator& op, const std::string& reportPath = "");
