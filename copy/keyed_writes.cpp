#include "copy/keyed_writes.h"

#include <algorithm>

#include "copy/copy_steps.h"
#include "firebird/fb_query.h"
#include "firebird/named_parameters.h"

namespace {

std::string TrimmedSql(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \n\t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \n\t") - first + 1);
}

std::vector<std::string> CommaSeparated(const std::string& list)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t comma = list.find(','); ; comma = list.find(',', from)) {
        parts.push_back(TrimmedSql(list.substr(from, comma == std::string::npos ? std::string::npos : comma - from)));
        if (comma == std::string::npos) return parts;
        from = comma + 1;
    }
}

}  // namespace

std::optional<PlainStatements> PlainStatementsOf(const std::string& updateOrInsert, const std::string& keyColumn)
{
    const std::string head = "UPDATE OR INSERT INTO ";
    const std::string sql = TrimmedSql(updateOrInsert);
    const std::string upper = AsciiUpper(sql);
    if (upper.rfind(head, 0) != 0) return std::nullopt;
    const size_t open = sql.find('(');
    const size_t close = sql.find(')', open);
    const size_t values = upper.find("VALUES", close);
    const size_t valuesOpen = sql.find('(', values);
    // A text after the values (a matching clause) is another kind of statement.
    if (close == std::string::npos || values == std::string::npos || valuesOpen == std::string::npos ||
        sql.back() != ')')
        return std::nullopt;
    const std::string table = TrimmedSql(sql.substr(head.size(), open - head.size()));
    const std::vector<std::string> columns = CommaSeparated(sql.substr(open + 1, close - open - 1));
    const std::vector<std::string> exprs = CommaSeparated(sql.substr(valuesOpen + 1, sql.size() - valuesOpen - 2));
    if (columns.size() != exprs.size() || table.empty()) return std::nullopt;
    PlainStatements plain{"insert into " + sql.substr(head.size()), "update " + table + " set "};
    std::string keyValue;
    bool firstSet = true;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (exprs[i].find_first_of("()") != std::string::npos) return std::nullopt;
        if (AsciiUpper(columns[i]) == AsciiUpper(keyColumn)) {
            keyValue = exprs[i];
            continue;
        }
        plain.update += (firstSet ? "" : ", ") + columns[i] + " = " + exprs[i];
        firstSet = false;
    }
    if (keyValue.empty()) return std::nullopt;
    plain.update += " where " + keyColumn + " = " + keyValue;
    return plain;
}

std::optional<std::int32_t> IntegerKeyOfText(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(' ');
    std::int64_t value = 0;
    for (size_t i = first; i <= last; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

KeyedWrites::KeyedWrites(std::string table, std::string keyColumn, std::string updateOrInsert)
    : table_(std::move(table)), keyColumn_(std::move(keyColumn)), updateOrInsert_(std::move(updateOrInsert)),
      plain_(PlainStatementsOf(updateOrInsert_, keyColumn_))
{
}

void KeyedWrites::Start(FbQuery& query)
{
    written_.Clear();
    waiting_.clear();
    taken_ = WriteShortcuts::Enabled() && plain_ && EmptyWithWholeNumberColumn(query, table_, keyColumn_) &&
             KeyAloneWithoutTriggers(query, AsciiUpper(table_), AsciiUpper(keyColumn_));
}

void KeyedWrites::SetStatementFor(CopyRun& run, FbQuery& query, std::optional<std::int32_t> key)
{
    key_.reset();
    if (taken_ && !key) taken_ = false;
    if (!taken_) {
        SetStatement(query, updateOrInsert_);
        return;
    }
    // Whether a row still waiting with this key lands decides between the insert and the update.
    if (!query.HasWaitingRows()) waiting_.clear();
    if (std::find(waiting_.begin(), waiting_.end(), *key) != waiting_.end()) {
        SendWaitingRows(run);
        waiting_.clear();
    }
    SetStatement(query, written_.Contains({*key}) ? plain_->update : plain_->insert);
    key_ = key;
    waiting_.push_back(*key);
}

std::function<void()> KeyedWrites::Landed()
{
    return [this, key = key_] {
        if (key) written_.Add({*key});
    };
}
