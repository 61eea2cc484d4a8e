#include "copy/written_keys.h"

#include "copy/copy_steps.h"
#include "firebird/fb_query.h"

bool TableIsEmpty(FbQuery& query, const std::string& table)
{
    SetStatement(query, "select first 1 1 as one from " + table);
    query.Open();
    const bool empty = query.Eof();
    query.Close();
    return empty;
}
