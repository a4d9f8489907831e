#pragma once
#include <string>
#include <vector>

namespace kivo {

// The log viewer's rows: the lines of the log's ring that are new since the
// last one shown, with control characters made blanks and empty lines left
// out. The ring may have moved on: when the last line shown is no longer in
// it, every line is new.
class LogFollower {
public:
    std::vector<std::string> new_rows(const std::vector<std::string>& ring);

private:
    std::string last_;
    bool has_last_ = false;
};

}  // namespace kivo
