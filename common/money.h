#pragma once

#include <cstdint>
#include <string>

// A fixed-point amount with four decimal places, held as a count of ten-thousandths.
struct Money {
    std::int64_t tenThousandths = 0;

    static Money FromUnits(std::int64_t units) { return Money{units * 10000}; }
    friend bool operator==(Money, Money) = default;
    friend auto operator<=>(Money, Money) = default;
};

// "12,5", "10", "-0,0001": Brazilian decimal comma, no trailing zeros.
std::string MoneyToText(Money value);
