#include "firebird/fb_query.h"

#include <algorithm>
#include <stdexcept>

#include "firebird/database_error.h"
#include "firebird/fb_database.h"
#include "firebird/fb_statement.h"
#include "firebird/fb_status.h"
#include "firebird/fb_transaction.h"
#include "firebird/fb_values.h"

namespace {
// Room for every text a copy alternates between: the sales copy writes each seller's code into its closing statement,
// and a shop's sales history easily names more than a few dozen sellers. Texts used once (the purchase items) pass
// through and leave.
constexpr size_t kCachedStatements = 128;
}

FbQuery::FbQuery(FbDatabase& database, FbTransaction& transaction) : database_(database), transaction_(transaction)
{
    database_.AddCloseListener(this);
}

FbQuery::~FbQuery()
{
    ForgetPrepared();
    database_.RemoveCloseListener(this);
}

void FbQuery::Close()
{
    if (!cursorOpen_) return;
    cursorOpen_ = false;
    eof_ = true;
    if (rowWithExecute_) {
        rowWithExecute_ = false;
        return;
    }
    // A commit closes cursors by itself; closing one again is harmless.
    if (current_) current_->CloseCursor();
}

void FbQuery::ClearText()
{
    Close();
    text_.clear();
    lineCount_ = 0;
    textChanged_ = true;
}

void FbQuery::AddLine(const std::string& line)
{
    Close();
    if (lineCount_++) text_ += '\n';
    text_ += line;
    textChanged_ = true;
}

void FbQuery::SetSql(const std::string& sql)
{
    ClearText();
    AddLine(sql);
}

std::string FbQuery::Sql() const { return text_; }

// The statement of the current text, taken from the cache when that text was seen before. Parameters start
// again as NULL whenever the text was changed.
PreparedStatement& FbQuery::Statement()
{
    if (!textChanged_ && current_) return *current_;
    // Most often the text set again is the one in use: then nothing is looked up and the statement stays in front.
    if (!statementReuse_ || !current_ || current_->text != text_) {
        auto found = statementReuse_ ? std::find_if(cache_.begin(), cache_.end(),
                                                    [this](const auto& entry) { return entry->text == text_; })
                                     : cache_.end();
        if (found != cache_.end())
            cache_.splice(cache_.begin(), cache_, found);
        else
            AddToCache();
        current_ = cache_.front().get();
    }
    // Back to NULL, each text keeping its buffer for the value the next record sets.
    values_.resize(current_->parameterNames.size());
    for (ParameterValue& value : values_) value.kind = ParameterValue::Kind::Null;
    nextParameter_ = 0;
    textChanged_ = false;
    return *current_;
}

// The current text in front of the cache, the least recently used statement dropped when the cache is full.
void FbQuery::AddToCache()
{
    cache_.push_front(std::make_unique<PreparedStatement>(text_));
    cache_.front()->serial = ++lastSerial_;
    if (cache_.size() > kCachedStatements) {
        ForgetGroupsOf(*cache_.back());
        cache_.back()->Drop();
        cache_.pop_back();
    }
}

void FbQuery::PrepareIfNeeded(PreparedStatement& statement)
{
    if (statement.IsPrepared()) return;
    statement.Prepare(database_.Attachment(), transaction_.Interface());
    ++prepareCount_;
    XSQLDA* input = statement.input.get();
    for (short i = 0; i < input->sqld; ++i) {
        XSQLVAR& var = input->sqlvar[i];
        SqlSlot& slot = statement.inputSlots[static_cast<size_t>(i)];
        const short type = static_cast<short>(var.sqltype & ~1);
        slot.buffer.assign(type == SQL_VARYING ? static_cast<size_t>(var.sqllen) + 2 : std::max<size_t>(8, var.sqllen), 0);
        var.sqldata = slot.buffer.data();
        var.sqltype |= 1;
        var.sqlind = &slot.nullFlag;
    }
    DecideBatchRows(statement);
}

namespace {

// A stored name (upper case already) against a wanted one in any case.
bool SameName(const std::string& upper, const std::string& wanted)
{
    if (upper.size() != wanted.size()) return false;
    for (size_t i = 0; i < upper.size(); ++i) {
        const char c = wanted[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != upper[i]) return false;
    }
    return true;
}

}  // namespace

size_t FbQuery::ParameterPlace(const std::string& name)
{
    PreparedStatement& statement = Statement();
    const std::vector<std::string>& names = statement.parameterNames;
    // Values are mostly set in the order the text names them: the search starts after the last one found.
    const size_t count = names.size();
    for (size_t k = 0, i = nextParameter_; k < count; ++k, ++i) {
        if (i >= count) i = 0;
        if (SameName(names[i], name)) {
            nextParameter_ = i + 1;
            return i;
        }
    }
    throw DatabaseError("Parameter '" + name + "' not found");
}

std::uint64_t FbQuery::StatementSerial() { return Statement().serial; }

ParameterValue& FbQuery::Param(const std::string& name) { return values_[ParameterPlace(name)]; }

ParameterValue& FbQuery::ValueAt(size_t place)
{
    Statement();
    if (place >= values_.size()) throw std::logic_error("no parameter at place " + std::to_string(place));
    return values_[place];
}

void FbQuery::SetText(const std::string& name, std::string_view value) { SetTextAt(ParameterPlace(name), value); }

