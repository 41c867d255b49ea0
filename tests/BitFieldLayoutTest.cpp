#include "model/BitFieldLayout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

BitField Field(int msb, int lsb, const char* name = "F")
{
    BitField field;
    field.name = name;
    field.msb = msb;
    field.lsb = lsb;
    return field;
}

constexpr UInt64 kAll = ~UInt64(0);
constexpr UInt64 kTop = UInt64(1) << 63;
constexpr UInt128 kBit127 = MakeUInt128(kTop, 0);

struct ReadCase {
    const char* name;
    int msb, lsb;
    UInt128 number;
    UInt64 value;
    SInt64 signedValue;
};

std::ostream& operator<<(std::ostream& stream, const ReadCase& c)
{
    return stream << c.name;
}

class FieldReadTest : public testing::TestWithParam<ReadCase> { };

TEST_P(FieldReadTest, ReadsTheFieldsBits)
{
    const ReadCase& c = GetParam();
    const BitField field = Field(c.msb, c.lsb);
    EXPECT_EQ(FieldValue(field, c.number), c.value);
    EXPECT_EQ(FieldSignedValue(field, c.number), c.signedValue);
}

INSTANTIATE_TEST_SUITE_P(Fields, FieldReadTest,
    testing::Values(ReadCase { "TopNibble", 31, 28, 0x12ABCDEF, 0x1, 1 },
        ReadCase { "MiddleByteNegative", 15, 8, 0x12ABCDEF, 0xCD, -51 },
        ReadCase { "LowNibbleAllSet", 3, 0, 0xF, 0xF, -1 },
        ReadCase { "OneBitSetReadsMinusOne", 0, 0, 1, 1, -1 },
        ReadCase { "OneBitClear", 5, 5, 0xFFDF, 0, 0 },
        ReadCase { "WholeNumber", 63, 0, kAll, kAll, -1 },
        ReadCase { "Bit63Alone", 63, 63, kTop, 1, -1 },
        ReadCase { "AllButBit63", 62, 0, kAll, kAll >> 1, -1 },
        ReadCase { "MostNegative64", 63, 0, kTop, kTop, SInt64(kTop) },
        ReadCase { "HighWordOf64", 63, 32, 0x8000000100000000, 0x80000001, -0x7FFFFFFF },
        ReadCase { "AcrossBit64", 64, 60, kAll, 0xF, 15 },
        ReadCase { "HighField100To64", 100, 64, MakeUInt128(0x1000000000, kAll), 0x1000000000,
            -0x1000000000 },
        ReadCase { "Bit127Alone", 127, 127, kBit127, 1, -1 },
        ReadCase {
            "StraddlingHalves", 71, 56, MakeUInt128(0xAB, 0xCD00000000000000), 0xABCD, -0x5433 },
        // Bits out of range read nothing rather than shift past the number.
        ReadCase { "PastBit127", 128, 120, ~UInt128(0), 0, 0 },
        ReadCase { "MoreThan64Bits", 127, 0, ~UInt128(0), 0, 0 },
        ReadCase { "Reversed", 3, 4, kAll, 0, 0 }, ReadCase { "NegativeLsb", 3, -1, kAll, 0, 0 }),
    testing::PrintToStringParamName());

struct WriteCase {
    const char* name;
    int msb, lsb;
    UInt128 number;
    UInt64 value;
    UInt128 written;
};

std::ostream& operator<<(std::ostream& stream, const WriteCase& c)
{
    return stream << c.name;
}

class FieldWriteTest : public testing::TestWithParam<WriteCase> { };

TEST_P(FieldWriteTest, ChangesOnlyTheFieldsBits)
{
    const WriteCase& c = GetParam();
    const BitField field = Field(c.msb, c.lsb);
    EXPECT_EQ(WithFieldValue(field, c.number, c.value), c.written);
}

