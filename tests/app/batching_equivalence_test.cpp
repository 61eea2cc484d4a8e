#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "app/commands.h"
#include "app/reporting_operator.h"
#include "copy/copy_steps.h"
#include "copy/sales_copy.h"
#include "firebird/fb_query.h"
#include "session/session.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/synthetic_legacy.h"
#include "tests/support/test_database.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Rules the target enforces so that records fail all along the copies: at the start, in the middle and at the
// end of a batch, where codes come from the legacy file, from a sequence drawn beforehand and from gen_id inside
// the statement.
const char* const kRefusals[] = {
    "alter table cliente add constraint recusa_cliente check (mod(cod, 23) <> 1 and mod(cod, 50) <> 0)",
    "alter table fornecedor add constraint recusa_fornecedor check (mod(cod, 13) <> 2)",
    "alter table produto add constraint recusa_produto check (mod(cod, 29) <> 1 and mod(cod, 50) <> 49)",
    "alter table caixa add constraint recusa_caixa check (mod(codmov, 31) <> 2)",
    "alter table contasreceber add constraint recusa_contasreceber check (mod(cod, 37) <> 5)",
    "alter table contaspagar add constraint recusa_contaspagar check (mod(codhis, 7) <> 3)",
    "alter table venda add constraint recusa_venda check (mod(nota, 19) <> 4)",
    "alter table item_venda add constraint recusa_item_venda check (mod(cod, 41) <> 3)",
    "alter table entrada add constraint recusa_entrada check (mod(nota, 11) <> 1)",
    "alter table item_entrada add constraint recusa_item_entrada check (mod(codentrada, 17) <> 1)",
    "alter table AGENDA add constraint recusa_agenda check (mod(cod, 7) <> 1)",
    "alter table grupoprod add constraint recusa_grupoprod check (mod(cod, 5) <> 1)",
    "alter table fabricante add constraint recusa_fabricante check (mod(cod, 5) <> 2)",
};

const char* const kTables[] = {"COD_OP", "HISCAIXA", "vendedor", "AGENDA", "grupoprod", "grupodecaixa",
                               "fabricante", "fornecedor", "cliente", "produto", "caixa", "contaspagar",
                               "contasreceber", "venda", "item_venda", "entrada", "item_entrada"};

// The gauge's steps among the boxes and log lines: a step shown before the message of an earlier record is a
// difference too.
class GaugeInLineOperator : public ScriptedOperator {
public:
    void GaugeAdvance(int step) override
    {
        ScriptedOperator::GaugeAdvance(step);
        events.push_back("gauge: " + std::to_string(gauge));
    }
};

// Everything a user or the database could tell apart: boxes and log lines in order, the report (each failed record
// with its number and key, each copy's counts), every row, every sequence.
struct Outcome {
    std::vector<std::string> events;
    std::vector<int> gauge;
    std::map<std::string, Rows> tables;
    Rows sequences;
};

Outcome MigrateTwice(const std::string& legacyFolder, bool batching)
{
    TempFolder folder;
    const std::string database = FreshQuibrawDatabase(folder);
    for (const char* refusal : kRefusals) SqlExec(database, refusal);
    const FbQuery::Batching before = FbQuery::BatchingMode();
    FbQuery::SetBatching(batching ? FbQuery::Batching::On : FbQuery::Batching::Off);
    Outcome outcome;
    {
        Session session;
        // Cash rows carry the time of day they were copied at.
        session.now = [] { return std::chrono::system_clock::time_point{std::chrono::hours{24 * 19000 + 10}}; };
        for (int run = 0; run < 2; ++run) {  // the second run meets every key again
            GaugeInLineOperator shown;
            ReportingOperator op(shown);
            shown.legacyFolderBox = legacyFolder;
            shown.targetBox = database;
            shown.checked[CheckBox::CopiaVendas] = true;
            shown.checked[CheckBox::CopiaEntradas] = true;
            shown.salesFrom = "01/01/1900";
            shown.salesTo = "31/12/2099";
            shown.textAnswers = {std::string("nome"), std::string("nome")};
            RunCommand(Command::StartCopy, session, op);
            RunCommand(Command::UpdateProductField, session, op);
            std::vector<std::string> events = shown.events;
            std::istringstream report(op.ReportText("relatório"));
            for (std::string line; std::getline(report, line);) events.push_back("report: " + line);
            for (std::string event : events) {  // each way has a database of its own
                for (auto at = event.find(database); at != std::string::npos; at = event.find(database))
                    event.replace(at, database.size(), "bd.fdb");
                outcome.events.push_back(event);
            }
            outcome.gauge.insert(outcome.gauge.end(), {shown.gauge, shown.gaugeResets, shown.processEventsCalls});
        }
        session.target.Database().Close();
    }
    FbQuery::SetBatching(before);
    for (const char* table : kTables) {
        Rows rows = SqlRows(database, std::string("select * from ") + table);
        std::sort(rows.begin(), rows.end());
        outcome.tables[table] = rows;
    }
    outcome.sequences = SqlRows(database, "select trim(rdb$generator_name) from rdb$generators "
                                          "where rdb$system_flag = 0 order by 1");
    for (auto& row : outcome.sequences) row.push_back(SqlScalar(database, "select gen_id(" + row[0] + ", 0) from rdb$database"));
    return outcome;
}

}  // namespace

