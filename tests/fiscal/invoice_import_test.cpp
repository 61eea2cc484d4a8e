#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/commands.h"
#include "session/session.h"
#include "fiscal/invoice_import.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_operator.h"
#include "tests/support/test_database.h"

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr const char* kFolderDialog = "folder-dialog: Procure a Pasta dos XMLs";
const std::string kProd1Key = "41170410422724000187650010000000071000012588";
const std::string kLateKey = "41200323285089000185650010000013051817822496";

std::string ReadSample(const std::string& name)
{
    std::ifstream in(SampleFile("xml", name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (text.str().empty()) throw std::runtime_error("sample not found: " + name);
    return text.str();
}

// A small invoice in the NF-e layout with the given status element content and emission timestamp.
std::string Invoice(const std::string& key, const std::string& cNF, const std::string& dhEmi,
                    const std::string& cStat)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<nfeProc versao=\"4.00\">\n<NFe><infNFe versao=\"4.00\" Id=\"NFe" +
           key + "\">\n<ide><cUF>35</cUF><cNF>" + cNF + "</cNF><mod>65</mod><nNF>123</nNF>\n<dhEmi>" + dhEmi +
           "</dhEmi></ide>\n</infNFe></NFe>\n<protNFe versao=\"4.00\"><infProt><chNFe>" + key +
           "</chNFe>\n<cStat>" + cStat + "</cStat><xMotivo>Autorizado o uso da NF-e</xMotivo></infProt></protNFe>\n"
           "</nfeProc>\n";
}

class InvoiceImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        targetPath_ = FreshQuibrawDatabase(folder_);
        xmlFolder_ = folder_.File("xmls");
        fs::create_directories(xmlFolder_);
    }

    void Write(const std::string& name, const std::string& content)
    {
        std::ofstream(xmlFolder_ + "/" + name, std::ios::binary) << content;
    }

    void CopySample(const std::string& sample, const std::string& as) { Write(as, ReadSample(sample)); }

    // Runs the command as the window does: the target chosen in its dialog, then the folder.
    void Run()
    {
        op_.fileAnswers.push_back(targetPath_);
        op_.folderAnswers.push_back(xmlFolder_);
        RunCommand(Command::ConvertXmls, *session_, op_);
    }

    Rows Recorded()
    {
        return SqlRows(targetPath_, "select data, chave, nota, cliente, adic from nfce order by chave, nota");
    }

    TempFolder folder_;
    std::string targetPath_;
    std::string xmlFolder_;
    ScriptedOperator op_;
    std::unique_ptr<Session> session_ = std::make_unique<Session>();
};

}  // namespace

TEST_F(InvoiceImportTest, recordsTheAuthorisedInvoicesOfTheFolder)
{
    CopySample("NFCeProd1.xml", "a.xml");  // 100
    CopySample("nfce112_2.xml", "b.xml");  // 150
    std::string denied = ReadSample("NFCeHom2.xml");
    denied.replace(denied.find("<cStat>100</cStat>"), 18, "<cStat>110</cStat>");
    Write("c.xml", denied);
    CopySample("proccce.xml", "d.xml");          // an event: 135
    CopySample("retEnviNFe.xml", "e.xml");       // a lot answer: the first status is 104
    CopySample("nfe_layout4.xml", "f.xml");      // never sent: no status at all

    Run();

    EXPECT_EQ(op_.events, (std::vector<std::string>{"file-dialog: ", kFolderDialog, "message: Total Adicionados: 2"}));
    EXPECT_EQ(op_.targetBox, targetPath_);
    // The number recorded is the invoice's code cNF (00001258), not its number nNF (7).
    EXPECT_EQ(Recorded(), (Rows{{"2017-04-27", kProd1Key, "1258", "1", ""},
                                {"2020-03-11", kLateKey, "81782249", "1", ""}}));
    EXPECT_FALSE(session_->target.Transaction().Active());
}

TEST_F(InvoiceImportTest, readsTheValuesOfAWrittenInvoice)
{
    const std::string key(44, '7');
    Write("nota.xml", Invoice(key, " 00004567 ", "\n 2023-05-10T23:30:00-03:00 ", " 100 "));
    Write("outra.xml", Invoice(std::string(44, '8'), "1", "2023-12-31T00:10:00+01:00", "\n150\r\n"));

    Run();

    EXPECT_EQ(op_.messages, std::vector<std::string>{"Total Adicionados: 2"});
    // The offset is dropped, not applied; blanks around the values are trimmed.
    EXPECT_EQ(Recorded(), (Rows{{"2023-05-10", key, "4567", "1", ""}, {"2023-12-31", std::string(44, '8'), "1", "1", ""}}));
}

