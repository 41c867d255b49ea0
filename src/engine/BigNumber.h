// An unsigned integer of up to kCapacity 64-bit words, on the stack, for the
// exact decimal conversions of the wide floats. For the engine's own sources.
//
// The conversions size their numbers so that they fit: the largest is a
// decimal of 11 600 significant digits scaled by a power of two, under
// 39 000 bits. Should one still grow past the capacity, its top words are
// dropped: a wrong number, never a write outside the words.
#ifndef BITLENS_BIGNUMBER_H
#define BITLENS_BIGNUMBER_H

#include "WideInteger.h"

class BigNumber {
public:
    static constexpr int kCapacity = 640;

    // Zero. Only the words in use are ever read, so none are cleared.
    BigNumber() { }
    explicit BigNumber(UInt128 value);

    bool IsZero() const { return fSize == 0; }
    int BitLength() const;
    // Whether any bit below bit `index` is set.
    bool AnyBelow(int index) const;
    // Bits `low` to `low` + 127 as a number.
    UInt128 Bits(int low) const;

    void MultiplyWord(UInt64 factor);
    void AddWord(UInt64 addend);
    void MultiplyPowerOf5(int exponent);
    void ShiftLeft(int count);
    // Divides by `divisor` (not 0) and returns the remainder.
    UInt64 DivideWord(UInt64 divisor);
    // Takes `smaller` away; it must not be larger.
    void Subtract(const BigNumber& smaller);
    static int Compare(const BigNumber& a, const BigNumber& b);

    // Divides `remainder` by `divisor` (not 0), leaving the remainder, and
    // returns the quotient, which the caller knows to be below 2^128.
    static UInt128 Divide(BigNumber& remainder, const BigNumber& divisor);

private:
    void Trim();
    void ShiftRightOne();

    int fSize = 0; // words in use; the top one is not 0
    UInt64 fWords[kCapacity];
};

#endif