INSTANTIATE_TEST_SUITE_P(Fields, FieldWriteTest,
    testing::Values(WriteCase { "TopNibble", 31, 28, 0x12ABCDEF, 0xA, 0xA2ABCDEF },
        WriteCase { "ClearsAMiddleByte", 15, 8, 0x12ABCDEF, 0, 0x12AB00EF },
        WriteCase { "WiderValueKeepsItsLowBits", 7, 4, 0, 0x1F, 0xF0 },
        WriteCase { "NegativeAsTwosComplement", 3, 0, 0xFF, UInt64(-3), 0xFD },
        WriteCase { "WholeNumber", 63, 0, 0x1234, kAll, kAll },
        WriteCase { "Bit63", 63, 63, 0, 1, kTop },
        WriteCase { "BitsAboveTheWidthStay", 7, 0, 0xFFFF00000000FF00, 0x5A, 0xFFFF00000000FF5A },
        WriteCase { "HighField100To64", 100, 64, MakeUInt128(kAll, 0x1234), 0,
            MakeUInt128(0xFFFFFFE000000000, 0x1234) },
        WriteCase { "Bit127", 127, 127, 0, 1, kBit127 },
        WriteCase { "StraddlingHalves", 71, 56, 0, 0xABCD, MakeUInt128(0xAB, 0xCD00000000000000) },
        WriteCase { "InvalidFieldChangesNothing", 128, 60, 0x1234, kAll, 0x1234 }),
    testing::PrintToStringParamName());

struct HoldsCase {
    const char* name;
    int msb, lsb;
    UInt64 value;
    bool holds;
    SInt64 signedValue;
    bool holdsSigned;
};

std::ostream& operator<<(std::ostream& stream, const HoldsCase& c)
{
    return stream << c.name;
}

class FieldHoldsTest : public testing::TestWithParam<HoldsCase> { };

TEST_P(FieldHoldsTest, TellsWhetherAValueFits)
{
    const HoldsCase& c = GetParam();
    const BitField field = Field(c.msb, c.lsb);
    EXPECT_EQ(FieldHolds(field, c.value), c.holds);
    EXPECT_EQ(FieldHoldsSigned(field, c.signedValue), c.holdsSigned);
}

INSTANTIATE_TEST_SUITE_P(Fields, FieldHoldsTest,
    testing::Values(HoldsCase { "NibbleLargest", 7, 4, 15, true, 7, true },
        HoldsCase { "NibbleOneTooMany", 7, 4, 16, false, 8, false },
        HoldsCase { "NibbleMostNegative", 7, 4, 0, true, -8, true },
        HoldsCase { "NibbleBelowMostNegative", 7, 4, 0, true, -9, false },
        HoldsCase { "OneBit", 9, 9, 1, true, -1, true },
        HoldsCase { "OneBitTwo", 9, 9, 2, false, 1, false },
        HoldsCase { "Whole64", 63, 0, kAll, true, SInt64(kTop), true },
        HoldsCase { "SixtyThreeBits", 62, 0, kAll >> 1, true, -SInt64(kAll >> 2) - 1, true },
        HoldsCase { "SixtyThreeBitsTooWide", 62, 0, kTop, false, SInt64(kAll >> 2) + 1, false },
        HoldsCase { "InvalidHoldsNothing", 70, 0, 0, false, 0, false }),
    testing::PrintToStringParamName());

TEST(NamedValueTest, FirstNameOfAValueWinsThenTheOtherValuesName)
{
    BitField field = Field(1, 0);
    field.values = { { 0, "OFF", "" }, { 1, "ON", "" }, { 1, "ALSO_ON", "" } };
    ASSERT_NE(NamedValueFor(field, 1), nullptr);
    EXPECT_EQ(NamedValueFor(field, 1)->name, "ON");
    EXPECT_EQ(NamedValueFor(field, 2), nullptr);
    field.otherValues = NamedValue { 0, "RESERVED", "" };
    ASSERT_NE(NamedValueFor(field, 2), nullptr);
    EXPECT_EQ(NamedValueFor(field, 2)->name, "RESERVED");
    EXPECT_EQ(NamedValueFor(field, 0)->name, "OFF");
}

TEST(OverlapTest, ListsEveryPairThatSharesABit)
{
    BitFieldLayout layout;
    layout.fields = { Field(31, 28, "MODE"), Field(27, 16, "COUNT"), Field(29, 27, "ACROSS"),
        Field(0, 0, "EN"), Field(63, 32, "HIGH") };
    using Pair = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(OverlappingFields(layout), (std::vector<Pair> { { 0, 2 }, { 1, 2 } }));
    EXPECT_EQ(OverlappingBits(layout), UInt64(0x38000000));
    layout.fields.pop_back();
    layout.fields.push_back(Field(63, 0, "ALL"));
    EXPECT_EQ(OverlappingFields(layout).size(), 6u);
    EXPECT_EQ(OverlappingBits(layout), UInt64(0xFFFF0001));
}

