#pragma once

#include <chrono>
#include <optional>
#include <string>

// Dates as the operator types them ("dd/mm/yyyy") and as the legacy text forms give them.

// The date a text holds; nothing when it holds none ("  /  /    ", "", "31/02/2023").
std::optional<std::chrono::year_month_day> DateInText(const std::string& text);

// The date a date box holds; an empty or invalid box fails with "'<text>' is not a valid date".
std::chrono::year_month_day DateOfBox(const std::string& boxText);

// A box's date for a copy that reads the box again for every record: parsed again only when its text changed. A text
// that holds no date fails every time, as DateOfBox does.
class BoxDate {
public:
    std::chrono::year_month_day Of(const std::string& boxText);

private:
    std::string text_;
    std::optional<std::chrono::year_month_day> date_;
};
