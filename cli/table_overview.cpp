#include "cli/table_overview.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "legacy/code_page_guess.h"
#include "legacy/field_decoding.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"
#include "legacy/table_warnings.h"
#include "legacy/value_check.h"

namespace {

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// Control bytes written as escapes, so that a value stays on its line and in its column.
std::string Escaped(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t')
            text += "\\t";
        else if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            text += escape;
        } else {
            text += c;
        }
    }
    return text;
}

std::string Shown(std::string_view bytes, const InspectView& view) { return ToUtf8(Escaped(bytes), view.shownAs); }

std::string BytesAfterRecordsText(const std::string& bytes)
{
    if (bytes.empty()) return "0";
    const std::string count = std::to_string(bytes.size());
    if (bytes == "\x1A") return count + " (0x1A, a marca de fim de arquivo)";
    if (bytes.back() == '\x1A')
        return count + " (um registro incompleto de " + std::to_string(bytes.size() - 1) + " bytes e a marca 0x1A)";
    return count + " (um registro incompleto)";
}

std::string MemoText(const LegacyTable& table)
{
    const MemoFile& memo = table.Memo();
    const char* const lost = ": os memos saem vazios";
    switch (memo.State()) {
    case MemoFile::Status::NotUsed: return "não usado (tabela sem memo, versão " + Hex(table.Version()) + ")";
    case MemoFile::Status::Open: return memo.Path();
    case MemoFile::Status::Missing: return std::string("não encontrado (nenhum .dbt com o nome da tabela na pasta)") + lost;
    case MemoFile::Status::HeldByAnotherProgram: return memo.Path() + " em uso por outro programa" + lost;
    case MemoFile::Status::Unopenable: return memo.Path() + " não abriu (" + memo.OpenError() + ")" + lost;
    }
    return "";
}

// A value as the copies read it, or the stored bytes marked when they do not decode.
std::string ValueText(const LegacyField& field, const LegacyTable& table, const InspectView& view)
{
    switch (CheckStoredValue(field)) {
    case StoredValue::Invalid: return "‹inválido: \"" + Shown(field.Bytes(), view) + "\"›";
    case StoredValue::Blank: break;
    case StoredValue::Decodes:
        if (field.Kind() == FieldKind::Memo && !table.HasMemoFile())
            return "‹sem arquivo memo: bloco " + Shown(field.Bytes(), view) + "›";
        break;
    }
    // Trailing blanks are left out: they cannot be seen and they stretch the line.
    std::string text = AsText(field);
    text.erase(text.find_last_not_of(' ') + 1);
    return Shown(text, view);
}

}  // namespace

void PrintTableInspection(LegacyTable& table, const InspectView& view, std::ostream& out)
{
    const std::vector<LegacyField> fields = table.Fields();
    const std::int64_t total = table.RecordTotal();
    const std::int64_t last = view.limit == 0 ? total : std::min(total, view.from + view.limit - 1);

    // One walk: the counts and the code page need every record, the listing only the chosen ones.
    std::int64_t deleted = 0;
    CodePageTally tally;
    std::ostringstream records;
    if (table.HasRecords()) {
        for (table.MoveFirst(); !table.IsPastEnd(); table.MoveNext()) {
            if (table.IsDeleted()) ++deleted;
            for (const LegacyField& field : fields) {
                if (field.Kind() == FieldKind::Text) tally.Add(DecodeText(field.Bytes()));
                if (field.Kind() == FieldKind::Memo) tally.Add(AsText(field));
            }
            const std::int64_t n = table.RecordNumber();
            if (n < view.from || n > last) continue;
            records << n << '\t' << (table.IsDeleted() ? '*' : ' ');
            for (const LegacyField& field : fields) records << '\t' << ValueText(field, table, view);
            records << '\n';
        }
    }

    out << "Arquivo: " << table.DBFFileName() << '\n'
        << "Versão: " << Hex(table.Version()) << '\n'
        << "Tamanho do cabeçalho: " << table.HeaderLength() << '\n'
        << "Tamanho do registro: " << table.RecordLength() << '\n'
        << "Registros no cabeçalho: " << table.HeaderRecordCount() << '\n'
        << "Registros pelo tamanho do arquivo: " << total << '\n'
        << "Bytes após o último registro: " << BytesAfterRecordsText(table.BytesAfterRecords()) << '\n'
        << "Registros apagados: " << deleted << '\n'
        << "Arquivo memo: " << MemoText(table) << '\n';
    for (const std::string& warning : TableLayoutWarnings(table)) out << "Aviso: " << warning << '\n';
    const CodePageTally::Guess guess = tally.Probable();
    out << "Página de código provável: " << guess.name << '\n';
    for (const std::string& reason : guess.reasons) out << "  " << reason << '\n';

    out << "Campos: " << fields.size() << '\n' << "nome\ttipo\ttamanho\tdecimais\tposição\tespécie\n";
    for (const LegacyField& field : fields)
        out << Shown(field.Name(), view) << '\t' << field.Type() << '\t' << field.Size() << '\t'
            << static_cast<unsigned>(field.Decimals()) << '\t' << field.Position() << '\t' << FieldKindName(field.Kind())
            << '\n';

    if (total == 0) {
        out << "Registros: nenhum\n";
        return;
    }
    if (view.from > total) {
        out << "Registros: nenhum a partir do " << view.from << " (o arquivo tem " << total << ")\n";
        return;
    }
    out << "Registros " << view.from << " a " << last << " de " << total << ":\n" << records.str();
    if (last < total)
        out << "Mais " << total - last << " registros depois do " << last << ": use --from " << last + 1
            << " para vê-los\n";
}
