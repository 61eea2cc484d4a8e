#include "firebird/fb_transaction.h"

#include "firebird/database_error.h"
#include "firebird/fb_database.h"
#include "firebird/fb_status.h"
#include "firebird/interface_status.h"

namespace {
void RollBack(Firebird::ITransaction& transaction, Firebird::CheckStatusWrapper* status)
{
    transaction.rollback(status);
}

const unsigned char kTpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                              isc_tpb_nowait};
}

void FbTransaction::Start()
{
    if (Active()) throw DatabaseError("Transaction is active");
    database_.Open();
    InterfaceStatus status;
    Firebird::ITransaction* transaction =
        database_.Attachment()->startTransaction(status(), static_cast<unsigned>(sizeof kTpb), kTpb);
    status.Check();
    ISC_STATUS_ARRAY legacy;
    fb_get_transaction_handle(legacy, &handle_, transaction);
    if (legacy[0] == 1 && legacy[1]) {
        EndOrRelease(transaction, RollBack);
        handle_ = 0;
        CheckStatus(legacy);
    }
    transaction_ = transaction;
}

void FbTransaction::EnsureActive()
{
    if (!Active()) Start();
}

void FbTransaction::Commit()
{
    if (!Active()) throw DatabaseError("Transaction is not active");
    database_.FlushBatches();
    InterfaceStatus status;
    transaction_->commit(status());
    status.Check();
    Forget();
}

void FbTransaction::Rollback()
{
    if (!Active()) throw DatabaseError("Transaction is not active");
    database_.FlushBatches();
    InterfaceStatus status;
    transaction_->rollback(status());
    status.Check();
    Forget();
}

void FbTransaction::RollbackQuietly()
{
    EndOrRelease(transaction_, RollBack);
    Forget();
}

// An ended transaction has let go of itself and of its legacy handle.
void FbTransaction::Forget()
{
    transaction_ = nullptr;
    handle_ = 0;
}
