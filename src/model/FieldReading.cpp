#include "FieldReading.h"

#include "FieldBytes.h"

#include "engine/Expression.h"
#include "engine/Message.h"
#include "engine/ReadingNote.h"
#include "engine/WideNotation.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace {

// The model's own messages, about a text cut to a field's length and the
// characters the engine cannot hold as a byte.
// What was kept of a text cut to a field's length may still spell too much.
const char kTooBigInRadixKept[]
    = BITLENS_TRANSLATABLE("Message", "they spell more than 128 bits: their low 128 are shown");
const char kCut[] = BITLENS_TRANSLATABLE("Message", "cut to 159 characters");
const char kCutFrame[] = BITLENS_TRANSLATABLE("Message", "cut to 159 characters; %1");
const char kWidened[]
    = BITLENS_TRANSLATABLE("Message", "the result needs %1 bits: the width is now %1");
const char kEntered[] = BITLENS_TRANSLATABLE("Message", "entered in the history");
const char kNotOneByte[] = BITLENS_TRANSLATABLE("Message", "%1 is not one byte: read as ?");

RowMessage Message(MessageKind kind, Notation notation, const char* text, std::string token = {})
{
    return { kind, notation, text, std::move(token) };
}

// Rows hold up to 128 bits: a number needs more to be too big.
const char* TooBig(Notation notation, const char* bytes)
{
    return WideTooBigTemplate(notation, bytes);
}

// The narrowest width that holds a negative result as two's complement.
UInt16 SignedWidth(UInt128 value)
{
    for (UInt16 width : { 8, 16, 32, 64 })
        if (SInt128(value) >= -(SInt128(1) << (width - 1)))
            return width;
    return 128;
}

// The decimal text of a result, with its sign when negative.
void WriteDecimal(const WideExpressionResult& result, char* out)
{
    const bool minus = result.negative && SInt128(result.value) < 0;
    if (minus)
        *out++ = '-';
    *PutUnsigned128(out, minus ? UInt128(0) - result.value : result.value) = '\0';
}

// Stores an expression's result as if its text in the field's notation had
// been typed: a decimal with its sign, so the row is signed exactly when it
// is negative; in another field the bits, which a negative result gives as
// two's complement at the row's width, or wider when it needs more.
void StoreResult(
    WideConverter& number, Notation notation, const WideExpressionResult& result, Endian endian)
{
    if (notation == eNotationDecimal) {
        char decimal[WideConverter::kDecSize + 1];
        WriteDecimal(result, decimal);
        ReadNotation(number, eNotationDecimal, decimal, endian);
        return;
    }
    if (!result.negative) {
        number.SetUnsignedDec(result.value, eBigEndian);
    } else if (number.IsSigned()) {
        number.SetSignedDec(SInt128(result.value), eBigEndian);
    } else {
        const UInt16 width = std::max(number.BitWidth(), SignedWidth(result.value));
        number.SetUnsignedDec(result.value & WideMask(width), eBigEndian);
    }
    number.SetOverflow(false);
}

RowMessage ReadExpression(WideConverter& number, Notation notation, std::string_view text,
    const char* bytes, Endian endian)
{
    const WideExpressionResult result
        = EvaluateWideExpression(bytes, notation, number.IsSigned() != 0, number.BitWidth());
    MessageKind kind = eMessageIncomplete;
    switch (result.status) {
    case eExpressionEvaluated:
    case eExpressionTooBig:
        StoreResult(number, notation, result, endian);
        number.SetOverflow(result.status == eExpressionTooBig);
        kind = result.status == eExpressionTooBig ? eMessageTooBig
            : result.wrapped                      ? eMessageWrapped
                                                  : eMessageNone;
        break;
    case eExpressionDivisionByZero: kind = eMessageDivisionByZero; break;
    default: break;
    }
    const char* words = ExpressionMessageTemplate(result);
    if (!words)
        return {};
    return Message(
        kind, notation, words, CharactersOf(text, result.detail.position, result.detail.length));
}

