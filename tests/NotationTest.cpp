#include "Notation.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

BaseConverter EmptyRow(UInt16 width, bool isSigned)
{
    BaseConverter number {};
    number.SetBitWidth(width);
    number.SetSigned(isSigned);
    return number;
}

std::string Show(const BaseConverter& number, Notation notation, Endian endian)
{
    char out[kFieldBufferSize];
    WriteNotation(number, notation, endian, out);
    return out;
}

} // namespace

TEST(ReadNotation, DecimalIsSignedExactlyWhenAMinusLeadsPastBlanks)
{
    // Columns: text, width, byte order, signed, decimal text, width needed.
    using Row = std::tuple<std::string, UInt16, Endian, bool, const char*, UInt16>;
    const Row rows[] = { { "-5", 64, eBigEndian, true, "-5", 8 },
        { " -5", 32, eBigEndian, true, "-5", 8 }, { "\n\t -5", 32, eBigEndian, true, "-5", 8 },
        { "-5", 16, eLittleEndian, true, "-5", 16 }, { "5", 32, eBigEndian, false, "5", 8 },
        { "12abc", 32, eBigEndian, false, "12", 8 }, { "", 32, eBigEndian, false, "0", 8 },
        { "- 5", 32, eBigEndian, true, "0", 8 }, { "+-5", 32, eBigEndian, false, "0", 8 },
        { "99999999999999999999", 64, eBigEndian, false, "18446744073709551615", 64 },
        { "-99999999999999999999", 64, eBigEndian, true, "-9223372036854775808", 64 },
        { "9223372036854775808", 64, eBigEndian, false, "9223372036854775808", 64 },
        // The range's edges, read as the "C" locale's strtoll/strtoull read them.
        { "18446744073709551615", 64, eBigEndian, false, "18446744073709551615", 64 },
        { "18446744073709551616", 64, eBigEndian, false, "18446744073709551615", 64 },
        { "-9223372036854775808", 64, eBigEndian, true, "-9223372036854775808", 64 },
        { "-9223372036854775809", 64, eBigEndian, true, "-9223372036854775808", 64 },
        { "+7", 32, eBigEndian, false, "7", 8 }, { "\xA0-5", 32, eBigEndian, false, "0", 8 } };
    for (auto [text, width, endian, isSigned, decimal, needed] : rows) {
        SCOPED_TRACE("\"" + text + "\"");
        BaseConverter number = EmptyRow(width, !isSigned); // the text alone decides the sign
        ReadNotation(number, eNotationDecimal, text.data(), endian);
        EXPECT_EQ(number.IsSigned(), isSigned);
        EXPECT_EQ(Show(number, eNotationDecimal, endian), decimal);
        EXPECT_EQ(number.GetActualWidth(), needed);
    }
}

TEST(TypeIntoRow, WidensUntilTheNumberFitsAndKeepsWhatWasTyped)
{
    // Columns: notation, text, width, was signed, byte order, then the
    // width, sign, decimal and hexadecimal text after typing. A field holds
    // 127 bytes: a digit after them is not read.
    using Row = std::tuple<Notation, std::string, UInt16, bool, Endian, UInt16, bool, const char*,
        const char*>;
    const Row rows[] = { { eNotationDecimal, "300", 8, false, eLittleEndian, 16, false, "300",
                             "2c01" },
        { eNotationDecimal, " -5", 32, false, eBigEndian, 32, true, "-5", "ffff fffb" },
        { eNotationDecimal, "-129", 8, false, eBigEndian, 16, true, "-129", "ff7f" },
        { eNotationDecimal, "-300", 8, false, eLittleEndian, 16, true, "-300", "d4fe" },
        { eNotationHexadecimal, "1234", 8, false, eLittleEndian, 16, false, "13330", "1234" },
        { eNotationHexadecimal, "1ff", 8, true, eBigEndian, 16, false, "511", "01ff" },
        { eNotationHexadecimal, "ff", 64, false, eBigEndian, 64, false, "255", "00ff" },
        { eNotationText, "ABCDE", 32, false, eBigEndian, 64, false, "280284578885",
            "0041 4243 4445" },
        { eNotationHexadecimal, std::string(126, '0') + "1", 32, false, eBigEndian, 32, false, "1",
            "0001" },
        { eNotationHexadecimal, std::string(127, '0') + "1", 32, false, eBigEndian, 32, false, "0",
            "0000" },
        { eNotationIPAddress, "255.255.255.255", 8, true, eBigEndian, 32, true, "-1", "ffff ffff" },
        // 8 bits have no float: the text is read as a single. The sign
        // setting stays; the bytes follow the byte order.
        { eNotationFloat, "1", 8, false, eBigEndian, 32, false, "1065353216", "3f80 0000" },
        { eNotationFloat, "-2", 8, true, eBigEndian, 32, true, "-1073741824", "c000 0000" },
        { eNotationFloat, "1", 8, false, eLittleEndian, 32, false, "1065353216", "803f" },
        { eNotationFloat, "65504", 16, false, eBigEndian, 16, false, "31743", "7bff" },
        { eNotationFloat, "1.5", 64, false, eLittleEndian, 64, false, "4609434218613702656",
            "f83f" },
        { eNotationFloat, "0", 8, false, eBigEndian, 32, false, "0", "0000" } };
    for (auto [notation, text, width, wasSigned, endian, newWidth, isSigned, decimal, hex] : rows) {
        SCOPED_TRACE(text.substr(0, 20));
        BaseConverter number = EmptyRow(width, wasSigned);
        EXPECT_EQ(TypeIntoRow(number, notation, text.c_str(), endian), newWidth);
        EXPECT_EQ(number.BitWidth(), newWidth);
        EXPECT_EQ(number.IsSigned(), isSigned);
        EXPECT_EQ(Show(number, eNotationDecimal, endian), decimal);
        EXPECT_EQ(Show(number, eNotationHexadecimal, endian), hex);
    }
}

