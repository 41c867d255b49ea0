// The notations of a row of up to 128 bits, read and written as a field
// holds them: Notation.h's functions for WideConverter, and the two texts
// only 128 bits have, the IPv6 address and the UUID.
//
// At 64 bits and below every function here reads and writes as Notation.h's
// do, through the 64-bit record, except that a text that spells a number of
// more than 64 bits (which ReadNotation flags there) is read whole, so that
// the caller widens the row to 128 bits to show it.
#ifndef BITLENS_WIDENOTATION_H
#define BITLENS_WIDENOTATION_H

#include "Message.h"
#include "Notation.h"
#include "ReadingNote.h"
#include "WideConverter.h"

// A field's text buffer at 128 bits: the binary text, 159 characters, and
// the terminator.
constexpr int kWideFieldBufferSize = 160;

// As ReadNotation for BaseConverter, with 128 in place of 64: the overflow
// flag tells a text that spells a number beyond 128 bits (the low 128 kept,
// or the decimal range's edge, or 0 for more than sixteen bytes of text).
// An IP address text with a colon is read as IPv6, and widens a narrower
// row to 128 bits first, as a float widens a row of 8 bits to 32; a UUID
// widens any narrower row (ReadUuidNotation).
void ReadNotation(WideConverter& number, Notation notation, char* text, Endian endian);

// Writes `number` in `notation` into `out` (kWideFieldBufferSize bytes); at
// 128 bits the float is binary128; below, the UUID is the empty text.
void WriteNotation(const WideConverter& number, Notation notation, Endian endian, char* out);

// As WriteLiteral for BaseConverter, into kWideFieldBufferSize bytes; at 128
// bits "0b" and 128 digits, "0x" and 32, octal with C's leading 0, and every
// other notation, float too, as the decimal: a number that 64 bits hold with
// the 64-bit record's suffix, a wider one as its digits, for which C has no
// literal.
void WriteLiteral(const WideConverter& number, Notation notation, Endian endian, char* out);

// The words of ReadNotation's too-big flag at 128 bits, as `text` (the bytes
// read) was read in `notation`.
const char* WideTooBigTemplate(Notation notation, const char* text);

// --- IPv6 ------------------------------------------------------------------

// RFC 5952's text of `address` (WideConverter::kIPAddressSize bytes):
// lowercase, no leading zeros in a group, the longest run of two or more
// zero groups (the first of equal runs) as "::", and an IPv4-mapped address
// as ::ffff:192.0.2.1.
void WriteIPv6(UInt128 address, char* out);

// Reads any of RFC 4291's texts: eight groups, "::" for a run of zero
// groups, the last 32 bits as a dotted IPv4 address ("::ffff:10.0.0.1"
// reads its dotted part as BaseConverter's IPv4 reader does). Blanks
// anywhere, brackets around it ("[::1]") and a zone ("%eth0") or prefix
// length ("/64") after it lose nothing but themselves. Groups fill from the
// most significant when there is no "::", so a text being typed reads as
// far as it goes ("2001:db8" is 2001:db8::). Otherwise, as NoteWideReading
// says: a group of more than four digits reads as 0; characters that are
// no hexadecimal digit, colon or dot are skipped; the reading stops at a
// second "::", past eight groups (seven beside "::"), after the dotted part
// and after a closing bracket. An empty group (":1", "1:::2") reads as 0.
UInt128 ReadIPv6(const char* text);

// --- UUID --------------------------------------------------------------------

// RFC 9562's text of `uuid`, lowercase (WideConverter::kUuidSize bytes).
void WriteUuid(UInt128 uuid, char* out);

// Reads a UUID's text with or without its hyphens (which may stand
// anywhere), in braces or after "urn:uuid:" (in either case), blanks
// anywhere. Hexadecimal digits, in either case, fill the number from the
// most significant, as the text lays them out, so that a UUID being typed
// reads as far as it goes; past 32 digits the reading stops. Other
// characters are skipped.
UInt128 ReadUuid(const char* text);

// What the row's UUID field does: a row narrower than 128 bits is widened to
// 128 first, then `text` is read (the overflow flag cleared) and stored as
// it stands, whatever the byte order.
void ReadUuidNotation(WideConverter& number, const char* text);

// The UUID field's text: RFC 9562's, or the empty text below 128 bits.
void WriteUuidNotation(const WideConverter& number, char* out);

// --- Reading notes -----------------------------------------------------------

// NoteReading for a row of any width: an IP address text with a colon is an
// IPv6 one, whose note is ReadIPv6's; a UUID's is NoteUuidReading's; any
// other text gets NoteReading's.
ReadingNote NoteWideReading(Notation notation, const char* text);

// What ReadUuid made of `text`: the characters it skipped ("ignored"), or
// where it stopped ("read up to"). The note's notation is eNotationCount.
ReadingNote NoteUuidReading(const char* text);

// What a UUID's version and variant fields say (RFC 9562), in words for the
// message line, one row per kind; an RFC 9562 UUID's row is chosen by its
// version plus one, and names the version in place of %1 where it says it.
enum UuidKind {
    eUuidNil, // all zero
    eUuidMax, // all one
    eUuidNcsVariant, // variant 0xx
    eUuidVersioned, // variant 10x, RFC 9562's own: the version says more
    eUuidCompatibilityVariant, // variant 110
    eUuidFutureVariant, // variant 111
};

inline constexpr MessageTemplate kUuidMessages[] = {
    { eUuidNil, 0, BITLENS_TRANSLATABLE("Message", "the nil UUID") },
    { eUuidMax, 0, BITLENS_TRANSLATABLE("Message", "the max UUID") },
    { eUuidNcsVariant, 0,
        BITLENS_TRANSLATABLE("Message", "variant 0, kept for backward compatibility with NCS") },
    { eUuidVersioned, 1, BITLENS_TRANSLATABLE("Message", "version 0, unused") },
    { eUuidVersioned, 2, BITLENS_TRANSLATABLE("Message", "version 1, Gregorian time-based") },
    { eUuidVersioned, 3, BITLENS_TRANSLATABLE("Message", "version 2, DCE security") },
    { eUuidVersioned, 4, BITLENS_TRANSLATABLE("Message", "version 3, name-based with MD5") },
    { eUuidVersioned, 5, BITLENS_TRANSLATABLE("Message", "version 4, random") },
    { eUuidVersioned, 6, BITLENS_TRANSLATABLE("Message", "version 5, name-based with SHA-1") },
    { eUuidVersioned, 7,
        BITLENS_TRANSLATABLE("Message", "version 6, reordered Gregorian time-based") },
    { eUuidVersioned, 8, BITLENS_TRANSLATABLE("Message", "version 7, Unix Epoch time-based") },
    { eUuidVersioned, 9, BITLENS_TRANSLATABLE("Message", "version 8, custom") },
    { eUuidVersioned, 0, BITLENS_TRANSLATABLE("Message", "version %1, reserved") },
    { eUuidCompatibilityVariant, 0,
        BITLENS_TRANSLATABLE("Message", "variant 110, reserved for backward compatibility") },
    { eUuidFutureVariant, 0, BITLENS_TRANSLATABLE("Message", "variant 111, reserved") },
};

UuidKind KindOfUuid(UInt128 uuid);
// The version field, bits 79 to 76.
int UuidVersion(UInt128 uuid);
// The template of `uuid`'s row; its token, where it has one, is the version.
const char* UuidDescriptionTemplate(UInt128 uuid);
// Writes the English description into `out` (`size` bytes). Returns the
// length.
int WriteUuidDescription(UInt128 uuid, char* out, int size);

#endif
