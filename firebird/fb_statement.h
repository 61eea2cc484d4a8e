#pragma once

#include <ibase.h>

#include <memory>
#include <string>
#include <vector>

#include "firebird/named_parameters.h"

// An XSQLDA sized for n variables, freed with the object.
class Sqlda {
public:
    explicit Sqlda(short count = 1);
    XSQLDA* get() { return reinterpret_cast<XSQLDA*>(storage_.get()); }
    XSQLDA* operator->() { return get(); }
    void Resize(short count);

private:
    std::unique_ptr<char[]> storage_;
};

// Buffer and null flag of one variable of an XSQLDA.
struct SqlSlot {
    std::vector<char> buffer;
    short nullFlag = 0;
};

// One statement text prepared on the connection, kept for reuse.
struct PreparedStatement {
    std::string text;  // as written, with ":name" parameters
    ScannedSql scanned;
    std::vector<std::string> parameterNames;  // distinct, in order of first appearance
    std::vector<size_t> placeholderParameter;  // for each "?", its index in parameterNames
    isc_stmt_handle handle = 0;
    bool isSelect = false;
    Sqlda input;
    std::vector<XSQLVAR> described;  // the input variables as the server described them
    std::vector<SqlSlot> inputSlots;
    Sqlda output;
    std::vector<SqlSlot> outputSlots;
    std::vector<std::string> columnNames;  // upper case

    PreparedStatement(std::string statementText);
    bool IsPrepared() const { return handle != 0; }
    void Prepare(isc_db_handle* database, isc_tr_handle* transaction);
    void Drop();
};
