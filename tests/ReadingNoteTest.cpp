#include "engine/ReadingNote.h"
#include "engine/FloatNotation.h"
#include "model/FieldBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The row's message as the model fills the note's template: the token is
// the characters the note marks, as the field shows them.
std::string Message(Notation notation, const std::string& text)
{
    const ReadingNote note = NoteReading(notation, text.c_str());
    const char* words = ReadingNoteTemplate(note);
    if (!words)
        return "";
    std::string marked;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (note.kind == eReadingNoteIgnored
                ? i < note.ignored.size() && note.ignored.test(i)
                : int(i) >= note.tokenBegin && int(i) < note.tokenBegin + note.tokenLength)
            marked += text[i];
    std::string token;
    FieldTextFromBytes(marked.c_str(), token);
    char message[kMessageSize];
    FillMessage(words, token.c_str(), message, sizeof message);
    return message;
}

// What ReadNotation makes of `text` in a 64-bit unsigned row: its bits and
// sign.
std::pair<UInt64, bool> Reading(Notation notation, const std::string& text)
{
    BaseConverter number {};
    number.SetBitWidth(64);
    char buffer[kFieldBufferSize];
    CopyFieldText(text.c_str(), buffer);
    ReadNotation(number, notation, buffer, eBigEndian);
    return { number.GetValue(eBigEndian), number.IsSigned() != 0 };
}

// The text as the note describes it, which must read as the text does: what
// was read up to the stop, without the characters skipped, the group above
// a byte as 0, nothing at all for a text that is no number.
std::string AsNoted(const ReadingNote& note, const std::string& text)
{
    std::string noted;
    switch (note.kind) {
    case eReadingNoteIgnored:
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!note.ignored.test(i))
                noted += text[i];
        }
        return noted;
    case eReadingNoteReadUpTo:
    case eReadingNoteBlankEndsNumber:
        return text.substr(0, std::size_t(note.tokenBegin + note.tokenLength));
    case eReadingNoteGroupAboveByte:
        return text.substr(0, std::size_t(note.tokenBegin)) + "0"
            + text.substr(std::size_t(note.tokenBegin + note.tokenLength));
    case eReadingNoteGroupTooLong: return text.substr(0, std::size_t(note.tokenBegin));
    case eReadingNoteNotANumber: return "";
    default: return text;
    }
}

// Columns: notation, text, the message ("" for none).
struct NoteCase {
    Notation notation;
    const char* text;
    const char* message;
};

void ExpectNotes(const NoteCase* begin, const NoteCase* end)
{
    for (const NoteCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(std::string("\"") + c->text + "\" in notation " + std::to_string(c->notation));
        EXPECT_EQ(Message(c->notation, c->text), c->message);
        const ReadingNote note = NoteReading(c->notation, c->text);
        if (note.kind == eReadingNotePartTooBig)
            continue;
        const auto noted = Reading(c->notation, AsNoted(note, c->text));
        const auto typed = Reading(c->notation, c->text);
        EXPECT_EQ(noted.first, typed.first)
            << "read as noted: \"" << AsNoted(note, c->text) << "\"";
        // A decimal's minus signs the row, even with no number after it.
        if (note.kind != eReadingNoteNotANumber) {
            EXPECT_EQ(noted.second, typed.second);
        }
    }
}

template <std::size_t N> void ExpectNotes(const NoteCase (&cases)[N])
{
    ExpectNotes(cases, cases + N);
}

} // namespace

TEST(NoteReading, SaysWhatTheIssueAsksInItsWords)
{
    const NoteCase cases[] = {
        { eNotationHexadecimal, "ffg", "ignored: g (not a hexadecimal digit)" },
        { eNotationIPAddress, "256.1.1.1", "256 is more than a byte: the group reads as 0" },
        { eNotationNumVersion, "1.2.3x4", "read up to 1.2.3" },
        { eNotationDecimal, "1 000", "a blank ends a decimal number: read up to 1" },
        { eNotationFloat, "abc", "abc is not a number: read as 0" },
    };
    ExpectNotes(cases);
}

