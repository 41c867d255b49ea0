#include "engine/BaseConverter.h"
#include "RandomText.h"
#include "engine/FloatNotation.h"
#include "engine/Notation.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A record built from its stored bits, which may reach above the width.
struct Record : BaseConverter {
    Record(UInt16 width, UInt64 bits, bool isSigned = false)
        : BaseConverter()
    {
        SetBitWidth(width);
        SetSigned(isSigned);
        SetUnsignedDec(bits, eBigEndian);
    }
    UInt64 Stored() const { return fDecValue; }
};

std::string Show(const BaseConverter& number, Notation notation, Endian endian = eBigEndian)
{
    char out[kFieldBufferSize];
    WriteNotation(number, notation, endian, out);
    return out;
}

// Parsers start from a record with all 64 bits set, so any bit they leave shows.
void ExpectParses(Notation notation, const std::vector<std::pair<std::string, UInt64>>& rows)
{
    for (auto [text, stored] : rows) {
        SCOPED_TRACE("\"" + text + "\"");
        Record number(8, ~UInt64(0));
        ReadNotation(number, notation, text.data(), eBigEndian);
        EXPECT_EQ(number.Stored(), stored);
    }
}

} // namespace

TEST(ValueModel, SetDecAndGetValueReadTheWidthInEitherByteOrder)
{
    using Row = std::tuple<UInt16, SInt64, Endian, UInt64, UInt64, SInt64>;
    const Row rows[] = { { 8, 0x1234, eLittleEndian, 0x1234, 0x34, 0x34 },
        { 16, -5, eBigEndian, 0xFFFFFFFFFFFFFFFB, 0xFFFB, -5 },
        { 16, -5, eLittleEndian, 0xFBFF, 0xFFFB, -5 },
        { 16, 0xFBFF, eBigEndian, 0xFBFF, 0xFBFF, -1025 },
        { 32, 0x1122334455667788, eLittleEndian, 0x88776655, 0x55667788, 0x55667788 },
        { 64, 0x0102030405060708, eLittleEndian, 0x0807060504030201, 0x0102030405060708,
            0x0102030405060708 },
        { 64, INT64_MIN, eBigEndian, 0x8000000000000000, 0x8000000000000000, INT64_MIN } };
    for (auto [width, in, endian, stored, value, signedValue] : rows) {
        SCOPED_TRACE(testing::Message() << width << " bits " << UInt64(in));
        Record number(width, 0);
        number.SetSignedDec(in, endian);
        EXPECT_EQ(number.Stored(), stored);
        EXPECT_EQ(number.GetValue(endian), value);
        EXPECT_EQ(number.GetSignedValue(endian), signedValue);
    }
    Record negative(16, 0xFFFFFFFFFFFFFFFB, true);
    negative.SetSigned(false); // an unsigned reading drops the bits above the width
    EXPECT_EQ(negative.Stored(), 0xFFFBu);
}

TEST(ValueModel, SetBitWidthExtendsOnlyANegativeNumberHeldWithinItsOldWidth)
{
    using Row = std::tuple<const char*, bool, UInt16, UInt64, std::vector<UInt16>, UInt64>;
    const Row rows[] = { { "negative keeps its value", true, 8, 0xF4, { 16 }, 0xFFF4 },
        { "extends at every step", true, 16, 0x8000, { 32, 64 }, 0xFFFFFFFFFFFF8000 },
        { "non-negative gets nothing", true, 8, 0x05, { 16 }, 0x05 },
        { "unsigned gets nothing", false, 8, 0xF4, { 16 }, 0xF4 },
        { "narrowing keeps the low bits", true, 64, 0xFFFFFFFFFFFFFF00, { 32 }, 0xFFFFFF00 },
        { "cut bits do not come back", false, 16, 0x1234, { 8, 16 }, 0x34 },
        { "bits above the old width join", false, 8, 0x1234, { 16 }, 0x1234 },
        { "-300 stored wide stays -300", true, 8, 0xFFFFFFFFFFFFFED4, { 16 }, 0xFED4 },
        { "500 stored wide stays 500", true, 8, 0x1F4, { 32 }, 0x1F4 },
        { "bits past the new width do not count", true, 8, 0x1000000F4, { 16 }, 0xFFF4 } };
    for (auto [why, isSigned, from, bits, widths, stored] : rows) {
        SCOPED_TRACE(why);
        Record number(from, bits, isSigned);
        for (UInt16 width : widths)
            number.SetBitWidth(width);
        EXPECT_EQ(number.Stored(), stored);
    }
}

