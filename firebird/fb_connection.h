#pragma once

#include "firebird/fb_database.h"
#include "firebird/fb_query.h"

// A connection with its one transaction and two statement objects on it.
class FbConnection {
public:
    FbConnection() : query_(database_, database_.DefaultTransaction()), second_(database_, database_.DefaultTransaction())
    {
        SetFixedConnectionParams(database_);
    }

    FbDatabase& Database() { return database_; }
    FbTransaction& Transaction() { return database_.DefaultTransaction(); }
    FbQuery& Query() { return query_; }
    FbQuery& SecondQuery() { return second_; }

    // Sets the database name and opens the connection with the parameters it holds; failures are not caught.
    void DirectConnect(const std::string& path)
    {
        database_.SetName(path);
        database_.Open();
    }

private:
    FbDatabase database_;
    FbQuery query_;
    FbQuery second_;
};
