#include "WideNotation.h"

#include "Characters.h"
#include "WideFloat.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

// --- Reading past 64 bits ------------------------------------------------------

// Whether the digits of Base in `text` spell a number of at most 128 bits,
// as HoldsInBase in Notation.cpp asks for 64.
template <unsigned Base> bool HoldsInBase(const char* text)
{
    UInt128 number = 0;
    for (; *text != '\0'; ++text) {
        const int digit = DigitValue(static_cast<unsigned char>(Lower(*text)));
        if (digit < 0 || unsigned(digit) >= Base)
            continue;
        if (__builtin_mul_overflow(number, UInt128(Base), &number)
            || __builtin_add_overflow(number, UInt128(unsigned(digit)), &number))
            return false;
    }
    return true;
}

// Whether a decimal can be stored within the width (FitsWidth in
// Notation.cpp): one that cannot is kept whole, not byte-reversed.
bool FitsWidth(UInt128 bits, bool isSigned, UInt16 width)
{
    if (width == 0 || width >= 128)
        return true;
    if (isSigned && (bits >> 127) != 0)
        return (bits >> (width - 1)) == (kUInt128Max >> (width - 1));
    return (bits >> width) == 0;
}

// ReadDecimal of Notation.cpp over 128 bits: blanks, one sign, digits
// grouped by separators; saturated to the range of the reading the sign
// gives.
void ReadDecimal(WideConverter& number, const char* text, Endian endian)
{
    while (IsBlank(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    UInt128 magnitude = 0;
    bool tooLarge = false;
    for (; IsDecimalDigit(*text); text = PastDecimalSeparators(text + 1)) {
        UInt128 next;
        if (__builtin_mul_overflow(magnitude, UInt128(10), &next)
            || __builtin_add_overflow(next, UInt128(unsigned(*text - '0')), &next))
            tooLarge = true;
        else
            magnitude = next;
    }
    constexpr UInt128 kMostNegative = UInt128(1) << 127;
    number.SetSigned(negative);
    if (negative) {
        const bool beyond = tooLarge || magnitude > kMostNegative;
        const UInt128 bits = beyond ? kMostNegative : 0 - magnitude;
        number.SetSignedDec(
            SInt128(bits), FitsWidth(bits, true, number.BitWidth()) ? endian : eBigEndian);
        number.SetOverflow(beyond);
    } else {
        const UInt128 value = tooLarge ? kUInt128Max : magnitude;
        number.SetUnsignedDec(
            value, FitsWidth(value, false, number.BitWidth()) ? endian : eBigEndian);
        number.SetOverflow(tooLarge);
    }
}

void ReadWhole(WideConverter& number, Notation notation, char* text, Endian endian)
{
    bool holds = true;
    switch (notation) {
    case eNotationBinary:
        number.NewBin(text);
        holds = HoldsInBase<2>(text);
        break;
    case eNotationOctal:
        number.NewOct(text);
        holds = HoldsInBase<8>(text);
        break;
    case eNotationHexadecimal:
        number.NewHex(text);
        holds = HoldsInBase<16>(text);
        break;
    case eNotationQuixadecimal:
        number.NewQuix(text);
        holds = HoldsInBase<36>(text);
        break;
    case eNotationText:
        number.NewText(text);
        holds = std::strlen(text) < std::size_t(WideConverter::kTextSize);
        break;
    case eNotationIPAddress: number.NewIPAddress(text); break;
    case eNotationNumVersion: number.NewNumVersion(text); break;
    case eNotationFloat: ReadFloatNotation(number, text, endian); break;
    default: ReadDecimal(number, text, endian); return;
    }
    number.SetOverflow(!holds);
}

char* PutDigits(char* out, UInt128 bits, int count, int bitsPerDigit)
{
    for (int digit = count - 1; digit >= 0; --digit)
        *out++ = "01234567"
                 "89abcdef"[unsigned(bits >> (digit * bitsPerDigit)) & ((1u << bitsPerDigit) - 1)];
    return out;
}

// --- Notes ---------------------------------------------------------------------

// A note built while a reader walks its text: the first kind in
// ReadingNoteKind's order wins; characters skipped are marked.
class NoteMaker {
public:
    NoteMaker(Notation notation, const char* text)
        : fText(text)
    {
        fNote.notation = notation;
    }

    int Offset(const char* p) const { return int(p - fText); }

    void Offer(ReadingNoteKind kind, const char* begin, const char* end)
    {
        if (fNote.kind != eReadingNoteNone && fNote.kind <= kind)
            return;
        fNote.kind = kind;
        fNote.tokenBegin = Offset(begin);
        fNote.tokenLength = int(end - begin);
    }
    void Ignore(const char* p)
    {
        const int index = Offset(p);
        if (index < kFieldBufferSize)
            fNote.ignored.set(std::size_t(index));
        ++fNote.ignoredCount;
    }
    // The reading stopped at `stop`: what came before, from its first
    // non-blank byte, trailing blanks left out.
    void ReadUpTo(const char* stop)
    {
        const char* begin = fText;
        while (IsBlank(*begin))
            ++begin;
        while (stop > begin && IsBlank(stop[-1]))
            --stop;
        Offer(eReadingNoteReadUpTo, begin, stop);
    }
    // Another note's, of a part of the text at `part`.
    void Take(const ReadingNote& note, const char* part)
    {
        if (note.kind == eReadingNoteIgnored) {
            for (int i = 0; i < kFieldBufferSize; ++i)
                if (note.ignored.test(std::size_t(i)))
                    Ignore(part + i);
        } else if (note.kind == eReadingNoteReadUpTo) {
            ReadUpTo(part + note.tokenBegin + note.tokenLength);
        } else if (note.kind != eReadingNoteNone) {
            Offer(note.kind, part + note.tokenBegin, part + note.tokenBegin + note.tokenLength);
        }
    }

    ReadingNote Finish()
    {
        if (fNote.ignoredCount != 0
            && (fNote.kind == eReadingNoteNone || fNote.kind > eReadingNoteIgnored)) {
            fNote.kind = eReadingNoteIgnored;
            fNote.tokenBegin = fNote.tokenLength = 0;
        } else if (fNote.kind != eReadingNoteIgnored) {
            fNote.ignored.reset();
            fNote.ignoredCount = 0;
        }
        return fNote;
    }

private:
    const char* fText;
    ReadingNote fNote;
};

// --- IPv6 ------------------------------------------------------------------------

struct IPv6Reading {
    UInt128 address;
    ReadingNote note;
};

bool EndsAddress(char c)
{
    return c == '\0' || c == '%' || c == '/' || c == ']';
}

// One walk of the text gives both the address and its note, so the two
// always agree.
IPv6Reading ScanIPv6(const char* text)
{
    NoteMaker notes(eNotationIPAddress, text);
    UInt16 groups[8] = {};
    int count = 0;
    int gapAt = -1; // the number of groups before "::"
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    if (*p == '[')
        ++p;
    bool afterGap = false;
    bool afterColon = false;
    for (;;) {
        const char* end = p;
        bool dotted = false;
        for (; !EndsAddress(*end) && *end != ':'; ++end)
            dotted = dotted || *end == '.';
        const bool gapNext = end[0] == ':' && end[1] == ':';
        const bool room = count + (dotted ? 2 : 1) <= (gapAt >= 0 ? 7 : 8);
        bool empty = true;
        for (const char* q = p; q < end; ++q)
            empty = empty && IsBlank(*q);
        // An empty field is a group unless it stands beside the "::" or is
        // the whole text.
        const bool isGroup = !empty || (!afterGap && !gapNext && (afterColon || *end == ':'));
        if (isGroup && !room) {
            notes.ReadUpTo(p - (afterGap ? 2 : afterColon ? 1 : 0));
            break;
        }
        if (dotted) {
            char part[kFieldBufferSize];
            const auto length
                = std::size_t(end - p < kFieldBufferSize ? end - p : kFieldBufferSize - 1);
            std::memcpy(part, p, length);
            part[length] = '\0';
            notes.Take(NoteReading(eNotationIPAddress, part), p);
            BaseConverter quad {};
            quad.SetBitWidth(32);
            quad.NewIPAddress(part);
            const UInt64 bits = quad.GetValue(eBigEndian);
            groups[count++] = UInt16(bits >> 16);
            groups[count++] = UInt16(bits);
            if (*end == ':')
                notes.ReadUpTo(end);
            break;
        }
        if (isGroup) {
            unsigned value = 0;
            int digits = 0;
            const char* first = nullptr;
            const char* last = nullptr;
            for (const char* q = p; q < end; ++q) {
                const int digit = HexDigitValue(*q);
                if (digit >= 0) {
                    value = (value << 4 | unsigned(digit)) & 0xFFFFF;
                    first = first ? first : q;
                    last = q + 1;
                    ++digits;
                } else if (!IsBlank(*q)) {
                    notes.Ignore(q);
                }
            }
            if (digits > 4)
                notes.Offer(eReadingNoteGroupAboveWord, first, last);
            groups[count++] = UInt16(digits > 4 ? 0 : value);
        }
        if (*end != ':') {
            p = end;
            break;
        }
        if (gapNext) {
            if (gapAt >= 0 || count == 8) {
                notes.ReadUpTo(end);
                break;
            }
            gapAt = count;
            p = end + 2;
        } else {
            p = end + 1;
        }
        afterGap = gapNext;
        afterColon = !gapNext;
    }
    // What may follow the address: a zone, a prefix length, the bracket.
    if (*p == '%') {
        const char* end = p + 1;
        while (*end != '\0' && *end != '/' && *end != ']')
            ++end;
        notes.Offer(eReadingNoteZone, p, end);
        p = end;
    }
    if (*p == '/') {
        const char* end = p + 1;
        while (*end != '\0' && *end != ']')
            ++end;
        notes.Offer(eReadingNotePrefixLength, p, end);
        p = end;
    }
    if (*p == ']') {
        const char* rest = p + 1;
        while (IsBlank(*rest))
            ++rest;
        if (*rest != '\0')
            notes.ReadUpTo(p + 1);
    }

    UInt128 address = 0;
    const int head = gapAt >= 0 ? gapAt : count;
    for (int i = 0; i < count; ++i) {
        const int place = i < head ? 7 - i : count - 1 - i;
        address |= UInt128(groups[i]) << (16 * place);
    }
    return { address, notes.Finish() };
}

// --- UUID --------------------------------------------------------------------------

struct UuidReading {
    UInt128 uuid;
    ReadingNote note;
};

UuidReading ScanUuid(const char* text)
{
    NoteMaker notes(eNotationCount, text);
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    if (BeginsWithWord(p, "urn:uuid:"))
        p += 9;
    UInt128 uuid = 0;
    int digits = 0;
    for (; *p != '\0'; ++p) {
        const int digit = HexDigitValue(*p);
        if (digit >= 0) {
            if (digits == 32) {
                notes.ReadUpTo(p);
                break;
            }
            uuid |= UInt128(unsigned(digit)) << (4 * (31 - digits++));
        } else if (*p != '-' && *p != '{' && *p != '}' && !IsBlank(*p)) {
            notes.Ignore(p);
        }
    }
    return { uuid, notes.Finish() };
}

} // namespace

// --- Notations ---------------------------------------------------------------------

void ReadNotation(WideConverter& number, Notation notation, char* text, Endian endian)
{
    if (notation == eNotationUuid) {
        ReadUuidNotation(number, text);
        return;
    }
    if (notation == eNotationIPAddress && std::strchr(text, ':') != nullptr
        && number.BitWidth() < 128)
        number.SetBitWidth(128);
    if (number.BitWidth() <= 64) {
        BaseConverter low = number.ToBaseConverter();
        ReadNotation(low, notation, text, endian);
        number = WideConverter::FromBaseConverter(low);
        // Flagged there: the text spelt more than 64 bits, which 128 hold.
        if (!low.IsOverflow())
            return;
    }
    ReadWhole(number, notation, text, endian);
}

void WriteNotation(const WideConverter& number, Notation notation, Endian endian, char* out)
{
    if (notation == eNotationUuid) {
        WriteUuidNotation(number, out);
        return;
    }
    if (number.BitWidth() <= 64) {
        WriteNotation(number.ToBaseConverter(), notation, endian, out);
        return;
    }
    switch (notation) {
    case eNotationBinary: number.GetBin(out); break;
    case eNotationOctal: number.GetOct(out); break;
    case eNotationHexadecimal: number.GetHex(out); break;
    case eNotationQuixadecimal: number.GetQuix(out); break;
    case eNotationText: number.GetText(out); break;
    case eNotationIPAddress: number.GetIPAddress(out); break;
    case eNotationNumVersion: number.GetNumVersion(out); break;
    case eNotationFloat: WriteFloatNotation(number, endian, out); break;
    default: number.GetDec(out, endian); break;
    }
}

void WriteLiteral(const WideConverter& number, Notation notation, Endian endian, char* out)
{
    if (number.BitWidth() <= 64) {
        WriteLiteral(number.ToBaseConverter(), notation, endian, out);
        return;
    }
    const UInt128 bits = number.GetValue(eBigEndian);
    switch (LiteralNotation(notation, number.BitWidth())) {
    case eNotationBinary:
        std::memcpy(out, "0b", 2);
        *PutDigits(out + 2, bits, 128, 1) = '\0';
        return;
    case eNotationHexadecimal:
        std::memcpy(out, "0x", 2);
        *PutDigits(out + 2, bits, 32, 4) = '\0';
        return;
    case eNotationOctal: {
        // C's octal: a leading 0, which 0 itself is.
        out[0] = '0';
        int digits = 0;
        while (digits < 43 && (bits >> (3 * digits)) != 0)
            ++digits;
        *PutDigits(out + 1, bits, digits, 3) = '\0';
        return;
    }
    default: break;
    }
    // A number that 64 bits hold is written as the 64-bit record writes it,
    // with its suffix; a wider one has no C literal, only its digits.
    const UInt128 value = number.GetValue(endian);
    const bool isSigned = number.IsSigned() && SInt128(value) < 0;
    if (isSigned ? SInt128(value) >= SInt128(INT64_MIN) : HighHalf(value) == 0) {
        BaseConverter low {};
        low.SetBitWidth(64);
        low.SetSigned(isSigned);
        low.SetUnsignedDec(LowHalf(value), eBigEndian);
        WriteLiteral(low, eNotationDecimal, eBigEndian, out);
        return;
    }
    number.GetDec(out, endian);
}

const char* WideTooBigTemplate(Notation notation, const char* text)
{
    switch (notation) {
    case eNotationDecimal:
        while (IsBlank(*text))
            ++text;
        return *text == '-'
            ? BITLENS_TRANSLATABLE("Message", "beyond 128 bits: the most negative is shown")
            : BITLENS_TRANSLATABLE("Message", "beyond 128 bits: the largest is shown");
    case eNotationText:
        return BITLENS_TRANSLATABLE("Message", "more than 16 characters: 0 is shown");
    default: return BITLENS_TRANSLATABLE("Message", "more than 128 bits: the low 128 are shown");
    }
}

// --- IPv6 --------------------------------------------------------------------------

void WriteIPv6(UInt128 address, char* out)
{
    if ((address >> 32) == 0xFFFF) {
        std::memcpy(out, "::ffff:", 7);
        BaseConverter quad {};
        quad.SetBitWidth(32);
        quad.SetUnsignedDec(UInt32(address), eBigEndian);
        quad.GetIPAddress(out + 7);
        return;
    }
    unsigned groups[8];
    for (int i = 0; i < 8; ++i)
        groups[i] = unsigned(address >> (16 * (7 - i))) & 0xFFFF;
    int runAt = -1;
    int runLength = 1; // a lone zero group is written as 0
    for (int i = 0; i < 8;) {
        int length = 0;
        while (i + length < 8 && groups[i + length] == 0)
            ++length;
        if (length > runLength) {
            runAt = i;
            runLength = length;
        }
        i += length == 0 ? 1 : length;
    }
    for (int i = 0; i < 8; ++i) {
        if (i == runAt) {
            *out++ = ':';
            if (i == 0)
                *out++ = ':';
            i += runLength - 1;
            continue;
        }
        out = std::to_chars(out, out + 4, groups[i], 16).ptr;
        if (i != 7)
            *out++ = ':';
    }
    *out = '\0';
}

UInt128 ReadIPv6(const char* text)
{
    return ScanIPv6(text).address;
}

// --- UUID --------------------------------------------------------------------------

void WriteUuid(UInt128 uuid, char* out)
{
    // 8-4-4-4-12 digits: the high word's 16, then the low word's.
    char digits[32];
    for (int half = 0; half < 2; ++half) {
        UInt64 word = half == 0 ? HighHalf(uuid) : LowHalf(uuid);
        for (int digit = 15; digit >= 0; --digit, word >>= 4)
            digits[16 * half + digit] = "0123456789abcdef"[word & 0xF];
    }
    std::memcpy(out, digits, 8);
    out[8] = '-';
    std::memcpy(out + 9, digits + 8, 4);
    out[13] = '-';
    std::memcpy(out + 14, digits + 12, 4);
    out[18] = '-';
    std::memcpy(out + 19, digits + 16, 4);
    out[23] = '-';
    std::memcpy(out + 24, digits + 20, 12);
    out[36] = '\0';
}

UInt128 ReadUuid(const char* text)
{
    return ScanUuid(text).uuid;
}

void ReadUuidNotation(WideConverter& number, const char* text)
{
    if (number.BitWidth() < 128)
        number.SetBitWidth(128);
    number.SetUnsignedDec(ReadUuid(text), eBigEndian);
    number.SetOverflow(false);
}

void WriteUuidNotation(const WideConverter& number, char* out)
{
    number.GetUuid(out);
}

// --- Reading notes -----------------------------------------------------------------

ReadingNote NoteWideReading(Notation notation, const char* text)
{
    if (notation == eNotationIPAddress && std::strchr(text, ':') != nullptr)
        return ScanIPv6(text).note;
    if (notation == eNotationUuid)
        return NoteUuidReading(text);
    return NoteReading(notation, text);
}

ReadingNote NoteUuidReading(const char* text)
{
    return ScanUuid(text).note;
}

UuidKind KindOfUuid(UInt128 uuid)
{
    if (uuid == 0)
        return eUuidNil;
    if (uuid == kUInt128Max)
        return eUuidMax;
    const unsigned variant = unsigned(uuid >> 61) & 7;
    if ((variant & 4) == 0)
        return eUuidNcsVariant;
    if ((variant & 2) == 0)
        return eUuidVersioned;
    return (variant & 1) == 0 ? eUuidCompatibilityVariant : eUuidFutureVariant;
}

int UuidVersion(UInt128 uuid)
{
    return int(uuid >> 76) & 0xF;
}

const char* UuidDescriptionTemplate(UInt128 uuid)
{
    return FindMessageTemplate(kUuidMessages, KindOfUuid(uuid), UuidVersion(uuid) + 1);
}

int WriteUuidDescription(UInt128 uuid, char* out, int size)
{
    char version[4];
    *PutUnsigned(version, unsigned(UuidVersion(uuid))) = '\0';
    return FillMessage(UuidDescriptionTemplate(uuid), version, out, size);
}
