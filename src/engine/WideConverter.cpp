#include "WideConverter.h"

#include "Characters.h"
#include "WideNotation.h"

#include <cstring>

namespace {

constexpr UInt128 kHighOnes = MakeUInt128(~UInt64(0), 0);

// BaseConverter with its stored bits set and read directly: at 64 bits and
// below a WideConverter is this record.
struct LowRecord : BaseConverter {
    LowRecord(UInt64 bits, UInt16 width, Boolean isSigned)
        : BaseConverter()
    {
        fDecValue = bits;
        fBitWidth = width;
        fSigned = isSigned;
        fOverflow = false;
    }
    UInt64 Stored() const { return fDecValue; }
    using BaseConverter::KillSpaces;
    void Lower(char* text) const { SwitchCase(text); }
};

const char kDigitMap[] = "0123456789abcdefghijklmnopqrstuvwxyz";

template <unsigned Base, unsigned Count> constexpr UInt128 PowerOf()
{
    UInt128 power = 1;
    for (unsigned i = 0; i < Count; ++i)
        power *= Base;
    return power;
}

// `chunk` as exactly Digits digits in groups of Group, a space between
// groups.
template <unsigned Base, unsigned Group, unsigned Digits>
char* PutFullGroups(char* out, UInt64 chunk)
{
    char* end = out + Digits + Digits / Group - 1;
    char* at = end;
    for (unsigned digit = 0; digit < Digits; ++digit) {
        if (digit != 0 && digit % Group == 0)
            *--at = ' ';
        *--at = kDigitMap[chunk % Base];
        chunk /= Base;
    }
    return end;
}

// `number` grouped as BaseConverter groups a 64-bit one, for any number of
// bits: BaseConverter writes the part that 64 bits hold, then each chunk of
// Digits digits below it follows in full groups. Digits is a multiple of the
// group, so the groups still count from the right. No terminator.
template <unsigned Base, unsigned Group, unsigned Digits>
char* PutWideGrouped(UInt128 number, void (BaseConverter::*write)(char*) const, char* out)
{
    if (HighHalf(number) == 0) {
        (LowRecord(LowHalf(number), 64, false).*write)(out);
        return out + std::strlen(out);
    }
    constexpr UInt128 chunk = PowerOf<Base, Digits>();
    const UInt128 high = number / chunk;
    out = PutWideGrouped<Base, Group, Digits>(high, write, out);
    *out++ = ' ';
    return PutFullGroups<Base, Group, Digits>(out, UInt64(number - high * chunk));
}

bool IsPrintableAscii(unsigned char c)
{
    return c >= 0x20 && c <= 0x7E;
}

bool IsBlankText(const char* text)
{
    while (IsBlank(*text))
        ++text;
    return *text == '\0';
}

} // namespace

// --- Value model -----------------------------------------------------------

UInt128 WideConverter::SwapWithWidth(UInt128 inNum, UInt16 width)
{
    switch (width) {
    case 128: return SwapBytes(inNum);
    case 64: return __builtin_bswap64(LowHalf(inNum));
    case 32: return __builtin_bswap32(UInt32(inNum));
    case 16: return __builtin_bswap16(UInt16(inNum));
    default: return inNum;
    }
}

Boolean WideConverter::IsNegative(UInt128 number, UInt16 width)
{
    if (width == 0)
        return false;
    const unsigned signBit = width > 128 ? 127 : width - 1u;
    return (number >> signBit) & 1;
}

UInt128 WideConverter::ExtendHighBit(UInt128 number, UInt16 width)
{
    return number | ~WideMask(width);
}

BaseConverter WideConverter::ToBaseConverter() const
{
    LowRecord low(LowHalf(fDecValue), fBitWidth > 64 ? 64 : fBitWidth, fSigned);
    low.SetOverflow(fOverflow);
    return low;
}

WideConverter WideConverter::FromBaseConverter(const BaseConverter& number)
{
    LowRecord low(0, 0, false);
    static_cast<BaseConverter&>(low) = number;
    WideConverter wide {};
    wide.fDecValue = low.Stored();
    wide.fSigned = number.IsSigned();
    wide.fOverflow = number.IsOverflow();
    wide.fBitWidth = number.BitWidth();
    wide.FollowBit63();
    return wide;
}

