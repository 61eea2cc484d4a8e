#pragma once

#include <string>

// True for a database name that the Firebird client reaches through a server: "host:/path", "host/port:path",
// "inet://host/path" and the like. Local file names are paths ("/dados/bd.fdb", "bd.fdb").
bool IsServerDatabaseName(const std::string& name);
