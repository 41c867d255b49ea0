#include "engine/MathOperation.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

struct CombineCase {
    const char* name;
    MathOperation operation;
    UInt64 current;
    UInt64 operand;
    UInt64 result;
};

std::ostream& operator<<(std::ostream& stream, const CombineCase& c)
{
    return stream << c.name;
}

class CombineTest : public testing::TestWithParam<CombineCase> { };

// The ten operations keep every bit of the result, also above the width:
// the row stores it whole and shows the width's bits.
TEST_P(CombineTest, GivesTheWholeResult)
{
    const CombineCase& c = GetParam();
    for (UInt16 width : { 8, 16, 32, 64 })
        EXPECT_EQ(Combine(c.operation, c.current, c.operand, width).value, c.result)
            << "at " << width << " bits";
}

constexpr UInt64 kAll = ~UInt64(0);
constexpr UInt64 kMin64 = UInt64(1) << 63;

INSTANTIATE_TEST_SUITE_P(Operations, CombineTest,
    testing::Values(CombineCase { "And", eMathAnd, 12, 10, 8 },
        CombineCase { "Or", eMathOr, 12, 10, 14 }, CombineCase { "Xor", eMathXor, 12, 10, 6 },
        CombineCase { "Add", eMathAdd, 12, 10, 22 },
        CombineCase { "AddCarriesAboveThirtyTwoBits", eMathAdd, 0xffffffff, 1, 0x100000000 },
        CombineCase { "AddWrapsAtSixtyFourBits", eMathAdd, kAll, 2, 1 },
        CombineCase { "Subtract", eMathSubtract, 12, 10, 2 },
        CombineCase { "SubtractBelowZeroWraps", eMathSubtract, 1, 2, kAll },
        CombineCase { "Multiply", eMathMultiply, 12, 10, 120 },
        CombineCase { "MultiplyKeepsTheLowSixtyFourBits", eMathMultiply, 1ull << 63, 6, 0 },
        CombineCase { "DivideRoundsTowardZero", eMathDivide, 7, 2, 3 },
        CombineCase { "DivideIsUnsigned", eMathDivide, kAll, 2, kAll >> 1 },
        CombineCase { "DivideByZeroGivesZero", eMathDivide, 7, 0, 0 },
        CombineCase { "Remainder", eMathRemainder, 7, 2, 1 },
        CombineCase { "RemainderByZeroGivesZero", eMathRemainder, 7, 0, 0 },
        CombineCase { "ShiftRight", eMathShiftRight, 12, 2, 3 },
        CombineCase { "ShiftRightBySixtyThree", eMathShiftRight, kAll, 63, 1 },
        CombineCase { "ShiftRightBySixtyFourIsByZero", eMathShiftRight, 12, 64, 12 },
        CombineCase { "ShiftRightBySixtyFiveIsByOne", eMathShiftRight, 12, 65, 6 },
        CombineCase { "ShiftLeft", eMathShiftLeft, 12, 2, 48 },
        CombineCase { "ShiftLeftBySixtyThree", eMathShiftLeft, 3, 63, 1ull << 63 },
        CombineCase { "ShiftLeftBySixtyFourIsByZero", eMathShiftLeft, 12, 64, 12 },
        CombineCase { "ShiftLeftBySixtyFiveIsByOne", eMathShiftLeft, 12, 65, 24 },
        CombineCase { "NoOperationGivesZero", eMathOperationCount, 12, 10, 0 }),
    [](const testing::TestParamInfo<CombineCase>& info) { return info.param.name; });

// The flags as the Result row shows them, in its order: "ZNCV/0".
std::string FlagsText(const MathResult& result)
{
    static const char* const kNames[eMathFlagCount] = { "Z", "N", "C", "V", "/0" };
    std::string text;
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        if (result.Has(MathFlag(flag)))
            text += kNames[flag];
    return text;
}

struct Row {
    UInt16 width;
    UInt64 current;
    UInt64 operand;
    UInt64 value;
    const char* flags;
};

void ExpectRows(MathOperation operation, std::initializer_list<Row> rows)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << "0x" << row.current << ", 0x" << row.operand
                                        << std::dec << " at " << row.width << " bits");
        const MathResult result = Combine(operation, row.current, row.operand, row.width);
        EXPECT_EQ(result.value, row.value);
        EXPECT_EQ(FlagsText(result), row.flags);
    }
}

} // namespace

