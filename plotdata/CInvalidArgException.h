#pragma once

#include <stdexcept>

// Raised for an index outside a path array: a programming error, never a user-visible failure.
class CInvalidArgException : public std::invalid_argument {
public:
    CInvalidArgException() : std::invalid_argument("index outside the path array") {}
};
