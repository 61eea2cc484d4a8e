#include "copy/product_copies.h"

#include <filesystem>
#include <vector>

#include "session/choosers.h"
#include "firebird/fb_query.h"
#include "session/operator.h"
#include "session/session.h"
#include "copy/copy_steps.h"
#include "copy/field_mapping.h"
#include "copy/keyed_writes.h"
#include "session/value_helpers.h"
#include "legacy/field_values.h"
#include "legacy/file_lookup.h"

using K = ValueKind;

namespace {

const char* const kProductFile = "KQ000006.dat";
const char* const kCompletion = "Cópia de Produtos Concluído";

const char* const kProductSql =
    "update or insert into produto(cod,nome,unid,igual,codbar,localiza,fornec,fabric,aliquota,refori,classif,aplic,"
    "grupo,serie,is_pis,emb,desc_atac,p_venda, p_venda1,p_compra,lucro,quant,deposito,comissao,credicm,basecred,\n"
    "debicm,basedeb,frete,encargos,fracao,agregado,sal,sad,sugestao,compra, dev_icm, equiva)\n"
    " values(:cod,:nome,:unid,:igual,:codbar,:localiza,:fornec,:fabric,:aliquota,:refori,:classif,:aplic,:grupo,\n"
    ":serie,:is_pis,:emb,:desc_atac,:p_venda, :p_venda1,:p_compra,:lucro,:quant,:deposito,:comissao,:credicm,"
    ":basecred,:debicm,:basedeb,:frete,:encargos,:fracao,:agregado,:sal,:sad,:sugestao,:compra,:dev_icm, :equiva)";

// The columns read straight from one legacy field. aliquota, sad and equiva are bound by BindComputed.
std::vector<FieldMapping> ProductMapping()
{
    return {
        {"cod", "codigo", K::AsRead},
        {"nome", "nome", K::Trimmed},
        {"unid", "unid", K::Trimmed},
        {"igual", "igual", K::Trimmed},
        {"codbar", "codbar", K::Trimmed},
        {"localiza", "localiza", K::Trimmed},
        {"fornec", "fornec", K::Digits},
        {"fabric", "fabric", K::Digits},
        {"refori", "refori", K::Trimmed},
        {"classif", "classif", K::Trimmed},
        {"aplic", "aplic", K::Trimmed},
        {"grupo", "grupo", K::Digits},
        {"serie", "serie", K::Trimmed},
        {"is_pis", "is_pis", K::AsRead},
        {"emb", "emb", K::Trimmed},
        {"desc_atac", "desc_atac", K::AsRead},
        {"p_venda", "p_venda", K::Money},
        {"p_venda1", "p_venda1", K::Money},
        {"p_compra", "p_compra", K::Money},
        {"lucro", "lucro", K::Money},
        {"quant", "quant", K::Money},
        {"deposito", "deposito", K::Money},
        {"comissao", "comissao", K::Money},
        {"credicm", "credicm", K::Money},
        {"basecred", "basecred", K::Money},
        {"debicm", "debicm", K::Money},
        {"basedeb", "basedeb", K::Money},
        {"frete", "frete", K::Money},
        {"encargos", "encargos", K::Money},
        {"fracao", "fracao", K::Money},
        {"agregado", "agregado", K::Money},
        {"sal", "quant", K::Money},  // the stock starts as the quantity on hand
        {"sugestao", "sugestao", K::Money},
        {"compra", "compra", K::Money},
        {"dev_icm", "dev_icm", K::Money},
    };
}

// Read besides the mapping, by BindComputed.
const std::vector<std::string> kProductOtherFields = {"aliquota", "localiza"};

void BindComputed(CopyRun& run, MappedFields& fields, FbQuery& query)
{
    // A blank tax rate becomes "02"; any other is written with its blanks.
    const std::string rate = AsText(fields.Field("aliquota"));
    query.SetText("aliquota", Trimmed(rate).empty() ? "02" : rate);
    query.SetMoney("sad", Money{});
    // Auto parts shops look their equivalents up by shelf location; the box may change while the copy runs.
    const bool autoParts = run.op.IsChecked(CheckBox::AutoPecas);
    query.SetText("equiva", autoParts ? Trimmed(AsText(fields.Field("localiza"))) : std::string());
}

// The end both product operations share: sequence, commit, count.
void FinishProductRun(CopyRun& run)
{
    ResyncSequence(run, "produto", "produto", CodeForm::Text);
    GuardedCommit(run);
    LogCountAndCompletion(run, kCompletion);
}

}  // namespace

