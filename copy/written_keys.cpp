#include "copy/written_keys.h"

#include <exception>
#include <functional>

#include "common/failure.h"
#include "copy/copy_steps.h"
#include "firebird/fb_query.h"

namespace {

// Opens the select and reads its answer from the first row, or gives `otherwise` when the probe fails (a target
// without the table or column): the copy then takes no shortcut, and its own statements meet the failure where they
// always did. The query is left closed either way.
template <typename T, typename Read>
T Probe(FbQuery& query, const std::string& sql, T otherwise, Read read,
        const std::function<void(FbQuery&)>& bind = nullptr)
{
    try {
        SetStatement(query, sql);
        if (bind) bind(query);
        query.Open();
        const T answer = read(query);
        query.Close();
        return answer;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        query.Close();
        return otherwise;
    }
}

}  // namespace

bool TableKnownEmpty(FbQuery& query, const std::string& table)
{
    return Probe(query, "select first 1 1 as one from " + table, false, [](FbQuery& q) { return q.Eof(); });
}

bool HasPrimaryKey(FbQuery& query, const std::string& upperCaseTable)
{
    return Probe(query,
                 "select first 1 1 as one from rdb$relation_constraints where rdb$relation_name = '" +
                     upperCaseTable + "' and rdb$constraint_type = 'PRIMARY KEY'",
                 false, [](FbQuery& q) { return !q.Eof(); });
}

bool EmptyWithWholeNumberColumn(FbQuery& query, const std::string& table, const std::string& column)
{
    // The column's type comes from the select's own description, so that the system tables of fields and domains
    // stay unread, each one's first read costing as much as a small copy's rows. The text is the sequence
    // restart's own: a copy that restarts its sequence from this column sends the statement prepared here. A whole
    // number never reads as empty text, so the table is empty when the highest value is null; the shortcut also
    // needs the column to be the primary key, which holds a value in every row.
    return Probe(query, "select max(" + column + ") as " + column + " from " + table, false,
                 [&](FbQuery& q) { return q.ColumnIsWholeNumber(column) && q.ColumnText(column).empty(); });
}

bool KeyAloneWithoutTriggers(FbQuery& query, const std::string& upperCaseTable, const std::string& upperCaseColumn)
{
    // Check constraints' triggers are flagged 3. The names are bound, so that every copy runs the statement
    // prepared once; the index name's "|| ''" keeps the optimizer from walking every index segment of the database
    // first.
    const std::string sql =
        "select (select count(*) from rdb$index_segments x where x.rdb$index_name = c.rdb$index_name) as segments,"
        " (select count(*) from rdb$triggers t where t.rdb$relation_name = c.rdb$relation_name"
        " and coalesce(t.rdb$system_flag, 0) not in (1, 3)) as triggers"
        " from rdb$relation_constraints c"
        " join rdb$index_segments s on s.rdb$index_name = c.rdb$index_name || ''"
        " where c.rdb$relation_name = :tab and c.rdb$constraint_type = 'PRIMARY KEY'"
        " and s.rdb$field_name = :col";
    const auto read = [](FbQuery& q) {
        return !q.Eof() && q.ColumnInteger("segments") == 1 && q.ColumnInteger("triggers") == 0;
    };
    return Probe(query, sql, false, read, [&](FbQuery& q) {
        q.SetText("tab", upperCaseTable);
        q.SetText("col", upperCaseColumn);
    });
}

std::optional<std::int32_t> HighestNota(FbQuery& query, const std::string& table)
{
    return Probe<std::optional<std::int32_t>>(query, "select max(nota) as nota from " + table, std::nullopt,
                                              [](FbQuery& q) { return q.ColumnInteger("nota"); });
}
