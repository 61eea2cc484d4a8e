#pragma once

#include <ibase.h>

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/date_time.h"
#include "common/money.h"

class FbDatabase;
class FbTransaction;
struct PreparedStatement;
struct ParameterValue;
struct BatchBlock;
struct BatchGroup;

// A statement object on a connection and its transaction. Use: Close, ClearText, AddLine..., set parameters by
// name, then Execute (no result) or Open / read columns / Next / Close.
// Parameters are re-created (all NULL) whenever the text changes; a value once set stays for later executions
// of the same text. Texts equal to one prepared before reuse that prepared statement.
class FbQuery {
public:
    FbQuery(FbDatabase& database, FbTransaction& transaction);
    ~FbQuery();
    FbQuery(const FbQuery&) = delete;
    FbQuery& operator=(const FbQuery&) = delete;

    void Close();  // required before the text changes
    void ClearText();
    void AddLine(const std::string& line);
    // ClearText + AddLine for a one-line text.
    void SetSql(const std::string& sql);
    std::string Sql() const;

    // Parameter names compare without regard to case; an unknown name fails.
    void SetText(const std::string& name, std::string_view value);
    void SetInteger(const std::string& name, std::int32_t value);
    void SetMoney(const std::string& name, Money value);
    void SetDateTime(const std::string& name, const DateTime& value);
    void SetDate(const std::string& name, std::chrono::year_month_day value);
    void SetNull(const std::string& name);

    // For callers that set the same parameters record after record: the serial number of the statement the text
    // names now (never given to another statement), a parameter's place among its values (an unknown name fails),
    // and setters by place, which skip the search by name. A place holds for the statement of that serial only.
    std::uint64_t StatementSerial();
    size_t ParameterPlace(const std::string& name);
    void SetTextAt(size_t place, std::string_view value);
    void SetIntegerAt(size_t place, std::int32_t value);
    void SetMoneyAt(size_t place, Money value);
    void SetDateTimeAt(size_t place, const DateTime& value);

    // Executing or opening starts the connection and the transaction when they are not.
    void Execute();
    // What became of an execution sent later: null when its row landed, otherwise the failure that Execute would
    // have thrown.
    using BatchOutcome = std::function<void(std::exception_ptr failure)>;
    // Executes the statement with the parameters as they stand now. With batching on, an insert, update or delete
    // may wait and go to the server with the next executions of the same statement, as one EXECUTE BLOCK; each
    // row's outcome is reported when it is sent, rows in the order they were queued. Waiting rows are sent before
    // anything else goes out on the connection and before its transaction ends. With batching off, or for a
    // statement that cannot be batched, the row is executed at once and its outcome reported before returning.
    void ExecuteBatched(BatchOutcome outcome);
    // Whether ExecuteBatched may keep a row waiting here rather than execute it at once.
    bool MayWait() const;
    // Sends the rows waiting, reporting their outcomes.
    void Flush();
    bool HasWaitingRows() const { return !waiting_.empty(); }
    void Open();
    // For a select of exactly one row (a sequence draw). Where executions may wait (MayWait: through a server) the
    // row comes back with the execute itself, one round trip where Open's execute and fetch take two; elsewhere it
    // is Open. Read the columns, then Close.
    void OpenOneRow();
    bool IsOpen() const { return cursorOpen_; }
    bool Eof() const { return eof_; }
    void Next();
    // Columns by name (case-insensitive); NULL reads as "" or 0.
    std::string ColumnText(const std::string& name);
    std::int32_t ColumnInteger(const std::string& name);
    Money ColumnMoney(const std::string& name);
    // Whether a column of the open select is a smallint, integer or bigint without decimals; known before any row.
    bool ColumnIsWholeNumber(const std::string& name);

    // Drops every prepared statement (the connection is closing).
    void ForgetPrepared();
    // How many times a statement text was prepared on this query (for tests and benchmarks).
    int PrepareCount() const { return prepareCount_; }

