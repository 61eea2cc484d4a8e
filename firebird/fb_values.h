#pragma once

#include <ibase.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/date_time.h"
#include "common/money.h"

// A parameter's value as the command set it.
struct ParameterValue {
    enum class Kind { Null, Text, Integer, Money, DateTime, Date } kind = Kind::Null;
    std::string text;
    std::int64_t number = 0;  // integer, or ten-thousandths for money
    DateTime dateTime;
};

// Writes the value into the input variable `var`, whose described type (as the server wants it) is `described`.
// A text bound to a column of another type follows the conversion rules of the target: "" is NULL for numbers and
// dates, dates convert on the client ("dd/mm/yyyy[ hh:nn[:ss]]"), numbers on the server.
void BindParameter(const ParameterValue& value, const XSQLVAR& described, XSQLVAR& var, std::vector<char>& buffer,
                   short& nullFlag, isc_db_handle* database, isc_tr_handle* transaction);

// A fetched column as text: numbers in decimal with "," before the decimals, dates as "dd/mm/yyyy", NULL as "".
std::string ColumnAsText(const XSQLVAR& var, isc_db_handle* database, isc_tr_handle* transaction);
// A fetched column as a signed 32-bit integer; NULL as 0; a text that is not an integer fails.
std::int32_t ColumnAsInteger(const XSQLVAR& var, isc_db_handle* database, isc_tr_handle* transaction);
// A fetched number as money (four decimals, further decimals rounded half away from zero); NULL as 0. A text
// column is read with "," or "." before the decimals; a text that is not a number fails.
Money ColumnAsMoney(const XSQLVAR& var, isc_db_handle* database, isc_tr_handle* transaction);
