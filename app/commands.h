#pragma once

#include <string>
#include <vector>

class Operator;
struct Session;

// The window's buttons; the console's commands map onto the same list.
enum class Command {
    StartCopy,
    ChooseLegacyFolder,
    ChooseTargetDatabase,
    BackupRestore,
    ClearDatabase,
    OrvelImport,
    UpdateProductField,
    DeleteRemovedReceivables,
    RenumberSales,
    RenumberNfe,
    ConvertXmls,
    CheckLegacyFolder,
};

// Runs one command to its end. A failure the command does not handle itself reaches the general error report; a
// fatal fault (lost connection, database shut down, I/O error on the database file, interruption) first rolls the
// target's pending rows back.
void RunCommand(Command command, Session& session, Operator& op);

// The same without the report: the failure propagates (tests use it to see what ended a command).
void RunCommandUnreported(Command command, Session& session, Operator& op);
