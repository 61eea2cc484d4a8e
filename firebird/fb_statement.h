#pragma once

#include <firebird/Interface.h>
#include <ibase.h>

#include <cstdint>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "firebird/input_message.h"
#include "firebird/interface_status.h"
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

// An EXECUTE BLOCK that runs one statement for a number of rows at once (see execute_block.h).
struct BatchBlock {
    isc_stmt_handle handle = 0;
    Sqlda input;
    std::vector<SqlSlot> inputSlots;
    Sqlda output;
    // FAILED_ROW, then the value of each sequence the statement draws from, before the last row run.
    std::vector<ISC_INT64> outputValues;
    std::vector<short> outputNulls;

    ~BatchBlock();
};

struct PreparedStatement;

// Statements whose waiting rows go out together in the order they were queued, each row run by its own statement
// in one EXECUTE BLOCK: a statement alone, or a few that a copy sends in turn (a sale's items, then its row).
struct BatchGroup {
    std::vector<PreparedStatement*> statements;
    size_t rows = 0;  // per block; 0: row by row
    std::map<size_t, std::unique_ptr<BatchBlock>> blocks;  // prepared so far, by their number of rows
};

// One statement text prepared on the connection, kept for reuse.
struct PreparedStatement {
    std::string text;  // as written, with ":name" parameters
    std::uint64_t serial = 0;  // given by the query, one per statement it prepares
    ScannedSql scanned;
    std::vector<std::string> parameterNames;  // distinct, in order of first appearance
    std::vector<size_t> placeholderParameter;  // for each "?", its index in parameterNames
    Firebird::IStatement* statement = nullptr;
    Firebird::IResultSet* cursor = nullptr;  // while a select's rows are read
    bool isSelect = false;
    long statementType = 0;  // isc_info_sql_stmt_*
    Sqlda input;
    std::vector<XSQLVAR> described;  // the input variables as the server described them
    std::vector<SqlSlot> inputSlots;
    Firebird::IMessageMetadata* inputMetadata = nullptr;
    InputMessage inputMessage;
    InterfaceStatus rowStatus;  // for the calls made for every row
    // A row read lands in the output message, where the output variables point.
    Sqlda output;
    Firebird::IMessageMetadata* outputMetadata = nullptr;
    std::vector<unsigned char> outputMessage;
    std::vector<std::string> columnNames;  // upper case
    // Batched execution: the statement's rows alone (rows 0: it is run row by row), what one row adds to a
    // block's message, and the sequences the text draws from.
    BatchGroup alone;
    size_t rowBytes = 0;
    std::vector<std::string> sequencesDrawn;

    PreparedStatement(std::string statementText);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;
    bool IsPrepared() const { return statement != nullptr; }
    void Prepare(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction);
    // Sends the statement with the input variables as bound; a select's cursor is then open. With `withRow`, a
    // select's one row comes back with the execution instead, and no cursor stays open.
    void Send(Firebird::ITransaction* transaction, bool withRow = false);
    // Reads the next row of the open cursor into the output variables; false past the last row.
    bool Fetch();
    // Closes the open cursor, if any; one its transaction ended is let go of all the same.
    void CloseCursor();
    void Drop();
};
