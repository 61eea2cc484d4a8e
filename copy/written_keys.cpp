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

bool IntegerKeyAlone(FbQuery& query, const std::string& upperCaseTable, const std::string& upperCaseColumn)
{
    // Field types 7, 8 and 16 are smallint, integer and bigint; check constraints' triggers are flagged 3. The
    // names are bound, so that every copy runs the statement prepared once; the index name's "|| ''" keeps the
    // optimizer from walking every index segment of the database first.
    const std::string sql =
        "select f.rdb$field_type as type, f.rdb$field_scale as scale,"
        " (select count(*) from rdb$index_segments x where x.rdb$index_name = c.rdb$index_name) as segments,"
        " (select count(*) from rdb$triggers t where t.rdb$relation_name = c.rdb$relation_name"
        " and coalesce(t.rdb$system_flag, 0) not in (1, 3)) as triggers"
        " from rdb$relation_constraints c"
        " join rdb$index_segments s on s.rdb$index_name = c.rdb$index_name || ''"
        " join rdb$relation_fields r on r.rdb$relation_name = c.rdb$relation_name"
        " and r.rdb$field_name = s.rdb$field_name"
        " join rdb$fields f on f.rdb$field_name = r.rdb$field_source"
        " where c.rdb$relation_name = :tab and c.rdb$constraint_type = 'PRIMARY KEY'"
        " and s.rdb$field_name = :col";
    const auto read = [](FbQuery& q) {
        if (q.Eof()) return false;
        const std::int32_t type = q.ColumnInteger("type");
        return (type == 7 || type == 8 || type == 16) && q.ColumnInteger("scale") == 0 &&
               q.ColumnInteger("segments") == 1 && q.ColumnInteger("triggers") == 0;
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
