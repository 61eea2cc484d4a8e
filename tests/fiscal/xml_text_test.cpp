#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "fiscal/xml_text.h"
#include "tests/support/samples.h"

namespace {

const std::string kKey = "41200323285089000185650010000013051817822496";

std::string ReadSample(const std::string& name)
{
    std::ifstream in(SampleFile("xml", name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(TagValue, givesTheTextBetweenTheFirstStartTagAndItsEndTag)
{
    EXPECT_EQ(TagValue("cStat", "<prot><cStat>100</cStat><xMotivo>ok</xMotivo></prot>"), "100");
    EXPECT_EQ(TagValue("cStat", "<cStat> 100 </cStat>"), " 100 ");
    EXPECT_EQ(TagValue("cNF", "<cNF>00001030</cNF><cNF>99999999</cNF>"), "00001030");
    EXPECT_EQ(TagValue("cStat", "<cStat></cStat>"), "");
    // The value ends at the first end tag: a nested element of the same name cuts it short.
    EXPECT_EQ(TagValue("a", "<a><a>x</a>y</a>"), "<a>x");
    // Letter case counts.
    EXPECT_EQ(TagValue("cStat", "<CSTAT>100</CSTAT>"), "");
}

TEST(TagValue, givesNothingWithoutStartTagOrEndTagAfterIt)
{
    EXPECT_EQ(TagValue("cStat", "<xMotivo>ok</xMotivo>"), "");
    EXPECT_EQ(TagValue("cStat", "<cStat>100"), "");
    EXPECT_EQ(TagValue("cStat", "</cStat><cStat>100"), "");
    EXPECT_EQ(TagValue("cStat", ""), "");
    EXPECT_EQ(TagValue("", ""), "");
}

TEST(TagValue, findsStartTagsWithAttributesOnlyWhenNamedInFull)
{
    const std::string text = "<det nItem=\"1\">abc</det>";
    EXPECT_EQ(TagValue("det", text), "");
    EXPECT_EQ(TagValue("det nItem=\"1\"", text), "abc");
    EXPECT_EQ(TagValue("det nItem=\"2\"", text), "");
}

TEST(ElementText, spansFromTheStartTagToTheEndTag)
{
    const std::string text = "<NFe><infNFe versao=\"4.00\" Id=\"NFe1\"><ide/></infNFe></NFe>";
    EXPECT_EQ(ElementText("infNFe", text), "<infNFe versao=\"4.00\" Id=\"NFe1\"><ide/>");
    EXPECT_EQ(ElementText("ide", "<ide>x</ide>"), "<ide>x");
    EXPECT_EQ(ElementText("infNFe", "<infNFe Id=\"NFe1\">"), "");
    EXPECT_EQ(ElementText("infNFe", "</infNFe>"), "");
    // The end tag is the first one in the whole text, even when it stands before the start tag.
    EXPECT_EQ(ElementText("a", "</a><a>x</a>"), "");
}

TEST(AccessKey, takesTheIdValueWithoutItsPrefix)
{
    EXPECT_EQ(AccessKey("<NFe><infNFe versao=\"4.00\" Id=\"NFe" + kKey + "\"><ide/></infNFe></NFe>"), kKey);
    EXPECT_EQ(AccessKey("<NFe><infNFe Id=\"NFe" + kKey + "\" versao=\"4.00\"><ide/></infNFe></NFe>"), kKey);
    // The prefix is skipped by count, whatever it holds.
    EXPECT_EQ(AccessKey("<infNFe Id=\"XYZ123\"></infNFe>"), "123");
}

TEST(AccessKey, givesNothingWithoutAUsableId)
{
    EXPECT_EQ(AccessKey("<infNFe versao=\"4.00\"><det Id=\"NFe" + kKey + "\"/></infNFe>"), "");
    EXPECT_EQ(AccessKey("<infEvento Id=\"ID110111" + kKey + "01\"></infEvento>"), "");
    EXPECT_EQ(AccessKey("<infNFe Id=\"NFe" + kKey + "\">"), "");
    EXPECT_EQ(AccessKey("<infNFe Id=\"NFe" + kKey + "</infNFe>"), "");
    EXPECT_EQ(AccessKey("<infNFe Id=\"NF\"></infNFe>"), "");
    EXPECT_EQ(AccessKey("<infNFe Id=\"NFe\"></infNFe>"), "");
    EXPECT_EQ(AccessKey(""), "");
}

TEST(TimestampToDateText, reordersTheDateAndDropsTimeAndOffset)
{
    EXPECT_EQ(TimestampToDateText("2023-05-10T14:30:00-03:00"), "10/05/2023");
    EXPECT_EQ(TimestampToDateText("2023-05-10T23:30:00-03:00"), "10/05/2023");
    EXPECT_EQ(TimestampToDateText("2020-01-01T12:00:00+01:00"), "01/01/2020");
    EXPECT_EQ(TimestampToDateText("2023-05-10"), "10/05/2023");
}

TEST(TimestampToDateText, shortTextsGivePartialPieces)
{
    EXPECT_EQ(TimestampToDateText(""), "//");
    EXPECT_EQ(TimestampToDateText("20"), "//20");
    EXPECT_EQ(TimestampToDateText("2023-0"), "/0/2023");
    EXPECT_EQ(TimestampToDateText("2023-05-1"), "1/05/2023");
    EXPECT_EQ(TimestampToDateText("10/05/2023"), "23//2/10/0");
}

// Public invoice files written by other systems: what the import reads out of each of them.
TEST(XmlTextOnRealInvoices, readsStatusCodeDateAndKey)
{
    struct Expected {
        const char* file;
        const char* status;
        const char* code;
        const char* date;
        const char* key;
    };
    const Expected samples[] = {
        {"11101284613439000180550010000004881093997017-nfe.xml", "100", "09399701", "//",
         "11101284613439000180550010000004881093997017"},
        {"11101284613439000180550010000004881093997017-nfeCancNFe.xml", "101", "09399701", "02/02/2014",
         "11101284613439000180550010000004881093997017"},
        {"11101284613439000180550010000004881093997017-retEvento.xml", "128", "", "//", ""},
        {"35101158716523000119550010000000011003000000-nfe.xml", "", "00300000", "//",
         "35101158716523000119550010000000011003000000"},
        {"41170706117473000150550010000463202612756525-procNFe.xml", "100", "61275652", "12/07/2017",
         "41170706117473000150550010000463202612756525"},
        {"43141087235172000122550010008660511960855863.xml", "100", "12353586", "//",
         "43141084564563456345645610008660511960855863"},
        {"NFCeHom2.xml", "100", "00001023", "12/04/2017", "41170410422724000187650010000005101000010235"},
        {"NFCeProd1.xml", "100", "00001258", "27/04/2017", "41170410422724000187650010000000071000012588"},
        // An Id without the "NFe" prefix loses its first three digits: the prefix is skipped by count.
        {"NFe35200159594315000157550010000000012062777161.xml", "", "06277716", "01/01/2020",
         "00159594315000157550010000000012062777161"},
        // A cancellation event appended after the protocol: the first status is the authorisation.
        {"cancelada_55_new.xml", "100", "34631784", "04/02/2021", "35210258716523000119550000000573661346317847"},
        {"exemplo_xml_envia_lote_modelo_65.xml", "", "71726812", "11/11/2021",
         "43211105730928000145650010000002401717268120"},
        {"exemplo_xml_sefazCancela.xml", "", "", "//", ""},
        {"nfce.xml", "", "81782249", "11/03/2020", kKey.c_str()},
        {"nfce111.xml", "100", "81782249", "11/03/2020", kKey.c_str()},
        {"nfce112_2.xml", "150", "81782249", "11/03/2020", kKey.c_str()},
        {"nfe_4.0.xml", "100", "13303793", "20/11/2019", "32191107670813000825550010059062251133037938"},
        {"nfe_layout4.xml", "", "00001030", "25/09/2018", "43180906929383000163550010000000261000010301"},
        {"nfe_layout4_com_prot.xml", "100", "00001030", "25/09/2018", "43180906929383000163550010000000261000010301"},
        {"proccce.xml", "135", "", "//", ""},
        // A lot response: its first status is the lot's, not the invoice's.
        {"retEnviNFe.xml", "104", "", "//", ""},
    };
    for (const Expected& sample : samples) {
        SCOPED_TRACE(sample.file);
        if (SampleFile("xml", sample.file).empty()) continue;  // one of the samples kept outside the repository
        const std::string text = ReadSample(sample.file);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(TagValue("cStat", text), sample.status);
        EXPECT_EQ(TagValue("cNF", text), sample.code);
        EXPECT_EQ(TimestampToDateText(TagValue("dhEmi", text)), sample.date);
        EXPECT_EQ(AccessKey(text), sample.key);
    }
}
