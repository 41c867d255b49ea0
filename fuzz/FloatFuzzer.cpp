// The float notation. The input is a typed text, read at every format and
// into rows of every width in both byte orders; its first eight bytes are
// also bits, shown at every format and read back.
#include "FuzzCommon.h"
#include "engine/FloatNotation.h"

#include <cfenv>
#include <cmath>

namespace {

constexpr UInt16 kFloatWidths[] = { 16, 32, 64 };

bool IsNan(UInt64 bits, UInt16 width)
{
    const UInt64 infinity = width == 16 ? 0x7C00 : width == 32 ? 0x7F800000 : 0x7FF0000000000000;
    return (bits & (infinity | (infinity - 1))) > infinity;
}

template <class Float> UInt64 BitsOf(Float value)
{
    std::conditional_t<sizeof(Float) == 4, UInt32, UInt64> bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The C library's reading in the "C" locale the fuzzer runs in. Half has
// none: strtod rounded down and up brackets the text's number with no half
// tie strictly inside, so a number strictly inside, written exactly in
// hexadecimal, rounds to the same half (the hexadecimal reading is held to
// the library's at the other widths).
UInt64 LibraryReading(const char* text, UInt16 width)
{
    if (width == 32)
        return BitsOf(std::strtof(text, nullptr));
    if (width == 64)
        return BitsOf(std::strtod(text, nullptr));
    std::fesetround(FE_DOWNWARD);
    const double down = std::strtod(text, nullptr);
    std::fesetround(FE_UPWARD);
    const double up = std::strtod(text, nullptr);
    std::fesetround(FE_TONEAREST);
    if (std::isnan(down))
        return std::signbit(down) ? 0xFE00 : 0x7E00;
    const long double inside = down == up ? down : ((long double)down + up) / 2;
    char hexadecimal[64];
    std::snprintf(hexadecimal, sizeof hexadecimal, "%La", inside);
    return ReadFloat(hexadecimal, 16);
}

void CheckReading(char* text, UInt16 width)
{
    const UInt64 bits = ReadFloat(text, width);
    FUZZ_REQUIRE(bits <= WidthMask(width));
    // The library keeps NaN payloads its own way: a NaN matches by sign.
    const UInt64 library = LibraryReading(text, width);
    const UInt64 sign = UInt64(1) << (width - 1);
    if (IsNan(library, width))
        FUZZ_REQUIRE(IsNan(bits, width) && (bits & sign) == (library & sign));
    else
        FUZZ_REQUIRE(bits == library);
}

void CheckShownReadsBack(UInt64 bits, UInt16 width)
{
    Buffer shown(new char[kFloatSize]);
    WriteFloat(bits, width, shown.get());
    const std::size_t length = std::strlen(shown.get());
    FUZZ_REQUIRE(length > 0 && length < std::size_t(kFloatSize));
    FUZZ_REQUIRE(
        ReadFloat(FuzzText(shown.get(), length).get(), width) == (bits & WidthMask(width)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzText typed(data, size);
    const std::string original = typed.get();

    for (UInt16 width : kFloatWidths)
        CheckReading(typed.get(), width);
    FUZZ_REQUIRE(original == typed.get());

    for (UInt16 width : kWidths) {
        const UInt16 read = IsFloatWidth(width) ? width : 32;
        const UInt64 expected = ReadFloat(typed.get(), read);
        for (Endian endian : kEndians) {
            FuzzNumber number = FuzzNumber::Make(0xA5A5A5A5A5A5A5A5, width, size % 2 != 0);
            ReadFloatNotation(number, typed.get(), endian);
            FUZZ_REQUIRE(number.BitWidth() == read && number.IsSigned() == (size % 2 != 0));
            FUZZ_REQUIRE(number.GetValue(endian) == expected && number.Bits() == number.Number());
            CheckValueModel(number);
        }
    }

    UInt64 bits = 0;
    std::memcpy(&bits, data, std::min<std::size_t>(size, sizeof bits));
    for (UInt16 width : kFloatWidths)
        CheckShownReadsBack(bits, width);
    return 0;
}
