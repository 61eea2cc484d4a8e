#include <gtest/gtest.h>

#include "firebird/named_parameters.h"

TEST(NamedParameters, replacesNamesOutsideQuotesAndComments)
{
    // Plain names, case folded, a name repeated.
    auto scanned = ScanNamedParameters("insert into t (a, b) values (:Cod, :nome) -- :skip\nwhere x = :COD");
    EXPECT_EQ(scanned.sql, "insert into t (a, b) values (?, ?) -- :skip\nwhere x = ?");
    EXPECT_EQ(scanned.placeholderNames, (std::vector<std::string>{"COD", "NOME", "COD"}));

    // Quoted texts and identifiers, doubled quotes inside them, block comments.
    scanned = ScanNamedParameters("select ':a', \"x:y\", 'it''s :b' /* :c */ from t where d = :d");
    EXPECT_EQ(scanned.sql, "select ':a', \"x:y\", 'it''s :b' /* :c */ from t where d = ?");
    EXPECT_EQ(scanned.placeholderNames, (std::vector<std::string>{"D"}));

    // A colon not followed by a name stays; an unterminated quote swallows the rest.
    scanned = ScanNamedParameters("a : b :x_1$ 'open :y");
    EXPECT_EQ(scanned.sql, "a : b ? 'open :y");
    EXPECT_EQ(scanned.placeholderNames, (std::vector<std::string>{"X_1$"}));
}