TEST(NoteReading, RadixFieldsSkipWhatIsNoDigitAndSayWhich)
{
    const NoteCase cases[] = {
        { eNotationHexadecimal, "dead beef", "" },
        { eNotationHexadecimal, "DEAD BEEF", "" },
        { eNotationHexadecimal, "0x1F", "" },
        { eNotationHexadecimal, " 0XdeadBEEF ", "" },
        { eNotationHexadecimal, "dead_beef", "" },
        { eNotationHexadecimal, "de'ad \t be_ ef", "" },
        { eNotationHexadecimal, "", "" },
        { eNotationHexadecimal, "fgf", "ignored: g (not a hexadecimal digit)" },
        { eNotationHexadecimal, "g h", "ignored: gh (not a hexadecimal digit)" },
        { eNotationHexadecimal, "ff_", "ignored: _ (not a hexadecimal digit)" },
        { eNotationHexadecimal, "_ff", "ignored: _ (not a hexadecimal digit)" },
        { eNotationHexadecimal, "0o17", "ignored: o (not a hexadecimal digit)" },
        { eNotationHexadecimal, "1 0x2", "ignored: x (not a hexadecimal digit)" },
        { eNotationHexadecimal, "ff\xE9", "ignored: \xC3\xA9 (not a hexadecimal digit)" },
        { eNotationHexadecimal, "\xA5", "ignored: \xE2\x80\xA2 (not a hexadecimal digit)" },
        { eNotationBinary, "1010 0101", "" },
        { eNotationBinary, "0b101", "" },
        { eNotationBinary, "1012", "ignored: 2 (not a binary digit)" },
        { eNotationBinary, "0x1", "ignored: x (not a binary digit)" },
        { eNotationOctal, "0o777", "" },
        { eNotationOctal, "1778", "ignored: 8 (not an octal digit)" },
        { eNotationQuixadecimal, "zz 10", "" },
        { eNotationQuixadecimal, "0x1f", "" },
        { eNotationQuixadecimal, "z.z", "ignored: . (not a base-36 digit)" },
        { eNotationQuixadecimal, "\xE9t\xE9", "ignored: \xC3\xA9\xC3\xA9 (not a base-36 digit)" },
    };
    ExpectNotes(cases);
}

TEST(NoteReading, DecimalAndFloatSayWhereTheReadingStopped)
{
    const NoteCase cases[] = {
        { eNotationDecimal, "-5", "" },
        { eNotationDecimal, " -5 ", "" },
        { eNotationDecimal, "+7", "" },
        { eNotationDecimal, "", "" },
        { eNotationDecimal, "  ", "" },
        { eNotationDecimal, "18446744073709551616", "" }, // the too-big warning's
        { eNotationDecimal, "-1 000", "a blank ends a decimal number: read up to -1" },
        { eNotationDecimal, "12abc", "read up to 12" },
        { eNotationDecimal, "12 abc", "read up to 12" },
        { eNotationDecimal, "1.5", "read up to 1" },
        { eNotationDecimal, "1e3", "read up to 1" },
        { eNotationDecimal, "abc", "abc is not a number: read as 0" },
        { eNotationDecimal, " - 5 ", "- 5 is not a number: read as 0" },
        { eNotationDecimal,
            "\xA0"
            "5",
            "\xC2\xA0"
            "5 is not a number: read as 0" },
        { eNotationFloat, "1.5", "" },
        { eNotationFloat, " -2.5e-3 ", "" },
        { eNotationFloat, "inf", "" },
        { eNotationFloat, "-Infinity", "" },
        { eNotationFloat, "nan(0x1)", "" },
        { eNotationFloat, "0x1.8p3", "" },
        { eNotationFloat, "", "" },
        { eNotationFloat, "1.5x", "read up to 1.5" },
        { eNotationFloat, "1,5", "read up to 1" },
        { eNotationFloat, "1e", "read up to 1" },
        { eNotationFloat, "0x1p", "read up to 0x1" },
        { eNotationFloat, "0x", "read up to 0" },
        { eNotationFloat, "infinite", "read up to inf" },
        { eNotationFloat, "nan(1", "read up to nan" },
        { eNotationFloat, "1 000", "a blank ends a decimal number: read up to 1" },
        { eNotationFloat, "-", "- is not a number: read as 0" },
        { eNotationFloat, ".e1", ".e1 is not a number: read as 0" },
    };
    ExpectNotes(cases);
}

