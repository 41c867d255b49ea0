// Characters as the program's readers take them, always by the "C" locale's
// rules whatever locale the process has set, and unsigned numbers written
// out and read back as digits. The one place these helpers are defined: the
// engine's sources include it by name, the other rooms as "engine/Characters.h".
#ifndef BITLENS_CHARACTERS_H
#define BITLENS_CHARACTERS_H

#include "BaseConverter.h"

#include <charconv>
#include <cstring>

inline bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

// '_' and '\'' group the digits of a number ("1_000_000", "1'000'000").
inline bool IsDigitSeparator(char c)
{
    return c == '_' || c == '\'';
}

// Past the separators at `p` when a decimal digit follows them: where a
// decimal number's digits go on. `p` itself otherwise, so that a separator
// that groups nothing ends the number.
inline const char* PastDecimalSeparators(const char* p)
{
    const char* next = p;
    while (IsDigitSeparator(*next))
        ++next;
    return next != p && IsDecimalDigit(*next) ? next : p;
}

// What strtod and strtoull skip ahead of a number.
inline bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// A digit of base 36 or below, 0-9 then a-z (lower case only), or -1.
inline int DigitValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    return -1;
}

// A hexadecimal digit in either case, or -1.
inline int HexDigitValue(char c)
{
    const int value = DigitValue(static_cast<unsigned char>(Lower(c)));
    return value < 16 ? value : -1;
}

// Whether `text` begins with `word` (lower case), in either case.
inline bool BeginsWithWord(const char* text, const char* word)
{
    for (; *word != '\0'; ++text, ++word) {
        if (Lower(*text) != *word)
            return false;
    }
    return true;
}

// The whole of [begin, end) as an unsigned number in `base` (2 to 36, digits
// of either case), or false: no sign, no blank, no prefix, nothing past 64
// bits. `value` is left as it was on false.
inline bool ReadWholeUnsigned(const char* begin, const char* end, UInt64& value, int base = 10)
{
    UInt64 read = 0;
    const std::from_chars_result result = std::from_chars(begin, end, read, base);
    if (begin == end || result.ec != std::errc() || result.ptr != end)
        return false;
    value = read;
    return true;
}

// Writes `number`'s digits at `out`, with no terminator, and returns their
// end. The digits go through a local buffer: a bound of out + 20 would point
// past the end of a caller's buffer that is only as long as the text it takes.
inline char* PutUnsigned(char* out, UInt64 number)
{
    char digits[20];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    const auto length = std::size_t(end - digits);
    std::memcpy(out, digits, length);
    return out + length;
}

#endif