void WideConverter::FollowBit63()
{
    if (fBitWidth > 64 || HighHalf(fDecValue) != 0)
        return;
    if (fSigned && (LowHalf(fDecValue) >> 63) != 0)
        fDecValue |= kHighOnes;
}

void WideConverter::SetUnsignedDec(UInt128 inNum, Endian endian)
{
    fDecValue = endian == eLittleEndian ? SwapWithWidth(inNum, fBitWidth) : inNum;
    FollowBit63();
}

void WideConverter::SetSignedDec(SInt128 inNum, Endian endian)
{
    const auto bits = UInt128(inNum);
    // A number BaseConverter holds is held as it holds it, its 64 bits.
    const bool fits64 = inNum >= SInt128(INT64_MIN) && inNum <= SInt128(INT64_MAX);
    SetUnsignedDec(fBitWidth <= 64 && fits64 ? UInt128(LowHalf(bits)) : bits, endian);
}

UInt128 WideConverter::GetValue(Endian endian) const
{
    const UInt128 bits = fDecValue & WideMask(fBitWidth);
    return endian == eLittleEndian ? SwapWithWidth(bits, fBitWidth) : bits;
}

SInt128 WideConverter::GetSignedValue(Endian endian) const
{
    UInt128 value = GetValue(endian);
    if (IsNegative(value, fBitWidth))
        value = ExtendHighBit(value, fBitWidth);
    return SInt128(value);
}

void WideConverter::SetSigned(Boolean signedd)
{
    fSigned = signedd;
    if (!signedd)
        fDecValue &= WideMask(fBitWidth);
    FollowBit63();
}

void WideConverter::SetBitWidth(UInt16 width)
{
    if (width <= 64) {
        // BaseConverter's step on the 64 bits it would hold.
        LowRecord low(LowHalf(fDecValue), fBitWidth > 64 ? 64 : fBitWidth, fSigned);
        low.SetBitWidth(width);
        fDecValue = low.Stored();
        fBitWidth = width;
        FollowBit63();
        return;
    }
    const UInt16 oldWidth = fBitWidth;
    fBitWidth = width;
    fDecValue &= WideMask(width);
    if (fSigned && width > oldWidth && IsNegative(fDecValue, oldWidth)) {
        const UInt128 between = WideMask(width) & ~WideMask(oldWidth);
        if ((fDecValue & between) == 0)
            fDecValue |= between;
    }
}

UInt16 WideConverter::GetActualWidth() const
{
    if (fSigned && (fDecValue >> 127) != 0) {
        for (UInt16 width : { 8, 16, 32, 64 })
            if ((fDecValue >> (width - 1)) == kUInt128Max >> (width - 1))
                return width;
        return 128;
    }
    for (UInt16 width : { 8, 16, 32, 64 })
        if ((fDecValue >> width) == 0)
            return width;
    return 128;
}

void WideConverter::Shift(ShiftDir shiftDir)
{
    if (fBitWidth <= 64) {
        LowRecord low(LowHalf(fDecValue), fBitWidth, fSigned);
        low.Shift(shiftDir);
        fDecValue = low.Stored();
        FollowBit63();
        return;
    }
    if (shiftDir == eShiftLeftDir)
        fDecValue <<= 1;
    else
        fDecValue >>= 1;
}

// --- Radix notations -------------------------------------------------------

void WideConverter::GenericNewValue(UInt16 base, char* inString)
{
    const LowRecord edit(0, 64, false);
    edit.KillSpaces(inString);
    edit.Lower(inString);
    UInt128 value = 0;
    UInt128 multiplier = 1;
    for (std::size_t i = std::strlen(inString); i-- > 0;) {
        const int digit = DigitValue(static_cast<unsigned char>(inString[i]));
        if (digit < 0 || digit >= base)
            continue;
        value += UInt128(unsigned(digit)) * multiplier;
        multiplier *= base;
    }
    fDecValue = value;
    FollowBit63();
}

