#include "legacy/table_warnings.h"

#include "legacy/legacy_table.h"

std::vector<std::string> TableLayoutWarnings(const LegacyTable& table)
{
    std::vector<std::string> warnings;
    const std::int64_t bySize = table.RecordTotal();
    const std::string promised = "o cabeçalho diz " + std::to_string(table.HeaderRecordCount()) + " registros";
    if (table.HeaderRecordCount() > bySize)
        warnings.push_back(promised + ", mas o arquivo só tem " + std::to_string(bySize) +
                           " inteiros: o arquivo parece cortado");
    else if (table.HeaderRecordCount() < bySize)
        warnings.push_back(promised + "; a cópia lê os " + std::to_string(bySize) + " que o tamanho do arquivo dá");

    const std::vector<LegacyField> fields = table.Fields();
    std::uint64_t sum = 1;
    for (const LegacyField& field : fields) sum += field.Size();
    if (sum != table.RecordLength())
        warnings.push_back("1 + a soma dos tamanhos dos campos dá " + std::to_string(sum) + ", mas o registro tem " +
                           std::to_string(table.RecordLength()) + " bytes: os campos podem estar fora do lugar");

    std::string memoFields;
    for (const LegacyField& field : fields)
        if (field.Kind() == FieldKind::Memo) memoFields += (memoFields.empty() ? "" : ", ") + field.Name();
    if (!memoFields.empty() && !table.HasMemoFile())
        warnings.push_back("sem arquivo memo, os campos memo (" + memoFields + ") saem vazios");
    return warnings;
}
