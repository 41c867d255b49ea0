#include "engine/WideFloat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

// The reference for binary128: GCC's libquadmath, linked into this test
// alone. Declared here rather than through <quadmath.h>, which only GCC's
// own include folder holds.
__extension__ typedef __float128 Quad;
extern "C" Quad strtoflt128(const char* text, char** end);
extern "C" int quadmath_snprintf(char* out, std::size_t size, const char* format, ...);

namespace {

UInt128 BitsOf(Quad value)
{
    UInt128 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

Quad QuadOf(UInt128 bits)
{
    Quad value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string Written(UInt128 bits)
{
    char out[kWideFloatSize];
    WriteWideFloat(bits, 128, out);
    return out;
}

bool IsNan128(UInt128 bits)
{
    return (bits & ~(UInt128(1) << 127)) > MakeUInt128(0x7FFF000000000000, 0);
}

int SignificantDigits(const std::string& text)
{
    int digits = 0;
    bool leading = true;
    for (char c : text) {
        if (c == 'e')
            break;
        if (c >= '1' && c <= '9')
            leading = false;
        digits += !leading && c >= '0' && c <= '9';
    }
    return digits;
}

// The exact decimal of (2c + 1) × 2^(q - 1), q <= 0, the midpoint of c × 2^q
// and the next value: the digits of (2c + 1) × 5^(1 - q), by long
// multiplication in base 10^9, by 5^13 or less at a time.
std::string Midpoint(UInt128 c, int q)
{
    std::vector<UInt64> limbs;
    for (UInt128 rest = 2 * c + 1; rest != 0; rest /= 1000000000)
        limbs.push_back(UInt64(rest % 1000000000));
    for (int left = 1 - q; left > 0; left -= 13) {
        UInt64 factor = 1;
        for (int i = 0; i < std::min(left, 13); ++i)
            factor *= 5;
        UInt64 carry = 0;
        for (UInt64& limb : limbs) {
            const UInt64 product = limb * factor + carry;
            limb = product % 1000000000;
            carry = product / 1000000000;
        }
        if (carry != 0)
            limbs.push_back(carry);
    }
    std::string digits = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string part = std::to_string(limbs[i]);
        digits += std::string(9 - part.size(), '0') + part;
    }
    return digits + "e-" + std::to_string(1 - q);
}

} // namespace

TEST(Binary128, KnownEncodingsShowAndReadBack)
{
    // Columns: bits, the text shown (and read back to the bits).
    using Case = std::tuple<UInt128, const char*>;
    const Case cases[] = { { MakeUInt128(0x3FFF000000000000, 0), "1" },
        { MakeUInt128(0x3FFF800000000000, 0), "1.5" },
        { MakeUInt128(0x3FFB999999999999, 0x999999999999999A), "0.1" },
        { MakeUInt128(0xC000400000000000, 0), "-2.5" }, { UInt128(1) << 127, "-0" }, { 0, "0" },
        // The smallest subnormal, the largest subnormal, the smallest normal,
        // the largest finite, 1 + 2^-112.
        { 1, "6e-4966" },
        { MakeUInt128(0x0000FFFFFFFFFFFF, ~UInt64(0)),
            "3.362103143112093506262677817321752e-4932" },
        { MakeUInt128(0x0001000000000000, 0), "3.3621031431120935062626778173217526e-4932" },
        { MakeUInt128(0x7FFEFFFFFFFFFFFF, ~UInt64(0)),
            "1.189731495357231765085759326628007e+4932" },
        { MakeUInt128(0x3FFF000000000000, 1), "1.0000000000000000000000000000000002" },
        // 2^113, an integer written out; 10^40, shorter with an exponent.
        { MakeUInt128(0x4070000000000000, 0), "10384593717069655257060992658440192" },
        { MakeUInt128(0x4083D6329F1C35CA, 0x4BFABB9F56100000), "1e+40" },
        { MakeUInt128(0x7FFF000000000000, 0), "inf" },
        { MakeUInt128(0xFFFF000000000000, 0), "-inf" },
        { MakeUInt128(0x7FFF800000000000, 0), "nan" },
        { MakeUInt128(0x7FFF000000000000, 1), "nan(0x1)" },
        { kUInt128Max, "-nan(0xffffffffffffffffffffffffffff)" } };
    for (auto [bits, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Written(bits), text);
        EXPECT_EQ(ReadWideFloat(text, 128), bits);
    }
    // Ties at the bottom go to the even neighbour: half the smallest
    // subnormal is 0, a hair above it the subnormal. (libquadmath's
    // hexadecimal reading takes the tie up.)
    EXPECT_EQ(ReadWideFloat("0x1p-16495", 128), 0u);
    EXPECT_EQ(ReadWideFloat("0x1.0000000000000000000000000001p-16495", 128), 1u);
    EXPECT_EQ(ReadWideFloat(" -1e-5000x", 128), UInt128(1) << 127);
    EXPECT_EQ(ReadWideFloat("1e5000", 128), MakeUInt128(0x7FFF000000000000, 0));
    EXPECT_EQ(ReadWideFloat("garbage", 128), 0u);
}

// Random bits of every exponent: the text reads back to them, by ours and by
// the library's reading, and no text of fewer digits does (the library's
// nearest text of one digit fewer does not read back).
TEST(Binary128, RandomBitsShowTheShortestTextThatReadsBack)
{
    std::mt19937_64 rng(20270130);
    for (int round = 0; round < 20000; ++round) {
        UInt128 bits = MakeUInt128(rng(), rng());
        if (round % 3 == 0)
            bits >>= rng() % 128; // small integers are subnormal numbers
        const std::string text = Written(bits);
        ASSERT_EQ(ReadWideFloat(text.c_str(), 128), bits) << text;
        if (IsNan128(bits))
            continue;
        ASSERT_EQ(BitsOf(strtoflt128(text.c_str(), nullptr)), bits) << text;
        const int digits = SignificantDigits(text);
        if (digits > 1 && text.find_first_of(".e") != std::string::npos) {
            char shorter[96];
            quadmath_snprintf(shorter, sizeof shorter, "%.*Qe", digits - 2, QuadOf(bits));
            ASSERT_NE(BitsOf(strtoflt128(shorter, nullptr)), bits)
                << text << " against " << shorter;
        }
    }
}

// Decimals of many digits, and midpoints between neighbours with a hair
// above or below: read as the library reads them, correctly rounded.
TEST(Binary128, ReadsDecimalsAsTheLibraryRounds)
{
    std::mt19937_64 rng(20270131);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        if (round % 2 == 0) {
            text = std::to_string(rng()) + std::to_string(rng()) + std::to_string(rng());
            text.resize(1 + rng() % text.size());
            text.insert(rng() % text.size(), ".");
            text += "e" + std::to_string(int(rng() % 10000) - 5000);
        } else {
            // A subnormal's midpoint now and then; mostly nearer 1.
            const UInt128 c
                = (MakeUInt128(rng(), rng()) >> 15) | (round % 7 ? UInt128(1) << 112 : 0);
            const int q = round % 7 ? -int(rng() % 500) : -16494;
            text = Midpoint(c, q);
            const std::size_t mark = text.find('e');
            if (rng() % 3 == 0)
                text.insert(mark, std::string(rng() % 50, '0') + "1");
            else if (rng() % 2 == 0)
                text = text.substr(0, mark - 1) + char(text[mark - 1] - 1) + "99999"
                    + text.substr(mark);
        }
        SCOPED_TRACE(text.substr(0, 80));
        ASSERT_EQ(ReadWideFloat(text.c_str(), 128), BitsOf(strtoflt128(text.c_str(), nullptr)));
    }
}

