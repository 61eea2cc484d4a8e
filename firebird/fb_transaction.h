#pragma once

#include <firebird/Interface.h>
#include <ibase.h>

class FbDatabase;

// The connection's one transaction: read_committed, rec_version, nowait. No automatic end.
class FbTransaction {
public:
    explicit FbTransaction(FbDatabase& database) : database_(database) {}
    FbTransaction(const FbTransaction&) = delete;
    FbTransaction& operator=(const FbTransaction&) = delete;

    bool Active() const { return transaction_ != nullptr; }
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
    // The same transaction through the client's object interface; null while not active.
    Firebird::ITransaction* Interface() { return transaction_; }

private:
    void Forget();

    FbDatabase& database_;
    Firebird::ITransaction* transaction_ = nullptr;  // owns the transaction; handle_ is its legacy name
    isc_tr_handle handle_ = 0;
};
