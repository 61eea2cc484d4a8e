#include "app/legacy_folder_check.h"

#include <algorithm>
#include <optional>

#include "common/failure.h"
#include "copy/financial_copies.h"
#include "copy/party_copies.h"
#include "copy/product_copies.h"
#include "copy/purchase_copy.h"
#include "copy/reference_copies.h"
#include "copy/sales_copy.h"
#include "legacy/code_page_guess.h"
#include "legacy/field_decoding.h"
#include "legacy/field_values.h"
#include "legacy/file_lookup.h"
#include "legacy/legacy_table.h"
#include "legacy/table_warnings.h"
#include "legacy/value_check.h"
#include "session/choosers.h"
#include "session/operator.h"
#include "session/session.h"
#include "session/value_helpers.h"

namespace {

// Every file of the full run with the fields its copy reads, in file-name order.
std::vector<FieldsRead> FilesTheRunReads()
{
    std::vector<FieldsRead> files{SalesCopyFieldsRead(), PurchaseCopyFieldsRead(), ProductCopyFieldsRead()};
    for (auto&& more : {ReferenceCopiesFieldsRead(), PartyCopiesFieldsRead(), FinancialCopiesFieldsRead()})
        files.insert(files.end(), more.begin(), more.end());
    std::sort(files.begin(), files.end(), [](const FieldsRead& a, const FieldsRead& b) { return a.fileName < b.fileName; });
    return files;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// How the copies treat a code: the sellers and clients skip codes without digits, the suppliers write them as
// supplier 0, and a client code beyond an integer ends the run.
enum class CodeRule { None, SkippedWithoutDigits, SupplierZero };

CodeRule CodeRuleOf(const std::string& fileName)
{
    if (fileName == "KQ000017.dat" || fileName == "KQ000012.dat") return CodeRule::SkippedWithoutDigits;
    if (fileName == "KQ000018.dat") return CodeRule::SupplierZero;
    return CodeRule::None;
}

struct CodeCounts {
    int withoutDigits = 0;
    int beyondInteger = 0;
};

void CountCode(const std::string& codeText, CodeRule rule, CodeCounts& counts)
{
    if (rule == CodeRule::None) return;
    std::int32_t code = 0;
    try {
        code = StrictInteger(DigitsOnly(codeText));
    } catch (const Failure&) {
        ++counts.beyondInteger;
        return;
    }
    if (code <= 0) ++counts.withoutDigits;
}

std::string LostValues(FieldKind kind, int count)
{
    const std::string n = std::to_string(count);
    switch (kind) {
    case FieldKind::Date: return n + " datas que não se leem (chegam como 30/12/1899)";
    case FieldKind::Integer:
    case FieldKind::LargeInteger:
    case FieldKind::Float: return n + " números que não se leem (chegam como 0 ou vazios)";
    case FieldKind::Logical: return n + " valores lógicos que não se leem (chegam vazios)";
    case FieldKind::Memo: return n + " memos com número de bloco que não se lê (chegam vazios)";
    case FieldKind::Text: break;
    }
    return n + " valores que não se leem";
}

struct FolderTotals {
    int found = 0;
    int withMissingFields = 0;
    int warnings = 0;
    CodePageTally tally;
};

void CheckFile(const std::string& folder, const FieldsRead& file, FolderTotals& totals, std::vector<std::string>& lines)
{
    const std::string title = file.fileName + " (" + file.what + ")";
    const auto path = FindInFolderIgnoringCase(folder, file.fileName);
    if (!path) {
        lines.push_back(title + ": não encontrado");
        return;
    }
    ++totals.found;
    LegacyTable table("table1");
    table.SetDBFFileName(*path);
    try {
        table.Open();
    } catch (const Failure& failure) {
        lines.push_back(title + ": não abriu (" + failure.what() + ")");
        ++totals.warnings;
        return;
    }

    std::vector<std::string> notes;
    for (const std::string& warning : TableLayoutWarnings(table)) notes.push_back(warning);
    std::vector<LegacyField> read;
    bool missing = false;
    for (const std::string& name : file.fields) {
        try {
            read.push_back(table.FieldNamed(name));
        } catch (const Failure& failure) {
            notes.push_back("falta o campo " + Upper(name) + ": a cópia falha com \"" + failure.what() + "\"");
            missing = true;
        }
    }
    if (missing) ++totals.withMissingFields;

    const CodeRule rule = CodeRuleOf(file.fileName);
    std::optional<LegacyField> code;
    if (rule != CodeRule::None) {
        const auto found = std::find_if(read.begin(), read.end(), [](const LegacyField& f) { return f.Name() == "CODIGO"; });
        if (found != read.end()) code = *found;
    }
    int deleted = 0;
    CodeCounts codes;
    std::vector<int> invalid(read.size(), 0);
    const std::vector<LegacyField> all = table.Fields();
    if (table.HasRecords()) {
        for (table.MoveFirst(); !table.IsPastEnd(); table.MoveNext()) {
            if (table.IsDeleted()) ++deleted;
            for (std::size_t i = 0; i < read.size(); ++i)
                if (CheckStoredValue(read[i]) == StoredValue::Invalid) ++invalid[i];
            if (code) CountCode(AsText(*code), rule, codes);
            for (const LegacyField& field : all) {
                if (field.Kind() == FieldKind::Text) totals.tally.Add(DecodeText(field.Bytes()));
                if (field.Kind() == FieldKind::Memo) totals.tally.Add(AsText(field));
            }
        }
    }
    for (std::size_t i = 0; i < read.size(); ++i)
        if (invalid[i] > 0) notes.push_back(read[i].Name() + ": " + LostValues(read[i].Kind(), invalid[i]));
    if (codes.withoutDigits > 0)
        notes.push_back(std::to_string(codes.withoutDigits) +
                        (rule == CodeRule::SupplierZero
                             ? " registros com código sem dígitos: gravados como fornecedor 0 (fica só o último)"
                             : " registros com código sem dígitos: não são copiados"));
    if (codes.beyondInteger > 0)
        notes.push_back(std::to_string(codes.beyondInteger) + " registros com código além de 2147483647: " +
                        (file.fileName == "KQ000012.dat" ? "a cópia completa para no primeiro deles"
                                                         : "cada um dá \"Ocorreu um Erro\""));

    lines.push_back(title + ": " + std::to_string(table.RecordTotal()) + " registros, " + std::to_string(deleted) +
                    " apagados");
    for (const std::string& note : notes) lines.push_back("  " + note);
    totals.warnings += static_cast<int>(notes.size());
}

}  // namespace

std::vector<std::string> LegacyFolderReport(const std::string& folder)
{
    std::vector<std::string> lines{"Pasta: " + folder};
    const std::vector<FieldsRead> files = FilesTheRunReads();
    FolderTotals totals;
    for (const FieldsRead& file : files) CheckFile(folder, file, totals, lines);

    const CodePageTally::Guess guess = totals.tally.Probable();
    lines.push_back("Página de código provável da pasta: " + guess.name);
    for (const std::string& reason : guess.reasons) lines.push_back("  " + reason);
    if (guess.name == "CP850" || guess.name == "CP437")
        lines.push_back("  para acentos certos no QuibraW, marque \"Textos do DOS (CP850)\" (no terminal, --codepage " +
                        std::string(guess.name == "CP850" ? "cp850" : "cp437") + ")");
    lines.push_back("Resumo: " + std::to_string(totals.found) + " de " + std::to_string(files.size()) +
                    " arquivos encontrados, " + std::to_string(totals.withMissingFields) + " com campos faltando, " +
                    std::to_string(totals.warnings) + " avisos");
    return lines;
}

void CheckLegacyFolder(Session& session, Operator& op)
{
    if (op.LegacyFolderBox().empty()) {
        op.ShowMessage("Selecione um Diretório do QuibraDOS");
        ChooseLegacyFolder(op, session.paths);
    }
    const std::string folder = op.LegacyFolderBox();
    if (folder.empty()) return;
    op.LogClear();
    for (const std::string& line : LegacyFolderReport(folder)) op.LogAppend(line);
}
