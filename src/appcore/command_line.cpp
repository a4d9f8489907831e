#include "appcore/command_line.h"

namespace kivo {

std::string quote_program(const std::string& command, const ProgramLookup& find)
{
    std::size_t start = command.find_first_not_of(" \t");
    if (start == std::string::npos)
        return {};
    std::string program;
    std::string rest;
    if (command[start] == '"') {
        std::size_t close = command.find('"', start + 1);
        if (close == std::string::npos)
            return {};
        std::optional<std::string> found = find(command.substr(start + 1, close - start - 1));
        if (!found)
            return {};
        program = *found;
        rest = command.substr(close + 1);
    } else {
        // Every end of a word is a candidate end of the program; the longest
        // one that exists wins.
        for (std::size_t end = start; end <= command.size(); ++end) {
            if (end != command.size() && command[end] != ' ' && command[end] != '\t')
                continue;
            if (end == start || command[end - 1] == ' ' || command[end - 1] == '\t')
                continue;
            if (std::optional<std::string> found = find(command.substr(start, end - start))) {
                program = *found;
                rest = command.substr(end);
            }
        }
        if (program.empty())
            return {};
    }
    return "\"" + program + "\"" + rest;
}

}  // namespace kivo
