#pragma once

#include <firebird/Interface.h>
#include <ibase.h>

#include <memory>
#include <string>
#include <vector>

#include "firebird/fb_transaction.h"

// One Firebird connection. The name is whatever the client accepts: a local path (embedded engine) or host:path.
// Closing the connection while its transaction is active commits the transaction first.
class FbDatabase {
public:
    FbDatabase();
    ~FbDatabase();
    FbDatabase(const FbDatabase&) = delete;
    FbDatabase& operator=(const FbDatabase&) = delete;

    // Setting the name it already has does nothing; a different name while open fails with
    // "Cannot perform operation -- DB is currently open".
    void SetName(const std::string& name);
    const std::string& Name() const { return name_; }
    // Whether the name reaches a server ("host:/path", "host/port:/path", "inet://...") rather than a local file.
    bool ThroughServer() const { return throughServer_; }

    void SetLoginPrompt(bool on) { loginPrompt_ = on; }
    void ClearParams() { params_.clear(); }
    // "user_name=sysdba", "password=...", "lc_ctype=ISO8859_1".
    void AddParam(const std::string& param) { params_.push_back(param); }
    const std::vector<std::string>& Params() const { return params_; }

    void Open();  // does nothing when already open
    void Close();  // commits an active transaction first; does nothing when closed
    bool IsOpen() const { return attachment_ != nullptr; }
    // Rolls back an active transaction and closes the connection, letting go of failures on the way: what is
    // left to do after a fatal fault, so that nothing pending is committed later.
    void Abandon();

    FbTransaction& DefaultTransaction() { return transaction_; }
    isc_db_handle* Handle() { return &handle_; }
    // The same connection through the client's object interface; null while closed.
    Firebird::IAttachment* Attachment() { return attachment_; }

    // Sends the rows that queries on this connection keep waiting for a batch (FbQuery::ExecuteBatched).
    void FlushBatches();

    // Gives a query a way to drop its prepared statements before the connection goes away.
    void AddCloseListener(class FbQuery* query);
    void RemoveCloseListener(class FbQuery* query);

private:
    void Detach();

    std::string name_;
    bool throughServer_ = false;  // of name_, asked for every execution
    bool loginPrompt_ = false;
    std::vector<std::string> params_;
    Firebird::IAttachment* attachment_ = nullptr;  // owns the connection; handle_ is its legacy name
    isc_db_handle handle_ = 0;
    FbTransaction transaction_;
    std::vector<class FbQuery*> listeners_;
};

// The three fixed parameters of every connection this program opens.
void SetFixedConnectionParams(FbDatabase& database);
