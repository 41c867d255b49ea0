#include "engine/Notation.h"

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
        { "+7", 32, eBigEndian, false, "7", 8 }, { "\xA0-5", 32, eBigEndian, false, "0", 8 },
        // Separators group digits; one that groups nothing ends the number.
        { "1'000'000", 32, eBigEndian, false, "1000000", 32 },
        { "-1_000__000", 32, eBigEndian, true, "-1000000", 32 },
        { "1_", 32, eBigEndian, false, "1", 8 }, { "_1", 32, eBigEndian, false, "0", 8 },
        { "1_ 2", 32, eBigEndian, false, "1", 8 } };
    for (auto [text, width, endian, isSigned, decimal, needed] : rows) {
        SCOPED_TRACE("\"" + text + "\"");
        BaseConverter number = EmptyRow(width, !isSigned); // the text alone decides the sign
        ReadNotation(number, eNotationDecimal, text.data(), endian);
        EXPECT_EQ(number.IsSigned(), isSigned);
        EXPECT_EQ(Show(number, eNotationDecimal, endian), decimal);
        EXPECT_EQ(number.GetActualWidth(), needed);
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
