// The window state file's text form, whatever bytes it holds: a state read
// from it writes out to a text that reads back the same, and damage or a
// foreign file always says why.
#include "FuzzCommon.h"
#include "files/WindowStateStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const WindowStateReading read = ReadWindowState(text);
    if (!read.state) {
        FUZZ_REQUIRE(!read.problem.isEmpty());
        return 0;
    }
    FUZZ_REQUIRE(read.state->placements.size() <= WindowState::kMaxPlacements);
    FUZZ_REQUIRE(read.state->hiddenNotations.size() < std::size_t(eNotationCount));
    const WindowStateReading again = ReadWindowState(WriteWindowState(*read.state));
    FUZZ_REQUIRE(again.state && *again.state == *read.state);
    return 0;
}
