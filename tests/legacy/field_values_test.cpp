#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "common/date_time.h"
#include "common/failure.h"
#include "legacy/decimal_number.h"
#include "legacy/field_values.h"
#include "legacy/legacy_table.h"
#include "tests/support/dbf_writer.h"
#include "tests/support/temp_folder.h"

using namespace std::chrono;

namespace {

// One table with one field of each kind; each test row is one record of raw field bytes.
class FieldForms : public ::testing::Test {
protected:
    void Open(DbfWriter& writer)
    {
        path_ = folder_.File("Forms.dat");
        writer.Write(path_);
        table_.SetDBFFileName(path_);
        table_.Open();
    }

    // The failure's text of a form, "" when it gave a value.
    template <typename Form>
    static std::string FailureOf(Form form)
    {
        try {
            form();
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "";
    }

    TempFolder folder_;
    std::string path_;
    LegacyTable table_;
};

Money M(double units) { return Money{static_cast<std::int64_t>(units * 10000)}; }

}  // namespace

TEST_F(FieldForms, textFields)
{
    DbfWriter writer;
    writer.Field("NOME", 'C', 6);
    writer.Record({"AB"}).RawRecord(std::string(" AB\0CD ", 7)).Record({"  3,25"}).Record({"3.25"}).Record({"05/01/2023"})
        .Record({""});
    Open(writer);
    const LegacyField nome = table_.FieldNamed("nome");

    // Trailing blanks kept; no money or date form for "AB    ".
    EXPECT_EQ(AsText(nome), "AB    ");
    EXPECT_EQ(FailureOf([&] { AsMoney(nome); }), "'AB    ' is not a valid floating point value");
    EXPECT_EQ(FailureOf([&] { AsDate(nome); }), "'AB    ' is not a valid date and time");
    // A NUL byte ends the text.
    table_.MoveNext();
    EXPECT_EQ(AsText(nome), "AB");
    // Money reads "," only.
    table_.MoveNext();
    EXPECT_EQ(AsMoney(nome), M(3.25));
    table_.MoveNext();
    EXPECT_EQ(FailureOf([&] { AsMoney(nome); }), "'3.25  ' is not a valid floating point value");
    // The date form through the short date format ("05/01/" fits the 6-byte field).
    table_.MoveNext();
    EXPECT_EQ(FailureOf([&] { AsDate(nome); }), "'05/01/' is not a valid date and time");
    // All blanks: text of blanks, and no number.
    table_.MoveNext();
    EXPECT_EQ(AsText(nome), "      ");
    EXPECT_EQ(FailureOf([&] { AsMoney(nome); }), "'      ' is not a valid floating point value");
}

TEST_F(FieldForms, textFieldReadAsDate)
{
    DbfWriter writer;
    writer.Field("QUANDO", 'C', 20);
    writer.Record({"05/01/2023"}).Record({"05/01/2023 14:30"}).Record({"31/02/2023"});
    Open(writer);
    const LegacyField quando = table_.FieldNamed("QUANDO");
    EXPECT_EQ(AsDate(quando), year_month_day(year{2023}, January, day{5}));
    table_.MoveNext();
    EXPECT_EQ(AsDate(quando), year_month_day(year{2023}, January, day{5}));
    table_.MoveNext();
    EXPECT_EQ(FailureOf([&] { AsDate(quando); }), "'31/02/2023          ' is not a valid date and time");
}

TEST_F(FieldForms, integerFields)
{
    DbfWriter writer;
    writer.Field("QTD", 'N', 5).Field("GRANDE", 'N', 12);
    writer.Record({"42", "123456789012"})
        .RawRecord(std::string(" ") + "   -7" + "-00000000012")
        .RawRecord(std::string(" ") + "42   " + "            ")
        .RawRecord(std::string(" ") + " 4 2 " + "  +1234567a ")
        .RawRecord(std::string(" ") + "  4.2" + "       -12.0")
        .RawRecord(std::string(" ") + "00042" + "000000000000");
    Open(writer);
    const LegacyField qtd = table_.FieldNamed("QTD");
    const LegacyField grande = table_.FieldNamed("GRANDE");

    EXPECT_EQ(AsText(qtd), "42");
    EXPECT_EQ(AsMoney(qtd), M(42));
    EXPECT_EQ(AsText(grande), "123456789012");
    EXPECT_EQ(AsMoney(grande), Money::FromUnits(123456789012));
    EXPECT_EQ(FailureOf([&] { AsDate(qtd); }), "Cannot access field 'QTD' as type DateTime");
    // Signs; leading zeros dropped.
    table_.MoveNext();
    EXPECT_EQ(AsText(qtd), "-7");
    EXPECT_EQ(AsText(grande), "-12");
    EXPECT_EQ(AsMoney(grande), M(-12));
    // Trailing blank, all blank, inner blank, letter, decimal point: absent.
    for (int row = 0; row < 3; ++row) {
        table_.MoveNext();
        EXPECT_EQ(AsText(qtd), "") << row;
        EXPECT_EQ(AsMoney(qtd), Money{}) << row;
        EXPECT_EQ(AsText(grande), "") << row;
    }
    // Leading zeros are digits.
    table_.MoveNext();
    EXPECT_EQ(AsText(qtd), "42");
    EXPECT_EQ(AsText(grande), "0");
}

TEST_F(FieldForms, floatFields)
{
    DbfWriter writer;
    writer.Field("VALOR", 'N', 10, 2).Field("TAXA", 'F', 20, 5);
    writer.Record({"12.50", "0.03125"})
        .Record({"12,50", "0.09375"})
        .Record({"1.234,56", "-2.5E3"})
        .Record({"", "1234567890123456"})
        .Record({"10.00", "0.00001"})
        .Record({"-0.5", "0.0001"})
        .Record({"1e", "123456789.123456789"})
        .Record({"+.5", "1.5e-7"})
        .Record({"5.", "99999999999999999"});
    Open(writer);
    const LegacyField valor = table_.FieldNamed("valor");
    const LegacyField taxa = table_.FieldNamed("taxa");

    EXPECT_EQ(AsText(valor), "12,5");
    EXPECT_EQ(AsMoney(valor), M(12.5));
    EXPECT_EQ(FailureOf([&] { AsDate(valor); }), "Cannot access field 'VALOR' as type DateTime");
    // 0.03125 * 10000 = 312.5 exactly: halves go to the even neighbour.
    EXPECT_EQ(AsMoney(taxa), Money{312});
    EXPECT_EQ(AsText(taxa), "0,03125");
    // "," is read when "." fails.
    table_.MoveNext();
    EXPECT_EQ(AsText(valor), "12,5");
    EXPECT_EQ(AsMoney(valor), M(12.5));
    EXPECT_EQ(AsMoney(taxa), Money{938});  // 937.5 goes up to the even 938
    // Thousands separators are not read: absent.
    table_.MoveNext();
    EXPECT_EQ(AsText(valor), "");
    EXPECT_EQ(AsMoney(valor), Money{});
    EXPECT_EQ(AsText(taxa), "-2500");
    // Blank: absent. 16 integer digits go scientific.
    table_.MoveNext();
    EXPECT_EQ(AsText(valor), "");
    EXPECT_EQ(AsText(taxa), "1,23456789012346E15");
    // Whole numbers without separator; below 0.0001 scientific.
    table_.MoveNext();
    EXPECT_EQ(AsText(valor), "10");
    EXPECT_EQ(AsText(taxa), "1E-5");
    table_.MoveNext();
    EXPECT_EQ(AsText(valor), "-0,5");
    EXPECT_EQ(AsMoney(valor), M(-0.5));
    EXPECT_EQ(AsText(taxa), "0,0001");
    // An exponent without digits is not a number; 15 significant digits at most.
    table_.MoveNext();
    EXPECT_EQ(AsText(valor), "");
    EXPECT_EQ(AsText(taxa), "123456789,123457");
    table_.MoveNext();
    EXPECT_EQ(AsText(valor), "0,5");
    EXPECT_EQ(AsText(taxa), "1,5E-7");
    EXPECT_EQ(AsMoney(taxa), Money{0});
    // Rounding to 15 digits carries into a new integer digit.
    table_.MoveNext();
    EXPECT_EQ(AsText(valor), "5");
    EXPECT_EQ(AsText(taxa), "1E17");
}

TEST_F(FieldForms, dateFields)
{
    DbfWriter writer;
    writer.Field("DATA", 'D', 8);
    writer.Record({"20230105"}).Record({""}).Record({"20230231"}).Record({"20240229"}).Record({"19A00101"})
        .Record({"18991231"}).Record({"00000101"});
    Open(writer);
    const LegacyField data = table_.FieldNamed("DATA");

    EXPECT_EQ(AsText(data), "05/01/2023");
    EXPECT_EQ(AsDate(data), year_month_day(year{2023}, January, day{5}));
    EXPECT_EQ(AsMoney(data), Money::FromUnits(DaysSinceZeroDate(year_month_day(year{2023}, January, day{5}))));
    // Blank and impossible dates are absent alike.
    for (int row = 0; row < 2; ++row) {
        table_.MoveNext();
        EXPECT_EQ(AsText(data), "");
        EXPECT_EQ(AsDate(data), kZeroDate);
        EXPECT_EQ(AsMoney(data), Money{});
    }
    table_.MoveNext();
    EXPECT_EQ(AsDate(data), year_month_day(year{2024}, February, day{29}));
    // "A" counts as its code minus "0": 17, so the year is 1000 + 900 + 170 + 0.
    table_.MoveNext();
    EXPECT_EQ(AsDate(data), year_month_day(year{2070}, January, day{1}));
    table_.MoveNext();
    EXPECT_EQ(AsMoney(data), Money::FromUnits(1));
    // Year 0 is not a date.
    table_.MoveNext();
    EXPECT_EQ(AsText(data), "");
}

TEST_F(FieldForms, logicalAndMemoFields)
{
    DbfWriter writer;
    writer.Field("ATIVO", 'L', 1).Field("OBS", 'M', 10);
    const std::string longText = std::string(700, 'x') + "\r\nfim";
    const std::string first = writer.Memo("curto");
    const std::string second = writer.Memo(longText);
    writer.Record({"T", first})
        .Record({"F", second})
        .Record({"t", "2         "})   // left-aligned block number
        .Record({"?", ""})
        .Record({"Y", "        99"});   // beyond the memo file
    Open(writer);
    const LegacyField ativo = table_.FieldNamed("ATIVO");
    const LegacyField obs = table_.FieldNamed("OBS");

    EXPECT_EQ(AsText(ativo), "True");
    EXPECT_EQ(AsText(obs), "curto");
    EXPECT_EQ(FailureOf([&] { AsMoney(ativo); }), "Cannot access field 'ATIVO' as type Float");
    EXPECT_EQ(FailureOf([&] { AsDate(ativo); }), "Cannot access field 'ATIVO' as type DateTime");
    EXPECT_EQ(FailureOf([&] { AsMoney(obs); }), "Cannot access field 'OBS' as type Float");
    EXPECT_EQ(FailureOf([&] { AsDate(obs); }), "Cannot access field 'OBS' as type DateTime");
    // A text over two blocks.
    table_.MoveNext();
    EXPECT_EQ(AsText(ativo), "False");
    EXPECT_EQ(AsText(obs), longText);
    for (int row = 0; row < 3; ++row) {
        table_.MoveNext();
        EXPECT_EQ(AsText(ativo), "") << row;
        EXPECT_EQ(AsText(obs), "") << row;
    }
}

TEST_F(FieldForms, memoTextsEndAtTheirMarkOrTheFileEnd)
{
    DbfWriter writer;
    writer.Field("OBS", 'M', 10);
    writer.Memo("placeholder");
    writer.Record({"         1"}).Record({"         3"});
    Open(writer);
    // Block 1 holds a text over two blocks ending in 0x1A; block 3 one that reaches the end of a
    // memo file whose length is not a multiple of 512.
    std::string memo(512, '\0');
    memo += std::string(512, 'a') + "b\x1A";
    memo.resize(1536, 'z');
    memo += std::string(509, 'c') + "tail";
    table_.Close();
    WriteFileBytes(folder_.File("FORMS.DBT"), memo);
    std::remove(folder_.File("Forms.dbt").c_str());
    table_.Open();
    const LegacyField obs = table_.FieldNamed("OBS");
    EXPECT_EQ(AsText(obs), std::string(512, 'a') + "b");
    table_.MoveNext();
    EXPECT_EQ(AsText(obs), std::string(509, 'c') + "tail");

    // Without its memo file a table still opens and its memos are empty.
    table_.Close();
    std::remove(folder_.File("FORMS.DBT").c_str());
    table_.Open();
    EXPECT_FALSE(table_.HasMemoFile());
    EXPECT_EQ(AsText(table_.FieldNamed("OBS")), "");
}

// Money read from plain decimals is taken from the digits: it must equal the double read and rounded to the nearest
// ten-thousandth, ties to even, for every width, sign, padding and separator (and texts too long for that reading).
TEST_F(FieldForms, moneyFromDigitsEqualsTheRoundedDouble)
{
    std::mt19937 random(7);
    auto digits = [&random](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
        return text;
    };
    std::vector<std::string> numbers = {"-0", "5.", "007.5", "99999999999.9999", "-99999999999.9999",
                                        "999999999999.5", "0.00005", "12.34565"};
    for (int i = 0; i < 3000; ++i) {
        const int decimals = static_cast<int>(random() % 7) - 1;  // -1: no separator
        std::string number = (random() % 3 == 0 ? "-" : "") + digits(1 + static_cast<int>(random() % 13));
        if (decimals >= 0) number += "." + digits(decimals);
        numbers.push_back(number);
    }
    DbfWriter writer;
    writer.Field("VALOR", 'N', 20, 4).Field("TEXTO", 'C', 24);
    for (const std::string& number : numbers) {
        std::string comma = number;
        std::replace(comma.begin(), comma.end(), '.', ',');
        writer.Record({number, "  " + comma});
    }
    Open(writer);
    const LegacyField valor = table_.FieldNamed("VALOR");
    const LegacyField texto = table_.FieldNamed("TEXTO");
    for (const std::string& number : numbers) {
        const long double scaled = static_cast<long double>(*ParseDecimal(number, '.')) * 10000.0L;
        const Money expected{static_cast<std::int64_t>(std::rint(scaled))};
        EXPECT_EQ(AsMoney(valor), expected) << number;
        EXPECT_EQ(AsMoney(texto), expected) << number;
        table_.MoveNext();
    }
}