TEST(LayoutWidthTest, GivenWidthOrTheNarrowestThatHoldsTheFields)
{
    BitFieldLayout layout;
    EXPECT_EQ(LayoutWidth(layout), 8);
    layout.fields = { Field(7, 0) };
    EXPECT_EQ(LayoutWidth(layout), 8);
    layout.fields = { Field(8, 8) };
    EXPECT_EQ(LayoutWidth(layout), 16);
    layout.fields = { Field(31, 0), Field(3, 0) };
    EXPECT_EQ(LayoutWidth(layout), 32);
    layout.fields = { Field(32, 32) };
    EXPECT_EQ(LayoutWidth(layout), 64);
    layout.width = 16;
    EXPECT_EQ(LayoutWidth(layout), 16);
}

struct ProblemCase {
    const char* name;
    BitFieldLayout layout;
    std::vector<LayoutProblem> problems;
};

std::ostream& operator<<(std::ostream& stream, const ProblemCase& c)
{
    return stream << c.name;
}

class LayoutProblemTest : public testing::TestWithParam<ProblemCase> { };

TEST_P(LayoutProblemTest, FindsWhatKeepsTheLayoutFromUse)
{
    EXPECT_EQ(LayoutProblems(GetParam().layout), GetParam().problems);
}

BitFieldLayout Layout(int width, std::vector<BitField> fields)
{
    BitFieldLayout layout;
    layout.width = width;
    layout.fields = std::move(fields);
    return layout;
}

BitField WithValues(BitField field, std::vector<NamedValue> values)
{
    field.values = std::move(values);
    return field;
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutProblemTest,
    testing::Values(ProblemCase { "SoundWithOverlaps",
                        Layout(32, { Field(31, 0, "A"), Field(3, 0, "B") }), {} },
        ProblemCase { "EmptyIsSound", Layout(0, {}), {} },
        ProblemCase { "Width24", Layout(24, {}), { { eProblemBadWidth } } },
        ProblemCase { "NoName", Layout(0, { Field(1, 0, "A"), Field(2, 2, " \t") }),
            { { eProblemNoName, 1 } } },
        ProblemCase { "Reversed", Layout(0, { Field(2, 5) }), { { eProblemBitsReversed, 0 } } },
        ProblemCase {
            "Past127", Layout(0, { Field(128, 120) }), { { eProblemPastHighestBit, 0 } } },
        ProblemCase {
            "NegativeLsb", Layout(0, { Field(3, -1) }), { { eProblemPastHighestBit, 0 } } },
        ProblemCase { "HighFieldsAt128", Layout(128, { Field(127, 127), Field(100, 64) }), {} },
        ProblemCase {
            "PastBit63Needs128", Layout(64, { Field(64, 60) }), { { eProblemPastWidth, 0 } } },
        ProblemCase { "Width256", Layout(256, {}), { { eProblemBadWidth } } },
        ProblemCase { "MoreThan64Bits", Layout(128, { Field(127, 0), Field(64, 1), Field(64, 0) }),
            { { eProblemFieldTooWide, 0 }, { eProblemFieldTooWide, 2 } } },
        ProblemCase { "PastTheWidth", Layout(16, { Field(15, 0), Field(16, 16) }),
            { { eProblemPastWidth, 1 } } },
        ProblemCase { "ValueTooWide",
            Layout(0, { WithValues(Field(1, 0), { { 3, "OK", "" }, { 4, "WIDE", "" } }) }),
            { { eProblemValueTooWide, 0, 1 } } },
        ProblemCase { "ValueWithoutName", Layout(0, { WithValues(Field(1, 0), { { 1, "", "" } }) }),
            { { eProblemValueNoName, 0, 0 } } },
        ProblemCase { "TooManyFields",
            Layout(0, std::vector<BitField>(kMaxLayoutFields + 1, Field(0, 0))),
            { { eProblemTooManyFields } } }),
    testing::PrintToStringParamName());

// The vendors' formats describe registers of 64 bits: past bit 63 is past
// the highest bit there, and 128 no width.
TEST(LayoutProblemTest, VendorLayoutsStopAtBit63)
{
    const int vendor = kHighestVendorBit;
    EXPECT_EQ(LayoutProblems(Layout(0, { Field(63, 0), Field(64, 64) }), vendor),
        (std::vector<LayoutProblem> { { eProblemPastHighestBit, 1 } }));
    EXPECT_EQ(LayoutProblems(Layout(128, {}), vendor),
        (std::vector<LayoutProblem> { { eProblemBadWidth } }));
    EXPECT_TRUE(LayoutProblems(Layout(64, { Field(63, 0) }), vendor).empty());
}