// The same shop copied with every execution sent on its own and with executions gathered in blocks.
TEST(BatchingEquivalence, everyCopyGivesTheSameRowsSequencesMessagesAndLogEitherWay)
{
    TempFolder folder;
    const std::string legacy = folder.Path() + "/legacy";
    std::filesystem::create_directories(legacy);
    WriteSyntheticLegacyFolder(legacy, 0.005);

    const Outcome oneByOne = MigrateTwice(legacy, false);
    const Outcome batched = MigrateTwice(legacy, true);
    for (size_t i = 0; i < std::min(batched.events.size(), oneByOne.events.size()); ++i)
        ASSERT_EQ(batched.events[i], oneByOne.events[i]) << i;
    ASSERT_EQ(batched.events.size(), oneByOne.events.size());
    EXPECT_EQ(batched.gauge, oneByOne.gauge);
    for (const char* table : kTables) EXPECT_EQ(batched.tables.at(table), oneByOne.tables.at(table)) << table;
    EXPECT_EQ(batched.sequences, oneByOne.sequences);

    // The refusals did their work in every copy they guard.
    const auto failures = std::count_if(oneByOne.events.begin(), oneByOne.events.end(), [](const std::string& e) {
        return e.rfind("message: Ocorreu um Erro: ", 0) == 0;
    });
    EXPECT_GT(failures, 100);
    // Each failure is named in the log and the report, and counted as failed rather than written.
    auto counted = [&](const std::string& start, const std::string& part) {
        return std::count_if(oneByOne.events.begin(), oneByOne.events.end(), [&](const std::string& e) {
            return e.rfind(start, 0) == 0 && e.find(part) != std::string::npos;
        });
    };
    EXPECT_EQ(counted("log: Registro ", " de "), failures);
    EXPECT_EQ(counted("report: Registro ", ", chave \""), failures);
    int failedInCounts = 0;
    for (const Outcome* way : {&oneByOne, &batched})
        for (const std::string& e : way->events) {
            int read = 0, written = 0, skipped = 0, failed = 0;
            const auto at = e.find(": lidos ");
            if (e.rfind("report: ", 0) != 0 || at == std::string::npos) continue;
            ASSERT_EQ(std::sscanf(e.c_str() + at, ": lidos %d, gravados %d, ignorados %d, com erro %d", &read,
                                  &written, &skipped, &failed), 4) << e;
            EXPECT_EQ(read, written + skipped + failed) << e;
            failedInCounts += failed;
        }
    EXPECT_GT(failedInCounts, 100);
    for (const char* table : kTables) EXPECT_FALSE(oneByOne.tables.at(table).empty()) << table;
}

// A sale's item whose code the sale already has is a keyed update when the earlier one landed and a plain insert
// when it failed: the items waiting for their block are sent before that choice.
TEST(BatchingEquivalence, itemsRepeatingACodeWithinASaleFollowTheEarlierItemsOutcome)
{
    TempFolder folder;
    const std::string legacy = folder.Path() + "/legacy";
    std::filesystem::create_directories(legacy);
    DbfWriter w;
    w.Field("CODIGO", 'C', 12).Field("QUANT", 'N', 10, 4).Field("PVENDA", 'N', 12, 4).Field("P_COMPRA", 'N', 12, 4);
    w.Field("UNIDADE", 'C', 3).Field("ALIQUOTA", 'C', 5).Field("ORIGEM", 'C', 3).Field("P_TOTAL", 'N', 12, 4);
    w.Field("REP", 'C', 6).Field("TOTAL", 'N', 12, 4).Field("DATA", 'D', 8).Field("VENDEDOR", 'C', 14);
    w.Field("CRC", 'C', 3).Field("CLIENTE", 'C', 8).Field("ENTREGA", 'C', 10).Field("CODHIS", 'N', 3);
    w.Field("PRAZO", 'C', 10).Field("ENTRAD", 'N', 12, 4);
    auto item = [&](const std::string& code, const std::string& quant, const std::string& aliquota) {
        w.Record({code, quant, "2.5", "1.25", "UN", aliquota, "", quant, "", quant, "20230510"});
    };
    // "12345" is longer than the aliquota column: that item fails.
    item("5", "1", "17"), item("6", "2", "17"), item("5", "3", "17"), item("7", "1", "12345"), item("7", "2", "17");
    w.Record({"", "", "", "", "", "", "", "0", "", "9", "20230511", "3", "4A7", "42", "", "3", "", "0"});
    w.Write(legacy + "/KQ000009.dat");

    auto copyTwice = [&](bool batching) {
        TempFolder target;
        Session session;
        session.paths.legacyFolder = legacy;
        session.paths.targetDatabase = FreshQuibrawDatabase(target);
        ScriptedOperator op;
        op.salesFrom = "01/01/2023";
        op.salesTo = "31/12/2023";
        CopyRun run{session, op};
        EXPECT_TRUE(session.target.Connect(op, session.paths));
        const FbQuery::Batching before = FbQuery::BatchingMode();
        FbQuery::SetBatching(batching ? FbQuery::Batching::On : FbQuery::Batching::Off);
        CopySales(run);
        CopySales(run);
        FbQuery::SetBatching(before);
        session.target.Database().Close();
        Rows rows = SqlRows(session.paths.targetDatabase, "select nota, cod, quant, aliquota from item_venda");
        std::sort(rows.begin(), rows.end());
        rows.push_back(op.messages);
        return rows;
    };
    const Rows oneByOne = copyTwice(false);
    EXPECT_EQ(copyTwice(true), oneByOne);
    EXPECT_EQ(oneByOne.back().size(), 2u);  // the long aliquota, once per run
}