void CopyProducts(CopyRun& run)
{
    if (!OpenLegacyFile(run, kProductFile)) return;
    WriteLogHeader(run, "Iniciando Cópia Produtos...", kProductFile);
    ResetGauge(run);

    LegacyTable& table = run.session.table;
    FbQuery& query = run.Query();
    MappedFields fields(table, ProductMapping(), kProductOtherFields);
    KeyedWrites writes("produto", "cod", kProductSql);
    writes.Start(query);
    RecordSteps steps;
    steps.passOver = [&] { return table.IsDeleted(); };
    steps.bind = [&] {
        writes.SetStatementFor(run, query, IntegerKeyOfText(AsText(fields.Field("codigo"))));
        fields.BindAll(query);
        BindComputed(run, fields, query);
        return true;
    };
    steps.execute = [&] { ExecuteGuarded(run, query, writes.Landed()); };
    RecordLoop(run, Protection::ExecutionGuarded, steps);

    FinishProductRun(run);
}

bool IsPlainIdentifier(const std::string& name)
{
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (name.empty() || name.size() > 31 || !letter(name.front())) return false;
    for (char c : name)
        if (!letter(c) && !digit(c) && c != '_' && c != '$') return false;
    return true;
}

namespace {

const char* const kUpdateCaption = "Atualização de Campo de Produto";

// The operator's answer, or nothing when the box was cancelled or left empty.
std::optional<std::string> Ask(Operator& op, const std::string& prompt)
{
    auto answer = op.AskText(kUpdateCaption, prompt, "");
    if (!answer || answer->empty()) return std::nullopt;
    return answer;
}

bool IsFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Asks for what is missing; false when there is still no database to work on.
bool EnsurePaths(Session& session, Operator& op)
{
    if (!FindInFolderIgnoringCase(op.LegacyFolderBox(), kProductFile)) {
        op.ShowMessage("Selecione um Diretório do QuibraDOS");
        ChooseLegacyFolder(op, session.paths);
    }
    if (!IsFile(op.TargetBox())) ChooseTargetDatabase(op, session.paths);
    if (!IsFile(op.TargetBox())) {
        op.ShowMessage("Selecione um BD do QuibraW (bd.fdb)");
        return false;
    }
    // The boxes are what the operator sees: work on them, as every command does when it starts.
    session.paths.legacyFolder = op.LegacyFolderBox();
    session.paths.targetDatabase = op.TargetBox();
    return true;
}

}  // namespace

void UpdateProductField(Session& session, Operator& op)
{
    const auto column = Ask(op, "Informe o Campo do QuibraW:");
    if (!column) return;
    // The column name is written into the statement's text, so nothing but a plain name gets there.
    if (!IsPlainIdentifier(*column)) {
        op.ShowMessage("Campo do QuibraW inválido: " + *column);
        return;
    }
    const auto legacyField = Ask(op, "Informe o Campo do Quibra:");
    if (!legacyField) return;
    if (!EnsurePaths(session, op)) return;
    if (!session.target.Connect(op, session.paths)) return;

    CopyRun run{session, op};
    if (!OpenLegacyFile(run, kProductFile)) return;
    WriteLogHeader(run, "Iniciando Atualização de campo..", kProductFile);
    ResetGauge(run);

    FbQuery& query = run.Query();
    const std::string sql = "update produto set " + *column + " = :valor where cod = :cod";
    // Deleted records are visited too: the update touches whatever produto holds under their code.
    MappedFields fields(session.table, {{"valor", *legacyField, K::AsRead}, {"cod", "codigo", K::AsRead}});
    RecordSteps steps;
    steps.bind = [&] {
        SetStatement(query, sql);
        fields.BindAll(query);
        return true;
    };
    steps.execute = [&] { ExecuteGuarded(run, query); };
    RecordLoop(run, Protection::ExecutionGuarded, steps);

    FinishProductRun(run);
}

FieldsRead ProductCopyFieldsRead() { return {kProductFile, "produtos", FieldNames(ProductMapping(), kProductOtherFields)}; }
