// The layout of a float's shortest decimal digits, as std::to_chars lays
// out a double's: fixed notation unless the scientific one is shorter (a tie
// keeps fixed), the exponent with at least two digits. For the engine's own
// sources.
#ifndef BITLENS_SHORTESTLAYOUT_H
#define BITLENS_SHORTESTLAYOUT_H

#include "Characters.h"

#include <cstring>

// Writes digits[0, count) × 10^exponent at `out` and returns the end, with
// no terminator. Fixed notation with an exponent not below 0 means the
// number is an integer (only an integer has one within its interval), which
// `putInteger(out)` writes exactly, as long as the digits padded with zeros
// and nearer.
template <class PutInteger>
char* PutShortestLayout(
    char* out, const char* digits, int count, int exponent, PutInteger putInteger)
{
    const int scientificExponent = exponent + count - 1;
    const int magnitude = scientificExponent < 0 ? -scientificExponent : scientificExponent;
    const int exponentDigits = magnitude < 100 ? 2 : magnitude < 1000 ? 3 : 4;
    const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + exponentDigits;
    int fixedLength;
    if (exponent >= 0)
        fixedLength = count + exponent;
    else if (scientificExponent >= 0)
        fixedLength = count + 1;
    else
        fixedLength = count + 1 - scientificExponent;

    if (fixedLength <= scientificLength) {
        if (exponent >= 0)
            return putInteger(out);
        if (scientificExponent < 0) {
            *out++ = '0';
            *out++ = '.';
            for (int i = -1; i > scientificExponent; --i)
                *out++ = '0';
            std::memcpy(out, digits, std::size_t(count));
            return out + count;
        }
        const int integerDigits = scientificExponent + 1;
        std::memcpy(out, digits, std::size_t(integerDigits));
        out += integerDigits;
        *out++ = '.';
        std::memcpy(out, digits + integerDigits, std::size_t(count - integerDigits));
        return out + (count - integerDigits);
    }
    *out++ = digits[0];
    if (count > 1) {
        *out++ = '.';
        std::memcpy(out, digits + 1, std::size_t(count - 1));
        out += count - 1;
    }
    *out++ = 'e';
    *out++ = scientificExponent < 0 ? '-' : '+';
    if (magnitude < 10)
        *out++ = '0';
    return PutUnsigned(out, unsigned(magnitude));
}

#endif