// What a plain reading read otherwise than typed.
RowMessage NoteOf(Notation notation, std::string_view text, const char* bytes)
{
    if (notation == eNotationText) {
        const int beyond = FirstCharacterBeyondByte(text);
        if (beyond < 0)
            return {};
        return Message(eMessageMisread, notation, kNotOneByte, CharactersOf(text, beyond, 1));
    }
    const ReadingNote note = NoteWideReading(notation, bytes);
    const char* words = ReadingNoteTemplate(note);
    if (!words)
        return {};
    if (note.kind != eReadingNoteIgnored)
        return Message(eMessageMisread, notation, words,
            CharactersOf(text, note.tokenBegin, note.tokenLength));
    std::string skipped;
    for (std::size_t at = 0; at < note.ignored.size(); ++at)
        if (note.ignored[at])
            skipped += CharactersOf(text, int(at), 1);
    return Message(eMessageMisread, notation, words, skipped);
}

} // namespace

const char* TooBigMessageText(Notation notation)
{
    return TooBig(notation, "");
}

bool RowMessage::operator==(const RowMessage& other) const
{
    return kind == other.kind && notation == other.notation && token == other.token
        && cut == other.cut
        && (text == other.text || (text && other.text && std::strcmp(text, other.text) == 0));
}

const char* RowMessage::frame() const
{
    if (!cut)
        return nullptr;
    return text ? kCutFrame : kCut;
}

std::string RowMessage::english() const
{
    char out[kMessageSize] = "";
    if (text)
        FillMessage(text, token.c_str(), out, sizeof out);
    if (const char* around = frame()) {
        char framed[kMessageSize];
        FillMessage(around, out, framed, sizeof framed);
        return framed;
    }
    return out;
}

bool IsCalculation(Notation notation, std::string_view text)
{
    char bytes[kFieldTextBufferSize];
    FieldTextToBytes(text, bytes);
    return IsExpression(bytes, notation);
}

RowMessage WidenedMessage(Notation notation, UInt16 width)
{
    return Message(eMessageWidened, notation, kWidened, std::to_string(width));
}

RowMessage EnteredMessage(Notation notation)
{
    return Message(eMessageEntered, notation, kEntered);
}

RowMessage CutMessage(RowMessage message, Notation notation)
{
    message.cut = true;
    message.notation = notation;
    // Characters typed were not read: whoever acts on the message sees a
    // text read otherwise than typed, unless more was lost.
    if (message.kind == eMessageNone || message.kind == eMessageWidened
        || message.kind == eMessageUuid)
        message.kind = eMessageMisread;
    if (message.text && message.kind == eMessageTooBig
        && std::strcmp(message.text, TooBig(eNotationHexadecimal, "")) == 0)
        message.text = kTooBigInRadixKept;
    return message;
}

RowMessage ReadFieldText(
    WideConverter& number, Notation notation, std::string_view text, Endian endian, bool describe)
{
    char bytes[kFieldTextBufferSize];
    FieldTextToBytes(text, bytes);
    if (IsExpression(bytes, notation)) {
        WideConverter evaluated = number;
        RowMessage message = ReadExpression(evaluated, notation, text, bytes, endian);
        if (message.kind != eMessageIncomplete && message.kind != eMessageDivisionByZero)
            number = evaluated;
        return describe ? message : RowMessage {};
    }
    // Noted first: the reading edits its bytes.
    RowMessage note = describe ? NoteOf(notation, text, bytes) : RowMessage {};
    char original[kFieldTextBufferSize];
    std::memcpy(original, bytes, sizeof bytes);
    ReadNotation(number, notation, bytes, endian);
    if (describe && number.IsOverflow())
        return Message(eMessageTooBig, notation, TooBig(notation, original));
    // A UUID read whole says what kind it is.
    if (describe && notation == eNotationUuid && note.kind == eMessageNone) {
        const UInt128 uuid = number.GetValue(eBigEndian);
        return Message(eMessageUuid, notation, UuidDescriptionTemplate(uuid),
            std::to_string(UuidVersion(uuid)));
    }
    return note;
}
