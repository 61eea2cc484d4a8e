#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

class FbQuery;

// The write shortcuts of the sales, purchase, client and product copies and of the copies keyed on one code (see
// DeclaredCopy::keyed): values bound as parameters instead of
// written into the statement text, and plain inserts where a matching lookup cannot find a row written before the
// copy started (a new key gets a plain insert, a key the copy wrote before a keyed update). Both leave the same rows
// as "update or insert" with the values in the text; off, the copies send exactly those, for the tests that compare
// the two ways.
class WriteShortcuts {
public:
    static void SetEnabled(bool enabled) { enabled_ = enabled; }
    static bool Enabled() { return enabled_; }

private:
    static inline bool enabled_ = true;
};

// The keys a copy has written since it started, as the target compares them (integers).
template <size_t N>
class WrittenKeys {
public:
    using Key = std::array<std::int32_t, N>;

    bool Contains(const Key& key) const { return keys_.count(key) != 0; }
    void Add(const Key& key) { keys_.insert(key); }
    void Clear() { keys_.clear(); }

private:
    struct Hash {
        size_t operator()(const Key& key) const
        {
            std::uint64_t h = 1469598103934665603ull;
            for (const std::int32_t part : key) h = (h ^ static_cast<std::uint32_t>(part)) * 1099511628211ull;
            return static_cast<size_t>(h ^ (h >> 29));
        }
    };
    std::unordered_set<Key, Hash> keys_;
};

// True when the table holds no row in the query's transaction; false also when that cannot be read. Leaves the
// query closed.
bool TableKnownEmpty(FbQuery& query, const std::string& table);

// True when the table (its name in upper case) has a primary key; false also when that cannot be read.
bool HasPrimaryKey(FbQuery& query, const std::string& upperCaseTable);

// True when no row of the table holds a value in the column, in the query's transaction, and the column is a
// smallint, integer or bigint without decimals; false also when that cannot be read. Leaves the query closed.
bool EmptyWithWholeNumberColumn(FbQuery& query, const std::string& table, const std::string& column);

// True when the table's primary key is the one column and the table has no triggers but those of its constraints;
// false also when that cannot be read. Leaves the query closed.
bool KeyAloneWithoutTriggers(FbQuery& query, const std::string& upperCaseTable, const std::string& upperCaseColumn);

// The highest nota in the table (0 when it is empty); none when it cannot be read. Leaves the query closed.
std::optional<std::int32_t> HighestNota(FbQuery& query, const std::string& table);