TEST(NoteReading, AddressesSayWhichGroupWasLost)
{
    const NoteCase cases[] = {
        { eNotationIPAddress, "192.168.1.1", "" },
        { eNotationIPAddress, " 10.0.0.1 ", "" },
        { eNotationIPAddress, "10.1", "" },
        { eNotationIPAddress, "1..2", "" },
        { eNotationIPAddress, "1.2.3.4.", "" },
        { eNotationIPAddress, "1. 2 .3.4", "" },
        { eNotationIPAddress, "255.255.255.256", "256 is more than a byte: the group reads as 0" },
        { eNotationIPAddress, "999", "999 is more than a byte: the group reads as 0" },
        { eNotationIPAddress, "1234.5.6.7",
            "1234 is more than three characters: it and the rest read as 0" },
        { eNotationIPAddress, "1.2.1234.5",
            "1234 is more than three characters: it and the rest read as 0" },
        // The group runs from its first digit to the dot, blanks and all.
        { eNotationIPAddress, "123 .4.5.6",
            "123  is more than three characters: it and the rest read as 0" },
        { eNotationIPAddress, "1.2.3.4.5", "read up to 1.2.3.4" },
        { eNotationIPAddress, "1x2.3.4.5", "ignored: x2" },
        { eNotationIPAddress, "1 2.3.4", "ignored: 2" },
        { eNotationIPAddress, "a1.2.3.4", "ignored: a" },
        { eNotationIPAddress, "abc", "abc is not a number: read as 0" },
        { eNotationIPAddress, "....x", "....x is not a number: read as 0" },
    };
    ExpectNotes(cases);
}

TEST(NoteReading, VersionsSayWhatWasSkippedOrCutToItsPlace)
{
    const NoteCase cases[] = {
        { eNotationNumVersion, "1.2.3b4", "" },
        { eNotationNumVersion, "1.2.3fc3", "" },
        { eNotationNumVersion, "1.2d5", "" },
        { eNotationNumVersion, "1.2.3", "" },
        { eNotationNumVersion, " 1. 2. 3 b 4", "" },
        { eNotationNumVersion, "1.2.3.", "" },
        { eNotationNumVersion, "1..3", "" },
        { eNotationNumVersion, "1.b3", "" },
        { eNotationNumVersion, "1.2.3x4", "read up to 1.2.3" },
        { eNotationNumVersion, "1.2.x", "read up to 1.2." },
        { eNotationNumVersion, "1.2.3.4", "read up to 1.2.3." },
        { eNotationNumVersion, "1b2", "read up to 1" },
        { eNotationNumVersion, "1.2.3ab4", "read up to 1.2.3a" },
        { eNotationNumVersion, "1.2b3.4", "ignored: b3" },
        { eNotationNumVersion, "1.2.3xb4", "ignored: x" },
        { eNotationNumVersion, "1.2x.", "ignored: x" }, // "1.2" would read no bug fix part
        { eNotationNumVersion, "x", "x is not a number: read as 0" },
        { eNotationNumVersion, "x..", "ignored: x" }, // three parts: a final stage
        { eNotationNumVersion, "1.16", "16 does not fit its place: its low bits are read" },
        { eNotationNumVersion, "300.1", "300 does not fit its place: its low bits are read" },
        { eNotationNumVersion, "-1.2", "-1 does not fit its place: its low bits are read" },
        { eNotationNumVersion, "1.2.3b256", "256 does not fit its place: its low bits are read" },
        { eNotationNumVersion, "1.2.3b255", "" },
    };
    ExpectNotes(cases);
}

