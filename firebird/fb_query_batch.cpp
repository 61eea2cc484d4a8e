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
// Statements whose rows may share a block.
constexpr size_t kMostStatementsPerGroup = 3;
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
    statement.alone.rows = 0;
    if (!WritesRows(statement.statementType) || statement.described.empty()) return;
    for (const XSQLVAR& var : statement.described)
        if (!DeclaredParameterType(var)) return;
    statement.rowBytes = RowMessageBytes(statement.described);
    const size_t fitting = std::min(kMostRowsPerBlock, kMessageBytes / std::max<size_t>(statement.rowBytes, 1));
    statement.alone.rows = fitting >= 2 ? fitting : 0;
    statement.sequencesDrawn = SequencesDrawn(statement.scanned.sql);
}

bool FbQuery::MayWait() const
{
    return batching_ == Batching::On || (batching_ == Batching::ThroughServer && database_.ThroughServer());
}

// The group that takes the rows waiting and the statement's next, or null when they cannot go out together. Only
// statements that draw from no sequence share a block: a failed row's draws are put back by the statement's own.
BatchGroup* FbQuery::GroupJoining(PreparedStatement& statement)
{
    if (!waitingGroup_ || statement.alone.rows == 0 || !statement.sequencesDrawn.empty()) return nullptr;
    std::vector<PreparedStatement*> members = waitingGroup_->statements;
    if (members.size() >= kMostStatementsPerGroup) return nullptr;
    size_t rowBytes = statement.rowBytes;
    size_t rows = statement.alone.rows;
    for (const PreparedStatement* member : members) {
        if (member->alone.rows == 0 || !member->sequencesDrawn.empty()) return nullptr;
        rowBytes += member->rowBytes;
        rows = std::min(rows, member->alone.rows);
    }
    members.push_back(&statement);
    for (BatchGroup& group : groups_)
        if (group.statements == members) return group.rows >= 2 ? &group : nullptr;
    rows = std::min(rows, kMessageBytes / rowBytes);
    if (rows < 2) return nullptr;
    groups_.push_back(BatchGroup{members, rows, {}});
    return &groups_.back();
}

// A statement leaving the cache takes its groups with it; rows of its own still waiting are sent first.
void FbQuery::ForgetGroupsOf(const PreparedStatement& statement)
{
    const auto holds = [&statement](const BatchGroup& group) {
        return std::find(group.statements.begin(), group.statements.end(), &statement) != group.statements.end();
    };
    if (waitingGroup_ && holds(*waitingGroup_)) Flush();
    groups_.remove_if(holds);
}

void FbQuery::ExecuteBatched(BatchOutcome outcome)
{
    if (!MayWait()) return RunNow(outcome);
    Close();
    PreparedStatement& statement = Statement();
    const bool waitsAlready = waitingGroup_ && std::find(waitingGroup_->statements.begin(),
                                                         waitingGroup_->statements.end(),
                                                         &statement) != waitingGroup_->statements.end();
    if (!waitsAlready) {
        // Preparing may fail like any execution; then nothing waits behind it.
        try {
            transaction_.EnsureActive();
            PrepareIfNeeded(statement);
        } catch (const DatabaseError&) {
            database_.FlushBatches();
            outcome(std::current_exception());
            return;
        }
        BatchGroup* joined = GroupJoining(statement);
        if (!joined) {
            database_.FlushBatches();
            if (statement.alone.rows == 0) return RunNow(outcome);
            joined = &statement.alone;
        }
        waitingGroup_ = joined;
    }
    transaction_.EnsureActive();
    waiting_.push_back({&statement, values_, std::move(outcome)});
    if (waiting_.size() >= waitingGroup_->rows) Flush();
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
    BatchGroup& group = *waitingGroup_;
    waitingGroup_ = nullptr;
    std::vector<std::exception_ptr> failures(rows.size());
    SendRows(group, rows, failures);
    // Every row has been sent before the first outcome is told: an outcome that ends the command leaves nothing
    // half sent.
    for (size_t i = 0; i < rows.size(); ++i) rows[i].outcome(failures[i]);
}

