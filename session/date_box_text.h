#pragma once

#include <chrono>
#include <optional>
#include <string>

// Dates as the operator types them ("dd/mm/yyyy") and as the legacy text forms give them.

// The date a text holds; nothing when it holds none ("  /  /    ", "", "31/02/2023").
std::optional<std::chrono::year_month_day> DateInText(const std::string& text);

// The date a date box holds; an empty or invalid box fails with "'<text>' is not a valid date".
std::chrono::year_month_day DateOfBox(const std::string& boxText);
