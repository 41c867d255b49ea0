#include "BigNumber.h"

BigNumber::BigNumber(UInt128 value)
{
    fWords[0] = LowHalf(value);
    fWords[1] = HighHalf(value);
    fSize = 2;
    Trim();
}

void BigNumber::Trim()
{
    while (fSize > 0 && fWords[fSize - 1] == 0)
        --fSize;
}

int BigNumber::BitLength() const
{
    return fSize == 0 ? 0 : 64 * (fSize - 1) + (64 - __builtin_clzll(fWords[fSize - 1]));
}

bool BigNumber::AnyBelow(int index) const
{
    const int whole = index / 64;
    for (int i = 0; i < whole && i < fSize; ++i)
        if (fWords[i] != 0)
            return true;
    const int part = index % 64;
    return whole < fSize && part != 0 && (fWords[whole] & ((UInt64(1) << part) - 1)) != 0;
}

UInt128 BigNumber::Bits(int low) const
{
    auto word = [this](int i) { return i >= 0 && i < fSize ? fWords[i] : UInt64(0); };
    const int first = low / 64;
    const int shift = low % 64;
    const UInt64 a = word(first), b = word(first + 1), c = word(first + 2);
    if (shift == 0)
        return MakeUInt128(b, a);
    return MakeUInt128(b >> shift | c << (64 - shift), a >> shift | b << (64 - shift));
}

void BigNumber::MultiplyWord(UInt64 factor)
{
    UInt64 carry = 0;
    for (int i = 0; i < fSize; ++i) {
        const UInt128 product = UInt128(fWords[i]) * factor + carry;
        fWords[i] = LowHalf(product);
        carry = HighHalf(product);
    }
    if (carry != 0 && fSize < kCapacity)
        fWords[fSize++] = carry;
    Trim();
}

void BigNumber::AddWord(UInt64 addend)
{
    for (int i = 0; addend != 0; ++i) {
        if (i == fSize) {
            if (fSize == kCapacity)
                return;
            fWords[fSize++] = 0;
        }
        fWords[i] += addend;
        addend = fWords[i] < addend ? 1 : 0;
    }
}

void BigNumber::MultiplyPowerOf5(int exponent)
{
    // 5^27 is the largest power of five in 64 bits.
    constexpr UInt64 kFiveTo27 = 7450580596923828125u;
    for (; exponent >= 27; exponent -= 27)
        MultiplyWord(kFiveTo27);
    UInt64 rest = 1;
    while (exponent-- > 0)
        rest *= 5;
    MultiplyWord(rest);
}

void BigNumber::ShiftLeft(int count)
{
    if (fSize == 0 || count <= 0)
        return;
    const int words = count / 64;
    const int bits = count % 64;
    const int size = fSize + words + 1 < kCapacity ? fSize + words + 1 : kCapacity;
    for (int i = size - 1; i >= 0; --i) {
        const int from = i - words;
        const UInt64 high = from >= 0 && from < fSize ? fWords[from] : 0;
        const UInt64 low = from - 1 >= 0 && from - 1 < fSize ? fWords[from - 1] : 0;
        fWords[i] = bits == 0 ? high : high << bits | low >> (64 - bits);
    }
    fSize = size;
    Trim();
}

void BigNumber::ShiftRightOne()
{
    for (int i = 0; i < fSize; ++i)
        fWords[i] = fWords[i] >> 1 | (i + 1 < fSize ? fWords[i + 1] << 63 : 0);
    Trim();
}

UInt64 BigNumber::DivideWord(UInt64 divisor)
{
    UInt64 remainder = 0;
    for (int i = fSize; i-- > 0;) {
        const UInt128 part = MakeUInt128(remainder, fWords[i]);
        fWords[i] = UInt64(part / divisor);
        remainder = UInt64(part % divisor);
    }
    Trim();
    return remainder;
}

void BigNumber::Subtract(const BigNumber& smaller)
{
    UInt64 borrow = 0;
    for (int i = 0; i < fSize; ++i) {
        const UInt64 other = i < smaller.fSize ? smaller.fWords[i] : 0;
        const UInt64 word = fWords[i];
        fWords[i] = word - other - borrow;
        borrow = word < other || (word == other && borrow) ? 1 : 0;
    }
    Trim();
}

int BigNumber::Compare(const BigNumber& a, const BigNumber& b)
{
    if (a.fSize != b.fSize)
        return a.fSize < b.fSize ? -1 : 1;
    for (int i = a.fSize; i-- > 0;) {
        if (a.fWords[i] != b.fWords[i])
            return a.fWords[i] < b.fWords[i] ? -1 : 1;
    }
    return 0;
}

UInt128 BigNumber::Divide(BigNumber& remainder, const BigNumber& divisor)
{
    int shift = remainder.BitLength() - divisor.BitLength();
    if (shift < 0)
        return 0;
    // One quotient bit at a time from the top: the caller keeps the
    // quotient short, so this is at most 128 steps.
    BigNumber shifted = divisor;
    shifted.ShiftLeft(shift);
    UInt128 quotient = 0;
    for (; shift >= 0; --shift) {
        quotient <<= 1;
        if (Compare(remainder, shifted) >= 0) {
            remainder.Subtract(shifted);
            quotient |= 1;
        }
        shifted.ShiftRightOne();
    }
    return quotient;
}
