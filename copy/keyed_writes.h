#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "copy/written_keys.h"

struct CopyRun;
class FbQuery;

// The plain statements that leave the row an "update or insert into T(...) values(...)" on the primary key leaves:
// an insert for a key not written yet, an update by the key for one that was. None when the text is not of that form.
struct PlainStatements {
    std::string insert;
    std::string update;
};
std::optional<PlainStatements> PlainStatementsOf(const std::string& updateOrInsert, const std::string& keyColumn);

// The value an integer column takes from a text of digits with blanks around them; none for any other text, or
// for one beyond an integer.
std::optional<std::int32_t> IntegerKeyOfText(const std::string& text);

// A copy's "update or insert" on a table's primary key, replaced by the plain statements while a lookup can find no
// row but one this copy wrote: the table was empty when the copy started, has no triggers of its own, and its primary
// key is the one integer column, whose value the copy knows as the target stores it. From the first record whose key
// the copy cannot know, every record goes through "update or insert". With the write shortcuts off, always.
class KeyedWrites {
public:
    KeyedWrites(std::string table, std::string keyColumn, std::string updateOrInsert);

    // Probes the target; before the first record. Leaves the query closed.
    void Start(FbQuery& query);
    // Sets the statement for a record whose key is `key` (none: not known) on the query, before its values.
    void SetStatementFor(CopyRun& run, FbQuery& query, std::optional<std::int32_t> key);
    // What the record's row landing tells (the onSuccess of ExecuteGuarded).
    std::function<void()> Landed();

private:
    std::string table_, keyColumn_, updateOrInsert_;
    std::optional<PlainStatements> plain_;
    bool taken_ = false;
    std::optional<std::int32_t> key_;
    WrittenKeys<1> written_;
    // Keys of rows sent in a block that has not gone out yet.
    std::vector<std::int32_t> waiting_;
};