TEST(ValueModel, GetActualWidthLooksAtAll64StoredBits)
{
    using Row = std::tuple<bool, SInt64, UInt16>;
    const Row rows[] = { { false, 0, 8 }, { false, 0xFF, 8 }, { false, 0x100, 16 },
        { false, 0xFFFF, 16 }, { false, 0x10000, 32 }, { false, 0xFFFFFFFF, 32 },
        { false, 0x100000000, 64 }, { false, -1, 64 }, { true, 0xFF, 8 }, { true, 0x100, 16 },
        { true, 0xFBFF, 16 }, { true, -1, 8 }, { true, -128, 8 }, { true, -129, 16 },
        { true, -256, 16 }, { true, -32768, 16 }, { true, -32769, 32 }, { true, INT32_MIN, 32 },
        { true, SInt64(INT32_MIN) - 1, 64 }, { true, INT64_MIN, 64 } };
    for (auto [isSigned, bits, width] : rows) {
        SCOPED_TRACE(testing::Message() << isSigned << " bits " << UInt64(bits));
        EXPECT_EQ(Record(8, UInt64(bits), isSigned).GetActualWidth(), width);
    }
}

TEST(ValueModel, ShiftMovesAll64BitsAcrossTheWidthsEdge)
{
    using Row = std::tuple<UInt16, UInt64, ShiftDir, UInt64, UInt64>;
    const Row rows[] = { { 8, 0x80, eShiftLeftDir, 0x100, 0 },
        { 64, 0x8000000000000000, eShiftLeftDir, 0, 0 },
        { 8, UInt64(-16), eShiftRightDir, 0x7FFFFFFFFFFFFFF8, 0xF8 },
        { 8, 0xF0, eShiftRightDir, 0x78, 0x78 }, { 16, 0x10001, eShiftRightDir, 0x8000, 0x8000 } };
    for (auto [width, bits, dir, stored, value] : rows) {
        SCOPED_TRACE(testing::Message() << width << " bits " << bits);
        Record number(width, bits, true);
        number.Shift(dir);
        EXPECT_EQ(number.Stored(), stored);
        EXPECT_EQ(number.GetValue(eBigEndian), value);
    }
}

TEST(RadixWriters, GroupTheWidthsBitsFromTheRightWithoutZeroGroups)
{
    const std::string ones = "1111 1111 1111 1111", ones64 = ones + " " + ones + " " + ones;
    using Row = std::tuple<UInt16, UInt64, std::string, std::string, std::string, std::string>;
    const Row rows[] = { { 8, 0, "0000", "0000", "00", "00" },
        { 16, 0, "0000", "0000", "0000", "00" }, { 8, 5, "0101", "0005", "05", "05" },
        { 64, 5, "0101", "0005", "0005", "05" }, { 8, 133, "1000 0101", "0205", "85", "3p" },
        { 8, 0x1234, "0011 0100", "0064", "34", "1g" },
        { 16, 255, "1111 1111", "0377", "00ff", "73" },
        { 16, 256, "0001 0000 0000", "0400", "0100", "74" },
        { 32, 1296, "0101 0001 0000", "2420", "0510", "01 00" },
        { 32, 74565, "0001 0010 0011 0100 0101", "0022 1505", "0001 2345", "1l j9" },
        { 16, ~UInt64(0), ones, "0017 7777", "ffff", "1e kf" },
        { 32, ~UInt64(0), ones + " " + ones, "0377 7777 7777", "ffff ffff", "01 z1 41 z3" },
        { 64, ~UInt64(0), ones64 + " " + ones, "0017 7777 7777 7777 7777 7777",
            "ffff ffff ffff ffff", "03 w5 e1 12 64 sg sf" } };
    for (auto [width, bits, bin, oct, hex, quix] : rows) {
        SCOPED_TRACE(testing::Message() << width << " bits " << bits);
        const Record number(width, bits, true);
        EXPECT_EQ(Show(number, eNotationBinary), bin);
        EXPECT_EQ(Show(number, eNotationOctal), oct);
        EXPECT_EQ(Show(number, eNotationHexadecimal), hex);
        EXPECT_EQ(Show(number, eNotationHexadecimal, eLittleEndian), hex);
        EXPECT_EQ(Show(number, eNotationQuixadecimal), quix);
    }
}

