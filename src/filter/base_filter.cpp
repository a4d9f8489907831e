#include "filter/base_filter.h"

namespace kivo::filter {

void BaseFilter::Write(ByteWriter& out) const
{
    out.put_u8(uncertain ? 1 : 0);
    out.put_u8(useCase ? 1 : 0);
    out.put_i32(state);
}

ReadStatus BaseFilter::Read(ByteReader& in, int /*version*/)
{
    std::uint8_t flag = 0;
    if (!in.get_u8(flag))
        return ReadStatus::truncated;
    uncertain = flag != 0;
    if (!in.get_u8(flag))
        return ReadStatus::truncated;
    useCase = flag != 0;
    if (!in.get_i32(state))
        return ReadStatus::truncated;
    return ReadStatus::ok;
}

}  // namespace kivo::filter
