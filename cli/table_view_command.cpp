#include "cli/table_view_command.h"

#include <charconv>
#include <filesystem>
#include <optional>

#include "app/legacy_folder_check.h"
#include "cli/table_overview.h"
#include "common/failure.h"
#include "legacy/legacy_table.h"

namespace {

constexpr const char* kUsage =
    "uso: convquibraw-cli inspect ARQUIVO|PASTA [--latin1|--cp850|--cp437] [--from N] [--limit N]";

struct InspectArgs {
    std::string path;
    InspectView view;
};

std::optional<std::int64_t> Count(const std::string& text, std::int64_t lowest)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest) return std::nullopt;
    return value;
}

std::optional<InspectArgs> Parse(const std::vector<std::string>& args)
{
    InspectArgs parsed;
    bool codePageGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--latin1" || arg == "--cp850" || arg == "--cp437") {
            if (codePageGiven) return std::nullopt;
            codePageGiven = true;
            parsed.view.shownAs = arg == "--latin1" ? CodePage::Latin1 : arg == "--cp850" ? CodePage::Cp850 : CodePage::Cp437;
        } else if (arg == "--from" || arg == "--limit") {
            if (i + 1 >= args.size()) return std::nullopt;
            const auto value = Count(args[++i], arg == "--from" ? 1 : 0);
            if (!value) return std::nullopt;
            (arg == "--from" ? parsed.view.from : parsed.view.limit) = *value;
        } else if (arg.starts_with("--") || !parsed.path.empty()) {
            return std::nullopt;
        } else {
            parsed.path = arg;
        }
    }
    if (parsed.path.empty()) return std::nullopt;
    return parsed;
}

int InspectFile(const InspectArgs& args, std::ostream& out, std::ostream& err)
{
    LegacyTable table;
    table.SetDBFFileName(args.path);
    try {
        table.Open();
    } catch (const Failure& failure) {
        err << "Não foi possível abrir a tabela " << args.path << " (" << failure.what() << ")\n";
        return 1;
    }
    try {
        PrintTableInspection(table, args.view, out);
    } catch (const Failure& failure) {
        err << "Erro ao ler a tabela " << args.path << " (" << failure.what() << ")\n";
        return 1;
    }
    return 0;
}

}  // namespace

int RunInspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto parsed = Parse(args);
    if (!parsed) {
        err << kUsage << '\n';
        return 2;
    }
    std::error_code error;
    if (std::filesystem::is_directory(parsed->path, error)) {
        for (const std::string& line : LegacyFolderReport(parsed->path)) out << line << '\n';
        return 0;
    }
    return InspectFile(*parsed, out, err);
}
