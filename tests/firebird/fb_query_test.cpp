#include <gtest/gtest.h>

#include "firebird/database_error.h"
#include "firebird/fb_connection.h"
#include "tests/support/test_database.h"

using namespace std::chrono;

namespace {

class FbQueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = FreshQuibrawDatabase(folder_);
        SqlExec(path_, "create table probe (id integer not null primary key, txt varchar(5), fixed char(3), "
                       "num integer, big bigint, amount numeric(15,4), d date, ts timestamp, memo blob sub_type 1)");
        connection_.DirectConnect(path_);
    }

    std::string Row(const std::string& columns, int id = 1)
    {
        auto rows = SqlRows(path_, "select " + columns + " from probe where id = " + std::to_string(id));
        if (rows.empty()) return "<no row>";
        std::string joined;
        for (const auto& value : rows[0]) joined += (joined.empty() ? "" : "|") + value;
        return joined;
    }

    void Commit()
    {
        if (connection_.Transaction().Active()) connection_.Transaction().Commit();
    }

    TempFolder folder_;
    std::string path_;
    FbConnection connection_;
};

}  // namespace

TEST_F(FbQueryTest, textParametersFollowTheColumnType)
{
    FbQuery& q = connection_.Query();
    q.SetSql("insert into probe (id, txt, num, big, amount, d, ts, memo) "
             "values (:id, :txt, :num, :big, :amount, :d, :ts, :memo)");
    q.SetText("id", "0001");
    q.SetText("txt", "");
    q.SetText("num", "0012");
    q.SetText("big", "");
    q.SetText("amount", "12,5");  // the server reads only "."; a comma is a conversion error
    EXPECT_THROW(q.Execute(), DatabaseError);
    q.SetText("amount", "12.5");
    q.SetText("d", "05/01/2023");
    q.SetText("ts", "05/03/2020 14:30:00");
    q.SetText("memo", std::string(40000, 'm'));
    q.Execute();
    Commit();
    // "" is an empty text in a text column and NULL in number columns; "0012" is converted by the server.
    EXPECT_EQ(Row("id, txt, num, big, amount, d, cast(ts as varchar(30)), char_length(memo)"),
              "1||12|<null>|12.5000|2023-01-05|2020-03-05 14:30:00.0000|40000");

    q.SetSql("insert into probe (id, d) values (2, :d)");
    q.SetText("d", "");
    q.Execute();
    q.SetSql("insert into probe (id, d) values (3, :d)");
    q.SetText("d", "31/02/2023");
    EXPECT_THROW(q.Execute(), DatabaseError);
    q.SetText("d", "abc");
    try {
        q.Execute();
        FAIL() << "a text that is no date must fail";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(std::string(error.what()), "'abc' is not a valid date and time");
    }
    q.SetSql("insert into probe (id, num) values (4, :num)");
    q.SetText("num", "12a");
    EXPECT_THROW(q.Execute(), DatabaseError);
    // Digits beyond the column still reach the server as text, and fail in its words.
    q.SetText("num", "99999999999");
    try {
        q.Execute();
        FAIL() << "a number beyond an integer must fail";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("numeric overflow"), std::string::npos) << error.what();
    }
    Commit();
    EXPECT_EQ(Row("d", 2), "<null>");
    EXPECT_EQ(Row("id", 3), "<no row>");
}