TEST_F(InvoiceImportTest, listsThePlainVisibleXmlFiles)
{
    const std::string invoice = Invoice(std::string(44, '1'), "10", "2023-01-02T10:00:00-03:00", "100");
    Write("upper.XML", invoice);
    Write("mixed.XmL", invoice);
    Write(".hidden.xml", invoice);
    Write("invoice.xml.bak", invoice);
    Write("invoice.txt", invoice);
    fs::create_directories(xmlFolder_ + "/folder.xml");
    Write("folder.xml/inside.xml", invoice);

    Run();

    EXPECT_EQ(op_.messages, std::vector<std::string>{"Total Adicionados: 2"});
    EXPECT_EQ(op_.processEventsCalls, 2);
}

TEST_F(InvoiceImportTest, anEmptyFolderStillGetsItsSubFolders)
{
    xmlFolder_ = folder_.File("new/xmls");  // made with its parents

    Run();

    EXPECT_EQ(op_.messages, std::vector<std::string>{"Total Adicionados: 0"});
    for (const char* sub : {"/NFE", "/NFE/EXC", "/NFE/CSTAT150"}) EXPECT_TRUE(fs::is_directory(xmlFolder_ + sub)) << sub;
    EXPECT_EQ(SqlScalar(targetPath_, "select count(*) from nfce"), "0");
}

TEST_F(InvoiceImportTest, cancelledDialogsEndTheCommand)
{
    {  // No folder: nothing is made or read, no message.
        op_.fileAnswers.push_back(targetPath_);
        RunCommand(Command::ConvertXmls, *session_, op_);
        EXPECT_EQ(op_.events, (std::vector<std::string>{"file-dialog: ", kFolderDialog}));
        EXPECT_FALSE(fs::exists(xmlFolder_ + "/NFE"));
    }
    {  // No database and an empty target box: the connection fails before the folder is asked for.
        session_ = std::make_unique<Session>();
        op_ = ScriptedOperator{};
        RunCommand(Command::ConvertXmls, *session_, op_);
        ASSERT_EQ(op_.errors.size(), 1u);
        EXPECT_EQ(op_.events.size(), 2u);
        EXPECT_TRUE(op_.messages.empty());
    }
}

TEST_F(InvoiceImportTest, aBadEmissionDateEndsTheCommandAfterTheEarlierFiles)
{
    {  // The files before the bad one stay committed; the one after it is never read.
        Write("1.xml", Invoice(std::string(44, '1'), "11", "2023-05-10T10:00:00-03:00", "100"));
        Write("2.xml", Invoice(std::string(44, '2'), "22", "2023-13-45T10:00:00-03:00", "100"));
        Write("3.xml", Invoice(std::string(44, '3'), "33", "2023-05-12T10:00:00-03:00", "100"));
        Run();
        EXPECT_EQ(op_.errors, std::vector<std::string>{xmlFolder_ + "/2.xml: '45/13/2023' is not a valid date."});
        EXPECT_TRUE(op_.messages.empty());
        EXPECT_EQ(Recorded(), (Rows{{"2023-05-10", std::string(44, '1'), "11", "1", ""}}));
    }
    {  // An old-layout invoice carries dEmi, not dhEmi: its date is missing.
        fs::remove_all(xmlFolder_);
        fs::create_directories(xmlFolder_);
        Write("old.xml", "<nfeProc versao=\"2.00\"><NFe><infNFe versao=\"2.00\" Id=\"NFe" + std::string(44, '4') +
                             "\"><ide><cNF>09399701</cNF><dEmi>2010-12-02</dEmi></ide></infNFe></NFe>"
                             "<protNFe><infProt><cStat>100</cStat></infProt></protNFe></nfeProc>");
        op_ = ScriptedOperator{};
        Run();
        EXPECT_EQ(op_.errors, std::vector<std::string>{xmlFolder_ + "/old.xml: '//' is not a valid date."});
        EXPECT_EQ(SqlScalar(targetPath_, "select count(*) from nfce"), "1");
    }
}

TEST(InvoiceDate, acceptsExactlyDayMonthYear)
{
    EXPECT_EQ(DateFromText("10/05/2023"), std::chrono::year_month_day{std::chrono::year{2023} / 5 / 10});
    EXPECT_EQ(DateFromText("29/02/2024"), std::chrono::year_month_day{std::chrono::year{2024} / 2 / 29});
    for (const char* text : {"", "//", "1/05/2023", "10/5/2023", "10/05/23", "10-05-2023", "29/02/2023",
                             "10/05/2023 ", "00/05/2023", "10/05/2023 10:00"}) {
        try {
            DateFromText(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const std::exception& failure) {
            EXPECT_EQ(failure.what(), "'" + std::string(text) + "' is not a valid date");
        }
    }
}
