// What a field's plain reading (ReadNotation) made of a text, in words for
// the row's message line: the characters it skipped, where it stopped, the
// group it read as 0. The note describes the reading; it never changes it.
// Expressions (IsExpression) are the evaluator's and get its messages.
//
// What each notation reads without a note, because it is how the field
// writes or groups its number, or loses nothing:
// - Binary, octal, hexadecimal, base 36: every digit of the base, letters in
//   either case, wherever it stands. Blanks anywhere ("dead beef"); '_' and
//   '\'' between two digits ("1_000"); the field's own prefix at the start,
//   after blanks ("0x1F" in hexadecimal, "0b101" in binary, "0o17" in octal),
//   whose letter the reader skips. Any other character is skipped: a note
//   "ignored", since the reading goes on past it.
// - Decimal and float: blanks before and after the number. A reading stops
//   at the first character that does not continue its number, so what
//   follows is "read up to" what was read, or "a blank ends a decimal
//   number" when a blank stops it before more digits ("1 000"); a text with
//   no number at all reads as 0 ("abc is not a number").
// - IP address: up to four dotted groups of one to three digits, blanks
//   anywhere that a group's digits are not cut short. A group's text runs
//   from its first digit to the next dot: above 255 it reads as 0, and of
//   more than three characters ("1234", "123 ") it reads as 0 and so does
//   every group after it (the reader never finds the next group's start).
//   A character in a group after its first digits, or anywhere else but a
//   dot or a blank, is ignored; after the fourth group the reading stops.
// - Version: the major, minor and bug fix numbers between dots, each after
//   blanks and an optional sign, then in the last of them a stage letter (d,
//   a, b, f, or "fc") and a revision. Dots, and blanks before a number or the
//   stage, lose nothing. A number too big for its place keeps its low bits;
//   anything else is ignored, and "read up to" when nothing read follows it
//   (as after a third dot).
// - Text: never a note here. Every byte is read; a character that is not one
//   byte is seen in the UTF-8 text, by the caller, and a text of more than
//   eight bytes is ReadNotation's too-big warning. Too big numbers in the
//   other notations are that warning too, not a note.
//
// A text gets one note, the first that applies in the order of
// ReadingNoteKind below (the most lost first). Nothing allocates.
#ifndef BITLENS_READINGNOTE_H
#define BITLENS_READINGNOTE_H

#include "Message.h"
#include "Notation.h"

#include <bitset>

enum ReadingNoteKind {
    eReadingNoteNone, // read as typed
    eReadingNoteGroupTooLong, // an IP group of four or more characters. Token: the group
    eReadingNoteGroupAboveByte, // an IP group above 255 reads as 0. Token: its digits
    eReadingNoteNotANumber, // nothing read: the text reads as 0. Token: it, blanks trimmed
    eReadingNotePartTooBig, // a version part kept only its low bits. Token: it, sign and all
    eReadingNoteBlankEndsNumber, // a decimal or float ended by a blank before more digits
    eReadingNoteReadUpTo, // the reading stopped. Token: what was read, from its first non-blank
    eReadingNoteIgnored, // characters skipped, marked in `ignored`
    eReadingNoteKindCount
};

struct ReadingNote {
    ReadingNoteKind kind = eReadingNoteNone;
    Notation notation = eNotationCount;
    // The token's bytes in the text, for every kind but eReadingNoteIgnored.
    // For eReadingNoteReadUpTo and eReadingNoteBlankEndsNumber the token is
    // what the reading took, up to where it stopped (trailing blanks left
    // out): that beginning of the text alone reads the same number.
    int tokenBegin = 0;
    int tokenLength = 0;
    // For eReadingNoteIgnored: the byte index of each character skipped
    // (each byte is one character typed; a field holds 127), and how many
    // there are in all, also past the indices marked.
    std::bitset<kFieldBufferSize> ignored;
    int ignoredCount = 0;
};

// How ReadNotation reads `text` (the engine's bytes, zero-terminated) in the
// field of `notation`. Reads the text without changing it.
ReadingNote NoteReading(Notation notation, const char* text);

// Every note in English, one row per kind; eReadingNoteIgnored has one per
// notation that uses it (the variant is the Notation plus one, 0 for any).
// The token of "ignored" is the characters skipped, in order, as typed.
inline constexpr MessageTemplate kReadingNoteMessages[] = {
    { eReadingNoteGroupTooLong, 0,
        BITLENS_TRANSLATABLE(
            "Message", "%1 is more than three characters: it and the rest read as 0") },
    { eReadingNoteGroupAboveByte, 0,
        BITLENS_TRANSLATABLE("Message", "%1 is more than a byte: the group reads as 0") },
    { eReadingNoteNotANumber, 0, BITLENS_TRANSLATABLE("Message", "%1 is not a number: read as 0") },
    { eReadingNotePartTooBig, 0,
        BITLENS_TRANSLATABLE("Message", "%1 does not fit its place: its low bits are read") },
    { eReadingNoteBlankEndsNumber, 0,
        BITLENS_TRANSLATABLE("Message", "a blank ends a decimal number: read up to %1") },
    { eReadingNoteReadUpTo, 0, BITLENS_TRANSLATABLE("Message", "read up to %1") },
    { eReadingNoteIgnored, eNotationBinary + 1,
        BITLENS_TRANSLATABLE("Message", "ignored: %1 (not a binary digit)") },
    { eReadingNoteIgnored, eNotationOctal + 1,
        BITLENS_TRANSLATABLE("Message", "ignored: %1 (not an octal digit)") },
    { eReadingNoteIgnored, eNotationHexadecimal + 1,
        BITLENS_TRANSLATABLE("Message", "ignored: %1 (not a hexadecimal digit)") },
    { eReadingNoteIgnored, eNotationQuixadecimal + 1,
        BITLENS_TRANSLATABLE("Message", "ignored: %1 (not a base-36 digit)") },
    { eReadingNoteIgnored, 0, BITLENS_TRANSLATABLE("Message", "ignored: %1") },
};

// The template of `note`'s message, or null for eReadingNoteNone. The
// token is the characters of the text that the note marks.
const char* ReadingNoteTemplate(const ReadingNote& note);

#endif
