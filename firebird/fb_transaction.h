#pragma once

#include <ibase.h>

class FbDatabase;

// The connection's one transaction: read_committed, rec_version, nowait. No automatic end.
class FbTransaction {
public:
    explicit FbTransaction(FbDatabase& database) : database_(database) {}
    FbTransaction(const FbTransaction&) = delete;
    FbTransaction& operator=(const FbTransaction&) = delete;

    bool Active() const { return handle_ != 0; }
    // Fails when already active; opens the connection first when it is closed.
    void Start();
    // A failing commit or rollback leaves the transaction active.
    void Commit();
    void Rollback();
    // Starts it when it is not active (the implicit start of the first statement).
    void EnsureActive();
    // Rolls back an active transaction and forgets it even when the rollback fails: after a lost connection the
    // server discards the unfinished transaction by itself.
    void RollbackQuietly();

    isc_tr_handle* Handle() { return &handle_; }

private:
    FbDatabase& database_;
    isc_tr_handle handle_ = 0;
};
