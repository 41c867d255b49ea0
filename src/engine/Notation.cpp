#include "Notation.h"

#include "Characters.h"
#include "FloatNotation.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

// A decimal text as strtoll and strtoull read it in the "C" locale: blanks,
// one optional sign, digits up to the first other character, except that
// '_' and '\'' between two digits group them and are skipped. Read here so
// that the locale the toolkit sets for the process cannot change a field's
// number (a single-byte locale counts 0xA0 as a blank).
struct DecimalText {
    bool negative = false;
    bool tooLarge = false; // beyond 2^64 - 1
    UInt64 magnitude = 0;
};

DecimalText ScanDecimal(const char* text)
{
    while (IsBlank(*text))
        ++text;
    DecimalText scanned;
    if (*text == '+' || *text == '-')
        scanned.negative = *text++ == '-';
    for (; IsDecimalDigit(*text); text = PastDecimalSeparators(text + 1)) {
        const unsigned digit = unsigned(*text - '0');
        if (scanned.magnitude > (UINT64_MAX - digit) / 10)
            scanned.tooLarge = true;
        else
            scanned.magnitude = scanned.magnitude * 10 + digit;
    }
    return scanned;
}

// strtoull for a text without a minus sign: too large gives the largest.
UInt64 UnsignedValue(const DecimalText& scanned)
{
    return scanned.tooLarge ? UINT64_MAX : scanned.magnitude;
}

// strtoll: saturated to the signed 64-bit range.
SInt64 SignedValue(const DecimalText& scanned)
{
    const UInt64 limit = scanned.negative ? UInt64(INT64_MAX) + 1 : UInt64(INT64_MAX);
    if (scanned.tooLarge || scanned.magnitude > limit)
        return scanned.negative ? INT64_MIN : INT64_MAX;
    return scanned.negative ? SInt64(0 - scanned.magnitude) : SInt64(scanned.magnitude);
}

// Whether the reading the text gets (signed exactly when it has a minus)
// gives the range's edge instead of the number spelt.
bool Saturates(const DecimalText& scanned)
{
    return scanned.tooLarge || (scanned.negative && scanned.magnitude > UInt64(INT64_MAX) + 1);
}

// Whether a decimal number can be stored within the width. One that cannot
// is kept whole instead of byte-reversed: reversing within the width would
// drop its upper bytes, so the caller could neither see that it needs a
// wider width nor show what was typed.
bool FitsWidth(UInt64 bits, bool isSigned, UInt16 width)
{
    // No swap happens at width 0 (a record never given a width) or 64.
    if (width == 0 || width >= 64)
        return true;
    if (isSigned && (bits >> 63) != 0)
        return (bits >> (width - 1)) == (~UInt64(0) >> (width - 1));
    return (bits >> width) == 0;
}

// Whether the digits of Base in `text` spell a number of at most 64 bits.
// Digits are what the radix readers take, letters in either case; anything
// else is skipped, as they skip it. Counting the value, not the digits,
// settles the digit counts at the edge (22 octal, 13 base-36 digits).
template <unsigned Base> bool HoldsInBase(const char* text)
{
    UInt64 number = 0;
    for (; *text != '\0'; ++text) {
        const char c = *text;
        unsigned digit = Base;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (c >= 'a' && c <= 'z')
            digit = unsigned(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z')
            digit = unsigned(c - 'A' + 10);
        if (digit >= Base)
            continue;
        if (number > (UINT64_MAX - digit) / Base)
            return false;
        number = number * Base + digit;
    }
    return true;
}

// A text of more than eight bytes reads as 0, not as its low bytes.
bool HoldsAsText(const char* text)
{
    return std::strlen(text) < std::size_t(BaseConverter::kTextSize);
}

// The IP address and version readers read four bytes' worth at most.
bool AlwaysHolds(const char*)
{
    return true;
}

// A notation other than decimal, whose reading and writing depend on
// neither the sign nor the byte order.
struct PlainNotation {
    void (BaseConverter::*read)(char*);
    void (BaseConverter::*write)(char*) const;
    bool (*holds)(const char* text); // whether `read` keeps the whole number
};

// By notation; the decimal, float and UUID rows are unused (they are read
// and written below).
constexpr PlainNotation kPlainNotations[] = {
    { &BaseConverter::NewBin, &BaseConverter::GetBin, HoldsInBase<2> },
    { nullptr, nullptr, nullptr },
    { &BaseConverter::NewHex, &BaseConverter::GetHex, HoldsInBase<16> },
    { &BaseConverter::NewOct, &BaseConverter::GetOct, HoldsInBase<8> },
    { &BaseConverter::NewQuix, &BaseConverter::GetQuix, HoldsInBase<36> },
    { &BaseConverter::NewText, &BaseConverter::GetText, HoldsAsText },
    { &BaseConverter::NewIPAddress, &BaseConverter::GetIPAddress, AlwaysHolds },
    { &BaseConverter::NewNumVersion, &BaseConverter::GetNumVersion, AlwaysHolds },
    { nullptr, nullptr, nullptr },
    { nullptr, nullptr, nullptr },
};
static_assert(
    sizeof kPlainNotations / sizeof *kPlainNotations == eNotationCount, "one row per notation");
static_assert(kFloatSize <= kFieldBufferSize, "a float text fits a field");

bool IsPlain(Notation notation)
{
    return notation != eNotationDecimal && notation != eNotationFloat && notation != eNotationUuid
        && unsigned(notation) < eNotationCount;
}

void ReadDecimal(BaseConverter& number, const char* text, Endian endian)
{
    // The sign is looked for past the blanks, so " -5" is -5 and signed.
    const DecimalText scanned = ScanDecimal(text);
    number.SetSigned(scanned.negative);
    if (number.IsSigned()) {
        const SInt64 value = SignedValue(scanned);
        number.SetSignedDec(
            value, FitsWidth(UInt64(value), true, number.BitWidth()) ? endian : eBigEndian);
    } else {
        const UInt64 value = UnsignedValue(scanned);
        number.SetUnsignedDec(
            value, FitsWidth(value, false, number.BitWidth()) ? endian : eBigEndian);
    }
    number.SetOverflow(Saturates(scanned));
}

// A literal that spells out every digit of the width: the register's size
// is part of what a binary or hexadecimal literal says. At least one digit,
// at most 64 bits' worth, whatever the width.
void WriteFullWidth(char* out, const char* prefix, UInt64 bits, int bitsPerDigit, int width)
{
    const int digits = std::clamp((width + bitsPerDigit - 1) / bitsPerDigit, 1, 64 / bitsPerDigit);
    std::memcpy(out, prefix, 2);
    char* end = out + 2;
    for (int digit = digits - 1; digit >= 0; --digit)
        *end++ = "0123456789abcdef"[(bits >> (digit * bitsPerDigit)) & ((1u << bitsPerDigit) - 1)];
    *end = '\0';
}

} // namespace

