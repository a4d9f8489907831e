#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kivo::platform {

// Expands a message-table pattern the way FormatMessage does for string
// inserts: %1..%99 (an optional !s! is accepted), %n line break, %% and the
// other escaped characters, %0 ends the text; an insert beyond the given
// ones is empty. With no inserts at all the pattern stays as stored.
// The trailing CR LF of the stored text is removed.
std::string expand_message(std::string_view pattern, const std::vector<std::string>& inserts);

// Removes the trailing CR and LF, as every looked-up text needs.
void trim_line_end(std::string& text);

}  // namespace kivo::platform
