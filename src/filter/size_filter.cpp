#include "filter/size_filter.h"

namespace kivo::filter {

void SizeFilter::Write(ByteWriter& out) const
{
    out.put_i32(upperBound);
    out.put_i32(lowerBound);
    BaseFilter::Write(out);
}

ReadStatus SizeFilter::Read(ByteReader& in, int version)
{
    if (!in.get_i32(upperBound) || !in.get_i32(lowerBound))
        return ReadStatus::truncated;
    return BaseFilter::Read(in, version);
}

bool SizeFilter::size_hit(std::int32_t size) const
{
    bool larger = upper_set() && size > upperBound;
    bool smaller = lower_set() && size < lowerBound;
    return larger || smaller;
}

}  // namespace kivo::filter
