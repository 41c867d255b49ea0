// 128-bit integers as the compilers that build Bitlens (g++, clang++) hold
// them, and the few operations on them the engine needs beyond + - * / and
// the shifts. `__extension__` keeps -Wpedantic quiet about the type.
#ifndef BITLENS_WIDEINTEGER_H
#define BITLENS_WIDEINTEGER_H

#include "BaseConverter.h"

__extension__ typedef unsigned __int128 UInt128;
__extension__ typedef __int128 SInt128;

constexpr UInt128 MakeUInt128(UInt64 high, UInt64 low)
{
    return UInt128(high) << 64 | low;
}

constexpr UInt64 HighHalf(UInt128 number)
{
    return UInt64(number >> 64);
}

constexpr UInt64 LowHalf(UInt128 number)
{
    return UInt64(number);
}

constexpr UInt128 kUInt128Max = ~UInt128(0);

// The bits of a number `width` bits wide: the low `width` bits set.
constexpr UInt128 WideMask(unsigned width)
{
    return width >= 128 ? kUInt128Max : (UInt128(1) << width) - 1;
}

// Bit length: 0 for 0, else one more than the index of the top set bit.
inline int BitLength(UInt128 number)
{
    if (HighHalf(number) != 0)
        return 128 - __builtin_clzll(HighHalf(number));
    return LowHalf(number) == 0 ? 0 : 64 - __builtin_clzll(LowHalf(number));
}

inline UInt128 SwapBytes(UInt128 number)
{
    return MakeUInt128(__builtin_bswap64(LowHalf(number)), __builtin_bswap64(HighHalf(number)));
}

// 10^19, the largest power of ten in 64 bits: decimal digits go in chunks
// of nineteen.
constexpr UInt64 kTenToThe19 = 10000000000000000000u;

// Writes `number`'s decimal digits at `out`, with no terminator, and returns
// their end (at most 39 digits).
char* PutUnsigned128(char* out, UInt128 number);

// Writes `number` as exactly `count` decimal digits, zeros in front.
void PutPaddedDecimal(char* out, UInt64 number, int count);

#endif
