// A bit-field layout: names for runs of a register's bits, as a plain value.
// A field is bits msb down to lsb of a 128-bit number (bit 0 the least
// significant), at most 64 of them, with an optional description, a sign, and optional names
// for some of its values. Fields may overlap and bits may stay unnamed.
//
// Texts are UTF-8. Nothing here checks a layout on its own: a layout from
// anywhere (the user, a file) goes through LayoutProblems before it is
// trusted, and the bit functions below give 0 for a field whose bits are
// out of range rather than shifting past the number.
#ifndef BITLENS_BITFIELDLAYOUT_H
#define BITLENS_BITFIELDLAYOUT_H

#include "engine/BaseConverter.h"
#include "engine/WideInteger.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

constexpr int kHighestBit = 127;
// A field's value is a 64-bit number: no field is wider.
constexpr int kMaxFieldBits = 64;
// What the vendors' formats (SVD, C headers, Wavedrom) describe: registers
// of at most 64 bits.
constexpr int kHighestVendorBit = 63;
// Past these a layout is refused: no register has more, and the window
// shows every field and every name.
constexpr std::size_t kMaxLayoutFields = 1024;
constexpr std::size_t kMaxNamedValues = 65536;

// What a field's decimal cell reads its bits as besides an integer: an
// IEEE-754 float of the field's width (half, single, double, and binary128
// at 128 bits), or bfloat16 at 16 bits. At any other width the field reads
// as an integer, as without it.
enum FieldFloat : int { eFieldFloatNone, eFieldFloatIeee, eFieldFloatBfloat16 };

// A name for one value of a field, such as 3 = AUTO. `value` is the
// field's bits, shifted down to bit 0.
struct NamedValue {
    UInt64 value = 0;
    std::string name;
    std::string description;

    bool operator==(const NamedValue& other) const
    {
        return value == other.value && name == other.name && description == other.description;
    }
    bool operator!=(const NamedValue& other) const { return !(*this == other); }
};

struct BitField {
    std::string name;
    int msb = 0;
    int lsb = 0;
    std::string description;
    bool isSigned = false; // read as two's complement at the field's width
    std::vector<NamedValue> values; // in the order given; the first of a value wins
    // The name of every value not in `values` (an SVD file's default
    // enumerated value); its `value` means nothing.
    std::optional<NamedValue> otherValues;
    FieldFloat floatReading = eFieldFloatNone;

    bool operator==(const BitField& other) const;
    bool operator!=(const BitField& other) const { return !(*this == other); }
};

struct BitFieldLayout {
    std::string name;
    std::string description;
    int width = 0; // 8, 16, 32, 64 or 128; 0 when the layout does not say
    std::vector<BitField> fields;

    bool operator==(const BitFieldLayout& other) const;
    bool operator!=(const BitFieldLayout& other) const { return !(*this == other); }
};

// --- A field's bits --------------------------------------------------------

inline bool FieldBitsValid(const BitField& field)
{
    return field.lsb >= 0 && field.msb >= field.lsb && field.msb <= kHighestBit
        && field.msb - field.lsb < kMaxFieldBits;
}
// 1 to 64 for a field whose bits are valid.
inline int FieldWidth(const BitField& field)
{
    return field.msb - field.lsb + 1;
}
// The field's bits where they lie in the number; 0 when they are not valid.
UInt128 FieldMask(const BitField& field);
// The field's bits of `number`, shifted down to bit 0.
UInt64 FieldValue(const BitField& field, UInt128 number);
// The same bits read as two's complement at the field's width, whether or
// not the field is marked signed: a 4-bit field holding 0xF reads -1.
SInt64 FieldSignedValue(const BitField& field, UInt128 number);
// `number` with the field's bits replaced by the low bits of `value`, every
// other bit kept: what editing the field's value does. A negative value
// goes in as its two's complement: WithFieldValue(f, n, UInt64(-3)).
UInt128 WithFieldValue(const BitField& field, UInt128 number, UInt64 value);
// Whether `value` fits the field whole, so that writing it loses nothing.
bool FieldHolds(const BitField& field, UInt64 value);
bool FieldHoldsSigned(const BitField& field, SInt64 value);
// The name that applies to the field holding `value`: the first of its
// named values with that value, else its other-values name, else null. The
// pointer lives as long as the field is not changed.
const NamedValue* NamedValueFor(const BitField& field, UInt64 value);

// --- A field as the window and the command line write and read it ----------

