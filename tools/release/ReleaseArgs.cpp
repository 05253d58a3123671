#include "tools/release/ReleaseArgs.h"

std::string ParsedArgs::Value(const std::string& option, const std::string& fallback) const {
    const auto found = values.find(option);
    return found == values.end() ? fallback : found->second;
}

bool ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flagOptions, ParsedArgs* parsed, std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed->positional.push_back(arg);
            continue;
        }
        const bool takesValue = valueOptions.count(arg) != 0;
        if (!takesValue && !flagOptions.count(arg)) {
            *error = "unknown option " + arg;
            return false;
        }
        if (parsed->values.count(arg) || parsed->flags.count(arg)) {
            *error = arg + " is given twice";
            return false;
        }
        if (!takesValue) {
            parsed->flags.insert(arg);
        } else if (i + 1 < args.size()) {
            parsed->values[arg] = args[++i];
        } else {
            *error = arg + " needs a value";
            return false;
        }
    }
    return true;
}