TEST(CombineAtEveryWidth, LogicOperationsSetOnlyZeroAndSign)
{
    ExpectRows(eMathAnd,
        { { 8, 0xf0, 0x3c, 0x30, "" }, { 16, 0x8001, 0x8000, 0x8000, "N" },
            { 32, 0xffff0000, 0xffff, 0, "Z" }, { 64, kAll, kMin64, kMin64, "N" } });
    ExpectRows(eMathOr,
        { { 8, 0x80, 1, 0x81, "N" }, { 16, 0, 0, 0, "Z" },
            { 32, 0x7fff0000, 0xffff, 0x7fffffff, "" }, { 64, 1, kMin64, kMin64 | 1, "N" } });
    ExpectRows(eMathXor,
        { { 8, 0xa5, 0xa5, 0, "Z" }, { 16, 0xff00, 0x7f00, 0x8000, "N" },
            { 32, 0xffffffff, 1, 0xfffffffe, "N" }, { 64, kAll, kMin64, kAll >> 1, "" } });
    // NOT and NEGATE do not look at the Operand, nor any of them at the
    // Value's bits above the width.
    ExpectRows(eMathNot,
        { { 8, 0, 0x55, 0xff, "N" }, { 8, 0xff, 0, 0, "Z" }, { 8, 0x1234, 0, 0xcb, "N" },
            { 16, 0x00ff, 0, 0xff00, "N" }, { 32, 0x80000000, 0, 0x7fffffff, "" },
            { 64, 0, 0, kAll, "N" }, { 64, kAll, 0, 0, "Z" } });
    ExpectRows(eMathNand,
        { { 8, 0xff, 0xff, 0, "Z" }, { 8, 0xf0, 0x3c, 0xcf, "N" },
            { 16, 0xffff, 0x7fff, 0x8000, "N" }, { 32, 0xffffffff, 0xffff, 0xffff0000, "N" },
            { 64, kMin64, kAll, kAll >> 1, "" } });
    ExpectRows(eMathNor,
        { { 8, 0, 0, 0xff, "N" }, { 8, 0xf0, 0x0f, 0, "Z" }, { 16, 0x8000, 1, 0x7ffe, "" },
            { 32, 0, 0, 0xffffffff, "N" }, { 64, 0, 1, kAll - 1, "N" } });
    ExpectRows(eMathXnor,
        { { 8, 0xa5, 0xa5, 0xff, "N" }, { 8, 0xa5, 0x5a, 0, "Z" },
            { 16, 0x1234, 0xffff, 0x1234, "" }, { 32, 0x80000000, 0, 0x7fffffff, "" },
            { 64, kAll, 0, 0, "Z" }, { 64, 0, 0, kAll, "N" } });
}

TEST(CombineAtEveryWidth, Add)
{
    ExpectRows(eMathAdd,
        { { 8, 0, 0, 0, "Z" }, { 8, 0x7f, 1, 0x80, "NV" }, { 8, 0xff, 1, 0x100, "ZC" },
            { 8, 0x80, 0x80, 0x100, "ZCV" }, { 8, 0xff, 0xff, 0x1fe, "NC" },
            { 16, 0x7fff, 1, 0x8000, "NV" }, { 16, 0x8000, 0xffff, 0x17fff, "CV" },
            { 32, 0xffffffff, 1, 0x100000000, "ZC" }, { 32, 0x7fffffff, 1, 0x80000000, "NV" },
            { 64, kAll, 1, 0, "ZC" }, { 64, kAll >> 1, 1, kMin64, "NV" },
            { 64, kMin64, kMin64, 0, "ZCV" }, { 64, kAll, kAll, kAll - 1, "NC" } });
}

TEST(CombineAtEveryWidth, SubtractBorrowsWhenTheOperandIsLarger)
{
    ExpectRows(eMathSubtract,
        { { 8, 5, 5, 0, "Z" }, { 8, 1, 2, kAll, "NC" }, { 8, 0x80, 1, 0x7f, "V" },
            { 8, 0x7f, 0xff, kAll - 0x7f, "NCV" }, { 16, 0x8000, 1, 0x7fff, "V" },
            { 16, 0, 0x8000, kAll - 0x7fff, "NCV" }, { 32, 1, 2, kAll, "NC" },
            { 32, 0xffffffff, 1, 0xfffffffe, "N" }, { 64, kMin64, 1, kAll >> 1, "V" },
            { 64, 0, kMin64, kMin64, "NCV" }, { 64, 3, 3, 0, "Z" } });
}

