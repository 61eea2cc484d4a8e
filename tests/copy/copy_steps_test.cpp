#include <gtest/gtest.h>

#include <filesystem>

#include "firebird/fb_connection.h"
#include "copy/reference_copies.h"
#include "copy/sequence_draws.h"
#include "session/value_helpers.h"
#include "tests/support/copy_fixture.h"

namespace {

DbfWriter Manufacturers(int count)
{
    DbfWriter w;
    w.Field("CODIGO", 'N', 5).Field("NOME", 'C', 35);
    for (int i = 1; i <= count; ++i) w.Record({std::to_string(i), "FABRICANTE " + std::to_string(i)});
    return w;
}

class CopyStepsTest : public CopyFixture {};

}  // namespace

TEST_F(CopyStepsTest, nextSequenceValueDrawsConsecutiveValues)
{
    Connect();
    FbQuery& q = session.target.SecondQuery();
    // Where executions may wait (through a server) the row comes back with the execute itself.
    for (const FbQuery::Batching mode : {FbQuery::Batching::Off, FbQuery::Batching::On}) {
        FbQuery::SetBatching(mode);
        const int first = std::stoi(NextSequenceValue("agenda", 1, q));
        EXPECT_EQ(std::stoi(NextSequenceValue("agenda", 1, q)), first + 1);
        EXPECT_EQ(std::stoi(NextSequenceValue("agenda", 0, q)), first + 1);
        EXPECT_EQ(q.Sql(), "select gen_id(agenda,0) as venda from rdb$database");
        EXPECT_FALSE(q.IsOpen());
    }
    FbQuery::SetBatching(FbQuery::Batching::ThroughServer);
}

// Values drawn ahead are given back only while nobody else has drawn since: a value taken meanwhile is never handed
// out again.
TEST_F(CopyStepsTest, valuesDrawnAheadGoBackOnlyWhenNobodyDrewMeanwhile)
{
    Connect();
    FbQuery& q = session.target.SecondQuery();
    const int start = std::stoi(NextSequenceValue("agenda", 0, q));
    SequenceDraws draws("agenda", q);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(std::stoi(draws.Next()), start + i);  // blocks of 1, 2 and 4
    draws.GiveBack();
    EXPECT_EQ(std::stoi(NextSequenceValue("agenda", 0, q)), start + 4);

    EXPECT_EQ(std::stoi(draws.Next()), start + 5);
    EXPECT_EQ(std::stoi(draws.Next()), start + 6);  // start + 7 drawn and left
    FbConnection other;
    other.DirectConnect(databasePath);
    const int taken = std::stoi(NextSequenceValue("agenda", 1, other.Query()));
    draws.GiveBack();
    EXPECT_EQ(std::stoi(NextSequenceValue("agenda", 0, q)), taken);
}

TEST_F(CopyStepsTest, gaugeAdvancesByTenthsOfTheFile)
{
    Connect();
    struct Case {
        int records;
        int gauge;
        int eventsInLoop;
    };
    // 5 records never reach the threshold; 50 advance at every tenth; 1,000 at every hundredth record but
    // let the window breathe at every record from the tenth on.
    for (const Case c : {Case{5, 0, 0}, Case{50, 50, 5}, Case{1000, 100, 991}}) {
        WriteLegacy("KQ000029.dat", Manufacturers(c.records));
        op = ScriptedOperator{};
        CopyManufacturers(run);
        EXPECT_EQ(op.gauge, c.gauge) << c.records;
        EXPECT_TRUE(op.gaugeVisible);
        EXPECT_EQ(op.processEventsCalls, 1 + c.eventsInLoop) << c.records;
        EXPECT_EQ(op.log.end()[-2], std::to_string(c.records) + " Registros Copiados.");
    }
}

TEST_F(CopyStepsTest, failedRecordsStayCountedAndTheCopyGoesOn)
{
    Connect();
    DbfWriter w;
    w.Field("CODIGO", 'C', 4).Field("NOME", 'C', 20);
    for (int i = 1; i <= 10; ++i) w.Record({i % 3 == 0 ? "X" + std::to_string(i) : std::to_string(i), "G"});
    WriteLegacy("KQ000030.dat", w);
    CopyProductGroups(run);
    EXPECT_EQ(op.messages.size(), 3u);
    EXPECT_EQ(op.messages[0].rfind("Ocorreu um Erro: ", 0), 0u) << op.messages[0];
    EXPECT_EQ(op.log.end()[-2], "10 Registros Copiados.");
    EXPECT_EQ(Scalar("select count(*) from grupoprod"), "7");
}

TEST_F(CopyStepsTest, emptyTargetAfterTheCopyRestartsTheSequenceAtZero)
{
    Connect();
    DbfWriter w;
    w.Field("CODIGO", 'C', 4).Field("NOME", 'C', 20);
    w.Record({"AB", "NAO NUMERICO"});
    WriteLegacy("KQ000030.dat", w);
    CopyProductGroups(run);
    EXPECT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(session.copy.highestCode, "0");
    EXPECT_EQ(op.log.back(), "Cópia de Grupos de produtos Concluída");
    EXPECT_EQ(NextValue("grupoprod"), "1");
}

TEST_F(CopyStepsTest, emptyOrUnreadableFilesEndTheCopyQuietlyOrWithTheirMessage)
{
    Connect();
    DbfWriter empty;
    empty.Field("CODIGO", 'N', 5).Field("NOME", 'C', 30);
    WriteLegacy("KQ000029.dat", empty);
    CopyManufacturers(run);
    EXPECT_TRUE(op.events.empty());

    WriteFileBytes(legacyFolder + "/KQ000029.dat", std::string("\x00garbage", 8));
    CopyManufacturers(run);
    EXPECT_EQ(op.Boxes(), std::vector<std::string>{
                              "message: Não Foi Possivel Conectar em KQ000029.dat. Verifique Se o Caminho Está Correto."});
    EXPECT_TRUE(op.log.empty());
}

TEST_F(CopyStepsTest, legacyFolderAsTypedNamesItsFilesOnce)
{
    // A trailing "/" typed with the folder gives no "//".
    session.paths.legacyFolder = legacyFolder + "/";
    EXPECT_FALSE(CheckLegacyFile(run, "KQ000039.dat"));
    // No folder at all is not the current directory, even where the file lies there.
    session.paths.legacyFolder = "";
    WriteFileBytes("KQ000039.dat", "");
    EXPECT_FALSE(CheckLegacyFile(run, "KQ000039.dat"));
    std::filesystem::remove("KQ000039.dat");
    EXPECT_EQ(op.messages, (std::vector<std::string>{"Arquivo " + legacyFolder + "/KQ000039.dat Não Encontrado",
                                                     "Arquivo /KQ000039.dat Não Encontrado"}));
}
