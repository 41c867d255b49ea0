// The history file's text form, whatever bytes it holds: what is read is
// within the limit, and writes out to a text that reads back the same and
// undamaged, so a file Bitlens rewrites never loses what it could read.
#include "FuzzCommon.h"
#include "model/History.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const HistoryReading read = ReadHistory(text);
    FUZZ_REQUIRE(read.history.size() <= History::kLimit);
    FUZZ_REQUIRE(!read.foreign || read.history.empty());
    const HistoryReading again = ReadHistory(WriteHistory(read.history));
    FUZZ_REQUIRE(!again.damaged());
    FUZZ_REQUIRE(again.history == read.history);
    return 0;
}
