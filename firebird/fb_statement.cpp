#include "firebird/fb_statement.h"

#include <algorithm>
#include <cstring>

#include "firebird/database_error.h"
#include "firebird/fb_status.h"
#include "firebird/interface_status.h"

Sqlda::Sqlda(short count) { Resize(count); }

void Sqlda::Resize(short count)
{
    const short n = count < 1 ? 1 : count;
    storage_ = std::make_unique<char[]>(XSQLDA_LENGTH(n));
    std::memset(storage_.get(), 0, XSQLDA_LENGTH(n));
    get()->version = SQLDA_VERSION1;
    get()->sqln = n;
}

PreparedStatement::PreparedStatement(std::string statementText)
    : text(std::move(statementText)), scanned(ScanNamedParameters(text))
{
    alone.statements = {this};
    for (const std::string& name : scanned.placeholderNames) {
        size_t index = 0;
        while (index < parameterNames.size() && parameterNames[index] != name) ++index;
        if (index == parameterNames.size()) parameterNames.push_back(name);
        placeholderParameter.push_back(index);
    }
}

PreparedStatement::~PreparedStatement() { Drop(); }

namespace {

// The variables of a message as the legacy describe would have written them into an XSQLDA.
void Describe(Firebird::IMessageMetadata& metadata, XSQLDA& sqlda, InterfaceStatus& status)
{
    const unsigned count = metadata.getCount(status());
    status.Check();
    sqlda.sqld = static_cast<short>(count);
    for (unsigned i = 0; i < count && static_cast<short>(i) < sqlda.sqln; ++i) {
        XSQLVAR& var = sqlda.sqlvar[i];
        var.sqltype = static_cast<short>(metadata.getType(status(), i) | (metadata.isNullable(status(), i) ? 1 : 0));
        var.sqlsubtype = static_cast<short>(metadata.getSubType(status(), i));
        var.sqllen = static_cast<short>(metadata.getLength(status(), i));
        var.sqlscale = static_cast<short>(metadata.getScale(status(), i));
        const short charset = static_cast<short>(metadata.getCharSet(status(), i));
        if ((var.sqltype & ~1) == SQL_TEXT || (var.sqltype & ~1) == SQL_VARYING) var.sqlsubtype = charset;
        if ((var.sqltype & ~1) == SQL_BLOB) var.sqlscale = charset;
        const char* const alias = metadata.getAlias(status(), i);
        status.Check();
        const size_t length = std::min(std::strlen(alias), sizeof var.aliasname - 1);
        std::memcpy(var.aliasname, alias, length);
        var.aliasname[length] = 0;
        var.aliasname_length = static_cast<short>(length);
    }
}

}  // namespace

void PreparedStatement::Prepare(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction)
{
    InterfaceStatus status;
    statement = attachment->prepare(status(), transaction, 0, scanned.sql.c_str(), SQL_DIALECT_V6,
                                    Firebird::IStatement::PREPARE_PREFETCH_METADATA);
    if (status.Failed()) {
        statement = nullptr;
        status.Check();
    }
    try {
        statementType = static_cast<long>(statement->getType(status()));
        status.Check();
        isSelect = statementType == isc_info_sql_stmt_select || statementType == isc_info_sql_stmt_select_for_upd;

        inputMetadata = statement->getInputMetadata(status());
        status.Check();
        input.Resize(static_cast<short>(inputMetadata->getCount(status())));
        Describe(*inputMetadata, *input.get(), status);
        described.assign(input->sqlvar, input->sqlvar + input->sqld);
        inputSlots.resize(static_cast<size_t>(input->sqld));

        outputMetadata = statement->getOutputMetadata(status());
        status.Check();
        output.Resize(static_cast<short>(outputMetadata->getCount(status())));
        Describe(*outputMetadata, *output.get(), status);
        outputMessage.assign(outputMetadata->getMessageLength(status()), 0);
        columnNames.clear();
        for (short i = 0; i < output->sqld; ++i) {
            XSQLVAR& var = output->sqlvar[i];
            const unsigned index = static_cast<unsigned>(i);
            unsigned char* const message = outputMessage.data();
            var.sqldata = reinterpret_cast<char*>(message + outputMetadata->getOffset(status(), index));
            var.sqlind = reinterpret_cast<short*>(message + outputMetadata->getNullOffset(status(), index));
            var.sqltype |= 1;
            columnNames.push_back(AsciiUpper(std::string(var.aliasname, static_cast<size_t>(var.aliasname_length))));
        }
        status.Check();
    } catch (...) {
        Drop();
        throw;
    }
}

void PreparedStatement::Send(Firebird::ITransaction* transaction, bool withRow)
{
    CloseCursor();
    inputMessage.Fill(*input.get(), inputMetadata);
    InterfaceStatus& status = rowStatus;
    if (isSelect && !withRow) {
        cursor = statement->openCursor(status(), transaction, inputMessage.Metadata(), inputMessage.Buffer(),
                                       outputMetadata, 0);
        if (status.Failed()) cursor = nullptr;
    } else {
        statement->execute(status(), transaction, inputMessage.Metadata(), inputMessage.Buffer(),
                           isSelect ? outputMetadata : nullptr, isSelect ? outputMessage.data() : nullptr);
    }
    status.Check();
}

bool PreparedStatement::Fetch()
{
    if (!cursor) throw DatabaseError("Dataset not open");
    InterfaceStatus& status = rowStatus;
    const int result = cursor->fetchNext(status(), outputMessage.data());
    status.Check();
    return result == Firebird::IStatus::RESULT_OK;
}

void PreparedStatement::CloseCursor()
{
    EndOrRelease(cursor, [](Firebird::IResultSet& open, auto* status) { open.close(status); });
}

BatchBlock::~BatchBlock()
{
    if (!handle) return;
    ISC_STATUS_ARRAY status;
    isc_dsql_free_statement(status, &handle, DSQL_drop);
}

void PreparedStatement::Drop()
{
    alone.blocks.clear();
    CloseCursor();
    inputMessage.Reset();
    if (inputMetadata) inputMetadata->release();
    if (outputMetadata) outputMetadata->release();
    inputMetadata = outputMetadata = nullptr;
    EndOrRelease(statement, [](Firebird::IStatement& prepared, auto* status) { prepared.free(status); });
}