TEST(LayoutProblemTest, OtherValuesNeedAName)
{
    BitFieldLayout layout = Layout(0, { WithValues(Field(1, 0), { { 1, "ON", "" } }) });
    layout.fields[0].otherValues = NamedValue {};
    EXPECT_EQ(
        LayoutProblems(layout), (std::vector<LayoutProblem> { { eProblemValueNoName, 0, 1 } }));
}

} // namespace

namespace {

struct TextCase {
    const char* name;
    int msb, lsb;
    bool isSigned;
    UInt128 number;
    const char* bits;
    const char* hex;
    const char* decimal;
};

std::ostream& operator<<(std::ostream& stream, const TextCase& c)
{
    return stream << c.name;
}

class FieldTextTest : public testing::TestWithParam<TextCase> { };

TEST_P(FieldTextTest, WritesBitsAndValueAsThePanelAndCommandLineShowThem)
{
    const TextCase& c = GetParam();
    BitField field = Field(c.msb, c.lsb);
    field.isSigned = c.isSigned;
    EXPECT_EQ(FieldBitsText(field), c.bits);
    EXPECT_EQ(FieldHexText(field, c.number), c.hex);
    EXPECT_EQ(FieldDecimalText(field, c.number), c.decimal);
}

INSTANTIATE_TEST_SUITE_P(Fields, FieldTextTest,
    testing::Values(TextCase { "TopNibble", 31, 28, false, 0x12ABCDEF, "31:28", "0x1", "1" },
        TextCase { "TwelveBitsKeepThreeDigits", 27, 16, false, 0x102ACDEF, "27:16", "0x02a", "42" },
        TextCase { "OneBit", 0, 0, false, 1, "0", "0x1", "1" },
        TextCase { "SignedReadsNegative", 15, 8, true, 0xCD00, "15:8", "0xcd", "-51" },
        TextCase { "WholeNumberSigned", 63, 0, true, kTop, "63:0", "0x8000000000000000",
            "-9223372036854775808" },
        TextCase { "WholeNumberUnsigned", 63, 0, false, kAll, "63:0", "0xffffffffffffffff",
            "18446744073709551615" },
        TextCase { "FiveBitsTakeTwoDigits", 4, 0, false, 0x1F, "4:0", "0x1f", "31" },
        TextCase { "HighField100To64", 100, 64, false, MakeUInt128(0x1000000000, 0), "100:64",
            "0x1000000000", "68719476736" },
        TextCase { "Bit127Signed", 127, 127, true, kBit127, "127", "0x1", "-1" }),
    testing::PrintToStringParamName());

struct TypedCase {
    const char* name;
    int msb, lsb;
    const char* text;
    int base;
    std::optional<UInt64> value;
};

std::ostream& operator<<(std::ostream& stream, const TypedCase& c)
{
    return stream << c.name;
}

class FieldTypedTest : public testing::TestWithParam<TypedCase> { };

TEST_P(FieldTypedTest, ReadsWhatTheUserTypesIntoAValueCell)
{
    const TypedCase& c = GetParam();
    EXPECT_EQ(ReadFieldValue(Field(c.msb, c.lsb), c.text, c.base), c.value);
}

INSTANTIATE_TEST_SUITE_P(Values, FieldTypedTest,
    testing::Values(TypedCase { "Hex", 7, 0, "0x2A", 16, 0x2A },
        TypedCase { "HexWithoutPrefix", 7, 0, " ff ", 16, 0xFF },
        TypedCase { "HexTooWide", 7, 0, "100", 16, std::nullopt },
        TypedCase { "Decimal", 3, 0, "15", 10, 15 },
        TypedCase { "DecimalTooWide", 3, 0, "16", 10, std::nullopt },
        TypedCase { "NegativeIsTwosComplement", 3, 0, "-1", 10, 0xF },
        TypedCase { "MostNegativeOfFourBits", 3, 0, "-8", 10, 0x8 },
        TypedCase { "BelowMostNegative", 3, 0, "-9", 10, std::nullopt },
        TypedCase { "MostNegativeOf64Bits", 63, 0, "-9223372036854775808", 10, kTop },
        TypedCase { "PastMostNegative", 63, 0, "-9223372036854775809", 10, std::nullopt },
        TypedCase { "AllOf64Bits", 63, 0, "0xffff_ffff_ffff_ffff", 16, kAll },
        TypedCase { "Past64Bits", 63, 0, "18446744073709551616", 10, std::nullopt },
        TypedCase { "SeparatorsBetweenDigits", 15, 0, "1 000", 10, 1000 },
        TypedCase { "SeparatorAtTheEnd", 15, 0, "1_", 10, std::nullopt },
        TypedCase { "DoubledSeparator", 15, 0, "1__0", 10, std::nullopt },
        TypedCase { "Empty", 7, 0, "", 10, std::nullopt },
        TypedCase { "OnlyPrefix", 7, 0, "0x", 16, std::nullopt },
        TypedCase { "MinusInHex", 7, 0, "-1", 16, std::nullopt },
        TypedCase { "HexDigitInDecimal", 7, 0, "1a", 10, std::nullopt },
        TypedCase { "HighFieldAllSet", 100, 64, "0x1f_ffff_ffff", 16, 0x1FFFFFFFFF },
        TypedCase { "HighFieldNegative", 100, 64, "-1", 10, 0x1FFFFFFFFF },
        TypedCase { "FieldPastBit127", 128, 60, "1", 10, std::nullopt }),
    testing::PrintToStringParamName());

TEST(FieldBits, ReadsTheBitsTypedIntoTheBitsCell)
{
    using Bits = std::optional<std::pair<int, int>>;
    const std::pair<const char*, Bits> cases[] = {
        { "31:28", std::pair { 31, 28 } },
        { " [7:0] ", std::pair { 7, 0 } },
        { "5", std::pair { 5, 5 } },
        { "63:0", std::pair { 63, 0 } },
        { "64:0", std::pair { 64, 0 } },
        { "[127:100]", std::pair { 127, 100 } },
        { "128:0", std::nullopt },
        { "07", std::pair { 7, 7 } },
        { "099", std::nullopt },
        { "3:4", std::nullopt },
        { "-1", std::nullopt },
        { "", std::nullopt },
        { "3:", std::nullopt },
        { "a:b", std::nullopt },
        { "007:0", std::nullopt },
    };
    for (const auto& [text, bits] : cases)
        EXPECT_EQ(ReadFieldBits(text), bits) << text;
}

// A field read as a float shows the float of its own bits, wherever they
// lie, and a float typed there reads back to them; a width without that
// float reads as an integer.
TEST(FieldFloat, ReadsAndWritesTheFloatOfTheFieldsBits)
{
    const struct {
        int msb, lsb;
        FieldFloat reading;
        UInt64 number;
        const char* text;
    } cases[] = {
        { 15, 0, eFieldFloatIeee, 0x3C00, "1" },
        { 31, 16, eFieldFloatIeee, 0x80000000, "-0" },
        { 15, 0, eFieldFloatIeee, 0x0001, "6e-08" }, // the smallest subnormal half
        { 15, 0, eFieldFloatBfloat16, 0x3FC0, "1.5" },
        { 15, 0, eFieldFloatBfloat16, 0xFF80, "-inf" },
        { 63, 32, eFieldFloatIeee, 0x7F80000000000000, "inf" },
        { 31, 0, eFieldFloatIeee, 0x7FC00000, "nan" },
        { 31, 0, eFieldFloatIeee, 0x7F800001, "nan(0x1)" },
        { 31, 0, eFieldFloatIeee, 0x00000001, "1e-45" },
        { 63, 0, eFieldFloatIeee, 0x3FB999999999999A, "0.1" },
        { 63, 0, eFieldFloatIeee, 0x0000000000000001, "5e-324" },
        { 63, 0, eFieldFloatIeee, 0x8000000000000000, "-0" },
    };
    for (const auto& c : cases) {
        BitField field = Field(c.msb, c.lsb);
        field.floatReading = c.reading;
        EXPECT_EQ(FieldDecimalText(field, c.number), c.text);
        EXPECT_EQ(ReadFieldFloat(field, std::string(" ") + c.text), FieldValue(field, c.number))
            << c.text;
    }
    BitField half = Field(15, 0);
    half.floatReading = eFieldFloatIeee;
    for (const char* refused : { "", "1.5x", "abc", "1 5", "nan(" })
        EXPECT_EQ(ReadFieldFloat(half, refused), std::nullopt) << refused;
    EXPECT_EQ(ReadFieldFloat(half, std::string("1\0x", 3)), std::nullopt);
    EXPECT_EQ(ReadFieldFloat(half, "1e9"), 0x7C00u); // past the largest half
    BitField twelve = Field(11, 0);
    twelve.floatReading = eFieldFloatIeee;
    twelve.isSigned = true;
    EXPECT_FALSE(FieldReadsFloat(twelve));
    EXPECT_EQ(FieldDecimalText(twelve, 0xFFF), "-1");
    EXPECT_EQ(ReadFieldFloat(twelve, "1"), std::nullopt);
    BitField single = Field(31, 0);
    single.floatReading = eFieldFloatBfloat16;
    EXPECT_FALSE(FieldReadsFloat(single));
}

TEST(Lanes, SplitTheWidthInEqualLanesTheLowestFirst)
{
    EXPECT_EQ(LaneSizes(128), (std::vector<int> { 8, 16, 32, 64 }));
    EXPECT_EQ(LaneSizes(64), (std::vector<int> { 8, 16, 32 }));
    EXPECT_EQ(LaneSizes(16), (std::vector<int> { 8 }));
    EXPECT_TRUE(LaneSizes(8).empty());
    BitField reading;
    reading.floatReading = eFieldFloatIeee;
    const auto lanes = LanesLayout(64, 16, reading, "L");
    ASSERT_TRUE(lanes);
    EXPECT_EQ(lanes->width, 64);
    ASSERT_EQ(lanes->fields.size(), 4u);
    EXPECT_EQ(lanes->fields[0].name, "lane0");
    EXPECT_EQ(FieldBitsText(lanes->fields[0]), "15:0");
    EXPECT_EQ(FieldBitsText(lanes->fields[3]), "63:48");
    EXPECT_TRUE(FieldReadsFloat(lanes->fields[3]));
    EXPECT_TRUE(LayoutProblems(*lanes).empty());
    // Bytes have no float: they read as integers, signed as asked.
    reading.isSigned = true;
    const auto bytes = LanesLayout(32, 8, reading, "B");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->fields[2].floatReading, eFieldFloatNone);
    EXPECT_TRUE(bytes->fields[2].isSigned);
    for (const auto& [width, bits] :
        { std::pair { 32, 12 }, { 32, 64 }, { 32, 4 }, { 128, 128 }, { 256, 64 } })
        EXPECT_FALSE(LanesLayout(width, bits, {}, "X")) << width << '/' << bits;
}

