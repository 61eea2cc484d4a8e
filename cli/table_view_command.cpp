#include "cli/table_view_command.h"

#include <cstdio>

#include "legacy/code_page.h"
#include "common/failure.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"

namespace {

constexpr const char* kUsage = "uso: convquibraw-cli inspect ARQUIVO [--latin1|--cp850]";

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

void PrintHeader(const LegacyTable& table, std::ostream& out)
{
    out << "Arquivo: " << table.DBFFileName() << '\n'
        << "Versão: " << Hex(table.Version()) << '\n'
        << "Tamanho do cabeçalho: " << table.HeaderLength() << '\n'
        << "Tamanho do registro: " << table.RecordLength() << '\n'
        << "Total de registros: " << table.RecordTotal() << '\n'
        << "Arquivo memo: "
        << (table.Version() != 0x83 ? "não usado" : table.HasMemoFile() ? "encontrado" : "não encontrado") << '\n';
}

void PrintFields(const std::vector<LegacyField>& fields, CodePage codePage, std::ostream& out)
{
    out << "Campos: " << fields.size() << '\n' << "nome\ttipo\ttamanho\tdecimais\tposição\n";
    for (const LegacyField& field : fields)
        out << ToUtf8(field.Name(), codePage) << '\t' << field.Type() << '\t' << field.Size() << '\t'
            << static_cast<unsigned>(field.Decimals()) << '\t' << field.Position() << '\n';
}

void PrintRecords(LegacyTable& table, const std::vector<LegacyField>& fields, CodePage codePage, std::ostream& out)
{
    out << "Registros:\n";
    if (!table.HasRecords()) return;
    for (table.MoveFirst(); !table.IsPastEnd(); table.MoveNext()) {
        out << table.RecordNumber() << '\t' << (table.IsDeleted() ? '*' : ' ');
        for (const LegacyField& field : fields) out << '\t' << ToUtf8(AsText(field), codePage);
        out << '\n';
    }
}

}  // namespace

int RunInspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::string fileName;
    CodePage codePage = CodePage::AsStored;
    bool codePageGiven = false;
    for (const std::string& arg : args) {
        if (arg == "--latin1" || arg == "--cp850") {
            if (codePageGiven) {
                err << kUsage << '\n';
                return 2;
            }
            codePageGiven = true;
            codePage = arg == "--latin1" ? CodePage::Latin1 : CodePage::Cp850;
        } else if (arg.rfind("--", 0) == 0 || !fileName.empty()) {
            err << kUsage << '\n';
            return 2;
        } else {
            fileName = arg;
        }
    }
    if (fileName.empty()) {
        err << kUsage << '\n';
        return 2;
    }

    LegacyTable table;
    table.SetDBFFileName(fileName);
    try {
        table.Open();
    } catch (const Failure& failure) {
        err << "Não foi possível abrir a tabela " << fileName << " (" << failure.what() << ")\n";
        return 1;
    }
    try {
        const std::vector<LegacyField> fields = table.Fields();
        PrintHeader(table, out);
        PrintFields(fields, codePage, out);
        PrintRecords(table, fields, codePage, out);
    } catch (const Failure& failure) {
        err << "Erro ao ler a tabela " << fileName << " (" << failure.what() << ")\n";
        return 1;
    }
    return 0;
}
