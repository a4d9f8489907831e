#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "log/log.h"

namespace kivo {

// The log viewer's rows: the lines of the log's ring that are new since the
// last one shown, with control characters made blanks and empty lines left
// out. Lines are told apart by their numbers, not their texts, so two equal
// lines are both shown, and a burst that pushed the last shown line out of
// the ring is shown from the oldest line still kept, once.
class LogFollower {
public:
    std::vector<std::string> new_rows(const std::vector<Log::NumberedLine>& ring);
    std::uint64_t last_shown() const { return last_; }

private:
    std::uint64_t last_ = 0;  // 0: nothing shown yet
};

}  // namespace kivo
