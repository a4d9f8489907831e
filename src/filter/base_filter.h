#pragma once
#include <cstdint>

#include "filter/text_record.h"

namespace kivo::filter {

// The version the list files' magic "KV10" stands for.
inline constexpr int kListFileVersion = 10;

// What every stored filter entry has: the mark it sets and its switches.
class BaseFilter {
public:
    virtual ~BaseFilter() = default;

    // Writes the entry's binary record (the base record: uncertain, useCase, state).
    virtual void Write(ByteWriter& out) const;
    // Reads it back; the fields read before a failure keep their new values.
    virtual ReadStatus Read(ByteReader& in, int version);

    bool uncertain = true;   // true "Mark as uncertain", false "Mark as deleted"
    bool useCase = false;    // the text comparison is case-sensitive
    std::int32_t state = 0;  // 0 enabled, 1 disabled (only power filters look at it)

    bool operator==(const BaseFilter&) const = default;

protected:
    BaseFilter() = default;
    BaseFilter(const BaseFilter&) = default;
    BaseFilter& operator=(const BaseFilter&) = default;
};

}  // namespace kivo::filter