TEST(CombineAtEveryWidth, MultiplyCarriesAndOverflowsByTheExactProduct)
{
    ExpectRows(eMathMultiply,
        { { 8, 0, 0xff, 0, "Z" }, { 8, 0x10, 0x10, 0x100, "ZCV" }, { 8, 0xff, 0xff, 0xfe01, "C" },
            { 8, 0x80, 0xff, 0x7f80, "NCV" }, { 8, 0x40, 2, 0x80, "NV" },
            { 16, 0x100, 0x100, 0x10000, "ZCV" }, { 16, 0xffff, 2, 0x1fffe, "NC" },
            { 32, 0x10000, 0x10000, 0x100000000, "ZCV" },
            { 32, 0xffffffff, 0xffffffff, 0xfffffffe00000001, "C" }, { 64, kMin64, 6, 0, "ZCV" },
            { 64, kAll, kAll, 1, "C" }, { 64, kMin64, 1, kMin64, "N" },
            { 64, kAll, 2, kAll - 1, "NC" }, { 64, kMin64, kAll, kMin64, "NCV" },
            { 64, 0x100000000, 0x100000000, 0, "ZCV" } });
}

TEST(CombineAtEveryWidth, UnsignedDivisionsFlagAZeroDivisor)
{
    ExpectRows(eMathDivide,
        { { 8, 7, 2, 3, "" }, { 8, 7, 0, 0, "Z/0" }, { 8, 0x80, 1, 0x80, "N" },
            { 16, 0xffff, 0xffff, 1, "" }, { 16, 5, 0, 0, "Z/0" },
            { 32, 0xffffffff, 0x10, 0x0fffffff, "" }, { 64, kAll, 1, kAll, "N" },
            { 64, 0, 0, 0, "Z/0" } });
    ExpectRows(eMathRemainder,
        { { 8, 7, 2, 1, "" }, { 8, 7, 0, 0, "Z/0" }, { 8, 0xfe, 0xff, 0xfe, "N" },
            { 16, 0xffff, 0x8000, 0x7fff, "" }, { 32, 0x80000000, 0, 0, "Z/0" },
            { 64, kAll, kMin64, kAll >> 1, "" }, { 64, kMin64, 0, 0, "Z/0" } });
}

TEST(CombineAtEveryWidth, ShiftRightCarriesTheLastBitOut)
{
    ExpectRows(eMathShiftRight,
        { { 8, 0xc1, 0, 0xc1, "N" }, { 8, 0xc1, 1, 0x60, "C" }, { 8, 0xc1, 7, 1, "C" },
            { 8, 0xc1, 8, 0, "ZC" }, { 8, 0xc1, 9, 0, "Z" }, { 8, 0xc1, 63, 0, "Z" },
            { 8, 0xc1, 64, 0xc1, "N" }, { 8, 0xc1, 65, 0x60, "C" }, { 16, 0x8001, 15, 1, "" },
            { 16, 0x8001, 16, 0, "ZC" }, { 16, 0x8001, 17, 0, "Z" }, { 32, 0x80000000, 31, 1, "" },
            { 32, 0x80000000, 32, 0, "ZC" }, { 32, 0x80000000, 33, 0, "Z" },
            { 32, 0x80000000, 64, 0x80000000, "N" }, { 64, kAll, 0, kAll, "N" },
            { 64, kAll, 63, 1, "C" }, { 64, kAll, 64, kAll, "N" },
            { 64, kAll, 65, kAll >> 1, "C" } });
}

// The result keeps the bits shifted above the width; the carry is the last
// one to leave the width, none once the count passes it.
TEST(CombineAtEveryWidth, ShiftLeftCarriesTheLastBitOutOfTheWidth)
{
    ExpectRows(eMathShiftLeft,
        { { 8, 0x83, 0, 0x83, "N" }, { 8, 0x83, 1, 0x106, "C" }, { 8, 0x83, 7, 0x4180, "NC" },
            { 8, 0x83, 8, 0x8300, "ZC" }, { 8, 0x83, 9, 0x10600, "Z" },
            { 8, 0x83, 63, kMin64, "Z" }, { 8, 0x83, 64, 0x83, "N" }, { 8, 0x83, 65, 0x106, "C" },
            { 16, 0x8001, 15, 0x40008000, "N" }, { 16, 0x8001, 16, 0x80010000, "ZC" },
            { 16, 0x8001, 17, 0x100020000, "Z" }, { 32, 7, 31, 0x380000000, "NC" },
            { 32, 7, 32, 0x700000000, "ZC" }, { 32, 7, 33, 0xe00000000, "Z" },
            { 64, 3, 62, 0xc000000000000000, "N" }, { 64, 3, 63, kMin64, "NC" },
            { 64, 3, 64, 3, "" }, { 64, 3, 65, 6, "" }, { 64, kAll, 1, kAll - 1, "NC" } });
}

