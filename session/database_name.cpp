#include "session/database_name.h"

bool IsServerDatabaseName(const std::string& name)
{
    for (const char* protocol : {"inet://", "inet4://", "inet6://", "wnet://", "xnet://"})
        if (name.rfind(protocol, 0) == 0) return true;
    // "host:path" or "host/port:path": a colon after a host name. An absolute or explicitly relative path names a
    // local file whatever colons it holds.
    const size_t colon = name.find(':');
    return colon != std::string::npos && colon > 0 && name[0] != '/' && name[0] != '.';
}