    // Sees every statement just before it is sent, its parameters bound: the benchmarks record the work of a run
    // here. kind says what the query does with it. Null (nothing called) unless a benchmark sets one.
    enum class SentAs { Execute, ExecuteSelect, OpenCursor };
    using ExecuteObserver = void (*)(const std::string& preparedSql, const XSQLDA& input, SentAs kind);
    static void SetExecuteObserver(ExecuteObserver observer) { executeObserver_ = observer; }
    // With reuse off every text set prepares its statement again, even one equal to a text prepared before: the
    // way the target worked before the cache, kept for comparison in the benchmarks.
    static void SetStatementReuse(bool reuse) { statementReuse_ = reuse; }
    // Batched execution for ExecuteBatched. By default only through a server, where every execution is a round
    // trip: on the embedded engine a row costs less sent on its own than inside a block. Tests and benchmarks set
    // it on or off to compare the two ways.
    enum class Batching { Off, On, ThroughServer };
    static void SetBatching(Batching mode) { batching_ = mode; }
    static Batching BatchingMode() { return batching_; }

private:
    PreparedStatement& Send(SentAs selectSentAs, bool rowWithExecute = false);
    PreparedStatement& Statement();
    void AddToCache();
    void PrepareIfNeeded(PreparedStatement& statement);
    void Bind(PreparedStatement& statement, const std::vector<ParameterValue>& values);

    // Batched execution (fb_query_batch.cpp).
    struct WaitingRow {
        PreparedStatement* statement;
        std::vector<ParameterValue> values;
        BatchOutcome outcome;
    };
    void DecideBatchRows(PreparedStatement& statement);
    BatchGroup* GroupJoining(PreparedStatement& statement);
    void ForgetGroupsOf(const PreparedStatement& statement);
    void RunNow(const BatchOutcome& outcome);
    void SendRows(BatchGroup& group, std::vector<WaitingRow>& rows, std::vector<std::exception_ptr>& failures);
    void ExecuteRow(PreparedStatement& statement, const std::vector<ParameterValue>& values);
    std::exception_ptr RunRow(PreparedStatement& statement, const std::vector<ParameterValue>& values);
    std::exception_ptr RunFailedRowAgain(PreparedStatement& statement, const std::vector<ParameterValue>& values,
                                         const BatchBlock& block);
    BatchBlock* BlockFor(BatchGroup& group, size_t rows);
    int ExecuteBlock(BatchBlock& block, BatchGroup& group, const std::vector<WaitingRow>& rows, size_t first,
                     size_t count, size_t blockRows);
    ParameterValue& Param(const std::string& name);
    ParameterValue& ValueAt(size_t place);  // of the statement the text names now
    const XSQLVAR& Column(const std::string& name);
    const XSQLVAR& ColumnDescription(const std::string& name);
    void FetchRow();

    FbDatabase& database_;
    FbTransaction& transaction_;
    std::string text_;  // the lines joined with line breaks
    int lineCount_ = 0;
    bool textChanged_ = true;
    std::vector<ParameterValue> values_;  // one per distinct name of the current text
    size_t nextParameter_ = 0;  // where the next search by name starts
    std::uint64_t lastSerial_ = 0;
    PreparedStatement* current_ = nullptr;
    std::list<std::unique_ptr<PreparedStatement>> cache_;  // most recent first
    bool cursorOpen_ = false;
    bool rowWithExecute_ = false;  // the open row came back with the execute: no cursor to close on the server
    bool eof_ = true;
    int prepareCount_ = 0;
    std::vector<WaitingRow> waiting_;
    BatchGroup* waitingGroup_ = nullptr;  // the statements of the rows waiting
    std::list<BatchGroup> groups_;  // of several statements, prepared so far

    static inline ExecuteObserver executeObserver_ = nullptr;
    static inline bool statementReuse_ = true;
    static inline Batching batching_ = Batching::ThroughServer;
};
