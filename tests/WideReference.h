// Texts of 128-bit numbers by plain long division, the reference the wide
// tests hold the engine to, and the row's messages as the model words them.
#pragma once

#include "engine/Expression.h"
#include "engine/ReadingNote.h"
#include "engine/WideInteger.h"
#include "model/FieldBytes.h"

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

// A template filled with the characters of `text` it names, as the model
// fills it; the empty text where there is nothing to say.
inline std::string Words(const char* words, const std::string& token)
{
    char message[kMessageSize] = "";
    if (words)
        FillMessage(words, token.c_str(), message, sizeof message);
    return message;
}

inline std::string Words(const ReadingNote& note, const std::string& text)
{
    std::string token;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (note.kind == eReadingNoteIgnored
                ? i < note.ignored.size() && note.ignored.test(i)
                : int(i) >= note.tokenBegin && int(i) < note.tokenBegin + note.tokenLength)
            token += CharactersOf(text, int(i), 1);
    return Words(ReadingNoteTemplate(note), token);
}

inline std::string Words(const WideExpressionResult& result, const std::string& text)
{
    return Words(ExpressionMessageTemplate(result),
        CharactersOf(text, result.detail.position, result.detail.length));
}