// "31:28", or "5" for a field of one bit.
std::string FieldBitsText(const BitField& field);
// The field's value in `number` in hexadecimal, "0x" and a digit for every
// four bits of the field: "0x02a" for 12 bits.
std::string FieldHexText(const BitField& field, UInt128 number);
// In decimal, signed when the field is marked signed; the float's shortest
// text when it reads as a float (FieldReadsFloat).
std::string FieldDecimalText(const BitField& field, UInt128 number);
// Whether the field's float reading applies at its width.
bool FieldReadsFloat(const BitField& field);
// A float typed for a field that reads as one, as the float fields read it
// ("1.5", "-0", "inf", "nan(0x1)", "0x1p-3"), rounded to the field's format:
// its bits. Nothing when the text is not wholly a float or the field does
// not read as one.
std::optional<UInt64> ReadFieldFloat(const BitField& field, std::string_view text);
// A value typed for the field, in `base` 16 ("0x" optional) or 10 (a minus
// sign gives the two's complement at the field's width, whether or not the
// field is marked signed). Blanks around it and '_' or ' ' between digits
// are allowed. Nothing when it is not a number or the field cannot hold it.
std::optional<UInt64> ReadFieldValue(const BitField& field, std::string_view text, int base);
// Bits typed as "31:28", "[31:28]" or "5": {msb, lsb}, each 0 to 127, msb
// not below lsb; nothing otherwise.
std::optional<std::pair<int, int>> ReadFieldBits(std::string_view text);
// The field's named values as "0 = OFF, 1 = ON, 3 = AUTO".
std::string NamedValuesText(const BitField& field);
// Named values typed so, separated by commas, each value in decimal or with
// 0x in hexadecimal, the descriptions kept of the values that stay; nothing
// when a part is not VALUE = NAME or a value does not fit the field.
std::optional<std::vector<NamedValue>> ReadNamedValues(
    const BitField& field, std::string_view text);

// --- A layout as a whole ---------------------------------------------------

// The layout's width, or when it gives none the narrowest of 8, 16, 32, 64
// and 128 that holds every field's bits.
int LayoutWidth(const BitFieldLayout& layout);
// Every pair of fields that share a bit, as indexes (first < second), in
// order: what the user is told about.
std::vector<std::pair<std::size_t, std::size_t>> OverlappingFields(const BitFieldLayout& layout);
// The bits that more than one field claims.
UInt128 OverlappingBits(const BitFieldLayout& layout);

// --- Lanes: a vector register's equal fields ---------------------------------

// The lane sizes that split `width` bits in two or more equal lanes: at 128
// bits 8, 16, 32 and 64, at 64 bits 8, 16 and 32; none at 8.
std::vector<int> LaneSizes(int width);
// `width` bits split in lanes of `laneBits`, lane0 the least significant,
// each read as `reading` reads (its sign and float reading) where its size
// has that reading; `name` is the layout's. Nothing when `laneBits` does
// not split `width` (a single lane of the whole width is one).
std::optional<BitFieldLayout> LanesLayout(
    int width, int laneBits, const BitField& reading, std::string name);

enum LayoutProblemKind {
    eProblemBadWidth, // the layout's width is not 0, 8, 16, 32, 64 or 128
    eProblemTooManyFields, // more than kMaxLayoutFields
    eProblemNoName, // a field's name is empty or only blanks
    eProblemBitsReversed, // msb below lsb
    eProblemPastHighestBit, // msb above the highest bit or lsb below 0
    eProblemPastWidth, // msb at or above the layout's width
    eProblemFieldTooWide, // more than kMaxFieldBits bits
    eProblemTooManyValues, // more than kMaxNamedValues
    eProblemValueNoName, // a named value's name is empty or only blanks
    eProblemValueTooWide, // a named value does not fit its field
};

struct LayoutProblem {
    LayoutProblemKind kind;
    int field = -1; // the field's index, or -1 for the layout itself
    // The named value's index within the field, the field's count of
    // values for its other-values name, or -1.
    int value = -1;

    bool operator==(const LayoutProblem& other) const
    {
        return kind == other.kind && field == other.field && value == other.value;
    }
};

// What keeps the layout from being used, in field order; empty when it is
// sound. Overlaps are not problems. `highestBit` is kHighestBit, or
// kHighestVendorBit for a layout read from a vendor's format, whose
// registers are no wider than 64 bits: such a layout is refused past bit
// 63 and its width past 64.
std::vector<LayoutProblem> LayoutProblems(
    const BitFieldLayout& layout, int highestBit = kHighestBit);

#endif
