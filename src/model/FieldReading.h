// How a field's text becomes its row's number: as an expression in the
// fields that read them, plainly otherwise, and what the row's message line
// says about it: a number too big, a calculation not yet whole, characters
// skipped or read otherwise than typed.
#ifndef BITLENS_FIELDREADING_H
#define BITLENS_FIELDREADING_H

#include "engine/BaseConverter.h"
#include "engine/Notation.h"

#include <string>
#include <string_view>

// What a message says of the text, for whoever acts on it (the command
// line's exit status): the number read, and how much of what was typed.
enum MessageKind {
    eMessageNone,
    eMessageTooBig, // more than 64 bits were spelt: part of the number is shown
    eMessageWrapped, // a step of the calculation needed more than 64 bits
    eMessageDivisionByZero, // the row keeps its last number
    eMessageIncomplete, // not yet a whole calculation: the row keeps its last number
    eMessageMisread, // characters skipped, or read otherwise than typed
};

struct RowMessage {
    MessageKind kind = eMessageNone;
    Notation notation = eNotationCount; // the field it is about
    // The words, in English: one of the templates of the engine's and the
    // model's message tables, "%1" standing for the token. Null for none.
    const char* text = nullptr;
    std::string token; // UTF-8, as typed

    bool operator==(const RowMessage& other) const;
    bool operator!=(const RowMessage& other) const { return !(*this == other); }
    // The message in English, the token in its place.
    std::string english() const;
};

// The words of the message for a number too big, typed into the field of
// `notation` (a decimal too large, not too negative), in English: the
// longest a message line usually shows, for a view to keep room for.
const char* TooBigMessageText(Notation notation);

// Reads `text` (UTF-8, as the field holds it) typed into the field of
// `notation` into `number`, in `endian`, as ReadNotation reads a plain text
// and the expression evaluator a calculation; a calculation that is not
// whole, or divides by zero, leaves `number` as it was. Returns what the
// row's message line says about the text, or, with `describe` false,
// nothing (a text the model re-reads was described when it was typed).
RowMessage ReadFieldText(
    BaseConverter& number, Notation notation, std::string_view text, Endian endian, bool describe);

#endif
