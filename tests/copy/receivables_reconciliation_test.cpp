#include <gtest/gtest.h>

#include "app/commands.h"
#include "copy/financial_copies.h"
#include "copy/receivables_reconciliation.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;
using Lines = std::vector<std::string>;

namespace {

class ReceivablesReconciliationTest : public CopyFixture {
protected:
    // Receivables as the legacy system keeps them; the marked ones are written deleted.
    void WriteReceivables(const std::vector<std::pair<Lines, bool>>& records)
    {
        DbfWriter w;
        w.Field("DOCUMENTO", 'C', 8).Field("HISTORICO", 'C', 14).Field("CODGRU", 'N', 2).Field("FORMPG", 'C', 2);
        w.Field("DATA", 'D', 8).Field("VENDEDOR", 'C', 2).Field("VENCIMENTO", 'D', 8).Field("CODHIS", 'N', 2);
        w.Field("TOTAL", 'N', 8, 2).Field("CREDITO", 'N', 8, 2).Field("PAGO", 'N', 8, 2);
        for (const auto& [values, deleted] : records) {
            Lines full = values;
            for (const char* rest : {"1", "1", "20200101", "1", "20200201", "1", "10", "10", "0"}) full.push_back(rest);
            deleted ? w.DeletedRecord(full) : w.Record(full);
        }
        WriteLegacy("KQ000015.dat", w);
    }

    void PressDeleteRemovedReceivables()
    {
        op.legacyFolderBox = legacyFolder;
        op.targetBox = databasePath;
        RunCommandUnreported(Command::DeleteRemovedReceivables, session, op);
    }

    Lines Header()
    {
        return {"Iniciando Verificação de Contas a Receber...", "Origem: " + legacyFolder + "/KQ000015.dat",
                "Destino: " + databasePath};
    }
};

}  // namespace

TEST_F(ReceivablesReconciliationTest, deletesEveryRowOfAMarkedDocumentButNoneOfADocumentWithASlash)
{
    Connect();
    WriteReceivables({{{"123", "1-VENDA"}, false},
                      {{"123", "OUTRA"}, false},
                      {{"45/6", "2-VENDA"}, false},
                      {{"77", "3-VENDA"}, false},
                      {{"88", " 8-VENDA"}, false}});
    CopyReceivables(run);
    CopyReceivables(run);  // two rows of each
    // Now the legacy system has deleted documents 123 (one history of it) and 45/6.
    WriteReceivables({{{"123", "1-VENDA"}, true},
                      {{"123", "OUTRA"}, false},
                      {{"45/6", "2-VENDA"}, true},
                      {{"77", "3-VENDA"}, false},
                      {{"88", " 8-VENDA"}, true}});
    op.log.clear();
    PressDeleteRemovedReceivables();
    EXPECT_FALSE(session.target.Transaction().Active());
    // 123 with "1-VENDA" matched its trimmed history and its digits; 45/6 was written as 456 and stays.
    EXPECT_EQ(Select("select documento, trim(historico), count(*) from contasreceber group by 1, 2 order by 1, 2"),
              (Rows{{"123", "OUTRA", "2"}, {"456", "2-VENDA", "2"}, {"77", "3-VENDA", "2"}, {"88", "8-VENDA", "2"}}));
    Lines log = Header();
    log.push_back("Verificação de Contas a Receber Concluída");
    EXPECT_EQ(op.log, log);
    EXPECT_TRUE(op.gaugeVisible);
    EXPECT_EQ(session.copy.copiedCount, 5);
}

TEST_F(ReceivablesReconciliationTest, fileWithoutDeletedRecordsTouchesNothing)
{
    Connect();
    WriteReceivables({{{"5", "5-VENDA"}, false}});
    CopyReceivables(run);
    op = ScriptedOperator{};
    PressDeleteRemovedReceivables();
    EXPECT_FALSE(session.target.Transaction().Active());
    EXPECT_EQ(Scalar("select count(*) from contasreceber"), "1");
    Lines log = Header();
    log.push_back("Verificação de Contas a Receber Concluída");
    EXPECT_EQ(op.log, log);
}

TEST_F(ReceivablesReconciliationTest, failingDeleteEndsTheCommandWithEarlierDeletesPending)
{
    Connect();
    WriteReceivables({{{"1", "1-A"}, false}, {{"2", "2-B"}, false}});
    CopyReceivables(run);
    // A documento longer than its column (and not by blanks) cannot be compared: the second delete fails.
    DbfWriter w;
    w.Field("DOCUMENTO", 'C', 30).Field("HISTORICO", 'C', 5);
    w.DeletedRecord({"1", "1-A"}).DeletedRecord({std::string(30, '9'), "2-B"});
    WriteLegacy("KQ000015.dat", w);
    try {
        PressDeleteRemovedReceivables();
        FAIL() << "the delete must fail";
    } catch (const std::exception& failure) {
        EXPECT_NE(std::string(failure.what()).find("truncation"), std::string::npos) << failure.what();
    }
    EXPECT_TRUE(session.target.Transaction().Active());
    EXPECT_EQ(session.copy.copiedCount, 1);  // the failing record was not counted
    session.target.Database().Close();  // commits, as the next connect would
    EXPECT_EQ(Select("select documento from contasreceber"), (Rows{{"2"}}));
}

TEST_F(ReceivablesReconciliationTest, choosersComeFirstAndCancellingEndsSilently)
{
    RunCommandUnreported(Command::DeleteRemovedReceivables, session, op);
    EXPECT_EQ(op.events, (Lines{"file-dialog: ", "folder-dialog: Procure a Pasta do Quibra_DOS"}));
    EXPECT_FALSE(session.target.Database().IsOpen());

    op = ScriptedOperator{};
    CopyRun unopenable{session, op};
    VerifyReceivables(unopenable);
    EXPECT_EQ(op.messages,
              (Lines{"Não Foi Possivel Conectar em KQ000015.dat. Verifique Se o Caminho Está Correto.11"}));
}
