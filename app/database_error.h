#pragma once

#include <stdexcept>
#include <string>

// Every failure the program reports travels as one of these, carrying the text to show.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure reported by the Firebird client or server; the text holds all status lines joined with line breaks.
class DatabaseError : public Failure {
public:
    using Failure::Failure;
};