void WideConverter::NewBin(char* newNum)
{
    GenericNewValue(2, newNum);
}
void WideConverter::NewOct(char* newNum)
{
    GenericNewValue(8, newNum);
}
void WideConverter::NewHex(char* newNum)
{
    GenericNewValue(16, newNum);
}
void WideConverter::NewQuix(char* newNum)
{
    GenericNewValue(36, newNum);
}

void WideConverter::GetBin(char* outNum) const
{
    if (fBitWidth <= 64)
        return ToBaseConverter().GetBin(outNum);
    *PutWideGrouped<2, 4, 64>(GetValue(eBigEndian), &BaseConverter::GetBin, outNum) = '\0';
}

void WideConverter::GetOct(char* outNum) const
{
    if (fBitWidth <= 64)
        return ToBaseConverter().GetOct(outNum);
    *PutWideGrouped<8, 4, 20>(GetValue(eBigEndian), &BaseConverter::GetOct, outNum) = '\0';
}

void WideConverter::GetHex(char* outNum) const
{
    if (fBitWidth <= 64)
        return ToBaseConverter().GetHex(outNum);
    *PutWideGrouped<16, 4, 16>(GetValue(eBigEndian), &BaseConverter::GetHex, outNum) = '\0';
}

void WideConverter::GetQuix(char* outNum) const
{
    if (fBitWidth <= 64)
        return ToBaseConverter().GetQuix(outNum);
    *PutWideGrouped<36, 2, 12>(GetValue(eBigEndian), &BaseConverter::GetQuix, outNum) = '\0';
}

void WideConverter::GetDec(char* outNum, Endian endian) const
{
    if (fBitWidth <= 64)
        return ToBaseConverter().GetDec(outNum, endian);
    UInt128 number = GetValue(endian);
    char* out = outNum;
    if (fSigned && IsNegative(number, fBitWidth)) {
        *out++ = '-';
        number = 0 - ExtendHighBit(number, fBitWidth);
    }
    *PutUnsigned128(out, number) = '\0';
}

// --- Text, addresses, version, UUID ---------------------------------------

void WideConverter::GetText(char* outNum) const
{
    if (fBitWidth <= 64)
        return ToBaseConverter().GetText(outNum);
    for (int i = 0; i < 16; ++i) {
        const auto byte = static_cast<unsigned char>(fDecValue >> (8 * (15 - i)));
        outNum[i] = static_cast<char>(IsPrintableAscii(byte) ? byte : 0xA5);
    }
    outNum[16] = '\0';
}

void WideConverter::NewText(char* newNum)
{
    fDecValue = 0;
    const std::size_t length = std::strlen(newNum);
    if (length >= 1 && length <= 16) {
        for (std::size_t k = 0; k < length; ++k)
            fDecValue = (fDecValue << 8) | static_cast<unsigned char>(newNum[k]);
    }
    FollowBit63();
}

void WideConverter::GetIPAddress(char* outNum) const
{
    if (fBitWidth < 128)
        return ToBaseConverter().GetIPAddress(outNum);
    WriteIPv6(fDecValue, outNum);
}

void WideConverter::NewIPAddress(char* inNum)
{
    if (std::strchr(inNum, ':') != nullptr) {
        fDecValue = ReadIPv6(inNum);
        FollowBit63();
        return;
    }
    LowRecord low(0, 32, false);
    low.NewIPAddress(inNum);
    fDecValue = low.Stored();
    if (fBitWidth >= 128 && !IsBlankText(inNum))
        fDecValue |= UInt128(0xFFFF) << 32;
}

void WideConverter::GetNumVersion(char* outNum) const
{
    ToBaseConverter().GetNumVersion(outNum);
}

void WideConverter::NewNumVersion(char* inNum)
{
    LowRecord low(0, 32, false);
    low.NewNumVersion(inNum);
    fDecValue = low.Stored();
}

void WideConverter::GetUuid(char* outNum) const
{
    if (fBitWidth < 128) {
        *outNum = '\0';
        return;
    }
    WriteUuid(fDecValue, outNum);
}

void WideConverter::NewUuid(char* inNum)
{
    fDecValue = ReadUuid(inNum);
    FollowBit63();
}