TEST(CombineAtEveryWidth, RotatesCarryTheBitThatWrappedAround)
{
    ExpectRows(eMathRotateLeft,
        { { 8, 0x81, 0, 0x81, "N" }, { 8, 0x81, 1, 0x03, "C" }, { 8, 0x81, 7, 0xc0, "N" },
            { 8, 0x81, 8, 0x81, "N" }, { 8, 0x81, 63, 0xc0, "N" }, { 8, 0x81, 64, 0x81, "N" },
            { 8, 0x81, 65, 0x03, "C" }, { 8, 0, 3, 0, "Z" }, { 16, 0x8001, 15, 0xc000, "N" },
            { 16, 0x8001, 16, 0x8001, "N" }, { 16, 0x8001, 17, 3, "C" },
            { 32, 0x80000000, 31, 0x40000000, "" }, { 32, 0x80000000, 32, 0x80000000, "N" },
            { 32, 0x80000000, 33, 1, "C" }, { 32, 0x80000000, 63, 0x40000000, "" },
            { 64, kMin64 | 1, 1, 3, "C" }, { 64, kMin64 | 1, 63, 0xc000000000000000, "N" },
            { 64, kMin64 | 1, 64, kMin64 | 1, "N" }, { 64, kMin64 | 1, 65, 3, "C" } });
    ExpectRows(eMathRotateRight,
        { { 8, 0x81, 0, 0x81, "N" }, { 8, 0x81, 1, 0xc0, "NC" }, { 8, 0x81, 7, 0x03, "" },
            { 8, 0x81, 8, 0x81, "N" }, { 8, 0x81, 65, 0xc0, "NC" }, { 16, 1, 15, 2, "" },
            { 16, 1, 16, 1, "" }, { 16, 1, 17, 0x8000, "NC" }, { 32, 1, 31, 2, "" },
            { 32, 1, 32, 1, "" }, { 32, 1, 63, 2, "" }, { 32, 1, 64, 1, "" },
            { 32, 1, 65, 0x80000000, "NC" }, { 64, 1, 1, kMin64, "NC" }, { 64, 1, 63, 2, "" },
            { 64, 1, 64, 1, "" }, { 64, 1, 65, kMin64, "NC" } });
}

// Past the width every bit out is a copy of the sign bit.
TEST(CombineAtEveryWidth, ArithmeticShiftRightCopiesTheSignBit)
{
    ExpectRows(eMathArithmeticShiftRight,
        { { 8, 0x81, 0, 0x81, "N" }, { 8, 0x81, 1, 0xc0, "NC" }, { 8, 0x81, 7, 0xff, "N" },
            { 8, 0x81, 8, 0xff, "NC" }, { 8, 0x81, 9, 0xff, "NC" }, { 8, 0x81, 63, 0xff, "NC" },
            { 8, 0x81, 64, 0x81, "N" }, { 8, 0x81, 65, 0xc0, "NC" }, { 8, 0x7f, 7, 0, "ZC" },
            { 8, 0x7f, 8, 0, "Z" }, { 8, 0x7f, 9, 0, "Z" }, { 16, 0x8000, 15, 0xffff, "N" },
            { 16, 0x8000, 16, 0xffff, "NC" }, { 16, 0x8000, 17, 0xffff, "NC" },
            { 16, 0x4001, 1, 0x2000, "C" }, { 32, 0x80000001, 1, 0xc0000000, "NC" },
            { 32, 0x80000001, 31, 0xffffffff, "N" }, { 32, 0x80000001, 32, 0xffffffff, "NC" },
            { 32, 0x7fffffff, 31, 0, "ZC" }, { 32, 0x7fffffff, 32, 0, "Z" },
            { 64, kMin64 | 1, 1, 0xc000000000000000, "NC" }, { 64, kMin64 | 1, 63, kAll, "N" },
            { 64, kMin64 | 1, 64, kMin64 | 1, "N" }, { 64, kAll >> 1, 63, 0, "ZC" } });
}

