#include "ReadingNote.h"

#include "Characters.h"
#include "FloatNotation.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// What a reading did with the text's bytes, as the readers below walk it:
// the bytes read, the bytes skipped, and the notes found on the way.
class Marks {
public:
    Marks(Notation notation, const char* text)
        : fText(text)
    {
        fNote.notation = notation;
    }

    int Offset(const char* p) const { return int(p - fText); }

    void Read(const char* begin, const char* end)
    {
        if (begin >= end)
            return;
        fLastRead = std::max(fLastRead, Offset(end) - 1);
    }
    void Ignore(const char* p)
    {
        const int index = Offset(p);
        if (index < kFieldBufferSize)
            fNote.ignored.set(std::size_t(index));
        ++fNote.ignoredCount;
        fFirstIgnored = std::min(fFirstIgnored, index);
    }
    // Each non-blank byte of [begin, end) outside [readBegin, readEnd).
    void IgnoreOutside(
        const char* begin, const char* end, const char* readBegin, const char* readEnd)
    {
        for (const char* p = begin; p < end; ++p) {
            if (!IsBlank(*p) && (p < readBegin || p >= readEnd))
                Ignore(p);
        }
    }

    // The first note of its kind is kept; a kind earlier in the order wins.
    void Note(ReadingNoteKind kind, const char* begin, const char* end)
    {
        if (fFound != eReadingNoteNone && fFound <= kind)
            return;
        fFound = kind;
        fNote.tokenBegin = Offset(begin);
        fNote.tokenLength = int(end - begin);
    }

    bool AnyRead() const { return fLastRead >= 0; }
    bool AnyIgnored() const { return fNote.ignoredCount != 0; }
    // Every byte skipped comes after the last byte read.
    bool IgnoredOnlyAtEnd() const { return fFirstIgnored > fLastRead; }
    // What came before `stop`, from its first non-blank byte to its last.
    void NoteReadUpTo(const char* stop)
    {
        const char* begin = FirstNonBlank();
        while (stop > begin && IsBlank(stop[-1]))
            --stop;
        Note(eReadingNoteReadUpTo, begin, stop);
    }
    const char* FirstIgnored() const { return fText + fFirstIgnored; }
    void NoteNotANumber()
    {
        const char* begin = FirstNonBlank();
        const char* end = begin + std::strlen(begin);
        while (end > begin && IsBlank(end[-1]))
            --end;
        Note(eReadingNoteNotANumber, begin, end);
    }

    const char* FirstNonBlank() const
    {
        const char* p = fText;
        while (IsBlank(*p))
            ++p;
        return p;
    }

    ReadingNote Finish()
    {
        if (fFound == eReadingNoteNone && AnyIgnored())
            fFound = eReadingNoteIgnored;
        fNote.kind = fFound;
        if (fFound != eReadingNoteIgnored) {
            fNote.ignored.reset();
            fNote.ignoredCount = 0;
        } else {
            fNote.tokenBegin = fNote.tokenLength = 0;
        }
        return fNote;
    }

private:
    const char* fText;
    ReadingNote fNote;
    ReadingNoteKind fFound = eReadingNoteNone;
    int fLastRead = -1;
    int fFirstIgnored = INT_MAX;
};

bool IsBlankText(const char* p)
{
    while (IsBlank(*p))
        ++p;
    return *p == '\0';
}

// --- Binary, octal, hexadecimal, base 36 -------------------------------------

int DigitOf(char c, int base)
{
    const int digit = DigitValue(static_cast<unsigned char>(Lower(c)));
    return digit < base ? digit : -1;
}

// GenericNewValue: every digit of the base, wherever it stands.
void NoteRadix(Marks& marks, const char* text, int base)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    // The field's own prefix, which the reader skips: its 0 is a digit.
    const char prefix = base == 2 ? 'b' : base == 8 ? 'o' : base == 16 ? 'x' : '\0';
    const char* prefixLetter
        = prefix != '\0' && p[0] == '0' && Lower(p[1]) == prefix ? p + 1 : nullptr;
    bool afterDigit = false;
    for (p = text; *p != '\0';) {
        if (DigitOf(*p, base) >= 0) {
            marks.Read(p, p + 1);
            afterDigit = true;
            ++p;
            continue;
        }
        if (IsBlank(*p) || p == prefixLetter) {
            ++p;
            continue;
        }
        if (*p != '_' && *p != '\'') {
            marks.Ignore(p);
            afterDigit = false;
            ++p;
            continue;
        }
        // A run of separators and blanks groups digits when digits stand on
        // both sides of it.
        const char* run = p;
        while (*p == '_' || *p == '\'' || IsBlank(*p))
            ++p;
        if (!afterDigit || DigitOf(*p, base) < 0) {
            for (const char* q = run; q < p; ++q) {
                if (!IsBlank(*q))
                    marks.Ignore(q);
            }
        }
    }
}

