#include "copy/financial_copies.h"

#include <ctime>

#include "firebird/fb_query.h"
#include "session/session.h"
#include "copy/declared_copy.h"
#include "session/value_helpers.h"
#include "legacy/field_values.h"

using K = ValueKind;
using DeletedRecords = DeclaredCopy::DeletedRecords;

std::string NotaFromHistory(const std::string& historico)
{
    const auto dash = historico.find('-');
    if (dash == std::string::npos) return "0";
    return DigitsOnly(std::string_view(historico).substr(0, dash + 1));
}

// The day with the local time of day of the moment, the fraction of its second kept.
DateTime AtLocalTimeOf(std::chrono::year_month_day day, std::chrono::system_clock::time_point moment)
{
    const auto whole = std::chrono::floor<std::chrono::seconds>(moment);
    const std::time_t since = std::chrono::system_clock::to_time_t(whole);
    std::tm local{};
    localtime_r(&since, &local);
    DateTime value{day,
                   std::chrono::hours{local.tm_hour} + std::chrono::minutes{local.tm_min} +
                       std::chrono::seconds{local.tm_sec}};
    value.tenThousandths = static_cast<int>(
        std::chrono::duration_cast<std::chrono::duration<long long, std::ratio<1, 10000>>>(moment - whole).count());
    return value;
}

static DeclaredCopy CashMovementsDeclaration()
{
    DeclaredCopy copy;
    copy.what = "movimento de caixa";
    copy.fileName = "KQ000014.dat";
    copy.title = "Iniciando Cópia Movimento de Caixa...";
    copy.completion = "Cópia de Movimento de Caixa Concluída";
    copy.deletedRecords = DeletedRecords::PassedOver;
    copy.statementPerRecord = true;
    copy.protection = Protection::ExecutionGuarded;
    copy.guardedCommit = true;
    copy.sql = "insert into caixa(formpagto,codgru,codmov,data,documento,vencimento,codhis,historico,saida,entrada) "
               "values (:formpagto,:codgru,gen_id(movcaixa,1),:data,:documento,:vencimento,:codhis,:historico,:saida,:ent)";
    // codmov: drawn by the statement; data: below.
    copy.mapping = {
        {"formpagto", "formpg", K::Digits},
        {"codgru", "codgru", K::Digits},
        {"documento", "documento", K::Digits},
        {"vencimento", "vencimento", K::Date},
        {"codhis", "codhis", K::Digits},
        {"historico", "historico", K::AsRead},
        {"saida", "debito", K::Money},
        {"ent", "credito", K::Money},
    };
    // The movement's day with the time of day at which it is copied.
    copy.bindExtra = [](CopyRun& r, FbQuery& query, MappedFields& fields) {
        const auto day = AsDate(fields.Field("data"));
        query.SetDateTime("data", AtLocalTimeOf(day, r.session.now()));
    };
    copy.otherFields = {"data"};
    return copy;
}

void CopyCashMovements(CopyRun& run) { RunDeclaredCopy(run, CashMovementsDeclaration()); }

static DeclaredCopy PayablesDeclaration()
{
    DeclaredCopy copy;
    copy.what = "contas a pagar";
    copy.fileName = "KQ000016.dat";
    copy.title = "Iniando Cópia Contas a Pagar...";
    copy.completion = "Cópia de Contas a Pagar Concluída";
    copy.explicitTransactionAfterGaugeReset = true;
    copy.deletedRecords = DeletedRecords::SkippedAfterProgress;
    copy.statementPerRecord = true;
    copy.protection = Protection::ExecutionGuarded;
    copy.guardedCommit = true;
    copy.sql = "insert into contaspagar(codgru,data,vencimento,documento,codhis,historico,total,valor) "
               "values(:codgru,:data,:vencimento,:documento,:codhis,:historico,:total,:valor)";
    copy.mapping = {
        {"codgru", "codgru", K::Digits},
        {"data", "data", K::Date},
        {"vencimento", "vencimento", K::Date},
        {"documento", "documento", K::Digits},
        {"codhis", "codhis", K::Digits},
        {"historico", "historico", K::AsRead},
        {"total", "credito", K::Money},
        {"valor", "total", K::Money},
    };
    // Paid payables, in part or in full, stay behind (counted all the same).
    copy.keepRecord = [](MappedFields& fields) { return AsMoney(fields.Field("pago")) == Money{}; };
    copy.otherFields = {"pago"};
    return copy;
}

void CopyPayables(CopyRun& run) { RunDeclaredCopy(run, PayablesDeclaration()); }

static DeclaredCopy ReceivablesDeclaration()
{
    DeclaredCopy copy;
    copy.what = "contas a receber";
    copy.fileName = "KQ000015.dat";
    copy.openFailureTail = "11";
    copy.title = "Iniciando Cópia Contas a Receber...";
    copy.completion = "Cópia de Contas a Receber Concluída";
    copy.deletedRecords = DeletedRecords::PassedOver;
    copy.statementPerRecord = true;
    copy.protection = Protection::ExecutionGuarded;
    copy.guardedCommit = true;
    copy.sql = "insert into contasreceber(nota,codgru,cod,formpagto,datamov,vendedor,data,vencimento,documento,codhis,"
               "historico,total,valor, pago)\n"
               " values(:nota,:codgru,gen_id(creceber,1),:formpagto,:datamov,:vendedor,:data,:vencimento,:documento,"
               ":codhis,:historico,:total,:valor, :pago)";
    // nota: below; cod: drawn by the statement.
    copy.mapping = {
        {"codgru", "codgru", K::Digits},
        {"formpagto", "formpg", K::Digits},
        {"datamov", "data", K::Date},
        {"vendedor", "vendedor", K::Digits},
        {"data", "data", K::Date},
        {"vencimento", "vencimento", K::Date},
        {"documento", "documento", K::Digits},
        {"codhis", "codhis", K::Digits},
        {"historico", "historico", K::AsRead},
        {"total", "total", K::Money},
        {"valor", "credito", K::Money},
        {"pago", "pago", K::Money},
    };
    copy.bindExtra = [](CopyRun&, FbQuery& query, MappedFields& fields) {
        query.SetText("nota", NotaFromHistory(AsText(fields.Field("historico"))));
    };
    return copy;
}

void CopyReceivables(CopyRun& run) { RunDeclaredCopy(run, ReceivablesDeclaration()); }

std::vector<FieldsRead> FinancialCopiesFieldsRead()
{
    return {FieldsReadBy(CashMovementsDeclaration()), FieldsReadBy(PayablesDeclaration()),
            FieldsReadBy(ReceivablesDeclaration())};
}
