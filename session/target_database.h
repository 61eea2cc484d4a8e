#pragma once

#include "firebird/fb_connection.h"

class Operator;
struct RememberedPaths;

// The connection to the QuibraW database.
class TargetDatabase : public FbConnection {
public:
    // Asks for the database when no path is remembered, closes the connection (committing an active transaction),
    // sets the fixed parameters and opens it. Shows the fixed message, then gives the server's reason to the
    // Operator, and returns false when it cannot connect.
    bool Connect(Operator& op, RememberedPaths& paths);
};

extern const char* const kCannotConnectMessage;
