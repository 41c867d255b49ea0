// Between a field's text, held as UTF-8, and the engine's 8-bit bytes.
#ifndef BITLENS_FIELDBYTES_H
#define BITLENS_FIELDBYTES_H

#include "engine/WideConverter.h"

#include <string>
#include <string_view>

// A field holds at most this many characters, counted as the window's
// fields count them (UTF-16 units: a character beyond U+FFFF counts two):
// the longest text a row writes, its binary number at 128 bits.
constexpr int kFieldCharacterLimit = WideConverter::kBinSize - 1;
// The engine's bytes of a field's text and their terminator.
constexpr int kFieldTextBufferSize = kFieldCharacterLimit + 1;

// The longest beginning of `utf8` that a field holds.
std::string_view CutToField(std::string_view utf8);

// The engine's bytes of a field's text: a character U+0001 to U+00FF
// becomes that byte (Latin-1); the bullet U+2022 becomes 0xA5, the text
// notation's placeholder; any other character, U+0000 (which would end the
// text early) and each byte of a malformed sequence become '?'. Writes at
// most kFieldCharacterLimit bytes and a terminator into `buffer`, which
// holds kFieldTextBufferSize bytes; returns the byte count.
int FieldTextToBytes(std::string_view utf8, char* buffer);

// The text a field shows for the engine's bytes: Latin-1, with the
// placeholder 0xA5 shown as the bullet. Replaces `utf8`'s contents.
void FieldTextFromBytes(const char* bytes, std::string& utf8);

// Whether `utf8` is what FieldTextFromBytes(bytes) gives, without building
// it.
bool FieldTextEquals(std::string_view utf8, const char* bytes);

// The characters of `utf8` from the `begin`th, `count` of them, as typed:
// the text the engine's bytes from index `begin` stand for (one byte each).
std::string CharactersOf(std::string_view utf8, int begin, int count);

// The index of the first character of `utf8` that the engine cannot hold as
// one byte, so that it reads as '?', or -1 when there is none.
int FirstCharacterBeyondByte(std::string_view utf8);

#endif