// --- Decimal and float ---------------------------------------------------------

// A reading that takes [begin, stop) of the text, `found` when a number was
// there to read.
void NoteNumberReading(Marks& marks, const char* begin, const char* stop, bool found)
{
    if (!found) {
        if (*begin != '\0')
            marks.NoteNotANumber();
        return;
    }
    marks.Read(begin, stop);
    const char* rest = stop;
    while (IsBlank(*rest))
        ++rest;
    if (*rest == '\0')
        return;
    marks.Note(IsBlank(*stop) && IsDecimalDigit(*rest) ? eReadingNoteBlankEndsNumber
                                                       : eReadingNoteReadUpTo,
        begin, stop);
}

// ReadDecimal: blanks, one sign, digits, and no further.
void NoteDecimal(Marks& marks, const char* text)
{
    const char* begin = text;
    while (IsBlank(*begin))
        ++begin;
    const char* digits = begin + (*begin == '+' || *begin == '-');
    const char* stop = digits;
    while (IsDecimalDigit(*stop))
        ++stop;
    NoteNumberReading(marks, begin, stop, stop != digits);
}

void NoteFloat(Marks& marks, const char* text)
{
    const char* begin = text;
    while (IsBlank(*begin))
        ++begin;
    const char* stop = FloatReadingEnd(text);
    NoteNumberReading(marks, begin, stop, stop != text);
}

// --- IP address ----------------------------------------------------------------

// NewIPAddress, step for step: a group's text runs from its first digit to
// the next dot, and only its leading digits count.
void NoteIPAddress(Marks& marks, const char* text)
{
    int shift = 24;
    const char* start = text;
    const char* stop = nullptr; // the dot after the fourth group, when text follows
    for (const char* p = text;; ++p) {
        const char c = *p;
        if (IsDecimalDigit(c)) {
            if (!IsDecimalDigit(*start))
                start = p;
            continue;
        }
        if (c != '.' && c != '\0') {
            if (!IsBlank(c))
                marks.Ignore(p);
            continue;
        }
        const std::ptrdiff_t length = p - start;
        if (IsDecimalDigit(*start) && length > 3) {
            // The group is skipped and the reader never finds another start.
            marks.Note(eReadingNoteGroupTooLong, start, p);
            break;
        }
        if (length >= 1 && length <= 3) {
            if (IsDecimalDigit(*start)) {
                const char* digitsEnd = start;
                int number = 0;
                while (digitsEnd < p && IsDecimalDigit(*digitsEnd))
                    number = number * 10 + (*digitsEnd++ - '0');
                marks.Read(start, digitsEnd);
                if (number > 255)
                    marks.Note(eReadingNoteGroupAboveByte, start, digitsEnd);
                for (const char* q = digitsEnd; q < p; ++q) {
                    if (IsDecimalDigit(*q))
                        marks.Ignore(q);
                }
            }
            start = p;
        }
        if (c == '\0')
            break;
        shift -= 8;
        if (shift < 0) {
            stop = p;
            break;
        }
    }
    if (!marks.AnyRead() && (marks.AnyIgnored() || (stop != nullptr && !IsBlankText(stop + 1))))
        marks.NoteNotANumber();
    else if (stop != nullptr && !IsBlankText(stop + 1))
        marks.NoteReadUpTo(stop);
}

// --- Version -------------------------------------------------------------------

struct Span {
    const char* begin;
    const char* end;
};

