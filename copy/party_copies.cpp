#include "copy/party_copies.h"

#include "common/failure.h"
#include "firebird/fb_query.h"
#include "session/operator.h"
#include "session/session.h"
#include "copy/declared_copy.h"
#include "copy/keyed_writes.h"
#include "session/value_helpers.h"
#include "legacy/field_values.h"
#include "legacy/file_lookup.h"

using K = ValueKind;

static DeclaredCopy SuppliersDeclaration()
{
    DeclaredCopy copy;
    copy.what = "fornecedores";
    copy.fileName = "KQ000018.dat";
    copy.title = "Iniando Cópia Fornecedores...";
    copy.completion = "Cópia de Fornecedores Concluída";
    copy.statementPerRecord = true;
    copy.protection = Protection::ExecutionGuarded;
    copy.guardedCommit = true;
    copy.resyncTable = "fornecedor";
    copy.keyed = DeclaredCopy::Keyed{"fornecedor", "cod"};
    copy.sql = "update or insert into fornecedor(cod,nome,endereco,cep,fone,fax,cidade,estado,contato,obs,bairro,cnpj,"
               "ies,cod_mun,suframa,tipo,cpf)\n"
               " values(:cod,:nome,:endereco,:cep,:fone,:fax,:cidade,:estado,:contato,:obs,:bairro,:cnpj,:ies,"
               ":cod_mun,:suframa,:tipo,:cpf)";
    // Every record is written: a code without digits becomes supplier 0, the last such record winning.
    copy.mapping = {
        {"cod", "codigo", K::Digits},       {"nome", "nome", K::Trimmed},       {"endereco", "endereco", K::Trimmed},
        {"cep", "cep", K::Trimmed},         {"fone", "fone", K::Trimmed},       {"fax", "fax", K::Trimmed},
        {"cidade", "cidade", K::Trimmed},   {"estado", "estado", K::Trimmed},   {"contato", "contato", K::Trimmed},
        {"obs", "obs", K::Trimmed},         {"bairro", "bairro", K::Trimmed},   {"cnpj", "cnpj", K::Trimmed},
        {"ies", "ies", K::Trimmed},         {"cod_mun", "cod_mun", K::Digits},  {"suframa", "suframa", K::Trimmed},
        {"tipo", "tipo", K::Trimmed},       {"cpf", "cpf", K::Trimmed},
    };
    return copy;
}

void CopySuppliers(CopyRun& run) { RunDeclaredCopy(run, SuppliersDeclaration()); }