// At 128 bits each lane size reads as its float, the top lane in the high
// bits of the number.
TEST(Lanes, SplitA128BitNumber)
{
    BitField reading;
    reading.floatReading = eFieldFloatIeee;
    const struct {
        int laneBits;
        UInt128 number;
        const char* topBits;
        const char* top;
    } cases[] = {
        { 8, MakeUInt128(0x8000000000000000, 0), "127:120", "128" }, // bytes read as integers
        { 16, MakeUInt128(0x3C00000000000000, 0), "127:112", "1" }, // half
        { 32, MakeUInt128(0xC0000000FFFFFFFF, 0), "127:96", "-2" }, // single
        { 64, MakeUInt128(0x3FF8000000000000, 1), "127:64", "1.5" }, // double
    };
    for (const auto& c : cases) {
        const auto lanes = LanesLayout(128, c.laneBits, reading, "L");
        ASSERT_TRUE(lanes) << c.laneBits;
        ASSERT_EQ(lanes->fields.size(), std::size_t(128 / c.laneBits));
        EXPECT_TRUE(LayoutProblems(*lanes).empty());
        EXPECT_EQ(LayoutWidth(*lanes), 128);
        const BitField& top = lanes->fields.back();
        EXPECT_EQ(FieldBitsText(top), c.topBits);
        EXPECT_EQ(FieldDecimalText(top, c.number), c.top) << c.laneBits;
        EXPECT_EQ(FieldValue(lanes->fields.front(), c.number), 0u + (c.laneBits == 64));
    }
    BitField bfloat;
    bfloat.floatReading = eFieldFloatBfloat16;
    const auto halves = LanesLayout(128, 16, bfloat, "B");
    ASSERT_TRUE(halves);
    EXPECT_EQ(FieldDecimalText(halves->fields[7], MakeUInt128(0x3FC0000000000000, 0)), "1.5");
}

} // namespace
