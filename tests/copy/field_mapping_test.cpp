#include <gtest/gtest.h>

#include "firebird/fb_query.h"
#include "common/failure.h"
#include "copy/field_mapping.h"
#include "legacy/field_values.h"
#include "tests/support/copy_fixture.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {

class FieldMappingTest : public CopyFixture {
protected:
    void SetUp() override
    {
        SqlExec(databasePath, "create table probe (a varchar(40), b varchar(40), c varchar(40), d varchar(40), "
                              "e integer, f integer, g numeric(15,4), h date)");
        Connect();
        DbfWriter w;
        w.Field("TEXTO", 'C', 10).Field("NUMERO", 'N', 6).Field("VALOR", 'N', 8, 2).Field("DIA", 'D', 8);
        w.Record({"  A-1 b/2 ", "42", "3.25", "20240229"});
        w.Record({"X", "", "", ""});
        WriteLegacy("KQ000001.dat", w);
        session.table.SetDBFFileName(legacyFolder + "/KQ000001.dat");
        session.table.Open();
    }
};

}  // namespace

TEST_F(FieldMappingTest, everyKindReadsTextFieldsInPlaceAndOtherFieldsThroughTheirTextForm)
{
    using K = ValueKind;
    MappedFields fields(session.table, {{"a", "texto", K::AsRead},
                                        {"b", "texto", K::Trimmed},
                                        {"c", "texto", K::FirstN, 4},
                                        {"d", "numero", K::AsRead},
                                        {"e", "texto", K::DigitsInteger},
                                        {"f", "numero", K::IntegerOrZero},
                                        {"g", "valor", K::Money},
                                        {"h", "dia", K::Date}});
    FbQuery& query = session.target.Query();
    query.SetSql("insert into probe values (:a, :b, :c, :d, :e, :f, :g, :h)");
    for (session.table.MoveFirst(); !session.table.IsPastEnd(); session.table.MoveNext()) {
        fields.BindAll(query);
        query.Execute();
    }
    CommitPending();
    EXPECT_EQ(Select("select a, b, c, d, e, f, g, h from probe order by a desc"),
              (Rows{{"X         ", "X", "X   ", "", "0", "0", "0.0000", "1899-12-30"},
                    {"  A-1 b/2 ", "A-1 b/2", "  A-", "42", "12", "42", "3.2500", "2024-02-29"}}));
}

TEST_F(FieldMappingTest, aMissingFieldFailsAtEveryRecordThatNeedsIt)
{
    MappedFields fields(session.table, {{"a", "texto", ValueKind::AsRead}, {"b", "nada", ValueKind::Trimmed}});
    FbQuery& query = session.target.Query();
    query.SetSql("insert into probe (a, b) values (:a, :b)");
    EXPECT_THROW(fields.BindAll(query), Failure);
    session.table.MoveNext();
    EXPECT_THROW(fields.BindAll(query), Failure);
    EXPECT_EQ(AsText(fields.Field("TEXTO")), "X         ");
}

TEST_F(FieldMappingTest, onlyDeclaredFieldsCanBeRead)
{
    MappedFields fields(session.table, {{"a", "texto", ValueKind::AsRead}}, {"dia"});
    EXPECT_EQ(AsText(fields.Field("DIA")), "29/02/2024");
    EXPECT_THROW(fields.Field("numero"), std::logic_error);
    EXPECT_EQ(FieldNames({{"a", "texto", ValueKind::AsRead}, {"b", "TEXTO", ValueKind::Trimmed}}, {"dia", "texto"}),
              (std::vector<std::string>{"texto", "dia"}));
}
