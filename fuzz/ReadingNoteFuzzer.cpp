// The note on a plain reading, for any text in any notation. The first byte
// chooses the notation; the rest is the text. The note must point inside
// the text and describe the reading: the text as noted (only what was read
// up to the stop, without the characters skipped, the group above a byte
// as 0, nothing for no number) reads as the text itself does.
#include "FuzzCommon.h"
#include "engine/ReadingNote.h"

namespace {

UInt64 Reading(Notation notation, const std::string& text)
{
    FuzzNumber number = FuzzNumber::Make(0, 64, false);
    FuzzText copy(text);
    ReadNotation(number, notation, copy.get(), eBigEndian);
    return number.Bits();
}

// The text as the note says it reads, or false when the note says nothing
// that a reading can check (a version part cut to its bits; characters
// skipped past the indices a note marks).
bool AsNoted(const ReadingNote& note, const std::string& text, std::string& noted)
{
    const auto begin = std::size_t(note.tokenBegin);
    const auto end = begin + std::size_t(note.tokenLength);
    switch (note.kind) {
    case eReadingNoteNone: noted = text; return true;
    case eReadingNoteIgnored:
        if (std::size_t(note.ignoredCount) != note.ignored.count())
            return false;
        noted.clear();
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (i >= note.ignored.size() || !note.ignored.test(i))
                noted += text[i];
        }
        return true;
    case eReadingNoteReadUpTo:
    case eReadingNoteBlankEndsNumber: noted = text.substr(0, end); return true;
    case eReadingNoteGroupAboveByte:
        noted = text.substr(0, begin) + "0" + text.substr(end);
        return true;
    case eReadingNoteGroupTooLong: noted = text.substr(0, begin); return true;
    case eReadingNoteNotANumber: noted.clear(); return true;
    default: return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto notation = Notation(data[0] % eNotationCount);
    FuzzText typed(data + 1, size - 1);
    const std::string original = typed.get();

    const ReadingNote note = NoteReading(notation, typed.get());
    FUZZ_REQUIRE(original == typed.get());
    FUZZ_REQUIRE(note.kind >= eReadingNoteNone && note.kind < eReadingNoteKindCount);
    FUZZ_REQUIRE(note.kind == eReadingNoteNone || note.notation == notation);
    FUZZ_REQUIRE(note.tokenBegin >= 0 && note.tokenLength >= 0);
    FUZZ_REQUIRE(std::size_t(note.tokenBegin + note.tokenLength) <= original.size());
    FUZZ_REQUIRE((note.kind == eReadingNoteIgnored) == (note.ignoredCount > 0));
    FUZZ_REQUIRE(note.ignored.count() <= std::size_t(note.ignoredCount));
    for (std::size_t i = original.size(); i < note.ignored.size(); ++i)
        FUZZ_REQUIRE(!note.ignored.test(i));
    if (notation == eNotationText)
        FUZZ_REQUIRE(note.kind == eReadingNoteNone);

    FUZZ_REQUIRE((ReadingNoteTemplate(note) == nullptr) == (note.kind == eReadingNoteNone));

    std::string noted;
    if (AsNoted(note, original, noted))
        FUZZ_REQUIRE(Reading(notation, noted) == Reading(notation, original));
    return 0;
}
