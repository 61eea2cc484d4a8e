#pragma once

#include <ibase.h>

#include "common/failure.h"

// Which failed calls end the command instead of one record: the one place that reads Firebird's status codes
// for it. A lost or killed connection, a database shut down, and an I/O error on the database file (a full disk,
// a file that cannot be written) are fatal; constraint violations, conversion errors and lock conflicts are not.
FatalKind FatalKindOfStatus(const ISC_STATUS* status);
