// Command lines of the form: positional arguments mixed with "--option VALUE" and "--flag".
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values; // "--from" -> "1.0"
    std::set<std::string> flags;               // "--force"

    // The option's value, or fallback when it was not given.
    std::string Value(const std::string& option, const std::string& fallback = "") const;
};

// False, with the reason in *error, for an unknown option, an option without its value, or an
// option given twice.
bool ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flagOptions, ParsedArgs* parsed, std::string* error);
