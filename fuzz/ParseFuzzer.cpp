// One notation's parser over any text. The build makes one target per
// parser, naming its entry of the table below in FUZZ_READER.
#include "FuzzCommon.h"

#include <iterator>

namespace {

enum ReaderKind { eRadix, eTextBytes, eLow32 };

struct Reader {
    void (BaseConverter::*read)(char*);
    ReaderKind kind;
    int base;
};

enum ReaderName { kBin, kOct, kHex, kQuix, kText, kIPAddress, kNumVersion };

constexpr Reader kReaders[] = {
    { &BaseConverter::NewBin, eRadix, 2 }, // kBin
    { &BaseConverter::NewOct, eRadix, 8 }, // kOct
    { &BaseConverter::NewHex, eRadix, 16 }, // kHex
    { &BaseConverter::NewQuix, eRadix, 36 }, // kQuix
    { &BaseConverter::NewText, eTextBytes, 0 }, // kText
    { &BaseConverter::NewIPAddress, eLow32, 0 }, // kIPAddress
    { &BaseConverter::NewNumVersion, eLow32, 0 }, // kNumVersion
};
static_assert(std::size(kReaders) == kNumVersion + 1, "one reader per name");

constexpr const Reader& kReader = kReaders[FUZZ_READER];

// Left over from an earlier value: every parser must replace all of it.
constexpr UInt64 kStaleBits = 0xA5A5A5A5A5A5A5A5;

// The digits of the base, read left to right, modulo 2^64.
UInt64 RadixValue(const char* text, int base)
{
    UInt64 value = 0;
    for (; *text != '\0'; ++text) {
        const char c = *text >= 'A' && *text <= 'Z' ? char(*text - 'A' + 'a') : *text;
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : 99;
        if (digit < base)
            value = value * UInt64(base) + UInt64(digit);
    }
    return value;
}

UInt64 TextValue(const char* text)
{
    const std::size_t length = std::strlen(text);
    UInt64 value = 0;
    for (std::size_t i = 0; length <= 8 && i < length; ++i)
        value = value << 8 | static_cast<unsigned char>(text[i]);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzText text(data, size);
    const std::string original = text.get();
    for (UInt16 width : { UInt16(8), UInt16(64) }) {
        for (bool isSigned : { false, true }) {
            FuzzNumber number = FuzzNumber::Make(kStaleBits, width, isSigned);
            FuzzText copy(original);
            (number.*kReader.read)(copy.get());
            FUZZ_REQUIRE(number.BitWidth() == width && number.IsSigned() == isSigned);
            FUZZ_REQUIRE(std::strlen(copy.get()) <= original.size());
            switch (kReader.kind) {
            case eRadix:
                FUZZ_REQUIRE(number.Bits() == RadixValue(original.c_str(), kReader.base));
                break;
            case eTextBytes: FUZZ_REQUIRE(number.Bits() == TextValue(original.c_str())); break;
            case eLow32: FUZZ_REQUIRE(number.Bits() <= 0xFFFFFFFF); break;
            }
            CheckInvariants(number);
        }
    }
    return 0;
}
