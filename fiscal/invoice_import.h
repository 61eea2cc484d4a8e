#pragma once

#include <chrono>
#include <string>

class Operator;
struct Session;

// The status of an authorised invoice: a non-empty piece of "100-150" (so "100" and "150" pass).
bool IsAcceptedStatus(const std::string& trimmedStatus);

// "dd/mm/yyyy" exactly, a real calendar date; anything else fails with "'<text>' is not a valid date".
std::chrono::year_month_day DateFromText(const std::string& text);

// "Converter XMLs": asks for the target database and connects it, asks for the folder of the invoice files,
// makes sure of its sub-folders NFE, NFE/EXC and NFE/CSTAT150, and records one `nfce` row per authorised
// invoice, each committed on its own. No failure is handled here: an error ends the command with the rows
// recorded before it committed.
void ImportInvoiceXmls(Session& session, Operator& op);
