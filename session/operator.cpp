#include "session/operator.h"

std::string Operator::ErrorReportText(const std::string& failureText)
{
    if (!failureText.empty() && static_cast<unsigned char>(failureText.back()) > '.') return failureText + ".";
    return failureText;
}
