// Texts of 128-bit numbers by plain long division, the reference the wide
// tests hold the engine to.
#pragma once

#include "engine/WideInteger.h"

#include <string>

inline std::string Digits(UInt128 number, unsigned base)
{
    std::string digits;
    do {
        digits.insert(
            digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[unsigned(number % base)]);
        number /= base;
    } while (number != 0);
    return digits;
}

// Grouped from the right, zeros in front of the leftmost group.
inline std::string Grouped(UInt128 number, unsigned base, unsigned group)
{
    std::string digits = Digits(number, base);
    digits.insert(0, (group - digits.size() % group) % group, '0');
    for (std::size_t at = digits.size() - group; at > 0; at -= group)
        digits.insert(at, " ");
    return digits;
}

inline std::string Decimal(UInt128 magnitude, bool negative)
{
    return (negative ? "-" : "") + Digits(magnitude, 10);
}

inline std::string Decimal(SInt128 value)
{
    return Decimal(value < 0 ? 0 - UInt128(value) : UInt128(value), value < 0);
}
