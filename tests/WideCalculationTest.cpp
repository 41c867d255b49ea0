#include "WideReference.h"
#include "engine/Expression.h"
#include "engine/Magnitude.h"
#include "engine/MathOperation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

namespace {

constexpr UInt128 kAll = kUInt128Max;
constexpr UInt128 kMin = UInt128(1) << 127;
const std::string kMinText = "170141183460469231731687303715884105728";

std::string Hex(UInt128 bits)
{
    return Digits(bits, 16);
}

std::string FlagsText(UInt8 flags)
{
    static const char* const kNames[eMathFlagCount] = { "Z", "N", "C", "V", "/0" };
    std::string text;
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        if ((flags >> flag) & 1)
            text += kNames[flag];
    return text;
}

} // namespace

TEST(WideExpression, EvaluatesIn128BitsWhereTheRowOrANumberNeedsThem)
{
    // Columns: text, field, row signed, row width, value, below zero, bits
    // evaluated in, message. Shift counts in the hexadecimal field are
    // hexadecimal: 40 is 64, 80 is 128.
    using Case
        = std::tuple<std::string, Notation, bool, UInt16, UInt128, bool, UInt16, std::string>;
    const Case cases[] = { { std::string(32, 'f') + " + 1", eNotationHexadecimal, false, 128, 0,
                               false, 128, "wrapped: needs more than 128 bits" },
        { "(1 << 40) - 1", eNotationHexadecimal, false, 128, ~UInt64(0), false, 128, "" },
        { "1 << 127", eNotationDecimal, false, 128, kMin, true, 128,
            "wrapped: needs more than 128 bits" },
        { "1 << 80", eNotationHexadecimal, false, 128, 0, false, 128,
            "wrapped: needs more than 128 bits" },
        { "ff >> 80", eNotationHexadecimal, false, 128, 0, false, 128, "" },
        { "-1 >> 200", eNotationDecimal, false, 128, kAll, true, 128, "" },
        { "0 - 1", eNotationHexadecimal, false, 128, kAll, true, 128, "" },
        { "-" + kMinText + " / -1", eNotationDecimal, false, 128, kMin, true, 128,
            "wrapped: needs more than 128 bits" },
        { "-" + kMinText + " % -1", eNotationDecimal, false, 128, 0, false, 128, "" },
        { kMinText + " + 0", eNotationDecimal, false, 128, kMin, true, 128,
            "wrapped: needs more than 128 bits" },
        { "1" + std::string(33, '0') + " * 0", eNotationHexadecimal, false, 128, 0, false, 128,
            "1" + std::string(33, '0') + " needs more than 128 bits" },
        // Narrower rows stay in 64 bits unless a number needs more.
        { "ffffffffffffffff + 1", eNotationHexadecimal, false, 64, 0, false, 64,
            "wrapped: needs more than 64 bits" },
        { "1 << 40", eNotationHexadecimal, false, 32, 0, false, 64,
            "wrapped: needs more than 64 bits" },
        { "-5 * 3", eNotationDecimal, true, 16, UInt128(SInt128(-15)), true, 64, "" },
        { "10000000000000000 + 1", eNotationHexadecimal, false, 64, MakeUInt128(1, 1), false, 128,
            "" },
        { "1 / (10000000000000000 >> 40)", eNotationHexadecimal, false, 8, 1, false, 128, "" },
        { "18446744073709551616 * -1", eNotationDecimal, false, 32, UInt128(0) - MakeUInt128(1, 0),
            true, 128, "" } };
    for (const auto& [text, notation, isSigned, width, value, negative, bits, message] : cases) {
        SCOPED_TRACE(text);
        const WideExpressionResult result
            = EvaluateWideExpression(text.c_str(), notation, isSigned, width);
        EXPECT_TRUE(result.status == eExpressionEvaluated || result.status == eExpressionTooBig);
        EXPECT_EQ(Hex(result.value), Hex(value));
        EXPECT_EQ(result.negative, negative);
        EXPECT_EQ(result.evaluatedBits, bits);
        EXPECT_EQ(Words(result, text), message);
    }
}

// Random operations on random numbers of every length, in the hexadecimal
// field of an unsigned row and the decimal field, which reads signed,
// against the compiler's own 128-bit arithmetic with C's meanings.
TEST(WideExpression, RandomOperationsAsTheCompilerComputesThem)
{
    std::mt19937_64 rng(20270201);
    const char* const operators[] = { "+", "-", "*", "/", "%", "<<", ">>", "&", "|", "^" };
    for (int round = 0; round < 100000; ++round) {
        const UInt128 a = MakeUInt128(rng(), rng()) >> (rng() % 128);
        const UInt128 b = rng() % 4 ? MakeUInt128(rng(), rng()) >> (rng() % 128) : rng() % 140;
        const int op = int(rng() % 10);
        const bool isSigned = round % 2;
        const auto x = SInt128(a), y = SInt128(b);
        if ((op == 3 || op == 4) && b == 0)
            continue;
        UInt128 expected = 0;
        switch (op) {
        case 0: expected = a + b; break;
        case 1: expected = a - b; break;
        case 2: expected = a * b; break;
        case 3:
            expected = !isSigned ? a / b : (a == kMin && y == -1) ? kMin : UInt128(x / y);
            break;
        case 4: expected = !isSigned ? a % b : y == -1 ? 0 : UInt128(x % y); break;
        case 5: expected = b >= 128 ? 0 : a << unsigned(b); break;
        case 6:
            if (!isSigned)
                expected = b >= 128 ? 0 : a >> unsigned(b);
            else
                expected = b >= 128 ? (x < 0 ? kAll : 0) : UInt128(x >> unsigned(b));
            break;
        case 7: expected = a & b; break;
        case 8: expected = a | b; break;
        default: expected = a ^ b; break;
        }
        // A signed shift count is read as its 128-bit pattern: a negative
        // one is huge.
        if (isSigned && op >= 5 && op <= 6 && y < 0)
            expected = op == 5 || x >= 0 ? 0 : kAll;
        const std::string text = isSigned
            ? "(" + Decimal(x) + ") " + operators[op] + " (" + Decimal(y) + ")"
            : Hex(a) + " " + operators[op] + " " + Hex(b);
        const WideExpressionResult result = EvaluateWideExpression(
            text.c_str(), isSigned ? eNotationDecimal : eNotationHexadecimal, false, 128);
        ASSERT_EQ(result.status, eExpressionEvaluated) << text;
        ASSERT_EQ(Hex(result.value), Hex(expected)) << text;
    }
}

