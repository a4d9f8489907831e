#include "appcore/log_follow.h"

namespace kivo {

std::vector<std::string> LogFollower::new_rows(const std::vector<Log::NumberedLine>& ring)
{
    std::vector<std::string> rows;
    for (const Log::NumberedLine& line : ring) {
        if (line.sequence <= last_)
            continue;
        last_ = line.sequence;
        std::string row = line.text;
        for (char& c : row)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = ' ';
        if (row.find_first_not_of(' ') == std::string::npos)
            continue;  // nothing to read (an empty line, or only line ends)
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace kivo
