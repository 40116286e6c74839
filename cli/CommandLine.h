#pragma once

#include <functional>
#include <string>
#include <vector>

// The command lines of marquill-plot and marquill-server: long options, each a switch or an option with
// a value in the next argument, "-h" for "--help", and arguments that are not options.
//
// The handful of options both programs take is read by this small table rather than an argument
// library: the messages, the exit statuses and the handling of "--" and of empty values are the
// programs' own, and a library would have to be bent to produce exactly them.

struct CommandLineOption {
    const char* name;             // "--home"
    bool* flag = nullptr;         // a switch: set to true when given
    std::string* value = nullptr; // an option with a value: the value given
    // Checks a value and keeps what it means; false with a message in error.
    std::function<bool(const std::string& value, std::string& error)> check = nullptr;
};

struct CommandLineRules {
    // Where the arguments that are not options go; null: such an argument is refused.
    std::vector<std::string>* operands = nullptr;
    // Whether an option's value may be empty.
    bool emptyValues = true;
};

// Reads the arguments after the program name. False with a message in error for an unknown option, a
// missing or refused value, or an argument that is not an option where none is taken. With operands,
// "--" makes every argument after it an operand, and so is an empty argument or one not starting
// with '-'.
bool parseCommandLine(const std::vector<std::string>& arguments,
                      const std::vector<CommandLineOption>& options, const CommandLineRules& rules,
                      std::string& error);
