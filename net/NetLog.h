#pragma once

#include <functional>
#include <string>

// Where the listeners report what they received and refused: one line per event, from their own threads.
using NetLog = std::function<void(const std::string&)>;
