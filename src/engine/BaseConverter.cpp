#include "BaseConverter.h"

#include "Characters.h"

#include <charconv>
#include <climits>
#include <cstring>

namespace {

const char kDigitMap[] = "0123456789abcdefghijklmnopqrstuvwxyz";

// Binary is written a group at a time: four bits are one of sixteen texts.
const char kNibbleBits[] = "0000000100100011010001010110011110001001101010111100110111101111";

enum : UInt8 {
    eStageDevelopment = 0x20,
    eStageAlpha = 0x40,
    eStageBeta = 0x60,
    eStageFinal = 0x80,
};

// The standard library's isprint in the "C" locale, without consulting the
// process's locale: bytes of 0x80 and up are never printable.
bool IsPrintableAscii(unsigned char c)
{
    return c >= 0x20 && c <= 0x7E;
}

template <unsigned Base, unsigned Group> constexpr UInt64 GroupBase()
{
    UInt64 groupBase = 1;
    for (unsigned i = 0; i < Group; ++i)
        groupBase *= Base;
    return groupBase;
}

// One group's digits, the most significant first.
template <unsigned Base, unsigned Group> void PutGroup(char* out, unsigned group)
{
    for (unsigned i = Group; i-- > 0;) {
        out[i] = kDigitMap[group % Base];
        group /= Base;
    }
}

template <> void PutGroup<2, 4>(char* out, unsigned group)
{
    std::memcpy(out, kNibbleBits + 4 * group, 4);
}

// `number` in groups of Group digits counted from the right, single spaces
// between them, without all-zero groups on the left (one group always
// stays), and the terminator. Writes straight into place, right to left,
// once the number of groups is known.
template <unsigned Base, unsigned Group> void PutGrouped(UInt64 number, char* dest)
{
    constexpr UInt64 groupBase = GroupBase<Base, Group>();
    std::size_t groups = 1;
    for (UInt64 rest = number / groupBase; rest != 0; rest /= groupBase)
        ++groups;
    char* out = dest + groups * (Group + 1) - 1;
    *out = '\0';
    for (;;) {
        out -= Group;
        PutGroup<Base, Group>(out, unsigned(number % groupBase));
        number /= groupBase;
        if (out == dest)
            return;
        *--out = ' ';
    }
}

// Reads an integer as a version field is read: leading white space, an
// optional sign, decimal digits; saturated to the signed 32-bit range.
// Stops at the first other character, so a '.' ends it.
SInt64 ReadVersionInt(const char* text)
{
    while (IsBlank(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    SInt64 magnitude = 0;
    for (; IsDecimalDigit(*text); ++text) {
        if (magnitude <= SInt64(INT32_MAX) + 1)
            magnitude = magnitude * 10 + (*text - '0');
    }
    if (negative)
        return magnitude > SInt64(INT32_MAX) + 1 ? INT32_MIN : -magnitude;
    return magnitude > INT32_MAX ? INT32_MAX : magnitude;
}

// The first stage letter within one component, or null.
const char* FindStageLetter(const char* component)
{
    for (const char* p = component; *p != '\0' && *p != '.'; ++p) {
        if (*p == 'd' || *p == 'a' || *p == 'b' || *p == 'f')
            return p;
    }
    return nullptr;
}

UInt8 StageCode(char letter)
{
    switch (letter) {
    case 'd': return eStageDevelopment;
    case 'a': return eStageAlpha;
    case 'b': return eStageBeta;
    default: return eStageFinal;
    }
}

// The non-release revision after a stage letter. The formatter writes a
// final stage as "fc3", so a 'c' after 'f' is passed over to read it back.
UInt8 ReadNonRelRev(const char* letter)
{
    const char* after = letter + 1;
    if (*letter == 'f' && *after == 'c')
        ++after;
    return UInt8(ReadVersionInt(after));
}

// Assembled arithmetically so the layout does not depend on the host's
// byte order.
NumVersion UnpackVersion(UInt32 whole)
{
    return NumVersion { UInt8(whole), UInt8(whole >> 8), UInt8(whole >> 16), UInt8(whole >> 24) };
}

UInt32 PackVersion(const NumVersion& v)
{
    return UInt32(v.majorRev) << 24 | UInt32(v.minorAndBugRev) << 16 | UInt32(v.stage) << 8
        | v.nonRelRev;
}

} // namespace

// --- Value model -----------------------------------------------------------

UInt64 BaseConverter::SwapWithWidth(UInt64 inNum, UInt16 width)
{
    switch (width) {
    case 64: return __builtin_bswap64(inNum);
    case 32: return __builtin_bswap32(UInt32(inNum));
    case 16: return __builtin_bswap16(UInt16(inNum));
    default: return inNum;
    }
}

Boolean BaseConverter::IsNegative(UInt64 number, UInt16 width)
{
    if (width == 0)
        return false;
    const UInt16 signBit = width > 64 ? 63 : width - 1;
    return (number >> signBit) & 1;
}

UInt64 BaseConverter::ExtendHighBit(UInt64 number, UInt16 width)
{
    return number | ~WidthMask(width);
}

void BaseConverter::SetUnsignedDec(UInt64 inNum, Endian endian)
{
    fDecValue = endian == eLittleEndian ? SwapWithWidth(inNum, fBitWidth) : inNum;
}

void BaseConverter::SetSignedDec(SInt64 inNum, Endian endian)
{
    SetUnsignedDec(UInt64(inNum), endian);
}

UInt64 BaseConverter::GetValue(Endian endian) const
{
    const UInt64 bits = fDecValue & WidthMask(fBitWidth);
    return endian == eLittleEndian ? SwapWithWidth(bits, fBitWidth) : bits;
}

SInt64 BaseConverter::GetSignedValue(Endian endian) const
{
    UInt64 value = GetValue(endian);
    if (IsNegative(value, fBitWidth))
        value = ExtendHighBit(value, fBitWidth);
    return SInt64(value);
}

void BaseConverter::SetSigned(Boolean signedd)
{
    fSigned = signedd;
    if (!signedd)
        fDecValue &= WidthMask(fBitWidth);
}

void BaseConverter::SetBitWidth(UInt16 width)
{
    const UInt16 oldWidth = fBitWidth;
    fBitWidth = width;
    fDecValue &= WidthMask(width);
    if (fSigned && width > oldWidth && IsNegative(fDecValue, oldWidth)) {
        const UInt64 between = WidthMask(width) & ~WidthMask(oldWidth);
        // Set bits there mean the number was stored wider than the old
        // width (typed text, a math result): keep it as it stands.
        if ((fDecValue & between) == 0)
            fDecValue |= between;
    }
}

UInt16 BaseConverter::GetActualWidth() const
{
    if (fSigned && (fDecValue >> 63) != 0) {
        // Negative: the width's own sign bit and all above it must be set.
        const UInt64 allSet = ~UInt64(0);
        if ((fDecValue >> 7) == allSet >> 7)
            return 8;
        if ((fDecValue >> 15) == allSet >> 15)
            return 16;
        if ((fDecValue >> 31) == allSet >> 31)
            return 32;
        return 64;
    }
    if (fDecValue <= 0xFF)
        return 8;
    if (fDecValue <= 0xFFFF)
        return 16;
    if (fDecValue <= 0xFFFFFFFF)
        return 32;
    return 64;
}

void BaseConverter::Shift(ShiftDir shiftDir)
{
    if (shiftDir == eShiftLeftDir)
        fDecValue <<= 1;
    else
        fDecValue >>= 1;
}

// --- Radix notations -------------------------------------------------------

void BaseConverter::KillSpaces(char* inString)
{
    char* to = inString;
    for (const char* from = inString; *from != '\0'; ++from) {
        if (*from != ' ')
            *to++ = *from;
    }
    *to = '\0';
}

void BaseConverter::SwitchCase(char* inString) const
{
    for (; *inString != '\0'; ++inString) {
        if (*inString >= 'A' && *inString <= 'Z')
            *inString = char(*inString - 'A' + 'a');
    }
}

void BaseConverter::GenericNewValue(UInt16 base, char* inString)
{
    fDecValue = 0;
    KillSpaces(inString);
    SwitchCase(inString);
    UInt64 multiplier = 1;
    for (std::size_t i = std::strlen(inString); i-- > 0;) {
        const int digit = DigitValue(static_cast<unsigned char>(inString[i]));
        if (digit < 0 || digit >= base)
            continue;
        fDecValue += UInt64(digit) * multiplier;
        multiplier *= base;
    }
}

void BaseConverter::GenericSetValue(UInt16 base, char* dest) const
{
    const UInt64 number = fDecValue & WidthMask(fBitWidth);
    switch (base) {
    case 2: PutGrouped<2, 4>(number, dest); break;
    case 8: PutGrouped<8, 4>(number, dest); break;
    case 16:
        // A byte is shown as two digits, not as a group of four.
        if (fBitWidth == 8)
            PutGrouped<16, 2>(number, dest);
        else
            PutGrouped<16, 4>(number, dest);
        break;
    default: PutGrouped<36, 2>(number, dest); break;
    }
}

void BaseConverter::NewBin(char* newNum)
{
    GenericNewValue(2, newNum);
}
void BaseConverter::NewOct(char* newNum)
{
    GenericNewValue(8, newNum);
}
void BaseConverter::NewHex(char* newNum)
{
    GenericNewValue(16, newNum);
}
void BaseConverter::NewQuix(char* newNum)
{
    GenericNewValue(36, newNum);
}

void BaseConverter::GetBin(char* outNum) const
{
    GenericSetValue(2, outNum);
}
void BaseConverter::GetOct(char* outNum) const
{
    GenericSetValue(8, outNum);
}
void BaseConverter::GetHex(char* outNum) const
{
    GenericSetValue(16, outNum);
}
void BaseConverter::GetQuix(char* outNum) const
{
    GenericSetValue(36, outNum);
}

void BaseConverter::GetDec(char* outNum, Endian endian) const
{
    UInt64 number = GetValue(endian);
    char* end;
    if (fSigned) {
        if (IsNegative(number, fBitWidth))
            number = ExtendHighBit(number, fBitWidth);
        end = std::to_chars(outNum, outNum + kDecSize - 1, SInt64(number)).ptr;
    } else {
        end = PutUnsigned(outNum, number);
    }
    *end = '\0';
}

// --- Text and IP address ---------------------------------------------------

void BaseConverter::GetText(char* outNum) const
{
    int numChars = fBitWidth / 8;
    if (numChars > 8)
        numChars = 8;
    for (int i = 0; i < numChars; ++i) {
        const auto byte = static_cast<unsigned char>(fDecValue >> (8 * (numChars - 1 - i)));
        outNum[i] = static_cast<char>(IsPrintableAscii(byte) ? byte : 0xA5);
    }
    outNum[numChars] = '\0';
}

void BaseConverter::NewText(char* newNum)
{
    fDecValue = 0;
    const std::size_t length = std::strlen(newNum);
    if (length < 1 || length > 8)
        return;
    for (std::size_t k = 0; k < length; ++k)
        fDecValue = (fDecValue << 8) | static_cast<unsigned char>(newNum[k]);
}

void BaseConverter::GetIPAddress(char* outNum) const
{
    char* out = outNum;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out = PutUnsigned(out, (fDecValue >> shift) & 0xFF);
        *out++ = shift != 0 ? '.' : '\0';
    }
}

void BaseConverter::NewIPAddress(char* inNum)
{
    UInt32 value = 0;
    SInt16 bitShift = 24;
    const char* start = inNum;
    for (const char* p = inNum;; ++p) {
        const char c = *p;
        if (IsDecimalDigit(c)) {
            // A group's text begins at its first digit.
            if (!IsDecimalDigit(*start))
                start = p;
            continue;
        }
        if (c != '.' && c != '\0')
            continue;
        if (bitShift < 0)
            break;
        const std::ptrdiff_t length = p - start;
        if (length >= 1 && length <= 3) {
            char thisNumberString[4] = {};
            std::memcpy(thisNumberString, start, std::size_t(length));
            SInt16 thisNumber = 0;
            for (const char* d = thisNumberString; IsDecimalDigit(*d); ++d)
                thisNumber = SInt16(thisNumber * 10 + (*d - '0'));
            if (thisNumber > 255)
                thisNumber = 0;
            value += UInt32(thisNumber) << bitShift;
            start = p;
        }
        if (c == '\0')
            break;
        bitShift = SInt16(bitShift - 8);
    }
    fDecValue = value;
}

// --- Version ---------------------------------------------------------------

void BaseConverter::GetNumVersion(char* outNum) const
{
    const NumVersion v = UnpackVersion(UInt32(fDecValue));

    char* out = PutUnsigned(outNum, v.majorRev);
    *out++ = '.';
    out = PutUnsigned(out, v.minorAndBugRev >> 4);
    if ((v.minorAndBugRev & 0x0F) != 0) {
        *out++ = '.';
        out = PutUnsigned(out, v.minorAndBugRev & 0x0F);
    }
    switch (v.stage) {
    case eStageDevelopment: *out++ = 'd'; break;
    case eStageAlpha: *out++ = 'a'; break;
    case eStageBeta: *out++ = 'b'; break;
    case eStageFinal:
        if (v.nonRelRev != 0) {
            *out++ = 'f';
            *out++ = 'c';
        }
        break;
    default: break;
    }
    const bool showsRevision = v.stage == eStageDevelopment || v.stage == eStageAlpha
        || v.stage == eStageBeta || (v.stage == eStageFinal && v.nonRelRev != 0);
    if (showsRevision)
        out = PutUnsigned(out, v.nonRelRev);
    *out = '\0';
}

void BaseConverter::NewNumVersion(char* inNum)
{
    // Components are the texts between dots; the parse reads them in place.
    const char* components[3] = { inNum, nullptr, nullptr };
    int componentCount = 1;
    for (const char* p = inNum; *p != '\0'; ++p) {
        if (*p == '.') {
            if (componentCount < 3)
                components[componentCount] = p + 1;
            ++componentCount;
        }
    }

    NumVersion numVersion = {};
    numVersion.majorRev = UInt8(ReadVersionInt(components[0]));
    unsigned minorRev = 0;
    unsigned bugRev = 0;
    if (componentCount >= 2)
        minorRev = unsigned(ReadVersionInt(components[1])) & 0x0F;
    if (componentCount == 2) {
        if (const char* letter = FindStageLetter(components[1])) {
            numVersion.stage = StageCode(*letter);
            numVersion.nonRelRev = ReadNonRelRev(letter);
        }
    } else if (componentCount >= 3) {
        bugRev = unsigned(ReadVersionInt(components[2])) & 0x0F;
        if (const char* letter = FindStageLetter(components[2])) {
            numVersion.stage = StageCode(*letter);
            numVersion.nonRelRev = ReadNonRelRev(letter);
        } else {
            numVersion.stage = eStageFinal;
        }
    }
    numVersion.minorAndBugRev = UInt8(minorRev << 4 | bugRev);
    fDecValue = PackVersion(numVersion);
}
