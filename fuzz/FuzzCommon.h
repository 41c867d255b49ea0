// What every fuzz target shares: turning fuzzer bytes into engine input, a
// view of the record's stored bits, and the invariants the engine keeps
// whatever it was fed. A broken invariant aborts, which libFuzzer reports
// as a crash with the input that caused it.
#ifndef BITLENS_FUZZCOMMON_H
#define BITLENS_FUZZCOMMON_H

#include "engine/BaseConverter.h"
#include "engine/FloatNotation.h"
#include "engine/Notation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#define FUZZ_REQUIRE(condition) ((condition) ? void(0) : FuzzFail(__FILE__, __LINE__, #condition))

[[noreturn]] inline void FuzzFail(const char* file, int line, const char* condition)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

constexpr UInt16 kWidths[] = { 8, 16, 32, 64 };
constexpr Endian kEndians[] = { eBigEndian, eLittleEndian };

// A zero-terminated heap copy exactly as long as the text, so that ASan
// catches a read one byte past the terminator. Fields hold 127 bytes, but
// the parsers promise to read up to kMaxParseLength.
class FuzzText {
public:
    FuzzText(const void* data, std::size_t size)
        : fSize(std::min<std::size_t>(size, BaseConverter::kMaxParseLength))
        , fBytes(new char[fSize + 1])
    {
        std::memcpy(fBytes.get(), data, fSize);
        fBytes[fSize] = '\0';
    }
    explicit FuzzText(const std::string& text)
        : FuzzText(text.data(), text.size())
    { }
    char* get() { return fBytes.get(); }

private:
    std::size_t fSize;
    std::unique_ptr<char[]> fBytes;
};

// The record with its stored bits in view, including those above the width.
struct FuzzNumber : BaseConverter {
    static FuzzNumber Make(UInt64 bits, UInt16 width, bool isSigned)
    {
        FuzzNumber number {};
        number.fDecValue = bits;
        number.fBitWidth = width;
        number.fSigned = isSigned;
        return number;
    }
    UInt64 Bits() const { return fDecValue; }
    UInt64 Number() const { return fDecValue & WidthMask(fBitWidth); }
};

// How a row starts out, packed into one input byte.
struct RowSetup {
    UInt16 width;
    bool isSigned;
    Endian endian;

    static RowSetup FromByte(std::uint8_t byte)
    {
        return { kWidths[byte & 3], (byte & 4) != 0, (byte & 8) ? eLittleEndian : eBigEndian };
    }
    std::uint8_t ToByte() const
    {
        const int widthIndex = width == 8 ? 0 : width == 16 ? 1 : width == 32 ? 2 : 3;
        return std::uint8_t(widthIndex | isSigned << 2 | (endian == eLittleEndian) << 3);
    }
};

// Steps of the engine operations target, one byte each, then arguments.
enum FuzzOp : std::uint8_t {
    eOpWidth, // width index byte
    eOpSigned, // truth byte
    eOpShift, // direction byte
    eOpSetSignedDec, // endian byte, eight bytes of number
    eOpSetUnsignedDec, // endian byte, eight bytes of number
    eOpRead, // notation byte, endian byte, text
    eOpType, // notation byte, endian byte, text: read, then widened to hold it
    eOpRetype, // notation byte, endian byte: a field's own text read back
    eOpOverflow, // truth byte
    eOpCombine, // operation byte, eight bytes of operand: the row becomes the result
    eOpCount
};

// Steps of the document model target, one byte each, then arguments.
enum ModelOp : std::uint8_t {
    eModelType, // retype flag, row, notation, two length bytes, text
    eModelWidth, // width index
    eModelSigned, // row, truth
    eModelEndian, // row, truth
    eModelSwap, // row
    eModelShift, // row, direction
    eModelBits, // row, eight bytes, truth: continues a drag
    eModelOperation, // operation
    eModelMath, // truth
    eModelUndo,
    eModelRedo,
    eModelLanes, // lane size index
    eModelFieldBits, // field index, two length bytes, text
    eModelFieldValue, // field index, base truth, two length bytes, text
    eModelOpCount
};

