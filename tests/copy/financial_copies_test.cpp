#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include "app/full_migration.h"
#include "common/failure.h"
#include "copy/financial_copies.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;
using Lines = std::vector<std::string>;

namespace {

class FinancialCopiesTest : public CopyFixture {
protected:
    // The copy's whole log: header, count and completion.
    Lines Log(const std::string& title, const std::string& file, int count, const std::string& completion)
    {
        return {title, "Origem: " + legacyFolder + "/" + file, "Destino: " + databasePath,
                std::to_string(count) + " Registros Copiados.", completion};
    }
};

// A local moment: 10 January 2024 at hh:mm:ss.
std::chrono::system_clock::time_point LocalMoment(int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = 124, tm.tm_mon = 0, tm.tm_mday = 10, tm.tm_hour = hour, tm.tm_min = minute, tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

DbfWriter CashMovements()
{
    DbfWriter w;
    w.Field("FORMPG", 'C', 3).Field("CODGRU", 'N', 3).Field("DATA", 'D', 8).Field("DOCUMENTO", 'C', 10);
    w.Field("VENCIMENTO", 'D', 8).Field("CODHIS", 'C', 12).Field("HISTORICO", 'C', 12);
    w.Field("DEBITO", 'N', 12, 2).Field("CREDITO", 'N', 12, 2);
    w.Record({"A1", "2", "20200305", "12/34", "20200405", "07", "PAGTO LUZ", "150.25", "0"});
    w.DeletedRecord({"9", "9", "20200306", "99", "20200406", "9", "APAGADO", "1", "1"});
    w.Record({"", "3", "20200307", "", "", "8", "VENDA", "0", "99.50"});
    return w;
}

}  // namespace

TEST_F(FinancialCopiesTest, cashMovementsMapEveryColumnAtTheTimeOfDayOfTheCopy)
{
    Connect();
    session.now = [] { return LocalMoment(14, 30, 0); };
    WriteLegacy("kq000014.DAT", CashMovements());
    CopyCashMovements(run);
    session.now = [] { return LocalMoment(9, 5, 7) + std::chrono::microseconds(250700); };
    CopyCashMovements(run);  // a second run inserts everything again, under new codes
    EXPECT_FALSE(session.target.Transaction().Active());
    const Rows rows = Select("select codmov, formpagto, codgru, cast(data as varchar(24)), documento, vencimento, codhis, historico, saida, "
                             "entrada from caixa order by codmov");
    const Rows expected{
        {"1", "1", "2", "2020-03-05 14:30:00.0000", "1234", "2020-04-05", "7", "PAGTO LUZ   ", "150.2500", "0.0000"},
        {"2", "0", "3", "2020-03-07 14:30:00.0000", "0", "1899-12-30", "8", "VENDA       ", "0.0000", "99.5000"},
        {"3", "1", "2", "2020-03-05 09:05:07.2507", "1234", "2020-04-05", "7", "PAGTO LUZ   ", "150.2500", "0.0000"},
        {"4", "0", "3", "2020-03-07 09:05:07.2507", "0", "1899-12-30", "8", "VENDA       ", "0.0000", "99.5000"}};
    EXPECT_EQ(rows, expected);
    Lines log = Log("Iniciando Cópia Movimento de Caixa...", "KQ000014.dat", 2, "Cópia de Movimento de Caixa Concluída");
    log.push_back("**************************");
    for (const auto& line : Log("Iniciando Cópia Movimento de Caixa...", "KQ000014.dat", 2,
                                "Cópia de Movimento de Caixa Concluída"))
        log.push_back(line);
    EXPECT_EQ(op.log, log);
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(FinancialCopiesTest, cashMovementFailuresInsideAndOutsideTheGuard)
{
    Connect();
    {  // a failing insert is reported and the copy goes on
        DbfWriter w = CashMovements();
        w.Record({"1", "1", "20200308", "1", "", "99999999999", "", "1", "0"});  // codhis beyond an integer
        w.Record({"1", "1", "20200309", "2", "", "1", "ULTIMO", "1", "0"});
        WriteLegacy("KQ000014.dat", w);
        CopyCashMovements(run);
        ASSERT_EQ(op.messages.size(), 1u);
        EXPECT_EQ(op.messages[0].rfind("Ocorreu um Erro: ", 0), 0u) << op.messages[0];
        EXPECT_EQ(Scalar("select count(*) from caixa"), "3");
        EXPECT_EQ(op.log.end()[-2], "4 Registros Copiados.");
    }
    {  // a field missing from the file ends the copy with its rows pending
        DbfWriter w;
        w.Field("FORMPG", 'C', 3).Field("CODGRU", 'N', 3).Field("DATA", 'D', 8);
        w.Record({"1", "1", "20200101"});
        WriteLegacy("KQ000014.dat", w);
        EXPECT_THROW(CopyCashMovements(run), Failure);
        EXPECT_EQ(op.log.back(), "Destino: " + databasePath);
    }
}

TEST_F(FinancialCopiesTest, payablesWriteOnlyUnpaidRecordsButCountEveryPass)
{
    Connect();
    DbfWriter w;
    w.Field("CODGRU", 'C', 4).Field("DATA", 'D', 8).Field("VENCIMENTO", 'D', 8).Field("DOCUMENTO", 'C', 10);
    w.Field("CODHIS", 'N', 4).Field("HISTORICO", 'C', 10).Field("CREDITO", 'N', 12, 2).Field("TOTAL", 'N', 12, 2);
    w.Field("PAGO", 'N', 12, 2);
    w.Record({"G3", "20200110", "20200210", "NF-55", "4", "ALUGUEL", "100.50", "80.25", "0"});
    w.Record({"1", "20200111", "20200211", "56", "4", "PAGO PARTE", "10", "10", "0.01"});
    w.DeletedRecord({"1", "20200112", "20200212", "57", "4", "APAGADO", "20", "20", "0"});
    w.Record({"2", "20200113", "", "58", "5", "LUZ", "30", "31", "0"});
    w.DeletedRecord({"1", "20200114", "20200214", "59", "4", "APAGADO", "40", "40", "0"});
    WriteLegacy("KQ000016.dat", w);
    CopyPayables(run);
    EXPECT_FALSE(session.target.Transaction().Active());
    EXPECT_EQ(Select("select codgru, data, vencimento, documento, codhis, historico, total, valor from contaspagar "
                     "order by documento"),
              (Rows{{"3", "2020-01-10", "2020-02-10", "55", "4", "ALUGUEL   ", "100.5000", "80.2500"},
                    {"2", "2020-01-13", "1899-12-30", "58", "5", "LUZ       ", "30.0000", "31.0000"}}));
    // Four passes: the two written, the paid one, and the one that ends on the trailing deleted record (the
    // deleted record in the middle is walked past in the pass that writes the record after it).
    EXPECT_EQ(op.log, Log("Iniando Cópia Contas a Pagar...", "KQ000016.dat", 4, "Cópia de Contas a Pagar Concluída"));
}

TEST_F(FinancialCopiesTest, payablesCommitWhatWasPendingBeforeTheyStart)
{
    Connect();
    FbQuery& query = session.target.Query();
    query.SetSql("insert into contaspagar (documento) values ('ANTES')");
    query.Execute();  // left pending, as a copy that ended early leaves its rows
    DbfWriter w;
    w.Field("CODGRU", 'C', 2).Field("PAGO", 'N', 5, 2);  // most fields missing: the copy ends at its first record
    w.Record({"1", "0"});
    WriteLegacy("KQ000016.dat", w);
    EXPECT_THROW(CopyPayables(run), Failure);
    EXPECT_EQ(Scalar("select count(*) from contaspagar where documento = 'ANTES'"), "1");
}

TEST(NotaFromHistory, digitsUpToTheFirstDash)
{
    EXPECT_EQ(NotaFromHistory("123-VENDA"), "123");
    EXPECT_EQ(NotaFromHistory("VENDA 123"), "0");
    EXPECT_EQ(NotaFromHistory("NF-12-3"), "0");
    EXPECT_EQ(NotaFromHistory("N.0045-7-8"), "0045");
}

TEST_F(FinancialCopiesTest, receivablesMapEveryColumnAndDrawNewCodesEachRun)
{
    Connect();
    DbfWriter w;
    w.Field("HISTORICO", 'C', 12).Field("CODGRU", 'N', 3).Field("FORMPG", 'C', 2).Field("DATA", 'D', 8);
    w.Field("VENDEDOR", 'C', 4).Field("VENCIMENTO", 'D', 8).Field("DOCUMENTO", 'C', 8).Field("CODHIS", 'N', 3);
    w.Field("TOTAL", 'N', 10, 2).Field("CREDITO", 'N', 10, 2).Field("PAGO", 'N', 10, 2);
    w.Record({"123-VENDA", "5", "2", "20200305", "V01", "20200405", "123", "9", "300", "100", "50.5"});
    w.DeletedRecord({"9-APAGADO", "5", "2", "20200305", "1", "20200405", "9", "9", "1", "1", "1"});
    w.Record({"DUPLICATA", "6", "", "20200306", "", "", "77/1", "8", "10", "10", "0"});
    WriteLegacy("KQ000015.dat", w);
    CopyReceivables(run);
    CopyReceivables(run);
    EXPECT_FALSE(session.target.Transaction().Active());
    const Lines first{"1", "123", "5", "2", "2020-03-05", "1", "2020-03-05", "2020-04-05", "123", "9",
                     "123-VENDA   ", "300.0000", "100.0000", "50.5000"};
    const Lines second{"2", "0", "6", "0", "2020-03-06", "0", "2020-03-06", "1899-12-30", "771", "8",
                      "DUPLICATA   ", "10.0000", "10.0000", "0.0000"};
    Rows expected{first, second, first, second};
    expected[2][0] = "3", expected[3][0] = "4";
    EXPECT_EQ(Select("select cod, nota, codgru, formpagto, datamov, vendedor, data, vencimento, documento, codhis, "
                     "historico, total, valor, pago from contasreceber order by cod"),
              expected);
    EXPECT_EQ(Lines(op.log.begin(), op.log.begin() + 5),
              Log("Iniciando Cópia Contas a Receber...", "KQ000015.dat", 2, "Cópia de Contas a Receber Concluída"));
}

TEST_F(FinancialCopiesTest, unopenableFilesShowTheirMessages)
{
    Connect();
    CopyCashMovements(run);
    CopyPayables(run);
    CopyReceivables(run);
    EXPECT_EQ(op.messages,
              (Lines{"Não Foi Possivel Conectar em KQ000014.dat. Verifique Se o Caminho Está Correto.",
                     "Não Foi Possivel Conectar em KQ000016.dat. Verifique Se o Caminho Está Correto.",
                     "Não Foi Possivel Conectar em KQ000015.dat. Verifique Se o Caminho Está Correto.11"}));
    EXPECT_TRUE(op.log.empty());
}

TEST_F(FinancialCopiesTest, fullRunCopiesTheThreeFilesItFinds)
{
    WriteLegacy("KQ000014.dat", CashMovements());
    DbfWriter payables;
    for (const char* name : {"CODGRU", "DOCUMENTO", "CODHIS", "HISTORICO"}) payables.Field(name, 'C', 5);
    for (const char* name : {"DATA", "VENCIMENTO"}) payables.Field(name, 'D', 8);
    for (const char* name : {"CREDITO", "TOTAL", "PAGO"}) payables.Field(name, 'N', 8, 2);
    payables.Record({"1", "1", "1", "A", "20200101", "20200101", "1", "1", "0"});
    WriteLegacy("KQ000016.dat", payables);
    op.legacyFolderBox = legacyFolder;
    op.targetBox = databasePath;
    RunFullMigration(session, op);
    EXPECT_EQ(Scalar("select count(*) from caixa"), "2");
    EXPECT_EQ(Scalar("select count(*) from contaspagar"), "1");
    EXPECT_NE(std::find(op.messages.begin(), op.messages.end(), "Arquivo KQ000015.dat Não Foi Encontrado."),
              op.messages.end());
    EXPECT_EQ(op.messages.back(), "Cópia Realizada com Sucesso!");
}
