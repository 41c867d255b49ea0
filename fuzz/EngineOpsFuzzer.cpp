// A random run of what the window does to a row: width and sign changes,
// shifts, numbers set in either byte order, texts read or typed into any
// notation, and a field's own text typed back. After every step the
// engine's invariants must hold. The input is a program of FuzzOp steps.
#include "FuzzCommon.h"

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
        FUZZ_REQUIRE(number.BitWidth() == before.BitWidth());
        break;
    }
    case eOpType:
    case eOpRetype: {
        const bool retype = op == eOpRetype;
        const Notation notation = NotationFrom(in.Byte());
        const Endian endian = EndianFrom(in.Byte());
        std::string text = in.Text();
        if (retype) {
            char shown[kFieldBufferSize];
            WriteNotation(number, notation, endian, shown);
            text = shown;
        }
        const UInt16 width = TypeIntoRow(number, notation, FuzzText(text).get(), endian);
        FUZZ_REQUIRE(width == number.BitWidth() && width >= before.BitWidth());
        FUZZ_REQUIRE(number.GetActualWidth() <= width);
        break;
    }
    case eOpOverflow:
        number.SetOverflow(in.Byte() & 1);
        FUZZ_REQUIRE(number.Bits() == before.Bits());
        break;
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
