#include "BitFieldLayout.h"

#include "engine/Characters.h"
#include "engine/WideFloat.h"

#include <algorithm>
#include <cstdint>

namespace {

// White space as Unicode has it: a name of only U+00A0 or U+2029 is as
// blank to the eye as one of spaces, and the file readers trim both.
bool IsUnicodeSpace(char32_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680
        || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F
        || c == 0x3000;
}

bool Blank(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        if ((byte >= 0x80 && byte < 0xC2) || byte > 0xF4 || at + length > text.size())
            return false; // not UTF-8: shown as replacement characters, never blank
        char32_t c = length == 1 ? byte : byte & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        if ((length == 3 && c < 0x800) || (length == 4 && c < 0x10000))
            return false; // overlong
        if (!IsUnicodeSpace(c))
            return false;
        at += length;
    }
    return true;
}

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && Blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && Blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The digits of `text` in `base`, with single separators between them;
// nothing past 64 bits.
std::optional<UInt64> ReadDigits(std::string_view text, int base)
{
    std::string digits;
    digits.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c != '_' && c != ' ') {
            digits += c;
            continue;
        }
        const bool between
            = !digits.empty() && at + 1 < text.size() && text[at + 1] != '_' && text[at + 1] != ' ';
        if (!between)
            return std::nullopt;
    }
    UInt64 value = 0;
    if (!ReadWholeUnsigned(digits.data(), digits.data() + digits.size(), value, base))
        return std::nullopt;
    return value;
}

std::optional<int> ReadBitNumber(std::string_view text)
{
    text = Trimmed(text);
    // Two digits may start with 0 as they always might ("07"); three may not.
    if (text.empty() || text.size() > 3 || (text.size() == 3 && text.front() == '0'))
        return std::nullopt;
    const auto value = ReadDigits(text, 10);
    if (!value || *value > UInt64(kHighestBit))
        return std::nullopt;
    return int(*value);
}

} // namespace

bool BitField::operator==(const BitField& other) const
{
    return name == other.name && msb == other.msb && lsb == other.lsb
        && description == other.description && isSigned == other.isSigned
        && floatReading == other.floatReading && values == other.values
        && otherValues == other.otherValues;
}

bool BitFieldLayout::operator==(const BitFieldLayout& other) const
{
    return name == other.name && description == other.description && width == other.width
        && fields == other.fields;
}

UInt128 FieldMask(const BitField& field)
{
    if (!FieldBitsValid(field))
        return 0;
    return WideMask(unsigned(FieldWidth(field))) << field.lsb;
}

UInt64 FieldValue(const BitField& field, UInt128 number)
{
    if (!FieldBitsValid(field))
        return 0;
    return UInt64((number & FieldMask(field)) >> field.lsb);
}

SInt64 FieldSignedValue(const BitField& field, UInt128 number)
{
    const UInt64 value = FieldValue(field, number);
    if (!FieldBitsValid(field))
        return 0;
    const int width = FieldWidth(field);
    const bool negative = (value >> (width - 1)) & 1;
    return SInt64(negative ? value | ~WidthMask(unsigned(width)) : value);
}

UInt128 WithFieldValue(const BitField& field, UInt128 number, UInt64 value)
{
    const UInt128 mask = FieldMask(field);
    if (mask == 0)
        return number;
    return (number & ~mask) | ((UInt128(value) << field.lsb) & mask);
}

bool FieldHolds(const BitField& field, UInt64 value)
{
    return FieldBitsValid(field) && value <= WidthMask(unsigned(FieldWidth(field)));
}

bool FieldHoldsSigned(const BitField& field, SInt64 value)
{
    if (!FieldBitsValid(field))
        return false;
    const int width = FieldWidth(field);
    if (width == 64)
        return true;
    const SInt64 highest = SInt64(WidthMask(unsigned(width - 1)));
    return value >= -highest - 1 && value <= highest;
}

const NamedValue* NamedValueFor(const BitField& field, UInt64 value)
{
    for (const NamedValue& named : field.values)
        if (named.value == value)
            return &named;
    return field.otherValues ? &*field.otherValues : nullptr;
}

int LayoutWidth(const BitFieldLayout& layout)
{
    if (layout.width != 0)
        return layout.width;
    int highest = 0;
    for (const BitField& field : layout.fields)
        if (FieldBitsValid(field))
            highest = std::max(highest, field.msb);
    for (int width : { 8, 16, 32, 64 })
        if (highest < width)
            return width;
    return 128;
}

