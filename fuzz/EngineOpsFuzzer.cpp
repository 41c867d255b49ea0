// A random run of what a row's number goes through: width and sign changes,
// shifts, numbers set in either byte order, texts read into any notation,
// a field's own text read back, and a math operation with the row as its
// Value. After every step the engine's invariants must hold. The input is a
// program of FuzzOp steps.
#include "FuzzCommon.h"
#include "engine/FloatNotation.h"
#include "engine/MathOperation.h"

namespace {

constexpr int kMaxSteps = 64;

Notation NotationFrom(std::uint8_t byte)
{
    return Notation(byte % eNotationCount);
}
Endian EndianFrom(std::uint8_t byte)
{
    return (byte & 1) ? eLittleEndian : eBigEndian;
}

bool IsDivision(MathOperation operation)
{
    return operation == eMathDivide || operation == eMathRemainder || operation == eMathSignedDivide
        || operation == eMathSignedRemainder;
}

// What every result must show, whatever the operation: the flags read the
// result's bits, the operations after the first ten stay within the width,
// and each division pairs with its remainder.
void CheckCombine(MathOperation operation, UInt64 a, UInt64 b, UInt16 width)
{
    const UInt64 mask = WidthMask(width);
    const MathResult result = Combine(operation, a, b, width);
    const UInt64 within = result.value & mask;
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        FUZZ_REQUIRE(!result.Has(MathFlag(flag)) || FlagApplies(operation, MathFlag(flag)));
    FUZZ_REQUIRE(result.Has(eMathFlagZero) == (within == 0));
    FUZZ_REQUIRE(result.Has(eMathFlagSign) == TopBitSet(within, width));
    FUZZ_REQUIRE(result.Has(eMathFlagDivideByZero) == (IsDivision(operation) && b == 0));
    if (operation >= eMathNot)
        FUZZ_REQUIRE(result.value == within);
    switch (operation) {
    case eMathAdd:
        FUZZ_REQUIRE(result.Has(eMathFlagCarry) == (within < a));
        FUZZ_REQUIRE(result.Has(eMathFlagOverflow)
            == (TopBitSet(a, width) == TopBitSet(b, width)
                && TopBitSet(within, width) != TopBitSet(a, width)));
        break;
    case eMathSubtract: FUZZ_REQUIRE(result.Has(eMathFlagCarry) == (a < b)); break;
    case eMathDivide:
    case eMathSignedDivide:
        if (b != 0) {
            const MathOperation remainder
                = operation == eMathDivide ? eMathRemainder : eMathSignedRemainder;
            const UInt64 rest = Combine(remainder, a, b, width).value;
            FUZZ_REQUIRE(((within * b + rest) & mask) == a);
        }
        break;
    case eMathRotateLeft:
        FUZZ_REQUIRE(Combine(eMathRotateRight, within, b, width).value == a);
        break;
    default: break;
    }
}

void Step(FuzzNumber& number, FuzzInput& in)
{
    const FuzzNumber before = number;
    const FuzzOp op = FuzzOp(in.Byte() % eOpCount);
    switch (op) {
    case eOpWidth:
        number.SetBitWidth(kWidths[in.Byte() & 3]);
        FUZZ_REQUIRE(number.Bits() <= WidthMask(number.BitWidth()));
        break;
    case eOpSigned:
        number.SetSigned(in.Byte() & 1);
        if (!number.IsSigned())
            FUZZ_REQUIRE(number.Bits() == before.Number());
        else
            FUZZ_REQUIRE(number.Bits() == before.Bits());
        break;
    case eOpShift:
        if (in.Byte() & 1) {
            number.Shift(eShiftLeftDir);
            FUZZ_REQUIRE(number.Bits() == before.Bits() << 1);
        } else {
            number.Shift(eShiftRightDir);
            FUZZ_REQUIRE(number.Bits() == before.Bits() >> 1);
        }
        break;
    case eOpSetSignedDec:
    case eOpSetUnsignedDec: {
        const bool asSigned = op == eOpSetSignedDec;
        const Endian endian = EndianFrom(in.Byte());
        const UInt64 value = in.Word();
        if (asSigned)
            number.SetSignedDec(SInt64(value), endian);
        else
            number.SetUnsignedDec(value, endian);
        FUZZ_REQUIRE(number.GetValue(endian) == (value & WidthMask(number.BitWidth())));
        break;
    }
    case eOpRead: {
        const Notation notation = NotationFrom(in.Byte());
        const Endian endian = EndianFrom(in.Byte());
        FuzzText text(in.Text());
        ReadNotation(number, notation, text.get(), endian);
        // Only a float typed at 8 bits, which have no float, widens: to 32.
        const bool widens = notation == eNotationFloat && !IsFloatWidth(before.BitWidth());
        FUZZ_REQUIRE(number.BitWidth() == (widens ? 32 : before.BitWidth()));
        if (notation == eNotationIPAddress || notation == eNotationNumVersion
            || notation == eNotationFloat)
            FUZZ_REQUIRE(!number.IsOverflow());
        break;
    }
    case eOpType: {
        // As a row does: read, then as wide as the number needs.
        const Notation notation = NotationFrom(in.Byte());
        const Endian endian = EndianFrom(in.Byte());
        char field[kFieldBufferSize];
        CopyFieldText(FuzzText(in.Text()).get(), field);
        ReadNotation(number, notation, field, endian);
        if (number.GetActualWidth() > number.BitWidth())
            number.SetBitWidth(number.GetActualWidth());
        FUZZ_REQUIRE(number.GetActualWidth() <= number.BitWidth());
        break;
    }
    case eOpRetype: {
        // A row that reads its own text back holds the same number, whole.
        const Notation notation = NotationFrom(in.Byte());
        const Endian endian = EndianFrom(in.Byte());
        char shown[kFieldBufferSize];
        WriteNotation(number, notation, endian, shown);
        ReadNotation(number, notation, shown, endian);
        FUZZ_REQUIRE(!number.IsOverflow());
        break;
    }
    case eOpOverflow:
        number.SetOverflow(in.Byte() & 1);
        FUZZ_REQUIRE(number.Bits() == before.Bits());
        break;
    case eOpCombine: {
        // As the window calls it: both rows' bits within the shared width.
        const auto operation = MathOperation(in.Byte() % eMathOperationCount);
        const UInt64 current = number.GetValue(eBigEndian);
        const UInt64 operand = in.Word() & WidthMask(number.BitWidth());
        CheckCombine(operation, current, operand, number.BitWidth());
        number.SetUnsignedDec(
            Combine(operation, current, operand, number.BitWidth()).value, eBigEndian);
        break;
    }
    case eOpCount: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    // The window's start: width 32, value 0, unsigned, no overflow.
    FuzzNumber number = FuzzNumber::Make(0, 32, false);
    for (int step = 0; step < kMaxSteps && !in.AtEnd(); ++step) {
        Step(number, in);
        CheckInvariants(number);
    }
    return 0;
}