TEST(RadixReaders, SkipWhatIsNoDigitAndWrapModulo2To64)
{
    ExpectParses(eNotationHexadecimal,
        { { "DEAD beef", 3735928559 }, { "0x1F", 31 }, { "-5", 5 }, { "\t1\n\xff", 1 },
            { "1234", 0x1234 }, { "10000000000000000", 0 }, { "1ffffffffffffffff", ~UInt64(0) },
            { "", 0 }, { "   ", 0 } });
    ExpectParses(eNotationBinary, { { "12", 1 }, { "1010 0101", 165 } });
    ExpectParses(eNotationOctal, { { "789", 7 } });
    ExpectParses(eNotationQuixadecimal,
        { { "zz", 1295 }, { "ZZ", 1295 }, { "0x", 33 }, { "3w5e11264sgsf", ~UInt64(0) },
            { "3w5e11264sgsg", 0 } });
    char text[] = "DEAD beef";
    Record(32, 0).NewHex(text);
    EXPECT_STREQ(text, "deadbeef");
}

TEST(TextAndIPAddress, FormattersShowTheHeldBytes)
{
    const std::string dot = "\xA5"; // stands for a byte that is not printable ASCII
    using Row = std::tuple<UInt16, UInt64, std::string, const char*>;
    const Row rows[] = { { 32, 0x41424344, "ABCD", "65.66.67.68" },
        { 64, 0x41424344, dot + dot + dot + dot + "ABCD", "65.66.67.68" },
        { 16, 0x0A41, dot + "A", "0.0.10.65" }, { 8, 0x141, "A", "0.0.1.65" },
        { 8, 0x20, " ", "0.0.0.32" }, { 8, 0x7F, dot, "0.0.0.127" }, { 8, 0xE9, dot, "0.0.0.233" },
        { 64, 0x1122334455667788, dot + "\"3DUfw" + dot, "85.102.119.136" },
        { 16, 0x1234, dot + "4", "0.0.18.52" } };
    for (auto [width, bits, text, address] : rows) {
        SCOPED_TRACE(testing::Message() << width << " bits " << bits);
        EXPECT_EQ(Show(Record(width, bits, true), eNotationText, eLittleEndian), text);
        EXPECT_EQ(Show(Record(width, bits, true), eNotationIPAddress, eLittleEndian), address);
    }
}

TEST(TextAndIPAddress, ParsersReplaceAll64Bits)
{
    ExpectParses(eNotationText,
        { { "A", 0x41 }, { "ABCDEFGH", 0x4142434445464748 }, { "ABCDEFGHI", 0 }, { "", 0 },
            { "ABCDE", 0x4142434445 }, { "\xA5\x01\xFF", 0xA501FF } });
    ExpectParses(eNotationIPAddress,
        { { "192.168.1.1", 0xC0A80101 }, { "10", 0x0A000000 }, { "1.2.3", 0x01020300 },
            { "1..3", 0x01000300 }, { ".1.2.3", 0x00010203 }, { "256.1.1.1", 0x00010101 },
            { "1.2.3.4.5", 0x01020304 }, { "1.2.3.4567", 0x01020300 }, { "1.2345.6.7", 0x01000000 },
            { "1234.1.2.3", 0 }, { "a.b.c.d", 0 }, { "", 0 }, { " 1. 2 .-3.x4", 0x01020304 },
            { "1 2.3", 0x01030000 }, { "1.abcd.2", 0x01000200 }, { "999.08.007.1", 0x00080701 } });
}