// ReadVersionInt's reading: blanks, a sign, digits. Empty when no digit
// follows, since then nothing is read. `value` is saturated as there.
Span VersionNumber(const char* p, SInt64& value)
{
    while (IsBlank(*p))
        ++p;
    const char* digits = p + (*p == '+' || *p == '-');
    const char* end = digits;
    SInt64 magnitude = 0;
    for (; IsDecimalDigit(*end); ++end) {
        if (magnitude <= SInt64(INT32_MAX) + 1)
            magnitude = magnitude * 10 + (*end - '0');
    }
    value = *p == '-' ? -magnitude : magnitude;
    return end == digits ? Span { p, p } : Span { p, end };
}

// NewNumVersion, part by part: the first three dotted components hold the
// major (a byte), minor and bug fix (four bits each); the last of them read
// also holds the stage letter and the revision (a byte).
void NoteVersion(Marks& marks, const char* text)
{
    const char* components[3] = { text, nullptr, nullptr };
    int count = 1;
    const char* thirdDot = nullptr;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '.')
            continue;
        if (count < 3)
            components[count] = p + 1;
        else if (count == 3)
            thirdDot = p;
        ++count;
    }
    const int stageComponent = count == 2 ? 1 : count >= 3 ? 2 : -1;
    for (int k = 0; k < std::min(count, 3); ++k) {
        const char* begin = components[k];
        const char* end = begin;
        while (*end != '\0' && *end != '.')
            ++end;
        SInt64 value = 0;
        const Span number = VersionNumber(begin, value);
        marks.Read(number.begin, number.end);
        const SInt64 limit = k == 0 ? 255 : 15;
        if (number.begin != number.end && (value < 0 || value > limit))
            marks.Note(eReadingNotePartTooBig, number.begin, number.end);
        Span stage { end, end };
        Span revision { end, end };
        if (k == stageComponent) {
            for (const char* p = begin; p < end; ++p) {
                if (*p == 'd' || *p == 'a' || *p == 'b' || *p == 'f') {
                    stage = { p, p + 1 + (*p == 'f' && p[1] == 'c') };
                    break;
                }
            }
            if (stage.begin != end) {
                marks.Read(stage.begin, stage.end);
                revision = VersionNumber(stage.end, value);
                marks.Read(revision.begin, revision.end);
                if (revision.begin != revision.end && (value < 0 || value > 255))
                    marks.Note(eReadingNotePartTooBig, revision.begin, revision.end);
            }
        }
        for (const char* p = begin; p < end; ++p) {
            const bool read = (p >= number.begin && p < number.end)
                || (p >= stage.begin && p < stage.end) || (p >= revision.begin && p < revision.end);
            if (!read && !IsBlank(*p))
                marks.Ignore(p);
        }
    }
    if (thirdDot != nullptr) {
        for (const char* p = thirdDot + 1; *p != '\0'; ++p) {
            if (!IsBlank(*p))
                marks.Ignore(p);
        }
    }
    // The dots up to the third decide which parts the text has, even after
    // characters skipped ("1.2x." has an empty bug fix part).
    const char* lastCountingDot = count >= 3 ? components[2] - 1
        : count == 2                         ? components[1] - 1
                                             : text;
    // With no number read the version is 0, but for the final stage that
    // a third part brings.
    if (!marks.AnyRead() && marks.AnyIgnored() && count < 3)
        marks.NoteNotANumber();
    if (marks.AnyIgnored() && marks.AnyRead() && marks.IgnoredOnlyAtEnd()
        && marks.FirstIgnored() > lastCountingDot)
        marks.NoteReadUpTo(marks.FirstIgnored());
}

} // namespace

ReadingNote NoteReading(Notation notation, const char* text)
{
    Marks marks(notation, text);
    switch (notation) {
    case eNotationBinary: NoteRadix(marks, text, 2); break;
    case eNotationOctal: NoteRadix(marks, text, 8); break;
    case eNotationHexadecimal: NoteRadix(marks, text, 16); break;
    case eNotationQuixadecimal: NoteRadix(marks, text, 36); break;
    case eNotationDecimal: NoteDecimal(marks, text); break;
    case eNotationFloat: NoteFloat(marks, text); break;
    case eNotationIPAddress: NoteIPAddress(marks, text); break;
    case eNotationNumVersion: NoteVersion(marks, text); break;
    default: break;
    }
    return marks.Finish();
}

const char* ReadingNoteTemplate(const ReadingNote& note)
{
    if (note.kind == eReadingNoteNone)
        return nullptr;
    return FindMessageTemplate(kReadingNoteMessages, note.kind, note.notation + 1);
}
