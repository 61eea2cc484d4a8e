#include "firebird/fb_statement.h"

#include <cstring>

#include "firebird/fb_status.h"

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

namespace {

// Room for a fetched or bound value of the variable's described type.
size_t BufferSize(const XSQLVAR& var)
{
    switch (var.sqltype & ~1) {
    case SQL_VARYING: return static_cast<size_t>(var.sqllen) + 2;
    default: return static_cast<size_t>(var.sqllen > 0 ? var.sqllen : 8);
    }
}

}  // namespace

void PreparedStatement::Prepare(isc_db_handle* database, isc_tr_handle* transaction)
{
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, database, &handle);
    CheckStatus(status);
    try {
        isc_dsql_prepare(status, transaction, &handle, 0, scanned.sql.c_str(), SQL_DIALECT_V6, nullptr);
        CheckStatus(status);

        const char item = isc_info_sql_stmt_type;
        char info[16];
        isc_dsql_sql_info(status, &handle, 1, &item, sizeof info, info);
        CheckStatus(status);
        if (info[0] == isc_info_sql_stmt_type) {
            const short length = static_cast<short>(isc_vax_integer(info + 1, 2));
            const long type = isc_vax_integer(info + 3, length);
            statementType = type;
            isSelect = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
        }

        const short placeholders = static_cast<short>(scanned.placeholderNames.size());
        input.Resize(placeholders);
        isc_dsql_describe_bind(status, &handle, SQL_DIALECT_V6, input.get());
        CheckStatus(status);
        described.assign(input->sqlvar, input->sqlvar + input->sqld);
        inputSlots.resize(static_cast<size_t>(input->sqld));

        isc_dsql_describe(status, &handle, SQL_DIALECT_V6, output.get());
        CheckStatus(status);
        if (output->sqld > output->sqln) {
            output.Resize(output->sqld);
            isc_dsql_describe(status, &handle, SQL_DIALECT_V6, output.get());
            CheckStatus(status);
        }
        outputSlots.resize(static_cast<size_t>(output->sqld));
        columnNames.clear();
        for (short i = 0; i < output->sqld; ++i) {
            XSQLVAR& var = output->sqlvar[i];
            SqlSlot& slot = outputSlots[static_cast<size_t>(i)];
            slot.buffer.assign(BufferSize(var), 0);
            var.sqldata = slot.buffer.data();
            var.sqltype |= 1;
            var.sqlind = &slot.nullFlag;
            columnNames.push_back(AsciiUpper(std::string(var.aliasname, static_cast<size_t>(var.aliasname_length))));
        }
    } catch (...) {
        Drop();
        throw;
    }
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
    if (!handle) return;
    ISC_STATUS_ARRAY status;
    isc_dsql_free_statement(status, &handle, DSQL_drop);
    handle = 0;
}
