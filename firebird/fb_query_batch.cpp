// Batched execution: executions of one statement gathered and sent as one EXECUTE BLOCK.
#include <algorithm>

#include "firebird/database_error.h"
#include "firebird/execute_block.h"
#include "firebird/fb_database.h"
#include "firebird/fb_query.h"
#include "firebird/fb_statement.h"
#include "firebird/fb_status.h"
#include "firebird/fb_transaction.h"
#include "firebird/fb_values.h"

namespace {

// Rows per block: beyond about fifty a block gains little, and the server allows 256 contexts per statement.
constexpr size_t kMostRowsPerBlock = 50;
// The short block's rows.
constexpr size_t kShortBlockRows = 8;
// The server's limit on a message is 64 KB.
constexpr size_t kMessageBytes = 60000;

bool WritesRows(long statementType)
{
    return statementType == isc_info_sql_stmt_insert || statementType == isc_info_sql_stmt_update ||
           statementType == isc_info_sql_stmt_delete;
}

// Puts the sequence back to the value it had.
void RewindSequence(isc_db_handle* database, isc_tr_handle* transaction, const std::string& sequence, ISC_INT64 value)
{
    const std::string sql = "execute block as declare v bigint; begin v = gen_id(" + sequence + ", " +
                            std::to_string(value) + " - gen_id(" + sequence + ", 0)); end";
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, database, transaction, 0, sql.c_str(), SQL_DIALECT_V6, nullptr);
    CheckStatus(status);
}

}  // namespace

void FbQuery::DecideBatchRows(PreparedStatement& statement)
{
    statement.batchRows = 0;
    if (!WritesRows(statement.statementType) || statement.described.empty()) return;
    for (const XSQLVAR& var : statement.described)
        if (!DeclaredParameterType(var)) return;
    const size_t rowBytes = RowMessageBytes(statement.described);
    const size_t fitting = std::min(kMostRowsPerBlock, kMessageBytes / std::max<size_t>(rowBytes, 1));
    statement.batchRows = fitting >= 2 ? fitting : 0;
    statement.sequencesDrawn = SequencesDrawn(statement.scanned.sql);
}

bool FbQuery::MayWait() const
{
    return batching_ == Batching::On || (batching_ == Batching::ThroughServer && database_.ThroughServer());
}

void FbQuery::ExecuteBatched(BatchOutcome outcome)
{
    if (!MayWait()) return RunNow(outcome);
    Close();
    PreparedStatement& statement = Statement();
    if (waitingStatement_ != &statement) {
        database_.FlushBatches();
        // Preparing may fail like any execution; then nothing waits behind it.
        try {
            transaction_.EnsureActive();
            PrepareIfNeeded(statement);
        } catch (const DatabaseError&) {
            outcome(std::current_exception());
            return;
        }
        if (statement.batchRows == 0) return RunNow(outcome);
    }
    transaction_.EnsureActive();
    waiting_.push_back({values_, std::move(outcome)});
    waitingStatement_ = &statement;
    if (waiting_.size() >= statement.batchRows) Flush();
}

void FbQuery::RunNow(const BatchOutcome& outcome)
{
    try {
        Execute();
    } catch (const DatabaseError&) {
        outcome(std::current_exception());
        return;
    }
    outcome(nullptr);
}

void FbQuery::Flush()
{
    if (waiting_.empty()) return;
    std::vector<WaitingRow> rows = std::move(waiting_);
    waiting_.clear();
    PreparedStatement& statement = *waitingStatement_;
    waitingStatement_ = nullptr;
    std::vector<std::exception_ptr> failures(rows.size());
    SendRows(statement, rows, failures);
    // Every row has been sent before the first outcome is told: an outcome that ends the command leaves nothing
    // half sent.
    for (size_t i = 0; i < rows.size(); ++i) rows[i].outcome(failures[i]);
}