TEST(CombineAtEveryWidth, SignedDivisionRoundsTowardZero)
{
    ExpectRows(eMathSignedDivide,
        { { 8, 7, 2, 3, "" }, { 8, 0xf9, 2, 0xfd, "N" }, { 8, 7, 0xfe, 0xfd, "N" },
            { 8, 0xf9, 0xfe, 3, "" }, { 8, 0xff, 2, 0, "Z" }, { 8, 0x80, 0xff, 0x80, "NV" },
            { 8, 0x80, 1, 0x80, "N" }, { 8, 0x80, 0, 0, "Z/0" },
            { 16, 0x8000, 0xffff, 0x8000, "NV" }, { 16, 0xfff9, 2, 0xfffd, "N" },
            { 16, 0x8000, 0x8000, 1, "" }, { 16, 0, 0, 0, "Z/0" },
            { 32, 0x80000000, 0xffffffff, 0x80000000, "NV" },
            { 32, 0xfffffff9, 2, 0xfffffffd, "N" }, { 64, kMin64, kAll, kMin64, "NV" },
            { 64, kAll - 6, 2, kAll - 2, "N" }, { 64, 7, kAll - 1, kAll - 2, "N" },
            { 64, kAll, 0, 0, "Z/0" } });
    ExpectRows(eMathSignedRemainder,
        { { 8, 7, 2, 1, "" }, { 8, 0xf9, 2, 0xff, "N" }, { 8, 7, 0xfe, 1, "" },
            { 8, 0xf9, 0xfe, 0xff, "N" }, { 8, 0x80, 0xff, 0, "Z" }, { 8, 0x80, 0x7f, 0xff, "N" },
            { 8, 5, 0, 0, "Z/0" }, { 16, 0x8000, 0xffff, 0, "Z" }, { 16, 0xfff9, 3, 0xffff, "N" },
            { 32, 0x80000000, 0xffffffff, 0, "Z" }, { 32, 0, 0, 0, "Z/0" },
            { 64, kMin64, kAll, 0, "Z" }, { 64, kAll - 6, 2, kAll, "N" },
            { 64, 7, kAll - 1, 1, "" }, { 64, 7, 0, 0, "Z/0" } });
}

TEST(CombineAtEveryWidth, NegateOverflowsOnlyForTheMostNegativeNumber)
{
    ExpectRows(eMathNegate,
        { { 8, 0, 0, 0, "Z" }, { 8, 1, 0, 0xff, "N" }, { 8, 0x80, 0, 0x80, "NV" },
            { 8, 0xff, 0, 1, "" }, { 8, 0x7f, 9, 0x81, "N" }, { 16, 0x8000, 0, 0x8000, "NV" },
            { 16, 1, 0, 0xffff, "N" }, { 32, 0x80000000, 0, 0x80000000, "NV" },
            { 32, 5, 0, 0xfffffffb, "N" }, { 64, kMin64, 0, kMin64, "NV" }, { 64, 1, 0, kAll, "N" },
            { 64, 0, 0, 0, "Z" } });
}

TEST(CombineAtEveryWidth, NoOperationGivesZeroAndNoFlag)
{
    ExpectRows(eMathOperationCount, { { 8, 0, 0, 0, "" }, { 64, 5, 0, 0, "" } });
}

