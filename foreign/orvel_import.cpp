#include "foreign/orvel_import.h"

#include <cstdint>
#include <exception>

#include "common/interruption.h"
#include "session/operator.h"
#include "session/session.h"
#include "session/value_helpers.h"

namespace {

constexpr const char* kChooserTitle = "Localizar BD ORVELSOFT";
constexpr const char* kInvalidOrvelFile = "O Arquivo de Banco de dados do ORVEL nao é válido";
constexpr const char* kSuccess = "Produtos copiados com sucesso!";

constexpr const char* kSelectStock = "select * from estoque order by registro";
constexpr const char* kInsertProduct =
    "insert into produto(cod, grupo, codbar, unid, nome, p_compra, p_venda, quant, aliquota) "
    "values(:cod, 1, :codbar, :unid, :nome, :p_compra, :p_venda, :quant, :aliquota)";

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Both connections, each by its plain direct connect; any failure is shown and ends the command.
bool ConnectBoth(Session& session, Operator& op, const std::string& orvelPath)
{
    try {
        session.orvel.DirectConnect(orvelPath);
        session.target.DirectConnect(op.TargetBox());
        return true;
    } catch (const std::exception& failure) {
        op.ShowMessage(std::string("Ocorreu um Erro: ") + failure.what());
        return false;
    }
}

void CommitIfActive(FbTransaction& transaction)
{
    if (transaction.Active()) transaction.Commit();
}

}  // namespace

TaxSituationTable::TaxSituationTable()
    : lines_{"12=1", "17=2", "25=3", "6,80=4", "3,50=5", "3=6", "FFF=10", "III=11", "NNN=12"}
{
}

std::string TaxSituationTable::ValueOf(std::string_view name) const
{
    for (const std::string& line : lines_) {
        const size_t separator = line.find('=');
        if (SameIgnoringCase(std::string_view(line).substr(0, separator), name)) return line.substr(separator + 1);
    }
    return "";
}

std::string TaxSituationTable::CodeFor(std::string_view situation) const
{
    const std::string code = ValueOf(situation);
    if (DigitsOnly(code) == "0") return "2";
    return code;
}

void ImportOrvelProducts(Session& session, Operator& op)
{
    const auto chosen = op.ChooseDatabaseFile(kChooserTitle);
    if (!chosen) return;
    const TaxSituationTable taxSituations;
    const std::string& orvelPath = *chosen;
    if (orvelPath.find("ORVEL") == std::string::npos) {
        op.ShowMessage(kInvalidOrvelFile);
        return;
    }
    if (!ConnectBoth(session, op, orvelPath)) return;

    FbQuery& stock = session.orvel.Query();
    stock.Close();
    stock.SetSql(kSelectStock);
    stock.Open();

    FbQuery& insert = session.target.Query();
    insert.Close();
    insert.SetSql(kInsertProduct);

    std::int32_t lastRecord = 0;
    while (!stock.Eof()) {
        StopIfInterrupted();
        const std::string code = taxSituations.CodeFor(stock.ColumnText("st"));
        insert.SetText("cod", stock.ColumnText("registro"));
        insert.SetText("codbar", stock.ColumnText("referencia").substr(0, 15));
        insert.SetText("unid", stock.ColumnText("medida").substr(0, 6));
        insert.SetText("nome", stock.ColumnText("descricao").substr(0, 40));
        insert.SetMoney("p_compra", stock.ColumnMoney("custocompr"));
        insert.SetMoney("p_venda", stock.ColumnMoney("preco"));
        insert.SetMoney("quant", stock.ColumnMoney("qtd_atual"));
        insert.SetText("aliquota", code);
        insert.Execute();
        lastRecord = stock.ColumnInteger("registro");
        stock.Next();
    }

    // With no row nothing was written, and there is nothing to commit.
    CommitIfActive(session.target.Transaction());
    insert.Close();
    stock.Close();

    insert.SetSql("alter sequence produto restart with " + std::to_string(static_cast<std::int64_t>(lastRecord) + 1));
    insert.Execute();
    session.target.Transaction().Commit();

    op.ShowMessage(kSuccess);
}