// Reads the operations target's input front to back; past the end it
// yields zeros, so every input is a valid program.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : fData(data)
        , fSize(size)
    { }
    bool AtEnd() const { return fSize == 0; }
    std::uint8_t Byte()
    {
        if (fSize == 0)
            return 0;
        --fSize;
        return *fData++;
    }
    UInt64 Word()
    {
        UInt64 word = 0;
        for (int i = 0; i < 8; ++i)
            word |= UInt64(Byte()) << (8 * i);
        return word;
    }
    // A length byte, then that many bytes (fewer where the input ends).
    std::string Text()
    {
        const std::size_t length = std::min<std::size_t>(Byte(), fSize);
        std::string text(reinterpret_cast<const char*>(fData), length);
        fData += length;
        fSize -= length;
        return text;
    }

private:
    const std::uint8_t* fData;
    std::size_t fSize;
};

// --- Invariants ------------------------------------------------------------

inline UInt64 ReverseBytes(UInt64 value, UInt16 width)
{
    UInt64 reversed = 0;
    for (int i = 0; i < width / 8; ++i)
        reversed = reversed << 8 | ((value >> (8 * i)) & 0xFF);
    return reversed;
}

inline bool TopBitSet(UInt64 number, UInt16 width)
{
    return (number >> (width - 1)) & 1;
}

// Bits from `width` - 1 up to 63 all set: the width reads the number back.
inline bool SignFills(UInt64 bits, UInt16 width)
{
    return bits >> (width - 1) == ~UInt64(0) >> (width - 1);
}

inline bool HoldsAt(const FuzzNumber& number, UInt16 width)
{
    if (number.IsSigned() && (number.Bits() >> 63) != 0)
        return SignFills(number.Bits(), width);
    return number.Bits() <= WidthMask(width);
}

inline void CheckValueModel(const FuzzNumber& number)
{
    const UInt16 width = number.BitWidth();
    FUZZ_REQUIRE(width == 8 || width == 16 || width == 32 || width == 64);
    FUZZ_REQUIRE(number.GetValue(eBigEndian) == number.Number());
    FUZZ_REQUIRE(number.GetValue(eLittleEndian) == ReverseBytes(number.Number(), width));
    for (Endian endian : kEndians) {
        const UInt64 value = number.GetValue(endian);
        const UInt64 extended = TopBitSet(value, width) ? value | ~WidthMask(width) : value;
        FUZZ_REQUIRE(number.GetSignedValue(endian) == SInt64(extended));
    }
    // The narrowest width that holds every stored bit: never one that
    // loses the number, never wider than needed.
    const UInt16 actual = number.GetActualWidth();
    FUZZ_REQUIRE(actual == 8 || actual == 16 || actual == 32 || actual == 64);
    FUZZ_REQUIRE(HoldsAt(number, actual));
    FUZZ_REQUIRE(actual == 8 || !HoldsAt(number, UInt16(actual / 2)));
}

// Groups of `group` digits below `base`, single spaces between them, and no
// all-zero group in front.
inline bool WellGrouped(const char* text, std::size_t group, int base)
{
    const std::size_t length = std::strlen(text);
    if ((length + 1) % (group + 1) != 0)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (i % (group + 1) == group) {
            if (c != ' ')
                return false;
            continue;
        }
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : 99;
        if (digit >= base)
            return false;
    }
    return length == group || std::strspn(text, "0") < group;
}

struct RadixNotation {
    int base;
    std::size_t group;
    int size;
    void (BaseConverter::*write)(char*) const;
    void (BaseConverter::*read)(char*);
};

constexpr RadixNotation kRadixNotations[] = {
    { 2, 4, BaseConverter::kBinSize, &BaseConverter::GetBin, &BaseConverter::NewBin },
    { 8, 4, BaseConverter::kOctSize, &BaseConverter::GetOct, &BaseConverter::NewOct },
    { 16, 4, BaseConverter::kHexSize, &BaseConverter::GetHex, &BaseConverter::NewHex },
    { 36, 2, BaseConverter::kQuixSize, &BaseConverter::GetQuix, &BaseConverter::NewQuix },
};

using Buffer = std::unique_ptr<char[]>;

// Formatter output in a buffer of exactly the size the formatter promises.
inline Buffer Written(const FuzzNumber& number, int size, void (BaseConverter::*write)(char*) const)
{
    Buffer out(new char[size]);
    (number.*write)(out.get());
    FUZZ_REQUIRE(std::strlen(out.get()) < std::size_t(size));
    return out;
}

// A version comes back from its own text unless the text leaves out what
// the parser then fills in by default: an unknown stage or a final stage
// without revision is not written, and the parser reads "1.2" as no stage
// and "1.2.3" as final.
inline bool VersionRoundTrips(UInt32 version)
{
    const unsigned stage = (version >> 8) & 0xFF;
    const bool revision = (version & 0xFF) != 0;
    const bool bugFix = ((version >> 16) & 0x0F) != 0;
    switch (stage) {
    case 0x20:
    case 0x40:
    case 0x60: return true;
    case 0x80: return revision || bugFix;
    case 0x00: return !revision && !bugFix;
    default: return false;
    }
}

