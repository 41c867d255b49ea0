// The readers only 128 bits have: IPv6 addresses, UUIDs, binary128 (and
// bfloat16), and every notation of a 128-bit row. The build makes one target
// per reader, naming it in FUZZ_READER. Each reads any text, in a heap copy
// exactly its size, notes what it read within the text, and shows a number
// that reads back as it.
#include "FuzzCommon.h"
#include "engine/WideFloat.h"
#include "engine/WideNotation.h"

namespace {

enum WideReader { kIPv6, kUuid, kBinary128, kWideNotations };

// The note's token and the characters it skips lie within the text, and
// it has words exactly when it says something.
void CheckNote(const ReadingNote& note, const char* text)
{
    const auto length = int(std::strlen(text));
    FUZZ_REQUIRE(note.tokenBegin >= 0 && note.tokenLength >= 0);
    FUZZ_REQUIRE(note.tokenBegin + note.tokenLength <= length);
    FUZZ_REQUIRE(note.ignoredCount <= length);
    for (std::size_t i = std::size_t(length); i < note.ignored.size(); ++i)
        FUZZ_REQUIRE(!note.ignored.test(i));
    FUZZ_REQUIRE((ReadingNoteTemplate(note) == nullptr) == (note.kind == eReadingNoteNone));
}

WideConverter Row(UInt16 width, bool isSigned)
{
    WideConverter number {};
    number.SetBitWidth(width);
    number.SetSigned(isSigned);
    number.SetUnsignedDec(MakeUInt128(0xA5A5A5A5A5A5A5A5, 0xA5A5A5A5A5A5A5A5), eBigEndian);
    return number;
}

void CheckIPv6(FuzzText& text, std::size_t size)
{
    const UInt128 address = ReadIPv6(text.get());
    CheckNote(NoteWideReading(eNotationIPAddress, text.get()), text.get());
    Buffer shown(new char[WideConverter::kIPAddressSize]);
    WriteIPv6(address, shown.get());
    const std::size_t length = std::strlen(shown.get());
    FUZZ_REQUIRE(length >= 2 && length < std::size_t(WideConverter::kIPAddressSize));
    FUZZ_REQUIRE(ReadIPv6(FuzzText(shown.get(), length).get()) == address);
    // In a row's field: a colon widens any row to 128 bits.
    WideConverter number = Row(UInt16(8 << (size % 5)), size % 2);
    ReadNotation(number, eNotationIPAddress, text.get(), eBigEndian);
    if (std::strchr(text.get(), ':') != nullptr)
        FUZZ_REQUIRE(number.BitWidth() == 128 && number.GetValue(eBigEndian) == address);
}

void CheckUuid(FuzzText& text, std::size_t size)
{
    const UInt128 uuid = ReadUuid(text.get());
    CheckNote(NoteUuidReading(text.get()), text.get());
    Buffer shown(new char[WideConverter::kUuidSize]);
    WriteUuid(uuid, shown.get());
    FUZZ_REQUIRE(std::strlen(shown.get()) == std::size_t(WideConverter::kUuidSize - 1));
    FUZZ_REQUIRE(ReadUuid(FuzzText(shown.get(), std::strlen(shown.get())).get()) == uuid);
    char words[kMessageSize];
    FUZZ_REQUIRE(WriteUuidDescription(uuid, words, sizeof words) > 0);
    WideConverter number = Row(UInt16(8 << (size % 5)), size % 2);
    ReadUuidNotation(number, text.get());
    FUZZ_REQUIRE(number.BitWidth() == 128 && number.GetValue(eBigEndian) == uuid);
}

void CheckShownReadsBack(UInt128 bits)
{
    Buffer shown(new char[kWideFloatSize]);
    WriteWideFloat(bits, 128, shown.get());
    std::size_t length = std::strlen(shown.get());
    FUZZ_REQUIRE(length > 0 && length < std::size_t(kWideFloatSize));
    FUZZ_REQUIRE(ReadWideFloat(FuzzText(shown.get(), length).get(), 128) == bits);
    WriteBfloat16(UInt64(bits), shown.get());
    length = std::strlen(shown.get());
    FUZZ_REQUIRE(length > 0 && length < std::size_t(kWideFloatSize));
    FUZZ_REQUIRE(ReadBfloat16(FuzzText(shown.get(), length).get()) == (UInt64(bits) & 0xFFFF));
}

void CheckBinary128(FuzzText& text, const std::uint8_t* data, std::size_t size)
{
    const UInt128 bits = ReadWideFloat(text.get(), 128);
    CheckShownReadsBack(bits);
    CheckShownReadsBack(ReadBfloat16(text.get()));
    UInt128 raw = 0;
    std::memcpy(&raw, data, std::min(size, sizeof raw));
    CheckShownReadsBack(raw);
    WideConverter number = Row(128, size % 2);
    ReadNotation(number, eNotationFloat, text.get(), Endian(size % 2 != 0));
    FUZZ_REQUIRE(number.GetValue(Endian(size % 2 != 0)) == bits && !number.IsOverflow());
}

// Typed into each field of a row at 8, 64 and 128 bits, widened as the
// reading asks: every field of it then reads back to its own text.
void CheckNotations(const std::string& typed, std::size_t size)
{
    const Endian endian = Endian(size % 2 != 0);
    for (int notation = 0; notation < eNotationCount; ++notation) {
        for (UInt16 width : { UInt16(8), UInt16(64), UInt16(128) }) {
            WideConverter number = Row(width, (size / 2) % 2 != 0);
            FuzzText copy(typed);
            ReadNotation(number, Notation(notation), copy.get(), endian);
            CheckNote(NoteWideReading(Notation(notation), typed.c_str()), typed.c_str());
            number.SetBitWidth(std::max(number.BitWidth(), number.GetActualWidth()));
            for (int shown = 0; shown < eNotationCount; ++shown) {
                Buffer text(new char[kWideFieldBufferSize]);
                WriteNotation(number, Notation(shown), endian, text.get());
                const std::string written = text.get();
                FUZZ_REQUIRE(written.size() < std::size_t(kWideFieldBufferSize));
                // 8 bits have no float, nor 64 a UUID; a text typed there widens.
                if ((shown == eNotationFloat && !IsWideFloatWidth(number.BitWidth()))
                    || (shown == eNotationUuid && number.BitWidth() < 128)) {
                    FUZZ_REQUIRE(written.empty());
                    continue;
                }
                WideConverter back = Row(number.BitWidth(), number.IsSigned());
                ReadNotation(back, Notation(shown), text.get(), endian);
                char again[kWideFieldBufferSize];
                WriteNotation(back, Notation(shown), endian, again);
                FUZZ_REQUIRE(written == again);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzText text(data, size);
    const std::string original = text.get();
    switch (FUZZ_READER) {
    case kIPv6: CheckIPv6(text, size); break;
    case kUuid: CheckUuid(text, size); break;
    case kWideNotations: CheckNotations(original, size); break;
    default: CheckBinary128(text, data, size); break;
    }
    FUZZ_REQUIRE(original == text.get());
    return 0;
}
