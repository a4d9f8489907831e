#include "appcore/log_follow.h"

namespace kivo {

std::vector<std::string> LogFollower::new_rows(const std::vector<std::string>& ring)
{
    std::size_t from = 0;
    if (has_last_) {
        // The newest occurrence: the same text may stand in the ring twice.
        for (std::size_t i = ring.size(); i-- > 0;)
            if (ring[i] == last_) {
                from = i + 1;
                break;
            }
    }
    std::vector<std::string> rows;
    for (std::size_t i = from; i < ring.size(); ++i) {
        std::string row = ring[i];
        for (char& c : row)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = ' ';
        if (row.find_first_not_of(' ') == std::string::npos)
            continue;  // nothing to read (an empty line, or only line ends)
        rows.push_back(std::move(row));
        last_ = ring[i];
        has_last_ = true;
    }
    return rows;
}

}  // namespace kivo
