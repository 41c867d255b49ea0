#include "MathOperation.h"

namespace {

constexpr UInt8 FlagBit(MathFlag flag)
{
    return UInt8(1u << flag);
}

constexpr UInt8 kResultFlags = FlagBit(eMathFlagZero) | FlagBit(eMathFlagSign);
constexpr UInt8 kArithmeticFlags
    = kResultFlags | FlagBit(eMathFlagCarry) | FlagBit(eMathFlagOverflow);
constexpr UInt8 kShiftFlags = kResultFlags | FlagBit(eMathFlagCarry);
constexpr UInt8 kDivisionFlags = kResultFlags | FlagBit(eMathFlagDivideByZero);

// The flags each operation can set, by operation.
constexpr UInt8 kApplicableFlags[] = {
    kResultFlags, kResultFlags, kResultFlags, // and, or, xor
    kArithmeticFlags, kArithmeticFlags, kArithmeticFlags, // add, subtract, multiply
    kDivisionFlags, kDivisionFlags, // divide, remainder
    kShiftFlags, kShiftFlags, // shift right, shift left
    kResultFlags, kResultFlags, kResultFlags, kResultFlags, // not, nand, nor, xnor
    kShiftFlags, kShiftFlags, kShiftFlags, // rotate left, rotate right, arithmetic shift right
    kDivisionFlags | FlagBit(eMathFlagOverflow), // signed divide
    kDivisionFlags, // signed remainder
    kResultFlags | FlagBit(eMathFlagOverflow), // negate
};
static_assert(sizeof kApplicableFlags == eMathOperationCount, "one entry per operation");

UInt8 ApplicableFlags(MathOperation operation)
{
    return unsigned(operation) < eMathOperationCount ? kApplicableFlags[operation] : 0;
}

// The operations work in the bits of a Word: UInt64, or UInt128 at 128 bits.
template <class Word> struct WordTraits;
template <> struct WordTraits<UInt64> {
    using Signed = SInt64;
    static constexpr unsigned kBits = 64;
    static constexpr UInt64 Mask(unsigned width) { return WidthMask(width); }
};
template <> struct WordTraits<UInt128> {
    using Signed = SInt128;
    static constexpr unsigned kBits = 128;
    static constexpr UInt128 Mask(unsigned width) { return WideMask(width); }
};

template <class Word> bool Bit(Word bits, unsigned position)
{
    return (bits >> position) & 1;
}

// The width's bits as two's complement.
template <class Word> typename WordTraits<Word>::Signed SignedAt(Word bits, unsigned width)
{
    const Word sign = Word(1) << (width - 1);
    return typename WordTraits<Word>::Signed((bits ^ sign) - sign);
}

template <class Word> bool FitsUnsigned(Word number, unsigned width)
{
    return width >= WordTraits<Word>::kBits || (number >> width) == 0;
}

template <class Signed> bool FitsSigned(Signed number, unsigned width)
{
    if (width >= 8 * sizeof(Signed))
        return true;
    const Signed limit = Signed(1) << (width - 1);
    return number >= -limit && number < limit;
}

// What an operation raises besides Zero and Sign.
struct Raised {
    bool carry = false;
    bool overflow = false;
    bool divideByZero = false;
};

// The compiler's overflow-checking arithmetic, which also tells when the
// exact result does not fit in 64 bits.
constexpr auto kCheckedAdd
    = [](auto x, auto y, auto* sum) { return __builtin_add_overflow(x, y, sum); };
constexpr auto kCheckedSubtract
    = [](auto x, auto y, auto* difference) { return __builtin_sub_overflow(x, y, difference); };
constexpr auto kCheckedMultiply
    = [](auto x, auto y, auto* product) { return __builtin_mul_overflow(x, y, product); };

// Carry and Overflow: whether the exact unsigned and the exact signed result
// of `checked` need more than `width` bits.
template <typename Checked, class Word>
Raised Exact(Checked checked, Word a, Word b, unsigned width)
{
    Word unsignedResult;
    typename WordTraits<Word>::Signed signedResult;
    const bool unsignedWide = checked(a, b, &unsignedResult);
    const bool signedWide = checked(SignedAt(a, width), SignedAt(b, width), &signedResult);
    Raised raised;
    raised.carry = unsignedWide || !FitsUnsigned(unsignedResult, width);
    raised.overflow = signedWide || !FitsSigned(signedResult, width);
    return raised;
}

template <class Word> struct Combined {
    Word value;
    UInt8 flags;
};

// Combine in the bits of a Word, whose width is the widest.
template <class Word>
Combined<Word> CombineIn(MathOperation operation, Word current, Word operand, UInt16 width)
{
    constexpr unsigned kBits = WordTraits<Word>::kBits;
    const unsigned w = width == 0 || width > kBits ? kBits : width;
    const Word mask = WordTraits<Word>::Mask(w);
    const Word a = current & mask;
    const Word b = operand & mask;
    const Word signBit = Word(1) << (w - 1);
    const unsigned shiftCount = unsigned(operand & (kBits - 1));
    const auto rotateCount = unsigned(b % w);

    Word value = 0;
    Raised raised;
    switch (operation) {
    case eMathAnd: value = current & operand; break;
    case eMathOr: value = current | operand; break;
    case eMathXor: value = current ^ operand; break;
    case eMathAdd:
        value = current + operand;
        raised = Exact(kCheckedAdd, a, b, w);
        break;
    case eMathSubtract:
        value = current - operand;
        raised = Exact(kCheckedSubtract, a, b, w);
        break;
    case eMathMultiply:
        value = current * operand;
        raised = Exact(kCheckedMultiply, a, b, w);
        break;
    case eMathDivide:
        value = operand == 0 ? 0 : current / operand;
        raised.divideByZero = b == 0;
        break;
    case eMathRemainder:
        value = operand == 0 ? 0 : current % operand;
        raised.divideByZero = b == 0;
        break;
    case eMathShiftRight:
        value = current >> shiftCount;
        raised.carry = shiftCount >= 1 && shiftCount <= w && Bit(a, shiftCount - 1);
        break;
    case eMathShiftLeft:
        value = current << shiftCount;
        raised.carry = shiftCount >= 1 && shiftCount <= w && Bit(a, w - shiftCount);
        break;
    case eMathNot: value = ~a & mask; break;
    case eMathNand: value = ~(a & b) & mask; break;
    case eMathNor: value = ~(a | b) & mask; break;
    case eMathXnor: value = ~(a ^ b) & mask; break;
    case eMathRotateLeft:
        value = rotateCount == 0 ? a : ((a << rotateCount) | (a >> (w - rotateCount))) & mask;
        raised.carry = rotateCount != 0 && Bit(value, 0);
        break;
    case eMathRotateRight:
        value = rotateCount == 0 ? a : ((a >> rotateCount) | (a << (w - rotateCount))) & mask;
        raised.carry = rotateCount != 0 && Bit(value, w - 1);
        break;
    case eMathArithmeticShiftRight: {
        const bool negative = (a & signBit) != 0;
        const Word copies = negative ? mask : 0;
        if (shiftCount >= w)
            value = copies;
        else
            value = (a >> shiftCount) | (copies & ~(mask >> shiftCount));
        if (shiftCount != 0)
            raised.carry = shiftCount <= w ? Bit(a, shiftCount - 1) : negative;
        break;
    }
    case eMathSignedDivide:
        raised.divideByZero = b == 0;
        // MIN / -1 is the one quotient too large for the width (and in C++
        // undefined at 64 bits).
        raised.overflow = a == signBit && b == mask;
        if (raised.overflow)
            value = a;
        else if (!raised.divideByZero)
            value = Word(SignedAt(a, w) / SignedAt(b, w)) & mask;
        break;
    case eMathSignedRemainder:
        raised.divideByZero = b == 0;
        // Any remainder by -1 is 0; MIN % -1 is undefined in C++ at 64 bits.
        if (!raised.divideByZero && b != mask)
            value = Word(SignedAt(a, w) % SignedAt(b, w)) & mask;
        break;
    case eMathNegate:
        value = (0 - a) & mask;
        raised.overflow = a == signBit;
        break;
    case eMathOperationCount: break;
    }

    const UInt8 flags = UInt8((((value & mask) == 0) << eMathFlagZero)
        | ((value & signBit) != 0) << eMathFlagSign | raised.carry << eMathFlagCarry
        | raised.overflow << eMathFlagOverflow | raised.divideByZero << eMathFlagDivideByZero);
    return { value, UInt8(flags & ApplicableFlags(operation)) };
}

} // namespace

MathResult Combine(MathOperation operation, UInt64 current, UInt64 operand, UInt16 width)
{
    const Combined<UInt64> result = CombineIn(operation, current, operand, width);
    return { result.value, result.flags };
}

WideMathResult CombineWide(MathOperation operation, UInt128 current, UInt128 operand, UInt16 width)
{
    if (width != 0 && width <= 64) {
        const MathResult result = Combine(operation, LowHalf(current), LowHalf(operand), width);
        return { result.value, result.flags };
    }
    const Combined<UInt128> result = CombineIn(operation, current, operand, width);
    return { result.value, result.flags };
}

bool FlagApplies(MathOperation operation, MathFlag flag)
{
    return unsigned(flag) < eMathFlagCount && (ApplicableFlags(operation) & FlagBit(flag)) != 0;
}
