#pragma once

#include <chrono>
#include <string>

#include "common/money.h"
#include "legacy/legacy_field.h"

// The three forms in which the copies read a field of the current record. An absent value gives
// "", 0 or the zero date; a form that the field's kind does not have throws Failure.

// Text form: text as stored (translated when the table has a text code page), integers as digits, floats in
// general format with ",", dates as "dd/mm/yyyy", logicals "True"/"False", memos their text (translated too).
std::string AsText(const LegacyField& field);
// Money form: ten-thousandths, halves rounded to even. Text fields are read with "," as separator;
// dates give their day count since 30/12/1899.
Money AsMoney(const LegacyField& field);
// Date form: dates as stored, text fields through the "dd/mm/yyyy" parser.
std::chrono::year_month_day AsDate(const LegacyField& field);