// The rows in blocks. A block stops at its first failing row, which is undone; that row is then run alone so that
// its failure carries the server's own text, and the block after it starts with the next row. A block that fails
// as a whole (a value its parameters do not take) has changed nothing: its rows are run one by one.
void FbQuery::SendRows(BatchGroup& group, std::vector<WaitingRow>& rows, std::vector<std::exception_ptr>& failures)
{
    size_t next = 0;
    while (next < rows.size()) {
        // Two blocks per group at most, each prepared once: a short one for the few rows a copy often sends
        // between two other statements, and a full one; rows fewer than the block's leave the rest of it unused.
        const size_t count = std::min(rows.size() - next, group.rows);
        const size_t blockRows = count <= kShortBlockRows ? std::min(kShortBlockRows, group.rows) : group.rows;
        BatchBlock* block = count >= 2 ? BlockFor(group, blockRows) : nullptr;
        if (!block) {
            if (count >= 2 && group.rows >= 2) continue;  // a smaller one is tried
            failures[next] = RunRow(*rows[next].statement, rows[next].values);
            ++next;
            continue;
        }
        int failedRow = 0;
        try {
            failedRow = ExecuteBlock(*block, group, rows, next, count, blockRows);
        } catch (const DatabaseError&) {
            for (size_t i = next; i < next + count; ++i) failures[i] = RunRow(*rows[i].statement, rows[i].values);
            next += count;
            continue;
        }
        if (failedRow <= 0 || static_cast<size_t>(failedRow) > count) {
            next += count;
            continue;
        }
        const size_t failing = next + static_cast<size_t>(failedRow) - 1;
        failures[failing] = RunFailedRowAgain(*rows[failing].statement, rows[failing].values, *block);
        next = failing + 1;
    }
}

namespace {

size_t RowWidth(const BatchGroup& group)
{
    size_t width = 1;
    for (const PreparedStatement* statement : group.statements) width += statement->described.size();
    return width;
}

}  // namespace

// The block for that many rows, prepared on first use. When the server refuses it (too many contexts, too long a
// message), blocks of this group are made smaller, down to none.
BatchBlock* FbQuery::BlockFor(BatchGroup& group, size_t rows)
{
    auto found = group.blocks.find(rows);
    if (found != group.blocks.end()) return found->second.get();
    std::vector<BlockStatement> statements;
    for (const PreparedStatement* statement : group.statements)
        statements.push_back({statement->scanned, statement->described});
    // Sequences are named only for a statement alone (groups are of statements that draw from none).
    const std::vector<std::string>& sequences = group.statements.front()->sequencesDrawn;
    const auto text = ExecuteBlockText(statements, sequences, static_cast<int>(rows));
    if (!text) {
        group.rows = 0;
        return nullptr;
    }
    auto block = std::make_unique<BatchBlock>();
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, database_.Handle(), &block->handle);
    if (!(status[0] == 1 && status[1]))
        isc_dsql_prepare(status, transaction_.Handle(), &block->handle, 0, text->c_str(), SQL_DIALECT_V6, nullptr);
    const short parameters = static_cast<short>(rows * RowWidth(group));
    if (!(status[0] == 1 && status[1])) {
        block->input.Resize(parameters);
        isc_dsql_describe_bind(status, &block->handle, SQL_DIALECT_V6, block->input.get());
    }
    const short outputs = static_cast<short>(1 + sequences.size());
    block->output.Resize(outputs);
    if (!(status[0] == 1 && status[1])) isc_dsql_describe(status, &block->handle, SQL_DIALECT_V6, block->output.get());
    if ((status[0] == 1 && status[1]) || block->input->sqld != parameters || block->output->sqld != outputs) {
        group.rows = rows / 2 >= 2 ? rows / 2 : 0;
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
    return group.blocks.emplace(rows, std::move(block)).first->second.get();
}

// Binds rows first .. first + count - 1 into the block of blockRows rows, each into the slots of its own statement
// (the other statements' left NULL), the rest of the block passed over, and sends them; returns FAILED_ROW.
int FbQuery::ExecuteBlock(BatchBlock& block, BatchGroup& group, const std::vector<WaitingRow>& rows, size_t first,
                          size_t count, size_t blockRows)
{
    const size_t width = RowWidth(group);
    XSQLDA* input = block.input.get();
    for (size_t row = 0; row < blockRows; ++row) {
        const size_t start = row * width;
        const size_t flag = start + width - 1;
        for (size_t slot = start; slot < flag; ++slot) block.inputSlots[slot].nullFlag = -1;
        short runs = 0;
        if (row < count) {
            PreparedStatement& statement = *rows[first + row].statement;
            const std::vector<ParameterValue>& values = rows[first + row].values;
            size_t at = start;
            for (const PreparedStatement* member : group.statements) {
                ++runs;
                if (member == &statement) break;
                at += member->described.size();
            }
            if (executeObserver_) {
                Bind(statement, values);
                executeObserver_(statement.scanned.sql, *statement.input.get(), SentAs::Execute);
            }
            for (size_t slot = 0; slot < statement.described.size(); ++slot, ++at)
                BindParameter(values[statement.placeholderParameter[slot]], statement.described[slot],
                              input->sqlvar[at], block.inputSlots[at].buffer, block.inputSlots[at].nullFlag,
                              database_.Handle(), transaction_.Handle());
        }
        XSQLVAR& run = input->sqlvar[flag];
        run.sqltype = SQL_SHORT | 1;
        run.sqllen = sizeof(short);
        run.sqlscale = 0;
        run.sqldata = block.inputSlots[flag].buffer.data();
        std::copy_n(reinterpret_cast<const char*>(&runs), sizeof runs, run.sqldata);
        block.inputSlots[flag].nullFlag = 0;
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
    statement.Send(transaction_.Interface());
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
