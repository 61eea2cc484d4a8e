#include "copy/written_keys.h"

#include <exception>

#include "common/failure.h"
#include "copy/copy_steps.h"
#include "firebird/fb_query.h"

// A probe that fails (a target without the table or column) takes no shortcut; the copy's own statements then
// meet the failure where they always did.
bool TableKnownEmpty(FbQuery& query, const std::string& table)
{
    try {
        SetStatement(query, "select first 1 1 as one from " + table);
        query.Open();
        const bool empty = query.Eof();
        query.Close();
        return empty;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        query.Close();
        return false;
    }
}

bool HasPrimaryKey(FbQuery& query, const std::string& upperCaseTable)
{
    try {
        SetStatement(query, "select first 1 1 as one from rdb$relation_constraints where rdb$relation_name = '" +
                                upperCaseTable + "' and rdb$constraint_type = 'PRIMARY KEY'");
        query.Open();
        const bool found = !query.Eof();
        query.Close();
        return found;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        query.Close();
        return false;
    }
}

bool IntegerKeyAlone(FbQuery& query, const std::string& upperCaseTable, const std::string& upperCaseColumn)
{
    try {
        // Field types 7, 8 and 16 are smallint, integer and bigint; check constraints' triggers are flagged 3.
        SetStatement(query,
                     "select f.rdb$field_type as type, f.rdb$field_scale as scale,"
                     " (select count(*) from rdb$index_segments x where x.rdb$index_name = c.rdb$index_name)"
                     " as segments,"
                     " (select count(*) from rdb$triggers t where t.rdb$relation_name = c.rdb$relation_name"
                     " and coalesce(t.rdb$system_flag, 0) not in (1, 3)) as triggers"
                     " from rdb$relation_constraints c"
                     " join rdb$index_segments s on s.rdb$index_name = c.rdb$index_name"
                     " join rdb$relation_fields r on r.rdb$relation_name = c.rdb$relation_name"
                     " and r.rdb$field_name = s.rdb$field_name"
                     " join rdb$fields f on f.rdb$field_name = r.rdb$field_source"
                     " where c.rdb$relation_name = '" + upperCaseTable + "' and c.rdb$constraint_type = 'PRIMARY KEY'"
                     " and s.rdb$field_name = '" + upperCaseColumn + "'");
        query.Open();
        bool alone = false;
        if (!query.Eof()) {
            const std::int32_t type = query.ColumnInteger("type");
            alone = (type == 7 || type == 8 || type == 16) && query.ColumnInteger("scale") == 0 &&
                    query.ColumnInteger("segments") == 1 && query.ColumnInteger("triggers") == 0;
        }
        query.Close();
        return alone;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        query.Close();
        return false;
    }
}

std::optional<std::int32_t> HighestNota(FbQuery& query, const std::string& table)
{
    try {
        SetStatement(query, "select max(nota) as nota from " + table);
        query.Open();
        const std::int32_t highest = query.ColumnInteger("nota");
        query.Close();
        return highest;
    } catch (const std::exception& failure) {
        RethrowIfFatal(failure);
        query.Close();
        return std::nullopt;
    }
}
