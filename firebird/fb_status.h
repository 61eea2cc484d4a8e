#pragma once

#include <ibase.h>

#include <string>

// The text of a failed call: every status line, joined with line breaks.
std::string StatusText(const ISC_STATUS* status);

// Throws DatabaseError with the status text when the call failed, fatal when its codes say so.
void CheckStatus(const ISC_STATUS* status);
