#pragma once

#include <ibase.h>

#include <string>

#include "bench/full_run/statement_recording.h"

struct RawStatement;

// The recorded statements sent again straight through libfbclient: one prepare per distinct text, one transaction
// per copy, the recorded values read from a memory-mapped file. No legacy reading, no Operator, no query layer.
class StatementReplay {
public:
    explicit StatementReplay(const std::string& database);
    ~StatementReplay();
    StatementReplay(const StatementReplay&) = delete;
    StatementReplay& operator=(const StatementReplay&) = delete;

    struct Outcome {
        double seconds = 0, cpuSeconds = 0;
        long statements = 0, failures = 0;
    };

    Outcome Replay(const RecordedCopy& copy);

private:
    void Prepare(RawStatement& statement, const std::string& sql, std::uint16_t inputs, isc_tr_handle& tr);

    isc_db_handle db_ = 0;
};
