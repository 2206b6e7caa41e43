// Fuzzes the import of an iCalendar file's appointments (VEVENT) as meetings; fuzz/ImportFuzzing.h lists the rules.
#include "ImportFuzzing.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    korvane::fuzz::setUpImportFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return korvane::fuzz::fuzzImport(korvane::ImportKind::Meetings, data, size);
}
