#pragma once

#include "common/failure.h"

// A failure reported by the Firebird client or server; the text holds all status lines joined with line breaks.
// Its fatal kind comes from the status codes (see fatal_status.h).
class DatabaseError : public Failure {
public:
    using Failure::Failure;
};
