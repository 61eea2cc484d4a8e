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
