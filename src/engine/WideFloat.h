// The float notation at every width WideConverter holds: half, single and
// double as FloatNotation.h writes and reads them, and at 128 bits IEEE-754
// binary128 (quadruple: 15 exponent bits, 112 mantissa bits). Beside them,
// bfloat16 (8 exponent bits, 7 mantissa bits), the other 16-bit float.
//
// binary128 and bfloat16 follow FloatNotation.h's rules: the shortest
// decimal text that reads back to the same bits, laid out as std::to_chars
// lays out a double (fixed or with an exponent, whichever is shorter; an
// integer in fixed notation exactly), NaN payloads the same way, and the same
// grammar read, correctly rounded to nearest even. The conversions are exact
// and allocate nothing.
#ifndef BITLENS_WIDEFLOAT_H
#define BITLENS_WIDEFLOAT_H

#include "FloatNotation.h"
#include "WideConverter.h"

// Smallest buffer the writers below write into (terminator included); the
// longest texts are a negative binary128's
// ("-6.475175119438025110924438958227647e-4966") and its NaNs.
constexpr int kWideFloatSize = 48;

// Whether `width` has a float reading: 16, 32, 64 or 128.
bool IsWideFloatWidth(UInt16 width);

// WriteFloat and ReadFloat of FloatNotation.h at 16, 32 and 64 bits, and
// binary128 at 128; the empty text and 0 at a width without a float.
void WriteWideFloat(UInt128 bits, UInt16 width, char* out);
UInt128 ReadWideFloat(const char* text, UInt16 width);

// bfloat16: the low 16 bits of `bits` written; a text read to its bits.
void WriteBfloat16(UInt64 bits, char* out);
UInt64 ReadBfloat16(const char* text);

// The row's float field: below 128 bits as FloatNotation.h's functions for
// BaseConverter (8 bits has none; typed there, it widens to 32), binary128
// at 128.
void WriteFloatNotation(const WideConverter& number, Endian endian, char* out);
void ReadFloatNotation(WideConverter& number, const char* text, Endian endian);

#endif
