#pragma once

// The Firebird client catches SIGINT and SIGTERM and shuts every connection down at once, in the middle of whatever
// statement runs. After this call it asks first and is told no: the program's own handlers stop the command
// between records and roll its copy back. Call it once, before the first connection.
void KeepConnectionsOnSignals();
