#pragma once

#include <stdexcept>

// Every failure the program reports travels as one of these, carrying the text to show.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
