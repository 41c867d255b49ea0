#include "MathOperation.h"

#include <gtest/gtest.h>

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

} // namespace
