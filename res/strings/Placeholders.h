#pragma once

#include <initializer_list>
#include <string>

// Replaces the placeholders %d and %s of a table text, in order, with the values. Surplus values are
// dropped and surplus placeholders are left as they are, so that no table text can make the output read
// arguments it was not given.
std::string fillPlaceholders(const char* text, std::initializer_list<std::string> values);
