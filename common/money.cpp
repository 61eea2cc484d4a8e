#include "common/money.h"

#include <cstdlib>

std::string MoneyToText(Money value)
{
    const bool negative = value.tenThousandths < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.tenThousandths)
                                             : static_cast<std::uint64_t>(value.tenThousandths);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "," + fraction;
    return text;
}