TEST(CombineWide, At128BitsEveryOperationAndFlag)
{
    // Columns: operation, current, operand, result, flags.
    using Case = std::tuple<MathOperation, UInt128, UInt128, UInt128, const char*>;
    const Case cases[] = { { eMathAdd, kAll, 1, 0, "ZC" }, { eMathAdd, kMin - 1, 1, kMin, "NV" },
        { eMathSubtract, 0, 1, kAll, "NC" }, { eMathSubtract, kMin, 1, kMin - 1, "V" },
        { eMathMultiply, MakeUInt128(1, 0), MakeUInt128(1, 0), 0, "ZCV" },
        { eMathMultiply, ~UInt64(0), ~UInt64(0), MakeUInt128(~UInt64(0) - 1, 1), "NV" },
        { eMathDivide, kAll, 2, kAll >> 1, "" }, { eMathDivide, 5, 0, 0, "Z/0" },
        { eMathRemainder, kAll, 10, 5, "" }, { eMathShiftLeft, 1, 127, kMin, "N" },
        { eMathShiftLeft, 3, 128, 3, "" }, { eMathShiftRight, kMin, 127, 1, "" },
        { eMathShiftRight, 3, 129, 1, "C" }, { eMathRotateLeft, kMin, 1, 1, "C" },
        { eMathRotateRight, 1, 129, kMin, "NC" },
        { eMathArithmeticShiftRight, kMin, 127, kAll, "N" },
        { eMathArithmeticShiftRight, kMin, 200, UInt128(0) - (UInt128(1) << 55), "N" },
        { eMathNot, 0, 0, kAll, "N" }, { eMathNand, kAll, kAll, 0, "Z" },
        { eMathSignedDivide, kMin, kAll, kMin, "NV" },
        { eMathSignedDivide, UInt128(SInt128(-7)), 2, UInt128(SInt128(-3)), "N" },
        { eMathSignedRemainder, kMin, kAll, 0, "Z" },
        { eMathSignedRemainder, UInt128(SInt128(-7)), 2, kAll, "N" },
        { eMathNegate, kMin, 0, kMin, "NV" }, { eMathNegate, 1, 0, kAll, "N" },
        { eMathXor, kAll, kMin, kMin - 1, "" } };
    for (auto [operation, current, operand, value, flags] : cases) {
        SCOPED_TRACE(testing::Message()
            << "operation " << operation << " " << Hex(current) << ", " << Hex(operand));
        const WideMathResult result = CombineWide(operation, current, operand, 128);
        EXPECT_EQ(Hex(result.value), Hex(value));
        EXPECT_EQ(FlagsText(result.flags), flags);
    }
    // Narrower, the 64-bit operations' answers, bit for bit.
    std::mt19937_64 rng(20270202);
    for (int round = 0; round < 20000; ++round) {
        const auto operation = MathOperation(rng() % eMathOperationCount);
        const UInt16 width = UInt16(8 << (rng() % 4));
        const UInt64 a = rng() & WidthMask(width),
                     b = rng() % 3 ? rng() & WidthMask(width) : rng() % 70;
        const MathResult narrow = Combine(operation, a, b, width);
        const WideMathResult wide = CombineWide(operation, a, b, width);
        ASSERT_EQ(Hex(wide.value), Hex(narrow.value));
        ASSERT_EQ(wide.flags, narrow.flags);
    }
}

TEST(WideMagnitude, PastTheLargestUnitExactly)
{
    // Columns: signed, bits, binary, metric.
    using Case = std::tuple<bool, UInt128, const char*, const char*>;
    const Case cases[] = { { false, 1536, "1.500 KB", "1.536 thousand" },
        { true, UInt128(SInt128(-1536)), "-1.500 KB", "-1.536 thousand" },
        { false, ~UInt64(0), "16384.000 PB", "18446.744 quadrillion" },
        { false, MakeUInt128(1, 0), "16384.000 PB", "18446.744 quadrillion" },
        { false, UInt128(1) << 100, "1125899906842624.000 PB", "1267650600228229.401 quadrillion" },
        { false, kAll, "302231454903657293676544.000 PB",
            "340282366920938463463374.607 quadrillion" },
        { true, kMin, "-151115727451828646838272.000 PB",
            "-170141183460469231731687.304 quadrillion" } };
    for (auto [isSigned, bits, binary, metric] : cases) {
        SCOPED_TRACE(Hex(bits));
        WideConverter number {};
        number.SetBitWidth(128);
        number.SetSigned(isSigned);
        number.SetUnsignedDec(bits, eBigEndian);
        char text[kWideMagnitudeSize];
        FormatMagnitude(number, eBigEndian, false, text, sizeof text);
        EXPECT_STREQ(text, binary);
        FormatMagnitude(number, eBigEndian, true, text, sizeof text);
        EXPECT_STREQ(text, metric);
    }
}
