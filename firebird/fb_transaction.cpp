#include "firebird/fb_transaction.h"

#include "firebird/database_error.h"
#include "firebird/fb_database.h"
#include "firebird/fb_status.h"

namespace {
const char kTpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait};
}

void FbTransaction::Start()
{
    if (Active()) throw DatabaseError("Transaction is active");
    database_.Open();
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, &handle_, 1, database_.Handle(), static_cast<unsigned short>(sizeof kTpb), kTpb);
    if (status[0] == 1 && status[1]) {
        handle_ = 0;
        CheckStatus(status);
    }
}

void FbTransaction::EnsureActive()
{
    if (!Active()) Start();
}

void FbTransaction::Commit()
{
    if (!Active()) throw DatabaseError("Transaction is not active");
    database_.FlushBatches();
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &handle_);
    CheckStatus(status);
}

void FbTransaction::Rollback()
{
    if (!Active()) throw DatabaseError("Transaction is not active");
    database_.FlushBatches();
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &handle_);
    CheckStatus(status);
}

void FbTransaction::RollbackQuietly()
{
    if (!Active()) return;
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &handle_);
    handle_ = 0;
}
