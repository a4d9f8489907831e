#include "filter/word_filter.h"

namespace kivo::filter {

void WordFilter::Write(ByteWriter& out) const
{
    write_text_record(out, text);
    BaseFilter::Write(out);
}

ReadStatus WordFilter::Read(ByteReader& in, int version)
{
    ReadStatus status = read_text_record(in, text);
    if (status != ReadStatus::ok)
        return status;
    return BaseFilter::Read(in, version);
}

}  // namespace kivo::filter
