// The float notation: a row's bits read as an IEEE-754 binary floating-point
// number. 16 bits are binary16 (half), 32 bits binary32 (single), 64 bits
// binary64 (double); no other width has a float reading.
//
// Texts are those of the "C" locale whatever locale the process has set.
//
// NaNs: the payload is the whole mantissa field (every bit below the
// exponent, the quiet bit included). The default NaN is the quiet bit alone
// and shows as "nan"; any other NaN shows its payload in hexadecimal, so
// 0x7F800001 (a signalling NaN) is "nan(0x1)" and 0x7FC00001 is
// "nan(0x400001)". A NaN with the sign bit set is written "-nan...". Reading
// is the inverse, so every NaN comes back bit for bit.
#ifndef BITLENS_FLOATNOTATION_H
#define BITLENS_FLOATNOTATION_H

#include "BaseConverter.h"

#include <cstring>

// Smallest buffer WriteFloat writes into (terminator included); the longest
// texts are a negative double's ("-2.2250738585072014e-308") and its NaNs
// ("-nan(0xfffffffffffff)").
constexpr int kFloatSize = 32;

// A single's or a double's bits, as a row stores them.
inline UInt64 BitsOf(float value)
{
    UInt32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline UInt64 BitsOf(double value)
{
    UInt64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Whether `width` has a float reading: 16, 32 or 64.
bool IsFloatWidth(UInt16 width);

// The float held in the low `width` bits of `bits`, as the shortest decimal
// text that reads back to the same bits, fixed or with an exponent,
// whichever is shorter (std::to_chars' rule, also for half): "1.5", "-0",
// "1e-45", "3.4028235e+38", "65504", "inf", "-inf", "nan", "nan(0x1)".
// Writes the empty text at a width without a float reading.
void WriteFloat(UInt64 bits, UInt16 width, char* out);

// The float in the low `width` bits of `bits` as a C literal of its own
// width (kFloatSize bytes suffice): a double as the float field writes it
// ("1.5", "1.0", "1e+300"), a single with an f ("1.5f"). A half, which C
// has no literal for, is written as the float of the same value: in decimal
// where that reads back as the half's value exactly ("0.5f"), else as a
// hexadecimal float ("0x1.998p-4f"). Infinities and the default NaN are
// <math.h>'s INFINITY and NAN, signed; a NaN with a payload, which no
// literal spells, is its bits in hexadecimal ("0x7f800001"). Writes the
// empty text at a width without a float reading.
void WriteFloatLiteral(UInt64 bits, UInt16 width, char* out);

// Reads a zero-terminated text as a float of `width` bits and returns its
// bits (0 at a width without a float reading). Accepted, as strtod does:
// blanks, an optional sign, then a decimal number with an optional
// exponent ("1.5", ".5e-3"), a hexadecimal one with an optional binary
// exponent ("0x1.8p3", "0xff"), "inf" or "infinity", or "nan" with an
// optional payload in parentheses, hexadecimal "nan(0x1)" or decimal
// "nan(1)". Letters may be in either case. The longest valid beginning is
// read and the rest ignored; a text with no valid beginning reads as +0.
// Numbers are rounded to the nearest value of the format, ties to even,
// subnormals included; beyond the largest finite value they become
// infinity; the sign of zero is kept. A payload keeps only the mantissa's
// bits, and one that leaves them all clear (or that is not a number) gives
// the default NaN. Any length of text is read, within its terminator.
UInt64 ReadFloat(const char* text, UInt16 width);

// Where ReadFloat's reading of `text` ends: past the blanks, the sign and the
// number it reads ("1.5" of "1.5x", "inf" of "infinite", "0x1" of "0x1p"),
// or `text` itself when no valid beginning is found and the text reads as +0.
const char* FloatReadingEnd(const char* text);

// What a row's float field shows: the float of GetValue(endian) at the
// row's width, or the empty text at a width without a float reading (8).
void WriteFloatNotation(const BaseConverter& number, Endian endian, char* out);

// Reads `text` into a row as typed into its float field. A row whose width
// has no float reading is first widened to 32 bits, and the text read as a
// single. The bits are stored with SetUnsignedDec in `endian` order, so a
// little-endian row holds them byte-reversed within the width. The row's
// sign setting is left alone.
void ReadFloatNotation(BaseConverter& number, const char* text, Endian endian);

#endif
