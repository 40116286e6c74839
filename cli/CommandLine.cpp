#include "cli/CommandLine.h"

namespace {

const CommandLineOption* findOption(const std::vector<CommandLineOption>& options,
                                    const std::string& argument)
{
    const std::string name = argument == "-h" ? "--help" : argument;
    for (const CommandLineOption& option : options) {
        if (name == option.name)
            return &option;
    }
    return nullptr;
}

} // namespace

bool parseCommandLine(const std::vector<std::string>& arguments,
                      const std::vector<CommandLineOption>& options, const CommandLineRules& rules,
                      std::string& error)
{
    bool onlyOperands = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (rules.operands != nullptr) {
            if (onlyOperands || argument.empty() || argument[0] != '-') {
                rules.operands->push_back(argument);
                continue;
            }
            if (argument == "--") {
                onlyOperands = true;
                continue;
            }
        }
        const CommandLineOption* option = findOption(options, argument);
        if (option == nullptr) {
            error = argument.starts_with("-") || rules.operands != nullptr
                        ? "unknown option " + argument
                        : "unexpected argument " + argument;
            return false;
        }
        if (option->flag != nullptr) {
            *option->flag = true;
            continue;
        }
        if (i + 1 >= arguments.size() || (!rules.emptyValues && arguments[i + 1].empty())) {
            error = argument + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        if (option->check && !option->check(value, error))
            return false;
        if (option->value != nullptr)
            *option->value = value;
    }
    return true;
}
