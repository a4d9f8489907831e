#pragma once
#include <cstdint>

#include "filter/base_filter.h"

namespace kivo::filter {

// An entry of the size list: a message larger than upperBound or smaller
// than lowerBound (bytes) matches.
class SizeFilter : public BaseFilter {
public:
    SizeFilter() = default;

    // upperBound, lowerBound, then the base record: 14 bytes.
    void Write(ByteWriter& out) const override;
    ReadStatus Read(ByteReader& in, int version) override;

    // A lower bound of 0 is the same as none.
    bool upper_set() const { return upperBound >= 0; }
    bool lower_set() const { return lowerBound >= 1; }
    bool any_bound_set() const { return upper_set() || lower_set(); }
    // Whether a message of this many bytes falls outside the bounds; never
    // when no bound is set.
    bool size_hit(std::int32_t size) const;

    std::int32_t upperBound = -1;  // "Larger than", bytes; -1 unset
    std::int32_t lowerBound = -1;  // "Smaller than", bytes; -1 unset

    bool operator==(const SizeFilter&) const = default;
};

}  // namespace kivo::filter
