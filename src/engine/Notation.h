// The notations of a row, read and written as a field holds them.
// The window and the command line both go through these, so a text reads
// the same wherever it is typed.
#ifndef BITLENS_NOTATION_H
#define BITLENS_NOTATION_H

#include "BaseConverter.h"

enum Notation {
    eNotationBinary,
    eNotationDecimal,
    eNotationHexadecimal,
    eNotationOctal,
    eNotationQuixadecimal,
    eNotationText,
    eNotationIPAddress,
    eNotationNumVersion,
    eNotationFloat,
    // Shown at 128 bits only (WideNotation.h); 64 bits write it as the
    // empty text and read nothing from it.
    eNotationUuid,
    eNotationCount
};

// A field's text buffer: at most 127 bytes and the terminator.
constexpr int kFieldBufferSize = 128;

// Reads `text` into `number` as if typed into that notation's field. The
// text is edited in place (spaces dropped, letters lowered). The decimal
// reading decides the sign: the row is signed exactly when the text, past
// leading white space, begins with '-'; '_' and '\'' between its digits
// are skipped, as the other integer readers skip every non-digit. Nothing is cut to the width, but
// the float reading widens a row of 8 bits, which has no float, to 32
// (ReadFloatNotation) and leaves the sign setting alone.
//
// The record's overflow flag tells whether the text spelt a number that
// does not fit in 64 bits, which the row then holds only in part: more
// than 2^64 - 1 in binary, hexadecimal, octal or base 36 (the low 64 bits
// are kept), a decimal beyond the 64-bit range of its reading (the range's
// edge is kept), a text of more than eight bytes (0 is kept). IP
// addresses, versions and floats always fit. Any other reading clears the
// flag.
void ReadNotation(BaseConverter& number, Notation notation, char* text, Endian endian);

// Writes `number` in `notation` into `out` (kFieldBufferSize bytes). Only
// the decimal and float texts depend on `endian`; the float text is empty
// at 8 bits.
void WriteNotation(const BaseConverter& number, Notation notation, Endian endian, char* out);

// The notation whose literal Copy as Literal writes for a field of
// `notation` at `width`: binary, hexadecimal, octal and float (at a width
// that has one) their own, every other notation the decimal.
Notation LiteralNotation(Notation notation, UInt16 width);

// Writes `number` as a C and C++ source-code literal for a field of
// `notation` into `out` (kFieldBufferSize bytes), in LiteralNotation's
// notation: binary as 0b… and hexadecimal as 0x… with every digit of the
// width (0x00000005 at 32 bits), octal with C's leading 0 and no other
// (05, 0), a float as WriteFloatLiteral writes it, in `endian`; the
// decimal as the row's decimal text, in `endian` and with its sign, with
// ULL above the signed 64-bit range and the most negative 64-bit number as
// (-9223372036854775807LL - 1), whose digits alone no signed type holds.
void WriteLiteral(const BaseConverter& number, Notation notation, Endian endian, char* out);

// Copies `text` into `buffer` (kFieldBufferSize bytes), cut to 127 bytes.
void CopyFieldText(const char* text, char* buffer);

#endif