TEST_F(FbQueryTest, tooLongTextFailsAndLeavesEarlierRowsPending)
{
    FbQuery& q = connection_.Query();
    q.SetSql("insert into probe (id, txt) values (:id, :txt)");
    q.SetInteger("id", 1);
    q.SetText("txt", "abcde");
    q.Execute();
    q.SetInteger("id", 2);
    q.SetText("txt", "abcdef");
    try {
        q.Execute();
        FAIL() << "six characters into varchar(5) must fail";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("truncation"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(connection_.Transaction().Active());
    Commit();
    EXPECT_EQ(SqlScalar(path_, "select count(*) from probe"), "1");
}

TEST_F(FbQueryTest, latinBytesTravelUnchanged)
{
    std::string bytes;
    for (int c = 0x20; c < 0x100; ++c)
        if (c != 0x7F) bytes += static_cast<char>(c);
    SqlExec(path_, "alter table probe add wide varchar(300)");
    FbQuery& q = connection_.Query();
    q.SetSql("insert into probe (id, wide) values (1, :w)");
    q.SetText("w", bytes);
    q.Execute();
    q.SetSql("select wide from probe where id = 1");
    q.Open();
    EXPECT_EQ(q.ColumnText("WIDE"), bytes);
    q.Close();
}

TEST_F(FbQueryTest, typedParametersAndColumns)
{
    FbQuery& q = connection_.Query();
    q.SetSql("insert into probe (id, txt, fixed, amount, d, ts) values (:id, :id, :f, :amount, :d, :ts)");
    q.SetInteger("id", -7);
    q.SetText("f", "ab");
    q.SetMoney("amount", Money{-1234567});
    q.SetDate("d", year_month_day{year{2024}, February, day{29}});
    q.SetDateTime("ts", DateTime{year_month_day{year{2020}, March, day{5}}, hours{14} + minutes{30}});
    q.Execute();
    q.SetSql("select id, txt, fixed, amount, d, ts, num from probe");
    q.Open();
    EXPECT_EQ(q.ColumnInteger("id"), -7);
    EXPECT_EQ(q.ColumnText("Id"), "-7");
    EXPECT_EQ(q.ColumnText("txt"), "-7");
    EXPECT_EQ(q.ColumnText("fixed"), "ab ");
    EXPECT_EQ(q.ColumnText("amount"), "-123,4567");
    EXPECT_EQ(q.ColumnInteger("amount"), -123);
    EXPECT_EQ(q.ColumnText("d"), "29/02/2024");
    EXPECT_EQ(q.ColumnText("ts"), "05/03/2020 14:30:00");
    EXPECT_EQ(q.ColumnText("num"), "");
    EXPECT_EQ(q.ColumnInteger("num"), 0);
    EXPECT_THROW(q.ColumnText("nothing"), DatabaseError);
    q.Next();
    EXPECT_TRUE(q.Eof());
    q.Close();
}

TEST_F(FbQueryTest, unsetParametersAreNullAndValuesStayForTheSameText)
{
    FbQuery& q = connection_.Query();
    const std::string insert = "insert into probe (id, txt, num) values (:id, :txt, :num)";
    q.SetSql(insert);
    q.SetInteger("id", 1);
    q.SetText("txt", "a");
    q.SetInteger("num", 5);
    q.Execute();
    q.SetInteger("id", 2);  // txt and num keep their values
    q.Execute();
    q.SetSql(insert);  // the text set again: parameters start as NULL
    q.SetInteger("id", 3);
    q.Execute();
    Commit();
    EXPECT_EQ(Row("txt, num", 2), "a|5");
    EXPECT_EQ(Row("txt, num", 3), "<null>|<null>");
    EXPECT_THROW(q.SetText("nope", "x"), DatabaseError);
}

TEST_F(FbQueryTest, sameTextIsPreparedOnce)
{
    FbQuery& q = connection_.Query();
    for (int id = 1; id <= 50; ++id) {
        q.Close();
        q.ClearText();
        q.AddLine("insert into probe (id, txt)");
        q.AddLine("values (:id, :txt)");
        q.SetInteger("id", id);
        q.SetText("txt", id % 2 ? "odd" : "even");
        q.Execute();
        q.SetSql("select max(id) as top from probe");
        q.Open();
        EXPECT_EQ(q.ColumnInteger("top"), id);
        q.Close();
    }
    EXPECT_EQ(q.PrepareCount(), 2);
    Commit();
    EXPECT_EQ(SqlScalar(path_, "select count(*) from probe where txt = 'odd'"), "25");
}

TEST_F(FbQueryTest, updateOrInsertTwiceKeepsOneRowWithTheSecondValues)
{
    FbQuery& q = connection_.Query();
    q.SetSql("update or insert into probe (id, txt) values (:id, :txt)");
    q.SetInteger("id", 9);
    q.SetText("txt", "first");
    q.Execute();
    q.SetText("txt", "again");
    q.Execute();
    Commit();
    EXPECT_EQ(SqlRows(path_, "select id, txt from probe"), (std::vector<std::vector<std::string>>{{"9", "again"}}));
}

namespace {

// Restores statement reuse and removes the observer whatever a test does.
struct QuerySwitchesGuard {
    ~QuerySwitchesGuard()
    {
        FbQuery::SetStatementReuse(true);
        FbQuery::SetExecuteObserver(nullptr);
    }
};

struct SentStatement {
    std::string sql;
    FbQuery::SentAs kind;
    std::vector<std::string> values;  // each input as bound: text, integer or "<null>"
};
std::vector<SentStatement> gSent;

void KeepSent(const std::string& sql, const XSQLDA& input, FbQuery::SentAs kind)
{
    SentStatement sent{sql, kind, {}};
    for (short i = 0; i < input.sqld; ++i) {
        const XSQLVAR& var = input.sqlvar[i];
        if (var.sqlind && *var.sqlind < 0)
            sent.values.push_back("<null>");
        else if ((var.sqltype & ~1) == SQL_VARYING)
            sent.values.emplace_back(var.sqldata + 2, *reinterpret_cast<const unsigned short*>(var.sqldata));
        else if ((var.sqltype & ~1) == SQL_LONG)
            sent.values.push_back(std::to_string(*reinterpret_cast<const ISC_LONG*>(var.sqldata)));
        else
            sent.values.push_back("?");
    }
    gSent.push_back(sent);
}

}  // namespace

TEST_F(FbQueryTest, fortyTextsTakenInTurnArePreparedOnceEach)
{
    FbQuery& q = connection_.Query();
    for (int round = 0; round < 3; ++round)
        for (int k = 1; k <= 40; ++k) {
            q.SetSql("update or insert into probe (id, num) values (:id, " + std::to_string(k) + ")");
            q.SetInteger("id", k);
            q.Execute();
        }
    EXPECT_EQ(q.PrepareCount(), 40);
    Commit();
    EXPECT_EQ(SqlScalar(path_, "select sum(num) from probe where num = id"), "820");
}

TEST_F(FbQueryTest, withoutReuseEveryTextSetIsPreparedAgain)
{
    QuerySwitchesGuard guard;
    FbQuery::SetStatementReuse(false);
    FbQuery& q = connection_.Query();
    for (int id = 1; id <= 5; ++id) {
        q.SetSql("insert into probe (id, txt) values (:id, :txt)");
        q.SetInteger("id", id);
        q.SetText("txt", "r");
        q.Execute();
    }
    EXPECT_EQ(q.PrepareCount(), 5);
    // A text not set again is executed on the statement already prepared.
    q.SetInteger("id", 6);
    q.Execute();
    EXPECT_EQ(q.PrepareCount(), 5);
    FbQuery::SetStatementReuse(true);
    q.SetSql("insert into probe (id, txt) values (:id, :txt)");
    q.SetInteger("id", 7);
    q.Execute();
    EXPECT_EQ(q.PrepareCount(), 5);
    Commit();
    EXPECT_EQ(SqlScalar(path_, "select count(*) from probe"), "7");
}

TEST_F(FbQueryTest, settingTheSameTextAgainStartsItsParametersAsNull)
{
    FbQuery& q = connection_.Query();
    q.SetSql("insert into probe (id, txt, num) values (:id, :txt, :num)");
    q.SetInteger("id", 1);
    q.SetText("txt", "one");
    q.SetInteger("num", 11);
    q.Execute();
    q.SetSql("insert into probe (id, txt, num) values (:id, :txt, :num)");
    q.SetInteger("id", 2);
    q.Execute();
    Commit();
    EXPECT_EQ(Row("txt, num", 1), "one|11");
    EXPECT_EQ(Row("txt, num", 2), "<null>|<null>");
}

TEST_F(FbQueryTest, parametersAreFoundInAnyOrderAndCaseAndTakeTextPieces)
{
    FbQuery& q = connection_.Query();
    q.SetSql("insert into probe (id, txt, num) values (:id, :txt, :num)");
    const std::string line = "abcdefgh";
    q.SetInteger("NUM", 4);
    q.SetText("Txt", std::string_view(line).substr(2, 3));
    q.SetInteger("iD", 1);
    q.Execute();
    q.SetInteger("num", 5);  // values stay for the next execution of the same text
    q.SetInteger("id", 2);
    q.Execute();
    Commit();
    EXPECT_EQ(Row("txt, num", 1), "cde|4");
    EXPECT_EQ(Row("txt, num", 2), "cde|5");
    EXPECT_THROW(q.SetText("tx", "x"), DatabaseError);
}

TEST_F(FbQueryTest, theObserverSeesEachStatementAsSentWithItsBoundValues)
{
    QuerySwitchesGuard guard;
    gSent.clear();
    FbQuery::SetExecuteObserver(KeepSent);
    FbQuery& q = connection_.Query();
    q.SetSql("insert into probe (id, txt) values (:id, :txt)");
    q.SetInteger("id", 3);
    q.SetText("txt", "abc");
    q.Execute();
    q.SetSql("select txt from probe where id = :id");
    q.SetInteger("id", 3);
    q.Open();
    EXPECT_EQ(q.ColumnText("txt"), "abc");
    q.Close();
    q.Execute();
    FbQuery::SetExecuteObserver(nullptr);
    q.Execute();
    ASSERT_EQ(gSent.size(), 3u);
    EXPECT_EQ(gSent[0].sql, "insert into probe (id, txt) values (?, ?)");
    EXPECT_EQ(gSent[0].kind, FbQuery::SentAs::Execute);
    EXPECT_EQ(gSent[0].values, (std::vector<std::string>{"3", "abc"}));
    EXPECT_EQ(gSent[1].sql, "select txt from probe where id = ?");
    EXPECT_EQ(gSent[1].kind, FbQuery::SentAs::OpenCursor);
    EXPECT_EQ(gSent[2].kind, FbQuery::SentAs::ExecuteSelect);
    EXPECT_EQ(gSent[2].values, (std::vector<std::string>{"3"}));
}

TEST_F(FbQueryTest, oneStatementTakesValuesThatChangeKindAndLengthAndOutlivesACommitWithItsCursorOpen)
{
    FbQuery& q = connection_.Query();
    q.SetSql("insert into probe (id, txt, amount) values (:id, :txt, :amount)");
    q.SetInteger("id", 1);
    q.SetText("txt", "a");
    q.SetMoney("amount", Money{15000});
    q.Execute();
    q.SetText("id", "2");
    q.SetText("txt", "abcde");
    q.SetText("amount", "7.25");
    q.Execute();
    q.SetInteger("id", 3);
    q.SetNull("txt");
    q.SetMoney("amount", Money{0});
    q.Execute();
    Commit();
    EXPECT_EQ(Row("txt, amount", 1), "a|1.5000");
    EXPECT_EQ(Row("txt, amount", 2), "abcde|7.2500");
    EXPECT_EQ(Row("txt, amount", 3), "<null>|0.0000");

    q.SetSql("select txt from probe order by id");
    q.Open();
    Commit();  // the commit closes the cursor under the query
    q.Close();
    q.Open();
    EXPECT_EQ(q.ColumnText("txt"), "a");
    q.Next();
    EXPECT_EQ(q.ColumnText("txt"), "abcde");
    q.Close();
}
