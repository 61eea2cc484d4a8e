#include "fiscal/invoice_import.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "common/interruption.h"
#include "session/choosers.h"
#include "session/operator.h"
#include "session/session.h"
#include "common/date_time.h"
#include "common/failure.h"
#include "session/value_helpers.h"
#include "fiscal/xml_text.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderTitle = "Procure a Pasta dos XMLs";
constexpr const char* kInsertInvoice =
    "insert into nfce(data, chave, nota, cliente, adic) values(:data,:chave, :nota, :cliente, :adic)";

// Sub-folders the previous system's tools expect beside the files; nothing here uses them.
void MakeSureOfSubFolders(const std::string& folder)
{
    for (const char* sub : {"/NFE", "/NFE/EXC", "/NFE/CSTAT150"}) {
        std::error_code ignored;
        fs::create_directories(folder + sub, ignored);
    }
}

bool EndsWithXml(const std::string& name)
{
    if (name.size() < 4) return false;
    const std::string tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'x' && (tail[2] | 0x20) == 'm' && (tail[3] | 0x20) == 'l';
}

// The file as lines of text joined with CR LF, each line ended by one (a lone CR, a lone LF or CR LF ends a line).
std::string LoadAsLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("Cannot open file \"" + path + "\". " + std::strerror(errno));
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw Failure("Cannot read file \"" + path + "\"");
    std::string text;
    text.reserve(content.size() + content.size() / 32);
    size_t i = 0;
    while (i < content.size()) {
        const size_t end = content.find_first_of("\r\n", i);
        if (end == std::string::npos) {
            text.append(content, i, std::string::npos).append("\r\n");
            break;
        }
        text.append(content, i, end - i).append("\r\n");
        i = end + 1;
        if (content[end] == '\r' && i < content.size() && content[i] == '\n') ++i;
    }
    return text;
}

struct Invoice {
    std::chrono::year_month_day date;
    std::string key;
    std::string number;
};

Invoice InvoiceOf(const std::string& text)
{
    Invoice invoice;
    invoice.key = AccessKey(text);
    invoice.number = Trimmed(TagValue("cNF", text));
    invoice.date = DateFromText(TimestampToDateText(Trimmed(TagValue("dhEmi", text))));
    return invoice;
}

void Record(FbConnection& target, const Invoice& invoice)
{
    FbQuery& insert = target.Query();
    insert.Close();
    insert.SetSql(kInsertInvoice);
    insert.SetDate("data", invoice.date);
    insert.SetText("chave", invoice.key);
    insert.SetText("nota", invoice.number);
    insert.SetText("cliente", "1");
    insert.SetText("adic", "");
    insert.Execute();
    target.Transaction().Commit();
}

// The plain, visible files of the folder whose names end in ".xml" in any letter case, sorted by name. The
// window processes its pending events once per file found.
std::vector<std::string> XmlFileNames(const std::string& folder, Operator& op)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.front() == '.' || !EndsWithXml(name)) continue;
        std::error_code notPlain;
        if (!entry.is_regular_file(notPlain)) continue;
        names.push_back(name);
        op.ProcessEvents();
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool IsAcceptedStatus(const std::string& trimmedStatus)
{
    return !trimmedStatus.empty() && std::string_view("100-150").find(trimmedStatus) != std::string_view::npos;
}

std::chrono::year_month_day DateFromText(const std::string& text)
{
    const auto date = ParseStrictDateText(text);
    if (!date) throw Failure("'" + text + "' is not a valid date");
    return *date;
}

void ImportInvoiceXmls(Session& session, Operator& op)
{
    ChooseTargetDatabase(op, session.paths);
    session.target.DirectConnect(op.TargetBox());

    const std::string folder = op.ChooseFolder(kFolderTitle);
    if (folder.empty()) return;
    MakeSureOfSubFolders(folder);

    int added = 0;
    for (const std::string& name : XmlFileNames(folder, op)) {
        StopIfInterrupted();
        const std::string text = LoadAsLines(folder + "/" + name);
        if (!IsAcceptedStatus(Trimmed(TagValue("cStat", text)))) continue;
        ++added;
        Invoice invoice;
        try {
            invoice = InvoiceOf(text);
        } catch (const Failure& failure) {
            // Hundreds of files: the failure names the one it came from.
            throw Failure(folder + "/" + name + ": " + failure.what());
        }
        Record(session.target, invoice);
    }

    op.ShowMessage("Total Adicionados: " + std::to_string(added));
}