TEST(Bfloat16, EveryValueShowsTheShortestTextThatReadsBack)
{
    for (UInt64 bits = 0; bits <= 0xFFFF; ++bits) {
        char text[kWideFloatSize];
        WriteBfloat16(bits, text);
        ASSERT_EQ(ReadBfloat16(text), bits) << text;
        const UInt32 single = UInt32(bits) << 16;
        float value;
        std::memcpy(&value, &single, sizeof value);
        const int digits = SignificantDigits(text);
        if ((bits & 0x7F80) != 0x7F80 && digits > 1 && std::strpbrk(text, ".e") != nullptr) {
            char shorter[64];
            std::snprintf(shorter, sizeof shorter, "%.*e", digits - 2, double(value));
            ASSERT_NE(ReadBfloat16(shorter), bits) << text << " against " << shorter;
        }
        // The midpoint to the next value up, exactly, goes to the even one.
        if ((bits & 0x7FFF) < 0x7F7F) {
            const UInt32 next = (UInt32(bits) + 1) << 16;
            float up;
            std::memcpy(&up, &next, sizeof up);
            char midpoint[256];
            std::snprintf(midpoint, sizeof midpoint, "%.160e", (double(value) + double(up)) / 2);
            ASSERT_EQ(ReadBfloat16(midpoint), bits % 2 == 0 ? bits : bits + 1) << midpoint;
        }
    }
    const std::pair<UInt64, const char*> cases[] = { { 0x3F80, "1" }, { 0x4049, "3.14" },
        { 0x7F7F, "3.39e+38" }, { 0x0001, "1e-40" }, { 0x0080, "1.18e-38" }, { 0x3DCC, "0.0996" },
        { 0xFF80, "-inf" }, { 0x7FC0, "nan" }, { 0x7F81, "nan(0x1)" } };
    for (auto [bits, text] : cases) {
        char out[kWideFloatSize];
        WriteBfloat16(bits, out);
        EXPECT_STREQ(out, text);
    }
}

TEST(Binary128, RowsReadAndShowInTheirByteOrder)
{
    WideConverter number {};
    number.SetBitWidth(8);
    ReadFloatNotation(number, "1.5", eBigEndian);
    EXPECT_EQ(number.BitWidth(), 32); // as at 64 bits: 8 bits have no float
    number.SetBitWidth(128);
    ReadFloatNotation(number, "1.5", eLittleEndian);
    EXPECT_EQ(number.GetValue(eBigEndian), UInt128(0x80FF3F));
    char out[kWideFloatSize];
    WriteFloatNotation(number, eLittleEndian, out);
    EXPECT_STREQ(out, "1.5");
    EXPECT_TRUE(IsWideFloatWidth(128) && IsWideFloatWidth(16) && !IsWideFloatWidth(8));
}
