#include "app/command_report.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/reporting_operator.h"
#include "legacy/code_page.h"
#include "session/operator.h"
#include "session/session.h"

namespace fs = std::filesystem;

namespace {

// The command's name in the report's file name and title; null for the commands that write nothing.
const char* ReportName(Command command)
{
    switch (command) {
    case Command::StartCopy: return "migrate";
    case Command::BackupRestore: return "backup";
    case Command::ClearDatabase: return "clear";
    case Command::OrvelImport: return "import-orvel";
    case Command::UpdateProductField: return "update-field";
    case Command::DeleteRemovedReceivables: return "reconcile-receivables";
    case Command::RenumberSales: return "renumber-sales";
    case Command::RenumberNfe: return "renumber-nfe";
    case Command::ConvertXmls: return "import-xml";
    case Command::ChooseLegacyFolder:
    case Command::CheckLegacyFolder:
    case Command::ChooseTargetDatabase: return nullptr;
    }
    return nullptr;
}

// "2026-12-09 20-11-38" in local time (separator as given).
std::string Stamp(std::chrono::system_clock::time_point when, char timeSeparator)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    const std::string format = std::string("%Y-%m-%d %H") + timeSeparator + "%M" + timeSeparator + "%S";
    std::strftime(text, sizeof text, format.c_str(), &local);
    return text;
}

// A name not taken yet in the folder: a second report within the same second gets "-2" and so on.
std::string FreeReportPath(const std::string& folder, const std::string& stem)
{
    std::string path = folder + "/" + stem + ".txt";
    for (int n = 2; fs::exists(path); ++n) path = folder + "/" + stem + "-" + std::to_string(n) + ".txt";
    return path;
}

// The operator's code page choice, as the report records it.
std::string CodePageChoice(CodePage page)
{
    switch (page) {
    case CodePage::Cp850: return "CP850, convertidos para ISO 8859-1";
    case CodePage::Cp437: return "CP437, convertidos para ISO 8859-1";
    case CodePage::Latin1: return "ISO 8859-1";
    case CodePage::AsStored: break;
    }
    return "como gravados (sem conversão)";
}

}  // namespace

std::string DefaultReportFolder()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (dataHome && *dataHome == '/') {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.local/share";
    }
    return base + "/convquibraw/relatorios";
}

ReportOutcome RunReportedCommand(Command command, Session& session, Operator& op, const std::string& reportPath)
{
    const char* name = ReportName(command);
    if (!name) {
        RunCommand(command, session, op);
        return {};
    }
    ReportingOperator reporting(op);
    const auto started = session.now();
    RunCommand(command, session, reporting);

    ReportOutcome outcome;
    std::error_code error;
    if (reportPath.empty()) {
        const std::string folder = DefaultReportFolder();
        fs::create_directories(folder, error);
        if (error) return {"", folder + ": " + error.message()};
        std::string stem = Stamp(started, '-') + " " + name;
        std::replace(stem.begin(), stem.end(), ' ', '_');
        outcome.path = FreeReportPath(folder, stem);
    } else {
        outcome.path = reportPath;
    }
    std::ofstream file(outcome.path, std::ios::binary | std::ios::trunc);
    file << reporting.ReportText("Relatório do ConvQuibraW: " + std::string(name) + ", " + Stamp(started, ':') +
                                 "\nTextos do Quibra Antigo: " + CodePageChoice(op.LegacyCodePage()));
    file.close();
    if (!file) outcome.failure = outcome.path + ": não foi possível gravar o relatório";
    return outcome;
}