// The rows in blocks. A block stops at its first failing row, which is undone; that row is then run alone so that
// its failure carries the server's own text, and the block after it starts with the next row. A block that fails
// as a whole (a value its parameters do not take) has changed nothing: its rows are run one by one.
void FbQuery::SendRows(PreparedStatement& statement, std::vector<WaitingRow>& rows,
                       std::vector<std::exception_ptr>& failures)
{
    size_t next = 0;
    while (next < rows.size()) {
        // Two blocks per statement at most, each prepared once: a short one for the few rows a copy often sends
        // between two other statements, and a full one; rows fewer than the block's leave the rest of it unused.
        const size_t count = std::min(rows.size() - next, statement.batchRows);
        const size_t blockRows = count <= kShortBlockRows ? std::min(kShortBlockRows, statement.batchRows)
                                                          : statement.batchRows;
        BatchBlock* block = count >= 2 ? BlockFor(statement, blockRows) : nullptr;
        if (!block) {
            if (count >= 2 && statement.batchRows >= 2) continue;  // a smaller one is tried
            failures[next] = RunRow(statement, rows[next].values);
            ++next;
            continue;
        }
        int failedRow = 0;
        try {
            failedRow = ExecuteBlock(*block, statement, rows, next, count, blockRows);
        } catch (const DatabaseError&) {
            for (size_t i = next; i < next + count; ++i) failures[i] = RunRow(statement, rows[i].values);
            next += count;
            continue;
        }
        if (failedRow <= 0 || static_cast<size_t>(failedRow) > count) {
            next += count;
            continue;
        }
        const size_t failing = next + static_cast<size_t>(failedRow) - 1;
        failures[failing] = RunFailedRowAgain(statement, rows[failing].values, *block);
        next = failing + 1;
    }
}

// The block for that many rows, prepared on first use. When the server refuses it (too many contexts, too long a
// message), blocks of this statement are made smaller, down to none.
BatchBlock* FbQuery::BlockFor(PreparedStatement& statement, size_t rows)
{
    auto found = statement.blocks.find(rows);
    if (found != statement.blocks.end()) return found->second.get();
    const auto text =
        ExecuteBlockText(statement.scanned, statement.described, statement.sequencesDrawn, static_cast<int>(rows));
    if (!text) {
        statement.batchRows = 0;
        return nullptr;
    }
    auto block = std::make_unique<BatchBlock>();
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, database_.Handle(), &block->handle);
    if (!(status[0] == 1 && status[1]))
        isc_dsql_prepare(status, transaction_.Handle(), &block->handle, 0, text->c_str(), SQL_DIALECT_V6, nullptr);
    const short parameters = static_cast<short>(rows * (statement.described.size() + 1));
    if (!(status[0] == 1 && status[1])) {
        block->input.Resize(parameters);
        isc_dsql_describe_bind(status, &block->handle, SQL_DIALECT_V6, block->input.get());
    }
    const short outputs = static_cast<short>(1 + statement.sequencesDrawn.size());
    block->output.Resize(outputs);
    if (!(status[0] == 1 && status[1])) isc_dsql_describe(status, &block->handle, SQL_DIALECT_V6, block->output.get());
    if ((status[0] == 1 && status[1]) || block->input->sqld != parameters || block->output->sqld != outputs) {
        statement.batchRows = rows / 2 >= 2 ? rows / 2 : 0;
        return nullptr;
    }
    block->inputSlots.resize(static_cast<size_t>(parameters));
    for (short i = 0; i < parameters; ++i) {
        XSQLVAR& var = block->input->sqlvar[i];
        SqlSlot& slot = block->inputSlots[static_cast<size_t>(i)];
        slot.buffer.assign(static_cast<size_t>(std::max<short>(var.sqllen, 8)) + 2, 0);
        var.sqltype |= 1;
        var.sqldata = slot.buffer.data();
        var.sqlind = &slot.nullFlag;
    }
    block->outputValues.assign(static_cast<size_t>(outputs), 0);
    block->outputNulls.assign(static_cast<size_t>(outputs), 0);
    for (short i = 0; i < outputs; ++i) {
        XSQLVAR& var = block->output->sqlvar[i];
        var.sqltype = SQL_INT64 | 1;
        var.sqllen = sizeof(ISC_INT64);
        var.sqlscale = 0;
        var.sqldata = reinterpret_cast<char*>(&block->outputValues[static_cast<size_t>(i)]);
        var.sqlind = &block->outputNulls[static_cast<size_t>(i)];
    }
    return statement.blocks.emplace(rows, std::move(block)).first->second.get();
}

