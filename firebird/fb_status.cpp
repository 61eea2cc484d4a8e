#include "firebird/fb_status.h"

#include "firebird/database_error.h"
#include "firebird/fatal_status.h"

std::string StatusText(const ISC_STATUS* status)
{
    std::string text;
    const ISC_STATUS* cursor = status;
    char line[1024];
    while (fb_interpret(line, sizeof line, &cursor) > 0) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}

void CheckStatus(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0) throw DatabaseError(StatusText(status), FatalKindOfStatus(status));
}
