// C headers as bit fields, written the ways vendors and kernels write them:
//   #define NAME GENMASK(h, l)   GENMASK_ULL, GENMASK_32, GENMASK_64
//   #define NAME BIT(n)          BIT_ULL, BIT_32, BIT_64
//   #define NAME (0x3u << 4)     (0x3UL << NAME_Pos), (U(1) << 4)
//   NAME_Pos and NAME_Msk, NAME_SHIFT and NAME_MASK, NAME_S and NAME_M: the
//   field NAME, its mask shifted into place or at bit 0; a _Msk or _MASK
//   alone is a field too.
// The numbers may be decimal, hexadecimal, octal or 0b binary with any of
// C's suffixes, casts such as (uint32_t), U(), UL() and ULL(), and any C
// constant expression of other defines, written before or after. Defines
// named after a field give its values: NAME_Included (0x7UL), a number at
// bit 0 or in place, or NAME_2 (0x2 << 12), a value shifted in place; NAME
// alone as NAME_Msk, the same bits again (NAME_BIT) and NAME_0, NAME_1 ...
// for each of its bits are the field itself. Several shifted values of one
// name and shift, one of them 0, are the values of a field of that name. A
// comment on the define's line describes it. Any other line, a
// function-like macro and anything inside a comment is ignored.
#ifndef BITLENS_CHEADERFILE_H
#define BITLENS_CHEADERFILE_H

#include "LayoutFileTypes.h"

// The header's fields as a layout named `fileName`'s base name, with no
// width of its own, in the order they are written. When every field's
// name begins as the include guard does (CTRL_H: CTRL_MODE), that part is
// left out. Masks that are not one run of set bits or are 0, values too
// wide for their field and defines too long to read are left out, said in
// one warning. Errors: a field past bit 63 or reversed (GENMASK(2, 5)),
// more than kMaxLayoutFields fields, no field at all, a file past
// kMaxLayoutFileSize.
LayoutResult ImportCHeader(const QByteArray& bytes, const QString& fileName);

// #define lines for every field whose bits are valid: NAME_SHIFT, NAME_MASK
// (a plain hexadecimal number), NAME as GENMASK(msb, lsb) (GENMASK_ULL past
// bit 31) with the description as a comment, and NAME_VALUE for each named
// value. Names are made C identifiers (other characters become '_') and
// prefixed with `prefix`, inside an include guard named by the prefix
// (CTRL_H for CTRL_). Fallback definitions of GENMASK and GENMASK_ULL come
// first, so the file compiles outside the kernel too. ImportCHeader reads
// back the names (without the prefix), bits, descriptions and named values.
QByteArray ExportCHeader(const BitFieldLayout& layout, const QString& prefix = {});

#endif