// Binds rows first .. first + count - 1 into the block of blockRows rows, the rest of it passed over, and sends
// them; returns FAILED_ROW.
int FbQuery::ExecuteBlock(BatchBlock& block, PreparedStatement& statement, const std::vector<WaitingRow>& rows,
                          size_t first, size_t count, size_t blockRows)
{
    const size_t perRow = statement.described.size();
    XSQLDA* input = block.input.get();
    for (size_t row = 0; row < blockRows; ++row) {
        const size_t flag = row * (perRow + 1) + perRow;
        XSQLVAR& run = input->sqlvar[flag];
        const short runs = row < count ? 1 : 0;
        run.sqltype = SQL_SHORT | 1;
        run.sqllen = sizeof(short);
        run.sqlscale = 0;
        run.sqldata = block.inputSlots[flag].buffer.data();
        std::copy_n(reinterpret_cast<const char*>(&runs), sizeof runs, run.sqldata);
        block.inputSlots[flag].nullFlag = 0;
        if (row < count) continue;
        for (size_t slot = 0; slot < perRow; ++slot) block.inputSlots[row * (perRow + 1) + slot].nullFlag = -1;
    }
    for (size_t row = 0; row < count; ++row) {
        const std::vector<ParameterValue>& values = rows[first + row].values;
        if (executeObserver_) {
            Bind(statement, values);
            executeObserver_(statement.scanned.sql, *statement.input.get(), SentAs::Execute);
        }
        for (size_t slot = 0; slot < perRow; ++slot) {
            const size_t at = row * (perRow + 1) + slot;
            BindParameter(values[statement.placeholderParameter[slot]], statement.described[slot],
                          input->sqlvar[at], block.inputSlots[at].buffer, block.inputSlots[at].nullFlag,
                          database_.Handle(), transaction_.Handle());
        }
    }
    ISC_STATUS_ARRAY status;
    isc_dsql_execute2(status, transaction_.Handle(), &block.handle, SQL_DIALECT_V6, input, block.output.get());
    CheckStatus(status);
    return block.outputNulls[0] < 0 ? 0 : static_cast<int>(block.outputValues[0]);
}

void FbQuery::ExecuteRow(PreparedStatement& statement, const std::vector<ParameterValue>& values)
{
    transaction_.EnsureActive();
    Bind(statement, values);
    if (executeObserver_) executeObserver_(statement.scanned.sql, *statement.input.get(), SentAs::Execute);
    ISC_STATUS_ARRAY status;
    isc_dsql_execute(status, transaction_.Handle(), &statement.handle, SQL_DIALECT_V6, statement.input.get());
    CheckStatus(status);
}

std::exception_ptr FbQuery::RunRow(PreparedStatement& statement, const std::vector<ParameterValue>& values)
{
    try {
        ExecuteRow(statement, values);
    } catch (const DatabaseError&) {
        return std::current_exception();
    }
    return nullptr;
}

// A row that failed inside a block, run again alone for its failure. What its attempt in the block drew from the
// sequences named in the statement stays drawn, as it would have without the block: the sequences are put back to
// where they stood before that attempt, so that the row draws the same values again and fails the same way.
std::exception_ptr FbQuery::RunFailedRowAgain(PreparedStatement& statement, const std::vector<ParameterValue>& values,
                                              const BatchBlock& block)
{
    try {
        for (size_t i = 0; i < statement.sequencesDrawn.size(); ++i)
            RewindSequence(database_.Handle(), transaction_.Handle(), statement.sequencesDrawn[i],
                           block.outputValues[i + 1]);
    } catch (const DatabaseError&) {
        return std::current_exception();
    }
    return RunRow(statement, values);
}