inline bool Showable(unsigned char byte)
{
    return (byte >= 0x20 && byte <= 0x7E) || byte == 0xA5;
}

// Every formatter's text, read back by its own parser, gives the number as
// far as the notation can carry it.
inline void CheckRoundTrips(const FuzzNumber& number)
{
    const UInt16 width = number.BitWidth();
    const UInt64 value = number.Number();

    for (const RadixNotation& radix : kRadixNotations) {
        Buffer text = Written(number, radix.size, radix.write);
        const std::size_t group = radix.base == 16 && width == 8 ? 2 : radix.group;
        FUZZ_REQUIRE(WellGrouped(text.get(), group, radix.base));
        FuzzNumber back = number;
        (back.*radix.read)(text.get());
        FUZZ_REQUIRE(back.Bits() == value);
        FUZZ_REQUIRE(back.BitWidth() == width && back.IsSigned() == number.IsSigned());
    }

    for (Endian endian : kEndians) {
        Buffer text(new char[BaseConverter::kDecSize]);
        number.GetDec(text.get(), endian);
        FUZZ_REQUIRE(std::strlen(text.get()) < std::size_t(BaseConverter::kDecSize));
        const bool negative = number.IsSigned() && TopBitSet(number.GetValue(endian), width);
        FuzzNumber back = number;
        ReadNotation(
            back, eNotationDecimal, FuzzText(text.get(), std::strlen(text.get())).get(), endian);
        FUZZ_REQUIRE(back.IsSigned() == negative);
        FUZZ_REQUIRE(back.GetValue(endian) == number.GetValue(endian));
        FUZZ_REQUIRE(back.GetActualWidth() <= width);
        char again[BaseConverter::kDecSize];
        back.GetDec(again, endian);
        FUZZ_REQUIRE(std::strcmp(again, text.get()) == 0);
    }

    {
        Buffer text = Written(number, BaseConverter::kTextSize, &BaseConverter::GetText);
        const int length = width / 8;
        FUZZ_REQUIRE(std::strlen(text.get()) == std::size_t(length));
        bool showable = true;
        for (int i = 0; i < length; ++i)
            showable = showable && Showable(static_cast<unsigned char>(value >> (8 * i)));
        FuzzNumber back = number;
        back.NewText(text.get());
        FUZZ_REQUIRE((back.Bits() == value) == showable);
    }

    {
        Buffer text = Written(number, BaseConverter::kIPAddressSize, &BaseConverter::GetIPAddress);
        FuzzNumber back = number;
        back.NewIPAddress(text.get());
        FUZZ_REQUIRE(back.Bits() == (number.Bits() & 0xFFFFFFFF));
    }

    {
        Buffer text
            = Written(number, BaseConverter::kNumVersionSize, &BaseConverter::GetNumVersion);
        FUZZ_REQUIRE(std::strlen(text.get()) <= 14); // 255.15.15fc255
        const std::string shown = text.get();
        const UInt32 version = UInt32(number.Bits());
        FuzzNumber back = number;
        back.NewNumVersion(text.get());
        FUZZ_REQUIRE(back.Bits() <= 0xFFFFFFFF);
        FUZZ_REQUIRE((back.Bits() == version) == VersionRoundTrips(version));
        // Whatever the parser filled in, the text itself is stable.
        char again[BaseConverter::kNumVersionSize];
        back.GetNumVersion(again);
        FUZZ_REQUIRE(shown == again);
    }

    // Every float, NaNs included, shows a text that reads back to its bits.
    for (Endian endian : kEndians) {
        Buffer text(new char[kFloatSize]);
        WriteFloatNotation(number, endian, text.get());
        FUZZ_REQUIRE((text[0] == '\0') == !IsFloatWidth(width));
        if (!IsFloatWidth(width))
            continue;
        FuzzNumber back = number;
        ReadFloatNotation(back, text.get(), endian);
        FUZZ_REQUIRE(back.BitWidth() == width);
        FUZZ_REQUIRE(back.GetValue(endian) == number.GetValue(endian));
    }
}

inline void CheckInvariants(const FuzzNumber& number)
{
    CheckValueModel(number);
    CheckRoundTrips(number);
}

#endif
