// Fuzzes the reader of resource record files.
#include "RecordFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return korvane::fuzz::fuzzRecord<korvane::ResourceRecord>(data, size);
}