namespace {

const char* const kClientFile = "KQ000012.dat";

// Column ci gets the literal '1'; email gets the legacy concessao; cnpj is bound apart (see BindDocument).
const char* const kClientSql =
    "update or insert into cliente(cod,nome,tipo,ende,bairro,cep,tel,cid,est,data,ci,org,titular,telres,telcom,nat,"
    "nac,estcv,prof,conj,ocup,pai,mae,nome1,nome2,nome3,end1,end2,end3,tel1,tel2,tel3,\n"
    "obs,email,ies,ativo,faturar,prazo,lim_atraso,cnpj,lim_compra,sal)\n"
    "values (:cod,:nome,:tipo,:ende,:bairro,:cep,:tel,:cid,:est,:data,'1',:org,:titular,:telres,:telcom,:nat,:nac,"
    ":estcv,:prof,:conj,:ocup,:pai,:mae,:nome1,:nome2,:nome3,:end1,:end2,:end3,:tel1,:tel2,:tel3,\n"
    ":obs,:concessao,:ies,:ativo,:faturar,:prazo,:lim_atraso,:cnpj,:lim_compra,:sal)";

std::vector<FieldMapping> ClientMapping()
{
    return {
        {"cod", "codigo", K::DigitsInteger},
        {"nome", "nome", K::Trimmed},
        {"tipo", "tipo", K::Digits},
        {"ende", "end", K::Trimmed},
        {"bairro", "bairro", K::Trimmed},
        {"cep", "cep", K::Trimmed},
        {"tel", "tel", K::Trimmed},
        {"cid", "cid", K::Trimmed},
        {"est", "est", K::Trimmed},
        {"data", "data", K::Date},
        {"org", "org", K::Trimmed},
        {"titular", "titular", K::Trimmed},
        {"telres", "telres", K::Trimmed},
        {"telcom", "telcom", K::Trimmed},
        {"nat", "nat", K::Trimmed},
        {"nac", "nac", K::Trimmed},
        {"estcv", "estcv", K::Digits},
        {"prof", "prof", K::Trimmed},
        {"conj", "conj", K::Trimmed},
        {"ocup", "ocup", K::Trimmed},
        {"pai", "pai", K::Trimmed},
        {"mae", "mae", K::Trimmed},
        {"nome1", "nome1", K::Trimmed},
        {"nome2", "nome2", K::Trimmed},
        {"nome3", "nome3", K::Trimmed},
        {"end1", "end1", K::Trimmed},
        {"end2", "end2", K::Trimmed},
        {"end3", "end3", K::Trimmed},
        {"tel1", "tel1", K::Trimmed},
        {"tel2", "tel2", K::Trimmed},
        {"tel3", "tel3", K::Trimmed},
        {"obs", "obs", K::Trimmed},
        {"concessao", "concessao", K::Trimmed},  // column email
        {"ies", "ies", K::Trimmed},
        {"ativo", "ativo", K::Trimmed},
        {"faturar", "faturar", K::Trimmed},
        {"prazo", "prazo", K::Money},
        {"lim_atraso", "limite", K::Money},
        {"lim_compra", "credito", K::Money},
        {"sal", "sal", K::Money},
    };
}

// Read besides the mapping: the code's test, and the document chosen by the type.
const std::vector<std::string> kClientOtherFields = {"codigo", "tipo", "cpf", "cgc"};

// Individuals (type "1" or "6", compared as read) carry their cpf; everyone else their cgc. Both as read.
void BindDocument(MappedFields& fields, FbQuery& query)
{
    const std::string type = AsText(fields.Field("tipo"));
    const bool individual = type == "1" || type == "6";
    query.SetText("cnpj", AsText(fields.Field(individual ? "cpf" : "cgc")));
}

// The client file is opened without the empty-file test: an empty file still runs the rest of the copy.
bool OpenClientFile(CopyRun& run)
{
    LegacyTable& table = run.session.table;
    try {
        table.Close();
        const auto found = FindInFolderIgnoringCase(run.session.paths.legacyFolder, kClientFile);
        table.SetDBFFileName(found ? *found : run.LegacyPath(kClientFile));
        table.SetTextCodePage(run.op.LegacyCodePage());
        table.Open();
        table.MoveFirst();
        run.session.copy.copiedCount = 0;
        return true;
    } catch (const std::exception& failure) {
        run.op.ShowMessage(std::string("Erro: ") + failure.what());
        return false;
    }
}

// The client copy starts the log afresh, and names the folder without the file.
void WriteClientLogHeader(CopyRun& run)
{
    run.op.LogClear();
    run.op.LogAppend("Iniciando Cópia Clientes...");
    run.op.LogAppend("Origem: " + run.session.paths.legacyFolder);
    run.op.LogAppend("Destino: " + run.session.paths.targetDatabase);
}

// Commits the copied clients and lets go of the file; a failure discards them.
void CommitClientsAndCloseFile(CopyRun& run)
{
    FbTransaction& transaction = run.session.target.Transaction();
    try {
        if (transaction.Active()) transaction.Commit();
        run.session.table.Close();
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        run.op.ShowMessage(std::string("Erro: ") + failure.what() + ". Tente Novamente Copia Clientes");
        if (transaction.Active()) transaction.Rollback();
    }
}

}  // namespace

void CopyClients(CopyRun& run)
{
    if (!OpenClientFile(run)) return;
    WriteClientLogHeader(run);
    ResetGauge(run);
    StartTransactionExplicitly(run);
    FbQuery& query = run.Query();
    KeyedWrites writes("cliente", "cod", kClientSql);
    writes.Start(query);

    MappedFields fields(run.session.table, ClientMapping(), kClientOtherFields);
    RecordSteps steps;
    steps.bind = [&] {
        // Codes without digits, or only zeros, are counted but not written.
        const std::int32_t code = StrictInteger(DigitsOnly(AsText(fields.Field("codigo"))));
        if (code <= 0) return false;
        writes.SetStatementFor(run, query, code);
        fields.BindAll(query);
        BindDocument(fields, query);
        return true;
    };
    steps.execute = [&] { ExecuteGuarded(run, query, writes.Landed()); };
    RecordLoop(run, Protection::ExecutionGuarded, steps);

    CommitClientsAndCloseFile(run);
    ResyncSequence(run, "cliente", "cliente", CodeForm::Integer);
    GuardedCommit(run);
    LogCountAndCompletion(run, "Cópia de Clientes Concluída");
}

std::vector<FieldsRead> PartyCopiesFieldsRead()
{
    return {FieldsReadBy(SuppliersDeclaration()), {kClientFile, "clientes", FieldNames(ClientMapping(), kClientOtherFields)}};
}
