// How a field's text becomes its row's number: as an expression in the
// fields that read them, plainly otherwise, and what the row's message line
// says about it: a number too big, a calculation not yet whole, characters
// skipped or read otherwise than typed.
#ifndef BITLENS_FIELDREADING_H
#define BITLENS_FIELDREADING_H

#include "engine/Notation.h"
#include "engine/WideConverter.h"

#include <string>
#include <string_view>

// What a message says of the text, for whoever acts on it (the command
// line's exit status): the number read, and how much of what was typed.
enum MessageKind {
    eMessageNone,
    eMessageWidened, // a calculation's result made the row wider: all of it is shown
    eMessageTooBig, // more than 128 bits were spelt: part of the number is shown
    eMessageWrapped, // a step of the calculation needed more than its 64 or 128 bits
    eMessageDivisionByZero, // the row keeps its last number
    eMessageIncomplete, // not yet a whole calculation: the row keeps its last number
    eMessageMisread, // characters skipped, or read otherwise than typed
    eMessageEntered, // a note, no warning: Enter recorded the field's text in the history
    eMessageUuid, // a note, no warning: the version and variant of the UUID read
};

struct RowMessage {
    MessageKind kind = eMessageNone;
    Notation notation = eNotationCount; // the field it is about
    // The words, in English: one of the templates of the engine's and the
    // model's message tables, "%1" standing for the token. Null for none.
    const char* text = nullptr;
    std::string token; // UTF-8, as typed
    // The text typed was longer than a field holds and lost its end: the
    // message is about the characters kept.
    bool cut = false;

    bool operator==(const RowMessage& other) const;
    bool operator!=(const RowMessage& other) const { return !(*this == other); }
    // What is said around the message of `text`: a template whose "%1" is
    // that message (or that stands alone when there is none), in English;
    // null when the message is said as it stands.
    const char* frame() const;
    // The message in English, the token in its place, in its frame.
    std::string english() const;
};

// The words of the message for a number too big, typed into the field of
// `notation` (a decimal too large, not too negative), in English: the
// longest a message line usually shows, for a view to keep room for.
const char* TooBigMessageText(Notation notation);

// Whether `text` (UTF-8) typed into the field of `notation` is read as a
// calculation rather than as a plain number.
bool IsCalculation(Notation notation, std::string_view text);

// What the message line says when a calculation typed into the field of
// `notation` gave a result that needs all `width` bits the row has grown to.
RowMessage WidenedMessage(Notation notation, UInt16 width);

// What the message line says after Enter recorded the text of the field
// of `notation` in the history, until the next edit.
RowMessage EnteredMessage(Notation notation);

// `message`, about the characters kept of a text typed into the field of
// `notation` and cut to the field's length, as said of a text that was cut.
RowMessage CutMessage(RowMessage message, Notation notation);

// Reads `text` (UTF-8, as the field holds it) typed into the field of
// `notation` into `number`, in `endian`, as ReadNotation reads a plain text
// and the expression evaluator a calculation; a calculation that is not
// whole, or divides by zero, leaves `number` as it was. Returns what the
// row's message line says about the text, or, with `describe` false,
// nothing (a text the model re-reads was described when it was typed).
RowMessage ReadFieldText(
    WideConverter& number, Notation notation, std::string_view text, Endian endian, bool describe);

#endif