TEST(WriteLiteral, EveryDigitOfTheWidthInHexAndBinaryMinimalOtherwise)
{
    // Columns: text typed, into which notation, width, byte order, then the
    // notation copied and its literal.
    using Row = std::tuple<const char*, Notation, UInt16, Endian, Notation, const char*>;
    const Row rows[] = {
        { "5", eNotationDecimal, 8, eBigEndian, eNotationHexadecimal, "0x05" },
        { "12345", eNotationHexadecimal, 32, eBigEndian, eNotationHexadecimal, "0x00012345" },
        { "0", eNotationDecimal, 32, eBigEndian, eNotationHexadecimal, "0x00000000" },
        { "5", eNotationDecimal, 16, eBigEndian, eNotationHexadecimal, "0x0005" },
        { "-1", eNotationDecimal, 64, eBigEndian, eNotationHexadecimal, "0xffffffffffffffff" },
        { "DEAD beef", eNotationHexadecimal, 32, eBigEndian, eNotationHexadecimal, "0xdeadbeef" },
        { "-1", eNotationDecimal, 64, eBigEndian, eNotationBinary,
            "0b1111111111111111111111111111111111111111111111111111111111111111" },
        { "10", eNotationDecimal, 16, eBigEndian, eNotationBinary, "0b0000000000001010" },
        { "5", eNotationDecimal, 8, eBigEndian, eNotationBinary, "0b00000101" },
        { "-1", eNotationDecimal, 8, eBigEndian, eNotationBinary, "0b11111111" },
        { "511", eNotationDecimal, 32, eBigEndian, eNotationOctal, "0o777" },
        { "5", eNotationDecimal, 64, eBigEndian, eNotationOctal, "0o5" },
        { "0", eNotationDecimal, 8, eBigEndian, eNotationOctal, "0o0" },
        { "-1", eNotationDecimal, 64, eBigEndian, eNotationOctal, "0o1777777777777777777777" },
        { "300", eNotationDecimal, 8, eBigEndian, eNotationHexadecimal, "0x012c" },
        { "1", eNotationDecimal, 32, eLittleEndian, eNotationHexadecimal, "0x01000000" },
        { "1", eNotationDecimal, 32, eLittleEndian, eNotationDecimal, "1" },
        { "-5", eNotationDecimal, 16, eBigEndian, eNotationDecimal, "-5" },
        { "-5", eNotationDecimal, 16, eLittleEndian, eNotationText, "-5" },
        { "zz", eNotationQuixadecimal, 32, eBigEndian, eNotationQuixadecimal, "1295" },
        { "AB", eNotationText, 16, eBigEndian, eNotationText, "16706" },
        { "10.0.0.1", eNotationIPAddress, 32, eBigEndian, eNotationIPAddress, "167772161" },
        { "1.2", eNotationNumVersion, 32, eLittleEndian, eNotationNumVersion, "8193" },
        { "1", eNotationFloat, 32, eBigEndian, eNotationFloat, "1065353216" },
        { "1", eNotationFloat, 32, eLittleEndian, eNotationFloat, "1065353216" },
    };
    for (auto [typed, typedInto, width, endian, copied, literal] : rows) {
        SCOPED_TRACE(std::string(typed) + " as notation " + std::to_string(copied));
        BaseConverter number = EmptyRow(width, false);
        TypeIntoRow(number, typedInto, typed, endian);
        char out[kFieldBufferSize];
        WriteLiteral(number, copied, endian, out);
        EXPECT_STREQ(out, literal);
        // A literal pasted back into its own field reads as the same number.
        if (copied != eNotationQuixadecimal && copied != eNotationText
            && copied != eNotationIPAddress && copied != eNotationNumVersion
            && copied != eNotationFloat) {
            BaseConverter reread = EmptyRow(number.BitWidth(), false);
            TypeIntoRow(reread, copied, out, endian);
            EXPECT_EQ(reread.GetValue(eBigEndian), number.GetValue(eBigEndian));
        }
    }
}