namespace {

struct Expected {
    UInt64 value;
    std::string flags;
};

// The operations at a width of at most 32 bits, worked out on exact 64-bit
// integers and shifts done a bit at a time, to check Combine against.
Expected Reference(MathOperation operation, UInt64 a, UInt64 b, unsigned width)
{
    const SInt64 span = SInt64(1) << width;
    const auto mask = UInt64(span - 1);
    const auto toSigned = [&](UInt64 x) { return x <= mask / 2 ? SInt64(x) : SInt64(x) - span; };
    const auto outsideSigned = [&](SInt64 x) { return x < -span / 2 || x >= span / 2; };
    const SInt64 sa = toSigned(a);
    const SInt64 sb = toSigned(b);
    const unsigned count = unsigned(b % 64);
    UInt64 value = 0;
    UInt64 carry = 0;
    bool overflow = false;
    bool zeroDivisor = false;
    UInt64 bits = a;
    switch (operation) {
    case eMathAnd: value = a & b; break;
    case eMathOr: value = a | b; break;
    case eMathXor: value = a ^ b; break;
    case eMathNot: value = mask - a; break;
    case eMathNand: value = mask - (a & b); break;
    case eMathNor: value = mask - (a | b); break;
    case eMathXnor: value = mask - (a ^ b); break;
    case eMathAdd:
        value = a + b;
        carry = value > mask;
        overflow = outsideSigned(sa + sb);
        break;
    case eMathSubtract:
        value = a - b;
        carry = a < b;
        overflow = outsideSigned(sa - sb);
        break;
    case eMathMultiply:
        value = a * b;
        carry = value > mask;
        overflow = outsideSigned(sa * sb);
        break;
    case eMathDivide:
    case eMathRemainder:
        zeroDivisor = b == 0;
        if (!zeroDivisor)
            value = operation == eMathDivide ? a / b : a % b;
        break;
    case eMathSignedDivide:
    case eMathSignedRemainder:
        zeroDivisor = b == 0;
        if (!zeroDivisor) {
            const SInt64 exact = operation == eMathSignedDivide ? sa / sb : sa % sb;
            overflow = outsideSigned(exact);
            value = UInt64(exact) & mask;
        }
        break;
    case eMathNegate:
        overflow = outsideSigned(-sa);
        value = UInt64(-sa) & mask;
        break;
    case eMathShiftRight:
    case eMathArithmeticShiftRight:
        for (unsigned i = 0; i < count; ++i) {
            carry = bits & 1;
            bits = bits >> 1 | (operation == eMathArithmeticShiftRight ? bits & (span >> 1) : 0);
        }
        value = bits;
        break;
    case eMathShiftLeft:
        for (unsigned i = 0; i < count; ++i) {
            carry = bits >> (width - 1) & 1;
            bits = (bits << 1) & mask;
        }
        value = a << count;
        break;
    case eMathRotateLeft:
        for (unsigned i = 0; i < b % width; ++i) {
            carry = bits >> (width - 1);
            bits = ((bits << 1) | carry) & mask;
        }
        value = bits;
        break;
    case eMathRotateRight:
        for (unsigned i = 0; i < b % width; ++i) {
            carry = bits & 1;
            bits = bits >> 1 | carry << (width - 1);
        }
        value = bits;
        break;
    case eMathOperationCount: break;
    }
    std::string flags;
    if ((value & mask) == 0)
        flags += "Z";
    if (value >> (width - 1) & 1)
        flags += "N";
    if (carry)
        flags += "C";
    if (overflow)
        flags += "V";
    if (zeroDivisor)
        flags += "/0";
    return { value, flags };
}

} // namespace

// Every pair at 8 bits, and the edges against each other at 16 and 32. Each
// operation also sets every flag it claims to apply, and no other.
TEST(Combine, AgreesWithExactArithmetic)
{
    for (int op = 0; op < eMathOperationCount; ++op) {
        const auto operation = MathOperation(op);
        SCOPED_TRACE(testing::Message() << "operation " << op);
        UInt8 seen = 0;
        int mismatches = 0;
        const auto check = [&](UInt64 a, UInt64 b, unsigned width) {
            const MathResult result = Combine(operation, a, b, UInt16(width));
            const Expected expected = Reference(operation, a, b, width);
            seen |= result.flags;
            // The first few are enough to see what is wrong.
            if ((result.value != expected.value || FlagsText(result) != expected.flags)
                && ++mismatches <= 5)
                ADD_FAILURE() << std::hex << "0x" << a << ", 0x" << b << std::dec << " at " << width
                              << " bits: 0x" << std::hex << result.value << " " << FlagsText(result)
                              << ", expected 0x" << expected.value << " " << expected.flags;
        };
        for (UInt64 a = 0; a < 256; ++a)
            for (UInt64 b = 0; b < 256; ++b)
                check(a, b, 8);
        for (unsigned width : { 16u, 32u }) {
            const UInt64 top = UInt64(1) << (width - 1);
            const UInt64 edges[] = { 0, 1, 2, 3, 7, width - 1, width, width + 1, 63, 64, 65,
                top - 1, top, top + 1, 2 * top - 2, 2 * top - 1, 0x5a5a5a5a & (2 * top - 1) };
            for (UInt64 a : edges)
                for (UInt64 b : edges)
                    check(a, b, width);
        }
        EXPECT_EQ(mismatches, 0);
        for (int flag = 0; flag < eMathFlagCount; ++flag)
            EXPECT_EQ((seen >> flag) & 1, FlagApplies(operation, MathFlag(flag)))
                << "flag " << flag;
    }
}
