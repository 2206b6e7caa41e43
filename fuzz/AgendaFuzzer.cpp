// Fuzzes the reader of a meeting's agenda file.
#include "RecordFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return korvane::fuzz::fuzzList<korvane::AgendaRecord>(data, size);
}
