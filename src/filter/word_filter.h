#pragma once
#include <string>

#include "filter/base_filter.h"

namespace kivo::filter {

// An entry of the From, Subject or To/Cc list: a word or phrase (for To/Cc,
// the user's own addresses separated by ";").
class WordFilter : public BaseFilter {
public:
    WordFilter() = default;
    explicit WordFilter(std::string t) : text(std::move(t)) {}

    // The text record, then the base record.
    void Write(ByteWriter& out) const override;
    ReadStatus Read(ByteReader& in, int version) override;

    std::string text;

    bool operator==(const WordFilter&) const = default;
};

}  // namespace kivo::filter
