// An IEEE-754 binary format's fields within a word of its bits, and the
// exponent bound the float readers share. For the engine's own sources.
#ifndef BITLENS_FLOATFORMAT_H
#define BITLENS_FLOATFORMAT_H

#include "BaseConverter.h"

#include <algorithm>

template <class Word> struct BasicFloatFormat {
    int mantissaBits;
    int exponentBits;

    int Bias() const { return (1 << (exponentBits - 1)) - 1; }
    Word MantissaMask() const { return (Word(1) << mantissaBits) - 1; }
    Word QuietBit() const { return Word(1) << (mantissaBits - 1); }
    Word Infinity() const { return ((Word(1) << exponentBits) - 1) << mantissaBits; }
    Word SignBit() const { return Word(1) << (mantissaBits + exponentBits); }
};

// Exponents and digit counts are clamped here: far beyond every format's
// range, far below what an SInt64 can hold, whatever the text's length.
constexpr SInt64 kExponentLimit = SInt64(1) << 40;

inline SInt64 Clamped(SInt64 exponent)
{
    return std::clamp(exponent, -kExponentLimit, kExponentLimit);
}

#endif
