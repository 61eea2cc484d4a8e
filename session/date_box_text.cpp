#include "session/date_box_text.h"

#include "common/date_time.h"
#include "common/failure.h"

std::optional<std::chrono::year_month_day> DateInText(const std::string& text)
{
    const auto parsed = ParseDateTimeText(text);
    if (!parsed) return std::nullopt;
    return parsed->date;
}

std::chrono::year_month_day DateOfBox(const std::string& boxText)
{
    const auto date = DateInText(boxText);
    if (!date) throw Failure("'" + boxText + "' is not a valid date");
    return *date;
}

std::chrono::year_month_day BoxDate::Of(const std::string& boxText)
{
    if (!date_ || boxText != text_) {
        date_.reset();
        date_ = DateOfBox(boxText);
        text_ = boxText;
    }
    return *date_;
}
