#pragma once
#include <sstream>
#include <string>

#include "message/message.h"

namespace kivo::test {

// The lines of a raw message written with "\n" line ends.
inline Lines split_lines(const std::string& raw)
{
    Lines lines;
    std::istringstream in(raw);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline Message make_message(const std::string& raw, std::int32_t size = 1000)
{
    return Message(split_lines(raw), size);
}

}  // namespace kivo::test