// Texts at and one past the largest number each notation's field can hold
// whole. The flag is set or cleared by every reading, whatever it was.
TEST(ReadNotation, FlagsATextThatDoesNotFitInSixtyFourBits)
{
    const std::string ones(64, '1');
    const std::string groupedOnes = "1111 1111 1111 1111 1111 1111 1111 1111 "
                                    "1111 1111 1111 1111 1111 1111 1111 1111";
    // Columns: notation, text, too big.
    using Row = std::tuple<Notation, std::string, bool>;
    const Row rows[] = { { eNotationBinary, ones, false }, { eNotationBinary, "1" + ones, true },
        { eNotationBinary, "000" + ones, false }, { eNotationBinary, groupedOnes, false },
        { eNotationBinary, "1 " + groupedOnes, true },
        { eNotationBinary, ones + "2", false }, // not a binary digit: skipped
        { eNotationHexadecimal, "ffffffffffffffff", false },
        { eNotationHexadecimal, "10000000000000000", true },
        { eNotationHexadecimal, "0000ffffffffffffffff", false },
        { eNotationHexadecimal, "FFFF FFFF FFFF FFFF", false },
        { eNotationHexadecimal, "1 0000 0000 0000 0000", true },
        { eNotationHexadecimal, "ffffffffffffffffg", false },
        { eNotationHexadecimal, "ffffffffffffffff\x10", false }, // a control byte is no digit
        { eNotationOctal, "1777777777777777777777", false },
        { eNotationOctal, "2000000000000000000000", true },
        { eNotationOctal, "10000000000000000000000", true },
        { eNotationOctal, "0001777 7777 7777 7777 7777", false },
        { eNotationOctal, "17777777777777777777779", false }, // the 9 is skipped
        { eNotationQuixadecimal, "3w5e11264sgsf", false },
        { eNotationQuixadecimal, "3w5e11264sgsg", true },
        { eNotationQuixadecimal, "3W 5E 11 26 4S GS F", false },
        { eNotationQuixadecimal, "zzzzzzzzzzzz", false },
        { eNotationQuixadecimal, "00zzzzzzzzzzzzz", true },
        { eNotationQuixadecimal, "3w5e11264sgsf!", false },
        { eNotationDecimal, "18446744073709551615", false },
        { eNotationDecimal, "18446744073709551616", true },
        { eNotationDecimal, "00018446744073709551615", false },
        { eNotationDecimal, "+18446744073709551616", true },
        { eNotationDecimal, "9223372036854775808", false }, // unsigned: it fits
        { eNotationDecimal, "-9223372036854775808", false },
        { eNotationDecimal, "-9223372036854775809", true },
        { eNotationDecimal, " -99999999999999999999", true }, { eNotationDecimal, "", false },
        { eNotationText, "ABCDEFGH", false }, { eNotationText, "ABCDEFGHI", true },
        { eNotationText, "", false }, { eNotationIPAddress, "999.999.999.999.999", false },
        { eNotationIPAddress, "4294967296", false },
        { eNotationNumVersion, "99999999999.99999999999.9999999999b9999999999", false },
        { eNotationFloat, "1e999999", false }, { eNotationFloat, std::string(120, '9'), false } };
    for (const auto& [notation, text, tooBig] : rows) {
        SCOPED_TRACE("notation " + std::to_string(notation) + " \"" + text + "\"");
        for (bool before : { false, true }) {
            BaseConverter number = EmptyRow(32, false);
            number.SetOverflow(before);
            std::string edited = text;
            ReadNotation(number, notation, edited.data(), eBigEndian);
            EXPECT_EQ(bool(number.IsOverflow()), tooBig);
        }
    }
}

// Widening re-reads the row's decimal text, which always fits: the flag
// must still be the one of the text typed.
TEST(TypeIntoRow, KeepsTheTypedTextsOverflowThroughTheWidening)
{
    // Columns: notation, text, width before and after, too big.
    using Row = std::tuple<Notation, const char*, UInt16, UInt16, bool>;
    const Row rows[] = { { eNotationHexadecimal, "1 ffff ffff ffff ffff", 32, 64, true },
        { eNotationHexadecimal, "ffff", 8, 16, false },
        { eNotationDecimal, "18446744073709551616", 8, 64, true },
        { eNotationDecimal, "-9223372036854775809", 16, 64, true },
        { eNotationDecimal, "65536", 16, 32, false },
        { eNotationQuixadecimal, "zzzzzzzzzzzzzz", 8, 64, true },
        { eNotationText, "ABCDEFGHI", 8, 8, true } };
    for (auto [notation, text, width, newWidth, tooBig] : rows) {
        SCOPED_TRACE(text);
        for (Endian endian : { eBigEndian, eLittleEndian }) {
            BaseConverter number = EmptyRow(width, false);
            number.SetOverflow(!tooBig);
            EXPECT_EQ(TypeIntoRow(number, notation, text, endian), newWidth);
            EXPECT_EQ(bool(number.IsOverflow()), tooBig);
        }
    }
}