void ReadNotation(BaseConverter& number, Notation notation, char* text, Endian endian)
{
    // 64 bits hold no UUID: nothing is read.
    if (notation == eNotationUuid) {
        number.SetOverflow(false);
        return;
    }
    if (notation == eNotationFloat) {
        ReadFloatNotation(number, text, endian);
        number.SetOverflow(false);
        return;
    }
    if (!IsPlain(notation)) {
        ReadDecimal(number, text, endian);
        return;
    }
    const PlainNotation& plain = kPlainNotations[notation];
    (number.*plain.read)(text);
    number.SetOverflow(!plain.holds(text));
}

void WriteNotation(const BaseConverter& number, Notation notation, Endian endian, char* out)
{
    if (notation == eNotationUuid) {
        out[0] = '\0';
        return;
    }
    if (notation == eNotationFloat) {
        WriteFloatNotation(number, endian, out);
        return;
    }
    if (!IsPlain(notation)) {
        number.GetDec(out, endian);
        return;
    }
    // Through a reference: with the undefined-behaviour sanitizer, GCC 12
    // miscompiles a member call through an array element named in the call.
    const PlainNotation& plain = kPlainNotations[notation];
    (number.*plain.write)(out);
}

Notation LiteralNotation(Notation notation, UInt16 width)
{
    switch (notation) {
    case eNotationBinary:
    case eNotationHexadecimal:
    case eNotationOctal: return notation;
    case eNotationFloat: return IsFloatWidth(width) ? notation : eNotationDecimal;
    default: return eNotationDecimal;
    }
}

void WriteLiteral(const BaseConverter& number, Notation notation, Endian endian, char* out)
{
    const UInt64 bits = number.GetValue(eBigEndian);
    const int width = number.BitWidth();
    switch (LiteralNotation(notation, number.BitWidth())) {
    case eNotationBinary: WriteFullWidth(out, "0b", bits, 1, width); return;
    case eNotationHexadecimal: WriteFullWidth(out, "0x", bits, 4, width); return;
    case eNotationOctal:
        // C's octal: a leading 0, which 0 itself is.
        out[0] = '0';
        *(bits == 0 ? out + 1 : std::to_chars(out + 1, out + kFieldBufferSize - 1, bits, 8).ptr)
            = '\0';
        return;
    case eNotationFloat: WriteFloatLiteral(number.GetValue(endian), number.BitWidth(), out); return;
    default: break;
    }
    number.GetDec(out, endian);
    // The most negative number's digits alone are too big for a signed
    // literal, and an unsigned one above the signed range needs its suffix.
    if (std::strcmp(out, "-9223372036854775808") == 0)
        std::strcpy(out, "(-9223372036854775807LL - 1)");
    else if (!number.IsSigned() && number.GetValue(endian) > UInt64(INT64_MAX))
        std::strcat(out, "ULL");
}

void CopyFieldText(const char* text, char* buffer)
{
    std::size_t length = 0;
    while (length < kFieldBufferSize - 1 && text[length] != '\0')
        ++length;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}