std::vector<std::pair<std::size_t, std::size_t>> OverlappingFields(const BitFieldLayout& layout)
{
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    const auto& fields = layout.fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        for (std::size_t j = i + 1; j < fields.size(); ++j)
            if ((FieldMask(fields[i]) & FieldMask(fields[j])) != 0)
                pairs.emplace_back(i, j);
    return pairs;
}

UInt128 OverlappingBits(const BitFieldLayout& layout)
{
    UInt128 claimed = 0;
    UInt128 twice = 0;
    for (const BitField& field : layout.fields) {
        const UInt128 mask = FieldMask(field);
        twice |= claimed & mask;
        claimed |= mask;
    }
    return twice;
}

std::vector<LayoutProblem> LayoutProblems(const BitFieldLayout& layout, int highestBit)
{
    std::vector<LayoutProblem> problems;
    highestBit = std::min(highestBit, kHighestBit);
    const int width = layout.width;
    const bool knownWidth
        = width == 0 || width == 8 || width == 16 || width == 32 || width == 64 || width == 128;
    if (!knownWidth || width > highestBit + 1)
        problems.push_back({ eProblemBadWidth });
    if (layout.fields.size() > kMaxLayoutFields) {
        problems.push_back({ eProblemTooManyFields });
        return problems;
    }
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        const BitField& field = layout.fields[i];
        const int index = int(i);
        if (Blank(field.name))
            problems.push_back({ eProblemNoName, index });
        if (field.msb < field.lsb)
            problems.push_back({ eProblemBitsReversed, index });
        if (field.msb > highestBit || field.lsb < 0)
            problems.push_back({ eProblemPastHighestBit, index });
        else if (width > 0 && width <= highestBit && field.msb >= width)
            problems.push_back({ eProblemPastWidth, index });
        else if (field.msb - field.lsb >= kMaxFieldBits)
            problems.push_back({ eProblemFieldTooWide, index });
        if (field.values.size() > kMaxNamedValues) {
            problems.push_back({ eProblemTooManyValues, index });
            continue;
        }
        for (std::size_t v = 0; v < field.values.size(); ++v) {
            const NamedValue& named = field.values[v];
            if (Blank(named.name))
                problems.push_back({ eProblemValueNoName, index, int(v) });
            if (FieldBitsValid(field) && !FieldHolds(field, named.value))
                problems.push_back({ eProblemValueTooWide, index, int(v) });
        }
        if (field.otherValues && Blank(field.otherValues->name))
            problems.push_back({ eProblemValueNoName, index, int(field.values.size()) });
    }
    return problems;
}

std::string FieldBitsText(const BitField& field)
{
    if (field.msb == field.lsb)
        return std::to_string(field.msb);
    return std::to_string(field.msb) + ':' + std::to_string(field.lsb);
}

std::string FieldHexText(const BitField& field, UInt128 number)
{
    static const char kDigits[] = "0123456789abcdef";
    const UInt64 value = FieldValue(field, number);
    const int digits = FieldBitsValid(field) ? (FieldWidth(field) + 3) / 4 : 1;
    std::string text(std::size_t(digits) + 2, '0');
    text[1] = 'x';
    for (int at = 0; at < digits; ++at)
        text[text.size() - 1 - std::size_t(at)] = kDigits[(value >> (4 * at)) & 0xF];
    return text;
}

bool FieldReadsFloat(const BitField& field)
{
    if (!FieldBitsValid(field))
        return false;
    const int width = FieldWidth(field);
    switch (field.floatReading) {
    case eFieldFloatIeee: return IsWideFloatWidth(UInt16(width));
    case eFieldFloatBfloat16: return width == 16;
    case eFieldFloatNone: break;
    }
    return false;
}

std::string FieldDecimalText(const BitField& field, UInt128 number)
{
    if (FieldReadsFloat(field)) {
        char text[kWideFloatSize];
        const UInt64 bits = FieldValue(field, number);
        if (field.floatReading == eFieldFloatBfloat16)
            WriteBfloat16(bits, text);
        else
            WriteWideFloat(UInt128(bits), UInt16(FieldWidth(field)), text);
        return text;
    }
    if (field.isSigned)
        return std::to_string(FieldSignedValue(field, number));
    return std::to_string(FieldValue(field, number));
}

