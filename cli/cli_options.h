#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/commands.h"
#include "legacy/code_page.h"

// What the options of convquibraw-cli stand for: the window's boxes and check boxes, and the answers its
// dialogs would get. A dialog whose answer was not given acts as cancelled.
struct ConsoleAnswers {
    std::string legacyFolder;  // --legacy: the legacy folder box and the QuibraDOS folder dialog
    std::string target;  // --target: the target box and the target chooser's open-file dialog
    std::optional<std::string> orvel;  // --orvel: the open-file dialog "Localizar BD ORVELSOFT"
    std::optional<std::string> xmlFolder;  // --folder: the folder dialog "Procure a Pasta dos XMLs"
    std::optional<std::string> column;  // --column: the product field update's first input box
    std::optional<std::string> field;  // --field: its second input box
    std::string salesFrom = "  /  /    ";  // --sales-from
    std::string salesTo = "  /  /    ";  // --sales-to
    bool copySales = false;  // --copy-sales
    bool copyPurchases = false;  // --copy-purchases
    bool autoPecas = false;  // --auto-pecas
    CodePage codePage = CodePage::AsStored;  // --codepage cp850|cp437
    std::string numbering;  // N of "renumber sales|nfe N"
};

struct ConsoleRequest {
    enum class Action { RunCommand, Inspect, Help, Version, UsageError };
    Action action = Action::UsageError;
    Command command = Command::StartCopy;
    ConsoleAnswers answers;
    std::vector<std::string> inspectArgs;  // everything after "inspect"
    std::string usageError;  // one line, for Action::UsageError
    std::string reportPath;  // --report FILE; empty for the default folder
};

// Reads the arguments after the program's name.
ConsoleRequest ParseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string UsageText();
