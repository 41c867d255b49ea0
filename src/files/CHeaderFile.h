// C header lines as bit fields, one field per #define:
//   #define NAME GENMASK(h, l)      #define NAME GENMASK_ULL(h, l)
//   #define NAME BIT(n)             #define NAME BIT_ULL(n)
//   #define NAME (0x3u << 4)        #define NAME (0x3UL << NAME_Pos)
// Parentheses and a cast such as (uint32_t) around the parts are allowed;
// the numbers may be decimal, hexadecimal, octal or 0b binary with any of
// C's integer suffixes, or the name of an earlier #define of a number. A
// comment on the define's line becomes the field's description. Any other
// line, a function-like macro and anything inside a comment is ignored.
#ifndef BITLENS_CHEADERFILE_H
#define BITLENS_CHEADERFILE_H

#include "LayoutFileTypes.h"

// The header's fields as a layout named `fileName`'s base name, with no
// width of its own. A mask that is not one run of set bits, or is 0, is
// left out with a warning. Errors: a field past bit 63 or reversed
// (GENMASK(2, 5)), more than kMaxLayoutFields fields, no field at all, a
// file past kMaxLayoutFileSize.
LayoutResult ImportCHeader(const QByteArray& bytes, const QString& fileName);

// #define lines for every field whose bits are valid: NAME_SHIFT, NAME_MASK
// (a plain hexadecimal number), NAME as GENMASK(msb, lsb) (GENMASK_ULL past
// bit 31) with the description as a comment, and NAME_VALUE for each named
// value. Names are made C identifiers (other characters become '_') and
// prefixed with `prefix`. Fallback definitions of GENMASK and GENMASK_ULL
// come first, so the file compiles outside the kernel too. ImportCHeader
// reads back the names, bits and descriptions.
QByteArray ExportCHeader(const BitFieldLayout& layout, const QString& prefix = {});

#endif
