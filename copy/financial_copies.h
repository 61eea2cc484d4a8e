#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "copy/field_mapping.h"

#include "common/date_time.h"

struct CopyRun;

// Cash movements, "KQ000014.dat" into caixa, each row numbered by gen_id(movcaixa,1).
void CopyCashMovements(CopyRun& run);
// Open payables, "KQ000016.dat" into contaspagar: only records whose pago is 0 are written.
void CopyPayables(CopyRun& run);
// Receivables, "KQ000015.dat" into contasreceber, each row numbered by gen_id(creceber,1).
void CopyReceivables(CopyRun& run);

// The sale number a receivable's history begins with ("123-VENDA" gives "123"): the digits up to and including the
// first "-", "0" when there is no "-" or no digit before it.
std::string NotaFromHistory(const std::string& historico);

// The local time of day of a moment, to the second.
std::chrono::seconds LocalTimeOfDay(std::chrono::system_clock::time_point moment);

// The fields these copies read from their legacy files.
std::vector<FieldsRead> FinancialCopiesFieldsRead();

// The day at the local time of day of a moment, the fraction of its second kept.
DateTime AtLocalTimeOf(std::chrono::year_month_day day, std::chrono::system_clock::time_point moment);