TEST(Version, FormatterShowsTheLow32Bits)
{
    using Row = std::pair<UInt64, const char*>;
    const Row rows[] = { { 0x01234567, "1.2.3" }, { 0, "0.0" }, { 0x01208000, "1.2" },
        { 0x01238003, "1.2.3fc3" }, { 0x01206003, "1.2b3" }, { 0x0A106002, "10.1b2" },
        { 0x02004000, "2.0a0" }, { 0x00002001, "0.0d1" }, { 0xFFFF80FF, "255.15.15fc255" },
        { 0x0100A001, "1.0" }, { 0xFFFFFFFF01238003, "1.2.3fc3" } };
    for (auto [bits, text] : rows)
        EXPECT_EQ(Show(Record(8, bits, true), eNotationNumVersion), text);
}

TEST(Version, ParserKeepsOnlyEachFieldsLowBits)
{
    ExpectParses(eNotationNumVersion,
        { { "1.2.3b4", 0x01236004 }, { "1.2.3", 0x01238000 }, { "1.2", 0x01200000 },
            { "1.2.0", 0x01208000 }, { "1", 0x01000000 }, { "", 0 }, { "1.2b3", 0x01206003 },
            { "1.2.b3", 0x01206003 }, { "1.2.3d", 0x01232000 }, { "1.2.3f7", 0x01238007 },
            { "1.2.3fc3", 0x01238003 }, { "1.2fc3", 0x01208003 }, { "1.2.3fcc3", 0x01238000 },
            { "300.18.5", 0x2C258000 }, { "1.2.17", 0x01218000 }, { "1..5", 0x01058000 },
            { "1.2.3.4", 0x01238000 }, { "1.2b3.4", 0x01248000 }, { "2.0B1", 0x02000000 },
            { "1b2", 0x01000000 }, { " 1.-1. +2a 7", 0x01F24007 },
            { "4294967296.2", 0xFF200000 } });
}

// Random texts of bytes 1..255 into exactly-sized heap buffers, then every
// formatter into exactly its size; what a formatter writes reads back to the
// same text, and the decimal text is the standard library's.
TEST(BadInput, ParsersAndFormattersStayInsideExactlySizedBuffers)
{
    const int sizes[eNotationCount]
        = { BaseConverter::kBinSize, BaseConverter::kDecSize, BaseConverter::kHexSize,
              BaseConverter::kOctSize, BaseConverter::kQuixSize, BaseConverter::kTextSize,
              BaseConverter::kIPAddressSize, BaseConverter::kNumVersionSize, kFloatSize, 1 };
    const std::string fixed[] = { std::string(BaseConverter::kMaxParseLength, '9'),
        "-99999999999999999999", "255.255.255.255", "255.15.15fc255" };
    static const char kActive[] = "0123456789.abcdfxzABF -+\t"; // what the parsers act on
    std::mt19937 rng(20261207);
    for (int round = 0; round < 300; ++round) {
        const std::string text = round < 4 ? fixed[round] : RandomText(rng, kActive);
        const Endian endian = Endian(round % 2);
        for (int typed = 0; typed < eNotationCount; ++typed) {
            Record number(8, 0, true);
            auto exact = ExactCopy(text);
            ReadNotation(number, Notation(typed), exact.get(), endian);
            const UInt16 width = number.GetActualWidth();
            number.SetBitWidth(width);
            for (int shown = 0; shown < eNotationCount; ++shown) {
                auto out = std::make_unique<char[]>(sizes[shown]);
                WriteNotation(number, Notation(shown), endian, out.get());
                const std::string written = out.get();
                // 8 bits have no float; a text typed there reads at 32.
                if (shown == eNotationFloat && !IsFloatWidth(width)) {
                    EXPECT_EQ(written, "");
                    continue;
                }
                Record back(width, ~UInt64(0));
                ReadNotation(back, Notation(shown), out.get(), endian);
                EXPECT_EQ(Show(back, Notation(shown), endian), written) << "typed " << typed;
            }
            EXPECT_EQ(Show(number, eNotationDecimal, endian),
                number.IsSigned() ? std::to_string(number.GetSignedValue(endian))
                                  : std::to_string(number.GetValue(endian)));
        }
    }
}
