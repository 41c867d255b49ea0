#include "engine/Magnitude.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct MagnitudeCase {
    const char* name;
    UInt16 width;
    bool isSigned;
    Endian endian;
    UInt64 stored; // the bits as they stand
    const char* binary;
    const char* metric;
};

std::ostream& operator<<(std::ostream& stream, const MagnitudeCase& c)
{
    return stream << c.name;
}

class MagnitudeTest : public testing::TestWithParam<MagnitudeCase> { };

TEST_P(MagnitudeTest, FormatsBothScales)
{
    const MagnitudeCase& c = GetParam();
    BaseConverter number {};
    number.SetBitWidth(c.width);
    number.SetSigned(c.isSigned);
    number.SetUnsignedDec(c.stored, eBigEndian);

    char text[kMagnitudeSize];
    FormatMagnitude(number, c.endian, false, text, sizeof text);
    EXPECT_STREQ(text, c.binary);
    FormatMagnitude(number, c.endian, true, text, sizeof text);
    EXPECT_STREQ(text, c.metric);
}

constexpr UInt64 kAll = ~UInt64(0);

INSTANTIATE_TEST_SUITE_P(Magnitudes, MagnitudeTest,
    testing::Values(MagnitudeCase { "Zero", 32, false, eBigEndian, 0, "0", "0" },
        MagnitudeCase { "BelowThousand", 32, false, eBigEndian, 1000, "1000", "1000" },
        MagnitudeCase { "JustOverThousand", 32, false, eBigEndian, 1001, "1001", "1.001 thousand" },
        // Equal to a unit's size falls to the next smaller unit.
        MagnitudeCase { "ExactlyKilobyte", 32, false, eBigEndian, 1024, "1024", "1.024 thousand" },
        MagnitudeCase {
            "JustOverKilobyte", 32, false, eBigEndian, 1025, "1.001 KB", "1.025 thousand" },
        MagnitudeCase {
            "KilobyteAndHalf", 32, false, eBigEndian, 1536, "1.500 KB", "1.536 thousand" },
        MagnitudeCase {
            "ExactlyMegabyte", 32, false, eBigEndian, 1048576, "1024.000 KB", "1.049 million" },
        // Rounding can show the full unit count below the next unit.
        MagnitudeCase { "RoundsUpToThousandMillion", 32, false, eBigEndian, 999999999, "953.674 MB",
            "1000.000 million" },
        MagnitudeCase { "RoundsUpToFullMegabytes", 32, false, eBigEndian, 1073741823, "1024.000 MB",
            "1.074 billion" },
        MagnitudeCase {
            "AllSet32Unsigned", 32, false, eBigEndian, 0xFFFFFFFF, "4.000 GB", "4.295 billion" },
        MagnitudeCase { "TenToTheFifteenth", 64, false, eBigEndian, 1000000000000000, "909.495 TB",
            "1000.000 trillion" },
        MagnitudeCase { "ExactlyPetabyte", 64, false, eBigEndian, 1125899906842624, "1024.000 TB",
            "1.126 quadrillion" },
        // No unit above peta.
        MagnitudeCase { "LargestUnsigned", 64, false, eBigEndian, kAll, "16384.000 PB",
            "18446.744 quadrillion" },
        MagnitudeCase { "MinusOne", 32, true, eBigEndian, kAll, "-1", "-1" },
        MagnitudeCase { "AllSet32Signed", 32, true, eBigEndian, 0xFFFFFFFF, "-1", "-1" },
        MagnitudeCase { "MinusKilobyteAndHalf", 32, true, eBigEndian, UInt64(-1536), "-1.500 KB",
            "-1.536 thousand" },
        // Its absolute value does not fit a signed 64-bit number.
        MagnitudeCase { "MostNegative64", 64, true, eBigEndian, UInt64(1) << 63, "-8192.000 PB",
            "-9223.372 quadrillion" },
        // The top bit within the width decides, not bit 63.
        MagnitudeCase {
            "NegativeAtWidth16", 16, true, eBigEndian, 0x8000, "-32.000 KB", "-32.768 thousand" },
        MagnitudeCase {
            "LittleEndianBitZero", 32, false, eLittleEndian, 1, "16.000 MB", "16.777 million" },
        MagnitudeCase { "LittleEndianSigned", 16, true, eLittleEndian, 0x0080, "-32.000 KB",
            "-32.768 thousand" }),
    [](const testing::TestParamInfo<MagnitudeCase>& info) { return std::string(info.param.name); });

TEST(MagnitudeBuffer, CutsToTheGivenSize)
{
    BaseConverter number {};
    number.SetBitWidth(64);
    number.SetUnsignedDec(kAll, eBigEndian);
    char text[8];
    std::memset(text, 'x', sizeof text);
    FormatMagnitude(number, eBigEndian, true, text, 6);
    EXPECT_STREQ(text, "18446");
    EXPECT_EQ(text[6], 'x');
}

} // namespace
