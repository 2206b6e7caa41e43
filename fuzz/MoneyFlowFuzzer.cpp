// Fuzzes the reader of money flow record files.
#include "RecordFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return korvane::fuzz::fuzzRecord<korvane::MoneyFlowRecord>(data, size);
}