void FbQuery::SetInteger(const std::string& name, std::int32_t value) { SetIntegerAt(ParameterPlace(name), value); }

void FbQuery::SetMoney(const std::string& name, Money value) { SetMoneyAt(ParameterPlace(name), value); }

void FbQuery::SetDateTime(const std::string& name, const DateTime& value)
{
    SetDateTimeAt(ParameterPlace(name), value);
}

void FbQuery::SetTextAt(size_t place, std::string_view value)
{
    ParameterValue& param = ValueAt(place);
    param.kind = ParameterValue::Kind::Text;
    param.text.assign(value);
}

void FbQuery::SetIntegerAt(size_t place, std::int32_t value)
{
    ParameterValue& param = ValueAt(place);
    param.kind = ParameterValue::Kind::Integer;
    param.number = value;
}

void FbQuery::SetMoneyAt(size_t place, Money value)
{
    ParameterValue& param = ValueAt(place);
    param.kind = ParameterValue::Kind::Money;
    param.number = value.tenThousandths;
}

void FbQuery::SetDateTimeAt(size_t place, const DateTime& value)
{
    ParameterValue& param = ValueAt(place);
    param.kind = ParameterValue::Kind::DateTime;
    param.dateTime = value;
}

void FbQuery::SetDate(const std::string& name, std::chrono::year_month_day value)
{
    ParameterValue& param = Param(name);
    param.kind = ParameterValue::Kind::Date;
    param.dateTime = DateTime{value, std::chrono::seconds{0}};
}

void FbQuery::SetNull(const std::string& name) { Param(name).kind = ParameterValue::Kind::Null; }

void FbQuery::Bind(PreparedStatement& statement, const std::vector<ParameterValue>& values)
{
    XSQLDA* input = statement.input.get();
    for (short i = 0; i < input->sqld; ++i) {
        const size_t slot = static_cast<size_t>(i);
        BindParameter(values[statement.placeholderParameter[slot]], statement.described[slot], input->sqlvar[i],
                      statement.inputSlots[slot].buffer, statement.inputSlots[slot].nullFlag, database_.Handle(),
                      transaction_.Handle());
    }
}

// Prepares (once per text), binds and sends the statement; a select's cursor is then open on the server.
PreparedStatement& FbQuery::Send(SentAs selectSentAs, bool rowWithExecute)
{
    Close();
    database_.FlushBatches();
    PreparedStatement& statement = Statement();
    transaction_.EnsureActive();
    PrepareIfNeeded(statement);
    Bind(statement, values_);
    if (executeObserver_)
        executeObserver_(statement.scanned.sql, *statement.input.get(),
                         statement.isSelect ? selectSentAs : SentAs::Execute);
    statement.Send(transaction_.Interface(), rowWithExecute);
    return statement;
}

void FbQuery::Execute()
{
    PreparedStatement& statement = Send(SentAs::ExecuteSelect);
    statement.CloseCursor();
}

void FbQuery::Open()
{
    if (!Send(SentAs::OpenCursor).isSelect) return;
    cursorOpen_ = true;
    eof_ = false;
    FetchRow();
}

void FbQuery::OpenOneRow()
{
    if (!MayWait()) return Open();
    if (!Send(SentAs::OpenCursor, true).isSelect) return;
    cursorOpen_ = true;
    rowWithExecute_ = true;
    eof_ = false;
}

void FbQuery::Next()
{
    if (!cursorOpen_ || eof_) return;
    if (rowWithExecute_) {
        eof_ = true;
        return;
    }
    FetchRow();
}

void FbQuery::FetchRow()
{
    if (!current_->Fetch()) eof_ = true;
}

const XSQLVAR& FbQuery::Column(const std::string& name)
{
    if (cursorOpen_ && current_ && eof_) throw DatabaseError("No current row");
    return ColumnDescription(name);
}

const XSQLVAR& FbQuery::ColumnDescription(const std::string& name)
{
    if (!cursorOpen_ || !current_) throw DatabaseError("Dataset not open");
    const std::string upper = AsciiUpper(name);
    const auto& names = current_->columnNames;
    const auto found = std::find(names.begin(), names.end(), upper);
    if (found == names.end()) throw DatabaseError("Field '" + name + "' not found");
    return current_->output->sqlvar[found - names.begin()];
}

std::string FbQuery::ColumnText(const std::string& name)
{
    return ColumnAsText(Column(name), database_.Handle(), transaction_.Handle());
}

std::int32_t FbQuery::ColumnInteger(const std::string& name)
{
    return ColumnAsInteger(Column(name), database_.Handle(), transaction_.Handle());
}

Money FbQuery::ColumnMoney(const std::string& name)
{
    return ColumnAsMoney(Column(name), database_.Handle(), transaction_.Handle());
}

bool FbQuery::ColumnIsWholeNumber(const std::string& name)
{
    const XSQLVAR& column = ColumnDescription(name);
    const short type = column.sqltype & ~1;
    return (type == SQL_SHORT || type == SQL_LONG || type == SQL_INT64) && column.sqlscale == 0;
}

void FbQuery::ForgetPrepared()
{
    Close();
    // Rows still waiting here are dropped: the connection is going away without a command that sent them.
    waiting_.clear();
    waitingGroup_ = nullptr;
    groups_.clear();
    for (auto& statement : cache_) statement->Drop();
}