std::optional<UInt64> ReadFieldValue(const BitField& field, std::string_view text, int base)
{
    if (!FieldBitsValid(field) || (base != 10 && base != 16))
        return std::nullopt;
    text = Trimmed(text);
    const bool negative = base == 10 && !text.empty() && text.front() == '-';
    if (negative || (!text.empty() && text.front() == '+'))
        text.remove_prefix(1);
    if (base == 16 && text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    const auto magnitude = ReadDigits(text, base);
    if (!magnitude)
        return std::nullopt;
    if (!negative)
        return FieldHolds(field, *magnitude) ? magnitude : std::nullopt;
    // -2^63 is the most negative a field of 64 bits holds.
    if (*magnitude > (UInt64(1) << 63))
        return std::nullopt;
    const SInt64 value = *magnitude == (UInt64(1) << 63) ? INT64_MIN : -SInt64(*magnitude);
    if (!FieldHoldsSigned(field, value))
        return std::nullopt;
    return UInt64(value) & WidthMask(unsigned(FieldWidth(field)));
}

std::optional<UInt64> ReadFieldFloat(const BitField& field, std::string_view text)
{
    if (!FieldReadsFloat(field))
        return std::nullopt;
    // The readers want a terminator, and must not stop at a NUL typed
    // within the text: one there leaves part of it unread, which refuses it.
    const std::string typed(Trimmed(text));
    const char* end = FloatReadingEnd(typed.c_str());
    if (typed.empty() || end != typed.c_str() + typed.size())
        return std::nullopt;
    if (field.floatReading == eFieldFloatBfloat16)
        return ReadBfloat16(typed.c_str());
    return UInt64(ReadWideFloat(typed.c_str(), UInt16(FieldWidth(field))));
}

std::vector<int> LaneSizes(int width)
{
    std::vector<int> sizes;
    for (int bits = 8; bits < width && bits <= kMaxFieldBits; bits *= 2)
        sizes.push_back(bits);
    return sizes;
}

std::optional<BitFieldLayout> LanesLayout(
    int width, int laneBits, const BitField& reading, std::string name)
{
    if (laneBits < 8 || laneBits > width || laneBits > kMaxFieldBits || width > kHighestBit + 1
        || width % laneBits != 0 || (laneBits & (laneBits - 1)) != 0)
        return std::nullopt;
    BitFieldLayout layout;
    layout.name = std::move(name);
    layout.width = width;
    for (int lane = 0; lane < width / laneBits; ++lane) {
        BitField field;
        field.name = "lane" + std::to_string(lane);
        field.lsb = lane * laneBits;
        field.msb = field.lsb + laneBits - 1;
        field.floatReading = reading.floatReading;
        if (!FieldReadsFloat(field)) {
            field.floatReading = eFieldFloatNone;
            field.isSigned = reading.isSigned;
        }
        layout.fields.push_back(std::move(field));
    }
    return layout;
}

std::optional<std::pair<int, int>> ReadFieldBits(std::string_view text)
{
    text = Trimmed(text);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        text = text.substr(1, text.size() - 2);
    const std::size_t colon = text.find(':');
    const auto msb = ReadBitNumber(text.substr(0, colon));
    const auto lsb = colon == std::string_view::npos ? msb : ReadBitNumber(text.substr(colon + 1));
    if (!msb || !lsb || *msb < *lsb)
        return std::nullopt;
    return std::make_pair(*msb, *lsb);
}

std::string NamedValuesText(const BitField& field)
{
    std::string text;
    for (const NamedValue& named : field.values) {
        if (!text.empty())
            text += ", ";
        text += std::to_string(named.value) + " = " + named.name;
    }
    return text;
}

std::optional<std::vector<NamedValue>> ReadNamedValues(const BitField& field, std::string_view text)
{
    std::vector<NamedValue> values;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view part = Trimmed(text.substr(0, comma));
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
        if (part.empty())
            continue;
        const std::size_t equals = part.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        const std::string_view number = Trimmed(part.substr(0, equals));
        const std::string_view name = Trimmed(part.substr(equals + 1));
        const bool hex = number.size() >= 2 && number[0] == '0' && (number[1] | 0x20) == 'x';
        const auto value = ReadFieldValue(field, number, hex ? 16 : 10);
        if (!value || name.empty())
            return std::nullopt;
        NamedValue named { *value, std::string(name), {} };
        for (const NamedValue& old : field.values)
            if (old.value == named.value && old.name == named.name)
                named.description = old.description;
        values.push_back(std::move(named));
        if (values.size() > kMaxNamedValues)
            return std::nullopt;
    }
    return values;
}