TEST(NoteReading, TextIsNeverNotedHere)
{
    for (const char* text : { "", "ABCD", "\xA5\xFF", "123456789", "  " })
        EXPECT_EQ(NoteReading(eNotationText, text).kind, eReadingNoteNone) << text;
}

TEST(NoteReading, NoTextAFieldWritesGetsANote)
{
    const UInt64 numbers[]
        = { 0, 1, 0x7f, 0x80, 0xff, 0xffff, 0x12345678, 0xffffffff, 0x01236004, 0x0123456789abcdef,
              0xc0a80101, 0x7f800001, 0xfff0000000000000, UInt64(1) << 63, ~UInt64(0) };
    for (UInt64 bits : numbers) {
        for (UInt16 width : { 8, 16, 32, 64 }) {
            for (bool isSigned : { false, true }) {
                BaseConverter number {};
                number.SetBitWidth(width);
                number.SetSigned(isSigned);
                number.SetUnsignedDec(bits & WidthMask(width), eBigEndian);
                for (int notation = 0; notation < eNotationCount; ++notation) {
                    char text[kFieldBufferSize];
                    WriteNotation(number, Notation(notation), eBigEndian, text);
                    SCOPED_TRACE(std::string(text) + " in notation " + std::to_string(notation));
                    EXPECT_EQ(NoteReading(Notation(notation), text).kind, eReadingNoteNone);
                }
            }
        }
    }
}

TEST(NoteReading, MarksEveryCharacterIgnoredAndCountsPastAField)
{
    std::string text(200, 'g');
    text[0] = 'f';
    const ReadingNote note = NoteReading(eNotationHexadecimal, text.c_str());
    EXPECT_EQ(note.kind, eReadingNoteIgnored);
    EXPECT_EQ(note.ignoredCount, 199);
    EXPECT_EQ(note.ignored.count(), std::size_t(kFieldBufferSize - 1));
    EXPECT_FALSE(note.ignored.test(0));
}

TEST(FloatReadingEnd, EndsWhereStrtodWould)
{
    // Columns: text, bytes read.
    const std::pair<const char*, int> cases[]
        = { { "1.5", 3 }, { " -1.5e3x", 7 }, { "1e", 1 }, { "1e+", 1 }, { ".5", 2 }, { ".", 0 },
              { "", 0 }, { "-", 0 }, { "inf", 3 }, { "INFINITY!", 8 }, { "infinit", 3 },
              { "nan", 3 }, { "nan(0x12)", 9 }, { "nan(1", 3 }, { "nan(a-b)", 3 }, { "0x1.8p3", 7 },
              { "0x1p", 3 }, { "0x1p-", 3 }, { "0x", 1 }, { "0x.8", 4 }, { "0x.", 1 } };
    for (const auto& [text, length] : cases)
        EXPECT_EQ(FloatReadingEnd(text) - text, length) << text;
}

TEST(ReadingNoteMessages, OneTemplatePerKindAndNotation)
{
    for (const MessageTemplate& row : kReadingNoteMessages) {
        const std::string text = row.text;
        const auto first = text.find("%1");
        ASSERT_NE(first, std::string::npos) << text;
        EXPECT_EQ(text.find('%', first + 1), std::string::npos) << text;
    }
    for (int kind = eReadingNoteNone + 1; kind < eReadingNoteKindCount; ++kind) {
        for (int notation = 0; notation < eNotationCount; ++notation) {
            ReadingNote note;
            note.kind = ReadingNoteKind(kind);
            note.notation = Notation(notation);
            EXPECT_NE(ReadingNoteTemplate(note), nullptr) << kind << " " << notation;
        }
    }
    EXPECT_EQ(ReadingNoteTemplate(ReadingNote {}), nullptr);
}
