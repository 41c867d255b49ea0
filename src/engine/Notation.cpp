#include "Notation.h"

#include <cstdint>
#include <cstring>

namespace {

// A decimal text as strtoll and strtoull read it in the "C" locale: blanks,
// one optional sign, digits up to the first other character. Read here so
// that the locale the toolkit sets for the process cannot change a field's
// number (a single-byte locale counts 0xA0 as a blank).
struct DecimalText {
    bool negative = false;
    bool tooLarge = false; // beyond 2^64 - 1
    UInt64 magnitude = 0;
};

DecimalText ScanDecimal(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    DecimalText scanned;
    if (*text == '+' || *text == '-')
        scanned.negative = *text++ == '-';
    for (; *text >= '0' && *text <= '9'; ++text) {
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

} // namespace

void ReadNotation(BaseConverter& number, Notation notation, char* text, Endian endian)
{
    switch (notation) {
    case eNotationBinary: number.NewBin(text); break;
    case eNotationHexadecimal: number.NewHex(text); break;
    case eNotationOctal: number.NewOct(text); break;
    case eNotationQuixadecimal: number.NewQuix(text); break;
    case eNotationText: number.NewText(text); break;
    case eNotationIPAddress: number.NewIPAddress(text); break;
    case eNotationNumVersion: number.NewNumVersion(text); break;
    case eNotationDecimal:
    case eNotationCount: {
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
        break;
    }
    }
}

void WriteNotation(const BaseConverter& number, Notation notation, Endian endian, char* out)
{
    switch (notation) {
    case eNotationBinary: number.GetBin(out); break;
    case eNotationHexadecimal: number.GetHex(out); break;
    case eNotationOctal: number.GetOct(out); break;
    case eNotationQuixadecimal: number.GetQuix(out); break;
    case eNotationText: number.GetText(out); break;
    case eNotationIPAddress: number.GetIPAddress(out); break;
    case eNotationNumVersion: number.GetNumVersion(out); break;
    case eNotationDecimal:
    case eNotationCount: number.GetDec(out, endian); break;
    }
}

void WriteLiteral(const BaseConverter& number, Notation notation, Endian endian, char* out)
{
    const char* prefix = nullptr;
    switch (notation) {
    case eNotationBinary: prefix = "0b"; break;
    case eNotationHexadecimal: prefix = "0x"; break;
    case eNotationOctal: prefix = "0o"; break;
    default: number.GetDec(out, endian); return;
    }
    char digits[kFieldBufferSize];
    WriteNotation(number, notation, endian, digits);
    std::memcpy(out, prefix, 2);
    char* end = out + 2;
    // 64 binary digits and the prefix leave room to spare in a field buffer.
    for (const char* from = digits; *from != '\0' && end < out + kFieldBufferSize - 1; ++from)
        if (*from != ' ')
            *end++ = *from;
    *end = '\0';
}

void CopyFieldText(const char* text, char* buffer)
{
    std::size_t length = 0;
    while (length < kFieldBufferSize - 1 && text[length] != '\0')
        ++length;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

UInt16 TypeIntoRow(BaseConverter& number, Notation notation, const char* text, Endian endian)
{
    char buffer[kFieldBufferSize];
    CopyFieldText(text, buffer);
    ReadNotation(number, notation, buffer, endian);
    // Each widening re-reads the row through its decimal reading, which may
    // ask for a wider width again; four widths bound the loop.
    for (UInt16 needed = number.GetActualWidth(); needed > number.BitWidth();
         needed = number.GetActualWidth()) {
        number.SetBitWidth(needed);
        if (notation == eNotationDecimal)
            CopyFieldText(text, buffer);
        else
            number.GetDec(buffer, endian);
        ReadNotation(number, eNotationDecimal, buffer, endian);
    }
    return number.BitWidth();
}
